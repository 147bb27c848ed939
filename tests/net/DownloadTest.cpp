#include <QProgressDialog>
#include <QTimer>

#include "GuiFixture.h"
#include "ScriptedServer.h"

namespace {

class Download : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), kOld);
    StartEnglish();
    form->SetDownloadUrl(QString::fromStdString(server.url("/files/Results.txt")));
  }
  static constexpr const char* kOld = "1 - 1,2,3,4,5,6;\r\n";
  ScriptedServer server;
};

TEST_F(Download, AGoodFileReplacesResultsAndIsOfferedForLoading) {
  const std::string body = "1 - 7,8,9,10,11,12;\r\n2 - 13,14,15,16,17,18;\r\n";
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n" + body));
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("Results.txt")));
  form->N42->trigger();
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray::fromStdString(body));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Load new results?"));
  EXPECT_EQ(script.fileDialogs.back().fileName, QStringLiteral("Results.txt"));
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_EQ(form->SBar[5]->text(), QStringLiteral("2"));
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(server.requests()[0].substr(0, 35), "GET /files/Results.txt HTTP/1.0\r\nHo");
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
}

TEST_F(Download, AnsweringNoKeepsTheDrawsInMemory) {
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9,10,11,12;\r\n"));
  form->N42->trigger();
  EXPECT_EQ(form->workspace().ResultTable.cell[1][1], 1);
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray("1 - 7,8,9,10,11,12;\r\n"));
}

TEST_F(Download, AFailureStatusKeepsTheOldFile) {
  server.add(ScriptedServer::Text("HTTP/1.0 404 Not Found\r\n\r\n<html>no</html>"));
  form->N42->trigger();
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("The server did not return the results file (status 404)."));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(Download, ABrokenConnectionKeepsTheOldFileAndSaysSo) {
  form->SetDownloadUrl(QStringLiteral("http://127.0.0.1:1/files/Results.txt"));
  form->N42->trigger();
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Connection with server is impossible!"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(form->workspace().ResultCount, 1);
}

TEST_F(Download, CancelEndsTheTransferQuietly) {
  server.add([](int fd) {
    ScriptedServer::Send(fd, "HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9");
    std::this_thread::sleep_for(std::chrono::seconds(3));
  });
  // Press Cancel on the progress window as soon as it is there.
  QTimer::singleShot(300, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* progress = qobject_cast<QProgressDialog*>(w)) progress->cancel();
    }
  });
  form->N42->trigger();
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

}  // namespace
