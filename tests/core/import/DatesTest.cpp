#include "import/Dates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallyra {
namespace {

// The day number of 2019-11-12, and of other days counted from it.
constexpr int64_t k20191112 = 18212;

TEST(Dates, EveryShapeFilesWriteIsReadToItsDay) {
  struct Case {
    std::string text;
    int64_t day;        // days after 2019-11-12
    std::size_t taken;  // characters taken, a time included
    bool dayFirstSlashes = false;
  };
  const std::vector<Case> cases = {
      {"12.11.2019", 0, 10},
      {"2019-11-12", 0, 10},
      {"2019/11/12", 0, 10},
      {"12-11-2019", 0, 10},
      {"11/12/2019", 0, 10},  // slashes: month first
      {"12/11/2019", 0, 10, true},
      {"1.1.2020", 50, 8},
      {"12.11.2019 20:00", 0, 16},
      {"2019-11-12T20:00:00", 0, 19},
      {"12-Nov-2019", 0, 11},
      {"12 November 2019", 0, 16},
      {"12/nov/2019", 0, 11},  // a named month is never first
      {"12.NOV.2019 08:30 rest", 0, 17},
      {"30-Sept-2019", -43, 12},
      {"29.02.2020", 109, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<DateMatch> m = MatchDate(c.text, 0);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->taken, c.taken);
    EXPECT_EQ(DayNumber(m->date, c.dayFirstSlashes), k20191112 + c.day);
  }
}

TEST(Dates, WhatIsNoDateOrNoDay) {
  // No date begins here.
  for (const char* text :
       {"12.11.19", "123.11.2019", "12.11-2019", "12..2019", "12.11.2019x", "12-Nox-2019",
        "12-No-2019", "12-Nov-19", "12 Nov-2019", "2019-Nov-12", "6330", "1.5"}) {
    EXPECT_FALSE(MatchDate(text, 0).has_value()) << text;
  }
  // Dates that name no day.
  for (const char* text : {"30.02.2020", "29.02.2019", "31-Apr-2020", "00.01.2020", "01.13.2020",
                           "13/13/2020", "01.01.0999"}) {
    const std::optional<DateMatch> m = MatchDate(text, 0);
    ASSERT_TRUE(m.has_value()) << text;
    EXPECT_FALSE(DayNumber(m->date, false).has_value()) << text;
  }
  // A time that runs on into a word is no time; the date alone is taken.
  EXPECT_EQ(MatchDate("12.11.2019 20:00h", 0)->taken, 10u);
  // A date inside a line, where the line says it begins.
  EXPECT_EQ(MatchDate("6330. 30.11.2019 3", 6)->length, 10u);
}

}  // namespace
}  // namespace tallyra
