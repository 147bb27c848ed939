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
    form->setDownloadUrl(QString::fromStdString(server.url("/files/Results.txt")));
  }
  // Presses the progress window's Cancel as soon as it shows that bytes of the body arrived:
  // the look runs at every turn of the event loop, so the cancel follows the first progress
  // whatever the machine's speed. Returns what the window showed then.
  std::shared_ptr<int64_t> CancelOnceBytesArrive() {
    auto received = std::make_shared<int64_t>(0);
    auto* look = new QTimer(form.get());
    QObject::connect(look, &QTimer::timeout, look, [look, received] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<QProgressDialog*>(w);
        if (!progress) continue;
        const QStringList words = progress->labelText().split(u' ');
        const int64_t bytes = words.size() > 4 ? words.at(4).toLongLong() : 0;
        if (bytes <= 0) continue;
        *received = bytes;
        progress->cancel();
        look->stop();
      }
    });
    look->start(0);
    return received;
  }
  static constexpr const char* kOld = "1 - 1,2,3,4,5,6;\r\n";
  ScriptedServer server;
};

TEST_F(Download, AGoodFileReplacesResultsAndIsOfferedForLoading) {
  const std::string body = "1 - 7,8,9,10,11,12;\r\n2 - 13,14,15,16,17,18;\r\n";
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n" + body));
  script.answerYes();
  script.chooseFile(Path(QStringLiteral("Results.txt")));
  Trigger("N42");
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray::fromStdString(body));
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Load new results?"));
  EXPECT_EQ(script.fileDialogs.back().fileName, QStringLiteral("Results.txt"));
  EXPECT_EQ(form->workspace().ResultCount, 2);
  EXPECT_EQ(StatusPanel(5)->text(), QStringLiteral("2"));
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(server.requests()[0].substr(0, 35), "GET /files/Results.txt HTTP/1.0\r\nHo");
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt.bak")), QByteArray(kOld))
      << "the old file is kept";

  // The next good download keeps only the file it replaces.
  const std::string newer = body + "3 - 19,20,21,22,23,24;\r\n";
  server.add(ScriptedServer::Text(
      "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(newer.size()) + "\r\n\r\n" + newer));
  Trigger("N42");
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray::fromStdString(newer));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt.bak")), QByteArray::fromStdString(body));
}

TEST_F(Download, EveryBadAnswerKeepsTheOldFileAndSaysWhy) {
  struct Case {
    const char* what;
    ScriptedServer::Reply reply;
    QString message;
  };
  const QString kept = QStringLiteral("\"Results.txt\" was kept.");
  const Case cases[] = {
      {"a body shorter than its Content-Length",
       ScriptedServer::ShortBody("1 - 7,8,9,10,11,12;\r\n2 - 13,14,15,16,17,18;\r\n", 4000),
       QStringLiteral("The download is incomplete: the server announced 4000 bytes but sent 45. ") +
           kept},
      {"an empty body", ScriptedServer::Text("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"),
       QStringLiteral("The downloaded file holds no draws, so ") + kept},
      {"a header that never ends", ScriptedServer::Text("HTTP/1.0 200 OK\r\nServer: x\r\n"),
       QStringLiteral("The downloaded file holds no draws, so ") + kept},
      {"a login page", ScriptedServer::LoginPage(),
       QStringLiteral("The downloaded file is not a draw history, so ") + kept},
      {"a header flood", ScriptedServer::HeaderFlood(),
       QStringLiteral("The header of the server's answer is larger than 1024 KiB; the download "
                      "was stopped. ") +
           kept},
      {"a body flood", ScriptedServer::BodyFlood(),
       QStringLiteral("The server sent more than 64 MiB; the download was stopped. ") + kept},
      {"a reset connection",
       ScriptedServer::Reset("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9,10,11,12;\r\n2 - 13,14"),
       QStringLiteral("Connection with server is impossible!")},
      {"a CR in a Location",
       ScriptedServer::Text("HTTP/1.0 302 Found\r\nLocation: /files/Results.txt\rX: y\r\n\r\n"),
       QStringLiteral("Connection with server is impossible!")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    script.messages.clear();
    server.add(c.reply);
    Trigger("N42");
    ASSERT_EQ(script.messages.size(), 1u) << "no question about loading follows";
    EXPECT_TRUE(script.messages[0].text.startsWith(c.message))
        << script.messages[0].text.toStdString();
    EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.bak"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->workspace().ResultCount, 1);
  }
  EXPECT_EQ(server.requests().size(), std::size(cases));
}

TEST_F(Download, TheMessagesComeInRussianToo) {
  Trigger("Rus");
  script.messages.clear();
  server.add(ScriptedServer::LoginPage());
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_TRUE(script.messages[0].text.startsWith(
      QStringLiteral("Полученный файл не является списком тиражей")));
  // What the reader found wrong follows on the next line.
  EXPECT_TRUE(script.messages[0].text.contains(QStringLiteral("\n'ml><body><form")))
      << script.messages[0].text.toStdString();
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
}

// A body that cannot be written where it arrives is told in the user's language, as every
// other file error is, and nothing is replaced.
TEST_F(Download, APartialFileThatCannotBeWrittenIsToldInTheUsersLanguage) {
  ASSERT_TRUE(QDir(Path(QString())).mkdir(QStringLiteral("Results.txt.download")));
  Trigger("Rus");
  script.messages.clear();
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9,10,11,12;\r\n"));
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].caption, QStringLiteral("Tallyra"));
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("Не удалось записать файл \"Results.txt.download\". Это каталог"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(Download, AnsweringNoKeepsTheDrawsInMemory) {
  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9,10,11,12;\r\n"));
  Trigger("N42");
  EXPECT_EQ(form->workspace().ResultTable.cell[1][1], 1);
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray("1 - 7,8,9,10,11,12;\r\n"));
}

TEST_F(Download, AFailureStatusKeepsTheOldFile) {
  server.add(ScriptedServer::Text("HTTP/1.0 404 Not Found\r\n\r\n<html>no</html>"));
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("The server did not return the results file (status 404)."));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

TEST_F(Download, ABrokenConnectionKeepsTheOldFileAndSaysSo) {
  form->setDownloadUrl(QStringLiteral("http://127.0.0.1:1/files/Results.txt"));
  Trigger("N42");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("Connection with server is impossible!"));
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(form->workspace().ResultCount, 1);
}

TEST_F(Download, CancelEndsTheTransferQuietly) {
  // Part of a body, then nothing until the client hangs up.
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9", 30000));
  const auto received = CancelOnceBytesArrive();
  Trigger("N42");
  EXPECT_EQ(*received, 9);
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_TRUE(form->isEnabled());
}

// While the server stalls, the window's own events keep running: a timer that fires at every
// turn of the event loop ticks a thousand times after the first bytes arrived, and only then
// presses Cancel. A window held up by the wait would see no ticks, and the server's hang-up
// after 30 s would end the download with a message instead.
TEST_F(Download, TheWindowKeepsTurningWhileTheServerStalls) {
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9", 30000));
  int ticks = -1;
  auto* ticker = new QTimer(form.get());
  QObject::connect(ticker, &QTimer::timeout, ticker, [&ticks, ticker] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(w);
      if (!progress || progress->wasCanceled()) continue;
      if (ticks < 0 && !progress->labelText().contains(QStringLiteral(" 9 bytes"))) continue;
      if (++ticks == 1000) {
        progress->cancel();
        ticker->stop();
      }
    }
  });
  ticker->start(0);
  Trigger("N42");
  EXPECT_EQ(ticks, 1000);
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
  EXPECT_TRUE(form->isEnabled());
}

// While data pours in without a pause, the window's events still run, however fast the data
// comes: the progress window's Cancel, pressed at the first progress, ends the transfer long
// before the size limit would.
TEST_F(Download, CancelWorksWhileAFloodKeepsArriving) {
  server.add(ScriptedServer::BodyFlood());
  const auto received = CancelOnceBytesArrive();
  Trigger("N42");
  EXPECT_TRUE(script.messages.empty()) << script.messages[0].text.toStdString();
  EXPECT_GT(*received, 0) << "the cancel came while the body was arriving";
  EXPECT_LT(*received, int64_t{8} << 20) << "the window looked at the cancel while data came";
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Results.txt.download"))));
  EXPECT_TRUE(form->isEnabled());
}

}  // namespace
