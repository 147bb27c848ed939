#include "dialogs/EnterForm.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainForm.h"
#include "dialogs/DialogFrame.h"
#include "lists/EntryCheck.h"
#include "lists/ListEditing.h"
#include "platform/MessageBox.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

TEnterForm* EnterForm = nullptr;

namespace {

const QColor kLockedColour(192, 192, 192);

}  // namespace

TEnterForm::TEnterForm(TMainForm& main) : QDialog(&main), m_main(main) {
  EnterForm = this;
  setObjectName(QStringLiteral("EnterForm"));
  SetDialogFrame(this, 202, 124, true);
  const QFont font = LayoutFont(13);

  for (int b = 1; b <= 12; ++b) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(b));
    edit->setGeometry(8 + 32 * ((b - 1) % 6), b <= 6 ? 8 : 40, 25, 20);
    edit->setFont(font);
    edit->setTextMargins(0, 0, 0, 0);
    edit->installEventFilter(this);
    Edit[b] = edit;
  }
  CheckBox = new QCheckBox(this);
  CheckBox->setObjectName(QStringLiteral("CheckBox"));
  CheckBox->setGeometry(48, 64, 113, 17);
  CheckBox->setFont(font);
  CheckBox->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
  BitEnter = new QPushButton(this);
  BitEnter->setObjectName(QStringLiteral("BitEnter"));
  BitEnter->setGeometry(0, 88, 97, 33);
  BitEnter->setFont(font);
  BitClean = new QPushButton(this);
  BitClean->setObjectName(QStringLiteral("BitClean"));
  BitClean->setGeometry(104, 88, 97, 33);
  BitClean->setFont(font);

  QWidget* order[] = {Edit[1], Edit[2], Edit[3],  Edit[4],  Edit[5],  Edit[6],  CheckBox, Edit[7],
                      Edit[8], Edit[9], Edit[10], Edit[11], Edit[12], BitEnter, BitClean};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  auto guarded = [this](void (TEnterForm::*handler)()) {
    return [this, handler] { m_main.RunGuarded([&] { (this->*handler)(); }); };
  };
  connect(BitEnter, &QPushButton::clicked, this, guarded(&TEnterForm::BitEnterClick));
  connect(BitClean, &QPushButton::clicked, this, guarded(&TEnterForm::BitCleanClick));
  connect(CheckBox, &QCheckBox::toggled, this, guarded(&TEnterForm::CheckBoxClick));

  HideSystemFields();
}

void TEnterForm::Tell(TextId id) {
  platform::ShowMessage(this, m_main.T(TextId::TxtAppTitle), m_main.T(id));
}

tallyra::EntryTexts TEnterForm::Texts() const {
  tallyra::EntryTexts texts;
  for (int b = 1; b <= 12; ++b) texts[b] = Edit[b]->text().toStdString();
  return texts;
}

bool TEnterForm::HasBox(int box) const {
  return !Edit[box]->text().isEmpty();
}

void TEnterForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the main window.
  QRect frame = frameGeometry();
  frame.moveCenter(m_main.frameGeometry().center());
  move(frame.topLeft());
  m_main.RunGuarded([&] { FormShow(); });
}

void TEnterForm::FormShow() {
  BitClean->setText(m_main.T(TextId::TxtEntryClean));
  CheckBox->setText(m_main.T(TextId::TxtEntrySystem));
  if (EntryMode == 0 || EntryMode == 2 || EntryMode == 4) {
    setWindowTitle(m_main.T(TextId::TxtEntryCaption));
    BitEnter->setText(m_main.T(TextId::TxtEntryEnter));
  }
  Edit[1]->setFocus();
  if (EntryMode == 1 || EntryMode == 3) CheckBox->setEnabled(false);
  if (EntryMode == 3 || EntryMode == 4) {
    CheckBox->setChecked(true);
    ShowSystemFields();
    Edit[1]->setFocus();
  } else {
    HideSystemFields();
    CheckBox->setChecked(false);
  }
}

void TEnterForm::done(int result) {
  m_main.RunGuarded([&] { FormClose(); });
  QDialog::done(result);
}

void TEnterForm::FormClose() {
  ClearFields();
  HideSystemFields();
  CheckBox->setEnabled(true);
}

void TEnterForm::ShowSystemFields() {
  Edit[7]->setFocus();
  for (int b = 7; b <= 12; ++b) {
    Edit[b]->setFrame(true);
    Edit[b]->setPalette(palette());
    Edit[b]->setReadOnly(false);
  }
}

void TEnterForm::HideSystemFields() {
  Edit[1]->setFocus();
  for (int b = 7; b <= 12; ++b) {
    Edit[b]->clear();
    Edit[b]->setFrame(false);
    QPalette locked = palette();
    locked.setColor(QPalette::Base, kLockedColour);
    Edit[b]->setPalette(locked);
    Edit[b]->setReadOnly(true);
  }
  CheckBox->setChecked(false);
}

void TEnterForm::ClearFields() {
  for (int b = 1; b <= 6; ++b) Edit[b]->clear();
  if (CheckBox->isChecked()) {
    for (int b = 7; b <= 12; ++b) Edit[b]->clear();
  }
}

void TEnterForm::CheckBoxClick() {
  const bool keepsMode = EntryMode == 2 || EntryMode == 3;
  if (CheckBox->isChecked()) {
    ShowSystemFields();
    if (!keepsMode) {
      m_main.ShowTab(m_main.TS2);
      EntryMode = 4;
    }
  } else {
    HideSystemFields();
    if (!keepsMode) {
      m_main.ShowTab(m_main.TS1);
      EntryMode = 0;
    }
  }
  m_main.PageControlChange();
}

bool TEnterForm::CheckMainFields() {
  m_numbers.fill(0);
  const std::optional<TextId> problem =
      tallyra::CheckMainFields(Texts(), m_main.workspace().HighestNumber, m_numbers);
  EntryValid = !problem;
  if (problem) Tell(*problem);
  return EntryValid;
}

// Runs after CheckMainFields passed, whose numbers it compares with.
bool TEnterForm::CheckSystemFields() {
  const std::optional<TextId> problem =
      tallyra::CheckSystemFields(Texts(), m_main.workspace().HighestNumber, m_numbers);
  EntryValid = !problem;
  if (problem) Tell(*problem);
  return EntryValid;
}

void TEnterForm::BitEnterClick() {
  if (!CheckMainFields()) return;
  const bool system = CheckBox->isChecked();
  if (system && !CheckSystemFields()) return;

  tallyra::Workspace& ws = m_main.workspace();
  std::array<int32_t, 12> numbers{};  // empty boxes give 0
  for (int b = 1; b <= 12; ++b) numbers[b - 1] = b <= 6 || system ? m_numbers[b] : 0;

  // A system stake is at least seven numbers: the file and the grid count on slot 7.
  if ((EntryMode == 3 || EntryMode == 4) && system && !HasBox(7)) {
    Tell(TextId::TxtSystemNeedsSeven);
    EntryValid = false;
    return;
  }

  switch (EntryMode) {
    case 0:
      if (system) return;
      if (!tallyra::AppendRow(tallyra::TableRef::of(ws.StakeTable), ws.StakeCount,
                              std::span(numbers).first(6))) {
        Tell(TextId::TxtStakesFull);
        return;
      }
      ClearFields();
      m_main.RefreshGrids();
      return;
    case 1: {
      if (system) return;
      const int r = m_main.SGStav->row();
      if (r >= 1 && r <= ws.StakeCount) {
        for (int j = 1; j <= 6; ++j) ws.StakeTable.cell[j][r] = numbers[j - 1];
      }
      ClearFields();
      HideSystemFields();
      accept();
      return;
    }
    case 2:
      ws.CheckCombination.fill(0);
      for (int k = 1; k <= 12; ++k) ws.CheckCombination[k] = numbers[k - 1];
      ClearFields();
      HideSystemFields();
      accept();
      return;
    case 3: {
      if (!system) return;
      const int r = m_main.SGSys->row();
      if (r >= 1 && r <= ws.SystemCount) {
        for (int c = 1; c <= 12; ++c) ws.SystemTable.cell[c][r] = numbers[c - 1];
      }
      m_main.RefreshGrids();
      accept();
      return;
    }
    case 4:
      if (!system) return;
      // All twelve slots are written, empty ones as 0, so nothing stale can join the stake.
      if (!tallyra::AppendRow(tallyra::TableRef::of(ws.SystemTable), ws.SystemCount, numbers)) {
        Tell(TextId::TxtSystemFull);
        return;
      }
      ClearFields();
      Edit[1]->setFocus();
      m_main.ShowTab(m_main.TS2);
      m_main.RefreshGrids();
      return;
    default:
      return;
  }
}

void TEnterForm::BitCleanClick() {
  ClearFields();
}

bool TEnterForm::EditKeyDown(int box, int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (box == 6 && !CheckBox->isChecked()) {
    Edit[1]->setFocus();
    BitEnterClick();
  } else if (box == 6) {
    Edit[7]->setFocus();
  } else if (box == 12) {
    Edit[1]->setFocus();
    BitEnterClick();
  } else {
    Edit[box + 1]->setFocus();
  }
  return true;
}

bool TEnterForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    for (int b = 1; b <= 12; ++b) {
      if (watched == Edit[b]) {
        bool taken = false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        m_main.RunGuarded([&] { taken = EditKeyDown(b, key); });
        return taken;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}
