#include "import/Dates.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "import/Cells.h"
#include "import/Importer.h"

namespace tallyra {
namespace {

// The day number of 2019-11-12; the other days are given as ISO dates, read the plain way.
constexpr int64_t k20191112 = 18212;

std::optional<int64_t> IsoDay(const char* iso) {
  return DayNumber(MatchDate(iso, 0)->date);
}

TEST(Dates, EveryShapeFilesWriteIsReadToItsDay) {
  struct Case {
    std::string text;
    const char* day;    // as an ISO date
    std::size_t taken;  // characters taken, a time included
    DayOrder order = DayOrder::Usual;
  };
  const std::vector<Case> cases = {
      {"12.11.2019", "2019-11-12", 10},
      {"2019/11/12", "2019-11-12", 10},
      {"12-11-2019", "2019-11-12", 10},
      {"11/12/2019", "2019-11-12", 10},  // slashes: month first
      {"12/11/2019", "2019-11-12", 10, DayOrder::DayFirst},
      {"11-12-2019", "2019-11-12", 10, DayOrder::MonthFirst},
      {"30 Sep 2017", "2017-09-30", 11, DayOrder::MonthFirst},  // a month name is never moved
      {"1.1.2020", "2020-01-01", 8},
      {"29.02.2020", "2020-02-29", 10},
      // Two-digit years: 50 and above are of the 1900s.
      {"30.09.17", "2017-09-30", 8},
      {"9/30/17", "2017-09-30", 7},
      {"01-01-50", "1950-01-01", 8},
      {"31.12.49", "2049-12-31", 8},
      {"30-Sep-17", "2017-09-30", 9},
      // Month names, in any case, with a dot after them or not.
      {"12-Nov-2019", "2019-11-12", 11},
      {"12/nov/2019", "2019-11-12", 11},  // a named month is never first
      {"30-Sept-2019", "2019-09-30", 12},
      {"30.Sep.2017", "2017-09-30", 11},
      {"Sep 30, 2017", "2017-09-30", 12},
      {"September 30, 2017", "2017-09-30", 18},
      {"Sept. 30th, 2017", "2017-09-30", 16},
      {"June 12, 1982", "1982-06-12", 13},
      {"30 September 2017", "2017-09-30", 17},
      {"1st October 2017", "2017-10-01", 16},
      {"30. September 2017", "2017-09-30", 18},
      {"3 März 2017", "2017-03-03", 12},
      {"3 MRZ 2017", "2017-03-03", 10},
      {"1 Jänner 2018", "2018-01-01", 14},
      {"30 de setembro de 2017", "2017-09-30", 22},
      {"30/set/2017", "2017-09-30", 11},
      {"30 de septiembre de 2017", "2017-09-30", 24},
      {"5 dic 2017", "2017-12-05", 10},
      {"30 settembre 2017", "2017-09-30", 17},
      {"1er octobre 2017", "2017-10-01", 16},
      {"2 févr. 2017", "2017-02-02", 13},
      {"15 août 2017", "2017-08-15", 13},
      {"30 września 2017", "2017-09-30", 17},
      {"21 GRU 2017", "2017-12-21", 11},
      {"30 сентября 2017", "2017-09-30", 24},
      {"30 сент. 2017", "2017-09-30", 17},
      {"7 ФЕВ 2018", "2018-02-07", 13},
      {"30.09.2017г.", "2017-09-30", 13},
      {"30 Ноябрь 2017", "2017-11-30", 20},
      // Files in their languages' 8-bit code pages: März, września, сент.
      {"3 M\xE4rz 2017", "2017-03-03", 11},
      {"30 wrze\x9Cnia 2017", "2017-09-30", 16},
      {"30 wrze\xB6nia 2017", "2017-09-30", 16},
      {"30 \xF1\xE5\xED\xF2. 2017", "2017-09-30", 13},
      // A weekday before the date.
      {"Sat 30-Sep-2017", "2017-09-30", 15},
      {"Samstag, 30.09.2017", "2017-09-30", 19},
      {"сб, 30.09.2017", "2017-09-30", 16},
      {"Sábado 30/09/2017", "2017-09-30", 18, DayOrder::DayFirst},
      {"sáb., 30 de septiembre de 2017", "2017-09-30", 31},
      {"Sat, Sep 30, 2017", "2017-09-30", 17},
      {"quinta-feira, 5 de outubro de 2017", "2017-10-05", 34},
      {"mar 3 ottobre 2017", "2017-10-03", 18},  // martedì
      {"Mar 3, 2017", "2017-03-03", 11},         // March
      // A time after it.
      {"12.11.2019 20:00", "2019-11-12", 16},
      {"12.NOV.2019 08:30 rest", "2019-11-12", 17},
      {"2019-11-12T20:00:00", "2019-11-12", 19},
      {"2017-09-30T20:00:00.000Z", "2017-09-30", 24},
      {"2017-09-30 20:00:00+01:00", "2017-09-30", 25},
      {"9/30/2017 8:00 PM", "2017-09-30", 17},
      {"9/30/2017 8:00pm", "2017-09-30", 16},
      {"Sat 30-Sep-2017 20:00", "2017-09-30", 21},
      // The real files' own shapes.
      {"1985/8/17", "1985-08-17", 9},
      {"11. 1. 2026", "2026-01-11", 11},
      {"2000/10/5", "2000-10-05", 9},
  };
  ASSERT_EQ(IsoDay("2019-11-12"), k20191112);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<DateMatch> m = MatchDate(c.text, 0);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->taken, c.taken);
    EXPECT_EQ(DayNumber(m->date, c.order), IsoDay(c.day));
  }
}

TEST(Dates, WhatIsNoDateOrNoDay) {
  // No date begins here: words that only look like a date's, numbers that run on.
  for (const char* text : {"123.11.2019", "12.11-2019",
                           "12..2019",    "12.11.2019x",
                           "12-Nox-2019", "12-No-2019",
                           "12 Nov-2019", "2019-Nov-12",
                           "6330",        "1.5",
                           "Date",        "May be void",
                           "May",         "Sep 2017",
                           "Sat",         "Sat 30",
                           "May 5",       "30 Sep",
                           "Sep 30 17",   "30 Sep 17",
                           "11-nov",      "Sep30, 2017",
                           "Mon 1 2 3",   "Samstag",
                           "12.11.19.25", "01-09-50-14-37-17",
                           "10.20.30",    "1. 2. 34",
                           "30 de 2017",  "Sat 2017-09-30x"}) {
    EXPECT_FALSE(MatchDate(text, 0).has_value()) << text;
  }
  // Dates that name no day.
  for (const char* text : {"30.02.2020", "29.02.2019", "31-Apr-2020", "00.01.2020", "01.13.2020",
                           "13/13/2020", "01.01.0999", "31 June 2020"}) {
    const std::optional<DateMatch> m = MatchDate(text, 0);
    ASSERT_TRUE(m.has_value()) << text;
    EXPECT_FALSE(DayNumber(m->date).has_value()) << text;
  }
  // A time that runs on into a word is no time; the date alone is taken.
  EXPECT_EQ(MatchDate("12.11.2019 20:00h", 0)->taken, 10u);
  // A date inside a line, where the line says it begins; not inside a run of numbers.
  EXPECT_EQ(MatchDate("6330. 30.11.2019 3", 6)->length, 10u);
  EXPECT_FALSE(MatchDate("5.12.11.19", 2).has_value());
}

TEST(Dates, AFreeLineKeepsADateWrittenWithBlanksInOneCell) {
  struct Case {
    const char* line;
    std::vector<std::string> cells;  // their texts, a date without the time after it
    int date;                        // which cell is a date, -1 for none
  };
  const std::vector<Case> cases = {
      {"Sep 30, 2017 3 14 22", {"Sep 30, 2017", "3", "14", "22"}, 0},
      {"7. 30 September 2017: 3 14", {"7", "30 September 2017", "3", "14"}, 1},
      {"Sat 30-Sep-2017 20:00 3 14", {"Sat 30-Sep-2017", "3", "14"}, 0},
      {"May be void 3 14", {"May", "be", "void", "3", "14"}, -1},
  };
  for (const Case& c : cases) {
    std::vector<Cell> cells;
    FreeCells(c.line, cells);
    std::vector<std::string> texts;
    int date = -1;
    for (const Cell& cell : cells) {
      if (cell.type == Cell::Type::Date) date = static_cast<int>(texts.size());
      texts.push_back(cell.text);
    }
    EXPECT_EQ(texts, c.cells) << c.line;
    EXPECT_EQ(date, c.date) << c.line;
  }
}

// Whether slashed dates are day first is told by the whole column, whatever is written around
// them: one day above 12 decides for every row.
TEST(Dates, AColumnOfSlashedDatesWithWeekdaysAndShortYearsIsDayFirstThroughout) {
  const std::string text =
      "Sat 30/09/17,1,2,3,4,5,6\n"
      "Wed 04/10/17 20:00,7,8,9,10,11,12\n"
      "Sat 07/10/17,13,14,15,16,17,18\n";
  const ImportResult r = ImportList(text, ImportOptions{});
  EXPECT_EQ(r.dateColumn, 1);
  EXPECT_EQ(r.orderBasis, OrderBasis::Dates);
  EXPECT_EQ(r.order, HistoryOrder::OldestFirst);
  EXPECT_FALSE(r.outOfOrder.has_value());
  EXPECT_EQ(r.rows.size(), 3u);
}

// Published histories whose dates are written with blanks and month names: the dates are
// found as one column and set the order of the draws.
TEST(Dates, RealHistoriesAreOrderedByTheirDates) {
  struct Case {
    const char* file;
    HistoryOrder order;
  };
  for (const Case& c :
       {Case{"czech-sportka-6of49-two-draws-per-row.csv", HistoryOrder::NewestFirst},
        Case{"canada-lotto-6of49-month-name-dates-gaps.csv", HistoryOrder::OldestFirst}}) {
    SCOPED_TRACE(c.file);
    std::ifstream in(std::string(TALLYRA_TEST_REAL_DIR) + "/" + c.file, std::ios::binary);
    ASSERT_TRUE(in);
    std::stringstream text;
    text << in.rdbuf();
    const ImportResult r = ImportList(text.str(), ImportOptions{});
    EXPECT_EQ(r.dateColumn, 1);
    EXPECT_EQ(r.orderBasis, OrderBasis::Dates);
    EXPECT_EQ(r.order, c.order);
    EXPECT_EQ(r.rowsInFile, 30);
    EXPECT_FALSE(r.outOfOrder.has_value());
  }
}

}  // namespace
}  // namespace tallyra
