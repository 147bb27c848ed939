#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "GuiFixture.h"
#include "lists/PipeGuard.h"

namespace {

class Stakes : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  tallyra::Workspace& ws() { return form->workspace(); }
  // Stake i holds i1 to i6: 11..16, 21..26 and so on.
  void HoldStakes(int n) {
    tallyra::test::Rows rows;
    for (int i = 1; i <= n; ++i)
      rows.push_back({i * 10 + 1, i * 10 + 2, i * 10 + 3, i * 10 + 4, i * 10 + 5, i * 10 + 6});
    FillStakes(rows);
  }
  QString StavCell(int row, int col) { return Grid("SGStav")->model().cellText(row, col); }
};

TEST_F(Stakes, DeletingARowMovesTheCountCellsWithTheStakes) {
  HoldStakes(5);
  auto& grid = Grid("SGStav")->model();
  for (int r = 1; r <= 5; ++r) grid.setCount(r, 7, r);  // as a collation would leave them
  Grid("SGStav")->setRow(2);
  script.answerYes();
  Click("BitDel");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Delete the choosing stake?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Deletion of current stake"));
  EXPECT_EQ(ws().StakeCount, 4);
  EXPECT_EQ(grid.gridRowCount(), 5);
  EXPECT_EQ(StavCell(2, 0), QStringLiteral("2"));
  EXPECT_EQ(StavCell(2, 1), QStringLiteral("31"));
  EXPECT_EQ(StavCell(2, 7), QStringLiteral("3"));
  EXPECT_EQ(StavCell(4, 7), QStringLiteral("5"));
  EXPECT_EQ(ws().StakeTable.cell[1][5], 0);
  EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("4"));
  EXPECT_EQ(Grid("SGStav")->row(), 2) << "the selection stays on the same row number";

  Grid("SGStav")->setRow(4);
  script.answerYes();
  QTest::keyClick(Grid("SGStav"), Qt::Key_Delete);
  EXPECT_EQ(ws().StakeCount, 3);
  EXPECT_EQ(Grid("SGStav")->row(), 3) << "else on the last row";
}

TEST_F(Stakes, DeclinedDeletionsChangeNothing) {
  HoldStakes(3);
  Click("BitDel");
  Trigger("N22");
  EXPECT_EQ(ws().StakeCount, 3);
  EXPECT_EQ(MessageTexts(), (QStringList{QStringLiteral("Delete the choosing stake?"),
                                         QStringLiteral("Delete all stakes?")}));
}

TEST_F(Stakes, DeletingTheOnlyStakeLeavesOneBlankRow) {
  HoldStakes(1);
  Grid("SGStav")->model().setCount(1, 8, 2);
  script.answerYes();
  Trigger("N18");
  EXPECT_EQ(ws().StakeCount, 0);
  EXPECT_EQ(Grid("SGStav")->model().gridRowCount(), 2);
  for (int c = 0; c <= 10; ++c) EXPECT_EQ(StavCell(1, c), QString()) << c;
  EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("0"));
}

TEST_F(Stakes, EmptyListsAskNothing) {
  Click("BitDel");
  Trigger("N22");
  Click("BitDelSys");
  Trigger("N35");
  QTest::keyClick(Grid("SGStav"), Qt::Key_Return);
  QTest::keyClick(Grid("SGSys"), Qt::Key_Delete);
  QTest::keyClick(Grid("SGSys"), Qt::Key_Return);
  Trigger("N19");
  Trigger("N28");
  EXPECT_TRUE(script.messages.empty());
  EXPECT_TRUE(script.shownDialogs.empty());
}

TEST_F(Stakes, DeleteAllEmptiesTheListAndTheResultPanel) {
  HoldStakes(4);
  Grid("SGStav")->model().setCount(2, 9, 1);
  Label("LR3")->setText(QStringLiteral("12"));
  Label("LR3")->setEnabled(true);
  ClickLabel("Lab3")->setText(QStringLiteral("1=2 , "));
  script.answerYes();
  Trigger("N22");
  EXPECT_EQ(ws().StakeCount, 0);
  EXPECT_EQ(ws().StakeTable.cell[1][4], 0);
  EXPECT_EQ(Grid("SGStav")->model().gridRowCount(), 2);
  EXPECT_EQ(StavCell(1, 1), QString());
  EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("0"));
  EXPECT_EQ(Label("LR3")->text(), QString());
  EXPECT_FALSE(Label("LR3")->isEnabled());
  EXPECT_EQ(ClickLabel("Lab3")->text(), QString());
  // A row that comes back starts with empty count cells.
  HoldStakes(2);
  EXPECT_EQ(StavCell(2, 9), QString());
}

TEST_F(Stakes, LineUpSortsEveryStake) {
  FillStakes({{12, 5, 33, 1, 48, 7}});
  Trigger("N21");
  QStringList row;
  for (int c = 1; c <= 6; ++c) row << StavCell(1, c);
  EXPECT_EQ(row.join(u' '), QStringLiteral("1 5 7 12 33 48"));
}

TEST_F(Stakes, SaveWritesTheExactFileAndLoadReadsItBack) {
  FillStakes({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  script.chooseFile(Path(QStringLiteral("mine.txt")));
  Trigger("N7");
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  const auto& asked = script.fileDialogs[0];
  EXPECT_EQ(asked.kind, platform::FileDialogRequest::Kind::Save);
  EXPECT_EQ(asked.title, QStringLiteral("Save stakes in file"));
  EXPECT_EQ(asked.fileName, QStringLiteral("Stavka.txt"));
  EXPECT_EQ(asked.filters,
            (QStringList{QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")}));
  EXPECT_TRUE(asked.confirmOverwrite);
  EXPECT_EQ(ReadFile(QStringLiteral("mine.txt")),
            QByteArray("1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n"));

  // Loading into the list, answering Yes to the deletion: the same two stakes.
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("mine.txt")));
  Tabs()->setCurrentIndex(2);
  Trigger("N6");
  EXPECT_EQ(ws().StakeCount, 2);
  EXPECT_EQ(StavCell(2, 6), QStringLiteral("12"));
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS1"));
  EXPECT_EQ(script.fileDialogs.back().fileName, QStringLiteral("Stavka.txt"));
  EXPECT_EQ(script.fileDialogs.back().kind, platform::FileDialogRequest::Kind::Open);
}

TEST_F(Stakes, LoadAnsweredNoAppendsTheFileAfterTheStakesHeld) {
  HoldStakes(5);
  WriteFile(QStringLiteral("three.txt"),
            "7 - 1,2,3,4,5,6;\r\n8 - 1,2,3,4,5,7;\r\n9 - 1,2,3,4,5,8;\r\n");
  script.answerNo();
  script.chooseFile(Path(QStringLiteral("three.txt")));
  Trigger("N6");
  EXPECT_EQ(ws().StakeCount, 8);
  EXPECT_EQ(StavCell(8, 0), QStringLiteral("8"));
  EXPECT_EQ(StavCell(8, 6), QStringLiteral("8"));
  EXPECT_EQ(StavCell(5, 1), QStringLiteral("51"));
}

TEST_F(Stakes, SaveWithNoStakesAsksNothing) {
  Trigger("N7");
  Trigger("N32");
  EXPECT_TRUE(script.fileDialogs.empty());
}

TEST_F(Stakes, AFailedSaveLeavesThePreviousFileAndSaysWhy) {
  HoldStakes(1);
  WriteFile(QStringLiteral("old.txt"), "1 - 9,9,9,9,9,9;\r\n");
  script.chooseFile(Path(QStringLiteral("no-such-folder/old.txt")));
  Trigger("N7");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("Cannot write file")));
  // A folder in place of the target: the old content of the folder's name stays untouched.
  QDir().mkdir(Path(QStringLiteral("taken.txt")));
  script.chooseFile(Path(QStringLiteral("taken.txt")));
  Trigger("N7");
  EXPECT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(ReadFile(QStringLiteral("old.txt")), QByteArray("1 - 9,9,9,9,9,9;\r\n"));
}

TEST_F(Stakes, SystemSaveLinesUpFirstAndWritesSevenToTwelveNumbers) {
  FillSystem({{9, 3, 41, 17, 25, 1, 33}, {1, 2, 3, 4, 5, 6, 7, 0, 9}});
  script.cancelFile();
  Trigger("N32");
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 1), QStringLiteral("1"))
      << "lined up even though the dialog was cancelled";
  EXPECT_EQ(script.fileDialogs[0].fileName, QStringLiteral("System.txt"));
  script.chooseFile(Path(QStringLiteral("sys.txt")));
  Trigger("N32");
  EXPECT_EQ(ReadFile(QStringLiteral("sys.txt")),
            QByteArray("1 - 1,3,9,17,25,33,41;\r\n2 - 1,2,3,4,5,6,7,9;\r\n"));
}

TEST_F(Stakes, SystemLoadAndDeletion) {
  WriteFile(QStringLiteral("sys.txt"),
            "5 - 1,2,3,4,5,6,7;\r\n6 - 1,2,3,4,5,6,7,8;\r\n"
            "7 - 1,2,3,4,5,6,7,8,9,10,11,12;\r\n");
  script.chooseFile(Path(QStringLiteral("sys.txt")));
  Trigger("N31");
  EXPECT_EQ(ws().SystemCount, 3);
  EXPECT_EQ(Grid("SGSys")->model().cellText(3, 0), QStringLiteral("3"));
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 8), QString());
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS2"));
  EXPECT_EQ(StatusPanel(3)->text(), QStringLiteral("3"));

  Grid("SGSys")->model().setCount(3, 16, 4);
  Grid("SGSys")->setRow(2);
  script.answerYes();
  Trigger("N27");
  EXPECT_EQ(ws().SystemCount, 2);
  EXPECT_EQ(Grid("SGSys")->model().cellText(2, 12), QStringLiteral("12"));
  EXPECT_EQ(Grid("SGSys")->model().cellText(2, 16), QStringLiteral("4"));
  for (int c = 1; c <= 12; ++c) EXPECT_EQ(ws().SystemTable.cell[c][3], 0);

  script.answerYes();
  Trigger("N35");
  EXPECT_EQ(ws().SystemCount, 0);
  EXPECT_EQ(Grid("SGSys")->model().gridRowCount(), 2);
  EXPECT_EQ(StatusPanel(3)->text(), QStringLiteral("0"));
}

TEST_F(Stakes, ABadSystemFileAddsNothing) {
  FillSystem({{1, 2, 3, 4, 5, 6, 7}});
  WriteFile(QStringLiteral("bad.txt"), "1 - 1,2,3,4,5,6,7,8,9,10,11,12,13;\r\n");
  script.answerNo();
  script.chooseFile(Path(QStringLiteral("bad.txt")));
  Trigger("N31");
  EXPECT_EQ(ws().SystemCount, 1);
  EXPECT_EQ(
      script.messages.back().text,
      QStringLiteral("Line 1: the record holds more than 12 numbers. The file was not loaded."));
}

TEST_F(Stakes, ExitSavesOnYesAndStaysOpenWhenTheSaveDoesNotGoThrough) {
  HoldStakes(2);
  FillSystem({{1, 2, 3, 4, 5, 6, 7}});
  // Yes, then cancel the dialog: the program stays open with the lists.
  script.answerYes();
  script.cancelFile();
  EXPECT_FALSE(form->close());
  EXPECT_EQ(ws().StakeCount, 2);
  // Yes to both, with files: both are written and the window closes.
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("s.txt")));
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("y.txt")));
  EXPECT_TRUE(form->close());
  EXPECT_EQ(ReadFile(QStringLiteral("s.txt")).count('\n'), 2);
  EXPECT_EQ(ReadFile(QStringLiteral("y.txt")), QByteArray("1 - 1,2,3,4,5,6,7;\r\n"));
}

// An unfinished last line leaves nothing for the next load to pick up, and is named.
TEST_F(Stakes, AnUnfinishedSystemStakeLeavesNothingBehind) {
  WriteFile(QStringLiteral("cut.txt"), "1 - 1,2,3,4,5,6,7");
  WriteFile(QStringLiteral("short.txt"), "1 - 3,1,2;");
  script.chooseFile(Path(QStringLiteral("cut.txt")));
  Trigger("N31");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Message);
  EXPECT_EQ(
      script.messages[0].text,
      QStringLiteral("Line 1 does not end with \";\" and was not loaded: \"1 - 1,2,3,4,5,6,7\""));
  EXPECT_EQ(ws().SystemCount, 0);
  script.chooseFile(Path(QStringLiteral("short.txt")));
  Trigger("N31");
  EXPECT_EQ(ws().SystemCount, 1);
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 1), QStringLiteral("3"));
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 3), QStringLiteral("2"));
  for (int c = 4; c <= 12; ++c) EXPECT_EQ(Grid("SGSys")->model().cellText(1, c), QString()) << c;
  EXPECT_EQ(script.messages.size(), 1u) << "a finished file needs no notice";
}

TEST_F(Stakes, APipeIsNotLoadedAndNotWaitedOn) {
  PipeGuard pipe(Path(QStringLiteral("Stavka.txt")));
  ASSERT_TRUE(pipe.made());
  script.chooseFile(Path(QStringLiteral("Stavka.txt")));
  Trigger("N6");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_TRUE(script.messages[0].text.endsWith(
      QStringLiteral("Not a regular file (a pipe, a device or a socket)")));
  EXPECT_EQ(ws().StakeCount, 0);
}

TEST_F(Stakes, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
  HoldStakes(1);
  QDir().mkdir(Path(QStringLiteral("real")));
  WriteFile(QStringLiteral("real/mine.txt"), "1 - 9,9,9,9,9,9;\r\n");
  ASSERT_TRUE(QFile::link(QStringLiteral("real/mine.txt"), Path(QStringLiteral("link.txt"))));
  script.chooseFile(Path(QStringLiteral("link.txt")));
  Trigger("N7");
  EXPECT_TRUE(script.messages.empty());
  EXPECT_TRUE(QFileInfo(Path(QStringLiteral("link.txt"))).isSymLink());
  EXPECT_EQ(ReadFile(QStringLiteral("real/mine.txt")), QByteArray("1 - 11,12,13,14,15,16;\r\n"));
}

// A read-only file stays as it is, and the reason is told in the interface language only.
TEST_F(Stakes, AReadOnlyFileIsNotReplacedAndTheReasonIsInRussian) {
  HoldStakes(1);
  WriteFile(QStringLiteral("ro.txt"), "1 - 9,9,9,9,9,9;\r\n");
  ASSERT_EQ(::chmod(platform::ToLocalPath(Path(QStringLiteral("ro.txt"))).c_str(), 0444), 0);
  Trigger("Rus");
  script.messages.clear();
  script.chooseFile(Path(QStringLiteral("ro.txt")));
  Trigger("N7");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Не удалось записать файл \"") +
                                         Path(QStringLiteral("ro.txt")) +
                                         QStringLiteral("\". Доступ запрещён"));
  EXPECT_EQ(ReadFile(QStringLiteral("ro.txt")), QByteArray("1 - 9,9,9,9,9,9;\r\n"));
}

}  // namespace
