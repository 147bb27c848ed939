// tallyra-cli analyse: the history's numbers, skips, pairs, triples and draw shapes over a
// range of draws, each beside what a fair draw gives.

#include <cstdio>
#include <memory>
#include <sstream>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Lists.h"
#include "stats/Analysis.h"

namespace tallyra::cli {

class AnalyseCommand final : public Command {
 public:
  AnalyseCommand();
  int run(const Arguments& args, Output& output) const override;
};

AnalyseCommand::AnalyseCommand()
    : Command({.name = "analyse",
               .usage =
                   "  tallyra-cli analyse --results FILE [--last N | --from A --to B] [--max M]\n"
                   "              [--pairs K] [--triples K] [--low-high B] [--look-back K] "
                   "[--json]\n",
               .options = {{"--results"},
                           {"--max"},
                           {"--last"},
                           {"--from"},
                           {"--to"},
                           {"--pairs"},
                           {"--triples"},
                           {"--low-high"},
                           {"--look-back"},
                           kJson}}) {}

namespace {

constexpr int32_t kEnglish = ToValue(Language::English);

struct Patterns {
  const char* name;
  const char* title;
  const Distribution Analysis::*distribution;
};

constexpr Patterns kPatterns[] = {
    {"odd", "odd numbers", &Analysis::odd},
    {"low", "low numbers", &Analysis::low},
    {"sum", "sum", &Analysis::sum},
    {"spread", "spread (highest - lowest)", &Analysis::spread},
    {"consecutive", "consecutive pairs", &Analysis::consecutive},
    {"decades", "numbers by decade (0: 1-9, 1: 10-19, ...)", &Analysis::decades},
    {"last_digits", "numbers by last digit", &Analysis::lastDigits},
    {"repeats", "numbers of the previous draw", &Analysis::repeats},
    {"repeats_within", "numbers of the previous draws looked back to", &Analysis::repeatsWithin},
};

std::string Fixed(double value, const char* format) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void WriteTogetherJson(std::ostream& out, const std::vector<Together>& sets) {
  out << '[';
  for (std::size_t i = 0; i < sets.size(); ++i) {
    out << (i ? ", " : "") << "{\"numbers\": ";
    WriteJsonNumbers(out, sets[i].numbers);
    out << ", \"count\": " << sets[i].count << '}';
  }
  out << ']';
}

void WriteJson(std::ostream& out, const Analysis& a, int pairs, int triples) {
  out << "{\"range\": {\"from\": " << a.settings.range.first
      << ", \"to\": " << a.settings.range.last << ", \"draws\": " << a.draws
      << "}, \"max\": " << a.settings.highest << ", \"low_high\": " << a.settings.lowBoundary
      << ", \"look_back\": " << a.settings.repeatDepth << ",\n \"numbers\": [";
  const std::string expected = DecimalText(a.expectedHits);
  for (const NumberFigures& f : a.numbers) {
    out << (f.number > 1 ? ",\n  " : "") << "{\"number\": " << f.number << ", \"hits\": " << f.hits
        << ", \"expected\": \"" << expected << "\", \"skip\": " << f.skip << ", \"avg_skip\": "
        << (f.hits > 0 ? JsonQuoted(DecimalText(f.averageSkip)) : std::string("null"))
        << ", \"max_skip\": " << f.longestSkip << '}';
  }
  out << "],\n \"uniformity\": {\"chi2\": \"" << Fixed(a.uniformity.chi2, "%.4f")
      << "\", \"df\": " << a.uniformity.degreesOfFreedom << ", \"p\": \""
      << Fixed(a.uniformity.p, "%.6g") << "\"}";
  const auto together = [&](const char* name, const std::vector<Together>& top,
                            const std::vector<Together>& bottom, const Exact& each) {
    out << ",\n \"" << name << "\": {\"top\": ";
    WriteTogetherJson(out, top);
    out << ", \"bottom\": ";
    WriteTogetherJson(out, bottom);
    out << ", \"expected\": \"" << DecimalText(each) << "\"}";
  };
  together("pairs", a.topPairs(pairs, true), a.topPairs(pairs, false), a.expectedPair);
  together("triples", a.topTriples(triples, true), a.topTriples(triples, false), a.expectedTriple);
  out << ",\n \"patterns\": {";
  bool first = true;
  for (const Patterns& p : kPatterns) {
    const Distribution& d = a.*p.distribution;
    out << (first ? "" : ",\n  ") << '"' << p.name << "\": {\"from\": " << d.first
        << ", \"seen\": [";
    first = false;
    for (std::size_t i = 0; i < d.seen.size(); ++i) out << (i ? ", " : "") << d.seen[i];
    out << "], \"expected\": [";
    for (std::size_t i = 0; i < d.expected.size(); ++i) {
      out << (i ? ", " : "") << '"' << DecimalText(d.expected[i]) << '"';
    }
    out << "]}";
  }
  out << "}}\n";
}

void WriteTogetherText(std::ostream& out, const char* title, const std::vector<Together>& sets) {
  out << "  " << title << ':';
  for (const Together& t : sets) {
    out << ' ';
    for (std::size_t i = 0; i < t.numbers.size(); ++i) out << (i ? "-" : "") << t.numbers[i];
    out << " (" << t.count << ')';
  }
  out << '\n';
}

// As the window shows them: expectations and averages with two decimals.
void WriteText(std::ostream& out, const Analysis& a, int pairs, int triples) {
  out << "Draws " << a.settings.range.first << ".." << a.settings.range.last << " (" << a.draws
      << " draws), 6 of " << a.settings.highest << "\n\n";
  out << "number      hits  expected      skip  avg skip  max skip\n";
  const std::string expected = DecimalText(a.expectedHits, 2);
  for (const NumberFigures& f : a.numbers) {
    char line[128];
    std::snprintf(line, sizeof line, "%6d %9d %9s %9d %9s %9d\n", f.number, f.hits,
                  expected.c_str(), f.skip,
                  f.hits > 0 ? DecimalText(f.averageSkip, 2).c_str() : "-", f.longestSkip);
    out << line;
  }
  out << '\n' << DescribeUniformity(a.uniformity, kEnglish) << "\n\n";
  out << "Pairs, each expected " << DecimalText(a.expectedPair, 2) << " times:\n";
  WriteTogetherText(out, "most often", a.topPairs(pairs, true));
  WriteTogetherText(out, "least often", a.topPairs(pairs, false));
  out << "Triples, each expected " << DecimalText(a.expectedTriple, 2) << " times:\n";
  WriteTogetherText(out, "most often", a.topTriples(triples, true));
  WriteTogetherText(out, "least often", a.topTriples(triples, false));
  for (const Patterns& p : kPatterns) {
    const Distribution& d = a.*p.distribution;
    out << '\n' << p.title << ":\n     value      seen  expected\n";
    for (std::size_t i = 0; i < d.seen.size(); ++i) {
      char line[96];
      std::snprintf(line, sizeof line, "%10d %9lld %9s\n", d.first + static_cast<int>(i),
                    static_cast<long long>(d.seen[i]), DecimalText(d.expected[i], 2).c_str());
      out << line;
    }
  }
}

}  // namespace

int AnalyseCommand::run(const Arguments& args, Output& output) const {
  const std::string& file = args.required("--results", "analyse needs --results");
  const RangeOptions rangeOptions = ReadRangeOptions(args);
  auto ws = CreateWorkspace();
  ws->Language = kEnglish;
  ws->HighestNumber = args.number("--max", 6, 99, "--max takes 6..99").value_or(49);
  const int32_t m = ws->HighestNumber;
  const int pairs = args.number("--pairs", 0, 4851, "--pairs takes 0..4851").value_or(20);
  const int triples = args.number("--triples", 0, 156849, "--triples takes 0..156849").value_or(20);
  const int32_t lowHigh =
      args.number("--low-high", 1, 98, "--low-high takes 1..98, below --max").value_or(m / 2);
  if (lowHigh >= m) throw UsageError{"--low-high takes 1..98, below --max"};
  const int lookBack = args.number("--look-back", 1, 50, "--look-back takes 1..50").value_or(3);
  LoadList(ListFile::Draws, file, *ws, kEnglish, output.err);
  const int held = ws->ResultCount;
  if (held == 0) throw Failure{file + ": the file holds no draws to analyse."};
  const DrawRange range = ChosenRange(rangeOptions, held);
  const std::vector<AnalysisDraw> history = HeldDraws(*ws);
  AnalysisSettings settings;
  settings.highest = m;
  settings.range = range;
  settings.lowBoundary = lowHigh;
  settings.repeatDepth = lookBack;
  const Analysis analysis = Analyse(history, settings);
  if (analysis.badDraw != 0) {
    throw Failure{file + ": draw " + std::to_string(analysis.badDraw) +
                  " is not six different numbers of 1.." + std::to_string(m) +
                  " (--max sets the game's highest number)."};
  }
  // The whole report is made before any of it is written: a failure leaves no half of it.
  std::ostringstream report;
  if (args.json()) {
    WriteJson(report, analysis, pairs, triples);
  } else {
    WriteText(report, analysis, pairs, triples);
  }
  output.out << report.str();
  return 0;
}

std::unique_ptr<Command> MakeAnalyseCommand() {
  return std::make_unique<AnalyseCommand>();
}

}  // namespace tallyra::cli
