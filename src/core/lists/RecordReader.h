#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Workspace.h"

namespace tallyra {

// What a load does when the file holds more records than the list has room for.
enum class OverflowRule {
  RejectFile,  // stakes and system stakes: nothing is added
  KeepLatest,  // draws: the most recent ones that fit are kept
};

struct ReadOutcome {
  enum class Status { Ok, NotInteger, RecordTooLong, ListOverflow };
  Status status = Status::Ok;
  int added = 0;          // records appended to the table
  int dropped = 0;        // earlier records left out under KeepLatest
  int fileRecords = 0;    // records the file holds
  int room = 0;           // free rows before the load (ListOverflow)
  int line = 0;           // 1-based line of the offending record (RecordTooLong)
  int maxNumbers = 0;     // numbers a record may hold (RecordTooLong)
  std::string token;      // the text that is not an integer, cut short (NotInteger)
  bool tokenCut = false;  // the token went on beyond what is kept
  // A last line without its closing ";" that held numbers: it is not read, and the user is
  // told. Its 1-based line number and its text, cut short (0 and empty when there is none).
  int unfinishedLine = 0;
  std::string unfinishedText;

  bool ok() const { return status == Status::Ok; }
};

// Reads record lines ("label - n,n,n;") from the whole text of a file and appends them after
// the `count` rows the table holds. A leading UTF-8 byte-order mark is dropped first; of what
// remains, the first three characters are never examined; after a ";" the reader jumps to the
// next "-", skipping the line break and the next label. The file is read all or nothing: on
// any error neither the table nor the count changes. Rows above the count are never written,
// so an unfinished last line leaves nothing behind. Besides the table, the reader needs only
// a few bytes, whatever the size of the text.
ReadOutcome ReadRecordLines(std::string_view text, TableRef table, int32_t& count,
                            OverflowRule rule);

// The message that tells the user what happened, or an empty string when there is nothing
// to say. Numbers and the token are inserted in the given language's text.
std::string DescribeReadOutcome(const ReadOutcome& outcome, int32_t language);

}  // namespace tallyra
