#include <gtest/gtest.h>

#include <string>

#include "model/TextTable.h"

namespace tallyra {
namespace {

TEST(TextTable, LanguagePicksTheElementOfThePair) {
  EXPECT_STREQ(Text(TextId::TxtMainCaption, 0), "Работа с результатами лотерей");
  EXPECT_STREQ(Text(TextId::TxtMainCaption, 1), "Work with the results of lotteries");
  EXPECT_STREQ(Text(TextId::TxtSettingsMissing, 0), "Отсутствует файл настроек");
  EXPECT_STREQ(Text(TextId::TxtResultsLoadFailed, 1), "Results load is failed!");
}

TEST(TextTable, KeepsBlanksAndAcceleratorsExactly) {
  EXPECT_STREQ(Text(TextId::TxtColDraw, 0), " Тираж");
  EXPECT_STREQ(Text(TextId::TxtColDraw, 1), "  Draw");
  EXPECT_STREQ(Text(TextId::TxtColNotFallen, 1), "    Not fallen out");
  EXPECT_STREQ(Text(TextId::TxtTabStakes, 0), "Ставки ");
  EXPECT_STREQ(Text(TextId::TxtTabStakes, 1), "Stakes ");
  EXPECT_STREQ(Text(TextId::TxtMenuCollate, 0), "С&верить");
  EXPECT_STREQ(Text(TextId::TxtNotAllFilled, 1), "Not all  margins are filled!");
  EXPECT_STREQ(Text(TextId::TxtCheckResults, 1), " Results of checking ");
  EXPECT_STREQ(Text(TextId::TxtListSystemSep, 1), "; System stakes: ");
}

TEST(TextTable, EveryPairHasBothTexts) {
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    const TextPair& p = Pair(static_cast<TextId>(i));
    ASSERT_NE(p.ru, nullptr) << i;
    ASSERT_NE(p.en, nullptr) << i;
    EXPECT_GT(std::string(p.ru).size(), 0u) << i;
    EXPECT_GT(std::string(p.en).size(), 0u) << i;
  }
}

TEST(TextTable, FormatFillsDirectivesInOrder) {
  EXPECT_EQ(Format(TextId::TxtNotInteger, 1, {"1x"}), "'1x' is not a valid integer value");
  EXPECT_EQ(Format(TextId::TxtDrawsDropped, 1, {"1600", "1499", "101"}),
            "The file holds 1600 draws; the latest 1499 were loaded and the 101 earlier ones "
            "were left out.");
}

}  // namespace
}  // namespace tallyra
