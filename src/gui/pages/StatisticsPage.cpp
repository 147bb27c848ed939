#include "pages/StatisticsPage.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <vector>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

#include "pages/PageLayout.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::StatisticsOrder;
using tallyra::TextId;

StatisticsPage::StatisticsPage(QWidget* tab, QWidget* menuOwner, tallyra::Workspace& ws,
                               LanguageSource language, const tallyra::DataFiles& files)
    : QObject(tab), m_tab(tab), m_ws(ws), m_language(std::move(language)), m_files(files) {
  QWidget* panel = layout::Panel(tab);
  // The grid is wide enough for its Russian headers beside the chart; fitColumns() divides it.
  m_grid = layout::Grid(panel, "SGStat", 8, 8, 458, 281, {52, 92, 112, 64, 103});
  m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_sortBox = layout::Place(new QGroupBox(panel), "GroupBox2", 48, 288, 617, 73);
  // The caption sits on the frame's top line, which it interrupts (hence the blanks around
  // it), not above the frame as some styles put it.
  m_sortBox->setStyleSheet(QStringLiteral(
      "QGroupBox#GroupBox2 { border: 1px solid palette(mid); border-radius: 2px;"
      " margin-top: 1ex; }"
      " QGroupBox#GroupBox2::title { subcontrol-origin: margin; subcontrol-position: top left;"
      " left: 8px; background-color: palette(window); }"));
  m_byNumberButton = layout::Button(m_sortBox, "BitBtn3", 8, 24);
  m_byFrequencyButton = layout::Button(m_sortBox, "BitBtn4", 216, 24);
  m_byDrawsButton = layout::Button(m_sortBox, "BitBtn5", 424, 24);

  m_menu = layout::Menu(menuOwner, "PopupStat");
  m_byNumberItem = layout::Item(m_menu, "N37");
  m_byFrequencyItem = layout::Item(m_menu, "N38");
  m_byDrawsItem = layout::Item(m_menu, "N39");
  connect(m_grid, &QWidget::customContextMenuRequested, m_menu,
          [this](const QPoint& at) { m_menu->popup(m_grid->viewport()->mapToGlobal(at)); });

  const std::pair<QPushButton*, QAction*> commands[] = {{m_byNumberButton, m_byNumberItem},
                                                        {m_byFrequencyButton, m_byFrequencyItem},
                                                        {m_byDrawsButton, m_byDrawsItem}};
  const StatisticsOrder orders[] = {StatisticsOrder::ByNumber, StatisticsOrder::ByFrequency,
                                    StatisticsOrder::ByDraws};
  for (int i = 0; i < 3; ++i) {
    const StatisticsOrder order = orders[i];
    auto sort = [this, order] { Guarded([&] { sortBy(order); }); };
    connect(commands[i].first, &QPushButton::clicked, this, sort);
    connect(commands[i].second, &QAction::triggered, this, sort);
  }
  bindCells();

  // The chart: one stacked bar per number, so that a number shows in one colour or the other.
  m_drawnSet = new QBarSet(QString());
  m_drawnSet->setObjectName(QStringLiteral("DrawnSet"));
  m_drawnSet->setColor(QColor(0x00, 0x80, 0x80));
  m_latestSet = new QBarSet(QString());
  m_latestSet->setObjectName(QStringLiteral("LatestSet"));
  m_latestSet->setColor(QColor(0xE0, 0x60, 0x00));
  auto* series = new QStackedBarSeries;
  series->append(m_drawnSet);
  series->append(m_latestSet);
  series->setBarWidth(0.8);
  auto* chart = new QChart;
  chart->addSeries(series);
  m_numberAxis = new QCategoryAxis;
  m_numberAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  m_countAxis = new QValueAxis;
  m_countAxis->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(m_numberAxis, Qt::AlignBottom);
  chart->addAxis(m_countAxis, Qt::AlignLeft);
  series->attachAxis(m_numberAxis);
  series->attachAxis(m_countAxis);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(2, 2, 2, 2));
  QFont small = chart->titleFont();
  small.setPixelSize(10);
  m_numberAxis->setLabelsFont(small);
  m_countAxis->setLabelsFont(small);
  // A little smaller than the axes, so that "В последнем тираже" fits beside "Выпадало".
  QFont legend = small;
  legend.setPixelSize(9);
  chart->legend()->setFont(legend);
  small.setPixelSize(12);
  small.setBold(true);
  chart->setTitleFont(small);
  m_chartView = layout::Place(new QChartView(chart, panel), "StatChart", 470, 8, 235, 226);
  m_chartView->setRenderHint(QPainter::Antialiasing);
  m_chartView->setContextMenuPolicy(Qt::CustomContextMenu);
  m_spanLabel = layout::Place(new QLabel(panel), "StatSpanLabel", 470, 237, 152, 21);
  m_spanLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_spanBox = layout::Place(new QSpinBox(panel), "StatSpanBox", 628, 237, 77, 21);
  // Below the span, the way to the whole analysis of the draws.
  m_analysisButton = layout::Button(panel, "StatAnalysisButton", 470, 261, 235, 24);
  connect(m_analysisButton, &QPushButton::clicked, this, [this] { emit analysisRequested(); });
  m_spanBox->setRange(0, tallyra::kResultCapacity);
  connect(m_spanBox, &QSpinBox::valueChanged, this, [this] { Guarded([&] { updateChart(); }); });

  // The chart's own menu belongs to the chart, so that screen readers find it there.
  m_chartMenu = layout::Menu(m_chartView, "PopupStatChart");
  m_savePngItem = layout::Item(m_chartMenu, "SaveChartItem");
  connect(m_chartView, &QWidget::customContextMenuRequested, m_chartMenu,
          [this](const QPoint& at) { m_chartMenu->popup(m_chartView->mapToGlobal(at)); });
  connect(m_savePngItem, &QAction::triggered, this, [this] {
    Guarded([&] {
      platform::FileDialogOptions options;
      options.title = T(TextId::TxtSavePng);
      options.fileName = QStringLiteral("statistics.png");
      options.filters = {T(TextId::TxtFilterPng)};
      options.defaultSuffix = QStringLiteral("png");
      const std::optional<QString> path =
          platform::GetSaveFileName(m_tab->window(), m_files, options);
      if (path && !saveChart(*path)) {
        platform::ShowMessage(
            m_tab->window(), T(TextId::TxtAppTitle),
            QString::fromStdString(tallyra::Format(TextId::TxtPngNotSaved, m_language(),
                                                   {platform::ToLocalPath(*path)})));
      }
    });
  });
}

void StatisticsPage::updateChart() {
  const int numbers = std::max(tallyra::ComputedNumbers(m_ws), 1);
  const int draws = m_ws.ResultCount;
  const int span = m_spanBox->value();
  const int first = span == 0 ? 1 : std::max(1, draws - span + 1);
  std::vector<int> counts(static_cast<std::size_t>(numbers) + 1, 0);
  std::vector<bool> latest(static_cast<std::size_t>(numbers) + 1, false);
  for (int row = first; row <= draws; ++row) {
    for (int column = 1; column <= 6; ++column) {
      const int32_t number = m_ws.ResultTable.at(column, row);
      if (number >= 1 && number <= numbers) ++counts[static_cast<std::size_t>(number)];
    }
  }
  if (draws > 0) {
    for (int column = 1; column <= 6; ++column) {
      const int32_t number = m_ws.ResultTable.at(column, draws);
      if (number >= 1 && number <= numbers) latest[static_cast<std::size_t>(number)] = true;
    }
  }
  QList<qreal> drawn, inLatest;
  int highest = 0;
  for (int n = 1; n <= numbers; ++n) {
    const auto e = static_cast<std::size_t>(n);
    drawn.append(latest[e] ? 0 : counts[e]);
    inLatest.append(latest[e] ? counts[e] : 0);
    highest = std::max(highest, counts[e]);
  }
  m_drawnSet->remove(0, m_drawnSet->count());
  m_drawnSet->append(drawn);
  m_latestSet->remove(0, m_latestSet->count());
  m_latestSet->append(inLatest);
  // Bar k stands at k - 1; 1 and every tenth number are labelled.
  for (const QString& label : m_numberAxis->categoriesLabels()) m_numberAxis->remove(label);
  for (int n = 1; n <= numbers; ++n) {
    if (n == 1 || n % 10 == 0) m_numberAxis->append(QString::number(n), n - 1);
  }
  m_numberAxis->setRange(-0.5, numbers - 0.5);
  m_countAxis->setRange(0, std::max(highest, 1));
  m_countAxis->applyNiceNumbers();
}

bool StatisticsPage::saveChart(const QString& path) const {
  return m_chartView->grab().save(path, "PNG");
}

QString StatisticsPage::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void StatisticsPage::bindCells() {
  const QString point = QLocale::system().decimalPoint();
  const char separator =
      point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
  const tallyra::Workspace& ws = m_ws;
  m_grid->model().setCellText([&ws, separator](int row, int col) -> QString {
    const int slot = tallyra::SlotForRow(ws, row);
    if (slot == 0) return QString();
    const auto e = static_cast<std::size_t>(slot);
    switch (col) {
      case 0:
        return QStringLiteral("     ") + QString::number(ws.StatNumber[e]);
      case 1:
        return QString::number(ws.StatHits[e]);
      case 2:
        return QString::number(ws.StatMisses[e]);
      case 3:
        return QString::fromStdString(
                   tallyra::PercentText(ws.StatHits[e], ws.ResultCount, separator)) +
               QStringLiteral(" %");
      default:
        return QString::number(ws.StatPassed[e]);
    }
  });
}

void StatisticsPage::compute() {
  tallyra::ComputeStatistics(m_ws);
  updateChart();
}

void StatisticsPage::show() {
  tallyra::SortStatistics(m_ws);
  // One row per number of the last computation: a new M shows once the statistics are
  // computed again, and then with every number.
  auto& grid = m_grid->model();
  grid.setGridRowCount(tallyra::ComputedNumbers(m_ws) + 1);
  grid.setFilledRows(grid.gridRowCount() - 1);
}

void StatisticsPage::sortBy(StatisticsOrder order) {
  m_ws.StatSortMode = tallyra::ToValue(order);
  show();
}

void StatisticsPage::presetRows(int numbers) {
  m_grid->model().setGridRowCount(numbers + 1);
}

void StatisticsPage::applyTexts() {
  auto& stat = m_grid->model();
  stat.setHeader(0, T(TextId::TxtColBalls));
  stat.setHeader(1, T(TextId::TxtColFallen));
  stat.setHeader(2, T(TextId::TxtColNotFallen));
  stat.setHeader(3, QStringLiteral("       %"));
  stat.setHeader(4, T(TextId::TxtColPassed));
  m_sortBox->setTitle(T(TextId::TxtSorting));
  m_byNumberItem->setText(T(TextId::TxtSortInOrder));
  m_byNumberButton->setText(T(TextId::TxtSortInOrder));
  m_byFrequencyButton->setText(T(TextId::TxtSortByFrequency));
  m_byDrawsButton->setText(T(TextId::TxtSortByDraws));
  m_byFrequencyItem->setText(T(TextId::TxtSortByFrequency));
  m_byDrawsItem->setText(T(TextId::TxtSortByDraws));
  m_chartView->chart()->setTitle(T(TextId::TxtStatsChart));
  m_drawnSet->setLabel(T(TextId::TxtStatsDrawn));
  m_latestSet->setLabel(T(TextId::TxtStatsLatestDraw));
  m_spanLabel->setText(T(TextId::TxtStatsLastDraws));
  m_spanBox->setSpecialValueText(T(TextId::TxtStatsAllDraws));
  m_savePngItem->setText(T(TextId::TxtSavePng));
  m_analysisButton->setText(T(TextId::TxtAnalysisButton));
  m_chartMenu->setTitle(T(TextId::TxtStatsChart));
  m_chartMenu->setAccessibleName(T(TextId::TxtStatsChart));
  m_chartView->setAccessibleName(T(TextId::TxtStatsChart));
  fitColumns();
}

void StatisticsPage::fitColumns() {
  // Every column as wide as its header and its widest usual cell need in this language (a
  // share of 100.00 % only comes with six numbers in the game); the grid
  // then spreads them over its whole width in these proportions.
  const QFontMetrics header = m_grid->horizontalHeader()->fontMetrics();
  const QFontMetrics cell = m_grid->fontMetrics();
  const QString widest[] = {QStringLiteral("     99"), QStringLiteral("9999"),
                            QStringLiteral("9999"), QStringLiteral("99.99 %"),
                            QStringLiteral("9999")};
  std::vector<int> widths;
  for (int c = 0; c < 5; ++c) {
    widths.push_back(std::max(header.horizontalAdvance(m_grid->model().header(c)) + kHeaderRoom,
                              cell.horizontalAdvance(widest[c]) + kCellRoom));
  }
  m_grid->setColumnWidths(widths);
}
