#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Problem.h"
#include "model/TextTable.h"

namespace tallyra {

// Money is held in whole minor units (cents, kopecks) in 64 bits; nothing is ever computed in
// floating point, so sums are exact to the last cent.
using Money = int64_t;

inline constexpr int kMinorDigits = 2;
inline constexpr Money kMinorPerMajor = 100;
// The largest amount anyone may type for a price or a prize: 99 999 999 999.99. Larger ones are
// taken for a slip of the keyboard, and they keep every report at capacity far from overflow.
inline constexpr Money kMaxAmount = 9'999'999'999'999;

struct AmountRead {
  Money value = 0;
  Problem problem;  // set when the text is not an acceptable amount
};

// An amount as people type it: digits with an optional "." or "," and at most two decimals
// ("12", "12.5", "12.50", "0,05"); blanks around it are ignored, further zeros after the two
// decimals too. Negative amounts and amounts above kMaxAmount are refused.
AmountRead ParseAmount(std::string_view text);

// "12.50", "-3.00", "0.05": a plain decimal with two decimals and no grouping.
std::string FormatAmount(Money value);

// Arithmetic that says when the result would not fit 64 bits.
std::optional<Money> AddMoney(Money a, Money b);
std::optional<Money> SubtractMoney(Money a, Money b);
std::optional<Money> MultiplyMoney(Money amount, int64_t count);

}  // namespace tallyra
