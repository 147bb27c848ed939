#include "dialogs/ListView.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kMargin = 3;
constexpr int kBarSteps = 1 << 20;
constexpr int64_t kClipboardLimit = int64_t{64} << 20;
// Characters fetched to lay out one line; a line never holds more.
constexpr int64_t kLineBudget = 1024;
constexpr int64_t kAnchorStep = 4 * kLineBudget;

// A line may break after ", " (between entries) and after ": " (after a heading).
bool BreaksAfter(const QString& text, int i) {
  return i > 0 && text[i] == u' ' && (text[i - 1] == u',' || text[i - 1] == u':');
}

}  // namespace

ListView::ListView(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalScrollBar()->setRange(0, 0);
  viewport()->setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
}

void ListView::setList(tallyra::ListPtr list) {
  m_list = std::move(list);
  m_top = m_anchor = m_caret = 0;
  updateScrollBar();
  viewport()->update();
}

int ListView::visibleLineCount() const {
  return std::max(1, (viewport()->height() - 2 * kMargin) / fontMetrics().lineSpacing());
}

std::vector<ListView::Line> ListView::layout(int64_t start, int count) const {
  std::vector<Line> lines;
  if (!m_list) return lines;
  const int width = std::max(40, viewport()->width() - 2 * kMargin);
  const QFontMetrics metrics = fontMetrics();
  int64_t at = start;
  while (static_cast<int>(lines.size()) < count && at < m_list->length()) {
    const int64_t limit = std::min(kLineBudget, nextAnchor(at) - at);
    const QString text = QString::fromUtf8(m_list->slice(at, limit));
    int lastBreak = -1;
    int end = 0;
    int x = 0;
    for (; end < text.size(); ++end) {
      x += metrics.horizontalAdvance(text[end]);
      if (x > width && end > 0) break;
      if (BreaksAfter(text, end)) lastBreak = end;
    }
    // Break after the last entry that fits, or inside a word too long for a line.
    const int take = end == text.size() ? end : (lastBreak >= 0 ? lastBreak + 1 : std::max(end, 1));
    const QString lineText = text.left(take);
    lines.push_back({at, lineText});
    at += lineText.toUtf8().size();
  }
  return lines;
}

// Lines never run across an anchor: the first break after every multiple of kAnchorStep. So
// lines laid out from any anchor are the same lines, whichever place in the text asked.
int64_t ListView::anchorAt(int64_t k) const {
  if (k <= 0) return 0;
  const int64_t base = k * kAnchorStep;
  if (base >= m_list->length()) return m_list->length();
  const QString after = QString::fromUtf8(m_list->slice(base, kLineBudget));
  for (int i = 0; i < static_cast<int>(after.size()); ++i) {
    if (BreaksAfter(after, i)) return base + after.left(i + 1).toUtf8().size();
  }
  return base;
}

int64_t ListView::anchorBefore(int64_t offset) const {
  int64_t k = std::max<int64_t>(0, offset / kAnchorStep - 1);
  while (k > 0 && anchorAt(k) > offset) --k;
  return anchorAt(k);
}

int64_t ListView::nextAnchor(int64_t at) const {
  const int64_t k = at / kAnchorStep;
  const int64_t here = anchorAt(k);
  return here > at ? here : anchorAt(k + 1);
}

int64_t ListView::lineStartBefore(int64_t offset) const {
  if (!m_list || offset <= 0) return 0;
  offset = std::min(offset, m_list->length());
  int64_t start = anchorBefore(offset);
  int64_t result = start;
  while (start <= offset) {
    const std::vector<Line> lines = layout(start, 64);
    if (lines.empty()) break;
    for (const Line& line : lines) {
      if (line.start > offset) return result;
      result = line.start;
    }
    const Line& last = lines.back();
    start = last.start + last.text.toUtf8().size();
  }
  return result;
}

void ListView::scrollToOffset(int64_t offset) {
  m_top = lineStartBefore(offset);
  updateScrollBar();
  viewport()->update();
}

void ListView::scrollToEnd() {
  if (!m_list) return;
  const int count = visibleLineCount();
  // Every line from an anchor well before the end; the last page of them is shown.
  std::vector<Line> lines;
  int64_t at = anchorBefore(std::max<int64_t>(0, m_list->length() - count * kLineBudget));
  while (at < m_list->length()) {
    std::vector<Line> more = layout(at, 256);
    if (more.empty()) break;
    at = more.back().start + more.back().text.toUtf8().size();
    lines.insert(lines.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
  }
  m_top =
      lines.empty() ? 0 : lines[lines.size() - std::min<std::size_t>(lines.size(), count)].start;
  updateScrollBar();
  viewport()->update();
}

void ListView::lineDown() {
  const std::vector<Line> lines = layout(m_top, visibleLineCount() + 1);
  if (static_cast<int>(lines.size()) > visibleLineCount()) {
    m_top = lines[1].start;
    updateScrollBar();
    viewport()->update();
  }
}

void ListView::lineUp() {
  if (m_top == 0) return;
  m_top = lineStartBefore(m_top - 1);
  updateScrollBar();
  viewport()->update();
}

QStringList ListView::visibleLines() {
  QStringList out;
  for (const Line& line : layout(m_top, visibleLineCount())) out << line.text;
  return out;
}

void ListView::selectAll() {
  m_anchor = 0;
  m_caret = m_list ? m_list->length() : 0;
  viewport()->update();
}

QString ListView::selectedText(bool* tooLarge) const {
  if (tooLarge) *tooLarge = false;
  if (!m_list || selectionEnd() <= selectionStart()) return {};
  if (selectionEnd() - selectionStart() > kClipboardLimit) {
    if (tooLarge) *tooLarge = true;
    return {};
  }
  return QString::fromUtf8(m_list->slice(selectionStart(), selectionEnd() - selectionStart()));
}

void ListView::updateScrollBar() {
  m_settingBar = true;
  QScrollBar* bar = verticalScrollBar();
  const int64_t length = m_list ? m_list->length() : 0;
  bar->setRange(0, length > 0 ? kBarSteps : 0);
  bar->setPageStep(kBarSteps / 50);
  bar->setValue(length > 0 ? static_cast<int>(static_cast<double>(m_top) /
                                              static_cast<double>(length) * kBarSteps)
                           : 0);
  m_settingBar = false;
}

void ListView::scrollContentsBy(int, int) {
  if (m_settingBar || !m_list) return;
  const int value = verticalScrollBar()->value();
  if (value >= kBarSteps) {
    scrollToEnd();
    return;
  }
  m_top = lineStartBefore(static_cast<int64_t>(static_cast<double>(value) / kBarSteps *
                                               static_cast<double>(m_list->length())));
  viewport()->update();
}

void ListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  viewport()->update();
}

void ListView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  m_lines = layout(m_top, visibleLineCount() + 1);
  const QFontMetrics metrics = fontMetrics();
  int y = kMargin;
  const int64_t selFrom = selectionStart(), selTo = selectionEnd();
  for (const Line& line : m_lines) {
    const int64_t lineEnd = line.start + line.text.toUtf8().size();
    if (selTo > line.start && selFrom < lineEnd) {
      // Offsets within the line count bytes of the list's text; the texts are mostly ASCII.
      const int a = static_cast<int>(std::max<int64_t>(0, selFrom - line.start));
      const int b = static_cast<int>(std::min<int64_t>(lineEnd, selTo) - line.start);
      const int x0 = metrics.horizontalAdvance(QString::fromUtf8(line.text.toUtf8().left(a)));
      const int x1 = metrics.horizontalAdvance(QString::fromUtf8(line.text.toUtf8().left(b)));
      painter.fillRect(QRect(kMargin + x0, y, x1 - x0, metrics.lineSpacing()),
                       palette().highlight());
    }
    painter.setPen(palette().text().color());
    painter.drawText(kMargin, y + metrics.ascent(), line.text);
    y += metrics.lineSpacing();
  }
}

int64_t ListView::offsetAt(const QPoint& point) {
  if (m_lines.empty()) return m_top;
  const QFontMetrics metrics = fontMetrics();
  const int index = std::clamp((point.y() - kMargin) / metrics.lineSpacing(), 0,
                               static_cast<int>(m_lines.size()) - 1);
  const Line& line = m_lines[static_cast<std::size_t>(index)];
  int x = kMargin;
  int chars = 0;
  for (; chars < line.text.size(); ++chars) {
    const int w = metrics.horizontalAdvance(line.text[chars]);
    if (x + w / 2 > point.x()) break;
    x += w;
  }
  return line.start + line.text.left(chars).toUtf8().size();
}

void ListView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  m_anchor = m_caret = offsetAt(event->position().toPoint());
  viewport()->update();
}

void ListView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  m_caret = offsetAt(event->position().toPoint());
  viewport()->update();
}

void ListView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 40;
  for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? lineUp() : lineDown();
}

void ListView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if (event->key() == Qt::Key_Down) {
    lineDown();
  } else if (event->key() == Qt::Key_Up) {
    lineUp();
  } else if (event->key() == Qt::Key_PageDown) {
    for (int i = 1; i < visibleLineCount(); ++i) lineDown();
  } else if (event->key() == Qt::Key_PageUp) {
    for (int i = 1; i < visibleLineCount(); ++i) lineUp();
  } else if (event->matches(QKeySequence::MoveToStartOfDocument) || event->key() == Qt::Key_Home) {
    scrollToOffset(0);
  } else if (event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_End) {
    scrollToEnd();
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}
