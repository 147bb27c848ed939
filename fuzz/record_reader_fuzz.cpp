// Feeds arbitrary file contents to the record-line reader on each list, with tables already
// partly or wholly full, and checks that the counts never leave the tables and that nothing is
// written above the counted rows.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "lists/RecordReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<tallyra::Workspace> ws = tallyra::CreateWorkspace();
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const uint8_t mode = data[0];

  int32_t* count;
  tallyra::TableRef table;
  switch (mode % 3) {
    case 0:
      table = tallyra::TableRef::of(ws->ResultTable);
      count = &ws->ResultCount;
      break;
    case 1:
      table = tallyra::TableRef::of(ws->StakeTable);
      count = &ws->StakeCount;
      break;
    default:
      table = tallyra::TableRef::of(ws->SystemTable);
      count = &ws->SystemCount;
      break;
  }
  // Start empty, nearly full or full.
  *count = (mode / 3) % 3 == 0 ? 0 : table.capacity() - ((mode / 3) % 3 == 1 ? 2 : 0);
  const int32_t before = *count;
  const tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
      text, table, *count,
      mode & 0x80 ? tallyra::OverflowRule::KeepLatest : tallyra::OverflowRule::RejectFile);
  if (*count < 0 || *count > table.capacity()) std::abort();
  if (!outcome.ok() && *count != before) std::abort();
  // Nothing of the file lands above the counted rows, an unfinished last line included.
  if (*count < table.capacity()) {
    for (int c = 1; c <= table.usableColumns(); ++c) {
      if (table(c, *count + 1) != 0) std::abort();
    }
  }
  (void)tallyra::DescribeReadOutcome(outcome, mode & 1);
  // The rows this input added are emptied again for the next one.
  for (int r = before + 1; r <= *count; ++r) {
    for (int c = 1; c <= table.usableColumns(); ++c) table(c, r) = 0;
  }
  return 0;
}
