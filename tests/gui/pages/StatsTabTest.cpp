#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTest>

#include "CliRun.h"
#include "GuiFixture.h"
#include "TwelveNumbers.h"

namespace {

class StatsTab : public TwelveNumbers {};

TEST_F(StatsTab, TheGridShowsEveryNumberAtStartUp) {
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 13);
  EXPECT_EQ(Row(1), (QStringList{QStringLiteral("     1"), QStringLiteral("2"), QStringLiteral("0"),
                                 QStringLiteral("100.00 %"), QStringLiteral("0")}));
  EXPECT_EQ(Row(2), (QStringList{QStringLiteral("     2"), QStringLiteral("1"), QStringLiteral("1"),
                                 QStringLiteral("50.00 %"), QStringLiteral("1")}));
  EXPECT_EQ(Row(12),
            (QStringList{QStringLiteral("     12"), QStringLiteral("0"), QStringLiteral("2"),
                         QStringLiteral("0.00 %"), QStringLiteral("2")}));
  EXPECT_EQ(Grid("SGStat")->model().header(3), QStringLiteral("       %"));
}

TEST_F(StatsTab, ButtonsAndPopupSortTheRows) {
  Click("BitBtn5");
  EXPECT_EQ(Numbers().join(u' '), QStringLiteral("12 2 3 4 5 6 1 7 8 9 10 11"));
  Trigger("N38");
  EXPECT_EQ(Numbers().join(u' '), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
  Trigger("N39");
  Click("BitBtn3");
  EXPECT_EQ(Numbers().join(u' '), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
  EXPECT_EQ(form->workspace().StatSortMode, 0);
}

TEST_F(StatsTab, ALoadRecomputesAndACancelledLoadEmptiesThem) {
  WriteFile(QStringLiteral("new.txt"), "1 - 12,2,3,4,5,6;\r\n");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  EXPECT_EQ(Row(12)[1], QStringLiteral("1"));
  EXPECT_EQ(Row(1)[1], QStringLiteral("0"));
  script.answerYes();
  script.cancelFile();
  Trigger("N10");
  EXPECT_EQ(Row(12),
            (QStringList{QStringLiteral("     12"), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0.00 %"), QStringLiteral("0")}));
}

TEST_F(StatsTab, TheCommandLineAgreesWithTheTab) {
  Click("BitBtn5");
  Click("BitBtn4");
  const CliRun cli =
      Cli({QStringLiteral("stats"), QStringLiteral("--results"),
           Path(QStringLiteral("Results.txt")), QStringLiteral("--max"), QStringLiteral("12"),
           QStringLiteral("--sort"), QStringLiteral("draws"), QStringLiteral("--sort"),
           QStringLiteral("frequency"), QStringLiteral("--json")});
  const QJsonArray rows =
      QJsonDocument::fromJson(cli.out).object()[QStringLiteral("rows")].toArray();
  ASSERT_EQ(rows.size(), 12);
  for (int r = 1; r <= 12; ++r) {
    const QJsonObject row = rows[r - 1].toObject();
    EXPECT_EQ(QStringLiteral("     ") + QString::number(row[QStringLiteral("number")].toInt()),
              Row(r)[0]);
    EXPECT_EQ(QString::number(row[QStringLiteral("hits")].toInt()), Row(r)[1]);
    EXPECT_EQ(QString::number(row[QStringLiteral("misses")].toInt()), Row(r)[2]);
    EXPECT_EQ(row[QStringLiteral("percent")].toString() + QStringLiteral(" %"), Row(r)[3]);
    EXPECT_EQ(QString::number(row[QStringLiteral("passed")].toInt()), Row(r)[4]);
  }
}

}  // namespace
