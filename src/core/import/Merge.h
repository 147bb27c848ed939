#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/Workspace.h"

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
};

// Puts new draws together with the held ones, both oldest first. They overlap when one ends
// with a run of draws the other begins with, or one holds the other whole; then only the
// draws not held are added, older ones before and newer ones after. The result keeps the
// newest `capacity` draws.
MergeOutcome MergeDraws(std::span<const DrawNumbers> held, std::span<const DrawNumbers> incoming,
                        int capacity = kResultCapacity);

// "12 new draws were added; 1 499 held." (thousands set apart by a blank) and the like; empty for
// NoOverlap, which asks.
std::string DescribeMerge(const MergeOutcome& outcome, int32_t language);

}  // namespace tallyra
