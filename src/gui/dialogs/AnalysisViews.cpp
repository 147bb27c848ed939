#include "dialogs/AnalysisViews.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "stats/Analysis.h"

namespace {

// Room for the numbers on the left, the caption above and the draws below.
constexpr int kLeft = 34;
constexpr int kTop = 22;
constexpr int kBottom = 34;
constexpr int kRight = 8;

const QColor kMark(0x00, 0x70, 0x80);
const QColor kBand(0xF2, 0xF4, 0xF6);

// The rows' labels: every number when there is room, otherwise 1 and every fifth or tenth.
bool Labelled(int number, double rowHeight) {
  if (rowHeight >= 11) return true;
  const int step = rowHeight >= 5 ? 5 : 10;
  return number == 1 || number % step == 0;
}

}  // namespace

int AnalysisLabelStep(int span, int labels) {
  labels = std::max(labels, 1);
  for (int scale = 1;; scale *= 10) {
    for (const int step : {scale, 2 * scale, 5 * scale}) {
      if (span / step < labels) return step;
    }
  }
}

void AnalysisTableModel::setHeaders(const QStringList& headers) {
  if (headers == m_headers) return;
  if (headers.size() != m_headers.size()) {
    // The first naming makes the columns.
    beginResetModel();
    m_headers = headers;
    endResetModel();
    return;
  }
  m_headers = headers;
  emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(m_headers.size()) - 1);
}

void AnalysisTableModel::setRows(std::vector<Row> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

int AnalysisTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Row& row = m_rows[static_cast<std::size_t>(index.row())];
  if (index.column() >= static_cast<int>(row.size())) return {};
  const AnalysisCell& cell = row[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return cell.text;
    case Qt::UserRole:
      return cell.key;
    case Qt::TextAlignmentRole:
      return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant AnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return m_headers.value(section);
  return QAbstractTableModel::headerData(section, orientation, role);
}

AnalysisSkipChart::AnalysisSkipChart(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setMinimumSize(300, 240);
}

void AnalysisSkipChart::setAnalysis(const tallyra::Analysis* analysis) {
  m_analysis = analysis;
  update();
}

void AnalysisSkipChart::setTexts(const QString& caption, const QString& numberTitle,
                                 const QString& drawTitle) {
  m_caption = caption;
  m_numberTitle = numberTitle;
  m_drawTitle = drawTitle;
  update();
}

void AnalysisSkipChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().text().color());
  painter.drawText(QRect(kLeft, 0, width() - kLeft, kTop), Qt::AlignLeft | Qt::AlignVCenter,
                   m_caption);
  if (!m_analysis || m_analysis->draws == 0) return;
  const tallyra::DrawRange range = m_analysis->settings.range;
  const int numbers = static_cast<int>(m_analysis->numbers.size());
  const QRectF plot(kLeft, kTop, std::max(1, width() - kLeft - kRight),
                    std::max(1, height() - kTop - kBottom));
  const double rowHeight = plot.height() / numbers;
  const double drawWidth = plot.width() / range.draws();
  QFont small = font();
  small.setPixelSize(std::clamp(static_cast<int>(rowHeight) - 1, 8, 11));
  painter.setFont(small);
  for (int n = 1; n <= numbers; ++n) {
    const QRectF row(plot.left(), plot.top() + (n - 1) * rowHeight, plot.width(), rowHeight);
    if (n % 2 == 0) painter.fillRect(row, kBand);
    if (Labelled(n, rowHeight)) {
      painter.drawText(QRectF(0, row.center().y() - 7, kLeft - 4, 14),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(n));
    }
  }
  // Each mark at least a pixel wide and high, so that no hit disappears in a long range.
  const double markWidth = std::max(1.0, drawWidth - (drawWidth >= 4 ? 1 : 0));
  const double markHeight = std::max(1.0, rowHeight - (rowHeight >= 4 ? 1 : 0));
  for (const tallyra::NumberFigures& figures : m_analysis->numbers) {
    const double y = plot.top() + (figures.number - 1) * rowHeight;
    for (const int draw : figures.hitDraws) {
      painter.fillRect(
          QRectF(plot.left() + (draw - range.first) * drawWidth, y, markWidth, markHeight), kMark);
    }
  }
  // The draws' positions below, on round steps.
  painter.setPen(palette().text().color());
  painter.drawRect(plot);
  const int step =
      AnalysisLabelStep(range.draws(), std::max(1, static_cast<int>(plot.width()) / 60));
  for (int draw = range.first; draw <= range.last; ++draw) {
    if (draw != range.first && draw % step != 0) continue;
    if (draw != range.first && draw - range.first < step / 2) continue;
    const double x = plot.left() + (draw - range.first + 0.5) * drawWidth;
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 3));
    painter.drawText(QRectF(x - 30, plot.bottom() + 3, 60, 14), Qt::AlignCenter,
                     QString::number(draw));
  }
  painter.drawText(QRectF(plot.left(), plot.bottom() + 17, plot.width(), 16), Qt::AlignCenter,
                   m_drawTitle);
  painter.drawText(QRectF(0, 0, kLeft, kTop), Qt::AlignLeft | Qt::AlignVCenter, m_numberTitle);
}

AnalysisHeatMap::AnalysisHeatMap(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setMinimumSize(240, 240);
}

void AnalysisHeatMap::setAnalysis(const tallyra::Analysis* analysis) {
  m_analysis = analysis;
  update();
}

void AnalysisHeatMap::setCaption(const QString& caption) {
  m_caption = caption;
  update();
}

double AnalysisHeatMap::cellSide() const {
  const auto numbers = static_cast<double>(m_analysis ? m_analysis->numbers.size() : 1);
  return std::max(1.0, std::min(width() - kLeft - kRight, height() - kTop - kLeft) / numbers);
}

bool AnalysisHeatMap::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const int numbers = m_analysis ? static_cast<int>(m_analysis->numbers.size()) : 0;
  const double side = cellSide();
  const int b = static_cast<int>((help->pos().x() - kLeft) / side) + 1;
  const int a = static_cast<int>((help->pos().y() - kTop) / side) + 1;
  if (!m_analysis || m_analysis->draws == 0 || help->pos().x() < kLeft || help->pos().y() < kTop ||
      a > numbers || b > numbers || a == b) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  QToolTip::showText(help->globalPos(),
                     QStringLiteral("%1 – %2: %3")
                         .arg(std::min(a, b))
                         .arg(std::max(a, b))
                         .arg(m_analysis->pairCount(a, b)),
                     this);
  return true;
}

void AnalysisHeatMap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().text().color());
  painter.drawText(QRect(4, 0, width() - 4, kTop), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
  if (!m_analysis || m_analysis->draws == 0) return;
  const int numbers = static_cast<int>(m_analysis->numbers.size());
  const double side = cellSide();
  uint32_t highest = 1;
  for (const uint32_t count : m_analysis->pairs) highest = std::max(highest, count);
  // White for a pair never seen, the deepest colour for the most frequent.
  for (int a = 1; a <= numbers; ++a) {
    for (int b = 1; b <= numbers; ++b) {
      const QRectF cell(kLeft + (b - 1) * side, kTop + (a - 1) * side, side, side);
      if (a == b) {
        painter.fillRect(cell, QColor(0xC8, 0xC8, 0xC8));
        continue;
      }
      const double share = static_cast<double>(m_analysis->pairCount(a, b)) / highest;
      const auto mix = [share](int pale, int deep) {
        return static_cast<int>(pale + (deep - pale) * share);
      };
      painter.fillRect(cell, QColor(mix(255, 0x80), mix(255, 0x10), mix(255, 0x10)));
    }
  }
  QFont small = font();
  small.setPixelSize(10);
  painter.setFont(small);
  painter.setPen(palette().text().color());
  const int step = side >= 12 ? 1 : side >= 4 ? 5 : 10;
  for (int n = 1; n <= numbers; ++n) {
    if (n != 1 && n % step != 0) continue;
    const double at = (n - 0.5) * side;
    painter.drawText(QRectF(0, kTop + at - 7, kLeft - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(n));
    painter.drawText(QRectF(kLeft + at - 15, kTop + numbers * side + 2, 30, 14), Qt::AlignCenter,
                     QString::number(n));
  }
}
