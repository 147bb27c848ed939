#include "wheels/Verifier.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <thread>

#include "parallel/ParallelFor.h"

namespace tallyra::wheels {
namespace {

// The subset examined is walked depth first in lexical order of pool indexes. Each pool number
// has a bitmap over the tickets that hold it; at every depth d the walk keeps, for k = 1..d,
// the bitmap of tickets holding at least k of the chosen numbers. The largest k with a
// non-empty bitmap is the best any ticket does on the subset, which answers "t if m" for every
// t at once.

struct Witness {
  uint8_t m;
  uint8_t best;
  std::array<uint8_t, kTicketSize> index;
};

// Words of ticket bitmaps the walk goes through between two looks at the clock: some
// milliseconds of work, and more than any small check needs in all.
constexpr uint64_t kClockStep = uint64_t{1} << 24;

struct JobResult {
  std::vector<Witness> witnesses;  // in lexical order for each m
};

class Walker {
 public:
  Walker(int v, int maxM, int words, const std::vector<uint64_t>& bitmaps, int witnessLimit,
         const std::atomic<bool>* cancel, std::chrono::steady_clock::time_point deadline,
         std::atomic<bool>& timeUp)
      : m_v(v),
        m_maxM(maxM),
        m_words(words),
        m_bitmaps(bitmaps),
        m_witnessLimit(witnessLimit),
        m_cancel(cancel),
        m_deadline(deadline),
        m_timeUp(timeUp),
        m_reach(static_cast<std::size_t>((kTicketSize + 1) * (kTicketSize + 2) * words), 0) {
    m_ones.assign(static_cast<std::size_t>(words), 0);
    for (int w = 0; w < words; ++w) {
      for (int x = 0; x < v; ++x) m_ones[static_cast<std::size_t>(w)] |= bitmap(x)[w];
    }
  }

  // Walks the subtree of the pair (a, b).
  void run(int a, int b, JobResult& out) {
    m_out = &out;
    m_counts = {};
    uint64_t* level1 = reach(1, 0);
    std::copy(m_ones.begin(), m_ones.end(), level1);
    uint64_t* r1 = reach(1, 1);
    std::copy(bitmap(a), bitmap(a) + m_words, r1);
    m_chosen[0] = static_cast<uint8_t>(a);
    const int best1 = Any(r1) ? 1 : 0;
    const int best2 = extend(1, best1, b);
    m_chosen[1] = static_cast<uint8_t>(b);
    visit(2, best2);
  }

  // True once the caller cancelled or the time is up (for every walker, whichever saw it).
  bool stopped() {
    if (m_timeUp.load(std::memory_order_relaxed)) return true;
    if (m_cancel && m_cancel->load(std::memory_order_relaxed)) return true;
    if (m_work >= m_nextClock) {
      m_nextClock = m_work + kClockStep;
      if (std::chrono::steady_clock::now() >= m_deadline) {
        m_timeUp.store(true, std::memory_order_relaxed);
        return true;
      }
    }
    return false;
  }

  std::array<std::array<uint64_t, kTicketSize + 1>, kTicketSize + 1> histogram{};

 private:
  const uint64_t* bitmap(int x) const {
    return m_bitmaps.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(m_words);
  }
  uint64_t* reach(int depth, int k) {
    return m_reach.data() + static_cast<std::size_t>(depth * (kTicketSize + 2) + k) *
                                static_cast<std::size_t>(m_words);
  }
  bool Any(const uint64_t* a) const {
    for (int w = 0; w < m_words; ++w)
      if (a[w]) return true;
    return false;
  }
  bool AnyAnd(const uint64_t* a, const uint64_t* b) const {
    for (int w = 0; w < m_words; ++w)
      if (a[w] & b[w]) return true;
    return false;
  }

  // Fills depth + 1 from depth by adding pool index x; returns the best intersection there.
  int extend(int depth, int best, int x) {
    const uint64_t* bx = bitmap(x);
    const int next = depth + 1;
    int found = 0;
    for (int k = next; k >= 1; --k) {
      uint64_t* dst = reach(next, k);
      const uint64_t* below = reach(depth, k - 1);
      uint64_t seen = 0;
      if (k <= depth) {
        const uint64_t* same = reach(depth, k);
        for (int w = 0; w < m_words; ++w) seen |= dst[w] = same[w] | (below[w] & bx[w]);
      } else {
        for (int w = 0; w < m_words; ++w) seen |= dst[w] = below[w] & bx[w];
      }
      if (seen && !found) found = k;
    }
    uint64_t* zero = reach(next, 0);
    std::copy(m_ones.begin(), m_ones.end(), zero);
    return std::max(found, best);
  }

  void record(int m, int best) {
    // The walk never goes deeper than a ticket; saying so keeps the optimiser's bounds checks
    // (which follow the recursion further than it goes) quiet.
    if (m < 0 || m > kTicketSize || best < 0 || best > kTicketSize) return;
    m_work += static_cast<uint64_t>(m_words);
    ++histogram[static_cast<std::size_t>(m)][static_cast<std::size_t>(best)];
    if (best < m) {
      auto& seen = m_counts[static_cast<std::size_t>(m)][static_cast<std::size_t>(best)];
      if (seen < m_witnessLimit) {
        ++seen;
        Witness w{static_cast<uint8_t>(m), static_cast<uint8_t>(best), {}};
        std::copy(m_chosen.begin(), m_chosen.begin() + m, w.index.begin());
        m_out->witnesses.push_back(w);
      }
    }
  }

  void visit(int depth, int best) {
    record(depth, best);
    if (depth == m_maxM) return;
    if (depth == 3 && stopped()) return;
    const int first = m_chosen[static_cast<std::size_t>(depth - 1)] + 1;
    if (depth + 1 == m_maxM) {
      // The last level only needs the best count, found from the level above.
      for (int x = first; x < m_v; ++x) {
        const uint64_t* bx = bitmap(x);
        int leafBest = best;
        for (int k = depth; k >= best; --k) {
          if (AnyAnd(reach(depth, k), bx)) {
            leafBest = k + 1;
            break;
          }
        }
        m_chosen[static_cast<std::size_t>(depth)] = static_cast<uint8_t>(x);
        record(depth + 1, leafBest);
      }
      return;
    }
    for (int x = first; x < m_v; ++x) {
      const int childBest = extend(depth, best, x);
      m_chosen[static_cast<std::size_t>(depth)] = static_cast<uint8_t>(x);
      visit(depth + 1, childBest);
    }
  }

  int m_v;
  int m_maxM;
  int m_words;
  const std::vector<uint64_t>& m_bitmaps;
  int m_witnessLimit;
  const std::atomic<bool>* m_cancel;
  std::chrono::steady_clock::time_point m_deadline;
  std::atomic<bool>& m_timeUp;
  uint64_t m_work = 0;
  uint64_t m_nextClock = kClockStep;
  std::vector<uint64_t> m_reach;
  std::vector<uint64_t> m_ones;
  std::array<uint8_t, kTicketSize> m_chosen{};
  std::array<std::array<int, kTicketSize + 1>, kTicketSize + 1> m_counts{};
  JobResult* m_out = nullptr;
};

}  // namespace

const CoverageRow* Coverage::find(Guarantee g) const {
  for (const CoverageRow& row : rows)
    if (row.guarantee == g) return &row;
  return nullptr;
}

Coverage Verify(const std::vector<int32_t>& poolIn, const std::vector<Ticket>& tickets,
                const VerifyOptions& options) {
  Coverage result;
  // A pool is a set of numbers in 1..kMaxPool; anything else in the list is left out.
  for (const int32_t n : poolIn)
    if (n >= 1 && n <= kMaxPool) result.pool.push_back(n);
  std::sort(result.pool.begin(), result.pool.end());
  result.pool.erase(std::unique(result.pool.begin(), result.pool.end()), result.pool.end());
  result.tickets = static_cast<int>(tickets.size());
  const std::vector<int32_t>& pool = result.pool;
  const int v = static_cast<int>(pool.size());
  const int maxM = std::min({kTicketSize, v, options.maxM});

  std::array<int, kMaxPool + 1> indexOf{};
  indexOf.fill(-1);
  for (int i = 0; i < v; ++i) {
    const int32_t n = pool[static_cast<std::size_t>(i)];
    if (n >= 1 && n <= kMaxPool) indexOf[static_cast<std::size_t>(n)] = i;
  }
  const int words = std::max<int>(1, static_cast<int>((tickets.size() + 63) / 64));
  std::vector<uint64_t> bitmaps(static_cast<std::size_t>(v) * static_cast<std::size_t>(words), 0);
  for (std::size_t t = 0; t < tickets.size(); ++t) {
    bool outside = false;
    for (const int32_t n : tickets[t]) {
      const int i = n >= 1 && n <= kMaxPool ? indexOf[static_cast<std::size_t>(n)] : -1;
      if (i < 0) {
        outside = true;
        continue;
      }
      bitmaps[static_cast<std::size_t>(i) * static_cast<std::size_t>(words) + t / 64] |=
          uint64_t{1} << (t % 64);
    }
    if (outside) ++result.outsidePool;
  }

  // One job per pair of first indexes, in lexical order, weighted by its subtree's size.
  struct Job {
    int a, b;
    uint64_t weight;
  };
  std::vector<Job> jobs;
  uint64_t totalWeight = 0;
  if (maxM >= 2) {
    for (int a = 0; a < v; ++a) {
      for (int b = a + 1; b < v; ++b) {
        uint64_t weight = 0;
        for (int k = 0; k <= maxM - 2; ++k) weight += Binomial(v - 1 - b, k);
        jobs.push_back({a, b, weight});
        totalWeight += weight;
      }
    }
  }
  std::vector<JobResult> jobResults(jobs.size());

  std::atomic<uint64_t> doneWeight{0};
  std::atomic<bool> timeUp{false};
  const auto cancelled = [&] {
    return timeUp.load() || (options.cancel && options.cancel->load(std::memory_order_relaxed));
  };
  // By default every core of the machine, not at most eight as elsewhere: the walk is pure
  // arithmetic on small bitmaps, with no memory traffic for more threads to share.
  const ParallelOptions parallel{
      options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency()),
      1, options.cancel};
  // A walker per worker, made by the worker itself on its first job.
  std::vector<std::unique_ptr<Walker>> walkers(
      static_cast<std::size_t>(ParallelWorkers(static_cast<int64_t>(jobs.size()), parallel)));
  const ParallelBody walk = [&](int64_t j, int64_t, int worker) {
    auto& walker = walkers[static_cast<std::size_t>(worker)];
    if (!walker) {
      walker = std::make_unique<Walker>(v, maxM, words, bitmaps, options.witnesses, options.cancel,
                                        options.deadline, timeUp);
    }
    if (walker->stopped()) return;
    const Job& job = jobs[static_cast<std::size_t>(j)];
    walker->run(job.a, job.b, jobResults[static_cast<std::size_t>(j)]);
    doneWeight.fetch_add(job.weight, std::memory_order_relaxed);
  };
  const auto jobCount = static_cast<int64_t>(jobs.size());
  if (!options.progress) {
    ParallelFor(jobCount, parallel, walk);
  } else {
    const auto report = [&] {
      options.progress(totalWeight ? static_cast<double>(doneWeight.load()) /
                                         static_cast<double>(totalWeight)
                                   : 1.0);
    };
    ParallelForBeside(jobCount, parallel, walk, [&](ParallelWatch& watch) {
      while (!watch.waitFor(std::chrono::milliseconds(50))) report();
      report();
    });
  }
  std::array<std::array<uint64_t, kTicketSize + 1>, kTicketSize + 1> histogram{};
  for (const auto& walker : walkers) {
    if (!walker) continue;
    for (std::size_t m = 0; m < histogram.size(); ++m)
      for (std::size_t k = 0; k < histogram[m].size(); ++k)
        histogram[m][k] += walker->histogram[m][k];
  }
  result.cancelled = cancelled();

  for (int m = 2; m <= maxM; ++m) {
    for (int t = 2; t <= m; ++t) {
      CoverageRow row;
      row.guarantee = {t, m};
      row.total = Binomial(v, m);
      for (int k = t; k <= m; ++k)
        row.covered += histogram[static_cast<std::size_t>(m)][static_cast<std::size_t>(k)];
      for (const JobResult& job : jobResults) {
        for (const Witness& w : job.witnesses) {
          if (static_cast<int>(row.witnesses.size()) >= options.witnesses) break;
          if (w.m != m || w.best >= t) continue;
          std::vector<int32_t> numbers;
          for (int i = 0; i < m; ++i) numbers.push_back(pool[w.index[static_cast<std::size_t>(i)]]);
          row.witnesses.push_back(std::move(numbers));
        }
        if (static_cast<int>(row.witnesses.size()) >= options.witnesses) break;
      }
      result.rows.push_back(std::move(row));
    }
  }
  return result;
}

std::string CoveragePercent(uint64_t covered, uint64_t total) {
  if (total == 0) return "0.00";
  covered = std::min(covered, total);
  // Long division, one decimal at a time, so that no product can overflow.
  uint64_t hundredths = covered / total;
  uint64_t rest = covered % total;
  for (int digit = 0; digit < 4; ++digit) {
    // rest < total, but rest * 10 may not fit: the next digit is the count of times that ten
    // additions of rest pass total.
    uint64_t d = 0;
    uint64_t r = 0;
    for (int i = 0; i < 10; ++i) {
      if (r >= total - rest) {
        r -= total - rest;
        ++d;
      } else {
        r += rest;
      }
    }
    hundredths = hundredths * 10 + d;
    rest = r;
  }
  // Half up: the rest is at least half of the total.
  if (rest >= total - rest) ++hundredths;
  if (covered < total && hundredths >= 10000) hundredths = 9999;
  std::string text = std::to_string(hundredths / 100) + ".";
  const uint64_t cents = hundredths % 100;
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  return text;
}

}  // namespace tallyra::wheels
