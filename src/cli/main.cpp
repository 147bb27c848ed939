// tallyra-cli: the collations and the check from the command line, over the same core as the
// window.

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/ImportCommand.h"
#include "cli/WheelCommand.h"
#include "cli/WinningsCommand.h"
#include "collate/Collation.h"
#include "lists/EntryCheck.h"
#include "lists/RecordReader.h"
#include "model/Files.h"
#include "model/Integer.h"
#include "model/TextTable.h"
#include "net/HttpClient.h"
#include "net/HttpsClient.h"
#include "stats/Statistics.h"

namespace {

using tallyra::CollationKind;

constexpr const char* kUsage =
    "usage:\n"
    "  tallyra-cli collate stakes|stakes-results|system|system-results|all\n"
    "              [--stakes FILE] [--system FILE] [--results FILE] [--lang en|ru]\n"
    "              [--json [--lists full|none|N]]\n"
    "  tallyra-cli check --combination N,N,N,N,N,N[,N...]\n"
    "              (--stakes FILE [--system FILE] [--include-system] | --results FILE)\n"
    "              [--max M] [--lang en|ru] [--json]\n"
    "  tallyra-cli stats --results FILE [--max M] [--sort order|frequency|draws]... [--json]\n"
    "  tallyra-cli fetch URL FILE [--timeout MS] [--max-time S] [--fail] [--cacert FILE]\n"
    "  tallyra-cli import FILE --as results|stakes|system [--columns 3,4,5,6,7,8]\n"
    "              [--newest-first|--oldest-first] [--max M] [--merge-into Results.txt]\n"
    "              [--out FILE] [--prizes-out FILE] [--json]\n";

constexpr const char* kHelpTail =
    "\n"
    "tallyra-cli --help prints this text, tallyra-cli COMMAND --help the usage of one command\n"
    "(tallyra-cli wheel build --help of one action), tallyra-cli --version the version.\n"
    "A file that cannot be read exits with 1, a mistaken call with 2.\n";

// The usage lines of one command (and of one of its actions, when given): its first line and
// the lines that continue it. Empty for a command the program does not have.
std::string CommandUsage(const std::string& usage, const std::string& command,
                         const std::string& action) {
  std::string lines;
  bool in = false;
  std::size_t at = 0;
  while (at < usage.size()) {
    const std::size_t end = std::min(usage.find('\n', at), usage.size());
    const std::string line = usage.substr(at, end - at);
    at = end + 1;
    const std::string start = "  tallyra-cli ";
    if (line.rfind(start, 0) == 0) {
      const std::string words = line.substr(start.size()) + " ";
      in = words.rfind(command + " ", 0) == 0 &&
           (action.empty() || words.rfind(command + " " + action + " ", 0) == 0);
    } else if (line.rfind("      ", 0) != 0) {
      in = false;
    }
    if (in) lines += line + "\n";
  }
  return lines;
}

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
  static const char* const kValued[] = {"--stakes",      "--system", "--results", "--lang",
                                        "--combination", "--max",    "--lists"};
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      o.json = true;
    } else if (arg == "--include-system" && o.command == "check") {
      o.includeSystem = true;
    } else if (arg == "--fail" && o.command == "fetch") {
      o.values[arg] = "";
    } else if ((arg == "--timeout" || arg == "--max-time" || arg == "--cacert") &&
               o.command == "fetch") {
      if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
      o.values[arg] = argv[++i];
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
  if (o.get("--lists") && o.command != "collate") throw UsageError{"--lists goes with collate"};
  return o;
}

int32_t Language(const Options& o) {
  const std::string lang = o.get("--lang").value_or("en");
  if (lang == "en") return tallyra::ToValue(tallyra::Language::English);
  if (lang == "ru") return tallyra::ToValue(tallyra::Language::Russian);
  throw UsageError{"--lang takes en or ru"};
}

// Reads a list file into its table, all or nothing, as the window does.
void Load(const std::string& path, tallyra::TableRef table, int32_t& count, bool keepLatest,
          int32_t language) {
  const tallyra::FileText file = tallyra::ReadWholeFile(path, tallyra::kMaxListFileBytes);
  if (!file.ok) {
    throw FileError{tallyra::Format(tallyra::TextId::TxtCannotOpen, language,
                                    {path, tallyra::DescribeFileError(file.error, language)})};
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

// How much of each list --json writes: all of it, none, or at most so many entries.
struct ListLimit {
  bool none = false;
  std::optional<int64_t> entries;  // cut after this many entries
};

ListLimit ParseListLimit(const Options& o) {
  ListLimit limit;
  const auto value = o.get("--lists");
  if (!value) return limit;
  if (o.command != "collate") throw UsageError{"--lists goes with collate"};
  if (!o.json) throw UsageError{"--lists goes with --json"};
  if (*value == "full") return limit;
  if (*value == "none") {
    limit.none = true;
    return limit;
  }
  const auto n = tallyra::ParseDecimal(*value);
  if (!n || *n < 0 || value->empty() || value->find_first_not_of("0123456789") != std::string::npos)
    throw UsageError{"--lists takes full, none or a number of entries"};
  limit.entries = *n;
  return limit;
}

// The length of the list's first `entries` entries (each ends with " , "), headings before
// them included; the whole length when it has no more.
int64_t LengthOfEntries(const tallyra::CoincidenceList& list, int64_t entries) {
  if (entries <= 0) return 0;
  int64_t at = 0;
  int64_t found = 0;
  int64_t end = list.length();
  // An entry's end may straddle two pieces: keep the last two characters of the previous one.
  std::string tail;
  list.forEachChunk(
      int64_t{1} << 20,
      [&](const std::string& piece) {
        const std::string text = tail + piece;
        const auto base = at - static_cast<int64_t>(tail.size());
        for (std::size_t i = text.find(" , "); i != std::string::npos;
             i = text.find(" , ", i + 1)) {
          // Occurrences lying wholly in the kept tail were counted with the previous piece.
          if (i + 3 <= tail.size()) continue;
          if (++found == entries) {
            end = base + static_cast<int64_t>(i) + 3;
            return false;
          }
        }
        at += static_cast<int64_t>(piece.size());
        tail = text.size() >= 2 ? text.substr(text.size() - 2) : text;
        return true;
      },
      1);
  return end;
}

// Whether any of the eight characters at `at` may need an escape: a control character, '"' or
// '\\' (or any byte from 0x80 on, which the careful path then lets through).
bool MayNeedEscape(const char* at) {
  uint64_t x;
  std::memcpy(&x, at, sizeof x);
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHigh = 0x8080808080808080;
  const uint64_t low = (x - kOnes * 0x20) | x;
  const uint64_t quote = x ^ (kOnes * '"');
  const uint64_t slash = x ^ (kOnes * '\\');
  return ((low | ((quote - kOnes) & ~quote) | ((slash - kOnes) & ~slash)) & kHigh) != 0;
}

// Writes `count` characters of the list from its start as the text of a JSON string. The
// lists are nearly all digits and separators, so runs that need no escape go out whole, and
// the text is made on other threads while it is written.
void JsonString(std::ostream& out, const tallyra::CoincidenceList& list, int64_t count) {
  out << '"';
  int64_t left = count;
  if (left > 0) {
    list.forEachChunk(int64_t{1} << 22, [&](const std::string& piece) {
      const std::size_t size =
          static_cast<std::size_t>(std::min<int64_t>(left, static_cast<int64_t>(piece.size())));
      left -= static_cast<int64_t>(size);
      const char* data = piece.data();
      std::size_t run = 0;
      for (std::size_t i = 0; i < size; ++i) {
        // Eight characters at a time while none of them needs a closer look.
        while (i + 8 <= size && !MayNeedEscape(data + i)) i += 8;
        if (i >= size) break;
        const auto ch = static_cast<unsigned char>(data[i]);
        if (ch >= 0x20 && ch != '"' && ch != '\\') continue;
        out.write(data + run, static_cast<std::streamsize>(i - run));
        if (ch == '"' || ch == '\\') {
          out << '\\' << static_cast<char>(ch);
        } else {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", ch);
          out << code;
        }
        run = i + 1;
      }
      out.write(data + run, static_cast<std::streamsize>(size - run));
      return left > 0;
    });
  }
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

void Report(const tallyra::Outcome& outcome, const tallyra::Workspace& ws, bool json,
            const ListLimit& limit = {}) {
  std::ostream& out = std::cout;
  if (json) {
    out << "{\"counts\": {\"6\": " << outcome.counts[3] << ", \"5\": " << outcome.counts[2]
        << ", \"4\": " << outcome.counts[1] << ", \"3\": " << outcome.counts[0] << "}";
    if (!limit.none) {
      std::array<bool, 4> cut{};
      out << ", \"lists\": {";
      for (int c = 3; c >= 0; --c) {
        const auto& list = *outcome.lists[static_cast<std::size_t>(c)];
        int64_t length = list.length();
        // A list within the limit is written whole, with any heading after its last entry.
        if (limit.entries && outcome.counts[static_cast<std::size_t>(c)] > *limit.entries) {
          length = LengthOfEntries(list, *limit.entries);
          cut[static_cast<std::size_t>(c)] = length < list.length();
        }
        out << '"' << c + 3 << "\": ";
        JsonString(out, list, length);
        if (c) out << ", ";
      }
      out << "}";
      if (limit.entries) {
        // Which lists lost entries to the limit.
        out << ", \"lists_cut\": {";
        for (int c = 3; c >= 0; --c) {
          out << '"' << c + 3 << "\": " << (cut[static_cast<std::size_t>(c)] ? "true" : "false")
              << (c ? ", " : "}");
        }
      }
    }
    out << ", \"stakes\": ";
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
  const ListLimit limit = ParseListLimit(o);
  auto ws = tallyra::CreateWorkspace();
  ws->Language = language;
  LoadLists(o, *ws, language);
  const tallyra::Outcome outcome =
      tallyra::Collate(kind->second, tallyra::SnapshotFor(kind->second, *ws));
  Report(outcome, *ws, o.json, limit);
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

// The same limit as the window's download: the command is there to fetch draw histories.
constexpr int64_t kMaxFetchBytes = int64_t{64} << 20;

// Fetches a URL as the download does: the body replaces the file (whatever the status, unless
// --fail is given) only once it has arrived whole, through a temporary file beside it; the
// header text as received goes to standard output.
int Fetch(const Options& o) {
  for (const auto& other :
       {"--stakes", "--system", "--results", "--combination", "--lang", "--max"}) {
    if (o.get(other)) throw UsageError{std::string("fetch takes no ") + other};
  }
  if (o.json) throw UsageError{"fetch takes no --json"};
  tallyra::TWebClient client;
  if (auto t = o.get("--timeout")) {
    const auto value = tallyra::ParseDecimal(*t);
    if (!value || *value < 0) throw UsageError{"--timeout takes milliseconds"};
    client.TimeOut = *value;
  }
  // The whole fetch, however steadily a server trickles its answer; --timeout alone lets a
  // byte every now and then keep it going for ever.
  int64_t maxSeconds = 0;
  if (auto t = o.get("--max-time")) {
    const auto value = tallyra::ParseDecimal(*t);
    if (!value || *value < 0) throw UsageError{"--max-time takes whole seconds (0: no limit)"};
    maxSeconds = *value;
    client.MaxTime = maxSeconds * 1000;
  }
  // Certificates trusted besides the system's own, for https:// (a server with its own CA).
  if (auto ca = o.get("--cacert")) {
    if (!tallyra::ReadWholeFile(*ca).ok) throw FileError{"cannot read the certificates in " + *ca};
    client.CaFile = *ca;
  }
  const std::string file = *o.get("file");
  if (auto ca = o.get("--cacert"); ca && tallyra::SameFile(*ca, file)) {
    throw UsageError{"FILE (" + file + ") and --cacert (" + *ca +
                     ") are the same file; nothing was written"};
  }
  client.MaxBody = kMaxFetchBytes;
  try {
    client.FetchToFile(o.kind);
  } catch (const tallyra::ETooLarge& e) {
    std::cerr << (e.part == tallyra::ETooLarge::Part::Header ? "the answer's header" : "the body")
              << " is larger than " << e.limit << " bytes; " << file << " was not changed\n";
    return 1;
  } catch (const tallyra::ETimeLimit&) {
    std::cerr << "the fetch took longer than --max-time " << maxSeconds << " s and was stopped; "
              << file << " was not changed\n";
    return 1;
  } catch (const std::runtime_error& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::cout << client.Header;
  std::cout.flush();
  // A failure status leaves the file alone only when asked to: the body may be worth seeing.
  if (o.get("--fail") && client.StatusCode >= 400) {
    std::cerr << "the server answered with status " << client.StatusCode << "; " << file
              << " was not changed\n";
    return 22;
  }
  if (!client.BodyComplete()) {
    std::cerr << "the body is incomplete: " << client.BodySize << " of the " << client.ContentLength
              << " bytes announced arrived; " << file << " was not changed\n";
    return 1;
  }
  if (const auto failure = tallyra::WriteFileReplacing(file, client.BodyText)) {
    constexpr int32_t kEnglish = tallyra::ToValue(tallyra::Language::English);
    std::cerr << tallyra::Format(tallyra::TextId::TxtCannotWrite, kEnglish,
                                 {file, tallyra::DescribeFileError(*failure, kEnglish)})
              << "\n";
    return 1;
  }
  return 0;
}

int Stats(const Options& o) {
  const auto results = o.get("--results");
  if (!results) throw UsageError{"stats needs --results"};
  for (const auto& other : {"--stakes", "--system", "--combination", "--lang"}) {
    if (o.get(other)) throw UsageError{std::string("stats takes no ") + other};
  }
  auto ws = tallyra::CreateWorkspace();
  ws->Language = tallyra::ToValue(tallyra::Language::English);
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
      ws->StatSortMode = tallyra::ToValue(tallyra::StatisticsOrder::ByNumber);
    } else if (sort == "frequency") {
      ws->StatSortMode = tallyra::ToValue(tallyra::StatisticsOrder::ByFrequency);
    } else if (sort == "draws") {
      ws->StatSortMode = tallyra::ToValue(tallyra::StatisticsOrder::ByDraws);
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

// Runs a command; running out of memory anywhere in it is an error like any other.
template <typename F>
int RunCommand(const Options& o, F&& command) {
  try {
    return command(o);
  } catch (const std::bad_alloc&) {
    const std::string lang = o.get("--lang").value_or("en");
    throw FileError{tallyra::Text(
        tallyra::TextId::TxtOutOfMemory,
        tallyra::ToValue(lang == "ru" ? tallyra::Language::Russian : tallyra::Language::English))};
  }
}

namespace {

// Standard output through a buffer of the program's own, which keeps the reason of the first
// write that failed, wherever in the run that came: the message at the end names it.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }
  int error() const { return m_error; }

 protected:
  int_type overflow(int_type ch) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return drain() ? 0 : -1; }
  // A large piece (the lists of a collation) goes out without a copy.
  std::streamsize xsputn(const char* data, std::streamsize count) override {
    if (count < static_cast<std::streamsize>(m_buffer.size())) {
      return std::streambuf::xsputn(data, count);
    }
    if (!drain()) return 0;
    auto left = static_cast<std::size_t>(count);
    while (left > 0) {
      const ssize_t n = ::write(STDOUT_FILENO, data, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (m_error == 0) m_error = errno;
        return count - static_cast<std::streamsize>(left);
      }
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    return count;
  }

 private:
  // Writes out what the buffer holds; after a failure the rest is dropped.
  bool drain() {
    const char* at = pbase();
    auto left = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    while (left > 0) {
      const ssize_t n = ::write(STDOUT_FILENO, at, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (m_error == 0) m_error = errno;
        return false;
      }
      at += n;
      left -= static_cast<std::size_t>(n);
    }
    return m_error == 0;
  }

  std::array<char, std::size_t{1} << 16> m_buffer{};
  int m_error = 0;
};

OutputBuffer*& StandardOutput() {
  static OutputBuffer* buffer = nullptr;
  return buffer;
}

// The language of the call's messages: --lang's, where the command takes one.
int32_t CallLanguage(int argc, char** argv) {
  const tallyra::Language english = tallyra::Language::English;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--lang") == 0) {
      return tallyra::ToValue(std::strcmp(argv[i + 1], "ru") == 0 ? tallyra::Language::Russian
                                                                  : english);
    }
  }
  return tallyra::ToValue(english);
}

int RunProgram(int argc, char** argv) {
  try {
    // Even this allocates: the streams' own buffers.
    std::ios::sync_with_stdio(false);
    StandardOutput() = new OutputBuffer;  // kept to the end: the streams flush at exit
    std::cout.rdbuf(StandardOutput());
    const std::string fullUsage = std::string(kUsage) + kWheelUsage + tallyra::cli::kWinningsUsage;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
      std::cout << fullUsage << kHelpTail;
      return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
      std::cout << "tallyra-cli " << TALLYRA_VERSION << "\n";
      return 0;
    }
    // COMMAND [ACTION] ... --help: the usage of that command, whatever else the call holds.
    for (int i = 2; i < argc; ++i) {
      if (std::strcmp(argv[i], "--help") != 0) continue;
      const std::string action =
          std::strcmp(argv[1], "wheel") == 0 && i > 2 && argv[2][0] != '-' ? argv[2] : "";
      std::string lines = CommandUsage(fullUsage, argv[1], action);
      if (lines.empty() && !action.empty()) lines = CommandUsage(fullUsage, argv[1], "");
      if (lines.empty()) break;  // not a command: the parser says so
      std::cout << "usage:\n" << lines;
      return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "wheel") == 0) return RunWheelCommand(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "import") == 0) {
      return tallyra::cli::RunImport(argc, argv, kUsage);
    }
    if (argc >= 2 && std::strcmp(argv[1], "winnings") == 0) {
      return tallyra::cli::RunWinnings(argc, argv);
    }
    const Options o = Parse(argc, argv);
    if (o.command == "collate") return RunCommand(o, Collate);
    if (o.command == "stats") return RunCommand(o, Stats);
    if (o.command == "fetch") return RunCommand(o, Fetch);
    return RunCommand(o, Check);
  } catch (const std::bad_alloc&) {
    // Nothing more is allocated here: the table's text is static, and the language is read
    // from the arguments as they stand.
    std::fputs(tallyra::Text(tallyra::TextId::TxtOutOfMemory, CallLanguage(argc, argv)), stderr);
    std::fputc('\n', stderr);
    return 1;
  } catch (const UsageError& e) {
    std::cerr << "tallyra-cli: " << e.text << "\n"
              << kUsage << kWheelUsage << tallyra::cli::kWinningsUsage;
    return 2;
  } catch (const FileError& e) {
    std::cerr << e.text << "\n";
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int code = RunProgram(argc, argv);
  // What did not reach standard output (a full disk, a closed pipe) is a failure, whatever the
  // command itself made of its run: a caller reading the output must not take it as whole.
  std::cout.flush();
  int error = StandardOutput() ? StandardOutput()->error() : 0;
  if (error == 0 && !std::cout.good()) error = EIO;
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    if (error == 0) error = errno ? errno : EIO;
  }
  if (error != 0) {
    const int32_t language = CallLanguage(argc, argv);
    std::fputs(tallyra::Format(tallyra::TextId::TxtOutputFailed, language,
                               {tallyra::DescribeFileError(error, language)})
                   .c_str(),
               stderr);
    std::fputc('\n', stderr);
    if (code == 0) code = 1;
  }
  return code;
}
