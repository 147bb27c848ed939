#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tallyra {

// The order in which the file lists its rows.
enum class HistoryOrder { OldestFirst, NewestFirst };

// Where a row stands in time: its date's day number or its draw number, when it has one.
using OrderKey = std::optional<int64_t>;

// The order most neighbouring rows that both have a key follow; nothing when no two such
// neighbours differ. Oldest first on a tie, as the program's own files are.
std::optional<HistoryOrder> OrderOfKeys(const std::vector<OrderKey>& keys);

// The first row whose key goes back against `order` from the row before it (both with keys):
// a history that turns back somewhere was pieced together or edited by hand.
std::optional<std::size_t> FirstAgainstOrder(const std::vector<OrderKey>& keys, HistoryOrder order);

// What makes a row the same draw as another: its numbers, its date and its draw number, as
// the importer tells them (empty when the row has none).
struct DrawIdentity {
  std::vector<int64_t> numbers;
  std::string date;
  std::string drawNumber;
};

// Finds draws written twice. Only files with a date or a draw number can tell a repeat from a
// stake that is played twice, so only they should ask.
class RepeatedRows {
 public:
  // The line of the first row with this identity, or nothing when this is the first; `line`
  // is remembered for later rows.
  std::optional<int> earlierLine(const DrawIdentity& row, int line);

  // The line of the first row with this row's date and draw number, or nothing when this is
  // the first (or the row has neither); `line` is remembered for later rows. Asked after
  // earlierLine, it finds a second draw under the same name: other numbers, same date and
  // draw number (a second draw of the evening, or a copying slip).
  std::optional<int> sameDrawLine(const DrawIdentity& row, int line);

 private:
  std::unordered_map<std::string, int> m_lines;
  std::unordered_map<std::string, int> m_draws;
};

}  // namespace tallyra
