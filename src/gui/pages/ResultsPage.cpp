#include "pages/ResultsPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>

#include "dialogs/ImportDialog.h"
#include "import/Importer.h"
#include "import/Merge.h"
#include "lists/ListEditing.h"
#include "lists/RecordReader.h"
#include "model/Files.h"
#include "model/Problem.h"
#include "model/Publisher.h"
#include "net/HttpClient.h"
#include "net/HttpsClient.h"
#include "pages/PageLayout.h"
#include "pages/RecordFile.h"
#include "platform/DialogScript.h"
#include "platform/FileDrop.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"
#include "winnings/Prizes.h"

using tallyra::CollationKind;
using tallyra::TextId;

namespace {

// The names the messages give the files; their paths come from the data folder.
constexpr const char* kResultsFile = tallyra::kResultsFileName;
// A download arrives here first; it replaces "Results.txt" only once it is whole and good.
constexpr const char* kPartialFile = tallyra::kPartialResultsFileName;
// The file it replaces is kept here, one generation deep.
constexpr const char* kBackupFile = "Results.txt.bak";
constexpr int32_t kIdleTimeOut = 30000;
// A server that trickles a byte now and then never runs into the idle time-out; a draw history
// arrives in seconds, so a download still going after this long is stopped.
constexpr int64_t kMaxDownloadMinutes = 10;
// A draw takes some 30 bytes; an answer this large is no draw history.
constexpr int64_t kMaxResultsBytes = int64_t{64} << 20;

// Copies "Results.txt", when there is one of at most `maxBytes`, to "Results.txt.bak" before
// it is replaced: the system error when the copy could not be made, and then nothing may
// replace it.
std::optional<int> BackUpResults(const tallyra::DataFiles& files,
                                 std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) {
  return tallyra::BackUpFile(files.path(kResultsFile), maxBytes);
}

}  // namespace

QString DefaultDownloadAddress() {
  return QStringLiteral("http://") + QString::fromLatin1(tallyra::publisher::kWebHost) +
         QString::fromLatin1(tallyra::publisher::kResultsPath);
}

ResultsPage::ResultsPage(QWidget* tab, tallyra::Workspace& ws, LanguageSource language,
                         const tallyra::DataFiles& files,
                         const platform::FileDialogOptions& openOptions)
    : QObject(tab),
      m_tab(tab),
      m_ws(ws),
      m_language(std::move(language)),
      m_files(files),
      m_openOptions(openOptions),
      m_downloadUrl(platform::ReadPreference(files, QStringLiteral("download/address"),
                                             DefaultDownloadAddress())) {
  if (m_downloadUrl.isEmpty()) m_downloadUrl = DefaultDownloadAddress();
  QWidget* panel = layout::Panel(tab);
  m_grid = layout::Grid(panel, "SGRes", 144, 8, 433, 297, std::vector<int>(7, 58));
  // A draw history dropped on the grid loads as Results > Load loads it.
  platform::AcceptFileDrops(m_grid,
                            [this](const QString& path) { Guarded([&] { loadPath(path); }); });
  m_withStakesButton = layout::Button(panel, "BitRes", 48, 312);
  m_withSystemButton = layout::Button(panel, "BitSys", 264, 312);
  m_withAllButton = layout::Button(panel, "BitAll", 480, 312);
  const std::pair<QPushButton*, CollationKind> collations[] = {
      {m_withStakesButton, CollationKind::StakesWithDraws},
      {m_withSystemButton, CollationKind::SystemWithDraws},
      {m_withAllButton, CollationKind::All}};
  for (const auto& collation : collations) {
    const CollationKind kind = collation.second;
    connect(collation.first, &QPushButton::clicked, this,
            [this, kind] { Guarded([&] { emit collateRequested(kind); }); });
  }
  // The grid reads its cells from the Workspace whenever it paints.
  const tallyra::Workspace& cells = m_ws;
  m_grid->model().setCellText([&cells](int row, int col) {
    return col == 0 ? QString::number(row) : QString::number(cells.ResultTable.cell[col][row]);
  });
}

template <typename F>
void ResultsPage::Guarded(F&& handler) {
  platform::RunHandler(owner(), std::forward<F>(handler));
}

QString ResultsPage::T(TextId id) const {
  return platform::Tr(id, m_language());
}

QWidget* ResultsPage::owner() const {
  return m_tab->window();
}

void ResultsPage::showPlainMessage(TextId id) {
  platform::ShowMessage(owner(), T(TextId::TxtAppTitle), T(id));
}

void ResultsPage::refresh() {
  if (m_ws.ResultCount == 0) return;
  emit countShown(m_ws.ResultCount);
  auto& grid = m_grid->model();
  grid.setGridRowCount(m_ws.ResultCount + 1);
  grid.setFilledRows(m_ws.ResultCount);
}

void ResultsPage::applyTexts() {
  auto& grid = m_grid->model();
  grid.setHeader(0, T(TextId::TxtColDraw));
  for (int c = 1; c <= 6; ++c) grid.setHeader(c, QStringLiteral("     ") + QString::number(c));
  m_withAllButton->setText(T(TextId::TxtCollateAll));
  m_withStakesButton->setText(T(TextId::TxtCollateStakes));
  m_withSystemButton->setText(T(TextId::TxtCollateSystem));
}

void ResultsPage::loadStartup() {
  const tallyra::FileText file =
      tallyra::ReadWholeFile(m_files.path(kResultsFile), tallyra::kMaxListFileBytes);
  // Only a file that cannot be read gets the plain start-up message; one that is too large
  // is explained as on any load.
  if (!file.ok && file.error != tallyra::kFileTooLarge) {
    showPlainMessage(TextId::TxtResultsLoadFailed);
    return;
  }
  QString notice;
  pages::ApplyRecordFile(owner(), m_language(), QString::fromLatin1(kResultsFile), file,
                         tallyra::TableRef::of(m_ws.ResultTable), m_ws.ResultCount, true, notice);
  if (!notice.isEmpty()) {
    emit listChanged();
    pages::ShowLoadNotice(owner(), m_language(), notice);
  }
}

void ResultsPage::load() {
  if (!platform::AskYesNo(owner(), T(TextId::TxtCapLoadResults), T(TextId::TxtAskLoadResults))) {
    return;
  }
  tallyra::ClearRows(tallyra::TableRef::of(m_ws.ResultTable), m_ws.ResultCount, m_ws.BallsPerStake);
  platform::FileDialogOptions open = m_openOptions;
  open.fileName = QString::fromLatin1(kResultsFile);
  readPath(platform::GetOpenFileName(owner(), m_files, open));
}

void ResultsPage::loadPath(const QString& path) {
  if (!platform::AskYesNo(owner(), T(TextId::TxtCapLoadResults), T(TextId::TxtAskLoadResults))) {
    return;
  }
  tallyra::ClearRows(tallyra::TableRef::of(m_ws.ResultTable), m_ws.ResultCount, m_ws.BallsPerStake);
  readPath(path);
}

void ResultsPage::readPath(const std::optional<QString>& path) {
  QString notice;
  if (path) {
    // Whatever goes wrong with the file is shown there; the grid below then shows the table
    // as it really is.
    pages::LoadRecordFile(owner(), m_language(), *path, tallyra::TableRef::of(m_ws.ResultTable),
                          m_ws.ResultCount, true, notice);
  }
  emit listChanged();
  if (m_ws.ResultCount == 0) {
    m_grid->model().setGridRowCount(2);
    m_grid->model().setFilledRows(0);
    emit countShown(0);
  }
  emit drawsLoaded();
  pages::ShowLoadNotice(owner(), m_language(), notice);
}

void ResultsPage::download() {
  // The address comes from Options (or preferences.ini); only http:// and https:// are tried.
  if (tallyra::TWebClient::SchemeOf(m_downloadUrl.toStdString()) ==
      tallyra::TWebClient::Scheme::Other) {
    platform::ShowMessage(
        owner(), T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(TextId::TxtDownloadBadAddress, m_ws.Language,
                                          {m_downloadUrl.toStdString()})));
    return;
  }
  tallyra::TWebClient client;
  // Certificates trusted besides the system's, for a server with a CA of its own.
  client.CaFile = m_files.resolve(
      platform::ReadPreference(m_files, QStringLiteral("download/caFile")).toStdString());
  client.TimeOut = kIdleTimeOut;
  client.MaxTime = kMaxDownloadMinutes * 60 * 1000;
  client.InputFileMode = true;
  client.Body = m_files.path(kPartialFile);
  client.MaxBody = kMaxResultsBytes;

  // The window stays painted but takes no input; the progress window is the only way in.
  QWidget* window = owner();
  window->setEnabled(false);
  QProgressDialog progress(T(TextId::TxtMenuResults).remove(u'&'), QString(), 0, 0);
  progress.setWindowTitle(T(TextId::TxtAppTitle));
  progress.setCancelButtonText(QProgressDialog::tr("Cancel"));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(0);
  progress.setLabelText(
      QString::fromUtf8(tallyra::Format(TextId::TxtDownloadReceived, m_ws.Language, {"0"})));
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
        tallyra::Format(TextId::TxtDownloadReceived, m_ws.Language, {std::to_string(bytes)})));
  };

  auto finish = [&] {
    progress.close();
    QFile::remove(platform::DataPath(m_files, kPartialFile));
    window->setEnabled(true);
  };
  auto say = [&](TextId id, std::initializer_list<std::string> args) {
    platform::ShowMessage(window, T(TextId::TxtAppTitle),
                          QString::fromUtf8(tallyra::Format(id, m_ws.Language, args)));
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
  } catch (const tallyra::ETimeLimit&) {
    finish();
    if (!cancelled) say(TextId::TxtDownloadTimeLimit, {std::to_string(kMaxDownloadMinutes)});
    return;
  } catch (const tallyra::ESocketError&) {
    finish();
    // A cancel is the user's own doing and needs no message.
    if (!cancelled) showPlainMessage(TextId::TxtConnectFailed);
    return;
  } catch (const tallyra::ProblemError& e) {
    // The partial file could not be written; the message names it as it always did.
    finish();
    platform::ShowProblem(window, m_files.named(e.problem(), kPartialFile), m_ws.Language);
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
  const tallyra::FileText fetched = tallyra::ReadWholeFile(m_files.path(kPartialFile));
  if (!fetched.ok) {
    finish();
    platform::ShowProblem(window, {TextId::TxtCannotOpen, {kPartialFile}, 0, fetched.error},
                          m_ws.Language);
    return;
  }
  {
    const auto scratch = std::make_unique<tallyra::ResultTableT>();
    int32_t draws = 0;
    const tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
        fetched.data, tallyra::TableRef::of(*scratch), draws, tallyra::OverflowRule::KeepLatest);
    if (!outcome.ok() || draws == 0) {
      // A history in another shape (a publisher's CSV, a dated list) goes through the preview.
      tallyra::ImportOptions asHistory;
      asHistory.highestNumber = m_ws.HighestNumber;
      if (tallyra::ImportList(fetched.data, asHistory).ok()) {
        finish();
        importData(fetched.data, QString::fromLatin1(kResultsFile));
        return;
      }
    }
    if (!outcome.ok()) {
      finish();
      say(TextId::TxtDownloadNotResults, {tallyra::DescribeReadOutcome(outcome, m_ws.Language)});
      return;
    }
    if (draws == 0) {
      finish();
      say(TextId::TxtDownloadNoDraws, {});
      return;
    }
  }

  // The file about to be replaced is kept; without that copy nothing is replaced.
  if (const std::optional<int> failure = BackUpResults(m_files)) {
    finish();
    platform::ShowProblem(window, {TextId::TxtCannotWrite, {kBackupFile}, 0, *failure},
                          m_ws.Language);
    return;
  }
  if (std::rename(m_files.path(kPartialFile).c_str(), m_files.path(kResultsFile).c_str()) != 0) {
    const int err = errno;
    finish();
    platform::ShowProblem(window, {TextId::TxtCannotWrite, {kResultsFile}, 0, err}, m_ws.Language);
    return;
  }
  finish();
  load();
}

void ResultsPage::importFile() {
  const auto picked = pages::PickImportFile(owner(), m_ws.Language, m_files, m_openOptions,
                                            pages::ImportKind::Draws);
  if (picked) importData(picked->first, picked->second);
}

void ResultsPage::importData(std::string data, const QString& name) {
  QWidget* window = owner();
  const int32_t language = m_ws.Language;
  ImportDialog dialog(window, m_language);
  const std::optional<tallyra::ImportResult> imported =
      dialog.preview(std::move(data), tallyra::ImportKind::Results, m_ws.HighestNumber, name);
  if (!imported) return;

  // The held draws, oldest first, and the new ones.
  std::vector<tallyra::DrawNumbers> held;
  for (int32_t row = 1; row <= m_ws.ResultCount; ++row) {
    tallyra::DrawNumbers draw{};
    for (int c = 1; c <= 6; ++c)
      draw[static_cast<std::size_t>(c - 1)] = m_ws.ResultTable.cell[c][row];
    held.push_back(draw);
  }
  std::vector<tallyra::DrawNumbers> incoming;
  for (const tallyra::ImportedRow& row : imported->rows) {
    tallyra::DrawNumbers draw{};
    std::copy_n(row.numbers.begin(), 6, draw.begin());
    incoming.push_back(draw);
  }
  tallyra::MergeOutcome merge = tallyra::MergeDraws(held, incoming);
  const bool replaced = merge.kind == tallyra::MergeOutcome::Kind::NoOverlap;
  if (replaced) {
    if (!platform::AskYesNo(window, T(TextId::TxtCapLoadResults), T(TextId::TxtMergeNoOverlap))) {
      return;
    }
    merge = tallyra::MergeDraws({}, incoming);
  }
  const QString told = QString::fromUtf8(tallyra::DescribeMerge(merge, language));
  if (merge.kind == tallyra::MergeOutcome::Kind::NothingNew) {
    platform::ShowMessage(window, T(TextId::TxtAppTitle), told);
    return;
  }

  tallyra::ImportResult merged;
  for (const tallyra::DrawNumbers& draw : merge.draws) {
    tallyra::ImportedRow row;
    row.size = 6;
    std::copy(draw.begin(), draw.end(), row.numbers.begin());
    merged.rows.push_back(row);
  }
  const std::string text = tallyra::FormatImported(merged, tallyra::ImportKind::Results);

  // The file about to be replaced is kept; without that copy nothing is replaced. The new file
  // takes the old one's place whole or not at all.
  if (const std::optional<int> failure = BackUpResults(m_files, tallyra::kMaxListFileBytes)) {
    platform::ShowProblem(window, {TextId::TxtCannotWrite, {kBackupFile}, 0, *failure}, language);
    return;
  }
  if (const std::optional<int> failure =
          tallyra::WriteFileReplacing(m_files.path(kResultsFile), text)) {
    platform::ShowProblem(window, {TextId::TxtCannotWrite, {kResultsFile}, 0, *failure}, language);
    return;
  }

  // The draws as a load of the new file gives them, then the grids and statistics as after
  // Results > Load.
  tallyra::ClearTable(tallyra::TableRef::of(m_ws.ResultTable), m_ws.ResultCount,
                      m_ws.BallsPerStake);
  tallyra::ReadRecordLines(text, tallyra::TableRef::of(m_ws.ResultTable), m_ws.ResultCount,
                           tallyra::OverflowRule::KeepLatest);
  emit listChanged();
  emit drawsLoaded();
  QString prizesNote;
  if (const int kept = carryDrawPrizes(merge, imported->rows, replaced); kept > 0) {
    prizesNote =
        QStringLiteral("\n") + QString::fromUtf8(tallyra::Format(TextId::TxtImportPrizesKept,
                                                                 language, {std::to_string(kept)}));
  }
  platform::ShowMessage(window, T(TextId::TxtAppTitle), told + prizesNote);
}

int ResultsPage::carryDrawPrizes(const tallyra::MergeOutcome& merge,
                                 const std::vector<tallyra::ImportedRow>& rows, bool replaced) {
  // The amounts of draws that paid their own are kept by the draw's position, so they move
  // with the draws; a file that does not read is left for the user to mend.
  int kept = 0;
  if (const tallyra::Problem problem = tallyra::CarryPrizeFile(
          m_files.path(tallyra::kPrizeTableFileName), merge, rows, replaced, kept)) {
    platform::ShowProblem(owner(), m_files.named(problem, tallyra::kPrizeTableFileName),
                          m_ws.Language);
    return 0;
  }
  return kept;
}
