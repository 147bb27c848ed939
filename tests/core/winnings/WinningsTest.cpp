#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <random>
#include <set>

#include "winnings/Winnings.h"

namespace tallyra {
namespace {

// ---------------------------------------------------------------------------------------------
// The expansion, against every set of six numbers of the selection.

TEST(TicketExpansion, AgreesWithEverySixOfTheSelection) {
  for (int n = 6; n <= 12; ++n) {
    for (int k = 0; k <= std::min(n, 6); ++k) {
      // Numbers 1..n are played; the draw holds 1..k and numbers the selection lacks.
      TierTickets brute{};
      int64_t all = 0;
      for (uint32_t mask = 0; mask < (1u << n); ++mask) {
        if (std::popcount(mask) != 6) continue;
        ++all;
        const int common = std::popcount(mask & ((1u << k) - 1));
        if (common >= 3) ++brute[static_cast<std::size_t>(common - 3)];
      }
      EXPECT_EQ(TicketsByTier(n, k), brute) << n << " numbers, " << k << " common";
      EXPECT_EQ(TicketsOf(n), all);
    }
  }
  EXPECT_EQ(TicketsOf(12), 924);
  EXPECT_EQ(TicketsOf(5), 0);
  EXPECT_EQ(TicketsByTier(5, 5), (TierTickets{}));
}

// ---------------------------------------------------------------------------------------------
// The report, against a plain computation: each row with each draw, the common numbers found
// by looking, the tickets by going through every six of the row.

RowSet Rows(int width, std::vector<std::vector<int32_t>> rows) {
  RowSet set;
  set.width = width;
  set.count = static_cast<int>(rows.size());
  for (auto& row : rows) {
    row.resize(static_cast<std::size_t>(width), 0);
    set.cells.insert(set.cells.end(), row.begin(), row.end());
  }
  return set;
}

struct Plain {
  std::vector<WinningsRow> stakes, system;
  std::vector<Money> drawWinnings;
  TierTickets tickets{};
  Money winnings = 0, cost = 0;
};

std::vector<int32_t> Distinct(const RowSet& rows, int row) {
  std::vector<int32_t> values;
  for (int c = 1; c <= rows.width; ++c) {
    const int32_t v = rows.at(row, c);
    if (v != 0 && std::find(values.begin(), values.end(), v) == values.end()) values.push_back(v);
  }
  return values;
}

Plain ComputePlainly(const WinningsInput& in, const Prizes& prizes, int first, int last) {
  Plain plain;
  plain.drawWinnings.assign(static_cast<std::size_t>(last - first + 1), 0);
  std::vector<std::set<int32_t>> draws;
  for (int d = first; d <= last; ++d) {
    draws.emplace_back();
    for (int c = 1; c <= 6; ++c) draws.back().insert(in.draws.at(d, c));
  }
  // Every set of six positions of a row of n numbers.
  std::array<std::vector<uint32_t>, 13> sixes;
  for (int n = 6; n <= 12; ++n) {
    for (uint32_t mask = 0; mask < (1u << n); ++mask) {
      if (std::popcount(mask) == 6) sixes[static_cast<std::size_t>(n)].push_back(mask);
    }
  }
  auto list = [&](const RowSet& rows, std::vector<WinningsRow>& out) {
    for (int r = 1; r <= rows.count; ++r) {
      WinningsRow row;
      const std::vector<int32_t> numbers = Distinct(rows, r);
      const int n = static_cast<int>(numbers.size());
      for (int d = first; d <= last; ++d) {
        const std::set<int32_t>& drawn = draws[static_cast<std::size_t>(d - first)];
        uint32_t inDraw = 0;
        for (int i = 0; i < n; ++i) {
          if (drawn.count(numbers[static_cast<std::size_t>(i)])) inDraw |= 1u << i;
        }
        const TierAmounts& amounts = prizes.amountsFor(d);
        for (const uint32_t mask : sixes[static_cast<std::size_t>(n)]) {
          row.cost += prizes.table.price;
          const int common = std::popcount(mask & inDraw);
          if (common < 3) continue;
          const auto tier = static_cast<std::size_t>(common - 3);
          ++row.tickets[tier];
          row.winnings += amounts[tier];
          plain.drawWinnings[static_cast<std::size_t>(d - first)] += amounts[tier];
        }
      }
      row.balance = row.winnings - row.cost;
      for (std::size_t j = 0; j < 4; ++j) plain.tickets[j] += row.tickets[j];
      plain.winnings += row.winnings;
      plain.cost += row.cost;
      out.push_back(row);
    }
  };
  list(in.stakes, plain.stakes);
  list(in.system, plain.system);
  return plain;
}

// Random lists with what files can bring: repeats in a row, empty cells, numbers above M.
std::vector<int32_t> RandomRow(std::mt19937& rng, int filled, int highest) {
  std::vector<int32_t> pool(static_cast<std::size_t>(highest));
  for (int v = 0; v < highest; ++v) pool[static_cast<std::size_t>(v)] = v + 1;
  std::shuffle(pool.begin(), pool.end(), rng);
  pool.resize(static_cast<std::size_t>(filled));
  if (rng() % 40 == 0) pool[1] = pool[0];
  if (rng() % 40 == 0) pool.back() = 0;
  if (rng() % 60 == 0) pool[2] = 100 + static_cast<int32_t>(rng() % 5000);
  return pool;
}

WinningsInput RandomInput(unsigned seed, int stakes, int system, int draws, int highest) {
  std::mt19937 rng(seed);
  std::vector<std::vector<int32_t>> s, y, d;
  for (int i = 0; i < stakes; ++i) s.push_back(RandomRow(rng, 6, highest));
  for (int i = 0; i < system; ++i) {
    y.push_back(
        RandomRow(rng, 7 + static_cast<int>(rng() % 3) + (rng() % 8 == 0 ? 3 : 0), highest));
  }
  for (int i = 0; i < draws; ++i) d.push_back(RandomRow(rng, 6, highest));
  return {Rows(6, s), Rows(12, y), Rows(6, d)};
}

Prizes SomePrizes() {
  Prizes p;
  p.table.price = 150;
  p.table.amounts = {300, 2575, 100001, 50000000};
  p.byDraw[2] = {1, 2, 3, 4};
  p.byDraw[65] = {0, 0, 0, 0};
  p.byDraw[130] = {kMaxAmount / 1000, 7, 0, 9};
  p.byDraw[100000] = {1, 1, 1, 1};  // no such draw
  return p;
}

void ExpectSameRows(const std::vector<WinningsRow>& got, const std::vector<WinningsRow>& want,
                    const char* list) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t r = 0; r < got.size(); ++r) {
    EXPECT_EQ(got[r].tickets, want[r].tickets) << list << " row " << r + 1;
    EXPECT_EQ(got[r].winnings, want[r].winnings) << list << " row " << r + 1;
    EXPECT_EQ(got[r].cost, want[r].cost) << list << " row " << r + 1;
    EXPECT_EQ(got[r].balance, want[r].balance) << list << " row " << r + 1;
  }
}

TEST(WinningsReport, EveryDrawAgreesWithThePlainComputation) {
  // More rows than a thread takes at once and more draws than four words hold; a small M so
  // that the higher tiers occur.
  const WinningsInput in = RandomInput(7, 1300, 1100, 300, 16);
  const Prizes prizes = SomePrizes();
  const Plain plain = ComputePlainly(in, prizes, 1, 300);
  for (const int threads : {1, 3}) {
    const WinningsOutcome out =
        ComputeWinnings(in, prizes, {DrawChoice::Kind::All, 0}, nullptr, threads);
    ASSERT_FALSE(out.problem) << Describe(out.problem, 1);
    const WinningsReport& r = out.report;
    EXPECT_EQ(r.drawCount(), 300);
    ExpectSameRows(r.stakes, plain.stakes, "stakes");
    ExpectSameRows(r.system, plain.system, "system");
    EXPECT_EQ(r.tickets, plain.tickets);
    EXPECT_GT(r.tickets[3], 0);
    EXPECT_EQ(r.winnings, plain.winnings);
    EXPECT_EQ(r.cost, plain.cost);
    EXPECT_EQ(r.balance, plain.winnings - plain.cost);
    EXPECT_EQ(r.prizesOfAbsentDraws, 1);

    // Draw by draw, and the cumulative balance.
    ASSERT_EQ(r.draws.size(), 300u);
    const Money drawCost = r.cost / 300;
    Money cumulative = 0;
    TierTickets summed{};
    for (std::size_t i = 0; i < 300; ++i) {
      EXPECT_EQ(r.draws[i].draw, static_cast<int32_t>(i) + 1);
      EXPECT_EQ(r.draws[i].winnings, plain.drawWinnings[i]) << "draw " << i + 1;
      EXPECT_EQ(r.draws[i].balance, plain.drawWinnings[i] - drawCost);
      cumulative += plain.drawWinnings[i] - drawCost;
      EXPECT_EQ(r.draws[i].cumulative, cumulative);
      for (std::size_t j = 0; j < 4; ++j) summed[j] += r.draws[i].tickets[j];
    }
    EXPECT_EQ(summed, r.tickets);
    const auto best = std::max_element(plain.drawWinnings.begin(), plain.drawWinnings.end());
    const auto worst = std::min_element(plain.drawWinnings.begin(), plain.drawWinnings.end());
    EXPECT_EQ(r.bestDraw, best - plain.drawWinnings.begin() + 1);
    EXPECT_EQ(r.worstDraw, worst - plain.drawWinnings.begin() + 1);
    EXPECT_EQ(r.bestDraw, 130);  // its three-number prize is huge
  }
}

TEST(WinningsReport, ALatestOrChosenDrawIsReportedAlone) {
  const WinningsInput in = RandomInput(11, 200, 150, 140, 20);
  const Prizes prizes = SomePrizes();
  for (const int draw : {1, 2, 64, 65, 130, 140}) {
    const Plain plain = ComputePlainly(in, prizes, draw, draw);
    const WinningsOutcome out = ComputeWinnings(in, prizes, {DrawChoice::Kind::One, draw});
    ASSERT_FALSE(out.problem);
    EXPECT_EQ(out.report.firstDraw, draw);
    EXPECT_EQ(out.report.drawCount(), 1);
    ExpectSameRows(out.report.stakes, plain.stakes, "stakes");
    ExpectSameRows(out.report.system, plain.system, "system");
    EXPECT_EQ(out.report.winnings, plain.winnings);
    EXPECT_EQ(out.report.bestDraw, draw);
    EXPECT_EQ(out.report.worstDraw, draw);
  }
  const WinningsOutcome latest = ComputeWinnings(in, prizes, {});
  EXPECT_EQ(latest.report.firstDraw, 140);
  EXPECT_EQ(latest.report.winnings, ComputePlainly(in, prizes, 140, 140).winnings);
}

TEST(WinningsReport, RowsThatAreNoTicketCostNothing) {
  const WinningsInput in{
      Rows(6, {{1, 2, 3, 4, 5, 5}, {1, 2, 3, 4, 5, 0}, {1, 2, 3, 4, 5, 6}}),
      Rows(12, {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 6, 0, 0, 6}, {1, 2, 3, 4, 5, 6, 7}}),
      Rows(6, {{1, 2, 3, 4, 5, 6}})};
  Prizes prizes;
  prizes.table.price = 100;
  prizes.table.amounts = {1, 10, 100, 1000};
  const WinningsOutcome out = ComputeWinnings(in, prizes, {});
  ASSERT_FALSE(out.problem);
  const WinningsReport& r = out.report;
  EXPECT_EQ(r.stakes[0].numbers, 5);
  EXPECT_EQ(r.stakes[0].cost, 0);
  EXPECT_EQ(r.stakes[0].tickets, (TierTickets{}));
  EXPECT_EQ(r.stakes[1].cost, 0);
  EXPECT_EQ(r.stakes[2].tickets, (TierTickets{0, 0, 0, 1}));
  EXPECT_EQ(r.system[0].ticketsPerDraw, 0);
  EXPECT_EQ(r.system[1].ticketsPerDraw, 1);  // six distinct numbers: one ticket
  EXPECT_EQ(r.system[1].winnings, 1000);
  EXPECT_EQ(r.system[2].tickets, (TierTickets{0, 0, 6, 1}));
  EXPECT_EQ(r.system[2].cost, 700);
  EXPECT_EQ(r.ticketsPerDraw, 1 + 1 + 7);
  EXPECT_EQ(r.cost, 900);
  EXPECT_EQ(r.winnings, 1000 + 1000 + 600 + 1000);
}

TEST(WinningsReport, MissingDrawsAreSaidAndNothingIsComputed) {
  WinningsInput in{Rows(6, {{1, 2, 3, 4, 5, 6}}), Rows(12, {}), Rows(6, {})};
  const WinningsOutcome none = ComputeWinnings(in, Prizes{}, {DrawChoice::Kind::All, 0});
  EXPECT_EQ(none.problem.text, TextId::TxtWinningsNoDraws);
  in.draws = Rows(6, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 7, 8, 9}});
  for (const int draw : {0, 3, -1}) {
    const WinningsOutcome out = ComputeWinnings(in, Prizes{}, {DrawChoice::Kind::One, draw});
    EXPECT_EQ(out.problem.text, TextId::TxtWinningsNoSuchDraw);
    EXPECT_TRUE(out.report.stakes.empty());
  }
  EXPECT_EQ(Describe(ComputeWinnings(in, Prizes{}, {DrawChoice::Kind::One, 3}).problem, 1),
            "There is no draw 3: draws 1 to 2 are loaded.");
}

TEST(WinningsReport, SumsBeyondSixtyFourBitsAreRefused) {
  // One system stake of twelve numbers that shares six with every draw: 662 winning tickets a
  // draw at the largest amount.
  std::vector<std::vector<int32_t>> draws(1499, {1, 2, 3, 4, 5, 6});
  WinningsInput in{Rows(6, {}), Rows(12, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}),
                   Rows(6, draws)};
  Prizes prizes;
  prizes.table.amounts = {kMaxAmount, kMaxAmount, kMaxAmount, kMaxAmount};
  const WinningsOutcome tooMuch = ComputeWinnings(in, prizes, {DrawChoice::Kind::All, 0});
  EXPECT_EQ(tooMuch.problem.text, TextId::TxtWinningsOverflow);
  EXPECT_TRUE(tooMuch.report.system.empty());
  EXPECT_EQ(Describe(tooMuch.problem, 1),
            "The sums are too large: a total would exceed 92233720368547758.07. The winnings "
            "were not computed.");

  // 1 300 draws still fit, to the cent.
  in.draws = Rows(6, std::vector<std::vector<int32_t>>(1300, {1, 2, 3, 4, 5, 6}));
  const WinningsOutcome fits = ComputeWinnings(in, prizes, {DrawChoice::Kind::All, 0});
  ASSERT_FALSE(fits.problem);
  EXPECT_EQ(fits.report.winnings, kMaxAmount * 662 * 1300);
  EXPECT_EQ(fits.report.draws.back().cumulative, kMaxAmount * 662 * 1300);

  // The cost too: 924 tickets a draw at the largest price fit 998 draws, not 999.
  prizes.table.amounts = {};
  prizes.table.price = kMaxAmount;
  in.draws = Rows(6, std::vector<std::vector<int32_t>>(998, {1, 2, 3, 4, 5, 6}));
  const WinningsOutcome costly = ComputeWinnings(in, prizes, {DrawChoice::Kind::All, 0});
  ASSERT_FALSE(costly.problem);
  EXPECT_EQ(costly.report.cost, kMaxAmount * 924 * 998);
  EXPECT_EQ(costly.report.balance, -kMaxAmount * 924 * 998);
  in.draws = Rows(6, std::vector<std::vector<int32_t>>(999, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(ComputeWinnings(in, prizes, {DrawChoice::Kind::All, 0}).problem.text,
            TextId::TxtWinningsOverflow);
  // One draw of the same is far from the limit.
  EXPECT_EQ(ComputeWinnings(in, prizes, {}).report.cost, kMaxAmount * 924);
}

TEST(WinningsReport, AmountsThatNoReaderAcceptsAreRefused) {
  const WinningsInput in{Rows(6, {{1, 2, 3, 4, 5, 6}}), Rows(12, {}),
                         Rows(6, {{1, 2, 3, 4, 5, 6}})};
  Prizes prizes;
  prizes.table.amounts[3] = kMaxAmount + 1;
  EXPECT_EQ(ComputeWinnings(in, prizes, {}).problem.text, TextId::TxtAmountTooLarge);
  prizes.table.amounts[3] = 0;
  prizes.byDraw[9] = {0, -1, 0, 0};
  const Problem negative = ComputeWinnings(in, prizes, {}).problem;
  EXPECT_EQ(Describe(negative, 1), "An amount of money cannot be negative: \"-0.01\"");
  prizes.byDraw.clear();
  prizes.table.price = std::numeric_limits<Money>::max();
  EXPECT_EQ(ComputeWinnings(in, prizes, {}).problem.text, TextId::TxtAmountTooLarge);
}

TEST(WinningsReport, AStoppedRunEndsEarly) {
  const WinningsInput in = RandomInput(3, 3000, 0, 50, 49);
  std::atomic<bool> cancel{true};
  const WinningsOutcome out =
      ComputeWinnings(in, SomePrizes(), {DrawChoice::Kind::All, 0}, &cancel, 2);
  EXPECT_EQ(out.report.winnings, 0);
  EXPECT_TRUE(out.report.draws.empty());
}

TEST(WinningsReport, TheDrawsAreNamedAsOneOrARangeWithTheirCount) {
  WinningsReport one;
  one.firstDraw = one.lastDraw = 205;
  EXPECT_EQ(DrawSpanText(one, 1), "Draw 205");
  EXPECT_EQ(DrawSpanText(one, 0), "Тираж 205");
  WinningsReport all;
  all.firstDraw = 1;
  all.lastDraw = 205;
  EXPECT_EQ(DrawSpanText(all, 1), "Draws 1–205 (205 draws)");
  EXPECT_EQ(DrawSpanText(all, 0), "Тиражи 1–205 (205 тиражей)");
  all.lastDraw = 22;
  EXPECT_EQ(DrawSpanText(all, 0), "Тиражи 1–22 (22 тиража)");
}

TEST(WinningsReport, ChartStepsAreRoundDrawCounts) {
  EXPECT_EQ(RoundDrawStep(1, 5), 1);
  EXPECT_EQ(RoundDrawStep(5, 5), 1);
  EXPECT_EQ(RoundDrawStep(6, 5), 2);
  EXPECT_EQ(RoundDrawStep(204, 5), 50);
  EXPECT_EQ(RoundDrawStep(1199, 5), 500);
  EXPECT_EQ(RoundDrawStep(1000, 5), 200);
  EXPECT_EQ(RoundDrawStep(0, 5), 1);
}

}  // namespace
}  // namespace tallyra
