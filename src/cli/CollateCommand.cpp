// tallyra-cli collate KIND: one of the window's collations over the list files given.

#include "cli/Commands.h"

#include <map>
#include <memory>

#include "cli/CollationReport.h"
#include "cli/Lists.h"
#include "model/Integer.h"

namespace tallyra::cli {

class CollateCommand final : public Command {
 public:
  CollateCommand();
  int run(const Arguments& args, Output& output) const override;
};

namespace {

ListLimit ReadListLimit(const Arguments& args) {
  ListLimit limit;
  const auto value = args.value("--lists");
  if (!value) return limit;
  if (!args.json()) throw UsageError{"--lists goes with --json"};
  if (*value == "full") return limit;
  if (*value == "none") {
    limit.none = true;
    return limit;
  }
  const auto n = ParseDecimal(*value);
  if (!n || *n < 0 || value->empty() || value->find_first_not_of("0123456789") != std::string::npos)
    throw UsageError{"--lists takes full, none or a number of entries"};
  limit.entries = *n;
  return limit;
}

}  // namespace

CollateCommand::CollateCommand()
    : Command({.name = "collate",
               .usage =
                   "  tallyra-cli collate stakes|stakes-results|system|system-results|all\n"
                   "              [--stakes FILE] [--system FILE] [--results FILE] [--lang en|ru]\n"
                   "              [--json [--lists full|none|N]]\n",
               .words = 1,
               .wordsMissing = "collate needs a kind",
               .options = ListOptions({})}) {}

int CollateCommand::run(const Arguments& args, Output& output) const {
  static const std::map<std::string, CollationKind> kKinds = {
      {"stakes", CollationKind::StakesWithStakes},
      {"stakes-results", CollationKind::StakesWithDraws},
      {"system", CollationKind::SystemWithSystem},
      {"system-results", CollationKind::SystemWithDraws},
      {"all", CollationKind::All}};
  const auto kind = kKinds.find(args.word(0));
  if (kind == kKinds.end()) throw UsageError{"unknown kind '" + args.word(0) + "'"};
  if (args.has("--combination") || args.has("--max")) {
    throw UsageError{"collate takes no combination"};
  }
  const int32_t language = args.language();
  const ListLimit limit = ReadListLimit(args);
  auto ws = CreateWorkspace();
  ws->Language = language;
  LoadLists(args, *ws, language, output.err);
  const Outcome outcome = Collate(kind->second, SnapshotFor(kind->second, *ws));
  WriteOutcome(output.out, outcome, *ws, args.json(), limit);
  return 0;
}

std::unique_ptr<Command> MakeCollateCommand() {
  return std::make_unique<CollateCommand>();
}

}  // namespace tallyra::cli
