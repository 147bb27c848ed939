#pragma once

#include <exception>
#include <utility>

class QWidget;

namespace platform {

// Shows the text of an exception that escaped a handler, the way the program reports every
// error nobody caught; the program then goes on.
void ReportEscapedError(QWidget* owner, const std::exception* error);

// Runs a handler; whatever it throws ends the handler and is shown in a message box.
template <typename F>
void RunHandler(QWidget* owner, F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    ReportEscapedError(owner, &e);
  } catch (...) {
    ReportEscapedError(owner, nullptr);
  }
}

}  // namespace platform
