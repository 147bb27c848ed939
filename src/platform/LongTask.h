#pragma once

#include <QString>
#include <atomic>
#include <functional>

class QWidget;

namespace platform {

// Runs `work` on a worker thread while the window keeps repainting: user input is held off
// and the cursor is busy; if the work lasts over a second a small modal window with the text
// and a Cancel button appears. Cancel sets the flag the work watches. Returns false when the
// work was cancelled. An exception thrown by the work is thrown again here.
bool RunLongTask(QWidget* window, const QString& text,
                 const std::function<void(const std::atomic<bool>& cancel)>& work);

}  // namespace platform
