#include "import/Columns.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "import/FieldReader.h"
#include "import/TextScan.h"

namespace tallyra {
namespace {

// Whether the record has the field written in quotes: a quoted field that holds the separator
// (a list of raffle codes, a note) is the file's own field, not a sign of another separator.
bool Quoted(std::string_view record, const std::string& field) {
  return record.find('"' + field) != std::string_view::npos;
}

bool HasAny(std::string_view text, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [text](std::string_view w) { return text.find(w) != std::string_view::npos; });
}

bool IsAny(std::string_view text, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(), [text](std::string_view w) { return text == w; });
}

}  // namespace

HeadingSays ReadHeading(std::string_view field) {
  std::string low(textscan::TrimBlanks(field));
  for (char& ch : low) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  if (low.empty()) return HeadingSays::Nothing;
  // Cyrillic, Hebrew and Japanese words are matched as written, in the cases files use.
  if (HasAny(low,
             {"bonus",      "extra",      "suppl", "strong", "super",  "zusatz",    "reintegro",
              "complement", "komplement", "jolly", "glück",  "glueck", "gluck",     "lucky",
              "additional", "dodatk",     "joker", "plus",   "power",  "mega ball", "megaball",
              "star",       "доп",        "Доп",   "ДОП",    "бонус",  "Бонус",     "БОНУС",
              "ボーナス",   "החזק",       "נוסף"}) ||
      IsAny(low, {"bn", "bb", "zz", "sz", "pb", "b", "c", "r", "s"})) {
    return HeadingSays::Extra;
  }
  // "Draw number" is no number drawn; "Number drawn 1" is one ("DrawNumber" reads as the first).
  const std::size_t draw = low.find("draw");
  const bool drawNamed = draw != std::string::npos && (low.compare(draw, 5, "drawn") != 0 ||
                                                       low.compare(draw, 6, "drawnu") == 0);
  const bool dateNamed =
      HasAny(low, {"date", "datum", "fecha", "data", "дата", "Дата", "ДАТА", "抽せん日", "תאריך"});
  if (!dateNamed && (drawNamed ||
                     HasAny(low, {"concurso", "tirage", "estrazione", "concorso", "ziehung",
                                  "тираж", "Тираж", "ТИРАЖ", "抽せん回", "הגרלה"}) ||
                     IsAny(low, {"no", "no.", "nr", "nr.", "№", "#"}))) {
    return HeadingSays::DrawNumber;
  }
  if (dateNamed ||
      HasAny(low, {"week",   "month",  "year",    "jackpot", "prize", "winner",  "wins",
                   "amount", "raffle", "machine", "seq",     "index", "sorteio", "ganhador",
                   "acerto", "premio", "prêmio",  "曜日",    "等",    "זוכים"}) ||
      IsAny(low, {"day", "den", "tag", "rok", "tyden", "id", "set", "ball set", "uf", "jour", "dia",
                  "ano", "mes"})) {
    return HeadingSays::NotNumber;
  }
  const bool lettered = low.size() >= 2 && low.size() <= 3 &&
                        (low[0] == 'n' || low[0] == 'b' || low[0] == 'z' || low[0] == 'l') &&
                        textscan::IsDigit(low[1]);
  if (lettered || IsAny(low, {"1", "2", "3", "4", "5", "6", "7"}) ||
      HasAny(low, {"ball", "number", "num", "kugel", "bola", "zahl", "número", "dezena", "liczba",
                   "cislo", "číslo", "шар", "Шар", "ШАР", "число", "Число", "ЧИСЛО", "数字"})) {
    return HeadingSays::Main;
  }
  return HeadingSays::Nothing;
}

char FindSeparator(std::string_view text) {
  for (const char separator : {'\t', ';', ','}) {
    FieldReader reader(text, separator);
    FieldRecord record;
    std::size_t sampled = 0, with = 0, simple = 0;
    while (sampled < 200 && reader.next(record)) {
      if (textscan::IsBlankLine(record.text)) continue;
      ++sampled;
      if (record.fields.size() < 3) continue;
      ++with;
      simple += std::none_of(record.fields.begin(), record.fields.end(),
                             [&record](const std::string& field) {
                               return FieldCell(field).mixed && !Quoted(record.text, field);
                             });
    }
    if (with > 0 && with * 10 >= sampled * 6 && simple * 10 >= with * 9) return separator;
  }
  return 0;
}

ColumnFinder::ColumnFinder(ColumnNeeds needs) : m_needs(std::move(needs)) {}

bool ColumnFinder::add(const std::vector<Cell>& row) {
  if (static_cast<int>(m_sample.size()) >= kSampleRows) return false;
  const auto ints = std::count_if(row.begin(), row.end(),
                                  [](const Cell& c) { return c.type == Cell::Type::Int; });
  // A heading may name its columns "1" .. "6", so it is told by its words and its lack of dates.
  const auto words = std::count_if(row.begin(), row.end(), [](const Cell& c) {
    return c.type == Cell::Type::Text && !c.numberLike;
  });
  const bool dated =
      std::any_of(row.begin(), row.end(), [](const Cell& c) { return c.type == Cell::Type::Date; });
  const auto filled = std::count_if(row.begin(), row.end(),
                                    [](const Cell& c) { return c.type != Cell::Type::Empty; });
  // Headings that number the balls count 1, 2, 3 ... where a draw never does.
  int64_t counted = 0;
  const bool counting = std::all_of(row.begin(), row.end(), [&counted](const Cell& c) {
    return c.type != Cell::Type::Int || c.value == ++counted;
  });
  if (m_sample.empty() && words >= 2 && !dated &&
      (ints < m_needs.least || words * 3 >= filled || counting)) {
    if (row.size() >= m_heading.size()) {
      m_heading.clear();
      for (const Cell& c : row) m_heading.push_back(c.text);
    }
    return true;
  }
  if (ints < m_needs.least) return true;
  for (const Cell& c : row) {
    const int32_t named = c.type == Cell::Type::Text ? GameNamedIn(c.text) : 0;
    if (named != 0 && std::none_of(m_games.begin(), m_games.end(),
                                   [named](const NamedGame& g) { return g.highest == named; })) {
      m_games.push_back(NamedGame{named, c.text});
    }
  }
  // A heading names the fields, which a draw listed in one field ("01-09-50-14-37-17") turns
  // into several cells: the first row tells which field each cell comes from.
  if (m_sample.empty()) {
    for (const Cell& c : row) m_fieldOf.push_back(c.field);
  }
  std::vector<Cell>& kept = m_sample.emplace_back(
      row.begin(), row.begin() + std::min<std::ptrdiff_t>(std::ssize(row), kMaxPositions));
  for (Cell& c : kept) c.text.clear();
  m_positions = std::max(m_positions, static_cast<int>(kept.size()));
  return static_cast<int>(m_sample.size()) < kSampleRows;
}

ColumnLayout ColumnFinder::decide() const {
  const int32_t top = m_needs.highestNumber;
  const int need = m_needs.least;
  const int positions = m_positions;
  const auto& sample = m_sample;
  auto inRange = [top](const Cell& c) {
    return c.type == Cell::Type::Int && c.value >= 1 && c.value <= top;
  };
  const auto rows = static_cast<int>(sample.size());

  struct Stats {
    int ints = 0, inRange = 0, dates = 0, dotted = 0, filled = 0;
    int pairs = 0, steps = 0;  // neighbouring rows with two integers here; of them one apart
    bool dayAbove12First = false, dayAbove12Second = false;  // of dates in numbers, year last
  };
  std::vector<Stats> stats(static_cast<std::size_t>(positions));
  for (int r = 0; r < rows; ++r) {
    const auto& row = sample[static_cast<std::size_t>(r)];
    for (std::size_t p = 0; p < row.size(); ++p) {
      const Cell& c = row[p];
      Stats& s = stats[p];
      s.ints += c.type == Cell::Type::Int;
      s.filled += c.type != Cell::Type::Empty;
      s.inRange += inRange(c);
      s.dotted += c.dotted;
      if (c.type == Cell::Type::Date) {
        ++s.dates;
        if (!c.date.yearFirst && !c.date.monthNamed) {
          s.dayAbove12First = s.dayAbove12First || c.date.parts[0] > 12;
          s.dayAbove12Second = s.dayAbove12Second || c.date.parts[1] > 12;
        }
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

  // The running draw number: the first column of numbers, when it runs on by one and the next
  // does not, or one written as labels are. Even when nothing else gives six numbers, it is
  // never one of them.
  auto steps = [&](int p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    return s.pairs >= 1 && s.steps * 10 >= s.pairs * 8;
  };
  int running = -1;
  for (int p = 0; p < positions; ++p) {
    if (stats[static_cast<std::size_t>(p)].ints * 2 < rows) continue;
    if (steps(p) && !(p + 1 < positions && steps(p + 1))) running = p;
    break;
  }
  auto drawNumberLike = [&](int p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    return p == running || (s.ints > 0 && s.dotted * 2 > s.ints);
  };
  auto said = [&](int p) {
    int field = p;
    const auto known = static_cast<int>(m_fieldOf.size());
    if (known > 0 && m_fieldOf.back() >= 0) {
      field = p < known ? m_fieldOf[static_cast<std::size_t>(p)] : m_fieldOf.back() + p - known + 1;
    }
    return m_needs.fields && field < static_cast<int>(m_heading.size())
               ? ReadHeading(m_heading[static_cast<std::size_t>(field)])
               : HeadingSays::Nothing;
  };
  auto barred = [&](int p) {
    const HeadingSays s = said(p);
    return s == HeadingSays::Extra || s == HeadingSays::NotNumber || s == HeadingSays::DrawNumber;
  };

  ColumnLayout layout;
  if (m_needs.fields) layout.heading = m_heading;
  if (m_games.size() > 1) layout.games = m_games;
  for (int p = 0; p < positions && layout.date < 0; ++p) {
    if (rows > 0 && stats[static_cast<std::size_t>(p)].dates * 2 >= rows) {
      layout.date = p;
      const Stats& s = stats[static_cast<std::size_t>(p)];
      // A column that shows both is no column of dates of one shape: it is read the usual way,
      // and its impossible days are reported.
      if (s.dayAbove12First != s.dayAbove12Second) {
        layout.dayOrder = s.dayAbove12First ? DayOrder::DayFirst : DayOrder::MonthFirst;
      }
    }
  }

  if (!m_needs.chosen.empty()) {
    for (int c : m_needs.chosen) layout.numbers.push_back(c - 1);
  } else if (m_needs.most > m_needs.least) {
    int start = -1;
    for (int p = 0; p < positions && start < 0; ++p) {
      if (!isLabel(p) && !barred(p) && stats[static_cast<std::size_t>(p)].inRange * 2 >= rows) {
        start = p;
      }
    }
    if (start < 0) start = 0;
    for (int p = start; p < std::max(positions, start + m_needs.most + 1); ++p) {
      layout.numbers.push_back(p);
    }
  } else {
    // Columns that look like labels are passed over, unless no row can be read without them: a
    // draw's first number may happen to run on by one from row to row.
    // A heading that names a run of columns as the numbers drawn outweighs the structure, once
    // most rows read there; a column it names as anything else is never taken.
    int best = -1;
    std::array<int, 3> bestScore{-1, -1, -1};
    for (int pass = 0; pass < 2 && bestScore[1] <= 0; ++pass) {
      for (int s = 0; s + need <= positions; ++s) {
        bool usable = true;
        int cellsInRange = 0, named = 0;
        for (int p = s; p < s + need; ++p) {
          const bool main = said(p) == HeadingSays::Main;
          usable =
              usable && !barred(p) && (main || (!drawNumberLike(p) && (pass == 1 || !isLabel(p))));
          cellsInRange += stats[static_cast<std::size_t>(p)].inRange;
          named += main;
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
        const std::array<int, 3> score{good * 2 >= rows && good > 0 ? named : 0, good,
                                       cellsInRange};
        if (score > bestScore) {
          bestScore = score;
          best = s;
        }
      }
    }
    // No run at all, or one that only a few of the rows with numbers read, is left to the
    // caller to choose: the rows hold their numbers in different places (several games in one
    // file), and a guess would import something arbitrary.
    // Rows of other games in the same file (four digits, jackpots) hold numbers too, but fewer
    // in a draw's range than a draw has: they are not counted against the run.
    const auto drawLike = std::count_if(sample.begin(), sample.end(), [&](const auto& row) {
      return std::count_if(row.begin(), row.end(), inRange) >= need;
    });
    if (best >= 0 && bestScore[1] > 0 && bestScore[1] * 2 < drawLike) best = -1;
    for (int p = best; best >= 0 && p < best + need; ++p) layout.numbers.push_back(p);
    // Histories that once drew seven write the seventh right after the six: a column the
    // heading names as a number drawn, or one with numbers in a few rows and nothing in most.
    for (int p = best + need; best >= 0 && p < positions; ++p) {
      const Stats& s = stats[static_cast<std::size_t>(p)];
      const bool rare = said(p) == HeadingSays::Nothing && s.ints > 0 && s.filled == s.ints &&
                        s.filled * 5 <= rows;
      if (!(said(p) == HeadingSays::Main || rare)) break;
      layout.beyond.push_back(p);
    }
  }

  auto taken = [&](int p) {
    return std::find(layout.numbers.begin(), layout.numbers.end(), p) != layout.numbers.end();
  };
  // The column the heading names as the draw's number, when it holds numbers; else the first
  // that runs on by one.
  for (int p = 0; p < positions && layout.drawNumber < 0; ++p) {
    if (said(p) == HeadingSays::DrawNumber && stats[static_cast<std::size_t>(p)].ints * 2 >= rows &&
        !taken(p)) {
      layout.drawNumber = p;
    }
  }
  for (int p = 0; p < positions && layout.drawNumber < 0; ++p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    if (s.pairs >= 1 && s.steps * 10 >= s.pairs * 8 && s.ints * 2 >= rows &&
        said(p) != HeadingSays::Extra && said(p) != HeadingSays::NotNumber && !taken(p)) {
      layout.drawNumber = p;
    }
  }
  return layout;
}

}  // namespace tallyra
