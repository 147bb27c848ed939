#pragma once

#include <cstdint>
#include <string>

#include "model/Workspace.h"

namespace tallyra {

// The orders the statistics are shown in, as Workspace::StatSortMode holds them.
enum class StatisticsOrder : int32_t { ByNumber = 0, ByFrequency = 1, ByDraws = 2 };
constexpr int32_t ToValue(StatisticsOrder order) {
  return static_cast<int32_t>(order);
}

// Recomputes the per-number arrays from the draws for numbers 1..HighestNumber, slot e
// describing number e; the slots above them are emptied. A number never drawn counts as absent
// from every draw held: its passed draws are ResultCount.
void ComputeStatistics(Workspace& ws);

// How many numbers the last computation covered (0 before the first). Sorting and showing go
// by this count, not by HighestNumber, so a new M takes effect at the next computation.
int ComputedNumbers(const Workspace& ws);

// Sorts the slots by hits (ByFrequency) or by passed draws (ByDraws), descending, with a
// bubble sort that keeps the previous order of equal values; ByNumber leaves them as they are.
void SortStatistics(Workspace& ws);

// The slot shown in grid row `row` (1..ComputedNumbers) in the current sort mode, or 0 when no
// slot belongs there.
int SlotForRow(const Workspace& ws, int row);

// The share of draws a number was drawn in, hits * 100 / draws, rounded to two decimals with
// halves away from zero, as "12.34" with the given separator; "0.00" without draws.
std::string PercentText(int32_t hits, int32_t draws, char separator = '.');

}  // namespace tallyra
