#include "stats/Analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "RandomDraws.h"
#include "wheels/Wheel.h"

namespace tallyra {
namespace {

using wheels::Binomial;

std::vector<AnalysisDraw> RandomHistory(int draws, int32_t m, unsigned seed) {
  std::mt19937 random(seed);
  return test::RandomDraws(random, m, draws);
}

using test::EverySix;

TEST(Analysis, EveryCountIsWhatAPlainCountGives) {
  for (const int32_t m : {10, 37, 49, 99}) {
    const std::vector<AnalysisDraw> history = RandomHistory(300, m, static_cast<unsigned>(m));
    const DrawRange range{41, 290};
    AnalysisSettings settings;
    settings.highest = m;
    settings.range = range;
    settings.repeatDepth = 4;
    const Analysis a = Analyse(history, settings);
    SCOPED_TRACE(m);
    ASSERT_EQ(a.draws, 250);
    std::map<std::vector<int32_t>, int64_t> pairs, triples;
    for (int32_t n = 1; n <= m; ++n) {
      std::vector<int> at;
      for (int p = range.first; p <= range.last; ++p) {
        const AnalysisDraw& d = history[static_cast<std::size_t>(p - 1)];
        if (std::find(d.begin(), d.end(), n) != d.end()) at.push_back(p);
      }
      const NumberFigures& f = a.numbers[static_cast<std::size_t>(n - 1)];
      EXPECT_EQ(f.hits, static_cast<int>(at.size()));
      EXPECT_EQ(f.hitDraws, at);
      int longest = 0, previous = range.first - 1;
      double ended = 0;
      for (const int p : at) {
        longest = std::max(longest, p - previous - 1);
        ended += p - previous - 1;
        previous = p;
      }
      EXPECT_EQ(f.skip, range.last - previous);
      EXPECT_EQ(f.longestSkip, std::max(longest, range.last - previous));
      EXPECT_DOUBLE_EQ(f.averageSkip.value(),
                       at.empty() ? 0 : ended / static_cast<double>(at.size()));
    }
    for (int p = range.first; p <= range.last; ++p) {
      AnalysisDraw d = history[static_cast<std::size_t>(p - 1)];
      std::sort(d.begin(), d.end());
      for (int i = 0; i < 6; ++i) {
        for (int j = i + 1; j < 6; ++j) {
          ++pairs[{d[i], d[j]}];
          for (int k = j + 1; k < 6; ++k) ++triples[{d[i], d[j], d[k]}];
        }
      }
      // The draw's shape, plainly.
      const DrawShape& s = a.shapes[static_cast<std::size_t>(p - range.first)];
      const std::set<int32_t> previous(history[static_cast<std::size_t>(p - 2)].begin(),
                                       history[static_cast<std::size_t>(p - 2)].end());
      std::set<int32_t> within;
      for (int q = p - 4; q < p; ++q)
        within.insert(history[static_cast<std::size_t>(q - 1)].begin(),
                      history[static_cast<std::size_t>(q - 1)].end());
      int odd = 0, low = 0, sum = 0, consecutive = 0, repeats = 0, inWithin = 0;
      for (int i = 0; i < 6; ++i) {
        odd += d[i] % 2;
        low += d[i] <= m / 2;
        sum += d[i];
        consecutive += i > 0 && d[i] == d[i - 1] + 1;
        repeats += static_cast<int>(previous.count(d[i]));
        inWithin += static_cast<int>(within.count(d[i]));
      }
      EXPECT_EQ(s.odd, odd);
      EXPECT_EQ(s.low, low);
      EXPECT_EQ(s.sum, sum);
      EXPECT_EQ(s.spread, d[5] - d[0]);
      EXPECT_EQ(s.consecutive, consecutive);
      EXPECT_EQ(s.repeats, repeats);
      EXPECT_EQ(s.repeatsWithin, inWithin);
    }
    int64_t pairTotal = 0;
    for (int32_t x = 1; x <= m; ++x) {
      for (int32_t y = x + 1; y <= m; ++y) {
        const auto it = pairs.find({x, y});
        EXPECT_EQ(a.pairCount(y, x), it == pairs.end() ? 0 : it->second);
        pairTotal += a.pairCount(x, y);
      }
    }
    EXPECT_EQ(pairTotal, 250 * 15);
    // The most and least frequent, equal counts in ascending order of their numbers.
    std::vector<std::pair<int64_t, std::vector<int32_t>>> ranked;
    for (int32_t x = 1; x <= m; ++x) {
      for (int32_t y = x + 1; y <= m; ++y) {
        for (int32_t z = y + 1; z <= m; ++z) {
          const auto it = triples.find({x, y, z});
          ranked.emplace_back(it == triples.end() ? 0 : it->second, std::vector<int32_t>{x, y, z});
        }
      }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& l, const auto& r) { return l.first > r.first; });
    const std::vector<Together> top = a.topTriples(20, true);
    ASSERT_EQ(top.size(), 20u);
    for (std::size_t i = 0; i < top.size(); ++i) {
      EXPECT_EQ(top[i].numbers, ranked[i].second);
      EXPECT_EQ(top[i].count, ranked[i].first);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
    EXPECT_EQ(a.topTriples(1, false)[0].numbers, ranked[0].second);
    const std::vector<Together> companions = a.companions(m);
    ASSERT_EQ(companions.size(), static_cast<std::size_t>(m - 1));
    EXPECT_TRUE(
        std::is_sorted(companions.begin(), companions.end(),
                       [](const Together& l, const Together& r) { return l.count > r.count; }));
  }
}

TEST(Analysis, EachExpectationIsTheShareOfAllCombinationsThatGiveIt) {
  for (int32_t m = 10; m <= 15; ++m) {
    SCOPED_TRACE(m);
    const AnalysisDraw previous{1, 3, 4, 8, 9, 10};
    // The history: one draw to look back to, then the draw analysed (whose own numbers do not
    // matter to the expectations).
    AnalysisSettings settings;
    settings.highest = m;
    settings.range = DrawRange{2, 2};
    settings.repeatDepth = 1;
    const Analysis a = Analyse({previous, previous}, settings);
    std::map<int, uint64_t> odd, low, sum, spread, consecutive, repeats;
    uint64_t all = 0;
    EverySix(m, [&](const AnalysisDraw& d) {
      const DrawShape s = ShapeOf(d, m / 2);
      ++odd[s.odd], ++low[s.low], ++sum[s.sum], ++spread[s.spread], ++consecutive[s.consecutive];
      ++repeats[static_cast<int>(std::count_if(d.begin(), d.end(), [&](int32_t n) {
        return std::find(previous.begin(), previous.end(), n) != previous.end();
      }))];
      ++all;
    });
    ASSERT_EQ(all, Binomial(m, 6));
    const std::vector<std::pair<const Distribution*, std::map<int, uint64_t>*>> checks = {
        {&a.odd, &odd},
        {&a.low, &low},
        {&a.sum, &sum},
        {&a.spread, &spread},
        {&a.consecutive, &consecutive},
        {&a.repeats, &repeats},
        {&a.repeatsWithin, &repeats}};
    for (const auto& check : checks) {
      const Distribution& d = *check.first;
      uint64_t total = 0;
      for (std::size_t i = 0; i < d.expected.size(); ++i) {
        EXPECT_EQ(d.expected[i].denominator, all);
        const auto it = check.second->find(d.first + static_cast<int>(i));
        EXPECT_EQ(d.expected[i].numerator, it == check.second->end() ? 0 : it->second)
            << d.first + static_cast<int>(i);
        total += d.expected[i].numerator;
      }
      EXPECT_EQ(total, all);
    }
  }
  // At full size the sums still come to C(M, 6) a draw.
  for (const int32_t m : {49, 90, 99}) {
    AnalysisSettings settings;
    settings.highest = m;
    settings.range = DrawRange{1, 300};
    const Analysis a = Analyse(RandomHistory(300, m, 7), settings);
    for (const Distribution* d : {&a.odd, &a.low, &a.sum, &a.spread, &a.consecutive}) {
      uint64_t total = 0;
      int64_t seen = 0;
      for (std::size_t i = 0; i < d->expected.size(); ++i)
        total += d->expected[i].numerator, seen += d->seen[i];
      EXPECT_EQ(total, 300 * Binomial(m, 6));
      EXPECT_EQ(seen, 300);
    }
    EXPECT_EQ(DecimalText(a.expectedHits), DecimalText(Exact{1800, static_cast<uint64_t>(m)}));
  }
}

TEST(Analysis, FiguresAreWrittenAndTestedExactly) {
  EXPECT_EQ(DecimalText(Exact{1, 3}), "0.3333");
  EXPECT_EQ(DecimalText(Exact{2, 3}), "0.6667");
  EXPECT_EQ(DecimalText(Exact{99999, 100000}, 4), "1.0000");
  EXPECT_EQ(DecimalText(Exact{8994, 49}, 2), "183.55");
  EXPECT_EQ(DecimalText(Exact{12, 1}, 0), "12");
  // The chi-square tail: table values, and the closed forms for 2 and 4 degrees of freedom.
  EXPECT_NEAR(ChiSquareTail(3.841458820694124, 1), 0.05, 1e-9);
  EXPECT_NEAR(ChiSquareTail(18.307038053275146, 10), 0.05, 1e-9);
  EXPECT_NEAR(ChiSquareTail(65.1708, 48), 0.05, 1e-5);
  for (const double x : {0.5, 3.0, 9.21, 40.0}) {
    EXPECT_NEAR(ChiSquareTail(x, 2), std::exp(-x / 2), 1e-12);
    EXPECT_NEAR(ChiSquareTail(x, 4), std::exp(-x / 2) * (1 + x / 2), 1e-12);
  }
  EXPECT_EQ(ChiSquareTail(0, 48), 1);
  // Perfectly even counts are as even as can be.
  std::vector<AnalysisDraw> even;
  for (int r = 0; r < 7; ++r)
    even.push_back(AnalysisDraw{6 * (r % 7) + 1, 6 * (r % 7) + 2, 6 * (r % 7) + 3, 6 * (r % 7) + 4,
                                6 * (r % 7) + 5, 6 * (r % 7) + 6});
  AnalysisSettings settings;
  settings.highest = 42;
  settings.range = DrawRange{1, 7};
  EXPECT_EQ(Analyse(even, settings).uniformity.chi2, 0);
  EXPECT_EQ(Analyse(even, settings).uniformity.p, 1);

  using Kind = RangeChoice::Kind;
  const std::vector<std::pair<RangeChoice, std::optional<DrawRange>>> ranges = {
      {{Kind::All}, DrawRange{1, 1499}},           {{Kind::Latest, 100}, DrawRange{1400, 1499}},
      {{Kind::Latest, 5000}, DrawRange{1, 1499}},  {{Kind::Latest, 0}, std::nullopt},
      {{Kind::Between, 0, 3, 9}, DrawRange{3, 9}}, {{Kind::Between, 0, 9, 3}, std::nullopt},
      {{Kind::Between, 0, 0, 3}, std::nullopt},    {{Kind::Between, 0, 3, 1500}, std::nullopt},
  };
  for (const auto& [choice, range] : ranges) {
    const std::optional<DrawRange> got = ResolveRange(choice, 1499);
    ASSERT_EQ(got.has_value(), range.has_value());
    if (got) {
      EXPECT_EQ(std::pair(got->first, got->last), std::pair(range->first, range->last));
    }
  }
  EXPECT_FALSE(ResolveRange(RangeChoice{}, 0).has_value());
}

}  // namespace
}  // namespace tallyra
