#pragma once

// One way to spread a range of work over threads, shared by the collations, the winnings and
// the wheel checks.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace tallyra {

struct ParallelOptions {
  int threads = 0;    // workers at most; 0 or less: the machine's cores, 1 to 8
  int64_t grain = 1;  // indexes in a chunk
  const std::atomic<bool>* cancel = nullptr;  // looked at before each chunk is taken
};

// The threads asked for, or the machine's cores clamped to 1..8.
int ParallelThreads(int wanted);

// How many workers a range gets: one per chunk at most, and at least one. Worker indexes given
// to a body are below this, so per-worker accumulators can be sized with it.
int ParallelWorkers(int64_t n, const ParallelOptions& options);

// Called with a chunk [begin, end) and the index of the worker running it.
using ParallelBody = std::function<void(int64_t begin, int64_t end, int worker)>;

// Runs `body` over [0, n) in chunks of `grain` indexes. Workers take the chunks one at a time,
// in increasing order, from a shared counter, so a slow chunk never holds back the others; the
// calling thread is worker 0. Once the cancel flag is set, or a body has thrown, no chunk is
// started any more. Returns after every worker has stopped; the first exception a body threw
// is then thrown again here.
void ParallelFor(int64_t n, const ParallelOptions& options, const ParallelBody& body);

// What the calling thread is given while the workers run.
class ParallelWatch {
 public:
  virtual ~ParallelWatch() = default;
  // Waits until every worker has stopped, for `most` at most; true once they all have.
  virtual bool waitFor(std::chrono::milliseconds most) = 0;
};

// As ParallelFor, but every worker is a thread of its own and the calling thread runs `beside`
// meanwhile (to consume what the workers make, or to report progress). The workers are waited
// for once `beside` returns or throws; an exception from `beside` is thrown again after that
// unless a body threw first. Whatever the workers may wait for, `beside` must release before it
// returns.
void ParallelForBeside(int64_t n, const ParallelOptions& options, const ParallelBody& body,
                       const std::function<void(ParallelWatch&)>& beside);

}  // namespace tallyra
