#include "dialogs/OptionsDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "import/Games.h"
#include "model/Integer.h"
#include "net/HttpsClient.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

OptionsDialog::OptionsDialog(QWidget* owner, LanguageSource language)
    : QDialog(owner), m_language(std::move(language)) {
  setObjectName(QStringLiteral("Option"));
  SetDialogFrame(this, 185, 117, true);  // widened when the address is shown
  const QFont font = LayoutFont(14);
  setFont(font);

  m_playLabel = new QLabel(this);
  m_playLabel->setObjectName(QStringLiteral("Label1"));
  m_playLabel->setGeometry(8, 24, 65, 25);
  m_playLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
  m_outOfLabel = new QLabel(this);
  m_outOfLabel->setObjectName(QStringLiteral("Label2"));
  m_outOfLabel->setGeometry(96, 24, 49, 25);
  m_outOfLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont bold = font;
  bold.setBold(true);
  for (QLineEdit** edit : {&m_ballsBox, &m_highestBox}) {
    *edit = new QLineEdit(this);
    (*edit)->setFrame(false);
    (*edit)->setFont(bold);
    (*edit)->setTextMargins(0, 0, 0, 0);
  }
  m_ballsBox->setObjectName(QStringLiteral("Edit1"));
  m_ballsBox->setGeometry(80, 24, 17, 17);
  m_highestBox->setObjectName(QStringLiteral("Edit2"));
  m_highestBox->setGeometry(144, 24, 25, 17);
  m_highestBox->installEventFilter(this);
  // The game's name under the numbers, in a smaller type than theirs.
  m_gameName = new QLabel(this);
  m_gameName->setObjectName(QStringLiteral("GameName"));
  m_gameName->setGeometry(8, 44, 169, 17);
  m_gameName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_gameName->setFont(LayoutFont(11));
  connect(m_highestBox, &QLineEdit::textChanged, this, [this] { showGameName(); });
  m_changeButton = new QPushButton(this);
  m_changeButton->setObjectName(QStringLiteral("BitBtn1"));
  m_changeButton->setGeometry(16, 64, 153, 41);
  m_changeButton->setAutoDefault(false);
  connect(m_changeButton, &QPushButton::clicked, this,
          [this] { Guarded([&] { changeOrSave(); }); });

  // The download address, below the game's numbers; shown only when the caller keeps it.
  m_addressLabel = new QLabel(this);
  m_addressLabel->setObjectName(QStringLiteral("AddressLabel"));
  m_addressLabel->setGeometry(8, 117, 384, 17);
  m_addressBox = new QLineEdit(this);
  m_addressBox->setObjectName(QStringLiteral("AddressBox"));
  m_addressBox->setGeometry(8, 137, 384, 21);
  m_addressBox->installEventFilter(this);
  m_addressLabel->hide();
  m_addressBox->hide();

  // m_ballsBox is locked for good: the game always takes six numbers.
  m_ballsBox->setEnabled(false);
  m_ballsBox->setReadOnly(true);
  lock(true);
}

// Locked boxes are silver with maroon digits; the unlocked one is white.
void OptionsDialog::lock(bool locked) {
  for (QLineEdit* edit : {m_ballsBox, m_highestBox}) {
    if (edit == m_ballsBox && !locked) continue;
    QPalette palette = edit->palette();
    const QColor back = locked ? QColor(192, 192, 192) : QColor(Qt::white);
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::Text, QColor(0x80, 0x00, 0x00));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x00, 0x00));
    palette.setColor(QPalette::Disabled, QPalette::Base, back);
    edit->setPalette(palette);
  }
  m_highestBox->setEnabled(!locked);
  m_highestBox->setReadOnly(locked);
  m_addressBox->setEnabled(!locked);
  m_addressBox->setReadOnly(locked);
}

void OptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
  Guarded([&] {
    m_ballsBox->setText(QString::number(m_ballsPerStake));
    m_highestBox->setText(QString::number(m_highestNumber));
    setWindowTitle(T(TextId::TxtOptionsCaption));
    m_changeButton->setText(T(TextId::TxtOptionsChange));
    m_playLabel->setText(T(TextId::TxtOptionsPlay));
    m_outOfLabel->setText(T(TextId::TxtOptionsOutOf));
    m_addressLabel->setText(T(TextId::TxtOptionsAddress));
    m_addressBox->setText(m_address);
    showGameName();
  });
}

void OptionsDialog::showGameName() {
  // While M is being typed, a value the box does not take yet names nothing.
  const std::optional<int32_t> typed = tallyra::ParseInteger(m_highestBox->text().toStdString());
  if (!typed || *typed < 2 || *typed > 99) {
    m_gameName->clear();
    return;
  }
  const tallyra::Game* game = tallyra::GameForHighest(*typed, m_gameId);
  m_gameName->setText(QString::fromUtf8(tallyra::GameName(game, *typed, m_language())));
}

QString OptionsDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void OptionsDialog::editSettings(int32_t ballsPerStake, int32_t highestNumber, Save save,
                                 const QString& address, SaveAddress saveAddress) {
  m_ballsPerStake = ballsPerStake;
  m_highestNumber = highestNumber;
  m_save = std::move(save);
  m_address = address;
  m_saveAddress = std::move(saveAddress);
  const bool withAddress = static_cast<bool>(m_saveAddress);
  m_addressLabel->setVisible(withAddress);
  m_addressBox->setVisible(withAddress);
  m_changeButton->setGeometry(withAddress ? 124 : 16, 64, 153, 41);
  // Under the numbers; the wide dialog gives the longest names room to the right.
  m_gameName->setGeometry(withAddress ? 40 : 8, 44, withAddress ? 352 : 169, 17);
  m_gameName->setAlignment((withAddress ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop);
  setFixedSize(withAddress ? 400 : 185, withAddress ? 170 : 117);
  platform::ExecModal(*this);
  m_save = nullptr;
  m_saveAddress = nullptr;
}

bool OptionsDialog::IsDownloadAddress(const QString& address) {
  const std::string url = address.trimmed().toStdString();
  if (tallyra::TWebClient::SchemeOf(url) == tallyra::TWebClient::Scheme::Other) return false;
  const std::size_t host = url.find("://") + 3;
  if (host >= url.size() || url[host] == '/' || url[host] == ':') return false;
  // No spaces or control characters: they would travel into the request.
  return std::none_of(url.begin(), url.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; });
}

void OptionsDialog::changeOrSave() {
  if (!m_editing) {
    lock(false);
    m_highestBox->setFocus();
    m_changeButton->setText(T(TextId::TxtOptionsSave));
    m_editing = true;
    return;
  }
  std::optional<int32_t> highest;
  const QString text = m_highestBox->text();
  if (!text.isEmpty()) {
    const std::optional<int32_t> value = tallyra::ParseInteger(text.toStdString());
    if (!value) {
      platform::ShowMessage(this, T(TextId::TxtAppTitle), T(TextId::TxtOptionsBadValue));
      return;
    }
    // Values outside 2..99 are let go without a word, as an empty box is.
    if (*value > 1 && *value < 100) highest = *value;
  }
  const QString address = m_addressBox->text().trimmed();
  // A control character could end the request line and add a header of its own.
  if (const auto problem = tallyra::CheckUrl(address.toStdString()); m_saveAddress && problem) {
    platform::ShowProblem(this, *problem, m_language());
    m_addressBox->setFocus();
    return;
  }
  if (m_saveAddress && !address.isEmpty() && !IsDownloadAddress(address)) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle), T(TextId::TxtOptionsBadAddress));
    m_addressBox->setFocus();
    return;
  }
  if (m_save) m_save(highest);
  if (m_saveAddress) m_saveAddress(address);
  accept();
}

void OptionsDialog::done(int result) {
  Guarded([&] {
    lock(true);
    m_changeButton->setText(T(TextId::TxtOptionsChange));
    m_editing = false;
  });
  QDialog::done(result);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == m_highestBox || watched == m_addressBox) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Guarded([&] { changeOrSave(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
