#include <gtest/gtest.h>

#include <QScrollBar>
#include <memory>
#include <string>

#include "collate/CoincidenceList.h"
#include "dialogs/ListTextView.h"

namespace {

// A list of plain entries, with `heading` put in so that it starts at byte `headingAt`.
std::string EntriesWithHeading(std::size_t headingAt, const std::string& heading,
                               std::size_t total) {
  std::string text;
  auto fill = [&](std::size_t target) {
    while (text.size() < target) {
      const std::size_t left = target - text.size();
      if (left >= 12) {
        text += "12=34 , ";
      } else if (left >= 8) {
        text += "1 , ";
      } else {
        static const char* const kBySize[] = {"1 , ", "12 , ", "1=2 , ", "1=23 , "};
        text += kBySize[left - 4];
      }
    }
  };
  fill(headingAt);
  text += heading;
  fill(total);
  return text;
}

tallyra::ListPtr ListOf(const std::string& text) {
  auto list = std::make_shared<tallyra::CoincidenceList>();
  list->appendText(text);
  return list;
}

// Every line from the top to the end, one view step at a time.
QStringList AllLines(ListTextView& view) {
  QStringList lines;
  view.scrollToOffset(0);
  for (;;) {
    const QStringList page = view.visibleLines();
    const int64_t top = view.top();
    view.lineDown();
    if (view.top() == top) {
      lines += page;
      return lines;
    }
    lines += page.first();
  }
}

bool EndsAtBreak(const QString& line) {
  return line.endsWith(QStringLiteral(", ")) || line.endsWith(QStringLiteral(": "));
}

// Headings with two-byte letters across the fixed points lines are laid out from: every line
// still ends between entries, and moving up gives the lines moving down gave.
TEST(ListTextView, LinesEndBetweenEntriesWhereverMultiByteHeadingsFall) {
  const std::string heading = "Системные ставки: ";
  for (std::size_t headingAt : {4096 - 7, 4096 - 8, 4096 - 20, 2 * 4096 - 1, 2 * 4096 - 13}) {
    const std::string text = EntriesWithHeading(headingAt, heading, 3 * 4096 + 500);
    ListTextView view;
    view.resize(479, 386);
    view.setList(ListOf(text));
    const QStringList lines = AllLines(view);
    ASSERT_EQ(lines.join(QString()).toStdString(), text) << headingAt;
    for (int i = 0; i + 1 < lines.size(); ++i) {
      EXPECT_TRUE(EndsAtBreak(lines[i])) << headingAt << ": " << lines[i].toStdString();
    }
    // From the end back to the top, line by line.
    view.scrollToEnd();
    QStringList upwards = view.visibleLines();
    while (view.top() > 0) {
      view.lineUp();
      upwards.prepend(view.visibleLines().first());
    }
    EXPECT_EQ(upwards, lines) << headingAt;
  }
}

// The thumb stands for the share on screen, and no way of moving goes past the last page.
TEST(ListTextView, TheScrollBarShowsTheShareOnScreenAndStopsAtTheLastPage) {
  ListTextView view;
  view.resize(479, 386);
  QScrollBar* bar = view.verticalScrollBar();

  view.setList(ListOf(EntriesWithHeading(10, "Stakes: ", 300)));
  EXPECT_EQ(bar->maximum(), 0) << "a list that fits has nothing to scroll";
  bar->setValue(bar->maximum());
  EXPECT_EQ(view.top(), 0);

  const std::string text = EntriesWithHeading(100, "Stakes: ", 40000);
  view.setList(ListOf(text));
  const int lines = static_cast<int>(view.visibleLines().size());
  const QStringList all = AllLines(view);
  const double share = static_cast<double>(lines) / all.size();
  const double thumb = static_cast<double>(bar->pageStep()) / (bar->maximum() + bar->pageStep());
  EXPECT_NEAR(thumb, share, share * 0.2);

  // Dragged anywhere, the window stays full; dragged to the end, it shows the last page.
  view.scrollToEnd();
  const int64_t lastTop = view.top();
  for (int value : {bar->maximum(), bar->maximum() - 1, bar->maximum() * 99 / 100}) {
    view.scrollToOffset(0);
    bar->setValue(value);
    const QStringList page = view.visibleLines();
    EXPECT_EQ(page.size(), lines) << value;
    EXPECT_LE(view.top(), lastTop) << value;
  }
  bar->setValue(bar->maximum());
  EXPECT_EQ(view.top(), lastTop);
  EXPECT_EQ(view.visibleLines().last(), all.last());
  view.scrollToEnd();
  const int64_t last = view.top();
  view.lineDown();
  view.moveLines(lines);
  view.scrollToOffset(static_cast<int64_t>(text.size()) - 3);
  EXPECT_EQ(view.top(), last);

  // A page down and up moves by whole pages of the same lines.
  view.scrollToOffset(static_cast<int64_t>(text.size()) / 2);
  const QStringList middle = view.visibleLines();
  view.moveLines(lines - 1);
  EXPECT_EQ(view.visibleLines().first(), middle.last());
  view.moveLines(-(lines - 1));
  EXPECT_EQ(view.visibleLines(), middle);

  // A short list longer than the window: the bar still ends at its last page.
  view.setList(ListOf(EntriesWithHeading(10, "Stakes: ", 4000)));
  bar->setValue(bar->maximum());
  const QStringList page = view.visibleLines();
  EXPECT_EQ(page.size(), lines);
  EXPECT_TRUE(page.last().endsWith(QStringLiteral(" , ")));
  EXPECT_EQ(view.top() + page.join(QString()).toUtf8().size(), 4000);
}

}  // namespace
