#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "model/TextTable.h"
#include "winnings/Money.h"

namespace tallyra {

// The amount paid for one ticket with 3, 4, 5 and 6 common numbers, at [0] .. [3].
using TierAmounts = std::array<Money, 4>;

// What a ticket costs and what it wins, with the currency's name as the user writes it.
struct PrizeTable {
  Money price = 0;
  TierAmounts amounts{};
  std::string currency;

  bool operator==(const PrizeTable&) const = default;
};

// The prize table and the amounts of the draws that have their own, keyed by the draw's number
// (its row in the draw history as held, counting from 1). A draw without its own amounts is paid
// by the table.
struct Prizes {
  PrizeTable table;
  std::map<int32_t, TierAmounts> byDraw;

  const TierAmounts& amountsFor(int32_t draw) const {
    const auto found = byDraw.find(draw);
    return found == byDraw.end() ? table.amounts : found->second;
  }
  bool operator==(const Prizes&) const = default;
};

// The prize table's own file, kept beside the settings file.
inline constexpr const char* kPrizeTableFileName = "prizes.tly";
inline constexpr std::size_t kMaxCurrencyBytes = 32;

// The file holds lines of fields separated by ";":
//   price; 2.00          the price of one ticket
//   3; 1.50              the amount of a tier (3, 4, 5 or 6 common numbers)
//   currency; EUR        the currency's name
//   12; 1.50; 20.00; 800.00; 100000.00
//                        the amounts of draw 12 for 3, 4, 5 and 6 common numbers
// Blank lines and lines starting with "#" are skipped; a last ";" on a line is allowed. A
// name or a draw given twice is an error; names the file does not give stay at zero (no
// currency). A file of draw lines only is the prize file of a history.
struct PrizesRead {
  Prizes prizes;
  Problem problem;  // the first bad line, named with its number
};
PrizesRead ParsePrizes(std::string_view text);

// The file's text: the table's lines, then the draws' lines in order of the draw, CR LF ended.
std::string FormatPrizes(const Prizes& prizes);

// Reads a prize file into `prizes`. Only a file that reads whole replaces them; otherwise they
// stay as they were and the problem says why (TxtCannotOpen when the file cannot be read).
Problem LoadPrizes(const std::string& path, Prizes& prizes);

// Saves through a temporary file renamed over the old one, so that a failed save keeps it.
// Returns the problem (TxtCannotWrite), or an empty problem on success.
Problem SavePrizes(const std::string& path, const Prizes& prizes);

// Why a currency name cannot be kept: a ";" (TxtPrizeCurrencySemicolon), more than
// kMaxCurrencyBytes bytes or a control character (TxtPrizeBadCurrency); nothing when it can.
std::optional<TextId> CurrencyProblem(std::string_view currency);
bool IsAcceptableCurrency(std::string_view currency);

}  // namespace tallyra
