#include "wheels/Builder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <climits>
#include <cmath>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "parallel/ParallelFor.h"
#include "wheels/CoverState.h"
#include "wheels/Verifier.h"

namespace tallyra::wheels {
namespace {

using Clock = std::chrono::steady_clock;
using cover::Block;
using cover::CoverState;
using cover::ForEachSubset;

// Subset visits between two looks at the clock: some milliseconds of work, and more than the
// whole first wheel of a small pool needs.
constexpr uint64_t kClockStep = uint64_t{1} << 20;

// Tells long work when to stop: at the caller's cancel, looked at every time, or at the
// deadline, read after every kClockStep units of work. Work smaller than that always runs to
// its end, so that a small build comes out the same on any machine.
class Watch {
 public:
  // `halt` stops the search runs together (the target or the bound met); `until`, when given,
  // brings the deadline forward once it is set (to leave time for the last exact check).
  Watch(Clock::time_point deadline, const std::atomic<bool>* cancel,
        const std::atomic<bool>* halt = nullptr, const std::atomic<Clock::rep>* until = nullptr)
      : m_deadline(deadline), m_cancel(cancel), m_halt(halt), m_until(until) {}
  // Stops the work too once this much is done, whatever the clock says.
  void limitWork(uint64_t most) { m_most = most; }
  // Counts `work` done since the last call; true when it is time to stop.
  bool stop(uint64_t work) {
    if (m_cancel && m_cancel->load(std::memory_order_relaxed)) return true;
    if (m_halt && m_halt->load(std::memory_order_relaxed)) return true;
    m_work += work;
    if (m_work >= m_most) return true;
    if (m_work >= m_nextClock && !m_timeUp) {
      m_nextClock = m_work + kClockStep;
      const Clock::time_point deadline =
          m_until ? std::min(m_deadline, Clock::time_point(Clock::duration(m_until->load())))
                  : m_deadline;
      m_timeUp = Clock::now() >= deadline;
    }
    return m_timeUp;
  }

 private:
  Clock::time_point m_deadline;
  const std::atomic<bool>* m_cancel;
  const std::atomic<bool>* m_halt;
  const std::atomic<Clock::rep>* m_until;
  uint64_t m_work = 0;
  uint64_t m_most = UINT64_MAX;
  uint64_t m_nextClock = kClockStep;
  bool m_timeUp = false;
};

Clock::time_point DeadlineAfter(Clock::time_point start, double seconds) {
  // Past a day the limit is no limit; the sum would overflow the clock before a century.
  if (!(seconds < 86400.0 * 365)) return Clock::time_point::max();
  return start +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// For each pool index, a bitmap over the block slots holding it; finds the blocks sharing the
// most numbers with a subset with bit-sliced counters instead of a scan of every block.
class BlockIndex {
 public:
  BlockIndex(int v, const std::vector<Block>& blocks)
      : m_words((blocks.size() + 63) / 64), m_count(blocks.size()) {
    m_bits.assign(static_cast<std::size_t>(v) * m_words, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b)
      for (const uint8_t z : blocks[b]) set(z, b);
  }
  void set(uint8_t z, std::size_t b) { row(z)[b / 64] |= uint64_t{1} << (b % 64); }
  void clear(uint8_t z, std::size_t b) { row(z)[b / 64] &= ~(uint64_t{1} << (b % 64)); }
  // The block in the last slot moves into slot `to`, whose block is gone.
  void moveLast(const Block& gone, const Block& last, std::size_t to) {
    const std::size_t from = m_count - 1;
    for (const uint8_t z : gone) clear(z, to);
    if (from != to) {
      for (const uint8_t z : last) {
        clear(z, from);
        set(z, to);
      }
    }
    --m_count;
  }
  // A block, chosen evenly among those sharing the most numbers with the subset.
  template <typename Random>
  std::size_t nearest(const uint8_t* subset, int m, Random&& pick) {
    m_c0.assign(m_words, 0);
    m_c1.assign(m_words, 0);
    m_c2.assign(m_words, 0);
    for (int i = 0; i < m; ++i) {
      const uint64_t* bits = row(subset[i]);
      for (std::size_t w = 0; w < m_words; ++w) {
        const uint64_t carry0 = m_c0[w] & bits[w];
        m_c0[w] ^= bits[w];
        const uint64_t carry1 = m_c1[w] & carry0;
        m_c1[w] ^= carry0;
        m_c2[w] |= carry1;
      }
    }
    for (int k = std::min(m, 7); k >= 0; --k) {
      uint64_t total = 0;
      for (std::size_t w = 0; w < m_words; ++w) total += std::popcount(equal(w, k));
      if (total == 0) continue;
      uint64_t n = pick(total);
      for (std::size_t w = 0;; ++w) {
        uint64_t bits = equal(w, k);
        const auto here = static_cast<uint64_t>(std::popcount(bits));
        if (n >= here) {
          n -= here;
          continue;
        }
        for (; n > 0; --n) bits &= bits - 1;
        return w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
      }
    }
    return 0;
  }

 private:
  uint64_t* row(uint8_t z) { return m_bits.data() + static_cast<std::size_t>(z) * m_words; }
  uint64_t equal(std::size_t w, int k) const {
    uint64_t bits =
        (k & 1 ? m_c0[w] : ~m_c0[w]) & (k & 2 ? m_c1[w] : ~m_c1[w]) & (k & 4 ? m_c2[w] : ~m_c2[w]);
    const std::size_t first = w * 64;
    if (first + 64 > m_count) bits &= first >= m_count ? 0 : (uint64_t{1} << (m_count - first)) - 1;
    return bits;
  }
  std::size_t m_words;
  std::size_t m_count;
  std::vector<uint64_t> m_bits;
  std::vector<uint64_t> m_c0, m_c1, m_c2;
};

enum class Check { Holds, Fails, Stopped };

// The exact check of a list of tickets for one guarantee.
Check Confirm(const std::vector<int32_t>& pool, const std::vector<Ticket>& tickets, Guarantee g,
              const BuildOptions& options, Clock::time_point deadline) {
  VerifyOptions check;
  check.threads = options.threads;
  check.cancel = options.cancel;
  check.deadline = deadline;
  check.witnesses = 0;
  check.maxM = g.m;
  const Coverage coverage = Verify(pool, tickets, check);
  if (coverage.cancelled) return Check::Stopped;
  const CoverageRow* row = coverage.find(g);
  return row && row->holds() ? Check::Holds : Check::Fails;
}

// A permutation of the pool: `cycles` cycles of `length` numbers each, the first over
// 0..length-1, the numbers after them fixed.
struct Symmetry {
  int length = 1;
  int cycles = 0;
  friend bool operator==(const Symmetry&, const Symmetry&) = default;
};

// What the search runs share: each run's smallest wheel (held by its bookkeeping, not yet
// checked exactly), the flag that stops them all and the time they search until. Each run
// stops by its own clock, so the wheel kept depends on the seed and the number of runs alone,
// unless a run meets the target.
class Shared {
 public:
  Shared(int runs, uint64_t target, uint64_t bound, Clock::time_point until)
      : until(until.time_since_epoch().count()),
        m_target(target),
        m_bound(bound),
        m_best(static_cast<std::size_t>(runs)),
        m_arrived(static_cast<std::size_t>(runs)),
        m_posted(static_cast<std::size_t>(runs)) {}
  // Keeps the run's blocks when fewer than its smallest so far; stops every run once they meet
  // the target.
  void offer(int run, const std::vector<Block>& blocks) {
    {
      const std::lock_guard<std::mutex> hold(m_lock);
      std::vector<Block>& best = m_best[static_cast<std::size_t>(run)];
      if (!best.empty() && best.size() <= blocks.size()) return;
      best = blocks;
    }
    // The first run at the bound ends them all: no run can do better, and on a tie its wheel
    // is kept anyway. Another run at the bound waits for the first to end by its own clock.
    if (metTarget(blocks.size()) || (run == 0 && blocks.size() <= m_bound)) halt.store(true);
  }
  // The smallest blocks of any run (the first run's of a tie), when fewer than `than`; else
  // empty.
  std::vector<Block> smallest(std::size_t than) {
    const std::lock_guard<std::mutex> hold(m_lock);
    return smallestHeld(than);
  }
  bool metTarget(std::size_t size) const { return m_target > 0 && size <= m_target; }
  std::size_t runs() const { return m_best.size(); }
  // A run is done with its first search (or with everything). The last to arrive takes the
  // smallest blocks of any run there and then, for every run to go on from: where they go on
  // from depends on the seed alone, not on how far the first to arrive has gone since. A run
  // that arrives without a post to rank() has posted nothing.
  void arrive(int run) {
    const std::lock_guard<std::mutex> hold(m_lock);
    postHeld(run, {});
    char& arrived = m_arrived[static_cast<std::size_t>(run)];
    if (arrived) return;
    arrived = 1;
    if (++m_arrivals == runs()) m_gathered = smallestHeld(SIZE_MAX);
  }
  // The first round of the search in orbits: a run posts the symmetry whose orbits made its
  // smallest wheel, and the size (none when it tried none). Waits for every run to post or
  // arrive, the halt or a cancel; then the symmetry that made the smallest wheel of all runs
  // (on a tie, the shorter cycles), none when no run found one or the wait ended otherwise.
  std::optional<Symmetry> rank(int run, std::optional<std::pair<std::size_t, Symmetry>> made,
                               const std::atomic<bool>* cancel) {
    {
      const std::lock_guard<std::mutex> hold(m_lock);
      postHeld(run, made);
    }
    if (!waitHeld([&] { return m_posts == runs(); }, cancel) || !m_ranked) return std::nullopt;
    return m_ranked->second;
  }
  // Waits for every run to arrive, the halt or a cancel; then the blocks the last to arrive
  // took (empty when the wait ended otherwise). Every run arrives: its searches stop by the
  // clock, and a run that ends early arrives as it ends.
  std::vector<Block> gather(int run, const std::atomic<bool>* cancel) {
    arrive(run);
    if (!waitHeld([&] { return m_arrivals == runs(); }, cancel)) return {};
    return m_gathered;
  }
  std::atomic<bool> halt{false};
  std::atomic<Clock::rep> until;

 private:
  // Waits until `done`, read with the lock held, is true (then true), or for the halt or a
  // cancel (then false). What `done` waited for no longer changes once it is true.
  template <typename Done>
  bool waitHeld(Done done, const std::atomic<bool>* cancel) {
    for (;;) {
      {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (done()) return true;
      }
      if (halt.load() || (cancel && cancel->load())) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // rank()'s post, with the lock held; a run's first post counts alone.
  void postHeld(int run, const std::optional<std::pair<std::size_t, Symmetry>>& made) {
    char& posted = m_posted[static_cast<std::size_t>(run)];
    if (posted) return;
    posted = 1;
    ++m_posts;
    const auto key = [](const std::pair<std::size_t, Symmetry>& p) {
      return std::tuple(p.first, p.second.length, p.second.cycles);
    };
    if (made && (!m_ranked || key(*made) < key(*m_ranked))) m_ranked = made;
  }
  // smallest(), with the lock held.
  std::vector<Block> smallestHeld(std::size_t than) const {
    const std::vector<Block>* found = nullptr;
    for (const std::vector<Block>& best : m_best)
      if (!best.empty() && best.size() < than && (!found || best.size() < found->size()))
        found = &best;
    return found ? *found : std::vector<Block>();
  }
  uint64_t m_target;
  uint64_t m_bound;
  std::mutex m_lock;
  std::vector<std::vector<Block>> m_best;
  std::vector<char> m_arrived;  // per run: done with its first search
  std::size_t m_arrivals = 0;
  std::vector<char> m_posted;  // per run: done with its first round in orbits
  std::size_t m_posts = 0;
  std::optional<std::pair<std::size_t, Symmetry>> m_ranked;
  std::vector<Block> m_gathered;
};

class Search {
 public:
  Search(const std::vector<int32_t>& pool, Guarantee g, const BuildOptions& options,
         Clock::time_point start, int run, Shared& shared)
      : m_pool(pool),
        m_v(static_cast<int>(pool.size())),
        m_g(g),
        m_options(options),
        m_state(m_v, g),
        m_random(options.seed + static_cast<uint64_t>(run) * 0x9E37'79B9'7F4A'7C15ULL),
        m_run(run),
        m_shared(shared),
        m_start(start),
        m_deadline(DeadlineAfter(start, options.seconds)) {
    m_bound = LowerBound(m_v, g);
    m_swapSets = 2 * Binomial(kTicketSize - 1, g.t - 1) * Binomial(m_v - 7, g.m - g.t);
    for (int j = g.t; j <= g.m; ++j)
      m_ticketSets += Binomial(kTicketSize, j) * Binomial(m_v - kTicketSize, g.m - j);
  }

  bool cancelled() const {
    return m_options.cancel && m_options.cancel->load(std::memory_order_relaxed);
  }

  // The first wheel: the one made of smaller wheels when there is one, else the greedy wheel.
  bool first(const std::vector<Block>& combined) {
    if (combined.empty()) return greedy();
    restart(combined);
    return true;
  }

  // Adds tickets until every subset is covered; false when cancelled or out of time first, which
  // leaves an incomplete list that is no wheel.
  bool greedy() {
    // The first run always finishes its wheel: the one returned when the others' are cut short.
    Watch watch(m_deadline, m_options.cancel, m_run == 0 ? nullptr : &m_shared.halt);
    // Enough candidates per slot that a ticket costs about a million subset visits at most.
    // (All of them on small pools, where fewer than three may be free.)
    const uint64_t candidates = std::min<uint64_t>(
        std::max<uint64_t>(1'000'000 / std::max<uint64_t>(1, m_swapSets * (kTicketSize - m_g.t)),
                           3),
        static_cast<uint64_t>(m_v - kTicketSize));
    while (m_state.uncoveredCount() > 0) {
      // The work counted here is the last ticket's adding.
      if (watch.stop(m_blocks.empty() ? 0 : m_ticketSets)) return false;
      if (m_blocks.size() % 64 == 63) report(m_deadline);
      const uint32_t target = m_state.uncoveredAt(pick(m_state.uncoveredCount()));
      const auto subset = m_state.unrank(target);
      Block block{};
      std::array<bool, kMaxPool> used{};
      // t numbers of the uncovered subset stay; the others start at random.
      std::array<uint8_t, kTicketSize> order{};
      for (int i = 0; i < m_g.m; ++i)
        order[static_cast<std::size_t>(i)] = subset[static_cast<std::size_t>(i)];
      std::shuffle(order.begin(), order.begin() + m_g.m, m_random);
      for (int i = 0; i < m_g.t; ++i) {
        block[static_cast<std::size_t>(i)] = order[static_cast<std::size_t>(i)];
        used[order[static_cast<std::size_t>(i)]] = true;
      }
      for (int i = m_g.t; i < kTicketSize; ++i) {
        uint8_t z;
        do {
          z = static_cast<uint8_t>(pick(static_cast<std::size_t>(m_v)));
        } while (used[z]);
        used[z] = true;
        block[static_cast<std::size_t>(i)] = z;
      }
      for (int pass = 0; pass < 2; ++pass) {
        bool changed = false;
        for (int slot = m_g.t; slot < kTicketSize; ++slot) {
          long bestGain = 0;
          int bestY = -1;
          for (uint64_t c = 0; c < candidates; ++c) {
            const auto y = static_cast<uint8_t>(
                candidates >= static_cast<uint64_t>(m_v - kTicketSize)
                    ? nthUnused(used, static_cast<int>(c))
                    : nthUnused(used, static_cast<int>(
                                          pick(static_cast<std::size_t>(m_v - kTicketSize)))));
            const long gain = m_state.freeSwapGain(block, block[static_cast<std::size_t>(slot)], y);
            // On a large pool one ticket's choices take a good share of a second.
            if (watch.stop(m_swapSets)) return false;
            if (gain > bestGain) {
              bestGain = gain;
              bestY = y;
            }
          }
          if (bestY >= 0) {
            used[block[static_cast<std::size_t>(slot)]] = false;
            block[static_cast<std::size_t>(slot)] = static_cast<uint8_t>(bestY);
            used[static_cast<std::size_t>(bestY)] = true;
            changed = true;
          }
        }
        if (!changed) break;
      }
      m_state.add(block);
      m_blocks.push_back(block);
    }
    return true;
  }

  // Tries to cover everything with one ticket fewer each time it succeeds; keeps the smallest
  // wheel the bookkeeping finds covering in `best` (the caller checks it exactly). Stops at
  // `until`, which leaves the time after it for that check. The search in orbits comes first,
  // where it applies; once every run is done with it, this one goes on from the smallest wheel
  // of any run.
  void improve(std::vector<Block>& best, Clock::time_point until) {
    const Clock::time_point deadline = m_deadline;
    searchOrbits(best, until);
    std::vector<Block> smallest = m_shared.gather(m_run, m_options.cancel);
    if (!smallest.empty() && smallest.size() < best.size()) best = std::move(smallest);
    restart(best);
    Watch watch(until, m_options.cancel, &m_shared.halt, &m_shared.until);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // The temperature is a fixed share of the running mean size of the moves, so that it suits
    // guarantees whose moves change a handful of subsets as well as those changing thousands.
    constexpr double kHeat = 0.08;
    BlockIndex index(m_v, m_blocks);
    double moveSize = 2;
    long iterations = 0;
    while (m_blocks.size() > 1 && best.size() > m_bound && !m_shared.metTarget(best.size())) {
      if (m_state.uncoveredCount() == 0) {
        if (m_blocks.size() < best.size()) {
          best = m_blocks;
          m_shared.offer(m_run, best);
          report(deadline);
        }
        if (watch.stop(dropWeakest(index, 1))) return;
        continue;
      }
      // The swaps weighed: up to 7 - t slots, each against up to m - t + 1 numbers.
      if (watch.stop(m_swapSets *
                     static_cast<uint64_t>((kTicketSize + 1 - m_g.t) * (m_g.m - m_g.t + 1))))
        return;
      if ((++iterations & 65535) == 0) report(deadline);
      // A move that brings the block nearest to a random uncovered subset one number closer: the
      // best of the block's swaps that do so, ties broken at random.
      const Aim aimed = aim(index);
      const auto& [subset, inSubset, chosen, inBlock] = aimed;
      Block& block = m_blocks[chosen];
      long bestDelta = LONG_MAX;
      std::size_t bestSlot = 0;
      uint8_t bestY = 0;
      int ties = 0;
      for (std::size_t slot = 0; slot < kTicketSize; ++slot) {
        if (inSubset[block[slot]]) continue;
        for (int i = 0; i < m_g.m; ++i) {
          const uint8_t y = subset[static_cast<std::size_t>(i)];
          if (inBlock[y]) continue;
          const long delta = m_state.swapDelta(block, block[slot], y);
          if (delta < bestDelta) {
            bestDelta = delta;
            ties = 0;
          } else if (delta > bestDelta || pick(static_cast<std::size_t>(++ties + 1)) != 0) {
            continue;
          }
          bestSlot = slot;
          bestY = y;
        }
      }
      if (bestDelta == LONG_MAX) continue;
      moveSize += 0.001 * (std::abs(static_cast<double>(bestDelta)) - moveSize);
      const bool take =
          bestDelta <= 0 ||
          unit(m_random) < std::exp(-static_cast<double>(bestDelta) / (kHeat * moveSize));
      if (take) {
        index.clear(block[bestSlot], chosen);
        index.set(bestY, chosen);
        m_state.swap(block, bestSlot, bestY);
      }
    }
  }

  // The symmetries whose orbits the search tries first: one cycle over all the pool or all but
  // one to four numbers, two cycles over all of it (but one number when the count is odd) or
  // all but four or five, three cycles over all but up to three numbers, and four shorter
  // cycles; each taken once, when a wheel of `size` makes at least three orbits of it. Which
  // one suits a pool and guarantee differs from one to the next, and cycles with numbers left
  // fixed often do best: 14 numbers "4 if 4" comes to 80 tickets in orbits of two 5-cycles,
  // and 18 numbers "3 if 3" to 48 in orbits of a 16-cycle. The runs share the list out
  // between them, so that each of its attempts has as much time as with a list half as long;
  // `rounds` is the most any run has.
  struct Share {
    std::vector<Symmetry> mine;
    std::size_t rounds = 0;
  };
  Share symmetries(std::size_t size) const {
    constexpr int kShortest = 5;
    constexpr std::size_t kFewestOrbits = 3;
    std::vector<Symmetry> all;
    for (const Symmetry s :
         {Symmetry{m_v - 1, 1}, Symmetry{m_v - 3, 1}, Symmetry{m_v, 1}, Symmetry{m_v - 2, 1},
          Symmetry{m_v / 2, 2}, Symmetry{(m_v - 4) / 2, 2}, Symmetry{m_v / 3, 3},
          Symmetry{(m_v - 1) / 3, 3}, Symmetry{m_v - 4, 1}, Symmetry{(m_v - 1) / 4, 4}}) {
      if (std::find(all.begin(), all.end(), s) == all.end() && s.length >= kShortest &&
          size >= kFewestOrbits * static_cast<std::size_t>(s.length))
        all.push_back(s);
    }
    const auto runs = m_shared.runs();
    Share share;
    if (all.size() >= runs) {
      for (std::size_t i = static_cast<std::size_t>(m_run); i < all.size(); i += runs)
        share.mine.push_back(all[i]);
      share.rounds = (all.size() + runs - 1) / runs;
    } else {
      // Too few to share: each run tries them all, from a different one.
      for (std::size_t i = 0; i < all.size(); ++i)
        share.mine.push_back(all[(i + static_cast<std::size_t>(m_run)) % all.size()]);
      share.rounds = all.size();
    }
    return share;
  }

  // z moved g steps along its cycle.
  static uint8_t Image(uint8_t z, int g, Symmetry s) {
    if (z >= s.length * s.cycles) return z;
    return static_cast<uint8_t>(z - z % s.length + (z % s.length + g) % s.length);
  }

  // Most of the time, in attempts: each an annealing over tickets in whole orbits of one
  // symmetry, from random ones as many as the first wheel, keeping in `best` any smaller wheel
  // found. Each symmetry of the run's share has one attempt; then the one whose orbits made the
  // smallest wheel of any run has kRepeats more on every run (more on a long build) from fresh
  // random orbits: the symmetry that suits a pool and guarantee differs from one to the next,
  // and one attempt's outcome varies a good deal, so the more attempts weigh the choice, the
  // better. Each attempt has the same fixed amount of work, about what a machine does in its
  // part of the time, so that the same seed finds the same wheels until the time runs out.
  // Leaves the tickets to be set again.
  void searchOrbits(std::vector<Block>& best, Clock::time_point until) {
    constexpr double kShare = 0.6;
    constexpr std::size_t kRepeats = 2;
    constexpr double kWorkPerSecond = 1.5e8;
    const Clock::time_point start = Clock::now();
    if (until == Clock::time_point::max() || until <= start || best.size() <= m_bound ||
        m_shared.metTarget(best.size()))
      return;
    // Setting every ticket afresh visits every subset each ticket holds, unwatched: on the
    // largest pools that alone could take longer than a share of the time.
    constexpr uint64_t kMostFreshWork = uint64_t{1} << 25;
    // Small wheels are left to the search ticket by ticket, which does as well on them.
    constexpr std::size_t kFewestTickets = 40;
    const std::size_t from = best.size();
    if (from < kFewestTickets || from * m_ticketSets > kMostFreshWork) return;
    const Share share = symmetries(from);
    if (share.mine.empty()) return;
    // A long build makes more attempts rather than longer ones, so that a symmetry that does
    // not suit the pool holds up the rest for no more than some seconds.
    constexpr double kLongestAttempt = 8 * kWorkPerSecond;
    const double shareWork = kWorkPerSecond * kShare * m_options.seconds;
    const std::size_t attempts = std::max(
        share.rounds + kRepeats, static_cast<std::size_t>(std::ceil(shareWork / kLongestAttempt)));
    const auto work = static_cast<uint64_t>(shareWork / static_cast<double>(attempts));
    // The clock ends the share too, on a slower machine.
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>((until - start) * kShare);
    // The smallest wheel the attempt's orbits made (SIZE_MAX: none).
    const auto attempt = [&](Symmetry sym) {
      std::vector<Block> blocks;
      for (std::size_t o = 0; o < (from + static_cast<std::size_t>(sym.length) - 1) / sym.length;
           ++o) {
        const Block base = randomBlock();
        for (int g = 0; g < sym.length; ++g) {
          Block image{};
          for (std::size_t k = 0; k < kTicketSize; ++k) image[k] = Image(base[k], g, sym);
          blocks.push_back(image);
        }
      }
      restart(blocks);
      Watch watch(end, m_options.cancel, &m_shared.halt, &m_shared.until);
      watch.limitWork(work);
      return annealOrbits(best, watch, sym);
    };
    const auto stopped = [&] { return cancelled() || m_shared.halt.load() || Clock::now() >= end; };
    // The run's smallest wheel in orbits and the symmetry that made it.
    std::optional<std::pair<std::size_t, Symmetry>> made;
    const auto tryOnce = [&](Symmetry sym) {
      const std::size_t size = attempt(sym);
      if (size != SIZE_MAX && (!made || size < made->first)) made = {size, sym};
    };
    for (const Symmetry sym : share.mine) {
      tryOnce(sym);
      if (stopped()) return;
    }
    // A share shorter than another's has its best again meanwhile: no run waits for another.
    for (std::size_t r = share.mine.size(); r < share.rounds; ++r) {
      tryOnce(made ? made->second : share.mine.front());
      if (stopped()) return;
    }
    const std::optional<Symmetry> ranked = m_shared.rank(m_run, made, m_options.cancel);
    const Symmetry chosen = ranked ? *ranked : made ? made->second : share.mine.front();
    for (std::size_t r = share.rounds; r < attempts; ++r) {
      attempt(chosen);
      if (stopped()) return;
    }
  }

  Block randomBlock() {
    Block block{};
    std::array<bool, kMaxPool> used{};
    for (uint8_t& z : block) {
      do {
        z = static_cast<uint8_t>(pick(static_cast<std::size_t>(m_v)));
      } while (used[z]);
      used[z] = true;
    }
    return block;
  }

  // An annealing over tickets kept in whole orbits of the symmetry (ticket o * length + g is
  // image g of the orbit's first), whose cost is the number of subsets left uncovered. A move
  // takes a random uncovered subset and one of the tickets nearest to it, swaps a random number
  // of the ticket outside the subset for a random one of the subset not in the ticket, and the
  // same in every image of the ticket. The temperature is a share of the running mean rise of the
  // uphill moves, so that it suits guarantees whose moves change a handful of subsets as well as
  // those changing thousands. Once every subset is covered the orbit whose loss uncovers the
  // fewest is taken out and the annealing goes on from there, until the watch stops it. Returns
  // the smallest wheel its orbits made (SIZE_MAX: none).
  std::size_t annealOrbits(std::vector<Block>& best, Watch& watch, Symmetry sym) {
    std::size_t smallest = SIZE_MAX;
    constexpr double kHeat = 0.06;
    // A move's own work beside the subsets it weighs: the nearest ticket, the subset and the
    // random numbers, in subset visits.
    constexpr uint64_t kMoveWork = 64;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto length = static_cast<std::size_t>(sym.length);
    BlockIndex index(m_v, m_blocks);
    double rise = 0;  // the running mean rise of the uphill moves, 0 before the first
    long iterations = 0;
    while (m_blocks.size() > length && best.size() > m_bound && !m_shared.metTarget(best.size())) {
      if (m_state.uncoveredCount() == 0) {
        // Orbits can meet themselves: a ticket repeated counts once.
        std::vector<Block> found = m_blocks;
        for (Block& b : found) cover::SortSmall(b.data(), kTicketSize);
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        smallest = std::min(smallest, found.size());
        if (found.size() < best.size()) {
          best = std::move(found);
          m_shared.offer(m_run, best);
          report(m_deadline);
        }
        // One orbit fewer would fall below the bound: no wheel is left for this attempt to find.
        if (m_blocks.size() < length + m_bound) return smallest;
        if (watch.stop(dropWeakest(index, length))) return smallest;
        continue;
      }
      if (watch.stop(m_swapSets + kMoveWork)) return smallest;
      if ((++iterations & 65535) == 0) report(m_deadline);
      const Aim aimed = aim(index);
      const auto& [subset, inSubset, chosen, inBlock] = aimed;
      // The ticket holds at most t - 1 numbers of the uncovered subset, so both choices exist.
      std::array<std::size_t, kTicketSize> outside{};
      std::size_t outsideCount = 0;
      for (std::size_t slot = 0; slot < kTicketSize; ++slot)
        if (!inSubset[m_blocks[chosen][slot]]) outside[outsideCount++] = slot;
      std::array<uint8_t, kTicketSize> missing{};
      std::size_t missingCount = 0;
      for (int i = 0; i < m_g.m; ++i) {
        const uint8_t y = subset[static_cast<std::size_t>(i)];
        if (!inBlock[y]) missing[missingCount++] = y;
      }
      const std::size_t slot = outside[pick(outsideCount)];
      const uint8_t y = missing[pick(missingCount)];
      // The counts are the same on every image of a subset, so the move changes each image of
      // the ticket as it changes this one, but for the few subsets two images share: the change
      // is weighed from this one alone, and made exactly on every image when it is taken.
      const long delta = m_state.swapDelta(m_blocks[chosen], m_blocks[chosen][slot], y);
      if (delta > 0) {
        const auto up = static_cast<double>(delta);
        rise += rise == 0 ? up : 0.001 * (up - rise);
        if (unit(m_random) >= std::exp(-up / (kHeat * rise))) continue;
      }
      if (watch.stop(m_swapSets * length)) return smallest;
      const std::size_t first = chosen - chosen % length;
      const auto at = static_cast<int>(chosen - first);
      for (std::size_t g = 0; g < length; ++g) {
        Block& image = m_blocks[first + g];
        const uint8_t to = Image(y, (static_cast<int>(g) - at + sym.length) % sym.length, sym);
        index.clear(image[slot], first + g);
        index.set(to, first + g);
        m_state.swap(image, slot, to);
      }
    }
    return smallest;
  }

  const std::vector<Block>& blocks() const { return m_blocks; }
  int run() const { return m_run; }

  // Carries on from these tickets instead of the current ones.
  void restart(const std::vector<Block>& blocks) {
    for (const Block& b : m_blocks) m_state.remove(b);
    m_blocks = blocks;
    for (const Block& b : m_blocks) m_state.add(b);
  }

  std::vector<Ticket> tickets(const std::vector<Block>& blocks) const {
    std::vector<Ticket> out;
    for (const Block& b : blocks) {
      Ticket t;
      for (const uint8_t z : b) t.push_back(m_pool[z]);
      std::sort(t.begin(), t.end());
      out.push_back(std::move(t));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  // The exact check, stopped by a cancel or the deadline like the rest.
  Check confirmed(const std::vector<Block>& blocks) const {
    return Confirm(m_pool, tickets(blocks), m_g, m_options, m_deadline);
  }

  // The smallest wheel that has passed the exact check, on the run that reports.
  const std::vector<Block>& checked() const { return m_checked; }
  void setChecked(const std::vector<Block>& blocks) { m_checked = blocks; }

  // Reports the time used and the smallest checked wheel; only the run on the calling thread
  // reports. The smallest wheel of every run is checked first, now and then: one check in
  // a fifth of a second at most.
  void report(Clock::time_point deadline) {
    if (!m_reports) return;
    const Clock::time_point now = Clock::now();
    if (!m_checked.empty() && now - m_lastCheck > std::chrono::milliseconds(200)) {
      m_lastCheck = now;
      std::vector<Block> smaller = m_shared.smallest(m_checked.size());
      if (!smaller.empty() && confirmed(smaller) == Check::Holds) m_checked = std::move(smaller);
    }
    if (!m_options.progress) return;
    const double whole = std::chrono::duration<double>(deadline - m_start).count();
    const double used = std::chrono::duration<double>(now - m_start).count();
    m_options.progress(whole > 0 ? std::min(1.0, used / whole) : 1.0,
                       static_cast<int>(m_checked.size()));
  }
  void reportFromHere() { m_reports = true; }

 private:
  // An even pick below n (n < 2^32; the bias of the multiply is below n / 2^32).
  std::size_t pick(std::size_t n) {
    return static_cast<std::size_t>(((m_random() >> 32) * static_cast<uint64_t>(n)) >> 32);
  }
  // A random uncovered subset and a ticket among those sharing the most numbers with it, with
  // which numbers each holds: where every move of the annealings starts.
  struct Aim {
    std::array<uint8_t, kTicketSize> subset;
    std::array<bool, kMaxPool> inSubset;
    std::size_t chosen;
    std::array<bool, kMaxPool> inBlock;
  };
  Aim aim(BlockIndex& index) {
    Aim a{m_state.unrank(m_state.uncoveredAt(pick(m_state.uncoveredCount()))), {}, 0, {}};
    for (int i = 0; i < m_g.m; ++i) a.inSubset[a.subset[static_cast<std::size_t>(i)]] = true;
    a.chosen = index.nearest(a.subset.data(), m_g.m,
                             [&](uint64_t n) { return pick(static_cast<std::size_t>(n)); });
    for (const uint8_t z : m_blocks[a.chosen]) a.inBlock[z] = true;
    return a;
  }
  static int nthUnused(const std::array<bool, kMaxPool>& used, int n) {
    for (int z = 0;; ++z) {
      if (!used[static_cast<std::size_t>(z)] && n-- == 0) return z;
    }
  }
  // Takes out the orbit of `length` tickets (1: a single ticket) whose first ticket's loss
  // uncovers the fewest subsets, the last orbit taking its place: among all of them when t = m,
  // where a ticket holds only C(6, t) subsets, else among a few looked at. Returns the work done.
  uint64_t dropWeakest(BlockIndex& index, std::size_t length) {
    const std::size_t orbits = m_blocks.size() / length;
    const std::size_t looked = m_g.t == m_g.m ? orbits : 8;
    std::size_t weakest = 0;
    uint64_t fewest = UINT64_MAX;
    for (std::size_t n = 0; n < std::min(looked, orbits); ++n) {
      const std::size_t o = orbits <= looked ? n : pick(orbits);
      uint64_t alone = 0;
      m_state.forEachCovered(m_blocks[o * length],
                             [&](uint32_t r) { alone += m_state.cover(r) == 1; });
      if (alone < fewest) {
        fewest = alone;
        weakest = o;
      }
    }
    for (std::size_t g = length; g-- > 0;) {
      const std::size_t at = weakest * length + g;
      m_state.remove(m_blocks[at]);
      index.moveLast(m_blocks[at], m_blocks.back(), at);
      m_blocks[at] = m_blocks.back();
      m_blocks.pop_back();
    }
    return (std::min(looked, orbits) + length) * m_ticketSets;
  }

  const std::vector<int32_t>& m_pool;
  int m_v;
  Guarantee m_g;
  const BuildOptions& m_options;
  CoverState m_state;
  std::mt19937_64 m_random;
  int m_run;
  Shared& m_shared;
  bool m_reports = false;
  std::vector<Block> m_checked;
  Clock::time_point m_lastCheck{};
  Clock::time_point m_start;
  Clock::time_point m_deadline;
  uint64_t m_swapSets = 0;    // subsets a swap of one number looks at
  uint64_t m_ticketSets = 0;  // subsets one ticket covers
  uint64_t m_bound = 0;
  std::vector<Block> m_blocks;
};

// Two smaller wheels make one. When the pool is split into parts A and B, m drawn numbers put at
// least m1 of them in A or at least m2 in B whenever m1 + m2 = m + 1, so a "t if m1" wheel on A
// beside a "t if m2" wheel on B keeps "t if m" on the whole pool. A part too small to hold m1
// (or m2) drawn numbers needs no ticket, and one of six numbers or fewer needs one ticket, filled
// up with numbers of the other part. The parts' wheels come from the builder itself.
class Combiner {
 public:
  // `start` and `deadline` are the whole build's, for the progress reported between the parts.
  Combiner(int v, Guarantee g, const BuildOptions& options, Clock::time_point start,
           Clock::time_point deadline)
      : m_v(v), m_g(g), m_options(options), m_start(start), m_deadline(deadline) {}

  // Only guarantees whose m reaches 2t - 1 split into two smaller ones.
  static bool Applies(int v, Guarantee g) {
    return g.t < g.m && g.m >= 2 * g.t - 1 && v > kTicketSize + 1;
  }

  // The smallest combined wheel found by `until`, as pool indexes: every split first with the
  // parts' greedy wheels, cheapest by their bounds first, then the best few again with time to
  // search.
  std::vector<Block> smallest(Clock::time_point until) {
    struct Split {
      int a;
      Guarantee first, second;
      uint64_t estimate;
      std::size_t size = 0;
    };
    std::vector<Split> splits;
    for (int m1 = m_g.t; 2 * m1 <= m_g.m + 1; ++m1) {
      const Guarantee first{m_g.t, m1}, second{m_g.t, m_g.m + 1 - m1};
      for (int a = 1; a < m_v; ++a) {
        splits.push_back({a, first, second, boundOf(a, first) + boundOf(m_v - a, second)});
        if (first != second) {
          splits.push_back({a, second, first, boundOf(a, second) + boundOf(m_v - a, first)});
        }
      }
    }
    std::stable_sort(splits.begin(), splits.end(),
                     [](const Split& x, const Split& y) { return x.estimate < y.estimate; });
    // Every part the splits need, made greedily side by side in the order the splits come. The
    // clock is read only once the parts' subsets add up to some work, so that small pools make
    // every part on any machine. A split whose part was not made in time is left out.
    std::vector<Key> parts;
    std::map<Key, std::size_t> partAt;
    for (const Split& split : splits) {
      for (const Key& key : {Key{split.a, split.first.t, split.first.m},
                             Key{m_v - split.a, split.second.t, split.second.m}}) {
        if (partAt.emplace(key, parts.size()).second) parts.push_back(key);
      }
    }
    std::vector<std::optional<std::vector<Block>>> greedy(parts.size());
    std::atomic<uint64_t> work{0};
    ParallelOptions parallel;
    parallel.threads = m_options.threads;
    parallel.cancel = m_options.cancel;
    ParallelFor(static_cast<int64_t>(parts.size()), parallel,
                [&](int64_t begin, int64_t end, int worker) {
                  for (int64_t i = begin; i < end; ++i) {
                    if (work.load() >= kClockStep && Clock::now() >= until) return;
                    const auto [n, t, m] = parts[static_cast<std::size_t>(i)];
                    const double left = std::chrono::duration<double>(until - Clock::now()).count();
                    greedy[static_cast<std::size_t>(i)] = make(n, {t, m}, -std::max(0.0, left));
                    work += Binomial(n, m);
                    if (worker == 0) report();
                  }
                });
    for (std::size_t i = 0; i < parts.size(); ++i) {
      Made& made = m_made[parts[i]];
      made.held = true;
      made.whole = greedy[i].has_value();
      if (greedy[i]) made.blocks = std::move(*greedy[i]);
    }
    for (Split& split : splits) split.size = sizeOf(split.a, split.first, split.second, 0);
    std::erase_if(splits, [](const Split& x) { return x.size == 0; });
    // Then, while time is left, the part furthest above its bound in the smallest split so far
    // is made again with twice the time it had; parts are shared between splits, so each new
    // part counts for every split it is in.
    const auto smallestSplit = [&] {
      return std::min_element(splits.begin(), splits.end(),
                              [](const Split& x, const Split& y) { return x.size < y.size; });
    };
    while (!splits.empty() && !stopped()) {
      const double left = std::chrono::duration<double>(until - Clock::now()).count();
      if (left <= 0) break;
      const Split& split = *smallestSplit();
      // How far a part's wheel stands above its bound.
      const auto over = [&](int n, Guarantee g) {
        const std::size_t size = m_made[{n, g.t, g.m}].blocks.size();
        return size - std::min<std::size_t>(boundOf(n, g), size);
      };
      const std::size_t over1 = over(split.a, split.first);
      const std::size_t over2 = over(m_v - split.a, split.second);
      if (over1 == 0 && over2 == 0) break;  // both parts at their bound: nothing to gain
      const int n = over1 >= over2 ? split.a : m_v - split.a;
      const Guarantee g = over1 >= over2 ? split.first : split.second;
      const double had = m_made[{n, g.t, g.m}].seconds;
      constexpr double kFirstSearch = 0.05;
      wheel(n, g, std::min(left, std::max(kFirstSearch, 2 * had)));
      if (m_made[{n, g.t, g.m}].seconds <= had) break;
      for (Split& other : splits) other.size = sizeOf(other.a, other.first, other.second, 0);
      report();
    }
    if (splits.empty()) return {};
    const auto best = smallestSplit();
    return assemble(best->a, best->first, best->second);
  }

 private:
  bool stopped() const { return m_options.cancel && m_options.cancel->load(); }

  // The share of the build's time used, with no checked wheel yet.
  void report() const {
    if (!m_options.progress || m_deadline == Clock::time_point::max()) return;
    const double whole = std::chrono::duration<double>(m_deadline - m_start).count();
    const double used = std::chrono::duration<double>(Clock::now() - m_start).count();
    m_options.progress(whole > 0 ? std::min(1.0, used / whole) : 1.0, 0);
  }

  static uint64_t boundOf(int n, Guarantee g) {
    if (n < g.m) return 0;
    if (n <= kTicketSize) return 1;
    return LowerBound(n, g);
  }

  // The smallest wheel made so far for n numbers, over 0..n-1 (filled up by the caller when n is
  // below six); made now, with `seconds` to search, unless one made with at least as much time
  // is held. A negative `seconds` asks for the greedy wheel alone, made within -seconds. Null
  // when none could be made in time.
  const std::vector<Block>* wheel(int n, Guarantee g, double seconds) {
    Made& made = m_made[{n, g.t, g.m}];
    if (made.held && made.seconds >= std::max(0.0, seconds))
      return made.whole ? &made.blocks : nullptr;
    made.held = true;
    made.seconds = std::max(0.0, seconds);
    std::optional<std::vector<Block>> blocks = make(n, g, seconds);
    if (blocks && (!made.whole || blocks->size() < made.blocks.size())) {
      made.whole = true;
      made.blocks = std::move(*blocks);
    }
    return made.whole ? &made.blocks : nullptr;
  }

  // A wheel for n numbers, as wheel() describes, made now; none when it could not be made in
  // time. Touches nothing of the combiner's, so parts can be made side by side.
  std::optional<std::vector<Block>> make(int n, Guarantee g, double seconds) const {
    if (n < g.m) return std::vector<Block>();  // no m drawn numbers fit there: nothing to hold
    if (n <= kTicketSize) return std::vector<Block>{Block{0, 1, 2, 3, 4, 5}};
    std::vector<int32_t> pool;
    for (int i = 1; i <= n; ++i) pool.push_back(i);
    BuildOptions options;
    // No time to search: the greedy wheel alone, within the time left for the combining.
    const bool greedyOnly = seconds <= 0;
    options.seconds = greedyOnly ? std::max(0.0, -seconds) : seconds;
    options.target = greedyOnly ? UINT64_MAX : 0;
    options.seed = m_options.seed * 1'000'003 + static_cast<uint64_t>(n * 64 + g.t * 8 + g.m);
    options.threads = greedyOnly ? 1 : m_options.threads;
    options.cancel = m_options.cancel;
    options.maxTickets = 0;
    const BuildResult built = BuildWheel(pool, g, options);
    if (built.tickets.empty()) return std::nullopt;
    std::vector<Block> blocks;
    for (const Ticket& t : built.tickets) {
      Block b{};
      for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(t[i] - 1);
      blocks.push_back(b);
    }
    return blocks;
  }

  // The size of a split's two wheels, each made with `seconds` to search; 0 when either could
  // not be made.
  std::size_t sizeOf(int a, Guarantee first, Guarantee second, double seconds) {
    const std::vector<Block>* one = wheel(a, first, seconds);
    const std::vector<Block>* other = one ? wheel(m_v - a, second, seconds) : nullptr;
    return one && other ? std::max<std::size_t>(1, one->size() + other->size()) : 0;
  }

  // The two parts' wheels side by side: A is the first a indexes, B the rest; a ticket of a
  // part smaller than six is filled up from the other part.
  std::vector<Block> assemble(int a, Guarantee first, Guarantee second) {
    std::vector<Block> out;
    const auto place = [&](const std::vector<Block>& blocks, int from, int n) {
      for (const Block& b : blocks) {
        Block placed{};
        std::array<bool, kMaxPool> used{};
        int size = 0;
        for (const uint8_t z : b) {
          if (z >= n) continue;
          const auto at = static_cast<uint8_t>(from + z);
          placed[static_cast<std::size_t>(size++)] = at;
          used[at] = true;
        }
        for (int z = 0; size < kTicketSize; ++z) {
          if (!used[static_cast<std::size_t>(z)])
            placed[static_cast<std::size_t>(size++)] = static_cast<uint8_t>(z);
        }
        cover::SortSmall(placed.data(), kTicketSize);
        if (std::find(out.begin(), out.end(), placed) == out.end()) out.push_back(placed);
      }
    };
    place(m_made[{a, first.t, first.m}].blocks, 0, a);
    place(m_made[{m_v - a, second.t, second.m}].blocks, a, m_v - a);
    return out;
  }

  using Key = std::tuple<int, int, int>;  // numbers, t, m
  struct Made {
    bool held = false;
    bool whole = false;  // blocks is a complete wheel
    double seconds = 0;
    std::vector<Block> blocks;
  };
  int m_v;
  Guarantee m_g;
  const BuildOptions& m_options;
  Clock::time_point m_start, m_deadline;
  std::map<Key, Made> m_made;
};

}  // namespace

BuildResult BuildWheel(const std::vector<int32_t>& poolIn, Guarantee g,
                       const BuildOptions& options) {
  const Clock::time_point start = Clock::now();
  BuildResult result;
  std::vector<int32_t> pool = poolIn;
  std::sort(pool.begin(), pool.end());
  const int v = static_cast<int>(pool.size());
  if (v < kTicketSize || v > kMaxPool ||
      std::adjacent_find(pool.begin(), pool.end()) != pool.end() || pool.front() < 1 ||
      pool.back() > kMaxPool) {
    result.problem =
        InputProblem{TextId::TxtWheelPoolSize, {std::to_string(kMaxPool), std::to_string(v)}};
    return result;
  }
  if (auto problem = CheckGuarantee(g, v)) {
    result.problem = problem;
    return result;
  }
  result.bound = LowerBound(v, g);
  if (v == kTicketSize) {
    result.tickets = {pool};
    result.greedySize = 1;
    return result;
  }
  // A wheel that could never join the stakes is not built: it would only cost time and memory.
  if (options.maxTickets > 0 && result.bound > options.maxTickets) {
    result.problem = InputProblem{
        TextId::TxtWheelsTooManyTickets,
        {GuaranteeText(g), std::to_string(result.bound), std::to_string(options.maxTickets)}};
    return result;
  }
  const uint64_t sets = Binomial(v, g.m);
  // The guarantee the search counts for: "t if m" itself while its m-subsets fit in memory.
  Guarantee counted = g;
  if (sets > options.maxSets) {
    // Beyond that, a wheel holding every t of the pool, which keeps "t if m" for any m, needs
    // only the t-subsets counted; it is larger, so it is built only when it can still fit in
    // the stakes list.
    counted = {g.t, g.t};
    if (Binomial(v, g.t) > options.maxSets ||
        (options.maxTickets > 0 && LowerBound(v, counted) > options.maxTickets)) {
      result.problem =
          InputProblem{TextId::TxtWheelTooLarge, {GuaranteeText(g), std::to_string(sets)}};
      return result;
    }
  }
  const Clock::time_point deadline = DeadlineAfter(start, options.seconds);
  const auto stopped = [&] {
    result.cancelled = options.cancel && options.cancel->load();
    result.timedOut = !result.cancelled;
    return result;
  };
  if (g.t == kTicketSize) {
    // Only the drawn six itself holds all six, so every six of the pool is a ticket; there are
    // no more of them than the bound, which passed the limit above.
    Watch watch(deadline, options.cancel);
    std::vector<uint8_t> indexes(static_cast<std::size_t>(v));
    for (int i = 0; i < v; ++i) indexes[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
    std::vector<Ticket> all;
    all.reserve(sets);
    bool cut = false;
    ForEachSubset(indexes.data(), v, kTicketSize, [&](const uint8_t* six) {
      if (cut || (cut = watch.stop(kTicketSize))) return;
      Ticket t;
      for (int i = 0; i < kTicketSize; ++i) t.push_back(pool[six[i]]);
      all.push_back(std::move(t));
    });
    if (cut) return stopped();
    const Check check = Confirm(pool, all, g, options, deadline);
    if (check == Check::Stopped) return stopped();
    if (check == Check::Fails) throw std::logic_error("the wheel of every six failed its check");
    result.greedySize = static_cast<int>(all.size());
    result.tickets = std::move(all);
    return result;
  }
  // A wheel made of two smaller ones, given a share of the time, for the search to start from.
  std::vector<Block> combined;
  if (counted == g && Combiner::Applies(v, g)) {
    constexpr double kCombineShare = 0.2;
    combined = Combiner(v, g, options, start, deadline)
                   .smallest(deadline == Clock::time_point::max()
                                 ? DeadlineAfter(start, 60.0)
                                 : DeadlineAfter(start, kCombineShare * options.seconds));
    if (options.cancel && options.cancel->load()) return stopped();
  }
  // Every run holds a count for each subset; the runs side by side stay within some 400 MB.
  int runs = ParallelThreads(options.threads);
  runs = static_cast<int>(
      std::clamp<uint64_t>(uint64_t{40'000'000} / std::max<uint64_t>(1, Binomial(v, counted.m)), 1,
                           static_cast<uint64_t>(runs)));
  Shared shared(runs, options.target, LowerBound(v, counted), deadline);
  // The other runs, each from a seed of its own: their greedy wheel, the construction, then the
  // search until the run here stops them. Only this thread reports and checks.
  std::vector<std::thread> workers;
  struct Joiner {
    Shared& shared;
    std::vector<std::thread>& workers;
    ~Joiner() {
      shared.halt.store(true);
      for (std::thread& w : workers) w.join();
    }
  } joiner{shared, workers};
  for (int run = 1; run < runs; ++run) {
    workers.emplace_back([&, run] {
      struct Arrive {
        Shared& shared;
        int run;
        ~Arrive() { shared.arrive(run); }
      } arrive{shared, run};
      try {
        Search search(pool, counted, options, start, run, shared);
        if (!search.first(combined)) return;
        std::vector<Block> best = search.blocks();
        shared.offer(search.run(), best);
        search.improve(best, deadline);
      } catch (const std::bad_alloc&) {
        // A run without the memory for its counts adds nothing; the others carry on.
      }
    });
  }

  Search search(pool, counted, options, start, 0, shared);
  search.reportFromHere();
  if (!search.first(combined)) return stopped();
  const std::vector<Block> greedy = search.blocks();
  const Clock::time_point checkStart = Clock::now();
  const Check greedyCheck = search.confirmed(greedy);
  if (greedyCheck == Check::Stopped) return stopped();
  if (greedyCheck == Check::Fails) {
    // The bookkeeping and the exact check disagree: a fault, never a wheel to offer.
    throw std::logic_error("the first wheel failed its exact check");
  }
  search.setChecked(greedy);
  search.report(deadline);
  // The search leaves room before the deadline for the exact check of what it finds, which
  // takes about as long as the check just made (the wheel found is smaller).
  const Clock::duration checkTime = Clock::now() - checkStart;
  const Clock::time_point searchUntil =
      deadline == Clock::time_point::max() ? deadline : deadline - 2 * checkTime;
  result.greedySize = static_cast<int>(greedy.size());
  std::vector<Block> best = greedy;
  shared.offer(search.run(), best);
  shared.until.store(searchUntil.time_since_epoch().count());
  search.improve(best, searchUntil);
  for (std::thread& w : workers) w.join();
  workers.clear();
  // Only a wheel that passes the exact check is offered; the greedy one already has. One whose
  // check is cut short by the deadline is not offered either.
  // The runs' smallest wheel, the first run's of a tie, whichever was checked while they ran.
  std::vector<Block> chosen = search.checked();
  std::vector<Block> smallest = shared.smallest(chosen.size() + 1);
  if (!smallest.empty() && smallest != chosen && search.confirmed(smallest) == Check::Holds)
    chosen = std::move(smallest);
  result.cancelled = search.cancelled();
  result.tickets = search.tickets(chosen);
  return result;
}

}  // namespace tallyra::wheels
