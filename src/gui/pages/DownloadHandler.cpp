// Results > From Internet: the draw history fetched from the publisher's site.

#include <QCoreApplication>
#include <QFile>
#include <QProgressDialog>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "import/Importer.h"
#include "lists/RecordReader.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "net/HttpClient.h"
#include "net/HttpsClient.h"
#include "platform/DialogScript.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace {

constexpr const char* kResultsFile = "Results.txt";
// The body arrives here first; it replaces "Results.txt" only once it is whole and good.
constexpr const char* kPartialFile = "Results.txt.download";
// The file it replaces is kept here, one generation deep.
constexpr const char* kBackupFile = "Results.txt.bak";
constexpr int32_t kIdleTimeOut = 30000;
// A draw takes some 30 bytes; an answer this large is no draw history.
constexpr int64_t kMaxResultsBytes = int64_t{64} << 20;

}  // namespace

void MainWindow::downloadResults() {
  // The address comes from Options (or preferences.ini); only http:// and https:// are tried.
  if (tallyra::TWebClient::SchemeOf(m_downloadUrl.toStdString()) ==
      tallyra::TWebClient::Scheme::Other) {
    platform::ShowMessage(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(TextId::TxtDownloadBadAddress, m_ws->Language,
                                          {m_downloadUrl.toStdString()})));
    return;
  }
  tallyra::TWebClient client;
  // Certificates trusted besides the system's, for a server with a CA of its own.
  client.CaFile = platform::ReadPreference(QStringLiteral("download/caFile")).toStdString();
  client.TimeOut = kIdleTimeOut;
  client.InputFileMode = true;
  client.Body = kPartialFile;
  client.MaxBody = kMaxResultsBytes;

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
  auto say = [&](TextId id, std::initializer_list<std::string> args) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle),
                          QString::fromUtf8(tallyra::Format(id, m_ws->Language, args)));
  };
  try {
    client.FetchToFile(m_downloadUrl.toStdString());
  } catch (const tallyra::ETooLarge& e) {
    finish();
    if (cancelled) return;
    if (e.part == tallyra::ETooLarge::Part::Header) {
      say(TextId::TxtDownloadHeaderTooLarge, {std::to_string(e.limit >> 10)});
    } else {
      say(TextId::TxtDownloadTooLarge, {std::to_string(e.limit >> 20)});
    }
    return;
  } catch (const tallyra::ECertificateError& e) {
    finish();
    if (!cancelled) say(TextId::TxtDownloadCertificate, {e.what()});
    return;
  } catch (const tallyra::ESocketError&) {
    finish();
    // A cancel is the user's own doing and needs no message.
    if (!cancelled) showPlainMessage(TextId::TxtConnectFailed);
    return;
  } catch (...) {
    finish();
    throw;
  }
  if (client.StatusCode < 200 || client.StatusCode > 299) {
    finish();
    say(TextId::TxtDownloadStatus, {std::to_string(client.StatusCode)});
    return;
  }
  if (!client.BodyComplete()) {
    finish();
    say(TextId::TxtDownloadIncomplete,
        {std::to_string(client.ContentLength), std::to_string(client.BodySize)});
    return;
  }

  // Only a draw history, read as a load would read it, may take the old file's place.
  const tallyra::FileText fetched = tallyra::ReadWholeFile(kPartialFile);
  if (!fetched.ok) {
    finish();
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotOpen, m_ws->Language,
                        {kPartialFile, tallyra::DescribeFileError(fetched.error, m_ws->Language)}));
  }
  {
    const auto scratch = std::make_unique<tallyra::ResultTableT>();
    int32_t draws = 0;
    const tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
        fetched.data, tallyra::TableRef::of(*scratch), draws, tallyra::OverflowRule::KeepLatest);
    if (!outcome.ok() || draws == 0) {
      // A history in another shape (a publisher's CSV, a dated list) goes through the preview.
      tallyra::ImportOptions asHistory;
      asHistory.highestNumber = m_ws->HighestNumber;
      if (tallyra::ImportList(fetched.data, asHistory).ok()) {
        finish();
        importResultsData(fetched.data, QString::fromLatin1(kResultsFile));
        return;
      }
    }
    if (!outcome.ok()) {
      finish();
      say(TextId::TxtDownloadNotResults, {tallyra::DescribeReadOutcome(outcome, m_ws->Language)});
      return;
    }
    if (draws == 0) {
      finish();
      say(TextId::TxtDownloadNoDraws, {});
      return;
    }
  }

  // The file about to be replaced is kept; without that copy nothing is replaced.
  if (QFile::exists(QString::fromLatin1(kResultsFile))) {
    const tallyra::FileText old = tallyra::ReadWholeFile(kResultsFile);
    const std::optional<int> failure =
        old.ok ? tallyra::WriteFileReplacing(kBackupFile, old.data) : std::optional(old.error);
    if (failure) {
      finish();
      throw tallyra::UserError(
          tallyra::Format(TextId::TxtCannotWrite, m_ws->Language,
                          {kBackupFile, tallyra::DescribeFileError(*failure, m_ws->Language)}));
    }
  }
  if (std::rename(kPartialFile, kResultsFile) != 0) {
    const int err = errno;
    finish();
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, m_ws->Language,
                        {kResultsFile, tallyra::DescribeFileError(err, m_ws->Language)}));
  }
  finish();
  loadResults();
}
