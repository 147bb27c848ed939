#include "lists/RecordReader.h"

#include <algorithm>
#include <vector>

#include "model/Integer.h"
#include "model/TextTable.h"

namespace tallyra {
namespace {

int LineAt(std::string_view text, std::size_t pos) {
  int line = 1;
  for (std::size_t i = 0; i < pos && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

// The numbers of the parsed records, kept apart until the whole text is known to be good.
// A record may give fewer numbers than the table has columns; the columns it does not give
// keep what the table holds.
struct Parsed {
  std::vector<int32_t> values;
  std::vector<std::size_t> starts;  // record r is values[starts[r] .. starts[r + 1])
  std::size_t openStart = 0;        // numbers of the unfinished row after the last record
};

}  // namespace

ReadOutcome ReadRecordLines(std::string_view text, TableRef table, int32_t& count,
                            OverflowRule rule) {
  ReadOutcome outcome;
  const int maxNumbers = table.usableColumns();
  const std::size_t length = text.size();

  Parsed parsed;
  parsed.starts.push_back(0);
  std::string token;
  int col = 1;
  auto store = [&](std::size_t pos) {
    const std::optional<int32_t> value = ParseDecimal(token);
    if (!value) {
      outcome.status = ReadOutcome::Status::NotInteger;
      // A token can swallow a whole file when separators are missing; keep its beginning,
      // without splitting a UTF-8 character.
      constexpr std::size_t kKept = 60;
      std::size_t keep = std::min(token.size(), kKept);
      while (keep < token.size() && keep > 0 &&
             (static_cast<unsigned char>(token[keep]) & 0xC0) == 0x80) {
        --keep;
      }
      outcome.token = token.substr(0, keep);
      outcome.tokenCut = keep < token.size();
      return false;
    }
    if (col > maxNumbers) {
      outcome.status = ReadOutcome::Status::RecordTooLong;
      outcome.line = LineAt(text, pos);
      outcome.maxNumbers = maxNumbers;
      return false;
    }
    parsed.values.push_back(*value);
    token.clear();
    return true;
  };

  for (std::size_t pos = 3; pos <= length; ++pos) {
    if (pos == length) break;  // the end of the text: nothing to take
    const char ch = text[pos];
    if (ch == ',') {
      if (!store(pos)) return outcome;
      ++col;
    } else if (ch == ';') {
      if (!store(pos)) return outcome;
      col = 1;
      parsed.starts.push_back(parsed.values.size());
      if (pos + 3 < length) {
        const std::size_t dash = text.find('-', pos);
        if (dash == std::string_view::npos) break;
        pos = dash;
      }
    } else if (ch != ' ' && ch != '-') {
      token += ch;
    }
  }
  parsed.openStart = parsed.starts.back();

  const int records = static_cast<int>(parsed.starts.size()) - 1;
  const int room = table.capacity() - std::max(count, 0);
  outcome.fileRecords = records;
  int first = 0;
  if (records > room) {
    if (rule == OverflowRule::RejectFile) {
      outcome.status = ReadOutcome::Status::ListOverflow;
      outcome.room = room;
      return outcome;
    }
    first = records - room;
    outcome.dropped = first;
  }

  auto write = [&](std::size_t from, std::size_t to, int row) {
    int c = 1;
    for (std::size_t i = from; i < to; ++i) table(c++, row) = parsed.values[i];
  };
  int row = count;
  for (int r = first; r < records; ++r) {
    write(parsed.starts[static_cast<std::size_t>(r)],
          parsed.starts[static_cast<std::size_t>(r) + 1], ++row);
  }
  // Numbers of an unfinished last line that were already followed by "," land in the row
  // after the last record, outside the counted rows, as long as that row exists.
  if (parsed.openStart < parsed.values.size() && row + 1 <= table.capacity()) {
    write(parsed.openStart, parsed.values.size(), row + 1);
  }
  outcome.added = records - first;
  count = row;
  return outcome;
}

std::string DescribeReadOutcome(const ReadOutcome& outcome, int32_t language) {
  using S = ReadOutcome::Status;
  switch (outcome.status) {
    case S::NotInteger:
      return Format(TextId::TxtNotInteger, language,
                    {outcome.token + (outcome.tokenCut ? "..." : "")});
    case S::RecordTooLong:
      return Format(TextId::TxtRecordTooLong, language,
                    {std::to_string(outcome.line), std::to_string(outcome.maxNumbers)});
    case S::ListOverflow:
      return Format(TextId::TxtListOverflow, language,
                    {std::to_string(outcome.fileRecords), std::to_string(outcome.room)});
    case S::Ok:
      if (outcome.dropped > 0) {
        return Format(TextId::TxtDrawsDropped, language,
                      {std::to_string(outcome.fileRecords), std::to_string(outcome.added),
                       std::to_string(outcome.dropped)});
      }
      return {};
  }
  return {};
}

}  // namespace tallyra
