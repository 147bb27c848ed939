#include "dialogs/ListTextView.h"

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

// The same rule on the list's bytes. Offsets in the list count bytes and headings may hold
// multi-byte characters, but blanks, commas and colons are single bytes that never occur
// inside one.
bool BreaksAfter(const std::string& bytes, std::size_t i) {
  return i > 0 && bytes[i] == ' ' && (bytes[i - 1] == ',' || bytes[i - 1] == ':');
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

int64_t Utf8Size(const QString& text) {
  return static_cast<int64_t>(text.toUtf8().size());
}

}  // namespace

ListTextView::ListTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalScrollBar()->setRange(0, 0);
  viewport()->setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
  // Steps and pages of the scroll bar move by whole lines, as the keys do.
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    QScrollBar* bar = verticalScrollBar();
    int lines = 0;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        lines = 1;
        break;
      case QAbstractSlider::SliderSingleStepSub:
        lines = -1;
        break;
      case QAbstractSlider::SliderPageStepAdd:
        lines = std::max(1, visibleLineCount() - 1);
        break;
      case QAbstractSlider::SliderPageStepSub:
        lines = -std::max(1, visibleLineCount() - 1);
        break;
      default:
        return;
    }
    bar->setSliderPosition(bar->value());
    moveLines(lines);
  });
}

void ListTextView::setList(tallyra::ListPtr list) {
  m_list = std::move(list);
  m_top = m_anchor = m_caret = 0;
  m_lastPageTop = m_pageBytes = -1;
  updateScrollBar();
  viewport()->update();
}

int ListTextView::visibleLineCount() const {
  return std::max(1, (viewport()->height() - 2 * kMargin) / fontMetrics().lineSpacing());
}

std::vector<ListTextView::Line> ListTextView::layout(int64_t start, int count) const {
  std::vector<Line> lines;
  if (!m_list) return lines;
  const int width = std::max(40, viewport()->width() - 2 * kMargin);
  const QFontMetrics metrics = fontMetrics();
  int64_t at = start;
  while (static_cast<int>(lines.size()) < count && at < m_list->length()) {
    // The text up to the next anchor, laid out line by line.
    const int64_t segmentEnd = nextAnchor(at);
    const QString text = QString::fromUtf8(m_list->slice(at, segmentEnd - at));
    int pos = 0;
    while (pos < text.size() && static_cast<int>(lines.size()) < count) {
      int lastBreak = -1;
      int end = pos;
      int x = 0;
      for (; end < text.size(); ++end) {
        x += metrics.horizontalAdvance(text[end]);
        if (x > width && end > pos) break;
        if (BreaksAfter(text, end)) lastBreak = end;
      }
      // Break after the last entry that fits, or inside a word too long for a line.
      const int take = end == text.size()
                           ? end - pos
                           : (lastBreak >= 0 ? lastBreak + 1 - pos : std::max(end - pos, 1));
      QString lineText = text.mid(pos, take);
      const int64_t bytes = Utf8Size(lineText);
      lines.push_back({at, std::move(lineText)});
      at += bytes;
      pos += take;
    }
  }
  return lines;
}

// Lines never run across an anchor: the first break after every multiple of kAnchorStep. So
// lines laid out from any anchor are the same lines, whichever place in the text asked.
int64_t ListTextView::anchorAt(int64_t k) const {
  if (k <= 0) return 0;
  const int64_t base = k * kAnchorStep;
  if (base >= m_list->length()) return m_list->length();
  const std::string after = m_list->slice(base, kLineBudget);
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (BreaksAfter(after, i)) return base + static_cast<int64_t>(i) + 1;
  }
  // No break nearby: the first character that starts at or after the multiple.
  std::size_t skip = 0;
  while (skip < after.size() && skip < 3 && IsContinuationByte(after[skip])) ++skip;
  return base + static_cast<int64_t>(skip);
}

int64_t ListTextView::anchorBefore(int64_t offset) const {
  int64_t k = std::max<int64_t>(0, offset / kAnchorStep - 1);
  while (k > 0 && anchorAt(k) > offset) --k;
  return anchorAt(k);
}

int64_t ListTextView::nextAnchor(int64_t at) const {
  const int64_t k = at / kAnchorStep;
  const int64_t here = anchorAt(k);
  return here > at ? here : anchorAt(k + 1);
}

int64_t ListTextView::lineStartBefore(int64_t offset) const {
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
    start = last.start + Utf8Size(last.text);
  }
  return result;
}

int64_t ListTextView::lineStartAbove(int64_t offset, int lines) const {
  if (!m_list || lines <= 0) return offset;
  // Line starts before `offset`, gathered anchor by anchor backwards until there are enough.
  std::vector<int64_t> starts;
  int64_t end = offset;
  while (end > 0) {
    const int64_t from = anchorBefore(end - 1);
    std::vector<int64_t> segment;
    for (int64_t at = from; at < end;) {
      const std::vector<Line> more = layout(at, 64);
      if (more.empty()) break;
      for (const Line& line : more) {
        if (line.start >= end) break;
        segment.push_back(line.start);
      }
      at = more.back().start + Utf8Size(more.back().text);
    }
    starts.insert(starts.begin(), segment.begin(), segment.end());
    if (static_cast<int>(starts.size()) >= lines) {
      return starts[starts.size() - static_cast<std::size_t>(lines)];
    }
    end = from;
  }
  return 0;
}

int64_t ListTextView::lastPageTop() {
  if (!m_list) return 0;
  if (m_lastPageTop >= 0) return m_lastPageTop;
  const int count = visibleLineCount();
  // Every line from an anchor well before the end; the last page of them is shown.
  std::vector<int64_t> starts;
  int64_t at = anchorBefore(std::max<int64_t>(0, m_list->length() - count * kLineBudget));
  while (at < m_list->length()) {
    const std::vector<Line> more = layout(at, 256);
    if (more.empty()) break;
    at = more.back().start + Utf8Size(more.back().text);
    for (const Line& line : more) starts.push_back(line.start);
  }
  m_lastPageTop =
      starts.empty() ? 0 : starts[starts.size() - std::min<std::size_t>(starts.size(), count)];
  return m_lastPageTop;
}

void ListTextView::scrollToOffset(int64_t offset) {
  m_top = std::min(lineStartBefore(offset), lastPageTop());
  updateScrollBar();
  viewport()->update();
}

void ListTextView::scrollToEnd() {
  if (!m_list) return;
  m_top = lastPageTop();
  updateScrollBar();
  viewport()->update();
}

void ListTextView::moveLines(int lines) {
  if (!m_list || lines == 0) return;
  int64_t top = m_top;
  if (lines > 0) {
    const int64_t last = lastPageTop();
    if (m_top >= last) return;
    const std::vector<Line> below = layout(m_top, lines + 1);
    top = static_cast<int>(below.size()) > lines ? below[static_cast<std::size_t>(lines)].start
                                                 : last;
    top = std::min(top, last);
  } else {
    if (m_top == 0) return;
    top = lineStartAbove(m_top, -lines);
  }
  if (top == m_top) return;
  m_top = top;
  updateScrollBar();
  viewport()->update();
}

void ListTextView::lineDown() {
  moveLines(1);
}

void ListTextView::lineUp() {
  moveLines(-1);
}

QStringList ListTextView::visibleLines() {
  QStringList out;
  for (const Line& line : layout(m_top, visibleLineCount())) out << line.text;
  return out;
}

void ListTextView::selectAll() {
  m_anchor = 0;
  m_caret = m_list ? m_list->length() : 0;
  viewport()->update();
}

QString ListTextView::selectedText(bool* tooLarge) const {
  if (tooLarge) *tooLarge = false;
  if (!m_list || selectionEnd() <= selectionStart()) return {};
  if (selectionEnd() - selectionStart() > kClipboardLimit) {
    if (tooLarge) *tooLarge = true;
    return {};
  }
  return QString::fromUtf8(m_list->slice(selectionStart(), selectionEnd() - selectionStart()));
}

// The bar's whole length stands for the text and its thumb for the share of it on screen; its
// values reach from the top of the text to the top of the last page.
void ListTextView::updateScrollBar() {
  m_settingBar = true;
  QScrollBar* bar = verticalScrollBar();
  const int64_t length = m_list ? m_list->length() : 0;
  const int64_t last = length > 0 ? lastPageTop() : 0;
  if (last <= 0) {
    bar->setRange(0, 0);
    bar->setPageStep(kBarSteps);
    bar->setValue(0);
  } else {
    if (m_pageBytes < 0) {
      const std::vector<Line> page = layout(0, visibleLineCount());
      m_pageBytes = page.empty() ? length : page.back().start + Utf8Size(page.back().text);
    }
    const double share = static_cast<double>(m_pageBytes) / static_cast<double>(length);
    const int pageStep = std::clamp(static_cast<int>(share * kBarSteps), 1, kBarSteps - 1);
    const int maximum = kBarSteps - pageStep;
    bar->setRange(0, maximum);
    bar->setPageStep(pageStep);
    bar->setSingleStep(std::max(1, pageStep / std::max(1, visibleLineCount())));
    bar->setValue(m_top >= last ? maximum
                                : static_cast<int>(static_cast<double>(m_top) /
                                                   static_cast<double>(last) * maximum));
  }
  m_settingBar = false;
}

void ListTextView::scrollContentsBy(int, int) {
  if (m_settingBar || !m_list) return;
  QScrollBar* bar = verticalScrollBar();
  const int value = bar->value();
  const int64_t last = lastPageTop();
  if (value >= bar->maximum()) {
    m_top = last;
  } else {
    m_top = std::min(last, lineStartBefore(static_cast<int64_t>(static_cast<double>(value) /
                                                                bar->maximum() * last)));
  }
  viewport()->update();
}

void ListTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  // Lines depend on the width and the last page on the height.
  m_lastPageTop = m_pageBytes = -1;
  if (m_list) m_top = std::min(lineStartBefore(m_top), lastPageTop());
  updateScrollBar();
  viewport()->update();
}

void ListTextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  m_lines = layout(m_top, visibleLineCount() + 1);
  const QFontMetrics metrics = fontMetrics();
  int y = kMargin;
  const int64_t selFrom = selectionStart(), selTo = selectionEnd();
  for (const Line& line : m_lines) {
    const int64_t lineEnd = line.start + Utf8Size(line.text);
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

int64_t ListTextView::offsetAt(const QPoint& point) {
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

void ListTextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  m_anchor = m_caret = offsetAt(event->position().toPoint());
  viewport()->update();
}

void ListTextView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  m_caret = offsetAt(event->position().toPoint());
  viewport()->update();
}

void ListTextView::wheelEvent(QWheelEvent* event) {
  moveLines(-event->angleDelta().y() / 40);
}

void ListTextView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if (event->key() == Qt::Key_Down) {
    lineDown();
  } else if (event->key() == Qt::Key_Up) {
    lineUp();
  } else if (event->key() == Qt::Key_PageDown) {
    moveLines(std::max(1, visibleLineCount() - 1));
  } else if (event->key() == Qt::Key_PageUp) {
    moveLines(-std::max(1, visibleLineCount() - 1));
  } else if (event->matches(QKeySequence::MoveToStartOfDocument) || event->key() == Qt::Key_Home) {
    scrollToOffset(0);
  } else if (event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_End) {
    scrollToEnd();
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}
