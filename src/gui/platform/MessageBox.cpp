#include "platform/MessageBox.h"

#include <QDialog>
#include <QMessageBox>

#include "model/Problem.h"
#include "platform/DialogScript.h"
#include "platform/QtTexts.h"

namespace platform {
namespace {

DialogScript* g_script = nullptr;

QMessageBox::StandardButton Run(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, text, buttons, owner);
  box.setTextFormat(Qt::PlainText);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

DialogScript::DialogScript() {
  g_script = this;
}
DialogScript::~DialogScript() {
  g_script = nullptr;
}
DialogScript* DialogScript::active() {
  return g_script;
}

bool DialogScript::nextAnswer() {
  if (m_answers.empty()) return false;
  const bool yes = m_answers.front();
  m_answers.pop_front();
  return yes;
}

std::optional<QString> DialogScript::nextFile() {
  if (m_files.empty()) return std::nullopt;
  const QString file = m_files.front();
  m_files.pop_front();
  if (file.isNull()) return std::nullopt;
  return file;
}

std::function<void(QDialog&)> DialogScript::nextDialog() {
  if (m_dialogs.empty()) return {};
  std::function<void(QDialog&)> user = std::move(m_dialogs.front());
  m_dialogs.pop_front();
  return user;
}

void ExecModal(QDialog& dialog) {
  if (DialogScript* s = DialogScript::active()) {
    s->shownDialogs.push_back(dialog.objectName());
    const std::function<void(QDialog&)> user = s->nextDialog();
    dialog.show();
    if (user) user(dialog);
    if (dialog.isVisible()) dialog.reject();
    return;
  }
  dialog.exec();
}

void ShowMessage(QWidget* owner, const QString& caption, const QString& text) {
  if (DialogScript* s = DialogScript::active()) {
    s->messages.push_back({AskedMessage::Kind::Message, caption, text});
    return;
  }
  Run(owner, QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
}

bool AskYesNo(QWidget* owner, const QString& caption, const QString& text) {
  if (DialogScript* s = DialogScript::active()) {
    s->messages.push_back({AskedMessage::Kind::Question, caption, text});
    return s->nextAnswer();
  }
  return Run(owner, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void ShowError(QWidget* owner, const QString& caption, const QString& text) {
  if (DialogScript* s = DialogScript::active()) {
    s->messages.push_back({AskedMessage::Kind::Error, caption, text});
    return;
  }
  Run(owner, QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

void ShowProblem(QWidget* owner, const tallyra::Problem& problem, int32_t language) {
  ShowError(owner, Tr(tallyra::TextId::TxtAppTitle, language),
            QString::fromUtf8(tallyra::Describe(problem, language)));
}

}  // namespace platform
