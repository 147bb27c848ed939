#include "pages/ResultsPage.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

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
#include "platform/FileDrop.h"
#include "platform/Handler.h"
#include "platform/LongTask.h"
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

// What the user is told when a download ends short of a new history: a plain message, an error
// (a file that could not be read or written), or nothing (after the user's own cancel).
struct Told {
  enum class As { Nothing, Message, Error };
  As as = As::Nothing;
  tallyra::Problem problem;
};

Told Message(TextId id, std::vector<std::string> args = {}) {
  return {Told::As::Message, {id, std::move(args), 0, 0}};
}

Told FileError(TextId id, const std::string& file, int error) {
  return {Told::As::Error, {id, {file}, 0, error}};
}

void Tell(QWidget* window, const Told& told, int32_t language) {
  switch (told.as) {
    case Told::As::Nothing:
      return;
    case Told::As::Message:
      platform::ShowMessage(window, platform::Tr(TextId::TxtAppTitle, language),
                            QString::fromUtf8(tallyra::Describe(told.problem, language)));
      return;
    case Told::As::Error:
      platform::ShowProblem(window, told.problem, language);
      return;
  }
}

// How a download ended, and what follows it in the window.
struct DownloadEnd {
  enum class Then {
    Tell,     // the old history stays; `told` says why
    Preview,  // a history in another shape: `history` goes to the import preview
    Load,     // "Results.txt" is the new history, to be loaded
  };
  Then then = Then::Tell;
  Told told;
  std::string history;
};

DownloadEnd Stop(Told told) {
  return {DownloadEnd::Then::Tell, std::move(told), {}};
}

// The answer into the partial file; nothing when it arrived. The user's cancel ends it without
// a word, whatever the client made of it.
std::optional<Told> FetchPartial(tallyra::TWebClient& client, const std::string& url,
                                 const tallyra::DataFiles& files, tallyra::WorkControl& work) {
  client.WaitHook = [&client, &work] {
    if (work.Cancelled()) client.Cancel();
  };
  client.Progress = [&work](int64_t bytes) { work.SetDone(bytes); };
  try {
    client.FetchToFile(url);
  } catch (const tallyra::ETooLarge& e) {
    if (work.Cancelled()) return Told{};
    if (e.part == tallyra::ETooLarge::Part::Header) {
      return Message(TextId::TxtDownloadHeaderTooLarge, {std::to_string(e.limit >> 10)});
    }
    return Message(TextId::TxtDownloadTooLarge, {std::to_string(e.limit >> 20)});
  } catch (const tallyra::ECertificateError& e) {
    if (work.Cancelled()) return Told{};
    return Message(TextId::TxtDownloadCertificate, {e.what()});
  } catch (const tallyra::ETimeLimit&) {
    if (work.Cancelled()) return Told{};
    return Message(TextId::TxtDownloadTimeLimit, {std::to_string(kMaxDownloadMinutes)});
  } catch (const tallyra::ESocketError&) {
    if (work.Cancelled()) return Told{};
    return Message(TextId::TxtConnectFailed);
  } catch (const tallyra::ProblemError& e) {
    // The partial file could not be written; the message names it as it always did.
    return Told{Told::As::Error, files.named(e.problem(), kPartialFile)};
  }
  if (work.Cancelled()) return Told{};
  return std::nullopt;
}

// The server's answer as a whole: a success status, and every byte it announced.
std::optional<Told> CheckAnswer(const tallyra::FetchAnswer& answer) {
  if (answer.StatusCode < 200 || answer.StatusCode > 299) {
    return Message(TextId::TxtDownloadStatus, {std::to_string(answer.StatusCode)});
  }
  if (!answer.BodyComplete()) {
    return Message(TextId::TxtDownloadIncomplete,
                   {std::to_string(answer.ContentLength), std::to_string(answer.BodySize)});
  }
  return std::nullopt;
}

// Only a draw history, read as a load would read it, may take the old file's place; one in
// another shape (a publisher's CSV, a dated list) goes through the preview. Nothing when the
// partial file is a history in record lines.
std::optional<DownloadEnd> CheckHistory(const tallyra::DataFiles& files, int32_t language,
                                        int32_t highestNumber) {
  tallyra::FileText fetched = tallyra::ReadWholeFile(files.path(kPartialFile));
  if (!fetched.ok) return Stop(FileError(TextId::TxtCannotOpen, kPartialFile, fetched.error));
  const auto scratch = std::make_unique<tallyra::ResultTableT>();
  int32_t draws = 0;
  const tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
      fetched.data, tallyra::TableRef::of(*scratch), draws, tallyra::OverflowRule::KeepLatest);
  if (!outcome.ok() || draws == 0) {
    tallyra::ImportOptions asHistory;
    asHistory.highestNumber = highestNumber;
    if (tallyra::ImportList(fetched.data, asHistory).ok()) {
      return DownloadEnd{DownloadEnd::Then::Preview, {}, std::move(fetched.data)};
    }
  }
  if (!outcome.ok()) {
    return Stop(
        Message(TextId::TxtDownloadNotResults, {tallyra::DescribeReadOutcome(outcome, language)}));
  }
  if (draws == 0) return Stop(Message(TextId::TxtDownloadNoDraws));
  return std::nullopt;
}

// The file about to be replaced is kept; without that copy nothing is replaced.
std::optional<Told> ReplaceResults(const tallyra::DataFiles& files) {
  if (const std::optional<int> failure = BackUpResults(files)) {
    return FileError(TextId::TxtCannotWrite, kBackupFile, *failure);
  }
  if (std::rename(files.path(kPartialFile).c_str(), files.path(kResultsFile).c_str()) != 0) {
    return FileError(TextId::TxtCannotWrite, kResultsFile, errno);
  }
  return std::nullopt;
}

// The whole download, off the GUI thread: fetched into the partial file, checked, and put in
// the old file's place.
DownloadEnd DownloadResults(tallyra::TWebClient& client, const std::string& url,
                            const tallyra::DataFiles& files, int32_t language,
                            int32_t highestNumber, tallyra::WorkControl& work) {
  if (const auto told = FetchPartial(client, url, files, work)) return Stop(*told);
  if (const auto told = CheckAnswer(client)) return Stop(*told);
  if (auto end = CheckHistory(files, language, highestNumber)) return std::move(*end);
  // The last moment a cancel still keeps the old file.
  if (work.Cancelled()) return Stop({});
  if (const auto told = ReplaceResults(files)) return Stop(*told);
  return {DownloadEnd::Then::Load, {}, {}};
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
  const std::string url = m_downloadUrl.toStdString();
  if (tallyra::TWebClient::SchemeOf(url) == tallyra::TWebClient::Scheme::Other) {
    platform::ShowMessage(
        owner(), T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(TextId::TxtDownloadBadAddress, m_ws.Language, {url})));
    return;
  }
  tallyra::TWebClient client;
  // Certificates trusted besides the system's, for a server with a CA of its own.
  client.CaFile = m_files.resolve(
      platform::ReadPreference(m_files, QStringLiteral("download/caFile")).toStdString());
  client.TimeOut = kIdleTimeOut;
  client.MaxTime = kMaxDownloadMinutes * 60 * 1000;
  client.TargetPath = m_files.path(kPartialFile);
  client.MaxBody = kMaxResultsBytes;

  const int32_t language = m_ws.Language;
  const int32_t highestNumber = m_ws.HighestNumber;
  platform::TaskWindow look;
  look.style = platform::TaskWindow::Style::AtOnce;
  look.title = T(TextId::TxtAppTitle);
  look.text = T(TextId::TxtMenuResults).remove(u'&');
  look.describe = [language](const platform::TaskFigures& figures) {
    return QString::fromUtf8(
        tallyra::Format(TextId::TxtDownloadReceived, language, {std::to_string(figures.done)}));
  };
  tallyra::WorkControl control;
  DownloadEnd end;
  {
    // The one place that cleans up, however the download ends: the progress window closes and
    // the window takes input again as the task ends, and then the partial file goes (a good one
    // has taken the old file's place by then).
    const struct PartialFileRemover {
      const tallyra::DataFiles& files;
      ~PartialFileRemover() { QFile::remove(platform::DataPath(files, kPartialFile)); }
    } cleanUp{m_files};
    platform::RunLongTask(owner(), look, control, [&](tallyra::WorkControl& work) {
      end = DownloadResults(client, url, m_files, language, highestNumber, work);
    });
  }
  switch (end.then) {
    case DownloadEnd::Then::Tell:
      Tell(owner(), end.told, language);
      return;
    case DownloadEnd::Then::Preview:
      importData(std::move(end.history), QString::fromLatin1(kResultsFile));
      return;
    case DownloadEnd::Then::Load:
      load();
      return;
  }
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
      dialog.preview(std::move(data), tallyra::ImportKind::Results, m_ws.HighestNumber, name,
                     m_gameChoice ? m_gameChoice() : ImportDialog::GameChoice{});
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
