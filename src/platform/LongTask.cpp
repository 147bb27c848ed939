#include "platform/LongTask.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressDialog>
#include <QThread>
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

bool RunLongTask(QWidget* window, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work) {
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

  InputBlocker blocker(nullptr);
  qApp->installEventFilter(&blocker);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<QProgressDialog> progress;
  QElapsedTimer clock;
  clock.start();
  while (!done.load()) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!progress && clock.elapsed() > 1000) {
      progress = std::make_unique<QProgressDialog>(text, QString(), 0, 0, window);
      progress->setWindowModality(Qt::WindowModal);
      progress->setCancelButtonText(QProgressDialog::tr("Cancel"));
      progress->setMinimumDuration(0);
      QObject::connect(progress.get(), &QProgressDialog::canceled, progress.get(),
                       [&cancel] { cancel.store(true); });
      blocker.allow(progress.get());
      progress->show();
    }
    if (!done.load()) QThread::msleep(2);
  }
  worker.join();
  QApplication::restoreOverrideCursor();
  qApp->removeEventFilter(&blocker);
  if (failure) std::rethrow_exception(failure);
  return !cancel.load();
}

}  // namespace platform
