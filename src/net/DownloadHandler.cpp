// Results > From Internet: the draw history fetched from the publisher's site.

#include <QCoreApplication>
#include <QFile>
#include <QProgressDialog>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/MainForm.h"
#include "model/Errors.h"
#include "net/HttpClient.h"
#include "platform/DialogScript.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace {

constexpr const char* kResultsFile = "Results.txt";
// The body arrives here first; it replaces "Results.txt" only once it is whole and good.
constexpr const char* kPartialFile = "Results.txt.download";
constexpr int32_t kIdleTimeOut = 30000;

}  // namespace

void TMainForm::N42Click() {
  tallyra::THttpClient client;
  client.TimeOut = kIdleTimeOut;
  client.InputFileMode = true;
  client.Body = kPartialFile;

  // The window stays painted but takes no input; the progress window is the only way in.
  setEnabled(false);
  QProgressDialog progress(T(TextId::TxtMenuResults).remove(u'&'), QString(), 0, 0);
  progress.setWindowTitle(T(TextId::TxtAppTitle));
  progress.setCancelButtonText(QProgressDialog::tr("Cancel"));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(0);
  progress.setLabelText(
      QString::fromUtf8(tallyra::Format(TextId::TxtDownloadReceived, m_ws->Language, {"0"})));
  if (!platform::DialogScript::active()) progress.show();
  bool cancelled = false;
  client.WaitHook = [&] {
    QCoreApplication::processEvents();
    if (progress.wasCanceled() && !cancelled) {
      cancelled = true;
      client.Cancel();
    }
  };
  client.Progress = [&](int64_t bytes) {
    progress.setLabelText(QString::fromUtf8(
        tallyra::Format(TextId::TxtDownloadReceived, m_ws->Language, {std::to_string(bytes)})));
  };

  auto finish = [&] {
    progress.close();
    QFile::remove(QString::fromLatin1(kPartialFile));
    setEnabled(true);
  };
  try {
    client.FetchToFile(m_downloadUrl.toStdString());
  } catch (const tallyra::ESocketError&) {
    finish();
    // A cancel is the user's own doing and needs no message.
    if (!cancelled) ShowPlainMessage(TextId::TxtConnectFailed);
    return;
  } catch (...) {
    finish();
    throw;
  }
  if (client.StatusCode < 200 || client.StatusCode > 299) {
    finish();
    platform::ShowMessage(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(TextId::TxtDownloadStatus, m_ws->Language,
                                          {std::to_string(client.StatusCode)})));
    return;
  }
  if (std::rename(kPartialFile, kResultsFile) != 0) {
    const int err = errno;
    finish();
    throw tallyra::UserError(tallyra::Format(TextId::TxtCannotWrite, m_ws->Language,
                                             {kResultsFile, std::strerror(err)}));
  }
  finish();
  N10Click();
}
