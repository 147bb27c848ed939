#include "import/Order.h"

#include <utility>

namespace tallyra {

std::optional<HistoryOrder> OrderOfKeys(const std::vector<OrderKey>& keys) {
  int up = 0, down = 0;
  for (std::size_t r = 1; r < keys.size(); ++r) {
    if (!keys[r] || !keys[r - 1]) continue;
    up += *keys[r] > *keys[r - 1];
    down += *keys[r] < *keys[r - 1];
  }
  if (up + down == 0) return std::nullopt;
  return down > up ? HistoryOrder::NewestFirst : HistoryOrder::OldestFirst;
}

std::optional<std::size_t> FirstAgainstOrder(const std::vector<OrderKey>& keys,
                                             HistoryOrder order) {
  for (std::size_t r = 1; r < keys.size(); ++r) {
    if (!keys[r] || !keys[r - 1]) continue;
    if (order == HistoryOrder::OldestFirst ? *keys[r] < *keys[r - 1] : *keys[r] > *keys[r - 1]) {
      return r;
    }
  }
  return std::nullopt;
}

std::optional<int> RepeatedRows::earlierLine(const DrawIdentity& row, int line) {
  std::string key;
  for (const int64_t v : row.numbers) key += std::to_string(v) + ',';
  key += '|' + row.date + '|' + row.drawNumber;
  const auto [earlier, fresh] = m_lines.emplace(std::move(key), line);
  if (fresh) return std::nullopt;
  return earlier->second;
}

std::optional<int> RepeatedRows::sameDrawLine(const DrawIdentity& row, int line) {
  if (row.date.empty() && row.drawNumber.empty()) return std::nullopt;
  const auto [earlier, fresh] = m_draws.emplace(row.date + '|' + row.drawNumber, line);
  if (fresh) return std::nullopt;
  return earlier->second;
}

}  // namespace tallyra
