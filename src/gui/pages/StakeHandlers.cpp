// The main window's commands on the stakes and the system stakes: entry, editing, deletion,
// line-up, and their files.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainWindow.h"
#include "dialogs/EntryDialog.h"
#include "lists/ListEditing.h"
#include "model/Files.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

namespace {

constexpr int kKeyEnter = Qt::Key_Return;
constexpr int kKeyEnterPad = Qt::Key_Enter;
constexpr int kKeyDelete = Qt::Key_Delete;

}  // namespace

MainWindow::ListOfStakes MainWindow::stakesList() {
  return {stakesGrid,
          tallyra::TableRef::of(m_ws->StakeTable),
          m_ws->StakeCount,
          m_ws->BallsPerStake,
          StatusPanel::StakeCount,
          stakesTab,
          QStringLiteral("Stavka.txt"),
          TextId::TxtAskDeleteAllStakes};
}

MainWindow::ListOfStakes MainWindow::systemList() {
  return {systemGrid,
          tallyra::TableRef::of(m_ws->SystemTable),
          m_ws->SystemCount,
          tallyra::SystemTableT::kUsableColumns,
          StatusPanel::SystemCount,
          systemTab,
          QStringLiteral("System.txt"),
          TextId::TxtAskDeleteAllSystem};
}

void MainWindow::showEmptyList(const ListOfStakes& list) {
  auto& model = list.grid->model();
  model.setGridRowCount(2);
  model.setFilledRows(0);
  model.clearCounts();
  statusPanel(list.panel)->setText(QStringLiteral("0"));
}

void MainWindow::openEntryForEdit(const ListOfStakes& list, int boxes, EntryMode mode) {
  const int r = list.grid->row();
  QStringList values;
  for (int b = 1; b <= boxes; ++b) values << list.grid->model().cellText(r, b);
  const auto numbers = m_entryDialog->enterOne(mode, m_ws->HighestNumber, values);
  if (!numbers || r < 1 || r > list.count) return;
  for (int c = 1; c <= boxes; ++c) list.table(c, r) = (*numbers)[c - 1];
}

std::optional<TextId> MainWindow::storeEntry(EntryMode mode,
                                             const std::array<int32_t, 12>& numbers) {
  if (mode == EntryMode::NewSystemStake) {
    // All twelve slots are written, empty ones as 0, so nothing stale can join the stake.
    if (!tallyra::AppendRow(tallyra::TableRef::of(m_ws->SystemTable), m_ws->SystemCount, numbers)) {
      return TextId::TxtSystemFull;
    }
    return std::nullopt;
  }
  if (!tallyra::AppendRow(tallyra::TableRef::of(m_ws->StakeTable), m_ws->StakeCount,
                          std::span(numbers).first(6))) {
    return TextId::TxtStakesFull;
  }
  return std::nullopt;
}

void MainWindow::entryStored(EntryMode mode) {
  if (mode == EntryMode::NewSystemStake) showTab(systemTab);
  refreshGrids();
}

void MainWindow::entryModeSwitched(EntryMode mode) {
  showTab(mode == EntryMode::NewSystemStake ? systemTab : stakesTab);
}

void MainWindow::deleteSelectedRow(const ListOfStakes& list) {
  if (list.count == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStake), T(TextId::TxtAskDeleteStake))) {
    return;
  }
  const int r = list.grid->row();
  if (r < 1 || r > list.count) return;
  list.grid->model().moveCountsUp(r, list.count);
  tallyra::DeleteRow(list.table, list.count, r, list.columns);
  if (list.count == 0) {
    showEmptyList(list);
    return;
  }
  refreshGrids();
  // The selection stays on the same row number while it exists, else on the last row.
  list.grid->setRow(std::min(r, static_cast<int>(list.count)));
}

void MainWindow::deleteAllRows(const ListOfStakes& list) {
  if (list.count == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStakes), T(list.askDeleteAll))) return;
  tallyra::ClearTable(list.table, list.count, list.columns);
  showEmptyList(list);
  resetMatchPanel();
}

void MainWindow::loadList(const ListOfStakes& list) {
  deleteAllRows(list);
  platform::FileDialogOptions open = openOptions;
  open.fileName = list.fileName;
  const std::optional<QString> path = platform::GetOpenFileName(this, open);
  if (!path) return;
  QString notice;
  loadRecordFile(*path, list.table, list.count, false, notice);
  refreshGrids();
  showTab(list.tab);
  showLoadNotice(notice);
}

bool MainWindow::saveList(const ListOfStakes& list, const std::string& text) {
  platform::FileDialogOptions save = saveOptions;
  save.fileName = list.fileName;
  const std::optional<QString> path = platform::GetSaveFileName(this, save);
  if (!path) return false;
  if (const auto error = tallyra::WriteFileReplacing(platform::ToLocalPath(*path), text)) {
    platform::ShowError(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(
            TextId::TxtCannotWrite, m_ws->Language,
            {path->toStdString(), tallyra::DescribeFileError(*error, m_ws->Language)})));
    return false;
  }
  return true;
}

// Stakes.

void MainWindow::addStakes() {
  m_entryDialog->enterNew(EntryMode::NewStake, m_ws->HighestNumber,
                          [this](EntryMode mode, const std::array<int32_t, 12>& numbers) {
                            return storeEntry(mode, numbers);
                          });
  refreshGrids();
}

void MainWindow::editSelectedStake() {
  if (m_ws->StakeCount == 0) return;
  openEntryForEdit(stakesList(), 6, EntryMode::EditStake);
  refreshGrids();
}

void MainWindow::deleteSelectedStake() {
  deleteSelectedRow(stakesList());
}

void MainWindow::deleteAllStakes() {
  deleteAllRows(stakesList());
}

void MainWindow::lineUpStakes() {
  tallyra::LineUpStakes(m_ws->StakeTable, m_ws->StakeCount);
  refreshGrids();
}

void MainWindow::stakesGridKeyPressed(int key) {
  if (key == kKeyEnter || key == kKeyEnterPad) {
    editSelectedStake();
  } else if (key == kKeyDelete) {
    deleteSelectedStake();
  }
}

void MainWindow::loadStakes() {
  loadList(stakesList());
}

bool MainWindow::saveStakes() {
  if (m_ws->StakeCount == 0) return true;
  return saveList(stakesList(), tallyra::FormatStakesFile(m_ws->StakeTable, m_ws->StakeCount));
}

// System stakes.

void MainWindow::addSystemStakes() {
  m_entryDialog->enterNew(EntryMode::NewSystemStake, m_ws->HighestNumber,
                          [this](EntryMode mode, const std::array<int32_t, 12>& numbers) {
                            return storeEntry(mode, numbers);
                          });
  showTab(systemTab);
}

void MainWindow::editSelectedSystemStake() {
  if (m_ws->SystemCount == 0) return;
  openEntryForEdit(systemList(), 12, EntryMode::EditSystemStake);
  showTab(systemTab);
  refreshGrids();
}

void MainWindow::deleteSelectedSystemStake() {
  deleteSelectedRow(systemList());
}

void MainWindow::deleteAllSystemStakes() {
  deleteAllRows(systemList());
}

void MainWindow::lineUpSystemStakes() {
  tallyra::LineUpSystem(m_ws->SystemTable, m_ws->SystemCount);
  refreshGrids();
}

void MainWindow::systemGridKeyPressed(int key) {
  if (key == kKeyEnter || key == kKeyEnterPad) {
    editSelectedSystemStake();
  } else if (key == kKeyDelete) {
    deleteSelectedSystemStake();
  }
}

void MainWindow::loadSystemStakes() {
  loadList(systemList());
}

bool MainWindow::saveSystemStakes() {
  if (m_ws->SystemCount == 0) return true;
  lineUpSystemStakes();  // lined up first, even if the dialog is then cancelled
  return saveList(systemList(), tallyra::FormatSystemFile(m_ws->SystemTable, m_ws->SystemCount));
}
