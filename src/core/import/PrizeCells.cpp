#include "import/PrizeCells.h"

#include <algorithm>

#include "import/TextScan.h"

namespace tallyra {
namespace {

using textscan::DigitsAt;
using textscan::IsDigit;

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

ImportedAmount ParseImportedAmount(std::string_view text) {
  bool single = false;
  return ReadAmount(text, single);
}

bool IsOneAmount(std::string_view text) {
  bool single = false;
  ReadAmount(text, single);
  return single;
}

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

std::array<int, 4> FindPrizeColumns(const std::vector<std::string_view>& heading, int lastNumber,
                                    int dateColumn, int drawNumberColumn) {
  std::array<int, 4> found{};
  std::array<bool, 4> twice{};
  for (int p = lastNumber + 1; p < static_cast<int>(heading.size()); ++p) {
    if (p == dateColumn || p == drawNumberColumn) continue;
    const int tier = PrizeTierOfHeading(heading[static_cast<std::size_t>(p)]);
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

}  // namespace tallyra
