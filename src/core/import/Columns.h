#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "import/Cells.h"

namespace tallyra {

// The separator of a file, or 0 for free lines: most of its first 200 records that hold
// something must have three fields or more, and nearly all of those fields must each hold one
// thing (a number, a date, a word or an amount). Tab is tried first, then ';', then ','.
char FindSeparator(std::string_view text);

// What the rows must hold.
struct ColumnNeeds {
  int least = 6;  // numbers a row holds at least
  int most = 6;   // and at most; above `least`, rows (of system stakes) run on to the first
                  // field without a number, from the first column that mostly holds one
  int32_t highestNumber = 49;
  std::vector<int> chosen;  // 1-based columns the caller chose, in their order; empty to decide
};

// How the columns of a file were read; 0-based positions, -1 for none.
struct ColumnLayout {
  std::vector<int> numbers;
  int date = -1;
  int drawNumber = -1;
  bool dayFirstSlashes = false;  // the date column's slashed dates are day first
};

// Decides from a sample of rows which fields hold the numbers, the date and the draw number.
// Draw numbers and row labels run on by one from row to row, or end in a full stop; of the
// neighbouring columns that could hold a draw's numbers, those that give the most good rows win,
// the leftmost on a tie, as bonus numbers come after the main ones.
class ColumnFinder {
 public:
  static constexpr int kMaxPositions = 64;  // columns looked at
  static constexpr int kSampleRows = 5000;  // rows looked at

  explicit ColumnFinder(ColumnNeeds needs);

  // Takes a row into the sample when it holds enough whole numbers. False once the sample is
  // full: later rows change nothing.
  bool add(const std::vector<Cell>& row);

  ColumnLayout decide() const;

 private:
  ColumnNeeds m_needs;
  std::vector<std::vector<Cell>> m_sample;  // the texts left out, which nothing here reads
  int m_positions = 0;
};

}  // namespace tallyra
