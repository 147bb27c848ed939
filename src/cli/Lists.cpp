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

}  // namespace tallyra::cli
