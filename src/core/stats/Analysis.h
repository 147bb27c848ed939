#pragma once

// The history looked at the way players look at it: how often each number came and how long
// it stayed away, which pairs and triples came together, and the shape of each draw. Every
// figure has beside it what a fair "6 of M" draw would give, computed exactly from counts of
// combinations, never by simulation.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallyra {

using AnalysisDraw = std::array<int32_t, 6>;

// An exact value: numerator / denominator, both whole.
struct Exact {
  uint64_t numerator = 0;
  uint64_t denominator = 1;
  double value() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
};

// The value with `digits` decimals, rounded half up: "12.2449".
std::string DecimalText(const Exact& x, int digits = 4);

// Which draws an analysis looks at: 1-based positions in the history, oldest first, both
// included.
struct DrawRange {
  int first = 1;
  int last = 0;
  int draws() const { return last >= first ? last - first + 1 : 0; }
};

// How the user names a range: every draw held, the latest N, or positions a..b.
struct RangeChoice {
  enum class Kind : uint8_t { All, Latest, Between };
  Kind kind = Kind::All;
  int latest = 0;        // Latest: N >= 1; more than are held means all of them
  int from = 0, to = 0;  // Between: 1 <= from <= to <= held
};

// The range chosen among `held` draws; nothing when the choice names no draw that is held
// (no draws at all, N below 1, from above to, to above the draws held).
std::optional<DrawRange> ResolveRange(const RangeChoice& choice, int held);

struct AnalysisSettings {
  int32_t highest = 49;  // M
  DrawRange range;
  int32_t lowBoundary = 0;  // numbers up to it are low; 0 for M / 2
  int repeatDepth = 3;      // "repeated from the previous k draws": k, 1..50
};

// A number's record over the range.
struct NumberFigures {
  int32_t number = 0;
  int hits = 0;
  // Skips: the runs of draws without the number. Each run that a hit ended counts for the
  // average; the current skip is the run since its last hit (the whole range when it never
  // came), and the longest is over every run, the current one included.
  int skip = 0;
  Exact averageSkip;  // 0 / 1 when the number never came
  int longestSkip = 0;
  std::vector<int> hitDraws;  // 1-based positions in the history of the draws it came in
};

// The chi-square test of the M counts against a fair draw. The counts of one draw are tied
// (six different numbers), so the sum of (count - expected)^2 / expected is scaled by
// (M - 1) / (M - 6), which makes it a chi-square with M - 1 degrees of freedom.
struct Uniformity {
  double chi2 = 0;
  int degreesOfFreedom = 0;
  double p = 1;  // the chance of a statistic at least this large under a fair draw
};

// The test in words a player understands, in the language (Language::Russian or English):
// "as even as chance would make them" at p >= 0.05, else "less even than chance would make
// them in 1 case out of N", N = 1 / p rounded; the statistic and p follow in brackets.
std::string DescribeUniformity(const Uniformity& u, int32_t language);

// The upper tail of the chi-square distribution: P(X >= x) with `df` degrees of freedom.
double ChiSquareTail(double x, int df);

// A distribution over the range beside its exact expectation. Position i stands for the value
// `first + i` (odd count 0..6, sum 21.., decade i, last digit i...).
struct Distribution {
  int first = 0;
  std::vector<int64_t> seen;
  std::vector<Exact> expected;  // expected counts over the range's draws
};

// One draw's shape.
struct DrawShape {
  int odd = 0, low = 0, sum = 0, spread = 0, consecutive = 0;
  int repeats = -1;        // numbers of the previous draw; -1 for the first draw held
  int repeatsWithin = -1;  // numbers of any of the previous k draws; -1 when fewer are held
};

DrawShape ShapeOf(const AnalysisDraw& draw, int32_t lowBoundary);

// A set of numbers that came together, and how often.
struct Together {
  std::vector<int32_t> numbers;  // ascending
  int64_t count = 0;
};

struct Analysis {
  AnalysisSettings settings;  // as given, lowBoundary made explicit
  int draws = 0;
  // The first draw of the range that is not six different numbers of 1..M (its position in
  // the history), 0 when all are: with one, nothing is counted and `draws` is 0.
  int badDraw = 0;
  std::vector<NumberFigures> numbers;  // numbers[n - 1] is number n
  Exact expectedHits;                  // draws * 6 / M
  Uniformity uniformity;
  // Counts of every pair and every triple, by PairIndex and TripleIndex.
  std::vector<uint32_t> pairs, triples;
  Exact expectedPair, expectedTriple;  // draws * C(6,2) / C(M,2), draws * C(6,3) / C(M,3)
  Distribution odd, low, sum, spread, consecutive;
  Distribution decades;           // numbers drawn in 1-9, 10-19, ...; expected by the decade's size
  Distribution lastDigits;        // numbers drawn ending in 0..9
  Distribution repeats;           // 0..6 numbers of the previous draw, over draws that have one
  Distribution repeatsWithin;     // 0..6 numbers of the previous k draws, over draws that have them
  std::vector<DrawShape> shapes;  // one a draw of the range

  uint32_t pairCount(int32_t a, int32_t b) const;
  // The `k` pairs (or triples) seen most often, or least often, most often first (least often
  // first); equal counts in ascending order of their numbers.
  std::vector<Together> topPairs(int k, bool most) const;
  std::vector<Together> topTriples(int k, bool most) const;
  // The pairs `number` makes, most often first.
  std::vector<Together> companions(int32_t number) const;
};

// Index of a pair a < b of 1..M, and of a triple a < b < c, in the colex order.
std::size_t PairIndex(int32_t a, int32_t b);
std::size_t TripleIndex(int32_t a, int32_t b, int32_t c);

// Analyses the draws in `settings.range` of `history` (oldest first). The previous draws
// that repeats look back to come from before the range where the history holds them.
// M lies in 6..99 and the range within the history; a draw that is not six different numbers
// of 1..M is named in `badDraw`.
Analysis Analyse(const std::vector<AnalysisDraw>& history, const AnalysisSettings& settings);

}  // namespace tallyra
