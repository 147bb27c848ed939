#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "GuiFixture.h"
#include "dialogs/ListTextView.h"

namespace {

class CheckTab : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  tallyra::Workspace& ws() { return form->workspace(); }
  QStringList Counts() {
    return {Label("LR6")->text(), Label("LR5")->text(), Label("LR4")->text(), Label("LR3")->text()};
  }
  QString Stav(int row, int col) { return Grid("SGStav")->model().cellText(row, col); }
  QString Sys(int row, int col) { return Grid("SGSys")->model().cellText(row, col); }
};

TEST_F(CheckTab, EmptyListsChangeNothing) {
  Tabs()->setCurrentIndex(2);
  Click("BitTest");
  Click("BitRes");
  Click("BitSys");
  Click("BitTestSys");
  Click("BitAll");
  EXPECT_EQ(Tabs()->currentIndex(), 2);
  EXPECT_EQ(Counts(), (QStringList{QString(), QString(), QString(), QString()}));
}

TEST_F(CheckTab, OneStakeShowsFourZerosGreyed) {
  FillStakes({{1, 2, 3, 4, 5, 6}});
  Click("BitTest");
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS4"));
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("0")}));
  for (QLabel* l :
       {Label("LR3"), Label("LR4"), Label("LR5"), Label("LR6"), Label("Label2"), Label("Label5")}) {
    EXPECT_FALSE(l->isEnabled());
  }
}

TEST_F(CheckTab, StakesWithEachOther) {
  FillStakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 40, 41}, {1, 2, 3, 30, 31, 32}});
  Trigger("N9");
  EXPECT_EQ(ClickLabel("Lab4")->text(), QStringLiteral("1=2 , "));
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("1=3 , 2=3 , "));
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                                   QStringLiteral("2")}));
  EXPECT_TRUE(Label("LR4")->isEnabled());
  EXPECT_TRUE(Label("Label4")->isEnabled());
  EXPECT_FALSE(Label("LR6")->isEnabled());
  EXPECT_EQ(Stav(1, 9), QStringLiteral("1"));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Stav(3, 10), QStringLiteral("2"));
  EXPECT_EQ(Stav(3, 9), QString());
  EXPECT_EQ(ws().MatchCounts, (std::array<int32_t, 4>{2, 1, 0, 0}));
}

TEST_F(CheckTab, StakesWithDrawsAndASecondRunStartsAfresh) {
  FillStakes({{1, 2, 3, 40, 41, 42}, {5, 6, 7, 8, 9, 10}});
  FillDraws({{20, 21, 22, 23, 24, 25},
             {20, 21, 22, 23, 24, 25},
             {20, 21, 22, 23, 24, 25},
             {5, 6, 7, 30, 31, 32},
             {20, 21, 22, 23, 24, 25},
             {20, 21, 22, 23, 24, 25},
             {20, 21, 22, 23, 24, 25},
             {20, 21, 22, 23, 24, 25},
             {10, 9, 8, 33, 34, 35}});
  Click("BitRes");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("2=4 , 2=9 , "));
  EXPECT_EQ(Label("LR3")->text(), QStringLiteral("2"));
  EXPECT_EQ(Stav(2, 10), QStringLiteral("2"));
  Trigger("N23");
  EXPECT_EQ(Stav(2, 10), QStringLiteral("2")) << "counts never accumulate across runs";
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("2=4 , 2=9 , "));
  // With no draws: four zeros and empty lists.
  FillDraws({});
  Click("BitRes");
  EXPECT_EQ(Label("LR3")->text(), QStringLiteral("0"));
  EXPECT_EQ(ClickLabel("Lab3")->text(), QString());
  EXPECT_EQ(Stav(2, 10), QString());
}

TEST_F(CheckTab, SystemStakesAndCollateAll) {
  FillStakes({{1, 2, 3, 10, 11, 12}});
  FillSystem({{1, 2, 3, 20, 21, 22, 23}});
  FillDraws({{40, 41, 42, 43, 44, 45},
             {40, 41, 42, 43, 44, 45},
             {40, 41, 42, 43, 44, 45},
             {1, 2, 3, 30, 31, 32}});
  Click("BitAll");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("Stakes: 1=4 , System stakes: 1=4 , "));
  EXPECT_EQ(Label("LR3")->text(), QStringLiteral("2"));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Sys(1, 16), QStringLiteral("1"));
  Trigger("Rus");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("Stakes: 1=4 , System stakes: 1=4 , "))
      << "the text stays as written";
  Trigger("N25");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("Ставки: 1=4 , Системные ставки: 1=4 , "));

  FillSystem({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6, 7, 8, 30, 31}});
  Click("BitTestSys");
  EXPECT_EQ(ClickLabel("Lab6")->text(), QStringLiteral("1=2 , "));
  EXPECT_EQ(Sys(1, 13), QStringLiteral("1"));
  EXPECT_EQ(Sys(2, 13), QStringLiteral("1"));
  Click("BitSys");  // draw 4 shares 1, 2, 3 with the first and also 30, 31 with the second
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"),
                                   QStringLiteral("1")}));
  EXPECT_EQ(ClickLabel("Lab5")->text(), QStringLiteral("2=4 , "));
}

TEST_F(CheckTab, TheCombinationCheck) {
  FillStakes({{1, 2, 3, 10, 11, 12}, {1, 2, 3, 4, 5, 40}});
  FillSystem({{40, 41, 42, 43, 44, 45, 46},
              {40, 41, 42, 43, 44, 45, 46},
              {40, 41, 42, 43, 44, 45, 46},
              {1, 2, 3, 20, 21, 22, 23}});
  // No combination: nothing happens.
  Click("BitTestStav");
  Click("BitFromComb");
  EXPECT_EQ(Label("LR3")->text(), QString());
  EXPECT_EQ(ws().StakeCount, 2);

  script.inNextDialog([&](QDialog& dialog) {
    const char* numbers[] = {"1", "2", "3", "4", "5", "6"};
    for (int b = 1; b <= 6; ++b)
      Find<QLineEdit>(QStringLiteral("Edit%1").arg(b), &dialog)
          ->setText(QString::fromLatin1(numbers[b - 1]));
    Click(QStringLiteral("BitEnter"), &dialog);
  });
  Tabs()->setCurrentIndex(0);
  Trigger("N14");
  EXPECT_EQ(CheckLabel(1)->text(), QStringLiteral("1"));
  EXPECT_EQ(CheckLabel(7)->text(), QString());
  Trigger("N16");
  EXPECT_EQ(Tabs()->currentIndex(), 0) << "the check does not switch tabs";
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("Stakes: 1 , "));
  EXPECT_EQ(ClickLabel("Lab5")->text(), QStringLiteral("Stakes: 2 , "));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Stav(2, 8), QStringLiteral("1"));
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"),
                                   QStringLiteral("1")}));

  CheckBox("CheckSys")->setChecked(true);
  Click("BitTestStav");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("Stakes: 1 , ; System stakes: 4 , "));
  EXPECT_EQ(ClickLabel("Lab5")->text(), QStringLiteral("Stakes: 2 , ; System stakes: "));
  EXPECT_EQ(Sys(4, 16), QStringLiteral("1"));

  Radio("Radio2")->setChecked(true);
  EXPECT_FALSE(CheckBox("CheckSys")->isEnabled());
  EXPECT_TRUE(CheckBox("CheckSys")->isChecked());
  FillDraws({{1, 2, 3, 40, 41, 42}});
  Click("BitTestStav");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("1 , "));
  EXPECT_EQ(Stav(1, 10), QString()) << "a check of the draws empties the stakes' columns";
  EXPECT_EQ(Sys(4, 16), QStringLiteral("1")) << "and leaves the system stakes' ones";
  Radio("Radio1")->setChecked(true);
  EXPECT_TRUE(CheckBox("CheckSys")->isEnabled());

  Click("BitFromComb");
  EXPECT_EQ(ws().StakeCount, 3);
  EXPECT_EQ(Stav(3, 6), QStringLiteral("6"));
  Click("BitCleanComb");
  EXPECT_EQ(CheckLabel(1)->text(), QString());
  EXPECT_EQ(ws().CheckCombination[1], 0);
  EXPECT_EQ(Label("LR3")->text(), QString());
}

TEST_F(CheckTab, DeleteAllEmptiesThePanelButOneDeletionDoesNot) {
  FillStakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 7}, {1, 2, 3, 9, 8, 10}});
  Click("BitTest");
  Grid("SGStav")->setRow(3);
  script.answerYes();
  Click("BitDel");
  EXPECT_EQ(ClickLabel("Lab5")->text(), QStringLiteral("1=2 , "));
  script.answerYes();
  Trigger("N22");
  EXPECT_EQ(ClickLabel("Lab5")->text(), QString());
  EXPECT_FALSE(Label("LR5")->isEnabled());
}

TEST_F(CheckTab, TheViewerShowsTheWholeListUnderItsCaption) {
  // Fifty stakes sharing 1, 2, 3: every pair is a coincidence of three.
  tallyra::test::Rows stakes;
  for (int r = 1; r <= 50; ++r) stakes.push_back({1, 2, 3, 3 * r + 4, 3 * r + 5, 3 * r + 6});
  FillStakes(stakes);
  Click("BitTest");
  EXPECT_EQ(Label("LR3")->text(), QStringLiteral("1225"));
  const int64_t length = form->matchLists()[0]->length();
  QString caption;
  QStringList first, last;
  script.inNextDialog([&](QDialog& dialog) {
    caption = dialog.windowTitle();
    auto* text = Find<ListTextView>(QStringLiteral("Memo"), &dialog);
    ASSERT_NE(text, nullptr);
    text->resize(479, 386);
    first = text->visibleLines();
    text->scrollToEnd();
    last = text->visibleLines();
    // A line up and a line down move by whole lines, the same lines.
    text->lineUp();
    const QStringList up = text->visibleLines();
    EXPECT_EQ(up.mid(1), last.mid(0, last.size() - 1));
    text->lineDown();
    EXPECT_EQ(text->visibleLines(), last);
    text->scrollToOffset(length / 2);
    const QStringList middle = text->visibleLines();
    text->lineDown();
    text->lineUp();
    EXPECT_EQ(text->visibleLines(), middle);
    text->selectAll();
    EXPECT_EQ(text->selectedText().size(), length);
    script.chooseFile(Path(QStringLiteral("list.txt")));
    Click(QStringLiteral("BitSave"), &dialog);
  });
  QTest::mouseClick(ClickLabel("Lab3"), Qt::LeftButton);
  EXPECT_EQ(caption, QStringLiteral("Coincidence of three..."));
  ASSERT_FALSE(first.isEmpty());
  EXPECT_TRUE(first[0].startsWith(QStringLiteral("1=2 , 1=3 , ")));
  EXPECT_TRUE(last.last().endsWith(QStringLiteral("49=50 , ")));
  EXPECT_EQ(last.size(), first.size()) << "the end fills the window";
  for (const QString& line : first)
    EXPECT_TRUE(line.endsWith(QStringLiteral(", "))) << line.toStdString();
  EXPECT_EQ(ReadFile(QStringLiteral("list.txt")).size(), length);
  EXPECT_TRUE(ReadFile(QStringLiteral("list.txt")).startsWith("1=2 , 1=3 , "));
  // An empty list opens nothing.
  script.shownDialogs.clear();
  QTest::mouseClick(ClickLabel("Lab6"), Qt::LeftButton);
  EXPECT_TRUE(script.shownDialogs.empty());
  Trigger("Rus");
  script.inNextDialog([&](QDialog& dialog) { caption = dialog.windowTitle(); });
  QTest::mouseClick(ClickLabel("Lab3"), Qt::LeftButton);
  EXPECT_EQ(caption, QStringLiteral("Совпадение троек..."));
}

// A list of several pieces is saved whole and in order.
TEST_F(CheckTab, SaveListWritesAListOfManyPiecesWhole) {
  // 1500 stakes sharing 1, 2, 3: over a million coincidences of three, about 12 MB of text.
  tallyra::test::Rows stakes;
  for (int r = 1; r <= 1500; ++r) {
    stakes.push_back(
        {1, 2, 3, 10 + (3 * r + 4) % 39, 10 + (3 * r + 5) % 39, 10 + (3 * r + 6) % 39});
  }
  FillStakes(stakes);
  Click("BitTest");
  const tallyra::ListPtr list = form->matchLists()[0];
  ASSERT_GT(list->length(), int64_t{9} << 20);
  script.inNextDialog([&](QDialog& dialog) {
    script.chooseFile(Path(QStringLiteral("big.txt")));
    Click(QStringLiteral("BitSave"), &dialog);
  });
  QTest::mouseClick(ClickLabel("Lab3"), Qt::LeftButton);
  const QByteArray saved = ReadFile(QStringLiteral("big.txt"));
  ASSERT_EQ(saved.size(), list->length());
  EXPECT_TRUE(saved.toStdString() == list->text());
}

// The labels show the beginning of long lists in whole lines of whole entries.
TEST_F(CheckTab, ListLabelsShowWholeLinesOfWholeEntries) {
  // 60 stakes sharing 1 2 3 with each other: 1770 entries of three, 0 of six.
  tallyra::test::Rows stakes;
  for (int r = 1; r <= 60; ++r) stakes.push_back({1, 2, 3, 4 + r % 15, 20 + r % 7, 30 + r % 11});
  FillStakes(stakes);
  Click("BitTest");
  const QString full = QString::fromStdString(form->matchLists()[0]->slice(0, 4000));
  for (QLabel* label :
       {ClickLabel("Lab3"), ClickLabel("Lab4"), ClickLabel("Lab5"), ClickLabel("Lab6")}) {
    const QString text = label->text();
    if (text.isEmpty()) continue;
    const QStringList lines = text.split(u'\n');
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_GE(room.left(), 3) << "the text keeps off the edge";
    // As many lines as the label shows whole: one in the low labels, two in the high ones.
    EXPECT_EQ(lines.size(), label->height() > 30 ? 2 : 1) << text.toStdString();
    EXPECT_LE(metrics.height() + (lines.size() - 1) * metrics.lineSpacing(), room.height());
    for (const QString& line : lines) {
      EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), room.width()) << line.toStdString();
      EXPECT_FALSE(line.startsWith(u',')) << line.toStdString();
      EXPECT_TRUE(line.endsWith(QStringLiteral(" , "))) << "whole entries: " << line.toStdString();
    }
  }
  // The lines are the list's beginning.
  const QStringList lines = ClickLabel("Lab3")->text().split(u'\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(full.startsWith(lines[0] + lines[1]));
  // Another entry would not have fitted on the first line.
  const QString next = full.mid(lines[0].size()).section(u' ', 0, 1);
  EXPECT_GT(QFontMetrics(ClickLabel("Lab3")->font()).horizontalAdvance(lines[0] + next),
            ClickLabel("Lab3")->contentsRect().width());
  // A short list stays as it is.
  FillStakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 40, 41}, {1, 2, 3, 30, 31, 32}});
  Click("BitTest");
  EXPECT_EQ(ClickLabel("Lab3")->text(), QStringLiteral("1=3 , 2=3 , "));
}

TEST_F(CheckTab, CountsShareOneTypeSize) {
  // Every pair of 2000 equal stakes coincides: 1 999 000 sixes, no other category.
  FillStakes(tallyra::test::Repeated(2000, {1, 2, 3, 4, 5, 6}));
  Click("BitTest");
  EXPECT_EQ(Label("LR6")->text(), QStringLiteral("1999000"));
  const int size = Label("LR6")->font().pixelSize();
  EXPECT_LT(size, 24) << "a long count shrinks";
  for (QLabel* count : {Label("LR3"), Label("LR4"), Label("LR5")}) {
    EXPECT_EQ(count->text(), QStringLiteral("0"));
    EXPECT_EQ(count->font().pixelSize(), size) << count->objectName().toStdString();
  }
  EXPECT_LE(QFontMetrics(Label("LR6")->font()).horizontalAdvance(Label("LR6")->text()),
            Label("LR6")->width());
}

}  // namespace
