#include <QFontInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "FolderListing.h"
#include "GuiFixture.h"
#include "model/Settings.h"

namespace {

QByteArray Draws(int n) {
  QByteArray text;
  for (int i = 1; i <= n; ++i) {
    text += QByteArray::number(i) + " - " + QByteArray::number(i % 49 + 1) + ",2,3,4,5,6;\r\n";
  }
  return text;
}

using Startup = GuiTest;

TEST_F(Startup, NeitherSettingsNorResults) {
  MainWindow& f = Start();
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Отсутствует файл настроек"));
  EXPECT_EQ(script.messages[1].text, QStringLiteral("Results load is failed!"));
  EXPECT_EQ(f.workspace().HighestNumber, 49);
  EXPECT_EQ(f.workspace().Language, 1);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Work with the results of lotteries"));
  for (int panel : {1, 3, 5}) EXPECT_EQ(StatusPanel(panel)->text(), QStringLiteral("0"));
  EXPECT_EQ(Grid("SGStav")->model().gridRowCount(), 2);
  EXPECT_EQ(Grid("SGRes")->model().gridRowCount(), 2);
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 0), QString());
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 50);
  EXPECT_TRUE(Action("Eng")->isChecked());
  EXPECT_FALSE(Action("Rus")->isChecked());
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("ini.tly")))) << "a missing file is not created";
}

TEST_F(Startup, NoResultsFileShowsOneMessageAndEmptyGrids) {
  WriteFile(QStringLiteral("ini.tly"), "36\r\n0\r\n");
  MainWindow& f = Start();
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Не удалось загрузить результаты тиражей!"));
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 37);
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Работа с результатами лотерей"));
  EXPECT_TRUE(Action("Rus")->isChecked());
  EXPECT_FALSE(ClickLabel("Image2")->isVisibleTo(&f));
}

TEST_F(Startup, BothFilesPresentInEnglish) {
  WriteFile(QStringLiteral("ini.tly"), "45\r\n1\r\n");
  WriteFile(QStringLiteral("Results.txt"), "1 - 5,12,17,23,38,41;\r\n2 - 1,2,3,4,5,6;\r\n");
  MainWindow& f = Start();
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(f.workspace().ResultCount, 2);
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("2"));
  auto& res = Grid("SGRes")->model();
  EXPECT_EQ(res.gridRowCount(), 3);
  QStringList row1, row2;
  for (int c = 0; c <= 6; ++c) {
    row1 << res.cellText(1, c);
    row2 << res.cellText(2, c);
  }
  EXPECT_EQ(row1.join(u'|'), QStringLiteral("1|5|12|17|23|38|41"));
  EXPECT_EQ(row2.join(u'|'), QStringLiteral("2|1|2|3|4|5|6"));
  EXPECT_EQ(res.cellText(0, 0), QStringLiteral("  Draw"));
  EXPECT_EQ(res.cellText(0, 3), QStringLiteral("     3"));
  EXPECT_TRUE(ClickLabel("Image2")->isVisibleTo(&f));
  EXPECT_TRUE(Action("Eng")->isChecked());
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 46);
}

TEST_F(Startup, BadSettingsAndABadResultsFileStillOpenTheWindow) {
  WriteFile(QStringLiteral("ini.tly"), "4x\r\n1\r\n");
  WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 1,2,zz,4,5,6;\r\n");
  MainWindow& f = Start();
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Error of options file loading"));
  EXPECT_EQ(script.messages[1].text, QStringLiteral("'zz' is not a valid integer value"));
  EXPECT_EQ(f.workspace().ResultCount, 0);
  // The rest of the first showing still ran.
  EXPECT_EQ(Grid("SGStat")->model().gridRowCount(), 50);
  EXPECT_TRUE(Action("Eng")->isChecked());
}

TEST_F(Startup, ALongHistoryKeepsTheLatestDrawsAndSaysSo) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
  WriteFile(QStringLiteral("Results.txt"), Draws(1510));
  MainWindow& f = Start();
  EXPECT_EQ(f.workspace().ResultCount, 1499);
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("1499"));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("The file holds 1510 draws; the latest 1499 were loaded and the 11 "
                           "earlier ones were left out."));
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 0), QStringLiteral("1"));
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 1), QString::number(12 % 49 + 1));
}

TEST_F(Startup, LayoutHasTheNamedControlsAtTheirPlaces) {
  MainWindow& f = Start();
  EXPECT_EQ(f.centralWidget()->width(), 737);
  EXPECT_EQ(f.centralWidget()->height() + f.statusBar()->height(), 449);
  EXPECT_EQ(Tabs()->count(), 5);
  EXPECT_EQ(Grid("SGStav")->geometry(), QRect(48, 8, 617, 297));
  EXPECT_EQ(Grid("SGStav")->model().columnCount(), 11);
  EXPECT_EQ(Grid("SGSys")->model().columnCount(), 17);
  EXPECT_EQ(Grid("SGRes")->model().columnCount(), 7);
  EXPECT_EQ(Grid("SGStat")->model().columnCount(), 5);
  // The layout's widths in proportion; they fill the grid once its tab is shown.
  Tabs()->setCurrentWidget(Tab("TS2"));
  EXPECT_LT(Grid("SGSys")->columnWidth(12), Grid("SGSys")->columnWidth(11));
  EXPECT_LT(Grid("SGSys")->columnWidth(12), Grid("SGSys")->columnWidth(16));
  EXPECT_EQ(Button("BitTestStav")->geometry(), QRect(368, 312, 145, 41));
  EXPECT_EQ(CheckLabel(7)->geometry(), QRect(464, 8, 33, 25));
  EXPECT_EQ(CheckLabel(12)->geometry(), QRect(664, 8, 33, 25));
  EXPECT_NE(StatusPanel(6), nullptr);
  EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("SBarPanel7")), nullptr);
  for (const char* name : {"BitEnter", "BitDel", "BitTest", "BitEnterSys", "BitDelSys",
                           "BitTestSys", "BitRes", "BitSys", "BitAll", "BitComb", "BitCleanComb",
                           "BitFromComb", "BitBtn3", "BitBtn4", "BitBtn5"}) {
    EXPECT_NE(f.findChild<QPushButton*>(QString::fromLatin1(name)), nullptr) << name;
  }
  for (const char* name :
       {"N6",  "N7",  "N9",  "N22", "N31", "N32", "N34", "N35", "N10", "N42", "N23",
        "N24", "N25", "N14", "N16", "Eng", "Rus", "Y1",  "N4",  "N11", "N5",  "N17",
        "N18", "N19", "N21", "N26", "N27", "N28", "N30", "N37", "N38", "N39"}) {
    EXPECT_NE(f.findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
  }
  EXPECT_EQ(QFontInfo(Button("BitEnter")->font()).family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(QFontInfo(Button("BitEnter")->font()).pixelSize(), 14);
}

TEST_F(Startup, TabImagesMarkTheShownTab) {
  Start();
  const qint64 shown = Tabs()->tabIcon(0).cacheKey();
  const qint64 other = Tabs()->tabIcon(1).cacheKey();
  EXPECT_NE(shown, other);
  EXPECT_FALSE(Tabs()->tabIcon(0).isNull());
  Tabs()->setCurrentIndex(2);  // as the user clicking TS3
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Tabs()->tabIcon(i).cacheKey(), i == 2 ? shown : other) << i;
  }
}

TEST_F(Startup, ClosingWithEmptyListsAsksNothing) {
  MainWindow& f = Start();
  script.messages.clear();
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(script.messages.empty());
}

TEST_F(Startup, ClosingAsksOnlyAboutTheListsThatHoldSomething) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
  WriteFile(QStringLiteral("Results.txt"), Draws(3));
  MainWindow& f = Start();
  FillSystem({{1, 2, 3, 4, 5, 6, 7}});
  EXPECT_TRUE(f.close());
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Save system stakes before exit?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Exit"));
}

TEST_F(Startup, AnsweringNoTwiceClosesWithoutWritingAnything) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n0\r\n");
  WriteFile(QStringLiteral("Results.txt"), Draws(3));
  MainWindow& f = Start();
  FillStakes({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  FillSystem({{1, 2, 3, 4, 5, 6, 7}});
  script.answerNo();
  script.answerNo();
  const QStringList before = QDir(Path(QString())).entryList(QDir::Files);
  EXPECT_TRUE(f.close());
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("Сохранить ставки перед выходом из программы?"));
  EXPECT_EQ(script.messages[1].text,
            QStringLiteral("Сохранить системные ставки перед выходом из программы?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Выход из программы"));
  EXPECT_EQ(QDir(Path(QString())).entryList(QDir::Files), before);
}

TEST_F(Startup, AYesWhoseSaveDoesNotGoThroughKeepsTheProgramOpen) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
  MainWindow& f = Start();
  FillStakes({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  script.answerYes();
  script.cancelFile();
  EXPECT_FALSE(f.close());
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.workspace().StakeCount, 2);
}

// The window goes by the data folder it is given, wherever it was started: files of the same
// names in the working folder are neither read nor written, and nothing lands there.
TEST_F(Startup, TheDataFolderIsTheWindowsOwnWhateverTheWorkingFolder) {
  QTemporaryDir working;
  ASSERT_TRUE(working.isValid());
  const std::string workingFolder = platform::ToLocalPath(working.path());
  for (const auto& [name, bytes] :
       {std::pair{"ini.tly", QByteArray("36\r\n0\r\n")}, std::pair{"Results.txt", Draws(1)}}) {
    QFile file(working.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  const std::vector<std::string> before = ::test::FolderListing(workingFolder);
  struct Within {
    QString previous = QDir::currentPath();
    ~Within() { QDir::setCurrent(previous); }
  } within;
  ASSERT_TRUE(QDir::setCurrent(working.path()));

  WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
  WriteFile(QStringLiteral("Results.txt"), Draws(3));
  WriteFile(QStringLiteral("Stavka.txt"), "1 - 1,2,3,4,5,6;\r\n");
  MainWindow& f = Start();
  EXPECT_TRUE(script.messages.empty()) << MessageTexts().join(u'|').toStdString();
  EXPECT_EQ(f.workspace().HighestNumber, 49);
  EXPECT_EQ(f.workspace().ResultCount, 3);

  // A load's dialog starts in the data folder, which keeps the folder used last.
  script.chooseFile(Path(QStringLiteral("Stavka.txt")));
  Trigger("N6");
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].folder, Path(QString()));
  EXPECT_EQ(f.workspace().StakeCount, 1);
  EXPECT_TRUE(ReadFile(QStringLiteral("preferences.ini")).contains("lastFolder"));
  // The language chosen is written to the data folder's settings.
  Trigger("Rus");
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")),
            QByteArray::fromStdString(
                tallyra::FormatSettings(49, tallyra::ToValue(tallyra::Language::Russian))));
  form.reset();

  EXPECT_EQ(::test::FolderListing(workingFolder), before);
  QFile settings(working.filePath(QStringLiteral("ini.tly")));
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_EQ(settings.readAll(), QByteArray("36\r\n0\r\n"));
}

}  // namespace
