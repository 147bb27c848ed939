#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "collate/Collation.h"
#include "winnings/Money.h"
#include "winnings/Prizes.h"
#include "winnings/Tickets.h"

namespace tallyra {

// Which draws a report covers.
struct DrawChoice {
  enum class Kind { Latest, One, All };
  Kind kind = Kind::Latest;
  int32_t draw = 0;  // Kind::One: the draw's number, 1 .. the draws held
};

// The stakes and system stakes to play and the draw history, as RowSets (empty cells are 0).
// Each row is played as the set of its distinct non-zero numbers; a row with fewer than six
// of them is no ticket and costs nothing.
struct WinningsInput {
  RowSet stakes;
  RowSet system;
  RowSet draws;
};

struct WinningsRow {
  int numbers = 0;             // distinct numbers played
  int64_t ticketsPerDraw = 0;  // C(numbers, 6)
  TierTickets tickets{};       // summed over the draws covered
  Money winnings = 0;
  Money cost = 0;
  Money balance = 0;  // winnings - cost

  bool won() const { return winnings > 0 || tickets[0] + tickets[1] + tickets[2] + tickets[3] > 0; }
};

struct DrawFigures {
  int32_t draw = 0;  // the draw's number
  TierTickets tickets{};
  Money winnings = 0;
  Money balance = 0;     // winnings - the cost of one draw's tickets
  Money cumulative = 0;  // balance of this and every earlier draw covered
};

struct WinningsReport {
  int32_t firstDraw = 0;  // the draws covered, by number; none when lastDraw < firstDraw
  int32_t lastDraw = -1;
  std::vector<WinningsRow> stakes;  // one per stake row, in order
  std::vector<WinningsRow> system;  // one per system stake row
  int64_t ticketsPerDraw = 0;       // of every row together
  TierTickets tickets{};
  Money cost = 0;
  Money winnings = 0;
  Money balance = 0;
  std::vector<DrawFigures> draws;   // the draws covered, oldest first
  int32_t bestDraw = 0;             // the draw with the highest balance (the earliest of equals)
  int32_t worstDraw = 0;            // and with the lowest; 0 when no draw is covered
  int32_t prizesOfAbsentDraws = 0;  // draws given their own amounts that the history lacks

  int32_t drawCount() const { return lastDraw >= firstDraw ? lastDraw - firstDraw + 1 : 0; }
};

struct WinningsOutcome {
  WinningsReport report;
  Problem problem;  // no draws, no such draw, or sums beyond 64 bits: the report is empty
};

// The winnings of every row over the chosen draws. The common numbers of each row with each
// draw come from bit-parallel counting over per-value bitmaps of the draws, and the tickets in
// each tier from the expansion above, so no ticket is ever listed. Runs on up to `threads`
// threads (0: as many as the processor has, at most 8). When `cancel` becomes true the run
// stops early and its outcome must be thrown away. Amounts outside 0 .. kMaxAmount are refused;
// more draws than the history's capacity are a fault of the caller (thrown as ProblemError).
WinningsOutcome ComputeWinnings(const WinningsInput& input, const Prizes& prizes, DrawChoice choice,
                                const std::atomic<bool>* cancel = nullptr, int threads = 0);

// Which draws a report covers, in the interface language: "Draw 205" for one, "Draws 1–205
// (205 draws)" for several, with the count in the form the language wants.
std::string DrawSpanText(const WinningsReport& report, int32_t language);

// The step between the labelled draws of a chart over `span` draws: the smallest of 1, 2, 5,
// 10, 20, 50, 100... that leaves at most `most` steps, so that the labels fall on round draws.
int64_t RoundDrawStep(int64_t span, int most);

}  // namespace tallyra
