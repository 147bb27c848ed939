#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/Dates.h"

namespace tallyra {

// What one field of a separated line, or one token of a free line, holds.
struct Cell {
  enum class Type : uint8_t { Empty, Int, Date, Text };
  Type type = Type::Empty;
  bool dotted = false;      // an integer written "6334." or "12)" the way row labels are
  bool numberLike = false;  // Text written as a number that is no ball: "-5", "1.5", "1e3"
  bool mixed = false;       // a separated field with several numbers in it
  int64_t value = 0;        // Int, capped far above any number of a draw
  WrittenDate date;         // Date
  std::string text;         // as written (a date without the time after it)
};

// A field of a separated line, blanks around it left out: a whole number ("12", or "12." as
// labels are written), a date, a number that is no ball ("-5", "1.5", "1,5", "1e3") or text;
// text with several runs of digits that do not make one amount is `mixed`.
Cell FieldCell(std::string_view field);

// A free line's numbers, dates and words, appended to `cells`; anything else separates them. A
// sign counts only where it stands alone before the digits ("1 -5"), not in "6335-1" or the
// separating " - ".
void FreeCells(std::string_view line, std::vector<Cell>& cells);

}  // namespace tallyra
