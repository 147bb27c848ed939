// What the importer makes of records the field reader keeps whole and of dates with month names.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "import/Importer.h"

namespace tallyra {
namespace {

std::vector<int> Lines(const ImportResult& r) {
  std::vector<int> lines;
  for (const ImportedRow& row : r.rows) lines.push_back(row.line);
  return lines;
}

TEST(ImportFields, AQuotedFieldWithALineBreakKeepsItsRowWhole) {
  const ImportResult r = ImportList(
      "Draw,Date,N1,N2,N3,N4,N5,N6,Note\n"
      "1,12.11.2019,1,2,3,4,5,6,\"first\nsecond, third\"\n"
      "2,19.11.2019,7,8,9,10,11,12,x\n",
      ImportOptions{});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.shape, ImportShape::Separated);
  EXPECT_EQ(r.separator, ',');
  EXPECT_EQ(Lines(r), (std::vector<int>{2, 4}));
  EXPECT_EQ(r.skippedTotal, 1);  // the heading
  EXPECT_EQ(r.orderBasis, OrderBasis::Dates);
}

TEST(ImportFields, MonthNamedDatesOrderTheHistory) {
  // Newest first, with a quoted field full of commas: read as free lines, the date still counts.
  const ImportResult codes = ImportList(
      "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball,Ball Set,Machine,Codes,"
      "DrawNumber\r\n"
      "30-Sep-2017,3,11,19,25,38,44,7,6,Arthur,\"AB123456,CD234567,EF345678,GH456789\",2262\r\n"
      "27-Sep-2017,1,5,12,26,41,47,31,6,Lancelot,\"JK567890\",2261\r\n"
      "23-Sep-2017,2,6,13,27,42,48,30,5,Merlin,\"LM567890,NP123456\",2260\r\n",
      ImportOptions{});
  ASSERT_TRUE(codes.ok());
  EXPECT_EQ(codes.columns, (std::vector<int>{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(codes.dateColumn, 1);
  EXPECT_EQ(codes.order, HistoryOrder::NewestFirst);
  EXPECT_EQ(codes.orderBasis, OrderBasis::Dates);
  EXPECT_EQ(Lines(codes), (std::vector<int>{4, 3, 2}));
  EXPECT_EQ(codes.rows[2].numbers[0], 3);
  // Blanks between the parts, and a date that goes back.
  const ImportResult blanks = ImportList(
      "1 May 2020 1 2 3 4 5 6\n8 May 2020 7 8 9 10 11 12\n2 May 2020 13 14 15 16 17 18\n",
      ImportOptions{});
  EXPECT_EQ(blanks.order, HistoryOrder::OldestFirst);
  ASSERT_TRUE(blanks.outOfOrder.has_value());
  EXPECT_EQ(DescribeSkip(*blanks.outOfOrder, {}, 1),
            "Line 3: the date 2 May 2020 is out of the order of the dates above; check the file");
}

TEST(ImportFields, LinesOfFormFeedsOrAnEndOfFileMarkAreBlankInSeparatedFiles) {
  for (const std::string blank : {"\x1A", "\f", " \f\t"}) {
    const ImportResult r =
        ImportList(blank + "\n1;2;3;4;5;6\n7;8;9;10;11;12\n" + blank, ImportOptions{});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.separator, ';');
    EXPECT_EQ(Lines(r), (std::vector<int>{2, 3}));
    EXPECT_TRUE(r.headerLines.empty());
    EXPECT_EQ(r.skippedTotal, 0);
  }
}

TEST(ImportFields, AReadAskedToStopGivesNothing) {
  const std::atomic<bool> stop{true};
  ImportOptions options;
  options.cancel = &stop;
  for (const char* text : {"1;2;3;4;5;6\n7;8;9;10;11;12\n", "1 - 1,2,3,4,5,6;\r\n"}) {
    const ImportResult r = ImportList(text, options);
    EXPECT_EQ(r.problem, ImportProblem::Cancelled) << text;
    EXPECT_TRUE(r.rows.empty()) << text;
    EXPECT_EQ(DescribeImport(r, options, ToValue(Language::English)), "")
        << "the user's own cancel needs no message";
  }
}

}  // namespace
}  // namespace tallyra
