// Published draw histories (excerpts in tests/data/real, their sources in SOURCES.md), read
// as a user who has not set the game's M reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/Columns.h"
#include "import/Importer.h"
#include "model/Files.h"

namespace tallyra {
namespace {

std::string RealFile(const std::string& name) {
  const FileText file = ReadWholeFile(std::string(TALLYRA_REAL_HISTORIES) + "/" + name);
  EXPECT_TRUE(file.ok) << name;
  return file.data;
}

ImportResult ImportAnyGame(const std::string& name) {
  ImportOptions options;
  options.highestNumber = kHighestOfAnyGame;
  return ImportList(RealFile(name), options);
}

TEST(RealHistories, TheMainNumbersAreFoundWhateverTheGame) {
  struct Case {
    const char* file;
    std::vector<int> columns;
    int32_t highest;
    std::vector<int32_t> oldest;  // the first row stored
  };
  const std::vector<Case> cases = {
      {"uk-lotto-6of59-official-raffles.csv", {2, 3, 4, 5, 6, 7}, 59, {}},
      {"uk-lotto-6of49-era-scraped-quoted-commas.csv",
       {6, 7, 8, 9, 10, 11},
       49,
       {2, 6, 20, 24, 29, 32}},
      // No 49 was drawn in this excerpt: M is what the file shows.
      {"canada-lotto-6of49-quoted-sequence.csv", {5, 6, 7, 8, 9, 10}, 48, {3, 11, 12, 14, 41, 43}},
      {"canada-lotto-6of49-slash-dates.csv", {2, 3, 4, 5, 6, 7}, 49, {}},
      {"irish-lotto-6of47-newest-first.csv", {6, 7, 8, 9, 10, 11}, 47, {}},
      {"israel-lotto-6of37-hebrew-headings.csv", {3, 4, 5, 6, 7, 8}, 37, {}},
      {"japan-loto6-6of43-japanese-headings.csv", {4, 5, 6, 7, 8, 9}, 43, {2, 8, 10, 13, 27, 30}},
      {"mega-sena-6of60-semicolon-quoted.csv", {3, 4, 5, 6, 7, 8}, 60, {4, 16, 21, 23, 54, 57}},
      {"spain-la-primitiva-6of49-fan-kept-errors.csv", {2, 3, 4, 5, 6, 7}, 49, {}},
      {"spain-bonoloto-6of49-headless-daily.csv", {2, 3, 4, 5, 6, 7}, 49, {}},
      {"polish-lotto-6of49-headless-repeat-date.csv",
       {3, 4, 5, 6, 7, 8},
       49,
       {2, 7, 8, 20, 25, 43}},
      {"polish-lotto-6of49-numbered-text.txt", {3, 4, 5, 6, 7, 8}, 49, {2, 3, 18, 23, 25, 37}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const ImportResult r = ImportAnyGame(c.file);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.columns, c.columns);
    EXPECT_EQ(r.highestSeen, c.highest);
    EXPECT_GE(r.rows.size(), 30u);
    if (!c.oldest.empty()) {
      EXPECT_EQ(std::vector<int32_t>(r.rows[0].numbers.begin(), r.rows[0].numbers.begin() + 6),
                c.oldest);
    }
  }
}

TEST(RealHistories, TheOfficialUkFileIsReadAsItsOwnColumns) {
  const ImportResult r = ImportAnyGame("uk-lotto-6of59-official-raffles.csv");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.shape, ImportShape::Separated);
  EXPECT_EQ(r.separator, ',');
  ASSERT_EQ(r.headingFields.size(), 12u);
  EXPECT_EQ(r.headingFields[7], "Bonus Ball");
  EXPECT_EQ(r.headingFields[10], "Raffles");
  EXPECT_EQ(r.order, HistoryOrder::NewestFirst);
  // The oldest draw is the last line, and its numbers are the balls, not the bonus or the set.
  const ImportedRow& oldest = r.rows.front();
  EXPECT_EQ(oldest.line, 31);

  // With the game left at 6 of 49 the same columns are read, and the rows above 49 are listed.
  const ImportResult asSet = ImportList(RealFile("uk-lotto-6of59-official-raffles.csv"), {});
  EXPECT_EQ(asSet.columns, r.columns);
  EXPECT_EQ(asSet.highestSeen, 59);
  EXPECT_GT(asSet.skippedTotal, 0);
  for (const SkippedLine& s : asSet.skipped) {
    EXPECT_EQ(s.reason, s.line == 1 ? SkipReason::Heading : SkipReason::OutOfRange);
  }
}

TEST(RealHistories, TwoPolishDrawsOnOneDateAreBothKept) {
  const ImportResult r = ImportAnyGame("polish-lotto-6of49-headless-repeat-date.csv");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.rows.size(), 31u);
  EXPECT_EQ(r.skippedTotal, 0);
}

}  // namespace
}  // namespace tallyra
