// The kernel of the collations: the other side of a comparison as bitmaps, the rows of one side
// counted against them bit-sliced, and the entries of the coincidence lists written on demand.

#include "collate/Kernel.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "parallel/ParallelFor.h"

// The hot loops are written once over a vector of words and built several times: for any
// x86-64 (four words to a vector), for AVX2 (x86-64-v3, four words) and for AVX-512
// (x86-64-v4, eight words; with VPOPCNTDQ the counting of marks is vectorized too). Each build
// is a function of its own with the processor's features as its target; everything it calls is
// inlined into it, and the build is chosen once, when it is first needed.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TALLYRA_X86_BUILDS 1
#if defined(__clang__)
#define TALLYRA_V3_FEATURES "avx,avx2,bmi,bmi2,fma,popcnt"
#define TALLYRA_TARGET_AVX2 __attribute__((target(TALLYRA_V3_FEATURES)))
#define TALLYRA_TARGET_AVX512 \
  __attribute__((target(TALLYRA_V3_FEATURES ",avx512f,avx512bw,avx512cd,avx512dq,avx512vl")))
#define TALLYRA_TARGET_AVX512_POPCNT \
  __attribute__((                    \
      target(TALLYRA_V3_FEATURES ",avx512f,avx512bw,avx512cd,avx512dq,avx512vl,avx512vpopcntdq")))
#else
#define TALLYRA_TARGET_AVX2 __attribute__((target("arch=x86-64-v3")))
#define TALLYRA_TARGET_AVX512 __attribute__((target("arch=x86-64-v4")))
#define TALLYRA_TARGET_AVX512_POPCNT __attribute__((target("arch=x86-64-v4,avx512vpopcntdq")))
#endif
#endif
#define TALLYRA_INLINE inline __attribute__((always_inline))
// Loops over the four categories or the lanes of a vector, unrolled so that their vectors stay
// in registers.
#define TALLYRA_UNROLL _Pragma("GCC unroll 8")
#define TALLYRA_LAMBDA_INLINE __attribute__((always_inline))

namespace tallyra::kernel {
namespace {

// The vectors the builds work with: four or eight words. Only ever held in variables or
// passed by reference, so that no function's calling convention depends on the build.
struct Lanes4 {
  static constexpr std::size_t kLanes = 4;
  static constexpr bool kVectorCount = false;
  using V = uint64_t __attribute__((vector_size(32)));
};
struct Lanes8 {
  static constexpr std::size_t kLanes = 8;
  static constexpr bool kVectorCount = false;
  using V = uint64_t __attribute__((vector_size(64)));
};
// Eight words, on a processor that counts their bits a vector at a time (VPOPCNTDQ).
struct Lanes8Count : Lanes8 {
  static constexpr bool kVectorCount = true;
};
constexpr std::size_t kWidest = 8;  // words in the widest vector

template <typename V>
TALLYRA_INLINE void Load(V& v, const uint64_t* at) {
  std::memcpy(&v, at, sizeof v);
}
template <typename V>
TALLYRA_INLINE void Store(uint64_t* at, const V& v) {
  std::memcpy(at, &v, sizeof v);
}
// Each word's population count. Written out as one instruction for VPOPCNTDQ, where GCC would
// otherwise narrow the counts to 32 bits and widen them back.
template <typename W>
TALLYRA_INLINE void CountBits(typename W::V& out, const typename W::V& v) {
#if defined(TALLYRA_X86_BUILDS) && !defined(__clang__)
  if constexpr (W::kVectorCount) {
    __asm__("vpopcntq %1, %0" : "=v"(out) : "v"(v));
  } else
#endif
  {
    TALLYRA_UNROLL
    for (std::size_t l = 0; l < W::kLanes; ++l) {
      out[l] = static_cast<uint64_t>(std::popcount(static_cast<uint64_t>(v[l])));
    }
  }
}
template <typename V>
TALLYRA_INLINE int64_t SumOf(const V& v) {
  uint64_t s = 0;
  for (std::size_t l = 0; l < sizeof(V) / 8; ++l) s += v[l];
  return static_cast<int64_t>(s);
}
template <typename V>
TALLYRA_INLINE bool AnyBit(const V& v) {
  uint64_t s = 0;
  for (std::size_t l = 0; l < sizeof(V) / 8; ++l) s |= v[l];
  return s != 0;
}

// Words that stay put however the vector they are in moves: `words` of them, the first one on
// a 64-byte boundary, all zero at first. Moved, never copied.
class AlignedWords {
 public:
  AlignedWords() = default;
  explicit AlignedWords(std::size_t words) : m_raw(words + kWidest, 0) {
    const auto address = reinterpret_cast<std::uintptr_t>(m_raw.data());
    m_data = m_raw.data() + (64 - address % 64) % 64 / 8;
  }
  AlignedWords(const AlignedWords&) = delete;
  AlignedWords& operator=(const AlignedWords&) = delete;
  AlignedWords(AlignedWords&&) noexcept = default;
  AlignedWords& operator=(AlignedWords&&) noexcept = default;
  uint64_t* data() { return m_data; }
  const uint64_t* data() const { return m_data; }

 private:
  std::vector<uint64_t> m_raw;
  uint64_t* m_data = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The other side of a comparison as bitmaps: for each value, one bit per row that holds it.
// Values too rare to deserve a bitmap keep the sorted list of their rows instead, so that any
// file, however strange its numbers, costs bounded memory.

constexpr int kMaxBitmaps = 1024;
constexpr int32_t kSmallValues = 4096;  // values 0..4095 are looked up in a table
constexpr int32_t kAbsent = INT32_MIN;
constexpr uint64_t kRareMark = 0;  // its address stands for a value with a row list

TALLYRA_INLINE bool IsSmall(int32_t v) {
  return v >= 0 && v < kSmallValues;
}

struct Membership {
  int rows = 0;
  std::size_t words = 0;  // per bitmap: a multiple of the widest vector, with one to spare
  AlignedWords bitmaps;   // bitmap k at [k * words, (k + 1) * words)
  std::vector<std::vector<int32_t>> postings;
  // value -> k >= 0 for bitmap k, or -(p + 1) for postings[p]; small values in `small`
  std::vector<int32_t> small = std::vector<int32_t>(kSmallValues, kAbsent);
  // Small values' bitmaps themselves: none for values not held, kRareMark for row lists.
  std::vector<const uint64_t*> smallMaps = std::vector<const uint64_t*>(kSmallValues, nullptr);
  std::unordered_map<int32_t, int32_t> index;

  const uint64_t* bitmap(int32_t k) const {
    return bitmaps.data() + static_cast<std::size_t>(k) * words;
  }
  int32_t Find(int32_t v) const {
    if (IsSmall(v)) return small[static_cast<std::size_t>(v)];
    const auto found = index.find(v);
    return found == index.end() ? kAbsent : found->second;
  }
  void Set(int32_t v, int32_t entry) {
    if (IsSmall(v)) {
      small[static_cast<std::size_t>(v)] = entry;
    } else {
      index[v] = entry;
    }
  }
};

std::shared_ptr<const Membership> BuildMembership(const RowSet& side) {
  auto m = std::make_shared<Membership>();
  m->rows = side.count;
  // A whole widest vector to spare: the kernel reads whole vectors from any word on.
  m->words =
      ((static_cast<std::size_t>(side.count) + 63) / 64 + 2 * kWidest - 1) / kWidest * kWidest;
  // How many rows hold each value, each row counted once.
  std::vector<int32_t> smallCount(kSmallValues, 0);
  std::vector<int32_t> smallLast(kSmallValues, 0);
  std::unordered_map<int32_t, std::pair<int32_t, int32_t>> other;  // value -> count, last row
  for (int r = 1; r <= side.count; ++r) {
    for (int c = 1; c <= side.width; ++c) {
      const int32_t v = side.at(r, c);
      if (IsSmall(v)) {
        const auto s = static_cast<std::size_t>(v);
        if (smallLast[s] != r) {
          smallLast[s] = r;
          ++smallCount[s];
        }
      } else {
        auto& seen = other[v];
        if (seen.second != r) {
          seen.second = r;
          ++seen.first;
        }
      }
    }
  }
  std::vector<std::pair<int32_t, int32_t>> byFrequency;
  for (int32_t v = 0; v < kSmallValues; ++v) {
    if (smallCount[static_cast<std::size_t>(v)] > 0) {
      byFrequency.emplace_back(v, smallCount[static_cast<std::size_t>(v)]);
    }
  }
  for (const auto& [v, seen] : other) byFrequency.emplace_back(v, seen.first);
  std::sort(byFrequency.begin(), byFrequency.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  const int bitmapped = std::min<int>(kMaxBitmaps, static_cast<int>(byFrequency.size()));
  m->bitmaps = AlignedWords(static_cast<std::size_t>(bitmapped) * m->words);
  for (int k = 0; k < static_cast<int>(byFrequency.size()); ++k) {
    if (k < bitmapped) {
      m->Set(byFrequency[static_cast<std::size_t>(k)].first, k);
    } else {
      m->Set(byFrequency[static_cast<std::size_t>(k)].first,
             -static_cast<int32_t>(m->postings.size()) - 1);
      m->postings.emplace_back();
    }
  }
  for (int32_t v = 0; v < kSmallValues; ++v) {
    const int32_t k = m->small[static_cast<std::size_t>(v)];
    m->smallMaps[static_cast<std::size_t>(v)] = k >= 0         ? m->bitmap(k)
                                                : k == kAbsent ? nullptr
                                                               : &kRareMark;
  }
  uint64_t* bits = m->bitmaps.data();
  for (int r = 1; r <= side.count; ++r) {
    const int32_t bit = r - 1;
    for (int c = 1; c <= side.width; ++c) {
      const int32_t k = m->Find(side.at(r, c));
      if (k >= 0) {
        bits[static_cast<std::size_t>(k) * m->words + static_cast<std::size_t>(bit / 64)] |=
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

constexpr std::size_t kBlock = 64;  // words looked at together, 4096 rows; a multiple of 8

using Masks = uint64_t[4][kBlock];  // per category, one word of marks per 64 rows

// The numbers of a row of the first side: the bitmaps of those the other side holds, and the
// row lists of the rare ones. Only the first maps_count and rare_count are set.
struct RowInputs {
  std::array<const uint64_t*, 12> maps;
  int maps_count = 0;
  std::array<const std::vector<int32_t>*, 12> rare;
  int rare_count = 0;
};

// Three one-bit counts a, b and `low` added: the sum's low bit into `low`, its high bit out.
template <typename V>
TALLYRA_INLINE void CarrySave(V& high, V& low, const V& a, const V& b) {
  const V l = low;
  const V u = l ^ a;
  high = (l & a) | (u & b);
  low = u ^ b;
}

// The category marks of one vector of words from `word` on: the row's bitmaps added up in four
// planes, four bitmaps at a time through carry-save adders, and the planes read as categories.
template <typename W>
TALLYRA_INLINE void MarkVector(const uint64_t* const* maps, int count, std::size_t word,
                               bool sixOrMore, typename W::V (&out)[4]) {
  using V = typename W::V;
  V p0{}, p1{}, p2{}, p3{};
  int m = 0;
  for (; m + 4 <= count; m += 4) {
    V a, b, c, d, twosA, twosB, fours;
    Load(a, maps[m] + word);
    Load(b, maps[m + 1] + word);
    Load(c, maps[m + 2] + word);
    Load(d, maps[m + 3] + word);
    CarrySave(twosA, p0, a, b);
    CarrySave(twosB, p0, c, d);
    CarrySave(fours, p1, twosA, twosB);
    p3 ^= p2 & fours;  // counts stay below 16
    p2 ^= fours;
  }
  for (; m < count; ++m) {
    V x;
    Load(x, maps[m] + word);
    const V c1 = p0 & x;
    p0 ^= x;
    const V c2 = p1 & c1;
    p1 ^= c1;
    p3 ^= p2 & c2;
    p2 ^= c2;
  }
  out[0] = ~p3 & ~p2 & p1 & p0;
  out[1] = ~p3 & p2 & ~p1 & ~p0;
  out[2] = ~p3 & p2 & ~p1 & p0;
  out[3] = sixOrMore ? (p3 | (p2 & p1)) : (~p3 & p2 & p1 & ~p0);
}

// The usual case: the counts stay in registers, a vector at a time, and only the category
// marks are written out. Reads whole vectors, which the bitmaps are padded to.
template <typename W>
TALLYRA_INLINE void MarkBlock(const uint64_t* const* maps, int count, std::size_t from,
                              std::size_t len, bool sixOrMore, Masks& out) {
  using V = typename W::V;
  for (std::size_t k = 0; k < len; k += W::kLanes) {
    V marks[4];
    MarkVector<W>(maps, count, from + k, sixOrMore, marks);
    for (std::size_t c = 0; c < 4; ++c) Store(&out[c][k], marks[c]);
  }
}

// Rows with rare numbers: the counts are kept in planes so that each row holding a rare number
// can get its one added where it stands.
TALLYRA_INLINE void MarkBlockWithRare(const RowInputs& in, std::array<std::size_t, 12>& cursor,
                                      std::size_t from, std::size_t len, bool sixOrMore,
                                      Masks& out) {
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
// [begin, end) marked; the marks of a last partial vector are zero.
template <typename W>
TALLYRA_INLINE void MarkRowBlock(const RowInputs& in, RareCursor& cursor, int32_t begin,
                                 int32_t end, bool sixOrMore, std::size_t from, std::size_t len,
                                 Masks& masks) {
  constexpr std::size_t kLanes = W::kLanes;
  if (in.rare_count == 0) {
    MarkBlock<W>(in.maps.data(), in.maps_count, from, (len + kLanes - 1) / kLanes * kLanes,
                 sixOrMore, masks);
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
  for (std::size_t k = len; k % kLanes != 0; ++k) {
    for (auto& m : masks) m[k] = 0;  // whole vectors may be read
  }
}

// For one row of the first side: calls sink(from, len, masks) for the blocks of words that hold
// rows [begin, end) of the other side; masks[c][k] marks the rows of word from + k that are in
// category c.
template <typename W, typename Sink>
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
    MarkRowBlock<W>(in, cursor, begin, end, sixOrMore, from, len, masks);
    sink(from, len, masks);
  }
}

// ---------------------------------------------------------------------------------------------
// One phase of a collation: every row of `first` against the rows of `second` (the rows after it
// when both are the same list).

}  // namespace

struct PhaseData {
  // The first side: its count and width, and its cells for the lists to be written from later,
  // a byte each when they all fit (in `narrow`) or as they are (in first.cells). While the
  // phase runs, `source` points to the caller's cells, which are read instead, and `fill` to
  // the bytes of `narrow`, which each row's cells are written to as they are read.
  RowSet first;
  std::vector<uint8_t> narrow;
  const int32_t* source = nullptr;
  uint8_t* fill = nullptr;
  RowSet second;  // its count and width only
  std::shared_ptr<const Membership> other;
  PhaseRule rule;

  TALLYRA_INLINE void Inputs(int row, RowInputs& in) const {
    const std::size_t at =
        static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(first.width);
    // Values that fit in bytes can still have row lists when the other side has very many.
    const bool noRowLists = other->postings.empty();
    if (source && fill && noRowLists) {
      InputsOfBytes<true>(source + at, in, fill + at);
    } else if (source) {
      InputsOfSmall(source + at, in, fill ? fill + at : nullptr);
    } else if (!narrow.empty() && noRowLists) {
      InputsOfBytes<false>(narrow.data() + at, in, nullptr);
    } else if (!narrow.empty()) {
      InputsOf(narrow.data() + at, in);
    } else {
      InputsOf(first.cells.data() + at, in);
    }
  }
  // Rows of values that all fit in a byte, against another side without row lists: each
  // cell's bitmap, if any, looked up straight; each cell also written to `out` when kFill.
  template <bool kFill, typename Cell>
  TALLYRA_INLINE void InputsOfBytes(const Cell* cells, RowInputs& in, uint8_t* out) const {
    const int width = first.width;
    const uint32_t keepZeros = rule.skipZeros ? 0 : 1;
    const uint64_t* const* smallMaps = other->smallMaps.data();
    uint32_t maps = 0;
    for (int c = 0; c < width; ++c) {
      const auto v = static_cast<uint8_t>(cells[c]);
      if constexpr (kFill) out[c] = v;
      const uint64_t* map = smallMaps[v];
      in.maps[maps] = map;  // kept only when it is a bitmap
      maps += static_cast<uint32_t>(map != nullptr) & (keepZeros | static_cast<uint32_t>(v != 0));
    }
    in.maps_count = static_cast<int>(maps);
    in.rare_count = 0;
  }
  // Rows of small values held in bitmaps, as nearly all are, without a branch per cell (which
  // rows of seven to twelve numbers and zeros make unforeseeable): the conditions are combined
  // as bits. A row with another value is taken again by InputsOf. Each cell is also written to
  // `out` as a byte, when given.
  template <typename Cell>
  TALLYRA_INLINE void InputsOfSmall(const Cell* cells, RowInputs& in, uint8_t* out) const {
    const int width = first.width;
    const uint32_t keepZeros = rule.skipZeros ? 0 : 1;
    const uint64_t* const* smallMaps = other->smallMaps.data();
    uint32_t maps = 0;
    uint32_t unusual = 0;  // a value not small, or one with a row list
    for (int c = 0; c < width; ++c) {
      const int32_t v = cells[c];
      if (out) out[c] = static_cast<uint8_t>(v);
      const uint32_t notSmall = static_cast<uint32_t>(v) >= static_cast<uint32_t>(kSmallValues);
      const uint64_t* map = smallMaps[notSmall ? 0 : v];
      const uint32_t counted = keepZeros | static_cast<uint32_t>(v != 0);
      const uint32_t rare = static_cast<uint32_t>(map == &kRareMark);
      unusual |= notSmall | (rare & counted);
      in.maps[maps] = map;  // kept only when it is a bitmap
      maps += static_cast<uint32_t>(map != nullptr) & (rare ^ 1) & counted;
    }
    if (unusual) {
      InputsOf(cells, in);
    } else {
      in.maps_count = static_cast<int>(maps);
      in.rare_count = 0;
    }
  }
  // Kept in local variables, which the stores into `in` cannot be taken to change.
  template <typename Cell>
  TALLYRA_INLINE void InputsOf(const Cell* cells, RowInputs& in) const {
    const int width = first.width;
    const bool skipZeros = rule.skipZeros;
    const int32_t* small = other->small.data();
    const uint64_t* bitmaps = other->bitmaps.data();
    const std::size_t words = other->words;
    int maps = 0, rare = 0;
    for (int c = 0; c < width; ++c) {
      const int32_t v = cells[c];
      if (skipZeros && v == 0) continue;
      const int32_t found = IsSmall(v) ? small[v] : other->Find(v);
      if (found == kAbsent) continue;
      if (found >= 0) {
        in.maps[static_cast<std::size_t>(maps++)] =
            bitmaps + static_cast<std::size_t>(found) * words;
      } else {
        in.rare[static_cast<std::size_t>(rare++)] =
            &other->postings[static_cast<std::size_t>(-found - 1)];
      }
    }
    in.maps_count = maps;
    in.rare_count = rare;
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
template <typename W>
TALLYRA_INLINE void AppendEntries(const PhaseData& data, int row, int category, std::string& out) {
  static const EntryTails tails;
  char prefix[16] = {};
  const std::size_t prefixLength =
      static_cast<std::size_t>(std::to_chars(prefix, prefix + 15, row).ptr - prefix) + 1;
  prefix[prefixLength - 1] = '=';
  constexpr std::size_t kBuffer = std::size_t{1} << 15;
  constexpr std::size_t kRoom = 64;  // the most one entry may write, copies' slack included
  char buffer[kBuffer];
  std::size_t used = 0;
  RowInputs in;
  data.Inputs(row, in);
  CompareRow<W>(in, data.Begin(row), data.second.count, data.rule.sixOrMore,
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

// The digits of the other side's row numbers in a row's entries. A row number j has
// 1 + [j >= 10] + [j >= 100] + [j >= 1000] + [j >= 10000] digits, so the digits of E entries
// are 5E less the entries below each of those four bounds, which all lie in the first words:
// per word, the bounds above all its rows (`whole`) and the rows below the one bound that falls
// within it (`cut`; no word holds two of them).
struct DigitTable {
  static constexpr int64_t kBounds[4] = {10, 100, 1000, 10000};
  static constexpr std::size_t kWords = 10000 / 64 + 1;  // words holding rows below 10000
  static constexpr std::size_t kTable = (kWords + kWidest - 1) / kWidest * kWidest;
  alignas(64) std::array<uint64_t, kTable> whole{};
  alignas(64) std::array<uint64_t, kTable> cut{};
  // `whole` as two masks, all ones where its bit 0 (`once`) or bit 1 (`twice`) is set, so that a
  // vector of counts is multiplied by it with shifts (whole is at most 3: the word of rows
  // 1..64 lies below three bounds and is cut by the fourth).
  alignas(64) std::array<uint64_t, kTable> once{};
  alignas(64) std::array<uint64_t, kTable> twice{};
  std::array<bool, kTable> onlyOnce4{}, onlyOnce8{};

  DigitTable() {
    for (std::size_t w = 0; w < kWords; ++w) {
      for (const int64_t bound : kBounds) {
        uint64_t mask = 0;
        for (int b = 0; b < 64; ++b) {
          if (static_cast<int64_t>(w * 64) + b + 1 < bound) mask |= uint64_t{1} << b;
        }
        if (mask == ~uint64_t{0}) {
          ++whole[w];
        } else {
          cut[w] |= mask;
        }
      }
      once[w] = whole[w] & 1 ? ~uint64_t{0} : 0;
      twice[w] = whole[w] & 2 ? ~uint64_t{0} : 0;
    }
    auto onlyOnce = [&](std::size_t w, std::size_t lanes) {
      if (w + lanes > kTable) return false;
      for (std::size_t l = w; l < w + lanes; ++l) {
        if (whole[l] != 1 || cut[l] != 0) return false;
      }
      return true;
    };
    for (std::size_t w = 0; w < kTable; ++w) {
      onlyOnce4[w] = onlyOnce(w, 4);
      onlyOnce8[w] = onlyOnce(w, 8);
    }
  }
  // Whether the vector of `lanes` words from word w on lies below one bound only, none of its
  // words cut by one: each entry in it counts once.
  TALLYRA_INLINE bool OnlyOnce(std::size_t w, std::size_t lanes) const {
    return lanes == 4 ? onlyOnce4[w] : onlyOnce8[w];
  }
  // The entries below the bounds among one word of marks.
  TALLYRA_INLINE int64_t Below(uint64_t m, std::size_t w) const {
    return static_cast<int64_t>(whole[w]) * std::popcount(m) + std::popcount(m & cut[w]);
  }
};

// Counts of one category per row of the other side (pairs only), kept bit-sliced in planes.
class ColumnCounter {
 public:
  static constexpr int kPlanes = 17;  // up to 131071 per row
  explicit ColumnCounter(std::size_t words)
      : m_words((words + kBlock + kWidest - 1) / kWidest * kWidest), m_planes(kPlanes * m_words) {}

  uint64_t* plane(int k) { return m_planes.data() + static_cast<std::size_t>(k) * m_words; }
  const uint64_t* plane(int k) const {
    return m_planes.data() + static_cast<std::size_t>(k) * m_words;
  }

  // Adds small counts, held in `lowPlanes` planes of vectors at `low` (plane k's vector for word
  // w at low[k * stride + w]), to words from..from+len, len a whole number of vectors.
  template <typename W>
  TALLYRA_INLINE void AddLow(std::size_t from, std::size_t len, const uint64_t* low,
                             std::size_t stride, int lowPlanes) {
    using V = typename W::V;
    for (std::size_t w = 0; w < len; w += W::kLanes) {
      V carry{};
      for (int k = 0; k < kPlanes; ++k) {
        uint64_t* at = plane(k) + from + w;
        V h, a{};
        Load(h, at);
        if (k < lowPlanes) Load(a, low + static_cast<std::size_t>(k) * stride + w);
        const V sum = h ^ a ^ carry;
        carry = (h & a) | (carry & (h ^ a));
        Store(at, sum);
        if (k >= lowPlanes - 1 && !AnyBit(carry)) break;
      }
    }
  }

  // Adds another counter's counts to words from..to.
  void Add(const ColumnCounter& other, std::size_t from, std::size_t to) {
    for (std::size_t w = from; w < to; ++w) {
      uint64_t carry = 0;
      for (int k = 0; k < kPlanes; ++k) {
        const uint64_t h = plane(k)[w], a = other.plane(k)[w];
        plane(k)[w] = h ^ a ^ carry;
        carry = (h & a) | (carry & (h ^ a));
      }
    }
  }

  // Adds the counts of rows from..to (bits, 0-based, a whole number of words from a word's
  // start) to `rows`' category c.
  void AddTo(std::vector<CategoryCounts>& rows, std::size_t c, std::size_t fromWord,
             std::size_t toWord) const {
    for (std::size_t w = fromWord; w < toWord; ++w) {
      uint64_t p[kPlanes];
      int top = -1;
      for (int k = 0; k < kPlanes; ++k) {
        p[k] = plane(k)[w];
        if (p[k]) top = k;
      }
      if (top < 0) continue;
      const std::size_t last = std::min<std::size_t>(64, rows.size() - w * 64);
      for (std::size_t b = 0; b < last; ++b) {
        int32_t value = 0;
        for (int k = 0; k <= top; ++k) value |= static_cast<int32_t>((p[k] >> b) & 1) << k;
        rows[w * 64 + b][c] += value;
      }
    }
  }

 private:
  std::size_t m_words;
  AlignedWords m_planes;
};

using Columns = std::array<ColumnCounter, 4>;

// Rows are taken a chunk at a time, so that the other side's bitmaps are read while they are
// in the cache and the other side's counts are added up in a small counter first.
constexpr int kChunk = 28;       // a multiple of four
constexpr int kChunkPlanes = 5;  // holds up to 31

// A chunk's counts, a category at a time, so that each category's row lengths are made and
// written as a run: row r's entries of category c, and those of them whose other row number is
// below 10, 100, ... (counted once per bound).
struct ChunkCounts {
  std::array<std::array<int32_t, kChunk>, 4> entries{};
  std::array<std::array<int64_t, kChunk>, 4> below{};
};

struct Chunk {
  int rows = 0;
  std::array<RowInputs, kChunk> inputs;
  std::array<int32_t, kChunk> begins{};
  bool rare = false;
};

// Row by row, block by block of the other side's words, the marks of a block written out and
// counted a word at a time: for rows with rare numbers, and for the builds that count the
// bits of one word at a time.
template <typename W>
TALLYRA_INLINE void ProcessRowByRow(const PhaseData& data, const Chunk& chunk,
                                    const DigitTable& digits, Columns* columns, ChunkCounts& out) {
  const int32_t end = data.second.count;
  std::array<RareCursor, kChunk> cursors;
  for (int r = 0; r < chunk.rows; ++r) {
    cursors[static_cast<std::size_t>(r)].Start(chunk.inputs[static_cast<std::size_t>(r)],
                                               chunk.begins[static_cast<std::size_t>(r)]);
  }
  Masks masks;
  alignas(64) uint64_t low[4][kChunkPlanes][kBlock];
  const std::size_t firstWord = static_cast<std::size_t>(chunk.begins[0]) / 64;
  const std::size_t lastWord = static_cast<std::size_t>(end - 1) / 64;
  for (std::size_t from = firstWord; from <= lastWord; from += kBlock) {
    const std::size_t len = std::min(kBlock, lastWord + 1 - from);
    const std::size_t lenV = (len + W::kLanes - 1) / W::kLanes * W::kLanes;
    if (columns) std::memset(low, 0, sizeof low);
    bool anyColumn[4] = {};
    for (int r = 0; r < chunk.rows; ++r) {
      const RowInputs& in = chunk.inputs[static_cast<std::size_t>(r)];
      const int32_t begin = chunk.begins[static_cast<std::size_t>(r)];
      if (begin >= end || in.maps_count + in.rare_count < 3) continue;
      MarkRowBlock<W>(in, cursors[static_cast<std::size_t>(r)], begin, end, data.rule.sixOrMore,
                      from, len, masks);
      const auto row = static_cast<std::size_t>(r);
      for (std::size_t c = 0; c < 4; ++c) {
        const uint64_t* m = masks[c];
        int64_t total = 0;
        for (std::size_t k = 0; k < len; ++k) total += std::popcount(m[k]);
        if (total == 0) continue;
        out.entries[c][row] += static_cast<int32_t>(total);
        for (std::size_t k = 0; k < len && from + k < DigitTable::kWords; ++k) {
          out.below[c][row] += digits.Below(m[k], from + k);
        }
        if (!columns) continue;
        anyColumn[c] = true;
        using V = typename W::V;
        for (std::size_t w = 0; w < lenV; w += W::kLanes) {
          V carry;
          Load(carry, m + w);
          for (int k = 0; k < kChunkPlanes; ++k) {
            V p;
            Load(p, low[c][k] + w);
            const V t = p & carry;
            p ^= carry;
            Store(low[c][k] + w, p);
            carry = t;
          }
        }
      }
    }
    if (!columns) continue;
    for (std::size_t c = 0; c < 4; ++c) {
      if (anyColumn[c]) (*columns)[c].AddLow<W>(from, lenV, &low[c][0][0], kBlock, kChunkPlanes);
    }
  }
}

// A row's counts in one vector of marks, the four categories in the four 16-bit fields of each
// word, added to `sum`; and the entries below the digits' bounds added to `below` alike.
template <typename W>
TALLYRA_INLINE void Tally(const DigitTable& digits, std::size_t word,
                          const typename W::V (&marks)[4], typename W::V& sum,
                          typename W::V& below) {
  using V = typename W::V;
  V n0{}, n1{}, n2{}, n3{};
  CountBits<W>(n0, marks[0]);
  CountBits<W>(n1, marks[1]);
  CountBits<W>(n2, marks[2]);
  CountBits<W>(n3, marks[3]);
  const V packed = n0 | n1 << 16 | n2 << 32 | n3 << 48;
  sum += packed;
  if (word >= DigitTable::kWords) return;
  if (digits.OnlyOnce(word, W::kLanes)) {
    below += packed;
    return;
  }
  V once, twice, cut;
  Load(once, digits.once.data() + word);
  Load(twice, digits.twice.data() + word);
  Load(cut, digits.cut.data() + word);
  V b0{}, b1{}, b2{}, b3{};
  CountBits<W>(b0, marks[0] & cut);
  CountBits<W>(b1, marks[1] & cut);
  CountBits<W>(b2, marks[2] & cut);
  CountBits<W>(b3, marks[3] & cut);
  below += (packed & once) + ((packed << 1) & twice) + (b0 | b1 << 16 | b2 << 32 | b3 << 48);
}

// Takes the fields of a row's sums apart into its counts, and clears the sums.
template <typename V>
TALLYRA_INLINE void Settle(V& sum, V& below, ChunkCounts& out, std::size_t row) {
  const auto s = static_cast<uint64_t>(SumOf(sum));
  const auto b = static_cast<uint64_t>(SumOf(below));
  for (std::size_t c = 0; c < 4; ++c) {
    out.entries[c][row] += static_cast<int32_t>((s >> (16 * c)) & 0xFFFF);
    out.below[c][row] += static_cast<int64_t>((b >> (16 * c)) & 0xFFFF);
  }
  sum = V{};
  below = V{};
}

// The usual chunk on a processor that counts a vector's bits at once (VPOPCNTDQ), no rare
// numbers. A list with itself (pairs): vector by vector of the other side's words, every row of
// the chunk in turn, the counts of each row and category summed a word at a time and the marks
// of each category added up over the rows in five planes by carry-save adders; rows before a
// row's `begin` are masked off in the vectors that hold a row's begin. Against another list:
// row by row, two at a time. Rows past the other side's end hold no number, so they are never
// marked.
template <typename W, bool kPairs>
TALLYRA_INLINE void ProcessBitmapChunk(const PhaseData& data, const Chunk& chunk,
                                       const DigitTable& digits, Columns* columns,
                                       ChunkCounts& out) {
  using V = typename W::V;
  constexpr std::size_t L = W::kLanes;
  const int32_t end = data.second.count;
  const bool sixOrMore = data.rule.sixOrMore;
  const int rows = chunk.rows;
  // Whole groups of four rows; the rows added to fill the last have no number.
  const int padded = (rows + 3) / 4 * 4;
  std::array<const uint64_t* const*, kChunk> maps;
  std::array<int, kChunk> counts{};
  for (int r = 0; r < padded; ++r) {
    const auto i = static_cast<std::size_t>(r);
    maps[i] = chunk.inputs[i].maps.data();
    counts[i] = r < rows ? chunk.inputs[i].maps_count : 0;
  }
  // A vector adds at most 64 to a field of the sums, so the words of kFlush vectors can be
  // summed without overflow before the fields are taken apart; the digits' counts, at most
  // 4 * 64 + 64 a word, come from the first 160 words only.
  constexpr std::size_t kFlush = 0xFFFF / (64 * L);
  const std::size_t firstVector = static_cast<std::size_t>(chunk.begins[0]) / 64 / L;
  const std::size_t lastVector = static_cast<std::size_t>(end - 1) / 64 / L;

  if constexpr (!kPairs) {
    // Every row from the other side's first on, and nothing to add up over the rows: two rows
    // at a time, whose work overlaps, their sums held in registers over the vectors. A row
    // added to fill the last pair has no number.
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows); i += 2) {
      V sum0{}, below0{}, sum1{}, below1{};
      for (std::size_t v = firstVector; v <= lastVector; ++v) {
        if (v > firstVector && (v - firstVector) % kFlush == 0) {
          Settle(sum0, below0, out, i);
          Settle(sum1, below1, out, i + 1);
        }
        V marks0[4], marks1[4];
        MarkVector<W>(maps[i], counts[i], v * L, sixOrMore, marks0);
        MarkVector<W>(maps[i + 1], counts[i + 1], v * L, sixOrMore, marks1);
        Tally<W>(digits, v * L, marks0, sum0, below0);
        Tally<W>(digits, v * L, marks1, sum1, below1);
      }
      Settle(sum0, below0, out, i);
      Settle(sum1, below1, out, i + 1);
    }
    return;
  }

  V sums[kChunk];
  V belows[kChunk];
  for (int r = 0; r < padded; ++r) {
    sums[r] = V{};
    belows[r] = V{};
  }
  auto flush = [&]() TALLYRA_LAMBDA_INLINE {
    for (int r = 0; r < rows; ++r) Settle(sums[r], belows[r], out, static_cast<std::size_t>(r));
  };
  // Vectors up to this one hold a row's begin.
  const std::size_t maskedUpTo =
      static_cast<std::size_t>(chunk.begins[static_cast<std::size_t>(rows - 1)]) / 64 / L;

  for (std::size_t v = firstVector; v <= lastVector; ++v) {
    if (v > firstVector && (v - firstVector) % kFlush == 0) flush();
    const std::size_t word = v * L;
    V ones[4] = {}, twos[4] = {}, fours[4] = {}, eights[4] = {}, sixteens[4] = {};
    // One row's marks in this vector, its counts added to its sums.
    auto rowMarks = [&](std::size_t i, V(&marks)[4]) TALLYRA_LAMBDA_INLINE {
      MarkVector<W>(maps[i], counts[i], word, sixOrMore, marks);
      if (v <= maskedUpTo) {
        const auto begin = static_cast<std::size_t>(chunk.begins[i]);
        V keep{};
        for (std::size_t l = 0; l < L; ++l) {
          const std::size_t w = word + l;
          keep[l] = w < begin / 64    ? 0
                    : w == begin / 64 ? ~uint64_t{0} << (begin % 64)
                                      : ~uint64_t{0};
        }
        TALLYRA_UNROLL
        for (std::size_t c = 0; c < 4; ++c) marks[c] &= keep;
      }
      Tally<W>(digits, word, marks, sums[i], belows[i]);
    };
    for (int r0 = 0; r0 < padded; r0 += 4) {
      const auto i = static_cast<std::size_t>(r0);
      // Four rows' marks added up in the planes: two by two into the ones, their carries into
      // the twos, and on.
      V a[4], b[4], twosA[4], twosB[4];
      rowMarks(i, a);
      rowMarks(i + 1, b);
      TALLYRA_UNROLL
      for (std::size_t c = 0; c < 4; ++c) CarrySave(twosA[c], ones[c], a[c], b[c]);
      rowMarks(i + 2, a);
      rowMarks(i + 3, b);
      TALLYRA_UNROLL
      for (std::size_t c = 0; c < 4; ++c) {
        CarrySave(twosB[c], ones[c], a[c], b[c]);
        V carry;
        CarrySave(carry, twos[c], twosA[c], twosB[c]);
        const V c8 = fours[c] & carry;
        fours[c] ^= carry;
        const V c16 = eights[c] & c8;
        eights[c] ^= c8;
        sixteens[c] ^= c16;  // a chunk's rows are fewer than 32
      }
    }
    for (std::size_t c = 0; c < 4; ++c) {
      if (!AnyBit(ones[c] | twos[c] | fours[c] | eights[c] | sixteens[c])) continue;
      alignas(64) uint64_t low[kChunkPlanes][L];
      Store(low[0], ones[c]);
      Store(low[1], twos[c]);
      Store(low[2], fours[c]);
      Store(low[3], eights[c]);
      Store(low[4], sixteens[c]);
      (*columns)[c].AddLow<W>(word, L, &low[0][0], L, kChunkPlanes);
    }
  }
  flush();
}

// Where a chunk's rows go: their counts, the lengths of their entries' text in each category
// (also added to `lengthSums`) and the worker's totals.
struct RowOut {
  CategoryCounts* firstRows;        // row r at [r - 1]
  std::array<int64_t*, 4> lengths;  // row r at [r - 1]
  std::array<int64_t, 4>* totals;
  std::array<int64_t, 4>* lengthSums;
};

#if defined(TALLYRA_X86_BUILDS)
// The bitmaps of up to eight values (those `want` marks), the ones held written packed at `at`;
// returns how many.
TALLYRA_TARGET_AVX512 TALLYRA_INLINE int GatherMaps(__m256i values, __mmask8 want,
                                                    const uint64_t* const* smallMaps,
                                                    const uint64_t** at) {
  const __m512i maps =
      _mm512_mask_i32gather_epi64(_mm512_setzero_si512(), want, values, smallMaps, 8);
  const __mmask8 held = _mm512_test_epi64_mask(maps, maps);
  const int n = std::popcount(static_cast<unsigned>(held));
  _mm512_mask_storeu_epi64(at, static_cast<__mmask8>((1U << n) - 1),
                           _mm512_maskz_compress_epi64(held, maps));
  return n;
}

// The inputs of `rows` rows of `width` cells (at most twelve), all 0..255, against another side
// without row lists, as PhaseData::Inputs takes them with `fill`, a row a vector: its cells
// written out as bytes, the bitmaps of its values gathered, and those kept packed together.
TALLYRA_TARGET_AVX512 __attribute__((noinline)) void GatherInputs(const int32_t* cells, int width,
                                                                  int rows, bool keepZeros,
                                                                  const uint64_t* const* smallMaps,
                                                                  uint8_t* out, RowInputs* inputs) {
  const auto lanes = static_cast<__mmask16>((1U << width) - 1);
  for (int r = 0; r < rows; ++r, cells += width, out += width) {
    const __m512i v = _mm512_maskz_loadu_epi32(lanes, cells);
    // Narrowed in a register and stored under a mask: the narrowing store itself is slow on
    // some processors.
    _mm_mask_storeu_epi8(out, lanes, _mm512_maskz_cvtepi32_epi8(lanes, v));
    const __mmask16 counted = keepZeros ? lanes : _mm512_mask_test_epi32_mask(lanes, v, v);
    RowInputs& in = inputs[r];
    int count = 0;
    count += GatherMaps(_mm512_maskz_extracti64x4_epi64(0xF, v, 0), static_cast<__mmask8>(counted),
                        smallMaps, in.maps.data());
    if (width > 8) {
      count += GatherMaps(_mm512_maskz_extracti64x4_epi64(0xF, v, 1),
                          static_cast<__mmask8>(counted >> 8), smallMaps, in.maps.data() + count);
    }
    in.maps_count = count;
    in.rare_count = 0;
  }
}
#endif

template <typename W>
TALLYRA_INLINE void ProcessChunk(const PhaseData& data, int rowFrom, int rowTo,
                                 const DigitTable& digits, Columns* columns, const RowOut& rowOut) {
  Chunk chunk;
  chunk.rows = rowTo - rowFrom;
  bool gathered = false;
#if defined(TALLYRA_X86_BUILDS)
  if constexpr (W::kLanes == 8) {
    if (data.source && data.fill && data.other->postings.empty() && data.first.width <= 12) {
      const auto at =
          static_cast<std::size_t>(rowFrom - 1) * static_cast<std::size_t>(data.first.width);
      GatherInputs(data.source + at, data.first.width, chunk.rows, !data.rule.skipZeros,
                   data.other->smallMaps.data(), data.fill + at, chunk.inputs.data());
      gathered = true;
    }
  }
#endif
  for (int r = 0; r < chunk.rows; ++r) {
    const auto i = static_cast<std::size_t>(r);
    if (!gathered) data.Inputs(rowFrom + r, chunk.inputs[i]);
    chunk.begins[i] = data.Begin(rowFrom + r);
    chunk.rare = chunk.rare || chunk.inputs[i].rare_count > 0;
  }
  ChunkCounts out;
  if (chunk.begins[0] < data.second.count) {
    if (chunk.rare || !W::kVectorCount) {
      ProcessRowByRow<W>(data, chunk, digits, columns, out);
    } else if (columns) {
      ProcessBitmapChunk<W, true>(data, chunk, digits, columns, out);
    } else {
      ProcessBitmapChunk<W, false>(data, chunk, digits, columns, out);
    }
  }
  // An entry "row=other , " takes the other row's digits (five less those below the bounds)
  // and four characters beside the row's own digits.
  const int rows = rowTo - rowFrom;
  std::array<int32_t, kChunk> perEntry{};
  int rowDigits = Digits(rowFrom);
  int64_t nextBound = 1;
  for (int d = 0; d < rowDigits; ++d) nextBound *= 10;
  for (int r = 0; r < rows; ++r) {
    const auto i = static_cast<std::size_t>(r);
    if (rowFrom + r == nextBound) {
      ++rowDigits;
      nextBound *= 10;
    }
    perEntry[i] = rowDigits + 4 + 5;
    rowOut.firstRows[rowFrom + r - 1] = {out.entries[0][i], out.entries[1][i], out.entries[2][i],
                                         out.entries[3][i]};
  }
  // Summed up here and added once: the workers' sums may share a cache line.
  for (std::size_t c = 0; c < 4; ++c) {
    int64_t* lengths = rowOut.lengths[c] + rowFrom - 1;
    int64_t total = 0, lengthSum = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows); ++i) {
      const int64_t length =
          static_cast<int64_t>(out.entries[c][i]) * perEntry[i] - out.below[c][i];
      lengths[i] = length;
      total += out.entries[c][i];
      lengthSum += length;
    }
    (*rowOut.totals)[c] += total;
    (*rowOut.lengthSums)[c] += lengthSum;
  }
}

// ---------------------------------------------------------------------------------------------
// The builds and the choice among them.

using ChunkFunction = void (*)(const PhaseData&, int, int, const DigitTable&, Columns*,
                               const RowOut&);
using EntriesFunction = void (*)(const PhaseData&, int, int, std::string&);

void ChunkDefault(const PhaseData& data, int rowFrom, int rowTo, const DigitTable& digits,
                  Columns* columns, const RowOut& out) {
  ProcessChunk<Lanes4>(data, rowFrom, rowTo, digits, columns, out);
}
void EntriesDefault(const PhaseData& data, int row, int category, std::string& out) {
  AppendEntries<Lanes4>(data, row, category, out);
}

#if defined(TALLYRA_X86_BUILDS)
TALLYRA_TARGET_AVX2 void ChunkAvx2(const PhaseData& data, int rowFrom, int rowTo,
                                   const DigitTable& digits, Columns* columns, const RowOut& out) {
  ProcessChunk<Lanes4>(data, rowFrom, rowTo, digits, columns, out);
}
TALLYRA_TARGET_AVX2 void EntriesAvx2(const PhaseData& data, int row, int category,
                                     std::string& out) {
  AppendEntries<Lanes4>(data, row, category, out);
}
TALLYRA_TARGET_AVX512 void ChunkAvx512(const PhaseData& data, int rowFrom, int rowTo,
                                       const DigitTable& digits, Columns* columns,
                                       const RowOut& out) {
  ProcessChunk<Lanes8>(data, rowFrom, rowTo, digits, columns, out);
}
TALLYRA_TARGET_AVX512 void EntriesAvx512(const PhaseData& data, int row, int category,
                                         std::string& out) {
  AppendEntries<Lanes8>(data, row, category, out);
}
TALLYRA_TARGET_AVX512_POPCNT void ChunkAvx512Popcnt(const PhaseData& data, int rowFrom, int rowTo,
                                                    const DigitTable& digits, Columns* columns,
                                                    const RowOut& out) {
  ProcessChunk<Lanes8Count>(data, rowFrom, rowTo, digits, columns, out);
}

bool HasAvx2() {
#if defined(__clang__)
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
         __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("fma") &&
         __builtin_cpu_supports("popcnt");
#else
  return __builtin_cpu_supports("x86-64-v3");
#endif
}
bool HasAvx512() {
#if defined(__clang__)
  return HasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512dq") &&
         __builtin_cpu_supports("avx512vl");
#else
  return __builtin_cpu_supports("x86-64-v4");
#endif
}
#endif

struct Build {
  KernelPath path = KernelPath::Default;
  ChunkFunction chunk = ChunkDefault;
  EntriesFunction entries = EntriesDefault;
};

// The best build the processor runs, or the lesser one TALLYRA_KERNEL_PATH asks for.
Build ChooseBuild() {
  KernelPath best = KernelPath::Default;
#if defined(TALLYRA_X86_BUILDS)
  __builtin_cpu_init();
  if (HasAvx512()) {
    best = __builtin_cpu_supports("avx512vpopcntdq") ? KernelPath::Avx512 : KernelPath::Avx512F;
  } else if (HasAvx2()) {
    best = KernelPath::Avx2;
  }
#endif
  KernelPath path = best;
  if (const char* asked = std::getenv("TALLYRA_KERNEL_PATH")) {
    for (KernelPath p :
         {KernelPath::Default, KernelPath::Avx2, KernelPath::Avx512F, KernelPath::Avx512}) {
      if (std::string_view(asked) == PathName(p)) path = std::min(p, best);
    }
  }
  Build build;
  build.path = path;
#if defined(TALLYRA_X86_BUILDS)
  if (path == KernelPath::Avx2) {
    build.chunk = ChunkAvx2;
    build.entries = EntriesAvx2;
  } else if (path == KernelPath::Avx512F || path == KernelPath::Avx512) {
    build.chunk = path == KernelPath::Avx512 ? ChunkAvx512Popcnt : ChunkAvx512;
    build.entries = EntriesAvx512;
  }
#endif
  return build;
}

const Build& TheBuild() {
  static const Build build = ChooseBuild();
  return build;
}

}  // namespace

KernelPath ActivePath() {
  return TheBuild().path;
}

const char* PathName(KernelPath path) {
  switch (path) {
    case KernelPath::Avx2:
      return "avx2";
    case KernelPath::Avx512F:
      return "avx512f";
    case KernelPath::Avx512:
      return "avx512";
    case KernelPath::Default:
      break;
  }
  return "default";
}

void PhaseData::Entries(int row, int category, std::string& out) const {
  TheBuild().entries(*this, row, category, out);
}

namespace {

// Fills `result`, whose arrays are made for the first side's rows: each row's length of text,
// and where each chunk of the loop starts, into the lists' indexes.
void RunPhase(const PhaseData& data, PhaseResult& result, const std::atomic<bool>* cancel,
              int threads) {
  const int n = data.first.count;
  const std::size_t words = data.other->words;
  static const DigitTable digits;
  const ChunkFunction processChunk = TheBuild().chunk;

  // Against a short other side a chunk is quickly done: a worker takes several at a time.
  const int chunksAtOnce = data.second.count <= 64 * 64 ? 4 : 1;
  const ParallelOptions options{threads, kChunk * chunksAtOnce, cancel};
  const auto workers = static_cast<std::size_t>(ParallelWorkers(n, options));
  std::vector<std::unique_ptr<Columns>> others(workers);
  std::vector<std::array<int64_t, 4>> totals(workers);
  // Rows are numbered from 1. Each chunk of the loop also sums up its rows' lengths, which
  // then give where each chunk starts.
  const int64_t grain = options.grain;
  std::vector<std::array<int64_t, 4>> chunkLengths(
      static_cast<std::size_t>((n + grain - 1) / grain));
  const RowOut base{result.firstRows.data(),
                    {result.index[0].lengths.data(), result.index[1].lengths.data(),
                     result.index[2].lengths.data(), result.index[3].lengths.data()},
                    nullptr,
                    nullptr};
  ParallelFor(n, options, [&](int64_t from, int64_t to, int worker) {
    Columns* columns = nullptr;
    if (data.rule.pairs) {
      auto& mine = others[static_cast<std::size_t>(worker)];
      if (!mine) {
        mine = std::make_unique<Columns>(Columns{ColumnCounter(words), ColumnCounter(words),
                                                 ColumnCounter(words), ColumnCounter(words)});
      }
      columns = mine.get();
    }
    RowOut out = base;
    out.totals = &totals[static_cast<std::size_t>(worker)];
    out.lengthSums = &chunkLengths[static_cast<std::size_t>(from / grain)];
    for (int64_t begin = from; begin < to; begin += kChunk) {
      const int start = static_cast<int>(begin) + 1;
      const int stop = static_cast<int>(std::min<int64_t>(to, begin + kChunk)) + 1;
      processChunk(data, start, stop, digits, columns, out);
    }
  });

  for (const auto& total : totals) {
    for (std::size_t c = 0; c < 4; ++c) result.counts[c] += total[c];
  }
  for (std::size_t c = 0; c < 4; ++c) {
    CoincidenceList::RowIndex& index = result.index[c];
    index.block = grain;
    index.starts.resize(chunkLengths.size() + 1);
    int64_t at = 0;
    for (std::size_t k = 0; k < chunkLengths.size(); ++k) {
      index.starts[k] = at;
      at += chunkLengths[k][c];
    }
    index.starts.back() = at;
  }
  if (data.rule.pairs && !(cancel && cancel->load())) {
    // Rows of the first side are rows of the other side too: both are counted. The workers'
    // counters are added up into the first, then read out, a range of words per thread.
    Columns* total = nullptr;
    for (auto& counters : others) {
      if (!counters) continue;
      if (!total) {
        total = counters.get();
        continue;
      }
      ParallelFor(static_cast<int64_t>(words), {threads, 64, nullptr},
                  [&](int64_t from, int64_t to, int) {
                    for (std::size_t c = 0; c < 4; ++c) {
                      (*total)[c].Add((*counters)[c], static_cast<std::size_t>(from),
                                      static_cast<std::size_t>(to));
                    }
                  });
    }
    if (total) {
      const auto usedWords = static_cast<int64_t>((static_cast<std::size_t>(n) + 63) / 64);
      ParallelFor(usedWords, {threads, 16, nullptr}, [&](int64_t from, int64_t to, int) {
        for (std::size_t c = 0; c < 4; ++c) {
          (*total)[c].AddTo(result.firstRows, c, static_cast<std::size_t>(from),
                            static_cast<std::size_t>(to));
        }
      });
    }
  }
}

}  // namespace

CoincidenceList::Run MakeRun(std::shared_ptr<const PhaseData> data, CoincidenceList::RowIndex index,
                             int category) {
  CoincidenceList::Run run;
  run.index = std::move(index);
  run.entries = [data = std::move(data), category](int row, std::string& out) {
    data->Entries(row, category, out);
  };
  return run;
}

namespace {

// Whether every value is 0..255: no bit above the lowest eight in any of them, eight values a
// step.
bool FitInBytes(const std::vector<int32_t>& cells) {
  uint32_t any[8] = {};
  std::size_t i = 0;
  for (; i + 8 <= cells.size(); i += 8) {
    for (std::size_t k = 0; k < 8; ++k) any[k] |= static_cast<uint32_t>(cells[i + k]);
  }
  for (; i < cells.size(); ++i) any[0] |= static_cast<uint32_t>(cells[i]);
  uint32_t all = 0;
  for (const uint32_t a : any) all |= a;
  return all <= 0xFF;
}

}  // namespace

Phase Run(const RowSet& first, const RowSet& second, PhaseRule rule,
          const std::atomic<bool>* cancel, int threads) {
  auto data = std::make_shared<PhaseData>();
  data->rule = rule;
  Phase phase;
  PhaseResult& result = phase.result;
  const auto rows = static_cast<std::size_t>(first.count);
  // The first side's copy, the other side's bitmaps and the outcome's arrays (their memory
  // first touched as they are made) are made side by side.
  ParallelFor(7, {threads, 1, nullptr}, [&](int64_t from, int64_t to, int) {
    for (int64_t task = from; task < to; ++task) {
      switch (task) {
        case 0:
          data->first.count = first.count;
          data->first.width = first.width;
          if (FitInBytes(first.cells)) {
            data->narrow.resize(first.cells.size());
          } else {
            data->first.cells = first.cells;
          }
          break;
        case 1:
          data->other = BuildMembership(rule.pairs ? first : second);
          break;
        case 2:
          result.firstRows.assign(rows, CategoryCounts{});
          break;
        default:
          result.index[static_cast<std::size_t>(task - 3)].lengths.assign(rows, 0);
          break;
      }
    }
  });
  data->second.count = rule.pairs ? first.count : second.count;
  data->second.width = rule.pairs ? first.width : second.width;
  data->source = first.cells.data();
  data->fill = data->narrow.empty() ? nullptr : data->narrow.data();
  RunPhase(*data, result, cancel, threads);
  data->source = nullptr;
  data->fill = nullptr;
  phase.data = std::move(data);
  return phase;
}

}  // namespace tallyra::kernel
