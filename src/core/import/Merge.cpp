#include "import/Merge.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "model/TextTable.h"

namespace tallyra {
namespace {

using Draws = std::span<const DrawNumbers>;

struct Scan {
  bool whole = false;    // the pattern occurs in the text
  std::size_t at = 0;    // where it first does
  std::size_t tail = 0;  // the longest start of the pattern the text ends with
};

// Knuth-Morris-Pratt over whole draws, so that a history of any length costs one pass.
Scan Find(Draws pattern, Draws text) {
  Scan scan;
  if (pattern.empty()) return scan;
  std::vector<std::size_t> fail(pattern.size(), 0);
  for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = fail[k - 1];
    if (pattern[i] == pattern[k]) ++k;
    fail[i] = k;
  }
  std::size_t k = 0;
  for (const DrawNumbers& draw : text) {
    while (k > 0 && (k == pattern.size() || draw != pattern[k])) k = fail[k - 1];
    if (draw == pattern[k]) ++k;
    if (k == pattern.size() && !scan.whole) {
      scan.whole = true;
      scan.at = static_cast<std::size_t>(&draw - text.data()) + 1 - pattern.size();
    }
  }
  scan.tail = k;
  return scan;
}

}  // namespace

MergeOutcome MergeDraws(Draws held, Draws incoming, int capacity) {
  MergeOutcome outcome;
  std::vector<bool> isNew;
  auto take = [&](Draws draws, bool fresh) {
    outcome.draws.insert(outcome.draws.end(), draws.begin(), draws.end());
    isNew.insert(isNew.end(), draws.size(), fresh);
  };

  const Scan inHeld = Find(incoming, held);
  const Scan inIncoming = Find(held, incoming);
  if (held.empty()) {
    outcome.kind = MergeOutcome::Kind::Fresh;
    take(incoming, true);
  } else if (incoming.empty() || inHeld.whole) {
    outcome.kind = MergeOutcome::Kind::NothingNew;
    outcome.incomingAt = static_cast<int>(inHeld.at);
    take(held, false);
  } else if (inIncoming.whole) {
    // The new history holds the old one whole, with draws before it, after it or both.
    outcome.kind = MergeOutcome::Kind::Extended;
    const std::size_t at = inIncoming.at;
    outcome.heldAt = static_cast<int>(at);
    take(incoming.first(at), true);
    take(held, false);
    take(incoming.subspan(at + held.size()), true);
  } else if (inHeld.tail > 0 && inHeld.tail >= inIncoming.tail) {
    // The held history ends with the draws the new one begins with.
    outcome.kind = MergeOutcome::Kind::Extended;
    outcome.incomingAt = static_cast<int>(held.size() - inHeld.tail);
    take(held, false);
    take(incoming.subspan(inHeld.tail), true);
  } else if (inIncoming.tail > 0) {
    // The new history ends where the held one begins: it brings older draws.
    outcome.kind = MergeOutcome::Kind::Extended;
    outcome.heldAt = static_cast<int>(incoming.size() - inIncoming.tail);
    outcome.incomingAt = 0;
    take(incoming.first(incoming.size() - inIncoming.tail), true);
    take(held, false);
  } else {
    outcome.kind = MergeOutcome::Kind::NoOverlap;
    return outcome;
  }

  const auto size = static_cast<int>(outcome.draws.size());
  if (capacity >= 0 && size > capacity) {
    outcome.dropped = size - capacity;
    outcome.draws.erase(outcome.draws.begin(), outcome.draws.begin() + outcome.dropped);
    outcome.incomingAt -= outcome.dropped;
    outcome.heldAt -= outcome.dropped;
    isNew.erase(isNew.begin(), isNew.begin() + outcome.dropped);
  }
  outcome.added = static_cast<int>(std::count(isNew.begin(), isNew.end(), true));
  return outcome;
}

namespace {

// A count with its thousands set apart by a blank, as both languages write them: "1 499".
std::string Grouped(std::size_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ' ');
  return digits;
}

}  // namespace

std::string DescribeMerge(const MergeOutcome& outcome, int32_t language) {
  if (outcome.kind == MergeOutcome::Kind::NoOverlap) return {};
  std::string text =
      Format(TextId::TxtMergeAdded, language,
             {Grouped(static_cast<std::size_t>(outcome.added)), Grouped(outcome.draws.size())});
  if (outcome.dropped > 0) {
    text += ' ';
    text += Format(TextId::TxtMergeDropped, language,
                   {Grouped(static_cast<std::size_t>(outcome.dropped))});
  }
  return text;
}

int CarryDrawPrizes(std::map<int32_t, TierAmounts>& byDraw, const MergeOutcome& merge,
                    const std::vector<ImportedRow>& rows, bool replaced) {
  const auto size = static_cast<int32_t>(merge.draws.size());
  std::map<int32_t, TierAmounts> carried;
  if (!replaced) {
    for (const auto& [draw, amounts] : byDraw) {
      const int32_t now = draw + merge.heldAt;
      if (now >= 1 && now <= size) carried[now] = amounts;
    }
  }
  int brought = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ImportedRow& row = rows[i];
    const int32_t now = merge.incomingAt + static_cast<int32_t>(i) + 1;
    if (!row.hasAllPrizes() || now < 1 || now > size) continue;
    carried[now] = {*row.prizes[0], *row.prizes[1], *row.prizes[2], *row.prizes[3]};
    ++brought;
  }
  byDraw = std::move(carried);
  return brought;
}

Problem CarryPrizeFile(const std::string& path, const MergeOutcome& merge,
                       const std::vector<ImportedRow>& rows, bool replaced, int& kept) {
  kept = 0;
  const bool bringsPrizes =
      std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row.hasAllPrizes(); });
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0 || errno != ENOENT;
  if (!bringsPrizes && !exists) return {};
  Prizes prizes;
  if (exists) {
    if (Problem problem = LoadPrizes(path, prizes)) return problem;
  }
  const Prizes before = prizes;
  const int brought = CarryDrawPrizes(prizes.byDraw, merge, rows, replaced);
  if (prizes != before) {
    if (Problem problem = SavePrizes(path, prizes)) return problem;
  }
  kept = brought;
  return {};
}

}  // namespace tallyra
