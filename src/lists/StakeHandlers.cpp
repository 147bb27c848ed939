// The main window's commands on the stakes and the system stakes: entry, editing, deletion,
// line-up, and their files.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainForm.h"
#include "dialogs/EnterForm.h"
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

void TMainForm::ShowEmptyList(platform::StringGrid* grid, int panel) {
  auto& model = grid->model();
  model.setGridRowCount(2);
  model.setFilledRows(0);
  model.clearCounts();
  SBar[panel]->setText(QStringLiteral("0"));
}

void TMainForm::OpenEntryForEdit(platform::StringGrid* grid, int boxes, int mode) {
  const int r = grid->row();
  for (int b = 1; b <= boxes; ++b) EnterForm->Edit[b]->setText(grid->model().cellText(r, b));
  EnterForm->BitEnter->setText(T(TextId::TxtMenuSave));
  EnterForm->setWindowTitle(T(TextId::TxtCapEditStake));
  EnterForm->EntryMode = mode;
  platform::ExecModal(*EnterForm);
  EnterForm->EntryMode = 0;
}

void TMainForm::DeleteSelectedRow(platform::StringGrid* grid, tallyra::TableRef table,
                                  int32_t& count, int columns, int panel) {
  if (count == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStake), T(TextId::TxtAskDeleteStake))) {
    return;
  }
  const int r = grid->row();
  if (r < 1 || r > count) return;
  grid->model().moveCountsUp(r, count);
  tallyra::DeleteRow(table, count, r, columns);
  if (count == 0) {
    ShowEmptyList(grid, panel);
    return;
  }
  RefreshGrids();
  // The selection stays on the same row number while it exists, else on the last row.
  grid->setRow(std::min(r, static_cast<int>(count)));
}

bool TMainForm::SaveList(const QString& defaultName, const std::string& text) {
  platform::FileDialogOptions save = SaveD;
  save.fileName = defaultName;
  const std::optional<QString> path = platform::GetSaveFileName(this, save);
  if (!path) return false;
  if (const auto error = tallyra::WriteFileReplacing(platform::ToLocalPath(*path), text)) {
    platform::ShowError(this, T(TextId::TxtAppTitle),
                        QString::fromUtf8(tallyra::Format(TextId::TxtCannotWrite, m_ws->Language,
                                                          {path->toStdString(), *error})));
    return false;
  }
  return true;
}

// Stakes.

void TMainForm::BitEnterClick() {
  EnterForm->EntryMode = 0;
  platform::ExecModal(*EnterForm);
  EnterForm->EntryMode = 0;
  RefreshGrids();
}

void TMainForm::SGStavDblClick() {
  if (m_ws->StakeCount == 0) return;
  OpenEntryForEdit(SGStav, 6, 1);
  RefreshGrids();
  EnterForm->BitEnter->setText(T(TextId::TxtEnterButton));
  EnterForm->setWindowTitle(T(TextId::TxtCapEnterStake));
}

void TMainForm::BitDelClick() {
  DeleteSelectedRow(SGStav, tallyra::TableRef::of(m_ws->StakeTable), m_ws->StakeCount,
                    m_ws->BallsPerStake, 1);
}

void TMainForm::N22Click() {
  if (m_ws->StakeCount == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStakes), T(TextId::TxtAskDeleteAllStakes))) {
    return;
  }
  tallyra::ClearTable(tallyra::TableRef::of(m_ws->StakeTable), m_ws->StakeCount,
                      m_ws->BallsPerStake);
  ShowEmptyList(SGStav, 1);
  ResetMatchPanel();
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
  N22Click();
  platform::FileDialogOptions open = OpenD;
  open.fileName = QStringLiteral("Stavka.txt");
  const std::optional<QString> path = platform::GetOpenFileName(this, open);
  if (!path) return;
  LoadRecordFile(*path, tallyra::TableRef::of(m_ws->StakeTable), m_ws->StakeCount, false);
  RefreshGrids();
  ShowTab(TS1);
}

bool TMainForm::N7Click() {
  if (m_ws->StakeCount == 0) return true;
  return SaveList(QStringLiteral("Stavka.txt"),
                  tallyra::FormatStakesFile(m_ws->StakeTable, m_ws->StakeCount));
}

// System stakes.

void TMainForm::BitEnterSysClick() {
  EnterForm->EntryMode = 4;
  platform::ExecModal(*EnterForm);
  EnterForm->EntryMode = 0;
  ShowTab(TS2);
}

void TMainForm::N28Click() {
  if (m_ws->SystemCount == 0) return;
  OpenEntryForEdit(SGSys, 12, 3);
  ShowTab(TS2);
  RefreshGrids();
  EnterForm->BitEnter->setText(T(TextId::TxtEnterButton));
  EnterForm->setWindowTitle(T(TextId::TxtCapEnterStake));
}

void TMainForm::BitDelSysClick() {
  DeleteSelectedRow(SGSys, tallyra::TableRef::of(m_ws->SystemTable), m_ws->SystemCount, 12, 3);
}

void TMainForm::N35Click() {
  if (m_ws->SystemCount == 0) return;
  if (!platform::AskYesNo(this, T(TextId::TxtCapDeleteStakes), T(TextId::TxtAskDeleteAllSystem))) {
    return;
  }
  tallyra::ClearTable(tallyra::TableRef::of(m_ws->SystemTable), m_ws->SystemCount, 12);
  ShowEmptyList(SGSys, 3);
  ResetMatchPanel();
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
  N35Click();
  platform::FileDialogOptions open = OpenD;
  open.fileName = QStringLiteral("System.txt");
  const std::optional<QString> path = platform::GetOpenFileName(this, open);
  if (!path) return;
  LoadRecordFile(*path, tallyra::TableRef::of(m_ws->SystemTable), m_ws->SystemCount, false);
  RefreshGrids();
  ShowTab(TS2);
}

bool TMainForm::N32Click() {
  if (m_ws->SystemCount == 0) return true;
  N30Click();  // lined up first, even if the dialog is then cancelled
  return SaveList(QStringLiteral("System.txt"),
                  tallyra::FormatSystemFile(m_ws->SystemTable, m_ws->SystemCount));
}
