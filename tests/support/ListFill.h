#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lists/ListEditing.h"
#include "lists/RecordReader.h"
#include "model/Workspace.h"

// Tests fill the lists the way the program does, so that a fixture can only build what a load
// can: the rows become the record lines of a list file and the program's own reader reads them.
namespace tallyra::test {

// A list's rows, each the numbers of one record in file order.
using Rows = std::vector<std::vector<int32_t>>;

// `count` rows that are all `row`.
inline Rows Repeated(int count, std::vector<int32_t> row) {
  return Rows(static_cast<std::size_t>(count), std::move(row));
}

// The rows as the program writes a list file: "1 - n,n,n;" and CR LF for each.
inline std::string RecordLines(const Rows& rows) {
  std::string text;
  // Piece by piece: GCC's full optimisation warns falsely about "," + string.
  for (std::size_t r = 0; r < rows.size(); ++r) {
    text += std::to_string(r + 1);
    text += " -";
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      text += c == 0 ? ' ' : ',';
      text += std::to_string(rows[r][c]);
    }
    text += ";\r\n";
  }
  return text;
}

// Replaces what a list holds with `rows`, as a load answered "delete the rows held" does: the
// table is emptied, then read from the rows' record lines. A list the reader refuses fails the
// test.
inline void FillList(TableRef table, int32_t& count, const Rows& rows, OverflowRule rule) {
  ClearTable(table, count, table.usableColumns());
  const ReadOutcome outcome = ReadRecordLines(RecordLines(rows), table, count, rule);
  EXPECT_TRUE(outcome.ok() && outcome.added == static_cast<int>(rows.size()))
      << "the reader took " << outcome.added << " of " << rows.size() << " rows";
}

inline void FillStakes(Workspace& ws, const Rows& rows) {
  FillList(TableRef::of(ws.StakeTable), ws.StakeCount, rows, OverflowRule::RejectFile);
}
inline void FillSystem(Workspace& ws, const Rows& rows) {
  FillList(TableRef::of(ws.SystemTable), ws.SystemCount, rows, OverflowRule::RejectFile);
}
inline void FillDraws(Workspace& ws, const Rows& rows) {
  FillList(TableRef::of(ws.ResultTable), ws.ResultCount, rows, OverflowRule::KeepLatest);
}

// The stakes list as it stands, a row per stake.
inline Rows StakeRows(const Workspace& ws) {
  Rows rows;
  for (int r = 1; r <= ws.StakeCount; ++r) {
    std::vector<int32_t> row;
    for (int c = 1; c <= 6; ++c) row.push_back(ws.StakeTable.at(c, r));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace tallyra::test
