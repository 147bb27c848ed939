#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ListFill.h"
#include "stats/Statistics.h"

namespace tallyra {
namespace {

class Stats : public ::testing::Test {
 protected:
  Stats() : ws(CreateWorkspace()) { ws->HighestNumber = 12; }
  void Draws(const test::Rows& draws) { test::FillDraws(*ws, draws); }
  void Sort(int mode) {
    ws->StatSortMode = mode;
    SortStatistics(*ws);
  }
  std::vector<int32_t> Order() const {
    std::vector<int32_t> numbers;
    for (int row = 1; row <= ws->HighestNumber; ++row) {
      numbers.push_back(ws->StatNumber[static_cast<std::size_t>(SlotForRow(*ws, row))]);
    }
    return numbers;
  }
  std::unique_ptr<Workspace> ws;
};

using V = std::vector<int32_t>;

TEST_F(Stats, HitsMissesShareAndPassedDraws) {
  Draws({{1, 2, 3, 4, 5, 6}, {1, 7, 8, 9, 10, 11}});
  ComputeStatistics(*ws);
  EXPECT_EQ(ws->StatHits[1], 2);
  EXPECT_EQ(ws->StatMisses[1], 0);
  EXPECT_EQ(ws->StatPassed[1], 0);
  EXPECT_EQ(PercentText(ws->StatHits[1], ws->ResultCount), "100.00");
  EXPECT_EQ(ws->StatHits[2], 1);
  EXPECT_EQ(ws->StatMisses[2], 1);
  EXPECT_EQ(ws->StatPassed[2], 1);
  EXPECT_EQ(PercentText(ws->StatHits[2], ws->ResultCount, ','), "50,00");
  EXPECT_EQ(ws->StatHits[12], 0);
  EXPECT_EQ(ws->StatMisses[12], 2);
  EXPECT_EQ(ws->StatPassed[12], 2) << "never drawn: absent from every draw held";
}

TEST_F(Stats, ARepeatInADrawCountsOnceAndOutsideNumbersNowhere) {
  // The reader takes a minus sign for a label's dash, so the negative number is put in by hand.
  for (int c = 1; c <= 6; ++c) ws->ResultTable.cell[c][1] = std::array{5, 5, 60, 0, -1, 7}[c - 1];
  ws->ResultCount = 1;
  ComputeStatistics(*ws);
  EXPECT_EQ(ws->StatHits[5], 1);
  EXPECT_EQ(ws->StatHits[7], 1);
  EXPECT_EQ(ws->StatMisses[1], 1);
}

TEST_F(Stats, SortsAreStableAndInOrderKeepsTheSlotsPermuted) {
  Draws({{1, 2, 3, 4, 5, 6}, {1, 7, 8, 9, 10, 11}});
  ComputeStatistics(*ws);
  Sort(1);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  Sort(1);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})) << "twice gives the same order";
  Sort(2);
  EXPECT_EQ(Order(), (V{12, 2, 3, 4, 5, 6, 1, 7, 8, 9, 10, 11}));
  Sort(1);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}))
      << "ties in frequency keep the order by draws";
  Sort(2);
  Sort(0);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(ws->StatNumber[1], 12) << "the slots stay as the last sort left them";
}

TEST_F(Stats, NoDrawsGiveZeroPercent) {
  ComputeStatistics(*ws);
  EXPECT_EQ(PercentText(ws->StatHits[3], ws->ResultCount), "0.00");
  EXPECT_EQ(ws->StatPassed[3], 0);
}

TEST_F(Stats, PercentRoundsHalvesAwayFromZeroExactly) {
  EXPECT_EQ(PercentText(1, 8), "12.50");
  EXPECT_EQ(PercentText(1, 3), "33.33");
  EXPECT_EQ(PercentText(2, 3), "66.67");
  EXPECT_EQ(PercentText(1, 1600), "0.06");  // 0.0625
  // Exact halves, which binary fractions get wrong: 0.025 and 0.075.
  EXPECT_EQ(PercentText(1, 4000), "0.03");
  EXPECT_EQ(PercentText(3, 4000), "0.08");
  EXPECT_EQ(PercentText(1, 400), "0.25");
  EXPECT_EQ(PercentText(7, 1499), "0.47");
  EXPECT_EQ(PercentText(1499, 1499), "100.00");
}

TEST_F(Stats, ANewMCountsFromTheNextComputationOn) {
  Draws({{1, 2, 3, 4, 5, 6}, {1, 7, 8, 9, 10, 11}});
  ComputeStatistics(*ws);
  Sort(2);  // 12 moves to the top, every slot from 1 to 7 moves
  ws->HighestNumber = 5;
  EXPECT_EQ(ComputedNumbers(*ws), 12);
  Sort(1);
  Sort(0);
  std::vector<int32_t> shown;
  for (int row = 1; row <= 12; ++row)
    shown.push_back(ws->StatNumber[static_cast<std::size_t>(SlotForRow(*ws, row))]);
  EXPECT_EQ(shown, (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})) << "no number goes missing";
  ComputeStatistics(*ws);
  EXPECT_EQ(ComputedNumbers(*ws), 5);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5}));
  EXPECT_EQ(SlotForRow(*ws, 6), 0);
  // And back up: the slots above the smaller M were emptied, nothing stale comes back.
  ws->HighestNumber = 12;
  EXPECT_EQ(ComputedNumbers(*ws), 5);
  ComputeStatistics(*ws);
  EXPECT_EQ(ComputedNumbers(*ws), 12);
  Sort(1);
  EXPECT_EQ(Order(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

}  // namespace
}  // namespace tallyra
