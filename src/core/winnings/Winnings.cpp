#include "winnings/Winnings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "model/Problem.h"
#include "model/TextTable.h"
#include "parallel/ParallelFor.h"

// The row loop is built twice, for any x86-64 and for processors with AVX2, chosen at start.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TALLYRA_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TALLYRA_CLONES
#endif

namespace tallyra {
namespace {

// Sums are taken in 128 bits and brought back to 64 with a check, so that no partial sum can
// wrap before the check sees it.
__extension__ typedef __int128 Wide;

bool Fits(Wide value) {
  return value >= std::numeric_limits<Money>::min() && value <= std::numeric_limits<Money>::max();
}

constexpr int kBalls = 6;                // numbers of a draw that are looked at
constexpr int kClasses = 7;              // rows of 6 .. 12 distinct numbers
constexpr int kSlots = kClasses * 4;     // (numbers, common numbers 3 .. 6)
constexpr std::size_t kMaxWords = 24;    // 1 499 draws, 64 to a word, in groups of four
constexpr int kChunk = 1024;             // rows taken by a thread at a time
constexpr int32_t kDirectValues = 4096;  // values looked up in a plain table

using Vec = uint64_t __attribute__((vector_size(32)));  // four words

// The draws covered as bitmaps: for each value drawn, one bit per draw that holds it.
struct DrawBitmaps {
  int32_t draws = 0;
  std::size_t words = 0;  // a multiple of four
  std::vector<uint64_t> maps;
  std::vector<int32_t> direct;  // value -> bitmap, -1 when the value is never drawn
  std::unordered_map<int32_t, int32_t> others;

  const uint64_t* find(int32_t value) const {
    int32_t k = -1;
    if (value >= 0 && value < kDirectValues) {
      k = direct[static_cast<std::size_t>(value)];
    } else if (const auto found = others.find(value); found != others.end()) {
      k = found->second;
    }
    return k < 0 ? nullptr : maps.data() + static_cast<std::size_t>(k) * words;
  }
};

// The distinct non-zero numbers of a row, at most twelve.
int RowNumbers(const RowSet& rows, int row, std::array<int32_t, 12>& out) {
  int n = 0;
  const int width = std::min(rows.width, 12);
  for (int c = 1; c <= width; ++c) {
    const int32_t v = rows.at(row, c);
    if (v == 0 || std::find(out.begin(), out.begin() + n, v) != out.begin() + n) continue;
    out[static_cast<std::size_t>(n++)] = v;
  }
  return n;
}

DrawBitmaps BuildDrawBitmaps(const RowSet& draws, int32_t first, int32_t last) {
  DrawBitmaps b;
  b.draws = last - first + 1;
  b.words = ((static_cast<std::size_t>(b.draws) + 63) / 64 + 3) & ~std::size_t{3};
  b.direct.assign(kDirectValues, -1);
  int32_t next = 0;
  auto indexOf = [&](int32_t v) -> int32_t& {
    return v >= 0 && v < kDirectValues ? b.direct[static_cast<std::size_t>(v)] : b.others[v];
  };
  for (int32_t d = first; d <= last; ++d) {
    for (int c = 1; c <= std::min(draws.width, kBalls); ++c) {
      const int32_t v = draws.at(d, c);
      if (v == 0) continue;
      if (v >= 0 && v < kDirectValues) {
        if (b.direct[static_cast<std::size_t>(v)] < 0)
          b.direct[static_cast<std::size_t>(v)] = next++;
      } else if (b.others.emplace(v, next).second) {
        ++next;
      }
    }
  }
  b.maps.assign(static_cast<std::size_t>(next) * b.words, 0);
  for (int32_t d = first; d <= last; ++d) {
    const auto bit = static_cast<std::size_t>(d - first);
    for (int c = 1; c <= std::min(draws.width, kBalls); ++c) {
      const int32_t v = draws.at(d, c);
      if (v == 0) continue;
      b.maps[static_cast<std::size_t>(indexOf(v)) * b.words + bit / 64] |= uint64_t{1}
                                                                           << (bit % 64);
    }
  }
  return b;
}

struct Context {
  const DrawBitmaps* bitmaps = nullptr;
  // What one row of n numbers wins in draw i when it shares k numbers with it:
  // value[((n - 6) * 4 + k - 3) * draws + i].
  std::vector<Money> value;
};

// One thread's share of the per-draw figures: for each draw covered and each (n, k), the rows
// that share k numbers with it.
struct Tally {
  std::vector<int32_t> rowsWith;  // [i * kSlots + slot]
  bool overflow = false;
};

// The rows [begin, end) of one list, 1-based: their tickets and winnings, and their hits into the
// tally.
TALLYRA_CLONES void ScanRows(const Context& ctx, const RowSet& rows, int begin, int end,
                             WinningsRow* out, Tally& tally) {
  const DrawBitmaps& b = *ctx.bitmaps;
  const std::size_t words = b.words;
  const auto count = static_cast<std::size_t>(b.draws);
  alignas(32) uint64_t marks[4][kMaxWords];
  for (int row = begin; row < end; ++row) {
    WinningsRow& result = out[row - 1];
    std::array<int32_t, 12> numbers{};
    const int n = RowNumbers(rows, row, numbers);
    result.numbers = n;
    result.ticketsPerDraw = TicketsOf(n);
    if (n < 6) continue;
    std::array<const uint64_t*, 12> maps{};
    int found = 0;
    for (int m = 0; m < n; ++m) {
      if (const uint64_t* map = b.find(numbers[static_cast<std::size_t>(m)])) maps[found++] = map;
    }
    if (found < 3) continue;  // no draw can share three numbers with it
    // Common numbers per draw, bit-sliced in three planes (a draw has at most six numbers), and
    // the draws marked by the count they give.
    for (std::size_t w = 0; w < words; w += 4) {
      Vec p0{}, p1{}, p2{};
      for (int m = 0; m < found; ++m) {
        Vec x;
        std::memcpy(&x, maps[static_cast<std::size_t>(m)] + w, sizeof x);
        const Vec c1 = p0 & x;
        p0 ^= x;
        const Vec c2 = p1 & c1;
        p1 ^= c1;
        p2 ^= c2;
      }
      const Vec three = ~p2 & p1 & p0;
      const Vec four = p2 & ~p1 & ~p0;
      const Vec five = p2 & ~p1 & p0;
      const Vec six = p2 & p1 & ~p0;
      std::memcpy(&marks[0][w], &three, sizeof three);
      std::memcpy(&marks[1][w], &four, sizeof four);
      std::memcpy(&marks[2][w], &five, sizeof five);
      std::memcpy(&marks[3][w], &six, sizeof six);
    }
    const int cls = n - 6;
    // Amounts are never negative, and 1 499 draws of at most 924 tickets at kMaxAmount stay
    // below 2^64, so an unsigned sum cannot wrap; it is checked against the signed range below.
    uint64_t won = 0;
    for (int k = 0; k < 4; ++k) {
      const std::size_t slot = static_cast<std::size_t>(cls * 4 + k);
      const Money* value = ctx.value.data() + slot * count;
      int32_t* tallied = tally.rowsWith.data() + slot;
      int64_t hits = 0;
      for (std::size_t w = 0; w < words; ++w) {
        uint64_t m = marks[k][w];
        hits += std::popcount(m);
        for (; m; m &= m - 1) {
          const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(m));
          won += static_cast<uint64_t>(value[i]);
          ++tallied[i * kSlots];
        }
      }
      if (hits == 0) continue;
      const TierTickets t = TicketsByTier(n, k + 3);
      for (std::size_t j = 0; j < 4; ++j) result.tickets[j] += hits * t[j];
    }
    if (won <= static_cast<uint64_t>(std::numeric_limits<Money>::max())) {
      result.winnings = static_cast<Money>(won);
    } else {
      tally.overflow = true;
    }
  }
}

Problem Overflow() {
  return Problem{TextId::TxtWinningsOverflow, {FormatAmount(std::numeric_limits<Money>::max())}, 0};
}

}  // namespace

WinningsOutcome ComputeWinnings(const WinningsInput& input, const Prizes& prizes, DrawChoice choice,
                                const std::atomic<bool>* cancel, int threads) {
  WinningsOutcome outcome;
  WinningsReport& report = outcome.report;
  const int32_t held = input.draws.count;
  if (held <= 0) {
    outcome.problem.text = TextId::TxtWinningsNoDraws;
    return outcome;
  }
  switch (choice.kind) {
    case DrawChoice::Kind::Latest:
      report.firstDraw = report.lastDraw = held;
      break;
    case DrawChoice::Kind::One:
      if (choice.draw < 1 || choice.draw > held) {
        outcome.problem.text = TextId::TxtWinningsNoSuchDraw;
        outcome.problem.args = {std::to_string(choice.draw), "1", std::to_string(held)};
        return outcome;
      }
      report.firstDraw = report.lastDraw = choice.draw;
      break;
    case DrawChoice::Kind::All:
      report.firstDraw = 1;
      report.lastDraw = held;
      break;
  }
  // Every caller snapshots a Workspace, whose table holds at most kResultCapacity draws, so
  // this cannot come from the window or the command line; a snapshot made some other way would
  // have the draw bitmaps read beyond the table, so it is stopped here, in words the user reads.
  if (held > kResultCapacity) {
    throw ProblemError(Problem{TextId::TxtWinningsTooManyDraws,
                               {std::to_string(held), std::to_string(kResultCapacity)}});
  }
  // The readers refuse such amounts; one that came another way is refused here, which also keeps
  // every row's sum within the unsigned range the row loop counts on.
  auto refused = [&](Money amount) {
    if (amount >= 0 && amount <= kMaxAmount) return false;
    outcome.problem.text = amount < 0 ? TextId::TxtAmountNegative : TextId::TxtAmountTooLarge;
    outcome.problem.args = {FormatAmount(amount)};
    return true;
  };
  if (refused(prizes.table.price)) return outcome;
  for (const Money amount : prizes.table.amounts) {
    if (refused(amount)) return outcome;
  }
  for (const auto& entry : prizes.byDraw) {
    for (const Money amount : entry.second) {
      if (refused(amount)) return outcome;
    }
    report.prizesOfAbsentDraws += entry.first > held;
  }
  const int32_t covered = report.drawCount();
  const auto count = static_cast<std::size_t>(covered);

  const DrawBitmaps bitmaps = BuildDrawBitmaps(input.draws, report.firstDraw, report.lastDraw);
  Context ctx;
  ctx.bitmaps = &bitmaps;
  ctx.value.assign(static_cast<std::size_t>(kSlots) * count, 0);
  for (int n = 6; n <= 12; ++n) {
    for (int k = 3; k <= 6; ++k) {
      const TierTickets t = TicketsByTier(n, k);
      const auto slot = static_cast<std::size_t>((n - 6) * 4 + k - 3);
      for (std::size_t i = 0; i < count; ++i) {
        const TierAmounts& amounts = prizes.amountsFor(report.firstDraw + static_cast<int32_t>(i));
        Wide v = 0;
        for (std::size_t j = 0; j < 4; ++j) v += static_cast<Wide>(t[j]) * amounts[j];
        if (!Fits(v)) {  // only amounts beyond what the readers accept come here
          outcome.problem = Overflow();
          outcome.report = {};
          return outcome;
        }
        ctx.value[slot * count + i] = static_cast<Money>(v);
      }
    }
  }

  report.stakes.assign(static_cast<std::size_t>(input.stakes.count), WinningsRow{});
  report.system.assign(static_cast<std::size_t>(input.system.count), WinningsRow{});
  const int stakeChunks = (input.stakes.count + kChunk - 1) / kChunk;
  const int systemChunks = (input.system.count + kChunk - 1) / kChunk;
  const int chunks = stakeChunks + systemChunks;
  const ParallelOptions options{threads, 1, cancel};
  std::vector<Tally> tallies(static_cast<std::size_t>(ParallelWorkers(chunks, options)));
  ParallelFor(chunks, options, [&](int64_t first, int64_t, int worker) {
    Tally& tally = tallies[static_cast<std::size_t>(worker)];
    if (tally.rowsWith.empty()) tally.rowsWith.assign(count * kSlots, 0);
    const int chunk = static_cast<int>(first);
    const bool stakes = chunk < stakeChunks;
    const RowSet& rows = stakes ? input.stakes : input.system;
    const int begin = (stakes ? chunk : chunk - stakeChunks) * kChunk + 1;
    const int end = std::min(rows.count + 1, begin + kChunk);
    ScanRows(ctx, rows, begin, end, stakes ? report.stakes.data() : report.system.data(), tally);
  });
  if (cancel && cancel->load()) return outcome;

  bool overflow = false;
  for (const Tally& tally : tallies) overflow |= tally.overflow;
  const Money price = prizes.table.price;
  Wide winnings = 0;
  for (auto* list : {&report.stakes, &report.system}) {
    for (WinningsRow& row : *list) {
      const Wide cost = static_cast<Wide>(row.ticketsPerDraw) * covered * price;
      const Wide balance = static_cast<Wide>(row.winnings) - cost;
      overflow |= !Fits(cost) || !Fits(balance);
      row.cost = Fits(cost) ? static_cast<Money>(cost) : 0;
      row.balance = Fits(balance) ? static_cast<Money>(balance) : 0;
      report.ticketsPerDraw += row.ticketsPerDraw;
      for (std::size_t j = 0; j < 4; ++j) report.tickets[j] += row.tickets[j];
      winnings += row.winnings;
    }
  }
  const Wide cost = static_cast<Wide>(report.ticketsPerDraw) * covered * price;
  const Wide drawCost = static_cast<Wide>(report.ticketsPerDraw) * price;
  overflow |= !Fits(winnings) || !Fits(cost) || !Fits(winnings - cost);

  // Draw by draw, from the rows each draw found in each (n, k).
  report.draws.resize(count);
  Wide cumulative = 0;
  std::vector<int64_t> rowsWith(kSlots);
  for (std::size_t i = 0; i < count && !overflow; ++i) {
    std::fill(rowsWith.begin(), rowsWith.end(), 0);
    for (const Tally& tally : tallies) {
      if (tally.rowsWith.empty()) continue;  // a worker that found no chunk left
      for (std::size_t s = 0; s < kSlots; ++s) rowsWith[s] += tally.rowsWith[i * kSlots + s];
    }
    DrawFigures& figures = report.draws[i];
    figures.draw = report.firstDraw + static_cast<int32_t>(i);
    Wide won = 0;
    for (int n = 6; n <= 12; ++n) {
      for (int k = 3; k <= 6; ++k) {
        const auto slot = static_cast<std::size_t>((n - 6) * 4 + k - 3);
        if (rowsWith[slot] == 0) continue;
        const TierTickets t = TicketsByTier(n, k);
        for (std::size_t j = 0; j < 4; ++j) figures.tickets[j] += rowsWith[slot] * t[j];
        won += static_cast<Wide>(rowsWith[slot]) * ctx.value[slot * count + i];
      }
    }
    cumulative += won - drawCost;
    overflow |= !Fits(won) || !Fits(won - drawCost) || !Fits(cumulative);
    if (overflow) break;
    figures.winnings = static_cast<Money>(won);
    figures.balance = static_cast<Money>(won - drawCost);
    figures.cumulative = static_cast<Money>(cumulative);
  }
  if (overflow) {
    outcome.report = {};
    outcome.problem = Overflow();
    return outcome;
  }
  report.winnings = static_cast<Money>(winnings);
  report.cost = static_cast<Money>(cost);
  report.balance = static_cast<Money>(winnings - cost);
  const auto best = std::max_element(
      report.draws.begin(), report.draws.end(),
      [](const DrawFigures& a, const DrawFigures& b) { return a.balance < b.balance; });
  const auto worst = std::min_element(
      report.draws.begin(), report.draws.end(),
      [](const DrawFigures& a, const DrawFigures& b) { return a.balance < b.balance; });
  report.bestDraw = best->draw;
  report.worstDraw = worst->draw;
  return outcome;
}

std::string DrawSpanText(const WinningsReport& report, int32_t language) {
  if (report.drawCount() <= 1) {
    return Format(TextId::TxtWinningsDrawOne, language, {std::to_string(report.firstDraw)});
  }
  return Format(TextId::TxtWinningsDrawRange, language,
                {std::to_string(report.firstDraw), std::to_string(report.lastDraw),
                 CountText(report.drawCount(), TextId::TxtDrawForms, language)});
}

int64_t RoundDrawStep(int64_t span, int most) {
  most = std::max(most, 1);
  for (int64_t power = 1;; power *= 10) {
    for (const int64_t factor : {1, 2, 5}) {
      const int64_t step = factor * power;
      if (span <= step * most || step > std::numeric_limits<int64_t>::max() / 100) return step;
    }
  }
}

}  // namespace tallyra
