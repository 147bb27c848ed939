#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyra {

// A date as a file writes it: "12.11.2019", "2019-11-12", "11/12/2019", "30-Sep-2017",
// "Sep 30, 2017", "Samstag, 30.09.2017".
struct WrittenDate {
  // Its three numbers in the order written, a two-digit year already made four; a date with a
  // month name keeps day, month (1..12), year, in whichever order it was written.
  int parts[3] = {0, 0, 0};
  char separator = 0;      // '.', '-', '/', or ' ' between a day, a month name and a year
  bool yearFirst = false;  // year, month, day
  bool monthNamed = false;
};

struct DateMatch {
  WrittenDate date;
  std::size_t length = 0;  // the date's own characters, a weekday before it included
  std::size_t taken = 0;   // with the time after it, if one follows
};

// A date at s[i], in the shapes players' files write:
// - numbers: a four-digit year first or last, or a two-digit year last, with the day and month
//   of one or two digits, all three set apart by one and the same '.', '-' or '/' ("11. 1. 2026"
//   may put a blank after each full stop, and then has a four-digit year);
// - a month name or its abbreviation (English, German, Spanish, Portuguese, Italian, French,
//   Polish, Russian; any case, a dot after it or not, UTF-8 or the 8-bit code page of its
//   language): "30-Sep-2017", "30/set/17", "30.Sep.2017", "30 September 2017", "30. September
//   2017", "30 de setembro de 2017", "30 сент. 2017", "1st October 2017", "Sep 30, 2017";
//   written with blanks, it has a four-digit year;
// - either of them after a weekday ("Sat 30-Sep-2017", "Samstag, 30.09.2017", "сб, 30.09.2017").
// It must not run on into a word. A time written after it (" 20:00", "T20:00:00.000Z",
// " 8:00 PM") is taken too, so that "20:00" does not turn into two more numbers. Nothing when
// no date starts at s[i]; whether the day exists is DayNumber's business.
std::optional<DateMatch> MatchDate(std::string_view s, std::size_t i);

// Which of the two first numbers of a date written in numbers is the day, when the year comes
// last. Usually dates written with '/' are month first ("03/04/2020" is 4 March) and those
// written with '.' or '-' day first; a column whose dates show a number above 12 in one place
// is read so throughout ("09-30-2017" is month first, and so is every date beside it).
enum class DayOrder : uint8_t { Usual, DayFirst, MonthFirst };

// Days since 1970-01-01, or nothing when no such day exists (or the year is below 1000).
std::optional<int64_t> DayNumber(const WrittenDate& date, DayOrder order = DayOrder::Usual);

}  // namespace tallyra
