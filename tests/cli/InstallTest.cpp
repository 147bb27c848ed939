// Both programs as installed ones are started: --help and --version, and where the window
// program keeps its files (a copy of it laid out as an installation, portable or not).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "CliRun.h"

namespace {

struct Outcome {
  int code = -1;
  QString out;
  QString err;
};

// Variables set (with a value) or removed (without one) for a run.
using Environment = std::map<std::string, std::optional<std::string>>;

// Either program, on the offscreen platform unless `env` says otherwise.
Outcome Start(const QString& program, const QStringList& args, const QString& folder = QString(),
              Environment env = {}) {
  tallyra::test::RunSetup setup = tallyra::test::RunSetup().inFolder(folder.toStdString());
  setup.environment = std::move(env);
  setup.environment.emplace("QT_QPA_PLATFORM", "offscreen");
  const tallyra::test::ProgramRun run =
      tallyra::test::RunProgram(program.toStdString(), Arguments(args), setup);
  return {run.code, QString::fromStdString(run.out), QString::fromStdString(run.err)};
}

const QString kWindow = QStringLiteral(TALLYRA_WINDOW);
const QString kCli = QString::fromUtf8(tallyra::test::CliPath());

TEST(ProgramOptions, HelpAndVersionOfTheWindowOpenNoWindow) {
  // No display and no platform at all: neither needs one.
  const Environment env = {{"DISPLAY", std::nullopt},
                           {"WAYLAND_DISPLAY", std::nullopt},
                           {"QT_QPA_PLATFORM", std::nullopt}};
  for (const char* help : {"--help", "-h"}) {
    const Outcome run = Start(kWindow, {QString::fromLatin1(help)}, QString(), env);
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(
        run.out.startsWith(QStringLiteral("usage: tallyra [--portable | --data DIR] [FILE]")))
        << run.out.toStdString();
    for (const char* option : {"--portable", "--data DIR", "--quit-after MS", "--version"}) {
      EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << option;
    }
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
  }
  const Outcome version = Start(kWindow, {QStringLiteral("--version")}, QString(), env);
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, QStringLiteral("tallyra 1.0\n"));

  for (const QStringList& wrong :
       {QStringList{QStringLiteral("--colour")}, QStringList{QStringLiteral("--data")},
        QStringList{QStringLiteral("--portable"), QStringLiteral("--data"), QStringLiteral("x")},
        QStringList{QStringLiteral("--quit-after"), QStringLiteral("soon")}}) {
    const Outcome run = Start(kWindow, wrong);
    EXPECT_EQ(run.code, 2) << wrong.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tallyra"))) << run.err.toStdString();
  }
}

TEST(ProgramOptions, HelpAndVersionOfTheCommandLine) {
  const Outcome help = Start(kCli, {QStringLiteral("--help")});
  EXPECT_EQ(help.code, 0);
  for (const char* command : {"collate", "check", "stats", "fetch", "import", "wheel build",
                              "wheel check", "winnings", "games"}) {
    EXPECT_TRUE(help.out.contains(QStringLiteral("  tallyra-cli ") + QString::fromLatin1(command)))
        << command;
  }
  EXPECT_TRUE(help.out.contains(QStringLiteral("COMMAND --help")));
  const Outcome version = Start(kCli, {QStringLiteral("--version")});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, QStringLiteral("tallyra-cli 1.0\n"));

  // Each command's own usage, whatever else the call holds; nothing is run.
  const std::vector<std::pair<QStringList, QString>> commands = {
      {{QStringLiteral("collate"), QStringLiteral("--help")}, QStringLiteral("collate stakes|")},
      {{QStringLiteral("collate"), QStringLiteral("all"), QStringLiteral("--stakes"),
        QStringLiteral("missing.txt"), QStringLiteral("--help")},
       QStringLiteral("collate stakes|")},
      {{QStringLiteral("check"), QStringLiteral("--help")}, QStringLiteral("check --combination")},
      {{QStringLiteral("stats"), QStringLiteral("--help")}, QStringLiteral("stats --results")},
      {{QStringLiteral("fetch"), QStringLiteral("--help")}, QStringLiteral("fetch URL FILE")},
      {{QStringLiteral("import"), QStringLiteral("--help")}, QStringLiteral("import FILE --as")},
      {{QStringLiteral("winnings"), QStringLiteral("--help")},
       QStringLiteral("winnings [--stakes")},
      {{QStringLiteral("games"), QStringLiteral("--help")}, QStringLiteral("games [--lang")},
      {{QStringLiteral("wheel"), QStringLiteral("build"), QStringLiteral("--help")},
       QStringLiteral("wheel build --pool")},
      {{QStringLiteral("wheel"), QStringLiteral("check"), QStringLiteral("--help")},
       QStringLiteral("wheel check --pool")},
  };
  for (const auto& [args, line] : commands) {
    const Outcome run = Start(kCli, args);
    const std::string call = args.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(run.code, 0) << call;
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("usage:\n  tallyra-cli ") + line))
        << call << ": " << run.out.toStdString();
    // One command's lines only.
    EXPECT_EQ(run.out.count(QStringLiteral("  tallyra-cli ")), 1) << call;
  }
  const Outcome wheel = Start(kCli, {QStringLiteral("wheel"), QStringLiteral("--help")});
  EXPECT_EQ(wheel.out.count(QStringLiteral("  tallyra-cli wheel ")), 2) << wheel.out.toStdString();
  const Outcome unknown = Start(kCli, {QStringLiteral("tally"), QStringLiteral("--help")});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown command 'tally'")));
}

// A copy of the window program laid out as an installation: bin/tallyra beside
// share/tallyra, started with a home folder of its own.
class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(QDir().mkpath(Path("root/bin")));
    ASSERT_TRUE(QDir().mkpath(Path("root/share/tallyra")));
    ASSERT_TRUE(QDir().mkpath(Path("home")));
    ASSERT_TRUE(QDir().mkpath(Path("here")));
    // A hard link where it can be (the executable's folder is found from its path).
    if (link(kWindow.toLocal8Bit().constData(),
             Path("root/bin/tallyra").toLocal8Bit().constData()) != 0) {
      ASSERT_TRUE(QFile::copy(kWindow, Path("root/bin/tallyra")));
    }
    Write("root/share/tallyra/Results.txt", "1 - 1,2,3,4,5,6;\r\n");
    Write("root/share/tallyra/help.chm", "ITSF");
  }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const char* name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
  }
  Outcome Window(QStringList args, const char* locale = "en_GB.UTF-8") {
    const Environment env = {{"HOME", Path("home").toStdString()},
                             {"XDG_DATA_HOME", std::nullopt},
                             {"LC_ALL", std::nullopt},
                             {"LC_MESSAGES", std::nullopt},
                             {"LANG", locale}};
    args << QStringLiteral("--quit-after") << QStringLiteral("300");
    return Start(Path("root/bin/tallyra"), args, Path("here"), env);
  }

  QTemporaryDir m_dir;
};

TEST_F(Installed, WorksInTheUsersDataFolderMadeAndSeededAtFirstStart) {
  const Outcome first = Window({});
  EXPECT_EQ(first.code, 0) << first.err.toStdString();
  EXPECT_EQ(Read("home/.local/share/tallyra/Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
  EXPECT_EQ(Read("home/.local/share/tallyra/help.chm"), "ITSF");
  // Settings come with the folder, so nobody is told at every start that they are missing;
  // the language is the desktop's.
  EXPECT_EQ(Read("home/.local/share/tallyra/ini.tly"), "49\r\n1\r\n");
  // The folder it was started in is left alone.
  EXPECT_TRUE(QDir(Path("here")).isEmpty());

  // The user's own draws and settings survive the next start, whatever the desktop speaks.
  Write("home/.local/share/tallyra/Results.txt", "1 - 7,8,9,10,11,12;\r\n");
  Write("home/.local/share/tallyra/ini.tly", "45\r\n1\r\n");
  EXPECT_EQ(Window({}, "ru_RU.UTF-8").code, 0);
  EXPECT_EQ(Read("home/.local/share/tallyra/Results.txt"), "1 - 7,8,9,10,11,12;\r\n");
  EXPECT_EQ(Read("home/.local/share/tallyra/ini.tly"), "45\r\n1\r\n");

  // A Russian desktop's new user gets the Russian interface.
  ASSERT_TRUE(QFile::remove(Path("home/.local/share/tallyra/ini.tly")));
  EXPECT_EQ(Window({}, "ru_RU.UTF-8").code, 0);
  EXPECT_EQ(Read("home/.local/share/tallyra/ini.tly"), "49\r\n0\r\n");
}

TEST_F(Installed, PortableUseKeepsTheFilesBesideTheProgram) {
  EXPECT_EQ(Window({QStringLiteral("--portable")}).code, 0);
  EXPECT_EQ(Read("root/bin/Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
  EXPECT_FALSE(QFile::exists(Path("home/.local/share/tallyra")));

  ASSERT_TRUE(QFile::remove(Path("root/bin/Results.txt")));
  Write("root/bin/portable", "");
  EXPECT_EQ(Window({}).code, 0);
  EXPECT_EQ(Read("root/bin/Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
  EXPECT_FALSE(QFile::exists(Path("home/.local/share/tallyra")));
}

TEST_F(Installed, DataNamesTheFolderAndOneThatCannotBeMadeEndsWithOne) {
  // A relative folder is taken from where the program was started.
  EXPECT_EQ(Window({QStringLiteral("--data"), QStringLiteral("mine")}).code, 0);
  EXPECT_EQ(Read("here/mine/help.chm"), "ITSF");
  EXPECT_FALSE(QFile::exists(Path("home/.local/share/tallyra")));
  // A folder the user names keeps its settings as the user keeps them: none are made up.
  EXPECT_FALSE(QFile::exists(Path("here/mine/ini.tly")));

  Write("taken", "");
  const Outcome run = Window({QStringLiteral("--data"), Path("taken")});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains(QStringLiteral("Cannot make or enter the data folder")))
      << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(QStringLiteral("Не удалось создать папку данных")));
}

// A pipe where a file of the data folder belongs cannot hold up the start: the program goes on
// with defaults and leaves it there.
TEST_F(Installed, APipeInPlaceOfAFileDoesNotHoldUpTheStart) {
  ASSERT_TRUE(QDir().mkpath(Path("data")));
  for (const char* name : {"data/preferences.ini", "data/prizes.tly", "data/ini.tly"}) {
    ASSERT_EQ(::mkfifo(Path(name).toLocal8Bit().constData(), 0600), 0) << name;
  }
  // The time bound of Start only catches a hang.
  const Outcome run = Window({QStringLiteral("--data"), Path("data")});
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  for (const char* name : {"data/preferences.ini", "data/prizes.tly", "data/ini.tly"}) {
    EXPECT_EQ(QFileInfo(Path(name)).isFile(), false) << name << " is still the pipe";
    EXPECT_TRUE(QFileInfo::exists(Path(name))) << name;
  }
}

TEST(BuildFolder, TheProgramWorksWhereItWasStarted) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Environment env = {{"HOME", dir.filePath(QStringLiteral("home")).toStdString()},
                           {"XDG_DATA_HOME", std::nullopt}};
  // The language chosen is written to ini.tly in the working folder.
  QFile settings(dir.filePath(QStringLiteral("ini.tly")));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("49\r\n1\r\n");
  settings.close();
  const Outcome run =
      Start(kWindow, {QStringLiteral("--quit-after"), QStringLiteral("200")}, dir.path(), env);
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("home/.local/share/tallyra"))));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Results.txt"))));

  // --data from the build folder seeds the new folder from the build's own copies, so the
  // history loads at start.
  const Outcome given = Start(kWindow,
                              {QStringLiteral("--data"), QStringLiteral("data"),
                               QStringLiteral("--quit-after"), QStringLiteral("200")},
                              dir.path(), env);
  EXPECT_EQ(given.code, 0) << given.err.toStdString();
  QFile seeded(dir.filePath(QStringLiteral("data/Results.txt")));
  ASSERT_TRUE(seeded.open(QIODevice::ReadOnly));
  EXPECT_TRUE(seeded.readAll().startsWith("1 - ")) << "the sample history";
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("data/help.chm"))));
}

}  // namespace

namespace {

// The options a manual page names (written \-\-name in roff), and those a usage text names.
std::set<QString> Options(const QString& text) {
  std::set<QString> names;
  static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*[a-z]"));
  for (auto it = option.globalMatch(text); it.hasNext();) names.insert(it.next().captured());
  return names;
}

QString ManualPage(const char* name) {
  QFile file(QStringLiteral(TALLYRA_SOURCE_DIR "/packaging/") + QString::fromLatin1(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

TEST(ManualPages, NameTheOptionsOfTheUsageTextsAndNoOthers) {
  // The usage texts' options are each tried through the programs by the tests above and by
  // the command line's own tests; the pages must name the same ones.
  EXPECT_EQ(Options(ManualPage("tallyra.1")),
            Options(Start(kWindow, {QStringLiteral("--help")}).out));
  const std::set<QString> cli = Options(Start(kCli, {QStringLiteral("--help")}).out);
  EXPECT_EQ(Options(ManualPage("tallyra-cli.1")), cli);
  EXPECT_TRUE(cli.count(QStringLiteral("--seed")));
  // The completion offers them too, in a script bash reads.
  const QString script = QStringLiteral(TALLYRA_SOURCE_DIR "/packaging/tallyra-cli.bash");
  EXPECT_EQ(QProcess::execute(QStringLiteral("bash"), {QStringLiteral("-n"), script}), 0);
  QFile completion(script);
  ASSERT_TRUE(completion.open(QIODevice::ReadOnly));
  const std::set<QString> completed = Options(QString::fromUtf8(completion.readAll()));
  for (const QString& option : cli) {
    EXPECT_TRUE(completed.count(option)) << option.toStdString() << " is not completed";
  }
}

}  // namespace
