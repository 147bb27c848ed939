#pragma once

#include <QString>
#include <cstdint>

class QDialog;
class QWidget;

namespace tallyra {
struct Problem;
}

namespace platform {

// A plain message with an OK button.
void ShowMessage(QWidget* owner, const QString& caption, const QString& text);

// A question with Yes and No. Only Yes answers true: closing the box cancels like No.
bool AskYesNo(QWidget* owner, const QString& caption, const QString& text);

// Shows one of the program's own dialogs modally and returns when it is closed.
void ExecModal(QDialog& dialog);

// The error display for anything a handler did not catch.
void ShowError(QWidget* owner, const QString& caption, const QString& text);

// A problem reported by the core, told in `language` as an error with the program's title.
void ShowProblem(QWidget* owner, const tallyra::Problem& problem, int32_t language);

}  // namespace platform
