#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextTable.h"

namespace tallyra::wheels {

// Numbers on a ticket; a wheel's tickets are always six different numbers.
inline constexpr int kTicketSize = 6;
// The most numbers a pool may hold (the highest number a game can have).
inline constexpr int kMaxPool = 99;

// "t if m": whenever m of the drawn numbers are in the pool, some ticket holds t of them.
struct Guarantee {
  int t = 0;
  int m = 0;
  friend bool operator==(const Guarantee&, const Guarantee&) = default;
};

using Ticket = std::vector<int32_t>;

// C(n, k) for 0 <= n <= 128, 0 <= k <= 6 from a table; 0 when k > n or either is negative.
uint64_t Binomial(int n, int k);

// A problem found in the user's input: which text to show and what goes into it.
struct InputProblem {
  TextId id;
  std::vector<std::string> args;
  std::string text(int32_t language) const;
};

// Reads a pool written as "1,5,7,..." (blanks allowed around the numbers) and checks it against
// the game's highest number: 7..highest numbers, each in 1..highest, no repeats. On success the
// pool comes back sorted.
std::optional<InputProblem> ParsePool(std::string_view text, int highest,
                                      std::vector<int32_t>& pool);
// The same checks for a pool already held as numbers.
std::optional<InputProblem> CheckPool(const std::vector<int32_t>& pool, int highest);

// Reads a guarantee written "TifM" (case does not matter, e.g. "3if4") with 2 <= t <= m <= 6.
std::optional<InputProblem> ParseGuarantee(std::string_view text, Guarantee& guarantee);
std::optional<InputProblem> CheckGuarantee(Guarantee guarantee, int poolSize);
std::string GuaranteeText(Guarantee guarantee);  // "3if4", as the command line takes it
// The guarantee in words of the interface language, as the window shows it: "3 if 4".
std::string GuaranteeWords(Guarantee guarantee, int32_t language);

// Schönheim's bound for covering every t-subset of v numbers with k-subsets:
// ceil(v/k * ceil((v-1)/(k-1) * ... ceil((v-t+1)/(k-t+1)))).
uint64_t SchonheimBound(int v, int k, int t);
// The counting bound for "t if m": the m-subsets of the pool over the most any one ticket can
// cover, rounded up.
uint64_t CountingBound(int v, Guarantee guarantee);
// The bound shown beside a wheel: Schönheim's (k = 6) for t = m, the counting bound otherwise.
uint64_t LowerBound(int v, Guarantee guarantee);
// Which bound LowerBound gives, as the command line names it: "schonheim" or "counting".
const char* LowerBoundKind(Guarantee guarantee);
// The same in words of the interface language, as the window names it beside the bound.
std::string LowerBoundWords(Guarantee guarantee, int32_t language);
// A wheel's size over its bound with two decimals, "1.04" (a decimal comma in Russian).
std::string RatioText(uint64_t size, uint64_t bound, int32_t language);

}  // namespace tallyra::wheels
