#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/Order.h"
#include "import/PrizeCells.h"
#include "import/TextDecoding.h"
#include "model/Workspace.h"
#include "winnings/Money.h"

namespace tallyra {

// The list an imported file is meant for: draws and stakes have six numbers a row, system
// stakes seven to twelve.
enum class ImportKind { Results, Stakes, System };

// What the order was decided from.
enum class OrderBasis {
  Dates,        // a date column
  DrawNumbers,  // a column that runs up or down row by row
  Assumed,      // nothing to go by: oldest first, as the program's own files are
  Chosen,       // the caller said so
};

enum class ImportShape {
  RecordLines,  // the program's own "label - n,n,n;" lines, read by the record reader
  Separated,    // fields split by "," ";" or tab, quotes allowed
  Free,         // numbers and dates split by anything that is not a digit or a letter
};

enum class SkipReason {
  TooFewNumbers,
  TooManyNumbers,
  OutOfRange,
  Repeat,
  BadDate,
  NotWholeNumber,   // a number column holds "-5", "1.5", "1e3" or the like
  RepeatedRow,      // the same row, draw number and date as an earlier line (`value`)
  SecondDraw,       // other numbers under the draw number and date of an earlier line (`value`)
  SuspectedRepeat,  // kept: the numbers of the line before (`value`), nothing to tell them apart
  SevenOrMore,      // the main run holds more numbers than a draw has (their count in `value`)
  OtherGame,        // the row names a game other than the one set (its name in `value`)
  Heading,          // a heading line
  OutOfOrder,       // only as ImportResult::outOfOrder: the date (`value`) breaks the order
};

struct SkippedLine {
  int line = 0;  // 1-based
  SkipReason reason = SkipReason::TooFewNumbers;
  std::string value;  // the number or the date text at fault, cut short
};

enum class ImportProblem {
  None,
  Empty,          // nothing but blanks
  Binary,         // not a text file
  TooLarge,       // above kMaxImportBytes
  NothingUsable,  // no row could be read
  TooManyRows,    // more stakes than the list can hold
  BadColumns,     // the chosen columns do not fit the kind
  Cancelled,      // the reader was asked to stop; nothing of it counts
  SeveralGames,   // the rows name several games, and none of them is the game set
};

inline constexpr std::size_t kMaxImportBytes = std::size_t{16} << 20;
inline constexpr int kMaxListedSkips = 1000;

// What becomes of a row that repeats the draw number and date of an earlier one with other
// numbers: it is listed, and taken only when asked.
enum class RepeatedDraws { First, All };

struct ImportOptions {
  ImportKind kind = ImportKind::Results;
  // The game's M: rows with a number above it are listed as out of range. The columns are
  // found without it, for any game up to kHighestOfAnyGame.
  int32_t highestNumber = kDefaultHighestNumber;
  // 1-based columns (fields or tokens of a line) holding the numbers, in their order; empty
  // to let the importer decide. Giving columns reads record lines as plain lines as well.
  std::vector<int> columns;
  std::optional<HistoryOrder> order;  // empty to let the importer decide
  RepeatedDraws repeatedDraws = RepeatedDraws::First;
  // The M of the game the user set, 0 for none. In a file that holds the draws of several
  // games, each row named by its game ("Grand Lotto 6/55"), only that game's rows are taken.
  int32_t gameHighest = 0;
  // Looked at between lines: once set, the read ends with ImportProblem::Cancelled.
  const std::atomic<bool>* cancel = nullptr;
};

// The amounts a draw paid for one ticket with 3, 4, 5 and 6 common numbers, at [0] .. [3], as
// its prize columns give them; a tier the file leaves empty (or "-") has none.
using ImportedPrizes = std::array<std::optional<Money>, 4>;

struct ImportedRow {
  std::array<int32_t, 12> numbers{};
  int size = 0;
  int line = 0;           // 1-based line of the file
  ImportedPrizes prizes;  // draws only, and only when the heading names prize columns

  bool hasAllPrizes() const { return prizes[0] && prizes[1] && prizes[2] && prizes[3]; }
};

// A prize cell that holds something other than an amount; the row keeps its numbers and that
// tier has no amount. Tier 0: the line has more fields than the heading (their count in
// `value`), so its cells cannot be matched to the prize columns and it gives no amounts.
struct UnreadAmount {
  int line = 0;       // 1-based
  int tier = 3;       // 3, 4, 5 or 6 common numbers, or 0
  std::string value;  // the cell's text, cut short
};

struct ImportResult {
  ImportProblem problem = ImportProblem::None;
  TextEncoding encoding = TextEncoding::Bytes;
  ImportShape shape = ImportShape::Free;
  char separator = 0;                              // Separated: the field separator
  std::vector<int> columns;                        // 1-based columns read; empty for record lines
  int32_t highestSeen = 0;                         // the largest main number read in the columns
  std::vector<std::string> headingFields;          // the heading's fields, when one was found
  std::vector<std::string> games;                  // the games named, in a file of several
  int highestLine = 0;                             // the first line holding highestSeen
  int dateColumn = 0;                              // 1-based, 0 when there is none
  int drawNumberColumn = 0;                        // 1-based, 0 when there is none
  HistoryOrder order = HistoryOrder::OldestFirst;  // the file's order
  OrderBasis orderBasis = OrderBasis::Assumed;
  std::vector<int> headerLines;      // lines taken as headings and passed over
  std::vector<ImportedRow> rows;     // oldest first; the oldest drawn ones left out if too many
  int rowsInFile = 0;                // rows read before any were left out
  int dropped = 0;                   // oldest draws left out for the list's capacity
  int capacity = 0;                  // rows the list holds
  std::vector<SkippedLine> skipped;  // the first kMaxListedSkips, by line
  int skippedTotal = 0;
  // The first row whose date goes against the order the history is taken in; the rows are
  // still read, but the user should look at the file before trusting it.
  std::optional<SkippedLine> outOfOrder;
  std::size_t bytes = 0;  // size of the data given
  // Draw histories with a heading: the 1-based columns holding the amounts for 3, 4, 5 and 6
  // common numbers, 0 where the heading names none. See FindPrizeColumns.
  std::array<int, 4> prizeColumns{};
  std::vector<UnreadAmount> unreadAmounts;  // the first kMaxListedSkips
  int unreadAmountsTotal = 0;

  bool hasPrizeColumns() const {
    return prizeColumns[0] || prizeColumns[1] || prizeColumns[2] || prizeColumns[3];
  }

  bool ok() const { return problem == ImportProblem::None; }
};

// Reads draw histories or stake lists in the shapes found in the wild. Every line that holds
// something but gives no row is listed with its reason, except headings before the first row.
ImportResult ImportList(std::string_view data, const ImportOptions& options);

// The per-draw prize file of the imported draws that carry all four amounts, oldest first:
// "label; a3; a4; a5; a6" lines ended by CR LF, as the prize file reader takes them. The label
// is the draw's position in the stored history counting from 1; `firstLabel` is the position
// of rows[0] (rows whose position falls below 1 had no room and are left out).
std::string FormatImportedPrizes(const std::vector<ImportedRow>& rows, int firstLabel = 1);

// The rows in the program's record-line format, exactly as the list's own writer makes it.
std::string FormatImported(const ImportResult& result, ImportKind kind);

// "Line 7: the number 50 is outside 1..49" and the like, in the given language.
std::string DescribeSkip(const SkippedLine& skip, const ImportOptions& options, int32_t language);

// The message for a failed import, or for rows left out for capacity; empty when there is
// nothing to say.
std::string DescribeImport(const ImportResult& result, const ImportOptions& options,
                           int32_t language);

}  // namespace tallyra
