#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyra {

// A date as a file writes it: "12.11.2019", "2019-11-12", "11/12/2019", "30-Sep-2017".
struct WrittenDate {
  int parts[3] = {0, 0, 0};  // its three numbers in the order written; a month name as 1..12
  char separator = 0;        // '.', '-', '/', or ' ' between a day, a month name and a year
  bool yearFirst = false;    // year, month, day
  bool monthNamed = false;   // day, month name, year
};

struct DateMatch {
  WrittenDate date;
  std::size_t length = 0;  // the date's own characters
  std::size_t taken = 0;   // with the time after it, if one follows
};

// A date at s[i]: a four-digit year first or last, the day and month of one or two digits, all
// three set apart by one and the same '.', '-' or '/'; or a day, an English month name (whole or
// its first three letters, in any case) and a four-digit year, set apart by '-', '/', '.' or a
// blank. It must not run on into a word. A time written after it (" 20:00", "T20:00:00") is
// taken too, so that "20:00" does not turn into two more numbers. Nothing when no date starts
// at s[i]; whether the day exists is DayNumber's business.
std::optional<DateMatch> MatchDate(std::string_view s, std::size_t i);

// Days since 1970-01-01, or nothing when no such day exists (or the year is below 1000).
// Dates written with '/' and the day not first by name are month first ("03/04/2020" is
// 4 March) unless `dayFirstSlashes`: a column whose slashed dates show a day above 12 is day
// first throughout.
std::optional<int64_t> DayNumber(const WrittenDate& date, bool dayFirstSlashes);

}  // namespace tallyra
