#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

// Only declared here: a header that moc reads shares one file with every other header moc reads.
namespace tallyra {
struct Analysis;
}

// A cell of the analysis window's tables: the text shown (and exported) and the number the
// column sorts by.
struct AnalysisCell {
  QString text;
  double key = 0;
};

// The rows of one of the analysis window's tables. The sort role (Qt::UserRole) gives each
// cell's number, so that a proxy sorts counts and expectations as numbers.
class AnalysisTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using Row = std::vector<AnalysisCell>;
  using QAbstractTableModel::QAbstractTableModel;

  void setHeaders(const QStringList& headers);
  void setRows(std::vector<Row> rows);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList m_headers;
  std::vector<Row> m_rows;
};

// A row per number and a mark at each draw of the range it came in, so that the gaps between
// the marks are its skips. Painted straight from the hit lists: M = 99 over 1 500 draws stays
// a few thousand rectangles.
class AnalysisSkipChart final : public QWidget {
  Q_OBJECT
 public:
  explicit AnalysisSkipChart(QWidget* parent = nullptr);
  // The analysis shown; it must outlive the next call or be followed by one.
  void setAnalysis(const tallyra::Analysis* analysis);
  void setTexts(const QString& caption, const QString& numberTitle, const QString& drawTitle);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const tallyra::Analysis* m_analysis = nullptr;
  QString m_caption, m_numberTitle, m_drawTitle;
};

// The M x M pair counts as a heat map: the paler a cell, the rarer the pair. Both halves show
// the same counts, so that a number's row and column both read whole.
class AnalysisHeatMap final : public QWidget {
  Q_OBJECT
 public:
  explicit AnalysisHeatMap(QWidget* parent = nullptr);
  void setAnalysis(const tallyra::Analysis* analysis);
  void setCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A cell's tip names its pair and count: "12 – 31: 7".
  bool event(QEvent* event) override;

 private:
  // The side of a cell in pixels for the widget's size.
  double cellSide() const;

  const tallyra::Analysis* m_analysis = nullptr;
  QString m_caption;
};

// A step for axis labels among 1, 2, 5, 10, 20, 50...: the smallest that leaves at most
// `labels` labels over `span`.
int AnalysisLabelStep(int span, int labels);
