#include "platform/StringGrid.h"

#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <numeric>

namespace platform {
namespace {

const QColor kFixedColour(0xC0, 0xDC, 0xC0);  // the light green of header and first column
constexpr int kRowHeight = 24;

// The first column is fixed like the header: a selected row leaves it in its own colours.
class FixedColumnDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == 0) option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
  }
};

}  // namespace

std::vector<int> FitColumnWidths(const std::vector<int>& layout, int total) {
  const long long sum = std::accumulate(layout.begin(), layout.end(), 0LL);
  if (layout.empty() || sum <= 0 || total <= 0) return layout;
  // Each column ends where its share of the running sum ends, so the rounding never adds up.
  std::vector<int> widths(layout.size());
  long long before = 0;
  int edge = 0;
  for (std::size_t c = 0; c < layout.size(); ++c) {
    before += std::max(layout[c], 0);
    const int next = static_cast<int>((before * total * 2 + sum) / (sum * 2));
    widths[c] = next - edge;
    edge = next;
  }
  return widths;
}

StringGridModel::StringGridModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns) {
  for (int c = 0; c < columns; ++c) m_headers.append(QString());
}

void StringGridModel::setGridRowCount(int rows) {
  rows = std::max(rows, 2);
  if (rows == m_rowCount) return;
  const int width = m_countLast - m_countFirst + 1;
  if (rows > m_rowCount) {
    beginInsertRows({}, m_rowCount - 1, rows - 2);
    m_rowCount = rows;
    m_counts.resize(static_cast<std::size_t>(rows - 1) * static_cast<std::size_t>(width), kEmpty);
    endInsertRows();
  } else {
    beginRemoveRows({}, rows - 1, m_rowCount - 2);
    m_rowCount = rows;
    m_counts.resize(static_cast<std::size_t>(rows - 1) * static_cast<std::size_t>(width));
    endRemoveRows();
  }
  m_filledRows = std::min(m_filledRows, m_rowCount - 1);
}

void StringGridModel::setFilledRows(int rows) {
  m_filledRows = std::clamp(rows, 0, m_rowCount - 1);
  refresh();
}

void StringGridModel::refresh() {
  emit dataChanged(index(0, 0), index(m_rowCount - 2, m_columns - 1), {Qt::DisplayRole});
}

void StringGridModel::setHeader(int column, const QString& text) {
  if (column < 0 || column >= m_columns || m_headers[column] == text) return;
  m_headers[column] = text;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

void StringGridModel::setCountColumns(int first, int last) {
  beginResetModel();
  m_countFirst = first;
  m_countLast = last;
  m_counts.assign(static_cast<std::size_t>(m_rowCount - 1) *
                      static_cast<std::size_t>(std::max(0, last - first + 1)),
                  kEmpty);
  endResetModel();
}

std::size_t StringGridModel::countSlot(int row, int column) const {
  return static_cast<std::size_t>(row - 1) *
             static_cast<std::size_t>(m_countLast - m_countFirst + 1) +
         static_cast<std::size_t>(column - m_countFirst);
}

int32_t StringGridModel::count(int row, int column) const {
  if (!isCountColumn(column) || row < 1 || row >= m_rowCount) return kEmpty;
  return m_counts[countSlot(row, column)];
}

void StringGridModel::setCount(int row, int column, int32_t value) {
  if (!isCountColumn(column) || row < 1 || row >= m_rowCount) return;
  m_counts[countSlot(row, column)] = value;
  const QModelIndex cell = index(row - 1, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void StringGridModel::clearCounts() {
  std::fill(m_counts.begin(), m_counts.end(), kEmpty);
  if (m_countLast >= m_countFirst) {
    emit dataChanged(index(0, m_countFirst), index(m_rowCount - 2, m_countLast), {Qt::DisplayRole});
  }
}

void StringGridModel::setCountRows(const std::vector<std::array<int32_t, 4>>& rows) {
  const int width = m_countLast - m_countFirst + 1;
  if (width != 4) return;
  std::fill(m_counts.begin(), m_counts.end(), kEmpty);
  const std::size_t shown = std::min(rows.size(), static_cast<std::size_t>(m_rowCount - 1));
  for (std::size_t r = 0; r < shown; ++r) {
    for (std::size_t k = 0; k < 4; ++k) {
      const int32_t value = rows[r][3 - k];
      m_counts[r * 4 + k] = value == 0 ? kEmpty : value;
    }
  }
  emit dataChanged(index(0, m_countFirst), index(m_rowCount - 2, m_countLast), {Qt::DisplayRole});
}

void StringGridModel::moveCountsUp(int row, int last) {
  const int width = m_countLast - m_countFirst + 1;
  last = std::min(last, m_rowCount - 1);
  if (width <= 0 || row < 1 || row > last) return;
  const auto begin = m_counts.begin() + static_cast<std::ptrdiff_t>(countSlot(row, m_countFirst));
  const auto end = m_counts.begin() + static_cast<std::ptrdiff_t>(countSlot(last, m_countFirst) +
                                                                  static_cast<std::size_t>(width));
  std::move(begin + width, end, begin);
  std::fill(end - width, end, kEmpty);
  emit dataChanged(index(row - 1, m_countFirst), index(last - 1, m_countLast), {Qt::DisplayRole});
}

QString StringGridModel::cellText(int row, int column) const {
  if (column < 0 || column >= m_columns || row < 0 || row >= m_rowCount) return {};
  if (row == 0) return m_headers[column];
  if (isCountColumn(column)) {
    const int32_t value = count(row, column);
    return value == kEmpty ? QString() : QString::number(value);
  }
  if (row > m_filledRows || !m_cellText) return {};
  return m_cellText(row, column);
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_rowCount - 1;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_columns;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return cellText(index.row() + 1, index.column());
    case Qt::BackgroundRole:
      return index.column() == 0 ? QVariant(kFixedColour) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= m_columns) return {};
  if (role == Qt::DisplayRole) return m_headers[section];
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

StringGrid::StringGrid(int columns, QWidget* parent)
    : QTableView(parent), m_model(new StringGridModel(columns, this)) {
  setModel(m_model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setFixedHeight(kRowHeight);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setStyleSheet(
      QStringLiteral("QHeaderView::section { background-color: #C0DCC0; border: 0px;"
                     " border-right: 1px solid gray; border-bottom: 1px solid gray;"
                     " padding-left: 2px; }"));
  setCornerButtonEnabled(false);
  setAutoScroll(true);
  setItemDelegate(new FixedColumnDelegate(this));
}

void StringGrid::setColumnWidths(const std::vector<int>& widths) {
  m_layoutWidths = widths;
  fitColumns();
}

void StringGrid::fitColumns() {
  const std::vector<int> widths = FitColumnWidths(m_layoutWidths, viewport()->width());
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (columnWidth(static_cast<int>(c)) != widths[c])
      setColumnWidth(static_cast<int>(c), widths[c]);
  }
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  fitColumns();
}

int StringGrid::row() const {
  const QModelIndex current = currentIndex();
  if (current.isValid()) return current.row() + 1;
  return m_model->gridRowCount() > 1 ? 1 : 0;  // a grid always has a current row below its header
}

void StringGrid::setRow(int row) {
  if (row < 1 || row >= m_model->gridRowCount()) return;
  setCurrentIndex(m_model->index(row - 1, 0));
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  emit keyDown(event->key(), event->modifiers());
  QTableView::keyPressEvent(event);
}

}  // namespace platform
