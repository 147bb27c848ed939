#include "import/PrizeCells.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace tallyra {
namespace {

// How amounts are read and which headings name prize tiers is held by the importer's own
// tests; these are what the other parts ask of this one.

TEST(PrizeCells, OneAmountEvenWhenItCannotBeRead) {
  for (const char* one : {"1 234,50", "1.000", "5 Mio", "12", "€ 1'234.05", "-5"}) {
    EXPECT_TRUE(IsOneAmount(one)) << one;
  }
  for (const char* several : {"1 2 3", "12 abc 5", "1,2,3", "AB12,CD34", "", "abc"}) {
    EXPECT_FALSE(IsOneAmount(several)) << several;
  }
}

TEST(PrizeCells, PrizeColumnsComeAfterTheNumbersAndEachTierOnce) {
  const std::vector<std::string_view> heading = {
      "Draw", "Prize 3", "N1",      "N2",      "N3",      "N4",        "N5",
      "N6",   "Prize 3", "Prize 4", "Prize 5", "Match 5", "6 Richtige"};
  // Numbers at 2..7: the first "Prize 3" stands before them; tier 5 is named twice.
  EXPECT_EQ(FindPrizeColumns(heading, 7, -1, 0), (std::array<int, 4>{9, 10, 0, 13}));
  // A column taken as the date is no prize column.
  EXPECT_EQ(FindPrizeColumns(heading, 7, 8, 0), (std::array<int, 4>{0, 10, 0, 13}));
  EXPECT_EQ(FindPrizeColumns({"N1", "N2"}, 1, -1, -1), (std::array<int, 4>{}));
}

TEST(PrizeCells, HeadingsMatchInAnyCase) {
  EXPECT_EQ(Lowered("ВЫИГРЫШ Prize Ёж"), "выигрыш prize Ёж");
  EXPECT_TRUE(HasAny("3 richtige", {"treffer", "richtig"}));
  EXPECT_FALSE(HasAny("bonus", {"prize", "match"}));
}

}  // namespace
}  // namespace tallyra
