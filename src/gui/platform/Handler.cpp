#include "platform/Handler.h"

#include <QString>
#include <new>
#include <utility>

#include "model/Problem.h"
#include "model/Workspace.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

namespace platform {

namespace {

// Set by the main window for as long as it lives; only the GUI thread reads or changes it.
std::function<int32_t()>& WindowLanguage() {
  static std::function<int32_t()> language;
  return language;
}

// The longest piece of an unknown exception's text shown: enough for any sentence, short
// enough that a message box stays on the screen.
constexpr std::size_t kMaxShownChars = 400;

constexpr int32_t kRussian = tallyra::ToValue(tallyra::Language::Russian);
constexpr int32_t kEnglish = tallyra::ToValue(tallyra::Language::English);

}  // namespace

void SetEscapedErrorLanguage(std::function<int32_t()> language) {
  WindowLanguage() = std::move(language);
}

void ReportEscapedError(QWidget* owner, const std::exception* error) {
  const std::function<int32_t()>& language = WindowLanguage();
  if (const auto* problem = dynamic_cast<const tallyra::ProblemError*>(error)) {
    if (language) {
      ShowProblem(owner, problem->problem(), language());
    } else {
      ShowError(owner, QStringLiteral("Tallyra"),
                QString::fromStdString(tallyra::Describe(problem->problem(), kRussian) + "\n" +
                                       tallyra::Describe(problem->problem(), kEnglish)));
    }
    return;
  }
  // Running out of memory is told in words. Before the window knows its language (or after it
  // is gone) that is done in both languages.
  if (dynamic_cast<const std::bad_alloc*>(error)) {
    ShowError(owner, QStringLiteral("Tallyra"),
              language ? Tr(tallyra::TextId::TxtCommandOutOfMemory, language())
                       : Tr(tallyra::TextId::TxtOutOfMemory, kRussian) + QStringLiteral("\n") +
                             Tr(tallyra::TextId::TxtOutOfMemory, kEnglish));
    return;
  }
  // Anything else may carry bytes from a file or the network: they are shown escaped.
  ShowError(
      owner, QStringLiteral("Tallyra"),
      error ? QString::fromStdString(tallyra::Excerpt(error->what(), kMaxShownChars)) : QString());
}

}  // namespace platform
