// The Statistics tab.

#include <QLocale>

#include "app/MainForm.h"
#include "platform/StringGrid.h"
#include "stats/Statistics.h"

void TMainForm::ComputeStatistics() {
  tallyra::ComputeStatistics(*m_ws);
}

void TMainForm::BindStatisticsCells() {
  const QString point = QLocale::system().decimalPoint();
  const char separator =
      point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
  const tallyra::Workspace& ws = *m_ws;
  SGStat->model().setCellText([&ws, separator](int row, int col) -> QString {
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

void TMainForm::ShowStatistics() {
  tallyra::SortStatistics(*m_ws);
  // One row per number of the last computation: a new M shows once the statistics are
  // computed again, and then with every number.
  auto& grid = SGStat->model();
  grid.setGridRowCount(tallyra::ComputedNumbers(*m_ws) + 1);
  grid.setFilledRows(grid.gridRowCount() - 1);
}

void TMainForm::BitBtn3Click() {
  m_ws->StatSortMode = 0;
  ShowStatistics();
}

void TMainForm::BitBtn4Click() {
  m_ws->StatSortMode = 1;
  ShowStatistics();
}

void TMainForm::BitBtn5Click() {
  m_ws->StatSortMode = 2;
  ShowStatistics();
}
