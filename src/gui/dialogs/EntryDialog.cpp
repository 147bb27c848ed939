#include "dialogs/EntryDialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "lists/EntryCheck.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace {

const QColor kLockedColour(192, 192, 192);

bool IsNewEntry(EntryMode mode) {
  return mode == EntryMode::NewStake || mode == EntryMode::NewSystemStake;
}

bool IsSystemEntry(EntryMode mode) {
  return mode == EntryMode::EditSystemStake || mode == EntryMode::NewSystemStake;
}

}  // namespace

EntryDialog::EntryDialog(QWidget* owner, LanguageSource language)
    : QDialog(owner), m_language(std::move(language)) {
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
    m_boxes[b] = edit;
  }
  m_systemBox = new QCheckBox(this);
  m_systemBox->setObjectName(QStringLiteral("CheckBox"));
  m_systemBox->setGeometry(48, 64, 113, 17);
  m_systemBox->setFont(font);
  m_systemBox->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
  m_enterButton = new QPushButton(this);
  m_enterButton->setObjectName(QStringLiteral("BitEnter"));
  m_enterButton->setGeometry(0, 88, 97, 33);
  m_enterButton->setFont(font);
  m_clearButton = new QPushButton(this);
  m_clearButton->setObjectName(QStringLiteral("BitClean"));
  m_clearButton->setGeometry(104, 88, 97, 33);
  m_clearButton->setFont(font);

  QWidget* order[] = {m_boxes[1],  m_boxes[2],  m_boxes[3],  m_boxes[4],    m_boxes[5],
                      m_boxes[6],  m_systemBox, m_boxes[7],  m_boxes[8],    m_boxes[9],
                      m_boxes[10], m_boxes[11], m_boxes[12], m_enterButton, m_clearButton};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  auto guarded = [this](void (EntryDialog::*handler)()) {
    return [this, handler] { Guarded([&] { (this->*handler)(); }); };
  };
  connect(m_enterButton, &QPushButton::clicked, this, guarded(&EntryDialog::confirm));
  connect(m_clearButton, &QPushButton::clicked, this, guarded(&EntryDialog::clearBoxes));
  connect(m_systemBox, &QCheckBox::toggled, this, guarded(&EntryDialog::systemBoxClicked));

  lockSystemBoxes();
}

QString EntryDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void EntryDialog::Tell(TextId id) {
  platform::ShowMessage(this, T(TextId::TxtAppTitle), T(id));
}

tallyra::EntryTexts EntryDialog::Texts() const {
  tallyra::EntryTexts texts;
  for (int b = 1; b <= 12; ++b) texts[b] = m_boxes[b]->text().toStdString();
  return texts;
}

bool EntryDialog::HasBox(int box) const {
  return !m_boxes[box]->text().isEmpty();
}

void EntryDialog::runModal(EntryMode mode, int32_t highestNumber) {
  m_mode = mode;
  m_highestNumber = highestNumber;
  m_result.reset();
  platform::ExecModal(*this);
  m_mode = EntryMode::NewStake;
  m_store = nullptr;
}

void EntryDialog::enterNew(EntryMode mode, int32_t highestNumber, Store store) {
  m_store = std::move(store);
  runModal(mode, highestNumber);
}

std::optional<EntryDialog::Numbers> EntryDialog::enterOne(EntryMode mode, int32_t highestNumber,
                                                          const QStringList& values) {
  const bool editing = mode == EntryMode::EditStake || mode == EntryMode::EditSystemStake;
  for (int b = 1; b <= 12 && b <= values.size(); ++b) m_boxes[b]->setText(values[b - 1]);
  if (editing) {
    m_enterButton->setText(T(TextId::TxtMenuSave));
    setWindowTitle(T(TextId::TxtCapEditStake));
  }
  runModal(mode, highestNumber);
  if (editing) {
    m_enterButton->setText(T(TextId::TxtEnterButton));
    setWindowTitle(T(TextId::TxtCapEnterStake));
  }
  std::optional<Numbers> result = std::move(m_result);
  m_result.reset();
  return result;
}

void EntryDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
  Guarded([&] { prepareTexts(); });
}

void EntryDialog::prepareTexts() {
  m_clearButton->setText(T(TextId::TxtEntryClean));
  m_systemBox->setText(T(TextId::TxtEntrySystem));
  if (IsNewEntry(m_mode) || m_mode == EntryMode::Combination) {
    setWindowTitle(T(TextId::TxtEntryCaption));
    m_enterButton->setText(T(TextId::TxtEntryEnter));
  }
  m_boxes[1]->setFocus();
  if (m_mode == EntryMode::EditStake || m_mode == EntryMode::EditSystemStake) {
    m_systemBox->setEnabled(false);
  }
  if (IsSystemEntry(m_mode)) {
    m_systemBox->setChecked(true);
    unlockSystemBoxes();
    m_boxes[1]->setFocus();
  } else {
    lockSystemBoxes();
    m_systemBox->setChecked(false);
  }
}

void EntryDialog::done(int result) {
  Guarded([&] {
    clearBoxes();
    lockSystemBoxes();
    m_systemBox->setEnabled(true);
  });
  QDialog::done(result);
}

void EntryDialog::unlockSystemBoxes() {
  m_boxes[7]->setFocus();
  for (int b = 7; b <= 12; ++b) {
    m_boxes[b]->setFrame(true);
    m_boxes[b]->setPalette(palette());
    m_boxes[b]->setReadOnly(false);
  }
}

void EntryDialog::lockSystemBoxes() {
  m_boxes[1]->setFocus();
  for (int b = 7; b <= 12; ++b) {
    m_boxes[b]->clear();
    m_boxes[b]->setFrame(false);
    QPalette locked = palette();
    locked.setColor(QPalette::Base, kLockedColour);
    m_boxes[b]->setPalette(locked);
    m_boxes[b]->setReadOnly(true);
  }
  m_systemBox->setChecked(false);
}

void EntryDialog::clearBoxes() {
  for (int b = 1; b <= 6; ++b) m_boxes[b]->clear();
  if (m_systemBox->isChecked()) {
    for (int b = 7; b <= 12; ++b) m_boxes[b]->clear();
  }
}

void EntryDialog::systemBoxClicked() {
  const bool switchesList = IsNewEntry(m_mode);
  if (m_systemBox->isChecked()) {
    unlockSystemBoxes();
    if (switchesList) {
      m_mode = EntryMode::NewSystemStake;
      emit modeSwitched(m_mode);
    }
  } else {
    lockSystemBoxes();
    if (switchesList) {
      m_mode = EntryMode::NewStake;
      emit modeSwitched(m_mode);
    }
  }
  emit systemBoxToggled();
}

bool EntryDialog::checkMainBoxes() {
  m_numbers.fill(0);
  const std::optional<TextId> problem =
      tallyra::CheckMainFields(Texts(), m_highestNumber, m_numbers);
  if (problem) Tell(*problem);
  return !problem;
}

// Runs after checkMainBoxes passed, whose numbers it compares with.
bool EntryDialog::checkSystemBoxes() {
  const std::optional<TextId> problem =
      tallyra::CheckSystemFields(Texts(), m_highestNumber, m_numbers);
  if (problem) Tell(*problem);
  return !problem;
}

void EntryDialog::confirm() {
  if (!checkMainBoxes()) return;
  const bool system = m_systemBox->isChecked();
  if (system && !checkSystemBoxes()) return;

  Numbers numbers{};
  for (int b = 1; b <= 12; ++b) numbers[b - 1] = b <= 6 || system ? m_numbers[b] : 0;

  // A system stake is at least seven numbers: the file and the grid count on slot 7.
  if (IsSystemEntry(m_mode) && system && !HasBox(7)) {
    Tell(TextId::TxtSystemNeedsSeven);
    return;
  }
  // A stake is never confirmed with the box ticked, nor a system stake without it.
  if (m_mode != EntryMode::Combination && system != IsSystemEntry(m_mode)) return;

  if (IsNewEntry(m_mode)) {
    if (!m_store) return;
    if (const std::optional<TextId> refusal = m_store(m_mode, numbers)) {
      Tell(*refusal);
      return;
    }
    clearBoxes();
    if (m_mode == EntryMode::NewSystemStake) m_boxes[1]->setFocus();
    emit entered(m_mode);
    return;
  }
  m_result = numbers;
  if (m_mode != EntryMode::EditSystemStake) {
    clearBoxes();
    lockSystemBoxes();
  }
  accept();
}

bool EntryDialog::boxKeyPressed(int box, int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (box == 6 && !m_systemBox->isChecked()) {
    m_boxes[1]->setFocus();
    confirm();
  } else if (box == 6) {
    m_boxes[7]->setFocus();
  } else if (box == 12) {
    m_boxes[1]->setFocus();
    confirm();
  } else {
    m_boxes[box + 1]->setFocus();
  }
  return true;
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    for (int b = 1; b <= 12; ++b) {
      if (watched == m_boxes[b]) {
        bool taken = false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        Guarded([&] { taken = boxKeyPressed(b, key); });
        return taken;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}
