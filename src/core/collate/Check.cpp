// The check of one combination against the stakes, the system stakes or the draws.

#include <memory>
#include <string>

#include "collate/Collation.h"
#include "collate/Rules.h"
#include "model/TextTable.h"

namespace tallyra {

using kernel::AppendNumber;
using kernel::CategoryOf;

Outcome CheckCombination(const std::array<int32_t, 13>& cells, bool againstStakes,
                         bool includeSystem, const CollationInput& in) {
  Outcome out;
  std::array<std::string, 4> labels;
  auto occursPlainly = [&](int32_t v, bool extraCells) {
    for (int k = 1; k <= 6; ++k) {
      if (cells[static_cast<std::size_t>(k)] == v) return true;
    }
    if (extraCells) {
      for (int k = 7; k <= 12; ++k) {
        if (cells[static_cast<std::size_t>(k)] != 0 && cells[static_cast<std::size_t>(k)] == v) {
          return true;
        }
      }
    }
    return false;
  };
  // The answers for the small values, which are nearly all a list holds, looked up at once.
  constexpr int32_t kTable = 128;
  std::array<std::array<bool, kTable>, 2> table{};
  for (int32_t v = 0; v < kTable; ++v) {
    table[0][static_cast<std::size_t>(v)] = occursPlainly(v, false);
    table[1][static_cast<std::size_t>(v)] = occursPlainly(v, true);
  }
  auto occurs = [&](int32_t v, bool extraCells) {
    if (v >= 0 && v < kTable) return table[extraCells ? 1 : 0][static_cast<std::size_t>(v)];
    return occursPlainly(v, extraCells);
  };
  // Checks every row of a list; rows get their counts, labels their entries.
  auto checkRows = [&](const RowSet& rows, bool extraCells, std::vector<CategoryCounts>* counts,
                       TextId heading) {
    if (counts) counts->assign(static_cast<std::size_t>(rows.count), CategoryCounts{});
    for (int i = 1; i <= rows.count; ++i) {
      int k = 0;
      for (int p = 1; p <= rows.width; ++p) k += occurs(rows.at(i, p), extraCells) ? 1 : 0;
      const int c = CategoryOf(k, true);
      if (c < 0) continue;
      const auto cat = static_cast<std::size_t>(c);
      ++out.counts[cat];
      if (counts) ++(*counts)[static_cast<std::size_t>(i - 1)][cat];
      if (labels[cat].empty() && heading != TextId::Count) labels[cat] = Text(heading, in.language);
      AppendNumber(labels[cat], i);
      labels[cat] += " , ";
    }
  };
  if (againstStakes) {
    if (in.stakes.count > 0) {
      out.stakesTouched = true;
      checkRows(in.stakes, true, &out.stakeRows, TextId::TxtListStakes);
    }
    if (includeSystem && in.system.count > 0) {
      out.systemTouched = true;
      for (auto& label : labels) {
        if (!label.empty()) label += Text(TextId::TxtListSystemSep, in.language);
      }
      checkRows(in.system, true, &out.systemRows, TextId::TxtListSystem);
    }
  } else {
    // Against the draws only cells 1..6 count, and the stakes' columns are emptied.
    out.stakesTouched = true;
    out.stakeRows.assign(static_cast<std::size_t>(in.stakes.count), CategoryCounts{});
    checkRows(in.draws, false, nullptr, TextId::Count);
  }
  for (std::size_t c = 0; c < 4; ++c) {
    auto list = std::make_shared<CoincidenceList>();
    list->appendText(std::move(labels[c]));
    out.lists[c] = list;
  }
  return out;
}

}  // namespace tallyra
