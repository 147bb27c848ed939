#include "import/Importer.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <unordered_map>
#include <utility>

#include "lists/ListEditing.h"
#include "lists/RecordReader.h"
#include "model/Problem.h"
#include "model/TextTable.h"

namespace tallyra {
namespace {

// One field of a separated line or one token of a free line.
struct Cell {
  enum class Type : uint8_t { Empty, Int, Date, Text };
  Type type = Type::Empty;
  bool dotted = false;      // an integer written "6334." or "12)" the way row labels are
  bool numberLike = false;  // Text written as a number that is no ball: "-5", "1.5", "1e3"
  bool mixed = false;       // a separated field with several numbers in it
  bool yearFirst = false;   // a date written year, month, day
  char dateSeparator = 0;
  int64_t value = 0;         // Int, capped far above any number of a draw
  int parts[3] = {0, 0, 0};  // a date's three numbers as written
  std::string_view text;
};

constexpr int kMaxPositions = 64;  // columns looked at when deciding
constexpr int kSampleRows = 5000;  // rows looked at when deciding
constexpr std::size_t kValueText = 40;

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}
// Letters of any script (UTF-8 bytes are all above 0x7F) and digits make words.
bool IsWordChar(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  return IsDigit(ch) || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

int Need(ImportKind kind) {
  return kind == ImportKind::System ? 7 : 6;
}
int Most(ImportKind kind) {
  return kind == ImportKind::System ? 12 : 6;
}
int Capacity(ImportKind kind) {
  return kind == ImportKind::Results ? kResultCapacity : kStakeCapacity;
}

// A value as messages show it: short, and with bytes that are no text escaped.
std::string Cut(std::string_view text) {
  return Excerpt(text, kValueText);
}

std::size_t DigitsAt(std::string_view s, std::size_t i) {
  std::size_t j = i;
  while (j < s.size() && IsDigit(s[j])) ++j;
  return j - i;
}

int Number(std::string_view s, std::size_t i, std::size_t n) {
  int v = 0;
  for (std::size_t k = 0; k < n; ++k) v = v * 10 + (s[i + k] - '0');
  return v;
}

// A date at s[i] ("12.11.2019", "2019-11-12", "11/12/2019"), with a time after it if there is
// one, so that "20:00" does not turn into two more numbers. Returns the characters taken.
std::size_t MatchDate(std::string_view s, std::size_t i, Cell& cell) {
  auto isSep = [](char ch) { return ch == '.' || ch == '-' || ch == '/'; };
  const std::size_t n1 = DigitsAt(s, i);
  std::size_t j = i + n1;
  if (j >= s.size() || !isSep(s[j])) return 0;
  const char sep = s[j++];
  const std::size_t n2 = DigitsAt(s, j);
  if (n2 < 1 || n2 > 2) return 0;
  const std::size_t at2 = j;
  j += n2;
  if (j >= s.size() || s[j] != sep) return 0;
  ++j;
  const std::size_t n3 = DigitsAt(s, j);
  const std::size_t at3 = j;
  j += n3;
  if (n1 == 4 && n3 >= 1 && n3 <= 2) {
    cell.yearFirst = true;
  } else if (n1 >= 1 && n1 <= 2 && n3 == 4) {
    cell.yearFirst = false;
  } else {
    return 0;
  }
  if (j < s.size() && IsWordChar(s[j]) && s[j] != 'T') return 0;
  cell.type = Cell::Type::Date;
  cell.dateSeparator = sep;
  cell.parts[0] = Number(s, i, n1);
  cell.parts[1] = Number(s, at2, n2);
  cell.parts[2] = Number(s, at3, n3);
  cell.text = s.substr(i, j - i);
  // An optional time: " 20:00", "T20:00:00".
  if (j + 1 < s.size() && (s[j] == ' ' || s[j] == 'T')) {
    std::size_t k = j + 1;
    const std::size_t h = DigitsAt(s, k);
    if (h >= 1 && h <= 2 && k + h < s.size() && s[k + h] == ':' && DigitsAt(s, k + h + 1) == 2) {
      k += h + 3;
      if (k < s.size() && s[k] == ':' && DigitsAt(s, k + 1) == 2) k += 3;
      if (k >= s.size() || !IsWordChar(s[k])) j = k;
    }
  }
  return j - i;
}

// The digits at s[i] with a sign before them, a decimal point or an exponent: "-5", "+7",
// "1.5", "1e3". They were written as a number, but no ball is numbered so, and reading the
// digits alone would store a number the file does not hold. A sign counts only where it
// stands alone before the digits ("1 -5"), not in "6335-1" or the separating " - ". Returns
// the characters taken from i on; the cell's text starts at the sign.
std::size_t MatchSignedOrDecimal(std::string_view s, std::size_t i, Cell& cell) {
  const bool signedHere = i > 0 && (s[i - 1] == '-' || s[i - 1] == '+') &&
                          (i == 1 || !(IsWordChar(s[i - 2]) || s[i - 2] == '-' || s[i - 2] == '+' ||
                                       s[i - 2] == '.' || s[i - 2] == ','));
  std::size_t j = i + DigitsAt(s, i);
  bool decimal = false, exponent = false;
  if (j + 1 < s.size() && s[j] == '.' && IsDigit(s[j + 1])) {
    decimal = true;
    j += 1 + DigitsAt(s, j + 1);
  }
  if (j + 1 < s.size() && (s[j] == 'e' || s[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    if (DigitsAt(s, k) > 0) {
      exponent = true;
      j = k + DigitsAt(s, k);
    }
  }
  if (!(signedHere || decimal || exponent)) return 0;
  if (j < s.size() && IsWordChar(s[j])) return 0;  // "1e3x" is a word
  const std::size_t from = signedHere ? i - 1 : i;
  cell.type = Cell::Type::Text;
  cell.numberLike = true;
  cell.text = s.substr(from, j - from);
  return j - i;
}

// A whole separated field written as a number that is no ball, as above; "1,5" is one too in
// a file that is not separated by commas.
bool NumberLikeField(std::string_view field) {
  std::size_t i = 0;
  const bool sign = !field.empty() && (field[0] == '-' || field[0] == '+');
  i += sign;
  std::size_t n = DigitsAt(field, i);
  if (n == 0) return false;
  i += n;
  bool decimal = false, exponent = false;
  if (i + 1 < field.size() && (field[i] == '.' || field[i] == ',') && IsDigit(field[i + 1])) {
    decimal = true;
    i += 1 + DigitsAt(field, i + 1);
  }
  if (i + 1 < field.size() && (field[i] == 'e' || field[i] == 'E')) {
    std::size_t k = i + 1;
    if (k < field.size() && (field[k] == '+' || field[k] == '-')) ++k;
    n = DigitsAt(field, k);
    if (n == 0) return false;
    exponent = true;
    i = k + n;
  }
  return i == field.size() && (sign || decimal || exponent);
}

int64_t IntValue(std::string_view digits) {
  int64_t v = 0;
  for (char ch : digits) v = std::min<int64_t>(v * 10 + (ch - '0'), int64_t{1} << 40);
  return v;
}

// Splits a free line into numbers, dates and words; everything else separates them.
void FreeCells(std::string_view s, std::vector<Cell>& cells) {
  std::size_t i = 0;
  while (i < s.size()) {
    if (!IsWordChar(s[i])) {
      ++i;
      continue;
    }
    Cell cell;
    if (IsDigit(s[i])) {
      if (const std::size_t taken = MatchDate(s, i, cell); taken > 0) {
        cells.push_back(cell);
        i += taken;
        continue;
      }
      if (const std::size_t taken = MatchSignedOrDecimal(s, i, cell); taken > 0) {
        cells.push_back(cell);
        i += taken;
        continue;
      }
    }
    std::size_t j = i;
    bool digitsOnly = true;
    for (; j < s.size() && IsWordChar(s[j]); ++j) digitsOnly = digitsOnly && IsDigit(s[j]);
    cell.text = s.substr(i, j - i);
    if (digitsOnly) {
      cell.type = Cell::Type::Int;
      cell.value = IntValue(cell.text);
      cell.dotted = j < s.size() &&
                    (s[j] == ')' || (s[j] == '.' && (j + 1 == s.size() || !IsDigit(s[j + 1]))));
    } else {
      cell.type = Cell::Type::Text;
    }
    cells.push_back(cell);
    i = j;
  }
}

ImportedAmount ReadAmount(std::string_view text, bool& single);

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

Cell FieldCell(std::string_view field) {
  Cell cell;
  field = Trim(field);
  cell.text = field;
  if (field.empty()) return cell;
  std::string_view digits = field;
  if (digits.back() == '.') digits.remove_suffix(1);
  if (!digits.empty() && DigitsAt(digits, 0) == digits.size()) {
    cell.type = Cell::Type::Int;
    cell.value = IntValue(digits);
    cell.dotted = digits.size() < field.size();
    return cell;
  }
  if (IsDigit(field[0]) && MatchDate(field, 0, cell) > 0) return cell;
  cell.type = Cell::Type::Text;
  if (NumberLikeField(field)) {
    cell.numberLike = true;
    return cell;
  }
  int runs = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    runs += IsDigit(field[i]) && (i == 0 || !IsDigit(field[i - 1]));
  }
  // An amount such as "1 234,50" is one thing, not several numbers in one field.
  bool single = false;
  if (runs > 1) ReadAmount(field, single);
  cell.mixed = runs > 1 && !single;
  return cell;
}

// Splits a line at the separator outside double quotes; a quoted field keeps what is between
// its quotes.
void SeparatedCells(std::string_view s, char separator, std::vector<Cell>& cells) {
  std::size_t i = 0;
  for (;;) {
    std::size_t start = i;
    while (start < s.size() && s[start] == ' ') ++start;
    std::size_t end;
    std::size_t next;
    if (start < s.size() && s[start] == '"') {
      std::size_t close = start + 1;
      while (close < s.size()) {
        if (s[close] == '"' && close + 1 < s.size() && s[close + 1] == '"') {
          close += 2;
        } else if (s[close] == '"') {
          break;
        } else {
          ++close;
        }
      }
      const std::size_t stop = std::min(s.find(separator, close), s.size());
      cells.push_back(FieldCell(s.substr(start + 1, std::min(close, s.size()) - start - 1)));
      next = stop;
    } else {
      end = std::min(s.find(separator, i), s.size());
      cells.push_back(FieldCell(s.substr(i, end - i)));
      next = end;
    }
    if (next >= s.size()) break;
    i = next + 1;
  }
}

int SeparatorsOutsideQuotes(std::string_view s, char separator) {
  int n = 0;
  bool quoted = false;
  for (char ch : s) {
    if (ch == '"') quoted = !quoted;
    n += !quoted && ch == separator;
  }
  return n;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool Blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char ch) {
    return ch == ' ' || ch == '\t' || ch == '\f' || ch == '\v' || ch == 0x1A;
  });
}

// "label - n,n,n;" with a label free of "-", as the program writes them.
bool IsRecordLine(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.back() != ';') return false;
  const std::size_t dash = line.find('-');
  if (dash == std::string_view::npos) return false;
  bool digit = false;
  for (std::size_t i = dash + 1; i + 1 < line.size(); ++i) {
    const char ch = line[i];
    if (IsDigit(ch)) {
      digit = true;
    } else if (ch != ' ' && ch != ',') {
      return false;
    }
  }
  return digit;
}

// The separator of the file, or 0 for free lines: most lines must have at least two of it,
// and the fields it makes must each hold one thing (a number, a date or a word).
char DetectSeparator(const std::vector<std::string_view>& lines) {
  std::vector<std::string_view> sample;
  for (std::string_view line : lines) {
    if (!Blank(line)) sample.push_back(line);
    if (sample.size() >= 200) break;
  }
  std::vector<Cell> cells;
  for (const char separator : {'\t', ';', ','}) {
    std::size_t with = 0, simple = 0;
    for (std::string_view line : sample) {
      if (SeparatorsOutsideQuotes(line, separator) < 2) continue;
      ++with;
      cells.clear();
      SeparatedCells(line, separator, cells);
      simple += std::none_of(cells.begin(), cells.end(), [](const Cell& c) { return c.mixed; });
    }
    if (with > 0 && with * 10 >= sample.size() * 6 && simple * 10 >= with * 9) return separator;
  }
  return 0;
}

bool LeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Days since 1970-01-01 of a valid date, or nothing.
std::optional<int64_t> DateKey(const Cell& cell, bool dayFirstSlashes) {
  if (cell.type != Cell::Type::Date) return std::nullopt;
  int y, m, d;
  if (cell.yearFirst) {
    y = cell.parts[0], m = cell.parts[1], d = cell.parts[2];
  } else if (cell.dateSeparator == '/' && !dayFirstSlashes) {
    m = cell.parts[0], d = cell.parts[1], y = cell.parts[2];
  } else {
    d = cell.parts[0], m = cell.parts[1], y = cell.parts[2];
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1000 || m < 1 || m > 12 || d < 1) return std::nullopt;
  if (d > kDays[m - 1] + (m == 2 && LeapYear(y))) return std::nullopt;
  // Days from civil (proleptic Gregorian).
  const int yy = y - (m <= 2);
  const int era = yy / 400;
  const int yoe = yy - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return int64_t{era} * 146097 + doe - 719468;
}

// How the columns of a tabular file were read.
struct Layout {
  std::vector<int> columns;  // 0-based positions
  int date = -1;
  int drawNumber = -1;
  bool dayFirstSlashes = false;
};

// ASCII and Russian capitals made small, so that headings match in any case.
std::string Lowered(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto& ch = reinterpret_cast<unsigned char&>(out[i]);
    if (ch >= 'A' && ch <= 'Z') {
      ch = static_cast<unsigned char>(ch + 32);
    } else if (ch == 0xD0 && i + 1 < out.size()) {
      auto& next = reinterpret_cast<unsigned char&>(out[i + 1]);
      if (next >= 0x90 && next <= 0x9F) {  // А..П
        next = static_cast<unsigned char>(next + 0x20);
      } else if (next >= 0xA0 && next <= 0xAF) {  // Р..Я
        ch = 0xD1;
        next = static_cast<unsigned char>(next - 0x20);
      }
      ++i;
    }
  }
  return out;
}

bool HasAny(const std::string& text, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view w) { return text.find(w) != std::string::npos; });
}

// The columns a heading names as prize columns, after the last number column, each tier at
// most once: a tier named twice is taken from neither.
std::array<int, 4> FindPrizeColumns(const std::vector<Cell>& heading, const Layout& layout) {
  std::array<int, 4> found{};
  std::array<bool, 4> twice{};
  const int after = *std::max_element(layout.columns.begin(), layout.columns.end());
  for (int p = after + 1; p < static_cast<int>(heading.size()); ++p) {
    if (p == layout.date || p == layout.drawNumber) continue;
    const int tier = PrizeTierOfHeading(heading[static_cast<std::size_t>(p)].text);
    if (tier == 0) continue;
    const auto t = static_cast<std::size_t>(tier - 3);
    if (found[t]) twice[t] = true;
    found[t] = p + 1;
  }
  for (std::size_t t = 0; t < 4; ++t) {
    if (twice[t]) found[t] = 0;
  }
  return found;
}

class TabularReader {
 public:
  TabularReader(const std::vector<std::string_view>& lines, char separator,
                const ImportOptions& options)
      : m_lines(lines), m_separator(separator), m_options(options) {}

  void cells(std::string_view line, std::vector<Cell>& out) const {
    out.clear();
    if (m_separator) {
      SeparatedCells(line, m_separator, out);
    } else {
      FreeCells(line, out);
    }
  }

  Layout decide() const;
  void read(const Layout& layout, ImportResult& result) const;

 private:
  const std::vector<std::string_view>& m_lines;
  char m_separator;
  const ImportOptions& m_options;
};

Layout TabularReader::decide() const {
  const int32_t top = m_options.highestNumber;
  const int need = Need(m_options.kind);
  auto inRange = [top](const Cell& c) {
    return c.type == Cell::Type::Int && c.value >= 1 && c.value <= top;
  };

  std::vector<std::vector<Cell>> sample;
  std::vector<Cell> cells;
  int positions = 0;
  for (std::string_view line : m_lines) {
    cells.clear();
    this->cells(line, cells);
    const auto ints = std::count_if(cells.begin(), cells.end(),
                                    [](const Cell& c) { return c.type == Cell::Type::Int; });
    if (ints < need) continue;
    if (cells.size() > kMaxPositions) cells.resize(kMaxPositions);
    positions = std::max(positions, static_cast<int>(cells.size()));
    sample.push_back(cells);
    if (sample.size() >= kSampleRows) break;
  }
  const auto rows = static_cast<int>(sample.size());

  struct Stats {
    int ints = 0, inRange = 0, dates = 0, dotted = 0;
    int pairs = 0, steps = 0;  // neighbouring rows with two integers here; of them one apart
    bool slashDayFirst = false;
  };
  std::vector<Stats> stats(static_cast<std::size_t>(positions));
  for (int r = 0; r < rows; ++r) {
    const auto& row = sample[static_cast<std::size_t>(r)];
    for (std::size_t p = 0; p < row.size(); ++p) {
      const Cell& c = row[p];
      Stats& s = stats[p];
      s.ints += c.type == Cell::Type::Int;
      s.inRange += inRange(c);
      s.dotted += c.dotted;
      if (c.type == Cell::Type::Date) {
        ++s.dates;
        if (c.dateSeparator == '/' && !c.yearFirst && c.parts[0] > 12) s.slashDayFirst = true;
      }
      if (r > 0) {
        const auto& prev = sample[static_cast<std::size_t>(r) - 1];
        if (p < prev.size() && c.type == Cell::Type::Int && prev[p].type == Cell::Type::Int) {
          ++s.pairs;
          s.steps += c.value - prev[p].value == 1 || prev[p].value - c.value == 1;
        }
      }
    }
  }
  // Draw numbers and row labels: they run on by one from row to row, or end in a full stop.
  auto isLabel = [&](int p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    return (s.pairs >= 2 && s.steps * 10 >= s.pairs * 8) || (s.ints > 0 && s.dotted * 2 > s.ints);
  };

  Layout layout;
  for (int p = 0; p < positions && layout.date < 0; ++p) {
    if (rows > 0 && stats[static_cast<std::size_t>(p)].dates * 2 >= rows) {
      layout.date = p;
      layout.dayFirstSlashes = stats[static_cast<std::size_t>(p)].slashDayFirst;
    }
  }

  if (!m_options.columns.empty()) {
    for (int c : m_options.columns) layout.columns.push_back(c - 1);
  } else if (m_options.kind == ImportKind::System) {
    int start = -1;
    for (int p = 0; p < positions && start < 0; ++p) {
      if (!isLabel(p) && stats[static_cast<std::size_t>(p)].inRange * 2 >= rows) start = p;
    }
    if (start < 0) start = 0;
    for (int p = start; p < std::max(positions, start + Most(m_options.kind) + 1); ++p) {
      layout.columns.push_back(p);
    }
  } else {
    // The six neighbouring columns that give the most good rows; on a tie the leftmost, as
    // bonus numbers come after the main ones. Columns that look like labels are passed over,
    // unless no row can be read without them: a draw's first number may happen to run on by
    // one from row to row.
    int best = -1;
    std::pair<int, int> bestScore{-1, -1};
    for (int pass = 0; pass < 2 && bestScore.first <= 0; ++pass) {
      for (int s = 0; s + need <= positions; ++s) {
        bool usable = true;
        int cellsInRange = 0;
        for (int p = s; p < s + need; ++p) {
          usable = usable && (pass == 1 || !isLabel(p));
          cellsInRange += stats[static_cast<std::size_t>(p)].inRange;
        }
        if (!usable) continue;
        int good = 0;
        for (const auto& row : sample) {
          if (static_cast<int>(row.size()) < s + need) continue;
          std::array<bool, 100> seen{};
          bool ok = true;
          for (int p = s; p < s + need && ok; ++p) {
            const Cell& c = row[static_cast<std::size_t>(p)];
            ok = inRange(c) &&
                 !(c.value < 100 && std::exchange(seen[static_cast<std::size_t>(c.value)], true));
          }
          good += ok;
        }
        if (std::pair(good, cellsInRange) > bestScore) {
          bestScore = {good, cellsInRange};
          best = s;
        }
      }
    }
    if (best < 0) best = 0;
    for (int p = best; p < best + need; ++p) layout.columns.push_back(p);
  }

  for (int p = 0; p < positions && layout.drawNumber < 0; ++p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    if (s.pairs >= 1 && s.steps * 10 >= s.pairs * 8 && s.ints * 2 >= rows &&
        std::find(layout.columns.begin(), layout.columns.end(), p) == layout.columns.end()) {
      layout.drawNumber = p;
    }
  }
  return layout;
}

std::optional<SkippedLine> CheckNumbers(const std::vector<int64_t>& values, ImportKind kind,
                                        int32_t top) {
  SkippedLine skip;
  if (static_cast<int>(values.size()) < Need(kind)) {
    skip.reason = SkipReason::TooFewNumbers;
    skip.value = std::to_string(values.size());
    return skip;
  }
  if (static_cast<int>(values.size()) > Most(kind)) {
    skip.reason = SkipReason::TooManyNumbers;
    skip.value = std::to_string(values.size());
    return skip;
  }
  for (const int64_t v : values) {
    if (v < 1 || v > top) {
      skip.reason = SkipReason::OutOfRange;
      skip.value = v >= int64_t{1} << 40 ? std::string("...") : std::to_string(v);
      return skip;
    }
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (values[i] == values[j]) {
        skip.reason = SkipReason::Repeat;
        skip.value = std::to_string(values[i]);
        return skip;
      }
    }
  }
  return std::nullopt;
}

void AddSkip(ImportResult& result, SkippedLine skip) {
  ++result.skippedTotal;
  if (static_cast<int>(result.skipped.size()) < kMaxListedSkips) {
    result.skipped.push_back(std::move(skip));
  }
}

void TabularReader::read(const Layout& layout, ImportResult& result) const {
  const ImportKind kind = m_options.kind;
  std::vector<Cell> cells;
  std::vector<int64_t> values;
  std::vector<int64_t> keys;  // dates or draw numbers of the rows, for the order
  std::vector<bool> keyed;
  std::vector<std::string_view> dates;  // the date text of each row, for the order's warning
  // A row that holds the same numbers, draw number and date as an earlier one is the same
  // draw written twice; only files with a date or a draw number can tell that apart from a
  // stake that is played twice.
  const bool repeatsKnown = layout.date >= 0 || layout.drawNumber >= 0;
  std::unordered_map<std::string, int> rowLines;
  bool seenRow = false;
  std::size_t headingFields = 0;  // of the heading that named prize columns
  // Fields up to the last that holds something.
  auto filled = [](const std::vector<Cell>& row) {
    std::size_t n = row.size();
    while (n > 0 && row[n - 1].type == Cell::Type::Empty) --n;
    return n;
  };
  for (std::size_t index = 0; index < m_lines.size(); ++index) {
    const int line = static_cast<int>(index) + 1;
    cells.clear();
    this->cells(m_lines[index], cells);
    if (std::all_of(cells.begin(), cells.end(),
                    [](const Cell& c) { return c.type == Cell::Type::Empty; })) {
      continue;
    }
    values.clear();
    std::optional<SkippedLine> skip;
    // The numbers end at the first column without one: system stakes end there, and a
    // six-number row that ends early has too few. A number that is no ball ends nothing: the
    // line is wrong.
    for (const int p : layout.columns) {
      if (p >= static_cast<int>(cells.size())) break;
      const Cell& c = cells[static_cast<std::size_t>(p)];
      if (c.numberLike) {
        skip = SkippedLine{0, SkipReason::NotWholeNumber, Cut(c.text)};
        break;
      }
      if (c.type != Cell::Type::Int) break;
      values.push_back(c.value);
    }
    if (!skip) skip = CheckNumbers(values, kind, m_options.highestNumber);
    std::optional<int64_t> key;
    if (!skip && layout.date >= 0) {
      const Cell* date = layout.date < static_cast<int>(cells.size())
                             ? &cells[static_cast<std::size_t>(layout.date)]
                             : nullptr;
      key = date ? DateKey(*date, layout.dayFirstSlashes) : std::nullopt;
      if (!key) {
        skip = SkippedLine{0, SkipReason::BadDate, date ? Cut(date->text) : std::string()};
      }
    } else if (!skip && layout.drawNumber >= 0 &&
               layout.drawNumber < static_cast<int>(cells.size()) &&
               cells[static_cast<std::size_t>(layout.drawNumber)].type == Cell::Type::Int) {
      key = cells[static_cast<std::size_t>(layout.drawNumber)].value;
    }
    if (skip) {
      const bool words = std::any_of(cells.begin(), cells.end(), [](const Cell& c) {
        return c.type == Cell::Type::Text && !c.numberLike;
      });
      if (!seenRow && words) {
        result.headerLines.push_back(line);
        if (m_separator != 0 && kind == ImportKind::Results && !layout.columns.empty()) {
          const std::array<int, 4> named = FindPrizeColumns(cells, layout);
          if (named != std::array<int, 4>{}) {
            result.prizeColumns = named;
            headingFields = filled(cells);
          }
        }
      } else {
        skip->line = line;
        AddSkip(result, std::move(*skip));
      }
      continue;
    }
    seenRow = true;
    if (repeatsKnown) {
      std::string rowKey;
      for (const int64_t v : values) rowKey += std::to_string(v) + ',';
      for (const int p : {layout.date, layout.drawNumber}) {
        rowKey += '|';
        if (p >= 0 && p < static_cast<int>(cells.size())) {
          const Cell& c = cells[static_cast<std::size_t>(p)];
          rowKey += c.type == Cell::Type::Date
                        ? std::to_string(DateKey(c, layout.dayFirstSlashes).value_or(-1))
                        : std::string(c.text);
        }
      }
      const auto [earlier, fresh] = rowLines.emplace(std::move(rowKey), line);
      if (!fresh) {
        AddSkip(result,
                SkippedLine{line, SkipReason::RepeatedRow, std::to_string(earlier->second)});
        continue;
      }
    }
    ImportedRow row;
    row.line = line;
    row.size = static_cast<int>(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
      row.numbers[k] = static_cast<int32_t>(values[k]);
    }
    // A row with more fields than its heading, such as one with an unquoted "10,50" in a file
    // separated by commas, would give amounts from the wrong columns: it gives none.
    const bool misfit = result.hasPrizeColumns() && filled(cells) > headingFields;
    if (misfit) {
      ++result.unreadAmountsTotal;
      if (static_cast<int>(result.unreadAmounts.size()) < kMaxListedSkips) {
        result.unreadAmounts.push_back(UnreadAmount{line, 0, std::to_string(filled(cells))});
      }
    }
    for (std::size_t t = 0; t < 4 && !misfit; ++t) {
      const int column = result.prizeColumns[t];
      if (column == 0 || column > static_cast<int>(cells.size())) continue;
      const std::string_view text = cells[static_cast<std::size_t>(column) - 1].text;
      const ImportedAmount amount = ParseImportedAmount(text);
      row.prizes[t] = amount.value;
      if (amount.given && !amount.value) {
        ++result.unreadAmountsTotal;
        if (static_cast<int>(result.unreadAmounts.size()) < kMaxListedSkips) {
          result.unreadAmounts.push_back(UnreadAmount{line, static_cast<int>(t) + 3, Cut(text)});
        }
      }
    }
    result.rows.push_back(row);
    keys.push_back(key.value_or(0));
    keyed.push_back(key.has_value());
    dates.push_back(layout.date >= 0 && layout.date < static_cast<int>(cells.size())
                        ? cells[static_cast<std::size_t>(layout.date)].text
                        : std::string_view());
  }

  // The order from the keys of neighbouring rows that both have one.
  int up = 0, down = 0;
  for (std::size_t r = 1; r < keys.size(); ++r) {
    if (!keyed[r] || !keyed[r - 1]) continue;
    up += keys[r] > keys[r - 1];
    down += keys[r] < keys[r - 1];
  }
  if (up + down > 0) {
    result.order = down > up ? HistoryOrder::NewestFirst : HistoryOrder::OldestFirst;
    result.orderBasis = layout.date >= 0 ? OrderBasis::Dates : OrderBasis::DrawNumbers;
  }
  // A history is in one order of dates: one that turns back somewhere was pieced together or
  // edited by hand, and the rows stored would not follow the draws as they were drawn.
  if (layout.date >= 0) {
    const HistoryOrder order = m_options.order.value_or(result.order);
    for (std::size_t r = 1; r < keys.size(); ++r) {
      if (!keyed[r] || !keyed[r - 1]) continue;
      if (order == HistoryOrder::OldestFirst ? keys[r] < keys[r - 1] : keys[r] > keys[r - 1]) {
        result.outOfOrder = SkippedLine{result.rows[r].line, SkipReason::OutOfOrder, Cut(dates[r])};
        break;
      }
    }
  }
}

// The record reader reads the file; this finds the line each of its records ends on and how
// many numbers it has, following the reader's own path through the text.
std::vector<std::pair<int, int>> LocateRecords(std::string_view text) {
  std::vector<std::pair<int, int>> records;
  int line = 1;
  std::size_t counted = 0;  // newlines before this position are in `line`
  auto lineAt = [&](std::size_t pos) {
    line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                        text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
    counted = pos;
    return line;
  };
  int numbers = 1;
  for (std::size_t pos = 3; pos < text.size(); ++pos) {
    const char ch = text[pos];
    if (ch == ',') {
      ++numbers;
    } else if (ch == ';') {
      records.emplace_back(lineAt(pos), numbers);
      numbers = 1;
      if (pos + 3 < text.size()) {
        const std::size_t dash = text.find('-', pos);
        if (dash == std::string_view::npos) break;
        pos = dash;
      }
    }
  }
  return records;
}

// Reads the program's own lines through the record reader. False when the reader refuses the
// text, which is then read as plain lines.
bool ReadRecordFile(std::string_view text, const ImportOptions& options, ImportResult& result) {
  const int columns = Most(options.kind) + 1;
  const int rows = kStakeCapacity + 1;
  std::vector<int32_t> cells(static_cast<std::size_t>(columns) * rows);
  const TableRef table{cells.data(), columns, rows};
  int32_t count = 0;
  const ReadOutcome outcome = ReadRecordLines(text, table, count, OverflowRule::RejectFile);
  if (outcome.status == ReadOutcome::Status::ListOverflow) {
    result.problem = ImportProblem::TooManyRows;
    result.rowsInFile = outcome.fileRecords;
    return true;
  }
  if (!outcome.ok()) return false;
  const auto records = LocateRecords(text);
  if (static_cast<int>(records.size()) != count) return false;  // cannot happen; be safe
  result.shape = ImportShape::RecordLines;
  std::vector<int64_t> values;
  for (int r = 1; r <= count; ++r) {
    const auto [line, numbers] = records[static_cast<std::size_t>(r) - 1];
    values.clear();
    for (int c = 1; c <= numbers; ++c) values.push_back(table(c, r));
    if (auto skip = CheckNumbers(values, options.kind, options.highestNumber)) {
      skip->line = line;
      AddSkip(result, std::move(*skip));
      continue;
    }
    ImportedRow row;
    row.line = line;
    row.size = numbers;
    for (int c = 1; c <= numbers; ++c) row.numbers[static_cast<std::size_t>(c) - 1] = table(c, r);
    result.rows.push_back(row);
  }
  return true;
}

bool ColumnsFit(const std::vector<int>& columns, ImportKind kind) {
  if (columns.empty()) return true;
  const int n = static_cast<int>(columns.size());
  if (n < Need(kind) || n > Most(kind)) return false;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] < 1 || columns[i] > kMaxPositions * 16) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (columns[i] == columns[j]) return false;
    }
  }
  return true;
}

}  // namespace

ImportedAmount ParseImportedAmount(std::string_view text) {
  bool single = false;
  return ReadAmount(text, single);
}

namespace {

// `single` tells whether the digits are laid out as one amount, even one refused.
ImportedAmount ReadAmount(std::string_view text, bool& single) {
  ImportedAmount out;
  single = false;
  const std::size_t first = text.find_first_of("0123456789");
  if (first == std::string_view::npos) return out;
  out.given = true;
  const std::size_t last = text.find_last_of("0123456789");

  // The digits in groups, and the separator before each group but the first: '.', ',' or ' '
  // for any blank that sets thousands apart.
  std::vector<std::string_view> groups;
  std::string separators;
  const std::string_view body = text.substr(first, last + 1 - first);
  std::size_t i = 0;
  while (i < body.size()) {
    const std::size_t n = DigitsAt(body, i);
    groups.push_back(body.substr(i, n));
    i += n;
    if (i >= body.size()) break;
    if (body[i] == '.' || body[i] == ',') {
      separators += body[i];
      ++i;
    } else if (body[i] == ' ' || body[i] == '\t' || body[i] == '\'') {
      separators += ' ';
      ++i;
    } else if (body.substr(i, 2) == "\xC2\xA0") {  // no-break space
      separators += ' ';
      i += 2;
    } else if (body.substr(i, 3) == "\xE2\x80\xAF" || body.substr(i, 3) == "\xE2\x80\x89") {
      separators += ' ';  // narrow no-break space, thin space
      i += 3;
    } else {
      return out;
    }
    if (i >= body.size() || !IsDigit(body[i])) return out;  // two separators in a row
  }

  // The last "." or "," is the decimal mark when it is the only one of its kind.
  std::string whole(groups[0]);
  std::string decimals;
  std::size_t grouped = separators.size();
  bool ambiguous = false;
  if (!separators.empty()) {
    const char mark = separators.back();
    if (mark != ' ' && std::count(separators.begin(), separators.end(), mark) == 1) {
      ambiguous = separators.size() == 1 && groups.back().size() == 3;  // "1.000"
      grouped = separators.size() - 1;
      decimals = std::string(groups.back());
    }
  }
  // The rest set the thousands apart, all with the same sign, three digits a group.
  if (grouped > 0) {
    if (groups[0].size() > 3) return out;
    for (std::size_t g = 0; g < grouped; ++g) {
      if (separators[g] != separators[0] || groups[g + 1].size() != 3) return out;
      whole += groups[g + 1];
    }
  }
  single = true;
  if (ambiguous) return out;
  // A minus before the digits makes a negative amount, which no prize is.
  std::size_t before = first;
  while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t')) --before;
  if (before > 0 && text[before - 1] == '-') return out;
  // Words around the amount are the currency's, but not those that scale it.
  const std::string around = Lowered(text.substr(0, first)) + ' ' + Lowered(text.substr(last + 1));
  if (HasAny(around, {"mio", "mill", "mln", "mrd", "bill", "bn", "tsd", "thousand", "млн", "млрд",
                      "тыс"})) {
    return out;
  }
  const AmountRead amount = ParseAmount(decimals.empty() ? whole : whole + "." + decimals);
  if (!amount.problem) out.value = amount.value;
  return out;
}

}  // namespace

int PrizeTierOfHeading(std::string_view cell) {
  const std::string text = Lowered(cell);
  if (text.find('+') != std::string::npos) return 0;
  // Counts of winners or tickets, totals paid to a tier and numbered prize classes.
  if (HasAny(text, {"winner",  "count",   "anzahl", "class", "klasse", "rank",   "rang", "categ",
                    "total",   "sum",     "fund",   "pool",  "gesamt", "ticket", "кол",  "число",
                    "победит", "категор", "разряд", "фонд",  "сумм",   "всего",  "билет"})) {
    return 0;
  }
  if (!HasAny(text, {"prize", "match", "win", "numbers", "hits", "of 6", "gewinn", "richtig",
                     "treffer", "угад", "выигр", "приз", "совпад"})) {
    return 0;
  }
  int tier = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = DigitsAt(text, i);
    if (n == 0) {
      ++i;
      continue;
    }
    const std::string_view run = std::string_view(text).substr(i, n);
    if (tier == 0) {
      if (n != 1 || run[0] < '3' || run[0] > '6') return 0;
      tier = run[0] - '0';
    } else if (run != "6") {  // only the "6" of "3 of 6"
      return 0;
    }
    i += n;
  }
  return tier;
}

std::string FormatImportedPrizes(const std::vector<ImportedRow>& rows, int firstLabel) {
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int64_t label = int64_t{firstLabel} + static_cast<int64_t>(i);
    if (label < 1 || !rows[i].hasAllPrizes()) continue;
    out += std::to_string(label);
    for (const std::optional<Money>& amount : rows[i].prizes) out += "; " + FormatAmount(*amount);
    out += "\r\n";
  }
  return out;
}

ImportResult ImportList(std::string_view data, const ImportOptions& options) {
  ImportResult result;
  result.bytes = data.size();
  result.capacity = Capacity(options.kind);
  if (!ColumnsFit(options.columns, options.kind)) {
    result.problem = ImportProblem::BadColumns;
    return result;
  }
  if (data.size() > kMaxImportBytes) {
    result.problem = ImportProblem::TooLarge;
    return result;
  }
  const DecodedText decoded = DecodeText(data);
  result.encoding = decoded.encoding;
  if (decoded.binary) {
    result.problem = ImportProblem::Binary;
    return result;
  }
  const std::vector<std::string_view> lines = SplitLines(decoded.text);
  if (std::all_of(lines.begin(), lines.end(), Blank)) {
    result.problem = ImportProblem::Empty;
    return result;
  }

  const bool recordLines =
      options.columns.empty() && std::all_of(lines.begin(), lines.end(), [](std::string_view l) {
        return Blank(l) || IsRecordLine(l);
      });
  if (!(recordLines && ReadRecordFile(decoded.text, options, result))) {
    result = ImportResult{};
    result.bytes = data.size();
    result.capacity = Capacity(options.kind);
    result.encoding = decoded.encoding;
    result.separator = DetectSeparator(lines);
    result.shape = result.separator ? ImportShape::Separated : ImportShape::Free;
    const TabularReader reader(lines, result.separator, options);
    const Layout layout = reader.decide();
    for (const int p : layout.columns) result.columns.push_back(p + 1);
    result.dateColumn = layout.date + 1;
    result.drawNumberColumn = layout.drawNumber + 1;
    reader.read(layout, result);
  }
  if (result.problem != ImportProblem::None) return result;

  if (options.order) {
    result.order = *options.order;
    result.orderBasis = OrderBasis::Chosen;
  }
  if (result.order == HistoryOrder::NewestFirst)
    std::reverse(result.rows.begin(), result.rows.end());
  result.rowsInFile = static_cast<int>(result.rows.size());
  if (result.rows.empty()) {
    result.problem = ImportProblem::NothingUsable;
  } else if (result.rowsInFile > result.capacity) {
    if (options.kind == ImportKind::Results) {
      // The table keeps the most recent draws, as a load of a long history does.
      result.dropped = result.rowsInFile - result.capacity;
      result.rows.erase(result.rows.begin(), result.rows.begin() + result.dropped);
    } else {
      result.problem = ImportProblem::TooManyRows;
      result.rows.clear();
    }
  }
  return result;
}

std::string FormatImported(const ImportResult& result, ImportKind kind) {
  const auto count = static_cast<int32_t>(result.rows.size());
  if (kind == ImportKind::System) {
    auto table = std::make_unique<SystemTableT>();
    for (int32_t i = 1; i <= count && i <= SystemTableT::kCapacity; ++i) {
      const ImportedRow& row = result.rows[static_cast<std::size_t>(i) - 1];
      for (int c = 0; c < row.size; ++c) table->cell[c + 1][i] = row.numbers[c];
    }
    return FormatSystemFile(*table, count);
  }
  auto table = std::make_unique<StakeTableT>();
  for (int32_t i = 1; i <= count && i <= StakeTableT::kCapacity; ++i) {
    const ImportedRow& row = result.rows[static_cast<std::size_t>(i) - 1];
    for (int c = 0; c < 6; ++c) table->cell[c + 1][i] = row.numbers[c];
  }
  return FormatStakesFile(*table, count);
}

std::string DescribeSkip(const SkippedLine& skip, const ImportOptions& options, int32_t language) {
  std::string why;
  switch (skip.reason) {
    case SkipReason::TooFewNumbers:
      why = Format(TextId::TxtImportTooFew, language, {std::to_string(Need(options.kind))});
      break;
    case SkipReason::TooManyNumbers:
      why = Format(TextId::TxtImportTooMany, language, {std::to_string(Most(options.kind))});
      break;
    case SkipReason::OutOfRange:
      why = Format(TextId::TxtImportOutOfRange, language,
                   {skip.value, std::to_string(options.highestNumber)});
      break;
    case SkipReason::Repeat:
      why = Format(TextId::TxtImportRepeat, language, {skip.value});
      break;
    case SkipReason::BadDate:
      why = Format(TextId::TxtImportBadDate, language, {skip.value});
      break;
    case SkipReason::NotWholeNumber:
      why = Format(TextId::TxtImportNotWhole, language, {skip.value});
      break;
    case SkipReason::RepeatedRow:
      why = Format(TextId::TxtImportRepeatedRow, language, {skip.value});
      break;
    case SkipReason::OutOfOrder:
      why = Format(TextId::TxtImportOutOfOrder, language, {skip.value});
      break;
  }
  return Format(TextId::TxtImportLine, language, {std::to_string(skip.line), why});
}

std::string DescribeImport(const ImportResult& result, const ImportOptions& options,
                           int32_t language) {
  switch (result.problem) {
    case ImportProblem::Empty:
      return Text(TextId::TxtImportEmpty, language);
    case ImportProblem::Binary:
      return Text(TextId::TxtImportBinary, language);
    case ImportProblem::TooLarge:
      return Format(TextId::TxtImportTooLarge, language,
                    {std::to_string(result.bytes), std::to_string(kMaxImportBytes)});
    case ImportProblem::NothingUsable:
      return Format(TextId::TxtImportNothing, language, {std::to_string(Need(options.kind))});
    case ImportProblem::TooManyRows:
      return Format(TextId::TxtImportTooManyRows, language,
                    {std::to_string(result.rowsInFile), std::to_string(result.capacity)});
    case ImportProblem::BadColumns:
      return Format(TextId::TxtImportBadColumns, language,
                    {std::to_string(Need(options.kind)), std::to_string(Most(options.kind))});
    case ImportProblem::None:
      break;
  }
  if (result.dropped > 0) {
    return Format(TextId::TxtImportDropped, language,
                  {std::to_string(result.rowsInFile), std::to_string(result.rows.size()),
                   std::to_string(result.dropped)});
  }
  return {};
}

}  // namespace tallyra
