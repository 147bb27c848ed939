#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "parallel/WorkControl.h"

class QWidget;

namespace platform {

// The figures of a long task as its progress window shows them.
struct TaskFigures {
  int64_t done = 0;
  int64_t total = 0;  // 0: not known
  int64_t note = 0;   // a figure of the work's own
};

// What the progress window of a long task shows, and how.
struct TaskWindow {
  enum class Style {
    // After a second of work: a small window of fixed size over the owner, with the text and,
    // while a total is known, a bar of the share done (otherwise a bar that only shows that
    // work goes on). The user's input is held off every other window and the cursor is busy.
    AfterASecond,
    // At once: a window of its own, modal to the whole program, showing only what `describe`
    // makes (while a script answers the dialogs it is made but not shown); the owner is
    // disabled meanwhile.
    AtOnce,
  };
  QString title;
  QString text;
  // The line under the text (with AtOnce, the whole text), made of the figures; none when
  // empty.
  std::function<QString(const TaskFigures&)> describe;
  Style style = Style::AfterASecond;
};

// Carries a long task's figures from its worker thread to the GUI thread: the work runs on a
// thread of its own and its changes of the figures arrive here as queued signals, as many as
// the GUI thread has time for (a change while one is still on its way adds nothing).
class LongTask final : public QObject {
  Q_OBJECT
 public:
  explicit LongTask(tallyra::WorkControl& control);
  ~LongTask() override;

  // Starts `work` on its own thread and returns at once; `finished` follows its end.
  void start(std::function<void(tallyra::WorkControl&)> work);
  // Waits for the worker thread to end (after `finished`, at once); what the work threw, if
  // anything.
  std::exception_ptr join();
  bool running() const { return m_worker.joinable() && !m_ended.load(); }

 signals:
  void progressed(qint64 done, qint64 total, qint64 note);
  // Sent from the worker thread as the work ends; connect it queued (the default does that).
  void finished();

 private:
  TaskFigures figures() const;
  // Sends the figures to the GUI thread; called while `m_pending` is held.
  void post();

  tallyra::WorkControl& m_control;
  std::thread m_worker;
  std::exception_ptr m_failure;
  std::atomic<bool> m_ended{false};
  std::atomic<bool> m_pending{false};
};

// Runs `work` off the GUI thread and waits for it in one local event loop, showing the
// progress window `look` describes over `owner`. The window's Cancel (and anyone else holding
// `control`) cancels through `control`, which the work watches. Returns false when the work
// was cancelled. An exception thrown by the work is thrown again here.
bool RunLongTask(QWidget* owner, const TaskWindow& look, tallyra::WorkControl& control,
                 const std::function<void(tallyra::WorkControl&)>& work);

// The same with a control of its own and a window titled by its text.
bool RunLongTask(QWidget* owner, const QString& text,
                 const std::function<void(tallyra::WorkControl&)>& work);

}  // namespace platform
