#include "import/Cells.h"

#include <algorithm>

#include "import/PrizeCells.h"
#include "import/TextScan.h"

namespace tallyra {
namespace {

using textscan::DigitsAt;
using textscan::IsDigit;
using textscan::IsWordChar;

// A date at s[i] into `cell`, with the characters it takes (a time after it included), or 0.
std::size_t MatchDateCell(std::string_view s, std::size_t i, Cell& cell) {
  const std::optional<DateMatch> match = MatchDate(s, i);
  if (!match) return 0;
  cell.type = Cell::Type::Date;
  cell.date = match->date;
  cell.text = s.substr(i, match->length);
  return match->taken;
}

// The digits at s[i] with a sign before them, a decimal point or an exponent: "-5", "+7",
// "1.5", "1e3". They were written as a number, but no ball is numbered so, and reading the
// digits alone would store a number the file does not hold. A sign counts only where it
// stands alone before the digits ("1 -5"), not in "6335-1" or the separating " - ". Returns
// the characters taken from i on; the cell's text starts at the sign.
std::size_t MatchSignedOrDecimal(std::string_view s, std::size_t i, Cell& cell) {
  const bool signedHere = i > 0 && (s[i - 1] == '-' || s[i - 1] == '+') &&
                          (i == 1 || !(IsWordChar(s[i - 2]) || s[i - 2] == '-' || s[i - 2] == '+' ||
                                       s[i - 2] == '.' || s[i - 2] == ','));
  std::size_t j = i + DigitsAt(s, i);
  bool decimal = false, exponent = false;
  if (j + 1 < s.size() && s[j] == '.' && IsDigit(s[j + 1])) {
    decimal = true;
    j += 1 + DigitsAt(s, j + 1);
  }
  if (j + 1 < s.size() && (s[j] == 'e' || s[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    if (DigitsAt(s, k) > 0) {
      exponent = true;
      j = k + DigitsAt(s, k);
    }
  }
  if (!(signedHere || decimal || exponent)) return 0;
  if (j < s.size() && IsWordChar(s[j])) return 0;  // "1e3x" is a word
  const std::size_t from = signedHere ? i - 1 : i;
  cell.type = Cell::Type::Text;
  cell.numberLike = true;
  cell.text = s.substr(from, j - from);
  return j - i;
}

// A whole separated field written as a number that is no ball, as above; "1,5" is one too in
// a file that is not separated by commas.
bool NumberLikeField(std::string_view field) {
  std::size_t i = 0;
  const bool sign = !field.empty() && (field[0] == '-' || field[0] == '+');
  i += sign;
  std::size_t n = DigitsAt(field, i);
  if (n == 0) return false;
  i += n;
  bool decimal = false, exponent = false;
  if (i + 1 < field.size() && (field[i] == '.' || field[i] == ',') && IsDigit(field[i + 1])) {
    decimal = true;
    i += 1 + DigitsAt(field, i + 1);
  }
  if (i + 1 < field.size() && (field[i] == 'e' || field[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < field.size() && (field[k] == '+' || field[k] == '-')) ++k;
    n = DigitsAt(field, k);
    if (n == 0) return false;
    exponent = true;
    i = k + n;
  }
  return i == field.size() && (sign || decimal || exponent);
}

int64_t IntValue(std::string_view digits) {
  int64_t v = 0;
  for (char ch : digits) v = std::min<int64_t>(v * 10 + (ch - '0'), int64_t{1} << 40);
  return v;
}

}  // namespace

Cell FieldCell(std::string_view field) {
  Cell cell;
  field = textscan::TrimBlanks(field);
  cell.text = field;
  if (field.empty()) return cell;
  std::string_view digits = field;
  // Tables copied from web pages keep the comma that listed the numbers: a quoted "2," is 2.
  const bool listed = digits.size() > 1 && digits.back() == ',';
  if (listed || digits.back() == '.') digits.remove_suffix(1);
  if (!digits.empty() && DigitsAt(digits, 0) == digits.size()) {
    cell.type = Cell::Type::Int;
    cell.value = IntValue(digits);
    cell.dotted = !listed && digits.size() < field.size();
    return cell;
  }
  if (MatchDateCell(field, 0, cell) > 0) return cell;
  cell.type = Cell::Type::Text;
  if (NumberLikeField(field)) {
    cell.numberLike = true;
    return cell;
  }
  int runs = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    runs += IsDigit(field[i]) && (i == 0 || !IsDigit(field[i - 1]));
  }
  // An amount such as "1 234,50" is one thing, not several numbers in one field.
  cell.mixed = runs > 1 && !IsOneAmount(field);
  return cell;
}

void FreeCells(std::string_view s, std::vector<Cell>& cells) {
  std::size_t i = 0;
  while (i < s.size()) {
    if (!IsWordChar(s[i])) {
      ++i;
      continue;
    }
    Cell cell;
    // A date is looked for before the line is cut at its blanks: "Sep 30, 2017" and
    // "Sat 30 September 2017 20:00" are one date, not a word and two numbers.
    if (const std::size_t taken = MatchDateCell(s, i, cell); taken > 0) {
      cells.push_back(std::move(cell));
      i += taken;
      continue;
    }
    if (IsDigit(s[i])) {
      if (const std::size_t taken = MatchSignedOrDecimal(s, i, cell); taken > 0) {
        cells.push_back(std::move(cell));
        i += taken;
        continue;
      }
    }
    std::size_t j = i;
    bool digitsOnly = true;
    for (; j < s.size() && IsWordChar(s[j]); ++j) digitsOnly = digitsOnly && IsDigit(s[j]);
    cell.text = s.substr(i, j - i);
    if (digitsOnly) {
      cell.type = Cell::Type::Int;
      cell.value = IntValue(cell.text);
      cell.dotted = j < s.size() &&
                    (s[j] == ')' || (s[j] == '.' && (j + 1 == s.size() || !IsDigit(s[j + 1]))));
    } else {
      cell.type = Cell::Type::Text;
    }
    cells.push_back(std::move(cell));
    i = j;
  }
}

}  // namespace tallyra
