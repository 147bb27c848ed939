// tallyra-cli import, run as the real executable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "model/Files.h"

namespace tallyra {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

class ImportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-import-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  void write(const std::string& name, const std::string& data) {
    ASSERT_FALSE(WriteFileReplacing(path(name), data));
  }
  std::string read(const std::string& name) const { return ReadWholeFile(path(name)).data; }

  CliRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "import");
    return cli(std::move(args));
  }
  // Any command of the program.
  CliRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), TALLYRA_CLI);
    const std::string out = path(".out"), err = path(".err");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliRun r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadWholeFile(out).data;
    r.err = ReadWholeFile(err).data;
    return r;
  }
  std::string m_dir;
};

const char* const kDated =
    "6335. 19.11.2019 1,2,3,4,5,6\r\n"
    "6334. 12.11.2019 9,20,34,40,42,43\r\n"
    "6333. 05.11.2019 9,20,34,40,42,50\r\n"
    "6332. 29.10.2019 7,8,9,10,11,12\r\n";

TEST_F(ImportCommand, WritesRecordLinesOldestFirstAndReportsWhatItSkipped) {
  write("dated.txt", kDated);
  CliRun r = run({path("dated.txt"), "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");
  EXPECT_NE(r.err.find("Line 3: the number 50 is outside 1..49"), std::string::npos);
  EXPECT_EQ(r.out, "");
  // Without a file the record lines go to standard output.
  r = run({path("dated.txt"), "--as", "stakes", "--oldest-first", "--max", "50"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "1 - 1,2,3,4,5,6;\r\n2 - 9,20,34,40,42,43;\r\n3 - 9,20,34,40,42,50;\r\n"
            "4 - 7,8,9,10,11,12;\r\n");
}

TEST_F(ImportCommand, JsonShowsWhatThePreviewShows) {
  write("dated.txt", kDated);
  const CliRun r = run({path("dated.txt"), "--as", "results", "--json"});
  EXPECT_EQ(r.code, 0);
  for (const char* piece :
       {"\"shape\": \"free\"", "\"columns\": [3, 4, 5, 6, 7, 8]", "\"date_column\": 2",
        "\"order\": \"newest-first\"", "\"order_from\": \"dates\"", "\"rows\": 3",
        "\"first\": [[7, 8, 9, 10, 11, 12], [9, 20, 34, 40, 42, 43], [1, 2, 3, 4, 5, 6]]",
        "\"skipped_total\": 1",
        "{\"line\": 3, \"reason\": \"out-of-range\", \"value\": \"50\", \"text\": \"Line 3: the "
        "number 50 is outside 1..49\"}",
        "\"written\": null"}) {
    EXPECT_NE(r.out.find(piece), std::string::npos) << piece << "\n" << r.out;
  }
  const CliRun columns =
      run({path("dated.txt"), "--as", "results", "--json", "--columns", "8,7,6,5,4,3"});
  EXPECT_NE(columns.out.find("\"columns\": [8, 7, 6, 5, 4, 3]"), std::string::npos);
  EXPECT_NE(columns.out.find("[12, 11, 10, 9, 8, 7]"), std::string::npos);
}

TEST_F(ImportCommand, NumbersThatAreNoBallsRepeatsAndDatesOutOfOrderAreReported) {
  write("signs.txt",
        "1e3 2 3 4 5 6\n10 20 30 40 -5 6\n10 20 30 40 1.5 6\n-17 2 3 4 5 6\n"
        "7 8 9 10 11 12\n");
  CliRun r = run({path("signs.txt"), "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"), "1 - 7,8,9,10,11,12;\r\n");
  for (const char* piece : {"Line 1: \"1e3\" is not", "Line 2: \"-5\" is not a plain whole number",
                            "Line 3: \"1.5\" is not", "Line 4: \"-17\" is not"}) {
    EXPECT_NE(r.err.find(piece), std::string::npos) << piece << "\n" << r.err;
  }

  write("spliced.csv",
        "101;01.01.2020;1;2;3;4;5;6\n102;08.01.2020;7;8;9;10;11;12\n"
        "101;01.01.2020;1;2;3;4;5;6\n103;15.01.2020;13;14;15;16;17;18\n"
        "90;01.06.2019;19;20;21;22;23;24\n104;22.01.2020;25;26;27;28;29;30\n");
  r = run({path("spliced.csv"), "--as", "results", "--json"});
  EXPECT_EQ(r.code, 0);
  for (const char* piece :
       {"\"rows\": 5", "\"order\": \"oldest-first\"",
        "{\"line\": 3, \"reason\": \"repeated-row\", \"value\": \"1\", \"text\": \"Line 3: "
        "repeat of line 1\"}",
        "\"out_of_order\": {\"line\": 5, \"value\": \"01.06.2019\", \"text\": \"Line 5: the date "
        "01.06.2019 is out of the order of the dates above; check the file\"}"}) {
    EXPECT_NE(r.out.find(piece), std::string::npos) << piece << "\n" << r.out;
  }
  r = run({path("spliced.csv"), "--as", "results"});
  EXPECT_NE(r.err.find("Line 3: repeat of line 1\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Line 5: the date 01.06.2019 is out of the order"), std::string::npos);
  r = run({path("signs.txt"), "--as", "results", "--json"});
  EXPECT_NE(r.out.find("\"out_of_order\": null"), std::string::npos);
}

TEST_F(ImportCommand, NothingUsableExitsWithTheReasonsAndWritesNothing) {
  write("Results.txt", "1 - 1,2,3,4,5,6;\r\n");
  write("bad.txt", "1 2 3\n4 5 6 7 8 99\n");
  CliRun r = run({path("bad.txt"), "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Line 1: fewer than 6 numbers"), std::string::npos);
  EXPECT_NE(r.err.find("Line 2: the number 99 is outside 1..49"), std::string::npos);
  EXPECT_NE(r.err.find("no line of 6 numbers"), std::string::npos);
  EXPECT_EQ(read("Results.txt"), "1 - 1,2,3,4,5,6;\r\n");

  write("empty.txt", "");
  r = run({path("empty.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("The file is empty."), std::string::npos);
  write("binary.bin", std::string("\x01\x02\0\0\x05garbage", 12));
  r = run({path("binary.bin"), "--as", "stakes", "--json"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("\"ok\": false, \"message\": \"This is not a text file.\""),
            std::string::npos);
  r = run({m_dir, "--as", "results"});
  EXPECT_EQ(r.code, 1);
  r = run({path("missing.txt"), "--as", "results"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("No such file or directory"), std::string::npos);
  EXPECT_EQ(read("Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
}

TEST_F(ImportCommand, AFileTooLargeIsRefusedBeforeItIsRead) {
  const int fd = ::open(path("huge.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);  // 100 MB, sparse
  ::close(fd);
  const CliRun r = run({path("huge.txt"), "--as", "results"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("too large to import (104857600 bytes"), std::string::npos) << r.err;
}

TEST_F(ImportCommand, MergeIntoAddsOnlyTheNewDraws) {
  write("Results.txt", "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n");
  write("dated.txt", kDated);
  CliRun r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("1 new draws were added; 3 held."), std::string::npos) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");

  // Again: nothing new, and the file stays as it is.
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt"), "--json"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("\"result\": \"nothing-new\", \"added\": 0, \"held\": 3"), std::string::npos)
      << r.out;

  // No overlap: nothing is written and the call fails with the reason.
  write("other.txt", "1 2 3 4 5 7\n1 2 3 4 5 8\n");
  r = run({path("other.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("do not continue"), std::string::npos);
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");

  // A held file that does not read as a history is never replaced.
  write("broken.txt", "1 - 1,2,x;\r\n");
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("broken.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(read("broken.txt"), "1 - 1,2,x;\r\n");

  // A held file not there yet starts the history; --out leaves the held file alone.
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("new.txt"), "--out",
           path("merged.txt")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(read("merged.txt").substr(0, 20), "1 - 7,8,9,10,11,12;\r");
  EXPECT_FALSE(ReadWholeFile(path("new.txt")).ok);
}

TEST_F(ImportCommand, MistakenCallsExitWithTwoAndTheUsage) {
  write("dated.txt", kDated);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {path("dated.txt")},
           {path("dated.txt"), "--as", "draws"},
           {path("dated.txt"), "--as", "results", "--columns", "1,2,x"},
           {path("dated.txt"), "--as", "results", "--columns", "1,2,3"},
           {path("dated.txt"), "--as", "results", "--newest-first", "--oldest-first"},
           {path("dated.txt"), "--as", "stakes", "--merge-into", path("Results.txt")},
           {path("dated.txt"), "--as", "results", "--max", "100"},
           {path("dated.txt"), "--as", "results", "--out"},
       }) {
    const CliRun r = run(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
}

// A history whose heading names prize columns, newest draw first, with a bonus column.
const char* const kWithPrizes =
    "Draw,Date,B1,B2,B3,B4,B5,B6,Bonus,Prize 3,Prize 4,Prize 5,Prize 6\r\n"
    "103,26.11.2019,1,2,3,4,5,6,7,\"10,50\",\"1 234,50\",\"50 000,00\",\"2 000 000,00\"\r\n"
    "102,19.11.2019,9,20,34,40,42,43,8,9.00,100,5000,1500000\r\n"
    "101,12.11.2019,7,8,9,10,11,12,13,11,-,\"4 000,00\",\r\n";

TEST_F(ImportCommand, PrizesOutWritesTheDrawsAmountsThatWinningsPays) {
  write("history.csv", kWithPrizes);
  write("prizes.txt", "old");
  CliRun r = run({path("history.csv"), "--as", "results", "--out", path("Results.txt"),
                  "--prizes-out", path("prizes.txt")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");
  // Draw 1 gives no amounts for 4 and 6 common numbers: the prize table pays it.
  EXPECT_EQ(read("prizes.txt"),
            "2; 9.00; 100.00; 5000.00; 1500000.00\r\n3; 10.50; 1234.50; 50000.00; 2000000.00\r\n");
  EXPECT_NE(r.err.find("prize columns 10,11,12,13"), std::string::npos) << r.err;

  // Stake 1 shares 1,2,3,4 with draw 3 (1234.50 of its own), stake 2 shares 9,20,34,40 with
  // draw 2 (100.00), stake 3 shares 7,8,9 with draw 1, which the file's empty table pays 0.
  write("Stakes.txt", "1 - 1,2,3,4,40,42;\r\n2 - 9,20,34,40,1,2;\r\n3 - 7,8,9,30,31,32;\r\n");
  r = cli({"winnings", "--stakes", path("Stakes.txt"), "--results", path("Results.txt"), "--prizes",
           path("prizes.txt"), "--all", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find(", \"rows\"")),
            "{\"draws\": 3, \"tickets\": {\"3\": 1, \"4\": 2, \"5\": 0, \"6\": 0}, "
            "\"cost\": \"0.00\", \"winnings\": \"1334.50\", \"balance\": \"1334.50\"");
  r = cli({"winnings", "--stakes", path("Stakes.txt"), "--results", path("Results.txt"), "--prizes",
           path("prizes.txt"), "--draw", "3", "--json"});
  EXPECT_NE(r.out.find("\"winnings\": \"1234.50\""), std::string::npos) << r.out;

  // With the records on standard output the prize file is still written; --json names it.
  r = run({path("history.csv"), "--as", "results", "--oldest-first", "--prizes-out", path("p2.txt"),
           "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"prize_columns\": [10, 11, 12, 13], \"draws_with_prizes\": 2"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"prizes_written\": \"" + path("p2.txt") + "\""), std::string::npos);
  // Taken as oldest first, the draw with 1,2,3,4,5,6 is the oldest.
  EXPECT_EQ(read("p2.txt").substr(0, 8), "1; 10.50");
}

TEST_F(ImportCommand, PrizesOutNumbersTheDrawsAsTheMergedHistoryHoldsThem) {
  // Two older draws held; the import brings draws 101..103, of which 101 is held last.
  write("Results.txt", "1 - 20,21,22,23,24,25;\r\n2 - 7,8,9,10,11,12;\r\n");
  write("history.csv", kWithPrizes);
  const CliRun r = run({path("history.csv"), "--as", "results", "--merge-into", path("Results.txt"),
                        "--prizes-out", path("prizes.txt")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 20,21,22,23,24,25;\r\n2 - 7,8,9,10,11,12;\r\n3 - 9,20,34,40,42,43;\r\n"
            "4 - 1,2,3,4,5,6;\r\n");
  EXPECT_EQ(read("prizes.txt"),
            "3; 9.00; 100.00; 5000.00; 1500000.00\r\n4; 10.50; 1234.50; 50000.00; 2000000.00\r\n");
}

TEST_F(ImportCommand, PrizesOutIsRefusedWhereItCannotBeMade) {
  write("history.csv", kWithPrizes);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {path("history.csv"), "--as", "stakes", "--prizes-out", path("p.txt")},
           {path("history.csv"), "--as", "system", "--prizes-out", path("p.txt")},
           {path("history.csv"), "--as", "results", "--out", path("p.txt"), "--prizes-out",
            path("p.txt")},
           {path("history.csv"), "--as", "results", "--prizes-out"},
       }) {
    const CliRun r = run(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
  // A history without prize columns: nothing is written, and the call says why.
  write("dated.txt", kDated);
  write("prizes.txt", "12; 1; 2; 3; 4\r\n");
  const CliRun r = run({path("dated.txt"), "--as", "results", "--out", path("Results.txt"),
                        "--prizes-out", path("prizes.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no heading names prize columns"), std::string::npos) << r.err;
  EXPECT_FALSE(ReadWholeFile(path("Results.txt")).ok);
  EXPECT_EQ(read("prizes.txt"), "12; 1; 2; 3; 4\r\n");
  EXPECT_FALSE(ReadWholeFile(path("p.txt")).ok);
}

}  // namespace
}  // namespace tallyra
