#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "GuiFixture.h"

namespace {

class Language : public GuiTest {
 protected:
  MainWindow& StartIn(const char* settings) {
    WriteFile(QStringLiteral("ini.tly"), settings);
    WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
    return Start();
  }
  QStringList MenuCaptions() {
    QStringList captions;
    for (QMenu* m : {Menu("N1"), Menu("C1"), Menu("N2"), Menu("N13"), Menu("N3"), Menu("N43"),
                     Menu("Language1"), Menu("Help")}) {
      captions << m->title();
    }
    for (QAction* a :
         {Action("N6"),  Action("N7"),  Action("N9"),  Action("N22"), Action("N31"), Action("N32"),
          Action("N34"), Action("N35"), Action("N10"), Action("N42"), Action("N23"), Action("N24"),
          Action("N25"), Action("N14"), Action("N16"), Action("Eng"), Action("Rus"), Action("Y1"),
          Action("N4"),  Action("N11"), Action("N5"),  Action("N17"), Action("N18"), Action("N19"),
          Action("N21"), Action("N26"), Action("N27"), Action("N28"), Action("N30"), Action("N37"),
          Action("N38"), Action("N39")}) {
      captions << a->text();
    }
    return captions;
  }
};

TEST_F(Language, SwitchingToEnglishRecaptionsTheWholeWindow) {
  MainWindow& f = StartIn("49\r\n0\r\n");
  EXPECT_EQ(Menu("N1")->title(), QStringLiteral("&Ставки"));
  EXPECT_FALSE(ClickLabel("Image2")->isVisibleTo(&f));
  Trigger("Eng");

  EXPECT_EQ(MenuCaptions().join(u'|'),
            QStringLiteral("&Stakes|System &game|&Results|&Collate with...|&Check|O&ptions|"
                           "Language|&Help|&Load|&Save|Co&llate|&Delete all|&Load|&Save|Co&llate|"
                           "&Delete all|&Load|&From Internet|&stakes|s&ystem stakes|&All|"
                           "Enter &result|Check the &stakes|&English|&Russian|&Preferences|&Help|"
                           "&About program|E&xit|Add|Delete|Edit|Line up|Add|Delete|Edit|Line up|"
                           "In order|By frequency|By draws"));
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Work with the results of lotteries"));
  EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Made stakes -"));
  EXPECT_EQ(StatusPanel(2)->text(), QStringLiteral("System stakes -"));
  EXPECT_EQ(StatusPanel(4)->text(), QStringLiteral("Loaded draws -"));
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("1")) << "counts keep their contents";
  EXPECT_TRUE(ClickLabel("Image2")->isVisibleTo(&f));
  EXPECT_TRUE(Action("Eng")->isChecked());
  EXPECT_FALSE(Action("Rus")->isChecked());
  EXPECT_EQ(Tabs()->tabText(0), QStringLiteral("Stakes "));
  EXPECT_EQ(Button("BitSys")->text(), QStringLiteral("Collate with system stakes"));
  EXPECT_EQ(Group("GroupBox1")->title(), QStringLiteral(" Results of checking "));
  EXPECT_EQ(ClickLabel("Lab3")->toolTip(), QStringLiteral("Click for complete list"));
  script.cancelFile();
  Trigger("N6");
  FillStakes({{1, 2, 3, 4, 5, 6}});
  script.cancelFile();
  Trigger("N7");
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[0].title, QStringLiteral("Stakes loading out of file"));
  EXPECT_EQ(script.fileDialogs[1].title, QStringLiteral("Save stakes in file"));
  EXPECT_EQ(Grid("SGRes")->model().header(0), QStringLiteral("  Draw"));
  EXPECT_EQ(Grid("SGStat")->model().header(4), QStringLiteral("    Passed draws"));
  EXPECT_EQ(Grid("SGStav")->model().header(0), QStringLiteral("    №"));
  EXPECT_EQ(Grid("SGSys")->model().header(13), QStringLiteral("  6..."));
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n1\r\n"));

  Trigger("Rus");
  EXPECT_FALSE(ClickLabel("Image2")->isVisibleTo(&f));
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Работа с результатами лотерей"));
  EXPECT_EQ(StatusPanel(4)->text(), QStringLiteral("Загружено тиражей -"));
  EXPECT_EQ(Menu("Help")->title(), Action("N4")->text());
  EXPECT_EQ(Menu("Language1")->title(), QStringLiteral("Language"));
  EXPECT_EQ(Action("Eng")->text(), QStringLiteral("&English"));
  EXPECT_EQ(Grid("SGRes")->model().header(0), QStringLiteral(" Тираж"));
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n0\r\n"));
}

TEST_F(Language, QtsOwnButtonTextsFollowTheLanguage) {
  StartIn("49\r\n1\r\n");
  auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
  Trigger("Rus");
  EXPECT_EQ(yes(), QStringLiteral("&Да"));
  Trigger("Eng");
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}

TEST_F(Language, ChoosingTheLanguageInUseRewritesTheSameFile) {
  StartIn("36\n1\n");
  Trigger("Eng");
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("36\r\n1\r\n"));
  EXPECT_TRUE(Action("Eng")->isChecked());
}

TEST_F(Language, MessagesAfterASwitchUseTheNewLanguage) {
  StartIn("49\r\n1\r\n");
  Trigger("Rus");
  Trigger("N10");  // answered No by the script
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Загрузить новые результаты?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Загрузка результатов тиражей"));
}

TEST_F(Language, AFailedSettingsWriteIsShownAndTheLanguageStillChanges) {
  MainWindow& f = StartIn("49\r\n1\r\n");
  QFile::remove(Path(QStringLiteral("ini.tly")));
  QDir().mkdir(Path(QStringLiteral("ini.tly")));  // nothing can replace a folder
  Trigger("Rus");
  EXPECT_EQ(f.workspace().Language, 0);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_TRUE(
      script.messages[0].text.startsWith(QStringLiteral("Не удалось записать файл \"ini.tly\".")));
}

}  // namespace
