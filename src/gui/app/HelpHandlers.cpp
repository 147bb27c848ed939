// Help, the About box, the options dialog and the banner's link, as the main window opens them.

#include <QKeyEvent>
#include <QTabWidget>

#include "app/MainWindow.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/OptionsDialog.h"
#include "model/Publisher.h"
#include "pages/ResultsPage.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/Shell.h"

void MainWindow::openHelp() {
  openHelpAt(helpPageOfCurrentTab(), this);
}

void MainWindow::openHelpAt(const QString& page, QWidget* over) {
  // The help file opens as it always did where the desktop has a program for it; elsewhere the
  // program's own help window shows the same pages.
  if (platform::DesktopOpensHelpFiles()) {
    platform::OpenWithDesktop(QString(), QStringLiteral("help.chm"), 9);
    return;
  }
  // A modal dialog blocks every window but its own children, the window's help window too.
  if (over && over != this && over->isModal()) {
    auto* own = over->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!own) own = new HelpWindow(over);
    own->showPage(m_ws->Language, page);
    return;
  }
  if (!m_helpWindow) m_helpWindow = new HelpWindow(this);
  m_helpWindow->showPage(m_ws->Language, page);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && window != this) {
      const QString page = platform::HelpTopicOf(*window);
      if (!page.isEmpty()) {
        runGuarded([&] { openHelpAt(page, window); });
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::helpPageOfCurrentTab() const {
  const QWidget* tab = tabs->currentWidget();
  if (tab == stakesTab) return QStringLiteral("entering.html");
  if (tab == systemTab) return QStringLiteral("lists.html");
  if (tab == resultsTab) return QStringLiteral("files.html");
  if (tab == checkTab) return QStringLiteral("check.html");
  if (tab == statisticsTab) return QStringLiteral("statistics.html");
  return QStringLiteral("index.html");
}

void MainWindow::showAbout() {
  platform::ExecModal(*m_aboutDialog);
}

void MainWindow::showOptions() {
  m_optionsDialog->editSettings(
      m_ws->BallsPerStake, m_ws->HighestNumber,
      [this](std::optional<int32_t> highestNumber) {
        if (highestNumber) m_ws->HighestNumber = *highestNumber;
        writeSettings();
      },
      m_resultsPage->downloadUrl(),
      [this](const QString& address) {
        // Kept beside ini.tly, which stays as older versions wrote it.
        platform::WritePreference(QStringLiteral("download/address"), address);
        m_resultsPage->setDownloadUrl(address.isEmpty() ? DefaultDownloadAddress() : address);
      });
}

void MainWindow::openPublisherPage() {
  platform::OpenWithDesktop(
      QStringLiteral("open"),
      QString::fromLatin1(m_ws->Language == tallyra::ToValue(tallyra::Language::Russian)
                              ? tallyra::publisher::kPageRussian
                              : tallyra::publisher::kPageEnglish),
      1);
}
