// The kernel of the collations: the other side of a comparison as bitmaps, the rows of one side
// counted against them bit-sliced, and the entries of the coincidence lists written on demand.

#include "collate/Kernel.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "parallel/ParallelFor.h"

// The hot loops are built twice: for any x86-64, and for processors with AVX2 and POPCNT,
// chosen when the program starts. Everything they call is inlined into each build.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TALLYRA_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TALLYRA_CLONES
#endif
#define TALLYRA_INLINE inline __attribute__((always_inline))
#define TALLYRA_LAMBDA_INLINE __attribute__((always_inline))

namespace tallyra::kernel {
namespace {

// ---------------------------------------------------------------------------------------------
// The other side of a comparison as bitmaps: for each value, one bit per row that holds it.
// Values too rare to deserve a bitmap keep the sorted list of their rows instead, so that any
// file, however strange its numbers, costs bounded memory.

constexpr int kMaxBitmaps = 1024;

struct Membership {
  int rows = 0;
  std::size_t words = 0;
  std::vector<uint64_t> bitmaps;  // bitmap k at [k * words, (k + 1) * words)
  std::vector<std::vector<int32_t>> postings;
  // value -> k >= 0 for bitmap k, or -(p + 1) for postings[p]
  std::unordered_map<int32_t, int32_t> index;

  const uint64_t* bitmap(int32_t k) const {
    return bitmaps.data() + static_cast<std::size_t>(k) * words;
  }
};

std::shared_ptr<const Membership> BuildMembership(const RowSet& side) {
  auto m = std::make_shared<Membership>();
  m->rows = side.count;
  // Padded with four words: the kernel reads whole groups of four from any word on.
  m->words = (static_cast<std::size_t>(side.count) + 63) / 64 + 4;
  // Each row's distinct values, with how many rows hold each value.
  std::unordered_map<int32_t, int32_t> frequency;
  std::vector<int32_t> distinct;
  for (int r = 1; r <= side.count; ++r) {
    distinct.clear();
    for (int c = 1; c <= side.width; ++c) distinct.push_back(side.at(r, c));
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (int32_t v : distinct) ++frequency[v];
  }
  std::vector<std::pair<int32_t, int32_t>> byFrequency(frequency.begin(), frequency.end());
  std::sort(byFrequency.begin(), byFrequency.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  const int bitmapped = std::min<int>(kMaxBitmaps, static_cast<int>(byFrequency.size()));
  m->bitmaps.assign(static_cast<std::size_t>(bitmapped) * m->words, 0);
  for (int k = 0; k < static_cast<int>(byFrequency.size()); ++k) {
    if (k < bitmapped) {
      m->index[byFrequency[static_cast<std::size_t>(k)].first] = k;
    } else {
      m->index[byFrequency[static_cast<std::size_t>(k)].first] =
          -static_cast<int32_t>(m->postings.size()) - 1;
      m->postings.emplace_back();
    }
  }
  for (int r = 1; r <= side.count; ++r) {
    const int32_t bit = r - 1;
    for (int c = 1; c <= side.width; ++c) {
      const int32_t k = m->index.at(side.at(r, c));
      if (k >= 0) {
        m->bitmaps[static_cast<std::size_t>(k) * m->words + static_cast<std::size_t>(bit / 64)] |=
            uint64_t{1} << (bit % 64);
      } else {
        auto& rows = m->postings[static_cast<std::size_t>(-k - 1)];
        if (rows.empty() || rows.back() != bit) rows.push_back(bit);
      }
    }
  }
  return m;
}

// ---------------------------------------------------------------------------------------------
// The kernel: for one row of the first side, the number of its numbers found in each row of
// the other side, 64 rows to a word, held bit-sliced in four planes (counts up to 15; a row has
// at most twelve numbers).

constexpr std::size_t kBlock = 64;  // words looked at together, 4096 rows; a multiple of 4

using Masks = uint64_t[4][kBlock];  // per category, one word of marks per 64 rows
using Vec = uint64_t __attribute__((vector_size(32)));  // four words

struct RowInputs {
  std::array<const uint64_t*, 12> maps{};
  int maps_count = 0;
  std::array<const std::vector<int32_t>*, 12> rare{};
  int rare_count = 0;
};

// The usual case: the counts stay in registers, four words at a time, and only the category
// marks are written out. Reads whole groups of four words, which the bitmaps are padded to.
TALLYRA_INLINE void MarkBlock(const uint64_t* const* maps, int count, std::size_t from,
                              std::size_t len, bool sixOrMore, Masks& out) {
  for (std::size_t k = 0; k < len; k += 4) {
    Vec p0{}, p1{}, p2{}, p3{};
    for (int m = 0; m < count; ++m) {
      Vec x;
      std::memcpy(&x, maps[m] + from + k, sizeof x);
      const Vec c1 = p0 & x;
      p0 ^= x;
      const Vec c2 = p1 & c1;
      p1 ^= c1;
      const Vec c3 = p2 & c2;
      p2 ^= c2;
      p3 ^= c3;
    }
    const Vec three = ~p3 & ~p2 & p1 & p0;
    const Vec four = ~p3 & p2 & ~p1 & ~p0;
    const Vec five = ~p3 & p2 & ~p1 & p0;
    const Vec six = sixOrMore ? (p3 | (p2 & p1)) : (~p3 & p2 & p1 & ~p0);
    std::memcpy(&out[0][k], &three, sizeof three);
    std::memcpy(&out[1][k], &four, sizeof four);
    std::memcpy(&out[2][k], &five, sizeof five);
    std::memcpy(&out[3][k], &six, sizeof six);
  }
}

// Rows with rare numbers: the counts are kept in planes so that each row holding a rare number
// can get its one added where it stands.
void MarkBlockWithRare(const RowInputs& in, std::array<std::size_t, 12>& cursor, std::size_t from,
                       std::size_t len, bool sixOrMore, Masks& out) {
  uint64_t p[4][kBlock] = {};
  for (int m = 0; m < in.maps_count; ++m) {
    const uint64_t* x = in.maps[static_cast<std::size_t>(m)] + from;
    for (std::size_t k = 0; k < len; ++k) {
      uint64_t carry = x[k];
      for (int plane = 0; plane < 4 && carry; ++plane) {
        const uint64_t t = p[plane][k] & carry;
        p[plane][k] ^= carry;
        carry = t;
      }
    }
  }
  const auto blockEnd = static_cast<int32_t>((from + len) * 64);
  for (int r = 0; r < in.rare_count; ++r) {
    const auto& rows = *in.rare[static_cast<std::size_t>(r)];
    std::size_t& at = cursor[static_cast<std::size_t>(r)];
    for (; at < rows.size() && rows[at] < blockEnd; ++at) {
      const auto row = static_cast<std::size_t>(rows[at]);
      uint64_t carry = uint64_t{1} << (row % 64);
      for (int plane = 0; plane < 4 && carry; ++plane) {
        uint64_t& word = p[plane][row / 64 - from];
        const uint64_t t = word & carry;
        word ^= carry;
        carry = t;
      }
    }
  }
  for (std::size_t k = 0; k < len; ++k) {
    const uint64_t a = p[0][k], b = p[1][k], c = p[2][k], d = p[3][k];
    out[0][k] = ~d & ~c & b & a;
    out[1][k] = ~d & c & ~b & ~a;
    out[2][k] = ~d & c & ~b & a;
    out[3][k] = sixOrMore ? (d | (c & b)) : (~d & c & b & ~a);
  }
}

// Rare numbers' row lists are walked along as the blocks go by; a row's walk starts at `begin`.
struct RareCursor {
  std::array<std::size_t, 12> at{};
  void Start(const RowInputs& in, int32_t begin) {
    for (int r = 0; r < in.rare_count; ++r) {
      const auto& rows = *in.rare[static_cast<std::size_t>(r)];
      at[static_cast<std::size_t>(r)] = static_cast<std::size_t>(
          std::lower_bound(rows.begin(), rows.end(), begin) - rows.begin());
    }
  }
};

// The category marks of one row for words from..from+len of the other side, only rows in
// [begin, end) marked; the marks of a last partial group of four words are zero.
TALLYRA_INLINE void MarkRowBlock(const RowInputs& in, RareCursor& cursor, int32_t begin,
                                 int32_t end, bool sixOrMore, std::size_t from, std::size_t len,
                                 Masks& masks) {
  if (in.rare_count == 0) {
    MarkBlock(in.maps.data(), in.maps_count, from, (len + 3) & ~std::size_t{3}, sixOrMore, masks);
  } else {
    MarkBlockWithRare(in, cursor.at, from, len, sixOrMore, masks);
  }
  const std::size_t beginWord = static_cast<std::size_t>(begin) / 64;
  if (beginWord >= from && beginWord < from + len) {
    for (auto& m : masks) {
      for (std::size_t k = 0; k < beginWord - from; ++k) m[k] = 0;
      m[beginWord - from] &= ~uint64_t{0} << (begin % 64);
    }
  }
  const std::size_t lastWord = static_cast<std::size_t>(end - 1) / 64;
  if (lastWord >= from && lastWord < from + len && end % 64 != 0) {
    for (auto& m : masks) m[lastWord - from] &= ~uint64_t{0} >> (64 - end % 64);
  }
  for (std::size_t k = len; k % 4 != 0; ++k) {
    for (auto& m : masks) m[k] = 0;  // whole groups of four may be read
  }
}

// For one row of the first side: calls sink(from, len, masks) for the blocks of words that hold
// rows [begin, end) of the other side; masks[c][k] marks the rows of word from + k that are in
// category c.
template <typename Sink>
TALLYRA_INLINE void CompareRow(const RowInputs& in, int32_t begin, int32_t end, bool sixOrMore,
                               Sink&& sink) {
  // Fewer than three numbers to look for can make no coincidence.
  if (begin >= end || in.maps_count + in.rare_count < 3) return;
  Masks masks;
  RareCursor cursor;
  cursor.Start(in, begin);
  const std::size_t firstWord = static_cast<std::size_t>(begin) / 64;
  const std::size_t lastWord = static_cast<std::size_t>(end - 1) / 64;
  for (std::size_t from = firstWord; from <= lastWord; from += kBlock) {
    const std::size_t len = std::min(kBlock, lastWord + 1 - from);
    MarkRowBlock(in, cursor, begin, end, sixOrMore, from, len, masks);
    sink(from, len, masks);
  }
}

// ---------------------------------------------------------------------------------------------
// One phase of a collation: every row of `first` against the rows of `second` (the rows after it
// when both are the same list).

}  // namespace

struct PhaseData {
  RowSet first;
  RowSet second;
  std::shared_ptr<const Membership> other;
  PhaseRule rule;

  RowInputs Inputs(int row) const {
    RowInputs in;
    for (int c = 1; c <= first.width; ++c) {
      const int32_t v = first.at(row, c);
      if (rule.skipZeros && v == 0) continue;
      const auto found = other->index.find(v);
      if (found == other->index.end()) continue;
      if (found->second >= 0) {
        in.maps[static_cast<std::size_t>(in.maps_count++)] = other->bitmap(found->second);
      } else {
        in.rare[static_cast<std::size_t>(in.rare_count++)] =
            &other->postings[static_cast<std::size_t>(-found->second - 1)];
      }
    }
    return in;
  }
  int32_t Begin(int row) const { return rule.pairs ? row : 0; }

  // The entries "row=other , " of one category for one row.
  void Entries(int row, int category, std::string& out) const;
};

namespace {

// Row numbers up to 99999, the most a list holds, are written from a table of the four-digit
// groups (small enough to stay in the cache) as one eight-character word: the five digits,
// " , ", and the leading zeros shifted out.
struct EntryTails {
  static constexpr int kRows = 99999;
  std::array<uint32_t, 10000> groups{};  // "0000" .. "9999", first digit in the lowest byte
  EntryTails() {
    for (uint32_t g = 0; g < 10000; ++g) {
      const uint32_t d[4] = {g / 1000, g / 100 % 10, g / 10 % 10, g % 10};
      groups[g] = (d[0] + '0') | (d[1] + '0') << 8 | (d[2] + '0') << 16 | (d[3] + '0') << 24;
    }
  }
  // Writes "j , " at `at` (eight bytes are written) and returns its length.
  TALLYRA_INLINE std::size_t Write(char* at, uint32_t j) const {
    const uint32_t digits = 1 + (j >= 10) + (j >= 100) + (j >= 1000) + (j >= 10000);
    uint64_t word = (j / 10000 + '0') | uint64_t{groups[j % 10000]} << 8 |
                    uint64_t{' ' | ',' << 8 | ' ' << 16} << 40;
    word >>= 8 * (5 - digits);
    std::memcpy(at, &word, sizeof word);
    return digits + 3;
  }
};

// Made again whenever a viewer or a save asks for the row, so built for the processor too.
// Entries are put together in a buffer on the stack and appended to `out` in large pieces.
TALLYRA_CLONES void AppendEntries(const PhaseData& data, int row, int category, std::string& out) {
  static const EntryTails tails;
  char prefix[16] = {};
  const std::size_t prefixLength =
      static_cast<std::size_t>(std::to_chars(prefix, prefix + 15, row).ptr - prefix) + 1;
  prefix[prefixLength - 1] = '=';
  constexpr std::size_t kBuffer = std::size_t{1} << 15;
  constexpr std::size_t kRoom = 64;  // the most one entry may write, copies' slack included
  char buffer[kBuffer];
  std::size_t used = 0;
  CompareRow(data.Inputs(row), data.Begin(row), data.second.count, data.rule.sixOrMore,
             [&](std::size_t from, std::size_t len, const Masks& masks) TALLYRA_LAMBDA_INLINE {
               for (std::size_t k = 0; k < len; ++k) {
                 for (uint64_t m = masks[category][k]; m; m &= m - 1) {
                   if (used > kBuffer - kRoom) {
                     out.append(buffer, used);
                     used = 0;
                   }
                   char* at = buffer + used;
                   std::memcpy(at, prefix, 16);
                   at += prefixLength;
                   const int64_t other =
                       static_cast<int64_t>((from + k) * 64) + std::countr_zero(m) + 1;
                   if (other <= EntryTails::kRows) {
                     at += tails.Write(at, static_cast<uint32_t>(other));
                   } else {
                     at = std::to_chars(at, at + 24, other).ptr;
                     std::memcpy(at, " , ", 3);
                     at += 3;
                   }
                   used = static_cast<std::size_t>(at - buffer);
                 }
               }
             });
  out.append(buffer, used);
}

}  // namespace

void PhaseData::Entries(int row, int category, std::string& out) const {
  AppendEntries(*this, row, category, out);
}

namespace {

// The digits of the other side's row numbers in a row's entries. A row number j has
// 1 + [j >= 10] + [j >= 100] + [j >= 1000] + [j >= 10000] digits, so the digits of E entries
// are 5E less the entries below each of those four bounds, which all lie in the first words.
struct DigitTable {
  static constexpr int64_t kBounds[4] = {10, 100, 1000, 10000};
  static constexpr std::size_t kWords = 10000 / 64 + 1;  // words holding rows below 10000
  std::array<std::array<uint64_t, kWords>, 4> below{};   // rows j < bound

  DigitTable() {
    for (std::size_t t = 0; t < 4; ++t) {
      for (std::size_t w = 0; w < kWords; ++w) {
        uint64_t mask = 0;
        for (int b = 0; b < 64; ++b) {
          if (static_cast<int64_t>(w * 64) + b + 1 < kBounds[t]) mask |= uint64_t{1} << b;
        }
        below[t][w] = mask;
      }
    }
  }
  // The entries below the bounds among one word of marks.
  TALLYRA_INLINE int64_t Below(uint64_t m, std::size_t w) const {
    int64_t n = 0;
    for (std::size_t t = 0; t < 4; ++t) n += std::popcount(m & below[t][w]);
    return n;
  }
};

// Counts of one category per row of the other side (pairs only), kept bit-sliced in planes.
class ColumnCounter {
 public:
  static constexpr int kPlanes = 17;  // up to 131071 per row
  explicit ColumnCounter(std::size_t words)
      : m_words(words + kBlock), m_planes(kPlanes * m_words, 0) {}

  // Adds a block's small counts, held in `low` planes of 4-word groups, to words from..from+len.
  TALLYRA_INLINE void AddLow(std::size_t from, std::size_t len, const uint64_t (*low)[kBlock],
                             int lowPlanes) {
    for (std::size_t w = 0; w < len; w += 4) {
      Vec carry{};
      for (int k = 0; k < kPlanes; ++k) {
        uint64_t* at = m_planes.data() + static_cast<std::size_t>(k) * m_words + from + w;
        Vec h, a{};
        std::memcpy(&h, at, sizeof h);
        if (k < lowPlanes) std::memcpy(&a, low[k] + w, sizeof a);
        const Vec sum = h ^ a ^ carry;
        carry = (h & a) | (carry & (h ^ a));
        std::memcpy(at, &sum, sizeof sum);
        if (k >= lowPlanes - 1 && !(carry[0] | carry[1] | carry[2] | carry[3])) break;
      }
    }
  }

  int32_t At(int32_t bit) const {
    int32_t value = 0;
    const std::size_t word = static_cast<std::size_t>(bit) / 64;
    for (int k = 0; k < kPlanes; ++k) {
      value |= static_cast<int32_t>(
                   (m_planes[static_cast<std::size_t>(k) * m_words + word] >> (bit % 64)) & 1)
               << k;
    }
    return value;
  }

 private:
  std::size_t m_words;
  std::vector<uint64_t> m_planes;
};

struct RowCounts {
  CategoryCounts entries{};
  std::array<int64_t, 4> below{};  // entries whose other row number is below 10, 100, ...
};

// Rows are taken a chunk at a time, block by block, so that a block of the other side's
// bitmaps is read while it is in the cache and the other side's counts are added up in a small
// block counter first.
constexpr int kChunk = 31;
constexpr int kChunkPlanes = 5;  // holds up to 31

TALLYRA_CLONES void ProcessChunk(const PhaseData& data, int rowFrom, int rowTo,
                                 const DigitTable& digits, std::array<ColumnCounter, 4>* columns,
                                 RowCounts* out) {
  const int rows = rowTo - rowFrom;
  const int32_t end = data.second.count;
  std::array<RowInputs, kChunk> inputs;
  std::array<RareCursor, kChunk> cursors;
  std::array<int32_t, kChunk> begins;
  for (int r = 0; r < rows; ++r) {
    inputs[static_cast<std::size_t>(r)] = data.Inputs(rowFrom + r);
    begins[static_cast<std::size_t>(r)] = data.Begin(rowFrom + r);
    cursors[static_cast<std::size_t>(r)].Start(inputs[static_cast<std::size_t>(r)],
                                               begins[static_cast<std::size_t>(r)]);
  }
  if (begins[0] >= end) return;
  Masks masks;
  alignas(32) uint64_t low[4][kChunkPlanes][kBlock];
  const std::size_t firstWord = static_cast<std::size_t>(begins[0]) / 64;
  const std::size_t lastWord = static_cast<std::size_t>(end - 1) / 64;
  for (std::size_t from = firstWord; from <= lastWord; from += kBlock) {
    const std::size_t len = std::min(kBlock, lastWord + 1 - from);
    const std::size_t len4 = (len + 3) & ~std::size_t{3};
    if (columns) std::memset(low, 0, sizeof low);
    bool anyColumn[4] = {};
    for (int r = 0; r < rows; ++r) {
      const RowInputs& in = inputs[static_cast<std::size_t>(r)];
      const int32_t begin = begins[static_cast<std::size_t>(r)];
      if (begin >= end || in.maps_count + in.rare_count < 3) continue;
      MarkRowBlock(in, cursors[static_cast<std::size_t>(r)], begin, end, data.rule.sixOrMore, from,
                   len, masks);
      RowCounts& counts = out[r];
      for (std::size_t c = 0; c < 4; ++c) {
        const uint64_t* m = masks[c];
        int64_t total = 0;
        for (std::size_t k = 0; k < len; ++k) total += std::popcount(m[k]);
        if (total == 0) continue;
        counts.entries[c] += static_cast<int32_t>(total);
        for (std::size_t k = 0; k < len && from + k < DigitTable::kWords; ++k) {
          counts.below[c] += digits.Below(m[k], from + k);
        }
        if (!columns) continue;
        anyColumn[c] = true;
        for (std::size_t w = 0; w < len4; w += 4) {
          Vec carry;
          std::memcpy(&carry, m + w, sizeof carry);
          for (int k = 0; k < kChunkPlanes; ++k) {
            Vec p;
            std::memcpy(&p, low[c][k] + w, sizeof p);
            const Vec t = p & carry;
            p ^= carry;
            std::memcpy(low[c][k] + w, &p, sizeof p);
            carry = t;
          }
        }
      }
    }
    if (!columns) continue;
    for (std::size_t c = 0; c < 4; ++c) {
      if (anyColumn[c]) (*columns)[c].AddLow(from, len4, low[c], kChunkPlanes);
    }
  }
}

PhaseResult RunPhase(const PhaseData& data, const std::atomic<bool>* cancel, int threads) {
  const int n = data.first.count;
  PhaseResult result;
  result.firstRows.assign(static_cast<std::size_t>(n), CategoryCounts{});
  std::array<std::vector<int64_t>, 4> rowText;
  for (auto& t : rowText) t.assign(static_cast<std::size_t>(n), 0);
  const std::size_t words = data.other->words;
  static const DigitTable digits;

  const ParallelOptions options{threads, kChunk, cancel};
  using Columns = std::array<ColumnCounter, 4>;
  std::vector<std::unique_ptr<Columns>> others(
      static_cast<std::size_t>(ParallelWorkers(n, options)));
  // Rows are numbered from 1.
  ParallelFor(n, options, [&](int64_t begin, int64_t end, int worker) {
    const int start = static_cast<int>(begin) + 1;
    const int stop = static_cast<int>(end) + 1;
    Columns* columns = nullptr;
    if (data.rule.pairs) {
      auto& mine = others[static_cast<std::size_t>(worker)];
      if (!mine) {
        mine = std::make_unique<Columns>(Columns{ColumnCounter(words), ColumnCounter(words),
                                                 ColumnCounter(words), ColumnCounter(words)});
      }
      columns = mine.get();
    }
    std::array<RowCounts, kChunk> counts{};
    ProcessChunk(data, start, stop, digits, columns, counts.data());
    for (int row = start; row < stop; ++row) {
      const RowCounts& rc = counts[static_cast<std::size_t>(row - start)];
      const int rowDigits = Digits(row);
      for (std::size_t c = 0; c < 4; ++c) {
        result.firstRows[static_cast<std::size_t>(row - 1)][c] = rc.entries[c];
        rowText[c][static_cast<std::size_t>(row - 1)] =
            static_cast<int64_t>(rc.entries[c]) * (rowDigits + 4 + 5) - rc.below[c];
      }
    }
  });

  for (std::size_t c = 0; c < 4; ++c) {
    auto& offsets = result.offsets[c];
    offsets.resize(static_cast<std::size_t>(n) + 1);
    offsets[0] = 0;
    for (int r = 0; r < n; ++r) {
      offsets[static_cast<std::size_t>(r) + 1] =
          offsets[static_cast<std::size_t>(r)] + rowText[c][static_cast<std::size_t>(r)];
      result.counts[c] += result.firstRows[static_cast<std::size_t>(r)][c];
    }
  }
  if (data.rule.pairs) {
    // Rows of the first side are rows of the other side too: both are counted.
    for (int r = 0; r < n; ++r) {
      for (const auto& counters : others) {
        if (!counters) continue;
        for (std::size_t c = 0; c < 4; ++c) {
          result.firstRows[static_cast<std::size_t>(r)][c] += (*counters)[c].At(r);
        }
      }
    }
  }
  return result;
}

}  // namespace

CoincidenceList::Run MakeRun(std::shared_ptr<const PhaseData> data, std::vector<int64_t> offsets,
                             int category) {
  CoincidenceList::Run run;
  run.offsets = std::move(offsets);
  run.entries = [data = std::move(data), category](int row, std::string& out) {
    data->Entries(row, category, out);
  };
  return run;
}

Phase Run(const RowSet& first, const RowSet& second, PhaseRule rule,
          const std::atomic<bool>* cancel, int threads) {
  auto data = std::make_shared<PhaseData>();
  data->first = first;
  data->rule = rule;
  if (!rule.pairs) data->second = second;
  data->second.count = rule.pairs ? first.count : second.count;
  data->second.width = rule.pairs ? first.width : second.width;
  data->other = BuildMembership(rule.pairs ? first : second);
  Phase phase;
  phase.result = RunPhase(*data, cancel, threads);
  phase.data = std::move(data);
  return phase;
}

}  // namespace tallyra::kernel
