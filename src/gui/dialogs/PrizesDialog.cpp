#include "dialogs/PrizesDialog.h"

#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

using tallyra::TextId;

PrizesDialog::PrizesDialog(QWidget* owner, LanguageSource language, const tallyra::DataFiles& files)
    : QDialog(owner), m_language(std::move(language)), m_files(files) {
  setObjectName(QStringLiteral("PrizesDialog"));
  platform::SetHelpTopic(*this, QStringLiteral("prizes.html"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  auto* form = new QFormLayout;
  auto box = [this](const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(140);
    return edit;
  };
  m_priceLabel = new QLabel(this);
  m_priceBox = box("PriceBox");
  form->addRow(m_priceLabel, m_priceBox);
  const char* const tierNames[4] = {"Tier3Box", "Tier4Box", "Tier5Box", "Tier6Box"};
  for (std::size_t tier = 0; tier < 4; ++tier) {
    m_tierLabels[tier] = new QLabel(this);
    m_tierBoxes[tier] = box(tierNames[tier]);
    form->addRow(m_tierLabels[tier], m_tierBoxes[tier]);
  }
  m_currencyLabel = new QLabel(this);
  m_currencyBox = box("CurrencyBox");
  m_currencyBox->setAlignment(Qt::AlignLeft);
  m_currencyBox->setMaxLength(static_cast<int>(tallyra::kMaxCurrencyBytes));
  form->addRow(m_currencyLabel, m_currencyBox);

  m_okButton = new QPushButton(this);
  m_okButton->setObjectName(QStringLiteral("OkButton"));
  m_okButton->setDefault(true);
  m_cancelButton = new QPushButton(this);
  m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_okButton);
  buttons->addWidget(m_cancelButton);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addLayout(buttons);
  connect(m_okButton, &QPushButton::clicked, this,
          [this] { platform::RunHandler(this, [&] { confirm(); }); });
  connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString PrizesDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void PrizesDialog::applyTexts() {
  setWindowTitle(T(TextId::TxtPrizesCaption));
  m_priceLabel->setText(T(TextId::TxtPrizesPrice));
  for (std::size_t tier = 0; tier < 4; ++tier) {
    m_tierLabels[tier]->setText(QString::fromStdString(
        tallyra::Format(TextId::TxtPrizesTier, m_language(), {std::to_string(tier + 3)})));
  }
  m_currencyLabel->setText(T(TextId::TxtPrizesCurrency));
  m_okButton->setText(T(TextId::TxtOk));
  m_cancelButton->setText(T(TextId::TxtCancel));
}

void PrizesDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
}

void PrizesDialog::reload() {
  if (!QFile::exists(platform::DataPath(m_files, tallyra::kPrizeTableFileName))) return;
  if (const tallyra::Problem problem =
          tallyra::LoadPrizes(m_files.path(tallyra::kPrizeTableFileName), m_prizes)) {
    const int32_t language = m_language();
    const tallyra::Problem told = m_files.named(problem, tallyra::kPrizeTableFileName);
    platform::ShowMessage(parentWidget(), T(TextId::TxtAppTitle),
                          QString::fromStdString(tallyra::Describe(told, language)) +
                              QLatin1Char('\n') + T(TextId::TxtPrizeTableKept));
  }
}

void PrizesDialog::editPrizes(Save save) {
  applyTexts();
  const tallyra::PrizeTable& table = m_prizes.table;
  m_priceBox->setText(QString::fromStdString(tallyra::FormatAmount(table.price)));
  for (std::size_t tier = 0; tier < 4; ++tier) {
    m_tierBoxes[tier]->setText(QString::fromStdString(tallyra::FormatAmount(table.amounts[tier])));
  }
  m_currencyBox->setText(QString::fromStdString(table.currency));
  m_save = std::move(save);
  platform::ExecModal(*this);
  m_save = nullptr;
}

std::optional<tallyra::PrizeTable> PrizesDialog::readBoxes(QString& problem) const {
  tallyra::PrizeTable table;
  const int32_t language = m_language();
  auto read = [&](const QLabel* label, const QLineEdit* edit, tallyra::Money& into) {
    const tallyra::AmountRead amount = tallyra::ParseAmount(edit->text().toStdString());
    if (amount.problem) {
      problem = QString::fromStdString(tallyra::Format(
          TextId::TxtPrizesFieldProblem, language,
          {label->text().toStdString(), tallyra::Describe(amount.problem, language)}));
      return false;
    }
    into = amount.value;
    return true;
  };
  if (!read(m_priceLabel, m_priceBox, table.price)) return std::nullopt;
  for (std::size_t tier = 0; tier < 4; ++tier) {
    if (!read(m_tierLabels[tier], m_tierBoxes[tier], table.amounts[tier])) return std::nullopt;
  }
  const std::string currency = m_currencyBox->text().trimmed().toStdString();
  if (const std::optional<TextId> reason = tallyra::CurrencyProblem(currency)) {
    problem = QString::fromStdString(
        tallyra::Format(TextId::TxtPrizesFieldProblem, language,
                        {m_currencyLabel->text().toStdString(), tallyra::Text(*reason, language)}));
    return std::nullopt;
  }
  table.currency = currency;
  return table;
}

void PrizesDialog::confirm() {
  QString problem;
  const std::optional<tallyra::PrizeTable> table = readBoxes(problem);
  if (!table) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle), problem);
    return;
  }
  if (m_save) m_save(*table);
  m_prizes.table = *table;
  accept();
}
