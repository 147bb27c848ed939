// tallyra-cli import: reads a draw history or a stake list in a shape found in the wild and
// writes it as record lines, oldest draw first, optionally merged into a held history.

#include "cli/Commands.h"

#include <sys/stat.h>
#include <memory>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "import/Columns.h"
#include "import/Games.h"
#include "import/ImportFile.h"
#include "import/Importer.h"
#include "import/Merge.h"
#include "lists/RecordReader.h"
#include "model/DataFiles.h"
#include "model/Files.h"
#include "model/Integer.h"
#include "model/Problem.h"
#include "model/TextTable.h"
#include "winnings/Prizes.h"

namespace tallyra::cli {

// tallyra-cli import FILE --as results|stakes|system [...]: reads a draw history or a stake
// list in a shape found in the wild and writes it as record lines, oldest draw first,
// optionally merged into a held history. Exits with 1 when nothing was usable or nothing was
// written.
class ImportCommand final : public Command {
 public:
  ImportCommand();
  int run(const Arguments& args, Output& output) const override;
};
namespace {

constexpr int32_t kEnglish = 1;

struct Call {
  std::string file;
  ImportOptions options;
  bool maxGiven = false;       // without --max or --game, M is the largest number read
  const Game* game = nullptr;  // --game
  std::optional<std::string> mergeInto;
  std::optional<std::string> out;
  std::optional<std::string> prizesOut;
  bool json = false;
};

// The call's options, checked as the importer needs them.
Call ReadCall(const Arguments& args) {
  Call call;
  call.file = args.word(0);
  if (auto kind = args.value("--as")) {
    if (*kind == "results") {
      call.options.kind = ImportKind::Results;
    } else if (*kind == "stakes") {
      call.options.kind = ImportKind::Stakes;
    } else if (*kind == "system") {
      call.options.kind = ImportKind::System;
    } else {
      throw UsageError{"--as takes results, stakes or system"};
    }
  }
  if (auto columns = args.numbers("--columns", 1, std::numeric_limits<int32_t>::max(),
                                  "--columns takes column numbers from 1, like 3,4,5,6,7,8")) {
    call.options.columns.assign(columns->begin(), columns->end());
  }
  if (auto max = args.number("--max", 2, kHighestOfAnyGame, "--max takes 2..99")) {
    call.options.highestNumber = *max;
    call.maxGiven = true;
  } else {
    call.options.highestNumber = kHighestOfAnyGame;
  }
  if (auto name = args.value("--game")) {
    if (args.has("--max")) throw UsageError{"--game and --max exclude each other"};
    const Game* game = FindGame(*name);
    if (!game) {
      std::string ids;
      for (const Game& known : Games()) ids += (ids.empty() ? "" : ", ") + std::string(known.id);
      throw UsageError{"unknown game '" + *name + "'; --game takes one of " + ids};
    }
    call.options.highestNumber = game->highest;
    call.maxGiven = true;
    call.game = game;
  }
  call.mergeInto = args.value("--merge-into");
  call.out = args.value("--out");
  call.prizesOut = args.value("--prizes-out");
  call.json = args.json();
  const bool newest = args.has("--newest-first");
  const bool oldest = args.has("--oldest-first");
  if (!args.has("--as")) throw UsageError{"import needs --as results, stakes or system"};
  if (newest && oldest) throw UsageError{"--newest-first and --oldest-first exclude each other"};
  if (auto repeated = args.value("--repeated-draws")) {
    if (*repeated == "first") {
      call.options.repeatedDraws = RepeatedDraws::First;
    } else if (*repeated == "all") {
      call.options.repeatedDraws = RepeatedDraws::All;
    } else {
      throw UsageError{"--repeated-draws takes first or all"};
    }
  }
  if (newest) call.options.order = HistoryOrder::NewestFirst;
  if (oldest) call.options.order = HistoryOrder::OldestFirst;
  if (call.mergeInto && call.options.kind != ImportKind::Results) {
    throw UsageError{"--merge-into goes with --as results"};
  }
  if (call.prizesOut && call.options.kind != ImportKind::Results) {
    throw UsageError{"--prizes-out goes with --as results"};
  }
  return call;
}

// The prize file that goes with a held history: the window's own, beside it, as in the
// window's data folder.
std::string PrizeFileBeside(const std::string& history) {
  const std::size_t slash = history.rfind('/');
  const DataFiles folder(slash == std::string::npos ? std::string() : history.substr(0, slash + 1));
  return folder.path(kPrizeTableFileName);
}

// Whether the merged history replaces the held one (rather than going to --out).
bool ReplacesHeld(const Call& call) {
  return call.mergeInto && !call.out;
}

// No file is written over another file of the same call: two names may be one file through a
// link, a hard link or another spelling of the path, so files are told apart by identity.
void RefuseSharedFiles(const Call& call) {
  struct Named {
    std::string what;
    std::string path;
    bool written;
    bool read;
  };
  std::vector<Named> files = {{"the file to import", call.file, false, true}};
  if (call.mergeInto) {
    files.push_back({"--merge-into", *call.mergeInto, ReplacesHeld(call), true});
    if (ReplacesHeld(call)) {
      files.push_back({"the backup of --merge-into", BackupNameFor(*call.mergeInto), true, false});
      files.push_back(
          {"the prize file beside --merge-into", PrizeFileBeside(*call.mergeInto), true, true});
    }
  }
  if (call.out) files.push_back({"--out", *call.out, true, false});
  if (call.prizesOut) files.push_back({"--prizes-out", *call.prizesOut, true, false});
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      if (!files[i].written && !files[j].written) continue;
      if (SameFile(files[i].path, files[j].path)) {
        throw UsageError{files[i].what + " (" + files[i].path + ") and " + files[j].what + " (" +
                         files[j].path + ") are the same file; nothing was written"};
      }
    }
  }
}

// A reason, closed as a sentence, and that the call changed no file.
std::string NothingWritten(std::string reason) {
  if (!reason.empty() && reason.back() != '.') reason += '.';
  return reason + " Nothing was written.";
}

// Reads the file to import as the window does: only regular files, and a file too large to
// import is refused before it is read.
std::string ReadSource(const std::string& path) {
  ImportFileRead file = ReadImportFile(path);
  if (file.problem) throw Failure{DescribeImportFileProblem(path, file.problem, kEnglish)};
  return std::move(file.data);
}

// The held history; a file that is not there yet holds none. It is read as the window reads
// Results.txt (a regular text file within the size of any list): what does not read as a
// draw history is never replaced.
std::vector<DrawNumbers> ReadHeld(const std::string& path) {
  std::vector<DrawNumbers> held;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return held;
  const FileText file = ReadWholeFile(path, kMaxListFileBytes);
  if (!file.ok) {
    throw Failure{NothingWritten(
        Format(TextId::TxtCannotOpen, kEnglish, {path, DescribeFileError(file.error, kEnglish)}))};
  }
  if (DecodeText(file.data).binary) {
    throw Failure{NothingWritten(path + ": " + Text(TextId::TxtImportBinary, kEnglish))};
  }
  auto table = std::make_unique<ResultTableT>();
  int32_t count = 0;
  const ReadOutcome outcome =
      ReadRecordLines(file.data, TableRef::of(*table), count, OverflowRule::KeepLatest);
  if (!outcome.ok()) {
    throw Failure{NothingWritten(path + ": " + DescribeReadOutcome(outcome, kEnglish))};
  }
  for (int32_t d = 1; d <= count; ++d) {
    DrawNumbers draw{};
    for (int c = 1; c <= 6; ++c) draw[static_cast<std::size_t>(c) - 1] = table->cell[c][d];
    held.push_back(draw);
  }
  return held;
}

void Write(const std::string& path, const std::string& text) {
  if (const auto error = WriteFileReplacing(path, text)) {
    throw Failure{
        Format(TextId::TxtCannotWrite, kEnglish, {path, DescribeFileError(*error, kEnglish)})};
  }
}

const char* Name(ImportKind kind) {
  switch (kind) {
    case ImportKind::Results:
      return "results";
    case ImportKind::Stakes:
      return "stakes";
    case ImportKind::System:
      return "system";
  }
  return "";
}
const char* Name(TextEncoding e) {
  switch (e) {
    case TextEncoding::Bytes:
      return "8-bit";
    case TextEncoding::Utf8Bom:
      return "utf-8 with byte-order mark";
    case TextEncoding::Utf16LE:
      return "utf-16le";
    case TextEncoding::Utf16BE:
      return "utf-16be";
  }
  return "";
}
const char* Name(ImportShape shape) {
  switch (shape) {
    case ImportShape::RecordLines:
      return "record-lines";
    case ImportShape::Separated:
      return "separated";
    case ImportShape::Free:
      return "free";
  }
  return "";
}
const char* Name(HistoryOrder order) {
  return order == HistoryOrder::NewestFirst ? "newest-first" : "oldest-first";
}
const char* Name(OrderBasis basis) {
  switch (basis) {
    case OrderBasis::Dates:
      return "dates";
    case OrderBasis::DrawNumbers:
      return "draw-numbers";
    case OrderBasis::Assumed:
      return "assumed";
    case OrderBasis::Chosen:
      return "chosen";
  }
  return "";
}
const char* Name(SkipReason reason) {
  switch (reason) {
    case SkipReason::TooFewNumbers:
      return "too-few-numbers";
    case SkipReason::TooManyNumbers:
      return "too-many-numbers";
    case SkipReason::OutOfRange:
      return "out-of-range";
    case SkipReason::Repeat:
      return "repeat";
    case SkipReason::BadDate:
      return "bad-date";
    case SkipReason::NotWholeNumber:
      return "not-whole-number";
    case SkipReason::RepeatedRow:
      return "repeated-row";
    case SkipReason::SecondDraw:
      return "second-draw";
    case SkipReason::SuspectedRepeat:
      return "suspected-repeat";
    case SkipReason::SevenOrMore:
      return "numbers-drawn";
    case SkipReason::OtherGame:
      return "other-game";
    case SkipReason::Heading:
      return "heading";
    case SkipReason::OutOfOrder:
      return "out-of-order";
  }
  return "";
}
const char* Name(MergeOutcome::Kind kind) {
  switch (kind) {
    case MergeOutcome::Kind::Fresh:
      return "fresh";
    case MergeOutcome::Kind::Extended:
      return "extended";
    case MergeOutcome::Kind::NothingNew:
      return "nothing-new";
    case MergeOutcome::Kind::NoOverlap:
      return "no-overlap";
  }
  return "";
}

std::string Separator(char separator) {
  if (separator == '\t') return "tab";
  return separator ? std::string(1, separator) : std::string();
}

template <typename T>
std::string List(const std::vector<T>& values) {
  std::string out;
  for (const T& v : values) {
    if (!out.empty()) out += ',';
    out += std::to_string(v);
  }
  return out;
}

std::string RowJson(const ImportedRow& row) {
  std::string out = "[";
  for (int k = 0; k < row.size; ++k) {
    out += (k ? ", " : "") + std::to_string(row.numbers[static_cast<std::size_t>(k)]);
  }
  return out + "]";
}

int DrawsWithPrizes(const std::vector<ImportedRow>& rows) {
  return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                        [](const ImportedRow& row) { return row.hasAllPrizes(); }));
}

// What the preview shows: the rows as they will be stored (the first and last few), the lines
// skipped with their reasons, the columns and the order read.
std::string Json(const Call& call, const ImportResult& result, const std::string& message,
                 const std::optional<MergeOutcome>& merge, const std::string& mergeText,
                 const std::optional<std::string>& written,
                 const std::optional<std::string>& prizesWritten) {
  std::ostringstream out;
  out << "{\"file\": " << JsonQuoted(call.file) << ", \"as\": \"" << Name(call.options.kind)
      << "\", \"max\": " << (call.maxGiven ? call.options.highestNumber : result.highestSeen)
      << ", \"ok\": " << (result.ok() ? "true" : "false")
      << ", \"message\": " << JsonQuoted(message) << ", \"encoding\": \"" << Name(result.encoding)
      << "\", \"shape\": \"" << Name(result.shape)
      << "\", \"separator\": " << JsonQuoted(Separator(result.separator)) << ", \"columns\": [";
  for (std::size_t i = 0; i < result.columns.size(); ++i) {
    out << (i ? ", " : "") << result.columns[i];
  }
  out << "], \"date_column\": " << result.dateColumn
      << ", \"draw_number_column\": " << result.drawNumberColumn << ", \"order\": \""
      << Name(result.order) << "\", \"order_from\": \"" << Name(result.orderBasis)
      << "\", \"header_lines\": [";
  for (std::size_t i = 0; i < result.headerLines.size(); ++i) {
    out << (i ? ", " : "") << result.headerLines[i];
  }
  out << "], \"rows\": " << result.rows.size() << ", \"rows_in_file\": " << result.rowsInFile
      << ", \"dropped\": " << result.dropped;
  constexpr std::size_t kShown = 5;
  const std::size_t n = result.rows.size();
  out << ", \"first\": [";
  for (std::size_t i = 0; i < std::min(n, kShown); ++i) {
    out << (i ? ", " : "") << RowJson(result.rows[i]);
  }
  out << "], \"last\": [";
  for (std::size_t i = n - std::min(n, kShown); i < n; ++i) {
    out << (i > n - std::min(n, kShown) ? ", " : "") << RowJson(result.rows[i]);
  }
  out << "], \"skipped_total\": " << result.skippedTotal << ", \"skipped\": [";
  for (std::size_t i = 0; i < result.skipped.size(); ++i) {
    const SkippedLine& s = result.skipped[i];
    out << (i ? ", " : "") << "{\"line\": " << s.line << ", \"reason\": \"" << Name(s.reason)
        << "\", \"value\": " << JsonQuoted(s.value)
        << ", \"text\": " << JsonQuoted(DescribeSkip(s, call.options, kEnglish)) << "}";
  }
  out << "], \"out_of_order\": ";
  if (result.outOfOrder) {
    out << "{\"line\": " << result.outOfOrder->line
        << ", \"value\": " << JsonQuoted(result.outOfOrder->value)
        << ", \"text\": " << JsonQuoted(DescribeSkip(*result.outOfOrder, call.options, kEnglish))
        << "}";
  } else {
    out << "null";
  }
  if (merge) {
    out << ", \"merge\": {\"into\": " << JsonQuoted(*call.mergeInto) << ", \"result\": \""
        << Name(merge->kind) << "\", \"added\": " << merge->added
        << ", \"held\": " << merge->draws.size() << ", \"dropped\": " << merge->dropped
        << ", \"text\": " << JsonQuoted(mergeText) << "}";
  }
  out << ", \"prize_columns\": [";
  for (std::size_t t = 0; t < 4; ++t) out << (t ? ", " : "") << result.prizeColumns[t];
  out << "], \"draws_with_prizes\": " << DrawsWithPrizes(result.rows)
      << ", \"unread_amounts_total\": " << result.unreadAmountsTotal << ", \"unread_amounts\": [";
  for (std::size_t i = 0; i < result.unreadAmounts.size(); ++i) {
    const UnreadAmount& u = result.unreadAmounts[i];
    out << (i ? ", " : "") << "{\"line\": " << u.line << ", \"tier\": " << u.tier
        << ", \"value\": " << JsonQuoted(u.value) << "}";
  }
  out << "]";
  out << ", \"written\": " << (written ? JsonQuoted(*written) : std::string("null"))
      << ", \"prizes_written\": "
      << (prizesWritten ? JsonQuoted(*prizesWritten) : std::string("null")) << "}\n";
  return out.str();
}

// What the reader made of a file whose numbers it could not find, for the user to choose the
// columns.
std::string AskColumns(const ImportResult& result) {
  std::string found = Name(result.shape);
  if (result.separator) found += " by '" + Separator(result.separator) + "'";
  return Format(TextId::TxtImportAskColumns, kEnglish,
                {found, result.columns.empty() ? std::string("-") : List(result.columns)});
}

int Run(const Call& call, Output& streams) {
  RefuseSharedFiles(call);
  const std::string data = ReadSource(call.file);
  // The columns and the numbers in them are read for any game; a --max below them is a wrong
  // game or wrong columns, and taking the rows that fit would store a history with holes.
  ImportOptions reading = call.options;
  reading.highestNumber = kHighestOfAnyGame;
  reading.gameHighest = call.maxGiven ? call.options.highestNumber : 0;
  ImportResult result = ImportList(data, reading);
  if (result.problem == ImportProblem::BadColumns) {
    throw UsageError{DescribeImport(result, call.options, kEnglish)};
  }
  if (call.maxGiven && result.highestSeen > call.options.highestNumber) {
    const std::string line = std::to_string(result.highestLine);
    const std::string seen = std::to_string(result.highestSeen);
    const std::string highest = std::to_string(call.options.highestNumber);
    throw Failure{NothingWritten(
        call.file + ": " +
        (call.game ? Format(TextId::TxtImportAboveGame, kEnglish,
                            {line, seen, highest, std::string(call.game->id)})
                   : Format(TextId::TxtImportAboveMax, kEnglish, {line, seen, highest})))};
  }
  std::string message = DescribeImport(result, call.options, kEnglish);
  if (result.problem == ImportProblem::NothingUsable) message += ' ' + AskColumns(result);
  if (result.problem == ImportProblem::SeveralGames) message += " Name it with --game or --max.";

  std::optional<MergeOutcome> merge;
  std::string mergeText;
  std::optional<std::string> written;
  std::optional<std::string> prizesWritten;
  std::string records;
  int code = 0;
  // Nothing is written when the prize file asked for cannot be made: a history whose heading
  // names no prize columns gives no amounts.
  if (result.ok() && call.prizesOut && !result.hasPrizeColumns()) {
    throw Failure{call.file +
                  ": no heading names prize columns (such as \"prize 3\" ... \"prize 6\" after "
                  "the numbers); nothing was written."};
  }
  // The prize file numbers the draws as the history written holds them, oldest first from 1.
  int firstLabel = 1;
  if (result.ok()) {
    if (call.mergeInto) {
      std::vector<DrawNumbers> incoming;
      for (const ImportedRow& row : result.rows) {
        DrawNumbers draw{};
        std::copy_n(row.numbers.begin(), 6, draw.begin());
        incoming.push_back(draw);
      }
      merge = MergeDraws(ReadHeld(*call.mergeInto), incoming);
      if (merge->kind == MergeOutcome::Kind::NoOverlap) {
        mergeText = "The new draws do not continue the draws held in " + *call.mergeInto +
                    "; nothing was written. Write them with --out to replace it instead.";
        code = 1;
      } else {
        mergeText = DescribeMerge(*merge, kEnglish);
        firstLabel = merge->incomingAt + 1;
        ImportResult merged;
        for (const DrawNumbers& draw : merge->draws) {
          ImportedRow row;
          row.size = 6;
          std::copy(draw.begin(), draw.end(), row.numbers.begin());
          merged.rows.push_back(row);
        }
        if (call.out) {
          Write(*call.out, FormatImported(merged, ImportKind::Results));
          written = *call.out;
        } else if (merge->kind != MergeOutcome::Kind::NothingNew) {
          // The held file and its prize file change together: the draws' own amounts follow
          // the draws to their new numbers. A prize file that does not read stops the call
          // before anything is written, or its amounts would be paid on other draws.
          const std::string prizeFile = PrizeFileBeside(*call.mergeInto);
          struct stat st {};
          if (::stat(prizeFile.c_str(), &st) == 0 || errno != ENOENT) {
            Prizes check;
            if (const Problem problem = LoadPrizes(prizeFile, check)) {
              throw Failure{NothingWritten(Describe(problem, kEnglish))};
            }
          }
          // The file replaced is kept as the window keeps it; without that copy nothing is
          // replaced.
          if (const auto error = BackUpFile(*call.mergeInto, kMaxListFileBytes)) {
            throw Failure{NothingWritten(
                Format(TextId::TxtCannotWrite, kEnglish,
                       {BackupNameFor(*call.mergeInto), DescribeFileError(*error, kEnglish)}))};
          }
          Write(*call.mergeInto, FormatImported(merged, ImportKind::Results));
          written = *call.mergeInto;
          int kept = 0;
          if (const Problem problem = CarryPrizeFile(prizeFile, *merge, result.rows, false, kept)) {
            throw Failure{Describe(problem, kEnglish)};
          }
          if (kept > 0) {
            mergeText += '\n';
            mergeText += Format(TextId::TxtImportPrizesKept, kEnglish, {std::to_string(kept)});
          }
        }
      }
    } else {
      records = FormatImported(result, call.options.kind);
      if (call.out) {
        Write(*call.out, records);
        written = *call.out;
      }
    }
    if (call.prizesOut && code == 0) {
      Write(*call.prizesOut, FormatImportedPrizes(result.rows, firstLabel));
      prizesWritten = *call.prizesOut;
    }
  } else {
    code = 1;
  }

  if (call.json) {
    streams.out << Json(call, result, message, merge, mergeText, written, prizesWritten);
  } else {
    // The report goes to standard error, so that the record lines alone reach standard output
    // when no file is named.
    std::ostream& report = streams.err;
    for (const SkippedLine& s : result.skipped) {
      report << DescribeSkip(s, call.options, kEnglish) << "\n";
    }
    if (result.skippedTotal > static_cast<int>(result.skipped.size())) {
      report << "... and " << result.skippedTotal - static_cast<int>(result.skipped.size())
             << " more lines skipped\n";
    }
    if (result.ok()) {
      report << call.file << ": " << result.rows.size() << " rows read (" << Name(result.shape);
      if (!result.columns.empty()) report << ", columns " << List(result.columns);
      report << ", " << Name(result.order) << " from " << Name(result.orderBasis) << "), "
             << result.skippedTotal << " lines skipped\n";
      if (!call.maxGiven) {
        report << Format(TextId::TxtImportMaxRead, kEnglish, {std::to_string(result.highestSeen)})
               << "\n";
      }
    }
    if (result.outOfOrder) {
      report << DescribeSkip(*result.outOfOrder, call.options, kEnglish) << "\n";
    }
    if (!message.empty()) report << message << "\n";
    for (const UnreadAmount& u : result.unreadAmounts) {
      if (u.tier == 0) {
        report << "Line " << u.line << ": " << u.value
               << " fields, more than the heading has; its amounts were not taken\n";
      } else {
        report << "Line " << u.line << ": '" << u.value
               << "' is no amount; the draw has no amount for " << u.tier << " common numbers\n";
      }
    }
    if (result.hasPrizeColumns()) {
      report << "prize columns "
             << List(std::vector<int>(result.prizeColumns.begin(), result.prizeColumns.end()))
             << " (3, 4, 5, 6 common numbers; 0 = none): " << DrawsWithPrizes(result.rows)
             << " draws with all four amounts";
      if (prizesWritten) report << " written to " << *prizesWritten;
      report << "\n";
    }
    if (!mergeText.empty()) report << mergeText << "\n";
    if (result.ok() && !written && !call.mergeInto) streams.out << records;
  }
  return code;
}

}  // namespace

ImportCommand::ImportCommand()
    : Command({.name = "import",
               .usage =
                   "  tallyra-cli import FILE --as results|stakes|system [--columns 3,4,5,6,7,8]\n"
                   "              [--newest-first|--oldest-first] [--max M | --game NAME]\n"
                   "              [--merge-into Results.txt] [--repeated-draws first|all]\n"
                   "              [--out FILE] [--prizes-out FILE] [--json]\n",
               .words = 1,
               .wordsMissing = "import needs a file",
               .options = {{"--as"},
                           {"--columns"},
                           {"--newest-first", Takes::Nothing},
                           {"--oldest-first", Takes::Nothing},
                           {"--max"},
                           {"--game"},
                           {"--repeated-draws"},
                           {"--merge-into"},
                           {"--out"},
                           {"--prizes-out"},
                           kJson},
               .afterMistake = UsageShown::UpToItself}) {}

int ImportCommand::run(const Arguments& args, Output& output) const {
  return Run(ReadCall(args), output);
}

std::unique_ptr<Command> MakeImportCommand() {
  return std::make_unique<ImportCommand>();
}

}  // namespace tallyra::cli
