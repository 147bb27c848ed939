#include "dialogs/WinningsDialog.h"

#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "model/Errors.h"
#include "platform/FileDialog.h"
#include "platform/Handler.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

using tallyra::DrawChoice;
using tallyra::TextId;

namespace {

QString Money(tallyra::Money value) {
  return QString::fromStdString(tallyra::FormatAmount(value));
}

// A prized row stands out: pale gold behind bold figures.
const QColor kPrizeBackground(255, 236, 150);

// Sorts by the model's numbers directly: with 200 000 rows a comparison through QVariants
// costs a visible pause.
class WinningsSortModel final : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    const auto* model = static_cast<const WinningsModel*>(sourceModel());
    return model->sortKey(left.row(), left.column()) < model->sortKey(right.row(), right.column());
  }
};

}  // namespace

void WinningsModel::setReport(const tallyra::WinningsReport* report) {
  beginResetModel();
  m_report = report;
  endResetModel();
}

void WinningsModel::setLanguage(int32_t language) {
  m_language = language;
  emit headerDataChanged(Qt::Horizontal, 0, Columns - 1);
  if (rowCount() > 0) emit dataChanged(index(0, List), index(rowCount() - 1, List));
}

int WinningsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !m_report) return 0;
  return static_cast<int>(m_report->stakes.size() + m_report->system.size());
}

int WinningsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Columns;
}

const tallyra::WinningsRow& WinningsModel::rowAt(int row, bool& system, int& index) const {
  const int stakes = static_cast<int>(m_report->stakes.size());
  system = row >= stakes;
  index = system ? row - stakes : row;
  return system ? m_report->system[static_cast<std::size_t>(index)]
                : m_report->stakes[static_cast<std::size_t>(index)];
}

int64_t WinningsModel::sortKey(int row, int column) const {
  bool system = false;
  int index = 0;
  const tallyra::WinningsRow& r = rowAt(row, system, index);
  switch (column) {
    case List:
      return system ? 1 : 0;
    case Row:
      return index + 1;
    case Numbers:
      return r.numbers;
    case Tier3:
    case Tier4:
    case Tier5:
    case Tier6:
      return r.tickets[static_cast<std::size_t>(column - Tier3)];
    case Winnings:
      return r.winnings;
    case Cost:
      return r.cost;
    default:
      return r.balance;
  }
}

QVariant WinningsModel::data(const QModelIndex& index, int role) const {
  if (!m_report || !index.isValid()) return {};
  bool system = false;
  int row = 0;
  const tallyra::WinningsRow& r = rowAt(index.row(), system, row);
  if (role == Qt::BackgroundRole) return r.won() ? QVariant(QBrush(kPrizeBackground)) : QVariant();
  if (role == Qt::FontRole) {
    if (!r.won()) return {};
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::TextAlignmentRole) {
    return index.column() == List ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
  }
  if (role == Qt::UserRole) {
    return static_cast<qlonglong>(sortKey(index.row(), index.column()));
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case List:
      return platform::Tr(system ? TextId::TxtWListSystem : TextId::TxtWListStakes, m_language);
    case Winnings:
      return Money(r.winnings);
    case Cost:
      return Money(r.cost);
    case Balance:
      return Money(r.balance);
    default:
      return QString::number(sortKey(index.row(), index.column()));
  }
}

QVariant WinningsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (section) {
    case List:
      return platform::Tr(TextId::TxtWColList, m_language);
    case Row:
      return platform::Tr(TextId::TxtWColRow, m_language);
    case Numbers:
      return platform::Tr(TextId::TxtWColNumbers, m_language);
    case Tier3:
    case Tier4:
    case Tier5:
    case Tier6:
      return QString::number(section - Tier3 + 3);
    case Winnings:
      return platform::Tr(TextId::TxtWColWinnings, m_language);
    case Cost:
      return platform::Tr(TextId::TxtWColCost, m_language);
    default:
      return platform::Tr(TextId::TxtWColBalance, m_language);
  }
}

WinningsDialog::WinningsDialog(QWidget* owner, int32_t language, const tallyra::DataFiles& files)
    : QDialog(owner), m_language(language), m_files(files) {
  setObjectName(QStringLiteral("WinningsDialog"));
  platform::SetHelpTopic(*this, QStringLiteral("winnings.html"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMaximizeButtonHint);
  setModal(false);
  resize(1000, 640);
  auto name = [](QObject* object, const char* text) {
    object->setObjectName(QString::fromLatin1(text));
  };

  m_latestRadio = new QRadioButton(this);
  name(m_latestRadio, "LatestRadio");
  m_latestRadio->setChecked(true);
  m_oneRadio = new QRadioButton(this);
  name(m_oneRadio, "OneRadio");
  m_drawSpin = new QSpinBox(this);
  name(m_drawSpin, "DrawSpin");
  m_drawSpin->setRange(1, 1);
  m_allRadio = new QRadioButton(this);
  name(m_allRadio, "AllRadio");
  m_drawPrizesButton = new QPushButton(this);
  name(m_drawPrizesButton, "DrawPrizesButton");
  m_drawPrizesLabel = new QLabel(this);
  name(m_drawPrizesLabel, "DrawPrizesLabel");
  m_computeButton = new QPushButton(this);
  name(m_computeButton, "ComputeButton");
  m_computeButton->setDefault(true);
  auto* choiceRow = new QHBoxLayout;
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_latestRadio, m_oneRadio, m_drawSpin, m_allRadio,
                                       m_drawPrizesButton, m_drawPrizesLabel}) {
    choiceRow->addWidget(w);
  }
  choiceRow->addStretch();
  choiceRow->addWidget(m_computeButton);

  m_model = new WinningsModel(this);
  m_model->setLanguage(language);
  m_proxy = new WinningsSortModel(this);
  m_proxy->setSourceModel(m_model);
  m_proxy->setSortRole(Qt::UserRole);
  m_view = new QTableView(this);
  name(m_view, "WinningsTable");
  m_view->setModel(m_proxy);
  m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_view->verticalHeader()->setDefaultSectionSize(20);
  m_view->verticalHeader()->hide();
  m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Rows come in the report's order until a header is clicked.
  m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_view->setSortingEnabled(true);
  const int widths[WinningsModel::Columns] = {64, 50, 58, 64, 50, 46, 40, 96, 96, 96};
  for (int c = 0; c < WinningsModel::Columns; ++c) m_view->setColumnWidth(c, widths[c]);

  m_series = new QLineSeries;
  name(m_series, "CumulativeBalance");
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->addSeries(m_series);
  m_drawAxis = new QValueAxis;
  m_drawAxis->setLabelFormat(QStringLiteral("%d"));
  m_balanceAxis = new QValueAxis;
  // Up to six figures as they are; the scale in the title keeps the values below a million.
  m_balanceAxis->setLabelFormat(QStringLiteral("%g"));
  QFont small = m_balanceAxis->labelsFont();
  small.setPixelSize(10);
  m_balanceAxis->setLabelsFont(small);
  m_drawAxis->setLabelsFont(small);
  m_drawAxis->setTickType(QValueAxis::TicksDynamic);
  chart->addAxis(m_drawAxis, Qt::AlignBottom);
  chart->addAxis(m_balanceAxis, Qt::AlignLeft);
  m_series->attachAxis(m_drawAxis);
  m_series->attachAxis(m_balanceAxis);
  m_chartView = new QChartView(chart, this);
  name(m_chartView, "BalanceChart");
  m_chartView->setRenderHint(QPainter::Antialiasing);
  m_chartView->setMinimumWidth(260);

  auto* splitter = new QSplitter(this);
  splitter->addWidget(m_view);
  splitter->addWidget(m_chartView);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({700, 300});

  m_totalsLabel = new QLabel(this);
  name(m_totalsLabel, "TotalsLabel");
  m_totalsLabel->setWordWrap(true);
  m_totalsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_bestWorstLabel = new QLabel(this);
  name(m_bestWorstLabel, "BestWorstLabel");
  m_bestWorstLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_exportButton = new QPushButton(this);
  name(m_exportButton, "ExportButton");
  m_closeButton = new QPushButton(this);
  name(m_closeButton, "CloseButton");
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(m_exportButton);
  buttonRow->addWidget(m_closeButton);

  auto* column = new QVBoxLayout(this);
  column->addLayout(choiceRow);
  column->addWidget(splitter, 1);
  column->addWidget(m_totalsLabel);
  column->addWidget(m_bestWorstLabel);
  column->addLayout(buttonRow);

  auto guarded = [this](auto handler) {
    return [this, handler] { platform::RunHandler(this, handler); };
  };
  connect(m_computeButton, &QPushButton::clicked, this, guarded([this] { compute(); }));
  connect(m_exportButton, &QPushButton::clicked, this, guarded([this] { exportCsv(); }));
  connect(m_drawPrizesButton, &QPushButton::clicked, this, guarded([this] {
            platform::FileDialogOptions options;
            options.title = T(TextId::TxtWinningsDrawPrizes);
            options.filters = {T(TextId::TxtFilterPrizes), T(TextId::TxtFilterAll)};
            if (const auto path = platform::GetOpenFileName(this, m_files, options)) {
              if (loadDrawPrizes(*path)) compute();
            }
          }));
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
  connect(m_drawSpin, &QSpinBox::valueChanged, this, [this] { m_oneRadio->setChecked(true); });
  showReport();
}

QString WinningsDialog::T(TextId id) const {
  return platform::Tr(id, m_language);
}

void WinningsDialog::setInputs(tallyra::WinningsInput input, tallyra::Prizes prizes) {
  m_input = std::move(input);
  m_prizes = std::move(prizes);
  {
    const QSignalBlocker quiet(m_drawSpin);
    m_drawSpin->setRange(1, std::max(1, m_input.draws.count));
    if (!m_oneRadio->isChecked()) m_drawSpin->setValue(std::max(1, m_input.draws.count));
  }
  m_hasReport = false;
  m_report = {};
  showReport();
}

void WinningsDialog::setChoice(DrawChoice choice) {
  const QSignalBlocker quiet(m_drawSpin);
  if (choice.kind == DrawChoice::Kind::One) m_drawSpin->setValue(choice.draw);
  QRadioButton* radio = choice.kind == DrawChoice::Kind::Latest ? m_latestRadio
                        : choice.kind == DrawChoice::Kind::One  ? m_oneRadio
                                                                : m_allRadio;
  radio->setChecked(true);
}

DrawChoice WinningsDialog::choice() const {
  DrawChoice choice;
  if (m_oneRadio->isChecked()) {
    choice.kind = DrawChoice::Kind::One;
    choice.draw = m_drawSpin->value();
  } else if (m_allRadio->isChecked()) {
    choice.kind = DrawChoice::Kind::All;
  }
  return choice;
}

bool WinningsDialog::compute() {
  if (m_input.stakes.count == 0 && m_input.system.count == 0) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle), T(TextId::TxtWinningsNoStakes));
    return false;
  }
  tallyra::Prizes prizes = m_prizes;
  for (const auto& [draw, amounts] : m_drawPrizes) prizes.byDraw[draw] = amounts;
  const DrawChoice chosen = choice();
  tallyra::WinningsOutcome outcome;
  bool finished = false;
  try {
    finished = platform::RunLongTask(
        this, T(TextId::TxtWinningsComputing), [&](tallyra::WorkControl& control) {
          outcome = tallyra::ComputeWinnings(m_input, prizes, chosen, &control.CancelFlag());
        });
  } catch (const tallyra::ProblemError& e) {
    // What the run could not return comes back across the thread; it reads like the others.
    outcome.problem = e.problem();
    finished = true;
  }
  if (!finished) return false;
  if (outcome.problem) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle),
                          QString::fromStdString(tallyra::Describe(outcome.problem, m_language)));
    return false;
  }
  m_report = std::move(outcome.report);
  m_hasReport = true;
  showReport();
  return true;
}

bool WinningsDialog::loadDrawPrizes(const QString& path) {
  tallyra::Prizes read;
  if (const tallyra::Problem problem = tallyra::LoadPrizes(platform::ToLocalPath(path), read)) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle),
                          QString::fromStdString(tallyra::Describe(problem, m_language)) +
                              QLatin1Char('\n') + T(TextId::TxtPrizeTableKept));
    return false;
  }
  m_drawPrizes = std::move(read.byDraw);
  m_drawPrizesPath = path;
  applyTexts();
  return true;
}

void WinningsDialog::showReport() {
  m_model->setReport(m_hasReport ? &m_report : nullptr);
  QList<QPointF> points;
  if (m_hasReport) {
    points.reserve(static_cast<qsizetype>(m_report.draws.size()));
    for (const tallyra::DrawFigures& d : m_report.draws) {
      points.append(QPointF(d.draw, static_cast<double>(d.cumulative) / tallyra::kMinorPerMajor));
    }
  }
  // Large balances are shown in millions or billions, so that the axis labels stay
  // short enough to be read whole beside a narrow chart.
  double biggest = 0;
  for (const QPointF& p : points) biggest = std::max(biggest, std::abs(p.y()));
  m_balanceScale = biggest >= 1e9 ? 3 : biggest >= 1e6 ? 2 : 0;
  const double divisor = std::pow(1000.0, m_balanceScale);
  for (QPointF& p : points) p.setY(p.y() / divisor);
  m_series->replace(points);
  // One draw makes no line: the chart is shown for a report over several.
  m_chartView->setVisible(points.size() > 1);
  if (points.size() > 1) {
    double low = 0, high = 0;
    for (const QPointF& p : points) {
      low = std::min(low, p.y());
      high = std::max(high, p.y());
    }
    if (high - low < 1) high = low + 1;
    const double margin = (high - low) * 0.05;
    m_drawAxis->setRange(points.front().x(), points.back().x());
    // Ticks on round draws (multiples of 1, 2, 5, 10, 20, 50...), at most five steps apart.
    const auto span = static_cast<int64_t>(points.back().x() - points.front().x());
    m_drawAxis->setTickAnchor(0);
    m_drawAxis->setTickInterval(static_cast<double>(tallyra::RoundDrawStep(span, 5)));
    m_balanceAxis->setRange(low - margin, high + margin);
    m_balanceAxis->applyNiceNumbers();
  }
  m_exportButton->setEnabled(m_hasReport);
  applyTexts();
}

void WinningsDialog::setLanguage(int32_t language) {
  m_language = language;
  m_model->setLanguage(language);
  applyTexts();
}

void WinningsDialog::applyTexts() {
  setWindowTitle(T(TextId::TxtWinningsCaption));
  m_latestRadio->setText(T(TextId::TxtWinningsLatest));
  m_oneRadio->setText(T(TextId::TxtWinningsOne));
  m_allRadio->setText(T(TextId::TxtWinningsAll));
  m_drawPrizesButton->setText(T(TextId::TxtWinningsDrawPrizes));
  m_drawPrizesLabel->setText(
      m_drawPrizesPath.isEmpty()
          ? QString()
          : QString::fromStdString(
                tallyra::Format(TextId::TxtWinningsDrawPrizesFile, m_language,
                                {m_drawPrizesPath.section(QLatin1Char('/'), -1).toStdString()})));
  m_computeButton->setText(T(TextId::TxtWinningsCompute));
  m_exportButton->setText(T(TextId::TxtWinningsExport));
  m_closeButton->setText(T(TextId::TxtClose));
  m_chartView->chart()->setTitle(T(TextId::TxtWinningsChart));
  m_drawAxis->setTitleText(T(TextId::TxtWinningsAxisDraw));
  const TextId balanceTitles[] = {TextId::TxtWinningsAxisBalance, TextId::TxtWinningsAxisBalance,
                                  TextId::TxtWinningsAxisMillions, TextId::TxtWinningsAxisBillions};
  m_balanceAxis->setTitleText(T(balanceTitles[m_balanceScale]));
  if (!m_hasReport) {
    m_totalsLabel->clear();
    m_bestWorstLabel->clear();
    return;
  }
  const tallyra::WinningsReport& r = m_report;
  const std::string unit = m_prizes.table.currency.empty() ? "" : " " + m_prizes.table.currency;
  auto money = [&](tallyra::Money value) { return tallyra::FormatAmount(value) + unit; };
  const std::string draws = tallyra::DrawSpanText(r, m_language);
  m_totalsLabel->setText(QString::fromStdString(
      tallyra::Format(TextId::TxtWinningsTotals, m_language,
                      {draws, std::to_string(r.tickets[0]), std::to_string(r.tickets[1]),
                       std::to_string(r.tickets[2]), std::to_string(r.tickets[3]), money(r.cost),
                       money(r.winnings), money(r.balance)})));
  if (r.draws.empty() || r.bestDraw == 0) {
    m_bestWorstLabel->clear();
    return;
  }
  auto balanceOf = [&](int32_t draw) {
    return r.draws[static_cast<std::size_t>(draw - r.firstDraw)].balance;
  };
  m_bestWorstLabel->setText(QString::fromStdString(
      tallyra::Format(TextId::TxtWinningsBestWorst, m_language,
                      {std::to_string(r.bestDraw), money(balanceOf(r.bestDraw)),
                       std::to_string(r.worstDraw), money(balanceOf(r.worstDraw))})));
}

QByteArray WinningsDialog::csv() const {
  QByteArray out = "list;row;numbers;3;4;5;6;winnings;cost;balance\r\n";
  if (!m_hasReport) return out;
  auto line = [&out](const std::string& list, const std::string& row, const std::string& numbers,
                     const tallyra::TierTickets& t, tallyra::Money winnings, tallyra::Money cost,
                     tallyra::Money balance) {
    // Appended piece by piece: GCC's full optimisation warns falsely about "x" + string.
    std::string text = list;
    for (const std::string& field : {row, numbers}) text.append(";").append(field);
    for (const int64_t n : t) text.append(";").append(std::to_string(n));
    for (const tallyra::Money amount : {winnings, cost, balance}) {
      text.append(";").append(tallyra::FormatAmount(amount));
    }
    text.append("\r\n");
    out += QByteArray::fromStdString(text);
  };
  for (int shown = 0; shown < m_proxy->rowCount(); ++shown) {
    bool system = false;
    int index = 0;
    const tallyra::WinningsRow& r =
        m_model->rowAt(m_proxy->mapToSource(m_proxy->index(shown, 0)).row(), system, index);
    line(system ? "system" : "stakes", std::to_string(index + 1), std::to_string(r.numbers),
         r.tickets, r.winnings, r.cost, r.balance);
  }
  line("total", "", "", m_report.tickets, m_report.winnings, m_report.cost, m_report.balance);
  return out;
}

void WinningsDialog::exportCsv() {
  if (!m_hasReport) return;
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtWinningsExport);
  options.fileName = QStringLiteral("winnings.csv");
  options.filters = {T(TextId::TxtFilterCsv)};
  options.defaultSuffix = QStringLiteral("csv");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, options);
  if (!path) return;
  const QByteArray bytes = csv();
  QSaveFile file(*path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, m_language,
                        {platform::ToLocalPath(*path), file.errorString().toStdString()}));
  }
}
