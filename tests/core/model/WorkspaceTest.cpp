#include <gtest/gtest.h>

#include "model/Workspace.h"

namespace tallyra {
namespace {

TEST(Workspace, StartsEmptyWithSixBallsAndEveryCellZero) {
  auto ws = CreateWorkspace();
  EXPECT_EQ(ws->StakeCount, 0);
  EXPECT_EQ(ws->SystemCount, 0);
  EXPECT_EQ(ws->ResultCount, 0);
  EXPECT_EQ(ws->BallsPerStake, 6);
  EXPECT_EQ(ws->StatSortMode, 0);
  EXPECT_EQ(ws->Language, 0);
  for (const auto& column : ws->StakeTable.cell) {
    for (int32_t v : column) ASSERT_EQ(v, 0);
  }
  for (const auto& column : ws->SystemTable.cell) {
    for (int32_t v : column) ASSERT_EQ(v, 0);
  }
  for (const auto& column : ws->ResultTable.cell) {
    for (int32_t v : column) ASSERT_EQ(v, 0);
  }
  for (int32_t v : ws->CheckCombination) EXPECT_EQ(v, 0);
  for (int32_t v : ws->StatPassed) EXPECT_EQ(v, 0);
}

TEST(Workspace, CapacitiesLeaveRowAndColumnZeroUnused) {
  EXPECT_EQ(StakeTableT::kCapacity, 99999);
  EXPECT_EQ(StakeTableT::kUsableColumns, 6);
  EXPECT_EQ(SystemTableT::kCapacity, 99999);
  EXPECT_EQ(SystemTableT::kUsableColumns, 12);
  EXPECT_EQ(ResultTableT::kCapacity, 1499);
  EXPECT_EQ(ResultTableT::kUsableColumns, 6);
}

TEST(Workspace, ClearRowsEmptiesOnlyTheCountedRowsAndColumns) {
  auto ws = CreateWorkspace();
  // Numbers in the unused column and above the count, which no load leaves: put in by hand.
  for (int c = 0; c <= 6; ++c) {
    for (int r = 0; r <= 4; ++r) ws->ResultTable.cell[c][r] = 7;
  }
  ws->ResultCount = 3;
  ClearRows(TableRef::of(ws->ResultTable), ws->ResultCount, 6);
  EXPECT_EQ(ws->ResultCount, 0);
  EXPECT_EQ(ws->ResultTable.cell[1][3], 0);
  EXPECT_EQ(ws->ResultTable.cell[6][1], 0);
  EXPECT_EQ(ws->ResultTable.cell[1][4], 7);  // above the count
  EXPECT_EQ(ws->ResultTable.cell[0][1], 7);  // the unused column
}

TEST(Workspace, ClearRowsNeverLeavesTheTable) {
  auto ws = CreateWorkspace();
  ws->ResultCount = 5000;  // a count that cannot be true must not take the clear outside
  ClearRows(TableRef::of(ws->ResultTable), ws->ResultCount, 40);
  EXPECT_EQ(ws->ResultCount, 0);
}

}  // namespace
}  // namespace tallyra
