#include "platform/LongTask.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/DialogScript.h"

namespace platform {
namespace {

// The bar's steps while a total is known.
constexpr int kSteps = 1000;
// Work that ends within this long shows no progress window at all.
constexpr int kShowAfterMs = 1000;
// How often the window's own cancelled state is looked at.
constexpr int kCancelLookMs = 10;

// Swallows the user's input everywhere but in the progress window.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(QWidget* allowed) : m_allowed(allowed) {}
  void allow(QWidget* allowed) { m_allowed = allowed; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::Close: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (m_allowed && widget && (widget == m_allowed || m_allowed->isAncestorOf(widget))) {
          return false;
        }
        return watched->isWidgetType();
      }
      default:
        return false;
    }
  }

 private:
  QWidget* m_allowed;
};

QString Label(const TaskWindow& look, const TaskFigures& figures) {
  if (!look.describe) return look.text;
  if (look.style == TaskWindow::Style::AtOnce) return look.describe(figures);
  return look.text + QLatin1Char('\n') + look.describe(figures);
}

// The progress window of a long task and what it holds off while the task runs: made when the
// style says, fed with the figures as they arrive, and gone (with all it held off given back)
// when it is destroyed.
class ProgressWindow final {
 public:
  ProgressWindow(QWidget* owner, const TaskWindow& look, tallyra::WorkControl& control)
      : m_owner(owner), m_look(look), m_control(control), m_blocker(nullptr) {
    if (m_look.style == TaskWindow::Style::AtOnce) {
      // The window stays painted but takes no input; the progress window is the only way in.
      if (m_owner) m_owner->setEnabled(false);
      m_dialog = std::make_unique<QProgressDialog>(m_look.text, QString(), 0, 0);
      m_dialog->setWindowTitle(m_look.title);
      m_dialog->setCancelButtonText(QProgressDialog::tr("Cancel"));
      m_dialog->setWindowModality(Qt::ApplicationModal);
      m_dialog->setMinimumDuration(0);
      m_dialog->setLabelText(Label(m_look, m_figures));
      connectCancel();
      if (!DialogScript::active()) m_dialog->show();
      return;
    }
    qApp->installEventFilter(&m_blocker);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~ProgressWindow() {
    if (m_look.style == TaskWindow::Style::AtOnce) {
      m_dialog->close();
      m_dialog.reset();
      if (m_owner) m_owner->setEnabled(true);
      return;
    }
    m_dialog.reset();
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(&m_blocker);
  }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // The work has run long enough to be shown.
  void show() {
    if (m_dialog) return;
    const int64_t total = m_figures.total;
    // Sized for the longest figures it will show, and kept so.
    TaskFigures longest = m_figures;
    longest.done = total;
    m_dialog = std::make_unique<QProgressDialog>(Label(m_look, longest), QString(), 0,
                                                 total > 0 ? kSteps : 0, m_owner);
    m_dialog->setWindowTitle(m_look.title);
    // Not modal: the input blocker already holds the user's input off the other windows, and
    // a modal window would make the window system's close request for the main window be
    // dropped before the main window could turn it into a cancel.
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setCancelButtonText(QProgressDialog::tr("Cancel"));
    m_dialog->setMinimumDuration(0);
    m_dialog->setFixedSize(m_dialog->sizeHint());
    connectCancel();
    m_blocker.allow(m_dialog.get());
    m_dialog->show();
    showFigures();
  }

  void progressed(const TaskFigures& figures) {
    m_figures = figures;
    if (m_dialog) showFigures();
  }

 private:
  void connectCancel() {
    tallyra::WorkControl* control = &m_control;
    QProgressDialog* dialog = m_dialog.get();
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [control] { control->Cancel(); });
    // QProgressDialog::cancel() called directly, not through the button, sends no signal; the
    // cancelled state it leaves is looked at on the GUI thread's clock.
    auto* look = new QTimer(dialog);
    QObject::connect(look, &QTimer::timeout, dialog, [control, dialog] {
      if (dialog->wasCanceled()) control->Cancel();
    });
    look->start(kCancelLookMs);
  }
  void showFigures() {
    if (m_look.style == TaskWindow::Style::AtOnce) {
      m_dialog->setLabelText(Label(m_look, m_figures));
      return;
    }
    const int64_t total = m_figures.total;
    if (total <= 0) return;
    TaskFigures shown = m_figures;
    shown.done = std::clamp<int64_t>(m_figures.done, 0, total);
    if (m_dialog->maximum() != kSteps) m_dialog->setRange(0, kSteps);
    m_dialog->setValue(
        static_cast<int>(static_cast<double>(shown.done) / static_cast<double>(total) * kSteps));
    m_dialog->setLabelText(Label(m_look, shown));
  }

  QPointer<QWidget> m_owner;
  const TaskWindow& m_look;
  tallyra::WorkControl& m_control;
  InputBlocker m_blocker;
  TaskFigures m_figures;
  std::unique_ptr<QProgressDialog> m_dialog;
};

}  // namespace

LongTask::LongTask(tallyra::WorkControl& control) : m_control(control) {}

LongTask::~LongTask() {
  // Only a caller that left before the end gets here with the work running: it is stopped.
  if (m_worker.joinable()) {
    m_control.Cancel();
    m_worker.join();
  }
  m_control.SetListener({});
}

void LongTask::start(std::function<void(tallyra::WorkControl&)> work) {
  m_control.SetListener([this] {
    if (!m_pending.exchange(true)) post();
  });
  m_worker = std::thread([this, work = std::move(work)] {
    try {
      work(m_control);
    } catch (...) {
      m_failure = std::current_exception();
    }
    m_ended.store(true);
    emit finished();
  });
}

std::exception_ptr LongTask::join() {
  if (m_worker.joinable()) m_worker.join();
  m_control.SetListener({});
  return std::exchange(m_failure, nullptr);
}

TaskFigures LongTask::figures() const {
  return {m_control.Done(), m_control.Total(), m_control.Note()};
}

void LongTask::post() {
  // The figures travel as they were when they changed, so the first change after a quiet spell
  // is shown as it was, however late the GUI thread gets to it (a flood does not wait); the
  // changes meanwhile follow in the next post, until the window has caught up.
  const TaskFigures sent = figures();
  QMetaObject::invokeMethod(
      this,
      [this, sent] {
        emit progressed(sent.done, sent.total, sent.note);
        m_pending.store(false);
        const TaskFigures now = figures();
        const bool changed =
            now.done != sent.done || now.total != sent.total || now.note != sent.note;
        if (changed && !m_pending.exchange(true)) post();
      },
      Qt::QueuedConnection);
}

bool RunLongTask(QWidget* owner, const TaskWindow& look, tallyra::WorkControl& control,
                 const std::function<void(tallyra::WorkControl&)>& work) {
  std::exception_ptr failure;
  {
    ProgressWindow window(owner, look, control);
    LongTask task(control);
    QObject::connect(&task, &LongTask::progressed, &task,
                     [&window](qint64 done, qint64 total, qint64 note) {
                       window.progressed({done, total, note});
                     });
    QTimer showLater;
    if (look.style == TaskWindow::Style::AfterASecond) {
      const DialogScript* script = DialogScript::active();
      showLater.setSingleShot(true);
      QObject::connect(&showLater, &QTimer::timeout, &showLater, [&window] { window.show(); });
      showLater.start(script && script->progressAtOnce ? 0 : kShowAfterMs);
    }
    // The one place the GUI thread waits: it goes on painting and running timers here until
    // the work's end quits the loop.
    QEventLoop loop;
    QObject::connect(&task, &LongTask::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    task.start(work);
    loop.exec();
    // The loop also ends when the program is told to quit; the work is then stopped.
    if (task.running()) control.Cancel();
    failure = task.join();
  }
  if (failure) std::rethrow_exception(failure);
  return !control.Cancelled();
}

bool RunLongTask(QWidget* owner, const QString& text,
                 const std::function<void(tallyra::WorkControl&)>& work) {
  tallyra::WorkControl control;
  TaskWindow look;
  look.title = text;
  look.text = text;
  return RunLongTask(owner, look, control, work);
}

}  // namespace platform
