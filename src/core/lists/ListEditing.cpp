#include "lists/ListEditing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace tallyra {
namespace {

int32_t* Column(TableRef table, int column) {
  return &table(column, 0);
}

void AppendNumber(std::string& out, int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

template <typename TableT, typename Width>
std::string FormatFile(const TableT& table, int32_t count, Width width) {
  std::string out;
  out.reserve(static_cast<std::size_t>(std::max(count, 0)) * 48);
  for (int32_t i = 1; i <= count; ++i) {
    AppendNumber(out, i);
    out += " - ";
    const int k = width(i);
    for (int c = 1; c <= k; ++c) {
      if (c > 1) out += ',';
      AppendNumber(out, table.cell[c][i]);
    }
    out += ";\r\n";
  }
  return out;
}

}  // namespace

bool AppendRow(TableRef table, int32_t& count, std::span<const int32_t> values) {
  if (count < 0 || count >= table.capacity()) return false;
  const int row = count + 1;
  const int columns = std::min(static_cast<int>(values.size()), table.usableColumns());
  for (int c = 1; c <= columns; ++c) table(c, row) = values[static_cast<std::size_t>(c - 1)];
  count = row;
  return true;
}

void DeleteRow(TableRef table, int32_t& count, int row, int columns) {
  if (row < 1 || row > count || count > table.capacity()) return;
  const int cols = std::clamp(columns, 0, table.usableColumns());
  const std::size_t moved = static_cast<std::size_t>(count - row);
  for (int c = 1; c <= cols; ++c) {
    int32_t* cells = Column(table, c);
    std::memmove(cells + row, cells + row + 1, moved * sizeof(int32_t));
    cells[count] = 0;
  }
  --count;
}

void ClearTable(TableRef table, int32_t& count, int columns) {
  const int cols = std::clamp(columns, 0, table.usableColumns());
  for (int c = 1; c <= cols; ++c) {
    std::fill_n(Column(table, c) + 1, table.capacity(), 0);
  }
  count = 0;
}

void LineUpStakes(StakeTableT& table, int32_t count) {
  const int rows = std::clamp(count, 0, StakeTableT::kCapacity);
  std::array<int32_t, 6> v;
  for (int i = 1; i <= rows; ++i) {
    for (int c = 0; c < 6; ++c) v[c] = table.cell[c + 1][i];
    std::sort(v.begin(), v.end());
    for (int c = 0; c < 6; ++c) table.cell[c + 1][i] = v[c];
  }
}

void LineUpSystem(SystemTableT& table, int32_t count) {
  constexpr int32_t kEmptyLast = 100;  // above every number a game can have
  const int rows = std::clamp(count, 0, SystemTableT::kCapacity);
  std::array<int32_t, 12> v;
  for (int i = 1; i <= rows; ++i) {
    for (int c = 0; c < 12; ++c) {
      const int32_t value = table.cell[c + 1][i];
      v[c] = value == 0 ? kEmptyLast : value;
    }
    std::sort(v.begin(), v.end());
    for (int c = 0; c < 12; ++c) table.cell[c + 1][i] = v[c] == kEmptyLast ? 0 : v[c];
  }
}

std::string FormatStakesFile(const StakeTableT& table, int32_t count) {
  return FormatFile(table, std::clamp(count, 0, StakeTableT::kCapacity), [](int) { return 6; });
}

std::string FormatSystemFile(const SystemTableT& table, int32_t count) {
  return FormatFile(table, std::clamp(count, 0, SystemTableT::kCapacity), [&table](int i) {
    int k = 7;
    while (k < 12 && table.cell[k + 1][i] != 0) ++k;
    return k;
  });
}

}  // namespace tallyra
