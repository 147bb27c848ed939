#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/DialogFrame.h"
#include "generate/Generator.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"

class FilterList;
class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChartView;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QValueAxis;

// Stakes > Generate stakes through filters: the filters in the user's order (see FilterList),
// the draws the history filters read, and the funnel they make of every combination (a table
// and a bar chart, counted again in the background a moment after each edit, a newer edit
// cancelling the count under way). Nothing is written until the user asks: the combinations
// left go into the stakes list or a stakes file (all of them, or a sample or an even spread of
// the count asked, as the dialog then says), or the numbers they hold go to the wheels as a
// pool. The filter set is saved and loaded as a "*.tlf" file. The dialog is not modal; what it
// reads comes in through setInputs, what it writes goes out through the callbacks.
class GeneratorDialog final : public QDialog {
  Q_OBJECT
 public:
  struct Inputs {
    int32_t highest = 49;                            // M
    std::vector<tallyra::AnalysisDraw> history;      // oldest first
    std::vector<std::vector<int32_t>> systemStakes;  // each its numbers
  };
  // Puts the combinations into the stakes list (asking, as an import does); true once done.
  using TakeStakes = std::function<bool(const std::vector<tallyra::AnalysisDraw>&)>;
  // Opens the wheels with this pool.
  using TakePool = std::function<void(const std::vector<int32_t>&)>;

  // The file dialogs first start in the data folder of `files`, which also keeps the size.
  GeneratorDialog(QWidget* owner, LanguageSource language, const tallyra::DataFiles& files,
                  TakeStakes takeStakes, TakePool takePool);
  ~GeneratorDialog() override;

  // The lists read; the funnel is counted again.
  void setInputs(Inputs inputs);
  void setFilters(std::vector<tallyra::Filter> filters);
  const std::vector<tallyra::Filter>& filters() const;
  void setRange(const tallyra::RangeChoice& choice);
  void applyTexts();

  // What the funnel is counted from, as the controls now say; nothing (and the reason shown)
  // when a filter or the range cannot be run.
  std::optional<tallyra::GenerateInput> input(bool showReason = true);
  // The funnel shown, when it is that of the filters as they now are.
  const tallyra::Funnel* funnel() const;
  bool counting() const { return m_run != nullptr; }

  // The outputs, as their buttons do them.
  void toStakes();
  void toWheels();
  void toFile();
  void saveFilters();
  void loadFilters();
  bool loadFiltersFrom(const QString& path);

 signals:
  // A funnel has been shown.
  void funnelShown();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  struct Run;
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  void Tell(const QString& text);
  void edited();
  void startCount();
  void countEnded();
  void showFunnel();
  // The funnel of the filters as they are, counted now under a progress window when the one
  // shown is older; nothing when it cannot be counted or the user cancelled.
  const tallyra::Funnel* currentFunnel();
  // The combinations to write, picked as the output controls say; nothing when stopped.
  std::optional<std::vector<tallyra::AnalysisDraw>> pick();
  void takeNumbers(const std::vector<int32_t>& numbers);
  void numbersFromSystem();
  void numbersFromAnalysis(int kind);
  tallyra::RangeChoice rangeChoice() const;
  void showPickNote();

  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  TakeStakes m_takeStakes;
  TakePool m_takePool;
  Inputs m_inputs;

  // The background count: its control and task, the edits since, and the funnel shown.
  std::unique_ptr<Run> m_run;
  bool m_countAgain = false;
  int m_runs = 0;  // counts started, so that the end of one stopped early is known as such
  int m_edits = 0;
  int m_shownEdits = -1;
  tallyra::Funnel m_funnel;
  tallyra::GenerateInput m_funnelInput;
  QTimer m_pause;    // the short pause after an edit
  QTimer m_showBar;  // the progress bar shows only for a count that takes a while
  // How the last written combinations were picked: 0 all, 1 sample, 2 evenly; and the counts.
  int m_pickWay = -1;
  uint64_t m_pickWritten = 0, m_pickLeft = 0, m_pickSeed = 0, m_pickEvery = 0;

  QLabel* m_rangeLabel = nullptr;
  QRadioButton* m_rangeAll = nullptr;
  QRadioButton* m_rangeLatest = nullptr;
  QSpinBox* m_latestSpin = nullptr;
  QRadioButton* m_rangeBetween = nullptr;
  QSpinBox* m_fromSpin = nullptr;
  QLabel* m_toLabel = nullptr;
  QSpinBox* m_toSpin = nullptr;
  FilterList* m_filterList = nullptr;
  QLabel* m_numbersLabel = nullptr;
  QSpinBox* m_systemSpin = nullptr;
  QPushButton* m_systemButton = nullptr;
  QSpinBox* m_frequentSpin = nullptr;
  QPushButton* m_mostButton = nullptr;
  QPushButton* m_leastButton = nullptr;
  QSpinBox* m_skipSpin = nullptr;
  QPushButton* m_skipButton = nullptr;
  QLabel* m_summaryLabel = nullptr;
  QLabel* m_emptiedLabel = nullptr;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_stopButton = nullptr;  // stops a long count; the next edit starts another
  bool m_stopped = false;
  QTableWidget* m_funnelTable = nullptr;
  QChartView* m_chartView = nullptr;
  QBarSeries* m_series = nullptr;
  QBarSet* m_bars = nullptr;
  QBarCategoryAxis* m_stepAxis = nullptr;
  QValueAxis* m_countAxis = nullptr;
  QLabel* m_countLabel = nullptr;
  QSpinBox* m_countSpin = nullptr;
  QRadioButton* m_sampleRadio = nullptr;
  QSpinBox* m_seedSpin = nullptr;
  QRadioButton* m_everyRadio = nullptr;
  QPushButton* m_stakesButton = nullptr;
  QPushButton* m_wheelsButton = nullptr;
  QPushButton* m_fileButton = nullptr;
  QLabel* m_pickLabel = nullptr;
  QPushButton* m_saveButton = nullptr;
  QPushButton* m_loadButton = nullptr;
  QPushButton* m_closeButton = nullptr;
};
