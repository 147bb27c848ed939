#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/Cells.h"

namespace tallyra {

// The separator of a file, or 0 for free lines: most of its first 200 records that hold
// something must have three fields or more, and nearly all of those fields must each hold one
// thing (a number, a date, a word or an amount). Tab is tried first, then ';', then ','.
char FindSeparator(std::string_view text);

// The largest number any game of "6 of M" draws: the columns are found up to it, whatever the
// game the user has set, and the game's M is then read from the numbers found.
inline constexpr int32_t kHighestOfAnyGame = 99;

// What a heading says its column holds.
enum class HeadingSays : uint8_t {
  Nothing,     // no heading, or a word that tells nothing
  Main,        // one of the numbers drawn: "Ball 1", "N3", "Kugel", "bola", "1" .. "6"
  Extra,       // a ball beside them: bonus, supplementary, Superzahl, reintegro, Jolly, доп.
  DrawNumber,  // the draw's own number: "Draw", "DRAW NUMBER", "Concurso", "Tirage"
  NotNumber,   // something else: the date, winners, amounts
};

// Reads one field of a heading line.
HeadingSays ReadHeading(std::string_view field);

// What the rows must hold.
struct ColumnNeeds {
  int least = 6;  // numbers a row holds at least
  int most = 6;   // and at most; above `least`, rows (of system stakes) run on to the first
                  // field without a number, from the first column that mostly holds one
  int32_t highestNumber = 49;
  std::vector<int> chosen;  // 1-based columns the caller chose, in their order; empty to decide
  bool fields = true;       // the rows are a separated file's fields, which a heading can name; the
                            // tokens of free lines do not line up with the words above them
};

// A game a row names beside its numbers ("Grand Lotto 6/55"): its M, and the text first seen.
struct NamedGame {
  int32_t highest = 0;
  std::string text;
};

// How the columns of a file were read; 0-based positions, -1 for none.
struct ColumnLayout {
  std::vector<int> numbers;
  int date = -1;
  int drawNumber = -1;
  DayOrder dayOrder = DayOrder::Usual;  // of the date column's dates written in numbers
  std::vector<std::string> heading;     // the heading's fields, when one came before the rows
  // Columns after the six that belong to the run in the rows that fill them: a row with a
  // number there drew more than six, and is no draw of this game.
  std::vector<int> beyond;
  // The games the rows name, when they name more than one: the file holds the draws of
  // several games, each row's game told by its name.
  std::vector<NamedGame> games;
};

// Decides from a sample of rows which fields hold the numbers, the date and the draw number.
// Draw numbers and row labels run on by one from row to row, or end in a full stop; of the
// neighbouring columns that could hold a draw's numbers, those a heading names as the numbers
// drawn win when most rows read there, then those that give the most good rows, the leftmost on
// a tie, as bonus numbers come after the main ones. A column the heading names as an extra ball
// or as anything but a number drawn is never one of them.
class ColumnFinder {
 public:
  static constexpr int kMaxPositions = 64;  // columns looked at
  static constexpr int kSampleRows = 5000;  // rows looked at

  explicit ColumnFinder(ColumnNeeds needs);

  // Takes a row into the sample when it holds enough whole numbers; a line of words before the
  // first such row may be the heading (the one with most fields wins over a note above it).
  // False once the sample is full: later rows change nothing.
  bool add(const std::vector<Cell>& row);

  ColumnLayout decide() const;

 private:
  ColumnNeeds m_needs;
  std::vector<std::vector<Cell>> m_sample;  // the texts left out, which nothing here reads
  int m_positions = 0;
  std::vector<std::string> m_heading;
  std::vector<NamedGame> m_games;
  std::vector<int> m_fieldOf;  // of the first row's cells, when they come from fields
};

}  // namespace tallyra
