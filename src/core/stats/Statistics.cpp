#include "stats/Statistics.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tallyra {
namespace {

int Highest(const Workspace& ws) {
  return std::clamp(ws.HighestNumber, 0, kStatSlots - 1);
}

void SwapSlots(Workspace& ws, int a, int b) {
  std::swap(ws.StatNumber[static_cast<std::size_t>(a)], ws.StatNumber[static_cast<std::size_t>(b)]);
  std::swap(ws.StatHits[static_cast<std::size_t>(a)], ws.StatHits[static_cast<std::size_t>(b)]);
  std::swap(ws.StatMisses[static_cast<std::size_t>(a)], ws.StatMisses[static_cast<std::size_t>(b)]);
  std::swap(ws.StatPassed[static_cast<std::size_t>(a)], ws.StatPassed[static_cast<std::size_t>(b)]);
}

// In the orders by a count the slots themselves are sorted; any other value shows them by number.
bool SortedByCount(const Workspace& ws) {
  return ws.StatSortMode == ToValue(StatisticsOrder::ByFrequency) ||
         ws.StatSortMode == ToValue(StatisticsOrder::ByDraws);
}

}  // namespace

void ComputeStatistics(Workspace& ws) {
  const int m = Highest(ws);
  const int draws = std::clamp(ws.ResultCount, 0, kResultCapacity);
  for (int e = 1; e <= m; ++e) {
    int32_t hits = 0;
    int32_t passed = draws;
    for (int d = 1; d <= draws; ++d) {
      bool drawn = false;
      for (int c = 1; c <= 6; ++c) drawn |= ws.ResultTable.cell[c][d] == e;
      if (drawn) {
        ++hits;
        passed = draws - d;
      }
    }
    const auto slot = static_cast<std::size_t>(e);
    ws.StatNumber[slot] = e;
    ws.StatHits[slot] = hits;
    ws.StatMisses[slot] = draws - hits;
    ws.StatPassed[slot] = passed;
  }
  for (int e = m + 1; e < kStatSlots; ++e) {
    const auto slot = static_cast<std::size_t>(e);
    ws.StatNumber[slot] = 0;
    ws.StatHits[slot] = 0;
    ws.StatMisses[slot] = 0;
    ws.StatPassed[slot] = 0;
  }
}

int ComputedNumbers(const Workspace& ws) {
  // A computation fills slots 1..m with the numbers 1..m in some order and empties the rest.
  int n = 0;
  while (n + 1 < kStatSlots && ws.StatNumber[static_cast<std::size_t>(n + 1)] != 0) ++n;
  return n;
}

void SortStatistics(Workspace& ws) {
  if (!SortedByCount(ws)) return;
  const auto& key =
      ws.StatSortMode == ToValue(StatisticsOrder::ByFrequency) ? ws.StatHits : ws.StatPassed;
  const int m = ComputedNumbers(ws);
  for (int pass = 1; pass < m; ++pass) {
    for (int e = 1; e < m; ++e) {
      if (key[static_cast<std::size_t>(e)] < key[static_cast<std::size_t>(e) + 1]) {
        SwapSlots(ws, e, e + 1);
      }
    }
  }
}

int SlotForRow(const Workspace& ws, int row) {
  const int m = ComputedNumbers(ws);
  if (row < 1 || row > m) return 0;
  if (SortedByCount(ws)) return row;
  for (int e = 1; e <= m; ++e) {
    if (ws.StatNumber[static_cast<std::size_t>(e)] == row) return e;
  }
  return 0;
}

std::string PercentText(int32_t hits, int32_t draws, char separator) {
  int64_t hundredths = 0;
  if (draws > 0) {
    // hits * 10000 / draws, to the nearest whole, halves away from zero; all in integers.
    const int64_t scaled = static_cast<int64_t>(hits) * 10000;
    const int64_t magnitude = (std::llabs(scaled) * 2 + draws) / (2 * static_cast<int64_t>(draws));
    hundredths = scaled < 0 ? -magnitude : magnitude;
  }
  const bool negative = hundredths < 0;
  const int64_t whole = std::llabs(hundredths) / 100;
  const int64_t cents = std::llabs(hundredths) % 100;
  return std::string(negative ? "-" : "") + std::to_string(whole) + separator +
         (cents < 10 ? "0" : "") + std::to_string(cents);
}

}  // namespace tallyra
