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

TEST(TextTable, CountsTakeTheFormTheirNumberWants) {
  const std::pair<int64_t, const char*> russian[] = {
      {1, "1 тираж"},       {2, "2 тиража"},    {4, "4 тиража"},       {5, "5 тиражей"},
      {11, "11 тиражей"},   {12, "12 тиражей"}, {14, "14 тиражей"},    {21, "21 тираж"},
      {22, "22 тиража"},    {25, "25 тиражей"}, {111, "111 тиражей"},  {101, "101 тираж"},
      {205, "205 тиражей"}, {0, "0 тиражей"},   {1499, "1499 тиражей"}};
  for (const auto& [count, text] : russian) {
    EXPECT_EQ(CountText(count, TextId::TxtDrawForms, 0), text);
  }
  EXPECT_EQ(CountText(1, TextId::TxtDrawForms, 1), "1 draw");
  EXPECT_EQ(CountText(2, TextId::TxtDrawForms, 1), "2 draws");
  EXPECT_EQ(CountText(21, TextId::TxtDrawForms, 1), "21 draws");
  EXPECT_EQ(CountText(0, TextId::TxtDrawForms, 1), "0 draws");
}

}  // namespace
}  // namespace tallyra
