#pragma once

// The list files a command reads into a Workspace: each all or nothing, as the window reads
// them, with the window's texts in the call's language.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "model/Workspace.h"
#include "stats/Analysis.h"

namespace tallyra::cli {

enum class ListFile { Stakes, System, Draws };

// Reads one file into its table. A file that cannot be read or does not read as a list is a
// Failure; what the reading has to say about a file it took (earlier draws left out, a last
// line without its ";") goes to `err`. A history longer than the table keeps its latest
// draws; the count of those left out at its start is returned.
int LoadList(ListFile list, const std::string& path, Workspace& ws, int32_t language,
             std::ostream& err);

// The files the call names with --stakes, --system and --results, in that order. Every file
// given is read, used by the run or not, so that a bad file always fails. Returns the draws
// left out at the start of the history.
int LoadLists(const Arguments& args, Workspace& ws, int32_t language, std::ostream& err);

// One record line of a list file, "7 - 1,5,12,23,38,41;" and CR LF, so that what a command
// writes to standard output loads as a list as it is.
void WriteRecordLine(std::ostream& out, int64_t label, const std::vector<int32_t>& numbers);

// The options collate, check, stats and fetch all read, with `more` of the command's own: each
// of them refuses, with a reason of its own, those it has no use for.
std::vector<Option> ListOptions(std::initializer_list<Option> more);

// The draws of the table, oldest first, as the analysis and the generator read them.
std::vector<AnalysisDraw> HeldDraws(const Workspace& ws);

// --last N, or --from A and --to B, as read before the draws are: a UsageError when both kinds
// are given or a number is out of range.
struct RangeOptions {
  std::optional<int> last, from, to;
};
RangeOptions ReadRangeOptions(const Arguments& args);
// The range they choose among `held` draws (every draw when none is given); a UsageError when
// --from and --to name no draw held.
DrawRange ChosenRange(const RangeOptions& options, int held);

}  // namespace tallyra::cli
