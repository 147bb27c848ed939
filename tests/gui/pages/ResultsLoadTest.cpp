#include <sys/stat.h>
#include <unistd.h>

#include "GuiFixture.h"
#include "lists/PipeGuard.h"

namespace {

class ResultsLoad : public GuiTest {
 protected:
  MainWindow& StartWithDraws() {
    WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n3 - 13,14,15,16,17,18;\r\n");
    MainWindow& f = Start();
    script.messages.clear();
    return f;
  }
};

TEST_F(ResultsLoad, AnsweredNoChangesNothing) {
  MainWindow& f = StartWithDraws();
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Question);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Load new results?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Loading the draw results"));
  EXPECT_TRUE(script.fileDialogs.empty());
  EXPECT_EQ(f.workspace().ResultCount, 3);
  EXPECT_EQ(Grid("SGRes")->model().cellText(3, 1), QStringLiteral("13"));
}

TEST_F(ResultsLoad, YesThenCancelLeavesAnEmptyHistory) {
  MainWindow& f = StartWithDraws();
  script.answerYes();
  script.cancelFile();
  Trigger("N10");
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  const auto& asked = script.fileDialogs[0];
  EXPECT_EQ(asked.kind, platform::FileDialogRequest::Kind::Open);
  EXPECT_EQ(asked.title, QStringLiteral("Stakes loading out of file"));
  EXPECT_EQ(asked.fileName, QStringLiteral("Results.txt"));
  EXPECT_EQ(asked.filters, QStringList{QStringLiteral("Text files (*.txt)")});
  EXPECT_EQ(asked.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(f.workspace().ResultCount, 0);
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(f.workspace().ResultTable.cell[c][3], 0);
  EXPECT_EQ(Grid("SGRes")->model().gridRowCount(), 2);
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 0), QString());
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("0"));
  script.cancelFile();
  Trigger("N6");
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[1].fileName, QStringLiteral("Stavka.txt"))
      << "the stakes' dialog keeps its own preset";
}

TEST_F(ResultsLoad, YesAndAFileReplacesTheDraws) {
  MainWindow& f = StartWithDraws();
  WriteFile(QStringLiteral("new.txt"), "1 - 40,41,42,43,44,45;\r\n2 - 1,2,3,4,5,6;\r\n");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("new.txt")));
  Trigger("N10");
  EXPECT_EQ(f.workspace().ResultCount, 2);
  EXPECT_EQ(Grid("SGRes")->model().gridRowCount(), 3);
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 6), QStringLiteral("45"));
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("2"));
  // The old third draw was cleared with the rest.
  EXPECT_EQ(f.workspace().ResultTable.cell[1][3], 0);
}

TEST_F(ResultsLoad, ABadFileIsReportedAndTheGridShowsTheEmptiedTable) {
  MainWindow& f = StartWithDraws();
  WriteFile(QStringLiteral("bad.txt"), "1 - 1,2,3,4,5,6,7;\r\n");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("bad.txt")));
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].kind, platform::AskedMessage::Kind::Error);
  EXPECT_EQ(
      script.messages[1].text,
      QStringLiteral("Line 1: the record holds more than 6 numbers. The file was not loaded."));
  EXPECT_EQ(f.workspace().ResultCount, 0);
  EXPECT_EQ(Grid("SGRes")->model().gridRowCount(), 2);
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("0"));
}

TEST_F(ResultsLoad, AFileThatCannotBeOpenedIsReportedAndTheProgramGoesOn) {
  StartWithDraws();
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("gone.txt")));
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_TRUE(script.messages[1].text.startsWith(QStringLiteral("Cannot open file \"")));
  EXPECT_TRUE(script.messages[1].text.endsWith(QStringLiteral("No such file or directory")));
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("0"));
}

TEST_F(ResultsLoad, ABadTokenInAnEightBitFileIsShownReadably) {
  StartWithDraws();
  WriteFile(QStringLiteral("cp.txt"),
            "1 - 1,2,\xC4\xE0,4,5,6;\r\n");  // "Да" in the 8-bit code page
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("cp.txt")));
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].text, QStringLiteral("'Да' is not a valid integer value"));
}

// Pipes named like the start-up files neither stop the window from opening nor are waited on:
// each is an unreadable file with its usual message.
TEST_F(ResultsLoad, PipesInPlaceOfTheStartupFilesAreUnreadableFiles) {
  PipeGuard settings(Path(QStringLiteral("ini.tly")));
  PipeGuard results(Path(QStringLiteral("Results.txt")));
  ASSERT_TRUE(settings.made() && results.made());
  MainWindow& f = Start();
  EXPECT_EQ(MessageTexts(), (QStringList{QStringLiteral("Отсутствует файл настроек"),
                                         QStringLiteral("Results load is failed!")}));
  EXPECT_EQ(f.workspace().ResultCount, 0);
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("0"));

  // The same pipe picked for a load is refused with the reason, in the interface language.
  script.messages.clear();
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("Results.txt")));
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].kind, platform::AskedMessage::Kind::Error);
  EXPECT_TRUE(script.messages[1].text.endsWith(
      QStringLiteral("Not a regular file (a pipe, a device or a socket)")))
      << script.messages[1].text.toStdString();
}

TEST_F(ResultsLoad, AHugeResultsFileIsRefusedBeforeItIsRead) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n0\r\n");
  WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
  // 64 MB of nothing, without writing them.
  ASSERT_EQ(::truncate(platform::ToLocalPath(Path(QStringLiteral("Results.txt"))).c_str(),
                       off_t{64} << 20),
            0);
  MainWindow& f = Start();
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("Не удалось открыть файл \"Results.txt\". Файл больше 32 МБ, столько "
                           "не вмещает ни один список"));
  EXPECT_EQ(f.workspace().ResultCount, 0);
}

TEST_F(ResultsLoad, AnUnfinishedLastLineIsNamedOnceTheGridShowsTheLoad) {
  MainWindow& f = StartWithDraws();
  WriteFile(QStringLiteral("cut.txt"),
            "\xEF\xBB\xBF"
            "1 - 5,12,17,23,38,41;\r\n2 - 1,2,3,4,5,6;\r\n3 - 7,8,9,10,");
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("cut.txt")));
  Trigger("N10");
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].kind, platform::AskedMessage::Kind::Message);
  EXPECT_EQ(script.messages[1].text,
            QStringLiteral("Line 3 does not end with \";\" and was not loaded: \"3 - 7,8,9,10,\""));
  EXPECT_EQ(f.workspace().ResultCount, 2);
  EXPECT_EQ(Grid("SGRes")->model().cellText(1, 1), QStringLiteral("5"))
      << "the mark is not a digit";
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(f.workspace().ResultTable.cell[c][3], 0);
}

}  // namespace
