#include "platform/LongTask.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressDialog>
#include <QThread>
#include <algorithm>
#include <exception>
#include <memory>
#include <thread>

namespace platform {
namespace {

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

}  // namespace

bool RunLongTask(QWidget* window, const QString& title, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work,
                 TaskProgress* progress, const std::function<QString(int64_t, int64_t)>& describe) {
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work(cancel);
    } catch (...) {
      failure = std::current_exception();
    }
    done.store(true);
  });

  constexpr int kSteps = 1000;
  auto label = [&](int64_t part, int64_t total) {
    return describe ? text + QLatin1Char('\n') + describe(part, total) : text;
  };
  InputBlocker blocker(nullptr);
  qApp->installEventFilter(&blocker);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<QProgressDialog> dialog;
  QElapsedTimer clock;
  clock.start();
  while (!done.load()) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    const int64_t total = progress ? progress->total.load() : 0;
    if (!dialog && clock.elapsed() > 1000) {
      dialog = std::make_unique<QProgressDialog>(label(total, total), QString(), 0,
                                                 total > 0 ? kSteps : 0, window);
      dialog->setWindowTitle(title);
      // Not modal: the input blocker already holds the user's input off the other windows, and
      // a modal window would make the window system's close request for the main window be
      // dropped before the main window could turn it into a cancel.
      dialog->setWindowModality(Qt::NonModal);
      dialog->setAutoReset(false);
      dialog->setAutoClose(false);
      dialog->setCancelButtonText(QProgressDialog::tr("Cancel"));
      dialog->setMinimumDuration(0);
      // Sized for the longest figures it will show, and kept so.
      dialog->setFixedSize(dialog->sizeHint());
      QObject::connect(dialog.get(), &QProgressDialog::canceled, dialog.get(),
                       [&cancel] { cancel.store(true); });
      blocker.allow(dialog.get());
      dialog->show();
    }
    if (dialog && total > 0) {
      const int64_t part = std::clamp<int64_t>(progress->done.load(), 0, total);
      if (dialog->maximum() != kSteps) dialog->setRange(0, kSteps);
      dialog->setValue(
          static_cast<int>(static_cast<double>(part) / static_cast<double>(total) * kSteps));
      dialog->setLabelText(label(part, total));
    }
    if (!done.load()) QThread::msleep(2);
  }
  worker.join();
  QApplication::restoreOverrideCursor();
  qApp->removeEventFilter(&blocker);
  if (failure) std::rethrow_exception(failure);
  return !cancel.load();
}

bool RunLongTask(QWidget* window, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work) {
  return RunLongTask(window, text, text, work);
}

}  // namespace platform
