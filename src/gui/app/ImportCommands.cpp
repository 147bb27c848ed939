// Results, Stakes and System > Import...: draw histories and stake lists in the shapes found in
// the wild, shown in the preview before anything is stored.

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>

#include "app/MainWindow.h"
#include "dialogs/ImportDialog.h"
#include "import/Importer.h"
#include "import/Merge.h"
#include "lists/ListEditing.h"
#include "lists/RecordReader.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "model/Publisher.h"
#include "pages/StatisticsPage.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

namespace {

constexpr const char* kResultsFile = "Results.txt";
// The file an import replaces is kept here, as the download keeps it.
constexpr const char* kBackupFile = "Results.txt.bak";

}  // namespace

QString DefaultDownloadAddress() {
  return QStringLiteral("http://") + QString::fromLatin1(tallyra::publisher::kWebHost) +
         QString::fromLatin1(tallyra::publisher::kResultsPath);
}

void MainWindow::addImportItems() {
  struct Item {
    QMenu* menu;
    const char* name;
    void (MainWindow::*handler)();
  };
  for (const Item& item : {Item{resultsMenu, "ImportResultsItem", &MainWindow::importResults},
                           Item{stakesMenu, "ImportStakesItem", &MainWindow::importStakes},
                           Item{systemMenu, "ImportSystemItem", &MainWindow::importSystemStakes}}) {
    QAction* action = item.menu->addAction(T(TextId::TxtMenuImport));
    action->setObjectName(QString::fromLatin1(item.name));
    connect(action, &QAction::triggered, this,
            [this, handler = item.handler] { runGuarded([&] { (this->*handler)(); }); });
    // The text follows the interface language: when the language is chosen (after the
    // window's own handler) and whenever the menu opens.
    const auto retext = [this, action] { action->setText(T(TextId::TxtMenuImport)); };
    connect(item.menu, &QMenu::aboutToShow, this, retext);
    for (QAction* language : {englishAction, russianAction}) {
      connect(language, &QAction::triggered, this, retext);
    }
  }
}

namespace {

// The file the user picks, read whole; nothing when the dialog is cancelled.
std::optional<std::pair<std::string, QString>> PickImportFile(MainWindow& window) {
  platform::FileDialogOptions open = window.openOptions;
  open.fileName = QString();
  open.filters = {QStringLiteral("*.txt *.csv *.tsv (*.txt *.csv *.tsv)"),
                  QStringLiteral("All files (*)")};
  const std::optional<QString> path = platform::GetOpenFileName(&window, open);
  if (!path) return std::nullopt;
  const std::string local = platform::ToLocalPath(*path);
  const tallyra::FileText file = tallyra::ReadWholeFile(local, tallyra::kMaxImportBytes);
  const int32_t language = window.workspace().Language;
  if (!file.ok) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotOpen, language,
                        {local, tallyra::DescribeFileError(file.error, language)}));
  }
  return std::make_pair(file.data, QFileInfo(*path).fileName());
}

}  // namespace

void MainWindow::importResults() {
  const auto picked = PickImportFile(*this);
  if (!picked) return;
  importResultsData(picked->first, picked->second);
}

void MainWindow::importResultsData(std::string data, const QString& name) {
  const int32_t language = m_ws->Language;
  ImportDialog dialog(this, [this] { return m_ws->Language; });
  const std::optional<tallyra::ImportResult> imported =
      dialog.preview(std::move(data), tallyra::ImportKind::Results, m_ws->HighestNumber, name);
  if (!imported) return;

  // The held draws, oldest first, and the new ones.
  std::vector<tallyra::DrawNumbers> held;
  for (int32_t row = 1; row <= m_ws->ResultCount; ++row) {
    tallyra::DrawNumbers draw{};
    for (int c = 1; c <= 6; ++c)
      draw[static_cast<std::size_t>(c - 1)] = m_ws->ResultTable.cell[c][row];
    held.push_back(draw);
  }
  std::vector<tallyra::DrawNumbers> incoming;
  for (const tallyra::ImportedRow& row : imported->rows) {
    tallyra::DrawNumbers draw{};
    std::copy_n(row.numbers.begin(), 6, draw.begin());
    incoming.push_back(draw);
  }
  tallyra::MergeOutcome merge = tallyra::MergeDraws(held, incoming);
  if (merge.kind == tallyra::MergeOutcome::Kind::NoOverlap) {
    if (!platform::AskYesNo(this, T(TextId::TxtCapLoadResults), T(TextId::TxtMergeNoOverlap))) {
      return;
    }
    merge = tallyra::MergeDraws({}, incoming);
  }
  const QString told = QString::fromUtf8(tallyra::DescribeMerge(merge, language));
  if (merge.kind == tallyra::MergeOutcome::Kind::NothingNew) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle), told);
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
  if (QFileInfo::exists(QString::fromLatin1(kResultsFile))) {
    const tallyra::FileText old = tallyra::ReadWholeFile(kResultsFile, tallyra::kMaxListFileBytes);
    const std::optional<int> failure =
        old.ok ? tallyra::WriteFileReplacing(kBackupFile, old.data) : std::optional(old.error);
    if (failure) {
      throw tallyra::UserError(
          tallyra::Format(TextId::TxtCannotWrite, language,
                          {kBackupFile, tallyra::DescribeFileError(*failure, language)}));
    }
  }
  if (const std::optional<int> failure = tallyra::WriteFileReplacing(kResultsFile, text)) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, language,
                        {kResultsFile, tallyra::DescribeFileError(*failure, language)}));
  }

  // The draws as a load of the new file gives them, then the grids and statistics as after
  // Results > Load.
  tallyra::ClearTable(tallyra::TableRef::of(m_ws->ResultTable), m_ws->ResultCount,
                      m_ws->BallsPerStake);
  tallyra::ReadRecordLines(text, tallyra::TableRef::of(m_ws->ResultTable), m_ws->ResultCount,
                           tallyra::OverflowRule::KeepLatest);
  refreshGrids();
  m_statisticsPage->compute();
  m_statisticsPage->show();
  platform::ShowMessage(this, T(TextId::TxtAppTitle), told);
}

void MainWindow::importStakes() {
  importStakeList(false);
}

void MainWindow::importSystemStakes() {
  importStakeList(true);
}

void MainWindow::importStakeList(bool system) {
  const auto picked = PickImportFile(*this);
  if (!picked) return;
  ImportDialog dialog(this, [this] { return m_ws->Language; });
  const std::optional<tallyra::ImportResult> imported = dialog.preview(
      picked->first, system ? tallyra::ImportKind::System : tallyra::ImportKind::Stakes,
      m_ws->HighestNumber, picked->second);
  if (!imported) return;

  const ListOfStakes list = system ? systemList() : stakesList();
  const int32_t language = m_ws->Language;
  const int incoming = static_cast<int>(imported->rows.size());
  bool append = false;
  if (list.count > 0) {
    append = platform::AskYesNo(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(TextId::TxtImportAskAppend, language,
                                          {std::to_string(incoming), std::to_string(list.count)})));
  }
  const int capacity = list.table.capacity();
  if (append && list.count + incoming > capacity) {
    platform::ShowMessage(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(
            TextId::TxtImportNoRoom, language,
            {std::to_string(list.count), std::to_string(capacity), std::to_string(incoming)})));
    return;
  }
  if (!append) tallyra::ClearTable(list.table, list.count, list.columns);
  // The counts of an earlier collation no longer belong to the list.
  showEmptyList(list);
  resetMatchPanel();
  for (const tallyra::ImportedRow& row : imported->rows) {
    tallyra::AppendRow(
        list.table, list.count,
        std::span<const int32_t>(row.numbers.data(), static_cast<std::size_t>(row.size)));
  }
  refreshGrids();
  showTab(list.tab);
}
