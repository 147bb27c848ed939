#include "cli/CollationReport.h"

#include <array>
#include <string>
#include <vector>

#include "cli/Json.h"

namespace tallyra::cli {

namespace {

// The length of the list's first `entries` entries (each ends with " , "), headings before
// them included; the whole length when it has no more.
int64_t LengthOfEntries(const CoincidenceList& list, int64_t entries) {
  if (entries <= 0) return 0;
  int64_t at = 0;
  int64_t found = 0;
  int64_t end = list.length();
  // An entry's end may straddle two pieces: keep the last two characters of the previous one.
  std::string tail;
  list.forEachChunk(
      int64_t{1} << 20,
      [&](const std::string& piece) {
        const std::string text = tail + piece;
        const auto base = at - static_cast<int64_t>(tail.size());
        for (std::size_t i = text.find(" , "); i != std::string::npos;
             i = text.find(" , ", i + 1)) {
          // Occurrences lying wholly in the kept tail were counted with the previous piece.
          if (i + 3 <= tail.size()) continue;
          if (++found == entries) {
            end = base + static_cast<int64_t>(i) + 3;
            return false;
          }
        }
        at += static_cast<int64_t>(piece.size());
        tail = text.size() >= 2 ? text.substr(text.size() - 2) : text;
        return true;
      },
      1);
  return end;
}

void WriteRows(std::ostream& out, const std::vector<CategoryCounts>& rows, int count,
               bool touched) {
  out << '[';
  for (int r = 0; r < count; ++r) {
    if (r) out << ", ";
    const CategoryCounts c = touched && r < static_cast<int>(rows.size())
                                 ? rows[static_cast<std::size_t>(r)]
                                 : CategoryCounts{};
    out << '[' << c[3] << ", " << c[2] << ", " << c[1] << ", " << c[0] << ']';
  }
  out << ']';
}

}  // namespace

void WriteOutcome(std::ostream& out, const Outcome& outcome, const Workspace& ws, bool json,
                  const ListLimit& limit) {
  if (json) {
    out << "{\"counts\": {\"6\": " << outcome.counts[3] << ", \"5\": " << outcome.counts[2]
        << ", \"4\": " << outcome.counts[1] << ", \"3\": " << outcome.counts[0] << "}";
    if (!limit.none) {
      std::array<bool, 4> cut{};
      out << ", \"lists\": {";
      for (int c = 3; c >= 0; --c) {
        const auto& list = *outcome.lists[static_cast<std::size_t>(c)];
        int64_t length = list.length();
        // A list within the limit is written whole, with any heading after its last entry.
        if (limit.entries && outcome.counts[static_cast<std::size_t>(c)] > *limit.entries) {
          length = LengthOfEntries(list, *limit.entries);
          cut[static_cast<std::size_t>(c)] = length < list.length();
        }
        out << '"' << c + 3 << "\": ";
        WriteJsonString(out, list, length);
        if (c) out << ", ";
      }
      out << "}";
      if (limit.entries) {
        // Which lists lost entries to the limit.
        out << ", \"lists_cut\": {";
        for (int c = 3; c >= 0; --c) {
          out << '"' << c + 3 << "\": " << (cut[static_cast<std::size_t>(c)] ? "true" : "false")
              << (c ? ", " : "}");
        }
      }
    }
    out << ", \"stakes\": ";
    WriteRows(out, outcome.stakeRows, ws.StakeCount, outcome.stakesTouched);
    out << ", \"system\": ";
    WriteRows(out, outcome.systemRows, ws.SystemCount, outcome.systemTouched);
    out << "}\n";
    return;
  }
  // The counters, each list's number of entries and the list's first line.
  constexpr int64_t kLine = 100;
  for (int c = 3; c >= 0; --c) {
    const auto& list = *outcome.lists[static_cast<std::size_t>(c)];
    out << c + 3 << " common numbers: " << outcome.counts[static_cast<std::size_t>(c)]
        << (outcome.counts[static_cast<std::size_t>(c)] == 1 ? " entry" : " entries");
    if (!list.empty()) {
      out << "\n    " << list.slice(0, kLine) << (list.length() > kLine ? "..." : "");
    }
    out << "\n";
  }
}

}  // namespace tallyra::cli
