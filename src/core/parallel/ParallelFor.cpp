#include "parallel/ParallelFor.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tallyra {
namespace {

class Run final : public ParallelWatch {
 public:
  Run(int64_t n, const ParallelOptions& options, const ParallelBody& body)
      : m_n(n),
        m_grain(std::max<int64_t>(1, options.grain)),
        m_chunks(n > 0 ? (n - 1) / m_grain + 1 : 0),
        m_cancel(options.cancel),
        m_body(body) {}

  int64_t chunks() const { return m_chunks; }

  void work(int worker) {
    try {
      for (;;) {
        if (m_failed.load(std::memory_order_relaxed)) break;
        if (m_cancel && m_cancel->load(std::memory_order_relaxed)) break;
        const int64_t chunk = m_next.fetch_add(1);
        if (chunk >= m_chunks) break;
        const int64_t begin = chunk * m_grain;
        m_body(begin, std::min(m_n, begin + m_grain), worker);
      }
    } catch (...) {
      fail(std::current_exception());
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    --m_running;
    m_stopped.notify_all();
  }

  void fail(std::exception_ptr failure) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_failure) m_failure = std::move(failure);
    m_failed.store(true, std::memory_order_relaxed);
  }

  // Starts workers first..last-1 on threads of their own; false if the system refused one.
  bool start(int first, int last) {
    m_running = last - first;
    m_threads.reserve(static_cast<std::size_t>(last - first));
    try {
      for (int w = first; w < last; ++w) m_threads.emplace_back(&Run::work, this, w);
    } catch (...) {
      // The workers that did start take no further chunk.
      fail(std::current_exception());
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_running -= last - first - static_cast<int>(m_threads.size());
      return false;
    }
    return true;
  }

  void join() {
    for (auto& t : m_threads) t.join();
    m_threads.clear();
  }

  void rethrow() {
    if (m_failure) std::rethrow_exception(m_failure);
  }

  bool waitFor(std::chrono::milliseconds most) override {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_stopped.wait_for(lock, most, [&] { return m_running == 0; });
  }

 private:
  const int64_t m_n;
  const int64_t m_grain;
  const int64_t m_chunks;
  const std::atomic<bool>* m_cancel;
  const ParallelBody& m_body;
  // The counter every take writes, on a cache line of its own, away from what the workers read.
  alignas(64) std::atomic<int64_t> m_next{0};
  alignas(64) std::atomic<bool> m_failed{false};
  std::mutex m_mutex;
  std::condition_variable m_stopped;
  int m_running = 0;
  std::exception_ptr m_failure;
  std::vector<std::thread> m_threads;
};

}  // namespace

int ParallelThreads(int wanted) {
  if (wanted > 0) return wanted;
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
}

int ParallelWorkers(int64_t n, const ParallelOptions& options) {
  const int64_t grain = std::max<int64_t>(1, options.grain);
  const int64_t chunks = n > 0 ? (n - 1) / grain + 1 : 0;
  return static_cast<int>(std::clamp<int64_t>(chunks, 1, ParallelThreads(options.threads)));
}

void ParallelFor(int64_t n, const ParallelOptions& options, const ParallelBody& body) {
  if (n <= 0) return;
  Run run(n, options, body);
  const int workers = ParallelWorkers(n, options);
  if (run.start(1, workers)) run.work(0);
  run.join();
  run.rethrow();
}

void ParallelForBeside(int64_t n, const ParallelOptions& options, const ParallelBody& body,
                       const std::function<void(ParallelWatch&)>& beside) {
  Run run(n, options, body);
  // Nothing is left for `beside` to wait for once a worker could not start: it is not called.
  if (run.start(0, run.chunks() > 0 ? ParallelWorkers(n, options) : 0)) {
    try {
      beside(run);
    } catch (...) {
      run.fail(std::current_exception());
    }
  }
  run.join();
  run.rethrow();
}

}  // namespace tallyra
