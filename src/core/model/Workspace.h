#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace tallyra {

// A table addressed [column][row]. Column 0 and row 0 exist but are never used, so a table
// declared with C columns and R rows holds C - 1 numbers per row and R - 1 rows.
template <int Columns, int Rows>
struct Table {
  static constexpr int kColumns = Columns;
  static constexpr int kRows = Rows;
  static constexpr int kUsableColumns = Columns - 1;
  static constexpr int kCapacity = Rows - 1;

  std::array<std::array<int32_t, Rows>, Columns> cell;

  int32_t& at(int column, int row) { return cell.at(column).at(row); }
  int32_t at(int column, int row) const { return cell.at(column).at(row); }
};

// A table seen without its compile-time shape, for code shared by all three lists.
struct TableRef {
  int32_t* base = nullptr;
  int columns = 0;  // declared columns, column 0 included
  int rows = 0;     // declared rows, row 0 included

  template <int C, int R>
  static TableRef of(Table<C, R>& table) {
    return {table.cell[0].data(), C, R};
  }
  int usableColumns() const { return columns - 1; }
  int capacity() const { return rows - 1; }
  int32_t& operator()(int column, int row) const {
    return base[static_cast<std::size_t>(column) * static_cast<std::size_t>(rows) +
                static_cast<std::size_t>(row)];
  }
};

inline constexpr int kStakeCapacity = 99999;
inline constexpr int kResultCapacity = 1499;
inline constexpr int kStatSlots = 100;
inline constexpr int kDefaultHighestNumber = 49;

// The interface languages, as Workspace::Language and the settings file hold them.
enum class Language : int32_t { Russian = 0, English = 1 };
constexpr int32_t ToValue(Language language) {
  return static_cast<int32_t>(language);
}

using StakeTableT = Table<7, kStakeCapacity + 1>;
using ResultTableT = Table<7, kResultCapacity + 1>;
using SystemTableT = Table<13, kStakeCapacity + 1>;

// Everything the program holds while it runs, in one zero-filled record owned by the main
// window. Members are in declaration order of the saved layout; nothing here grows.
struct Workspace {
  StakeTableT StakeTable;
  int32_t StakeCount;
  ResultTableT ResultTable;
  int32_t ResultCount;
  int32_t BallsPerStake;
  int32_t HighestNumber;
  std::array<int32_t, 4> MatchCounts;
  std::array<int32_t, 13> CheckCombination;
  SystemTableT SystemTable;
  int32_t SystemCount;
  int32_t StatSortMode;
  std::array<int32_t, kStatSlots> StatNumber;
  std::array<int32_t, kStatSlots> StatHits;
  std::array<int32_t, kStatSlots> StatMisses;
  std::array<int32_t, kStatSlots> StatPassed;
  int32_t Language;
};

// Allocates a zero-filled Workspace and runs the first three steps of its initialisation
// (counters, BallsPerStake). HighestNumber and Language come from the settings file, which the
// caller reads next because reading it may show a message.
std::unique_ptr<Workspace> CreateWorkspace();

// Empties rows 1..count of the given columns and sets count to 0.
void ClearRows(TableRef table, int32_t& count, int columns);

}  // namespace tallyra
