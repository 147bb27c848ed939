#include "lists/RecordReader.h"

#include <algorithm>
#include <vector>

#include "model/Integer.h"
#include "model/Problem.h"
#include "model/TextTable.h"

namespace tallyra {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// How much of a bad token or an unfinished line a message shows.
constexpr std::size_t kShown = 60;
// How many characters of it reach the screen, escaped (see Excerpt).
constexpr std::size_t kExcerptChars = 40;

int LineAt(std::string_view text, std::size_t pos) {
  int line = 1;
  for (std::size_t i = 0; i < pos && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

// The first `kShown` bytes of a text, without splitting a UTF-8 character.
std::size_t ShownLength(std::string_view text) {
  std::size_t keep = std::min(text.size(), kShown);
  while (keep < text.size() && keep > 0 &&
         (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) {
    --keep;
  }
  return keep;
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// What a walk found after the last record: whether an unfinished line held numbers.
struct OpenRow {
  bool heldNumbers = false;
  std::size_t from = std::string_view::npos;  // where its first number begins
};

// Walks the text by the reader's rules from `from` (3 for the whole text, or where an earlier
// walk said a record begins). `onValue(col, value)` gets every number in turn and
// `onEnd(next)` every closing ";", with the position where the next record's reading goes
// on. Nothing is stored here, so a walk costs no memory beyond the token being collected.
// Returns false at the first bad token or overlong record, with the outcome saying which.
template <typename OnValue, typename OnEnd>
bool Scan(std::string_view text, std::size_t from, int maxNumbers, ReadOutcome& outcome,
          OpenRow& open, OnValue&& onValue, OnEnd&& onEnd) {
  const std::size_t length = text.size();
  std::string token;
  int col = 1;
  bool storedInRow = false;  // the row being filled has a number already
  bool afterDash = true;     // a label's "-" came before the row's numbers
  std::size_t rowFrom = std::string_view::npos;

  auto store = [&](std::size_t pos) {
    const std::optional<int32_t> value = ParseDecimal(token);
    if (!value) {
      outcome.status = ReadOutcome::Status::NotInteger;
      // A token can swallow a whole file when separators are missing; keep its beginning.
      const std::size_t keep = ShownLength(token);
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
    onValue(col, *value);
    storedInRow = true;
    token.clear();
    return true;
  };

  for (std::size_t pos = from; pos < length; ++pos) {
    const char ch = text[pos];
    if (ch == ',') {
      if (!store(pos)) return false;
      ++col;
    } else if (ch == ';') {
      if (!store(pos)) return false;
      col = 1;
      storedInRow = false;
      afterDash = false;
      rowFrom = std::string_view::npos;
      if (pos + 3 < length) {
        const std::size_t dash = text.find('-', pos);
        if (dash == std::string_view::npos) {
          onEnd(length);
          break;
        }
        pos = dash;
        afterDash = true;
      }
      onEnd(pos + 1);
    } else if (ch == '-') {
      afterDash = true;
    } else if (ch != ' ') {
      if (rowFrom == std::string_view::npos && ch != '\r' && ch != '\n') rowFrom = pos;
      token += ch;
    }
  }
  open.heldNumbers = storedInRow || (afterDash && std::any_of(token.begin(), token.end(), IsDigit));
  open.from = rowFrom;
  return true;
}

// The unfinished last line as a message names it: from its start to the end of the text, on
// one line, cut short.
std::string UnfinishedText(std::string_view text, std::size_t from) {
  const std::size_t lineStart = text.rfind('\n', from);
  std::string_view rest = text.substr(lineStart == std::string_view::npos ? 0 : lineStart + 1);
  std::string shown(rest.substr(0, ShownLength(rest)));
  std::replace_if(
      shown.begin(), shown.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  const bool cut = shown.size() < rest.size() &&
                   rest.find_first_not_of(" \r\n", shown.size()) != std::string_view::npos;
  return Excerpt(shown, kExcerptChars, cut);
}

}  // namespace

ReadOutcome ReadRecordLines(std::string_view text, TableRef table, int32_t& count,
                            OverflowRule rule) {
  ReadOutcome outcome;
  // An editor's byte-order mark is no part of the first label.
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  const int maxNumbers = table.usableColumns();
  const int room = table.capacity() - std::max(count, 0);

  // First pass: check the whole text and count its records; the table is not touched. Where
  // the latest records begin is remembered (a ring of room + 1 places), so that a long history
  // of which only the latest records are kept is not parsed twice.
  int records = 0;
  OpenRow open;
  std::vector<std::size_t> starts;
  if (rule == OverflowRule::KeepLatest) starts.assign(static_cast<std::size_t>(room) + 1, 3);
  auto startSlot = [&](int record) {
    return starts[static_cast<std::size_t>(record) % starts.size()];
  };
  if (!Scan(
          text, 3, maxNumbers, outcome, open, [](int, int32_t) {},
          [&](std::size_t next) {
            ++records;
            if (!starts.empty()) {
              starts[static_cast<std::size_t>(records) % starts.size()] = next;
            }
          })) {
    return outcome;
  }

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

  // Second pass: the text is known to be good; the records that are kept go into the rows
  // after those held. A record may give fewer numbers than the table has columns; the columns
  // it does not give keep what the table holds. The unfinished last line is not written.
  int record = first;
  const int base = count + 1 - first;
  OpenRow unused;
  Scan(
      text, first > 0 ? startSlot(first) : 3, maxNumbers, outcome, unused,
      [&](int col, int32_t value) {
        if (record < records) table(col, base + record) = value;
      },
      [&](std::size_t) { ++record; });

  outcome.added = records - first;
  count += outcome.added;
  if (open.heldNumbers && open.from != std::string_view::npos) {
    outcome.unfinishedLine = LineAt(text, open.from);
    outcome.unfinishedText = UnfinishedText(text, open.from);
  }
  return outcome;
}

std::string DescribeReadOutcome(const ReadOutcome& outcome, int32_t language) {
  using S = ReadOutcome::Status;
  switch (outcome.status) {
    case S::NotInteger:
      return Format(TextId::TxtNotInteger, language,
                    {Excerpt(outcome.token, kExcerptChars, outcome.tokenCut)});
    case S::RecordTooLong:
      return Format(TextId::TxtRecordTooLong, language,
                    {std::to_string(outcome.line), std::to_string(outcome.maxNumbers)});
    case S::ListOverflow:
      return Format(TextId::TxtListOverflow, language,
                    {std::to_string(outcome.fileRecords), std::to_string(outcome.room)});
    case S::Ok: {
      std::string notice;
      if (outcome.dropped > 0) {
        notice = Format(TextId::TxtDrawsDropped, language,
                        {std::to_string(outcome.fileRecords), std::to_string(outcome.added),
                         std::to_string(outcome.dropped)});
      }
      if (outcome.unfinishedLine > 0) {
        if (!notice.empty()) notice += "\n\n";
        notice += Format(TextId::TxtUnfinishedLine, language,
                         {std::to_string(outcome.unfinishedLine), outcome.unfinishedText});
      }
      return notice;
    }
  }
  return {};
}

}  // namespace tallyra
