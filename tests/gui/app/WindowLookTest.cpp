#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <numeric>

#include "GuiFixture.h"

namespace {

class WindowLook : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  void ShowTab(QWidget* tab) {
    Tabs()->setCurrentWidget(tab);
    QCoreApplication::processEvents();
  }
  static int ColumnSum(const platform::StringGrid& grid) {
    int sum = 0;
    for (int c = 0; c < grid.model().columnCount(); ++c) sum += grid.columnWidth(c);
    return sum;
  }
  void Stakes(int rows) {
    tallyra::test::Rows stakes;
    for (int r = 1; r <= rows; ++r) {
      stakes.emplace_back();
      for (int c = 1; c <= 6; ++c) stakes.back().push_back((r + c) % 49 + 1);
    }
    FillStakes(stakes);
  }
};

TEST_F(WindowLook, StatusBarPanelsAreDrawnWhole) {
  QStatusBar* bar = form->statusBar();
  ASSERT_EQ(bar->height(), 19);
  for (int i = 0; i < 7; ++i) {
    QLabel* panel = StatusPanel(i);
    const QRect inBar(panel->mapTo(bar, QPoint(0, 0)), panel->size());
    EXPECT_TRUE(bar->rect().contains(inBar))
        << panel->objectName().toStdString() << " at " << inBar.y() << " height " << inBar.height();
  }
  EXPECT_EQ(StatusPanel(1)->width(), 50);
  EXPECT_EQ(StatusPanel(0)->width(), 115);
}

TEST_F(WindowLook, GridColumnsFillTheRoomBesideTheScrollBar) {
  struct Case {
    QWidget* tab;
    platform::StringGrid* grid;
  };
  const Case grids[] = {{Tab("TS1"), Grid("SGStav")},
                        {Tab("TS2"), Grid("SGSys")},
                        {Tab("TS3"), Grid("SGRes")},
                        {Tab("TS5"), Grid("SGStat")}};
  for (const Case& g : grids) {
    ShowTab(g.tab);
    EXPECT_EQ(ColumnSum(*g.grid), g.grid->viewport()->width())
        << g.grid->objectName().toStdString();
  }
  // Rows enough for a scroll bar narrow the room; the columns follow.
  ShowTab(Tab("TS1"));
  const int wide = Grid("SGStav")->viewport()->width();
  Stakes(100);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Grid("SGStav")->verticalScrollBar()->isVisible(); }));
  EXPECT_LT(Grid("SGStav")->viewport()->width(), wide);
  // The horizontal bar, shown while the columns were wider than the narrowed room, goes once
  // the view has laid itself out again.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Grid("SGStav")->horizontalScrollBar()->isVisible(); }));
  EXPECT_EQ(ColumnSum(*Grid("SGStav")), Grid("SGStav")->viewport()->width());
  // Equal widths in the layout stay equal within a pixel.
  for (int c = 1; c < 11; ++c) {
    EXPECT_LE(std::abs(Grid("SGStav")->columnWidth(c) - Grid("SGStav")->columnWidth(0)), 1) << c;
  }
}

TEST_F(WindowLook, ColumnWidthsKeepTheLayoutsProportions) {
  using platform::FitColumnWidths;
  EXPECT_EQ(FitColumnWidths({64, 119, 120, 75, 140}, 518),
            (std::vector<int>{64, 119, 120, 75, 140}));
  const std::vector<int> fitted = FitColumnWidths({64, 119, 120, 75, 140}, 528);
  EXPECT_EQ(std::accumulate(fitted.begin(), fitted.end(), 0), 528);
  EXPECT_EQ(fitted, (std::vector<int>{65, 122, 122, 76, 143}));
  const std::vector<int> stakes = FitColumnWidths(std::vector<int>(11, 53), 598);
  EXPECT_EQ(std::accumulate(stakes.begin(), stakes.end(), 0), 598);
  EXPECT_EQ(*std::min_element(stakes.begin(), stakes.end()), 54);
  EXPECT_EQ(*std::max_element(stakes.begin(), stakes.end()), 55);
  EXPECT_EQ(FitColumnWidths({}, 100), std::vector<int>{});
  EXPECT_EQ(FitColumnWidths({10, 20}, 0), (std::vector<int>{10, 20}));
}

TEST_F(WindowLook, ASelectedRowLeavesTheFixedColumnInItsOwnColour) {
  ShowTab(Tab("TS1"));
  Stakes(5);
  Grid("SGStav")->setRow(2);
  Grid("SGStav")->setFocus();
  QCoreApplication::processEvents();
  const QImage image = Grid("SGStav")->viewport()->grab().toImage();
  const int y = Grid("SGStav")->rowViewportPosition(1) + 12;
  const QColor fixed = image.pixelColor(Grid("SGStav")->columnViewportPosition(0) + 40, y);
  const QColor cell = image.pixelColor(Grid("SGStav")->columnViewportPosition(3) + 40, y);
  EXPECT_EQ(fixed, QColor(0xC0, 0xDC, 0xC0)) << fixed.name().toStdString();
  EXPECT_EQ(cell, Grid("SGStav")->palette().color(QPalette::Active, QPalette::Highlight))
      << cell.name().toStdString();
  // An unselected row's first column has the same colour.
  const int other = Grid("SGStav")->rowViewportPosition(3) + 12;
  EXPECT_EQ(image.pixelColor(Grid("SGStav")->columnViewportPosition(0) + 40, other), fixed);
}

TEST_F(WindowLook, CategoriesWithoutCoincidencesAreGreyed) {
  for (QLabel* label : {Label("Label2"), Label("Label3"), Label("Label4"), Label("Label5"),
                        Label("LR3"), Label("LR4"), Label("LR5"), Label("LR6")}) {
    EXPECT_FALSE(label->isEnabled());
    const QColor greyed = label->palette().color(QPalette::Disabled, QPalette::WindowText);
    EXPECT_NE(greyed, QColor(Qt::red)) << label->objectName().toStdString();
    EXPECT_EQ(greyed.red(), greyed.green()) << "a grey";
    EXPECT_EQ(greyed.green(), greyed.blue()) << "a grey";
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::red));
  }
  // A category with a coincidence is red, the others stay grey, on screen too.
  FillStakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}});
  Click("BitTest");
  QCoreApplication::processEvents();
  EXPECT_TRUE(Label("LR6")->isEnabled());
  EXPECT_FALSE(Label("LR3")->isEnabled());
  auto inkOf = [](QLabel* label) {
    const QImage image = label->grab().toImage();
    // Red ink on the label's pixels.
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
      }
    return red;
  };
  EXPECT_GT(inkOf(Label("LR6")), 0);
  EXPECT_EQ(inkOf(Label("LR3")), 0);
  EXPECT_EQ(inkOf(Label("Label5")), 0);
}

}  // namespace

namespace {

// Closing the window while a long collation runs: the run stops, then the usual questions.
class CloseDuringRun : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  // System stakes of twelve numbers; 99 999 of them take seconds to collate with each other.
  void HoldSystem(int rows) {
    tallyra::test::Rows system;
    uint32_t seed = 7;
    for (int r = 1; r <= rows; ++r) {
      system.emplace_back();
      for (int c = 1; c <= 12; ++c) {
        seed = seed * 1103515245u + 12345u;
        system.back().push_back(static_cast<int32_t>((seed >> 16) % 49 + 1));
      }
    }
    FillSystem(system);
  }
  // Collates, and asks the window system's way (the close box) to close as soon as the run is
  // under way (the busy cursor shows it), whatever the machine's speed.
  void CollateAndCloseWhileRunning() {
    auto* look = new QTimer(form.get());
    QObject::connect(look, &QTimer::timeout, look, [this, look] {
      if (!QApplication::overrideCursor()) return;
      look->stop();
      form->windowHandle()->close();
    });
    look->start(0);
    script.answerNo();
    Click("BitTestSys");
  }
};

TEST_F(CloseDuringRun, TheRunStopsAndTheWindowClosesWithTheQuestions) {
  HoldSystem(99999);
  ASSERT_NE(form->windowHandle(), nullptr);
  QElapsedTimer clock;
  clock.start();
  CollateAndCloseWhileRunning();
  // The bound only catches a hang, with room for a loaded machine and the sanitizers; the empty
  // result panel below is what shows that the run stopped.
  EXPECT_LT(clock.elapsed(), 30000) << "the run stopped";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 30000));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Save system stakes before exit?"));
  // Nothing of the stopped run is shown.
  EXPECT_EQ(Label("LR3")->text(), QString());
  EXPECT_EQ(ClickLabel("Lab3")->text(), QString());
}

// The progress window's Cancel stops the run: nothing of it is shown, and the window stays
// open and takes input again. The window shows as the run starts, so the Cancel comes long
// before the run's end whatever the machine's speed.
TEST_F(CloseDuringRun, CancelInTheProgressWindowStopsTheRun) {
  script.progressAtOnce = true;
  {
    const CancelWhenProgressShows cancel;
    Click("BitTestSys");
  }
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Label("LR3")->text(), QString()) << "nothing of the stopped run is shown";
  EXPECT_EQ(ClickLabel("Lab3")->text(), QString());
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(form->findChild<QProgressDialog*>(), nullptr);
  // The next run, shown but not cancelled, goes to its end.
  form->workspace().SystemCount = 300;
  form->refreshGrids();
  Click("BitTestSys");
  EXPECT_NE(Label("LR3")->text(), QString());
}

TEST_F(CloseDuringRun, ARunNotAskedToCloseStillShowsItsOutcome) {
  HoldSystem(300);
  Click("BitTestSys");
  EXPECT_TRUE(form->isVisible());
  EXPECT_NE(Label("LR3")->text(), QString());
  EXPECT_TRUE(script.messages.empty());
}

}  // namespace
