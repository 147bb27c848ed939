// The command-line program on its own: its messages, its limits, its fetch and its JSON.

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliFolder.h"
#include "CliRun.h"
#include "GuiFixture.h"
#include "ScriptedServer.h"
#include "lists/PipeGuard.h"

namespace {

// A folder with a few lists; no window.
class CliCommand : public CliFolder {
 protected:
  QJsonObject Json(const QStringList& args) {
    const CliRun run = Cli(args + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
  }
};

TEST_F(CliCommand, BadInputIsReportedWithTheWindowsTexts) {
  CliRun run =
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,50"),
           QStringLiteral("--results"), Path(QStringLiteral("Results.txt"))});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, QByteArray("Inserted values are incorrect\n"));
  run = Cli({QStringLiteral("check"), QStringLiteral("--combination"),
             QStringLiteral("1,2,3,4,5,6,06"), QStringLiteral("--results"),
             Path(QStringLiteral("Results.txt")), QStringLiteral("--lang"), QStringLiteral("ru")});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(QString::fromUtf8(run.err), QStringLiteral("Введённые значения не могут совпадать\n"));

  WriteFile(QStringLiteral("bad.txt"), "1 - 1,2,x,4,5,6;\r\n");
  run = Cli({QStringLiteral("collate"), QStringLiteral("system"), QStringLiteral("--system"),
             Path(QStringLiteral("sy.txt")), QStringLiteral("--stakes"),
             Path(QStringLiteral("bad.txt"))});
  EXPECT_EQ(run.code, 1) << "a bad file fails the call even where the run would not use it";
  EXPECT_TRUE(run.err.contains("'x' is not a valid integer value"));
  run = Cli({QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
             Path(QStringLiteral("none.txt"))});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains("No such file or directory"));
  EXPECT_EQ(Cli({QStringLiteral("collate"), QStringLiteral("everything")}).code, 2);
  EXPECT_EQ(
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3")}).code,
      2);

  run = Cli({QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
             Path(QStringLiteral("st.txt"))});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(run.out.contains("4 common numbers: 1 entry\n    1=2 , \n")) << run.out.toStdString();
}

// The wheel's summary on standard error follows --lang; the tickets on standard output do not.
TEST_F(CliCommand, TheWheelsSummaryIsInTheLanguageAsked) {
  const QStringList build = {QStringLiteral("wheel"),       QStringLiteral("build"),
                             QStringLiteral("--pool"),      QStringLiteral("1,2,3,4,5,6,7"),
                             QStringLiteral("--guarantee"), QStringLiteral("6if6")};
  const CliRun en = Cli(build);
  EXPECT_EQ(en.code, 0);
  EXPECT_EQ(en.err,
            QByteArray("guarantee 6if6 over 7 numbers: 7 tickets, bound 7 (first wheel 7)\n"));
  const CliRun ru = Cli(build + QStringList{QStringLiteral("--lang"), QStringLiteral("ru")});
  EXPECT_EQ(ru.code, 0);
  EXPECT_EQ(QString::fromUtf8(ru.err),
            QStringLiteral("гарантия 6if6 на 7 числах: билетов 7, граница 7 (первая система 7)\n"));
  EXPECT_EQ(ru.out, en.out);
}

class CliFetch : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), kOld);
  }
  CliRun Fetch(const QStringList& more = {}) {
    return Cli(QStringList{QStringLiteral("fetch"),
                           QString::fromStdString(server.url("/files/Results.txt")),
                           Path(QStringLiteral("Results.txt"))} +
               more);
  }
  QStringList Leftovers() const {
    QStringList names = QDir(Path(QString())).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QStringLiteral("Results.txt"));
    return names;
  }
  static constexpr const char* kOld = "1 - 1,2,3,4,5,6;\r\n";
  ScriptedServer server;
};

TEST_F(CliFetch, AWholeAnswerReplacesTheFileAndItsHeaderIsPrinted) {
  const std::string body = "1 - 7,8,9,10,11,12;\r\n";
  const std::string header =
      "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  server.add(ScriptedServer::Text(header + body));
  const CliRun run = Fetch();
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out.toStdString(), header);
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")).toStdString(), body);
  EXPECT_TRUE(Leftovers().isEmpty()) << Leftovers().join(u' ').toStdString();

  // Without --fail a failure status still delivers its body.
  server.add(ScriptedServer::Text("HTTP/1.0 404 Not Found\r\n\r\nnot here"));
  EXPECT_EQ(Fetch().code, 0);
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray("not here"));
}

TEST_F(CliFetch, AFailedFetchLeavesTheFileAsItWas) {
  struct Case {
    const char* what;
    ScriptedServer::Reply reply;
    QStringList options;
    int code;
  };
  const Case cases[] = {
      {"a reset connection",
       ScriptedServer::Reset("HTTP/1.0 200 OK\r\n\r\n1 - 7,8,9,10,11,12;\r\n2 - 13"),
       {},
       1},
      {"a body shorter than announced", ScriptedServer::ShortBody("1 - 7,8", 500), {}, 1},
      {"a failure status with --fail",
       ScriptedServer::Text("HTTP/1.0 404 Not Found\r\n\r\nnot here"),
       {QStringLiteral("--fail")},
       22},
      {"a header flood", ScriptedServer::HeaderFlood(), {}, 1},
      {"a body flood", ScriptedServer::BodyFlood(), {}, 1},
      {"a CR in a Location",
       ScriptedServer::Text("HTTP/1.0 302 Found\r\nLocation: /x\rY: z\r\n\r\n"),
       {},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.add(c.reply);
    const CliRun run = Fetch(c.options);
    EXPECT_EQ(run.code, c.code) << run.err.toStdString();
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
    EXPECT_TRUE(Leftovers().isEmpty()) << Leftovers().join(u' ').toStdString();
  }
}

TEST_F(CliFetch, AStallingServerRunsIntoTheTimeOut) {
  // The server sends no more until the client hangs up: only the time-out ends the wait.
  server.add(ScriptedServer::Stall("HTTP/1.0 200 OK\r\n\r\n1 - 7,8", 30000));
  const CliRun run = Fetch({QStringLiteral("--timeout"), QStringLiteral("300")});
  EXPECT_EQ(run.code, 1) << run.err.toStdString();
  EXPECT_EQ(ReadFile(QStringLiteral("Results.txt")), QByteArray(kOld));
  EXPECT_EQ(Fetch({QStringLiteral("--timeout"), QStringLiteral("soon")}).code, 2);
  EXPECT_EQ(Cli({QStringLiteral("stats"), QStringLiteral("--timeout"), QStringLiteral("5")}).code,
            2)
      << "only fetch has a time-out";
}

TEST_F(CliCommand, SpecialOversizedAndUnfinishedFilesAreToldAbout) {
  PipeGuard pipe(Path(QStringLiteral("pipe.txt")));
  ASSERT_TRUE(pipe.made());
  CliRun run =
      Cli({QStringLiteral("stats"), QStringLiteral("--results"), Path(QStringLiteral("pipe.txt"))});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains("Not a regular file")) << run.err.toStdString();
  run = Cli({QStringLiteral("stats"), QStringLiteral("--results"), QStringLiteral("/dev/zero")});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains("Not a regular file")) << run.err.toStdString();

  WriteFile(QStringLiteral("huge.txt"), "");
  ASSERT_TRUE(QFile::resize(Path(QStringLiteral("huge.txt")), qint64{33} << 20));
  run = Cli({QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
             Path(QStringLiteral("huge.txt")), QStringLiteral("--lang"), QStringLiteral("ru")});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(QString::fromUtf8(run.err).contains(QStringLiteral("Файл больше 32 МБ")))
      << run.err.toStdString();
  // The wheel check, the winnings and the history an import merges into read lists too.
  WriteFile(QStringLiteral("draws.csv"), "1,2,3,4,5,6\n");
  const QString huge = Path(QStringLiteral("huge.txt"));
  const QString pool = QStringLiteral("1,2,3,4,5,6,7");
  for (const QStringList& args :
       {QStringList{QStringLiteral("wheel"), QStringLiteral("check"), QStringLiteral("--pool"),
                    pool, QStringLiteral("--stakes"), huge},
        QStringList{QStringLiteral("winnings"), QStringLiteral("--stakes"), huge,
                    QStringLiteral("--results"), Path(QStringLiteral("Results.txt"))},
        QStringList{QStringLiteral("import"), Path(QStringLiteral("draws.csv")),
                    QStringLiteral("--as"), QStringLiteral("results"),
                    QStringLiteral("--merge-into"), huge}}) {
    run = Cli(args);
    EXPECT_EQ(run.code, 1) << args.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(run.err.contains("larger than 32 MB")) << run.err.toStdString();
  }
  EXPECT_EQ(QFileInfo(huge).size(), qint64{33} << 20);

  WriteFile(QStringLiteral("cut.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9");
  run =
      Cli({QStringLiteral("stats"), QStringLiteral("--results"), Path(QStringLiteral("cut.txt"))});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(run.err.contains("Line 2 does not end with \";\" and was not loaded: \"2 - 7,8,9\""))
      << run.err.toStdString();
}

// Under a tight memory limit the command either works or says that memory ran out; it never
// dies of it. The limits tried run from "cannot even start" to "enough".
TEST_F(CliCommand, RunningOutOfMemoryIsAnErrorMessage) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under a small limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under a small limit";
#endif
#endif
  QByteArray draws;
  for (int i = 1; i <= 200000; ++i) draws += QByteArray::number(i) + " - 1,2,3,4,5,6;\r\n";
  WriteFile(QStringLiteral("many.txt"), draws);
  int outOfMemory = 0;
  // Below about 7 MB the C++ runtime cannot even make an exception, so no program could say
  // anything; the limits start above that.
  for (int kib = 9000; kib <= 60000; kib += 3000) {
    const tallyra::test::ProgramRun run = tallyra::test::RunProgram(
        "/bin/sh", {"-c", "ulimit -v " + std::to_string(kib) + " && exec \"$0\" \"$@\"",
                    tallyra::test::CliPath(), "stats", "--results",
                    Path(QStringLiteral("many.txt")).toStdString()});
    EXPECT_EQ(run.signal, 0) << kib << " KiB: " << run.err;
    if (run.code == 1) {
      EXPECT_NE(run.err.find("There is not enough memory"), std::string::npos)
          << kib << " KiB: " << run.err;
      ++outOfMemory;
    } else if (run.code != 0) {
      EXPECT_EQ(run.code, 127) << kib << " KiB: the loader could not start it, nothing else";
    }
  }
  EXPECT_GT(outOfMemory, 0);
}

// --lists leaves the lists out or cuts them at a number of entries, and says which it cut;
// `full` is what --json writes without it.
TEST_F(CliCommand, JsonListsCanBeLeftOutOrCut) {
  const QStringList run = {QStringLiteral("collate"),   QStringLiteral("all"),
                           QStringLiteral("--stakes"),  Path(QStringLiteral("st.txt")),
                           QStringLiteral("--system"),  Path(QStringLiteral("sy.txt")),
                           QStringLiteral("--results"), Path(QStringLiteral("Results.txt")),
                           QStringLiteral("--json")};
  const CliRun whole = Cli(run);
  ASSERT_EQ(whole.code, 0) << whole.err.toStdString();
  EXPECT_EQ(Cli(run + QStringList{QStringLiteral("--lists"), QStringLiteral("full")}).out,
            whole.out);
  const QJsonObject all = QJsonDocument::fromJson(whole.out).object();
  ASSERT_EQ(all[QStringLiteral("lists")].toObject()[QStringLiteral("3")].toString(),
            QStringLiteral("Stakes: 1=3 , 2=3 , 3=1 , 3=2 , 3=3 , 4=2 , 4=3 , System stakes: 1=1 , "
                           "1=3 , 2=2 , 2=3 , "));

  QJsonObject none = Json(run.mid(0, run.size() - 1) +
                          QStringList{QStringLiteral("--lists"), QStringLiteral("none")});
  EXPECT_FALSE(none.contains(QStringLiteral("lists")));
  EXPECT_FALSE(none.contains(QStringLiteral("lists_cut")));
  EXPECT_EQ(none[QStringLiteral("counts")], all[QStringLiteral("counts")]);
  EXPECT_EQ(none[QStringLiteral("stakes")], all[QStringLiteral("stakes")]);

  const QJsonObject cut = Json(run.mid(0, run.size() - 1) +
                               QStringList{QStringLiteral("--lists"), QStringLiteral("4")});
  const QJsonObject lists = cut[QStringLiteral("lists")].toObject();
  EXPECT_EQ(lists[QStringLiteral("3")].toString(),
            QStringLiteral("Stakes: 1=3 , 2=3 , 3=1 , 3=2 , "));
  EXPECT_EQ(lists[QStringLiteral("6")],
            all[QStringLiteral("lists")].toObject()[QStringLiteral("6")]);
  const QJsonObject flags = cut[QStringLiteral("lists_cut")].toObject();
  EXPECT_EQ(flags[QStringLiteral("3")], QJsonValue(true));
  EXPECT_EQ(flags[QStringLiteral("6")], QJsonValue(false));
  const QJsonObject nothing = Json(run.mid(0, run.size() - 1) +
                                   QStringList{QStringLiteral("--lists"), QStringLiteral("0")});
  EXPECT_EQ(nothing[QStringLiteral("lists")].toObject()[QStringLiteral("3")].toString(), QString());
  EXPECT_EQ(nothing[QStringLiteral("lists_cut")].toObject()[QStringLiteral("3")], QJsonValue(true));

  for (const char* bad : {"-1", "some", "", "1x"}) {
    EXPECT_EQ(Cli(run + QStringList{QStringLiteral("--lists"), QString::fromLatin1(bad)}).code, 2)
        << bad;
  }
  EXPECT_EQ(Cli(run.mid(0, run.size() - 1) +
                QStringList{QStringLiteral("--lists"), QStringLiteral("none")})
                .code,
            2)
      << "--lists belongs to --json";
  EXPECT_EQ(
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,6"),
           QStringLiteral("--results"), Path(QStringLiteral("Results.txt")),
           QStringLiteral("--json"), QStringLiteral("--lists"), QStringLiteral("none")})
          .code,
      2);
}

}  // namespace
