#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "import/Importer.h"
#include "model/Workspace.h"
#include "winnings/Prizes.h"

namespace tallyra {

using DrawNumbers = std::array<int32_t, 6>;

struct MergeOutcome {
  enum class Kind {
    Fresh,       // nothing was held: the new history is taken as it is
    Extended,    // the histories overlap; the draws not held were added
    NothingNew,  // every new draw is held already
    NoOverlap,   // the histories have no draw run in common: the caller must ask
  };
  Kind kind = Kind::Fresh;
  int added = 0;                   // draws not held before that are in `draws`
  int dropped = 0;                 // oldest draws left out for the capacity
  std::vector<DrawNumbers> draws;  // the merged history, oldest first (empty for NoOverlap)
  // Where the first new draw given stands in `draws` (0-based); below 0 when the capacity left
  // it out. The new draws stand there one after another, as they were given.
  int incomingAt = 0;
  // Where the first held draw stands in `draws` (0-based) in the same way: what was the held
  // draw at position p (1-based) is now at p + heldAt. Fresh histories hold nothing (0).
  int heldAt = 0;
};

// Puts new draws together with the held ones, both oldest first. They overlap when one ends
// with a run of draws the other begins with, or one holds the other whole; then only the
// draws not held are added, older ones before and newer ones after. The result keeps the
// newest `capacity` draws.
MergeOutcome MergeDraws(std::span<const DrawNumbers> held, std::span<const DrawNumbers> incoming,
                        int capacity = kResultCapacity);

// The amounts of the draws that paid their own (keyed by position, 1 = oldest) after a merge:
// those of held draws follow them to their new places, those of draws the capacity left out
// go, all go when the history was replaced, and each imported draw that carries all four
// amounts brings them (`rows` are the imported rows, one for each new draw given to the
// merge). Returns how many imported draws brought amounts.
int CarryDrawPrizes(std::map<int32_t, TierAmounts>& byDraw, const MergeOutcome& merge,
                    const std::vector<ImportedRow>& rows, bool replaced);

// The same for the prize file at `path`: its draws' amounts are moved with the draws and the
// imported ones brought in, and the file is saved when that changed it. A file that is not
// there is made only when imported draws bring amounts; one that does not read is left for the
// user to mend, and the problem says why. `kept` is how many imported draws brought amounts.
Problem CarryPrizeFile(const std::string& path, const MergeOutcome& merge,
                       const std::vector<ImportedRow>& rows, bool replaced, int& kept);

// "12 new draws were added; 1 499 held." (thousands set apart by a blank) and the like; empty for
// NoOverlap, which asks.
std::string DescribeMerge(const MergeOutcome& outcome, int32_t language);

}  // namespace tallyra
