// tallyra-cli: the collations and the check from the command line, over the same core as the
// window.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/ImportCommand.h"
#include "collate/Collation.h"
#include "lists/EntryCheck.h"
#include "lists/RecordReader.h"
#include "model/Files.h"
#include "model/Integer.h"
#include "model/TextTable.h"
#include "net/HttpClient.h"
#include "stats/Statistics.h"

namespace {

using tallyra::CollationKind;

constexpr const char* kUsage =
    "usage:\n"
    "  tallyra-cli collate stakes|stakes-results|system|system-results|all\n"
    "              [--stakes FILE] [--system FILE] [--results FILE] [--lang en|ru] [--json]\n"
    "  tallyra-cli check --combination N,N,N,N,N,N[,N...]\n"
    "              (--stakes FILE [--system FILE] [--include-system] | --results FILE)\n"
    "              [--max M] [--lang en|ru] [--json]\n"
    "  tallyra-cli stats --results FILE [--max M] [--sort order|frequency|draws]... [--json]\n"
    "  tallyra-cli fetch URL FILE [--timeout MS]\n"
    "  tallyra-cli import FILE --as results|stakes|system [--columns 3,4,5,6,7,8]\n"
    "              [--newest-first|--oldest-first] [--max M] [--merge-into Results.txt]\n"
    "              [--out FILE] [--json]\n";

struct UsageError {
  std::string text;
};
struct FileError {
  std::string text;
};

struct Options {
  std::string command;
  std::string kind;
  std::map<std::string, std::string> values;  // --name value
  bool json = false;
  bool includeSystem = false;
  std::vector<std::string> sorts;  // stats: the sort orders, in the order given

  std::optional<std::string> get(const std::string& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
};

Options Parse(int argc, char** argv) {
  Options o;
  if (argc < 2) throw UsageError{"a command is needed"};
  o.command = argv[1];
  int i = 2;
  if (o.command == "collate") {
    if (argc < 3) throw UsageError{"collate needs a kind"};
    o.kind = argv[2];
    i = 3;
  } else if (o.command == "fetch") {
    if (argc < 4) throw UsageError{"fetch needs a URL and a file"};
    o.kind = argv[2];
    o.values["file"] = argv[3];
    i = 4;
  } else if (o.command != "check" && o.command != "stats") {
    throw UsageError{"unknown command '" + o.command + "'"};
  }
  static const char* const kValued[] = {"--stakes", "--system",      "--results",
                                        "--lang",   "--combination", "--max"};
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      o.json = true;
    } else if (arg == "--include-system" && o.command == "check") {
      o.includeSystem = true;
    } else if (arg == "--sort" && o.command == "stats") {
      if (i + 1 >= argc) throw UsageError{"--sort needs a value"};
      o.sorts.push_back(argv[++i]);
    } else if (std::find(std::begin(kValued), std::end(kValued), arg) != std::end(kValued)) {
      if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
      o.values[arg] = argv[++i];
    } else {
      throw UsageError{"unknown option '" + arg + "'"};
    }
  }
  return o;
}

int32_t Language(const Options& o) {
  const std::string lang = o.get("--lang").value_or("en");
  if (lang == "en") return 1;
  if (lang == "ru") return 0;
  throw UsageError{"--lang takes en or ru"};
}

// Reads a list file into its table, all or nothing, as the window does.
void Load(const std::string& path, tallyra::TableRef table, int32_t& count, bool keepLatest,
          int32_t language) {
  const tallyra::FileText file = tallyra::ReadWholeFile(path);
  if (!file.ok) {
    throw FileError{tallyra::Format(tallyra::TextId::TxtCannotOpen, language, {path, file.error})};
  }
  const tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
      file.data, table, count,
      keepLatest ? tallyra::OverflowRule::KeepLatest : tallyra::OverflowRule::RejectFile);
  const std::string message = tallyra::DescribeReadOutcome(outcome, language);
  if (!outcome.ok()) throw FileError{path + ": " + message};
  if (!message.empty()) std::cerr << path << ": " << message << "\n";
}

// Every list file given is read, used by the run or not, so that a bad file always fails.
void LoadLists(const Options& o, tallyra::Workspace& ws, int32_t language) {
  if (auto f = o.get("--stakes")) {
    Load(*f, tallyra::TableRef::of(ws.StakeTable), ws.StakeCount, false, language);
  }
  if (auto f = o.get("--system")) {
    Load(*f, tallyra::TableRef::of(ws.SystemTable), ws.SystemCount, false, language);
  }
  if (auto f = o.get("--results")) {
    Load(*f, tallyra::TableRef::of(ws.ResultTable), ws.ResultCount, true, language);
  }
}

void JsonString(std::ostream& out, const tallyra::CoincidenceList& list) {
  out << '"';
  list.forEachChunk(int64_t{1} << 22, [&](const std::string& piece) {
    for (const char ch : piece) {
      if (ch == '"' || ch == '\\') {
        out << '\\' << ch;
      } else if (static_cast<unsigned char>(ch) < 0x20) {
        char code[8];
        std::snprintf(code, sizeof code, "\\u%04x", ch);
        out << code;
      } else {
        out << ch;
      }
    }
    return true;
  });
  out << '"';
}

void JsonRows(std::ostream& out, const std::vector<tallyra::CategoryCounts>& rows, int count,
              bool touched) {
  out << '[';
  for (int r = 0; r < count; ++r) {
    if (r) out << ", ";
    const tallyra::CategoryCounts c = touched && r < static_cast<int>(rows.size())
                                          ? rows[static_cast<std::size_t>(r)]
                                          : tallyra::CategoryCounts{};
    out << '[' << c[3] << ", " << c[2] << ", " << c[1] << ", " << c[0] << ']';
  }
  out << ']';
}

void Report(const tallyra::Outcome& outcome, const tallyra::Workspace& ws, bool json) {
  std::ostream& out = std::cout;
  if (json) {
    out << "{\"counts\": {\"6\": " << outcome.counts[3] << ", \"5\": " << outcome.counts[2]
        << ", \"4\": " << outcome.counts[1] << ", \"3\": " << outcome.counts[0]
        << "}, \"lists\": {";
    for (int c = 3; c >= 0; --c) {
      out << '"' << c + 3 << "\": ";
      JsonString(out, *outcome.lists[static_cast<std::size_t>(c)]);
      if (c) out << ", ";
    }
    out << "}, \"stakes\": ";
    JsonRows(out, outcome.stakeRows, ws.StakeCount, outcome.stakesTouched);
    out << ", \"system\": ";
    JsonRows(out, outcome.systemRows, ws.SystemCount, outcome.systemTouched);
    out << "}\n";
    return;
  }
  // The counters, each list's number of entries and the list's first line.
  constexpr int64_t kLine = 100;
  for (int c = 3; c >= 0; --c) {
    const auto& list = *outcome.lists[static_cast<std::size_t>(c)];
    out << c + 3 << " common numbers: " << outcome.counts[static_cast<std::size_t>(c)]
        << (outcome.counts[static_cast<std::size_t>(c)] == 1 ? " entry" : " entries");
    if (!list.empty()) {
      out << "\n    " << list.slice(0, kLine) << (list.length() > kLine ? "..." : "");
    }
    out << "\n";
  }
}

int Collate(const Options& o) {
  static const std::map<std::string, CollationKind> kKinds = {
      {"stakes", CollationKind::StakesWithStakes},
      {"stakes-results", CollationKind::StakesWithDraws},
      {"system", CollationKind::SystemWithSystem},
      {"system-results", CollationKind::SystemWithDraws},
      {"all", CollationKind::All}};
  const auto kind = kKinds.find(o.kind);
  if (kind == kKinds.end()) throw UsageError{"unknown kind '" + o.kind + "'"};
  if (o.get("--combination") || o.get("--max")) throw UsageError{"collate takes no combination"};
  const int32_t language = Language(o);
  auto ws = tallyra::CreateWorkspace();
  ws->Language = language;
  LoadLists(o, *ws, language);
  const tallyra::Outcome outcome =
      tallyra::Collate(kind->second, tallyra::SnapshotFor(kind->second, *ws));
  Report(outcome, *ws, o.json);
  return 0;
}

int Check(const Options& o) {
  const int32_t language = Language(o);
  const auto combination = o.get("--combination");
  if (!combination) throw UsageError{"check needs --combination"};
  const bool againstStakes = o.get("--stakes").has_value();
  if (againstStakes == o.get("--results").has_value()) {
    throw UsageError{"check takes either --stakes or --results"};
  }
  if (!againstStakes && (o.get("--system") || o.includeSystem)) {
    throw UsageError{"--system and --include-system go with --stakes"};
  }
  auto ws = tallyra::CreateWorkspace();
  ws->Language = language;
  ws->HighestNumber = 49;
  if (auto m = o.get("--max")) {
    const auto value = tallyra::ParseDecimal(*m);
    if (!value || *value < 2 || *value > 99) throw UsageError{"--max takes 2..99"};
    ws->HighestNumber = *value;
  }
  // The numbers are checked as the entry dialog checks typed ones.
  tallyra::EntryTexts texts;
  int boxes = 0;
  std::size_t at = 0;
  const std::string& list = *combination;
  while (at <= list.size()) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    if (++boxes > 12) throw UsageError{"a combination has at most twelve numbers"};
    texts[static_cast<std::size_t>(boxes)] = list.substr(at, comma - at);
    at = comma + 1;
  }
  if (boxes < 6) throw UsageError{"a combination has at least six numbers"};
  tallyra::EntryNumbers numbers{};
  std::optional<tallyra::TextId> problem =
      tallyra::CheckMainFields(texts, ws->HighestNumber, numbers);
  if (!problem && boxes > 6)
    problem = tallyra::CheckSystemFields(texts, ws->HighestNumber, numbers);
  if (problem) {
    std::cerr << tallyra::Text(*problem, language) << "\n";
    return 1;
  }
  std::array<int32_t, 13> cells{};
  for (int k = 1; k <= 12; ++k)
    cells[static_cast<std::size_t>(k)] = numbers[static_cast<std::size_t>(k)];

  LoadLists(o, *ws, language);
  tallyra::CollationInput input;
  input.language = language;
  input.stakes = tallyra::SnapshotStakes(*ws);
  input.system = tallyra::SnapshotSystem(*ws);
  input.draws = tallyra::SnapshotDraws(*ws);
  Report(tallyra::CheckCombination(cells, againstStakes, o.includeSystem, input), *ws, o.json);
  return 0;
}

// Fetches a URL as the download does: the body into the file whatever the status, the header
// text as received on standard output.
int Fetch(const Options& o) {
  for (const auto& other :
       {"--stakes", "--system", "--results", "--combination", "--lang", "--max"}) {
    if (o.get(other)) throw UsageError{std::string("fetch takes no ") + other};
  }
  if (o.json) throw UsageError{"fetch takes no --json"};
  tallyra::THttpClient client;
  if (auto t = o.get("--timeout")) {
    const auto value = tallyra::ParseDecimal(*t);
    if (!value || *value < 0) throw UsageError{"--timeout takes milliseconds"};
    client.TimeOut = *value;
  }
  client.InputFileMode = true;
  client.Body = *o.get("file");
  try {
    client.FetchToFile(o.kind);
  } catch (const tallyra::ESocketError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  } catch (const std::runtime_error& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::cout << client.Header;
  std::cout.flush();
  return 0;
}

int Stats(const Options& o) {
  const auto results = o.get("--results");
  if (!results) throw UsageError{"stats needs --results"};
  for (const auto& other : {"--stakes", "--system", "--combination", "--lang"}) {
    if (o.get(other)) throw UsageError{std::string("stats takes no ") + other};
  }
  auto ws = tallyra::CreateWorkspace();
  ws->Language = 1;
  if (auto m = o.get("--max")) {
    const auto value = tallyra::ParseDecimal(*m);
    if (!value || *value < 2 || *value > 99) throw UsageError{"--max takes 2..99"};
    ws->HighestNumber = *value;
  } else {
    ws->HighestNumber = 49;
  }
  Load(*results, tallyra::TableRef::of(ws->ResultTable), ws->ResultCount, true, 1);
  tallyra::ComputeStatistics(*ws);
  // Each order re-sorts the previous one, as the buttons do.
  for (const std::string& sort : o.sorts) {
    if (sort == "order") {
      ws->StatSortMode = 0;
    } else if (sort == "frequency") {
      ws->StatSortMode = 1;
    } else if (sort == "draws") {
      ws->StatSortMode = 2;
    } else {
      throw UsageError{"--sort takes order, frequency or draws"};
    }
    tallyra::SortStatistics(*ws);
  }
  std::ostream& out = std::cout;
  if (o.json)
    out << "{\"rows\": [";
  else
    out << "number      hits    misses         %    passed\n";
  for (int row = 1; row <= ws->HighestNumber; ++row) {
    const int slot = tallyra::SlotForRow(*ws, row);
    if (slot == 0) continue;
    const auto e = static_cast<std::size_t>(slot);
    const std::string percent = tallyra::PercentText(ws->StatHits[e], ws->ResultCount);
    if (o.json) {
      out << (row > 1 ? ", " : "") << "{\"number\": " << ws->StatNumber[e]
          << ", \"hits\": " << ws->StatHits[e] << ", \"misses\": " << ws->StatMisses[e]
          << ", \"percent\": \"" << percent << "\", \"passed\": " << ws->StatPassed[e] << "}";
    } else {
      char line[96];
      std::snprintf(line, sizeof line, "%6d %9d %9d %9s %9d\n", ws->StatNumber[e], ws->StatHits[e],
                    ws->StatMisses[e], percent.c_str(), ws->StatPassed[e]);
      out << line;
    }
  }
  if (o.json) out << "]}\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc >= 2 && std::strcmp(argv[1], "import") == 0) {
    return tallyra::cli::RunImport(argc, argv, kUsage);
  }
  try {
    const Options o = Parse(argc, argv);
    if (o.command == "collate") return Collate(o);
    if (o.command == "stats") return Stats(o);
    if (o.command == "fetch") return Fetch(o);
    return Check(o);
  } catch (const UsageError& e) {
    std::cerr << "tallyra-cli: " << e.text << "\n" << kUsage;
    return 2;
  } catch (const FileError& e) {
    std::cerr << e.text << "\n";
    return 1;
  }
}
