#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// The model behind a string grid. Row 0 of the grid is the header; grid rows 1..n are model
// rows 0..n-1. Cells are not stored: the filled rows are read through a callback from the
// data they show, and only the per-row count columns (filled by collations) are kept here, so
// that they move with their rows and vanish when the row count drops.
class StringGridModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using CellText = std::function<QString(int row, int column)>;
  static constexpr int32_t kEmpty = INT32_MIN;

  StringGridModel(int columns, QObject* parent = nullptr);

  int gridRowCount() const { return m_rowCount; }
  // The grid's row count, header included; at least 2 as in an empty grid.
  void setGridRowCount(int rows);

  // Rows 1..rows show the callback's texts; rows above them are blank.
  void setFilledRows(int rows);
  int filledRows() const { return m_filledRows; }
  void setCellText(CellText cellText) { m_cellText = std::move(cellText); }
  // Tells the views that the filled rows may show other texts.
  void refresh();

  void setHeader(int column, const QString& text);
  QString header(int column) const { return m_headers.value(column); }

  // Columns first..last hold per-row counts instead of callback texts.
  void setCountColumns(int first, int last);
  int32_t count(int row, int column) const;
  void setCount(int row, int column, int32_t value);
  void clearCounts();
  // All count cells at once: rows[r - 1][k] is row r's count of category 3 + k, shown in the
  // count columns from the last (category 3) to the first (category 6); 0 shows empty.
  void setCountRows(const std::vector<std::array<int32_t, 4>>& rows);
  // Moves the count cells of rows row+1..last up one row; row `last` is left empty.
  void moveCountsUp(int row, int last);
  // The grid's text of a cell, header row included.
  QString cellText(int row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  bool isCountColumn(int column) const { return column >= m_countFirst && column <= m_countLast; }
  std::size_t countSlot(int row, int column) const;

  int m_columns;
  int m_rowCount = 2;
  int m_filledRows = 0;
  CellText m_cellText;
  QStringList m_headers;
  int m_countFirst = 1;
  int m_countLast = 0;
  std::vector<int32_t> m_counts;  // (rows - 1) x count columns
};

// A grid of strings with a header row and a fixed first column, whole-row selection and
// fixed row heights, so a grid of 100 000 rows costs no more than one of ten.
class StringGrid final : public QTableView {
  Q_OBJECT
 public:
  StringGrid(int columns, QWidget* parent = nullptr);

  StringGridModel& model() const { return *m_model; }
  // The layout's column widths. The columns keep these proportions but always fill the width
  // beside the scroll bar, so no empty strip is left right of the last column.
  void setColumnWidths(const std::vector<int>& widths);
  // The selected grid row (1-based), or 0 when the grid shows no rows.
  int row() const;
  void setRow(int row);

 signals:
  void keyDown(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fitColumns();

  StringGridModel* m_model;
  std::vector<int> m_layoutWidths;
};

// Widths in the proportions of `layout` that add up to exactly `total` pixels; `layout` itself
// when there is nothing to fill.
std::vector<int> FitColumnWidths(const std::vector<int>& layout, int total);

}  // namespace platform
