#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineSeries>
#include <QSpinBox>
#include <QTableView>
#include <QValueAxis>

#include "CliRun.h"
#include "GuiFixture.h"
#include "dialogs/WinningsDialog.h"
#include "winnings/Winnings.h"

namespace {

// Three draws of 6 out of 12, two stakes and a system stake of eight numbers, and a prize
// table; the figures below are worked out by hand from them.
class WinningsReportTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,7,8,9;\r\n3 - 1,2,3,4,10,11;\r\n");
    WriteFile(QStringLiteral("Stakes.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n");
    WriteFile(QStringLiteral("System.txt"), "1 - 1,2,3,4,5,6,7,8;\r\n");
    WriteFile(QStringLiteral("prizes.tly"),
              "price; 2.00\r\n3; 1.50\r\n4; 20.00\r\n5; 800.00\r\n6; 100000.00\r\n"
              "currency; EUR\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
    FillStakes({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    FillSystem({{1, 2, 3, 4, 5, 6, 7, 8}});
  }

  WinningsDialog* Open() {
    Trigger("WinningsItem");
    return form->findChild<WinningsDialog*>(QStringLiteral("WinningsDialog"));
  }
  QTableView* View(WinningsDialog* d) { return Find<QTableView>("WinningsTable", d); }
  QString Shown(WinningsDialog* d, int row, int column) {
    QAbstractItemModel* m = View(d)->model();
    return m->data(m->index(row, column)).toString();
  }
  QLineSeries* Balance(WinningsDialog* d) {
    return qobject_cast<QLineSeries*>(
        Find<QChartView>("BalanceChart", d)->chart()->series().value(0));
  }
  QJsonObject CliJson(const QStringList& choice) {
    const CliRun run =
        Cli(QStringList{QStringLiteral("winnings"), QStringLiteral("--stakes"),
                        Path(QStringLiteral("Stakes.txt")), QStringLiteral("--system"),
                        Path(QStringLiteral("System.txt")), QStringLiteral("--results"),
                        Path(QStringLiteral("Results.txt")), QStringLiteral("--prizes"),
                        Path(QStringLiteral("prizes.tly")), QStringLiteral("--json")} +
            choice);
    return QJsonDocument::fromJson(run.out).object();
  }
  static QString Money(tallyra::Money value) {
    return QString::fromStdString(tallyra::FormatAmount(value));
  }
};

// The window's lists never hold more draws than the history can; a longer history given another
// way is refused in the user's language, and no report is shown.
TEST_F(WinningsReportTest, MoreDrawsThanTheHistoryHoldsAreToldInTheUsersLanguage) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  tallyra::WinningsInput input{tallyra::SnapshotStakes(form->workspace()),
                               tallyra::SnapshotSystem(form->workspace()),
                               tallyra::SnapshotDraws(form->workspace())};
  input.draws.count = tallyra::kResultCapacity + 1;
  input.draws.cells.assign(
      static_cast<std::size_t>(input.draws.count) * static_cast<std::size_t>(input.draws.width), 1);
  d->setInputs(std::move(input), tallyra::Prizes{});
  d->setLanguage(0);
  d->setChoice({tallyra::DrawChoice::Kind::All, 0});
  script.messages.clear();
  EXPECT_FALSE(d->compute());
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("Тиражей (1500) больше")))
      << script.messages[0].text.toStdString();
  EXPECT_EQ(View(d)->model()->rowCount(), 0);
}

TEST_F(WinningsReportTest, TotalsEqualTheCoreAndTheCommandLine) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->isVisible());
  struct Case {
    tallyra::DrawChoice choice;
    QStringList cli;
  };
  const Case cases[] = {
      {{tallyra::DrawChoice::Kind::Latest, 0}, {}},
      {{tallyra::DrawChoice::Kind::One, 2}, {QStringLiteral("--draw"), QStringLiteral("2")}},
      {{tallyra::DrawChoice::Kind::All, 0}, {QStringLiteral("--all")}}};
  for (const Case& c : cases) {
    d->setChoice(c.choice);
    ASSERT_TRUE(d->compute());
    const tallyra::WinningsReport& shown = d->report();
    tallyra::WinningsInput input{tallyra::SnapshotStakes(form->workspace()),
                                 tallyra::SnapshotSystem(form->workspace()),
                                 tallyra::SnapshotDraws(form->workspace())};
    tallyra::Prizes prizes;
    ASSERT_FALSE(tallyra::LoadPrizes(Files().path(tallyra::kPrizeTableFileName), prizes));
    const tallyra::WinningsOutcome core = tallyra::ComputeWinnings(input, prizes, c.choice);
    ASSERT_FALSE(core.problem);
    EXPECT_EQ(shown.tickets, core.report.tickets);
    EXPECT_EQ(shown.winnings, core.report.winnings);
    EXPECT_EQ(shown.cost, core.report.cost);

    const QJsonObject cli = CliJson(c.cli);
    EXPECT_EQ(cli.value(QStringLiteral("draws")).toInt(), shown.drawCount());
    EXPECT_EQ(cli.value(QStringLiteral("winnings")).toString(), Money(shown.winnings));
    EXPECT_EQ(cli.value(QStringLiteral("cost")).toString(), Money(shown.cost));
    EXPECT_EQ(cli.value(QStringLiteral("balance")).toString(), Money(shown.balance));
    const QJsonObject tickets = cli.value(QStringLiteral("tickets")).toObject();
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(tickets.value(QString::number(j + 3)).toInteger(),
                shown.tickets[static_cast<std::size_t>(j)]);
    }
    const QJsonArray rows = cli.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), View(d)->model()->rowCount());
    for (int r = 0; r < rows.size(); ++r) {
      EXPECT_EQ(rows[r].toObject().value(QStringLiteral("winnings")).toString(),
                Shown(d, r, WinningsModel::Winnings))
          << r;
    }
    // The totals below the table say the same.
    const QString totals = Find<QLabel>("TotalsLabel", d)->text();
    EXPECT_TRUE(totals.contains(Money(shown.winnings) + QStringLiteral(" EUR")))
        << totals.toStdString();
    EXPECT_TRUE(totals.contains(Money(shown.cost) + QStringLiteral(" EUR")));
  }
  // Every draw: 209 840.00, 2 658.00 and 104.00 draw by draw.
  EXPECT_EQ(d->report().balance, 21260200);
}

TEST_F(WinningsReportTest, TheLatestDrawRowByRowAndItsCsvBytes) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  const QByteArray expected =
      "list;row;numbers;3;4;5;6;winnings;cost;balance\r\n"
      "stakes;1;6;0;1;0;0;20.00;2.00;18.00\r\n"
      "stakes;2;6;0;0;0;0;0.00;2.00;-2.00\r\n"
      "system;1;8;16;6;0;0;144.00;56.00;88.00\r\n"
      "total;;;16;7;0;0;164.00;60.00;104.00\r\n";
  EXPECT_EQ(d->csv(), expected);
  // The file written through the save dialog holds exactly these bytes.
  script.chooseFile(Path(QStringLiteral("report.csv")));
  Click("ExportButton", d);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].kind, platform::FileDialogRequest::Kind::Save);
  EXPECT_EQ(ReadFile(QStringLiteral("report.csv")), expected);
  // A cancelled save dialog writes nothing.
  script.cancelFile();
  Click("ExportButton", d);
  EXPECT_TRUE(script.messages.empty());
}

TEST_F(WinningsReportTest, RowsWithAPrizeAreMarked) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  QAbstractItemModel* m = View(d)->model();
  for (int column = 0; column < WinningsModel::Columns; ++column) {
    // Stake 1 and the system stake won; stake 2 did not.
    EXPECT_TRUE(m->data(m->index(0, column), Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(m->data(m->index(2, column), Qt::BackgroundRole).value<QBrush>().style() !=
                Qt::NoBrush);
    EXPECT_FALSE(m->data(m->index(1, column), Qt::FontRole).isValid());
    EXPECT_FALSE(m->data(m->index(1, column), Qt::BackgroundRole).isValid());
  }
}

TEST_F(WinningsReportTest, EveryColumnSortsAsNumbersAndTheCsvFollows) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  d->setChoice({tallyra::DrawChoice::Kind::All, 0});
  ASSERT_TRUE(d->compute());
  // Winnings over every draw: stake 1 100 021.50, stake 2 1.50, the system 112 759.00. As
  // text "1.50" would come after "100021.50"; as numbers it comes first.
  QTableView* view = View(d);
  view->sortByColumn(WinningsModel::Winnings, Qt::AscendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::Winnings), QStringLiteral("1.50"));
  EXPECT_EQ(Shown(d, 1, WinningsModel::Winnings), QStringLiteral("100021.50"));
  EXPECT_EQ(Shown(d, 2, WinningsModel::Winnings), QStringLiteral("112759.00"));
  view->sortByColumn(WinningsModel::Balance, Qt::DescendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::List), QStringLiteral("system"));
  EXPECT_TRUE(
      d->csv().startsWith("list;row;numbers;3;4;5;6;winnings;cost;balance\r\n"
                          "system;1;8;"));
  view->sortByColumn(WinningsModel::Numbers, Qt::DescendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::Numbers), QStringLiteral("8"));
  view->sortByColumn(WinningsModel::Tier3, Qt::DescendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::Tier3), QStringLiteral("26"));
  view->sortByColumn(WinningsModel::Row, Qt::DescendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::Row), QStringLiteral("2"));
  view->sortByColumn(WinningsModel::List, Qt::AscendingOrder);
  EXPECT_EQ(Shown(d, 0, WinningsModel::List), QStringLiteral("stakes"));
  EXPECT_EQ(Shown(d, 2, WinningsModel::List), QStringLiteral("system"));
}

TEST_F(WinningsReportTest, TheChartHoldsTheCumulativeBalanceDrawByDraw) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  ASSERT_NE(Balance(d), nullptr);
  auto* chart = Find<QChartView>("BalanceChart", d);
  EXPECT_EQ(Balance(d)->points(), (QList<QPointF>{{3, 104.0}}));
  // One draw draws no line: the chart is not shown, and the totals name the draw.
  EXPECT_FALSE(chart->isVisible());
  EXPECT_TRUE(Find<QLabel>("TotalsLabel", d)->text().startsWith(QStringLiteral("Draw 3. ")))
      << Find<QLabel>("TotalsLabel", d)->text().toStdString();
  d->setChoice({tallyra::DrawChoice::Kind::All, 0});
  ASSERT_TRUE(d->compute());
  EXPECT_TRUE(chart->isVisible());
  EXPECT_TRUE(Find<QLabel>("TotalsLabel", d)
                  ->text()
                  .startsWith(QStringLiteral("Draws 1–3 (3 draws). Tickets with 3, 4, 5, 6")))
      << Find<QLabel>("TotalsLabel", d)->text().toStdString();
  // The draws are marked on whole, round draw numbers.
  auto* drawAxis = qobject_cast<QValueAxis*>(chart->chart()->axes(Qt::Horizontal).value(0));
  ASSERT_NE(drawAxis, nullptr);
  EXPECT_EQ(drawAxis->tickAnchor(), 0.0);
  EXPECT_EQ(drawAxis->tickInterval(), 1.0);
  EXPECT_EQ(Balance(d)->points(), (QList<QPointF>{{1, 209840.0}, {2, 212498.0}, {3, 212602.0}}));
  EXPECT_EQ(d->report().bestDraw, 1);
  EXPECT_EQ(d->report().worstDraw, 3);
  EXPECT_EQ(
      Find<QLabel>("BestWorstLabel", d)->text(),
      QStringLiteral("Best draw: 1 (balance 209840.00 EUR). Worst draw: 3 (balance 104.00 EUR)."));
}

TEST_F(WinningsReportTest, TheReportFollowsTheInterfaceLanguage) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  QHeaderView* header = View(d)->horizontalHeader();
  auto headerText = [&](int column) {
    return View(d)->model()->headerData(column, Qt::Horizontal).toString();
  };
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(headerText(WinningsModel::Winnings), QStringLiteral("Winnings"));
  EXPECT_EQ(d->windowTitle(), QStringLiteral("Winnings"));
  Trigger("Rus");
  EXPECT_EQ(headerText(WinningsModel::List), QStringLiteral("Список"));
  EXPECT_EQ(headerText(WinningsModel::Winnings), QStringLiteral("Выигрыш"));
  EXPECT_EQ(headerText(WinningsModel::Balance), QStringLiteral("Баланс"));
  EXPECT_EQ(Shown(d, 2, WinningsModel::List), QStringLiteral("система"));
  EXPECT_EQ(d->windowTitle(), QStringLiteral("Выигрыши ставок"));
  // The latest draw is draw 3, not three draws.
  EXPECT_TRUE(Find<QLabel>("TotalsLabel", d)->text().startsWith(QStringLiteral("Тираж 3. ")))
      << Find<QLabel>("TotalsLabel", d)->text().toStdString();
  d->setChoice({tallyra::DrawChoice::Kind::All, 0});
  ASSERT_TRUE(d->compute());
  EXPECT_TRUE(Find<QLabel>("TotalsLabel", d)
                  ->text()
                  .startsWith(QStringLiteral("Тиражи 1–3 (3 тиража). Билетов с 3, 4, 5, 6")))
      << Find<QLabel>("TotalsLabel", d)->text().toStdString();
  EXPECT_EQ(Action("WinningsItem")->text(), QStringLiteral("Выигрыши ставок..."));
  EXPECT_EQ(Action("PrizesItem")->text(), QStringLiteral("Выигрыши..."));
  Trigger("Eng");
  EXPECT_EQ(headerText(WinningsModel::List), QStringLiteral("List"));
}

TEST_F(WinningsReportTest, PerDrawPrizesReplaceTheTableAndABadFileKeepsThem) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  WriteFile(QStringLiteral("draws.txt"), "3; 2.00; 30.00; 900.00; 500000.00\r\n");
  script.chooseFile(Path(QStringLiteral("draws.txt")));
  Click("DrawPrizesButton", d);
  // The latest draw is draw 3: stake 1 has one ticket of four, the system 16 of three and six
  // of four: 30 + 32 + 180.
  EXPECT_EQ(d->report().winnings, 24200);
  WriteFile(QStringLiteral("bad.txt"), "3; 2.00; 30.00; 900.00; 500000.00\r\n2; 1; -5; 3; 4\r\n");
  script.chooseFile(Path(QStringLiteral("bad.txt")));
  Click("DrawPrizesButton", d);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("Line 2 of the prize file:")))
      << script.messages[0].text.toStdString();
  EXPECT_TRUE(script.messages[0].text.contains(QStringLiteral("-5")));
  EXPECT_TRUE(
      script.messages[0].text.endsWith(QStringLiteral("The previous prize table is kept.")));
  ASSERT_TRUE(d->compute());
  EXPECT_EQ(d->report().winnings, 24200);
}

TEST_F(WinningsReportTest, BalancesNearAHundredBillionAreShownInBillions) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  // Draw 1 matches the first stake whole.
  WriteFile(QStringLiteral("draws.txt"), "1; 0; 0; 0; 90000000000.00\r\n");
  d->setChoice({tallyra::DrawChoice::Kind::All, 0});
  script.chooseFile(Path(QStringLiteral("draws.txt")));
  Click("DrawPrizesButton", d);
  ASSERT_TRUE(script.messages.empty()) << MessageTexts().join(QLatin1Char('|')).toStdString();
  ASSERT_GT(d->report().balance, 8'900'000'000'000);
  auto* chart = Find<QChartView>("BalanceChart", d);
  auto* balanceAxis = qobject_cast<QValueAxis*>(chart->chart()->axes(Qt::Vertical).value(0));
  ASSERT_NE(balanceAxis, nullptr);
  // Short labels: the axis counts in billions and says so.
  EXPECT_EQ(balanceAxis->titleText(), QStringLiteral("Balance, billions"));
  EXPECT_LT(balanceAxis->max(), 1000.0);
  EXPECT_GT(balanceAxis->max(), 89.0);
  EXPECT_NEAR(Balance(d)->points().back().y(), static_cast<double>(d->report().balance) / 1e11,
              1e-6);
  Trigger("Rus");
  EXPECT_EQ(balanceAxis->titleText(), QStringLiteral("Баланс, млрд"));
}

TEST_F(WinningsReportTest, NoSuchDrawAndNoStakesAreTold) {
  WinningsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  FillStakes({});
  FillSystem({});
  Trigger("WinningsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("There are no stakes and no system stakes."));
  EXPECT_EQ(View(d)->model()->rowCount(), 0);
  EXPECT_EQ(d->csv(), QByteArray("list;row;numbers;3;4;5;6;winnings;cost;balance\r\n"));
}

}  // namespace
