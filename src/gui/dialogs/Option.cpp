#include "dialogs/Option.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/MainForm.h"
#include "dialogs/DialogFrame.h"
#include "model/Integer.h"
#include "platform/MessageBox.h"

using tallyra::TextId;

TOption* Option = nullptr;

TOption::TOption(TMainForm& main) : QDialog(&main), m_main(main) {
  Option = this;
  setObjectName(QStringLiteral("Option"));
  SetDialogFrame(this, 185, 117, true);
  const QFont font = LayoutFont(14);
  setFont(font);

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(8, 24, 65, 25);
  Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(96, 24, 49, 25);
  Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont bold = font;
  bold.setBold(true);
  for (QLineEdit** edit : {&Edit1, &Edit2}) {
    *edit = new QLineEdit(this);
    (*edit)->setFrame(false);
    (*edit)->setFont(bold);
    (*edit)->setTextMargins(0, 0, 0, 0);
  }
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(80, 24, 17, 17);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setGeometry(144, 24, 25, 17);
  Edit2->installEventFilter(this);
  BitBtn1 = new QPushButton(this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(16, 64, 153, 41);
  BitBtn1->setAutoDefault(false);
  connect(BitBtn1, &QPushButton::clicked, this,
          [this] { m_main.RunGuarded([&] { BitBtn1Click(); }); });

  // Edit1 is locked for good: the game always takes six numbers.
  Edit1->setEnabled(false);
  Edit1->setReadOnly(true);
  Lock(true);
}

// Locked boxes are silver with maroon digits; the unlocked one is white.
void TOption::Lock(bool locked) {
  for (QLineEdit* edit : {Edit1, Edit2}) {
    if (edit == Edit1 && !locked) continue;
    QPalette palette = edit->palette();
    const QColor back = locked ? QColor(192, 192, 192) : QColor(Qt::white);
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x00, 0x00));
    palette.setColor(QPalette::Disabled, QPalette::Base, back);
    edit->setPalette(palette);
  }
  Edit2->setEnabled(!locked);
  Edit2->setReadOnly(locked);
}

void TOption::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QRect frame = frameGeometry();
  frame.moveCenter(m_main.frameGeometry().center());
  move(frame.topLeft());
  m_main.RunGuarded([&] { FormShow(); });
}

void TOption::FormShow() {
  const tallyra::Workspace& ws = m_main.workspace();
  Edit1->setText(QString::number(ws.BallsPerStake));
  Edit2->setText(QString::number(ws.HighestNumber));
  setWindowTitle(m_main.T(TextId::TxtOptionsCaption));
  BitBtn1->setText(m_main.T(TextId::TxtOptionsChange));
  Label1->setText(m_main.T(TextId::TxtOptionsPlay));
  Label2->setText(m_main.T(TextId::TxtOptionsOutOf));
}

void TOption::BitBtn1Click() {
  if (!m_editing) {
    Lock(false);
    Edit2->setFocus();
    BitBtn1->setText(m_main.T(TextId::TxtOptionsSave));
    m_editing = true;
    return;
  }
  const QString text = Edit2->text();
  if (!text.isEmpty()) {
    const std::optional<int32_t> value = tallyra::ParseInteger(text.toStdString());
    if (!value) {
      platform::ShowMessage(this, m_main.T(TextId::TxtAppTitle),
                            m_main.T(TextId::TxtOptionsBadValue));
      return;
    }
    // Values outside 2..99 are let go without a word, as an empty box is.
    if (*value > 1 && *value < 100) m_main.workspace().HighestNumber = *value;
  }
  m_main.WriteSettings();
  accept();
}

void TOption::done(int result) {
  m_main.RunGuarded([&] { FormClose(); });
  QDialog::done(result);
}

void TOption::FormClose() {
  Lock(true);
  BitBtn1->setText(m_main.T(TextId::TxtOptionsChange));
  m_editing = false;
}

bool TOption::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit2 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      m_main.RunGuarded([&] { BitBtn1Click(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
