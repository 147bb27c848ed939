#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "GuiFixture.h"

namespace {

class StatsTab : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 1,7,8,9,10,11;\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
  }
  QStringList Row(int row) {
    QStringList cells;
    for (int c = 0; c < 5; ++c) cells << Grid("SGStat")->model().cellText(row, c);
    return cells;
  }
  QStringList Numbers() {
    QStringList numbers;
    for (int r = 1; r <= 12; ++r) numbers << Grid("SGStat")->model().cellText(r, 0).trimmed();
    return numbers;
  }
};

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
  QProcess cli;
  cli.start(QStringLiteral(TALLYRA_CLI),
            {QStringLiteral("stats"), QStringLiteral("--results"),
             Path(QStringLiteral("Results.txt")), QStringLiteral("--max"), QStringLiteral("12"),
             QStringLiteral("--sort"), QStringLiteral("draws"), QStringLiteral("--sort"),
             QStringLiteral("frequency"), QStringLiteral("--json")});
  ASSERT_TRUE(cli.waitForFinished(30000));
  const QJsonArray rows = QJsonDocument::fromJson(cli.readAllStandardOutput())
                              .object()[QStringLiteral("rows")]
                              .toArray();
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

class Options : public StatsTab {
 protected:
  QDialog* Dialog() const { return FindDialog(QStringLiteral("Option")); }
  QLineEdit* BallsBox() const { return Find<QLineEdit>(QStringLiteral("Edit1"), Dialog()); }
  QLineEdit* HighestBox() const { return Find<QLineEdit>(QStringLiteral("Edit2"), Dialog()); }
  QPushButton* ChangeButton() const {
    return Find<QPushButton>(QStringLiteral("BitBtn1"), Dialog());
  }
};

TEST_F(Options, ChangeTypeSaveWritesTheNewM) {
  bool editingShown = false;
  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(BallsBox()->text(), QStringLiteral("6"));
    EXPECT_EQ(HighestBox()->text(), QStringLiteral("12"));
    EXPECT_FALSE(HighestBox()->isEnabled());
    EXPECT_EQ(ChangeButton()->text(), QStringLiteral("Change"));
    ChangeButton()->click();
    EXPECT_TRUE(HighestBox()->isEnabled());
    editingShown = ChangeButton()->text() == QStringLiteral("Save");
    HighestBox()->setText(QStringLiteral("45"));
    ChangeButton()->click();
    EXPECT_FALSE(dialog.isVisible());
  });
  Trigger("Y1");
  EXPECT_TRUE(editingShown);
  EXPECT_EQ(form->workspace().HighestNumber, 45);
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("45\r\n1\r\n"));
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 13)
      << "the grid keeps its rows until the statistics are computed again";
  EXPECT_EQ(ChangeButton()->text(), QStringLiteral("Change"));
}

TEST_F(Options, OutOfRangeOrEmptyKeepsMAndStillWrites) {
  for (const char* typed : {"150", "", "1", "7"}) {
    script.inNextDialog([&](QDialog&) {
      ChangeButton()->click();
      HighestBox()->setText(QString::fromLatin1(typed));
      QTest::keyClick(HighestBox(), Qt::Key_Return);
    });
    Trigger("Y1");
  }
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(form->workspace().HighestNumber, 7);
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("07\r\n1\r\n"));
}

TEST_F(Options, LettersAreRefusedAndTheDialogStaysEditing) {
  script.inNextDialog([&](QDialog& dialog) {
    ChangeButton()->click();
    HighestBox()->setText(QStringLiteral("abc"));
    QTest::keyClick(HighestBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(HighestBox()->isEnabled());
    EXPECT_EQ(ChangeButton()->text(), QStringLiteral("Save"));
  });
  QFile::remove(Path(QStringLiteral("ini.tly")));
  Trigger("Y1");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Inserted value is incorrect."));
  EXPECT_EQ(form->workspace().HighestNumber, 12);
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("ini.tly"))))
      << "closing without a save writes nothing";
  EXPECT_FALSE(HighestBox()->isEnabled());
  EXPECT_EQ(ChangeButton()->text(), QStringLiteral("Change"));
}

TEST_F(Options, ANewMShowsAtTheNextComputationWithEveryNumber) {
  auto setM = [&](const char* typed) {
    script.inNextDialog([&](QDialog&) {
      ChangeButton()->click();
      HighestBox()->setText(QString::fromLatin1(typed));
      ChangeButton()->click();
    });
    Trigger("Y1");
  };
  Click("BitBtn4");
  const QStringList byFrequency = Numbers();
  setM("5");
  EXPECT_EQ(Numbers(), byFrequency) << "nothing changes before the next computation";
  Click("BitBtn3");
  EXPECT_EQ(Numbers().join(u' '), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
  Click("BitBtn5");
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 13);
  // The next load computes for M = 5.
  WriteFile(QStringLiteral("new.txt"), "1 - 1,2,3,4,5,6;\r\n");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  ASSERT_EQ(Grid("SGStat")->model().gridRowCount(), 6);
  for (int r = 1; r <= 5; ++r)
    EXPECT_EQ(Grid("SGStat")->model().cellText(r, 0).trimmed(), QString::number(r));
  // A larger M grows the grid at the computation after it.
  setM("20");
  Click("BitBtn4");
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 6);
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  ASSERT_EQ(Grid("SGStat")->model().gridRowCount(), 21);
  EXPECT_EQ(Grid("SGStat")->model().cellText(20, 0).trimmed(), QStringLiteral("20"));
  EXPECT_EQ(Grid("SGStat")->model().cellText(20, 2), QStringLiteral("1"));
}

using Help = StatsTab;

TEST_F(Help, LinksAndHelpGoToTheDesktop) {
  using Call = platform::ShellCall;
  QTest::mouseClick(ClickLabel("Image2"), Qt::LeftButton);
  Trigger("Rus");
  QTest::mouseClick(ClickLabel("Image1"), Qt::LeftButton);
  Trigger("N4");
  QString title, company;
  script.inNextDialog([&](QDialog& dialog) {
    title = dialog.windowTitle();
    auto* mail = Find<QLabel>(QStringLiteral("Label2"), &dialog);
    company = mail->text();
    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>(QStringLiteral("Label5"), &dialog), Qt::LeftButton);
  });
  Trigger("N11");
  EXPECT_EQ(title, QStringLiteral("О программе Tallyra"));
  EXPECT_EQ(company, QStringLiteral("Компания Orvane"));
  EXPECT_EQ(
      script.opened,
      (std::vector<Call>{
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/eng/index.php"), 1},
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/rus/index.php"), 1},
          {QString(), QStringLiteral("help.chm"), 9},
          {QStringLiteral("open"),
           QStringLiteral("mailto:authors@tallyra.example?subject=About_program"), 1},
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/"), 1}}));
}

TEST_F(Help, TheAboutBoxFollowsTheLanguageAndItsLinksTheMouse) {
  QStringList texts;
  script.inNextDialog([&](QDialog& dialog) {
    auto label = [&](const char* name) { return Find<QLabel>(QString::fromLatin1(name), &dialog); };
    QLabel* site = label("Label5");
    texts << dialog.windowTitle() << label("Label1")->text() << label("Label6")->text()
          << label("Label7")->text() << site->toolTip();
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(site, &enter);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QApplication::sendEvent(site, &leave);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  });
  Trigger("N11");
  EXPECT_EQ(texts, (QStringList{QStringLiteral("About program Tallyra"),
                                QStringLiteral("Idea, authorship, programming"),
                                QStringLiteral("Version:"), QStringLiteral("1.0"),
                                QStringLiteral("Visit site of program")}));
}

}  // namespace
