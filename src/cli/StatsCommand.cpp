// tallyra-cli stats: the Statistics tab's table of every number over the draws of a file.

#include "cli/Commands.h"

#include <cstdio>
#include <memory>

#include "cli/Lists.h"
#include "stats/Statistics.h"

namespace tallyra::cli {

class StatsCommand final : public Command {
 public:
  StatsCommand();
  int run(const Arguments& args, Output& output) const override;
};

StatsCommand::StatsCommand()
    : Command({.name = "stats",
               .usage =
                   "  tallyra-cli stats --results FILE [--max M] [--sort order|frequency|draws]... "
                   "[--json]\n",
               .options = ListOptions({{"--sort", Takes::Values}})}) {}

int StatsCommand::run(const Arguments& args, Output& output) const {
  if (args.has("--lists")) throw UsageError{"--lists goes with collate"};
  args.required("--results", "stats needs --results");
  args.refuse({"--stakes", "--system", "--combination", "--lang"}, "stats takes no ");
  constexpr int32_t kEnglish = ToValue(Language::English);
  auto ws = CreateWorkspace();
  ws->Language = kEnglish;
  ws->HighestNumber = args.number("--max", 2, 99, "--max takes 2..99").value_or(49);
  LoadLists(args, *ws, kEnglish, output.err);
  ComputeStatistics(*ws);
  // Each order re-sorts the previous one, as the buttons do.
  for (const std::string& sort : args.values("--sort")) {
    if (sort == "order") {
      ws->StatSortMode = ToValue(StatisticsOrder::ByNumber);
    } else if (sort == "frequency") {
      ws->StatSortMode = ToValue(StatisticsOrder::ByFrequency);
    } else if (sort == "draws") {
      ws->StatSortMode = ToValue(StatisticsOrder::ByDraws);
    } else {
      throw UsageError{"--sort takes order, frequency or draws"};
    }
    SortStatistics(*ws);
  }
  std::ostream& out = output.out;
  if (args.json())
    out << "{\"rows\": [";
  else
    out << "number      hits    misses         %    passed\n";
  for (int row = 1; row <= ws->HighestNumber; ++row) {
    const int slot = SlotForRow(*ws, row);
    if (slot == 0) continue;
    const auto e = static_cast<std::size_t>(slot);
    const std::string percent = PercentText(ws->StatHits[e], ws->ResultCount);
    if (args.json()) {
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
  if (args.json()) out << "]}\n";
  return 0;
}

std::unique_ptr<Command> MakeStatsCommand() {
  return std::make_unique<StatsCommand>();
}

}  // namespace tallyra::cli
