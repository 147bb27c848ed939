#include "PlainCollation.h"

#include <memory>
#include <string>

#include "collate/Rules.h"
#include "model/TextTable.h"

namespace tallyra {

using kernel::AppendNumber;
using kernel::CategoryOf;
using kernel::PhaseRule;

namespace {

int CountPlainly(const RowSet& a, int i, const RowSet& b, int j, bool skipZeros) {
  int count = 0;
  for (int p = 1; p <= a.width; ++p) {
    const int32_t v = a.at(i, p);
    if (skipZeros && v == 0) continue;
    for (int q = 1; q <= b.width; ++q) {
      if (b.at(j, q) == v) {
        ++count;
        break;
      }
    }
  }
  return count;
}

struct PlainPhase {
  std::array<int64_t, 4> counts{};
  std::vector<CategoryCounts> rows;
  std::array<std::string, 4> texts;
};

PlainPhase RunPlainly(const RowSet& first, const RowSet& second, PhaseRule rule) {
  PlainPhase out;
  out.rows.assign(static_cast<std::size_t>(first.count), CategoryCounts{});
  for (int i = 1; i <= first.count; ++i) {
    for (int j = rule.pairs ? i + 1 : 1; j <= (rule.pairs ? first.count : second.count); ++j) {
      const int c = CategoryOf(
          CountPlainly(first, i, rule.pairs ? first : second, j, rule.skipZeros), rule.sixOrMore);
      if (c < 0) continue;
      const auto cat = static_cast<std::size_t>(c);
      ++out.counts[cat];
      ++out.rows[static_cast<std::size_t>(i - 1)][cat];
      if (rule.pairs) ++out.rows[static_cast<std::size_t>(j - 1)][cat];
      AppendNumber(out.texts[cat], i);
      out.texts[cat] += '=';
      AppendNumber(out.texts[cat], j);
      out.texts[cat] += " , ";
    }
  }
  return out;
}

}  // namespace

Outcome CollatePlainly(CollationKind kind, const CollationInput& in) {
  Outcome out;
  auto set = [&](const PlainPhase& phase, bool stakes) {
    out.counts = phase.counts;
    (stakes ? out.stakesTouched : out.systemTouched) = true;
    (stakes ? out.stakeRows : out.systemRows) = phase.rows;
    for (std::size_t c = 0; c < 4; ++c) {
      auto list = std::make_shared<CoincidenceList>();
      list->appendText(phase.texts[c]);
      out.lists[c] = list;
    }
  };
  switch (kind) {
    case CollationKind::StakesWithStakes:
      set(RunPlainly(in.stakes, in.stakes, {false, true, false}), true);
      break;
    case CollationKind::StakesWithDraws:
      set(RunPlainly(in.stakes, in.draws, {false, false, false}), true);
      break;
    case CollationKind::SystemWithSystem:
      set(RunPlainly(in.system, in.system, {true, true, true}), false);
      break;
    case CollationKind::SystemWithDraws:
      set(RunPlainly(in.system, in.draws, {true, false, false}), false);
      break;
    case CollationKind::All: {
      // Label by label, as the labels are written during the run.
      const PlainPhase stakes = RunPlainly(in.stakes, in.draws, {false, false, false});
      const PlainPhase system = RunPlainly(in.system, in.draws, {true, false, true});
      out.stakesTouched = out.systemTouched = true;
      out.stakeRows = stakes.rows;
      out.systemRows = system.rows;
      for (std::size_t c = 0; c < 4; ++c) {
        out.counts[c] = stakes.counts[c] + system.counts[c];
        std::string label;
        if (!stakes.texts[c].empty())
          label = Text(TextId::TxtListStakes, in.language) + stakes.texts[c];
        if (in.system.count > 0) {
          if (!label.empty()) label += Text(TextId::TxtListSystem, in.language);
          if (!system.texts[c].empty()) {
            if (label.empty()) label = Text(TextId::TxtListSystem, in.language);
            label += system.texts[c];
          }
        }
        auto list = std::make_shared<CoincidenceList>();
        list->appendText(label);
        out.lists[c] = list;
      }
      break;
    }
  }
  return out;
}

}  // namespace tallyra
