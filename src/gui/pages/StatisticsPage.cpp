#include "pages/StatisticsPage.h"

#include <QGroupBox>
#include <QLocale>

#include "pages/PageLayout.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::StatisticsOrder;
using tallyra::TextId;

StatisticsPage::StatisticsPage(QWidget* tab, QWidget* menuOwner, tallyra::Workspace& ws,
                               LanguageSource language)
    : QObject(tab), m_tab(tab), m_ws(ws), m_language(std::move(language)) {
  QWidget* panel = layout::Panel(tab);
  m_grid = layout::Grid(panel, "SGStat", 88, 8, 545, 281, {64, 119, 120, 75, 140});
  m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_sortBox = layout::Place(new QGroupBox(panel), "GroupBox2", 48, 288, 617, 73);
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
  m_ws.StatSortMode = static_cast<int32_t>(order);
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
}
