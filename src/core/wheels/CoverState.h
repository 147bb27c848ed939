#pragma once

// The search's count, for every m-subset of a pool, of the tickets holding at least t of its
// numbers, kept up to date ticket by ticket and number by number. Only the builder and its tests
// use it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "wheels/Wheel.h"

namespace tallyra::wheels::cover {

using Block = std::array<uint8_t, kTicketSize>;  // pool indexes

// Sorts a few indexes in place.
inline void SortSmall(uint8_t* a, int n) {
  for (int i = 1; i < n; ++i) {
    const uint8_t x = a[i];
    int j = i;
    for (; j > 0 && a[j - 1] > x; --j) a[j] = a[j - 1];
    a[j] = x;
  }
}

// Calls fn(indexes) for every k-subset of items (k <= 6), in lexical order of positions.
template <typename Fn>
void ForEachSubset(const uint8_t* items, int n, int k, Fn&& fn) {
  std::array<int, kTicketSize> at{};
  std::array<uint8_t, kTicketSize> chosen{};
  if (k > n) return;
  if (k == 0) {
    fn(chosen.data());
    return;
  }
  for (int i = 0; i < k; ++i) at[static_cast<std::size_t>(i)] = i;
  while (true) {
    for (int i = 0; i < k; ++i)
      chosen[static_cast<std::size_t>(i)] = items[at[static_cast<std::size_t>(i)]];
    fn(chosen.data());
    int i = k - 1;
    while (i >= 0 && at[static_cast<std::size_t>(i)] == n - k + i) --i;
    if (i < 0) return;
    ++at[static_cast<std::size_t>(i)];
    for (int j = i + 1; j < k; ++j)
      at[static_cast<std::size_t>(j)] = at[static_cast<std::size_t>(j - 1)] + 1;
  }
}

// The m-subsets of the pool with, for each, how many tickets hold at least t of its numbers.
// A subset is known by its colex rank: the sum of C(e_i, i + 1) over its sorted indexes e_i.
class CoverState {
 public:
  CoverState(int v, Guarantee g) : m_v(v), m_t(g.t), m_m(g.m) {
    const auto sets = Binomial(v, g.m);
    m_cover.assign(sets, 0);
    m_position.resize(sets);
    m_uncovered.resize(sets);
    for (uint32_t r = 0; r < sets; ++r) {
      m_uncovered[r] = r;
      m_position[r] = r;
    }
    for (int n = 0; n <= kMaxPool; ++n)
      for (int k = 0; k <= kTicketSize; ++k)
        m_binomial[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)] =
            static_cast<uint32_t>(Binomial(n, k));
  }

  std::size_t uncoveredCount() const { return m_uncovered.size(); }
  uint32_t uncoveredAt(std::size_t i) const { return m_uncovered[i]; }
  uint16_t cover(uint32_t rank) const { return m_cover[rank]; }

  // The sorted indexes of the subset with this rank.
  std::array<uint8_t, kTicketSize> unrank(uint32_t rank) const {
    std::array<uint8_t, kTicketSize> e{};
    int top = m_v - 1;
    for (int i = m_m; i >= 1; --i) {
      while (C(top, i) > rank) --top;
      e[static_cast<std::size_t>(i - 1)] = static_cast<uint8_t>(top);
      rank -= C(top, i);
      --top;
    }
    return e;
  }

  // Every m-subset with at least t numbers of the block.
  template <typename Fn>
  void forEachCovered(const Block& blockIn, Fn&& fn) const {
    Block block = blockIn;
    SortSmall(block.data(), kTicketSize);
    std::array<uint8_t, kMaxPool> others{};
    int count = 0;
    for (int x = 0, b = 0; x < m_v; ++x) {
      if (b < kTicketSize && block[static_cast<std::size_t>(b)] == x) {
        ++b;
      } else {
        others[static_cast<std::size_t>(count++)] = static_cast<uint8_t>(x);
      }
    }
    for (int j = m_t; j <= m_m; ++j) {
      ForEachSubset(block.data(), kTicketSize, j, [&](const uint8_t* inside) {
        ForEachSubset(others.data(), count, m_m - j, [&](const uint8_t* outside) {
          fn(rankOfMerged(inside, j, outside, m_m - j));
        });
      });
    }
  }

  // The subsets whose count changes when x of the block is replaced by y: those holding x,
  // not y, and exactly t - 1 other numbers of the block lose it (lose(rank)); the same with y
  // in place of x gain it (gain(rank)).
  template <typename Lose, typename Gain>
  void forEachSwapped(const Block& block, uint8_t x, uint8_t y, Lose&& lose, Gain&& gain) const {
    if (m_t == m_m) {
      forEachSwappedWithin(block, x, y, lose, gain);
      return;
    }
    std::array<uint8_t, kTicketSize> kept{};
    int keptCount = 0;
    for (const uint8_t b : block)
      if (b != x) kept[static_cast<std::size_t>(keptCount++)] = b;
    SortSmall(kept.data(), keptCount);
    const int fromRest = m_m - m_t;
    std::array<uint8_t, kMaxPool> rest{};
    int restCount = 0;
    if (fromRest > 0) {
      for (int z = 0; z < m_v; ++z) {
        if (z == y || std::find(block.begin(), block.end(), z) != block.end()) continue;
        rest[static_cast<std::size_t>(restCount++)] = static_cast<uint8_t>(z);
      }
    }
    ForEachSubset(kept.data(), keptCount, m_t - 1, [&](const uint8_t* inside) {
      ForEachSubset(rest.data(), restCount, fromRest, [&](const uint8_t* outside) {
        std::array<uint8_t, kTicketSize> base{};
        const int size = Merge(inside, m_t - 1, outside, fromRest, base.data());
        lose(rankWith(base.data(), size, x));
        gain(rankWith(base.data(), size, y));
      });
    });
  }

  // forEachSwapped when t = m: the subsets that change are x or y with t - 1 of the five numbers
  // kept, taken from a table of those choices rather than enumerated.
  template <typename Lose, typename Gain>
  void forEachSwappedWithin(const Block& block, uint8_t x, uint8_t y, Lose&& lose,
                            Gain&& gain) const {
    std::array<uint8_t, kTicketSize> kept{};
    int n = 0;
    for (const uint8_t b : block)
      if (b != x) kept[static_cast<std::size_t>(n++)] = b;
    SortSmall(kept.data(), n);
    const int k = m_t - 1;
    for (const auto& choice : KeptChoices(k)) {
      std::array<uint8_t, kTicketSize> base{};
      for (int i = 0; i < k; ++i)
        base[static_cast<std::size_t>(i)] = kept[choice[static_cast<std::size_t>(i)]];
      lose(rankWith(base.data(), k, x));
      gain(rankWith(base.data(), k, y));
    }
  }

  // The k-subsets of positions 0..4, each as its sorted positions.
  static const std::vector<std::array<uint8_t, kTicketSize>>& KeptChoices(int k) {
    static const auto table = [] {
      std::array<std::vector<std::array<uint8_t, kTicketSize>>, kTicketSize> t;
      const std::array<uint8_t, kTicketSize> positions{0, 1, 2, 3, 4, 5};
      for (int j = 0; j < kTicketSize; ++j) {
        ForEachSubset(positions.data(), kTicketSize - 1, j, [&](const uint8_t* c) {
          std::array<uint8_t, kTicketSize> choice{};
          std::copy(c, c + j, choice.begin());
          t[static_cast<std::size_t>(j)].push_back(choice);
        });
      }
      return t;
    }();
    return table[static_cast<std::size_t>(k)];
  }

  void add(const Block& block) {
    forEachCovered(block, [&](uint32_t r) {
      if (m_cover[r]++ == 0) takeOut(r);
    });
  }
  void remove(const Block& block) {
    forEachCovered(block, [&](uint32_t r) {
      if (--m_cover[r] == 0) putBack(r);
    });
  }
  // The change in the number of uncovered subsets if x of a held block became y.
  long swapDelta(const Block& block, uint8_t x, uint8_t y) const {
    long delta = 0;
    forEachSwapped(
        block, x, y, [&](uint32_t r) { delta += m_cover[r] == 1; },
        [&](uint32_t r) { delta -= m_cover[r] == 0; });
    return delta;
  }
  // The change in how many uncovered subsets a block not yet held would cover.
  long freeSwapGain(const Block& block, uint8_t x, uint8_t y) const {
    long gain = 0;
    forEachSwapped(
        block, x, y, [&](uint32_t r) { gain -= m_cover[r] == 0; },
        [&](uint32_t r) { gain += m_cover[r] == 0; });
    return gain;
  }
  void swap(Block& block, std::size_t slot, uint8_t y) {
    const uint8_t x = block[slot];
    forEachSwapped(
        block, x, y,
        [&](uint32_t r) {
          if (--m_cover[r] == 0) putBack(r);
        },
        [&](uint32_t r) {
          if (m_cover[r]++ == 0) takeOut(r);
        });
    block[slot] = y;
  }

 private:
  uint32_t C(int n, int k) const {
    return m_binomial[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
  }
  static int Merge(const uint8_t* a, int na, const uint8_t* b, int nb, uint8_t* out) {
    int i = 0, j = 0, o = 0;
    while (i < na || j < nb) {
      if (j >= nb || (i < na && a[i] < b[j])) {
        out[o++] = a[i++];
      } else {
        out[o++] = b[j++];
      }
    }
    return o;
  }
  uint32_t rankOfMerged(const uint8_t* a, int na, const uint8_t* b, int nb) const {
    std::array<uint8_t, kTicketSize> e{};
    const int n = Merge(a, na, b, nb, e.data());
    uint32_t r = 0;
    for (int i = 0; i < n; ++i) r += C(e[static_cast<std::size_t>(i)], i + 1);
    return r;
  }
  uint32_t rankWith(const uint8_t* base, int n, uint8_t z) const {
    uint32_t r = 0;
    int i = 0;
    for (; i < n && base[i] < z; ++i) r += C(base[i], i + 1);
    r += C(z, i + 1);
    for (; i < n; ++i) r += C(base[i], i + 2);
    return r;
  }
  void takeOut(uint32_t r) {
    const uint32_t at = m_position[r];
    const uint32_t last = m_uncovered.back();
    m_uncovered[at] = last;
    m_position[last] = at;
    m_uncovered.pop_back();
  }
  void putBack(uint32_t r) {
    m_position[r] = static_cast<uint32_t>(m_uncovered.size());
    m_uncovered.push_back(r);
  }

  int m_v, m_t, m_m;
  std::array<std::array<uint32_t, kTicketSize + 1>, kMaxPool + 1> m_binomial{};
  std::vector<uint16_t> m_cover;
  std::vector<uint32_t> m_position;
  std::vector<uint32_t> m_uncovered;
};

}  // namespace tallyra::wheels::cover
