// Help, the About box, the options dialog and the banner's link, as the main window opens them.

#include "app/MainWindow.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "model/Publisher.h"
#include "pages/ResultsPage.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/Shell.h"

void MainWindow::openHelp() {
  platform::OpenWithDesktop(QString(), QStringLiteral("help.chm"), 9);
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
