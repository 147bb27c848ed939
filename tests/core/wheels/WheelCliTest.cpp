#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "RunCli.h"

namespace {

using tallyra::test::ProgramRun;

class WheelCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-wheel-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(path(name), std::ios::binary) << text;
  }

  ProgramRun cli(const std::vector<std::string>& args) const { return tallyra::test::RunCli(args); }
  std::string m_dir;
};

// The coverage entry of one guarantee in a check's JSON output.
std::string Entry(const std::string& json, int t, int m) {
  const std::string key = "{\"t\": " + std::to_string(t) + ", \"m\": " + std::to_string(m) + ",";
  const auto at = json.find(key);
  if (at == std::string::npos) return {};
  return json.substr(at, json.find("]}", at) + 2 - at);
}

TEST_F(WheelCli, BuiltWheelLoadsAsStakesAndHoldsWhenChecked) {
  const std::string pool = "2,5,11,17,23,31,38,44,47,49";
  const ProgramRun built =
      cli({"wheel", "build", "--pool", pool, "--guarantee", "3if4", "--seconds", "0.3"});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_TRUE(std::regex_search(built.out, std::regex("^1 - \\d+,\\d+,\\d+,\\d+,\\d+,\\d+;\r\n")));
  EXPECT_TRUE(
      std::regex_search(built.err, std::regex("3if4 over 10 numbers: \\d+ tickets, bound 3")));
  write("wheel.txt", built.out);

  const ProgramRun checked =
      cli({"wheel", "check", "--pool", pool, "--stakes", path("wheel.txt"), "--json"});
  ASSERT_EQ(checked.code, 0) << checked.err;
  EXPECT_EQ(
      checked.out.rfind("{\"pool\": [2, 5, 11, 17, 23, 31, 38, 44, 47, 49], \"tickets\": ", 0), 0u)
      << checked.out;
  EXPECT_EQ(Entry(checked.out, 3, 4),
            "{\"t\": 3, \"m\": 4, \"covered\": 210, \"total\": 210, \"holds\": true, "
            "\"witnesses\": []}");
  // Every pair 2 <= t <= m <= 6, m first.
  std::string order;
  const std::regex entry("\\{\"t\": (\\d), \"m\": (\\d)");
  for (std::sregex_iterator i(checked.out.begin(), checked.out.end(), entry), end; i != end; ++i)
    order += (*i)[1].str() + (*i)[2].str() + " ";
  EXPECT_EQ(order, "22 23 33 24 34 44 25 35 45 55 26 36 46 56 66 ");
}

// The same seed gives the same first wheel; a seed that is no number is a mistaken call.
TEST_F(WheelCli, TheSeedMakesTheGreedyWheelRepeatable) {
  const std::vector<std::string> call = {
      "wheel", "build",  "--pool", "1,4,9,16,25,36,49,2,3,5", "--guarantee", "3if3", "--seconds",
      "0",     "--seed", "5"};
  const ProgramRun first = cli(call);
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(cli(call).out, first.out);
  std::vector<std::string> bad = call;
  bad.back() = "-1";
  EXPECT_EQ(cli(bad).code, 2);
}

TEST_F(WheelCli, BuildJsonShape) {
  const ProgramRun r =
      cli({"wheel", "build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "6if6", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"pool\": [1, 2, 3, 4, 5, 6, 7], \"guarantee\": \"6if6\", \"size\": 7, \"bound\": 7, "
            "\"bound_kind\": \"schonheim\", \"ratio\": 1.000, \"tickets\": [[1, 2, 3, 4, 5, 6], "
            "[1, 2, 3, 4, 5, 7], [1, 2, 3, 4, 6, 7], "
            "[1, 2, 3, 5, 6, 7], [1, 2, 4, 5, 6, 7], [1, 3, 4, 5, 6, 7], [2, 3, 4, 5, 6, 7]]}\n");
}

// Two runs side by side stop at the size asked for, long before their time; the bound is named.
TEST_F(WheelCli, BuildStopsAtTheTarget) {
  const auto started = std::chrono::steady_clock::now();
  const ProgramRun r =
      cli({"wheel", "build", "--pool", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15", "--guarantee", "3if4",
           "--seconds", "600", "--target", "20", "--threads", "2", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
  std::smatch found;
  ASSERT_TRUE(std::regex_search(
      r.out, found,
      std::regex("\"size\": (\\d+), \"bound\": (\\d+), \"bound_kind\": \"counting\", "
                 "\"ratio\": ([0-9.]+)")))
      << r.out;
  EXPECT_LE(std::stoi(found[1].str()), 20);
  EXPECT_NEAR(std::stod(found[3].str()), std::stod(found[1].str()) / std::stod(found[2].str()),
              0.001);
}

TEST_F(WheelCli, CheckReportsGapsAndTicketsOutsideThePool) {
  write("st.txt", "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,40,41,42;\r\n");
  const ProgramRun json =
      cli({"wheel", "check", "--pool", "1,2,3,4,5,6,7", "--stakes", path("st.txt"), "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  EXPECT_EQ(Entry(json.out, 6, 6),
            "{\"t\": 6, \"m\": 6, \"covered\": 1, \"total\": 7, \"holds\": false, "
            "\"witnesses\": [[1, 2, 3, 4, 5, 7], [1, 2, 3, 4, 6, 7], [1, 2, 3, 5, 6, 7]]}");
  EXPECT_NE(json.err.find("1 tickets hold numbers outside the pool"), std::string::npos);

  const ProgramRun text =
      cli({"wheel", "check", "--pool", "1,2,3,4,5,6,7", "--stakes", path("st.txt")});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_NE(text.out.find("tickets: 2\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("outside the pool"), std::string::npos);
  EXPECT_TRUE(std::regex_search(
      text.out, std::regex("\n6if6 +1 +7 +14\\.29%  no +1,2,3,4,5,7; 1,2,3,4,6,7; 1,2,3,5,6,7\n")))
      << text.out;
}

// Every number from 1 to 49, the pool of the largest common game.
std::string AllOf49() {
  std::string pool = "1";
  // Piece by piece: GCC's full optimisation warns falsely about "," + string.
  for (int n = 2; n <= 49; ++n) {
    pool += ',';
    pool += std::to_string(n);
  }
  return pool;
}

// A wheel that could never join the stakes list is refused before any work, in the language
// asked for, as an impossible request; one that can is still built.
TEST_F(WheelCli, WheelsLargerThanTheStakesListAreRefusedAtOnce) {
  const auto started = std::chrono::steady_clock::now();
  ProgramRun r =
      cli({"wheel", "build", "--pool", AllOf49(), "--guarantee", "6if6", "--seconds", "5"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "A wheel 6if6 over this pool holds at least 13983816 tickets, and the list of stakes "
            "holds 99999. The wheel is not built.\n");
  r = cli({"wheel", "build", "--pool", AllOf49(), "--guarantee", "5if5", "--lang", "ru"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Система 5if5 на этом пуле содержит не меньше "), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(", а список ставок вмещает 99999. Система не строится."), std::string::npos)
      << r.err;
  // Only a hang would take this long: the refusals come before anything is built.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));

  // Eight numbers, "6 if 6": every six of them, C(8, 6) = 28 tickets.
  r = cli({"wheel", "build", "--pool", "3,8,13,21,34,40,45,49", "--guarantee", "6if6", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"size\": 28, \"bound\": 28"), std::string::npos) << r.out;
}

// The time limit holds for the first wheel too: the output is a wheel that keeps the
// guarantee, or nothing and the reason.
TEST_F(WheelCli, BigPoolsKeepTheirTimeLimit) {
  // No time at all: the first wheel over 49 numbers is cut short, and no part of it is printed.
  ProgramRun r =
      cli({"wheel", "build", "--pool", AllOf49(), "--guarantee", "4if6", "--seconds", "0"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "The time ran out before a complete wheel 4if6 was found and checked. Give the build "
            "more time.\n");
  r = cli({"wheel", "build", "--pool", AllOf49(), "--guarantee", "4if6", "--seconds", "0", "--lang",
           "ru"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("Время вышло раньше, чем была найдена и проверена полная система 4if6.", 0),
            0u)
      << r.err;

  for (const char* guarantee : {"3if6", "4if6"}) {
    SCOPED_TRACE(guarantee);
    const auto started = std::chrono::steady_clock::now();
    r = cli({"wheel", "build", "--pool", AllOf49(), "--guarantee", guarantee, "--seconds", "1"});
    // Generous, so as to catch only a build that ignores its limit.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    if (r.code == 1) {
      EXPECT_EQ(r.out, "");
      EXPECT_NE(r.err.find("The time ran out before a complete wheel"), std::string::npos) << r.err;
      continue;
    }
    ASSERT_EQ(r.code, 0) << r.err;
    write("wheel.txt", r.out);
    const ProgramRun checked =
        cli({"wheel", "check", "--pool", AllOf49(), "--stakes", path("wheel.txt"), "--json"});
    const int t = guarantee[0] - '0';
    EXPECT_NE(Entry(checked.out, t, 6).find("\"holds\": true"), std::string::npos) << checked.out;
  }
}

TEST_F(WheelCli, BadInputGetsAClearMessage) {
  write("st.txt", "1 - 1,2,3,4,5,6;\r\n");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"build", "--pool", "1,2,3,4,5,6,6", "--guarantee", "3if4"}, 1, "holds 6 more than once"},
      {{"build", "--pool", "1,2,3,4,5,6,50", "--guarantee", "3if4"}, 1, "50 lies outside 1..49"},
      {{"build", "--pool", "1,2,3,4,5,6,50", "--guarantee", "3if4", "--max", "50"}, 0, ""},
      {{"build", "--pool", "1,2,3,4,5,6", "--guarantee", "3if4"}, 1, "needs 7 to 49 numbers"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "4if3"}, 1, "4if3 is impossible"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "3if7"}, 1, "3if7 is impossible"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "three"}, 1, "write it as TifM"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "3if4", "--seconds", "x"},
       2,
       "--seconds takes"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "3if4", "--threads", "0"},
       2,
       "--threads takes 1..64"},
      {{"build", "--pool", "1,2,3,4,5,6,7", "--guarantee", "3if4", "--target", "x"},
       2,
       "--target takes 1..99999"},
      {{"build", "--pool", "1,2,3,4,5,6,7"}, 2, "needs --guarantee"},
      {{"check", "--pool", "1,2,3,4,5,6,7"}, 2, "needs --stakes"},
      {{"check", "--pool", "1,2,3,4,5,6,7", "--stakes", "/nonexistent/st.txt"},
       1,
       "Cannot open file"},
      {{"check", "--stakes", "st.txt"}, 2, "needs --pool"},
      {{"check", "--pool", "1,2,3,4,5,6,7", "--stakes", "st.txt", "--guarantee", "3if4"},
       2,
       "unknown option '--guarantee'"},
      {{"spin"}, 2, "unknown wheel action"},
      {{"build", "--pool", "1,2,3,4,5,6,6", "--guarantee", "3if4", "--lang", "ru"},
       1,
       "Число 6 встречается в пуле больше одного раза."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"wheel"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    for (std::string& a : args)
      if (a == "st.txt") a = path("st.txt");
    const ProgramRun r = cli(args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(r.code, c.code) << joined << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << joined << "\n" << r.err;
  }
}

}  // namespace
