#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "GuiFixture.h"

namespace {

class Language : public GuiTest {
 protected:
  TMainForm& StartIn(const char* settings) {
    WriteFile(QStringLiteral("ini.tly"), settings);
    WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
    return Start();
  }
  QStringList MenuCaptions(TMainForm& f) {
    QStringList captions;
    for (QMenu* m : {f.N1, f.C1, f.N2, f.N13, f.N3, f.N43, f.Language1, f.Help}) {
      captions << m->title();
    }
    for (QAction* a : {f.N6,  f.N7,  f.N9,  f.N22, f.N31, f.N32, f.N34, f.N35, f.N10, f.N42, f.N23,
                       f.N24, f.N25, f.N14, f.N16, f.Eng, f.Rus, f.Y1,  f.N4,  f.N11, f.N5,  f.N17,
                       f.N18, f.N19, f.N21, f.N26, f.N27, f.N28, f.N30, f.N37, f.N38, f.N39}) {
      captions << a->text();
    }
    return captions;
  }
};

TEST_F(Language, SwitchingToEnglishRecaptionsTheWholeWindow) {
  TMainForm& f = StartIn("49\r\n0\r\n");
  EXPECT_EQ(f.N1->title(), QStringLiteral("&Ставки"));
  EXPECT_FALSE(f.Image2->isVisibleTo(&f));
  f.Eng->trigger();

  EXPECT_EQ(MenuCaptions(f).join(u'|'),
            QStringLiteral("&Stakes|System &game|&Results|&Collate with...|&Check|O&ptions|"
                           "Language|&Help|&Load|&Save|Co&llate|&Delete all|&Load|&Save|Co&llate|"
                           "&Delete all|&Load|&From Internet|&stakes|s&ystem stakes|&All|"
                           "Enter &result|Check the &stakes|&English|&Russian|&Preferences|&Help|"
                           "&About program|E&xit|Add|Delete|Edit|Line up|Add|Delete|Edit|Line up|"
                           "In order|By frequency|By draws"));
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Work with the results of lotteries"));
  EXPECT_EQ(f.SBar[0]->text(), QStringLiteral("Made stakes -"));
  EXPECT_EQ(f.SBar[2]->text(), QStringLiteral("System stakes -"));
  EXPECT_EQ(f.SBar[4]->text(), QStringLiteral("Loaded draws -"));
  EXPECT_EQ(f.SBar[5]->text(), QStringLiteral("1")) << "counts keep their contents";
  EXPECT_TRUE(f.Image2->isVisibleTo(&f));
  EXPECT_TRUE(f.Eng->isChecked());
  EXPECT_FALSE(f.Rus->isChecked());
  EXPECT_EQ(f.PageControl->tabText(0), QStringLiteral("Stakes "));
  EXPECT_EQ(f.BitSys->text(), QStringLiteral("Collate with system stakes"));
  EXPECT_EQ(f.GroupBox1->title(), QStringLiteral(" Results of checking "));
  EXPECT_EQ(f.Lab3->toolTip(), QStringLiteral("Click for complete list"));
  EXPECT_EQ(f.OpenD.title, QStringLiteral("Stakes loading out of file"));
  EXPECT_EQ(f.SaveD.title, QStringLiteral("Save stakes in file"));
  EXPECT_EQ(f.SGRes->model().header(0), QStringLiteral("  Draw"));
  EXPECT_EQ(f.SGStat->model().header(4), QStringLiteral("    Passed draws"));
  EXPECT_EQ(f.SGStav->model().header(0), QStringLiteral("    №"));
  EXPECT_EQ(f.SGSys->model().header(13), QStringLiteral("  6..."));
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n1\r\n"));

  f.Rus->trigger();
  EXPECT_FALSE(f.Image2->isVisibleTo(&f));
  EXPECT_EQ(f.windowTitle(), QStringLiteral("Работа с результатами лотерей"));
  EXPECT_EQ(f.SBar[4]->text(), QStringLiteral("Загружено тиражей -"));
  EXPECT_EQ(f.Help->title(), f.N4->text());
  EXPECT_EQ(f.Language1->title(), QStringLiteral("Language"));
  EXPECT_EQ(f.Eng->text(), QStringLiteral("&English"));
  EXPECT_EQ(f.SGRes->model().header(0), QStringLiteral(" Тираж"));
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n0\r\n"));
}

TEST_F(Language, QtsOwnButtonTextsFollowTheLanguage) {
  TMainForm& f = StartIn("49\r\n1\r\n");
  auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
  f.Rus->trigger();
  EXPECT_EQ(yes(), QStringLiteral("&Да"));
  f.Eng->trigger();
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}

TEST_F(Language, ChoosingTheLanguageInUseRewritesTheSameFile) {
  TMainForm& f = StartIn("36\n1\n");
  f.Eng->trigger();
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("36\r\n1\r\n"));
  EXPECT_TRUE(f.Eng->isChecked());
}

TEST_F(Language, MessagesAfterASwitchUseTheNewLanguage) {
  TMainForm& f = StartIn("49\r\n1\r\n");
  f.Rus->trigger();
  f.N10->trigger();  // answered No by the script
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Загрузить новые результаты?"));
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Загрузка результатов тиражей"));
}

TEST_F(Language, AFailedSettingsWriteIsShownAndTheLanguageStillChanges) {
  TMainForm& f = StartIn("49\r\n1\r\n");
  QFile::remove(Path(QStringLiteral("ini.tly")));
  QDir().mkdir(Path(QStringLiteral("ini.tly")));  // nothing can replace a folder
  f.Rus->trigger();
  EXPECT_EQ(f.workspace().Language, 0);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_TRUE(
      script.messages[0].text.startsWith(QStringLiteral("Не удалось записать файл \"ini.tly\".")));
}

}  // namespace
