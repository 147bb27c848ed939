#include "import/Importer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "lists/RecordReader.h"
#include "winnings/Prizes.h"

namespace tallyra {
namespace {

using Draw = std::vector<int32_t>;

struct History {
  std::vector<Draw> draws;  // oldest first
  std::vector<int> numbers;
  std::vector<std::array<int, 3>> dates;  // day, month, year
};

History MakeHistory(int count, unsigned seed, int top = 49) {
  std::mt19937 random(seed);
  History h;
  int day = 3, month = 1, year = 2018;
  for (int i = 0; i < count; ++i) {
    std::vector<int32_t> pool(static_cast<std::size_t>(top));
    for (int k = 0; k < top; ++k) pool[static_cast<std::size_t>(k)] = k + 1;
    std::shuffle(pool.begin(), pool.end(), random);
    h.draws.emplace_back(pool.begin(), pool.begin() + 6);
    h.numbers.push_back(6000 + i);
    h.dates.push_back({day, month, year});
    day += 7;
    if (day > 28) day -= 28, month += 1;
    if (month > 12) month = 1, year += 1;
  }
  return h;
}

std::string Two(int v) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", v);
  return text;
}

std::string Join(const Draw& d, const std::string& separator) {
  std::string out;
  for (std::size_t k = 0; k < d.size(); ++k) out += (k ? separator : "") + std::to_string(d[k]);
  return out;
}

// Renders every draw with `line`, newest first when asked, under an optional heading.
std::string Render(const History& h, const std::function<std::string(std::size_t)>& line,
                   bool newestFirst = false, const std::string& heading = "") {
  std::string text = heading;
  for (std::size_t n = 0; n < h.draws.size(); ++n) {
    text += line(newestFirst ? h.draws.size() - 1 - n : n) + "\r\n";
  }
  return text;
}

std::vector<Draw> Rows(const ImportResult& r) {
  std::vector<Draw> rows;
  for (const ImportedRow& row : r.rows) {
    rows.emplace_back(row.numbers.begin(), row.numbers.begin() + row.size);
  }
  return rows;
}

ImportResult Import(const std::string& text, ImportOptions options = {}) {
  return ImportList(text, options);
}

TEST(Importer, EveryShapeGivesTheDrawsOfAPlainReadingOldestFirst) {
  const History h = MakeHistory(60, 7);
  struct Case {
    const char* name;
    std::string text;
    ImportShape shape;
    std::vector<int> columns;
    OrderBasis basis;
    HistoryOrder order;
  };
  auto dotted = [&](std::size_t i) {
    const auto& d = h.dates[i];
    return std::to_string(h.numbers[i]) + ". " + Two(d[0]) + "." + Two(d[1]) + "." +
           std::to_string(d[2]) + " " + Join(h.draws[i], ",");
  };
  auto iso = [&](std::size_t i) {
    const auto& d = h.dates[i];
    return std::to_string(h.numbers[i]) + " " + std::to_string(d[2]) + "-" + Two(d[1]) + "-" +
           Two(d[0]) + " " + Join(h.draws[i], " ");
  };
  auto usCsv = [&](std::size_t i) {
    const auto& d = h.dates[i];
    return std::to_string(h.numbers[i]) + ",\"" + Two(d[1]) + "/" + Two(d[0]) + "/" +
           std::to_string(d[2]) + "\"," + Join(h.draws[i], ",") + ",7,\"extra, text\"";
  };
  auto semicolons = [&](std::size_t i) {
    const auto& d = h.dates[i];
    return Two(d[0]) + "." + Two(d[1]) + "." + std::to_string(d[2]) + ";" +
           std::to_string(h.numbers[i]) + ";" + Join(h.draws[i], ";") + ";" +
           std::to_string((h.draws[i][0] % 10) + 1);
  };
  auto tabs = [&](std::size_t i) {
    return std::to_string(h.numbers[i]) + "\t" + Join(h.draws[i], "\t") + "\t12345";
  };
  auto plain = [&](std::size_t i) { return Join(h.draws[i], i % 2 ? " - " : "  "); };
  const std::vector<Case> cases = {
      {"dated list",
       Render(h, dotted, true),
       ImportShape::Free,
       {3, 4, 5, 6, 7, 8},
       OrderBasis::Dates,
       HistoryOrder::NewestFirst},
      {"iso dates",
       Render(h, iso),
       ImportShape::Free,
       {3, 4, 5, 6, 7, 8},
       OrderBasis::Dates,
       HistoryOrder::OldestFirst},
      {"comma csv",
       Render(h, usCsv, true, "Draw,Date,B1,B2,B3,B4,B5,B6,Bonus,Note\r\n"),
       ImportShape::Separated,
       {3, 4, 5, 6, 7, 8},
       OrderBasis::Dates,
       HistoryOrder::NewestFirst},
      {"semicolon csv",
       Render(h, semicolons, false, "Date;Draw;1;2;3;4;5;6;Extra\r\n"),
       ImportShape::Separated,
       {3, 4, 5, 6, 7, 8},
       OrderBasis::Dates,
       HistoryOrder::OldestFirst},
      {"tab csv",
       Render(h, tabs, true, "No\tBalls\r\n"),
       ImportShape::Separated,
       {2, 3, 4, 5, 6, 7},
       OrderBasis::DrawNumbers,
       HistoryOrder::NewestFirst},
      {"plain lines",
       Render(h, plain),
       ImportShape::Free,
       {1, 2, 3, 4, 5, 6},
       OrderBasis::Assumed,
       HistoryOrder::OldestFirst},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ImportResult r = Import(c.text);
    ASSERT_TRUE(r.ok()) << DescribeImport(r, {}, 1);
    EXPECT_EQ(r.shape, c.shape);
    EXPECT_EQ(r.columns, c.columns);
    EXPECT_EQ(r.orderBasis, c.basis);
    EXPECT_EQ(r.order, c.order);
    EXPECT_EQ(r.skippedTotal, static_cast<int>(r.headerLines.size()));  // a heading is listed
    EXPECT_EQ(Rows(r), h.draws);
    EXPECT_EQ(r.headerLines.empty(), std::isdigit(static_cast<unsigned char>(c.text[0])) != 0);
  }
}

TEST(Importer, RecordLinesAreReadExactlyAsTheRecordReaderReadsThem) {
  for (const std::string& text :
       {std::string("1 - 5,12,17,23,38,41;\r\n\r\n22 - 1,2,3,4,5,6;\r\nlabel 3 - 7, 8,9,10,11,12;"),
        std::string("1234 - 5,6,7,8,9,10;\r\n2 - 1,2,3,4,5,6;\r\n")}) {
    const ImportResult r = Import(text);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.shape, ImportShape::RecordLines);
    auto ws = CreateWorkspace();
    ASSERT_TRUE(ReadRecordLines(text, TableRef::of(ws->ResultTable), ws->ResultCount,
                                OverflowRule::KeepLatest)
                    .ok());
    ASSERT_EQ(static_cast<int>(r.rows.size()), ws->ResultCount);
    for (int d = 1; d <= ws->ResultCount; ++d) {
      for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(r.rows[static_cast<std::size_t>(d) - 1].numbers[static_cast<std::size_t>(c) - 1],
                  ws->ResultTable.cell[c][d]);
      }
    }
    // Written back, the rows read the same.
    EXPECT_EQ(Import(FormatImported(r, ImportKind::Results)).rows.size(), r.rows.size());
  }
  // A long first label is read the reader's way: its fourth character leads the first number.
  EXPECT_EQ(Import("1234 - 5,6,7,8,9,10;\r\n").rows.at(0).numbers[0], 45);
}

TEST(Importer, TheOutputIsTheListsOwnRecordLineFormat) {
  const ImportResult r = Import("3 2019-01-15 1 2 3 4 5 6\n2 2019-01-08 7 8 9 10 11 12\n");
  EXPECT_EQ(FormatImported(r, ImportKind::Results), "1 - 7,8,9,10,11,12;\r\n2 - 1,2,3,4,5,6;\r\n");
  ImportOptions system;
  system.kind = ImportKind::System;
  const ImportResult s = Import("1) 3 5 7 9 11 13 15\n2) 1 2 3 4 5 6 7 8 9 10 11 12\n", system);
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(FormatImported(s, ImportKind::System),
            "1 - 3,5,7,9,11,13,15;\r\n2 - 1,2,3,4,5,6,7,8,9,10,11,12;\r\n");
}

TEST(Importer, BrokenLinesAreSkippedWithTheirLineAndReason) {
  const std::string text =
      "Draw;Date;N1;N2;N3;N4;N5;N6\n"  // 1: heading
      "1;01.02.2020;1;2;3;4;5;6\n"     // 2
      "2;08.02.2020;1;2;3;4;5\n"       // 3: five numbers
      "3;15.02.2020;1;2;3;4;5;50\n"    // 4: 50 > 49
      "4;22.02.2020;1;2;3;4;5;5\n"     // 5: 5 twice
      "5;30.02.2020;1;2;3;4;5;7\n"     // 6: no such day
      "6;soon;1;2;3;4;5;8\n"           // 7: no date at all
      "\n"                             // 8: blank, passed over
      "Total;2 draws\n"                // 9: a footer
      "7;07.03.2020;11;12;13;14;15;16\n";
  const ImportResult r = Import(text);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.headerLines, std::vector<int>{1});
  EXPECT_EQ(Rows(r), (std::vector<Draw>{{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}}));
  std::vector<std::string> said;
  for (const SkippedLine& s : r.skipped) said.push_back(DescribeSkip(s, {}, 1));
  EXPECT_EQ(said,
            (std::vector<std::string>{
                "Line 1: heading", "Line 3: fewer than 6 numbers",
                "Line 4: the number 50 is outside 1..49", "Line 5: the number 5 appears twice",
                "Line 6: the date \"30.02.2020\" cannot be read",
                "Line 7: the date \"soon\" cannot be read", "Line 9: fewer than 6 numbers"}));
  EXPECT_EQ(r.skippedTotal, 7);
  EXPECT_EQ(DescribeSkip(r.skipped[1], {}, 0), "Строка 3: меньше 6 чисел");
  // A larger M takes 50.
  ImportOptions wide;
  wide.highestNumber = 52;
  EXPECT_EQ(Import(text, wide).rows.size(), 3u);
}

TEST(Importer, SignsDecimalsAndExponentsAreNoBallsAndTheirLinesAreListed) {
  std::vector<std::string> said;
  auto say = [&](const ImportResult& r) {
    said.clear();
    for (const SkippedLine& s : r.skipped) said.push_back(DescribeSkip(s, {}, 1));
  };
  // Separated by semicolons and by blanks alike; a first line of such numbers is no heading.
  for (const std::string separator : {";", " "}) {
    auto line = [&](std::vector<std::string> fields) {
      std::string out;
      for (std::size_t k = 0; k < fields.size(); ++k) out += (k ? separator : "") + fields[k];
      return out + "\n";
    };
    const ImportResult r = Import(
        line({"1e3", "2", "3", "4", "5", "6"}) + line({"10", "20", "30", "40", "-5", "6"}) +
        line({"10", "20", "30", "40", "1.5", "6"}) + line({"-17", "20", "30", "40", "41", "42"}) +
        line({"+7", "20", "30", "40", "41", "42"}) + line({"7", "8", "9", "10", "11", "12"}));
    SCOPED_TRACE(separator);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.headerLines.empty());
    EXPECT_EQ(Rows(r), (std::vector<Draw>{{7, 8, 9, 10, 11, 12}}));
    say(r);
    EXPECT_EQ(said, (std::vector<std::string>{
                        "Line 1: \"1e3\" is not a plain whole number and cannot be a ball",
                        "Line 2: \"-5\" is not a plain whole number and cannot be a ball",
                        "Line 3: \"1.5\" is not a plain whole number and cannot be a ball",
                        "Line 4: \"-17\" is not a plain whole number and cannot be a ball",
                        "Line 5: \"+7\" is not a plain whole number and cannot be a ball"}));
    EXPECT_EQ(DescribeSkip(r.skipped[1], {}, 0),
              "Строка 2: \"-5\" не целое число без знака и не может быть номером шара");
  }
  // A decimal comma in a file separated by semicolons, and a system stake's seventh number.
  ImportOptions system;
  system.kind = ImportKind::System;
  const ImportResult stakes = Import("1;2;3;4;5;6;7\n1;2;3;4;5;6;7,5\n", system);
  say(stakes);
  EXPECT_EQ(said, (std::vector<std::string>{
                      "Line 2: \"7,5\" is not a plain whole number and cannot be a ball"}));
  // The separating dash of "1 - 2" and a draw number joined to its first ball are no signs.
  EXPECT_EQ(Rows(Import("1 - 2 - 3 - 4 - 5 - 6\n")), (std::vector<Draw>{{1, 2, 3, 4, 5, 6}}));
}

TEST(Importer, RepeatedDrawsAreDroppedAndDatesOutOfOrderAreNamed) {
  const std::string text =
      "Draw;Date;N1;N2;N3;N4;N5;N6\n"
      "101;01.01.2020;1;2;3;4;5;6\n"        // 2
      "102;08.01.2020;7;8;9;10;11;12\n"     // 3
      "103;15.01.2020;13;14;15;16;17;18\n"  // 4
      "102;08.01.2020;7;8;9;10;11;12\n"     // 5: line 3 again
      "103;15.01.2020;13;14;15;16;17;18\n"  // 6: line 4 again
      "104;22.01.2020;19;20;21;22;23;24\n"  // 7
      "99;01.12.2019;25;26;27;28;29;30\n"   // 8: goes back in time
      "105;29.01.2020;31;32;33;34;35;36\n"  // 9
      "106;05.02.2020;1;2;3;4;5;6\n";       // 10: the numbers of line 2, another draw
  const ImportResult r = Import(text);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.order, HistoryOrder::OldestFirst);
  EXPECT_EQ(r.rows.size(), 7u);
  std::vector<std::string> said;
  for (const SkippedLine& s : r.skipped) said.push_back(DescribeSkip(s, {}, 1));
  EXPECT_EQ(said, (std::vector<std::string>{"Line 1: heading", "Line 5: repeat of line 3",
                                            "Line 6: repeat of line 4"}));
  EXPECT_EQ(DescribeSkip(r.skipped[1], {}, 0), "Строка 5: повтор строки 3");
  ASSERT_TRUE(r.outOfOrder.has_value());
  EXPECT_EQ(DescribeSkip(*r.outOfOrder, {}, 1),
            "Line 8: the date 01.12.2019 is out of the order of the dates above; check the file");

  // Newest first, in order: no warning; the same numbers on another date are another draw.
  const ImportResult newest = Import(
      "05.02.2020 1 2 3 4 5 6\n29.01.2020 1 2 3 4 5 6\n29.01.2020 1 2 3 4 5 6\n"
      "22.01.2020 7 8 9 10 11 12\n");
  EXPECT_EQ(newest.order, HistoryOrder::NewestFirst);
  EXPECT_FALSE(newest.outOfOrder.has_value());
  EXPECT_EQ(newest.rows.size(), 3u);
  ASSERT_EQ(newest.skipped.size(), 1u);
  EXPECT_EQ(DescribeSkip(newest.skipped[0], {}, 1), "Line 3: repeat of line 2");
  // A stake list without dates or draw numbers may hold the same stake twice.
  ImportOptions stakes;
  stakes.kind = ImportKind::Stakes;
  EXPECT_EQ(Import("1 2 3 4 5 6\n1 2 3 4 5 6\n", stakes).rows.size(), 2u);
}

TEST(Importer, SecondDrawsUnderOneNameAreListedAndTakenOnlyWhenAsked) {
  struct Case {
    const char* name;
    std::string text;
    RepeatedDraws choice;
    std::vector<Draw> rows;
    std::vector<std::string> said;
  };
  // Draw 7 held three times on one evening, as sequence numbers 0, 1, 2 of one file say; the
  // third line is the first one copied.
  const std::string evening =
      "Draw,Seq,Date,N1,N2,N3,N4,N5,N6\n"
      "7,0,1982-06-12,3,11,12,14,41,43\n"
      "7,1,1982-06-12,5,9,20,30,33,48\n"
      "7,0,1982-06-12,3,11,12,14,41,43\n"
      "8,0,1982-06-19,8,33,36,37,39,41\n"
      "8,1,1982-06-19,1,2,3,4,5,6\n";
  const std::vector<Case> cases = {
      {"by default the first draw of a name is taken",
       evening,
       RepeatedDraws::First,
       {{3, 11, 12, 14, 41, 43}, {8, 33, 36, 37, 39, 41}},
       {"Line 3: other numbers under the draw number and date of line 2 (a second draw?); "
        "not taken",
        "Line 4: repeat of line 2",
        "Line 6: other numbers under the draw number and date of line 5 (a second draw?); "
        "not taken"}},
      {"all of them when asked, a copy still dropped",
       evening,
       RepeatedDraws::All,
       {{3, 11, 12, 14, 41, 43},
        {5, 9, 20, 30, 33, 48},
        {8, 33, 36, 37, 39, 41},
        {1, 2, 3, 4, 5, 6}},
       {"Line 4: repeat of line 2"}},
      {"two draws on one date, told apart by their draw numbers",
       "0421,07.03.1965,6,13,27,29,34,46\n0422,07.03.1965,13,16,20,30,32,34\n"
       "0423,14.03.1965,1,18,23,27,34,45\n",
       RepeatedDraws::First,
       {{6, 13, 27, 29, 34, 46}, {13, 16, 20, 30, 32, 34}, {1, 18, 23, 27, 34, 45}},
       {}},
      {"nothing to tell a copied line from a draw that fell alike: kept, and named",
       "1 2 3 4 5 6\n7 8 9 10 11 12\n7 8 9 10 11 12\n1 2 3 4 5 6\n",
       RepeatedDraws::First,
       {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6}},
       {"Line 3: the same numbers as line 2, with no date or draw number to tell them "
        "apart; kept, check the file"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImportOptions options;
    options.repeatedDraws = c.choice;
    const ImportResult r = Import(c.text, options);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(Rows(r), c.rows);
    std::vector<std::string> said;
    for (const SkippedLine& s : r.skipped) {
      if (s.reason != SkipReason::Heading) said.push_back(DescribeSkip(s, options, 1));
    }
    EXPECT_EQ(said, c.said);
  }
}

TEST(Importer, RowsOfSevenOrMoreNumbersAreSkippedWholeNeverCut) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<Draw> rows;
    std::vector<std::string> said;
  };
  const std::vector<Case> cases = {
      {"a heading names a seventh number",
       "Datum;Z1;Z2;Z3;Z4;Z5;Z6;Z7;Superzahl\n"
       "05.01.1983;3;11;19;25;38;44;47;\n"
       "08.01.1983;1;5;12;26;41;47;;4\n"
       "12.01.1983;2;9;17;30;33;40;45;\n",
       {{1, 5, 12, 26, 41, 47}},
       {"Line 2: 7 numbers drawn", "Line 4: 7 numbers drawn"}},
      {"free lines, now and then a seventh",
       "01.01.1983 1 2 3 4 5 6\n08.01.1983 7 8 9 10 11 12\n15.01.1983 13 14 15 16 17 18 19 20\n"
       "22.01.1983 21 22 23 24 25 26\n29.01.1983 27 28 29 30 31 32\n"
       "05.02.1983 33 34 35 36 37 38\n",
       {{1, 2, 3, 4, 5, 6},
        {7, 8, 9, 10, 11, 12},
        {21, 22, 23, 24, 25, 26},
        {27, 28, 29, 30, 31, 32},
        {33, 34, 35, 36, 37, 38}},
       {"Line 3: 8 numbers drawn"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ImportResult r = Import(c.text);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(Rows(r), c.rows);
    std::vector<std::string> said;
    for (const SkippedLine& s : r.skipped) {
      if (s.reason != SkipReason::Heading) said.push_back(DescribeSkip(s, {}, 1));
    }
    EXPECT_EQ(said, c.said);
  }
  const ImportResult bonus = Import("1 2 3 4 5 6 7\n8 9 10 11 12 13 14\n");
  EXPECT_EQ(bonus.rows.size(), 2u);  // a seventh in every row is an extra ball, not a draw of 7
}

TEST(Importer, StakesFromOtherProgramsGoToTheListTheirRowsFit) {
  // Another program's export: a running number, a date, and up to twelve numbers a row.
  const std::string text =
      "Nr;Datum;N1;N2;N3;N4;N5;N6;N7;N8;N9;N10;N11;N12\n"
      "1;01.02.2020;1;2;3;4;5;6;;;;;;\n"
      "2;01.02.2020;3;9;14;22;30;41;45;;;;;\n"
      "3;02.02.2020;7;8;9;10;11;12;;;;;;\n"
      "4;02.02.2020;1;5;9;13;17;21;25;29;33;37;41;45\n";
  struct Case {
    ImportKind kind;
    std::vector<Draw> rows;
    std::vector<std::string> said;
  };
  const std::vector<Case> cases = {
      {ImportKind::Stakes,
       {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}},
       {"Line 3: 7 numbers in a row: a system stake",
        "Line 5: 12 numbers in a row: a system stake"}},
      {ImportKind::System,
       {{3, 9, 14, 22, 30, 41, 45}, {1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 45}},
       {"Line 2: fewer than 7 numbers", "Line 4: fewer than 7 numbers"}},
  };
  for (const Case& c : cases) {
    ImportOptions options;
    options.kind = c.kind;
    options.order = HistoryOrder::OldestFirst;
    const ImportResult r = Import(text, options);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(Rows(r), c.rows);
    std::vector<std::string> said;
    for (const SkippedLine& s : r.skipped) {
      if (s.reason != SkipReason::Heading) said.push_back(DescribeSkip(s, options, 1));
    }
    EXPECT_EQ(said, c.said);
  }
}

TEST(Importer, TheCallerChoosesColumnsAndOrder) {
  const std::string text = "10 1 2 3 4 5 6 7\n11 8 9 10 11 12 13 14\n12 15 16 17 18 19 20 21\n";
  EXPECT_EQ(Import(text).columns, (std::vector<int>{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Import(text).orderBasis, OrderBasis::DrawNumbers);
  ImportOptions options;
  options.columns = {8, 7, 6, 5, 4, 3};
  options.order = HistoryOrder::NewestFirst;
  const ImportResult r = Import(text, options);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.orderBasis, OrderBasis::Chosen);
  EXPECT_EQ(Rows(r), (std::vector<Draw>{
                         {21, 20, 19, 18, 17, 16}, {14, 13, 12, 11, 10, 9}, {7, 6, 5, 4, 3, 2}}));
  options.columns = {1, 2, 3};
  EXPECT_EQ(Import(text, options).problem, ImportProblem::BadColumns);
  options.columns = {1, 2, 3, 4, 5, 5};
  EXPECT_EQ(Import(text, options).problem, ImportProblem::BadColumns);
}

TEST(Importer, ANumberColumnThatRunsOnByOneIsStillANumberColumn) {
  // The first numbers run 1, 2, 3 like a label column would, and so do the draw numbers.
  const std::string text =
      "6330. 30.11.2019 3,20,34,40,42,43\n"
      "6329. 29.11.2019 2,21,34,40,42,44\n"
      "6328. 28.11.2019 1,22,35,41,42,45\n";
  const ImportResult r = Import(text);
  ASSERT_TRUE(r.ok()) << DescribeImport(r, {}, 1);
  EXPECT_EQ(r.columns, (std::vector<int>{3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(r.orderBasis, OrderBasis::Dates);
  EXPECT_EQ(Rows(r),
            (std::vector<Draw>{
                {1, 22, 35, 41, 42, 45}, {2, 21, 34, 40, 42, 44}, {3, 20, 34, 40, 42, 43}}));
}

TEST(Importer, SlashDatesAreMonthFirstUnlessADayShowsOtherwise) {
  // 03/04 and 05/04 read month first are March and May: oldest first.
  EXPECT_EQ(Import("03/04/2020,1,2,3,4,5,6\n05/04/2020,7,8,9,10,11,12\n").order,
            HistoryOrder::OldestFirst);
  // With 13/04 in the column the dates are day first: 13 April comes after 05 April.
  const ImportResult r =
      Import("13/04/2020,1,2,3,4,5,6\n05/04/2020,7,8,9,10,11,12\n03/04/2020,1,2,3,4,5,7\n");
  EXPECT_EQ(r.order, HistoryOrder::NewestFirst);
  EXPECT_EQ(r.rows.front().numbers[5], 7);
}

TEST(Importer, StrangeFilesGiveAClearAnswerAndNoRows) {
  EXPECT_EQ(Import("").problem, ImportProblem::Empty);
  EXPECT_EQ(Import(" \r\n\r\n\t").problem, ImportProblem::Empty);
  EXPECT_EQ(Import(std::string("\x7f"
                               "ELF\x02\x01\x01\0\0\0",
                               10))
                .problem,
            ImportProblem::Binary);
  const ImportResult words = Import("hello\nworld 1 2 3\n");
  EXPECT_EQ(words.problem, ImportProblem::NothingUsable);
  EXPECT_EQ(DescribeImport(words, {}, 1),
            "The file holds no line of 6 numbers that could be read. Nothing was written.");
  EXPECT_TRUE(words.rows.empty());
  EXPECT_EQ(Import(std::string(kMaxImportBytes + 1, '1')).problem, ImportProblem::TooLarge);
  // One endless line of digits and one of separators.
  EXPECT_EQ(Import(std::string(1 << 20, '7')).problem, ImportProblem::NothingUsable);
  EXPECT_EQ(Import(std::string(1 << 20, ',')).problem, ImportProblem::NothingUsable);
}

std::string Utf16(const std::string& ascii, bool bigEndian, bool mark) {
  std::string out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char ch : ascii) {
    out += bigEndian ? std::string{'\0', ch} : std::string{ch, '\0'};
  }
  return out;
}

TEST(Importer, ByteOrderMarksUtf16AndLineEndsAreUnderstood) {
  const std::string text = "Draw;Date;Numbers\r\n1;12.11.2019;9;20;34;40;42;43\r\n";
  const std::vector<Draw> expected{{9, 20, 34, 40, 42, 43}};
  struct Case {
    std::string data;
    TextEncoding encoding;
  };
  const std::vector<Case> cases = {
      {text, TextEncoding::Bytes},
      {"\xEF\xBB\xBF" + text, TextEncoding::Utf8Bom},
      {Utf16(text, false, true), TextEncoding::Utf16LE},
      {Utf16(text, false, false), TextEncoding::Utf16LE},
      {Utf16(text, true, true), TextEncoding::Utf16BE},
      {Utf16(text, true, false), TextEncoding::Utf16BE},
      {"Draw;Date;Numbers\r1;12.11.2019;9;20;34;40;42;43\r", TextEncoding::Bytes},
      {"Draw;Date;Numbers\n1;12.11.2019;9;20;34;40;42;43", TextEncoding::Bytes},
  };
  for (const Case& c : cases) {
    const ImportResult r = Import(c.data);
    EXPECT_EQ(r.encoding, c.encoding);
    EXPECT_EQ(Rows(r), expected);
    EXPECT_EQ(r.headerLines, std::vector<int>{1});
  }
  // Record lines with a mark are still record lines.
  EXPECT_EQ(Import("\xEF\xBB\xBF"
                   "1 - 1,2,3,4,5,6;\r\n")
                .shape,
            ImportShape::RecordLines);
}

TEST(Importer, LongHistoriesKeepTheNewestDrawsAndLongStakeListsAreRefused) {
  const History h = MakeHistory(1600, 3);
  const std::string text = Render(
      h, [&](std::size_t i) { return std::to_string(h.numbers[i]) + " " + Join(h.draws[i], " "); },
      true);
  const ImportResult r = Import(text);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.rowsInFile, 1600);
  EXPECT_EQ(r.dropped, 101);
  ASSERT_EQ(r.rows.size(), 1499u);
  EXPECT_EQ(Rows(r).front(), h.draws[101]);
  EXPECT_EQ(Rows(r).back(), h.draws.back());
  EXPECT_EQ(DescribeImport(r, {}, 1), "1 600 draws read; the 1 499 newest kept.");

  std::string stakes;
  for (int i = 0; i < 100000; ++i) stakes += "1 2 3 4 5 6\n";
  ImportOptions options;
  options.kind = ImportKind::Stakes;
  const ImportResult s = Import(stakes, options);
  EXPECT_EQ(s.problem, ImportProblem::TooManyRows);
  EXPECT_TRUE(s.rows.empty());
}

TEST(Importer, DrawsAreCountedAsTheFileHoldsThemAndOlderLinesAreNotSkipped) {
  // 4 530 draws of a game of 37; the oldest 1 079 come from an era of 49 numbers, and one
  // line among the newest is broken.
  const History era = MakeHistory(1079, 5, 49);
  const History now = MakeHistory(3451, 6, 37);
  for (const bool newestFirst : {false, true}) {
    SCOPED_TRACE(newestFirst ? "newest first" : "oldest first");
    std::vector<std::string> lines;
    for (const Draw& d : era.draws) lines.push_back(Join(d, " "));
    for (const Draw& d : now.draws) lines.push_back(Join(d, " "));
    lines[4000] = "1 2 3";
    if (newestFirst) std::reverse(lines.begin(), lines.end());
    std::string text = "Draws\n";
    for (const std::string& line : lines) text += line + "\n";
    ImportOptions options;
    options.highestNumber = 37;
    options.order = newestFirst ? HistoryOrder::NewestFirst : HistoryOrder::OldestFirst;
    const ImportResult r = Import(text, options);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.rows.size(), 1499u);
    EXPECT_EQ(r.rowsInFile, 4529);
    EXPECT_EQ(r.dropped, 3030);
    std::vector<std::string> said;
    for (const SkippedLine& s : r.skipped) said.push_back(DescribeSkip(s, options, 1));
    const int broken = newestFirst ? 4530 - 4000 + 1 : 4002;
    EXPECT_EQ(said, (std::vector<std::string>{"Line 1: heading", "Line " + std::to_string(broken) +
                                                                     ": fewer than 6 numbers"}));
    EXPECT_EQ(DescribeImport(r, options, 1), "4 529 draws read; the 1 499 newest kept.");
    EXPECT_EQ(DescribeImport(r, options, 0),
              "Прочитано тиражей: 4 529; сохранены последние 1 499.");
  }
}

TEST(Importer, SkippedLinesAreCountedBeyondTheListedOnes) {
  std::string text = "1 2 3 4 5 6\n";
  for (int i = 0; i < kMaxListedSkips + 10; ++i) text += "1 2 3\n";
  const ImportResult r = Import(text);
  EXPECT_EQ(r.skippedTotal, kMaxListedSkips + 10);
  EXPECT_EQ(static_cast<int>(r.skipped.size()), kMaxListedSkips);
}

// Prize columns: a history whose heading names the amounts for 3, 4, 5 and 6 common numbers.
const char* const kPrizeHeading =
    "Draw,Date,B1,B2,B3,B4,B5,B6,Bonus,Prize 3,Prize 4,Prize 5,Prize 6\n";
const char* const kPrizeRows[] = {
    "101,12.11.2019,7,8,9,10,11,12,13,11,-,\"4 000,00\",\n",
    "102,19.11.2019,9,20,34,40,42,43,8,9.00,100,5000,1500000\n",
    "103,26.11.2019,1,2,3,4,5,6,7,\"10,50\",\"1 234,50\",\"50 000,00\",\"2 000 000,00\"\n",
};

TEST(ImportPrizes, AmountsFollowTheirDrawsInEitherOrder) {
  const std::string oldestFirst =
      std::string(kPrizeHeading) + kPrizeRows[0] + kPrizeRows[1] + kPrizeRows[2];
  const std::string newestFirst =
      std::string(kPrizeHeading) + kPrizeRows[2] + kPrizeRows[1] + kPrizeRows[0];
  for (const std::string& text : {oldestFirst, newestFirst}) {
    const ImportResult r = ImportList(text, ImportOptions{});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.columns, (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(r.prizeColumns, (std::array<int, 4>{10, 11, 12, 13}));
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].numbers[0], 7);
    EXPECT_EQ(r.rows[0].prizes, (ImportedPrizes{1100, std::nullopt, 400000, std::nullopt}));
    EXPECT_EQ(r.rows[1].numbers[0], 9);
    EXPECT_EQ(r.rows[1].prizes, (ImportedPrizes{900, 10000, 500000, 150000000}));
    EXPECT_EQ(r.rows[2].numbers[0], 1);
    EXPECT_EQ(r.rows[2].prizes, (ImportedPrizes{1050, 123450, 5000000, 200000000}));
    EXPECT_EQ(r.unreadAmountsTotal, 0);
    // Draw 1 lacks two amounts and is left to the prize table.
    EXPECT_EQ(FormatImportedPrizes(r.rows),
              "2; 9.00; 100.00; 5000.00; 1500000.00\r\n"
              "3; 10.50; 1234.50; 50000.00; 2000000.00\r\n");
    // The file reads back as the prize file of the history.
    const PrizesRead back = ParsePrizes(FormatImportedPrizes(r.rows));
    ASSERT_FALSE(back.problem);
    EXPECT_EQ(back.prizes.byDraw.size(), 2u);
    EXPECT_EQ(back.prizes.byDraw.at(3), (TierAmounts{1050, 123450, 5000000, 200000000}));
    EXPECT_EQ(back.prizes.table, PrizeTable{});
  }
  // Rows that precede the history's start (no room) are left out, and labels follow the start.
  const ImportResult r = ImportList(oldestFirst, ImportOptions{});
  EXPECT_EQ(FormatImportedPrizes(r.rows, -1), "1; 10.50; 1234.50; 50000.00; 2000000.00\r\n");
  EXPECT_EQ(FormatImportedPrizes(r.rows, 10).substr(0, 4), "11; ");
}

TEST(ImportPrizes, SemicolonFilesWithBlankGroupedAmountsStaySeparated) {
  // Amounts such as "1 234,50" are one field each, not several numbers.
  const std::string text =
      "Nr;Datum;Z1;Z2;Z3;Z4;Z5;Z6;Superzahl;3 Richtige;4 Richtige;5 Richtige;6 Richtige\n"
      "2;05.11.2019;9;20;34;40;42;43;1;10,20 €;1 234,50 €;12 345,00 €;1.234.567,80 €\n"
      "1;02.11.2019;1;2;3;4;5;6;2;9,80 €;-;abc;2 000 000,00 €\n"
      "0;30.10.2019;7;8;9;10;11;12;3;9,80 €;1.000;12.345;50\n";
  const ImportResult r = ImportList(text, ImportOptions{});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.separator, ';');
  EXPECT_EQ(r.order, HistoryOrder::NewestFirst);
  EXPECT_EQ(r.prizeColumns, (std::array<int, 4>{10, 11, 12, 13}));
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[2].prizes, (ImportedPrizes{1020, 123450, 1234500, 123456780}));
  // "-" gives no amount; "abc" has no digit and is no amount either.
  EXPECT_EQ(r.rows[1].prizes, (ImportedPrizes{980, std::nullopt, std::nullopt, 200000000}));
  // "1.000" and "12.345" could be thousands or decimals: refused and listed, never guessed.
  EXPECT_EQ(r.rows[0].prizes, (ImportedPrizes{980, std::nullopt, std::nullopt, 5000}));
  ASSERT_EQ(r.unreadAmountsTotal, 2);
  EXPECT_EQ(r.unreadAmounts[0].line, 4);
  EXPECT_EQ(r.unreadAmounts[0].tier, 4);
  EXPECT_EQ(r.unreadAmounts[0].value, "1.000");
  EXPECT_EQ(r.unreadAmounts[1].tier, 5);
}

TEST(ImportPrizes, AmountsAsPrizeTablesPrintThem) {
  const std::pair<const char*, Money> good[] = {
      {"1234", 123400},
      {"1 234,50", 123450},
      {"1.234,50", 123450},
      {"1,234.50", 123450},
      {"€ 12.5", 1250},
      {"800 руб.", 80000},
      {"$1,234,567.8", 123456780},
      {"1\xC2\xA0"
       "234,5",
       123450},
      {"2 000 000", 200000000},
      {"1'234.05 CHF", 123405},
      {"0,05", 5},
      {"12.50", 1250},
      {"7.", 700},
      {"1.000,00", 100000},
      {"1 000.000", 100000},
  };
  for (const auto& [text, value] : good) {
    const ImportedAmount a = ParseImportedAmount(text);
    EXPECT_TRUE(a.given) << text;
    EXPECT_EQ(a.value, value) << text;
  }
  for (const char* none : {"", "-", " — ", "n/a", "EUR"}) {
    const ImportedAmount a = ParseImportedAmount(none);
    EXPECT_FALSE(a.given) << none;
    EXPECT_FALSE(a.value) << none;
  }
  for (const char* refused :
       {"1.000", "12,345", "-5", "- 5,00", "1.5 Mio", "2 млн руб.", "1 23", "12 abc 5", "1,2,3",
        "1.234.56", "1..5", "12.345,6.7", "1,001.5,0", "99999999999999", "0.125"}) {
    const ImportedAmount a = ParseImportedAmount(refused);
    EXPECT_TRUE(a.given) << refused;
    EXPECT_FALSE(a.value) << refused;
  }
}

TEST(ImportPrizes, OnlyHeadingsThatNamePrizeTiersAreTaken) {
  const std::pair<const char*, int> named[] = {
      {"prize3", 3},    {"3 numbers", 3},  {"Match 4", 4},   {"5 of 6", 5},
      {"Gewinn 6", 6},  {"3 Richtige", 3}, {"Угадано 3", 3}, {"ВЫИГРЫШ 4", 4},
      {"приз за 5", 5}, {"6 hits", 6},     {"Win 5", 5},     {"4 Treffer", 4},
  };
  for (const auto& [heading, tier] : named) EXPECT_EQ(PrizeTierOfHeading(heading), tier) << heading;
  for (const char* other :
       {"3", "Bonus", "Prize", "Prize 7", "Prize 2", "Winners 3", "Gewinner 4", "Gewinnklasse 3",
        "Prize class 3", "Rank 4", "5+1", "Match 5 + Bonus", "Total prize 3", "Prize fund 6",
        "Anzahl 3 Richtige", "6 aus 49", "Количество угадавших 3", "Prize 34", "Match 3 and 4"}) {
    EXPECT_EQ(PrizeTierOfHeading(other), 0) << other;
  }
}

TEST(ImportPrizes, ColumnsWithoutAHeadingNamingThemAreIgnored) {
  const std::vector<std::string> texts = {
      // Numbers after the draw's as headings: no prize words.
      "Draw;Date;N1;N2;N3;N4;N5;N6;Bonus;3;4;5;6\n"
      "1;02.11.2019;1;2;3;4;5;6;2;9,80;20;300;4000\n",
      // No heading at all.
      "1;02.11.2019;1;2;3;4;5;6;2;9,80;20;300;4000\n",
      // Prize words before the numbers, where no prize column can be.
      "Prize 3;Prize 4;Prize 5;Prize 6;N1;N2;N3;N4;N5;N6\n"
      "9,80;20;300;4000;1;2;3;4;5;6\n",
      // A tier named twice is taken from neither column.
      "Draw;N1;N2;N3;N4;N5;N6;Prize 3;Match 3\n1;1;2;3;4;5;6;9,80;9,90\n",
  };
  for (const std::string& text : texts) {
    const ImportResult r = ImportList(text, ImportOptions{});
    ASSERT_TRUE(r.ok()) << text;
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].numbers[0], 1) << text;
    EXPECT_FALSE(r.hasPrizeColumns()) << text;
    EXPECT_EQ(r.rows[0].prizes, ImportedPrizes{}) << text;
    EXPECT_EQ(FormatImportedPrizes(r.rows), "");
  }
  // Stake lists take no prize columns.
  ImportOptions stakes;
  stakes.kind = ImportKind::Stakes;
  const ImportResult r =
      ImportList(std::string(kPrizeHeading) + kPrizeRows[1] + kPrizeRows[2], stakes);
  ASSERT_TRUE(r.ok());
  EXPECT_FALSE(r.hasPrizeColumns());
}

TEST(ImportPrizes, ARowWithMoreFieldsThanItsHeadingGivesNoAmounts) {
  // An unquoted decimal comma in a file separated by commas shifts the fields after it.
  const std::string text = std::string(kPrizeHeading) +
                           "102,19.11.2019,9,20,34,40,42,43,8,9,50,100,5000,1500000\n" +
                           kPrizeRows[2] +
                           // A last empty field is no extra one.
                           "104,03.12.2019,11,12,13,14,15,16,7,1,2,3,4,\n";
  const ImportResult r = ImportList(text, ImportOptions{});
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0].numbers[0], 9);
  EXPECT_EQ(r.rows[0].prizes, ImportedPrizes{});
  EXPECT_EQ(r.rows[1].prizes, (ImportedPrizes{1050, 123450, 5000000, 200000000}));
  EXPECT_EQ(r.rows[2].prizes, (ImportedPrizes{100, 200, 300, 400}));
  ASSERT_EQ(r.unreadAmountsTotal, 1);
  EXPECT_EQ(r.unreadAmounts[0].line, 2);
  EXPECT_EQ(r.unreadAmounts[0].tier, 0);
  EXPECT_EQ(r.unreadAmounts[0].value, "14");
}

}  // namespace
}  // namespace tallyra
