#include "import/Dates.h"

#include <array>

#include "import/TextScan.h"

namespace tallyra {
namespace {

using textscan::DigitsAt;
using textscan::IsWordChar;
using textscan::Number;

bool LeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

char Lower(char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
}

// The month an English name or its first three letters ("Sep", "SEPT" too) names, 1..12, or 0.
int MonthOfName(std::string_view word) {
  static constexpr std::array<std::string_view, 12> kNames = {
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  if (word.size() < 3) return 0;
  for (std::size_t m = 0; m < kNames.size(); ++m) {
    const std::string_view name = kNames[m];
    const bool whole = word.size() == name.size();
    const bool shortened = word.size() == 3 || (m == 8 && word.size() == 4);  // "Sept"
    if (!whole && !shortened) continue;
    if (word.size() > name.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < word.size() && same; ++k) same = Lower(word[k]) == name[k];
    if (same) return static_cast<int>(m) + 1;
  }
  return 0;
}

// "30-Sep-2017" at s[i], after the day's n1 digits: the characters of the date, or 0.
std::size_t MatchNamedMonth(std::string_view s, std::size_t i, std::size_t n1, WrittenDate& date) {
  std::size_t j = i + n1;
  if (n1 < 1 || n1 > 2 || j >= s.size()) return 0;
  const char sep = s[j];
  if (sep != '-' && sep != '/' && sep != '.' && sep != ' ') return 0;
  const std::size_t name = ++j;
  while (j < s.size() && ((s[j] >= 'a' && s[j] <= 'z') || (s[j] >= 'A' && s[j] <= 'Z'))) ++j;
  const int month = MonthOfName(s.substr(name, j - name));
  if (month == 0 || j >= s.size() || s[j] != sep) return 0;
  ++j;
  if (DigitsAt(s, j) != 4) return 0;
  date.parts[0] = Number(s, i, n1);
  date.parts[1] = month;
  date.parts[2] = Number(s, j, 4);
  date.separator = sep;
  date.yearFirst = false;
  date.monthNamed = true;
  return j + 4 - i;
}

// "12.11.2019", "2019-11-12", "11/12/2019" at s[i]: the characters of the date, or 0.
std::size_t MatchNumeric(std::string_view s, std::size_t i, std::size_t n1, WrittenDate& date) {
  auto isSep = [](char ch) { return ch == '.' || ch == '-' || ch == '/'; };
  std::size_t j = i + n1;
  if (j >= s.size() || !isSep(s[j])) return 0;
  const char sep = s[j++];
  const std::size_t n2 = DigitsAt(s, j);
  if (n2 < 1 || n2 > 2) return 0;
  const std::size_t at2 = j;
  j += n2;
  if (j >= s.size() || s[j] != sep) return 0;
  ++j;
  const std::size_t n3 = DigitsAt(s, j);
  const std::size_t at3 = j;
  j += n3;
  if (n1 == 4 && n3 >= 1 && n3 <= 2) {
    date.yearFirst = true;
  } else if (n1 >= 1 && n1 <= 2 && n3 == 4) {
    date.yearFirst = false;
  } else {
    return 0;
  }
  date.separator = sep;
  date.monthNamed = false;
  date.parts[0] = Number(s, i, n1);
  date.parts[1] = Number(s, at2, n2);
  date.parts[2] = Number(s, at3, n3);
  return j - i;
}

}  // namespace

std::optional<DateMatch> MatchDate(std::string_view s, std::size_t i) {
  DateMatch match;
  const std::size_t n1 = DigitsAt(s, i);
  if (n1 == 0) return std::nullopt;
  std::size_t length = MatchNumeric(s, i, n1, match.date);
  if (length == 0) length = MatchNamedMonth(s, i, n1, match.date);
  if (length == 0) return std::nullopt;
  std::size_t j = i + length;
  if (j < s.size() && IsWordChar(s[j]) && s[j] != 'T') return std::nullopt;
  match.length = length;
  // An optional time: " 20:00", "T20:00:00".
  if (j + 1 < s.size() && (s[j] == ' ' || s[j] == 'T')) {
    std::size_t k = j + 1;
    const std::size_t h = DigitsAt(s, k);
    if (h >= 1 && h <= 2 && k + h < s.size() && s[k + h] == ':' && DigitsAt(s, k + h + 1) == 2) {
      k += h + 3;
      if (k < s.size() && s[k] == ':' && DigitsAt(s, k + 1) == 2) k += 3;
      if (k >= s.size() || !IsWordChar(s[k])) j = k;
    }
  }
  match.taken = j - i;
  return match;
}

std::optional<int64_t> DayNumber(const WrittenDate& date, bool dayFirstSlashes) {
  int y, m, d;
  if (date.yearFirst) {
    y = date.parts[0], m = date.parts[1], d = date.parts[2];
  } else if (date.separator == '/' && !date.monthNamed && !dayFirstSlashes) {
    m = date.parts[0], d = date.parts[1], y = date.parts[2];
  } else {
    d = date.parts[0], m = date.parts[1], y = date.parts[2];
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1000 || m < 1 || m > 12 || d < 1) return std::nullopt;
  if (d > kDays[m - 1] + (m == 2 && LeapYear(y))) return std::nullopt;
  // Days from civil (proleptic Gregorian).
  const int yy = y - (m <= 2);
  const int era = yy / 400;
  const int yoe = yy - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return int64_t{era} * 146097 + doe - 719468;
}

}  // namespace tallyra
