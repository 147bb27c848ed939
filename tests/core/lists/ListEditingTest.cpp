#include <gtest/gtest.h>

#include <vector>

#include "ListFill.h"
#include "lists/ListEditing.h"
#include "lists/RecordReader.h"

namespace tallyra {
namespace {

class Lists : public ::testing::Test {
 protected:
  Lists() : ws(CreateWorkspace()) {}
  void AddStake(std::vector<int32_t> v) {
    ASSERT_TRUE(AppendRow(TableRef::of(ws->StakeTable), ws->StakeCount, v));
  }
  void AddSystem(std::vector<int32_t> v) {
    ASSERT_TRUE(AppendRow(TableRef::of(ws->SystemTable), ws->SystemCount, v));
  }
  std::vector<int32_t> Stake(int row) const {
    std::vector<int32_t> v;
    for (int c = 1; c <= 6; ++c) v.push_back(ws->StakeTable.cell[c][row]);
    return v;
  }
  std::vector<int32_t> System(int row) const {
    std::vector<int32_t> v;
    for (int c = 1; c <= 12; ++c) v.push_back(ws->SystemTable.cell[c][row]);
    return v;
  }
  std::unique_ptr<Workspace> ws;
};

using V = std::vector<int32_t>;

TEST_F(Lists, DeletingARowMovesTheRowsBelowUpAndZeroesTheFreedRow) {
  for (int i = 1; i <= 5; ++i) AddStake({i, i, i, i, i, i});
  DeleteRow(TableRef::of(ws->StakeTable), ws->StakeCount, 2, 6);
  EXPECT_EQ(ws->StakeCount, 4);
  EXPECT_EQ(Stake(1), (V{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(Stake(2), (V{3, 3, 3, 3, 3, 3}));
  EXPECT_EQ(Stake(4), (V{5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(Stake(5), (V{0, 0, 0, 0, 0, 0}));
  // The last row moves nothing.
  DeleteRow(TableRef::of(ws->StakeTable), ws->StakeCount, 4, 6);
  EXPECT_EQ(ws->StakeCount, 3);
  EXPECT_EQ(Stake(4), (V{0, 0, 0, 0, 0, 0}));
  // Rows outside the list are left alone.
  DeleteRow(TableRef::of(ws->StakeTable), ws->StakeCount, 9, 6);
  DeleteRow(TableRef::of(ws->StakeTable), ws->StakeCount, 0, 6);
  EXPECT_EQ(ws->StakeCount, 3);
}

TEST_F(Lists, AFullListRefusesAnotherRow) {
  test::FillSystem(*ws, test::Repeated(SystemTableT::kCapacity - 1, {1, 2, 3, 4, 5, 6, 7}));
  AddSystem({1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(ws->SystemCount, 99999);
  EXPECT_FALSE(AppendRow(TableRef::of(ws->SystemTable), ws->SystemCount, V{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(ws->SystemCount, 99999);
  // Deleting the last row of a full list stays inside the table.
  DeleteRow(TableRef::of(ws->SystemTable), ws->SystemCount, 99999, 12);
  EXPECT_EQ(ws->SystemCount, 99998);
}

TEST_F(Lists, ClearTableZeroesEveryRowUsedOrNot) {
  AddStake({1, 2, 3, 4, 5, 6});
  ws->StakeTable.cell[3][50000] = 9;  // stale, above the count: no load leaves it, so by hand
  ClearTable(TableRef::of(ws->StakeTable), ws->StakeCount, 6);
  EXPECT_EQ(ws->StakeCount, 0);
  EXPECT_EQ(ws->StakeTable.cell[1][1], 0);
  EXPECT_EQ(ws->StakeTable.cell[3][50000], 0);
}

TEST_F(Lists, LineUpSortsTheNumbersOfEveryStake) {
  AddStake({12, 5, 33, 1, 48, 7});
  AddStake({6, 5, 4, 3, 2, 1});
  LineUpStakes(ws->StakeTable, ws->StakeCount);
  EXPECT_EQ(Stake(1), (V{1, 5, 7, 12, 33, 48}));
  EXPECT_EQ(Stake(2), (V{1, 2, 3, 4, 5, 6}));
}

TEST_F(Lists, LineUpOfSystemStakesPutsEmptySlotsLast) {
  AddSystem({30, 7, 12, 5, 44, 2, 9, 0, 40});
  AddSystem({49, 48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38});
  AddSystem({100, 3, 2, 1, 9, 8, 7});  // a hand-edited 100 comes out empty
  LineUpSystem(ws->SystemTable, ws->SystemCount);
  EXPECT_EQ(System(1), (V{2, 5, 7, 9, 12, 30, 40, 44, 0, 0, 0, 0}));
  EXPECT_EQ(System(2), (V{38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49}));
  EXPECT_EQ(System(3), (V{1, 2, 3, 7, 8, 9, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Lists, StakesFileHasRowLabelsAndCrLfOnEveryLine) {
  AddStake({1, 2, 3, 4, 5, 6});
  AddStake({7, 8, 9, 10, 11, 12});
  EXPECT_EQ(FormatStakesFile(ws->StakeTable, ws->StakeCount),
            "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n");
  EXPECT_EQ(FormatStakesFile(ws->StakeTable, 0), "");
}

TEST_F(Lists, SystemFileWritesSevenToTwelveNumbers) {
  AddSystem({3, 8, 15, 22, 29, 36, 41});
  AddSystem({1, 2, 5, 9, 17, 25, 33, 44, 49});
  AddSystem({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  AddSystem({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  AddSystem({1, 2, 3});  // short rows are padded with zeros up to seven
  EXPECT_EQ(FormatSystemFile(ws->SystemTable, ws->SystemCount),
            "1 - 3,8,15,22,29,36,41;\r\n"
            "2 - 1,2,5,9,17,25,33,44,49;\r\n"
            "3 - 1,2,3,4,5,6,7,8,9,10,11;\r\n"
            "4 - 1,2,3,4,5,6,7,8,9,10,11,12;\r\n"
            "5 - 1,2,3,0,0,0,0;\r\n");
}

TEST_F(Lists, WrittenFilesReadBackToTheSameTables) {
  AddSystem({9, 3, 41, 17, 25, 1, 33, 0, 40});
  AddSystem({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  LineUpSystem(ws->SystemTable, ws->SystemCount);
  const std::string text = FormatSystemFile(ws->SystemTable, ws->SystemCount);
  auto back = CreateWorkspace();
  ASSERT_TRUE(ReadRecordLines(text, TableRef::of(back->SystemTable), back->SystemCount,
                              OverflowRule::RejectFile)
                  .ok());
  EXPECT_EQ(back->SystemCount, 2);
  EXPECT_EQ(back->SystemTable.cell, ws->SystemTable.cell);

  for (int i = 1; i <= 99999; ++i) AddStake({i % 49 + 1, 2, 3, 4, 5, i});
  const std::string stakes = FormatStakesFile(ws->StakeTable, ws->StakeCount);
  ASSERT_TRUE(ReadRecordLines(stakes, TableRef::of(back->StakeTable), back->StakeCount,
                              OverflowRule::RejectFile)
                  .ok());
  EXPECT_EQ(back->StakeCount, 99999);
  EXPECT_EQ(back->StakeTable.cell, ws->StakeTable.cell);
}

}  // namespace
}  // namespace tallyra
