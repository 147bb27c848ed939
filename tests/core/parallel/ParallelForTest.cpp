#include "parallel/ParallelFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tallyra {
namespace {

// Runs the range once and tells how often each index was given to a body; a worker index out
// of range fails the test.
std::vector<int> Visits(int64_t n, const ParallelOptions& options, bool beside) {
  const auto counts = std::make_unique<std::atomic<int>[]>(static_cast<std::size_t>(n) + 1);
  const int workers = ParallelWorkers(n, options);
  std::atomic<bool> badWorker{false};
  const ParallelBody body = [&](int64_t begin, int64_t end, int worker) {
    if (worker < 0 || worker >= workers || begin >= end || end - begin > options.grain) {
      badWorker = true;
    }
    for (int64_t i = begin; i < end; ++i) ++counts[static_cast<std::size_t>(i)];
  };
  if (beside) {
    ParallelForBeside(n, options, body, [](ParallelWatch& watch) {
      while (!watch.waitFor(std::chrono::milliseconds(10))) {
      }
    });
  } else {
    ParallelFor(n, options, body);
  }
  EXPECT_FALSE(badWorker) << "n " << n << ", threads " << options.threads;
  std::vector<int> visits;
  for (int64_t i = 0; i < n; ++i) visits.push_back(counts[static_cast<std::size_t>(i)]);
  return visits;
}

TEST(ParallelFor, EveryIndexIsGivenOnceWhateverTheThreadsAndChunks) {
  for (const int64_t n : {0, 1, 2, 3, 7, 8, 31, 32, 33, 1000}) {
    for (const int threads : {0, 1, 2, 3, 8, 13}) {
      for (const int64_t grain : {1, 3, 31}) {
        for (const bool beside : {false, true}) {
          const std::vector<int> visits =
              Visits(n, ParallelOptions{threads, grain, nullptr}, beside);
          EXPECT_EQ(visits, std::vector<int>(static_cast<std::size_t>(n), 1))
              << "n " << n << ", threads " << threads << ", grain " << grain;
        }
      }
    }
  }
  // No more workers than chunks, and at least one.
  EXPECT_EQ(ParallelWorkers(0, ParallelOptions{4, 1, nullptr}), 1);
  EXPECT_EQ(ParallelWorkers(2, ParallelOptions{4, 1, nullptr}), 2);
  EXPECT_EQ(ParallelWorkers(100, ParallelOptions{4, 31, nullptr}), 4);
  EXPECT_EQ(ParallelWorkers(62, ParallelOptions{4, 31, nullptr}), 2);
  EXPECT_GE(ParallelThreads(0), 1);
  EXPECT_LE(ParallelThreads(0), 8);
  EXPECT_EQ(ParallelThreads(12), 12);
}

TEST(ParallelFor, ACancelStopsTheChunksNotYetTaken) {
  for (const int threads : {1, 2, 4}) {
    std::atomic<bool> cancel{false};
    std::atomic<int> ran{0};
    const ParallelOptions options{threads, 1, &cancel};
    // The first chunk cancels; the chunks already taken meanwhile wait for that, so each
    // worker holds at most one when the flag goes up.
    ParallelFor(10000, options, [&](int64_t begin, int64_t, int) {
      ++ran;
      if (begin == 0) {
        cancel = true;
      } else {
        while (!cancel) std::this_thread::yield();
      }
    });
    EXPECT_GE(ran.load(), 1);
    EXPECT_LE(ran.load(), ParallelWorkers(10000, options)) << "threads " << threads;
  }
}

TEST(ParallelFor, TheFirstExceptionReachesTheCallerAfterTheWorkersStop) {
  for (const int threads : {1, 3}) {
    std::atomic<int> ran{0};
    try {
      ParallelFor(500, ParallelOptions{threads, 1, nullptr}, [&](int64_t begin, int64_t, int) {
        ++ran;
        if (begin == 0) throw std::runtime_error("chunk 0");
      });
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "chunk 0");
    }
    if (threads == 1) {
      EXPECT_EQ(ran.load(), 1);  // nothing is started after the throw
    }
  }

  // From a worker while the calling thread waits beside, and from what runs beside.
  EXPECT_THROW(ParallelForBeside(
                   50, ParallelOptions{2, 1, nullptr},
                   [](int64_t begin, int64_t, int) {
                     if (begin == 7) throw std::out_of_range("chunk 7");
                   },
                   [](ParallelWatch& watch) {
                     while (!watch.waitFor(std::chrono::milliseconds(10))) {
                     }
                   }),
               std::out_of_range);
  std::atomic<int> ran{0};
  EXPECT_THROW(ParallelForBeside(
                   50, ParallelOptions{2, 1, nullptr}, [&](int64_t, int64_t, int) { ++ran; },
                   [](ParallelWatch&) { throw std::logic_error("beside"); }),
               std::logic_error);
  EXPECT_LE(ran.load(), 50);
}

}  // namespace
}  // namespace tallyra
