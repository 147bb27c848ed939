#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <functional>

#include "GuiFixture.h"
#include "ListFill.h"
#include "dialogs/GeneratorDialog.h"
#include "generate/Generator.h"

namespace {

using tallyra::Filter;
using tallyra::FilterKind;
using V = std::vector<int32_t>;

Filter Bounds(FilterKind kind, int low, int high, bool on = true) {
  Filter f;
  f.kind = kind;
  f.low = low;
  f.high = high;
  f.on = on;
  return f;
}

Filter Numbers(FilterKind kind, V numbers) {
  Filter f;
  f.kind = kind;
  f.numbers = std::move(numbers);
  return f;
}

// The generator opened from the Stakes menu, in English, with M = 30 (a space small enough to
// count at once) and a short history.
class Generator : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("ini.tly"), "30\r\n1\r\n");
    Start();
    script.messages.clear();
    FillDraws({{1, 5, 9, 14, 22, 30},
               {2, 3, 11, 17, 25, 28},
               {4, 6, 8, 19, 20, 27},
               {7, 10, 12, 13, 24, 29},
               {1, 2, 15, 16, 21, 26}});
    Trigger("GenerateItem");
    dialog = form->findChild<GeneratorDialog*>(QStringLiteral("Generator"));
    ASSERT_NE(dialog, nullptr);
  }
  // Sets the filters and waits for the funnel the dialog counts of them in the background.
  const tallyra::Funnel& Counted(std::vector<Filter> filters) {
    dialog->setFilters(std::move(filters));
    return Counted();
  }
  const tallyra::Funnel& Counted() {
    QElapsedTimer clock;
    clock.start();
    while (!dialog->funnel() && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_NE(dialog->funnel(), nullptr);
    static const tallyra::Funnel none;
    return dialog->funnel() ? *dialog->funnel() : none;
  }
  // The core's own funnel of the same filters over every draw held.
  tallyra::Funnel CoreFunnel(const std::vector<Filter>& filters) const {
    tallyra::GenerateInput input;
    input.highest = 30;
    const tallyra::Workspace& ws = form->workspace();
    for (int r = 1; r <= ws.ResultCount; ++r) {
      tallyra::AnalysisDraw d{};
      for (int c = 1; c <= 6; ++c) d[static_cast<std::size_t>(c - 1)] = ws.ResultTable.at(c, r);
      input.history.push_back(d);
    }
    input.range = {1, ws.ResultCount};
    input.filters = filters;
    return tallyra::RunFunnel(input);
  }
  QString Text(const char* name) const { return Find<QLabel>(name, dialog)->text(); }
  void Click(const char* name) const { GuiTest::Click(name, dialog); }
  std::vector<V> StakeRows() const { return tallyra::test::StakeRows(form->workspace()); }

  GeneratorDialog* dialog = nullptr;
};

TEST_F(Generator, TheFunnelShownIsTheCoresAndABadBoundIsToldBesideItsFilter) {
  EXPECT_EQ(Action("GenerateItem")->text(), QStringLiteral("Generate stakes through filters..."));
  EXPECT_TRUE(dialog->isVisible());
  const std::vector<Filter> filters = {
      Bounds(FilterKind::Sum, 60, 120), Bounds(FilterKind::Odd, 2, 4, false),
      Numbers(FilterKind::Exclude, {1, 2, 3}), Bounds(FilterKind::PreviousMax, 0, 1),
      Filter{FilterKind::NotDrawn, true, 0, 0, {}}};
  const tallyra::Funnel& shown = Counted(filters);
  const tallyra::Funnel core = CoreFunnel(filters);
  ASSERT_EQ(shown.steps.size(), core.steps.size());
  EXPECT_EQ(shown.left, core.left);
  auto* table = Find<QTableWidget>("FunnelTable", dialog);
  ASSERT_EQ(table->rowCount(), static_cast<int>(core.steps.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    const tallyra::FunnelStep& step = core.steps[static_cast<std::size_t>(r)];
    EXPECT_TRUE(
        table->item(r, 0)->text().startsWith(QString::number(step.filter + 1) + QLatin1Char('.')));
    EXPECT_EQ(table->item(r, 1)->text().toStdString(),
              tallyra::FilterArguments(filters[static_cast<std::size_t>(step.filter)]));
    EXPECT_EQ(table->item(r, 2)->text().toULongLong(), step.left);
    EXPECT_EQ(table->item(r, 3)->text().toULongLong(), step.alone);
    EXPECT_EQ(table->item(r, 4)->text(),
              QString::number(step.drawsKept.value() * 100, 'f', 1) + QLatin1Char('%'));
  }
  EXPECT_TRUE(Text("FunnelSummary").contains(QString::number(core.total)));
  EXPECT_TRUE(Text("FunnelSummary").contains(QString::number(core.left)));

  // Seven numbers that must all be in six leave nothing: the filter is named, not an error.
  Counted({Numbers(FilterKind::Include, {1, 2, 3, 4, 5, 6, 7})});
  EXPECT_TRUE(Text("EmptiedLabel").contains(QStringLiteral("filter 1")));

  // A low bound above the high one is told beside its filter, and nothing is counted.
  dialog->setFilters({Bounds(FilterKind::Odd, 2, 4), Bounds(FilterKind::Sum, 150, 90)});
  EXPECT_FALSE(dialog->input());
  EXPECT_FALSE(Text("FilterReason2").isEmpty());
  EXPECT_TRUE(Text("FilterReason1").isEmpty());
  EXPECT_TRUE(script.messages.empty());

  // The window's language switch reaches the open generator.
  Trigger("Rus");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Генератор ставок"));
  EXPECT_EQ(Find<QPushButton>("ToStakesButton", dialog)->text(), QStringLiteral("В список ставок"));
}

TEST_F(Generator, IntoTheStakesListAppendsOrReplacesAndASeedGivesTheSameSample) {
  FillStakes({{1, 2, 3, 4, 5, 6}});
  // Ten numbers make 210 combinations, more than the 50 asked.
  const tallyra::Funnel& f = Counted({Numbers(FilterKind::Pool, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})});
  ASSERT_EQ(f.left, 210u);
  Find<QSpinBox>("CountSpin", dialog)->setValue(50);
  Find<QSpinBox>("SeedSpin", dialog)->setValue(7);
  script.answerYes();  // adds
  Click("ToStakesButton");
  std::vector<V> rows = StakeRows();
  ASSERT_EQ(rows.size(), 51u);
  EXPECT_EQ(rows.front(), (V{1, 2, 3, 4, 5, 6}));
  const std::vector<V> sample(rows.begin() + 1, rows.end());
  EXPECT_TRUE(Text("PickLabel").contains(QStringLiteral("seed 7")));

  script.answerNo();  // replaces: the same seed, the same stakes
  Click("ToStakesButton");
  EXPECT_EQ(StakeRows(), sample);

  // Evenly spaced: one in every five of the 210, in order.
  Find<QRadioButton>("EveryRadio", dialog)->setChecked(true);
  script.answerNo();
  Click("ToStakesButton");
  EXPECT_EQ(StakeRows().size(), 42u);
  EXPECT_TRUE(Text("PickLabel").contains(QStringLiteral("one in every 5")));

  // Cancelled while picking, or with no room to add, the list stays as it was.
  const std::vector<V> held = StakeRows();
  script.messages.clear();
  {
    script.progressAtOnce = true;
    CancelWhenProgressShows cancel;
    Click("ToStakesButton");
    script.progressAtOnce = false;
  }
  EXPECT_EQ(StakeRows(), held);
  EXPECT_TRUE(script.messages.empty());
  Counted({});
  Find<QSpinBox>("CountSpin", dialog)->setValue(tallyra::kStakeCapacity);
  Find<QRadioButton>("SampleRadio", dialog)->setChecked(true);
  script.answerYes();
  Click("ToStakesButton");
  EXPECT_EQ(StakeRows(), held);
  ASSERT_FALSE(script.messages.empty());
  EXPECT_TRUE(script.messages.back().text.contains(QStringLiteral("do not fit")));
}

TEST_F(Generator, AFilterSetIsSavedAndLoadedAndABadLineIsNamed) {
  const std::vector<Filter> filters = {Bounds(FilterKind::Sum, 70, 110),
                                       Bounds(FilterKind::Odd, 2, 4, false),
                                       Numbers(FilterKind::Pool, {2, 4, 6, 8, 10, 12, 14})};
  dialog->setFilters(filters);
  script.chooseFile(Path(QStringLiteral("mine.tlf")));
  Click("SaveFiltersButton");
  dialog->setFilters({});
  script.chooseFile(Path(QStringLiteral("mine.tlf")));
  Click("LoadFiltersButton");
  ASSERT_EQ(dialog->filters().size(), filters.size());
  for (std::size_t i = 0; i < filters.size(); ++i) {
    const Filter &a = dialog->filters()[i], &b = filters[i];
    EXPECT_EQ(tallyra::FormatFilterFile({a}), tallyra::FormatFilterFile({b}));
  }

  WriteFile(QStringLiteral("bad.tlf"), "sum 70-110\r\nno-such-filter 3\r\n");
  EXPECT_FALSE(dialog->loadFiltersFrom(Path(QStringLiteral("bad.tlf"))));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("Line 2 ")));
  EXPECT_EQ(dialog->filters().size(), filters.size());
}

TEST_F(Generator, TheNumbersLeftGoToTheWheelsAsTheirPool) {
  Counted({Numbers(FilterKind::Pool, {3, 5, 7, 9, 11, 13, 15})});
  QString pool;
  script.inNextDialog(
      [&](QDialog& wheels) { pool = Find<QLineEdit>("PoolEdit", &wheels)->text(); });
  Click("ToWheelsButton");
  EXPECT_EQ(script.shownDialogs.back(), QStringLiteral("Wheels"));
  EXPECT_EQ(pool, QStringLiteral("3 5 7 9 11 13 15"));
}

// At 6 of 99 the count of the funnel takes a while: its bar shows with a Cancel that stops it,
// and nothing starts again until the filters change.
class GeneratorAtFullSize : public GuiTest {};

TEST_F(GeneratorAtFullSize, ALongCountStopsWhenCancelledAndWaitsForTheNextChange) {
  WriteFile(QStringLiteral("ini.tly"), "99\r\n1\r\n");
  Start();
  Trigger("GenerateItem");
  auto* dialog = form->findChild<GeneratorDialog*>(QStringLiteral("Generator"));
  ASSERT_NE(dialog, nullptr);
  dialog->setFilters({Bounds(FilterKind::Sum, 100, 500)});
  auto* stop = Find<QPushButton>("FunnelStop", dialog);
  ASSERT_NE(stop, nullptr);
  auto waitFor = [](const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
  };
  ASSERT_TRUE(waitFor([stop] { return stop->isVisible(); }));
  stop->click();
  ASSERT_TRUE(waitFor([stop] { return !stop->isVisible(); }));
  EXPECT_EQ(Find<QLabel>("EmptiedLabel", dialog)->text(),
            QStringLiteral("The count was stopped: the funnel shown is that of the filters before "
                           "the last change."));
  EXPECT_EQ(dialog->funnel(), nullptr);
  // Nothing starts again by itself: a new count would show its bar after a moment.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 800) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(stop->isVisible());
  EXPECT_FALSE(Find<QProgressBar>("FunnelProgress", dialog)->isVisible());
}

}  // namespace
