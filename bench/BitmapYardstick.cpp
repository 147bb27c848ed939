// The yardstick: one bitmap per number over the rows of the other side; for each row the
// bitmaps of its numbers are added up bit-sliced, a vector of rows at a time, and the rows in
// each category counted. Nothing else: no lists, no rare values, no second side's counts.

#include "BitmapYardstick.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <thread>

#if defined(__AVX512F__)
#include <immintrin.h>
#endif

namespace bench {
namespace {

#if defined(__AVX512F__)
constexpr std::size_t kLanes = 8;
#else
constexpr std::size_t kLanes = 4;
#endif
using Vec = uint64_t __attribute__((vector_size(kLanes * 8)));

inline Vec Load(const uint64_t* at) {
  Vec v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// Adds the population count of each lane of `v` to the lanes of `sum`.
inline void AddCounts(Vec& sum, Vec v) {
#if defined(__AVX512VPOPCNTDQ__)
  sum += reinterpret_cast<Vec>(_mm512_popcnt_epi64(reinterpret_cast<__m512i>(v)));
#else
  for (std::size_t l = 0; l < kLanes; ++l) sum[l] += static_cast<uint64_t>(std::popcount(v[l]));
#endif
}

inline int64_t Sum(Vec v) {
  int64_t s = 0;
  for (std::size_t l = 0; l < kLanes; ++l) s += static_cast<int64_t>(v[l]);
  return s;
}

}  // namespace

YardstickOutcome CollateWithBitmaps(const tallyra::RowSet& first, const tallyra::RowSet& second,
                                    bool pairs, bool sixOrMore, int threads) {
  const tallyra::RowSet& other = pairs ? first : second;
  const std::size_t words = (static_cast<std::size_t>(other.count) + 63) / 64;
  const std::size_t stride = (words + kLanes - 1) / kLanes * kLanes;
  std::vector<uint64_t> maps(64 * stride, 0);
  for (int r = 1; r <= other.count; ++r) {
    for (int c = 1; c <= other.width; ++c) {
      const int32_t v = other.at(r, c);
      if (v <= 0 || v >= 64) continue;
      const auto bit = static_cast<std::size_t>(r - 1);
      maps[static_cast<std::size_t>(v) * stride + bit / 64] |= uint64_t{1} << (bit % 64);
    }
  }

  YardstickOutcome out;
  out.rows.assign(static_cast<std::size_t>(first.count), {});
  // The counter the threads take rows from, on a cache line of its own: sharing one with the
  // locals the loop reads would make each take slow down the other thread.
  struct alignas(64) Counter {
    std::atomic<int> value{0};
  } next;
  constexpr int kChunk = 64;
  auto work = [&] {
    std::array<int64_t, 4> counts{};
    for (int start; (start = next.value.fetch_add(kChunk)) < first.count;) {
      for (int i = start; i < std::min(first.count, start + kChunk); ++i) {
        const uint64_t* numbers[12];
        int n = 0;
        for (int c = 1; c <= first.width; ++c) {
          const int32_t v = first.at(i + 1, c);
          if (v > 0 && v < 64) numbers[n++] = maps.data() + static_cast<std::size_t>(v) * stride;
        }
        // With pairs, the rows after row i: bits from i + 1 on.
        const std::size_t from = pairs ? static_cast<std::size_t>(i + 1) / 64 / kLanes * kLanes : 0;
        Vec sums[4] = {};
        for (std::size_t w = from; w < stride; w += kLanes) {
          Vec p0{}, p1{}, p2{}, p3{};
          for (int m = 0; m < n; ++m) {
            const Vec x = Load(numbers[m] + w);
            const Vec c1 = p0 & x;
            p0 ^= x;
            const Vec c2 = p1 & c1;
            p1 ^= c1;
            p3 ^= p2 & c2;
            p2 ^= c2;
          }
          Vec six = sixOrMore ? (p3 | (p2 & p1)) : (~p3 & p2 & p1 & ~p0);
          Vec three = ~p3 & ~p2 & p1 & p0, four = ~p3 & p2 & ~p1 & ~p0, five = ~p3 & p2 & ~p1 & p0;
          if (pairs && w == from) {
            // Row i and the rows before it are not pairs of row i.
            for (std::size_t l = 0; l < kLanes; ++l) {
              const std::size_t bit = (w + l) * 64;
              const auto first_bit = static_cast<std::size_t>(i + 1);
              const uint64_t keep = bit + 64 <= first_bit ? 0
                                    : bit >= first_bit    ? ~uint64_t{0}
                                                          : ~uint64_t{0} << (first_bit - bit);
              three[l] &= keep;
              four[l] &= keep;
              five[l] &= keep;
              six[l] &= keep;
            }
          }
          AddCounts(sums[0], three);
          AddCounts(sums[1], four);
          AddCounts(sums[2], five);
          AddCounts(sums[3], six);
        }
        for (std::size_t c = 0; c < 4; ++c) {
          const int64_t s = Sum(sums[c]);
          out.rows[static_cast<std::size_t>(i)][c] = static_cast<int32_t>(s);
          counts[c] += s;
        }
      }
    }
    return counts;
  };
  std::vector<std::array<int64_t, 4>> perThread(static_cast<std::size_t>(std::max(1, threads)));
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < perThread.size(); ++t) {
    helpers.emplace_back([&, t] { perThread[t] = work(); });
  }
  perThread[0] = work();
  for (auto& h : helpers) h.join();
  for (const auto& c : perThread) {
    for (std::size_t k = 0; k < 4; ++k) out.counts[k] += c[k];
  }
  return out;
}

const char* YardstickTarget() {
#if defined(TALLYRA_YARDSTICK_NATIVE)
  return "native";
#else
  return "generic";
#endif
}

}  // namespace bench
