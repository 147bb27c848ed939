#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <vector>

#include "collate/CoincidenceList.h"

// Shows a coincidence list of any length, word-wrapped at entry boundaries. Only the lines on
// screen are ever laid out: the scroll bar stands for the position within the text, so any
// place, the end included, is reached at once. Text can be selected with the mouse (or all of
// it) and copied.
class ListTextView final : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit ListTextView(QWidget* parent = nullptr);

  void setList(tallyra::ListPtr list);
  const tallyra::ListPtr& list() const { return m_list; }

  int64_t top() const { return m_top; }
  void scrollToOffset(int64_t offset);
  void scrollToEnd();
  void lineDown();
  void lineUp();
  // Moves by `lines` lines, down when positive; never past the top of the last page.
  void moveLines(int lines);
  // The text of the lines on screen, one per line; for tests.
  QStringList visibleLines();

  int64_t selectionStart() const { return std::min(m_anchor, m_caret); }
  int64_t selectionEnd() const { return std::max(m_anchor, m_caret); }
  void selectAll();
  // The selected text, or an empty string with `tooLarge` set when it would not fit the
  // clipboard sensibly.
  QString selectedText(bool* tooLarge = nullptr) const;

 signals:
  void copyRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  struct Line {
    int64_t start;  // offset of its first character in the list
    QString text;
  };
  // Lines laid out from `start`, which must be a line start, at most `count` of them.
  std::vector<Line> layout(int64_t start, int count) const;
  // The start of the line `lines` lines above the line starting at `offset` (0 at the top).
  int64_t lineStartAbove(int64_t offset, int lines) const;
  // Where the last page starts; the top never goes further.
  int64_t lastPageTop();
  // Anchors: fixed line starts that no line runs across.
  int64_t anchorAt(int64_t k) const;
  int64_t anchorBefore(int64_t offset) const;
  int64_t nextAnchor(int64_t at) const;
  // The last line start at or before `offset`.
  int64_t lineStartBefore(int64_t offset) const;
  int visibleLineCount() const;
  int64_t offsetAt(const QPoint& point);
  void updateScrollBar();

  tallyra::ListPtr m_list;
  int64_t m_top = 0;
  int64_t m_anchor = 0;
  int64_t m_caret = 0;
  std::vector<Line> m_lines;  // on screen
  bool m_settingBar = false;
  // Measured for the current list and size; -1 until needed.
  int64_t m_lastPageTop = -1;
  int64_t m_pageBytes = -1;  // characters on the first page
};
