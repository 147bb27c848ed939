#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

namespace platform {

// The language escaped errors are told in: the main window gives its own while it lives, and
// takes it back (an empty function) when it goes; without one they are told in both languages.
void SetEscapedErrorLanguage(std::function<int32_t()> language);

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
