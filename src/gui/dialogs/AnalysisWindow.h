#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "dialogs/AnalysisViews.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"

namespace tallyra {
struct Distribution;
}

class QBarSet;
class QCategoryAxis;
class QChartView;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTabWidget;
class QTableView;
class QValueAxis;

// The analysis of the draw history in a window of its own: which draws (every one held, the
// latest N, or positions a..b), then the numbers' hits and skips with the test of their
// evenness, the skips as a chart, the pairs and triples with a heat map of the pairs, and the
// distributions of the draws' shapes beside what a fair draw gives. It is computed on the GUI
// thread, once a change of the draws, the range or the settings asks for it; the views are
// filled again, never built again. Its size is kept in preferences.ini.
class AnalysisWindow final : public QWidget {
  Q_OBJECT
 public:
  // The file dialogs first start in the data folder of `files`, which also keeps the size.
  AnalysisWindow(QWidget* owner, int32_t language, const tallyra::DataFiles& files);
  ~AnalysisWindow() override;

  // The draws held, oldest first, and M; the analysis follows at once.
  // A draw is a tallyra::AnalysisDraw.
  void setHistory(std::vector<std::array<int32_t, 6>> history, int32_t highest);
  // The interface language of every text, the titles and the charts' axes included.
  void setLanguage(int32_t language);

  // The last computation; `draws` is 0 when the range holds no draw.
  const tallyra::Analysis& analysis() const { return *m_analysis; }
  // "draws 1201–1499 of 1499", as the title and the exports name the range.
  QString rangeText() const;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  // The distributions of the Patterns tab, in the order of its choice box.
  enum class Pattern { Odd, Low, Sum, Spread, Consecutive, Decades, LastDigits, Repeats, Within };

  QString T(tallyra::TextId id) const;
  void buildRange();
  QWidget* buildNumbersTab();
  QWidget* buildSkipsTab();
  QWidget* buildPairsTab();
  QWidget* buildPatternsTab();
  QTableView* addTable(QWidget* parent, const char* name, AnalysisTableModel*& model,
                       bool sortable);
  QPushButton* addButton(QWidget* parent, const char* name);

  // Reads the controls and computes the analysis again, then shows it.
  void recompute();
  void showAnalysis();
  void showPairs();
  void showCompanions();
  void showPattern();
  void applyTexts();
  void applyHeaders();
  void rememberSize() const;

  // Writes the rows of `view` as shown, with the range as a leading column; see the winnings
  // export for the rules (';', CR LF, a heading line whatever the language).
  void exportTable(const QTableView* view, const QString& heading, const QString& stem);
  void savePicture(QWidget* picture, const QString& stem);
  // "numbers-1201-1499": a file name that carries the range.
  QString fileStem(const QString& what) const;
  const tallyra::Distribution& distribution(Pattern pattern) const;
  QString patternName(Pattern pattern) const;

  int32_t m_language;
  const tallyra::DataFiles m_files;
  std::vector<std::array<int32_t, 6>> m_history;
  int32_t m_highest = 49;  // M of the analysis: the game's, or the largest number held
  bool m_given = false;
  int32_t m_givenHighest = 0;
  std::unique_ptr<tallyra::Analysis> m_analysis;

  QGroupBox* m_rangeBox = nullptr;
  QRadioButton* m_allRadio = nullptr;
  QRadioButton* m_latestRadio = nullptr;
  QRadioButton* m_betweenRadio = nullptr;
  QSpinBox* m_latestSpin = nullptr;
  QSpinBox* m_fromSpin = nullptr;
  QSpinBox* m_toSpin = nullptr;
  QLabel* m_toLabel = nullptr;
  QLabel* m_lowLabel = nullptr;
  QSpinBox* m_lowSpin = nullptr;
  QLabel* m_depthLabel = nullptr;
  QSpinBox* m_depthSpin = nullptr;
  QLabel* m_rangeLabel = nullptr;
  QTabWidget* m_tabs = nullptr;

  AnalysisTableModel* m_numbersModel = nullptr;
  QTableView* m_numbersView = nullptr;
  QLabel* m_uniformityLabel = nullptr;
  QPushButton* m_numbersExport = nullptr;

  AnalysisSkipChart* m_skipChart = nullptr;
  QPushButton* m_skipsPng = nullptr;

  QComboBox* m_pairList = nullptr;
  AnalysisTableModel* m_pairsModel = nullptr;
  QTableView* m_pairsView = nullptr;
  QPushButton* m_pairsExport = nullptr;
  QLabel* m_companionLabel = nullptr;
  QSpinBox* m_companionSpin = nullptr;
  AnalysisTableModel* m_companionsModel = nullptr;
  QTableView* m_companionsView = nullptr;
  QPushButton* m_companionsExport = nullptr;
  AnalysisHeatMap* m_heatMap = nullptr;
  QPushButton* m_heatMapPng = nullptr;

  QComboBox* m_patternChoice = nullptr;
  QChartView* m_patternChart = nullptr;
  QBarSet* m_seenSet = nullptr;
  QLineSeries* m_expectedLine = nullptr;
  QCategoryAxis* m_valueAxis = nullptr;
  QValueAxis* m_countAxis = nullptr;
  QPushButton* m_patternPng = nullptr;
  AnalysisTableModel* m_patternModel = nullptr;
  QTableView* m_patternView = nullptr;
  QPushButton* m_patternExport = nullptr;
  QLabel* m_shapesLabel = nullptr;
  AnalysisTableModel* m_shapesModel = nullptr;
  QTableView* m_shapesView = nullptr;
  QPushButton* m_shapesExport = nullptr;
};
