#pragma once

#include <QObject>

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "stats/Statistics.h"

class QGroupBox;
class QAction;
class QMenu;
class QPushButton;
class QChartView;
class QLabel;
class QSpinBox;
class QBarSet;
class QCategoryAxis;
class QValueAxis;

namespace platform {
class StringGrid;
}

// The Statistics tab: per number, how often it was drawn, how often not, its share and the
// draws since it last came, sorted by one of three orders; beside the grid a bar chart of how
// often each number was drawn, over every draw held or the latest N, with the numbers of the
// latest draw in a colour of their own.
class StatisticsPage final : public QObject {
  Q_OBJECT
 public:
  // Builds the tab's controls on `tab` (which owns the page), its context menu with `menuOwner`
  // as parent. The chart's save dialog first starts in the data folder of `files`.
  StatisticsPage(QWidget* tab, QWidget* menuOwner, tallyra::Workspace& ws, LanguageSource language,
                 const tallyra::DataFiles& files);

  // Computes the figures from the draws held.
  void compute();
  // Sorts by the current order and shows one row per number of the last computation.
  void show();
  // Sets the order and shows the figures in it.
  void sortBy(tallyra::StatisticsOrder order);
  // The grid's rows before the first computation: one per number up to M.
  void presetRows(int numbers);
  void applyTexts();
  // Redraws the chart from the draws held and the span chosen.
  void updateChart();
  // Writes the chart as a PNG picture to `path`; false when it could not be written.
  bool saveChart(const QString& path) const;

 signals:
  // The button that opens the analysis of the draws.
  void analysisRequested();

 private:
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(m_tab->window(), std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  void bindCells();
  void fitColumns();

  // Besides its text, a header takes its padding and border and a cell its margins.
  static constexpr int kHeaderRoom = 6;
  static constexpr int kCellRoom = 8;

  QWidget* m_tab;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  platform::StringGrid* m_grid = nullptr;
  QGroupBox* m_sortBox = nullptr;
  QPushButton* m_byNumberButton = nullptr;
  QPushButton* m_byFrequencyButton = nullptr;
  QPushButton* m_byDrawsButton = nullptr;
  QMenu* m_menu = nullptr;
  QAction* m_byNumberItem = nullptr;
  QAction* m_byFrequencyItem = nullptr;
  QAction* m_byDrawsItem = nullptr;
  QChartView* m_chartView = nullptr;
  QBarSet* m_drawnSet = nullptr;   // per number, the draws it came in, unless it is in the latest
  QBarSet* m_latestSet = nullptr;  // and for the numbers of the latest draw
  QCategoryAxis* m_numberAxis = nullptr;
  QValueAxis* m_countAxis = nullptr;
  QLabel* m_spanLabel = nullptr;
  QSpinBox* m_spanBox = nullptr;  // the latest draws counted; 0 for all
  QMenu* m_chartMenu = nullptr;
  QAction* m_savePngItem = nullptr;
  QPushButton* m_analysisButton = nullptr;
};
