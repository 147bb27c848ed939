// The list page on a tab of its own, without the main window: what it tells through its
// signals is all the window learns of a change.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "ListFill.h"
#include "dialogs/EntryDialog.h"
#include "model/Workspace.h"
#include "pages/ListPage.h"
#include "platform/DialogScript.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

namespace {

class ListPageAlone : public ::testing::Test {
 protected:
  void SetUp() override {
    ws = tallyra::CreateWorkspace();
    ws->HighestNumber = 49;
    ws->Language = tallyra::ToValue(tallyra::Language::English);
    entry = std::make_unique<EntryDialog>(&owner, [this] { return ws->Language; });
  }
  std::unique_ptr<ListPage> Page(ListKind kind) {
    auto* tab = new QWidget(&owner);
    tab->setObjectName(QStringLiteral("Tab"));
    return std::unique_ptr<ListPage>(new ListPage(
        kind, tab, &owner, *ws, [this] { return ws->Language; }, *entry,
        tallyra::DataFiles(platform::ToLocalPath(folder.path())), openOptions, saveOptions));
  }

  QWidget owner;
  std::unique_ptr<tallyra::Workspace> ws;
  std::unique_ptr<EntryDialog> entry;
  QTemporaryDir folder;  // the data folder, where the file dialogs first start
  platform::FileDialogOptions openOptions;
  platform::FileDialogOptions saveOptions;
  platform::DialogScript script;
};

TEST_F(ListPageAlone, EveryChangeIsSignalledForTheStatusBarAndTheOtherTabs) {
  auto page = Page(ListKind::Stakes);
  QSignalSpy changed(page.get(), &ListPage::listChanged);
  QSignalSpy counts(page.get(), &ListPage::countShown);
  QSignalSpy emptied(page.get(), &ListPage::emptied);
  tallyra::test::FillStakes(*ws, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});

  page->refresh();
  ASSERT_EQ(counts.size(), 1);
  EXPECT_EQ(counts.takeFirst().at(0).toInt(), 2);

  page->tab()->findChild<platform::StringGrid*>(QStringLiteral("SGStav"))->setRow(1);
  script.answerYes();
  page->deleteSelected();
  EXPECT_EQ(ws->StakeCount, 1);
  EXPECT_EQ(ws->StakeTable.cell[1][1], 7) << "the row below moved up";
  EXPECT_EQ(changed.size(), 1);

  // A No leaves the list alone and says nothing.
  page->deleteAll();
  EXPECT_EQ(ws->StakeCount, 1);
  EXPECT_EQ(emptied.size(), 0);

  counts.clear();
  script.answerYes();
  page->deleteAll();
  EXPECT_EQ(ws->StakeCount, 0);
  EXPECT_EQ(emptied.size(), 1);
  ASSERT_EQ(counts.size(), 1);
  EXPECT_EQ(counts.takeFirst().at(0).toInt(), 0);
}

TEST_F(ListPageAlone, EachListSavesUnderItsOwnNameAndASystemPageBringsItsTabForward) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto stakes = Page(ListKind::Stakes);
  auto system = Page(ListKind::SystemStakes);
  QSignalSpy shown(system.get(), &ListPage::showTabRequested);
  EXPECT_TRUE(stakes->save()) << "an empty list has nothing to write";
  EXPECT_TRUE(script.fileDialogs.empty());

  tallyra::test::FillStakes(*ws, {{1, 2, 3, 4, 5, 6}});
  script.chooseFile(dir.filePath(QStringLiteral("a.txt")));
  EXPECT_TRUE(stakes->save());
  tallyra::test::FillSystem(*ws, {{7, 6, 5, 4, 3, 2, 1}});
  script.chooseFile(dir.filePath(QStringLiteral("b.txt")));
  EXPECT_TRUE(system->save());
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[0].fileName, QStringLiteral("Stavka.txt"));
  EXPECT_EQ(script.fileDialogs[1].fileName, QStringLiteral("System.txt"));
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("a.txt"))));
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("b.txt"))));
  EXPECT_EQ(ws->SystemTable.cell[1][1], 1) << "a system stake is lined up before it is saved";

  // Loading brings the tab forward once the file is read.
  script.answerYes();
  script.chooseFile(dir.filePath(QStringLiteral("b.txt")));
  system->load();
  EXPECT_EQ(ws->SystemCount, 1);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown.takeFirst().at(0).value<QWidget*>(), system->tab());
}

}  // namespace
