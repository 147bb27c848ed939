#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/Workspace.h"

namespace tallyra {

// Appends a row after the `count` held: column c takes values[c - 1]; the row's other columns
// keep the zeros that rows above the count hold. Returns false, changing nothing, when the
// table is full.
bool AppendRow(TableRef table, int32_t& count, std::span<const int32_t> values);

// Removes row `row` (1..count): the rows below move up one, the freed last row is zeroed.
void DeleteRow(TableRef table, int32_t& count, int row, int columns);

// Zeroes the given columns of every row of the table, used or not, and sets count to 0.
void ClearTable(TableRef table, int32_t& count, int columns);

// Sorts the six numbers of every stake ascending.
void LineUpStakes(StakeTableT& table, int32_t count);

// Sorts the twelve slots of every system stake ascending with the empty slots (0) last.
// A slot holding 100 counts as empty and comes out as 0.
void LineUpSystem(SystemTableT& table, int32_t count);

// The stakes file: "i - n1,n2,n3,n4,n5,n6;" and CR LF for every stake.
std::string FormatStakesFile(const StakeTableT& table, int32_t count);

// The system stakes file: "i - " and k numbers joined by ",", ";" and CR LF, where k is 7 when
// slot 8 is empty, else 8 when slot 9 is empty, and so on up to 12.
std::string FormatSystemFile(const SystemTableT& table, int32_t count);

}  // namespace tallyra
