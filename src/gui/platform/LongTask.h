#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

class QWidget;

namespace platform {

// How far a long task has got, set by the work as it goes; a total of 0 means unknown.
struct TaskProgress {
  std::atomic<int64_t> done{0};
  std::atomic<int64_t> total{0};
};

// Runs `work` on a worker thread while the window keeps repainting: user input is held off
// and the cursor is busy; if the work lasts over a second a small modal window of fixed size,
// titled `title`, with the text and a Cancel button appears. Cancel sets the flag the work
// watches. Returns false when the work was cancelled. An exception thrown by the work is thrown
// again here.
//
// With `progress`, the window shows a bar of the share done and, below the text, what
// `describe` makes of the figures; without it, a bar that only shows that work goes on.
bool RunLongTask(QWidget* window, const QString& title, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work,
                 TaskProgress* progress = nullptr,
                 const std::function<QString(int64_t done, int64_t total)>& describe = {});

// The same, titled by the text.
bool RunLongTask(QWidget* window, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work);

}  // namespace platform
