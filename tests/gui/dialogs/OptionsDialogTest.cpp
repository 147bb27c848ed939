#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiFixture.h"
#include "pages/TwelveNumbers.h"
#include "platform/Preferences.h"

namespace {

class Options : public TwelveNumbers {
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

TEST_F(Options, TheGameIsNamedBesideMAndKeptInThePreferences) {
  // The game chosen last has M 49; the window plays 6 of 12, which no game is.
  platform::WritePreference(Files(), QStringLiteral("game/profile"),
                            QStringLiteral("german-6aus49"));
  script.inNextDialog([&](QDialog&) {
    QLabel* name = Find<QLabel>(QStringLiteral("GameName"), Dialog());
    EXPECT_EQ(name->text(), QStringLiteral("6 of 12"));
    ChangeButton()->click();
    HighestBox()->setText(QStringLiteral("49"));
    EXPECT_EQ(name->text(), QStringLiteral("German Lotto 6 aus 49")) << "the one chosen";
    HighestBox()->setText(QStringLiteral("57"));
    EXPECT_EQ(name->text(), QStringLiteral("6 of 57"));
    HighestBox()->setText(QStringLiteral("59"));
    EXPECT_EQ(name->text(), QStringLiteral("UK Lotto"));
    ChangeButton()->click();
  });
  Trigger("Y1");
  EXPECT_EQ(form->workspace().HighestNumber, 59);
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("59\r\n1\r\n")) << "M alone";
  EXPECT_EQ(platform::ReadPreference(Files(), QStringLiteral("game/profile")),
            QStringLiteral("uk-lotto"));
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

}  // namespace
