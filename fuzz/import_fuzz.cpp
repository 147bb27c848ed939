// Feeds arbitrary file contents to the importer for each kind of list, with and without chosen
// columns and order, and checks that every row it gives is one the list may hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/Importer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  tallyra::ImportOptions options;
  options.kind = static_cast<tallyra::ImportKind>(mode % 3);
  options.highestNumber = mode & 0x08 ? 99 : 49;
  if (mode & 0x10) {
    options.order =
        mode & 0x20 ? tallyra::HistoryOrder::NewestFirst : tallyra::HistoryOrder::OldestFirst;
  }
  if (mode & 0x40) {
    options.columns = {2, 3, 4, 5, 6, 7};
    if (options.kind == tallyra::ImportKind::System) options.columns.push_back(8);
  }
  const tallyra::ImportResult result = tallyra::ImportList(text, options);
  const int least = options.kind == tallyra::ImportKind::System ? 7 : 6;
  const int most = options.kind == tallyra::ImportKind::System ? 12 : 6;
  if (static_cast<int>(result.rows.size()) > result.capacity) std::abort();
  if (!result.ok() && !result.rows.empty()) std::abort();
  for (const tallyra::ImportedRow& row : result.rows) {
    if (row.size < least || row.size > most) std::abort();
    for (int k = 0; k < row.size; ++k) {
      const int32_t v = row.numbers[static_cast<std::size_t>(k)];
      if (v < 1 || v > options.highestNumber) std::abort();
    }
  }
  if (result.ok()) (void)tallyra::FormatImported(result, options.kind);
  (void)tallyra::DescribeImport(result, options, mode & 1);
  for (const tallyra::SkippedLine& skip : result.skipped) {
    (void)tallyra::DescribeSkip(skip, options, mode & 1);
  }
  return 0;
}
