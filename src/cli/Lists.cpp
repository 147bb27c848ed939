#include "cli/Lists.h"

#include "lists/RecordReader.h"
#include "model/Files.h"
#include "model/TextTable.h"

namespace tallyra::cli {

int LoadList(ListFile list, const std::string& path, Workspace& ws, int32_t language,
             std::ostream& err) {
  const FileText file = ReadWholeFile(path, kMaxListFileBytes);
  if (!file.ok) {
    throw Failure{
        Format(TextId::TxtCannotOpen, language, {path, DescribeFileError(file.error, language)})};
  }
  const bool draws = list == ListFile::Draws;
  const TableRef table = list == ListFile::Stakes   ? TableRef::of(ws.StakeTable)
                         : list == ListFile::System ? TableRef::of(ws.SystemTable)
                                                    : TableRef::of(ws.ResultTable);
  int32_t& count = list == ListFile::Stakes   ? ws.StakeCount
                   : list == ListFile::System ? ws.SystemCount
                                              : ws.ResultCount;
  const ReadOutcome outcome = ReadRecordLines(
      file.data, table, count, draws ? OverflowRule::KeepLatest : OverflowRule::RejectFile);
  const std::string message = DescribeReadOutcome(outcome, language);
  if (!outcome.ok()) throw Failure{Format(TextId::TxtCliListFileSays, language, {path, message})};
  if (!message.empty()) {
    err << Format(TextId::TxtCliListFileSays, language, {path, message}) << "\n";
  }
  return outcome.dropped;
}

int LoadLists(const Arguments& args, Workspace& ws, int32_t language, std::ostream& err) {
  if (auto path = args.value("--stakes")) LoadList(ListFile::Stakes, *path, ws, language, err);
  if (auto path = args.value("--system")) LoadList(ListFile::System, *path, ws, language, err);
  if (auto path = args.value("--results")) {
    return LoadList(ListFile::Draws, *path, ws, language, err);
  }
  return 0;
}

void WriteRecordLine(std::ostream& out, int64_t label, const std::vector<int32_t>& numbers) {
  out << label << " - ";
  for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? "," : "") << numbers[i];
  out << ";\r\n";
}

std::vector<Option> ListOptions(std::initializer_list<Option> more) {
  std::vector<Option> options = {{"--stakes"},      {"--system"}, {"--results"}, kLang,
                                 {"--combination"}, {"--max"},    {"--lists"},   kJson};
  options.insert(options.end(), more.begin(), more.end());
  return options;
}

std::vector<AnalysisDraw> HeldDraws(const Workspace& ws) {
  std::vector<AnalysisDraw> draws(static_cast<std::size_t>(ws.ResultCount));
  for (int r = 1; r <= ws.ResultCount; ++r) {
    for (int c = 1; c <= 6; ++c) {
      draws[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)] =
          ws.ResultTable.at(c, r);
    }
  }
  return draws;
}

RangeOptions ReadRangeOptions(const Arguments& args) {
  if (args.has("--last") && (args.has("--from") || args.has("--to"))) {
    throw UsageError{"--last and --from/--to exclude each other"};
  }
  RangeOptions options;
  options.last = args.number("--last", 1, kResultCapacity, "--last takes 1..1499");
  options.from = args.number("--from", 1, kResultCapacity, "--from takes 1..1499");
  options.to = args.number("--to", 1, kResultCapacity, "--to takes 1..1499");
  return options;
}

DrawRange ChosenRange(const RangeOptions& options, int held) {
  RangeChoice choice;
  if (options.last) {
    choice.kind = RangeChoice::Kind::Latest;
    choice.latest = *options.last;
  }
  if (options.from || options.to) {
    choice.kind = RangeChoice::Kind::Between;
    choice.from = options.from.value_or(1);
    choice.to = options.to.value_or(held);
  }
  const std::optional<DrawRange> range = ResolveRange(choice, held);
  if (!range) {
    throw UsageError{std::string("--from and --to take draws 1..") + std::to_string(held) +
                     " of the file, --from not above --to"};
  }
  return *range;
}

}  // namespace tallyra::cli
