// The main window's commands on the stakes and the system stakes: entry, editing, deletion,
// line-up, and their files.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainForm.h"
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

TMainForm::StakeList TMainForm::Stakes() {
  return {SGStav,
          tallyra::TableRef::of(m_ws->StakeTable),
          m_ws->StakeCount,
          m_ws->BallsPerStake,
          1,
          TS1,
          QStringLiteral("Stavka.txt"),
          TextId::TxtAskDeleteAllStakes};
}

TMainForm::StakeList TMainForm::Systems() {
  return {SGSys,
          tallyra::TableRef::of(m_ws->SystemTable),
          m_ws->SystemCount,
          tallyra::SystemTableT::kUsableColumns,
          3,
          TS2,
          QStringLiteral("System.txt"),
          TextId::TxtAskDeleteAllSystem};
}

void TMainForm::ShowEmptyList(const StakeList& list) {
  auto& model = list.grid->model();
  model.setGridRowCount(2);
  model.setFilledRows(0);
  model.clearCounts();
  SBar[list.panel]->setText(QStringLiteral("0"));
}

void TMainForm::OpenEntryForEdit(const StakeList& list, int boxes, EntryMode mode) {
  const int r = list.grid->row();
  QStringList values;
  for (int b = 1; b <= boxes; ++b) values << list.grid->model().cellText(r, b);
  const auto numbers = m_entryDialog->enterOne(mode, m_ws->HighestNumber, values);
  if (!numbers || r < 1 || r > list.count) return;
  for (int c = 1; c <= boxes; ++c) list.table(c, r) = (*numbers)[c - 1];
}

std::optional<TextId> TMainForm::StoreEntry(EntryMode mode,
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

void TMainForm::EntryStored(EntryMode mode) {
  if (mode == EntryMode::NewSystemStake) ShowTab(TS2);
  RefreshGrids();
}

void TMainForm::EntryModeSwitched(EntryMode mode) {
  ShowTab(mode == EntryMode::NewSystemStake ? TS2 : TS1);
}

void TMainForm::DeleteSelectedRow(const StakeList& list) {
  if (list.count == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStake), T(TextId::TxtAskDeleteStake))) {
    return;
  }
  const int r = list.grid->row();
  if (r < 1 || r > list.count) return;
  list.grid->model().moveCountsUp(r, list.count);
  tallyra::DeleteRow(list.table, list.count, r, list.columns);
  if (list.count == 0) {
    ShowEmptyList(list);
    return;
  }
  RefreshGrids();
  // The selection stays on the same row number while it exists, else on the last row.
  list.grid->setRow(std::min(r, static_cast<int>(list.count)));
}

void TMainForm::DeleteAllRows(const StakeList& list) {
  if (list.count == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStakes), T(list.askDeleteAll))) return;
  tallyra::ClearTable(list.table, list.count, list.columns);
  ShowEmptyList(list);
  ResetMatchPanel();
}

void TMainForm::LoadList(const StakeList& list) {
  DeleteAllRows(list);
  platform::FileDialogOptions open = OpenD;
  open.fileName = list.fileName;
  const std::optional<QString> path = platform::GetOpenFileName(this, open);
  if (!path) return;
  QString notice;
  LoadRecordFile(*path, list.table, list.count, false, notice);
  RefreshGrids();
  ShowTab(list.tab);
  ShowLoadNotice(notice);
}

bool TMainForm::SaveList(const StakeList& list, const std::string& text) {
  platform::FileDialogOptions save = SaveD;
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

void TMainForm::BitEnterClick() {
  m_entryDialog->enterNew(EntryMode::NewStake, m_ws->HighestNumber,
                          [this](EntryMode mode, const std::array<int32_t, 12>& numbers) {
                            return StoreEntry(mode, numbers);
                          });
  RefreshGrids();
}

void TMainForm::SGStavDblClick() {
  if (m_ws->StakeCount == 0) return;
  OpenEntryForEdit(Stakes(), 6, EntryMode::EditStake);
  RefreshGrids();
}

void TMainForm::BitDelClick() {
  DeleteSelectedRow(Stakes());
}

void TMainForm::N22Click() {
  DeleteAllRows(Stakes());
}

void TMainForm::N21Click() {
  tallyra::LineUpStakes(m_ws->StakeTable, m_ws->StakeCount);
  RefreshGrids();
}

void TMainForm::SGStavKeyDown(int key) {
  if (key == kKeyEnter || key == kKeyEnterPad) {
    SGStavDblClick();
  } else if (key == kKeyDelete) {
    BitDelClick();
  }
}

void TMainForm::N6Click() {
  LoadList(Stakes());
}

bool TMainForm::N7Click() {
  if (m_ws->StakeCount == 0) return true;
  return SaveList(Stakes(), tallyra::FormatStakesFile(m_ws->StakeTable, m_ws->StakeCount));
}

// System stakes.

void TMainForm::BitEnterSysClick() {
  m_entryDialog->enterNew(EntryMode::NewSystemStake, m_ws->HighestNumber,
                          [this](EntryMode mode, const std::array<int32_t, 12>& numbers) {
                            return StoreEntry(mode, numbers);
                          });
  ShowTab(TS2);
}

void TMainForm::N28Click() {
  if (m_ws->SystemCount == 0) return;
  OpenEntryForEdit(Systems(), 12, EntryMode::EditSystemStake);
  ShowTab(TS2);
  RefreshGrids();
}

void TMainForm::BitDelSysClick() {
  DeleteSelectedRow(Systems());
}

void TMainForm::N35Click() {
  DeleteAllRows(Systems());
}

void TMainForm::N30Click() {
  tallyra::LineUpSystem(m_ws->SystemTable, m_ws->SystemCount);
  RefreshGrids();
}

void TMainForm::SGSysKeyDown(int key) {
  if (key == kKeyEnter || key == kKeyEnterPad) {
    N28Click();
  } else if (key == kKeyDelete) {
    BitDelSysClick();
  }
}

void TMainForm::N31Click() {
  LoadList(Systems());
}

bool TMainForm::N32Click() {
  if (m_ws->SystemCount == 0) return true;
  N30Click();  // lined up first, even if the dialog is then cancelled
  return SaveList(Systems(), tallyra::FormatSystemFile(m_ws->SystemTable, m_ws->SystemCount));
}
