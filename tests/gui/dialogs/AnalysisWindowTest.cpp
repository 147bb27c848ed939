#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>

#include "GuiFixture.h"
#include "dialogs/AnalysisWindow.h"
#include "stats/Analysis.h"

namespace {

// Five draws of 6 out of 12, read at the start as the program reads them.
class AnalysisWindowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 1,7,8,9,10,11;\r\n3 - 2,7,8,12,5,6;\r\n"
              "4 - 3,4,9,10,11,12;\r\n5 - 1,2,7,8,11,12;\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
  }

  AnalysisWindow* Open() {
    Trigger("AnalysisItem");
    return form->findChild<AnalysisWindow*>(QStringLiteral("AnalysisWindow"));
  }
  // What the core gives for draws first..last of the history held.
  tallyra::Analysis Core(int first, int last) const {
    const tallyra::Workspace& ws = form->workspace();
    std::vector<tallyra::AnalysisDraw> history(static_cast<std::size_t>(ws.ResultCount));
    for (int row = 1; row <= ws.ResultCount; ++row) {
      for (int column = 1; column <= 6; ++column) {
        history[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] =
            ws.ResultTable.at(column, row);
      }
    }
    tallyra::AnalysisSettings settings;
    settings.highest = ws.HighestNumber;
    settings.range = {first, last};
    return tallyra::Analyse(history, settings);
  }
  static QString Shown(const QTableView* view, int row, int column) {
    const QAbstractItemModel* m = view->model();
    return m->data(m->index(row, column)).toString();
  }
  // The numbers table holds, row by row, the hits and skips the core gives for the range.
  void ExpectNumbersOf(AnalysisWindow* w, const tallyra::Analysis& core) {
    const auto* view = Find<QTableView>("AnalysisNumbers", w);
    ASSERT_EQ(view->model()->rowCount(), static_cast<int>(core.numbers.size()));
    for (const tallyra::NumberFigures& f : core.numbers) {
      const int row = f.number - 1;
      EXPECT_EQ(Shown(view, row, 0), QString::number(f.number));
      EXPECT_EQ(Shown(view, row, 1), QString::number(f.hits)) << f.number;
      EXPECT_EQ(Shown(view, row, 3), QString::number(f.skip)) << f.number;
      EXPECT_EQ(Shown(view, row, 5), QString::number(f.longestSkip)) << f.number;
    }
  }
};

TEST_F(AnalysisWindowTest, OneWindowFromTheMenuAndTheStatisticsTabShowsTheCoresFigures) {
  AnalysisWindow* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(Action("AnalysisItem")->text(), QStringLiteral("Analysis of the draws..."));
  ExpectNumbersOf(w, Core(1, 5));
  EXPECT_TRUE(Find<QLabel>("AnalysisUniformity", w)
                  ->text()
                  .startsWith(Core(1, 5).uniformity.p >= 0.05
                                  ? QStringLiteral("The counts are as even as chance")
                                  : QStringLiteral("The counts are less even than chance")));
  // The Statistics tab's button raises the same window.
  w->hide();
  Click("StatAnalysisButton");
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(form->findChildren<AnalysisWindow*>().size(), 1);
  // The size is kept for the next opening.
  w->resize(1000, 650);
  w->close();
  EXPECT_TRUE(ReadFile(QStringLiteral("preferences.ini")).contains("1000x650"));
}

TEST_F(AnalysisWindowTest, TheRangeAndANewLoadChangeTheTitleAndTheFigures) {
  AnalysisWindow* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("draws 1–5 of 5")))
      << w->windowTitle().toStdString();
  Find<QSpinBox>("AnalysisLatestCount", w)->setValue(2);
  EXPECT_TRUE(Find<QRadioButton>("AnalysisLatest", w)->isChecked());
  EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("draws 4–5 of 5")));
  ExpectNumbersOf(w, Core(4, 5));
  Find<QSpinBox>("AnalysisFrom", w)->setValue(2);
  Find<QSpinBox>("AnalysisTo", w)->setValue(3);
  EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("draws 2–3 of 5")));
  ExpectNumbersOf(w, Core(2, 3));

  // A new load while the window is open: the range keeps its draws, the history is the new one.
  WriteFile(QStringLiteral("new.txt"), "1 - 12,11,10,9,8,7;\r\n2 - 1,2,3,10,11,12;\r\n");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("draws 2–2 of 2")))
      << w->windowTitle().toStdString();
  ExpectNumbersOf(w, Core(2, 2));
}

TEST_F(AnalysisWindowTest, ExportsWriteTheRowsShownAndThePicturesArePng) {
  AnalysisWindow* w = Open();
  ASSERT_NE(w, nullptr);
  auto* view = Find<QTableView>("AnalysisNumbers", w);
  view->sortByColumn(1, Qt::DescendingOrder);
  script.chooseFile(Path(QStringLiteral("numbers.csv")));
  Click("AnalysisNumbersExport", w);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].fileName, QStringLiteral("numbers-1-5.csv"));
  const QList<QByteArray> lines = ReadFile(QStringLiteral("numbers.csv")).split('\n');
  ASSERT_EQ(lines.size(), 12 + 2);  // the heading, a line a number, nothing after the last CR LF
  EXPECT_EQ(lines[0], "draws;number;hits;expected;skip;average_skip;longest_skip\r");
  for (int row = 0; row < 12; ++row) {
    QStringList fields;
    for (int column = 0; column < 6; ++column) fields << Shown(view, row, column);
    EXPECT_EQ(QString::fromUtf8(lines[row + 1]),
              QStringLiteral("1-5;") + fields.join(QLatin1Char(';')) + QStringLiteral("\r"));
  }
  EXPECT_TRUE(lines[13].isEmpty());

  for (const char* button : {"AnalysisSkipsPng", "AnalysisHeatMapPng", "AnalysisPatternPng"}) {
    script.chooseFile(Path(QStringLiteral("picture.png")));
    Click(button, w);
    EXPECT_TRUE(ReadFile(QStringLiteral("picture.png")).startsWith("\x89PNG\r\n\x1a\n")) << button;
    QFile::remove(Path(QStringLiteral("picture.png")));
  }
  EXPECT_TRUE(script.messages.empty());
  // A file that cannot be written is told.
  script.chooseFile(Path(QStringLiteral("no/such/shapes.csv")));
  Click("AnalysisShapesExport", w);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("Cannot write file")))
      << script.messages[0].text.toStdString();
}

TEST_F(AnalysisWindowTest, TheLanguageSwitchChangesTheTexts) {
  AnalysisWindow* w = Open();
  ASSERT_NE(w, nullptr);
  auto* tabs = Find<QTabWidget>("AnalysisTabs", w);
  auto* numbers = Find<QTableView>("AnalysisNumbers", w);
  auto* counts = Find<QChartView>("AnalysisPatternChart", w)->chart()->axes(Qt::Vertical).value(0);
  ASSERT_NE(counts, nullptr);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Numbers"));
  EXPECT_EQ(counts->titleText(), QStringLiteral("Times"));
  Trigger("Rus");
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Анализ тиражей — тиражи 1–5 из 5"));
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Числа"));
  EXPECT_EQ(numbers->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Выпадало"));
  EXPECT_EQ(counts->titleText(), QStringLiteral("Раз"));
  EXPECT_EQ(Action("AnalysisItem")->text(), QStringLiteral("Анализ тиражей..."));
}

}  // namespace
