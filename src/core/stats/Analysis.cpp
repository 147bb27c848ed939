#include "stats/Analysis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

#include "model/TextTable.h"
#include "wheels/Wheel.h"

namespace tallyra {
namespace {

using wheels::Binomial;

constexpr int kDrawn = 6;

// The numbers of a draw as bits, 1..99.
struct NumberSet {
  uint64_t low = 0, high = 0;

  void add(int32_t n) {
    if (n < 0 || n > 127) return;  // no number of a game; a bad draw before the range
    if (n < 64) {
      low |= uint64_t{1} << n;
    } else {
      high |= uint64_t{1} << (n - 64);
    }
  }
  bool has(int32_t n) const { return n < 64 ? (low >> n) & 1 : (high >> (n - 64)) & 1; }
  int size() const { return std::popcount(low) + std::popcount(high); }
  NumberSet& operator|=(const NumberSet& o) {
    low |= o.low;
    high |= o.high;
    return *this;
  }
};

NumberSet SetOf(const AnalysisDraw& draw) {
  NumberSet set;
  for (const int32_t n : draw) set.add(n);
  return set;
}

int Common(const AnalysisDraw& draw, const NumberSet& set) {
  return static_cast<int>(
      std::count_if(draw.begin(), draw.end(), [&set](int32_t n) { return set.has(n); }));
}

// A distribution from the number of six-number combinations that give each value: the
// expected count of each value over `draws` draws is draws * ways / C(M, 6).
Distribution FromWays(int first, const std::vector<uint64_t>& ways, int draws, int32_t highest) {
  Distribution d;
  d.first = first;
  d.seen.assign(ways.size(), 0);
  const uint64_t all = Binomial(highest, kDrawn);
  for (const uint64_t w : ways) d.expected.push_back(Exact{w * static_cast<uint64_t>(draws), all});
  return d;
}

// A distribution of how many of the six come from a class of `size` numbers of M: C(size, k)
// C(M - size, 6 - k) combinations give k.
std::vector<uint64_t> ClassWays(int size, int32_t highest) {
  std::vector<uint64_t> ways;
  for (int k = 0; k <= kDrawn; ++k)
    ways.push_back(Binomial(size, k) * Binomial(highest - size, kDrawn - k));
  return ways;
}

void Count(Distribution& d, int value) {
  const int at = value - d.first;
  if (at >= 0 && at < static_cast<int>(d.seen.size())) ++d.seen[static_cast<std::size_t>(at)];
}

// Upper regularised incomplete gamma Q(a, x), by its series below a + 1 and its continued
// fraction above.
double UpperGamma(double a, double x) {
  if (x <= 0) return 1;
  const double logFront = a * std::log(x) - x - std::lgamma(a);
  if (x < a + 1) {
    double term = 1 / a, sum = term;
    for (int n = 1; n < 1000; ++n) {
      term *= x / (a + n);
      sum += term;
      if (std::fabs(term) < std::fabs(sum) * 1e-15) break;
    }
    return std::max(0.0, 1 - sum * std::exp(logFront));
  }
  constexpr double kTiny = 1e-300;
  double b = x + 1 - a, c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i < 1000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < 1e-15) break;
  }
  return std::exp(logFront) * h;
}

struct Ranked {
  int64_t count;
  uint32_t order;  // the numbers' place in ascending order of the sets
  std::array<int32_t, 3> numbers;
};

std::vector<Together> Best(std::vector<Ranked> all, int k, bool most, int size) {
  const auto n = static_cast<std::ptrdiff_t>(
      std::min<std::size_t>(static_cast<std::size_t>(std::max(k, 0)), all.size()));
  std::partial_sort(all.begin(), all.begin() + n, all.end(),
                    [most](const Ranked& a, const Ranked& b) {
                      if (a.count != b.count) return most ? a.count > b.count : a.count < b.count;
                      return a.order < b.order;
                    });
  std::vector<Together> best;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const Ranked& r = all[static_cast<std::size_t>(i)];
    best.push_back(
        Together{std::vector<int32_t>(r.numbers.begin(), r.numbers.begin() + size), r.count});
  }
  return best;
}

}  // namespace

std::string DecimalText(const Exact& x, int digits) {
  if (x.denominator == 0) return "0";
  digits = std::clamp(digits, 0, 18);
  uint64_t whole = x.numerator / x.denominator;
  uint64_t rest = x.numerator % x.denominator;
  std::string fraction;
  for (int i = 0; i < digits; ++i) {
    // rest < denominator, and 10 * rest stays far inside 64 bits for any denominator here.
    rest *= 10;
    fraction += static_cast<char>('0' + rest / x.denominator);
    rest %= x.denominator;
  }
  if (rest * 2 >= x.denominator) {
    // Round half up, carrying through the nines.
    int i = digits - 1;
    for (; i >= 0 && fraction[static_cast<std::size_t>(i)] == '9'; --i)
      fraction[static_cast<std::size_t>(i)] = '0';
    if (i >= 0) {
      ++fraction[static_cast<std::size_t>(i)];
    } else {
      ++whole;
    }
  }
  std::string text = std::to_string(whole);
  if (digits > 0) text.append(".").append(fraction);
  return text;
}

std::optional<DrawRange> ResolveRange(const RangeChoice& choice, int held) {
  if (held < 1) return std::nullopt;
  switch (choice.kind) {
    case RangeChoice::Kind::All:
      return DrawRange{1, held};
    case RangeChoice::Kind::Latest:
      if (choice.latest < 1) return std::nullopt;
      return DrawRange{std::max(1, held - choice.latest + 1), held};
    case RangeChoice::Kind::Between:
      if (choice.from < 1 || choice.from > choice.to || choice.to > held) return std::nullopt;
      return DrawRange{choice.from, choice.to};
  }
  return std::nullopt;
}

std::string DescribeUniformity(const Uniformity& u, int32_t language) {
  char chi2[32], p[32], cases[32];
  std::snprintf(chi2, sizeof chi2, "%.2f", u.chi2);
  std::snprintf(p, sizeof p, "%.4g", u.p);
  const std::string df = std::to_string(u.degreesOfFreedom);
  if (u.p >= 0.05) return Format(TextId::TxtAnalysisEven, language, {chi2, df, p});
  const double n = u.p > 0 ? std::round(1 / u.p) : 1e300;
  std::snprintf(cases, sizeof cases, n < 1e9 ? "%.0f" : "%.3g", n);
  return Format(TextId::TxtAnalysisUneven, language, {cases, chi2, df, p});
}

double ChiSquareTail(double x, int df) {
  if (df < 1) return 1;
  return UpperGamma(df / 2.0, x / 2);
}

DrawShape ShapeOf(const AnalysisDraw& draw, int32_t lowBoundary) {
  AnalysisDraw sorted = draw;
  std::sort(sorted.begin(), sorted.end());
  DrawShape shape;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const int32_t n = sorted[i];
    shape.odd += n % 2;
    shape.low += n <= lowBoundary;
    shape.sum += n;
    if (i > 0) shape.consecutive += n == sorted[i - 1] + 1;
  }
  shape.spread = sorted.back() - sorted.front();
  return shape;
}

std::size_t PairIndex(int32_t a, int32_t b) {
  const auto a0 = static_cast<std::size_t>(a - 1), b0 = static_cast<std::size_t>(b - 1);
  return b0 * (b0 - 1) / 2 + a0;
}

std::size_t TripleIndex(int32_t a, int32_t b, int32_t c) {
  const auto c0 = static_cast<std::size_t>(c - 1);
  return c0 * (c0 - 1) * (c0 - 2) / 6 + PairIndex(a, b);
}

uint32_t Analysis::pairCount(int32_t a, int32_t b) const {
  if (a == b) return 0;
  if (a > b) std::swap(a, b);
  return pairs[PairIndex(a, b)];
}

std::vector<Together> Analysis::topPairs(int k, bool most) const {
  const int32_t m = settings.highest;
  std::vector<Ranked> all;
  all.reserve(pairs.size());
  uint32_t order = 0;
  for (int32_t a = 1; a <= m; ++a) {
    for (int32_t b = a + 1; b <= m; ++b)
      all.push_back(Ranked{pairs[PairIndex(a, b)], order++, {a, b, 0}});
  }
  return Best(std::move(all), k, most, 2);
}

std::vector<Together> Analysis::topTriples(int k, bool most) const {
  const int32_t m = settings.highest;
  std::vector<Ranked> all;
  all.reserve(triples.size());
  uint32_t order = 0;
  for (int32_t a = 1; a <= m; ++a) {
    for (int32_t b = a + 1; b <= m; ++b) {
      for (int32_t c = b + 1; c <= m; ++c)
        all.push_back(Ranked{triples[TripleIndex(a, b, c)], order++, {a, b, c}});
    }
  }
  return Best(std::move(all), k, most, 3);
}

std::vector<Together> Analysis::companions(int32_t number) const {
  std::vector<Ranked> all;
  uint32_t order = 0;
  for (int32_t other = 1; other <= settings.highest; ++other) {
    if (other == number) continue;
    all.push_back(Ranked{
        pairCount(number, other), order++, {std::min(number, other), std::max(number, other), 0}});
  }
  const auto n = static_cast<int>(all.size());
  return Best(std::move(all), n, true, 2);
}

Analysis Analyse(const std::vector<AnalysisDraw>& history, const AnalysisSettings& settings) {
  Analysis a;
  a.settings = settings;
  const int32_t m = settings.highest;
  if (a.settings.lowBoundary <= 0) a.settings.lowBoundary = m / 2;
  const int32_t lowBoundary = std::min(a.settings.lowBoundary, m);
  const int depth = std::clamp(settings.repeatDepth, 1, 50);
  a.settings.repeatDepth = depth;
  const int first = std::max(1, settings.range.first);
  int last = std::min(settings.range.last, static_cast<int>(history.size()));
  for (int p = first; p <= last && a.badDraw == 0; ++p) {
    const AnalysisDraw& draw = history[static_cast<std::size_t>(p - 1)];
    const bool inRange =
        std::all_of(draw.begin(), draw.end(), [m](int32_t n) { return n >= 1 && n <= m; });
    if (!inRange || SetOf(draw).size() != kDrawn) a.badDraw = p;
  }
  a.draws = a.badDraw == 0 ? std::max(0, last - first + 1) : 0;
  if (a.badDraw != 0) last = first - 1;
  a.settings.range = DrawRange{first, last};
  const int draws = a.draws;
  const auto drawsU = static_cast<uint64_t>(draws);

  // Numbers: hits and the draws they came in.
  a.numbers.resize(static_cast<std::size_t>(m));
  for (int32_t n = 1; n <= m; ++n) a.numbers[static_cast<std::size_t>(n - 1)].number = n;
  a.pairs.assign(Binomial(m, 2), 0);
  a.triples.assign(Binomial(m, 3), 0);
  for (int p = first; p <= last; ++p) {
    AnalysisDraw draw = history[static_cast<std::size_t>(p - 1)];
    std::sort(draw.begin(), draw.end());
    for (std::size_t i = 0; i < draw.size(); ++i) {
      NumberFigures& f = a.numbers[static_cast<std::size_t>(draw[i] - 1)];
      ++f.hits;
      f.hitDraws.push_back(p);
      for (std::size_t j = i + 1; j < draw.size(); ++j) {
        ++a.pairs[PairIndex(draw[i], draw[j])];
        for (std::size_t k = j + 1; k < draw.size(); ++k)
          ++a.triples[TripleIndex(draw[i], draw[j], draw[k])];
      }
    }
  }
  // Skips: the runs without the number, each ended by a hit, and the one still running.
  for (NumberFigures& f : a.numbers) {
    int previous = first - 1;
    int64_t ended = 0;
    for (const int p : f.hitDraws) {
      const int run = p - previous - 1;
      ended += run;
      f.longestSkip = std::max(f.longestSkip, run);
      previous = p;
    }
    f.skip = last - previous;
    f.longestSkip = std::max(f.longestSkip, f.skip);
    f.averageSkip = f.hits > 0 ? Exact{static_cast<uint64_t>(ended), static_cast<uint64_t>(f.hits)}
                               : Exact{0, 1};
  }

  a.expectedHits = Exact{drawsU * kDrawn, static_cast<uint64_t>(m)};
  a.expectedPair = Exact{drawsU * Binomial(kDrawn, 2), Binomial(m, 2)};
  a.expectedTriple = Exact{drawsU * Binomial(kDrawn, 3), Binomial(m, 3)};

  // The counts against a fair draw; one draw's six numbers are tied, hence the scale.
  a.uniformity.degreesOfFreedom = m - 1;
  if (draws > 0 && m > kDrawn) {
    const double expected = a.expectedHits.value();
    double sum = 0;
    for (const NumberFigures& f : a.numbers)
      sum += (f.hits - expected) * (f.hits - expected) / expected;
    a.uniformity.chi2 = sum * (m - 1) / (m - kDrawn);
    a.uniformity.p = ChiSquareTail(a.uniformity.chi2, m - 1);
  }

  // The distributions, each from the number of combinations that give every value.
  const int odd = (m + 1) / 2;
  a.odd = FromWays(0, ClassWays(odd, m), draws, m);
  a.low = FromWays(0, ClassWays(lowBoundary, m), draws, m);
  {
    const int most = kDrawn * m - kDrawn * (kDrawn - 1) / 2;
    // ways[j][s]: combinations of j numbers summing to s.
    std::vector<std::vector<uint64_t>> ways(
        kDrawn + 1, std::vector<uint64_t>(static_cast<std::size_t>(most) + 1));
    ways[0][0] = 1;
    for (int n = 1; n <= m; ++n) {
      for (int j = kDrawn; j >= 1; --j) {
        for (int s = most - n; s >= 0; --s) {
          ways[static_cast<std::size_t>(j)][static_cast<std::size_t>(s + n)] +=
              ways[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(s)];
        }
      }
    }
    constexpr int kLeast = kDrawn * (kDrawn + 1) / 2;
    a.sum = FromWays(
        kLeast, std::vector<uint64_t>(ways[kDrawn].begin() + kLeast, ways[kDrawn].end()), draws, m);
  }
  {
    std::vector<uint64_t> ways;
    for (int d = kDrawn - 1; d <= m - 1; ++d)
      ways.push_back(static_cast<uint64_t>(m - d) * Binomial(d - 1, kDrawn - 2));
    a.spread = FromWays(kDrawn - 1, ways, draws, m);
  }
  {
    std::vector<uint64_t> ways;
    for (int c = 0; c < kDrawn; ++c)
      ways.push_back(Binomial(kDrawn - 1, c) * Binomial(m - kDrawn + 1, kDrawn - c));
    a.consecutive = FromWays(0, ways, draws, m);
  }
  // Decades and last digits count numbers, not draws: each of the six is expected in a class
  // as often as the class is large.
  auto byClass = [&](int classes, auto classOf) {
    Distribution d;
    d.seen.assign(static_cast<std::size_t>(classes), 0);
    std::vector<uint64_t> size(static_cast<std::size_t>(classes));
    for (int32_t n = 1; n <= m; ++n) ++size[static_cast<std::size_t>(classOf(n))];
    for (const uint64_t s : size)
      d.expected.push_back(Exact{drawsU * kDrawn * s, static_cast<uint64_t>(m)});
    return d;
  };
  a.decades = byClass(m / 10 + 1, [](int32_t n) { return n / 10; });
  a.lastDigits = byClass(10, [](int32_t n) { return n % 10; });

  // Repeats: the draws before the range count as the ones looked back to.
  a.repeats = Distribution{0, std::vector<int64_t>(kDrawn + 1), std::vector<Exact>(kDrawn + 1)};
  a.repeatsWithin = a.repeats;
  const uint64_t all = Binomial(m, kDrawn);
  std::array<uint64_t, kDrawn + 1> repeatWays{}, withinWays{};
  const std::vector<uint64_t> afterOne = ClassWays(kDrawn, m);
  uint64_t withPrevious = 0;
  a.shapes.reserve(static_cast<std::size_t>(draws));
  for (int p = first; p <= last; ++p) {
    const AnalysisDraw& draw = history[static_cast<std::size_t>(p - 1)];
    DrawShape shape = ShapeOf(draw, lowBoundary);
    Count(a.odd, shape.odd);
    Count(a.low, shape.low);
    Count(a.sum, shape.sum);
    Count(a.spread, shape.spread);
    Count(a.consecutive, shape.consecutive);
    for (const int32_t n : draw) {
      ++a.decades.seen[static_cast<std::size_t>(n / 10)];
      ++a.lastDigits.seen[static_cast<std::size_t>(n % 10)];
    }
    if (p >= 2) {
      shape.repeats = Common(draw, SetOf(history[static_cast<std::size_t>(p - 2)]));
      ++a.repeats.seen[static_cast<std::size_t>(shape.repeats)];
      ++withPrevious;
    }
    if (p > depth) {
      NumberSet before;
      for (int q = p - depth; q < p; ++q) before |= SetOf(history[static_cast<std::size_t>(q - 1)]);
      shape.repeatsWithin = Common(draw, before);
      ++a.repeatsWithin.seen[static_cast<std::size_t>(shape.repeatsWithin)];
      const std::vector<uint64_t> ways = ClassWays(before.size(), m);
      for (int k = 0; k <= kDrawn; ++k)
        withinWays[static_cast<std::size_t>(k)] += ways[static_cast<std::size_t>(k)];
    }
    a.shapes.push_back(shape);
  }
  for (int k = 0; k <= kDrawn; ++k) {
    repeatWays[static_cast<std::size_t>(k)] = afterOne[static_cast<std::size_t>(k)] * withPrevious;
    a.repeats.expected[static_cast<std::size_t>(k)] =
        Exact{repeatWays[static_cast<std::size_t>(k)], all};
    a.repeatsWithin.expected[static_cast<std::size_t>(k)] =
        Exact{withinWays[static_cast<std::size_t>(k)], all};
  }
  return a;
}

}  // namespace tallyra
