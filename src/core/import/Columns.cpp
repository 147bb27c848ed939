#include "import/Columns.h"

#include <algorithm>
#include <array>
#include <utility>

#include "import/FieldReader.h"
#include "import/TextScan.h"

namespace tallyra {

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
                             [](const std::string& field) { return FieldCell(field).mixed; });
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
  if (ints < m_needs.least) return true;
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
        if (c.date.separator == '/' && !c.date.yearFirst && !c.date.monthNamed &&
            c.date.parts[0] > 12) {
          s.slashDayFirst = true;
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

  ColumnLayout layout;
  for (int p = 0; p < positions && layout.date < 0; ++p) {
    if (rows > 0 && stats[static_cast<std::size_t>(p)].dates * 2 >= rows) {
      layout.date = p;
      layout.dayFirstSlashes = stats[static_cast<std::size_t>(p)].slashDayFirst;
    }
  }

  if (!m_needs.chosen.empty()) {
    for (int c : m_needs.chosen) layout.numbers.push_back(c - 1);
  } else if (m_needs.most > m_needs.least) {
    int start = -1;
    for (int p = 0; p < positions && start < 0; ++p) {
      if (!isLabel(p) && stats[static_cast<std::size_t>(p)].inRange * 2 >= rows) start = p;
    }
    if (start < 0) start = 0;
    for (int p = start; p < std::max(positions, start + m_needs.most + 1); ++p) {
      layout.numbers.push_back(p);
    }
  } else {
    // Columns that look like labels are passed over, unless no row can be read without them: a
    // draw's first number may happen to run on by one from row to row.
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
    for (int p = best; p < best + need; ++p) layout.numbers.push_back(p);
  }

  for (int p = 0; p < positions && layout.drawNumber < 0; ++p) {
    const Stats& s = stats[static_cast<std::size_t>(p)];
    if (s.pairs >= 1 && s.steps * 10 >= s.pairs * 8 && s.ints * 2 >= rows &&
        std::find(layout.numbers.begin(), layout.numbers.end(), p) == layout.numbers.end()) {
      layout.drawNumber = p;
    }
  }
  return layout;
}

}  // namespace tallyra
