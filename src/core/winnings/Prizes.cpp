#include "winnings/Prizes.h"

#include <algorithm>
#include <vector>

#include "model/Files.h"
#include "model/Integer.h"

namespace tallyra {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t semicolon = line.find(';');
    fields.push_back(Trimmed(line.substr(0, semicolon)));
    if (semicolon == std::string_view::npos) break;
    line.remove_prefix(semicolon + 1);
  }
  // "a; b;" ends with an empty field that is no field.
  if (fields.size() > 1 && fields.back().empty()) fields.pop_back();
  return fields;
}

std::string Cut(std::string_view text) {
  constexpr std::size_t kKept = 40;
  if (text.size() <= kKept) return std::string(text);
  std::size_t keep = kKept;
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  return std::string(text.substr(0, keep)) + "...";
}

// The table's names, in the order the writer puts them.
enum Name { kPrice, kTier3, kTier4, kTier5, kTier6, kCurrency, kNames };
constexpr const char* kNameTexts[kNames] = {"price", "3", "4", "5", "6", "currency"};

}  // namespace

std::optional<TextId> CurrencyProblem(std::string_view currency) {
  // A ";" has a reason of its own: it would split the line of the prize file.
  if (currency.find(';') != std::string_view::npos) return TextId::TxtPrizeCurrencySemicolon;
  if (currency.size() > kMaxCurrencyBytes) return TextId::TxtPrizeBadCurrency;
  for (const char ch : currency) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7F) return TextId::TxtPrizeBadCurrency;
  }
  return std::nullopt;
}

bool IsAcceptableCurrency(std::string_view currency) {
  return !CurrencyProblem(currency);
}

PrizesRead ParsePrizes(std::string_view text) {
  PrizesRead read;
  // A byte-order mark from an editor is no part of the first line.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::array<int, kNames> nameLine{};  // the line that gave each name, 0 while not given
  std::map<int32_t, int> drawLine;
  Prizes prizes;
  int line = 0;
  auto fail = [&](TextId id, std::vector<std::string> args) {
    read.problem.text = id;
    read.problem.args = std::move(args);
    read.problem.line = line;
    return read;
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    ++line;
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view content = Trimmed(raw);
    if (content.empty() || content.front() == '#') continue;
    const std::vector<std::string_view> fields = Fields(content);
    if (fields.size() == 2) {
      int name = 0;
      while (name < kNames && fields[0] != kNameTexts[name]) ++name;
      if (name == kNames) return fail(TextId::TxtPrizeUnknownName, {Cut(fields[0])});
      if (nameLine[static_cast<std::size_t>(name)] != 0) {
        return fail(TextId::TxtPrizeGivenTwice,
                    {Cut(fields[0]), std::to_string(nameLine[static_cast<std::size_t>(name)])});
      }
      nameLine[static_cast<std::size_t>(name)] = line;
      if (name == kCurrency) {
        if (const auto problem = CurrencyProblem(fields[1])) return fail(*problem, {});
        prizes.table.currency = std::string(fields[1]);
        continue;
      }
      const AmountRead amount = ParseAmount(fields[1]);
      if (amount.problem) return fail(amount.problem.text, amount.problem.args);
      if (name == kPrice) {
        prizes.table.price = amount.value;
      } else {
        prizes.table.amounts[static_cast<std::size_t>(name - kTier3)] = amount.value;
      }
    } else if (fields.size() == 5) {
      const std::optional<int32_t> draw = ParseDecimal(fields[0]);
      if (!draw || *draw < 1) return fail(TextId::TxtPrizeBadDraw, {Cut(fields[0])});
      const auto earlier = drawLine.find(*draw);
      if (earlier != drawLine.end()) {
        return fail(TextId::TxtPrizeGivenTwice,
                    {std::string(fields[0]), std::to_string(earlier->second)});
      }
      drawLine[*draw] = line;
      TierAmounts amounts{};
      for (std::size_t tier = 0; tier < 4; ++tier) {
        const AmountRead amount = ParseAmount(fields[tier + 1]);
        if (amount.problem) return fail(amount.problem.text, amount.problem.args);
        amounts[tier] = amount.value;
      }
      prizes.byDraw[*draw] = amounts;
    } else {
      return fail(TextId::TxtPrizeFields, {});
    }
  }
  read.prizes = std::move(prizes);
  return read;
}

std::string FormatPrizes(const Prizes& prizes) {
  const PrizeTable& table = prizes.table;
  std::string out;
  out += "price; " + FormatAmount(table.price) + "\r\n";
  for (std::size_t tier = 0; tier < 4; ++tier) {
    out += std::to_string(tier + 3) + "; " + FormatAmount(table.amounts[tier]) + "\r\n";
  }
  if (!table.currency.empty()) out += "currency; " + table.currency + "\r\n";
  for (const auto& [draw, amounts] : prizes.byDraw) {
    out += std::to_string(draw);
    for (const Money amount : amounts) out += "; " + FormatAmount(amount);
    out += "\r\n";
  }
  return out;
}

Problem LoadPrizes(const std::string& path, Prizes& prizes) {
  // A prize file holds at most a line for each draw of a history: far less than a list file.
  const FileText file = ReadWholeFile(path, kMaxListFileBytes);
  if (!file.ok) return Problem{TextId::TxtCannotOpen, {path}, 0, file.error};
  PrizesRead read = ParsePrizes(file.data);
  if (read.problem) return read.problem;
  prizes = std::move(read.prizes);
  return {};
}

Problem SavePrizes(const std::string& path, const Prizes& prizes) {
  if (const auto error = WriteFileReplacing(path, FormatPrizes(prizes))) {
    return Problem{TextId::TxtCannotWrite, {path}, 0, *error};
  }
  return {};
}

}  // namespace tallyra
