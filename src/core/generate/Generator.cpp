#include "generate/Generator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <mutex>
#include <random>
#include <set>

#include "model/TextTable.h"
#include "parallel/ParallelFor.h"
#include "wheels/Wheel.h"

// The walk is built twice, for any x86-64 and for processors with AVX2 (and its popcount),
// chosen at start.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TALLYRA_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TALLYRA_CLONES
#endif
#define TALLYRA_INLINE [[gnu::always_inline]] inline

namespace tallyra {
namespace {

using wheels::Binomial;

__extension__ typedef unsigned __int128 Bits;  // numbers 1..99 as bits

constexpr int kDrawn = 6;
constexpr int kMaxHistoryFilters = 8;

// Nothing for a value that is no number of any game.
TALLYRA_INLINE Bits Bit(int32_t n) {
  return n >= 0 && n < 128 ? Bits{1} << n : 0;
}

// The numbers lo..hi (clamped to 1..99) as bits.
TALLYRA_INLINE Bits Span(int64_t lo, int64_t hi) {
  lo = std::max<int64_t>(lo, 1);
  hi = std::min<int64_t>(hi, 99);
  if (lo > hi) return 0;
  const Bits upTo = hi >= 127 ? ~Bits{0} : (Bits{1} << (hi + 1)) - 1;
  return upTo & ~((Bits{1} << lo) - 1);
}

TALLYRA_INLINE int Popcount(Bits b) {
  return std::popcount(static_cast<uint64_t>(b)) + std::popcount(static_cast<uint64_t>(b >> 64));
}

Bits SetOf(const std::vector<int32_t>& numbers) {
  Bits b = 0;
  for (const int32_t n : numbers) b |= Bit(n);
  return b;
}

Bits SetOf(const AnalysisDraw& draw) {
  Bits b = 0;
  for (const int32_t n : draw) b |= Bit(n);
  return b;
}

bool WholeDraw(const AnalysisDraw& d, int32_t m) {
  Bits seen = 0;
  for (const int32_t n : d) {
    if (n < 1 || n > m || (seen & Bit(n))) return false;
    seen |= Bit(n);
  }
  return true;
}

// A set of up to six numbers as one key: its numbers ascending, a byte each.
TALLYRA_INLINE uint64_t KeyOf(const int32_t* sorted, int size) {
  uint64_t key = 0;
  for (int i = 0; i < size; ++i) key = key << 8 | static_cast<uint64_t>(sorted[i]);
  return key | static_cast<uint64_t>(size) << 56;
}

// Sets of numbers (as keys) and the numbers that complete each to a set the draws hold: an
// open-addressing table, small enough to stay in the cache.
class Completions {
 public:
  void add(uint64_t key, int32_t completing) { m_entries.push_back({key, Bit(completing)}); }
  void finish() {
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::vector<Entry> merged;
    for (const Entry& e : m_entries) {
      if (!merged.empty() && merged.back().key == e.key) {
        merged.back().bits |= e.bits;
      } else {
        merged.push_back(e);
      }
    }
    std::size_t size = 16;
    while (size < merged.size() * 4) size *= 2;
    m_mask = size - 1;
    m_slots.assign(size, Entry{0, 0});
    for (const Entry& e : merged) {
      std::size_t i = Hash(e.key) & m_mask;
      while (m_slots[i].key != 0) i = (i + 1) & m_mask;
      m_slots[i] = e;
    }
    m_entries.clear();
  }
  TALLYRA_INLINE Bits find(uint64_t key) const {
    for (std::size_t i = Hash(key) & m_mask;; i = (i + 1) & m_mask) {
      const Entry& e = m_slots[i];
      if (e.key == key) return e.bits;
      if (e.key == 0) return 0;
    }
  }

 private:
  struct Entry {
    uint64_t key;
    Bits bits;
  };
  TALLYRA_INLINE static std::size_t Hash(uint64_t key) {
    key ^= key >> 29;
    key *= 0xbf58476d1ce4e5b9ULL;
    key ^= key >> 32;
    return static_cast<std::size_t>(key);
  }
  std::vector<Entry> m_entries, m_slots;
  std::size_t m_mask = 0;
};

// What a history filter knows: for every set of s - 1 numbers, the numbers that complete it to
// s numbers of one draw. A combination holding such a set and a completing number holds s
// numbers of a draw.
struct Shared {
  int size = 7;               // s: the combination fails once it holds s numbers of a draw
  Bits singles = 0;           // s = 1: every number drawn
  std::vector<Bits> byOne;    // s = 2, by number
  std::vector<Bits> byTwo;    // s = 3, by number * 100 + number
  std::vector<Bits> byThree;  // s = 4, by TripleIndex
  Completions larger;         // s = 5, 6
};

// Every subset of `size` numbers of the draw, with the number left out of a subset one larger.
void AddCompletions(Shared& shared, const AnalysisDraw& draw) {
  AnalysisDraw d = draw;
  std::sort(d.begin(), d.end());
  const int s = shared.size;
  // Each s-subset, and each of its numbers completing the other s - 1.
  for (int mask = 0; mask < 64; ++mask) {
    if (std::popcount(static_cast<unsigned>(mask)) != s) continue;
    std::array<int32_t, 6> chosen{};
    int n = 0;
    for (int i = 0; i < kDrawn; ++i) {
      if (mask >> i & 1) chosen[static_cast<std::size_t>(n++)] = d[static_cast<std::size_t>(i)];
    }
    for (int out = 0; out < s; ++out) {
      std::array<int32_t, 6> rest{};
      int r = 0;
      for (int i = 0; i < s; ++i) {
        if (i != out) rest[static_cast<std::size_t>(r++)] = chosen[static_cast<std::size_t>(i)];
      }
      const int32_t completing = chosen[static_cast<std::size_t>(out)];
      switch (s) {
        case 1:
          shared.singles |= Bit(completing);
          break;
        case 2:
          shared.byOne[static_cast<std::size_t>(rest[0])] |= Bit(completing);
          break;
        case 3:
          shared.byTwo[static_cast<std::size_t>(rest[0] * 100 + rest[1])] |= Bit(completing);
          break;
        case 4:
          shared.byThree[TripleIndex(rest[0], rest[1], rest[2])] |= Bit(completing);
          break;
        default:
          shared.larger.add(KeyOf(rest.data(), s - 1), completing);
      }
    }
  }
}

Shared MakeShared(int size, const std::vector<AnalysisDraw>& draws, int32_t m) {
  Shared shared;
  shared.size = size;
  if (size == 2) shared.byOne.assign(static_cast<std::size_t>(m) + 1, 0);
  if (size == 3) shared.byTwo.assign(100 * static_cast<std::size_t>(m) + 100, 0);
  if (size == 4) shared.byThree.assign(Binomial(m, 3), 0);
  if (size > kDrawn) return shared;
  for (const AnalysisDraw& d : draws) AddCompletions(shared, d);
  if (size >= 5) shared.larger.finish();
  return shared;
}

// Everything a filter needs that does not change from one combination to the next.
struct Prepared {
  Filter filter;
  Bits numbers = 0;            // Include, IncludeAny, Exclude, Pool; PreviousMax: the draw
  int needed = 0;              // Include: how many numbers
  int history = -1;            // index among the history filters
  Shared shared;               // NotDrawn, ShareMax
  std::vector<Bits> topPairs;  // TopPairs: for each number, its partners in a top pair
};

// The state of a partly chosen combination.
struct Prefix {
  int size = 0;
  std::array<int32_t, 6> chosen{};  // ascending
  int32_t first = 0, last = 0;
  int sum = 0, odd = 0, low = 0, consecutive = 0;
  Bits set = 0;
  std::array<uint8_t, 10> decades{}, digits{};
  // The history filters: the numbers that would complete a set of a draw, and whether one is
  // held already.
  std::array<Bits, kMaxHistoryFilters> completing{};
  uint32_t failed = 0;
};

class Space {
 public:
  Space(const GenerateInput& input, std::vector<Prepared> filters, Bits low)
      : m_m(input.highest), m_filters(std::move(filters)), m_low(low) {
    for (int32_t n = 1; n <= m_m; ++n) {
      m_decade[static_cast<std::size_t>(n / 10)] |= Bit(n);
      m_digit[static_cast<std::size_t>(n % 10)] |= Bit(n);
      (n % 2 ? m_oddBits : m_evenBits) |= Bit(n);
    }
  }

  const std::vector<Prepared>& prepared() const { return m_filters; }

  // The empty prefix: a filter that allows no number ever drawn has them all to avoid.
  Prefix root() const {
    Prefix p;
    for (const Prepared& f : m_filters) {
      if (f.history >= 0 && f.filter.kind != FilterKind::TopPairs && f.shared.size == 1) {
        p.completing[static_cast<std::size_t>(f.history)] = f.shared.singles;
      }
    }
    return p;
  }
  int32_t highest() const { return m_m; }

  TALLYRA_INLINE Prefix add(const Prefix& p, int32_t x) const {
    Prefix next = p;
    next.chosen[static_cast<std::size_t>(p.size)] = x;
    if (p.size == 0) next.first = x;
    next.consecutive += p.size > 0 && x == p.last + 1;
    next.last = x;
    ++next.size;
    next.sum += x;
    next.odd += x % 2;
    next.low += (m_low & Bit(x)) != 0;
    ++next.decades[static_cast<std::size_t>(x / 10)];
    ++next.digits[static_cast<std::size_t>(x % 10)];
    for (const Prepared& f : m_filters) {
      if (f.history < 0) continue;
      const auto h = static_cast<std::size_t>(f.history);
      if (f.filter.kind == FilterKind::TopPairs) {
        if (p.completing[h] & Bit(x)) next.failed |= 1u << h;  // "failed" means: a pair held
        next.completing[h] |= f.topPairs[static_cast<std::size_t>(x)];
        continue;
      }
      if (p.completing[h] & Bit(x)) next.failed |= 1u << h;
      next.completing[h] |= Extend(f.shared, p, x);
    }
    next.set |= Bit(x);
    return next;
  }

  // The numbers after the prefix's last that each filter lets complete it.
  TALLYRA_INLINE void passes(const Prefix& p, std::vector<Bits>& out) const {
    const Bits after = Span(p.last + 1, m_m);
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
      out[i] = after & pass(m_filters[i], p);
    }
  }

 private:
  // The numbers y that would make the prefix and x hold `shared.size` numbers of one draw
  // together with a set of the prefix.
  TALLYRA_INLINE Bits Extend(const Shared& shared, const Prefix& p, int32_t x) const {
    const int s = shared.size;
    if (s > kDrawn) return 0;
    if (s == 1) return shared.singles;
    if (s == 2) return shared.byOne[static_cast<std::size_t>(x)];
    const int n = p.size;
    const auto& c = p.chosen;
    Bits out = 0;
    // Every (s - 2)-subset of the prefix, with x, as the (s - 1)-set to complete.
    if (s == 3) {
      for (int i = 0; i < n; ++i) out |= shared.byTwo[static_cast<std::size_t>(c[i] * 100 + x)];
    } else if (s == 4) {
      for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) out |= shared.byThree[Triple(c[i], c[j], x)];
      }
    } else if (s == 5) {
      for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
          for (int k = j + 1; k < n; ++k) {
            const int32_t set[4] = {c[i], c[j], c[k], x};
            out |= shared.larger.find(KeyOf(set, 4));
          }
        }
      }
    } else {
      for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
          for (int k = j + 1; k < n; ++k) {
            for (int l = k + 1; l < n; ++l) {
              const int32_t set[5] = {c[i], c[j], c[k], c[l], x};
              out |= shared.larger.find(KeyOf(set, 5));
            }
          }
        }
      }
    }
    return out;
  }

  TALLYRA_INLINE static std::size_t Triple(int32_t a, int32_t b, int32_t c) {
    const auto a0 = static_cast<std::size_t>(a - 1), b0 = static_cast<std::size_t>(b - 1),
               c0 = static_cast<std::size_t>(c - 1);
    return c0 * (c0 - 1) * (c0 - 2) / 6 + b0 * (b0 - 1) / 2 + a0;
  }

  // Of x, a count `held` of the prefix and `in` a class: held + [x in class] within lo..hi.
  TALLYRA_INLINE static Bits Within(int held, Bits in, int lo, int hi) {
    const bool without = held >= lo && held <= hi;
    const bool with = held + 1 >= lo && held + 1 <= hi;
    return (without ? ~in : 0) | (with ? in : 0);
  }

  // The numbers of classes that hold `most` numbers of the prefix already, or all when one
  // holds more.
  TALLYRA_INLINE static Bits Full(const std::array<uint8_t, 10>& counts,
                                  const std::array<Bits, 10>& classes, int most) {
    Bits full = 0;
    for (std::size_t c = 0; c < counts.size(); ++c) {
      if (counts[c] > most) return ~Bits{0};
      if (counts[c] == most) full |= classes[c];
    }
    return full;
  }

  TALLYRA_INLINE Bits pass(const Prepared& f, const Prefix& p) const {
    const Filter& filter = f.filter;
    switch (filter.kind) {
      case FilterKind::Sum:
        return Span(int64_t{filter.low} - p.sum, int64_t{filter.high} - p.sum);
      case FilterKind::Odd:
        return Within(p.odd, m_oddBits, filter.low, filter.high);
      case FilterKind::Low:
        return Within(p.low, m_low, filter.low, filter.high);
      case FilterKind::Spread:
        return Span(int64_t{p.first} + filter.low, int64_t{p.first} + filter.high);
      case FilterKind::ConsecutiveMax:
        if (p.consecutive > filter.high) return 0;
        return p.consecutive == filter.high ? ~Bit(p.last + 1) : ~Bits{0};
      case FilterKind::DecadeMax:
        return ~Full(p.decades, m_decade, filter.high);
      case FilterKind::LastDigitMax:
        return ~Full(p.digits, m_digit, filter.high);
      case FilterKind::Include: {
        const int held = Popcount(p.set & f.numbers);
        if (held >= f.needed) return ~Bits{0};
        return held + 1 == f.needed ? f.numbers : 0;
      }
      case FilterKind::IncludeAny:
        return (p.set & f.numbers) ? ~Bits{0} : f.numbers;
      case FilterKind::Exclude:
        return (p.set & f.numbers) ? 0 : ~f.numbers;
      case FilterKind::Pool:
        return (p.set & ~f.numbers) ? 0 : f.numbers;
      case FilterKind::PreviousMax:
        return Within(Popcount(p.set & f.numbers), f.numbers, 0, filter.high);
      case FilterKind::NotDrawn:
      case FilterKind::ShareMax: {
        const auto h = static_cast<std::size_t>(f.history);
        return (p.failed >> h & 1) ? 0 : ~p.completing[h];
      }
      case FilterKind::TopPairs: {
        const auto h = static_cast<std::size_t>(f.history);
        return (p.failed >> h & 1) ? ~Bits{0} : p.completing[h];
      }
    }
    return 0;
  }

  int32_t m_m;
  std::vector<Prepared> m_filters;
  Bits m_low;
  std::array<Bits, 10> m_decade{}, m_digit{};
  Bits m_oddBits = 0, m_evenBits = 0;
};

int32_t LowBoundary(const GenerateInput& input) {
  return input.lowBoundary > 0 ? std::min(input.lowBoundary, input.highest) : input.highest / 2;
}

std::vector<AnalysisDraw> RangeDraws(const GenerateInput& input) {
  const int last = std::min(input.range.last, static_cast<int>(input.history.size()));
  std::vector<AnalysisDraw> draws;
  for (int p = std::max(1, input.range.first); p <= last; ++p) {
    draws.push_back(input.history[static_cast<std::size_t>(p - 1)]);
  }
  return draws;
}

// Counts of every pair of 1..M over some draws, by PairIndex.
class PairCounts {
 public:
  explicit PairCounts(int32_t m) : m_m(m), m_counts(Binomial(m, 2), 0) {}
  void add(const AnalysisDraw& draw) {
    AnalysisDraw d = draw;
    std::sort(d.begin(), d.end());
    for (std::size_t i = 0; i < d.size(); ++i) {
      for (std::size_t j = i + 1; j < d.size(); ++j) ++m_counts[PairIndex(d[i], d[j])];
    }
  }
  // The k most frequent pairs as partners by number; equal counts in ascending order of their
  // numbers, as the analysis ranks them.
  std::vector<Bits> top(int k) const {
    struct Ranked {
      uint32_t count, order;
      int32_t a, b;
    };
    std::vector<Ranked> all;
    all.reserve(m_counts.size());
    uint32_t order = 0;
    for (int32_t a = 1; a <= m_m; ++a) {
      for (int32_t b = a + 1; b <= m_m; ++b)
        all.push_back({m_counts[PairIndex(a, b)], order++, a, b});
    }
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(std::max(k, 0)), all.size());
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), all.end(),
                      [](const Ranked& x, const Ranked& y) {
                        return x.count != y.count ? x.count > y.count : x.order < y.order;
                      });
    std::vector<Bits> partners(static_cast<std::size_t>(m_m) + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
      partners[static_cast<std::size_t>(all[i].a)] |= Bit(all[i].b);
      partners[static_cast<std::size_t>(all[i].b)] |= Bit(all[i].a);
    }
    return partners;
  }

 private:
  int32_t m_m;
  std::vector<uint32_t> m_counts;
};

std::vector<Bits> TopPartners(const std::vector<AnalysisDraw>& draws, int32_t m, int k) {
  PairCounts counts(m);
  for (const AnalysisDraw& d : draws) counts.add(d);
  return counts.top(k);
}

// The filters switched on, with what each needs made once.
std::vector<Prepared> Prepare(const GenerateInput& input) {
  std::vector<Prepared> prepared;
  // CheckFilters refuses a history with a draw that is no draw of the game; should one come
  // here anyway, it is left out rather than read outside the tables.
  std::vector<AnalysisDraw> range = RangeDraws(input);
  std::erase_if(range, [&](const AnalysisDraw& d) { return !WholeDraw(d, input.highest); });
  std::vector<AnalysisDraw> drawn = input.history;
  std::erase_if(drawn, [&](const AnalysisDraw& d) { return !WholeDraw(d, input.highest); });
  int history = 0;
  for (const Filter& filter : input.filters) {
    if (!filter.on) continue;
    Prepared p;
    p.filter = filter;
    p.numbers = SetOf(filter.numbers);
    p.needed = static_cast<int>(filter.numbers.size());
    switch (filter.kind) {
      case FilterKind::PreviousMax:
        p.numbers = range.empty() ? 0 : SetOf(range.back());
        break;
      case FilterKind::NotDrawn:
        p.history = history++;
        p.shared = MakeShared(kDrawn, drawn, input.highest);
        break;
      case FilterKind::ShareMax:
        p.history = history++;
        p.shared = MakeShared(filter.high + 1, range, input.highest);
        break;
      case FilterKind::TopPairs:
        p.history = history++;
        p.topPairs = TopPartners(range, input.highest, filter.high);
        break;
      default:
        break;
    }
    prepared.push_back(std::move(p));
  }
  return prepared;
}

// Walks every combination whose first two numbers are the pair of `task`, in lexicographic
// order: `visit` gets each prefix of five and what every filter lets complete it.
template <typename Visit>
TALLYRA_INLINE void WalkTask(const Space& space, int32_t a, int32_t b, Visit&& visit) {
  const int32_t m = space.highest();
  std::vector<Bits> passes(space.prepared().size());
  const Prefix pa = space.add(space.root(), a);
  const Prefix pb = space.add(pa, b);
  for (int32_t c = b + 1; c <= m - 3; ++c) {
    const Prefix pc = space.add(pb, c);
    for (int32_t d = c + 1; d <= m - 2; ++d) {
      const Prefix pd = space.add(pc, d);
      for (int32_t e = d + 1; e <= m - 1; ++e) {
        const Prefix pe = space.add(pd, e);
        space.passes(pe, passes);
        visit(pe, passes);
      }
    }
  }
}

// Per worker: left after each step, kept alone, the numbers left.
struct Counts {
  std::vector<uint64_t> left, alone;
  Bits numbers = 0;
};

TALLYRA_CLONES void CountTask(const Space& space, int32_t a, int32_t b, Counts& c) {
  const std::size_t n = space.prepared().size();
  const int32_t m = space.highest();
  WalkTask(space, a, b, [&c, n, m](const Prefix& p, const std::vector<Bits>& passes) {
    Bits all = Span(p.last + 1, m);
    for (std::size_t i = 0; i < n; ++i) c.alone[i] += static_cast<uint64_t>(Popcount(passes[i]));
    for (std::size_t i = 0; i < n; ++i) {
      all &= passes[i];
      c.left[i] += static_cast<uint64_t>(Popcount(all));
    }
    if (all) c.numbers |= all | p.set;
  });
}

TALLYRA_INLINE Bits Survivors(const Prefix& p, const std::vector<Bits>& passes, int32_t m) {
  Bits all = Span(p.last + 1, m);
  for (const Bits b : passes) all &= b;
  return all;
}

TALLYRA_CLONES uint64_t SurvivorsInTask(const Space& space, int32_t a, int32_t b) {
  uint64_t here = 0;
  const int32_t m = space.highest();
  WalkTask(space, a, b, [&here, m](const Prefix& p, const std::vector<Bits>& passes) {
    here += static_cast<uint64_t>(Popcount(Survivors(p, passes, m)));
  });
  return here;
}

// The survivors of the task whose indexes (counted from `index`, the task's first) are wanted,
// from `next` on, into `picked` at the same places as in `wanted`.
TALLYRA_CLONES void PickInTask(const Space& space, int32_t a, int32_t b, uint64_t index,
                               const std::vector<uint64_t>& wanted,
                               std::vector<uint64_t>::const_iterator next,
                               std::vector<AnalysisDraw>& picked) {
  const int32_t m = space.highest();
  WalkTask(space, a, b, [&](const Prefix& p, const std::vector<Bits>& passes) {
    const Bits all = Survivors(p, passes, m);
    const auto here = static_cast<uint64_t>(Popcount(all));
    while (next != wanted.end() && *next < index + here) {
      // The k-th survivor of this prefix, k counted from its smallest last number.
      Bits rest = all;
      for (uint64_t k = *next - index; k > 0; --k) rest &= rest - 1;
      const auto lo = static_cast<uint64_t>(rest);
      AnalysisDraw& out = picked[static_cast<std::size_t>(next - wanted.begin())];
      std::copy_n(p.chosen.begin(), 5, out.begin());
      out[5] = lo ? std::countr_zero(lo) : 64 + std::countr_zero(static_cast<uint64_t>(rest >> 64));
      ++next;
    }
    index += here;
  });
}

// The pairs (a, b) that start combinations, heaviest first.
std::vector<std::pair<int32_t, int32_t>> Tasks(int32_t m) {
  std::vector<std::pair<int32_t, int32_t>> tasks;
  for (int32_t a = 1; a <= m - 5; ++a) {
    for (int32_t b = a + 1; b <= m - 4; ++b) tasks.emplace_back(a, b);
  }
  return tasks;
}

// A plain look at one draw: whether each filter keeps it, the history filters judging it by
// the draws before it (position `p` in the history).
bool Keeps(const Filter& f, const AnalysisDraw& draw, int p, const GenerateInput& input,
           int32_t lowBoundary, const std::vector<Bits>& topBefore) {
  AnalysisDraw d = draw;
  std::sort(d.begin(), d.end());
  const DrawShape shape = ShapeOf(d, lowBoundary);
  const Bits set = SetOf(d);
  auto within = [&f](int v) { return v >= f.low && v <= f.high; };
  auto most = [&d, &f](int (*classOf)(int32_t)) {
    std::array<int, 10> counts{};
    for (const int32_t n : d) {
      if (++counts[static_cast<std::size_t>(classOf(n))] > f.high) return false;
    }
    return true;
  };
  switch (f.kind) {
    case FilterKind::Sum:
      return within(shape.sum);
    case FilterKind::Odd:
      return within(shape.odd);
    case FilterKind::Low:
      return within(shape.low);
    case FilterKind::Spread:
      return within(shape.spread);
    case FilterKind::ConsecutiveMax:
      return shape.consecutive <= f.high;
    case FilterKind::DecadeMax:
      return most([](int32_t n) { return n / 10; });
    case FilterKind::LastDigitMax:
      return most([](int32_t n) { return n % 10; });
    case FilterKind::Include:
      return Popcount(set & SetOf(f.numbers)) == static_cast<int>(f.numbers.size());
    case FilterKind::IncludeAny:
      return (set & SetOf(f.numbers)) != 0;
    case FilterKind::Exclude:
      return (set & SetOf(f.numbers)) == 0;
    case FilterKind::Pool:
      return (set & ~SetOf(f.numbers)) == 0;
    case FilterKind::PreviousMax:
      return p < 2 ||
             Popcount(set & SetOf(input.history[static_cast<std::size_t>(p - 2)])) <= f.high;
    case FilterKind::NotDrawn:
      for (int q = 1; q < p; ++q) {
        if (SetOf(input.history[static_cast<std::size_t>(q - 1)]) == set) return false;
      }
      return true;
    case FilterKind::ShareMax:
      for (int q = std::max(1, input.range.first); q < p; ++q) {
        if (Popcount(SetOf(input.history[static_cast<std::size_t>(q - 1)]) & set) > f.high) {
          return false;
        }
      }
      return true;
    case FilterKind::TopPairs:
      for (const int32_t n : d) {
        if (topBefore[static_cast<std::size_t>(n)] & set) return true;
      }
      return false;
  }
  return false;
}

std::string Range(int32_t low, int32_t high) {
  std::string text = std::to_string(low);
  text.append("-").append(std::to_string(high));
  return text;
}

std::string Numbers(const std::vector<int32_t>& numbers) {
  std::string text;
  for (const int32_t n : numbers) {
    if (!text.empty()) text.append(",");
    text.append(std::to_string(n));
  }
  return text;
}

std::optional<int32_t> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int32_t v = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    v = v * 10 + (ch - '0');
  }
  return v;
}

constexpr const char* kNames[] = {"sum",
                                  "odd",
                                  "low",
                                  "spread",
                                  "consecutive-max",
                                  "decade-max",
                                  "last-digit-max",
                                  "include",
                                  "include-any",
                                  "exclude",
                                  "pool",
                                  "previous-max",
                                  "not-drawn",
                                  "share-max",
                                  "top-pairs"};

}  // namespace

const char* FilterName(FilterKind kind) {
  return kNames[static_cast<std::size_t>(kind)];
}

std::optional<FilterKind> FilterKindNamed(const std::string& name) {
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (name == kNames[i]) return static_cast<FilterKind>(i);
  }
  return std::nullopt;
}

bool ReadsHistory(FilterKind kind) {
  return kind == FilterKind::PreviousMax || kind == FilterKind::NotDrawn ||
         kind == FilterKind::ShareMax || kind == FilterKind::TopPairs;
}

std::string FilterArguments(const Filter& filter) {
  switch (filter.kind) {
    case FilterKind::Sum:
    case FilterKind::Odd:
    case FilterKind::Low:
    case FilterKind::Spread:
      return Range(filter.low, filter.high);
    case FilterKind::Include:
    case FilterKind::IncludeAny:
    case FilterKind::Exclude:
    case FilterKind::Pool:
      return Numbers(filter.numbers);
    case FilterKind::NotDrawn:
      return {};
    default:
      return std::to_string(filter.high);
  }
}

std::optional<std::string> ReadFilterArguments(Filter& filter, const std::string& text,
                                               int32_t highest, int32_t language) {
  const std::string name = FilterName(filter.kind);
  auto range = [&](int32_t least, int32_t most) -> std::optional<std::string> {
    const std::size_t dash = text.find('-');
    const auto lo = dash == std::string::npos ? std::nullopt : WholeNumber(text.substr(0, dash));
    const auto hi = dash == std::string::npos ? std::nullopt : WholeNumber(text.substr(dash + 1));
    if (!lo || !hi || *lo > *hi || *lo < least || *hi > most) {
      return Format(TextId::TxtFilterRange, language,
                    {name, text, std::to_string(least), std::to_string(most)});
    }
    filter.low = *lo;
    filter.high = *hi;
    return std::nullopt;
  };
  auto count = [&](int32_t least, int32_t most) -> std::optional<std::string> {
    const auto v = WholeNumber(text);
    if (!v || *v < least || *v > most) {
      return Format(TextId::TxtFilterCount, language,
                    {name, text, std::to_string(least), std::to_string(most)});
    }
    filter.high = *v;
    return std::nullopt;
  };
  switch (filter.kind) {
    case FilterKind::Sum:
      return range(0, 6 * 99);
    case FilterKind::Odd:
    case FilterKind::Low:
      return range(0, kDrawn);
    case FilterKind::Spread:
      return range(0, 98);
    case FilterKind::ConsecutiveMax:
      return count(0, kDrawn - 1);
    case FilterKind::DecadeMax:
    case FilterKind::LastDigitMax:
      return count(1, kDrawn);
    case FilterKind::PreviousMax:
    case FilterKind::ShareMax:
      return count(0, kDrawn);
    case FilterKind::TopPairs:
      return count(1, static_cast<int32_t>(Binomial(highest, 2)));
    case FilterKind::NotDrawn:
      if (!text.empty()) return Format(TextId::TxtFilterNoValue, language, {name});
      return std::nullopt;
    case FilterKind::Include:
    case FilterKind::IncludeAny:
    case FilterKind::Exclude:
    case FilterKind::Pool: {
      std::vector<int32_t> numbers;
      std::set<int32_t> seen;
      bool good = !text.empty();
      for (std::size_t at = 0; good && at <= text.size();) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const auto v = WholeNumber(text.substr(at, comma - at));
        good = v && *v >= 1 && *v <= highest && seen.insert(*v).second;
        if (good) numbers.push_back(*v);
        at = comma + 1;
      }
      if (!good) {
        return Format(TextId::TxtFilterNumbers, language, {name, text, std::to_string(highest)});
      }
      filter.numbers = numbers;
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<FilterProblem> CheckFilters(const GenerateInput& input, int32_t language) {
  // The history filters read the draws as sets of six numbers of 1..M.
  const bool historyRead =
      std::any_of(input.filters.begin(), input.filters.end(),
                  [](const Filter& f) { return f.on && ReadsHistory(f.kind); });
  for (std::size_t p = 0; historyRead && p < input.history.size(); ++p) {
    if (!WholeDraw(input.history[p], input.highest)) {
      return FilterProblem{-1, Format(TextId::TxtFilterBadDraw, language,
                                      {std::to_string(p + 1), std::to_string(input.highest)})};
    }
  }
  const int held = std::min(input.range.last, static_cast<int>(input.history.size())) -
                   std::max(1, input.range.first) + 1;
  int history = 0;
  for (std::size_t i = 0; i < input.filters.size(); ++i) {
    const Filter& f = input.filters[i];
    // The bounds are read again as written, for the M of the game.
    Filter again = f;
    if (auto reason = ReadFilterArguments(again, FilterArguments(f), input.highest, language)) {
      return FilterProblem{static_cast<int>(i), *reason};
    }
    if (f.on && ReadsHistory(f.kind)) {
      if (held < 1 || input.history.empty()) {
        return FilterProblem{static_cast<int>(i),
                             Format(TextId::TxtFilterNeedsDraws, language, {FilterName(f.kind)})};
      }
      if (f.kind != FilterKind::PreviousMax && ++history > kMaxHistoryFilters) {
        return FilterProblem{static_cast<int>(i), Format(TextId::TxtFilterTooMany, language,
                                                         {std::to_string(kMaxHistoryFilters)})};
      }
    }
  }
  return std::nullopt;
}

Funnel RunFunnel(const GenerateInput& input, WorkControl* control, int threads) {
  Funnel funnel;
  const int32_t m = input.highest;
  funnel.total = Binomial(m, kDrawn);
  const int32_t lowBoundary = LowBoundary(input);
  const Space space(input, Prepare(input), Span(1, lowBoundary));
  const std::size_t n = space.prepared().size();
  const auto tasks = Tasks(m);

  const int workers =
      ParallelWorkers(static_cast<int64_t>(tasks.size()), ParallelOptions{threads, 1, nullptr});
  std::vector<Counts> counts(static_cast<std::size_t>(workers));
  for (Counts& c : counts) c.left.assign(n, 0), c.alone.assign(n, 0);
  if (control) control->SetTotal(static_cast<int64_t>(tasks.size()));
  ParallelOptions options{threads, 1, control ? &control->CancelFlag() : nullptr};
  ParallelFor(static_cast<int64_t>(tasks.size()), options, [&](int64_t begin, int64_t end, int w) {
    Counts& c = counts[static_cast<std::size_t>(w)];
    for (int64_t t = begin; t < end; ++t) {
      const auto [a, b] = tasks[static_cast<std::size_t>(t)];
      CountTask(space, a, b, c);
      if (control) control->AddDone(1);
    }
  });
  if (control && control->Cancelled()) {
    funnel.cancelled = true;
    return funnel;
  }

  // The backtest: each draw of the range through each filter, as the filters stood before it.
  const std::vector<AnalysisDraw> range = RangeDraws(input);
  const int first = std::max(1, input.range.first);
  std::vector<uint64_t> kept(n, 0);
  uint64_t keptAll = 0;
  std::vector<Bits> topBefore;
  PairCounts pairsBefore(m);
  for (std::size_t r = 0; r < range.size(); ++r) {
    const int p = first + static_cast<int>(r);
    bool all = true;
    for (std::size_t i = 0; i < n; ++i) {
      const Filter& f = space.prepared()[i].filter;
      if (f.kind == FilterKind::TopPairs) topBefore = pairsBefore.top(f.high);
      const bool keeps = Keeps(f, range[r], p, input, lowBoundary, topBefore);
      kept[i] += keeps;
      all = all && keeps;
    }
    keptAll += all;
    pairsBefore.add(range[r]);
  }

  Counts total;
  total.left.assign(n, 0);
  total.alone.assign(n, 0);
  for (const Counts& c : counts) {
    for (std::size_t i = 0; i < n; ++i) total.left[i] += c.left[i], total.alone[i] += c.alone[i];
    total.numbers |= c.numbers;
  }
  const auto draws = static_cast<uint64_t>(range.size());
  funnel.left = funnel.total;
  std::size_t step = 0;
  for (std::size_t i = 0; i < input.filters.size(); ++i) {
    if (!input.filters[i].on) continue;
    FunnelStep s;
    s.filter = static_cast<int>(i);
    s.left = total.left[step];
    s.alone = total.alone[step];
    s.drawsKept = Exact{kept[step], std::max<uint64_t>(draws, 1)};
    if (s.left == 0 && funnel.emptiedBy < 0 && funnel.left > 0) funnel.emptiedBy = s.filter;
    funnel.left = s.left;
    funnel.steps.push_back(s);
    ++step;
  }
  funnel.drawsKept = Exact{n == 0 ? draws : keptAll, std::max<uint64_t>(draws, 1)};
  if (n == 0) total.numbers = funnel.total > 0 ? Span(1, m) : 0;
  for (int32_t x = 1; x <= m; ++x) {
    if (total.numbers & Bit(x)) funnel.numbersLeft.push_back(x);
  }
  return funnel;
}

std::vector<AnalysisDraw> PickCombinations(const GenerateInput& input, const Funnel& funnel,
                                           const PickChoice& choice, WorkControl* control,
                                           int threads) {
  const int32_t m = input.highest;
  const Space space(input, Prepare(input), Span(1, LowBoundary(input)));
  const auto tasks = Tasks(m);
  const uint64_t left = funnel.left;
  // The indexes of the combinations wanted, in the order of the walk.
  std::vector<uint64_t> wanted;
  if (left <= choice.count) {
    wanted.resize(left);
    for (uint64_t i = 0; i < left; ++i) wanted[i] = i;
  } else if (choice.every > 0) {
    for (uint64_t i = 0; i < left && wanted.size() < choice.count; i += choice.every) {
      wanted.push_back(i);
    }
  } else {
    // Floyd's choice of `count` of `left`, from the seed alone.
    std::mt19937_64 random(choice.seed);
    std::set<uint64_t> chosen;
    for (uint64_t j = left - choice.count; j < left; ++j) {
      // A number of 0..j without the bias of a plain remainder.
      const uint64_t span = j + 1;
      const uint64_t limit = ~uint64_t{0} - (~uint64_t{0} % span + 1) % span;
      uint64_t r = random();
      while (r > limit) r = random();
      const uint64_t t = r % span;
      if (!chosen.insert(t).second) chosen.insert(j);
    }
    wanted.assign(chosen.begin(), chosen.end());
  }
  if (wanted.empty()) return {};

  // The combinations left in each task, then each task's wanted ones by their place.
  const auto count = static_cast<int64_t>(tasks.size());
  std::vector<uint64_t> inTask(tasks.size(), 0);
  ParallelOptions options{threads, 1, control ? &control->CancelFlag() : nullptr};
  if (control) control->SetTotal(2 * count);
  ParallelFor(count, options, [&](int64_t begin, int64_t end, int) {
    for (int64_t t = begin; t < end; ++t) {
      const auto [a, b] = tasks[static_cast<std::size_t>(t)];
      inTask[static_cast<std::size_t>(t)] = SurvivorsInTask(space, a, b);
      if (control) control->AddDone(1);
    }
  });
  if (control && control->Cancelled()) return {};
  std::vector<uint64_t> offset(tasks.size() + 1, 0);
  for (std::size_t t = 0; t < tasks.size(); ++t) offset[t + 1] = offset[t] + inTask[t];
  std::vector<AnalysisDraw> picked(wanted.size());
  ParallelFor(count, options, [&](int64_t begin, int64_t end, int) {
    for (int64_t t = begin; t < end; ++t) {
      const auto ti = static_cast<std::size_t>(t);
      auto next = std::lower_bound(wanted.begin(), wanted.end(), offset[ti]);
      if (next == wanted.end() || *next >= offset[ti + 1]) {
        if (control) control->AddDone(1);
        continue;
      }
      const auto [a, b] = tasks[ti];
      PickInTask(space, a, b, offset[ti], wanted, next, picked);
      if (control) control->AddDone(1);
    }
  });
  if (control && control->Cancelled()) return {};
  return picked;
}

std::vector<int32_t> FrequentNumbers(const Analysis& analysis, int k, bool most) {
  std::vector<NumberFigures> numbers = analysis.numbers;
  std::stable_sort(numbers.begin(), numbers.end(),
                   [most](const NumberFigures& a, const NumberFigures& b) {
                     return most ? a.hits > b.hits : a.hits < b.hits;
                   });
  std::vector<int32_t> pool;
  for (std::size_t i = 0; i < numbers.size() && static_cast<int>(i) < k; ++i) {
    pool.push_back(numbers[i].number);
  }
  std::sort(pool.begin(), pool.end());
  return pool;
}

std::vector<int32_t> SkippingNumbers(const Analysis& analysis, int atLeast) {
  std::vector<int32_t> pool;
  for (const NumberFigures& f : analysis.numbers) {
    if (f.skip >= atLeast) pool.push_back(f.number);
  }
  return pool;
}

std::string FormatFilterFile(const std::vector<Filter>& filters) {
  std::string text = "# Tallyra filters, applied in this order\n";
  for (const Filter& f : filters) {
    if (!f.on) text.append("off ");
    text.append(FilterName(f.kind));
    const std::string arguments = FilterArguments(f);
    if (!arguments.empty()) text.append(" ").append(arguments);
    text.append("\n");
  }
  return text;
}

FilterFile ReadFilterFile(const std::string& text, int32_t highest, int32_t language) {
  FilterFile file;
  int line = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string row = text.substr(at, end - at);
    at = end + 1;
    ++line;
    if (!row.empty() && row.back() == '\r') row.pop_back();
    const std::size_t start = row.find_first_not_of(" \t");
    if (start == std::string::npos || row[start] == '#') continue;
    row = row.substr(start, row.find_last_not_of(" \t") + 1 - start);
    Filter filter;
    if (row.starts_with("off ")) {
      filter.on = false;
      row = row.substr(4);
    }
    const std::size_t blank = row.find(' ');
    const std::string name = row.substr(0, blank);
    const std::string arguments = blank == std::string::npos ? "" : row.substr(blank + 1);
    const std::optional<FilterKind> kind = FilterKindNamed(name);
    std::optional<std::string> reason;
    if (!kind) {
      reason = Format(TextId::TxtFilterUnknown, language, {name});
    } else {
      filter.kind = *kind;
      reason = ReadFilterArguments(filter, arguments, highest, language);
    }
    if (reason) {
      file.filters.clear();
      file.badLine = line;
      file.reason = *reason;
      return file;
    }
    file.filters.push_back(filter);
  }
  return file;
}

}  // namespace tallyra
