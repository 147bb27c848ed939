#include "import/Importer.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "import/Columns.h"
#include "import/FieldReader.h"
#include "import/TextScan.h"
#include "lists/ListEditing.h"
#include "lists/RecordReader.h"
#include "model/Problem.h"
#include "model/TextTable.h"

namespace tallyra {
namespace {

using textscan::IsBlankLine;
using textscan::IsDigit;

constexpr std::size_t kValueText = 40;

int Need(ImportKind kind) {
  return kind == ImportKind::System ? 7 : 6;
}
int Most(ImportKind kind) {
  return kind == ImportKind::System ? 12 : 6;
}
int Capacity(ImportKind kind) {
  return kind == ImportKind::Results ? kResultCapacity : kStakeCapacity;
}

// A value as messages show it: short, and with bytes that are no text escaped.
std::string Cut(std::string_view text) {
  return Excerpt(text, kValueText);
}

// "label - n,n,n;" with a label free of "-", as the program writes them.
bool IsRecordLine(std::string_view line) {
  line = textscan::TrimBlanks(line);
  if (line.empty() || line.back() != ';') return false;
  const std::size_t dash = line.find('-');
  if (dash == std::string_view::npos) return false;
  bool digit = false;
  for (std::size_t i = dash + 1; i + 1 < line.size(); ++i) {
    const char ch = line[i];
    if (IsDigit(ch)) {
      digit = true;
    } else if (ch != ' ' && ch != ',') {
      return false;
    }
  }
  return digit;
}

std::optional<SkippedLine> CheckNumbers(const std::vector<int64_t>& values, ImportKind kind,
                                        int32_t top) {
  SkippedLine skip;
  if (static_cast<int>(values.size()) < Need(kind)) {
    skip.reason = SkipReason::TooFewNumbers;
    skip.value = std::to_string(values.size());
    return skip;
  }
  if (static_cast<int>(values.size()) > Most(kind)) {
    skip.reason = SkipReason::TooManyNumbers;
    skip.value = std::to_string(values.size());
    return skip;
  }
  for (const int64_t v : values) {
    if (v < 1 || v > top) {
      skip.reason = SkipReason::OutOfRange;
      skip.value = v >= int64_t{1} << 40 ? std::string("...") : std::to_string(v);
      return skip;
    }
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (values[i] == values[j]) {
        skip.reason = SkipReason::Repeat;
        skip.value = std::to_string(values[i]);
        return skip;
      }
    }
  }
  return std::nullopt;
}

void NoteHighest(const std::vector<int64_t>& values, int line, ImportResult& result) {
  for (const int64_t v : values) {
    if (v > result.highestSeen) {
      result.highestSeen = static_cast<int32_t>(v);
      result.highestLine = line;
    }
  }
}

// Every line skipped, listed or not: those older than the draws kept for the list's capacity
// are counted with the draws left out afterwards.
using SkipLines = std::vector<int>;

void AddSkip(ImportResult& result, SkippedLine skip, SkipLines& lines) {
  lines.push_back(skip.line);
  ++result.skippedTotal;
  if (static_cast<int>(result.skipped.size()) < kMaxListedSkips) {
    result.skipped.push_back(std::move(skip));
  }
}

// The rows of a tabular file as cells, each with its line: the field reader's records of a
// separated file, the tokens of each line of a free one.
class CellRows {
 public:
  CellRows(std::string_view text, char separator)
      : m_reader(text, separator), m_separator(separator) {}

  // The next row's cells; `blank` when its line holds nothing but blanks and marks such as
  // form feeds, which free lines leave out by themselves.
  bool next(std::vector<Cell>& cells, int& line, bool& blank) {
    if (!m_reader.next(m_record)) return false;
    cells.clear();
    line = m_record.line;
    blank = IsBlankLine(m_record.text);
    if (m_separator) {
      for (std::size_t f = 0; f < m_record.fields.size(); ++f) {
        const std::size_t from = cells.size();
        FieldCells(m_record.fields[f], cells);
        for (std::size_t k = from; k < cells.size(); ++k) cells[k].field = static_cast<int>(f);
      }
    } else {
      FreeCells(m_record.text, cells);
    }
    return true;
  }

 private:
  FieldReader m_reader;
  char m_separator;
  FieldRecord m_record;
};

ColumnLayout DecideColumns(std::string_view text, char separator, const ImportOptions& options) {
  // Columns first, then M: the game set may not be the file's, and reading the columns by its
  // M would take a bonus ball for a main number once the file's numbers run above it.
  ColumnFinder finder(ColumnNeeds{Need(options.kind), Most(options.kind), kHighestOfAnyGame,
                                  options.columns, separator != 0});
  CellRows rows(text, separator);
  std::vector<Cell> cells;
  int line = 0;
  bool blank = false;
  while (rows.next(cells, line, blank) && finder.add(cells)) {
  }
  return finder.decide();
}

// Fields up to the last that holds something.
std::size_t Filled(const std::vector<Cell>& row) {
  std::size_t n = row.size();
  while (n > 0 && row[n - 1].type == Cell::Type::Empty) --n;
  return n;
}

// The cell at p, or nothing when the row has no such cell.
const Cell* CellAt(const std::vector<Cell>& cells, int p) {
  return p >= 0 && p < static_cast<int>(cells.size()) ? &cells[static_cast<std::size_t>(p)]
                                                      : nullptr;
}

bool SameTexts(const std::vector<Cell>& cells, const std::vector<std::string>& texts) {
  return std::equal(cells.begin(), cells.end(), texts.begin(), texts.end(),
                    [](const Cell& c, const std::string& t) { return c.text == t; });
}

bool Cancelled(const ImportOptions& options) {
  return options.cancel != nullptr && options.cancel->load();
}

void ReadTable(std::string_view text, const ColumnLayout& layout, const ImportOptions& options,
               ImportResult& result, SkipLines& skipLines) {
  const ImportKind kind = options.kind;
  const char separator = result.separator;
  std::vector<Cell> cells;
  std::vector<int64_t> values;
  std::vector<OrderKey> keys;      // dates or draw numbers of the rows, for the order
  std::vector<std::string> dates;  // the date text of each row, for the order's warning
  // A row that holds the same numbers, draw number and date as an earlier one is the same
  // draw written twice; only files with a date or a draw number can tell that apart from a
  // stake that is played twice.
  const bool repeatsKnown = layout.date >= 0 || layout.drawNumber >= 0;
  RepeatedRows repeats;
  std::vector<int64_t> previous;  // the numbers of the row taken last, and its line
  int previousLine = 0;
  bool seenRow = false;
  bool headingPassed = false;
  std::size_t headingFields = 0;  // of the heading that named prize columns
  CellRows rows(text, separator);
  int line = 0;
  bool blank = false;
  int linesRead = 0;
  while (rows.next(cells, line, blank)) {
    // A look at the cancel now and then costs nothing beside reading the lines.
    if ((++linesRead & 1023) == 0 && Cancelled(options)) {
      result.problem = ImportProblem::Cancelled;
      return;
    }
    if (blank || std::all_of(cells.begin(), cells.end(),
                             [](const Cell& c) { return c.type == Cell::Type::Empty; })) {
      continue;
    }
    values.clear();
    std::optional<SkippedLine> skip;
    // The heading the columns were found by is one, even when its names are the numbers 1 .. 6
    // and no date column tells it from a draw.
    const bool knownHeading =
        !seenRow && !layout.heading.empty() && SameTexts(cells, layout.heading);
    if (knownHeading) skip = SkippedLine{0, SkipReason::TooFewNumbers, {}};
    // The numbers end at the first column without one: system stakes end there, and a
    // six-number row that ends early has too few. A number that is no ball ends nothing: the
    // line is wrong.
    for (const int p : layout.numbers) {
      const Cell* c = CellAt(cells, p);
      if (!c) break;
      if (c->numberLike) {
        skip = SkippedLine{0, SkipReason::NotWholeNumber, Cut(c->text)};
        break;
      }
      if (c->type != Cell::Type::Int) break;
      values.push_back(c->value);
    }
    // A row of seven or more in the run is skipped whole: cut to six it would be a draw that
    // never was.
    if (!skip && !layout.beyond.empty() && static_cast<int>(values.size()) == Most(kind)) {
      std::size_t drawn = values.size();
      for (const int p : layout.beyond) {
        const Cell* c = CellAt(cells, p);
        if (!c || c->type != Cell::Type::Int) break;
        ++drawn;
      }
      if (drawn > values.size()) {
        skip = SkippedLine{0, SkipReason::SevenOrMore, std::to_string(drawn)};
      }
    }
    // In a file of several games, the rows of the others are no draws of this one.
    bool otherGame = false;
    if (!skip && !layout.games.empty()) {
      for (const Cell& c : cells) {
        const int32_t named = c.type == Cell::Type::Text ? GameNamedIn(c.text) : 0;
        if (named == 0) continue;
        if (named != options.gameHighest) {
          otherGame = true;
          skip = SkippedLine{0, SkipReason::OtherGame, Cut(c.text)};
        }
        break;
      }
    }
    if (!skip) skip = CheckNumbers(values, kind, kHighestOfAnyGame);
    OrderKey key;
    const Cell* date = CellAt(cells, layout.date);
    const Cell* drawNumber = CellAt(cells, layout.drawNumber);
    if (!skip && layout.date >= 0) {
      if (date && date->type == Cell::Type::Date) key = DayNumber(date->date, layout.dayOrder);
      if (!key) skip = SkippedLine{0, SkipReason::BadDate, date ? Cut(date->text) : std::string()};
    } else if (!skip && drawNumber && drawNumber->type == Cell::Type::Int) {
      key = drawNumber->value;
    }
    // The file's M is read from the rows that are whole but for it; only then is the game's
    // M held against them.
    if (!skip) {
      NoteHighest(values, line, result);
      skip = CheckNumbers(values, kind, options.highestNumber);
    }
    if (skip) {
      const bool words = knownHeading || std::any_of(cells.begin(), cells.end(), [](const Cell& c) {
                           return c.type == Cell::Type::Text && !c.numberLike;
                         });
      // Once the heading the columns were found by is passed, a line of words is a row with a
      // fault of its own: a row of a game with more balls, a note, and so it is listed.
      if (!seenRow && words && !headingPassed && !otherGame) {
        result.headerLines.push_back(line);
        AddSkip(result, SkippedLine{line, SkipReason::Heading, {}}, skipLines);
        if (separator != 0 && kind == ImportKind::Results && !layout.numbers.empty()) {
          std::vector<std::string_view> heading;
          for (const Cell& c : cells) heading.push_back(c.text);
          const std::array<int, 4> named = FindPrizeColumns(
              heading, *std::max_element(layout.numbers.begin(), layout.numbers.end()), layout.date,
              layout.drawNumber);
          if (named != std::array<int, 4>{}) {
            result.prizeColumns = named;
            headingFields = Filled(cells);
          }
        }
      } else {
        skip->line = line;
        AddSkip(result, std::move(*skip), skipLines);
      }
      headingPassed = headingPassed || knownHeading;
      continue;
    }
    seenRow = true;
    if (repeatsKnown) {
      DrawIdentity identity{values, {}, {}};
      auto told = [&](const Cell* c) {
        if (!c) return std::string();
        return c->type == Cell::Type::Date
                   ? std::to_string(DayNumber(c->date, layout.dayOrder).value_or(-1))
                   : c->text;
      };
      identity.date = told(date);
      identity.drawNumber = told(drawNumber);
      if (const std::optional<int> earlier = repeats.earlierLine(identity, line)) {
        AddSkip(result, SkippedLine{line, SkipReason::RepeatedRow, std::to_string(*earlier)},
                skipLines);
        continue;
      }
      // Other numbers under a name already read: a second draw of the evening or a slip. Taking
      // it unasked would count one draw twice.
      if (const std::optional<int> earlier = repeats.sameDrawLine(identity, line);
          earlier && options.repeatedDraws == RepeatedDraws::First) {
        AddSkip(result, SkippedLine{line, SkipReason::SecondDraw, std::to_string(*earlier)},
                skipLines);
        continue;
      }
    } else if (kind == ImportKind::Results && values == previous) {
      // Two draws can fall alike, but a line copied twice looks just the same: the user decides.
      AddSkip(result, SkippedLine{line, SkipReason::SuspectedRepeat, std::to_string(previousLine)},
              skipLines);
    }
    previous = values;
    previousLine = line;
    ImportedRow row;
    row.line = line;
    row.size = static_cast<int>(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
      row.numbers[k] = static_cast<int32_t>(values[k]);
    }
    // A row with more fields than its heading, such as one with an unquoted "10,50" in a file
    // separated by commas, would give amounts from the wrong columns: it gives none.
    const bool misfit = result.hasPrizeColumns() && Filled(cells) > headingFields;
    if (misfit) {
      ++result.unreadAmountsTotal;
      if (static_cast<int>(result.unreadAmounts.size()) < kMaxListedSkips) {
        result.unreadAmounts.push_back(UnreadAmount{line, 0, std::to_string(Filled(cells))});
      }
    }
    for (std::size_t t = 0; t < 4 && !misfit; ++t) {
      const int column = result.prizeColumns[t];
      if (column == 0 || column > static_cast<int>(cells.size())) continue;
      const std::string& amountText = cells[static_cast<std::size_t>(column) - 1].text;
      const ImportedAmount amount = ParseImportedAmount(amountText);
      row.prizes[t] = amount.value;
      if (amount.given && !amount.value) {
        ++result.unreadAmountsTotal;
        if (static_cast<int>(result.unreadAmounts.size()) < kMaxListedSkips) {
          result.unreadAmounts.push_back(
              UnreadAmount{line, static_cast<int>(t) + 3, Cut(amountText)});
        }
      }
    }
    result.rows.push_back(row);
    keys.push_back(key);
    dates.push_back(date ? date->text : std::string());
  }

  if (const std::optional<HistoryOrder> order = OrderOfKeys(keys)) {
    result.order = *order;
    result.orderBasis = layout.date >= 0 ? OrderBasis::Dates : OrderBasis::DrawNumbers;
  }
  // A history is in one order of dates: one that turns back somewhere was pieced together or
  // edited by hand, and the rows stored would not follow the draws as they were drawn.
  if (layout.date >= 0) {
    if (const auto r = FirstAgainstOrder(keys, options.order.value_or(result.order))) {
      result.outOfOrder = SkippedLine{result.rows[*r].line, SkipReason::OutOfOrder, Cut(dates[*r])};
    }
  }
}

// The record reader reads the file; this finds the line each of its records ends on and how
// many numbers it has, following the reader's own path through the text.
std::vector<std::pair<int, int>> LocateRecords(std::string_view text) {
  std::vector<std::pair<int, int>> records;
  int line = 1;
  std::size_t counted = 0;  // newlines before this position are in `line`
  auto lineAt = [&](std::size_t pos) {
    line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                        text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
    counted = pos;
    return line;
  };
  int numbers = 1;
  for (std::size_t pos = 3; pos < text.size(); ++pos) {
    const char ch = text[pos];
    if (ch == ',') {
      ++numbers;
    } else if (ch == ';') {
      records.emplace_back(lineAt(pos), numbers);
      numbers = 1;
      if (pos + 3 < text.size()) {
        const std::size_t dash = text.find('-', pos);
        if (dash == std::string_view::npos) break;
        pos = dash;
      }
    }
  }
  return records;
}

// Reads the program's own lines through the record reader. False when the reader refuses the
// text, which is then read as plain lines.
bool ReadRecordFile(std::string_view text, const ImportOptions& options, ImportResult& result,
                    SkipLines& skipLines) {
  const int columns = Most(options.kind) + 1;
  const int rows = kStakeCapacity + 1;
  std::vector<int32_t> cells(static_cast<std::size_t>(columns) * rows);
  const TableRef table{cells.data(), columns, rows};
  int32_t count = 0;
  const ReadOutcome outcome = ReadRecordLines(text, table, count, OverflowRule::RejectFile);
  if (outcome.status == ReadOutcome::Status::ListOverflow) {
    result.problem = ImportProblem::TooManyRows;
    result.rowsInFile = outcome.fileRecords;
    return true;
  }
  if (!outcome.ok()) return false;
  const auto records = LocateRecords(text);
  if (static_cast<int>(records.size()) != count) return false;  // cannot happen; be safe
  result.shape = ImportShape::RecordLines;
  std::vector<int64_t> values;
  for (int r = 1; r <= count; ++r) {
    const auto [line, numbers] = records[static_cast<std::size_t>(r) - 1];
    values.clear();
    for (int c = 1; c <= numbers; ++c) values.push_back(table(c, r));
    if (!CheckNumbers(values, options.kind, kHighestOfAnyGame)) NoteHighest(values, line, result);
    if (auto skip = CheckNumbers(values, options.kind, options.highestNumber)) {
      skip->line = line;
      AddSkip(result, std::move(*skip), skipLines);
      continue;
    }
    ImportedRow row;
    row.line = line;
    row.size = numbers;
    for (int c = 1; c <= numbers; ++c) row.numbers[static_cast<std::size_t>(c) - 1] = table(c, r);
    result.rows.push_back(row);
  }
  return true;
}

bool ColumnsFit(const std::vector<int>& columns, ImportKind kind) {
  if (columns.empty()) return true;
  const int n = static_cast<int>(columns.size());
  if (n < Need(kind) || n > Most(kind)) return false;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] < 1 || columns[i] > ColumnFinder::kMaxPositions * 16) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (columns[i] == columns[j]) return false;
    }
  }
  return true;
}

// Whether every line is blank, and whether every line holds something is one of the program's
// own record lines (or blank).
struct LineSurvey {
  bool blank = true;
  bool recordLines = true;
};

LineSurvey SurveyLines(std::string_view text) {
  LineSurvey survey;
  FieldReader lines(text, 0);
  FieldRecord line;
  while (lines.next(line) && (survey.blank || survey.recordLines)) {
    if (IsBlankLine(line.text)) continue;
    survey.blank = false;
    survey.recordLines = survey.recordLines && IsRecordLine(line.text);
  }
  return survey;
}

// Lines of the file older than the oldest draw kept had no room either way: they are counted
// as draws left out, not as lines skipped, so that the counts are the file's draws. Headings
// stay listed.
void LeaveOutOlderSkips(ImportResult& result, const SkipLines& skipLines) {
  const int oldestKept = result.rows.front().line;
  const bool newestFirst = result.order == HistoryOrder::NewestFirst;
  auto older = [&](int line) {
    const bool heading = std::find(result.headerLines.begin(), result.headerLines.end(), line) !=
                         result.headerLines.end();
    return !heading && (newestFirst ? line > oldestKept : line < oldestKept);
  };
  const auto olderLines =
      static_cast<int>(std::count_if(skipLines.begin(), skipLines.end(), older));
  std::erase_if(result.skipped, [&](const SkippedLine& s) { return older(s.line); });
  result.skippedTotal -= olderLines;
  result.dropped += olderLines;
  result.rowsInFile += olderLines;
}

// A count with its thousands set apart by a blank, as both languages write them: "4 530".
std::string Grouped(int count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ' ');
  return digits;
}

}  // namespace

std::string FormatImportedPrizes(const std::vector<ImportedRow>& rows, int firstLabel) {
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int64_t label = int64_t{firstLabel} + static_cast<int64_t>(i);
    if (label < 1 || !rows[i].hasAllPrizes()) continue;
    out += std::to_string(label);
    for (const std::optional<Money>& amount : rows[i].prizes) out += "; " + FormatAmount(*amount);
    out += "\r\n";
  }
  return out;
}

ImportResult ImportList(std::string_view data, const ImportOptions& options) {
  ImportResult result;
  result.bytes = data.size();
  result.capacity = Capacity(options.kind);
  if (!ColumnsFit(options.columns, options.kind)) {
    result.problem = ImportProblem::BadColumns;
    return result;
  }
  if (data.size() > kMaxImportBytes) {
    result.problem = ImportProblem::TooLarge;
    return result;
  }
  const DecodedText decoded = DecodeText(data);
  result.encoding = decoded.encoding;
  if (decoded.binary) {
    result.problem = ImportProblem::Binary;
    return result;
  }
  if (Cancelled(options)) {
    result.problem = ImportProblem::Cancelled;
    return result;
  }
  const LineSurvey survey = SurveyLines(decoded.text);
  if (survey.blank) {
    result.problem = ImportProblem::Empty;
    return result;
  }

  const bool recordLines = options.columns.empty() && survey.recordLines;
  SkipLines skipLines;
  if (!(recordLines && ReadRecordFile(decoded.text, options, result, skipLines))) {
    result = ImportResult{};
    result.bytes = data.size();
    result.capacity = Capacity(options.kind);
    result.encoding = decoded.encoding;
    result.separator = FindSeparator(decoded.text);
    result.shape = result.separator ? ImportShape::Separated : ImportShape::Free;
    const ColumnLayout layout = DecideColumns(decoded.text, result.separator, options);
    if (Cancelled(options)) {
      result.problem = ImportProblem::Cancelled;
      return result;
    }
    for (const int p : layout.numbers) result.columns.push_back(p + 1);
    if (result.separator) result.headingFields = layout.heading;
    result.dateColumn = layout.date + 1;
    result.drawNumberColumn = layout.drawNumber + 1;
    // A file of several games is read for the game set, and for no other: mixed, the draws
    // would be no history of any game.
    if (!layout.games.empty() &&
        std::none_of(layout.games.begin(), layout.games.end(),
                     [&](const NamedGame& g) { return g.highest == options.gameHighest; })) {
      for (const NamedGame& g : layout.games) result.games.push_back(Cut(g.text));
      result.problem = ImportProblem::SeveralGames;
      return result;
    }
    skipLines.clear();
    ReadTable(decoded.text, layout, options, result, skipLines);
  }
  if (result.problem != ImportProblem::None) return result;

  if (options.order) {
    result.order = *options.order;
    result.orderBasis = OrderBasis::Chosen;
  }
  if (result.order == HistoryOrder::NewestFirst)
    std::reverse(result.rows.begin(), result.rows.end());
  result.rowsInFile = static_cast<int>(result.rows.size());
  if (result.rows.empty()) {
    result.problem = ImportProblem::NothingUsable;
  } else if (result.rowsInFile > result.capacity) {
    if (options.kind == ImportKind::Results) {
      // The table keeps the most recent draws, as a load of a long history does.
      result.dropped = result.rowsInFile - result.capacity;
      result.rows.erase(result.rows.begin(), result.rows.begin() + result.dropped);
      LeaveOutOlderSkips(result, skipLines);
    } else {
      result.problem = ImportProblem::TooManyRows;
      result.rows.clear();
    }
  }
  return result;
}

std::string FormatImported(const ImportResult& result, ImportKind kind) {
  const auto count = static_cast<int32_t>(result.rows.size());
  if (kind == ImportKind::System) {
    auto table = std::make_unique<SystemTableT>();
    for (int32_t i = 1; i <= count && i <= SystemTableT::kCapacity; ++i) {
      const ImportedRow& row = result.rows[static_cast<std::size_t>(i) - 1];
      for (int c = 0; c < row.size; ++c) table->cell[c + 1][i] = row.numbers[c];
    }
    return FormatSystemFile(*table, count);
  }
  auto table = std::make_unique<StakeTableT>();
  for (int32_t i = 1; i <= count && i <= StakeTableT::kCapacity; ++i) {
    const ImportedRow& row = result.rows[static_cast<std::size_t>(i) - 1];
    for (int c = 0; c < 6; ++c) table->cell[c + 1][i] = row.numbers[c];
  }
  return FormatStakesFile(*table, count);
}

std::string DescribeSkip(const SkippedLine& skip, const ImportOptions& options, int32_t language) {
  std::string why;
  switch (skip.reason) {
    case SkipReason::TooFewNumbers:
      why = Format(TextId::TxtImportTooFew, language, {std::to_string(Need(options.kind))});
      break;
    case SkipReason::TooManyNumbers:
      why = Format(TextId::TxtImportTooMany, language, {std::to_string(Most(options.kind))});
      break;
    case SkipReason::OutOfRange:
      why = Format(TextId::TxtImportOutOfRange, language,
                   {skip.value, std::to_string(options.highestNumber)});
      break;
    case SkipReason::Repeat:
      why = Format(TextId::TxtImportRepeat, language, {skip.value});
      break;
    case SkipReason::BadDate:
      why = Format(TextId::TxtImportBadDate, language, {skip.value});
      break;
    case SkipReason::NotWholeNumber:
      why = Format(TextId::TxtImportNotWhole, language, {skip.value});
      break;
    case SkipReason::RepeatedRow:
      why = Format(TextId::TxtImportRepeatedRow, language, {skip.value});
      break;
    case SkipReason::SecondDraw:
      why = Format(TextId::TxtImportSecondDraw, language, {skip.value});
      break;
    case SkipReason::SuspectedRepeat:
      why = Format(TextId::TxtImportSuspectedRepeat, language, {skip.value});
      break;
    case SkipReason::SevenOrMore:
      why = Format(options.kind == ImportKind::Results ? TextId::TxtImportSevenOrMore
                                                       : TextId::TxtImportSystemRow,
                   language, {skip.value});
      break;
    case SkipReason::OtherGame:
      why = Format(TextId::TxtImportOtherGame, language, {skip.value});
      break;
    case SkipReason::Heading:
      why = Text(TextId::TxtImportHeadingLine, language);
      break;
    case SkipReason::OutOfOrder:
      why = Format(TextId::TxtImportOutOfOrder, language, {skip.value});
      break;
  }
  return Format(TextId::TxtImportLine, language, {std::to_string(skip.line), why});
}

std::string DescribeImport(const ImportResult& result, const ImportOptions& options,
                           int32_t language) {
  switch (result.problem) {
    case ImportProblem::Empty:
      return Text(TextId::TxtImportEmpty, language);
    case ImportProblem::Binary:
      return Text(TextId::TxtImportBinary, language);
    case ImportProblem::TooLarge:
      return Format(TextId::TxtImportTooLarge, language,
                    {std::to_string(result.bytes), std::to_string(kMaxImportBytes)});
    case ImportProblem::NothingUsable:
      return Format(TextId::TxtImportNothing, language, {std::to_string(Need(options.kind))});
    case ImportProblem::TooManyRows:
      return Format(TextId::TxtImportTooManyRows, language,
                    {std::to_string(result.rowsInFile), std::to_string(result.capacity)});
    case ImportProblem::BadColumns:
      return Format(TextId::TxtImportBadColumns, language,
                    {std::to_string(Need(options.kind)), std::to_string(Most(options.kind))});
    case ImportProblem::SeveralGames: {
      std::string games;
      for (const std::string& g : result.games) games += (games.empty() ? "" : ", ") + g;
      return Format(TextId::TxtImportSeveralGames, language, {games});
    }
    case ImportProblem::Cancelled:
    case ImportProblem::None:
      break;
  }
  if (result.dropped > 0) {
    return Format(TextId::TxtImportDrawsKept, language,
                  {Grouped(result.rowsInFile), Grouped(static_cast<int>(result.rows.size()))});
  }
  return {};
}

}  // namespace tallyra
