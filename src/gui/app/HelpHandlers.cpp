// Help, the About box, the options dialog and the banner's link, as the main window opens them.

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
  // The help file opens as it always did where the desktop has a program for it; elsewhere the
  // program's own help window shows the same pages.
  if (platform::DesktopOpensHelpFiles()) {
    platform::OpenWithDesktop(QString(), QStringLiteral("help.chm"), 9);
    return;
  }
  if (!m_helpWindow) m_helpWindow = new HelpWindow(this);
  m_helpWindow->showPage(m_ws->Language, helpPageOfCurrentTab());
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
