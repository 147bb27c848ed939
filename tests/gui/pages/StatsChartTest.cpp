#include <QAccessible>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

#include "GuiFixture.h"

namespace {

class StatsChart : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 1,7,8,9,10,11;\r\n3 - 2,7,8,12,5,6;\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
  }
  QList<QBarSet*> Sets() {
    auto* series =
        qobject_cast<QStackedBarSeries*>(Find<QChartView>("StatChart")->chart()->series().value(0));
    return series ? series->barSets() : QList<QBarSet*>();
  }
  static QList<qreal> Values(const QBarSet* set) {
    QList<qreal> values;
    for (int i = 0; i < set->count(); ++i) values << set->at(i);
    return values;
  }
};

TEST_F(StatsChart, BarsCountEachNumberAndMarkTheLatestDraw) {
  const QList<QBarSet*> sets = Sets();
  ASSERT_EQ(sets.size(), 2);
  // Numbers 1..12 over the three draws; the latest draw (2, 5, 6, 7, 8, 12) in the second set.
  EXPECT_EQ(Values(sets[0]), (QList<qreal>{2, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0}));
  EXPECT_EQ(Values(sets[1]), (QList<qreal>{0, 2, 0, 0, 2, 2, 2, 2, 0, 0, 0, 1}));
  EXPECT_EQ(sets[0]->label(), QStringLiteral("Drawn"));
  EXPECT_EQ(sets[1]->label(), QStringLiteral("In the latest draw"));
  // The last two draws only.
  Find<QSpinBox>("StatSpanBox")->setValue(2);
  EXPECT_EQ(Values(sets[0]), (QList<qreal>{1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0}));
  EXPECT_EQ(Values(sets[1]), (QList<qreal>{0, 1, 0, 0, 1, 1, 2, 2, 0, 0, 0, 1}));
  // A new load recomputes the chart.
  WriteFile(QStringLiteral("new.txt"), "1 - 12,11,10,9,8,7;\r\n");
  Find<QSpinBox>("StatSpanBox")->setValue(0);
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  EXPECT_EQ(Values(sets[0]), (QList<qreal>(12, 0)));
  EXPECT_EQ(Values(sets[1]), (QList<qreal>{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
  Trigger("Rus");
  EXPECT_EQ(sets[1]->label(), QStringLiteral("В последнем тираже"));
}

TEST_F(StatsChart, TheContextMenuSavesThePictureAsPng) {
  script.chooseFile(Path(QStringLiteral("chart.png")));
  Trigger("SaveChartItem");
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].defaultSuffix, QStringLiteral("png"));
  EXPECT_TRUE(ReadFile(QStringLiteral("chart.png")).startsWith("\x89PNG\r\n\x1a\n"));
  EXPECT_TRUE(script.messages.empty());
  // A folder that does not exist is told.
  script.chooseFile(Path(QStringLiteral("no/such/chart.png")));
  Trigger("SaveChartItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("The picture could not be saved")));
}

TEST_F(StatsChart, TheMenuBelongsToTheChartAndScreenReadersReachIt) {
  auto* view = Find<QChartView>("StatChart");
  auto* menu = view->findChild<QMenu*>(QStringLiteral("PopupStatChart"));
  ASSERT_NE(menu, nullptr) << "the chart's menu is a child of the chart";
  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(menu);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->role(), QAccessible::PopupMenu);
  EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("Draws per number"));
  ASSERT_EQ(reader->childCount(), 1);
  EXPECT_EQ(reader->child(0)->text(QAccessible::Name), QStringLiteral("Save as PNG..."));
  Trigger("Rus");
  EXPECT_EQ(reader->child(0)->text(QAccessible::Name), QStringLiteral("Сохранить как PNG..."));
  // The file dialog names what it saves.
  script.cancelFile();
  Trigger("SaveChartItem");
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].filters, QStringList{QStringLiteral("Рисунки PNG (*.png)")});
}

TEST_F(StatsChart, TheGridsHeadersAndTheSortingCaptionShowWholeInBothLanguages) {
  Tabs()->setCurrentWidget(Tab("TS5"));
  QCoreApplication::processEvents();
  platform::StringGrid* grid = Grid("SGStat");
  auto* sorting = Find<QGroupBox>("GroupBox2");
  for (const char* language : {"Eng", "Rus"}) {
    Trigger(language);
    QCoreApplication::processEvents();
    const QFontMetrics metrics = grid->horizontalHeader()->fontMetrics();
    int sum = 0;
    for (int c = 0; c < 5; ++c) {
      const QString header = grid->model().header(c);
      // The text, the header's padding and its border.
      EXPECT_GE(grid->columnWidth(c), metrics.horizontalAdvance(header) + 3)
          << language << " " << header.toStdString();
      sum += grid->columnWidth(c);
    }
    EXPECT_EQ(sum, grid->viewport()->width()) << language;
    // The caption stands on the frame's top line, not above the frame.
    QStyleOptionGroupBox option;
    option.initFrom(sorting);
    option.text = sorting->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect frame = sorting->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxFrame, sorting);
    const QRect caption = sorting->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, sorting);
    EXPECT_LE(caption.top(), frame.top()) << language;
    EXPECT_GE(caption.bottom(), frame.top()) << language;
    EXPECT_GT(caption.left(), frame.left()) << language;
    EXPECT_LT(caption.right(), frame.right()) << language;
  }
}

}  // namespace
