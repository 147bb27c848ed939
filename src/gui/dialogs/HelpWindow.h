#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QLabel;

// The program's own help window: the help pages built into the program, in the interface
// language, with their contents beside them, back and forward, and a search within the page.
// It is used when the desktop has nothing that opens "help.chm".
class HelpWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* owner);

  // Shows the window at a page of a language (0 Russian, 1 English), e.g. "check.html"; the
  // contents are those of that language.
  void showPage(int32_t language, const QString& page);

  // Finds the next occurrence of the text in the shown page, from the top again once the end is
  // reached. False when the page does not hold it.
  bool findInPage(const QString& text);

  // The shown page: its address within the help, e.g. "en/check.html".
  QString currentPage() const;

  QTextBrowser* browser() const { return m_browser; }
  QTreeWidget* contents() const { return m_contents; }

 private:
  void fillContents(int32_t language);
  void followLink(const QUrl& link);
  void pageShown(const QUrl& shown);

  QTreeWidget* m_contents = nullptr;
  QTextBrowser* m_browser = nullptr;
  QToolButton* m_back = nullptr;
  QToolButton* m_forward = nullptr;
  QLabel* m_findLabel = nullptr;
  QLineEdit* m_find = nullptr;
  int32_t m_language = -1;
};
