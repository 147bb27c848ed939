#include "import/Cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallyra {
namespace {

// A cell in short: "7", "7." (dotted), "d:12.11.2019", "n:-5" (number-like), "m:..." (mixed),
// "t:word", "" (empty).
std::string Show(const Cell& c) {
  switch (c.type) {
    case Cell::Type::Empty:
      return "";
    case Cell::Type::Int:
      return std::to_string(c.value) + (c.dotted ? "." : "");
    case Cell::Type::Date:
      return "d:" + c.text;
    case Cell::Type::Text:
      return (c.numberLike ? "n:" : c.mixed ? "m:" : "t:") + c.text;
  }
  return "?";
}

TEST(Cells, AFieldHoldsOneThing) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {" 12 ", "12"},
      {"6334.", "6334."},
      {"2,", "2"},  // a web table's list comma, kept inside quotes
      {"", ""},
      {"  ", ""},
      {"12.11.2019", "d:12.11.2019"},
      {"30-Sep-2017", "d:30-Sep-2017"},
      {"12.11.2019 20:00", "d:12.11.2019"},
      {"-5", "n:-5"},
      {"1,5", "n:1,5"},
      {"1e3", "n:1e3"},
      {"Ball 1", "t:Ball 1"},
      {"1 234,50 €", "t:1 234,50 €"},  // one amount, not three numbers
      {"1 000", "t:1 000"},            // one amount too
      {"AB12 CD34 EF56", "m:AB12 CD34 EF56"},
      {"EZ2 Lotto 11AM", "t:EZ2 Lotto 11AM"},  // a name with a number or two
      {"Grand Lotto 6/55", "t:Grand Lotto 6/55"},
      {"99999999999999999999", "1099511627776"},  // capped far above any ball
      // A draw listed in one field gives a cell a number; mixed joins do not.
      {"01-09-50-14-37-17", "1|9|50|14|37|17"},
      {" 3, 20 ,34 ", "3|20|34"},
      {"3 20 34", "3|20|34"},
      {"3-20 34", "m:3-20 34"},
      {"3-200-34", "m:3-200-34"},
  };
  for (const auto& [field, shown] : cases) {
    std::vector<Cell> cells;
    FieldCells(field, cells);
    std::string got;
    for (const Cell& c : cells) {
      if (!got.empty()) got += '|';
      got += Show(c);
    }
    EXPECT_EQ(got, shown) << field;
  }
  EXPECT_EQ(GameNamedIn("Grand Lotto 6/55"), 55);
  EXPECT_EQ(GameNamedIn("Lotto 6/42 draw"), 42);
  for (const char* none : {"6/13/2022", "16/55", "Lotto", "6/5", "6/555"}) {
    EXPECT_EQ(GameNamedIn(none), 0) << none;
  }
}

TEST(Cells, AFreeLineSplitsIntoNumbersDatesAndWords) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
      {"6330. 30.11.2019 3,20,34", {"6330.", "d:30.11.2019", "3", "20", "34"}},
      {"12) 1 - 2 - 3", {"12.", "1", "2", "3"}},
      {"1 -5 6335-1 +7", {"1", "n:-5", "6335", "1", "n:+7"}},
      {"1.5 1e3 1e3x", {"n:1.5", "n:1e3", "t:1e3x"}},
      {"30 Sep 2017 20:00 Draw7", {"d:30 Sep 2017", "t:Draw7"}},
      {"Тираж 5", {"t:Тираж", "5"}},
      {" ;,\t", {}},
  };
  for (const auto& [line, shown] : cases) {
    std::vector<Cell> cells;
    FreeCells(line, cells);
    std::vector<std::string> got;
    for (const Cell& c : cells) got.push_back(Show(c));
    EXPECT_EQ(got, shown) << line;
  }
}

}  // namespace
}  // namespace tallyra
