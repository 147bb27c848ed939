#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "GuiFixture.h"
#include "platform/MessageBox.h"

namespace {

class Entry : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    StartEnglish();
  }
  QDialog* Dialog() const { return FindDialog(QStringLiteral("EnterForm")); }
  QLineEdit* Box(int box) const {
    return Find<QLineEdit>(QStringLiteral("Edit%1").arg(box), Dialog());
  }
  QCheckBox* SystemBox() const { return Find<QCheckBox>(QStringLiteral("CheckBox"), Dialog()); }
  QPushButton* EnterButton() const {
    return Find<QPushButton>(QStringLiteral("BitEnter"), Dialog());
  }
  QPushButton* ClearButton() const {
    return Find<QPushButton>(QStringLiteral("BitClean"), Dialog());
  }
  // Types the numbers into boxes 1.. in order.
  void Type(std::initializer_list<const char*> values) const {
    int b = 1;
    for (const char* v : values) Box(b++)->setText(QString::fromLatin1(v));
  }
  void Press(int box, int key) const { QTest::keyClick(Box(box), Qt::Key(key)); }
  std::vector<int32_t> StakeRow(int row) const {
    std::vector<int32_t> v;
    for (int c = 1; c <= 6; ++c) v.push_back(form->workspace().StakeTable.cell[c][row]);
    return v;
  }
  std::vector<int32_t> SystemRow(int row) const {
    std::vector<int32_t> v;
    for (int c = 1; c <= 12; ++c) v.push_back(form->workspace().SystemTable.cell[c][row]);
    return v;
  }
};

using V = std::vector<int32_t>;

TEST_F(Entry, StakesAreTypedInARowWithEnter) {
  bool openAfter = false;
  QWidget* focusAfter = nullptr;
  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter stake"));
    EXPECT_EQ(EnterButton()->text(), QStringLiteral("Enter"));
    EXPECT_TRUE(Box(7)->isReadOnly());
    Type({"5", "12", "17", "23", "38", "41"});
    for (int b = 1; b <= 5; ++b) {
      Press(b, Qt::Key_Return);
      EXPECT_EQ(dialog.focusWidget(), Box(b + 1));
    }
    Press(6, Qt::Key_Return);
    openAfter = dialog.isVisible();
    focusAfter = dialog.focusWidget();
    EXPECT_TRUE(Box(1)->text().isEmpty());
    Type({"1", "2", "3", "4", "5", "6"});
    EnterButton()->click();
  });
  Click("BitEnter");
  EXPECT_TRUE(openAfter);
  EXPECT_EQ(focusAfter, Box(1));
  EXPECT_EQ(form->workspace().StakeCount, 2);
  EXPECT_EQ(StakeRow(1), (V{5, 12, 17, 23, 38, 41}));
  EXPECT_EQ(StakeRow(2), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("2"));
  EXPECT_EQ(Grid("SGStav")->model().cellText(2, 6), QStringLiteral("6"));
  EXPECT_TRUE(script.messages.empty());
  EXPECT_TRUE(Box(1)->text().isEmpty()) << "nothing typed is kept across openings";
}

TEST_F(Entry, ABadEntryShowsOneMessageAndKeepsTheTexts) {
  script.inNextDialog([&](QDialog& dialog) {
    Type({"1", "2", "", "4", "5", "6"});
    EnterButton()->click();
    Type({"1", "50", "3", "4", "5", "6"});
    EnterButton()->click();
    Type({"7", "7", "1", "2", "3", "4"});
    EnterButton()->click();
    Type({"x", "7", "1", "2", "3", "4"});
    Press(6, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Box(1)->text(), QStringLiteral("x"));
  });
  Click("BitEnter");
  EXPECT_EQ(MessageTexts(), (QStringList{QStringLiteral("Not all  margins are filled!"),
                                         QStringLiteral("Inserted values are incorrect"),
                                         QStringLiteral("Inserted values cannot coincide"),
                                         QStringLiteral("Insertion of symbols is impossible")}));
  EXPECT_EQ(form->workspace().StakeCount, 0);
}

TEST_F(Entry, TheBoxSwitchesBetweenStakesAndSystemStakes) {
  script.inNextDialog([&](QDialog& dialog) {
    SystemBox()->setChecked(true);
    EXPECT_EQ(Tabs()->currentWidget(), Tab("TS2"));
    EXPECT_FALSE(Box(7)->isReadOnly());
    EXPECT_EQ(dialog.focusWidget(), Box(7));
    Type({"9", "3", "41", "17", "25", "1", "33", "", "40"});
    Press(6, Qt::Key_Return);  // box ticked: on to the extra boxes
    EXPECT_EQ(dialog.focusWidget(), Box(7));
    Press(12, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());

    Box(7)->setText(QStringLiteral("5"));
    SystemBox()->setChecked(false);
    EXPECT_EQ(Tabs()->currentWidget(), Tab("TS1"));
    EXPECT_TRUE(Box(7)->text().isEmpty());
    EXPECT_TRUE(Box(7)->isReadOnly());
    EXPECT_EQ(dialog.focusWidget(), Box(1));
    Type({"1", "2", "3", "4", "5", "6"});
    EnterButton()->click();
  });
  Click("BitEnter");
  EXPECT_EQ(form->workspace().SystemCount, 1);
  EXPECT_EQ(SystemRow(1), (V{9, 3, 41, 17, 25, 1, 33, 0, 40, 0, 0, 0}));
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 8), QString());
  EXPECT_EQ(Grid("SGSys")->model().cellText(1, 9), QStringLiteral("40"));
  EXPECT_EQ(form->workspace().StakeCount, 1);
}

TEST_F(Entry, ASystemStakeNeedsItsSeventhNumber) {
  script.inNextDialog([&](QDialog&) {
    Type({"1", "2", "3", "4", "5", "6", "", "8"});
    EnterButton()->click();
    Type({"1", "2", "3", "4", "5", "6", "06"});
    EnterButton()->click();
  });
  Click("BitEnterSys");
  EXPECT_EQ(MessageTexts(),
            (QStringList{QStringLiteral("A system stake needs at least seven numbers"),
                         QStringLiteral("Inserted values cannot coincide")}));
  EXPECT_EQ(form->workspace().SystemCount, 0);
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS2"));
}

TEST_F(Entry, AFullListRefusesTheEntry) {
  FillStakes(tallyra::test::Repeated(99999, {1, 2, 3, 4, 5, 6}));
  script.inNextDialog([&](QDialog&) {
    Type({"1", "2", "3", "4", "5", "6"});
    EnterButton()->click();
  });
  Click("BitEnter");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(QStringLiteral("The list of stakes is full")));
  EXPECT_EQ(form->workspace().StakeCount, 99999);
}

TEST_F(Entry, EditingAStakeFromTheGridAndCancellingIt) {
  FillStakes({{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}});
  Grid("SGStav")->setRow(2);

  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit the stakes"));
    EXPECT_EQ(EnterButton()->text(), QStringLiteral("&Save"));
    EXPECT_FALSE(SystemBox()->isEnabled());
    EXPECT_EQ(Box(1)->text(), QStringLiteral("11"));
    Box(1)->setText(QStringLiteral("40"));
    QTest::keyClick(Box(3), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
  });
  QTest::keyClick(Grid("SGStav"), Qt::Key_Return);
  EXPECT_EQ(script.shownDialogs, std::vector<QString>{QStringLiteral("EnterForm")});
  EXPECT_EQ(StakeRow(2), (V{11, 12, 13, 14, 15, 16}));

  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_TRUE(Box(2)->text() == QStringLiteral("12"));
    Box(1)->setText(QStringLiteral("40"));
    Press(6, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
  });
  Trigger("N19");
  EXPECT_EQ(StakeRow(2), (V{40, 12, 13, 14, 15, 16}));
  EXPECT_EQ(Grid("SGStav")->model().cellText(2, 1), QStringLiteral("40"));
  EXPECT_EQ(Dialog()->windowTitle(), QStringLiteral("Stakes insertion"));
  EXPECT_EQ(EnterButton()->text(), QStringLiteral("Add"));
  EXPECT_TRUE(SystemBox()->isEnabled());
}

TEST_F(Entry, EditingASystemStakeKeepsTheBoxTicked) {
  FillSystem({{1, 2, 3, 4, 5, 6, 7, 8}});
  script.inNextDialog([&](QDialog&) {
    EXPECT_TRUE(SystemBox()->isChecked());
    EXPECT_FALSE(SystemBox()->isEnabled());
    EXPECT_EQ(Box(8)->text(), QStringLiteral("8"));
    EXPECT_TRUE(Box(9)->text().isEmpty());
    Box(8)->clear();
    Box(10)->setText(QStringLiteral("30"));
    EnterButton()->click();
  });
  Tabs()->setCurrentIndex(0);
  QTest::keyClick(Grid("SGSys"), Qt::Key_Return);
  EXPECT_EQ(SystemRow(1), (V{1, 2, 3, 4, 5, 6, 7, 0, 0, 30, 0, 0}));
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS2"));
}

TEST_F(Entry, TheCheckCombinationTakesSixOrMoreNumbers) {
  auto& ws = form->workspace();
  ws.CheckCombination.fill(9);
  Tabs()->setCurrentWidget(Tab("TS4"));
  script.inNextDialog([&](QDialog&) {
    Type({"1", "2", "3", "4", "5", "6"});
    EnterButton()->click();
  });
  Click("BitComb");
  EXPECT_EQ(ws.CheckCombination[6], 6);
  for (int k = 7; k <= 12; ++k) EXPECT_EQ(ws.CheckCombination[k], 0);

  script.inNextDialog([&](QDialog&) {
    SystemBox()->setChecked(true);
    EXPECT_EQ(Tabs()->currentWidget(), Tab("TS4")) << "the box keeps to the combination";
    Type({"1", "2", "3", "4", "5", "6", "7"});
    EnterButton()->click();
  });
  Click("BitComb");
  EXPECT_EQ(ws.CheckCombination[7], 7);
  EXPECT_EQ(Tabs()->currentWidget(), Tab("TS4"));
}

TEST_F(Entry, TheDialogFollowsTheLanguageWhenNextShown) {
  Trigger("Rus");
  QString title, clean;
  script.inNextDialog([&](QDialog& dialog) {
    title = dialog.windowTitle();
    clean = ClearButton()->text();
  });
  Click("BitEnter");
  EXPECT_EQ(title, QStringLiteral("Ввод ставки"));
  EXPECT_EQ(clean, QStringLiteral("Очистить"));
}

}  // namespace
