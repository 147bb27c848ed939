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

// The numbers of a field that lists a draw in one: "01-09-50-14-37-17", "3 14 15 22 40 41",
// "3, 14, 15". Two or more numbers of one or two digits, each pair set apart by the same mark
// ('-', ',', ';', '|' or blanks alone), blanks around it allowed. Empty for anything else.
std::vector<std::string_view> ListedNumbers(std::string_view field) {
  std::vector<std::string_view> numbers;
  char joiner = 0;
  std::size_t i = 0;
  while (i < field.size()) {
    const std::size_t n = DigitsAt(field, i);
    if (n == 0 || n > 2) return {};
    numbers.push_back(field.substr(i, n));
    i += n;
    if (i == field.size()) break;
    std::size_t j = i;
    while (j < field.size() && field[j] == ' ') ++j;
    char mark = ' ';
    if (j < field.size() &&
        (field[j] == '-' || field[j] == ',' || field[j] == ';' || field[j] == '|')) {
      mark = field[j++];
      while (j < field.size() && field[j] == ' ') ++j;
    }
    if (j == i || (joiner != 0 && mark != joiner)) return {};
    joiner = mark;
    i = j;
  }
  if (numbers.size() < 2) return {};
  return numbers;
}

}  // namespace

void FieldCells(std::string_view field, std::vector<Cell>& cells) {
  Cell cell = FieldCell(field);
  if (cell.type == Cell::Type::Text && !cell.numberLike) {
    const std::vector<std::string_view> numbers = ListedNumbers(textscan::TrimBlanks(field));
    for (const std::string_view number : numbers) {
      Cell& listed = cells.emplace_back();
      listed.type = Cell::Type::Int;
      listed.value = IntValue(number);
      listed.text = number;
    }
    if (!numbers.empty()) return;
  }
  cells.push_back(std::move(cell));
}

int32_t GameNamedIn(std::string_view text) {
  // "Lotto 6/42", "Grand Lotto 6/55": a six, a slash and the game's M, standing apart from
  // other digits and slashes, as no date is written.
  for (std::size_t i = text.find("6/"); i != std::string_view::npos; i = text.find("6/", i + 1)) {
    if (i > 0 && (IsDigit(text[i - 1]) || text[i - 1] == '/')) continue;
    const std::size_t n = DigitsAt(text, i + 2);
    if (n == 0 || n > 2) continue;
    if (i + 2 + n < text.size() && text[i + 2 + n] == '/') continue;
    const int32_t highest = static_cast<int32_t>(IntValue(text.substr(i + 2, n)));
    if (highest > 6) return highest;
  }
  return 0;
}

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
  // An amount such as "1 234,50" is one thing, not several numbers in one field; nor is a name
  // with a number or two in it ("Lotto 6/49", "EZ2 Lotto 11AM"), nor a draw listed in one field.
  const bool lettered = std::any_of(field.begin(), field.end(),
                                    [](char ch) { return IsWordChar(ch) && !IsDigit(ch); });
  cell.mixed = runs > (lettered ? 2 : 1) && !IsOneAmount(field) && ListedNumbers(field).empty();
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
