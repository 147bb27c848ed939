#pragma once

#include <cstdint>
#include <string>

#include "model/Workspace.h"

namespace tallyra {

// Recomputes the per-number arrays from the draws, slot e describing number e. A number never
// drawn counts as absent from every draw held: its passed draws are ResultCount.
void ComputeStatistics(Workspace& ws);

// Sorts the slots for StatSortMode 1 (by hits) or 2 (by passed draws), descending, with a
// bubble sort that keeps the previous order of equal values; mode 0 leaves them as they are.
void SortStatistics(Workspace& ws);

// The slot shown in grid row `row` (1..HighestNumber) in the current sort mode, or 0 when no
// slot belongs there.
int SlotForRow(const Workspace& ws, int row);

// The share of draws a number was drawn in, hits * 100 / draws, rounded to two decimals with
// halves away from zero, as "12.34" with the given separator; "0.00" without draws.
std::string PercentText(int32_t hits, int32_t draws, char separator = '.');

}  // namespace tallyra
