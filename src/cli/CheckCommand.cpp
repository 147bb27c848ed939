// tallyra-cli check: one combination against the stakes (and system stakes) or the draws, as
// the Check tab checks it.

#include "cli/Commands.h"

#include <array>
#include <memory>

#include "cli/CollationReport.h"
#include "cli/Lists.h"
#include "lists/EntryCheck.h"
#include "model/TextTable.h"

namespace tallyra::cli {

class CheckCommand final : public Command {
 public:
  CheckCommand();
  int run(const Arguments& args, Output& output) const override;
};

CheckCommand::CheckCommand()
    : Command({.name = "check",
               .usage =
                   "  tallyra-cli check --combination N,N,N,N,N,N[,N...]\n"
                   "              (--stakes FILE [--system FILE] [--include-system] | --results "
                   "FILE)\n"
                   "              [--max M] [--lang en|ru] [--json]\n",
               .options = ListOptions({{"--include-system", Takes::Nothing}})}) {}

int CheckCommand::run(const Arguments& args, Output& output) const {
  if (args.has("--lists")) throw UsageError{"--lists goes with collate"};
  const int32_t language = args.language();
  const std::string& list = args.required("--combination", "check needs --combination");
  const bool againstStakes = args.has("--stakes");
  const bool includeSystem = args.has("--include-system");
  if (againstStakes == args.has("--results")) {
    throw UsageError{"check takes either --stakes or --results"};
  }
  if (!againstStakes && (args.has("--system") || includeSystem)) {
    throw UsageError{"--system and --include-system go with --stakes"};
  }
  auto ws = CreateWorkspace();
  ws->Language = language;
  ws->HighestNumber = args.number("--max", 2, 99, "--max takes 2..99").value_or(49);
  // The numbers are checked as the entry dialog checks typed ones.
  EntryTexts texts;
  int boxes = 0;
  std::size_t at = 0;
  while (at <= list.size()) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    if (++boxes > 12) throw UsageError{"a combination has at most twelve numbers"};
    texts[static_cast<std::size_t>(boxes)] = list.substr(at, comma - at);
    at = comma + 1;
  }
  if (boxes < 6) throw UsageError{"a combination has at least six numbers"};
  EntryNumbers numbers{};
  std::optional<TextId> problem = CheckMainFields(texts, ws->HighestNumber, numbers);
  if (!problem && boxes > 6) problem = CheckSystemFields(texts, ws->HighestNumber, numbers);
  if (problem) {
    output.err << Text(*problem, language) << "\n";
    return 1;
  }
  std::array<int32_t, 13> cells{};
  for (int k = 1; k <= 12; ++k)
    cells[static_cast<std::size_t>(k)] = numbers[static_cast<std::size_t>(k)];

  LoadLists(args, *ws, language, output.err);
  CollationInput input;
  input.language = language;
  input.stakes = SnapshotStakes(*ws);
  input.system = SnapshotSystem(*ws);
  input.draws = SnapshotDraws(*ws);
  WriteOutcome(output.out, CheckCombination(cells, againstStakes, includeSystem, input), *ws,
               args.json());
  return 0;
}

std::unique_ptr<Command> MakeCheckCommand() {
  return std::make_unique<CheckCommand>();
}

}  // namespace tallyra::cli
