#include "generate/Generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "RandomDraws.h"
#include "wheels/Wheel.h"

namespace tallyra {
namespace {

using wheels::Binomial;
constexpr int32_t kEnglish = 1;

using Set = std::set<int32_t>;

Set SetOf(const AnalysisDraw& d) {
  return Set(d.begin(), d.end());
}

int Common(const Set& a, const Set& b) {
  return static_cast<int>(
      std::count_if(a.begin(), a.end(), [&b](int32_t n) { return b.count(n); }));
}

// The top pairs of some draws, plainly: by count, then in ascending order.
std::set<std::pair<int32_t, int32_t>> TopPairs(const std::vector<AnalysisDraw>& draws, int32_t m,
                                               int k) {
  std::map<std::pair<int32_t, int32_t>, int> counts;
  for (int32_t a = 1; a <= m; ++a) {
    for (int32_t b = a + 1; b <= m; ++b) counts[{a, b}] = 0;
  }
  for (const AnalysisDraw& d : draws) {
    const Set s = SetOf(d);
    for (auto i = s.begin(); i != s.end(); ++i) {
      for (auto j = std::next(i); j != s.end(); ++j) ++counts[{*i, *j}];
    }
  }
  std::vector<std::pair<int, std::pair<int32_t, int32_t>>> ranked;
  for (const auto& [pair, count] : counts) ranked.push_back({count, pair});
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& x, const auto& y) { return x.first > y.first; });
  std::set<std::pair<int32_t, int32_t>> top;
  for (int i = 0; i < k && i < static_cast<int>(ranked.size()); ++i)
    top.insert(ranked[static_cast<std::size_t>(i)].second);
  return top;
}

// What a filter says of a combination, written plainly from its meaning: `before` are the
// draws of the range the history filters read, `drawn` every draw they call drawn.
bool Plain(const Filter& f, const Set& c, int32_t m, const std::vector<AnalysisDraw>& before,
           const std::vector<AnalysisDraw>& drawn, const AnalysisDraw* previous) {
  const std::vector<int32_t> v(c.begin(), c.end());
  int sum = 0, odd = 0, low = 0, consecutive = 0;
  std::map<int, int> decades, digits;
  for (std::size_t i = 0; i < v.size(); ++i) {
    sum += v[i], odd += v[i] % 2, low += v[i] <= m / 2;
    consecutive += i > 0 && v[i] == v[i - 1] + 1;
    ++decades[v[i] / 10], ++digits[v[i] % 10];
  }
  const Set numbers(f.numbers.begin(), f.numbers.end());
  auto within = [&f](int x) { return x >= f.low && x <= f.high; };
  auto most = [&f](const std::map<int, int>& counts) {
    return std::all_of(counts.begin(), counts.end(),
                       [&f](const auto& e) { return e.second <= f.high; });
  };
  switch (f.kind) {
    case FilterKind::Sum:
      return within(sum);
    case FilterKind::Odd:
      return within(odd);
    case FilterKind::Low:
      return within(low);
    case FilterKind::Spread:
      return within(v.back() - v.front());
    case FilterKind::ConsecutiveMax:
      return consecutive <= f.high;
    case FilterKind::DecadeMax:
      return most(decades);
    case FilterKind::LastDigitMax:
      return most(digits);
    case FilterKind::Include:
      return Common(numbers, c) == static_cast<int>(numbers.size());
    case FilterKind::IncludeAny:
      return Common(numbers, c) > 0;
    case FilterKind::Exclude:
      return Common(numbers, c) == 0;
    case FilterKind::Pool:
      return Common(numbers, c) == 6;
    case FilterKind::PreviousMax:
      return !previous || Common(SetOf(*previous), c) <= f.high;
    case FilterKind::NotDrawn:
      return std::none_of(drawn.begin(), drawn.end(),
                          [&c](const AnalysisDraw& d) { return SetOf(d) == c; });
    case FilterKind::ShareMax:
      return std::all_of(before.begin(), before.end(),
                         [&](const AnalysisDraw& d) { return Common(SetOf(d), c) <= f.high; });
    case FilterKind::TopPairs:
      for (const auto& [a, b] : TopPairs(before, m, f.high)) {
        if (c.count(a) && c.count(b)) return true;
      }
      return false;
  }
  return false;
}

Filter RandomFilter(std::mt19937& random, int32_t m) {
  auto pick = [&random](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(random);
  };
  Filter f;
  f.kind = static_cast<FilterKind>(pick(0, 14));
  f.on = pick(0, 5) > 0;
  auto bounds = [&](int lo, int hi) {
    f.low = pick(lo, hi);
    f.high = pick(f.low, hi);
  };
  auto numbers = [&](int count) {
    std::set<int32_t> s;
    while (static_cast<int>(s.size()) < count) s.insert(pick(1, m));
    f.numbers.assign(s.begin(), s.end());
  };
  switch (f.kind) {
    case FilterKind::Sum:
      bounds(21, 6 * m - 15);
      break;
    case FilterKind::Odd:
    case FilterKind::Low:
      bounds(0, 6);
      break;
    case FilterKind::Spread:
      bounds(5, m - 1);
      break;
    case FilterKind::ConsecutiveMax:
      f.high = pick(0, 5);
      break;
    case FilterKind::DecadeMax:
    case FilterKind::LastDigitMax:
      f.high = pick(1, 6);
      break;
    case FilterKind::Include:
      numbers(pick(1, 3));
      break;
    case FilterKind::IncludeAny:
    case FilterKind::Exclude:
      numbers(pick(1, 5));
      break;
    case FilterKind::Pool:
      numbers(pick(6, m));
      break;
    case FilterKind::PreviousMax:
      f.high = pick(0, 6);
      break;
    case FilterKind::NotDrawn:
      break;
    case FilterKind::ShareMax:
      f.high = pick(0, 5);
      break;
    case FilterKind::TopPairs:
      f.high = pick(1, 20);
      break;
  }
  return f;
}

using test::EverySix;
using test::RandomDraws;

TEST(Generator, TheFunnelIsWhatEveryCombinationGivesWhenLookedAtPlainly) {
  std::mt19937 random(2026);
  for (int round = 0; round < 28; ++round) {
    const int32_t m = 12 + round % 7;
    GenerateInput input;
    input.highest = m;
    input.history = RandomDraws(random, m, 12);
    // A repeat, so that "never drawn" and the shares have something to find.
    input.history.push_back(input.history[3]);
    input.range = DrawRange{5, 13};
    for (int i = 0, n = 1 + round % 5; i < n; ++i) input.filters.push_back(RandomFilter(random, m));
    SCOPED_TRACE(FormatFilterFile(input.filters) + "M " + std::to_string(m));
    ASSERT_FALSE(CheckFilters(input, kEnglish).has_value());
    const Funnel funnel = RunFunnel(input, nullptr, 2);
    ASSERT_EQ(funnel.total, Binomial(m, 6));

    const std::vector<AnalysisDraw> range(input.history.begin() + 4, input.history.end());
    std::vector<uint64_t> left, alone;
    Set numbersLeft;
    uint64_t allLeft = 0;
    EverySix(m, [&](const AnalysisDraw& six) {
      const Set c(six.begin(), six.end());
      bool all = true;
      std::size_t step = 0;
      for (const Filter& f : input.filters) {
        if (!f.on) continue;
        if (left.size() <= step) left.push_back(0), alone.push_back(0);
        const bool keeps = Plain(f, c, m, range, input.history, &input.history.back());
        alone[step] += keeps;
        all = all && keeps;
        left[step] += all;
        ++step;
      }
      if (all) ++allLeft, numbersLeft.insert(c.begin(), c.end());
    });
    ASSERT_EQ(funnel.steps.size(), left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
      EXPECT_EQ(funnel.steps[i].left, left[i]) << i;
      EXPECT_EQ(funnel.steps[i].alone, alone[i]) << i;
    }
    EXPECT_EQ(funnel.left, allLeft);
    EXPECT_EQ(std::vector<int32_t>(numbersLeft.begin(), numbersLeft.end()), funnel.numbersLeft);

    // The backtest: each draw of the range judged by the draws before it.
    std::vector<uint64_t> kept(left.size(), 0);
    uint64_t keptAll = 0;
    for (int p = 5; p <= 13; ++p) {
      const std::vector<AnalysisDraw> before(input.history.begin() + 4,
                                             input.history.begin() + p - 1);
      const std::vector<AnalysisDraw> drawn(input.history.begin(), input.history.begin() + p - 1);
      const Set draw = SetOf(input.history[static_cast<std::size_t>(p - 1)]);
      bool all = true;
      std::size_t step = 0;
      for (const Filter& f : input.filters) {
        if (!f.on) continue;
        const bool keeps =
            Plain(f, draw, m, before, drawn, &input.history[static_cast<std::size_t>(p - 2)]);
        kept[step++] += keeps;
        all = all && keeps;
      }
      keptAll += all;
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
      EXPECT_EQ(funnel.steps[i].drawsKept.numerator, kept[i]) << i;
      EXPECT_EQ(funnel.steps[i].drawsKept.denominator, 9u);
    }
    EXPECT_EQ(funnel.drawsKept.numerator, keptAll);
  }
}

TEST(Generator, WhatIsWrittenIsTheChosenShareOfWhatIsLeft) {
  GenerateInput input;
  input.highest = 20;
  Filter sum;
  sum.low = 50, sum.high = 70;
  input.filters = {sum};
  const Funnel funnel = RunFunnel(input);
  ASSERT_GT(funnel.left, 1000u);
  const std::vector<AnalysisDraw> all =
      PickCombinations(input, funnel, PickChoice{funnel.left, 0, 1});
  ASSERT_EQ(all.size(), funnel.left);
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  for (const AnalysisDraw& d : all) {
    const int s = d[0] + d[1] + d[2] + d[3] + d[4] + d[5];
    EXPECT_TRUE(s >= 50 && s <= 70 && std::is_sorted(d.begin(), d.end()));
  }
  const auto sample = PickCombinations(input, funnel, PickChoice{100, 0, 7}, nullptr, 2);
  EXPECT_EQ(sample, PickCombinations(input, funnel, PickChoice{100, 0, 7}, nullptr, 1));
  EXPECT_NE(sample, PickCombinations(input, funnel, PickChoice{100, 0, 8}));
  ASSERT_EQ(sample.size(), 100u);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), sample.begin(), sample.end()));
  const auto every = PickCombinations(input, funnel, PickChoice{5, 100, 1});
  ASSERT_EQ(every.size(), 5u);
  for (std::size_t i = 0; i < every.size(); ++i) EXPECT_EQ(every[i], all[i * 100]);

  // A filter that leaves nothing says so, and the pool is empty.
  Filter odd;
  odd.kind = FilterKind::Sum, odd.low = 300, odd.high = 400;
  input.filters.push_back(odd);
  const Funnel empty = RunFunnel(input);
  EXPECT_EQ(empty.left, 0u);
  EXPECT_EQ(empty.emptiedBy, 1);
  EXPECT_TRUE(empty.numbersLeft.empty());
  EXPECT_TRUE(PickCombinations(input, empty, PickChoice{}).empty());
}

TEST(Generator, FiltersAreWrittenAndReadBackAndBadOnesAreNamed) {
  std::vector<Filter> filters;
  const std::vector<std::pair<const char*, const char*>> lines = {
      {"sum", "120-180"}, {"odd", "2-4"},     {"consecutive-max", "1"}, {"include-any", "3,7,12"},
      {"not-drawn", ""},  {"share-max", "3"}, {"top-pairs", "10"}};
  std::string file = "# mine\n\n";
  for (const auto& [name, arguments] : lines) {
    file.append(std::string(name) + (*arguments ? " " : "") + arguments + "\r\n");
  }
  file.append("off low 3-3\n");
  const FilterFile read = ReadFilterFile(file, 49, kEnglish);
  ASSERT_EQ(read.badLine, 0) << read.reason;
  ASSERT_EQ(read.filters.size(), lines.size() + 1);
  EXPECT_FALSE(read.filters.back().on);
  EXPECT_EQ(ReadFilterFile(FormatFilterFile(read.filters), 49, kEnglish).filters.size(), 8u);
  EXPECT_EQ(FormatFilterFile(ReadFilterFile(FormatFilterFile(read.filters), 49, kEnglish).filters),
            FormatFilterFile(read.filters));

  const std::vector<std::pair<std::string, std::string>> bad = {
      {"sum 180-120", "sum: '180-120' is no range A-B within 0..594 with A not above B"},
      {"odd 2-7", "odd: '2-7' is no range A-B within 0..6 with A not above B"},
      {"decade-max 0", "decade-max: '0' is no number of 1..6"},
      {"include 3,3",
       "include: '3,3' is no list of different numbers of 1..49, separated by commas"},
      {"pool 1,50", "pool: '1,50' is no list of different numbers of 1..49"},
      {"not-drawn 3", "not-drawn takes no value"},
      {"colour red", "unknown filter 'colour'"},
  };
  for (const auto& [line, reason] : bad) {
    const FilterFile f = ReadFilterFile("sum 100-200\n" + line + "\n", 49, kEnglish);
    EXPECT_EQ(f.badLine, 2) << line;
    EXPECT_TRUE(f.filters.empty());
    EXPECT_EQ(f.reason.rfind(reason, 0), 0u) << f.reason;
  }
  // A history filter without draws cannot run; the rest can.
  GenerateInput input;
  input.filters = read.filters;
  const std::optional<FilterProblem> problem = CheckFilters(input, kEnglish);
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(problem->filter, 4);
  EXPECT_EQ(problem->reason, "not-drawn reads the draws, and the range holds none");
}

}  // namespace
}  // namespace tallyra
