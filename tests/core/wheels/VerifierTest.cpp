#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <random>

#include "wheels/Verifier.h"

namespace tallyra::wheels {
namespace {

// The plain rule: every m-subset of the pool against every ticket, one by one.
struct PlainRow {
  uint64_t covered = 0;
  std::vector<std::vector<int32_t>> uncovered;  // all of them, in lexical order
};

void Subsets(const std::vector<int32_t>& pool, int m, std::size_t from,
             std::vector<int32_t>& chosen, const std::function<void()>& fn) {
  if (static_cast<int>(chosen.size()) == m) {
    fn();
    return;
  }
  for (std::size_t i = from; i < pool.size(); ++i) {
    chosen.push_back(pool[i]);
    Subsets(pool, m, i + 1, chosen, fn);
    chosen.pop_back();
  }
}

PlainRow Plainly(std::vector<int32_t> pool, const std::vector<Ticket>& tickets, Guarantee g) {
  std::sort(pool.begin(), pool.end());
  PlainRow row;
  std::vector<int32_t> chosen;
  Subsets(pool, g.m, 0, chosen, [&] {
    bool covered = false;
    for (const Ticket& t : tickets) {
      std::vector<int32_t> distinct = t;
      std::sort(distinct.begin(), distinct.end());
      distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
      int common = 0;
      for (const int32_t n : distinct) common += std::count(chosen.begin(), chosen.end(), n) > 0;
      if (common >= g.t) covered = true;
    }
    if (covered) {
      ++row.covered;
    } else {
      row.uncovered.push_back(chosen);
    }
  });
  return row;
}

void ExpectAgreesWithPlainRule(const std::vector<int32_t>& pool, const std::vector<Ticket>& tickets,
                               int threads) {
  VerifyOptions options;
  options.threads = threads;
  options.witnesses = 4;
  const Coverage coverage = Verify(pool, tickets, options);
  ASSERT_FALSE(coverage.cancelled);
  const int v = static_cast<int>(pool.size());
  std::size_t rows = 0;
  for (int m = 2; m <= std::min(6, v); ++m) {
    for (int t = 2; t <= m; ++t) {
      ++rows;
      const CoverageRow* row = coverage.find({t, m});
      ASSERT_NE(row, nullptr) << t << "if" << m;
      const PlainRow plain = Plainly(pool, tickets, {t, m});
      EXPECT_EQ(row->covered, plain.covered) << t << "if" << m;
      EXPECT_EQ(row->total, plain.covered + plain.uncovered.size()) << t << "if" << m;
      EXPECT_EQ(row->holds(), plain.uncovered.empty());
      const std::size_t shown = std::min<std::size_t>(4, plain.uncovered.size());
      EXPECT_EQ(row->witnesses, std::vector<std::vector<int32_t>>(plain.uncovered.begin(),
                                                                  plain.uncovered.begin() + shown))
          << t << "if" << m;
    }
  }
  EXPECT_EQ(coverage.rows.size(), rows);
}

TEST(WheelVerifier, AgreesWithThePlainRuleOnRandomLists) {
  std::mt19937 random(7);
  // Ticket counts either side of the 64-ticket word edges; pools up to the number 99.
  for (const int count : {0, 1, 5, 63, 64, 65, 130}) {
    for (const int highest : {20, 99}) {
      const int v = 7 + static_cast<int>(random() % 6);
      std::vector<int32_t> all(static_cast<std::size_t>(highest));
      for (int i = 0; i < highest; ++i) all[static_cast<std::size_t>(i)] = i + 1;
      std::shuffle(all.begin(), all.end(), random);
      std::vector<int32_t> pool(all.begin(), all.begin() + v);
      if (highest == 99 && std::find(pool.begin(), pool.end(), 99) == pool.end()) pool.back() = 99;
      std::vector<Ticket> tickets;
      for (int k = 0; k < count; ++k) {
        Ticket t;
        for (int j = 0; j < 6; ++j) {
          // Mostly pool numbers, now and then others or an empty place.
          const auto roll = random() % 10;
          t.push_back(roll < 7   ? pool[random() % pool.size()]
                      : roll < 9 ? static_cast<int32_t>(1 + random() % highest)
                                 : 0);
        }
        tickets.push_back(t);
      }
      SCOPED_TRACE("tickets " + std::to_string(count) + ", highest " + std::to_string(highest));
      ExpectAgreesWithPlainRule(pool, tickets, 1);
      ExpectAgreesWithPlainRule(pool, tickets, 3);
    }
  }
}

TEST(WheelVerifier, HandDerivedCases) {
  const std::vector<int32_t> seven = {3, 9, 17, 25, 40, 77, 99};
  // Every 6-subset of seven numbers: "6 if 6" needs all seven of them.
  std::vector<Ticket> all;
  for (std::size_t out = 0; out < seven.size(); ++out) {
    Ticket t;
    for (std::size_t i = 0; i < seven.size(); ++i)
      if (i != out) t.push_back(seven[i]);
    all.push_back(t);
  }
  Coverage c = Verify(seven, all);
  ASSERT_EQ(c.rows.size(), 15u);
  for (const CoverageRow& row : c.rows) EXPECT_TRUE(row.holds()) << row.guarantee.t;
  EXPECT_EQ(c.outsidePool, 0);

  all.pop_back();  // the one without 99 remains missing its partner {3,9,17,25,40,77}
  c = Verify(seven, all);
  const CoverageRow* six = c.find({6, 6});
  ASSERT_NE(six, nullptr);
  EXPECT_EQ(six->covered, 6u);
  EXPECT_EQ(six->total, 7u);
  EXPECT_EQ(six->witnesses, (std::vector<std::vector<int32_t>>{{3, 9, 17, 25, 40, 77}}));
  EXPECT_TRUE(c.find({5, 6})->holds());

  // The whole pool as one ticket when the pool has six numbers: every "t if m" holds.
  const std::vector<int32_t> six_ = {1, 2, 3, 4, 5, 6};
  c = Verify(six_, {{6, 5, 4, 3, 2, 1}});
  EXPECT_EQ(c.rows.size(), 15u);
  for (const CoverageRow& row : c.rows) EXPECT_TRUE(row.holds());

  // A pool given with repeats and strays is taken as the set of its numbers.
  c = Verify({7, 3, 7, 0, 100, 5, 1, 2, 4, 6}, {{1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(c.pool, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(c.find({6, 6})->covered, 1u);

  // No tickets: nothing is covered and the first subsets are the witnesses.
  c = Verify(seven, {});
  EXPECT_EQ(c.find({2, 2})->covered, 0u);
  EXPECT_EQ(c.find({2, 2})->total, 21u);
  EXPECT_EQ(c.find({2, 2})->witnesses,
            (std::vector<std::vector<int32_t>>{{3, 9}, {3, 17}, {3, 25}}));

  // Numbers outside the pool count for nothing, and the tickets holding them are counted.
  c = Verify(seven, {{1, 2, 4, 5, 6, 3}, {3, 9, 0, 0, 0, 0}});
  EXPECT_EQ(c.outsidePool, 2);
  EXPECT_EQ(c.find({2, 2})->covered, 1u);
  EXPECT_EQ(c.find({2, 3})->covered, 5u);  // {3, 9, x}
}

TEST(WheelVerifier, StopsWhenCancelledAndReportsProgress) {
  std::vector<int32_t> pool;
  for (int n = 1; n <= 40; ++n) pool.push_back(n);
  const std::vector<Ticket> tickets = {{1, 2, 3, 4, 5, 6}};
  std::atomic<bool> cancel{true};
  VerifyOptions options;
  options.cancel = &cancel;
  EXPECT_TRUE(Verify(pool, tickets, options).cancelled);

  cancel = false;
  double last = -1;
  bool ordered = true;
  options.progress = [&](double share) {
    ordered = ordered && share >= last && share <= 1.0;
    last = share;
  };
  const Coverage c = Verify(pool, tickets, options);
  EXPECT_FALSE(c.cancelled);
  EXPECT_TRUE(ordered);
  EXPECT_EQ(last, 1.0);
  EXPECT_EQ(c.find({6, 6})->covered, 1u);
}

TEST(WheelVerifier, StopsAtItsDeadlineButFinishesSmallChecks) {
  // A deadline already past: 49 numbers and 640 tickets are far more work than is done between
  // two looks at the clock.
  std::vector<int32_t> pool;
  for (int n = 1; n <= 49; ++n) pool.push_back(n);
  std::vector<Ticket> tickets;
  for (int copy = 0; copy < 80; ++copy)
    for (int n = 1; n + 5 <= 49; n += 6) tickets.push_back({n, n + 1, n + 2, n + 3, n + 4, n + 5});
  VerifyOptions options;
  options.threads = 1;  // each thread counts its own work
  options.deadline = std::chrono::steady_clock::now();
  EXPECT_TRUE(Verify(pool, tickets, options).cancelled);
  // Ten numbers are less work than that, so the check runs to its end on any machine: the
  // pairs of 1..6 and of 7..10 are held.
  pool.resize(10);
  const Coverage c = Verify(pool, tickets, options);
  EXPECT_FALSE(c.cancelled);
  EXPECT_EQ(c.find({2, 2})->covered, 15u + 6u);
}

TEST(WheelVerifier, CoverageIsShownRoundedHalfUpAndAFullShareOnlyWhenItHolds) {
  EXPECT_EQ(CoveragePercent(1, 7), "14.29");     // 14.2857...
  EXPECT_EQ(CoveragePercent(20, 35), "57.14");   // 57.1428...
  EXPECT_EQ(CoveragePercent(1, 20000), "0.01");  // exactly 0.005: half goes up
  EXPECT_EQ(CoveragePercent(1, 20001), "0.00");  // just under half
  EXPECT_EQ(CoveragePercent(1, 8), "12.50");
  EXPECT_EQ(CoveragePercent(0, 5), "0.00");
  EXPECT_EQ(CoveragePercent(5, 5), "100.00");
  EXPECT_EQ(CoveragePercent(0, 0), "0.00");
  // 99.999% would round to 100.00, which only a guarantee that holds may show.
  EXPECT_EQ(CoveragePercent(99999, 100000), "99.99");
  // Sums far beyond what a product of two 64-bit counts could hold.
  const uint64_t most = std::numeric_limits<uint64_t>::max();
  EXPECT_EQ(CoveragePercent(most / 2, most), "50.00");
  EXPECT_EQ(CoveragePercent(most / 3, most), "33.33");
  EXPECT_EQ(CoveragePercent(most - 1, most), "99.99");
}

}  // namespace
}  // namespace tallyra::wheels
