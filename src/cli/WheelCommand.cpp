// tallyra-cli wheel build|check: wheels over a pool of numbers, built or checked exactly.

#include "cli/WheelCommand.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lists/RecordReader.h"
#include "model/Files.h"
#include "model/Integer.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "wheels/Builder.h"
#include "wheels/Verifier.h"

const char* const kWheelUsage =
    "  tallyra-cli wheel build --pool N,N,... --guarantee TifM [--seconds S] [--max M]\n"
    "              [--seed N] [--lang en|ru] [--json]\n"
    "              (the tickets go to standard output as record lines, the sizes to standard\n"
    "              error)\n"
    "  tallyra-cli wheel check --pool N,N,... --stakes FILE [--max M] [--lang en|ru] [--json]\n";

namespace {

namespace wh = tallyra::wheels;

struct UsageError {
  std::string text;
};
struct InputError {
  std::string text;
};

struct WheelOptions {
  std::string action;
  std::map<std::string, std::string> values;
  bool json = false;
  std::optional<std::string> get(const std::string& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
};

WheelOptions Parse(int argc, char** argv) {
  WheelOptions o;
  if (argc < 3) throw UsageError{"wheel needs build or check"};
  o.action = argv[2];
  if (o.action != "build" && o.action != "check") {
    throw UsageError{"unknown wheel action '" + o.action + "'"};
  }
  const std::vector<std::string> valued =
      o.action == "build" ? std::vector<std::string>{"--pool", "--guarantee", "--seconds",
                                                     "--max",  "--lang",      "--seed"}
                          : std::vector<std::string>{"--pool", "--stakes", "--max", "--lang"};
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      o.json = true;
    } else if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
      if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
      if (o.values.count(arg)) throw UsageError{arg + " is given twice"};
      o.values[arg] = argv[++i];
    } else {
      throw UsageError{"unknown option '" + arg + "' for wheel " + o.action};
    }
  }
  if (!o.get("--pool")) throw UsageError{"wheel " + o.action + " needs --pool"};
  if (o.action == "build" && !o.get("--guarantee"))
    throw UsageError{"wheel build needs --guarantee"};
  if (o.action == "check" && !o.get("--stakes")) throw UsageError{"wheel check needs --stakes"};
  return o;
}

int32_t Language(const WheelOptions& o) {
  const std::string lang = o.get("--lang").value_or("en");
  if (lang == "en") return tallyra::ToValue(tallyra::Language::English);
  if (lang == "ru") return tallyra::ToValue(tallyra::Language::Russian);
  throw UsageError{"--lang takes en or ru"};
}

int Highest(const WheelOptions& o) {
  if (auto m = o.get("--max")) {
    const auto value = tallyra::ParseDecimal(*m);
    if (!value || *value < 7 || *value > wh::kMaxPool) throw UsageError{"--max takes 7..99"};
    return *value;
  }
  return tallyra::kDefaultHighestNumber;
}

std::vector<int32_t> Pool(const WheelOptions& o, int32_t language) {
  std::vector<int32_t> pool;
  if (auto problem = wh::ParsePool(*o.get("--pool"), Highest(o), pool)) {
    throw InputError{problem->text(language)};
  }
  return pool;
}

void Numbers(std::ostream& out, const std::vector<int32_t>& numbers, const char* sep) {
  for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? sep : "") << numbers[i];
}

void JsonArray(std::ostream& out, const std::vector<int32_t>& numbers) {
  out << '[';
  Numbers(out, numbers, ", ");
  out << ']';
}

int Build(const WheelOptions& o) {
  const int32_t language = Language(o);
  const std::vector<int32_t> pool = Pool(o, language);
  wh::Guarantee guarantee;
  if (auto problem = wh::ParseGuarantee(*o.get("--guarantee"), guarantee)) {
    throw InputError{problem->text(language)};
  }
  if (auto problem = wh::CheckGuarantee(guarantee, static_cast<int>(pool.size()))) {
    throw InputError{problem->text(language)};
  }
  wh::BuildOptions options;
  if (auto s = o.get("--seconds")) {
    char* end = nullptr;
    const double seconds = std::strtod(s->c_str(), &end);
    if (s->empty() || *end != '\0' || !(seconds >= 0 && seconds <= 86400)) {
      throw UsageError{"--seconds takes 0..86400"};
    }
    options.seconds = seconds;
  }
  if (auto s = o.get("--seed")) {
    const auto value = tallyra::ParseDecimal(*s);
    if (!value || *value < 0) throw UsageError{"--seed takes a number"};
    options.seed = static_cast<uint64_t>(*value);
  }
  const wh::BuildResult result = wh::BuildWheel(pool, guarantee, options);
  if (result.problem) throw InputError{result.problem->text(language)};
  // A list cut short keeps no guarantee: nothing is printed rather than that.
  if (result.tickets.empty()) {
    throw InputError{tallyra::Format(tallyra::TextId::TxtWheelTimeRanOut, language,
                                     {wh::GuaranteeText(guarantee)})};
  }

  std::ostream& out = std::cout;
  if (o.json) {
    out << "{\"pool\": ";
    JsonArray(out, pool);
    out << ", \"guarantee\": \"" << wh::GuaranteeText(guarantee)
        << "\", \"size\": " << result.tickets.size() << ", \"bound\": " << result.bound
        << ", \"tickets\": [";
    for (std::size_t i = 0; i < result.tickets.size(); ++i) {
      if (i) out << ", ";
      JsonArray(out, result.tickets[i]);
    }
    out << "]}\n";
  } else {
    // Exactly the stakes file's lines, so the output can be loaded as it is.
    for (std::size_t i = 0; i < result.tickets.size(); ++i) {
      out << i + 1 << " - ";
      Numbers(out, result.tickets[i], ",");
      out << ";\r\n";
    }
    std::cerr << tallyra::Format(tallyra::TextId::TxtWheelSummary, language,
                                 {wh::GuaranteeText(guarantee), std::to_string(pool.size()),
                                  std::to_string(result.tickets.size()),
                                  std::to_string(result.bound), std::to_string(result.greedySize)})
              << "\n";
  }
  return 0;
}

int Check(const WheelOptions& o) {
  const int32_t language = Language(o);
  const std::vector<int32_t> pool = Pool(o, language);
  const std::string path = *o.get("--stakes");
  const tallyra::FileText file = tallyra::ReadWholeFile(path, tallyra::kMaxListFileBytes);
  if (!file.ok) {
    throw InputError{tallyra::Format(tallyra::TextId::TxtCannotOpen, language,
                                     {path, tallyra::DescribeFileError(file.error, language)})};
  }
  auto ws = tallyra::CreateWorkspace();
  const tallyra::ReadOutcome outcome =
      tallyra::ReadRecordLines(file.data, tallyra::TableRef::of(ws->StakeTable), ws->StakeCount,
                               tallyra::OverflowRule::RejectFile);
  const std::string message = tallyra::DescribeReadOutcome(outcome, language);
  if (!outcome.ok()) throw InputError{path + ": " + message};
  if (!message.empty()) std::cerr << path << ": " << message << "\n";
  std::vector<wh::Ticket> tickets;
  for (int r = 1; r <= ws->StakeCount; ++r) {
    wh::Ticket t;
    for (int c = 1; c <= 6; ++c) t.push_back(ws->StakeTable.at(c, r));
    tickets.push_back(std::move(t));
  }
  const wh::Coverage coverage = wh::Verify(pool, tickets);
  const std::string outside = coverage.outsidePool
                                  ? tallyra::Format(tallyra::TextId::TxtWheelOutsidePool, language,
                                                    {std::to_string(coverage.outsidePool)})
                                  : std::string();

  std::ostream& out = std::cout;
  if (o.json) {
    if (!outside.empty()) std::cerr << outside << "\n";
    out << "{\"pool\": ";
    JsonArray(out, pool);
    out << ", \"tickets\": " << coverage.tickets << ", \"coverage\": [";
    for (std::size_t i = 0; i < coverage.rows.size(); ++i) {
      const wh::CoverageRow& row = coverage.rows[i];
      out << (i ? ", " : "") << "{\"t\": " << row.guarantee.t << ", \"m\": " << row.guarantee.m
          << ", \"covered\": " << row.covered << ", \"total\": " << row.total
          << ", \"holds\": " << (row.holds() ? "true" : "false") << ", \"witnesses\": [";
      for (std::size_t w = 0; w < row.witnesses.size(); ++w) {
        if (w) out << ", ";
        JsonArray(out, row.witnesses[w]);
      }
      out << "]}";
    }
    out << "]}\n";
    return 0;
  }
  out << "pool: ";
  Numbers(out, pool, ",");
  out << " (" << pool.size() << " numbers)\ntickets: " << coverage.tickets << "\n";
  if (!outside.empty()) out << outside << "\n";
  out << "guarantee      covered        total     share  holds  not covered, for example\n";
  for (const wh::CoverageRow& row : coverage.rows) {
    char line[128];
    std::snprintf(line, sizeof line, "%-9s %12llu %12llu %8s%%  %-5s",
                  wh::GuaranteeText(row.guarantee).c_str(),
                  static_cast<unsigned long long>(row.covered),
                  static_cast<unsigned long long>(row.total),
                  wh::CoveragePercent(row.covered, row.total).c_str(), row.holds() ? "yes" : "no");
    std::string text = line;
    if (row.witnesses.empty()) text.erase(text.find_last_not_of(' ') + 1);
    out << text;
    for (std::size_t w = 0; w < row.witnesses.size(); ++w) {
      out << (w ? "; " : "  ");
      Numbers(out, row.witnesses[w], ",");
    }
    out << "\n";
  }
  return 0;
}

}  // namespace

int RunWheelCommand(int argc, char** argv) {
  try {
    const WheelOptions o = Parse(argc, argv);
    return o.action == "build" ? Build(o) : Check(o);
  } catch (const UsageError& e) {
    std::cerr << "tallyra-cli: " << e.text << "\nusage:\n" << kWheelUsage;
    return 2;
  } catch (const InputError& e) {
    std::cerr << e.text << "\n";
    return 1;
  }
}
