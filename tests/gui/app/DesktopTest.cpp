// The habits of a desktop program: the keys, the help window where the desktop cannot open the
// help file, the folder the file dialogs remember, and a stakes file named at start.

#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "GuiFixture.h"
#include "dialogs/HelpWindow.h"
#include "platform/FileDialog.h"
#include "platform/Preferences.h"

namespace {

class Desktop : public GuiTest {
 protected:
  // Presses a key combination in the main window as the user would.
  void Press(const QKeySequence& keys) {
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    QTest::keySequence(form.get(), keys);
  }
  QStringList ContentsTitles(HelpWindow& help) const {
    QStringList titles;
    for (QTreeWidgetItemIterator it(help.contents()); *it; ++it) titles << (*it)->text(0);
    return titles;
  }
  // The pages the contents mark as the one shown: selected and in bold.
  QStringList MarkedPages(HelpWindow& help) const {
    QStringList marked;
    for (QTreeWidgetItemIterator it(help.contents()); *it; ++it) {
      if ((*it)->font(0).bold() || (*it)->isSelected())
        marked << (*it)->data(0, Qt::UserRole).toString();
    }
    return marked;
  }
  // Presses F1 in a dialog of the program, as the user would with the dialog in front.
  void PressF1In(QDialog& dialog) {
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    QTest::keyClick(&dialog, Qt::Key_F1);
  }
};

TEST_F(Desktop, CtrlOLoadsTheListOfTheTabShown) {
  StartEnglish();
  Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].kind, platform::FileDialogRequest::Kind::Open);
  EXPECT_EQ(script.fileDialogs[0].fileName, QStringLiteral("Stavka.txt"));

  Tabs()->setCurrentWidget(Tab("TS2"));
  Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[1].fileName, QStringLiteral("System.txt"));

  // The results ask first, as Results > Load does; No leaves them alone.
  Tabs()->setCurrentWidget(Tab("TS3"));
  Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Load new results?")});
  EXPECT_EQ(script.fileDialogs.size(), 2u);

  // The Check and Statistics tabs have no list of their own.
  for (const char* tab : {"TS4", "TS5"}) {
    Tabs()->setCurrentWidget(Tab(tab));
    Press(QKeySequence(Qt::CTRL | Qt::Key_O));
    Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  }
  EXPECT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.messages.size(), 1u);
}

TEST_F(Desktop, CtrlOLoadsAndCtrlSSavesTheStakes) {
  WriteFile(QStringLiteral("mine.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n");
  StartEnglish();
  script.chooseFile(Path(QStringLiteral("mine.txt")));
  Press(QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(form->workspace().StakeCount, 2);

  script.chooseFile(Path(QStringLiteral("saved.txt")));
  Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[1].kind, platform::FileDialogRequest::Kind::Save);
  EXPECT_EQ(ReadFile(QStringLiteral("saved.txt")), ReadFile(QStringLiteral("mine.txt")));

  // On the Results tab Ctrl+S writes nothing: the draws are written only by the download.
  Tabs()->setCurrentWidget(Tab("TS3"));
  Press(QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(script.fileDialogs.size(), 2u);
}

// Drags `urls` over a grid and drops them there, as a file manager does; true when the grid
// accepted the drag.
bool DropOn(platform::StringGrid* grid, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(grid->viewport(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(grid->viewport(), &drop);
  return enter.isAccepted();
}

TEST_F(Desktop, AFileDroppedOnAGridLoadsAsThatListsLoadDoes) {
  WriteFile(QStringLiteral("mine.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,10,11,12;\r\n");
  WriteFile(QStringLiteral("other.txt"), "1 - 2,4,6,8,10,12;\r\n");
  WriteFile(QStringLiteral("draws.txt"), "1 - 3,5,7,9,11,13;\r\n2 - 4,6,8,10,12,14;\r\n");
  StartEnglish();
  const QUrl mine = QUrl::fromLocalFile(Path(QStringLiteral("mine.txt")));

  EXPECT_TRUE(DropOn(Grid("SGStav"), {mine}));
  EXPECT_EQ(form->workspace().StakeCount, 2);
  EXPECT_TRUE(script.messages.empty()) << "an empty list is loaded without a question";

  // Held stakes bring the question of Load; Yes empties the list before the file is read.
  script.answerYes();
  DropOn(Grid("SGStav"), {QUrl::fromLocalFile(Path(QStringLiteral("other.txt")))});
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(form->workspace().StakeCount, 1);
  EXPECT_EQ(Cell("SGStav", 1, 1), QStringLiteral("2"));

  // Two files, a web address or no file at all are not taken.
  script.messages.clear();
  EXPECT_FALSE(DropOn(Grid("SGStav"), {mine, mine}));
  EXPECT_FALSE(DropOn(Grid("SGStav"), {QUrl(QStringLiteral("https://example.org/draws.txt"))}));
  EXPECT_EQ(form->workspace().StakeCount, 1);
  EXPECT_TRUE(script.messages.empty());

  // The system stakes' grid takes its own list.
  EXPECT_TRUE(DropOn(Grid("SGSys"), {mine}));
  EXPECT_EQ(form->workspace().SystemCount, 2);

  // The draws ask first, as Results > Load does: No leaves them, Yes loads the file.
  script.answerNo();
  DropOn(Grid("SGRes"), {QUrl::fromLocalFile(Path(QStringLiteral("draws.txt")))});
  EXPECT_EQ(form->workspace().ResultCount, 0);
  script.answerYes();
  DropOn(Grid("SGRes"), {QUrl::fromLocalFile(Path(QStringLiteral("draws.txt")))});
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_EQ(MessageTexts().count(QStringLiteral("Load new results?")), 2);
}

TEST_F(Desktop, CtrlQExitsWithTheSaveQuestions) {
  WriteFile(QStringLiteral("mine.txt"), "1 - 1,2,3,4,5,6;\r\n");
  StartEnglish();
  form->loadStakesFromFile(Path(QStringLiteral("mine.txt")));
  ASSERT_EQ(form->workspace().StakeCount, 1);
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS1"));
  EXPECT_EQ(Action("N5")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  Press(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // The question came; No closes without saving.
  EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Save stakes before exit?")});
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Desktop, HelpOpensTheHelpFileWhereTheDesktopHasAProgramForIt) {
  StartEnglish();
  Press(QKeySequence(Qt::Key_F1));
  EXPECT_EQ(script.opened,
            (std::vector<platform::ShellCall>{{QString(), Path(QStringLiteral("help.chm")), 9}}));
  EXPECT_EQ(form->helpWindow(), nullptr);
}

TEST_F(Desktop, F1OpensTheHelpWindowAtThePageOfTheTab) {
  script.desktopOpensHelpFiles = false;
  StartEnglish();
  const std::vector<std::pair<const char*, QString>> pages = {
      {"TS1", QStringLiteral("en/entering.html")},
      {"TS2", QStringLiteral("en/lists.html")},
      {"TS3", QStringLiteral("en/files.html")},
      {"TS4", QStringLiteral("en/check.html")},
      {"TS5", QStringLiteral("en/statistics.html")}};
  for (const auto& [tab, page] : pages) {
    Tabs()->setCurrentWidget(Tab(tab));
    Press(QKeySequence(Qt::Key_F1));
    ASSERT_NE(form->helpWindow(), nullptr);
    EXPECT_EQ(form->helpWindow()->currentPage(), page) << tab;
    EXPECT_TRUE(form->helpWindow()->isVisible());
  }
  EXPECT_TRUE(script.opened.empty());
}

TEST_F(Desktop, TheHelpWindowShowsThePagesOfTheLanguage) {
  script.desktopOpensHelpFiles = false;
  StartEnglish();
  Trigger("N4");
  HelpWindow* help = form->helpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->windowTitle(), QStringLiteral("Tallyra Help"));
  const QStringList english = ContentsTitles(*help);
  ASSERT_EQ(english.size(), 22) << english.join(QStringLiteral(", ")).toStdString();
  EXPECT_EQ(english.front(), QStringLiteral("Tallyra Help (English)"));
  EXPECT_TRUE(english.contains(QStringLiteral("Checking a combination")));
  EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Entering stakes")));
  EXPECT_EQ(MarkedPages(*help), QStringList{QStringLiteral("en/entering.html")});
  // The language link keeps to its side of the top strip, apart from the title.
  EXPECT_FALSE(help->browser()->toPlainText().contains(QStringLiteral("РусскийTallyra")));
  EXPECT_FALSE(help->browser()->toPlainText().contains(QStringLiteral("Tallyra HelpРусский")));

  // A page of the contents, a link followed, then back and forward.
  QTreeWidgetItem* statistics = nullptr;
  for (QTreeWidgetItemIterator it(help->contents()); *it; ++it) {
    if ((*it)->text(0) == QStringLiteral("Statistics")) statistics = *it;
  }
  ASSERT_NE(statistics, nullptr);
  emit help->contents()->itemClicked(statistics, 0);
  EXPECT_EQ(help->currentPage(), QStringLiteral("en/statistics.html"));
  EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Statistics")));
  // The link to the same page in the other language, at the top of every page.
  emit help->browser()->anchorClicked(QUrl(QStringLiteral("../ru/statistics.html")));
  EXPECT_EQ(help->currentPage(), QStringLiteral("ru/statistics.html"));
  EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Статистика")));
  EXPECT_EQ(MarkedPages(*help), QStringList()) << "the English contents hold no Russian page";
  auto* back = Find<QToolButton>("HelpBack", help);
  auto* forward = Find<QToolButton>("HelpForward", help);
  EXPECT_EQ(back->accessibleName(), QStringLiteral("Back to the previous page"));
  EXPECT_EQ(forward->accessibleName(), QStringLiteral("Forward to the next page"));
  ASSERT_TRUE(back->isEnabled());
  back->click();
  EXPECT_EQ(help->currentPage(), QStringLiteral("en/statistics.html"));
  EXPECT_EQ(MarkedPages(*help), QStringList{QStringLiteral("en/statistics.html")});
  ASSERT_TRUE(forward->isEnabled());
  forward->click();
  EXPECT_EQ(help->currentPage(), QStringLiteral("ru/statistics.html"));
  // A link within the language, to an anchor of a page, marks that page.
  back->click();
  emit help->browser()->anchorClicked(QUrl(QStringLiteral("wheels.html#top")));
  EXPECT_EQ(MarkedPages(*help), QStringList{QStringLiteral("en/wheels.html")});
  back->click();
  forward->click();
  EXPECT_EQ(MarkedPages(*help), QStringList{QStringLiteral("en/wheels.html")});
  emit help->browser()->anchorClicked(QUrl(QStringLiteral("../ru/statistics.html")));

  // Searching within the page, from the top again after the last find.
  EXPECT_TRUE(help->findInPage(QStringLiteral("M")));
  EXPECT_FALSE(help->findInPage(QStringLiteral("no such words in any page")));
  auto* find = Find<QLineEdit>("HelpFind", help);
  find->setText(QStringLiteral("Статистика"));
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_EQ(help->browser()->textCursor().selectedText(), QStringLiteral("Статистика"));

  // Outside links go to the desktop.
  emit help->browser()->anchorClicked(QUrl(QStringLiteral("http://www.tallyra.example/")));
  EXPECT_EQ(script.opened,
            (std::vector<platform::ShellCall>{
                {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/"), 1}}));
  EXPECT_EQ(help->currentPage(), QStringLiteral("ru/statistics.html"));

  // In Russian the window and its contents are Russian.
  Trigger("Rus");
  Trigger("N4");
  EXPECT_EQ(help->windowTitle(), QStringLiteral("Справка Tallyra"));
  const QStringList russian = ContentsTitles(*help);
  ASSERT_EQ(russian.size(), 22);
  EXPECT_EQ(russian.front(), QStringLiteral("Справка Tallyra (по-русски)"));
  EXPECT_TRUE(russian.contains(QStringLiteral("Проверка комбинации")));
  EXPECT_EQ(help->currentPage(), QStringLiteral("ru/entering.html"));
  EXPECT_EQ(MarkedPages(*help), QStringList{QStringLiteral("ru/entering.html")});
  EXPECT_EQ(back->accessibleName(), QStringLiteral("Назад, к предыдущей странице"));
  EXPECT_EQ(forward->accessibleName(), QStringLiteral("Вперёд, к следующей странице"));
}

TEST_F(Desktop, F1InADialogOpensThePageOfThatDialog) {
  script.desktopOpensHelpFiles = false;
  StartEnglish();
  WriteFile(QStringLiteral("draws.csv"), "1,2,3,4,5,6\n7,8,9,10,11,12\n");
  // Options > Prizes, Check > Wheels and Results > Import wait for their answer.
  const auto f1In = [&](const char* item, const char* dialogName) {
    QString page;
    script.inNextDialog([&](QDialog& dialog) {
      EXPECT_EQ(dialog.objectName(), QString::fromLatin1(dialogName));
      PressF1In(dialog);
      if (HelpWindow* help = form->helpWindow()) page = help->currentPage();
    });
    Trigger(item);
    return page;
  };
  EXPECT_EQ(f1In("PrizesItem", "PrizesDialog"), QStringLiteral("en/prizes.html"));
  EXPECT_EQ(f1In("WheelsItem", "Wheels"), QStringLiteral("en/wheels.html"));
  script.chooseFile(Path(QStringLiteral("draws.csv")));
  EXPECT_EQ(f1In("ImportResultsItem", "ImportDialog"), QStringLiteral("en/import.html"));
  // Check > Winnings stays open beside the window.
  Trigger("WinningsItem");
  QDialog* winnings = FindDialog(QStringLiteral("WinningsDialog"));
  ASSERT_NE(winnings, nullptr);
  PressF1In(*winnings);
  EXPECT_EQ(form->helpWindow()->currentPage(), QStringLiteral("en/winnings.html"));
  EXPECT_TRUE(form->helpWindow()->isVisible());
  winnings->close();

  // In Russian, the Russian page.
  Trigger("Rus");
  EXPECT_EQ(f1In("WheelsItem", "Wheels"), QStringLiteral("ru/wheels.html"));

  // A modal dialog blocks the window's help window, so it gets one of its own.
  HelpWindow* ownHelp = nullptr;
  QString ownPage;
  script.chooseFile(Path(QStringLiteral("draws.csv")));
  script.inNextDialog([&](QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    PressF1In(dialog);
    ownHelp = dialog.findChild<HelpWindow*>();
    if (ownHelp) ownPage = ownHelp->currentPage();
  });
  const QString before = form->helpWindow()->currentPage();
  Trigger("ImportStakesItem");
  ASSERT_NE(ownHelp, nullptr);
  EXPECT_NE(ownHelp, form->helpWindow());
  EXPECT_EQ(ownPage, QStringLiteral("ru/import.html"));
  EXPECT_EQ(form->helpWindow()->currentPage(), before);
  EXPECT_TRUE(script.opened.empty());
}

// The help's files agree with each other: the contents list every page of both languages and
// no other, every page has its twin in the other language, and both help.chm (help.hhp) and
// the help window (help.qrc) take every page and every picture a page shows.
TEST(HelpFiles, EveryPageIsInTheContentsAndTheHelpFileInBothLanguages) {
  const QString root = QStringLiteral(TALLYRA_SOURCE_DIR "/assets/help/");
  const auto read = [&](const QString& name) {
    QFile file(root + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(file.readAll());
  };
  const auto all = [](const QString& text, const char* pattern) {
    QStringList found;
    const QRegularExpression expression(QString::fromLatin1(pattern));
    for (auto it = expression.globalMatch(text); it.hasNext();) found << it.next().captured(1);
    return found;
  };
  QStringList pages;
  for (const QString& language : {QStringLiteral("en"), QStringLiteral("ru")}) {
    for (const QString& file : QDir(root + language).entryList({QStringLiteral("*.html")}))
      pages << language + QLatin1Char('/') + file;
  }
  ASSERT_GE(pages.size(), 40);
  QStringList contents = all(read(QStringLiteral("toc.hhc")), "name=\"Local\" value=\"([^\"]+)\"");
  contents.removeDuplicates();
  contents.sort();
  EXPECT_EQ(contents.join(QLatin1Char(' ')).toStdString(),
            pages.join(QLatin1Char(' ')).toStdString());
  const QString project = read(QStringLiteral("help.hhp"));
  const QStringList projectFiles =
      project.mid(project.indexOf(QStringLiteral("[FILES]"))).split(QLatin1Char('\n'));
  const QStringList resources = all(read(QStringLiteral("help.qrc")), "<file>([^<]+)</file>");
  for (const QString& page : pages) {
    const QString twin =
        (page.startsWith(QStringLiteral("en/")) ? QStringLiteral("ru/") : QStringLiteral("en/")) +
        page.mid(3);
    EXPECT_TRUE(pages.contains(twin)) << twin.toStdString();
    QStringList needed{page};
    for (const QString& picture : all(read(page), "src=\"\\.\\./(images/[^\"]+)\""))
      needed << picture;
    for (const QString& file : needed) {
      EXPECT_TRUE(QFile::exists(root + file)) << file.toStdString();
      EXPECT_TRUE(projectFiles.contains(file)) << "help.hhp lacks " << file.toStdString();
      EXPECT_TRUE(resources.contains(file)) << "help.qrc lacks " << file.toStdString();
    }
  }
}

TEST_F(Desktop, FileDialogsStartInTheFolderUsedLast) {
  StartEnglish();
  const QString data = Path(QString());
  ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("draws"))));
  WriteFile(QStringLiteral("draws/old.txt"), "1 - 1,2,3,4,5,6;\r\n");

  // The first dialog starts in the data folder; the file chosen names the next one's.
  platform::FileDialogOptions options;
  script.chooseFile(Path(QStringLiteral("draws/old.txt")));
  ASSERT_TRUE(platform::GetOpenFileName(nullptr, Files(), options));
  EXPECT_EQ(script.fileDialogs.back().folder, data);
  script.cancelFile();
  EXPECT_FALSE(platform::GetSaveFileName(nullptr, Files(), options));
  EXPECT_EQ(script.fileDialogs.back().folder, Path(QStringLiteral("draws")));
  // A cancelled dialog changes nothing; the folder is kept in preferences.ini, not ini.tly.
  EXPECT_EQ(platform::ReadPreference(Files(), QStringLiteral("files/lastFolder")),
            Path(QStringLiteral("draws")));
  EXPECT_FALSE(ReadFile(QStringLiteral("ini.tly")).contains("draws"));

  // Across a restart of the window, through its own commands.
  form.reset();
  Start();
  Trigger("N6");
  EXPECT_EQ(script.fileDialogs.back().folder, Path(QStringLiteral("draws")));

  // A folder the options name wins; a remembered folder that is gone gives the data folder.
  options.folder = QStringLiteral("/");
  script.cancelFile();
  platform::GetOpenFileName(nullptr, Files(), options);
  EXPECT_EQ(script.fileDialogs.back().folder, QStringLiteral("/"));
  ASSERT_TRUE(QDir(Path(QStringLiteral("draws"))).removeRecursively());
  options.folder.clear();
  platform::GetOpenFileName(nullptr, Files(), options);
  EXPECT_EQ(script.fileDialogs.back().folder, data);
}

}  // namespace
