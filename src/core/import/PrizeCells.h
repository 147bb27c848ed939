#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "winnings/Money.h"

namespace tallyra {

// An amount as prize tables print it: "1 234,50", "1.234,50", "1,234.50", "€ 12.5", "800 руб.",
// "1234". Blanks (also no-break ones) or "'" may group the thousands; "." or "," is the decimal
// mark, and when both are written the last one is. A single mark with exactly three digits
// after it ("1.000") could be either and is refused, as are negative amounts, more than two
// decimals and amounts above kMaxAmount. Letters and signs before the first digit and after
// the last are the currency's and are passed over. Nothing for "", "-" and the like (no amount
// given): `given` tells the two apart.
struct ImportedAmount {
  bool given = false;  // the text holds a digit
  std::optional<Money> value;
};
ImportedAmount ParseImportedAmount(std::string_view text);

// Whether the digits of the text are laid out as one amount, even one ParseImportedAmount
// refuses ("1.000", "5 Mio"): such a field is one thing, not several numbers.
bool IsOneAmount(std::string_view text);

// The tier (3..6) a heading cell names as a prize column, or 0. It must hold one of the digits
// 3, 4, 5 or 6 (and at most a further "6", as in "3 of 6") and a word such as prize, match,
// win, numbers, hits, of 6, Gewinn, Richtige, Treffer, угад, выигр, приз; cells that count
// winners or tickets ("winners", "Anzahl", "count", "кол-во"), number prize classes ("class",
// "Klasse", "rank", "категория") or hold a "+" ("5+1", "5 + bonus") name none.
int PrizeTierOfHeading(std::string_view cell);

// The 1-based columns a heading's cells name as holding the amounts for 3, 4, 5 and 6 common
// numbers, 0 where none does. Only cells after `lastNumber` (0-based, the last column of the
// draw's numbers) count, and not the date's or the draw number's (0-based, -1 for none); a tier
// named twice is taken from neither column.
std::array<int, 4> FindPrizeColumns(const std::vector<std::string_view>& heading, int lastNumber,
                                    int dateColumn, int drawNumberColumn);

// ASCII and Russian capitals made small, so that headings match in any case.
std::string Lowered(std::string_view text);

bool HasAny(const std::string& text, std::initializer_list<std::string_view> words);

}  // namespace tallyra
