// The winnings command, run as the real executable.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "model/Files.h"

namespace tallyra {
namespace {

class WinningsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-winnings-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
    Write("st.txt", "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,40,41,42;\r\n");
    Write("sy.txt", "1 - 1,2,3,4,20,21,22,23;\r\n");
    Write("r.txt", "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,7,8,9;\r\n3 - 1,2,3,4,40,41;\r\n");
    // Draw 2 has amounts of its own.
    Write("p.txt",
          "price; 2.00\r\n3; 5\r\n4; 50\r\n5; 1000\r\n6; 100000\r\ncurrency; EUR\r\n"
          "2; 1; 2; 3; 4\r\n");
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

  void Write(const std::string& name, const std::string& text) {
    ASSERT_FALSE(WriteFileReplacing(m_dir + "/" + name, text));
  }

  using Run = test::ProgramRun;
  // Runs the command in the test's folder; the arguments are split at blanks.
  Run Cli(const std::string& args) {
    std::vector<std::string> words = {"winnings"};
    std::istringstream in(args);
    for (std::string word; in >> word;) words.push_back(word);
    return test::RunCli(words, test::RunSetup().inFolder(m_dir));
  }

  std::string m_dir;
};

TEST_F(WinningsCommand, JsonGivesTheLatestDrawByDefaultAndEveryDrawOnRequest) {
  const Run latest = Cli("--stakes st.txt --system sy.txt --results r.txt --prizes p.txt --json");
  EXPECT_EQ(latest.code, 0) << latest.err;
  // Draw 3 shares four numbers with the stake 1, five with the stake 2, and four with the system
  // stake of eight numbers: of its 28 tickets 16 have three common numbers and 6 have four.
  EXPECT_EQ(latest.out,
            "{\"draws\": 1, \"tickets\": {\"3\": 16, \"4\": 7, \"5\": 1, \"6\": 0}, "
            "\"cost\": \"60.00\", \"winnings\": \"1430.00\", \"balance\": \"1370.00\", "
            "\"rows\": [{\"list\": \"stakes\", \"row\": 1, \"tickets\": {\"3\": 0, \"4\": 1, "
            "\"5\": 0, \"6\": 0}, \"winnings\": \"50.00\"}, {\"list\": \"stakes\", \"row\": 2, "
            "\"tickets\": {\"3\": 0, \"4\": 0, \"5\": 1, \"6\": 0}, \"winnings\": \"1000.00\"}, "
            "{\"list\": \"system\", \"row\": 1, \"tickets\": {\"3\": 16, \"4\": 6, \"5\": 0, "
            "\"6\": 0}, \"winnings\": \"380.00\"}]}\n");

  const Run all =
      Cli("--stakes st.txt --system sy.txt --results r.txt --prizes p.txt --all --json");
  EXPECT_EQ(all.code, 0) << all.err;
  EXPECT_EQ(all.out.substr(0, all.out.find(", \"rows\"")),
            "{\"draws\": 3, \"tickets\": {\"3\": 45, \"4\": 13, \"5\": 1, \"6\": 1}, "
            "\"cost\": \"180.00\", \"winnings\": \"101827.00\", \"balance\": \"101647.00\", "
            "\"best\": {\"draw\": 1, \"balance\": \"100325.00\"}, "
            "\"worst\": {\"draw\": 2, \"balance\": \"-48.00\"}");
  // One draw has no best and worst apart from itself.
  EXPECT_EQ(latest.out.find("\"best\""), std::string::npos);
  EXPECT_EQ(latest.out.find("\"worst\""), std::string::npos);
}

TEST_F(WinningsCommand, TextNamesTheDrawsTheBestAndTheWorstAndTheWinningRows) {
  const Run all = Cli("--stakes st.txt --system sy.txt --results r.txt --prizes p.txt --all");
  EXPECT_EQ(all.code, 0) << all.err;
  for (const char* line : {"draws 1 to 3 (3 draws)\n", "tickets per draw: 30\n",
                           "cost: 180.00 EUR\n", "winnings: 101827.00 EUR\n",
                           "balance: 101647.00 EUR\n", "best draw: 1 (balance 100325.00 EUR)\n",
                           // Draw 2 pays its own small amounts: 12.00 for 30 tickets of 2.00.
                           "worst draw: 2 (balance -48.00 EUR)\n"}) {
    EXPECT_NE(all.out.find(line), std::string::npos) << line << all.out;
  }
  EXPECT_NE(all.out.find("stakes      1      1      1      0      1       100051.00"),
            std::string::npos)
      << all.out;

  const Run one = Cli("--stakes st.txt --results r.txt --prizes p.txt --draw 2");
  EXPECT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(one.out.substr(0, 7), "draw 2\n");
  EXPECT_NE(one.out.find("winnings: 2.00 EUR\n"), std::string::npos) << one.out;
}

TEST_F(WinningsCommand, WithoutPrizesTheTableBesideTheSettingsIsUsed) {
  const Run none = Cli("--stakes st.txt --results r.txt --json");
  EXPECT_EQ(none.code, 0);
  EXPECT_NE(none.err.find("every amount is 0"), std::string::npos) << none.err;
  EXPECT_NE(none.out.find("\"cost\": \"0.00\", \"winnings\": \"0.00\""), std::string::npos);

  Write("prizes.tly", "price; 1.10\r\n4; 7.25\r\n");
  const Run table = Cli("--stakes st.txt --results r.txt --json");
  EXPECT_EQ(table.code, 0) << table.err;
  EXPECT_EQ(table.err, "");
  EXPECT_NE(table.out.find("\"cost\": \"2.20\", \"winnings\": \"7.25\", \"balance\": \"5.05\""),
            std::string::npos)
      << table.out;
}

TEST_F(WinningsCommand, DrawsAreNumberedAsInTheFileAlsoWhenTheEarliestHadNoRoom) {
  std::string history;
  for (int d = 1; d <= 1501; ++d) {
    history +=
        std::to_string(d) + (d == 1501 ? " - 1,2,3,4,5,6;\r\n" : " - 10,11,12,13,14,15;\r\n");
  }
  Write("long.txt", history);
  Write("p1501.txt", "6; 9.00\r\n1501; 0; 0; 0; 123.45\r\n2; 1; 1; 1; 1\r\n");
  const Run run = Cli("--stakes st.txt --results long.txt --prizes p1501.txt --draw 1501");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("draw 1501\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("winnings: 123.45\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("the latest 1499 were loaded"), std::string::npos) << run.err;

  // The best and worst draws of a report over several are numbered as in the file too.
  const Run all = Cli("--stakes st.txt --results long.txt --prizes p1501.txt --all --json");
  EXPECT_EQ(all.code, 0) << all.err;
  EXPECT_NE(all.out.find("\"best\": {\"draw\": 1501, \"balance\": \"123.45\"}, "
                         "\"worst\": {\"draw\": 3, \"balance\": \"0.00\"}"),
            std::string::npos)
      << all.out;

  const Run early = Cli("--stakes st.txt --results long.txt --draw 2");
  EXPECT_EQ(early.code, 1);
  EXPECT_NE(early.err.find("There is no draw 2: draws 3 to 1501 are loaded."), std::string::npos)
      << early.err;
}

TEST_F(WinningsCommand, MistakesAndBadFilesAreReported) {
  struct Case {
    const char* args;
    int code;
    const char* message;
  };
  Write("bad.txt", "price; 2.00\r\n3; 1.50\r\n4; -7\r\n");
  const Case cases[] = {
      {"--stakes st.txt", 2, "winnings needs --results"},
      {"--results r.txt", 2, "winnings needs --stakes or --system"},
      {"--stakes st.txt --results r.txt --all --draw 1", 2, "exclude each other"},
      {"--stakes st.txt --results r.txt --draw x", 2, "--draw takes a draw's number"},
      {"--stakes st.txt --results r.txt --draw 0", 2, "--draw takes a draw's number"},
      {"--stakes st.txt --results r.txt --lang ru", 2, "unknown option '--lang'"},
      {"--stakes st.txt --results r.txt --draw", 2, "--draw needs a value"},
      {"--stakes st.txt --results r.txt --draw 4", 1,
       "There is no draw 4: draws 1 to 3 are loaded."},
      {"--stakes st.txt --results r.txt --prizes bad.txt", 1,
       "bad.txt: Line 3 of the prize file: An amount of money cannot be negative: \"-7\""},
      {"--stakes st.txt --results r.txt --prizes none.txt", 1, "Cannot open file \"none.txt\""},
      {"--stakes missing.txt --results r.txt", 1, "Cannot open file \"missing.txt\""},
      {"--system sy.txt --results p.txt", 1, "p.txt: "},
  };
  for (const Case& c : cases) {
    const Run run = Cli(c.args);
    EXPECT_EQ(run.code, c.code) << c.args;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << "\n" << run.err;
    EXPECT_EQ(run.out, "") << c.args;
  }
  const Run usage = Cli("");
  EXPECT_NE(usage.err.find("tallyra-cli winnings [--stakes FILE]"), std::string::npos);
}

}  // namespace
}  // namespace tallyra
