// tallyra-cli wheel build|check: wheels over a pool of numbers, built or checked exactly.

#include "cli/Commands.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "cli/Lists.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "wheels/Builder.h"
#include "wheels/Verifier.h"

namespace tallyra::cli {

// tallyra-cli wheel build|check: wheels over a pool of numbers, built or checked exactly.
class WheelCommand final : public Command {
 public:
  WheelCommand();
  Arguments parse(const std::vector<std::string>& args) const override;
  int run(const Arguments& args, Output& output) const override;
};

namespace {

namespace wh = tallyra::wheels;

int Highest(const Arguments& args) {
  return args.number("--max", 7, wh::kMaxPool, "--max takes 7..99").value_or(kDefaultHighestNumber);
}

std::vector<int32_t> Pool(const Arguments& args, int32_t language) {
  std::vector<int32_t> pool;
  if (auto problem = wh::ParsePool(*args.value("--pool"), Highest(args), pool)) {
    throw Failure{problem->text(language)};
  }
  return pool;
}

void Numbers(std::ostream& out, const std::vector<int32_t>& numbers, const char* sep) {
  for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? sep : "") << numbers[i];
}

int Build(const Arguments& args, Output& output) {
  const int32_t language = args.language();
  const std::vector<int32_t> pool = Pool(args, language);
  wh::Guarantee guarantee;
  if (auto problem = wh::ParseGuarantee(*args.value("--guarantee"), guarantee)) {
    throw Failure{problem->text(language)};
  }
  if (auto problem = wh::CheckGuarantee(guarantee, static_cast<int>(pool.size()))) {
    throw Failure{problem->text(language)};
  }
  wh::BuildOptions options;
  if (auto s = args.value("--seconds")) {
    char* end = nullptr;
    const double seconds = std::strtod(s->c_str(), &end);
    if (s->empty() || *end != '\0' || !(seconds >= 0 && seconds <= 86400)) {
      throw UsageError{"--seconds takes 0..86400"};
    }
    options.seconds = seconds;
  }
  if (auto seed =
          args.number("--seed", 0, std::numeric_limits<int32_t>::max(), "--seed takes a number")) {
    options.seed = static_cast<uint64_t>(*seed);
  }
  if (auto threads = args.number("--threads", 1, 64, "--threads takes 1..64")) {
    options.threads = *threads;
  }
  if (auto target =
          args.number("--target", 1, static_cast<int>(kStakeCapacity), "--target takes 1..99999")) {
    options.target = static_cast<uint64_t>(*target);
  }
  const wh::BuildResult result = wh::BuildWheel(pool, guarantee, options);
  if (result.problem) throw Failure{result.problem->text(language)};
  // A list cut short keeps no guarantee: nothing is printed rather than that.
  if (result.tickets.empty()) {
    throw Failure{Format(TextId::TxtWheelTimeRanOut, language, {wh::GuaranteeText(guarantee)})};
  }

  std::ostream& out = output.out;
  if (args.json()) {
    out << "{\"pool\": ";
    WriteJsonNumbers(out, pool);
    out << ", \"guarantee\": \"" << wh::GuaranteeText(guarantee)
        << "\", \"size\": " << result.tickets.size() << ", \"bound\": " << result.bound
        << ", \"bound_kind\": \"" << wh::LowerBoundKind(guarantee) << "\", \"ratio\": ";
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3f",
                  result.bound ? static_cast<double>(result.tickets.size()) /
                                     static_cast<double>(result.bound)
                               : 1.0);
    out << ratio << ", \"tickets\": [";
    for (std::size_t i = 0; i < result.tickets.size(); ++i) {
      if (i) out << ", ";
      WriteJsonNumbers(out, result.tickets[i]);
    }
    out << "]}\n";
  } else {
    // Exactly the stakes file's lines, so the output can be loaded as it is.
    for (std::size_t i = 0; i < result.tickets.size(); ++i) {
      WriteRecordLine(out, static_cast<int64_t>(i + 1), result.tickets[i]);
    }
    output.err << Format(TextId::TxtWheelSummary, language,
                         {wh::GuaranteeText(guarantee), std::to_string(pool.size()),
                          std::to_string(result.tickets.size()), std::to_string(result.bound),
                          std::to_string(result.greedySize)})
               << "\n";
  }
  return 0;
}

int Check(const Arguments& args, Output& output) {
  const int32_t language = args.language();
  const std::vector<int32_t> pool = Pool(args, language);
  auto ws = CreateWorkspace();
  LoadList(ListFile::Stakes, *args.value("--stakes"), *ws, language, output.err);
  std::vector<wh::Ticket> tickets;
  for (int r = 1; r <= ws->StakeCount; ++r) {
    wh::Ticket t;
    for (int c = 1; c <= 6; ++c) t.push_back(ws->StakeTable.at(c, r));
    tickets.push_back(std::move(t));
  }
  const wh::Coverage coverage = wh::Verify(pool, tickets);
  const std::string outside = coverage.outsidePool ? Format(TextId::TxtWheelOutsidePool, language,
                                                            {std::to_string(coverage.outsidePool)})
                                                   : std::string();

  std::ostream& out = output.out;
  if (args.json()) {
    if (!outside.empty()) output.err << outside << "\n";
    out << "{\"pool\": ";
    WriteJsonNumbers(out, pool);
    out << ", \"tickets\": " << coverage.tickets << ", \"coverage\": [";
    for (std::size_t i = 0; i < coverage.rows.size(); ++i) {
      const wh::CoverageRow& row = coverage.rows[i];
      out << (i ? ", " : "") << "{\"t\": " << row.guarantee.t << ", \"m\": " << row.guarantee.m
          << ", \"covered\": " << row.covered << ", \"total\": " << row.total
          << ", \"holds\": " << (row.holds() ? "true" : "false") << ", \"witnesses\": [";
      for (std::size_t w = 0; w < row.witnesses.size(); ++w) {
        if (w) out << ", ";
        WriteJsonNumbers(out, row.witnesses[w]);
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

WheelCommand::WheelCommand()
    : Command(
          {.name = "wheel",
           .usage =
               "  tallyra-cli wheel build --pool N,N,... --guarantee TifM [--seconds S] [--max M]\n"
               "              [--seed N] [--target SIZE] [--threads N] [--lang en|ru] [--json]\n"
               "              (the tickets go to standard output as record lines, the sizes to "
               "standard\n"
               "              error)\n"
               "  tallyra-cli wheel check --pool N,N,... --stakes FILE [--max M] [--lang en|ru] "
               "[--json]\n",
           .words = 1,
           .wordsMissing = "wheel needs build or check",
           .actions = true,
           .afterMistake = UsageShown::Own}) {}

// The action comes first, and says which options the call takes.
Arguments WheelCommand::parse(const std::vector<std::string>& args) const {
  if (args.empty()) throw UsageError{syntax().wordsMissing};
  const std::string& action = args[0];
  if (action != "build" && action != "check") {
    throw UsageError{"unknown wheel action '" + action + "'"};
  }
  const std::vector<Option> build = {{"--pool"}, {"--guarantee"}, {"--seconds"}, {"--max"}, kLang,
                                     {"--seed"}, {"--target"},    {"--threads"}, kJson};
  const std::vector<Option> check = {{"--pool"}, {"--stakes"}, {"--max"}, kLang, kJson};
  const Arguments read =
      ReadOptions(args, 1, action == "build" ? build : check, " for wheel " + action);
  if (!read.has("--pool")) throw UsageError{"wheel " + action + " needs --pool"};
  if (action == "build" && !read.has("--guarantee")) {
    throw UsageError{"wheel build needs --guarantee"};
  }
  if (action == "check" && !read.has("--stakes")) throw UsageError{"wheel check needs --stakes"};
  return read;
}

int WheelCommand::run(const Arguments& args, Output& output) const {
  return args.word(0) == "build" ? Build(args, output) : Check(args, output);
}

std::unique_ptr<Command> MakeWheelCommand() {
  return std::make_unique<WheelCommand>();
}

}  // namespace tallyra::cli
