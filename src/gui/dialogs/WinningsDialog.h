#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <map>

#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "winnings/Winnings.h"

class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QValueAxis;

// The rows of a winnings report, one per stake and per system stake. Each cell's sort role
// (Qt::UserRole) is its number, so that a proxy sorts the money and the counts as numbers.
class WinningsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { List, Row, Numbers, Tier3, Tier4, Tier5, Tier6, Winnings, Cost, Balance, Columns };

  explicit WinningsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void setReport(const tallyra::WinningsReport* report);
  void setLanguage(int32_t language);
  // The report's row behind a model row: the list (false: stakes, true: system) and its index.
  const tallyra::WinningsRow& rowAt(int row, bool& system, int& index) const;
  // The number a cell sorts by, as its sort role gives it, read without a QVariant.
  int64_t sortKey(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const tallyra::WinningsReport* m_report = nullptr;
  int32_t m_language = tallyra::ToValue(tallyra::Language::English);
};

// Check > Winnings: what the stakes and system stakes won in the latest draw, a chosen draw or
// every draw held, row by row with the totals, the cumulative balance as a chart and the best
// and worst draws. It works on a copy of the lists taken when it is opened, so the lists can be
// edited meanwhile; it is not modal.
class WinningsDialog final : public QDialog {
  Q_OBJECT
 public:
  // The file dialogs first start in the data folder of `files`.
  WinningsDialog(QWidget* owner, int32_t language, const tallyra::DataFiles& files);

  // The lists and prizes to report on; the report is emptied until the next computation.
  void setInputs(tallyra::WinningsInput input, tallyra::Prizes prizes);
  // The interface language of every text, the headers and the chart included.
  void setLanguage(int32_t language);
  void setChoice(tallyra::DrawChoice choice);
  tallyra::DrawChoice choice() const;

  // Computes the report for the chosen draws off the GUI thread. A refusal (no draws, no such
  // draw, sums beyond 64 bits) is told to the user. Returns false when there is no report.
  bool compute();
  // Reads a per-draw prize file ("draw; amount3; amount4; amount5; amount6" lines) whose
  // amounts replace the table's for those draws. A bad file is told, line and problem, and
  // the amounts in use stay.
  bool loadDrawPrizes(const QString& path);
  // Asks where to save and writes the rows as shown; see csv().
  void exportCsv();

  const tallyra::WinningsReport& report() const { return m_report; }
  // The rows in the order shown, then a total line: fields separated by ";", money as a plain
  // decimal with two decimals, lines ended by CR LF. The header names are fixed, whatever the
  // interface language, so that other programs can read the file.
  QByteArray csv() const;

 private:
  QString T(tallyra::TextId id) const;
  void showReport();
  void applyTexts();

  int32_t m_language;
  const tallyra::DataFiles m_files;
  tallyra::WinningsInput m_input;
  tallyra::Prizes m_prizes;
  std::map<int32_t, tallyra::TierAmounts> m_drawPrizes;  // from the per-draw prize file
  QString m_drawPrizesPath;
  tallyra::WinningsReport m_report;
  bool m_hasReport = false;
  int m_balanceScale = 0;  // the chart's balances in units of 1000 to this power

  QRadioButton* m_latestRadio = nullptr;
  QRadioButton* m_oneRadio = nullptr;
  QRadioButton* m_allRadio = nullptr;
  QSpinBox* m_drawSpin = nullptr;
  QPushButton* m_drawPrizesButton = nullptr;
  QLabel* m_drawPrizesLabel = nullptr;
  QPushButton* m_computeButton = nullptr;
  WinningsModel* m_model = nullptr;
  QSortFilterProxyModel* m_proxy = nullptr;
  QTableView* m_view = nullptr;
  QChartView* m_chartView = nullptr;
  QLineSeries* m_series = nullptr;
  QValueAxis* m_drawAxis = nullptr;
  QValueAxis* m_balanceAxis = nullptr;
  QLabel* m_totalsLabel = nullptr;
  QLabel* m_bestWorstLabel = nullptr;
  QPushButton* m_exportButton = nullptr;
  QPushButton* m_closeButton = nullptr;
};
