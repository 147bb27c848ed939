// tallyra-cli generate: stakes made through filters over the whole space of combinations, with
// the funnel and what each filter would have done to the real draws.

#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Lists.h"
#include "generate/Generator.h"
#include "model/Files.h"
#include "model/TextTable.h"

namespace tallyra::cli {

namespace {

constexpr int32_t kEnglish = ToValue(Language::English);

// The filters as options, spelled as the filter file spells them.
constexpr const char* kFilterOptions[] = {"--sum",
                                          "--odd",
                                          "--low",
                                          "--spread",
                                          "--consecutive-max",
                                          "--decade-max",
                                          "--last-digit-max",
                                          "--include",
                                          "--include-any",
                                          "--exclude",
                                          "--pool",
                                          "--previous-max",
                                          "--not-drawn",
                                          "--share-max",
                                          "--top-pairs"};

std::vector<Option> GenerateOptions() {
  std::vector<Option> options = {{"--max"},   {"--results"},  {"--last"},  {"--from"},
                                 {"--to"},    {"--low-high"}, {"--count"}, {"--seed"},
                                 {"--every"}, {"--out"},      kJson};
  for (const char* name : kFilterOptions) {
    options.push_back(
        {name, std::string_view(name) == "--not-drawn" ? Takes::Nothing : Takes::Values});
  }
  return options;
}

std::string Share(const Exact& kept, bool any) {
  return any ? DecimalText(kept, 4) : std::string();
}

}  // namespace

class GenerateCommand final : public Command {
 public:
  GenerateCommand();
  int run(const Arguments& args, Output& output) const override;
};

GenerateCommand::GenerateCommand()
    : Command(
          {.name = "generate",
           .usage =
               "  tallyra-cli generate --max M [--results FILE] [--last N | --from A --to B]\n"
               "              [--sum A-B] [--odd A-B] [--low A-B] [--spread A-B]\n"
               "              [--consecutive-max K] [--decade-max K] [--last-digit-max K]\n"
               "              [--include N,N,...] [--include-any N,N,...] [--exclude N,N,...]\n"
               "              [--pool N,N,...] [--previous-max K] [--not-drawn] [--share-max T]\n"
               "              [--top-pairs K] [--low-high B] [--count N] [--seed S | --every K]\n"
               "              [--out FILE] [--json]\n",
           .options = GenerateOptions()}) {}

int GenerateCommand::run(const Arguments& args, Output& output) const {
  GenerateInput input;
  input.highest = args.number("--max", 6, 99, "--max takes 6..99").value_or(0);
  if (input.highest == 0) throw UsageError{"generate needs --max"};
  const int32_t m = input.highest;
  const RangeOptions rangeOptions = ReadRangeOptions(args);
  if (args.has("--seed") && args.has("--every")) {
    throw UsageError{"--seed and --every exclude each other"};
  }
  input.lowBoundary =
      args.number("--low-high", 1, 98, "--low-high takes 1..98, below --max").value_or(m / 2);
  if (input.lowBoundary >= m) throw UsageError{"--low-high takes 1..98, below --max"};
  PickChoice pick;
  pick.count = static_cast<uint64_t>(
      args.number("--count", 1, kStakeCapacity, "--count takes 1..99999").value_or(kStakeCapacity));
  pick.every = static_cast<uint64_t>(
      args.number("--every", 1, std::numeric_limits<int32_t>::max(), "--every takes 1 or more")
          .value_or(0));
  const std::optional<int32_t> seed =
      args.number("--seed", 0, std::numeric_limits<int32_t>::max(), "--seed takes 0 or more");
  // Without a seed, each run draws another sample; the seed used is told, to draw it again.
  pick.seed = seed ? static_cast<uint64_t>(*seed) : std::random_device()() & 0x7fffffff;

  // The filters in the order given; those that read the draws need them.
  for (const auto& [name, value] : args.inOrder()) {
    const std::optional<FilterKind> kind = FilterKindNamed(name.substr(2));
    if (!kind) continue;
    Filter filter;
    filter.kind = *kind;
    if (auto reason = ReadFilterArguments(filter, value, m, kEnglish)) {
      std::string text = "--";
      throw UsageError{text.append(*reason)};
    }
    if (ReadsHistory(filter.kind) && !args.has("--results")) {
      throw UsageError{name + " reads the draws: give them with --results"};
    }
    input.filters.push_back(filter);
  }

  int held = 0;
  if (auto file = args.value("--results")) {
    auto ws = CreateWorkspace();
    ws->HighestNumber = m;
    LoadList(ListFile::Draws, *file, *ws, kEnglish, output.err);
    held = ws->ResultCount;
    input.history = HeldDraws(*ws);
  }
  if (held > 0) {
    input.range = ChosenRange(rangeOptions, held);
  } else {
    input.range = DrawRange{1, 0};
  }
  if (const std::optional<FilterProblem> problem = CheckFilters(input, kEnglish)) {
    throw Failure{problem->filter < 0 ? *args.value("--results") + ": " + problem->reason
                                      : problem->reason};
  }

  const Funnel funnel = RunFunnel(input);
  const std::vector<AnalysisDraw> picked = PickCombinations(input, funnel, pick);
  const bool sampled = funnel.left > pick.count && pick.every == 0;
  const bool everyK = funnel.left > pick.count && pick.every > 0;
  const std::optional<std::string> out = args.value("--out");

  // The stakes go to --out, or to standard output unless it carries the JSON.
  std::ostringstream records;
  for (std::size_t i = 0; i < picked.size(); ++i) {
    WriteRecordLine(records, static_cast<int64_t>(i + 1),
                    std::vector<int32_t>(picked[i].begin(), picked[i].end()));
  }
  uint64_t written = 0;
  if (out) {
    if (const auto error = WriteFileReplacing(*out, records.str())) {
      throw Failure{
          Format(TextId::TxtCannotWrite, kEnglish, {*out, DescribeFileError(*error, kEnglish)})};
    }
    written = picked.size();
  } else if (!args.json()) {
    output.out << records.str();
    written = picked.size();
  }

  const bool draws = input.range.draws() > 0;
  std::ostringstream report;
  if (args.json()) {
    report << "{\"total\": " << funnel.total << ",\n \"funnel\": [";
    for (std::size_t i = 0; i < funnel.steps.size(); ++i) {
      const FunnelStep& s = funnel.steps[i];
      const Filter& f = input.filters[static_cast<std::size_t>(s.filter)];
      report << (i ? ",\n  " : "") << "{\"filter\": \"" << FilterName(f.kind)
             << "\", \"args\": " << JsonQuoted(FilterArguments(f)) << ", \"left\": " << s.left
             << ", \"alone\": " << s.alone << ", \"draws_kept\": "
             << (draws ? JsonQuoted(Share(s.drawsKept, true)) : std::string("null")) << '}';
    }
    report << "],\n \"left\": " << funnel.left << ", \"written\": " << written
           << ", \"seed\": " << (sampled ? std::to_string(pick.seed) : std::string("null"))
           << ", \"every\": " << (everyK ? std::to_string(pick.every) : std::string("null"))
           << ", \"draws_kept\": "
           << (draws ? JsonQuoted(Share(funnel.drawsKept, true)) : std::string("null"))
           << ", \"emptied_by\": "
           << (funnel.emptiedBy >= 0
                   ? JsonQuoted(
                         FilterName(input.filters[static_cast<std::size_t>(funnel.emptiedBy)].kind))
                   : std::string("null"))
           << ", \"range\": {\"from\": " << input.range.first << ", \"to\": " << input.range.last
           << ", \"draws\": " << input.range.draws() << "}, \"pool\": ";
    WriteJsonNumbers(report, funnel.numbersLeft);
    report << "}\n";
    output.out << report.str();
    return 0;
  }
  // The funnel goes beside the stakes, on standard error.
  report << "6 of " << m << ": " << funnel.total << " combinations";
  if (draws) report << "; draws " << input.range.first << ".." << input.range.last;
  report << "\nfilter                         left        alone  draws kept\n";
  for (const FunnelStep& s : funnel.steps) {
    const Filter& f = input.filters[static_cast<std::size_t>(s.filter)];
    std::string name = FilterName(f.kind);
    const std::string arguments = FilterArguments(f);
    if (!arguments.empty()) name.append(" ").append(arguments);
    char line[160];
    std::snprintf(
        line, sizeof line, "%-24s %11llu %12llu  %s\n", name.c_str(),
        static_cast<unsigned long long>(s.left), static_cast<unsigned long long>(s.alone),
        draws ? (DecimalText(Exact{s.drawsKept.numerator * 100, s.drawsKept.denominator}, 1) + " %")
                    .c_str()
              : "-");
    report << line;
  }
  if (funnel.emptiedBy >= 0) {
    const Filter& f = input.filters[static_cast<std::size_t>(funnel.emptiedBy)];
    report << "The filter " << FilterName(f.kind) << ' ' << FilterArguments(f)
           << " left no combination.\n";
  }
  report << funnel.left << " left";
  if (draws) {
    report << ", keeping "
           << DecimalText(Exact{funnel.drawsKept.numerator * 100, funnel.drawsKept.denominator}, 1)
           << " % of the draws";
  }
  report << "; " << written << " written";
  if (sampled) report << " (a sample, seed " << pick.seed << ")";
  if (everyK) report << " (every " << pick.every << "-th in order)";
  report << ".\n";
  output.err << report.str();
  return 0;
}

std::unique_ptr<Command> MakeGenerateCommand() {
  return std::make_unique<GenerateCommand>();
}

}  // namespace tallyra::cli
