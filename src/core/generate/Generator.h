#pragma once

// Stakes made through filters. Every filter is run over the whole space of C(M, 6)
// combinations, walked in lexicographic order with running sums and number sets, never stored:
// the funnel counts what is left after each filter in the user's order and what each keeps
// alone, and the backtest says how many of the real draws each filter would have kept.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "parallel/WorkControl.h"
#include "stats/Analysis.h"

namespace tallyra {

enum class FilterKind : uint8_t {
  Sum,             // sum in low..high
  Odd,             // odd numbers in low..high
  Low,             // low numbers (up to the boundary) in low..high
  Spread,          // highest - lowest in low..high
  ConsecutiveMax,  // at most `high` pairs of consecutive numbers
  DecadeMax,       // at most `high` numbers from one decade (1-9, 10-19, ...)
  LastDigitMax,    // at most `high` numbers sharing one last digit
  Include,         // every one of `numbers`
  IncludeAny,      // at least one of `numbers`
  Exclude,         // none of `numbers`
  Pool,            // only numbers of `numbers`
  PreviousMax,     // at most `high` numbers of the latest draw of the range
  NotDrawn,        // not a combination the history holds
  ShareMax,        // at most `high` numbers in common with every draw of the range
  TopPairs,        // at least one of the `high` most frequent pairs of the range
};

struct Filter {
  FilterKind kind = FilterKind::Sum;
  bool on = true;
  int32_t low = 0, high = 0;     // the bounds, both included; the *Max kinds and TopPairs: high
  std::vector<int32_t> numbers;  // Include, IncludeAny, Exclude, Pool
};

// The name of a filter as the command line and the filter file write it ("sum",
// "consecutive-max", "include-any", "not-drawn"...), and its bounds or numbers ("120-180",
// "2", "1,7,12"; empty for not-drawn).
const char* FilterName(FilterKind kind);
std::string FilterArguments(const Filter& filter);
std::optional<FilterKind> FilterKindNamed(const std::string& name);

// Reads a filter's arguments as FilterArguments writes them; a reason when they are not of its
// shape ("A-B", a number, numbers separated by commas, nothing) or outside its meaning for M.
std::optional<std::string> ReadFilterArguments(Filter& filter, const std::string& text,
                                               int32_t highest, int32_t language);

// Whether the filter reads the history (previous draw, never drawn, shares, top pairs).
bool ReadsHistory(FilterKind kind);

struct GenerateInput {
  int32_t highest = 49;               // M, 6..99
  std::vector<AnalysisDraw> history;  // every draw held, oldest first
  DrawRange range;                    // the draws the history filters and the backtest read
  int32_t lowBoundary = 0;            // numbers up to it are low; 0 for M / 2
  std::vector<Filter> filters;        // in the user's order; those switched off count for nothing
};

// The first filter that cannot be run, and why (in the language): bounds outside their
// meaning, a number outside 1..M, a history filter without draws. Nothing when all can run.
struct FilterProblem {
  int filter = 0;  // index in GenerateInput::filters
  std::string reason;
};
std::optional<FilterProblem> CheckFilters(const GenerateInput& input, int32_t language);

struct FunnelStep {
  int filter = 0;      // index in GenerateInput::filters (filters switched off have no step)
  uint64_t left = 0;   // combinations left after this filter and those before it
  uint64_t alone = 0;  // combinations this filter keeps alone
  // Of the draws of the range, those this filter alone would have kept. The history filters
  // judge each draw by the draws before it, as they would have judged a ticket for it.
  Exact drawsKept;
};

struct Funnel {
  uint64_t total = 0;  // C(M, 6)
  std::vector<FunnelStep> steps;
  uint64_t left = 0;   // after every filter
  Exact drawsKept;     // the draws that every filter together would have kept
  int emptiedBy = -1;  // the filter (index in GenerateInput::filters) that left nothing
  // The numbers some combination left holds, ascending: the pool the filters leave.
  std::vector<int32_t> numbersLeft;
  bool cancelled = false;
};

// Runs the filters over every combination on `threads` workers (0: the machine's cores),
// reporting progress through `control` when given and stopping at its cancel.
Funnel RunFunnel(const GenerateInput& input, WorkControl* control = nullptr, int threads = 0);

// Which of the combinations left are written when more are left than wanted.
struct PickChoice {
  uint64_t count = 99999;  // at most this many
  uint64_t every = 0;      // every k-th in lexicographic order, from the first; 0 for a sample
  uint64_t seed = 1;       // the sample's seed: the same seed gives the same combinations
};

// The combinations left, all of them when no more than `count`, else the sample or every k-th
// that the choice names, in lexicographic order. Empty when cancelled.
std::vector<AnalysisDraw> PickCombinations(const GenerateInput& input, const Funnel& funnel,
                                           const PickChoice& choice, WorkControl* control = nullptr,
                                           int threads = 0);

// Pools from the analysis of a range: the K numbers drawn most (or least) often, ties by the
// smaller number; the numbers whose current skip is at least S.
std::vector<int32_t> FrequentNumbers(const Analysis& analysis, int k, bool most);
std::vector<int32_t> SkippingNumbers(const Analysis& analysis, int atLeast);

// The filter file (*.tlf): a line a filter in order, "sum 120-180", "odd 2-4", "not-drawn",
// "include 1,7,12"; a filter switched off starts with "off ". Lines starting with '#' and
// blank lines are passed over.
std::string FormatFilterFile(const std::vector<Filter>& filters);
struct FilterFile {
  std::vector<Filter> filters;
  int badLine = 0;     // 1-based, 0 when every line reads
  std::string reason;  // why it does not
};
FilterFile ReadFilterFile(const std::string& text, int32_t highest, int32_t language);

}  // namespace tallyra
