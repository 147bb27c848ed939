#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/TextDecoding.h"
#include "model/Workspace.h"

namespace tallyra {

// The list an imported file is meant for: draws and stakes have six numbers a row, system
// stakes seven to twelve.
enum class ImportKind { Results, Stakes, System };

// The order in which the file lists its rows.
enum class HistoryOrder { OldestFirst, NewestFirst };

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

enum class SkipReason { TooFewNumbers, TooManyNumbers, OutOfRange, Repeat, BadDate };

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
};

inline constexpr std::size_t kMaxImportBytes = std::size_t{16} << 20;
inline constexpr int kMaxListedSkips = 1000;

struct ImportOptions {
  ImportKind kind = ImportKind::Results;
  int32_t highestNumber = kDefaultHighestNumber;
  // 1-based columns (fields or tokens of a line) holding the numbers, in their order; empty
  // to let the importer decide. Giving columns reads record lines as plain lines as well.
  std::vector<int> columns;
  std::optional<HistoryOrder> order;  // empty to let the importer decide
};

struct ImportedRow {
  std::array<int32_t, 12> numbers{};
  int size = 0;
  int line = 0;  // 1-based line of the file
};

struct ImportResult {
  ImportProblem problem = ImportProblem::None;
  TextEncoding encoding = TextEncoding::Bytes;
  ImportShape shape = ImportShape::Free;
  char separator = 0;                              // Separated: the field separator
  std::vector<int> columns;                        // 1-based columns read; empty for record lines
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
  std::size_t bytes = 0;  // size of the data given

  bool ok() const { return problem == ImportProblem::None; }
};

// Reads draw histories or stake lists in the shapes found in the wild. Every line that holds
// something but gives no row is listed with its reason, except headings before the first row.
ImportResult ImportList(std::string_view data, const ImportOptions& options);

// The rows in the program's record-line format, exactly as the list's own writer makes it.
std::string FormatImported(const ImportResult& result, ImportKind kind);

// "Line 7: the number 50 is outside 1..49" and the like, in the given language.
std::string DescribeSkip(const SkippedLine& skip, const ImportOptions& options, int32_t language);

// The message for a failed import, or for rows left out for capacity; empty when there is
// nothing to say.
std::string DescribeImport(const ImportResult& result, const ImportOptions& options,
                           int32_t language);

}  // namespace tallyra
