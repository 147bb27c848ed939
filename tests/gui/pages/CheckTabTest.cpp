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
  void Stakes(std::initializer_list<std::array<int32_t, 6>> rows) {
    int r = 0;
    for (const auto& row : rows) {
      ++r;
      for (int c = 1; c <= 6; ++c)
        ws().StakeTable.cell[c][r] = row[static_cast<std::size_t>(c - 1)];
    }
    ws().StakeCount = r;
    form->RefreshGrids();
  }
  void Draws(std::initializer_list<std::array<int32_t, 6>> rows) {
    int r = 0;
    for (const auto& row : rows) {
      ++r;
      for (int c = 1; c <= 6; ++c)
        ws().ResultTable.cell[c][r] = row[static_cast<std::size_t>(c - 1)];
    }
    ws().ResultCount = r;
    form->RefreshGrids();
  }
  void Systems(std::initializer_list<std::vector<int32_t>> rows) {
    int r = 0;
    for (const auto& row : rows) {
      ++r;
      for (std::size_t c = 0; c < row.size(); ++c) ws().SystemTable.cell[c + 1][r] = row[c];
    }
    ws().SystemCount = r;
    form->RefreshGrids();
  }
  QStringList Counts() {
    return {form->LR6->text(), form->LR5->text(), form->LR4->text(), form->LR3->text()};
  }
  QString Stav(int row, int col) { return form->SGStav->model().cellText(row, col); }
  QString Sys(int row, int col) { return form->SGSys->model().cellText(row, col); }
};

TEST_F(CheckTab, EmptyListsChangeNothing) {
  form->PageControl->setCurrentIndex(2);
  form->BitTest->click();
  form->BitRes->click();
  form->BitSys->click();
  form->BitTestSys->click();
  form->BitAll->click();
  EXPECT_EQ(form->PageControl->currentIndex(), 2);
  EXPECT_EQ(Counts(), (QStringList{QString(), QString(), QString(), QString()}));
}

TEST_F(CheckTab, OneStakeShowsFourZerosGreyed) {
  Stakes({{1, 2, 3, 4, 5, 6}});
  form->BitTest->click();
  EXPECT_EQ(form->PageControl->currentWidget(), form->TS4);
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("0")}));
  for (QLabel* l : {form->LR3, form->LR4, form->LR5, form->LR6, form->Label2, form->Label5}) {
    EXPECT_FALSE(l->isEnabled());
  }
}

TEST_F(CheckTab, StakesWithEachOther) {
  Stakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 40, 41}, {1, 2, 3, 30, 31, 32}});
  form->N9->trigger();
  EXPECT_EQ(form->Lab4->text(), QStringLiteral("1=2 , "));
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("1=3 , 2=3 , "));
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                                   QStringLiteral("2")}));
  EXPECT_TRUE(form->LR4->isEnabled());
  EXPECT_TRUE(form->Label4->isEnabled());
  EXPECT_FALSE(form->LR6->isEnabled());
  EXPECT_EQ(Stav(1, 9), QStringLiteral("1"));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Stav(3, 10), QStringLiteral("2"));
  EXPECT_EQ(Stav(3, 9), QString());
  EXPECT_EQ(ws().MatchCounts, (std::array<int32_t, 4>{2, 1, 0, 0}));
}

TEST_F(CheckTab, StakesWithDrawsAndASecondRunStartsAfresh) {
  Stakes({{1, 2, 3, 40, 41, 42}, {5, 6, 7, 8, 9, 10}});
  Draws({{20, 21, 22, 23, 24, 25},
         {20, 21, 22, 23, 24, 25},
         {20, 21, 22, 23, 24, 25},
         {5, 6, 7, 30, 31, 32},
         {20, 21, 22, 23, 24, 25},
         {20, 21, 22, 23, 24, 25},
         {20, 21, 22, 23, 24, 25},
         {20, 21, 22, 23, 24, 25},
         {10, 9, 8, 33, 34, 35}});
  form->BitRes->click();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("2=4 , 2=9 , "));
  EXPECT_EQ(form->LR3->text(), QStringLiteral("2"));
  EXPECT_EQ(Stav(2, 10), QStringLiteral("2"));
  form->N23->trigger();
  EXPECT_EQ(Stav(2, 10), QStringLiteral("2")) << "counts never accumulate across runs";
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("2=4 , 2=9 , "));
  // With no draws: four zeros and empty lists.
  ws().ResultCount = 0;
  form->BitRes->click();
  EXPECT_EQ(form->LR3->text(), QStringLiteral("0"));
  EXPECT_EQ(form->Lab3->text(), QString());
  EXPECT_EQ(Stav(2, 10), QString());
}

TEST_F(CheckTab, SystemStakesAndCollateAll) {
  Stakes({{1, 2, 3, 10, 11, 12}});
  Systems({{1, 2, 3, 20, 21, 22, 23}});
  Draws({{40, 41, 42, 43, 44, 45},
         {40, 41, 42, 43, 44, 45},
         {40, 41, 42, 43, 44, 45},
         {1, 2, 3, 30, 31, 32}});
  form->BitAll->click();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("Stakes: 1=4 , System stakes: 1=4 , "));
  EXPECT_EQ(form->LR3->text(), QStringLiteral("2"));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Sys(1, 16), QStringLiteral("1"));
  form->Rus->trigger();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("Stakes: 1=4 , System stakes: 1=4 , "))
      << "the text stays as written";
  form->N25->trigger();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("Ставки: 1=4 , Системные ставки: 1=4 , "));

  Systems({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6, 7, 8, 30, 31}});
  form->BitTestSys->click();
  EXPECT_EQ(form->Lab6->text(), QStringLiteral("1=2 , "));
  EXPECT_EQ(Sys(1, 13), QStringLiteral("1"));
  EXPECT_EQ(Sys(2, 13), QStringLiteral("1"));
  form->BitSys->click();  // draw 4 shares 1, 2, 3 with the first and also 30, 31 with the second
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"),
                                   QStringLiteral("1")}));
  EXPECT_EQ(form->Lab5->text(), QStringLiteral("2=4 , "));
}

TEST_F(CheckTab, TheCombinationCheck) {
  Stakes({{1, 2, 3, 10, 11, 12}, {1, 2, 3, 4, 5, 40}});
  Systems({{40, 41, 42, 43, 44, 45, 46},
           {40, 41, 42, 43, 44, 45, 46},
           {40, 41, 42, 43, 44, 45, 46},
           {1, 2, 3, 20, 21, 22, 23}});
  // No combination: nothing happens.
  form->BitTestStav->click();
  form->BitFromComb->click();
  EXPECT_EQ(form->LR3->text(), QString());
  EXPECT_EQ(ws().StakeCount, 2);

  script.inNextDialog([&](QDialog& dialog) {
    const char* numbers[] = {"1", "2", "3", "4", "5", "6"};
    for (int b = 1; b <= 6; ++b)
      Find<QLineEdit>(QStringLiteral("Edit%1").arg(b), &dialog)
          ->setText(QString::fromLatin1(numbers[b - 1]));
    Click(QStringLiteral("BitEnter"), &dialog);
  });
  form->PageControl->setCurrentIndex(0);
  form->N14->trigger();
  EXPECT_EQ(form->L[1]->text(), QStringLiteral("1"));
  EXPECT_EQ(form->L[7]->text(), QString());
  form->N16->trigger();
  EXPECT_EQ(form->PageControl->currentIndex(), 0) << "the check does not switch tabs";
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("Stakes: 1 , "));
  EXPECT_EQ(form->Lab5->text(), QStringLiteral("Stakes: 2 , "));
  EXPECT_EQ(Stav(1, 10), QStringLiteral("1"));
  EXPECT_EQ(Stav(2, 8), QStringLiteral("1"));
  EXPECT_EQ(Counts(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"),
                                   QStringLiteral("1")}));

  form->CheckSys->setChecked(true);
  form->BitTestStav->click();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("Stakes: 1 , ; System stakes: 4 , "));
  EXPECT_EQ(form->Lab5->text(), QStringLiteral("Stakes: 2 , ; System stakes: "));
  EXPECT_EQ(Sys(4, 16), QStringLiteral("1"));

  form->Radio2->setChecked(true);
  EXPECT_FALSE(form->CheckSys->isEnabled());
  EXPECT_TRUE(form->CheckSys->isChecked());
  Draws({{1, 2, 3, 40, 41, 42}});
  form->BitTestStav->click();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("1 , "));
  EXPECT_EQ(Stav(1, 10), QString()) << "a check of the draws empties the stakes' columns";
  EXPECT_EQ(Sys(4, 16), QStringLiteral("1")) << "and leaves the system stakes' ones";
  form->Radio1->setChecked(true);
  EXPECT_TRUE(form->CheckSys->isEnabled());

  form->BitFromComb->click();
  EXPECT_EQ(ws().StakeCount, 3);
  EXPECT_EQ(Stav(3, 6), QStringLiteral("6"));
  form->BitCleanComb->click();
  EXPECT_EQ(form->L[1]->text(), QString());
  EXPECT_EQ(ws().CheckCombination[1], 0);
  EXPECT_EQ(form->LR3->text(), QString());
}

TEST_F(CheckTab, DeleteAllEmptiesThePanelButOneDeletionDoesNot) {
  Stakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 7}, {1, 2, 3, 9, 8, 10}});
  form->BitTest->click();
  form->SGStav->setRow(3);
  script.answerYes();
  form->BitDel->click();
  EXPECT_EQ(form->Lab5->text(), QStringLiteral("1=2 , "));
  script.answerYes();
  form->N22->trigger();
  EXPECT_EQ(form->Lab5->text(), QString());
  EXPECT_FALSE(form->LR5->isEnabled());
}

TEST_F(CheckTab, TheViewerShowsTheWholeListUnderItsCaption) {
  // Fifty stakes sharing 1, 2, 3: every pair is a coincidence of three.
  ws().StakeCount = 50;
  for (int r = 1; r <= 50; ++r) {
    for (int c = 1; c <= 3; ++c) ws().StakeTable.cell[c][r] = c;
    for (int c = 4; c <= 6; ++c) ws().StakeTable.cell[c][r] = 3 * r + c;
  }
  form->RefreshGrids();
  form->BitTest->click();
  EXPECT_EQ(form->LR3->text(), QStringLiteral("1225"));
  const int64_t length = form->MatchLists()[0]->length();
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
  QTest::mouseClick(form->Lab3, Qt::LeftButton);
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
  form->Lab6Click();
  EXPECT_TRUE(script.shownDialogs.empty());
  form->Rus->trigger();
  script.inNextDialog([&](QDialog& dialog) { caption = dialog.windowTitle(); });
  form->Lab3Click();
  EXPECT_EQ(caption, QStringLiteral("Совпадение троек..."));
}

// A list of several pieces is saved whole and in order.
TEST_F(CheckTab, SaveListWritesAListOfManyPiecesWhole) {
  // 1500 stakes sharing 1, 2, 3: over a million coincidences of three, about 12 MB of text.
  ws().StakeCount = 1500;
  for (int r = 1; r <= 1500; ++r) {
    for (int c = 1; c <= 3; ++c) ws().StakeTable.cell[c][r] = c;
    for (int c = 4; c <= 6; ++c) ws().StakeTable.cell[c][r] = 10 + (3 * r + c) % 39;
  }
  form->RefreshGrids();
  form->BitTest->click();
  const tallyra::ListPtr list = form->MatchLists()[0];
  ASSERT_GT(list->length(), int64_t{9} << 20);
  script.inNextDialog([&](QDialog& dialog) {
    script.chooseFile(Path(QStringLiteral("big.txt")));
    Click(QStringLiteral("BitSave"), &dialog);
  });
  form->Lab3Click();
  const QByteArray saved = ReadFile(QStringLiteral("big.txt"));
  ASSERT_EQ(saved.size(), list->length());
  EXPECT_TRUE(saved.toStdString() == list->text());
}

// The labels show the beginning of long lists in whole lines of whole entries.
TEST_F(CheckTab, ListLabelsShowWholeLinesOfWholeEntries) {
  // 60 stakes sharing 1 2 3 with each other: 1770 entries of three, 0 of six.
  for (int r = 1; r <= 60; ++r) {
    const std::array<int32_t, 6> stake{1, 2, 3, 4 + (r % 15), 20 + (r % 7), 30 + (r % 11)};
    for (int c = 1; c <= 6; ++c)
      ws().StakeTable.cell[c][r] = stake[static_cast<std::size_t>(c - 1)];
  }
  ws().StakeCount = 60;
  form->RefreshGrids();
  form->BitTestClick();
  const QString full = QString::fromStdString(form->MatchLists()[0]->slice(0, 4000));
  for (QLabel* label : {form->Lab3, form->Lab4, form->Lab5, form->Lab6}) {
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
  const QStringList lines = form->Lab3->text().split(u'\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(full.startsWith(lines[0] + lines[1]));
  // Another entry would not have fitted on the first line.
  const QString next = full.mid(lines[0].size()).section(u' ', 0, 1);
  EXPECT_GT(QFontMetrics(form->Lab3->font()).horizontalAdvance(lines[0] + next),
            form->Lab3->contentsRect().width());
  // A short list stays as it is.
  Stakes({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 40, 41}, {1, 2, 3, 30, 31, 32}});
  form->BitTestClick();
  EXPECT_EQ(form->Lab3->text(), QStringLiteral("1=3 , 2=3 , "));
}

TEST_F(CheckTab, CountsShareOneTypeSize) {
  // Every pair of 2000 equal stakes coincides: 1 999 000 sixes, no other category.
  for (int r = 1; r <= 2000; ++r)
    for (int c = 1; c <= 6; ++c) ws().StakeTable.cell[c][r] = c;
  ws().StakeCount = 2000;
  form->RefreshGrids();
  form->BitTestClick();
  EXPECT_EQ(form->LR6->text(), QStringLiteral("1999000"));
  const int size = form->LR6->font().pixelSize();
  EXPECT_LT(size, 24) << "a long count shrinks";
  for (QLabel* count : {form->LR3, form->LR4, form->LR5}) {
    EXPECT_EQ(count->text(), QStringLiteral("0"));
    EXPECT_EQ(count->font().pixelSize(), size) << count->objectName().toStdString();
  }
  EXPECT_LE(QFontMetrics(form->LR6->font()).horizontalAdvance(form->LR6->text()),
            form->LR6->width());
}

}  // namespace
