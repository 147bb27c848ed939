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
  int field = -1;           // the separated field it comes from (a listed draw gives several)
  int64_t value = 0;        // Int, capped far above any number of a draw
  WrittenDate date;         // Date
  std::string text;         // as written (a date without the time after it)
};

// A field of a separated line, blanks around it left out: a whole number ("12", or "12." as
// labels are written), a date, a number that is no ball ("-5", "1.5", "1,5", "1e3") or text;
// text with several runs of digits that do not make one amount is `mixed`.
Cell FieldCell(std::string_view field);

// The cells of a separated field: one, or the numbers of a field that lists a draw in one
// ("01-09-50-14-37-17", "3 14 15 22 40 41"), each as a cell of its own.
void FieldCells(std::string_view field, std::vector<Cell>& cells);

// The M a text names a game by, as in "Grand Lotto 6/55"; 0 when it names none.
int32_t GameNamedIn(std::string_view text);

// A free line's numbers, dates and words, appended to `cells`; anything else separates them. A
// sign counts only where it stands alone before the digits ("1 -5"), not in "6335-1" or the
// separating " - ".
void FreeCells(std::string_view line, std::vector<Cell>& cells);

}  // namespace tallyra
