// The import preview, on its own and from the window's menus and download.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "GuiFixture.h"
#include "HttpsServer.h"
#include "ScriptedServer.h"
#include "dialogs/ImportDialog.h"
#include "platform/Preferences.h"
#include "winnings/Prizes.h"

namespace {

// A publisher-style CSV: a heading, newest first, a bonus column and a line with 50 > 49.
constexpr const char* kCsv =
    "Draw;Date;B1;B2;B3;B4;B5;B6;Bonus\r\n"
    "4;22.02.2020;21;22;23;24;25;26;1\r\n"
    "3;15.02.2020;11;12;13;14;15;16;7\r\n"
    "2;08.02.2020;1;2;3;4;5;50;8\r\n"
    "1;01.02.2020;1;2;3;4;5;6;9\r\n";

class Import : public GuiTest {
 protected:
  template <typename W>
  static W* In(QDialog& dialog, const char* name) {
    W* widget = dialog.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static QString Text(QDialog& dialog, const char* name) {
    if (auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
    if (auto* box = dialog.findChild<QPlainTextEdit*>(QString::fromLatin1(name))) {
      return box->toPlainText();
    }
    ADD_FAILURE() << name;
    return {};
  }
  // The preview of `data` through the dialog alone; `user` acts in it.
  std::optional<tallyra::ImportResult> Preview(const std::string& data, tallyra::ImportKind kind,
                                               std::function<void(QDialog&)> user) {
    ImportDialog dialog(form.get(), [] { return 1; });
    script.inNextDialog(std::move(user));
    return dialog.preview(data, kind, 49, QStringLiteral("draws.csv"));
  }
};

TEST_F(Import, ACsvWithAHeadingAndABonusColumnIsPreviewedAsItWillBeStored) {
  StartEnglish();
  const auto rows = Preview(kCsv, tallyra::ImportKind::Results, [&](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Import"));
    EXPECT_EQ(Text(d, "ImportSummary"),
              QStringLiteral("draws.csv: 5 lines read, 3 rows taken, 2 lines skipped."));
    EXPECT_EQ(Text(d, "ImportDetected"),
              QStringLiteral("Read as fields separated by \";\"; the numbers from columns "
                             "3,4,5,6,7,8. The order was found from the dates (column 2)."));
    EXPECT_EQ(In<QLineEdit>(d, "ImportColumns")->text(), QStringLiteral("3,4,5,6,7,8"));
    EXPECT_EQ(In<QComboBox>(d, "ImportOrder")->currentIndex(), 1) << "newest first";
    EXPECT_EQ(Text(d, "ImportRows"), QStringLiteral("1 - 1,2,3,4,5,6;\n2 - 11,12,13,14,15,16;\n"
                                                    "3 - 21,22,23,24,25,26;\n"));
    EXPECT_EQ(Text(d, "ImportSkipped"),
              QStringLiteral("Line 1: heading\nLine 4: the number 50 is outside 1..49\n"));
    EXPECT_TRUE(In<QPushButton>(d, "ImportOk")->isEnabled());
    In<QPushButton>(d, "ImportOk")->click();
  });
  ASSERT_TRUE(rows.has_value());
  ASSERT_EQ(rows->rows.size(), 3u);
  EXPECT_EQ(rows->rows[2].numbers[0], 21) << "oldest first";
}

TEST_F(Import, DatedNumberedLinesAndLongListsShowTheirEnds) {
  StartEnglish();
  std::string text;
  for (int i = 30; i >= 1; --i) {
    text += std::to_string(6300 + i) + ". " + (i < 10 ? "0" : "") + std::to_string(i) +
            ".11.2019 " + std::to_string(i % 9 + 1) + ",20,34,40,42,43\n";
  }
  Preview(text, tallyra::ImportKind::Results, [&](QDialog& d) {
    EXPECT_TRUE(Text(d, "ImportSummary").contains(QStringLiteral("30 lines read, 30 rows taken")))
        << Text(d, "ImportSummary").toStdString() << Text(d, "ImportProblem").toStdString()
        << Text(d, "ImportSkipped").toStdString();
    EXPECT_TRUE(Text(d, "ImportDetected").contains(QStringLiteral("from the dates")))
        << Text(d, "ImportDetected").toStdString();
    const QStringList shown = Text(d, "ImportRows").split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(shown.size(), 2 * ImportDialog::kShownRows + 1);
    EXPECT_EQ(shown.first(), QStringLiteral("1 - 2,20,34,40,42,43;"));
    EXPECT_EQ(shown[ImportDialog::kShownRows], QStringLiteral("..."));
    EXPECT_EQ(shown.last(), QStringLiteral("30 - 4,20,34,40,42,43;"));
    EXPECT_EQ(Text(d, "ImportSkipped"), QString());
  });
}

TEST_F(Import, TheColumnsBoxShowsSixTwoDigitColumnsWholeInBothLanguages) {
  StartEnglish();
  for (const int language : {1, 0}) {
    ImportDialog dialog(form.get(), [language] { return language; });
    script.inNextDialog([&](QDialog& d) {
      QLineEdit* columns = In<QLineEdit>(d, "ImportColumns");
      const QString widest = QStringLiteral("10,11,12,13,14,15");
      columns->setText(widest);
      columns->end(false);
      // Were the box too narrow, the text would scroll and the cursor at its end would stand
      // left of where the whole text ends.
      EXPECT_GE(columns->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(),
                columns->fontMetrics().horizontalAdvance(widest))
          << language;
      In<QPushButton>(d, "ImportCancel")->click();
    });
    dialog.preview(kCsv, tallyra::ImportKind::Results, 49, QStringLiteral("draws.csv"));
  }
}

TEST_F(Import, APreviewNamesDatesOutOfOrderAndLeavesRepeatedDrawsOut) {
  StartEnglish();
  const std::string spliced =
      "1;01.02.2020;1;2;3;4;5;6\n2;08.02.2020;7;8;9;10;11;12\n1;01.02.2020;1;2;3;4;5;6\n"
      "3;15.02.2020;13;14;15;16;17;18\n0;01.01.2019;19;20;21;22;23;24\n";
  Preview(spliced, tallyra::ImportKind::Results, [&](QDialog& d) {
    EXPECT_EQ(Text(d, "ImportSkipped"),
              QStringLiteral("Line 5: the date 01.01.2019 is out of the order of the dates above; "
                             "check the file\nLine 3: repeat of line 1\n"));
    EXPECT_TRUE(Text(d, "ImportSummary").contains(QStringLiteral("4 rows taken, 1 lines skipped")))
        << Text(d, "ImportSummary").toStdString();
  });
}

TEST_F(Import, ChangingColumnsOrOrderReadsTheFileAgain) {
  StartEnglish();
  const auto rows = Preview(kCsv, tallyra::ImportKind::Results, [&](QDialog& d) {
    QLineEdit* columns = In<QLineEdit>(d, "ImportColumns");
    columns->setText(QStringLiteral("4,5,6,7,8,9"));
    In<QPushButton>(d, "ImportApplyColumns")->click();
    EXPECT_EQ(Text(d, "ImportRows"), QStringLiteral("1 - 2,3,4,5,6,9;\n2 - 12,13,14,15,16,7;\n"
                                                    "3 - 22,23,24,25,26,1;\n"));
    EXPECT_TRUE(Text(d, "ImportSummary").contains(QStringLiteral("3 rows taken, 2 lines")));

    // The dates say newest first; taken as oldest first, the rows come out the other way.
    In<QComboBox>(d, "ImportOrder")->setCurrentIndex(0);
    EXPECT_TRUE(Text(d, "ImportRows").startsWith(QStringLiteral("1 - 22,23,24,25,26,1;\n")));
    EXPECT_TRUE(Text(d, "ImportDetected").endsWith(QStringLiteral("The order is as you chose.")));

    // Columns that cannot hold a draw: nothing to store, and the reason is shown.
    columns->setText(QStringLiteral("1,2"));
    emit columns->returnPressed();
    EXPECT_FALSE(In<QPushButton>(d, "ImportOk")->isEnabled());
    EXPECT_FALSE(Text(d, "ImportProblem").isEmpty());
    EXPECT_EQ(columns->text(), QStringLiteral("1,2")) << "what the user typed stays";

    columns->setText(QStringLiteral("3,4,5,6,7,8"));
    In<QPushButton>(d, "ImportApplyColumns")->click();
    ASSERT_TRUE(In<QPushButton>(d, "ImportOk")->isEnabled());
    EXPECT_EQ(Text(d, "ImportProblem"), QString());
    In<QPushButton>(d, "ImportOk")->click();
  });
  ASSERT_TRUE(rows.has_value());
  ASSERT_EQ(rows->rows.size(), 3u);
  EXPECT_EQ(rows->rows[0].numbers[0], 21) << "the order as last chosen: oldest first";
}

TEST_F(Import, ACancelledReadEndsTheImportOrKeepsThePreviewAsItWas) {
  StartEnglish();
  // Near the import limit, so that the read is still going when Cancel is pressed.
  std::string big;
  for (int i = 1; big.size() < (std::size_t{15} << 20); ++i) {
    big += std::to_string(i) + ". " + std::to_string(i % 40 + 1) + ",41,42,43,44,45\n";
  }
  script.progressAtOnce = true;
  {
    const CancelWhenProgressShows cancel;
    ImportDialog dialog(form.get(), [] { return 1; });
    EXPECT_FALSE(dialog.preview(big, tallyra::ImportKind::Results, 49, QStringLiteral("big.txt")));
  }
  EXPECT_TRUE(script.shownDialogs.empty()) << "a first read cancelled shows no preview";

  const auto rows = Preview(big, tallyra::ImportKind::Results, [&](QDialog& d) {
    const QString before = Text(d, "ImportRows");
    {
      const CancelWhenProgressShows cancel;
      In<QComboBox>(d, "ImportOrder")->setCurrentIndex(1);
    }
    EXPECT_EQ(In<QComboBox>(d, "ImportOrder")->currentIndex(), 0) << "the choice is put back";
    EXPECT_EQ(Text(d, "ImportRows"), before);
    In<QPushButton>(d, "ImportOk")->click();
  });
  ASSERT_TRUE(rows.has_value());
  EXPECT_LT(rows->rows.front().line, rows->rows.back().line)
      << "read in the order it had before the cancelled change";
}

// The window: Results > Import... and the merge with the held draws.
class ImportResults : public Import {
 protected:
  void SetUp() override {
    Import::SetUp();
    WriteFile(QStringLiteral("Results.txt"), kHeld);
    WriteFile(QStringLiteral("draws.csv"), kCsv);
    StartEnglish();
    ASSERT_EQ(form->workspace().ResultCount, 2);
  }
  // The draws 1 and 2 of kCsv's oldest end, as record lines.
  static constexpr const char* kHeld = "1 - 1,2,3,4,5,6;\r\n2 - 11,12,13,14,15,16;\r\n";
};

// A file above the import limit is refused before it is read, with the limit the command line
// names, from either list's menu.
TEST_F(ImportResults, AFileOneByteOverTheLimitIsToldTheImportsLimit) {
  QFile big(Path(QStringLiteral("big.txt")));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize((qint64{16} << 20) + 1));
  big.close();
  for (const char* item : {"ImportResultsItem", "ImportStakesItem"}) {
    script.messages.clear();
    script.chooseFile(Path(QStringLiteral("big.txt")));
    Trigger(item);
    ASSERT_EQ(script.messages.size(), 1u) << item;
    EXPECT_EQ(script.messages[0].text,
              Path(QStringLiteral("big.txt")) +
                  QStringLiteral(": The file is too large to import (16777217 bytes; at most "
                                 "16777216)."))
        << item;
  }
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
}

TEST_F(ImportResults, EachImportsFileDialogNamesWhatItImports) {
  struct Case {
    const char* item;
    int language;
    QString title;
    QString filter;
    QString all;
  };
  const Case cases[] = {
      {"ImportResultsItem", 1, QStringLiteral("Import draw history"),
       QStringLiteral("Draw histories (*.txt *.csv *.tsv)"), QStringLiteral("All files (*)")},
      {"ImportStakesItem", 1, QStringLiteral("Import stakes"),
       QStringLiteral("Stake lists (*.txt *.csv *.tsv)"), QStringLiteral("All files (*)")},
      {"ImportSystemItem", 1, QStringLiteral("Import system stakes"),
       QStringLiteral("System stake lists (*.txt *.csv *.tsv)"), QStringLiteral("All files (*)")},
      {"ImportResultsItem", 0, QStringLiteral("Импорт истории тиражей"),
       QStringLiteral("Истории тиражей (*.txt *.csv *.tsv)"), QStringLiteral("Все файлы (*)")},
      {"ImportStakesItem", 0, QStringLiteral("Импорт ставок"),
       QStringLiteral("Списки ставок (*.txt *.csv *.tsv)"), QStringLiteral("Все файлы (*)")},
      {"ImportSystemItem", 0, QStringLiteral("Импорт системных ставок"),
       QStringLiteral("Списки системных ставок (*.txt *.csv *.tsv)"),
       QStringLiteral("Все файлы (*)")},
  };
  for (const Case& c : cases) {
    Trigger(c.language == 0 ? "Rus" : "Eng");
    script.fileDialogs.clear();
    script.cancelFile();
    Trigger(c.item);
    ASSERT_EQ(script.fileDialogs.size(), 1u) << c.item;
    EXPECT_EQ(script.fileDialogs[0].title, c.title);
    EXPECT_EQ(script.fileDialogs[0].filters, (QStringList{c.filter, c.all}));
  }
  EXPECT_TRUE(script.messages.empty());
}

TEST_F(ImportResults, CancelChangesNothing) {
  script.chooseFile(Path(QStringLiteral("draws.csv")));
  bool shown = false;
  script.inNextDialog([&](QDialog& d) {
    shown = d.objectName() == QStringLiteral("ImportDialog");
    In<QPushButton>(d, "ImportCancel")->click();
  });
  Trigger("ImportResultsItem");
  EXPECT_TRUE(shown);
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.bak"))));
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_TRUE(script.messages.empty());

  // A cancelled file dialog opens no preview.
  script.cancelFile();
  Trigger("ImportResultsItem");
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
}

TEST_F(ImportResults, OnlyNewDrawsAreAppendedAndTheMessageSaysHowMany) {
  script.chooseFile(Path(QStringLiteral("draws.csv")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  Trigger("ImportResultsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("1 new draws were added; 3 held."));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")),
            QByteArray("1 - 1,2,3,4,5,6;\r\n2 - 11,12,13,14,15,16;\r\n3 - 21,22,23,24,25,26;\r\n"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt.bak")), QByteArray(kHeld));
  EXPECT_EQ(form->workspace().ResultCount, 3);
  EXPECT_EQ(Cell("SGRes", 3, 1), QStringLiteral("21"));
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("3"));

  // The same file again brings nothing new and writes nothing.
  script.messages.clear();
  WriteFile(QStringLiteral("Results.txt.bak"), "kept");
  script.chooseFile(Path(QStringLiteral("draws.csv")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  Trigger("ImportResultsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("0 new draws were added; 3 held."));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt.bak")), QByteArray("kept"));
}

TEST_F(ImportResults, PrizeColumnsJoinThePrizeFileAndHeldAmountsFollowTheirDraws) {
  // The held draw 2 has amounts of its own; the file brings an older draw and a newer one,
  // both with theirs, around the two held draws (which give none).
  WriteFile(QStringLiteral("prizes.tly"),
            "price; 2.00\r\n3; 1.00\r\n2; 1.00; 2.00; 3.00; 4.00\r\n");
  WriteFile(QStringLiteral("paid.csv"),
            "Draw,Date,B1,B2,B3,B4,B5,B6,Prize 3,Prize 4,Prize 5,Prize 6\n"
            "100,05.11.2019,31,32,33,34,35,36,5.00,50.00,500.00,5000.00\n"
            "101,12.11.2019,1,2,3,4,5,6,-,-,-,-\n"
            "102,19.11.2019,11,12,13,14,15,16,-,-,-,-\n"
            "103,26.11.2019,21,22,23,24,25,26,9.00,100.00,5000.00,1500000.00\n");
  script.chooseFile(Path(QStringLiteral("paid.csv")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  Trigger("ImportResultsItem");
  ASSERT_EQ(form->workspace().ResultCount, 4);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("2 new draws were added; 4 held.\nThe prizes of 2 draws in the file "
                           "were kept in \"prizes.tly\"; the winnings report uses them."));

  const tallyra::PrizesRead read =
      tallyra::ParsePrizes(ReadFile(QStringLiteral("prizes.tly")).toStdString());
  ASSERT_FALSE(read.problem);
  EXPECT_EQ(read.prizes.table.price, 200) << "the table stays";
  EXPECT_EQ(read.prizes.table.amounts[0], 100);
  const std::map<int32_t, tallyra::TierAmounts> expected = {
      {1, {500, 5000, 50000, 500000}},
      {3, {100, 200, 300, 400}},  // the held draw 2, now third
      {4, {900, 10000, 500000, 150000000}}};
  EXPECT_EQ(read.prizes.byDraw, expected);
}

TEST_F(ImportResults, AHistoryThatDoesNotContinueTheHeldOneAsksBeforeReplacing) {
  WriteFile(QStringLiteral("other.txt"), "31 32 33 34 35 36\n41 42 43 44 45 46\n");
  script.chooseFile(Path(QStringLiteral("other.txt")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  script.answerNo();
  Trigger("ImportResultsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Question);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("The new draws do not continue")));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
  EXPECT_EQ(form->workspace().ResultCount, 2);

  script.messages.clear();
  script.chooseFile(Path(QStringLiteral("other.txt")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  script.answerYes();
  Trigger("ImportResultsItem");
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")),
            QByteArray("1 - 31,32,33,34,35,36;\r\n2 - 41,42,43,44,45,46;\r\n"));
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_EQ(Cell("SGRes", 1, 1), QStringLiteral("31"));
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].text, QStringLiteral("2 new draws were added; 2 held."));
}

TEST_F(ImportResults, ADownloadedCsvGoesThroughThePreviewFirst) {
  ScriptedServer server;
  form->setDownloadUrl(QString::fromStdString(server.url("/draws.csv")));
  server.add(ScriptedServer::Text(std::string("HTTP/1.0 200 OK\r\n\r\n") + kCsv));
  script.inNextDialog([&](QDialog& d) {
    EXPECT_TRUE(Text(d, "ImportSummary").contains(QStringLiteral("3 rows taken")));
    In<QPushButton>(d, "ImportCancel")->click();
  });
  Trigger("N42");
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld)) << "cancelled";
  EXPECT_TRUE(script.messages.empty());
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));

  server.add(ScriptedServer::Text(std::string("HTTP/1.0 200 OK\r\n\r\n") + kCsv));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("1 new draws were added; 3 held."));
  EXPECT_EQ(form->workspace().ResultCount, 3);
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(ImportResults, StakesAreAppendedOrReplacedAsAsked) {
  WriteFile(QStringLiteral("stakes.txt"), "1,2,3,4,5,6\n7,8,9,10,11,12\n");
  auto import = [&](std::optional<bool> append) {
    script.chooseFile(Path(QStringLiteral("stakes.txt")));
    script.inNextDialog([&](QDialog& d) {
      EXPECT_FALSE(In<QComboBox>(d, "ImportOrder")->isEnabled());
      In<QPushButton>(d, "ImportOk")->click();
    });
    if (append == true) script.answerYes();
    if (append == false) script.answerNo();
    Trigger("ImportStakesItem");
  };
  import(std::nullopt);  // nothing held: no question
  EXPECT_EQ(form->workspace().StakeCount, 2);
  EXPECT_TRUE(script.messages.empty());
  import(true);
  EXPECT_EQ(form->workspace().StakeCount, 4);
  ASSERT_FALSE(script.messages.empty());
  EXPECT_EQ(script.messages.back().text,
            QStringLiteral("Add the 2 imported rows after the 2 held? Yes adds them, No replaces "
                           "the list with them."));
  import(false);
  EXPECT_EQ(form->workspace().StakeCount, 2);
  EXPECT_EQ(Cell("SGStav", 2, 1), QStringLiteral("7"));

  // Appending past the list's capacity stores nothing and says so.
  FillStakes(tallyra::test::Repeated(tallyra::kStakeCapacity - 1, {1, 2, 3, 4, 5, 6}));
  script.messages.clear();
  import(true);
  EXPECT_EQ(form->workspace().StakeCount, tallyra::kStakeCapacity - 1);
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[1].text,
            QStringLiteral("The list holds 99998 rows and takes at most 99999; the 2 imported ones "
                           "do not fit. Nothing was changed."));

  WriteFile(QStringLiteral("system.txt"), "1 2 3 4 5 6 7 8\n");
  script.chooseFile(Path(QStringLiteral("system.txt")));
  script.inNextDialog([&](QDialog& d) { In<QPushButton>(d, "ImportOk")->click(); });
  Trigger("ImportSystemItem");
  EXPECT_EQ(form->workspace().SystemCount, 1);
  EXPECT_EQ(form->workspace().SystemTable.cell[8][1], 8);
}

TEST_F(ImportResults, TheMessageSpeaksTheInterfaceLanguageAndAFullHistoryKeepsTheNewest) {
  EXPECT_EQ(Action("ImportResultsItem")->text(), QStringLiteral("Import..."));
  Trigger("Rus");
  for (const char* item : {"ImportResultsItem", "ImportStakesItem", "ImportSystemItem"}) {
    EXPECT_EQ(Action(item)->text(), QStringLiteral("Импорт...")) << item;
  }
  script.messages.clear();
  // 1 499 held draws, of which the last two are the first two of the file.
  std::string held;
  std::string file;
  auto draw = [](int i) {
    return std::to_string(i % 40 + 1) + "," + std::to_string(i % 7 + 42) + ",41," +
           std::to_string(i / 40 + 2) + ",40,1";
  };
  for (int i = 1; i <= 1499; ++i) {
    held += std::to_string(i) + " - " + draw(i) + ";\r\n";
  }
  for (int i = 1498; i <= 1502; ++i) file += draw(i) + "\n";
  WriteFile(QStringLiteral("Results.txt"), QByteArray::fromStdString(held));
  WriteFile(QStringLiteral("new.txt"), QByteArray::fromStdString(file));
  form.reset();
  Start();
  script.messages.clear();
  ASSERT_EQ(form->workspace().ResultCount, 1499);

  script.chooseFile(Path(QStringLiteral("new.txt")));
  script.inNextDialog([&](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Импорт"));
    In<QPushButton>(d, "ImportOk")->click();
  });
  Trigger("ImportResultsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("Добавлено новых тиражей: 3; всего тиражей: 1 499. Самые ранние тиражи "
                           "(3) не поместились и пропущены."));
  EXPECT_EQ(form->workspace().ResultCount, 1499);
  const QByteArray written = ReadFile(QStringLiteral("Results.txt"));
  EXPECT_TRUE(written.startsWith(QByteArray::fromStdString("1 - " + draw(4) + ";\r\n")));
  EXPECT_TRUE(written.endsWith(QByteArray::fromStdString("1499 - " + draw(1502) + ";\r\n")));
}

TEST_F(ImportResults, AFileTooLargeOrUnreadableIsToldAndChangesNothing) {
  {
    QFile big(Path(QStringLiteral("big.csv")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64{100} << 20));  // 100 MB, sparse
  }
  script.chooseFile(Path(QStringLiteral("big.csv")));
  Trigger("ImportResultsItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.contains(QStringLiteral("big.csv")))
      << script.messages[0].text.toStdString();
  EXPECT_TRUE(script.shownDialogs.empty() ||
              script.shownDialogs.back() != QStringLiteral("ImportDialog"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));

  // A binary file reaches the preview, which says what is wrong and offers nothing to store.
  WriteFile(QStringLiteral("binary.csv"), QByteArray("\x01\x02\x00\x00\xff\xfe\x00\x07", 8));
  script.messages.clear();
  script.chooseFile(Path(QStringLiteral("binary.csv")));
  bool offered = true;
  script.inNextDialog([&](QDialog& d) {
    offered = In<QPushButton>(d, "ImportOk")->isEnabled();
    EXPECT_FALSE(Text(d, "ImportProblem").isEmpty());
    In<QPushButton>(d, "ImportOk")->click();
  });
  Trigger("ImportResultsItem");
  EXPECT_FALSE(offered);
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
}

}  // namespace

// A history of another game: numbers up to 59 under the default 6 of 49.
constexpr const char* kUkCsv =
    "Date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball\r\n"
    "13.09.2017,21,56,4,11,14,29,27\r\n"
    "09.09.2017,4,49,56,58,13,7,6\r\n"
    "06.09.2017,1,12,23,34,45,59,5\r\n"
    "02.09.2017,3,8,19,27,38,42,50\r\n";

TEST_F(Import, TheGameAFileFitsIsProposedAndItsMIsOfferedWhenItDiffers) {
  StartEnglish();
  std::vector<std::pair<int32_t, std::string>> set;
  ImportDialog dialog(form.get(), [] { return 1; });
  script.inNextDialog([&](QDialog& d) {
    auto* game = In<QComboBox>(d, "ImportGame");
    auto* setButton = In<QPushButton>(d, "ImportSetGame");
    EXPECT_EQ(game->currentText(), QStringLiteral("UK Lotto"));
    EXPECT_EQ(Text(d, "ImportGameNote"),
              QStringLiteral("The numbers run up to 59; the game is set to 6 of 49"));
    EXPECT_TRUE(Text(d, "ImportSkipped").contains(QStringLiteral("56 is outside 1..49")));
    EXPECT_TRUE(setButton->isVisible());
    EXPECT_EQ(setButton->text(), QStringLiteral("Set 6 of 59"));
    // Another game picked offers its own M.
    game->setCurrentIndex(game->findText(QStringLiteral("Irish Lotto")));
    EXPECT_EQ(setButton->text(), QStringLiteral("Set 6 of 47"));
    game->setCurrentIndex(game->findText(QStringLiteral("UK Lotto")));
    setButton->click();
    // The file is read again for the game now set: every row is taken, only the heading listed.
    EXPECT_EQ(Text(d, "ImportSummary"),
              QStringLiteral("draws.csv: 5 lines read, 4 rows taken, 1 lines skipped."));
    EXPECT_FALSE(setButton->isVisible());
    EXPECT_FALSE(In<QLabel>(d, "ImportGameNote")->isVisible());
    EXPECT_EQ(game->currentText(), QStringLiteral("UK Lotto"));
    In<QPushButton>(d, "ImportOk")->click();
  });
  const auto rows = dialog.preview(
      kUkCsv, tallyra::ImportKind::Results, 49, QStringLiteral("draws.csv"),
      {"", [&](int32_t highest, const std::string& id) { set.emplace_back(highest, id); }});
  ASSERT_TRUE(rows.has_value());
  EXPECT_EQ(rows->rows.size(), 4u);
  EXPECT_EQ(set, (std::vector<std::pair<int32_t, std::string>>{{59, "uk-lotto"}}));

  // A file that names no game keeps the window's own among the games of its M.
  script.inNextDialog([&](QDialog& d) {
    EXPECT_EQ(In<QComboBox>(d, "ImportGame")->currentText(),
              QStringLiteral("PCSO Superlotto 6/49 (Philippines)"));
    EXPECT_FALSE(In<QPushButton>(d, "ImportSetGame")->isVisible());
    In<QPushButton>(d, "ImportCancel")->click();
  });
  dialog.preview("1;01.02.2020;1;2;3;4;5;49\n2;08.02.2020;6;7;8;9;10;11\n",
                 tallyra::ImportKind::Results, 49, QStringLiteral("draws.csv"),
                 {"pcso-649", [](int32_t, const std::string&) {}});
}

TEST_F(ImportResults, SettingTheProposedGameSetsTheWindowsMAsOptionsDoes) {
  WriteFile(QStringLiteral("uk.csv"), kUkCsv);
  script.chooseFile(Path(QStringLiteral("uk.csv")));
  script.inNextDialog([&](QDialog& d) {
    In<QPushButton>(d, "ImportSetGame")->click();
    // Set, it stays set whatever becomes of the import.
    In<QPushButton>(d, "ImportCancel")->click();
  });
  Trigger("ImportResultsItem");
  EXPECT_EQ(form->workspace().HighestNumber, 59);
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("59\r\n1\r\n"));
  EXPECT_EQ(platform::ReadPreference(Files(), QStringLiteral("game/profile")),
            QStringLiteral("uk-lotto"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kHeld));
}
