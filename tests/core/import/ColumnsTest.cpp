#include "import/Columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/FieldReader.h"

namespace tallyra {
namespace {

ColumnLayout Decide(const std::string& text, ColumnNeeds needs = {}) {
  const char separator = FindSeparator(text);
  ColumnFinder finder(std::move(needs));
  for (const FieldRecord& record : ReadFieldRecords(text, separator)) {
    std::vector<Cell> cells;
    if (separator) {
      for (const std::string& field : record.fields) cells.push_back(FieldCell(field));
    } else {
      FreeCells(record.text, cells);
    }
    if (!finder.add(cells)) break;
  }
  return finder.decide();
}

TEST(Columns, TheSeparatorIsTheOneThatGivesFieldsOfOneThingEach) {
  const std::vector<std::pair<std::string, char>> cases = {
      {"1,2,3,4,5,6\n7,8,9,10,11,12\n", ','},
      {"Date;N1;N2\n12.11.2019;1;2\n", ';'},
      {"1\t2\t3\n", '\t'},
      {"1,\"x;y\",4,5\n", ','},  // the semicolon is inside quotes
      {"1 2 3 4 5 6\n", 0},
      {"6330. 30.11.2019 3,20,34,40,42,43\n", 0},  // commas, but fields of several things
      {"1,2\n3,4\n", 0},                           // two fields are too few
      {"1,2,3\nx\ny\n", 0},                        // too few lines with them
      // A quoted field with a line break in it holds the record together.
      {"Draw,Note,N1\n1,\"two\nlines\",3\n2,x,4\n", ','},
      // A quoted field full of codes and commas is one field of the file's own.
      {"Date,B1,B2,Codes\n1.2.2020,3,4,\"AB 1, CD 2; EF 3\"\n8.2.2020,5,6,\"GH 4, IJ 5\"\n", ','},
  };
  for (const auto& [text, separator] : cases) EXPECT_EQ(FindSeparator(text), separator) << text;
}

TEST(Columns, TheNumbersDateAndDrawNumberAreFoundFromTheRows) {
  struct Case {
    const char* name;
    std::string text;
    ColumnNeeds needs;
    std::vector<int> numbers;
    int date;
    int drawNumber;
  };
  // Named, not written in place: GCC's optimiser then warns falsely about their vectors.
  const ColumnNeeds plain;
  const ColumnNeeds system{7, 12, 49, {}};
  const ColumnNeeds wide{6, 6, 99, {}};
  const ColumnNeeds chosen{6, 6, 49, {8, 7, 6, 5, 4, 3}};
  const std::vector<Case> cases = {
      {"draw number, date, numbers, bonus",
       "101;12.11.2019;1;2;3;4;5;6;7\n102;19.11.2019;8;9;10;11;12;13;14\n"
       "103;26.11.2019;15;16;17;18;19;20;21\n",
       plain,
       {2, 3, 4, 5, 6, 7},
       1,
       0},
      {"numbers out of range are passed over",
       "12.11.2019 70 80 1 2 3 4 5 6\n19.11.2019 90 99 7 8 9 10 11 12\n",
       plain,
       {3, 4, 5, 6, 7, 8},
       0,
       -1},
      {"a wider range takes them",
       "70 80 1 2 3 4 5 6\n90 99 7 8 9 10 11 12\n",
       wide,
       {0, 1, 2, 3, 4, 5},
       -1,
       -1},
      {"chosen columns", "1 2 3 4 5 6 7 8\n", chosen, {7, 6, 5, 4, 3, 2}, -1, -1},
      {"system stakes run on from the first number column",
       "1) 1 2 3 4 5 6 7\n2) 8 9 10 11 12 13 14 15\n",
       system,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
       -1,
       0},
      {"month-named dates",
       "30-Sep-2017,3,11,19,25,38,44\n27-Sep-2017,1,5,12,26,41,47\n",
       plain,
       {1, 2, 3, 4, 5, 6},
       0,
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ColumnLayout layout = Decide(c.text, c.needs);
    EXPECT_EQ(layout.numbers, c.numbers);
    EXPECT_EQ(layout.date, c.date);
    EXPECT_EQ(layout.drawNumber, c.drawNumber);
  }
}

TEST(Columns, AHeadingSaysWhatItsColumnHolds) {
  const std::vector<std::pair<const char*, HeadingSays>> cases = {
      {"Ball 1", HeadingSays::Main},
      {"N3", HeadingSays::Main},
      {"NUMBER DRAWN 6", HeadingSays::Main},
      {"Kugel 2", HeadingSays::Main},
      {"Bola1", HeadingSays::Main},
      {"шар 4", HeadingSays::Main},
      {"5", HeadingSays::Main},
      {"1. Zahl", HeadingSays::Main},
      {"número 2", HeadingSays::Main},
      {"dezena", HeadingSays::Main},
      {"liczba 6", HeadingSays::Main},
      {"本数字1", HeadingSays::Main},
      {"Bonus Ball", HeadingSays::Extra},
      {"BONUS NUMBER", HeadingSays::Extra},
      {"Extra", HeadingSays::Extra},
      {"Supplementary 1", HeadingSays::Extra},
      {"Strong", HeadingSays::Extra},
      {"Superzahl", HeadingSays::Extra},
      {"Zusatzzahl", HeadingSays::Extra},
      {"Reintegro", HeadingSays::Extra},
      {"Complementario", HeadingSays::Extra},
      {"Jolly", HeadingSays::Extra},
      {"Glückszahl", HeadingSays::Extra},
      {"доп. шар", HeadingSays::Extra},
      {"BN", HeadingSays::Extra},
      {"המספר החזק/נוסף", HeadingSays::Extra},
      {"DrawNumber", HeadingSays::DrawNumber},
      {"DrawDate", HeadingSays::NotNumber},
      {"抽せん回", HeadingSays::DrawNumber},
      {"No", HeadingSays::DrawNumber},
      {"DRAW NUMBER", HeadingSays::DrawNumber},
      {"Ball Set", HeadingSays::NotNumber},
      {"Concurso", HeadingSays::DrawNumber},
      {"Date", HeadingSays::NotNumber},
      {"Machine", HeadingSays::NotNumber},
      {"Lancelot", HeadingSays::Nothing},
      {"", HeadingSays::Nothing},
  };
  for (const auto& [text, says] : cases) EXPECT_EQ(ReadHeading(text), says) << text;
}

TEST(Columns, HeadingsNameTheNumbersWhateverTheirRange) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<int> numbers;
    std::vector<std::string> heading;
  };
  const ColumnNeeds any{6, 6, kHighestOfAnyGame, {}};
  const std::vector<Case> cases = {
      // The bonus and the ball set would make a run of six distinct numbers as well.
      {"a bonus and a ball set after the balls",
       "Date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball,Ball Set\n"
       "13-Sep-2017,21,47,12,19,51,38,3,7\n09-Sep-2017,8,2,59,41,30,16,50,4\n",
       {1, 2, 3, 4, 5, 6},
       {"Date", "Ball 1", "Ball 2", "Ball 3", "Ball 4", "Ball 5", "Ball 6", "Bonus Ball",
        "Ball Set"}},
      {"the bonus first",
       "Bonus,N1,N2,N3,N4,N5,N6\n7,1,2,3,4,5,6\n9,8,10,11,12,13,14\n",
       {1, 2, 3, 4, 5, 6},
       {"Bonus", "N1", "N2", "N3", "N4", "N5", "N6"}},
      {"headings 1 .. 6 after a running draw number",
       "Draw,1,2,3,4,5,6,Extra\n100,2,9,17,33,60,41,5\n101,7,3,58,22,14,1,9\n"
       "102,8,19,44,23,30,50,2\n",
       {1, 2, 3, 4, 5, 6},
       {"Draw", "1", "2", "3", "4", "5", "6", "Extra"}},
      {"a running draw number and five numbers give no run at all",
       "7,3,11,19,25,38\n8,1,5,12,26,41\n9,4,9,17,30,44\n",
       {},
       {}},
      {"numbers in a different place on most rows (several games in one file): none taken",
       "1 2 3 4 5 6\nx 7 8 9 10 11 12\nx x 13 14 15 16 17 18\n19 20 21 22 23 24\n"
       "x 25 26 27 28 29 30\nx x 31 32 33 34 35 36\n",
       {},
       {}},
      {"no heading: the most consistent run of six",
       "5,12,40,33,71,88,9\n6,3,99,14,27,62,80\n7,1,2,3,4,5,6\n",
       {1, 2, 3, 4, 5, 6},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ColumnLayout layout = Decide(c.text, any);
    EXPECT_EQ(layout.numbers, c.numbers);
    EXPECT_EQ(layout.heading, c.heading);
  }
}

TEST(Columns, TheDayOrderIsTheUsualOneUnlessADayAbove12ShowsAnother) {
  const auto order = [](const char* first) {
    return Decide(std::string(first) + ",1,2,3,4,5,6\n05/04/2020,7,8,9,10,11,12\n").dayOrder;
  };
  EXPECT_EQ(order("03/04/2020"), DayOrder::Usual);
  EXPECT_EQ(order("13/04/2020"), DayOrder::DayFirst);
  EXPECT_EQ(order("04/13/2020"), DayOrder::MonthFirst);
  EXPECT_EQ(order("04-13-2020"), DayOrder::MonthFirst);
}

TEST(Columns, TheSampleEndsWhenFull) {
  ColumnFinder finder(ColumnNeeds{});
  std::vector<Cell> row;
  FreeCells("1 2 3 4 5 6", row);
  std::vector<Cell> few;
  FreeCells("1 2 3", few);
  EXPECT_TRUE(finder.add(few));  // too few numbers: not taken, and more is wanted
  int taken = 0;
  while (finder.add(row)) ++taken;
  EXPECT_EQ(taken, ColumnFinder::kSampleRows - 1);
  EXPECT_FALSE(finder.add(row));
}

}  // namespace
}  // namespace tallyra
