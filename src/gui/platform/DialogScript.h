#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QDialog;

namespace platform {

// Lets tests drive handlers end to end: while a script is active no dialog is shown, every
// message box and file dialog is recorded and answered from the queues (a question with no
// queued answer gets No, a file dialog with none is cancelled), and desktop opens are recorded.
struct AskedMessage {
  enum class Kind { Message, Question, Error };
  Kind kind;
  QString caption;
  QString text;
};

struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind;
  QString title;
  QString fileName;
  QStringList filters;
  QString defaultSuffix;
  bool confirmOverwrite;
  QString folder;  // where the dialog starts
};

struct ShellCall {
  QString verb;
  QString target;
  int showCommand;
  bool operator==(const ShellCall&) const = default;
};

class DialogScript {
 public:
  DialogScript();
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  void answerYes() { m_answers.push_back(true); }
  void answerNo() { m_answers.push_back(false); }
  void chooseFile(const QString& path) {
    m_files.push_back(path.isNull() ? QStringLiteral("") : path);
  }
  void cancelFile() { m_files.push_back(QString()); }
  // What the user does in the next modal dialog of the program's own; the dialog is shown
  // without a modal loop while this runs, and closed as by Esc if it is still open afterwards.
  void inNextDialog(std::function<void(QDialog&)> user) { m_dialogs.push_back(std::move(user)); }

  std::vector<AskedMessage> messages;
  std::vector<FileDialogRequest> fileDialogs;
  std::vector<ShellCall> opened;
  std::vector<QString> shownDialogs;  // object names of the program's own dialogs shown
  // Whether the desktop has a program for help files, as the help asks it.
  bool desktopOpensHelpFiles = true;
  // Whether a long task's progress window shows as the task starts rather than after a second,
  // so that a test can press its Cancel whatever the machine's speed.
  bool progressAtOnce = false;

  static DialogScript* active();

  bool nextAnswer();
  std::optional<QString> nextFile();
  std::function<void(QDialog&)> nextDialog();

 private:
  std::deque<bool> m_answers;
  std::deque<QString> m_files;  // a null string cancels
  std::deque<std::function<void(QDialog&)>> m_dialogs;
};

}  // namespace platform
