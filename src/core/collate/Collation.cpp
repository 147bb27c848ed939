// The collations' public functions: the snapshots of the lists, and the runner that puts the
// kernel's phases together into an outcome.

#include "collate/Collation.h"

#include <algorithm>
#include <memory>

#include "collate/Kernel.h"
#include "model/TextTable.h"

namespace tallyra {
namespace {

using kernel::MakeRun;
using kernel::Phase;
using kernel::PhaseRule;
using kernel::Run;

template <typename TableT>
RowSet Snapshot(const TableT& table, int width, int32_t count) {
  RowSet rows;
  rows.width = width;
  rows.count = std::clamp(count, 0, TableT::kCapacity);
  rows.cells.resize(static_cast<std::size_t>(rows.count) * static_cast<std::size_t>(width));
  for (int c = 1; c <= width; ++c) {
    for (int r = 1; r <= rows.count; ++r) {
      rows.cells[static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(c - 1)] = table.cell[c][r];
    }
  }
  return rows;
}

std::string Heading(TextId id, int32_t language) {
  return Text(id, language);
}

}  // namespace

RowSet SnapshotStakes(const Workspace& ws) {
  return Snapshot(ws.StakeTable, 6, ws.StakeCount);
}
RowSet SnapshotSystem(const Workspace& ws) {
  return Snapshot(ws.SystemTable, 12, ws.SystemCount);
}
RowSet SnapshotDraws(const Workspace& ws) {
  return Snapshot(ws.ResultTable, 6, ws.ResultCount);
}

CollationInput SnapshotFor(CollationKind kind, const Workspace& ws) {
  CollationInput in;
  in.language = ws.Language;
  const bool stakes = kind == CollationKind::StakesWithStakes ||
                      kind == CollationKind::StakesWithDraws || kind == CollationKind::All;
  const bool system = kind == CollationKind::SystemWithSystem ||
                      kind == CollationKind::SystemWithDraws || kind == CollationKind::All;
  const bool draws = kind == CollationKind::StakesWithDraws ||
                     kind == CollationKind::SystemWithDraws || kind == CollationKind::All;
  if (stakes) in.stakes = SnapshotStakes(ws);
  if (system) in.system = SnapshotSystem(ws);
  if (draws) in.draws = SnapshotDraws(ws);
  in.stakes.width = 6;
  in.system.width = 12;
  in.draws.width = 6;
  return in;
}

Outcome Collate(CollationKind kind, const CollationInput& in, const std::atomic<bool>* cancel,
                int threads) {
  Outcome out;
  for (auto& list : out.lists) list = std::make_shared<CoincidenceList>();
  auto single = [&](const RowSet& first, const RowSet& second, PhaseRule rule, bool stakes) {
    Phase phase = Run(first, second, rule, cancel, threads);
    out.counts = phase.result.counts;
    (stakes ? out.stakesTouched : out.systemTouched) = true;
    (stakes ? out.stakeRows : out.systemRows) = std::move(phase.result.firstRows);
    for (int c = 0; c < 4; ++c) {
      auto list = std::make_shared<CoincidenceList>();
      list->appendRun(
          MakeRun(phase.data, std::move(phase.result.index[static_cast<std::size_t>(c)]), c));
      out.lists[static_cast<std::size_t>(c)] = std::move(list);
    }
  };
  switch (kind) {
    case CollationKind::StakesWithStakes:
      single(in.stakes, in.stakes, {false, true, false}, true);
      break;
    case CollationKind::StakesWithDraws:
      single(in.stakes, in.draws, {false, false, false}, true);
      break;
    case CollationKind::SystemWithSystem:
      single(in.system, in.system, {true, true, true}, false);
      break;
    case CollationKind::SystemWithDraws:
      single(in.system, in.draws, {true, false, false}, false);
      break;
    case CollationKind::All: {
      out.stakesTouched = out.systemTouched = true;
      Phase stakes = Run(in.stakes, in.draws, {false, false, false}, cancel, threads);
      Phase system = Run(in.system, in.draws, {true, false, true}, cancel, threads);
      out.stakeRows = std::move(stakes.result.firstRows);
      out.systemRows = std::move(system.result.firstRows);
      for (std::size_t c = 0; c < 4; ++c) {
        out.counts[c] = stakes.result.counts[c] + system.result.counts[c];
        auto list = std::make_shared<CoincidenceList>();
        const bool fromStakes = stakes.result.counts[c] > 0;
        const bool fromSystem = system.result.counts[c] > 0;
        if (fromStakes) {
          list->appendText(Heading(TextId::TxtListStakes, in.language));
          list->appendRun(
              MakeRun(stakes.data, std::move(stakes.result.index[c]), static_cast<int>(c)));
        }
        // Once system stakes exist, a list that holds stake entries gets their heading even if
        // no system stake follows it.
        if (in.system.count > 0 && (fromStakes || fromSystem)) {
          list->appendText(Heading(TextId::TxtListSystem, in.language));
        }
        if (fromSystem) {
          list->appendRun(
              MakeRun(system.data, std::move(system.result.index[c]), static_cast<int>(c)));
        }
        out.lists[c] = std::move(list);
      }
      break;
    }
  }
  return out;
}

}  // namespace tallyra
