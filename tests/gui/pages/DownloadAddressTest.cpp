// The download address from Options, https:// downloads and their certificate check.

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "HttpsServer.h"
#include "ScriptedServer.h"

namespace {

class DownloadAddress : public GuiTest {
 protected:
  static constexpr const char* kOld = "1 - 1,2,3,4,5,6;\r\n";
  static constexpr const char* kNew = "1 - 7,8,9,10,11,12;\r\n2 - 13,14,15,16,17,18;\r\n";
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), kOld);
    ASSERT_TRUE(m_www.isValid());
    QFile file(m_www.filePath(QStringLiteral("Results.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kNew);
  }
  // Types an address into Options and saves it; returns the messages the dialog gave.
  void SaveAddress(const QString& address) {
    script.inNextDialog([&](QDialog& d) {
      auto* box = d.findChild<QLineEdit*>(QStringLiteral("AddressBox"));
      auto* button = d.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
      ASSERT_TRUE(box && button);
      EXPECT_TRUE(box->isVisible());
      EXPECT_FALSE(box->isEnabled()) << "locked until Change";
      button->click();
      box->setText(address);
      button->click();
    });
    Trigger("Y1");
  }
  QTemporaryDir m_www;
};

TEST_F(DownloadAddress, OptionsKeepTheAddressBesideIniTlyAndRefuseOtherSchemes) {
  StartEnglish();
  QString shown;
  script.inNextDialog(
      [&](QDialog& d) { shown = d.findChild<QLineEdit*>(QStringLiteral("AddressBox"))->text(); });
  Trigger("Y1");
  EXPECT_EQ(shown, QStringLiteral("http://www.tallyra.example/files/Results.txt"));

  SaveAddress(QStringLiteral("ftp://example.org/Results.txt"));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("The address must start with http:// or https:// and name a server, "
                           "with no spaces."));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("preferences.ini"))));
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n1\r\n"));

  script.messages.clear();
  SaveAddress(QStringLiteral("  https://draws.example.org/all.csv "));
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("ini.tly")), QByteArray("49\r\n1\r\n"))
      << "ini.tly keeps only M and the language";
  EXPECT_TRUE(ReadFile(QStringLiteral("preferences.ini"))
                  .contains("address=https://draws.example.org/all.csv"))
      << ReadFile(QStringLiteral("preferences.ini")).toStdString();

  // The next start uses it; an emptied box goes back to the publisher's address.
  form.reset();
  Start();
  script.inNextDialog(
      [&](QDialog& d) { shown = d.findChild<QLineEdit*>(QStringLiteral("AddressBox"))->text(); });
  Trigger("Y1");
  EXPECT_EQ(shown, QStringLiteral("https://draws.example.org/all.csv"));
  SaveAddress(QString());
  script.inNextDialog(
      [&](QDialog& d) { shown = d.findChild<QLineEdit*>(QStringLiteral("AddressBox"))->text(); });
  Trigger("Y1");
  EXPECT_EQ(shown, QStringLiteral("http://www.tallyra.example/files/Results.txt"));
}

TEST_F(DownloadAddress, AnAddressOfAnotherSchemeIsRefusedBeforeAnyConnection) {
  WriteFile(QStringLiteral("preferences.ini"), "[download]\naddress=file:///etc/passwd\n");
  StartEnglish();
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("The download address \"file:///etc/passwd\" does not start with "
                           "http:// or https://. Give another one in Options."));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(DownloadAddress, AnAddressWithAControlCharacterIsRefusedAndBlanksAreEncoded) {
  ScriptedServer server;
  StartEnglish();
  const std::string injected = server.url("/x\r\nX-Injected: yes");
  const QString refused =
      QStringLiteral(
          "The address \"%1\" holds a control character and cannot "
          "be used.")
          .arg(QString::fromStdString(server.url("/x\\x0D\\x0AX-Injected: yes")));
  SaveAddress(QString::fromStdString(injected));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, refused);
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("preferences.ini"))));

  // Written into preferences.ini by hand, it is refused when the download starts.
  form.reset();
  {
    QSettings prefs(Path(QStringLiteral("preferences.ini")), QSettings::IniFormat);
    prefs.setValue(QStringLiteral("download/address"), QString::fromStdString(injected));
  }
  StartEnglish();
  script.messages.clear();
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, refused);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());

  // A blank in the path travels as %20.
  {
    QSettings prefs(Path(QStringLiteral("preferences.ini")), QSettings::IniFormat);
    prefs.setValue(QStringLiteral("download/address"),
                   QString::fromStdString(server.url("/my files/Results.txt")));
  }
  form.reset();
  StartEnglish();
  server.add(ScriptedServer::Text(std::string("HTTP/1.0 200 OK\r\n\r\n") + kNew));
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("Results.txt")));
  Trigger("N42");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].rfind("GET /my%20files/Results.txt HTTP/1.0\r\n", 0), 0u)
      << server.requests()[0];
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kNew));
}

TEST_F(DownloadAddress, HttpsDownloadsCheckTheServersCertificate) {
  const HttpsServer server(m_www.path().toStdString());
  ASSERT_TRUE(server.running());
  StartEnglish();
  SaveAddress(QString::fromStdString(server.url("/Results.txt")));

  // Not trusted: nothing is replaced, and the message says why.
  script.messages.clear();
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(
      QStringLiteral("The server's certificate could not be verified, so the connection was "
                     "dropped. \"Results.txt\" was kept.\n")))
      << script.messages[0].text.toStdString();
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
  EXPECT_TRUE(form->isEnabled());

  // Trusted through the certificate file named in preferences.ini.
  {
    QSettings prefs(Path(QStringLiteral("preferences.ini")), QSettings::IniFormat);
    prefs.setValue(QStringLiteral("download/caFile"),
                   QString::fromStdString(HttpsServer::CertFile()));
  }
  script.messages.clear();
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("Results.txt")));
  Trigger("N42");
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kNew));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt.bak")), QByteArray(kOld));
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_TRUE(form->isEnabled());
}

}  // namespace
