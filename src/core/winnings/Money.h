#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Something wrong with a piece of input or a computation, in the shape the window and the
// command line both show: a text with its arguments, and the line of a file when there is one.
struct Problem {
  TextId text = TextId::Count;
  std::vector<std::string> args;
  int line = 0;       // 1-based line of the file, 0 when the problem is not on a line
  int fileError = 0;  // a system error number, told in the user's language after the arguments

  explicit operator bool() const { return text != TextId::Count; }
};

// The message for the user in the given language.
std::string Describe(const Problem& problem, int32_t language);

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
