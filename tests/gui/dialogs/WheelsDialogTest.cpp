#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "GuiFixture.h"
#include "ListFill.h"
#include "dialogs/WheelsDialog.h"
#include "wheels/Verifier.h"

namespace {

using V = std::vector<int32_t>;

class Wheels : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  // Opens Check > Wheels... and lets `user` work in the dialog.
  void InWheels(const std::function<void(QDialog&)>& user) {
    script.inNextDialog(user);
    Trigger("WheelsItem");
  }
  QLineEdit* PoolEdit(QDialog& d) const { return Find<QLineEdit>("PoolEdit", &d); }
  // Types the pool, sets the guarantee and the search time.
  void Set(QDialog& d, const QString& pool, int t, int m, int seconds = 0) const {
    PoolEdit(d)->setText(pool);
    Find<QSpinBox>("TSpin", &d)->setValue(t);
    Find<QSpinBox>("MSpin", &d)->setValue(m);
    Find<QSpinBox>("SecondsSpin", &d)->setValue(seconds);
  }
  static WheelsDialog& Of(QDialog& d) { return static_cast<WheelsDialog&>(d); }
  QString Text(QDialog& d, const char* label) const { return Find<QLabel>(label, &d)->text(); }
  // The coverage table's row for "t if m", its cells from t on; empty when there is none.
  QStringList CoverageRow(QDialog& d, int t, int m) const {
    auto* table = Find<QTableWidget>("CoverageTable", &d);
    for (int r = 0; r < table->rowCount(); ++r) {
      if (table->item(r, 0)->text().toInt() != t || table->item(r, 1)->text().toInt() != m) {
        continue;
      }
      QStringList cells;
      for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
      return cells;
    }
    return {};
  }
  std::vector<V> StakeRows() const { return tallyra::test::StakeRows(form->workspace()); }
};

TEST_F(Wheels, TheCheckMenuEndsWithTheWheelsItemThatOpensTheDialog) {
  QMenu* check = Menu("N3");
  ASSERT_FALSE(check->actions().isEmpty());
  EXPECT_EQ(check->actions().back(), Action("WheelsItem"));
  EXPECT_EQ(Action("WheelsItem")->text(), QStringLiteral("Wheels..."));
  QString title;
  InWheels([&](QDialog& d) { title = d.windowTitle(); });
  EXPECT_EQ(script.shownDialogs, std::vector<QString>{QStringLiteral("Wheels")});
  EXPECT_EQ(title, QStringLiteral("Wheels"));
}

TEST_F(Wheels, BuildShowsTheTicketsTheirCountBoundCostAndCoverage) {
  WriteFile(QStringLiteral("prizes.tly"), "price; 2.50\r\ncurrency; EUR\r\n");
  InWheels([&](QDialog& d) {
    // Seven numbers, "6 if 6": every six of them, seven tickets, which is also the bound.
    Set(d, QStringLiteral("3, 9 14;20  27,31 44"), 6, 6);
    Click("BuildButton", &d);
    ASSERT_EQ(Of(d).tickets().size(), 7u);
    EXPECT_EQ(Text(d, "CountLabel"),
              QStringLiteral("Wheel 6 if 6: 7 tickets; lower bound 7 (Schönheim), ratio 1.00."));
    EXPECT_EQ(Text(d, "CostLabel"), QStringLiteral("Cost: 17.50 EUR"));
    EXPECT_EQ(Find<QTableView>("TicketsGrid", &d)->model()->rowCount(), 7);
    EXPECT_EQ(Find<QTableWidget>("CoverageTable", &d)->rowCount(), 15);
    EXPECT_EQ(CoverageRow(d, 6, 6),
              (QStringList{QStringLiteral("6"), QStringLiteral("6"), QStringLiteral("7"),
                           QStringLiteral("7"), QStringLiteral("100.00"), QStringLiteral("yes"),
                           QString()}));

    // Ten numbers, "3 if 4": the table agrees with an exact check of the tickets shown.
    Set(d, QStringLiteral("1 2 3 4 5 6 7 8 9 10"), 3, 4);
    Click("BuildButton", &d);
    const auto& tickets = Of(d).tickets();
    ASSERT_FALSE(tickets.empty());
    EXPECT_EQ(Text(d, "CountLabel"),
              QStringLiteral("Wheel 3 if 4: %1 tickets; lower bound %2 (by counting), ratio %3.")
                  .arg(tickets.size())
                  .arg(tallyra::wheels::LowerBound(10, {3, 4}))
                  .arg(QString::fromStdString(tallyra::wheels::RatioText(
                      tickets.size(), tallyra::wheels::LowerBound(10, {3, 4}), 1))));
    const auto exact = tallyra::wheels::Verify({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, tickets);
    for (const auto& row : exact.rows) {
      const QStringList cells = CoverageRow(d, row.guarantee.t, row.guarantee.m);
      ASSERT_EQ(cells.size(), 7);
      EXPECT_EQ(cells[2], QString::number(row.covered));
      EXPECT_EQ(cells[3], QString::number(row.total));
      EXPECT_EQ(cells[5], row.holds() ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    EXPECT_EQ(CoverageRow(d, 3, 4)[5], QStringLiteral("yes"));
    EXPECT_EQ(Text(d, "NoteLabel"), QString());
  });
  EXPECT_TRUE(script.messages.empty()) << MessageTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(Wheels, NoPrizeTableNoCost) {
  InWheels([&](QDialog& d) {
    Set(d, QStringLiteral("1 2 3 4 5 6 7"), 6, 6);
    Click("BuildButton", &d);
    EXPECT_EQ(Of(d).tickets().size(), 7u);
    EXPECT_EQ(Text(d, "CostLabel"), QString());
  });
}

TEST_F(Wheels, BadPoolsAndGuaranteesAreRefusedInTheInterfaceLanguage) {
  QString fifty;
  for (int n = 1; n <= 49; ++n) fifty += QString::number(n) + QLatin1Char(' ');
  fifty += QStringLiteral("7");
  const std::vector<std::pair<QString, QString>> cases = {
      {QString(), QStringLiteral("Type the pool's numbers, for example: 1 5 7 12 18 23 30.")},
      {QStringLiteral("1 2 3 4 5 6"),
       QStringLiteral("A pool needs 7 to 49 numbers; this one has 6.")},
      {fifty, QStringLiteral("A pool needs 7 to 49 numbers; this one has 50.")},
      {QStringLiteral("1 2 3 4 5 6 50"), QStringLiteral("The pool number 50 lies outside 1..49.")},
      {QStringLiteral("0 2 3 4 5 6 7"), QStringLiteral("The pool number 0 lies outside 1..49.")},
      {QStringLiteral("1 2 3 4 5 6 6"), QStringLiteral("The pool holds 6 more than once.")},
      {QStringLiteral("1 2 x 4 5 6 7"), QStringLiteral("\"x\" is not a number for the pool.")},
      {QStringLiteral("1 2 -3 4 5 6 7"), QStringLiteral("\"-3\" is not a number for the pool.")},
  };
  InWheels([&](QDialog& d) {
    for (const auto& [pool, message] : cases) {
      script.messages.clear();
      for (const char* button : {"BuildButton", "CheckStakesButton"}) {
        Set(d, pool, 3, 4);
        Click(button, &d);
      }
      EXPECT_EQ(MessageTexts(), (QStringList{message, message})) << pool.toStdString();
      EXPECT_TRUE(Of(d).tickets().empty());
    }
    script.messages.clear();
    Set(d, QStringLiteral("1 2 3 4 5 6 7"), 5, 4);
    Click("BuildButton", &d);
    EXPECT_EQ(MessageTexts(),
              QStringList{QStringLiteral("The guarantee 5 if 4 is impossible: it needs 2 <= T <= M "
                                         "<= 6 and M no larger than the pool.")});
    EXPECT_TRUE(Of(d).tickets().empty());

    // Every six of 49 numbers: far more tickets than the stakes list holds.
    script.messages.clear();
    Set(d, fifty.section(QLatin1Char(' '), 0, 48), 6, 6);
    Click("BuildButton", &d);
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral(
                                  "A wheel 6 if 6 over this pool holds at least 13983816 tickets, "
                                  "and the list of stakes holds 99999. The wheel is not built.")});
    EXPECT_TRUE(Of(d).tickets().empty());
  });

  form->workspace().Language = 0;
  script.messages.clear();
  InWheels([&](QDialog& d) {
    Set(d, QStringLiteral("1 2 3 4 5 6 60"), 3, 4);
    Click("BuildButton", &d);
  });
  EXPECT_EQ(MessageTexts(),
            QStringList{QStringLiteral("Число пула 60 лежит вне диапазона 1..49.")});

  // The guarantee is written in Russian words too, in messages and in the wheel's count.
  script.messages.clear();
  InWheels([&](QDialog& d) {
    Set(d, QStringLiteral("1 2 3 4 5 6 7"), 5, 4);
    Click("BuildButton", &d);
    Set(d, QStringLiteral("1 2 3 4 5 6 7"), 6, 6);
    Click("BuildButton", &d);
    EXPECT_EQ(
        Text(d, "CountLabel"),
        QStringLiteral("Система 6 при 6: билетов 7, нижняя граница 7 (Шёнхейма), отношение 1,00."));
  });
  EXPECT_EQ(MessageTexts(),
            QStringList{QStringLiteral("Гарантия 5 при 4 невозможна: нужно 2 <= T <= M <= 6, и "
                                       "M не больше размера пула.")});
}

TEST_F(Wheels, ASystemStakeGivesThePool) {
  const V second = {1, 2, 3, 5, 7, 11, 13, 17, 19};
  FillSystem({{4, 8, 15, 16, 23, 42}, second});
  InWheels([&](QDialog& d) {
    auto* combo = Find<QComboBox>("SystemCombo", &d);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), QStringLiteral("2 - 1 2 3 5 7 11 13 17 19"));
    emit combo->activated(2);
    EXPECT_EQ(PoolEdit(d)->text(), QStringLiteral("1 2 3 5 7 11 13 17 19"));
    Set(d, PoolEdit(d)->text(), 3, 3);
    Click("BuildButton", &d);
    ASSERT_FALSE(Of(d).tickets().empty());
    for (const auto& ticket : Of(d).tickets()) {
      for (const int32_t n : ticket)
        EXPECT_NE(std::find(second.begin(), second.end(), n), second.end());
    }
  });
}

TEST_F(Wheels, SendingStoresTheWholeWheelOrNothing) {
  FillStakes({{40, 41, 42, 43, 44, 45}});
  std::vector<tallyra::wheels::Ticket> wheel;
  InWheels([&](QDialog& d) {
    Click("SendButton", &d);
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Build a wheel first.")});
    script.messages.clear();

    Set(d, QStringLiteral("1 2 3 4 5 6 7"), 6, 6);
    Click("BuildButton", &d);
    wheel = Of(d).tickets();
    Click("SendButton", &d);
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("7 tickets were added to the stakes.")});
  });
  std::vector<V> expected = {{40, 41, 42, 43, 44, 45}};
  expected.insert(expected.end(), wheel.begin(), wheel.end());
  EXPECT_EQ(StakeRows(), expected);
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS1"));
  EXPECT_EQ(Cell("SGStav", 2, 1), QString::number(wheel[0][0]));

  // Room for six more: the seven tickets are refused whole.
  tallyra::Workspace& ws = form->workspace();
  FillStakes(tallyra::test::Repeated(tallyra::kStakeCapacity - 6, {40, 41, 42, 43, 44, 45}));
  script.messages.clear();
  InWheels([&](QDialog& d) { Click("SendButton", &d); });
  EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral(
                                "The list of stakes has room for only 6 more stakes, and the wheel "
                                "has 7 tickets. Nothing was added.")});
  EXPECT_EQ(ws.StakeCount, tallyra::kStakeCapacity - 6);
  EXPECT_EQ(ws.StakeTable.at(1, tallyra::kStakeCapacity - 5), 0);

  // Room for exactly seven: they fill the list.
  FillStakes(tallyra::test::Repeated(tallyra::kStakeCapacity - 7, {40, 41, 42, 43, 44, 45}));
  script.messages.clear();
  InWheels([&](QDialog& d) { Click("SendButton", &d); });
  EXPECT_EQ(ws.StakeCount, tallyra::kStakeCapacity);
  EXPECT_EQ(ws.StakeTable.at(1, tallyra::kStakeCapacity), wheel.back()[0]);

  // A full list: the usual message.
  script.messages.clear();
  InWheels([&](QDialog& d) { Click("SendButton", &d); });
  EXPECT_EQ(MessageTexts(),
            QStringList{QStringLiteral("The list of stakes is full: it holds 99999 "
                                       "stakes already. The stake was not added.")});
  EXPECT_EQ(ws.StakeCount, tallyra::kStakeCapacity);
}

TEST_F(Wheels, CheckingTheStakesCountsTicketsOutsideThePoolByTheirPoolNumbers) {
  InWheels([&](QDialog& d) {
    PoolEdit(d)->setText(QStringLiteral("1 2 3 4 5 6 7"));
    Click("CheckStakesButton", &d);
  });
  EXPECT_EQ(MessageTexts(),
            QStringList{QStringLiteral("The list of stakes is empty: there is nothing to check.")});
  script.messages.clear();

  FillStakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 40, 41, 42}});
  InWheels([&](QDialog& d) {
    Click("CheckStakesButton", &d);
    EXPECT_EQ(Text(d, "CoverageLabel"),
              QStringLiteral("Coverage of the stakes. Stakes: 2 tickets."));
    EXPECT_EQ(Text(d, "NoteLabel"),
              QStringLiteral("1 tickets hold numbers outside the pool; they count only through "
                             "their numbers in the pool."));
    // Only 1..6 holds three pool numbers together; the second ticket adds nothing new.
    EXPECT_EQ(CoverageRow(d, 3, 3),
              (QStringList{QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("20"),
                           QStringLiteral("35"), QStringLiteral("57.14"), QStringLiteral("no"),
                           QStringLiteral("1 2 7")}));
    EXPECT_EQ(CoverageRow(d, 2, 6)[5], QStringLiteral("yes"));
    // 1 of 7 is 14.2857...%: rounded as `tallyra-cli wheel check` rounds it for these stakes.
    EXPECT_EQ(CoverageRow(d, 6, 6)[4], QStringLiteral("14.29"));
    // The check shows the stakes' coverage, not a wheel.
    EXPECT_TRUE(Of(d).tickets().empty());
  });
  EXPECT_TRUE(script.messages.empty());
}

TEST_F(Wheels, CancelKeepsTheBestVerifiedWheelFoundSoFar) {
  QElapsedTimer clock;
  InWheels([&](QDialog& d) {
    Set(d, QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"), 3, 3, 120);
    const CancelWhenProgressShows cancel;
    clock.start();
    Click("BuildButton", &d);
    EXPECT_LT(clock.elapsed(), 30'000);
    ASSERT_FALSE(Of(d).tickets().empty());
    EXPECT_EQ(CoverageRow(d, 3, 3)[5], QStringLiteral("yes"));
    EXPECT_EQ(Text(d, "NoteLabel"),
              QStringLiteral("The build was stopped; the smallest verified wheel found so far is "
                             "shown."));
  });
}

TEST_F(Wheels, CancelDuringTheFirstWheelShowsNothingAndSaysSo) {
  QString pool;
  for (int n = 1; n <= 49; ++n) pool += QString::number(n) + QLatin1Char(' ');
  // The first wheel over 49 numbers, "4 if 6", takes many times longer than the progress
  // window needs to show.
  QElapsedTimer clock;
  InWheels([&](QDialog& d) {
    Set(d, pool, 4, 6, 3600);
    {
      const CancelWhenProgressShows cancel;
      clock.start();
      Click("BuildButton", &d);
      // Only a build that ignores the cancel takes this long.
      EXPECT_LT(clock.elapsed(), 30'000);
    }
    EXPECT_TRUE(Of(d).tickets().empty());
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("The build was stopped before a verified "
                                                         "wheel was found. There is nothing to "
                                                         "show.")});
    // With no time at all, the first wheel is cut short by the clock instead (nobody presses
    // Cancel now, however long a slow build takes to look at its clock).
    script.messages.clear();
    Set(d, pool, 4, 6, 0);
    Click("BuildButton", &d);
    EXPECT_TRUE(Of(d).tickets().empty());
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral(
                                  "The time ran out before a complete wheel 4 if 6 was found and "
                                  "checked. Give the build more time.")});
  });
}

}  // namespace
