#include "model/Workspace.h"

#include <algorithm>

#include "stats/Statistics.h"

namespace tallyra {

std::unique_ptr<Workspace> CreateWorkspace() {
  // Value-initialisation zero-fills every cell before any other step runs.
  auto ws = std::make_unique<Workspace>();
  ws->MatchCounts.fill(0);
  ws->SystemCount = 0;
  ws->ResultCount = 0;
  ws->StakeCount = 0;
  ws->StatSortMode = ToValue(StatisticsOrder::ByNumber);
  ws->BallsPerStake = 6;
  return ws;
}

void ClearRows(TableRef table, int32_t& count, int columns) {
  const int rows = std::clamp(count, 0, table.capacity());
  const int cols = std::clamp(columns, 0, table.usableColumns());
  for (int c = 1; c <= cols; ++c) {
    for (int r = 1; r <= rows; ++r) table(c, r) = 0;
  }
  count = 0;
}

}  // namespace tallyra
