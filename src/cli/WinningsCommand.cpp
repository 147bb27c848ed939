// tallyra-cli winnings: what the stakes and system stakes won in the latest draw, a chosen one or
// every draw of a history, with the same figures as the window's report.

#include "cli/WinningsCommand.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "lists/RecordReader.h"
#include "model/DataFiles.h"
#include "model/Files.h"
#include "model/Integer.h"
#include "model/Problem.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "winnings/Winnings.h"

namespace tallyra::cli {

const char* const kWinningsUsage =
    "  tallyra-cli winnings [--stakes FILE] [--system FILE] --results FILE [--prizes FILE]\n"
    "              [--draw N | --all] [--json]\n";

namespace {

// Messages of the command line are English.
constexpr int32_t kLanguage = ToValue(Language::English);

struct Usage {
  std::string text;
};
struct Failure {
  std::string text;
};

struct Arguments {
  std::map<std::string, std::string> files;  // --stakes, --system, --results, --prizes
  std::optional<std::string> draw;
  bool all = false;
  bool json = false;
};

Arguments Parse(int argc, char** argv) {
  Arguments a;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      a.json = true;
    } else if (arg == "--all") {
      a.all = true;
    } else if (arg == "--stakes" || arg == "--system" || arg == "--results" || arg == "--prizes" ||
               arg == "--draw") {
      if (i + 1 >= argc) throw Usage{arg + " needs a value"};
      if (a.files.count(arg) || (arg == "--draw" && a.draw)) throw Usage{arg + " is given twice"};
      if (arg == "--draw") {
        a.draw = argv[++i];
      } else {
        a.files[arg] = argv[++i];
      }
    } else {
      throw Usage{"unknown option '" + arg + "'"};
    }
  }
  if (!a.files.count("--results")) throw Usage{"winnings needs --results"};
  if (!a.files.count("--stakes") && !a.files.count("--system")) {
    throw Usage{"winnings needs --stakes or --system"};
  }
  if (a.draw && a.all) throw Usage{"--draw and --all exclude each other"};
  return a;
}

// Reads a list file into its table, all or nothing; returns the records left out at its start.
int Load(const std::string& path, TableRef table, int32_t& count, OverflowRule rule) {
  const FileText file = ReadWholeFile(path, kMaxListFileBytes);
  if (!file.ok)
    throw Failure{
        Format(TextId::TxtCannotOpen, kLanguage, {path, DescribeFileError(file.error, kLanguage)})};
  const ReadOutcome outcome = ReadRecordLines(file.data, table, count, rule);
  const std::string message = DescribeReadOutcome(outcome, kLanguage);
  if (!outcome.ok()) throw Failure{path + ": " + message};
  if (!message.empty()) std::cerr << path << ": " << message << "\n";
  return outcome.dropped;
}

// The prizes: the file given, or else the window's prize table in the working directory, the
// command line's data folder.
Prizes LoadPrizeFile(const Arguments& a) {
  Prizes prizes;
  const auto given = a.files.find("--prizes");
  const std::string path =
      given != a.files.end() ? given->second : DataFiles().path(kPrizeTableFileName);
  if (given == a.files.end() && ::access(path.c_str(), F_OK) != 0) {
    std::cerr << "no prize table (" << path << "): every amount is 0\n";
    return prizes;
  }
  if (const Problem problem = LoadPrizes(path, prizes)) {
    throw Failure{(problem.line > 0 ? path + ": " : std::string()) + Describe(problem, kLanguage)};
  }
  return prizes;
}

std::string Money(tallyra::Money value) {
  return FormatAmount(value);
}

void JsonTickets(std::ostream& out, const TierTickets& t) {
  out << "{\"3\": " << t[0] << ", \"4\": " << t[1] << ", \"5\": " << t[2] << ", \"6\": " << t[3]
      << "}";
}

// The balance of one draw of a report over several, the draw numbered as the report holds it.
tallyra::Money BalanceOf(const WinningsReport& r, int32_t draw) {
  return r.draws[static_cast<std::size_t>(draw - r.firstDraw)].balance;
}

// The draws are numbered as in the results file: offset is the count of its earliest draws that
// had no room.
void PrintJson(const WinningsReport& r, int32_t offset) {
  std::ostream& out = std::cout;
  out << "{\"draws\": " << r.drawCount() << ", \"tickets\": ";
  JsonTickets(out, r.tickets);
  out << ", \"cost\": \"" << Money(r.cost) << "\", \"winnings\": \"" << Money(r.winnings)
      << "\", \"balance\": \"" << Money(r.balance) << "\"";
  // Over one draw the best and the worst would only repeat the totals.
  if (r.drawCount() > 1 && r.bestDraw > 0) {
    for (const auto& [name, draw] :
         {std::pair{"best", r.bestDraw}, std::pair{"worst", r.worstDraw}}) {
      out << ", \"" << name << "\": {\"draw\": " << draw + offset << ", \"balance\": \""
          << Money(BalanceOf(r, draw)) << "\"}";
    }
  }
  out << ", \"rows\": [";
  bool first = true;
  for (const auto& [name, rows] :
       {std::pair{"stakes", &r.stakes}, std::pair{"system", &r.system}}) {
    for (std::size_t i = 0; i < rows->size(); ++i) {
      const WinningsRow& row = (*rows)[i];
      out << (first ? "" : ", ") << "{\"list\": \"" << name << "\", \"row\": " << i + 1
          << ", \"tickets\": ";
      JsonTickets(out, row.tickets);
      out << ", \"winnings\": \"" << Money(row.winnings) << "\"}";
      first = false;
    }
  }
  out << "]}\n";
}

void PrintText(const WinningsReport& r, const Prizes& prizes, int32_t offset) {
  std::ostream& out = std::cout;
  const std::string unit = prizes.table.currency.empty() ? "" : " " + prizes.table.currency;
  if (r.drawCount() == 1) {
    out << "draw " << r.firstDraw + offset << "\n";
  } else {
    out << "draws " << r.firstDraw + offset << " to " << r.lastDraw + offset << " ("
        << r.drawCount() << " draws)\n";
  }
  out << "tickets per draw: " << r.ticketsPerDraw << "\n";
  for (std::size_t j = 0; j < 4; ++j) {
    out << "tickets with " << j + 3 << " common numbers: " << r.tickets[j] << "\n";
  }
  out << "cost: " << Money(r.cost) << unit << "\nwinnings: " << Money(r.winnings) << unit
      << "\nbalance: " << Money(r.balance) << unit << "\n";
  if (r.drawCount() > 1) {
    out << "best draw: " << r.bestDraw + offset << " (balance " << Money(BalanceOf(r, r.bestDraw))
        << unit << ")\n"
        << "worst draw: " << r.worstDraw + offset << " (balance "
        << Money(BalanceOf(r, r.worstDraw)) << unit << ")\n";
  }
  bool heading = false;
  for (const auto& [name, rows] :
       {std::pair{"stakes", &r.stakes}, std::pair{"system", &r.system}}) {
    for (std::size_t i = 0; i < rows->size(); ++i) {
      const WinningsRow& row = (*rows)[i];
      if (!row.won()) continue;
      if (!heading) {
        out << "rows with a prize:\n"
               "list      row      3      4      5      6        winnings            cost"
               "         balance\n";
        heading = true;
      }
      char line[200];
      std::snprintf(line, sizeof line, "%-6s %6zu %6lld %6lld %6lld %6lld %15s %15s %15s\n", name,
                    i + 1, static_cast<long long>(row.tickets[0]),
                    static_cast<long long>(row.tickets[1]), static_cast<long long>(row.tickets[2]),
                    static_cast<long long>(row.tickets[3]), Money(row.winnings).c_str(),
                    Money(row.cost).c_str(), Money(row.balance).c_str());
      out << line;
    }
  }
  if (!heading) out << "no row won a prize\n";
}

int Run(int argc, char** argv) {
  const Arguments a = Parse(argc, argv);
  DrawChoice choice;
  if (a.all) choice.kind = DrawChoice::Kind::All;
  if (a.draw) {
    const std::optional<int32_t> n = ParseDecimal(*a.draw);
    if (!n || *n < 1) throw Usage{"--draw takes a draw's number, 1 or more"};
    choice.kind = DrawChoice::Kind::One;
    choice.draw = *n;
  }
  auto ws = CreateWorkspace();
  ws->Language = kLanguage;
  // Every file given is read, so that a bad one always fails.
  if (auto f = a.files.find("--stakes"); f != a.files.end()) {
    Load(f->second, TableRef::of(ws->StakeTable), ws->StakeCount, OverflowRule::RejectFile);
  }
  if (auto f = a.files.find("--system"); f != a.files.end()) {
    Load(f->second, TableRef::of(ws->SystemTable), ws->SystemCount, OverflowRule::RejectFile);
  }
  // Draws are numbered as in the file, also when its earliest ones had no room.
  const int32_t offset = Load(a.files.at("--results"), TableRef::of(ws->ResultTable),
                              ws->ResultCount, OverflowRule::KeepLatest);
  Prizes prizes = LoadPrizeFile(a);
  if (offset > 0) {
    std::map<int32_t, TierAmounts> held;
    for (const auto& [draw, amounts] : prizes.byDraw) {
      if (draw > offset) held[draw - offset] = amounts;
    }
    prizes.byDraw = std::move(held);
  }
  if (choice.kind == DrawChoice::Kind::One) {
    choice.draw -= offset;  // below 1 for a draw that had no room: reported as absent
  }

  WinningsInput input;
  input.stakes = SnapshotStakes(*ws);
  input.system = SnapshotSystem(*ws);
  input.draws = SnapshotDraws(*ws);
  const WinningsOutcome outcome = ComputeWinnings(input, prizes, choice);
  if (outcome.problem) {
    Problem problem = outcome.problem;
    if (problem.text == TextId::TxtWinningsNoSuchDraw) {
      problem.args = {std::to_string(choice.draw + offset), std::to_string(offset + 1),
                      std::to_string(offset + ws->ResultCount)};
    }
    throw Failure{Describe(problem, kLanguage)};
  }
  if (outcome.report.prizesOfAbsentDraws > 0) {
    std::cerr << "the prize file names " << outcome.report.prizesOfAbsentDraws
              << " draw(s) that the results do not hold\n";
  }
  if (a.json) {
    PrintJson(outcome.report, offset);
  } else {
    PrintText(outcome.report, prizes, offset);
  }
  return 0;
}

}  // namespace

int RunWinnings(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const Usage& e) {
    std::cerr << "tallyra-cli: " << e.text << "\nusage:\n" << kWinningsUsage;
    return 2;
  } catch (const Failure& e) {
    std::cerr << e.text << "\n";
    return 1;
  } catch (const ProblemError& e) {
    std::cerr << Describe(e.problem(), kLanguage) << "\n";
    return 1;
  }
}

}  // namespace tallyra::cli
