#pragma once

// What collate and check print of a collation's outcome: a short report, or with --json the
// counters, the four lists and the per-row counts.

#include <cstdint>
#include <optional>
#include <ostream>

#include "collate/Collation.h"
#include "model/Workspace.h"

namespace tallyra::cli {

// How much of each list --json writes: all of it, none, or at most so many entries.
struct ListLimit {
  bool none = false;
  std::optional<int64_t> entries;  // cut after this many entries
};

void WriteOutcome(std::ostream& out, const Outcome& outcome, const Workspace& ws, bool json,
                  const ListLimit& limit = {});

}  // namespace tallyra::cli
