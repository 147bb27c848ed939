#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "collate/CoincidenceList.h"
#include "model/Workspace.h"

namespace tallyra {

// The five collations.
enum class CollationKind {
  StakesWithStakes,  // every pair of stakes
  StakesWithDraws,   // every stake with every draw
  SystemWithSystem,  // every pair of system stakes
  SystemWithDraws,   // every system stake with every draw
  All,               // stakes, then system stakes, with every draw
};

// Categories are indexed as MatchCounts: 0 for 3 common numbers, 1 for 4, 2 for 5, 3 for 6.
using CategoryCounts = std::array<int32_t, 4>;

// What a collation or a check found. Nothing of the Workspace is changed by making it.
struct Outcome {
  std::array<int64_t, 4> counts{};  // coincidences per category
  bool stakesTouched = false;       // the stakes grid's count columns belong to this outcome
  bool systemTouched = false;
  std::vector<CategoryCounts> stakeRows;   // per stake row (index row - 1)
  std::vector<CategoryCounts> systemRows;  // per system stake row
  std::array<ListPtr, 4> lists;            // the texts of the four list labels
};

// A copy of a list's rows, row-major, so that an outcome's lists stay what they were when the
// tables change afterwards.
struct RowSet {
  int width = 0;
  int count = 0;
  std::vector<int32_t> cells;  // row r (1-based), column c (1-based) at (r-1)*width + c-1
  int32_t at(int row, int column) const {
    return cells[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(column - 1)];
  }
};

RowSet SnapshotStakes(const Workspace& ws);
RowSet SnapshotSystem(const Workspace& ws);
RowSet SnapshotDraws(const Workspace& ws);

struct CollationInput {
  RowSet stakes;
  RowSet system;
  RowSet draws;
  int32_t language = ToValue(Language::English);  // of the section headings
};

CollationInput SnapshotFor(CollationKind kind, const Workspace& ws);

// Runs a collation on up to `threads` threads. When `cancel` becomes true the run stops early;
// its outcome is then incomplete and must be thrown away.
Outcome Collate(CollationKind kind, const CollationInput& input,
                const std::atomic<bool>* cancel = nullptr, int threads = 0);

// The check of one combination (cells 1..12, 0 where empty) against the stakes (and the system
// stakes when `includeSystem`), or against the draws.
Outcome CheckCombination(const std::array<int32_t, 13>& combination, bool againstStakes,
                         bool includeSystem, const CollationInput& input);

}  // namespace tallyra
