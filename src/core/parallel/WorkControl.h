#pragma once

// What a long piece of work and the one waiting for it share: the cancel the work watches, and
// the figures of how far it has got. Both sides may use it at once from their own threads.

#include <atomic>
#include <cstdint>
#include <functional>

namespace tallyra {

class WorkControl {
 public:
  WorkControl() = default;
  WorkControl(const WorkControl&) = delete;
  WorkControl& operator=(const WorkControl&) = delete;

  // Asks the work to stop; it stops at its next look at the flag.
  void Cancel() { m_cancel.store(true); }
  bool Cancelled() const { return m_cancel.load(); }
  // The flag itself, for the routines that look at nothing else.
  const std::atomic<bool>& CancelFlag() const { return m_cancel; }

  // How much there is to do (0: not known) and how much is done, in the work's own units.
  void SetTotal(int64_t total) {
    m_total.store(total);
    Changed();
  }
  void SetDone(int64_t done) {
    m_done.store(done);
    Changed();
  }
  void AddDone(int64_t more) {
    m_done.fetch_add(more);
    Changed();
  }
  // One more figure of the work's own, for the line under the progress window's text (the
  // smallest wheel found so far).
  void SetNote(int64_t note) {
    m_note.store(note);
    Changed();
  }
  int64_t Total() const { return m_total.load(); }
  int64_t Done() const { return m_done.load(); }
  int64_t Note() const { return m_note.load(); }

  // Called on the work's thread after each change of a figure, by whoever shows them; set it
  // before the work starts and clear it after the work has ended. It must be quick: the work
  // waits for it.
  void SetListener(std::function<void()> listener) { m_listener = std::move(listener); }

 private:
  void Changed() const {
    if (m_listener) m_listener();
  }

  std::atomic<bool> m_cancel{false};
  std::atomic<int64_t> m_total{0};
  std::atomic<int64_t> m_done{0};
  std::atomic<int64_t> m_note{0};
  std::function<void()> m_listener;
};

}  // namespace tallyra
