#include "dialogs/WheelsDialog.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <atomic>

#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"
#include "wheels/Builder.h"

using tallyra::TextId;
namespace wh = tallyra::wheels;

// The wheel's tickets for the read-only grid: one row a ticket, its six numbers in columns.
// A wheel may hold many tickets, so the grid asks for the cells it shows only.
class TicketsModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void setTickets(const std::vector<wh::Ticket>* tickets) {
    beginResetModel();
    m_tickets = tickets;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !m_tickets ? 0 : static_cast<int>(m_tickets->size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : wh::kTicketSize;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || !m_tickets) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    const wh::Ticket& ticket = (*m_tickets)[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    return column < ticket.size() ? QVariant(ticket[column]) : QVariant();
  }
  QVariant headerData(int section, Qt::Orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return QString::number(section + 1);
  }

 private:
  const std::vector<wh::Ticket>* m_tickets = nullptr;
};

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kCoverageColumns = 7;

QString NumbersText(const std::vector<int32_t>& numbers) {
  QStringList parts;
  for (const int32_t n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

// A problem about a guarantee names it in words, as the window writes guarantees.
QString ProblemText(wh::InputProblem problem, wh::Guarantee guarantee, int32_t language) {
  for (std::string& arg : problem.args) {
    if (arg == wh::GuaranteeText(guarantee)) arg = wh::GuaranteeWords(guarantee, language);
  }
  return QString::fromStdString(problem.text(language));
}

}  // namespace

WheelsDialog::WheelsDialog(QWidget* owner, LanguageSource language)
    : QDialog(owner), m_language(std::move(language)) {
  setObjectName(QStringLiteral("Wheels"));
  platform::SetHelpTopic(*this, QStringLiteral("wheels.html"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(LayoutFont(13));

  auto named = [](auto* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  m_poolLabel = named(new QLabel(this), "PoolLabel");
  m_poolEdit = named(new QLineEdit(this), "PoolEdit");
  m_systemLabel = named(new QLabel(this), "SystemLabel");
  m_systemCombo = named(new QComboBox(this), "SystemCombo");
  m_guaranteeLabel = named(new QLabel(this), "GuaranteeLabel");
  m_tSpin = named(new QSpinBox(this), "TSpin");
  m_ifLabel = named(new QLabel(this), "IfLabel");
  m_mSpin = named(new QSpinBox(this), "MSpin");
  m_secondsLabel = named(new QLabel(this), "SecondsLabel");
  m_secondsSpin = named(new QSpinBox(this), "SecondsSpin");
  m_buildButton = named(new QPushButton(this), "BuildButton");
  m_checkButton = named(new QPushButton(this), "CheckStakesButton");
  m_sendButton = named(new QPushButton(this), "SendButton");
  m_closeButton = named(new QPushButton(this), "CloseButton");
  m_ticketsView = named(new QTableView(this), "TicketsGrid");
  m_countLabel = named(new QLabel(this), "CountLabel");
  m_costLabel = named(new QLabel(this), "CostLabel");
  m_noteLabel = named(new QLabel(this), "NoteLabel");
  m_coverageLabel = named(new QLabel(this), "CoverageLabel");
  m_coverageTable = named(new QTableWidget(0, kCoverageColumns, this), "CoverageTable");

  for (QSpinBox* spin : {m_tSpin, m_mSpin}) spin->setRange(2, wh::kTicketSize);
  m_tSpin->setValue(3);
  m_mSpin->setValue(4);
  m_secondsSpin->setRange(0, 3600);
  m_secondsSpin->setValue(10);
  m_poolEdit->setMinimumWidth(360);
  m_noteLabel->setWordWrap(true);
  for (QPushButton* button : {m_buildButton, m_checkButton, m_sendButton, m_closeButton})
    button->setAutoDefault(false);
  // Enter in the boxes builds.
  m_buildButton->setDefault(true);

  m_ticketsModel = new TicketsModel(this);
  m_ticketsModel->setTickets(&m_tickets);
  m_ticketsView->setModel(m_ticketsModel);
  m_ticketsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_ticketsView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  m_ticketsView->verticalHeader()->setDefaultSectionSize(20);
  m_ticketsView->setFixedWidth(330);
  m_ticketsView->setMinimumHeight(300);

  m_coverageTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_coverageTable->verticalHeader()->hide();
  m_coverageTable->verticalHeader()->setDefaultSectionSize(20);
  m_coverageTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_coverageTable->horizontalHeader()->setStretchLastSection(true);
  m_coverageTable->setMinimumWidth(560);

  auto* inputs = new QGridLayout;
  inputs->setColumnStretch(2, 1);
  inputs->addWidget(m_poolLabel, 0, 0);
  inputs->addWidget(m_poolEdit, 0, 1, 1, 2);
  inputs->addWidget(m_systemLabel, 1, 0);
  inputs->addWidget(m_systemCombo, 1, 1, 1, 2);
  auto* guarantee = new QHBoxLayout;
  guarantee->addWidget(m_tSpin);
  guarantee->addWidget(m_ifLabel);
  guarantee->addWidget(m_mSpin);
  guarantee->addSpacing(24);
  guarantee->addWidget(m_secondsLabel);
  guarantee->addWidget(m_secondsSpin);
  guarantee->addStretch();
  inputs->addWidget(m_guaranteeLabel, 2, 0);
  inputs->addLayout(guarantee, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {m_buildButton, m_checkButton, m_sendButton}) {
    buttons->addWidget(button);
  }
  buttons->addStretch();
  buttons->addWidget(m_closeButton);

  auto* left = new QVBoxLayout;
  left->addWidget(m_ticketsView, 1);
  left->addWidget(m_countLabel);
  left->addWidget(m_costLabel);
  auto* right = new QVBoxLayout;
  right->addWidget(m_coverageLabel);
  right->addWidget(m_coverageTable, 1);
  right->addWidget(m_noteLabel);
  auto* results = new QHBoxLayout;
  results->addLayout(left);
  results->addLayout(right, 1);

  auto* whole = new QVBoxLayout(this);
  whole->addLayout(inputs);
  whole->addLayout(buttons);
  whole->addLayout(results, 1);
  resize(940, 560);

  connect(m_systemCombo, &QComboBox::activated, this,
          [this](int index) { Guarded([&] { systemStakeChosen(index); }); });
  connect(m_buildButton, &QPushButton::clicked, this, [this] { Guarded([&] { build(); }); });
  connect(m_checkButton, &QPushButton::clicked, this, [this] { Guarded([&] { checkStakes(); }); });
  connect(m_sendButton, &QPushButton::clicked, this, [this] { Guarded([&] { send(); }); });
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

WheelsDialog::~WheelsDialog() = default;

QString WheelsDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void WheelsDialog::Tell(const QString& text) {
  platform::ShowMessage(this, T(TextId::TxtAppTitle), text);
}

void WheelsDialog::showWheels(Inputs inputs, Send send) {
  m_inputs = std::move(inputs);
  m_send = std::move(send);
  m_noteLabel->clear();
  fillSystemStakes();
  if (!m_inputs.pool.empty()) m_poolEdit->setText(NumbersText(m_inputs.pool));
  platform::ExecModal(*this);
  m_send = nullptr;
}

void WheelsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
  Guarded([&] { applyTexts(); });
}

void WheelsDialog::applyTexts() {
  setWindowTitle(T(TextId::TxtWheelsCaption));
  m_poolLabel->setText(T(TextId::TxtWheelsPool));
  m_poolEdit->setPlaceholderText(QStringLiteral("1 5 7 12 18 23 30 ..."));
  m_systemLabel->setText(T(TextId::TxtWheelsFromSystem));
  if (m_systemCombo->count() > 0) m_systemCombo->setItemText(0, T(TextId::TxtWheelsChooseSystem));
  m_guaranteeLabel->setText(T(TextId::TxtWheelsGuarantee));
  m_ifLabel->setText(T(TextId::TxtWheelsIf));
  m_secondsLabel->setText(T(TextId::TxtWheelsSeconds));
  m_buildButton->setText(T(TextId::TxtWheelsBuild));
  m_checkButton->setText(T(TextId::TxtWheelsCheckStakes));
  m_sendButton->setText(T(TextId::TxtWheelsSend));
  m_closeButton->setText(T(TextId::TxtWheelsClose));
  m_coverageTable->setHorizontalHeaderLabels(
      {QStringLiteral("t"), QStringLiteral("m"), T(TextId::TxtWheelsColCovered),
       T(TextId::TxtWheelsColTotal), T(TextId::TxtWheelsColPercent), T(TextId::TxtWheelsColHolds),
       T(TextId::TxtWheelsColExample)});
  showWheelFigures();
  showCoverage(m_coverageOfWheel);
}

void WheelsDialog::fillSystemStakes() {
  m_systemCombo->clear();
  m_systemCombo->addItem(T(TextId::TxtWheelsChooseSystem));
  for (std::size_t i = 0; i < m_inputs.systemStakes.size(); ++i) {
    m_systemCombo->addItem(QString::number(i + 1) + QStringLiteral(" - ") +
                           NumbersText(m_inputs.systemStakes[i]));
  }
  m_systemCombo->setEnabled(!m_inputs.systemStakes.empty());
}

void WheelsDialog::systemStakeChosen(int index) {
  if (index < 1 || static_cast<std::size_t>(index) > m_inputs.systemStakes.size()) return;
  m_poolEdit->setText(NumbersText(m_inputs.systemStakes[static_cast<std::size_t>(index - 1)]));
}

std::optional<std::vector<int32_t>> WheelsDialog::readPool() {
  // Numbers may be parted by blanks, commas or semicolons, in any mix.
  const QStringList parts =
      m_poolEdit->text().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
  if (parts.isEmpty()) {
    Tell(T(TextId::TxtWheelsPoolEmpty));
    return std::nullopt;
  }
  std::vector<int32_t> pool;
  if (auto problem =
          wh::ParsePool(parts.join(QLatin1Char(',')).toStdString(), m_inputs.highestNumber, pool)) {
    Tell(QString::fromStdString(problem->text(m_language())));
    return std::nullopt;
  }
  return pool;
}

std::optional<wh::Coverage> WheelsDialog::verify(const std::vector<int32_t>& pool,
                                                 const std::vector<wh::Ticket>& tickets) {
  wh::Coverage coverage;
  tallyra::WorkControl control;
  control.SetTotal(kProgressSteps);
  platform::TaskWindow look;
  look.title = T(TextId::TxtWheelsCaption);
  look.text = T(TextId::TxtWheelsChecking);
  const bool finished = platform::RunLongTask(this, look, control, [&](tallyra::WorkControl& work) {
    wh::VerifyOptions options;
    options.cancel = &work.CancelFlag();
    options.progress = [&](double share) {
      work.SetDone(static_cast<int64_t>(share * kProgressSteps));
    };
    coverage = wh::Verify(pool, tickets, options);
  });
  if (!finished || coverage.cancelled) return std::nullopt;
  return coverage;
}

void WheelsDialog::build() {
  const std::optional<std::vector<int32_t>> pool = readPool();
  if (!pool) return;
  const wh::Guarantee guarantee{m_tSpin->value(), m_mSpin->value()};
  if (auto problem = wh::CheckGuarantee(guarantee, static_cast<int>(pool->size()))) {
    Tell(ProblemText(*problem, guarantee, m_language()));
    return;
  }
  // A wheel that could never join the stakes is not built: it would only cost time and memory.
  const uint64_t bound = wh::LowerBound(static_cast<int>(pool->size()), guarantee);
  if (m_inputs.maxTickets > 0 && bound > static_cast<uint64_t>(m_inputs.maxTickets)) {
    Tell(QString::fromStdString(
        tallyra::Format(TextId::TxtWheelsTooManyTickets, m_language(),
                        {wh::GuaranteeWords(guarantee, m_language()), std::to_string(bound),
                         std::to_string(m_inputs.maxTickets)})));
    return;
  }

  wh::BuildResult result;
  tallyra::WorkControl control;
  control.SetTotal(kProgressSteps);
  const int language = m_language();
  const double seconds = m_secondsSpin->value();
  platform::TaskWindow look;
  look.title = T(TextId::TxtWheelsCaption);
  look.text = T(TextId::TxtWheelsBuilding);
  // The size of the smallest wheel found so far, once there is one.
  look.describe = [language](const platform::TaskFigures& figures) {
    return figures.note > 0 ? QString::fromStdString(tallyra::Format(
                                  TextId::TxtWheelsBest, language, {std::to_string(figures.note)}))
                            : QString();
  };
  const bool finished = platform::RunLongTask(this, look, control, [&](tallyra::WorkControl& work) {
    wh::BuildOptions options;
    options.seconds = seconds;
    options.cancel = &work.CancelFlag();
    options.progress = [&](double share, int size) {
      work.SetNote(size);
      work.SetDone(static_cast<int64_t>(share * kProgressSteps));
    };
    result = wh::BuildWheel(*pool, guarantee, options);
  });
  if (result.problem) {
    Tell(ProblemText(*result.problem, guarantee, language));
    return;
  }
  const bool stopped = !finished || result.cancelled;
  if (result.tickets.empty()) {
    // Stopped, or out of time, before the first verified wheel: the wheel shown before stays.
    if (stopped) {
      Tell(T(TextId::TxtWheelsStoppedEmpty));
    } else if (result.timedOut) {
      Tell(QString::fromStdString(tallyra::Format(TextId::TxtWheelTimeRanOut, language,
                                                  {wh::GuaranteeWords(guarantee, language)})));
    }
    return;
  }

  m_tickets = std::move(result.tickets);
  m_wheelPool = *pool;
  m_wheelGuarantee = guarantee;
  m_wheelBound = result.bound;
  m_ticketsModel->setTickets(&m_tickets);
  m_coverage = verify(m_wheelPool, m_tickets);
  m_coverageOfWheel = true;
  showWheelFigures();
  showCoverage(true);
  m_noteLabel->setText(stopped       ? T(TextId::TxtWheelsStoppedKept)
                       : !m_coverage ? T(TextId::TxtWheelsCheckStopped)
                                     : QString());
}

void WheelsDialog::checkStakes() {
  const std::optional<std::vector<int32_t>> pool = readPool();
  if (!pool) return;
  if (m_inputs.stakes.empty()) {
    Tell(T(TextId::TxtWheelsNoStakes));
    return;
  }
  m_coverage = verify(*pool, m_inputs.stakes);
  m_coverageOfWheel = false;
  showCoverage(false);
  if (!m_coverage) {
    m_noteLabel->setText(T(TextId::TxtWheelsCheckStopped));
  } else if (m_coverage->outsidePool > 0) {
    m_noteLabel->setText(QString::fromStdString(tallyra::Format(
        TextId::TxtWheelOutsidePool, m_language(), {std::to_string(m_coverage->outsidePool)})));
  } else {
    m_noteLabel->clear();
  }
}

void WheelsDialog::send() {
  if (m_tickets.empty()) {
    Tell(T(TextId::TxtWheelsNothingToSend));
    return;
  }
  if (!m_send) return;
  if (const std::optional<QString> refusal = m_send(m_tickets)) {
    Tell(*refusal);
    return;
  }
  m_inputs.stakes.insert(m_inputs.stakes.end(), m_tickets.begin(), m_tickets.end());
  Tell(QString::fromStdString(
      tallyra::Format(TextId::TxtWheelsSent, m_language(), {std::to_string(m_tickets.size())})));
}

void WheelsDialog::showWheelFigures() {
  if (m_tickets.empty()) {
    m_countLabel->clear();
    m_costLabel->clear();
    return;
  }
  const int language = m_language();
  m_countLabel->setText(QString::fromStdString(tallyra::Format(
      TextId::TxtWheelsCount, language,
      {wh::GuaranteeWords(m_wheelGuarantee, language), std::to_string(m_tickets.size()),
       std::to_string(m_wheelBound), wh::LowerBoundWords(m_wheelGuarantee, language),
       wh::RatioText(m_tickets.size(), m_wheelBound, language)})));
  // The cost only when a ticket has a price, and only when the sum fits.
  std::optional<tallyra::Money> cost;
  if (m_inputs.ticketPrice && *m_inputs.ticketPrice > 0) {
    cost = tallyra::MultiplyMoney(*m_inputs.ticketPrice, static_cast<int64_t>(m_tickets.size()));
  }
  m_costLabel->setText(cost
                           ? QString::fromStdString(
                                 tallyra::Format(TextId::TxtWheelsCost, language,
                                                 {tallyra::FormatAmount(*cost), m_inputs.currency}))
                                 .trimmed()
                           : QString());
}

void WheelsDialog::showCoverage(bool ofWheel) {
  if (!m_coverage) {
    m_coverageTable->setRowCount(0);
    m_coverageLabel->clear();
    return;
  }
  const wh::Coverage& coverage = *m_coverage;
  QString caption =
      T(ofWheel ? TextId::TxtWheelsCoverageOfWheel : TextId::TxtWheelsCoverageOfStakes);
  if (!ofWheel) {
    caption += QStringLiteral(". ") +
               QString::fromStdString(tallyra::Format(TextId::TxtWheelsStakesCount, m_language(),
                                                      {std::to_string(coverage.tickets)}));
  }
  m_coverageLabel->setText(caption);
  m_coverageTable->setRowCount(static_cast<int>(coverage.rows.size()));
  int row = 0;
  for (const wh::CoverageRow& r : coverage.rows) {
    const QStringList cells = {QString::number(r.guarantee.t),
                               QString::number(r.guarantee.m),
                               QString::number(r.covered),
                               QString::number(r.total),
                               QString::fromStdString(wh::CoveragePercent(r.covered, r.total)),
                               T(r.holds() ? TextId::TxtWheelsYes : TextId::TxtWheelsNo),
                               r.witnesses.empty() ? QString() : NumbersText(r.witnesses.front())};
    for (int column = 0; column < kCoverageColumns; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setTextAlignment(column < kCoverageColumns - 1 ? Qt::Alignment(Qt::AlignCenter)
                                                           : (Qt::AlignLeft | Qt::AlignVCenter));
      m_coverageTable->setItem(row, column, item);
    }
    ++row;
  }
}
