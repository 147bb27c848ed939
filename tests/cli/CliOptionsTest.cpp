// Every command and option of tallyra-cli through the built program, and its usage text
// against its parser.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "HttpsServer.h"
#include "RunCli.h"
#include "ScriptedServer.h"
#include "generate/Generator.h"

namespace {

using Args = std::vector<std::string>;

using CliRun = tallyra::test::ProgramRun;

std::string Joined(const Args& args) {
  std::string text;
  for (const std::string& a : args) text += (text.empty() ? "" : " ") + a;
  return text;
}

// Runs the program in a folder of the test's own, with the lists below in it.
class CliOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    Write(
        "st.txt",
        "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,40,41;\r\n3 - 1,2,3,30,31,32;\r\n4 - 7,8,9,10,11,12;\r\n");
    Write("sy.txt", "1 - 1,2,3,20,21,22,23;\r\n2 - 7,8,9,10,11,12,13,14;\r\n");
    Write("Results.txt", "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,30,31,32;\r\n3 - 1,2,3,7,8,9;\r\n");
    Write("held.txt", "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,30,31,32;\r\n");
    Write("prizes.tly", "price; 2.00\r\n3; 1.50\r\n4; 10\r\n5; 500\r\n6; 100000\r\n");
    // A history whose heading names what each draw paid.
    Write("paid.csv",
          "Draw,B1,B2,B3,B4,B5,B6,Prize 3,Prize 4,Prize 5,Prize 6\n"
          "1,1,2,3,4,5,6,5.00,50.00,500.00,5000.00\n2,7,8,9,30,31,32,5.00,50.00,500.00,5000.00\n");
  }

  static std::string ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }
  void Write(const std::string& name, const std::string& bytes) {
    QFile file(m_dir.filePath(QString::fromStdString(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  std::string Read(const std::string& name) {
    QFile file(m_dir.filePath(QString::fromStdString(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
  }

  CliRun Cli(const Args& args) {
    return tallyra::test::RunCli(args,
                                 tallyra::test::RunSetup().inFolder(m_dir.path().toStdString()));
  }
  // A call that must succeed, its output read as JSON.
  QJsonObject Json(Args args) {
    args.push_back("--json");
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, 0) << Joined(args) << "\n" << run.err;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << Joined(args) << "\n" << run.out;
    return doc.object();
  }
  // A mistaken call: exit code 2, the reason and the usage on standard error.
  void ExpectUsageError(const Args& args, const std::string& reason) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.code, 2) << Joined(args);
    EXPECT_NE(run.err.find(reason), std::string::npos) << Joined(args) << "\n" << run.err;
    EXPECT_NE(run.err.find("usage:"), std::string::npos) << Joined(args);
    EXPECT_EQ(run.out, "") << Joined(args);
  }

  ScriptedServer server;

 private:
  QTemporaryDir m_dir;
};

// The usage text, read into commands and the options each names.
struct UsageOption {
  std::string name;                 // --stakes
  std::vector<std::string> values;  // FILE; en, ru; or none for a flag
};
struct UsageCommand {
  std::string name;
  std::string positional;  // the words between the command and its first option
  std::vector<UsageOption> options;
};

std::vector<UsageCommand> ReadUsage(const std::string& text) {
  std::vector<UsageCommand> commands;
  std::istringstream lines(text.substr(std::min(text.find("usage:\n"), text.size())));
  std::string line;
  std::getline(lines, line);
  const std::regex start(R"(^\s+tallyra-cli (\S+)((?:\s+[^\s\-\[(]\S*)*)(.*)$)");
  // An option and the word after it when that word is its value, not bracket or option.
  const std::regex option(
      R"((--[a-z][a-z-]*)(?: ([^\s\[\]()|-][^\s\[\]()|]*(?:\|[^\s\[\]()|]+)*))?)");
  while (std::getline(lines, line)) {
    std::smatch m;
    std::string rest = line;
    if (std::regex_match(line, m, start)) {
      commands.push_back({m[1], m[2], {}});
      rest = m[3];
      std::string& words = commands.back().positional;
      words.erase(0, std::min(words.find_first_not_of(' '), words.size()));
    }
    if (commands.empty()) continue;
    for (std::sregex_iterator it(rest.begin(), rest.end(), option), end; it != end; ++it) {
      UsageOption o{(*it)[1], {}};
      std::string values = (*it)[2];
      for (std::size_t at = 0; !values.empty() && at <= values.size();) {
        const std::size_t bar = std::min(values.find('|', at), values.size());
        o.values.push_back(values.substr(at, bar - at));
        at = bar + 1;
      }
      commands.back().options.push_back(o);
    }
  }
  return commands;
}

TEST_F(CliOptions, EveryOptionTheUsageNamesIsTakenByTheParser) {
  const CliRun bare = Cli({});
  ASSERT_EQ(bare.code, 2);
  const std::vector<UsageCommand> usage = ReadUsage(bare.err);
  std::set<std::string> names;
  for (const UsageCommand& c : usage) names.insert(c.name);
  ASSERT_EQ(names, (std::set<std::string>{"collate", "check", "stats", "fetch", "import", "wheel",
                                          "winnings", "games", "analyse", "generate"}))
      << bare.err;

  // Calls that work as they are; an option is taken when one of them with the option added
  // still works.
  const std::string url = server.url("/r.txt");
  std::map<std::string, std::vector<Args>> working = {
      {"check",
       {{"check", "--combination", "1,2,3,4,5,6", "--stakes", "st.txt"},
        {"check", "--combination", "1,2,3,4,5,6", "--results", "Results.txt"}}},
      {"stats", {{"stats", "--results", "Results.txt"}}},
      {"fetch", {{"fetch", url, "got.txt"}}},
      {"import",
       {{"import", "Results.txt", "--as", "results"},
        {"import", "sy.txt", "--as", "system"},
        {"import", "paid.csv", "--as", "results"}}},
      {"wheel build",
       {{"wheel", "build", "--pool", "1,2,3,4,5,6,7,8", "--guarantee", "3if3", "--seconds", "0"}}},
      {"wheel check", {{"wheel", "check", "--pool", "1,2,3,4,5,6,7,8", "--stakes", "st.txt"}}},
      {"winnings", {{"winnings", "--stakes", "st.txt", "--results", "Results.txt"}}},
      {"games", {{"games"}}},
      {"analyse", {{"analyse", "--results", "Results.txt"}}},
      {"generate", {{"generate", "--max", "32", "--results", "Results.txt"}}},
  };
  // A sample for each kind of value the usage names.
  const std::map<std::string, std::string> samples = {{"N,N,N,N,N,N", "1,2,3,4,5,6"},
                                                      {"M", "49"},
                                                      {"MS", "5000"},
                                                      {"N,N,...", "1,2,3,4,5,6,7,8"},
                                                      {"TifM", "3if3"},
                                                      {"S", "0"},
                                                      {"N", "1"},
                                                      {"3,4,5,6,7,8", "1,2,3,4,5,6"},
                                                      {"Results.txt", "held.txt"},
                                                      {"NAME", "canada-649"},
                                                      {"A", "1"},
                                                      {"B", "2"},
                                                      {"K", "3"},
                                                      {"A-B", "2-4"},
                                                      {"T", "3"},
                                                      {"SIZE", "4"}};
  const std::map<std::string, std::string> files = {
      {"--stakes", "st.txt"},       {"--system", "sy.txt"},      {"--results", "Results.txt"},
      {"--merge-into", "held.txt"}, {"--out", "out.txt"},        {"--prizes", "prizes.tly"},
      {"--cacert", "ca.pem"},       {"--prizes-out", "paid.tly"}};
  Write("ca.pem", ReadFile(HttpsServer::CertFile()));

  auto works = [&](const UsageCommand& command, const Args& call) {
    if (command.name == "fetch") server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\nbody"));
    const CliRun run = Cli(call);
    return run.code == 0;
  };

  for (const UsageCommand& command : usage) {
    // wheel has two lines of its own, told apart by their first word.
    const std::string key =
        command.name == "wheel" ? command.name + " " + command.positional : command.name;
    if (command.name == "collate") {
      // The kinds are the alternatives of the first word.
      std::vector<Args> calls;
      std::istringstream kinds(command.positional);
      for (std::string kind; std::getline(kinds, kind, '|');) calls.push_back({"collate", kind});
      EXPECT_EQ(calls.size(), 5u) << command.positional;
      for (const Args& call : calls) EXPECT_TRUE(works(command, call)) << Joined(call);
      working["collate"] = calls;
    }
    ASSERT_TRUE(working.count(key)) << "no working call of " << key;
    for (const Args& call : working[key]) {
      EXPECT_TRUE(works(command, call)) << Joined(call);
    }
    EXPECT_FALSE(command.options.empty()) << command.name;
    for (const UsageOption& option : command.options) {
      std::vector<std::string> values = option.values;
      for (std::string& v : values) {
        if (v == "FILE") {
          ASSERT_TRUE(files.count(option.name)) << option.name;
          v = files.at(option.name);
        } else if (samples.count(v)) {
          v = samples.at(v);
        } else {
          ASSERT_TRUE(option.values.size() > 1)
              << "no sample for " << option.name << " " << v << "; add one here";
        }
      }
      if (values.empty()) values.push_back("");  // a flag
      for (const std::string& value : values) {
        bool taken = false;
        for (Args call : working[key]) {
          // --lists shapes the JSON, so it comes with --json, as the usage nests it.
          if (option.name == "--lists") call.push_back("--json");
          // An option the call already holds gets the value instead of a second mention.
          const auto held = std::find(call.begin(), call.end(), option.name);
          if (held != call.end() && !value.empty() && held + 1 != call.end()) {
            *(held + 1) = value;
          } else {
            call.push_back(option.name);
            if (!value.empty()) call.push_back(value);
          }
          if (works(command, call)) {
            taken = true;
            break;
          }
        }
        const std::string what = key + " " + option.name;
        EXPECT_TRUE(taken) << what << " " << value << " is in the usage but refused";
      }
    }
    // The check is not empty: a name the usage does not list is refused.
    for (Args call : working[key]) {
      call.push_back("--colour");
      EXPECT_EQ(Cli(call).code, 2) << Joined(call);
    }
  }
}

TEST_F(CliOptions, MistakenCallsExitWithTwoAndTheUsage) {
  ExpectUsageError({}, "a command is needed");
  ExpectUsageError({"tally"}, "unknown command 'tally'");
  ExpectUsageError({"collate"}, "collate needs a kind");
  ExpectUsageError({"collate", "results"}, "unknown kind 'results'");
  ExpectUsageError({"collate", "stakes", "--stakes"}, "--stakes needs a value");
  ExpectUsageError({"collate", "stakes", "--combination", "1,2,3,4,5,6"},
                   "collate takes no combination");
  ExpectUsageError({"collate", "stakes", "--max", "36"}, "collate takes no combination");
  ExpectUsageError({"collate", "stakes", "--include-system"}, "unknown option '--include-system'");
  ExpectUsageError({"collate", "stakes", "--sort", "draws"}, "unknown option '--sort'");
  ExpectUsageError({"collate", "stakes", "--lang", "de"}, "--lang takes en or ru");
  ExpectUsageError({"fetch", "http://127.0.0.1:1/"}, "fetch needs a URL and a file");
  ExpectUsageError({"fetch", "http://127.0.0.1:1/", "got.txt", "--json"}, "fetch takes no --json");
  ExpectUsageError({"fetch", "http://127.0.0.1:1/", "got.txt", "--results", "Results.txt"},
                   "fetch takes no --results");
  EXPECT_EQ(Read("got.txt"), "<none>") << "a mistaken call fetches nothing";
}

// An option with a value is given once, whichever the command: a second one would silently
// win. Only --sort, whose orders follow one another, comes again; a flag twice is one flag.
TEST_F(CliOptions, AnOptionGivenTwiceIsAMistakeInEveryCommand) {
  const std::string pool = "1,2,3,4,5,6,7,8";
  const std::vector<std::pair<Args, std::string>> twice = {
      {{"collate", "stakes", "--stakes", "st.txt", "--stakes", "sy.txt"}, "--stakes"},
      {{"check", "--combination", "1,2,3,4,5,6", "--results", "Results.txt", "--max", "49", "--max",
        "50"},
       "--max"},
      {{"stats", "--results", "Results.txt", "--results", "Results.txt"}, "--results"},
      {{"fetch", "http://127.0.0.1:1/r.txt", "got.txt", "--timeout", "1", "--timeout", "2"},
       "--timeout"},
      {{"import", "Results.txt", "--as", "results", "--as", "stakes"}, "--as"},
      {{"wheel", "check", "--pool", pool, "--stakes", "st.txt", "--pool", pool}, "--pool"},
      {{"winnings", "--stakes", "st.txt", "--results", "Results.txt", "--draw", "1", "--draw", "2"},
       "--draw"},
  };
  for (const auto& [call, option] : twice) ExpectUsageError(call, option + " is given twice");

  const CliRun again = Cli({"stats", "--results", "Results.txt", "--sort", "draws", "--sort",
                            "order", "--json", "--json"});
  EXPECT_EQ(again.code, 0) << again.err;
  EXPECT_EQ(again.out, Cli({"stats", "--results", "Results.txt", "--json"}).out);
}

// Every command reads its lists one way, and says what it found in the language asked.
TEST_F(CliOptions, ListFilesAreToldAboutInTheLanguageAsked) {
  Write("cut.txt", "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9");
  const std::string said =
      "cut.txt: Строка 2 не закончена знаком \";\" и не загружена: «2 - 7,8,9»\n";
  for (const Args& call :
       {Args{"wheel", "check", "--pool", "1,2,3,4,5,6,7", "--stakes", "cut.txt", "--lang", "ru",
             "--json"},
        Args{"check", "--combination", "1,2,3,4,5,6", "--results", "cut.txt", "--lang", "ru"}}) {
    const CliRun run = Cli(call);
    EXPECT_EQ(run.code, 0) << Joined(call) << "\n" << run.err;
    EXPECT_EQ(run.err, said) << Joined(call);
  }
}

TEST_F(CliOptions, CollateReadsEveryListGivenAndSpeaksTheLanguageAsked) {
  // The text report and --json give the same counters.
  const QJsonObject json = Json(
      {"collate", "all", "--stakes", "st.txt", "--system", "sy.txt", "--results", "Results.txt"});
  const CliRun text = Cli(
      {"collate", "all", "--stakes", "st.txt", "--system", "sy.txt", "--results", "Results.txt"});
  ASSERT_EQ(text.code, 0) << text.err;
  const QJsonObject counts = json[QStringLiteral("counts")].toObject();
  for (const char* c : {"6", "5", "4", "3"}) {
    const int n = counts[QString::fromLatin1(c)].toInt(-1);
    const std::string line = std::string(c) + " common numbers: " + std::to_string(n) +
                             (n == 1 ? " entry\n" : " entries\n");
    EXPECT_NE(text.out.find(line), std::string::npos) << line << "in\n" << text.out;
  }
  EXPECT_EQ(json[QStringLiteral("stakes")].toArray().size(), 4);
  EXPECT_EQ(json[QStringLiteral("system")].toArray().size(), 2);

  // Stakes with the draws: each stake row counts its matches with every draw.
  const QJsonObject withDraws =
      Json({"collate", "stakes-results", "--stakes", "st.txt", "--results", "Results.txt"});
  EXPECT_EQ(withDraws[QStringLiteral("stakes")].toArray()[0].toArray(),
            QJsonArray({1, 0, 0, 1}))  // 1..6 against 1..6 and against 1,2,3,7,8,9
      << QJsonDocument(withDraws).toJson().toStdString();

  // A list not given is an empty list: nothing to collate.
  const QJsonObject empty = Json({"collate", "system"});
  EXPECT_EQ(empty[QStringLiteral("counts")].toObject()[QStringLiteral("3")].toInt(-1), 0);
  EXPECT_TRUE(empty[QStringLiteral("system")].toArray().isEmpty());

  // The language of the messages.
  CliRun run = Cli({"collate", "stakes", "--stakes", "none.txt", "--lang", "ru"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err.rfind("Не удалось открыть файл \"none.txt\".", 0), 0u) << run.err;
  run = Cli({"collate", "stakes", "--stakes", "none.txt", "--lang", "en"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err.find("Не"), std::string::npos) << run.err;
  EXPECT_EQ(Cli({"collate", "stakes", "--stakes", "none.txt"}).err, run.err)
      << "English unless asked";
}

TEST_F(CliOptions, CheckTakesTheStakesWithOrWithoutTheSystemOrTheDraws) {
  auto lists = [](const QJsonObject& o) {
    return QJsonDocument(o[QStringLiteral("lists")].toObject()).toJson(QJsonDocument::Compact);
  };
  const Args six = {"check", "--combination", "1,2,3,4,5,6"};
  auto with = [](Args a, const Args& more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  const QJsonObject stakes = Json(with(six, {"--stakes", "st.txt"}));
  EXPECT_EQ(lists(stakes), R"({"3":"Stakes: 3 , ","4":"Stakes: 2 , ","5":"","6":"Stakes: 1 , "})");
  // The system list is read but only looked at with --include-system.
  EXPECT_EQ(lists(Json(with(six, {"--stakes", "st.txt", "--system", "sy.txt"}))), lists(stakes));
  const QJsonObject both =
      Json(with(six, {"--stakes", "st.txt", "--system", "sy.txt", "--include-system"}));
  EXPECT_EQ(both[QStringLiteral("counts")].toObject()[QStringLiteral("3")].toInt(), 2)
      << lists(both).toStdString();
  EXPECT_NE(lists(both).indexOf("System stakes: 1 , "), -1) << lists(both).toStdString();
  // The draws instead of the stakes.
  EXPECT_EQ(lists(Json(with(six, {"--results", "Results.txt"}))),
            R"({"3":"3 , ","4":"","5":"","6":"1 , "})");
  // Up to twelve numbers, as a system stake.
  const QJsonObject seven =
      Json({"check", "--combination", "1,2,3,4,5,6,7", "--results", "Results.txt"});
  EXPECT_EQ(seven[QStringLiteral("counts")].toObject()[QStringLiteral("6")].toInt(), 1);
  // The list headings in Russian.
  EXPECT_EQ(lists(Json(with(six, {"--stakes", "st.txt", "--lang", "ru"}))),
            QByteArray(R"({"3":"Ставки: 3 , ","4":"Ставки: 2 , ","5":"","6":"Ставки: 1 , "})"));

  // --max: the highest number a combination may hold, 49 unless given.
  const Args fifty = {"check", "--combination", "1,2,3,4,5,50", "--results", "Results.txt"};
  EXPECT_EQ(Cli(fifty).code, 1);
  const CliRun allowed = Cli(with(fifty, {"--max", "50"}));
  EXPECT_EQ(allowed.code, 0) << allowed.err;
  EXPECT_EQ(allowed.out.rfind("6 common numbers: 0 entries\n5 common numbers: 1 entry\n", 0), 0u)
      << allowed.out;
  const CliRun narrow = Cli({"check", "--combination", "1,2,3,4,5,40", "--results", "Results.txt",
                             "--max", "36", "--lang", "ru"});
  EXPECT_EQ(narrow.code, 1);
  EXPECT_EQ(narrow.err, "Введены некорректные значения\n");
  for (const char* bad : {"1", "100", "x", ""}) {
    ExpectUsageError(with(fifty, {"--max", bad}), "--max takes 2..99");
  }

  ExpectUsageError({"check", "--results", "Results.txt"}, "check needs --combination");
  ExpectUsageError(six, "check takes either --stakes or --results");
  ExpectUsageError(with(six, {"--stakes", "st.txt", "--results", "Results.txt"}),
                   "check takes either --stakes or --results");
  ExpectUsageError(with(six, {"--results", "Results.txt", "--system", "sy.txt"}),
                   "--system and --include-system go with --stakes");
  ExpectUsageError(with(six, {"--results", "Results.txt", "--include-system"}),
                   "--system and --include-system go with --stakes");
  ExpectUsageError({"check", "--combination", "1,2,3,4,5", "--results", "Results.txt"},
                   "at least six numbers");
  ExpectUsageError(
      {"check", "--combination", "1,2,3,4,5,6,7,8,9,10,11,12,13", "--results", "Results.txt"},
      "at most twelve numbers");
}

TEST_F(CliOptions, AnalyseGivesTheFiguresOfTheRangeBesideTheirExpectation) {
  // Results.txt: 1-6, then 7,8,9,30,31,32, then 1,2,3,7,8,9.
  QJsonObject a = Json({"analyse", "--results", "Results.txt", "--pairs", "2", "--triples", "1"});
  EXPECT_EQ(a[QStringLiteral("range")].toObject()[QStringLiteral("draws")].toInt(), 3);
  // 1,2,3 and 7,8,9 came twice each; one triple asked for.
  const QJsonArray topTriples =
      a[QStringLiteral("triples")].toObject()[QStringLiteral("top")].toArray();
  ASSERT_EQ(topTriples.size(), 1);
  EXPECT_EQ(topTriples[0].toObject()[QStringLiteral("count")].toInt(), 2);
  const QJsonArray numbers = a[QStringLiteral("numbers")].toArray();
  ASSERT_EQ(numbers.size(), 49);
  const auto number = [&](int n) {
    return QJsonDocument(numbers[n - 1].toObject()).toJson(QJsonDocument::Compact).toStdString();
  };
  EXPECT_EQ(
      number(1),
      R"({"avg_skip":"0.5000","expected":"0.3673","hits":2,"max_skip":1,"number":1,"skip":0})");
  EXPECT_EQ(
      number(4),
      R"({"avg_skip":"0.0000","expected":"0.3673","hits":1,"max_skip":2,"number":4,"skip":2})");
  EXPECT_EQ(number(10),
            R"({"avg_skip":null,"expected":"0.3673","hits":0,"max_skip":3,"number":10,"skip":3})");
  const auto compact = [](const QJsonValue& v) {
    return QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact).toStdString();
  };
  EXPECT_EQ(
      compact(a[QStringLiteral("pairs")]),
      R"({"bottom":[{"count":0,"numbers":[1,10]},{"count":0,"numbers":[1,11]}],"expected":"0.0383",)"
      R"("top":[{"count":2,"numbers":[1,2]},{"count":2,"numbers":[1,3]}]})");
  const QJsonObject patterns = a[QStringLiteral("patterns")].toObject();
  EXPECT_EQ(compact(patterns[QStringLiteral("repeats")]).substr(0, 60),
            R"({"expected":["0.8719","0.8260","0.2648","0.0353","0.0019","0)");
  EXPECT_EQ(patterns[QStringLiteral("odd")].toObject()[QStringLiteral("seen")].toArray(),
            QJsonArray({0, 0, 0, 2, 1, 0, 0}));
  EXPECT_EQ(patterns[QStringLiteral("repeats")].toObject()[QStringLiteral("seen")].toArray(),
            QJsonArray({1, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(a[QStringLiteral("uniformity")].toObject()[QStringLiteral("df")].toInt(), 48);
  // The range: the latest draws, or positions.
  for (const Args& call :
       {Args{"--last", "2"}, Args{"--from", "2"}, Args{"--from", "2", "--to", "3"}}) {
    Args full = {"analyse", "--results", "Results.txt"};
    full.insert(full.end(), call.begin(), call.end());
    const QJsonObject range = Json(full)[QStringLiteral("range")].toObject();
    EXPECT_EQ(range[QStringLiteral("from")].toInt(), 2) << Joined(call);
    EXPECT_EQ(range[QStringLiteral("to")].toInt(), 3) << Joined(call);
  }
  // The text report says the same in words.
  const CliRun text = Cli({"analyse", "--results", "Results.txt", "--low-high", "10"});
  ASSERT_EQ(text.code, 0) << text.err;
  for (const char* piece :
       {"Draws 1..3 (3 draws), 6 of 49\n",
        "     1         2      0.37         0      0.50         1\n",
        "    10         0      0.37         3         -         3\n",
        "The counts are less even than chance would make them in 1 case out of 59 (chi-square "
        "71.07, 48 degrees of freedom, p = 0.01688).",
        "most often: 1-2 (2) 1-3 (2)",
        "low numbers:\n     value      seen  expected\n         0         0"}) {
    EXPECT_NE(text.out.find(piece), std::string::npos) << piece << "\n" << text.out;
  }
  ExpectUsageError({"analyse"}, "analyse needs --results");
  ExpectUsageError({"analyse", "--results", "Results.txt", "--last", "2", "--from", "1"},
                   "--last and --from/--to exclude each other");
  ExpectUsageError({"analyse", "--results", "Results.txt", "--from", "3", "--to", "2"},
                   "--from and --to take draws 1..3 of the file, --from not above --to");
  ExpectUsageError({"analyse", "--results", "Results.txt", "--low-high", "49"},
                   "--low-high takes 1..98, below --max");
  ExpectUsageError({"analyse", "--results", "Results.txt", "--pairs", "-1"},
                   "--pairs takes 0..4851");
  ExpectUsageError({"analyse", "--results", "Results.txt", "--look-back", "0"},
                   "--look-back takes 1..50");
  // A history with a number above M says which draw, and writes nothing.
  CliRun bad = Cli({"analyse", "--results", "Results.txt", "--max", "31"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("Results.txt: draw 2 is not six different numbers of 1..31"),
            std::string::npos)
      << bad.err;
  Write("none.txt", "");
  bad = Cli({"analyse", "--results", "none.txt"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("holds no draws to analyse"), std::string::npos) << bad.err;
}

TEST_F(CliOptions, GenerateGivesTheCoresFunnelInTheOrderGivenAndWritesWhatItSays) {
  // Results.txt holds 1-6, 7,8,9,30,31,32 and 1,2,3,7,8,9; the filters read them all.
  const Args filters = {"--odd",       "2-4",           "--sum", "60-120",
                        "--not-drawn", "--share-max",   "2",     "--top-pairs",
                        "3",           "--exclude",     "5,6",   "--previous-max",
                        "1",           "--spread",      "10-28", "--consecutive-max",
                        "1",           "--decade-max",  "3",     "--last-digit-max",
                        "1",           "--include-any", "1,7,30"};
  Args call = {"generate", "--max", "32", "--results", "Results.txt"};
  call.insert(call.end(), filters.begin(), filters.end());
  const QJsonObject json = Json(call);
  tallyra::GenerateInput input;
  input.highest = 32;
  input.history = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 30, 31, 32}, {1, 2, 3, 7, 8, 9}};
  input.range = tallyra::DrawRange{1, 3};
  for (std::size_t i = 0; i < filters.size(); i += 2) {
    tallyra::Filter f;
    f.kind = *tallyra::FilterKindNamed(filters[i].substr(2));
    if (f.kind == tallyra::FilterKind::NotDrawn)
      --i;
    else
      ASSERT_FALSE(tallyra::ReadFilterArguments(f, filters[i + 1], 32, 1));
    input.filters.push_back(f);
  }
  const tallyra::Funnel core = tallyra::RunFunnel(input);
  EXPECT_EQ(json[QStringLiteral("total")].toInteger(), 906192);
  const QJsonArray funnel = json[QStringLiteral("funnel")].toArray();
  ASSERT_EQ(funnel.size(), 12);
  for (int i = 0; i < 12; ++i) {
    const QJsonObject step = funnel[i].toObject();
    const tallyra::FunnelStep& c = core.steps[static_cast<std::size_t>(i)];
    EXPECT_EQ(step[QStringLiteral("filter")].toString().toStdString(),
              tallyra::FilterName(input.filters[static_cast<std::size_t>(i)].kind));
    EXPECT_EQ(step[QStringLiteral("left")].toInteger(), static_cast<qint64>(c.left)) << i;
    EXPECT_EQ(step[QStringLiteral("alone")].toInteger(), static_cast<qint64>(c.alone)) << i;
    EXPECT_EQ(step[QStringLiteral("draws_kept")].toString().toStdString(),
              tallyra::DecimalText(c.drawsKept))
        << i;
  }
  EXPECT_EQ(funnel[0].toObject()[QStringLiteral("args")].toString(), QStringLiteral("2-4"));
  EXPECT_EQ(json[QStringLiteral("left")].toInteger(), static_cast<qint64>(core.left));
  EXPECT_EQ(json[QStringLiteral("written")].toInt(), 0) << "--json alone writes no stakes";

  // Written: all that is left when it fits, a sample of --count by the seed, or every k-th.
  const Args some = {"generate", "--max", "32", "--sum", "60-120", "--count", "50"};
  auto written = [&](const Args& more) {
    Args full = some;
    full.insert(full.end(), more.begin(), more.end());
    const CliRun run = Cli(full);
    EXPECT_EQ(run.code, 0) << run.err;
    return Read("gen.txt");
  };
  const std::string seven = written({"--seed", "7", "--out", "gen.txt"});
  EXPECT_EQ(std::count(seven.begin(), seven.end(), '\n'), 50);
  EXPECT_EQ(seven.rfind("1 - ", 0), 0u);
  EXPECT_EQ(written({"--out", "gen.txt", "--seed", "7"}), seven);
  EXPECT_NE(written({"--seed", "8", "--out", "gen.txt"}), seven);
  const CliRun every = Cli({"generate", "--max", "32", "--sum", "21-22", "--every", "1"});
  EXPECT_EQ(every.out, "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,5,7;\r\n");
  EXPECT_NE(every.err.find("2 left; 2 written."), std::string::npos) << every.err;
  const QJsonObject everyJson =
      Json({"generate", "--max", "32", "--sum", "60-120", "--count", "3", "--every", "1000"});
  EXPECT_EQ(everyJson[QStringLiteral("every")].toInt(), 1000);
  EXPECT_TRUE(everyJson[QStringLiteral("seed")].isNull());

  // Filters that leave nothing are no mistake: the funnel says which one emptied it.
  const QJsonObject empty =
      Json({"generate", "--max", "49", "--odd", "2-4", "--sum", "300-400", "--pool", "1,2,3"});
  EXPECT_EQ(empty[QStringLiteral("left")].toInt(), 0);
  EXPECT_EQ(empty[QStringLiteral("emptied_by")].toString(), QStringLiteral("sum"));
  EXPECT_EQ(empty[QStringLiteral("pool")].toArray().size(), 0);

  ExpectUsageError({"generate"}, "generate needs --max");
  ExpectUsageError({"generate", "--max", "49", "--sum", "180-120"},
                   "--sum: '180-120' is no range A-B within 0..594 with A not above B");
  ExpectUsageError({"generate", "--max", "49", "--include", "1,50"},
                   "--include: '1,50' is no list of different numbers of 1..49");
  ExpectUsageError({"generate", "--max", "49", "--not-drawn"},
                   "--not-drawn reads the draws: give them with --results");
  ExpectUsageError({"generate", "--max", "49", "--seed", "1", "--every", "2"},
                   "--seed and --every exclude each other");
  const CliRun bad = Cli({"generate", "--max", "20", "--results", "Results.txt", "--not-drawn"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("Results.txt: draw 2 is not six different numbers of 1..20"),
            std::string::npos)
      << bad.err;
}

TEST_F(CliOptions, StatsRowsFollowMAndEachSortReordersThePrevious) {
  // 10..15 came up a draw earlier than 1..6: the same hits, a different wait.
  Write("R2.txt", "1 - 10,11,12,13,14,15;\r\n2 - 1,2,3,4,5,6;\r\n");
  auto numbers = [&](const Args& sorts) {
    Args call = {"stats", "--results", "R2.txt", "--max", "16"};
    for (const std::string& s : sorts) call.insert(call.end(), {"--sort", s});
    std::vector<int> order;
    for (const auto& row : Json(call)[QStringLiteral("rows")].toArray()) {
      order.push_back(row.toObject()[QStringLiteral("number")].toInt());
    }
    return order;
  };
  using V = std::vector<int>;
  EXPECT_EQ(numbers({}), V({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(numbers({"frequency"}), V({1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 7, 8, 9, 16}));
  EXPECT_EQ(numbers({"draws"}), V({7, 8, 9, 16, 10, 11, 12, 13, 14, 15, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(numbers({"draws", "frequency"}),
            V({10, 11, 12, 13, 14, 15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 16}));
  EXPECT_EQ(numbers({"draws", "order"}), numbers({}));

  // Without --json: a heading and one line per number up to M.
  const CliRun text = Cli({"stats", "--results", "R2.txt", "--max", "12"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 13);
  EXPECT_EQ(text.out.rfind("number      hits    misses         %    passed\n"
                           "     1         1         1     50.00         0\n",
                           0),
            0u)
      << text.out;
  EXPECT_EQ(Json({"stats", "--results", "R2.txt"})[QStringLiteral("rows")].toArray().size(), 49)
      << "M is 49 unless given";

  ExpectUsageError({"stats"}, "stats needs --results");
  ExpectUsageError({"stats", "--results", "R2.txt", "--sort", "hits"},
                   "--sort takes order, frequency or draws");
  ExpectUsageError({"stats", "--results", "R2.txt", "--sort"}, "--sort needs a value");
  ExpectUsageError({"stats", "--results", "R2.txt", "--max", "100"}, "--max takes 2..99");
  ExpectUsageError({"stats", "--results", "R2.txt", "--lang", "ru"}, "stats takes no --lang");
  ExpectUsageError({"stats", "--results", "R2.txt", "--stakes", "st.txt"},
                   "stats takes no --stakes");
  ExpectUsageError(
      {"check", "--combination", "1,2,3,4,5,6", "--results", "R2.txt", "--sort", "draws"},
      "unknown option '--sort'");
  const CliRun missing = Cli({"stats", "--results", "none.txt"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "");
}

TEST_F(CliOptions, FetchWritesTheBodyAndPrintsTheHeader) {
  const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
  const std::string body = "1 - 7,8,9,10,11,12;\r\n";
  server.add(ScriptedServer::Text(header + body));
  const CliRun run = Cli({"fetch", server.url("/files/Results.txt"), "got.txt"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Read("got.txt"), body);
  EXPECT_NE(run.out.find("HTTP/1.0 200 OK"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Content-Type: text/plain"), std::string::npos) << run.out;
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].rfind("GET /files/Results.txt HTTP/1.0\r\n", 0), 0u);

  const CliRun refused = Cli({"fetch", "http://127.0.0.1:1/r.txt", "other.txt"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err, "");
}

// https:// through libcurl: the server's certificate is trusted only when --cacert names it.
TEST_F(CliOptions, FetchOverHttpsChecksTheCertificate) {
  QTemporaryDir www;
  ASSERT_TRUE(www.isValid());
  const std::string body = "1 - 7,8,9,10,11,12;\r\n2 - 1,2,3,4,5,6;\r\n";
  {
    QFile file(www.filePath(QStringLiteral("Results.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(body.data(), static_cast<qint64>(body.size()));
  }
  const HttpsServer https(www.path().toStdString());
  ASSERT_TRUE(https.running());
  Write("ca.pem", ReadFile(HttpsServer::CertFile()));
  Write("got.txt", "old");

  const CliRun untrusted = Cli({"fetch", https.url("/Results.txt"), "got.txt"});
  EXPECT_EQ(untrusted.code, 1);
  EXPECT_NE(untrusted.err.find("certificate is not trusted"), std::string::npos) << untrusted.err;
  EXPECT_EQ(Read("got.txt"), "old");

  const CliRun trusted =
      Cli({"fetch", https.url("/Results.txt"), "got.txt", "--cacert", "ca.pem", "--fail"});
  EXPECT_EQ(trusted.code, 0) << trusted.err;
  EXPECT_EQ(Read("got.txt"), body);
  EXPECT_NE(trusted.out.find(" 200 "), std::string::npos) << trusted.out;

  const CliRun missing =
      Cli({"fetch", https.url("/none.txt"), "got.txt", "--cacert", "ca.pem", "--fail"});
  EXPECT_EQ(missing.code, 22);
  EXPECT_EQ(Read("got.txt"), body);

  const CliRun stalled =
      Cli({"fetch", https.url("/stall"), "got.txt", "--cacert", "ca.pem", "--timeout", "300"});
  EXPECT_EQ(stalled.code, 1);
  EXPECT_NE(stalled.err.find("Timed Out"), std::string::npos) << stalled.err;
  EXPECT_EQ(Read("got.txt"), body);

  const CliRun noFile =
      Cli({"fetch", https.url("/Results.txt"), "got.txt", "--cacert", "absent.pem"});
  EXPECT_EQ(noFile.code, 1);
  EXPECT_NE(noFile.err.find("absent.pem"), std::string::npos) << noFile.err;

  const CliRun otherScheme = Cli({"fetch", "ftp://127.0.0.1/Results.txt", "got.txt"});
  EXPECT_EQ(otherScheme.code, 1);
  EXPECT_NE(otherScheme.err.find("http:// and https://"), std::string::npos) << otherScheme.err;
}

// An address is sent as an address: a control character in it is refused before anything
// goes out, and what cannot travel raw is percent-encoded.
TEST_F(CliOptions, FetchRefusesControlCharactersAndEncodesTheRest) {
  ScriptedServer server;
  Write("got.txt", "old");
  for (const std::string& bad :
       {server.url("/x\r\nX-Injected: yes"), server.url("/a\tb"), server.url("/a\x7f"),
        std::string("https://127.0.0.1:1/x\r\nX-Injected: yes")}) {
    const CliRun run = Cli({"fetch", bad, "got.txt"});
    EXPECT_EQ(run.code, 1) << bad;
    EXPECT_NE(run.err.find("holds a control character and cannot be used"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << "shown escaped: " << run.err;
  }
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(Read("got.txt"), "old");

  server.add(ScriptedServer::Text("HTTP/1.0 200 OK\r\n\r\nnew"));
  const CliRun run = Cli({"fetch", server.url("/a b/\xC3\xBC\"<>\\^`{|}%41%zz?q=1 2"), "got.txt"});
  EXPECT_EQ(run.code, 0) << run.err;
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].substr(0, server.requests()[0].find("\r\n")),
            "GET /a%20b/%C3%BC%22%3C%3E%5C%5E%60%7B%7C%7D%41%25zz?q=1%202 HTTP/1.0");
  EXPECT_EQ(Read("got.txt"), "new");
}

// --timeout ends a fetch that makes no progress; --max-time one that takes too long, however
// steadily the server trickles. The bounds here only catch a hang.
TEST_F(CliOptions, MaxTimeEndsATricklingFetchOverHttpAndHttps) {
  ScriptedServer server;
  server.add(ScriptedServer::Trickle("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n", 200));
  Write("got.txt", "old");
  auto started = std::chrono::steady_clock::now();
  CliRun run =
      Cli({"fetch", server.url("/slow"), "got.txt", "--timeout", "2000", "--max-time", "1"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("the fetch took longer than --max-time 1 s and was stopped; got.txt was "
                         "not changed"),
            std::string::npos)
      << run.err;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(Read("got.txt"), "old");

  QTemporaryDir www;
  ASSERT_TRUE(www.isValid());
  const HttpsServer https(www.path().toStdString());
  ASSERT_TRUE(https.running());
  Write("ca.pem", ReadFile(HttpsServer::CertFile()));
  started = std::chrono::steady_clock::now();
  run = Cli({"fetch", https.url("/trickle"), "got.txt", "--cacert", "ca.pem", "--timeout", "2000",
             "--max-time", "1"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("took longer than --max-time 1 s"), std::string::npos) << run.err;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(Read("got.txt"), "old");

  for (const char* bad : {"soon", "-1", "1.5"}) {
    EXPECT_EQ(Cli({"fetch", server.url("/x"), "got.txt", "--max-time", bad}).code, 2) << bad;
  }
  EXPECT_EQ(Cli({"stats", "--results", "Results.txt", "--max-time", "5"}).code, 2);
}

// Answers that cannot be read one way only are refused, over http:// and https:// alike.
TEST_F(CliOptions, BrokenAnswersExitWithOneAndLeaveTheFile) {
  ScriptedServer server;
  Write("got.txt", "old");
  for (const char* answer :
       {"HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 30\r\n\r\nnew",
        "HTTP/1.0 99999999999 OK\r\n\r\nnew", "HTTP/1.0 2000 OK\r\n\r\nnew",
        "HTTP/1.0 302 Found\r\n\r\n"}) {
    server.add(ScriptedServer::Text(answer));
    const CliRun run = Cli({"fetch", server.url("/x"), "got.txt"});
    EXPECT_EQ(run.code, 1) << answer;
    EXPECT_NE(run.err, "");
    EXPECT_EQ(Read("got.txt"), "old");
  }
  // The same length twice is no conflict.
  server.add(
      ScriptedServer::Text("HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 3\r\n\r\nnew"));
  EXPECT_EQ(Cli({"fetch", server.url("/x"), "got.txt"}).code, 0);
  EXPECT_EQ(Read("got.txt"), "new");

  QTemporaryDir www;
  ASSERT_TRUE(www.isValid());
  const HttpsServer https(www.path().toStdString());
  ASSERT_TRUE(https.running());
  Write("ca.pem", ReadFile(HttpsServer::CertFile()));
  const CliRun run = Cli({"fetch", https.url("/nowhere"), "got.txt", "--cacert", "ca.pem"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Redirect without a Location"), std::string::npos) << run.err;
  EXPECT_EQ(Read("got.txt"), "new");
}

// A binary file's bytes reach the terminal escaped and cut short.
TEST_F(CliOptions, MessagesShowABinaryFilesBytesEscaped) {
  Write("bin.txt",
        std::string("1 - 1,2,\x01\x02\x1b[31m\xff\xfe") + std::string(200, 'A') + ";\r\n");
  const CliRun run = Cli({"stats", "--results", "bin.txt"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("\\x01\\x02\\x1B[31m\\xFF\\xFEAAAA"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\xE2\x80\xA6"), std::string::npos) << "cut short: " << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(run.err.find(std::string(41, 'A')), std::string::npos);
}

}  // namespace
