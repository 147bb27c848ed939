// tallyra-cli winnings: what the stakes and system stakes won in the latest draw, a chosen one or
// every draw of a history, with the same figures as the window's report.

#include "cli/Commands.h"

#include <unistd.h>
#include <memory>

#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include "cli/Lists.h"
#include "model/DataFiles.h"
#include "model/Integer.h"
#include "model/Problem.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "winnings/Winnings.h"

namespace tallyra::cli {

// tallyra-cli winnings: what the stakes and system stakes won in the latest draw, a chosen one
// or every draw of a history, with the same figures as the window's report.
class WinningsCommand final : public Command {
 public:
  WinningsCommand();
  int run(const Arguments& args, Output& output) const override;
};

namespace {

// Messages of the command line are English.
constexpr int32_t kLanguage = ToValue(Language::English);

// The prizes: the file given, or else the window's prize table in the working directory, the
// command line's data folder.
Prizes LoadPrizeFile(const Arguments& args, std::ostream& err) {
  Prizes prizes;
  const auto given = args.value("--prizes");
  const std::string path = given.value_or(DataFiles().path(kPrizeTableFileName));
  if (!given && ::access(path.c_str(), F_OK) != 0) {
    err << Format(TextId::TxtCliNoPrizeTable, kLanguage, {path}) << "\n";
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
void PrintJson(std::ostream& out, const WinningsReport& r, int32_t offset) {
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

void PrintText(std::ostream& out, const WinningsReport& r, const Prizes& prizes, int32_t offset) {
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

}  // namespace

WinningsCommand::WinningsCommand()
    : Command(
          {.name = "winnings",
           .usage =
               "  tallyra-cli winnings [--stakes FILE] [--system FILE] --results FILE [--prizes "
               "FILE]\n"
               "              [--draw N | --all] [--json]\n",
           .options = {{"--stakes"},
                       {"--system"},
                       {"--results"},
                       {"--prizes"},
                       {"--draw"},
                       {"--all", Takes::Nothing},
                       kJson},
           .afterMistake = UsageShown::Own}) {}

int WinningsCommand::run(const Arguments& args, Output& output) const {
  args.required("--results", "winnings needs --results");
  if (!args.has("--stakes") && !args.has("--system")) {
    throw UsageError{"winnings needs --stakes or --system"};
  }
  if (args.has("--draw") && args.has("--all")) {
    throw UsageError{"--draw and --all exclude each other"};
  }
  DrawChoice choice;
  if (args.has("--all")) choice.kind = DrawChoice::Kind::All;
  if (auto draw = args.number("--draw", 1, std::numeric_limits<int32_t>::max(),
                              "--draw takes a draw's number, 1 or more")) {
    choice.kind = DrawChoice::Kind::One;
    choice.draw = *draw;
  }
  auto ws = CreateWorkspace();
  ws->Language = kLanguage;
  // Draws are numbered as in the file, also when its earliest ones had no room.
  const int32_t offset = LoadLists(args, *ws, kLanguage, output.err);
  Prizes prizes = LoadPrizeFile(args, output.err);
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
    output.err << Format(TextId::TxtCliPrizesOfAbsentDraws, kLanguage,
                         {std::to_string(outcome.report.prizesOfAbsentDraws)})
               << "\n";
  }
  if (args.json()) {
    PrintJson(output.out, outcome.report, offset);
  } else {
    PrintText(output.out, outcome.report, prizes, offset);
  }
  return 0;
}

std::unique_ptr<Command> MakeWinningsCommand() {
  return std::make_unique<WinningsCommand>();
}

}  // namespace tallyra::cli
