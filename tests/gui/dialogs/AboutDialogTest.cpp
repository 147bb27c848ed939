#include <QTest>

#include "GuiFixture.h"

namespace {

// Started in English with M = 12 and two draws.
class Help : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 1,7,8,9,10,11;\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
  }
};

TEST_F(Help, LinksAndHelpGoToTheDesktop) {
  using Call = platform::ShellCall;
  QTest::mouseClick(ClickLabel("Image2"), Qt::LeftButton);
  Trigger("Rus");
  QTest::mouseClick(ClickLabel("Image1"), Qt::LeftButton);
  Trigger("N4");
  QString title, company;
  script.inNextDialog([&](QDialog& dialog) {
    title = dialog.windowTitle();
    auto* mail = Find<QLabel>(QStringLiteral("Label2"), &dialog);
    company = mail->text();
    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>(QStringLiteral("Label5"), &dialog), Qt::LeftButton);
  });
  Trigger("N11");
  EXPECT_EQ(title, QStringLiteral("О программе Tallyra"));
  EXPECT_EQ(company, QStringLiteral("Компания Orvane"));
  EXPECT_EQ(
      script.opened,
      (std::vector<Call>{
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/eng/index.php"), 1},
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/rus/index.php"), 1},
          {QString(), Path(QStringLiteral("help.chm")), 9},
          {QStringLiteral("open"),
           QStringLiteral("mailto:authors@tallyra.example?subject=About_program"), 1},
          {QStringLiteral("open"), QStringLiteral("http://www.tallyra.example/"), 1}}));
}

TEST_F(Help, TheAboutBoxFollowsTheLanguageAndItsLinksTheMouse) {
  QStringList texts;
  script.inNextDialog([&](QDialog& dialog) {
    auto label = [&](const char* name) { return Find<QLabel>(QString::fromLatin1(name), &dialog); };
    QLabel* site = label("Label5");
    texts << dialog.windowTitle() << label("Label1")->text() << label("Label6")->text()
          << label("Label7")->text() << site->toolTip();
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(site, &enter);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QApplication::sendEvent(site, &leave);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  });
  Trigger("N11");
  EXPECT_EQ(texts, (QStringList{QStringLiteral("About program Tallyra"),
                                QStringLiteral("Idea, authorship, programming"),
                                QStringLiteral("Version:"), QStringLiteral("1.0"),
                                QStringLiteral("Visit site of program")}));
}

}  // namespace
