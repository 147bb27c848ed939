// tallyra-cli import, run as the real executable.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "FolderListing.h"
#include "RunCli.h"
#include "model/Files.h"

namespace tallyra {
namespace {

using test::ProgramRun;

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

  ProgramRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "import");
    return cli(args);
  }
  // Any command of the program; its standard output goes to `outTo` when given.
  ProgramRun cli(const std::vector<std::string>& args, const std::string& outTo = std::string()) {
    return test::RunCli(args, test::RunSetup().withOutputTo(outTo));
  }
  // The names in the test's folder, hidden ones included.
  std::vector<std::string> listing() const { return ::test::FolderListing(m_dir); }
  std::string m_dir;
};

const char* const kDated =
    "6335. 19.11.2019 1,2,3,4,5,6\r\n"
    "6334. 12.11.2019 9,20,34,40,42,43\r\n"
    "6333. 05.11.2019 9,20,34,40,42,100\r\n"
    "6332. 29.10.2019 7,8,9,10,11,12\r\n";

TEST_F(ImportCommand, WritesRecordLinesOldestFirstAndReportsWhatItSkipped) {
  write("dated.txt", kDated);
  ProgramRun r = run({path("dated.txt"), "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");
  EXPECT_NE(r.err.find("Line 3: the number 100 is outside 1..99"), std::string::npos);
  EXPECT_NE(r.err.find("M: 43 (the largest number read)"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  // Without a file the record lines go to standard output.
  r = run({path("dated.txt"), "--as", "stakes", "--oldest-first", "--max", "50"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1 - 1,2,3,4,5,6;\r\n2 - 9,20,34,40,42,43;\r\n3 - 7,8,9,10,11,12;\r\n");
}

TEST_F(ImportCommand, JsonShowsWhatThePreviewShows) {
  write("dated.txt", kDated);
  const ProgramRun r = run({path("dated.txt"), "--as", "results", "--json"});
  EXPECT_EQ(r.code, 0);
  for (const char* piece :
       {"\"shape\": \"free\"", "\"columns\": [3, 4, 5, 6, 7, 8]", "\"date_column\": 2",
        "\"order\": \"newest-first\"", "\"order_from\": \"dates\"", "\"rows\": 3",
        "\"first\": [[7, 8, 9, 10, 11, 12], [9, 20, 34, 40, 42, 43], [1, 2, 3, 4, 5, 6]]",
        "\"skipped_total\": 1",
        "{\"line\": 3, \"reason\": \"out-of-range\", \"value\": \"100\", \"text\": \"Line 3: the "
        "number 100 is outside 1..99\"}",
        "\"max\": 43", "\"written\": null"}) {
    EXPECT_NE(r.out.find(piece), std::string::npos) << piece << "\n" << r.out;
  }
  const ProgramRun columns =
      run({path("dated.txt"), "--as", "results", "--json", "--columns", "8,7,6,5,4,3"});
  EXPECT_NE(columns.out.find("\"columns\": [8, 7, 6, 5, 4, 3]"), std::string::npos);
  EXPECT_NE(columns.out.find("[12, 11, 10, 9, 8, 7]"), std::string::npos);
}

TEST_F(ImportCommand, NumbersThatAreNoBallsRepeatsAndDatesOutOfOrderAreReported) {
  write("signs.txt",
        "1e3 2 3 4 5 6\n10 20 30 40 -5 6\n10 20 30 40 1.5 6\n-17 2 3 4 5 6\n"
        "7 8 9 10 11 12\n");
  ProgramRun r = run({path("signs.txt"), "--as", "results", "--out", path("Results.txt")});
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
  write("bad.txt", "1 2 3\n4 5 6 7 8 100\n");
  ProgramRun r = run({path("bad.txt"), "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Line 1: fewer than 6 numbers"), std::string::npos);
  EXPECT_NE(r.err.find("Line 2: the number 100 is outside 1..99"), std::string::npos);
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
  const ProgramRun r = run({path("huge.txt"), "--as", "results"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("too large to import (104857600 bytes"), std::string::npos) << r.err;

  // One byte over the limit is told as the window tells it.
  ASSERT_EQ(::truncate(path("huge.txt").c_str(), (off_t{16} << 20) + 1), 0);
  const ProgramRun over = run({path("huge.txt"), "--as", "stakes"});
  EXPECT_EQ(over.code, 1);
  EXPECT_EQ(
      over.err,
      path("huge.txt") + ": The file is too large to import (16777217 bytes; at most 16777216).\n");
}

TEST_F(ImportCommand, MergeIntoAddsOnlyTheNewDraws) {
  write("Results.txt", "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n");
  write("dated.txt", kDated);
  ProgramRun r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt")});
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
    const ProgramRun r = run(args);
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
  ProgramRun r = run({path("history.csv"), "--as", "results", "--out", path("Results.txt"),
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
            "\"cost\": \"0.00\", \"winnings\": \"1334.50\", \"balance\": \"1334.50\", "
            "\"best\": {\"draw\": 3, \"balance\": \"1234.50\"}, "
            "\"worst\": {\"draw\": 1, \"balance\": \"0.00\"}");
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
  const ProgramRun r = run({path("history.csv"), "--as", "results", "--merge-into",
                            path("Results.txt"), "--prizes-out", path("prizes.txt")});
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
    const ProgramRun r = run(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
  // A history without prize columns: nothing is written, and the call says why.
  write("dated.txt", kDated);
  write("prizes.txt", "12; 1; 2; 3; 4\r\n");
  const ProgramRun r = run({path("dated.txt"), "--as", "results", "--out", path("Results.txt"),
                            "--prizes-out", path("prizes.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no heading names prize columns"), std::string::npos) << r.err;
  EXPECT_FALSE(ReadWholeFile(path("Results.txt")).ok);
  EXPECT_EQ(read("prizes.txt"), "12; 1; 2; 3; 4\r\n");
  EXPECT_FALSE(ReadWholeFile(path("p.txt")).ok);
}

// Two names of one file, among the files a call writes or the files it reads and a file it
// writes, stop the call before anything is written, however the names are spelled.
TEST_F(ImportCommand, OneFileNamedTwiceIsRefusedBeforeAnythingIsWritten) {
  const std::string held = "1 - 20,21,22,23,24,25;\r\n2 - 7,8,9,10,11,12;\r\n";
  write("R.txt", held);
  write("history.csv", kWithPrizes);
  ASSERT_EQ(::mkdir(path("sub").c_str(), 0700), 0);
  ASSERT_EQ(::symlink("R.txt", path("link.txt").c_str()), 0);
  ASSERT_EQ(::link(path("R.txt").c_str(), path("hard.txt").c_str()), 0);
  const std::string csv = path("history.csv");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {csv, "--as", "results", "--merge-into", path("R.txt"), "--prizes-out",
            m_dir + "/./R.txt"},
           {csv, "--as", "results", "--out", path("link.txt"), "--prizes-out", path("R.txt")},
           {csv, "--as", "results", "--merge-into", path("R.txt"), "--out", path("sub/../R.txt")},
           {csv, "--as", "results", "--merge-into", path("R.txt"), "--prizes-out",
            path("R.txt.bak")},
           {csv, "--as", "results", "--merge-into", path("R.txt"), "--prizes-out",
            path("sub/../prizes.tly")},
           {path("R.txt"), "--as", "results", "--out", path("hard.txt")},
           {path("link.txt"), "--as", "results", "--merge-into", path("R.txt")},
           {csv, "--as", "results", "--out", path("new.txt"), "--prizes-out",
            path("sub/../new.txt")},
       }) {
    const ProgramRun r = run(args);
    EXPECT_EQ(r.code, 2) << args[3] << " " << args.back();
    EXPECT_NE(r.err.find("are the same file; nothing was written"), std::string::npos) << r.err;
    EXPECT_EQ(read("R.txt"), held);
  }
  EXPECT_EQ(listing(),
            (std::vector<std::string>{"R.txt", "hard.txt", "history.csv", "link.txt", "sub"}));

  // fetch: the file written is the certificates read.
  write("ca.pem", "certificates");
  const ProgramRun r =
      cli({"fetch", "http://127.0.0.1:9/", m_dir + "/sub/../ca.pem", "--cacert", path("ca.pem")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("are the same file"), std::string::npos) << r.err;
  EXPECT_EQ(read("ca.pem"), "certificates");
}

// The held history is read as the window reads Results.txt: anything else is left as it is,
// and a history that is replaced is kept as TARGET.bak.
TEST_F(ImportCommand, AMergeTargetThatIsNoHistoryIsNeverReplaced) {
  write("dated.txt", kDated);
  const int fd = ::open(path("huge.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);  // 1 GiB of NUL bytes, sparse
  ::close(fd);
  ProgramRun r = run({path("dated.txt"), "--as", "results", "--merge-into", path("huge.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("larger than 32 MB"), std::string::npos) << r.err;
  struct stat st {};
  ASSERT_EQ(::stat(path("huge.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{1} << 30);

  write("nul.txt", std::string(4096, '\0'));
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("nul.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("This is not a text file."), std::string::npos) << r.err;
  EXPECT_EQ(read("nul.txt"), std::string(4096, '\0'));

  ASSERT_EQ(::mkfifo(path("pipe.txt").c_str(), 0600), 0);
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("pipe.txt")});
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(::lstat(path("pipe.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(listing(), (std::vector<std::string>{"dated.txt", "huge.txt", "nul.txt", "pipe.txt"}));

  // A history that is replaced is kept beside it.
  const std::string held = "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n";
  write("Results.txt", held);
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt.bak"), held);
  EXPECT_EQ(read("Results.txt"), held + "3 - 1,2,3,4,5,6;\r\n");
}

// Many writers of one file at once: each says it succeeded exactly when its own file took the
// target's place, and the one whose data is there did succeed.
TEST_F(ImportCommand, ConcurrentWritersEachTellWhetherTheirFileLanded) {
  constexpr int kWriters = 6;
  constexpr int kRounds = 8;
  std::vector<std::string> expected;
  for (int w = 0; w < kWriters; ++w) {
    std::string source;
    for (int d = 0; d < 200; ++d) {
      const int first = 1 + (d + w) % 40;
      source += std::to_string(first);
      for (int k = 1; k < 6; ++k) {
        source += ' ';  // piece by piece: GCC's full optimisation warns falsely on " " + string
        source += std::to_string(first + k);
      }
      source += "\n";
    }
    write("src" + std::to_string(w) + ".txt", source + std::to_string(w + 1) + " 44 45 46 47 48\n");
    const ProgramRun alone = run({path("src" + std::to_string(w) + ".txt"), "--as", "results",
                                  "--oldest-first", "--out", path("alone.txt")});
    ASSERT_EQ(alone.code, 0) << alone.err;
    expected.push_back(read("alone.txt"));
  }
  ASSERT_EQ(::unlink(path("alone.txt").c_str()), 0);
  // What a killed writer left goes; the file of a writer still at work (it holds the lock)
  // stays, here through the first round.
  write(".T.txt.tallyra-tmp.Stale1", "half");
  int live = ::open(path(".T.txt.tallyra-tmp.Live01").c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  ASSERT_GE(live, 0);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<test::StartedProgram> writers;
    for (int w = 0; w < kWriters; ++w) {
      writers.push_back(test::StartCli({"import", path("src" + std::to_string(w) + ".txt"), "--as",
                                        "results", "--oldest-first", "--out", path("T.txt")}));
    }
    std::vector<int> codes;
    std::vector<std::string> errors;
    for (test::StartedProgram& writer : writers) {
      const ProgramRun done = writer.finish();
      codes.push_back(done.code);
      errors.push_back(done.err);
    }
    const std::string landed = read("T.txt");
    const auto found = std::find(expected.begin(), expected.end(), landed);
    ASSERT_NE(found, expected.end()) << "round " << round;
    EXPECT_EQ(codes[static_cast<std::size_t>(found - expected.begin())], 0) << "round " << round;
    for (int w = 0; w < kWriters; ++w) {
      EXPECT_TRUE(codes[static_cast<std::size_t>(w)] == 0 ||
                  expected[static_cast<std::size_t>(w)] != landed)
          << "round " << round << " writer " << w << ": " << errors[static_cast<std::size_t>(w)];
    }
    // Every writer is done: none left a temporary file.
    std::vector<std::string> names = listing();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n.rfind("src", 0) == 0; }),
                names.end());
    if (live >= 0) {
      EXPECT_EQ(names, (std::vector<std::string>{".T.txt.tallyra-tmp.Live01", "T.txt"}));
      ::close(live);
      live = -1;
    } else {
      EXPECT_EQ(names, std::vector<std::string>{"T.txt"}) << "round " << round;
    }
  }
}

// A writer killed at any moment leaves the file whole, old or new, and the next run clears
// what it left behind.
TEST_F(ImportCommand, AKilledWriterLeavesNoTornFileAndTheNextRunClearsUp) {
  std::string source;
  for (int row = 0; row < 90000; ++row) {
    const int first = 1 + row % 40;
    source += std::to_string(first);
    for (int k = 1; k < 6; ++k) {
      source += ',';
      source += std::to_string(first + k + (row / 40) % 4);
    }
    source += "\n";
  }
  write("stakes.csv", source);
  for (const char* option : {"--out", "--merge-into"}) {
    const bool merge = std::string(option) == "--merge-into";
    // A held history the import continues, or any file it replaces.
    const std::string old = merge ? "" : "1 - 1,2,3,4,5,6;\r\n";
    write("T.txt", old);
    std::vector<std::string> args = {
        "import", path("stakes.csv"), "--as", merge ? "results" : "stakes", option, path("T.txt")};
    // Killed at whatever point it has reached when the signal comes.
    test::StartedProgram writer = test::StartCli(args);
    writer.kill();
    writer.finish();
    const std::string after = read("T.txt");
    EXPECT_TRUE(after == old ||
                (after.size() > old.size() && after.substr(after.size() - 2) == "\r\n"))
        << option;
    args.erase(args.begin());
    const ProgramRun next = run(args);
    EXPECT_EQ(next.code, 0) << next.err;
    for (const std::string& name : listing()) {
      EXPECT_EQ(name.find("tallyra-tmp"), std::string::npos) << name;
    }
  }
}

// Output that cannot be written is a failure of any command, told on standard error.
TEST_F(ImportCommand, StandardOutputThatCannotBeWrittenFails) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  write("dated.txt", kDated);
  write("R.txt", "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,30,31,32;\r\n");
  write("st.txt", "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,40,41;\r\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"import", path("dated.txt"), "--as", "results"},
           {"import", path("dated.txt"), "--as", "results", "--json"},
           {"stats", "--results", path("R.txt")},
           {"stats", "--results", path("R.txt"), "--json"},
           {"collate", "stakes", "--stakes", path("st.txt")},
           {"--help"},
       }) {
    const ProgramRun full = cli(args, "/dev/full");
    EXPECT_EQ(full.code, 1) << args[0] << " " << args.back();
    EXPECT_NE(full.err.find("Cannot write the output. No space left on device"), std::string::npos)
        << full.err;
    EXPECT_EQ(cli(args).code, 0) << args[0];
  }
  const ProgramRun russian =
      cli({"collate", "stakes", "--stakes", path("st.txt"), "--lang", "ru"}, "/dev/full");
  EXPECT_EQ(russian.code, 1);
  EXPECT_NE(russian.err.find("Не удалось вывести результат."), std::string::npos) << russian.err;
}

// The draws' own amounts in the prize file beside the held history move with the draws, as
// the window's import moves them, so that winnings pays each draw its own.
TEST_F(ImportCommand, MergeIntoMovesTheHeldDrawsPrizesWithThem) {
  // Held: the two newest draws of kDated; the import brings the one before them.
  write("Results.txt", "1 - 9,20,34,40,42,43;\r\n2 - 1,2,3,4,5,6;\r\n");
  const std::string prizes =
      "price; 2.00\r\n3; 1.50\r\n4; 10.00\r\n5; 500.00\r\n6; 100000.00\r\n"
      "1; 1.00; 2.00; 3.00; 4.00\r\n2; 5.00; 6.00; 7.00; 8.00\r\n";
  write("prizes.tly", prizes);
  write("dated.txt", kDated);

  // Into another file: the held history and its prizes stay as they are.
  ProgramRun r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt"),
                      "--out", path("merged.txt")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("prizes.tly"), prizes);

  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read("Results.txt"),
            "1 - 7,8,9,10,11,12;\r\n2 - 9,20,34,40,42,43;\r\n3 - 1,2,3,4,5,6;\r\n");
  EXPECT_EQ(read("prizes.tly"),
            "price; 2.00\r\n3; 1.50\r\n4; 10.00\r\n5; 500.00\r\n6; 100000.00\r\n"
            "2; 1.00; 2.00; 3.00; 4.00\r\n3; 5.00; 6.00; 7.00; 8.00\r\n");
  // Draw 3 (1,2,3,4,5,6) pays its own 8.00 for six common numbers.
  write("st.txt", "1 - 1,2,3,4,5,6;\r\n");
  r = cli({"winnings", "--stakes", path("st.txt"), "--results", path("Results.txt"), "--prizes",
           path("prizes.tly"), "--draw", "3", "--json"});
  EXPECT_NE(r.out.find("\"winnings\": \"8.00\""), std::string::npos) << r.out;

  // A prize file that does not read stops the merge before anything is written.
  write("Results.txt", "1 - 9,20,34,40,42,43;\r\n2 - 1,2,3,4,5,6;\r\n");
  write("prizes.tly", "price; lots\r\n");
  ::unlink(path("Results.txt.bak").c_str());
  r = run({path("dated.txt"), "--as", "results", "--merge-into", path("Results.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(read("Results.txt"), "1 - 9,20,34,40,42,43;\r\n2 - 1,2,3,4,5,6;\r\n");
  EXPECT_EQ(read("prizes.tly"), "price; lots\r\n");
  EXPECT_FALSE(ReadWholeFile(path("Results.txt.bak")).ok);
}

// Without --max the game's M is the largest number in the columns found; a --max below it is
// a wrong game, and nothing is taken from the rows that happen to fit.
TEST_F(ImportCommand, MComesFromTheColumnsAndAWrongMaxFailsNamingTheLargestNumber) {
  const std::string uk =
      std::string(TALLYRA_REAL_HISTORIES) + "/uk-lotto-6of59-official-raffles.csv";
  ProgramRun r = run({uk, "--as", "results", "--out", path("Results.txt")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("columns 2,3,4,5,6,7"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("M: 59 (the largest number read)"), std::string::npos) << r.err;
  EXPECT_EQ(read("Results.txt").substr(0, 22), "1 - 21,47,12,19,51,38;");
  r = run({uk, "--as", "results", "--json"});
  EXPECT_NE(r.out.find("\"max\": 59, \"ok\": true"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"columns\": [2, 3, 4, 5, 6, 7]"), std::string::npos);

  r = run({uk, "--as", "results", "--max", "49", "--out", path("wrong.txt")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("line 5 holds 59, above --max 49"), std::string::npos) << r.err;
  EXPECT_EQ(listing(), (std::vector<std::string>{"Results.txt"}));
  r = run({uk, "--as", "results", "--max", "59", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"max\": 59, \"ok\": true"), std::string::npos) << r.out;

  // Columns that cannot be told: what was found, and the way to say which.
  write("words.csv", "Draw,Numbers\n1,3 11 19 25 38 ?\n2,1 5 12 26 41 ?\n");
  r = run({path("words.csv"), "--as", "results"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Give the columns of the six numbers with --columns"), std::string::npos)
      << r.err;
}

TEST_F(ImportCommand, RepeatedDrawsChoosesWhetherSecondDrawsOfOneNameAreTaken) {
  write("evening.csv",
        "Draw,Seq,Date,N1,N2,N3,N4,N5,N6\n7,0,1982-06-12,3,11,12,14,41,43\n"
        "7,1,1982-06-12,5,9,20,30,33,48\n8,0,1982-06-19,8,33,36,37,39,41\n");
  ProgramRun r = run({path("evening.csv"), "--as", "results", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"rows\": 2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"line\": 3, \"reason\": \"second-draw\", \"value\": \"2\""),
            std::string::npos)
      << r.out;
  r = run({path("evening.csv"), "--as", "results", "--repeated-draws", "first"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1 - 3,11,12,14,41,43;\r\n2 - 8,33,36,37,39,41;\r\n");
  r = run({path("evening.csv"), "--as", "results", "--repeated-draws", "all"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1 - 3,11,12,14,41,43;\r\n2 - 5,9,20,30,33,48;\r\n3 - 8,33,36,37,39,41;\r\n");
  r = run({path("evening.csv"), "--as", "results", "--repeated-draws", "some"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("--repeated-draws takes first or all"), std::string::npos) << r.err;
}

// Published histories of other games, read without --max: the game's M is what they hold.
TEST_F(ImportCommand, RealHistoriesOfOtherGamesAreReadWithTheirOwnM) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"mega-sena-6of60-semicolon-quoted.csv", "\"max\": 60, \"ok\": true"},
      {"israel-lotto-6of37-hebrew-headings.csv", "\"max\": 37, \"ok\": true"},
      {"italy-superenalotto-6of90-no-year-dates.csv", "\"max\": 90, \"ok\": true"},
      {"japan-loto6-6of43-japanese-headings.csv", "\"max\": 43, \"ok\": true"},
      {"irish-lotto-6of47-newest-first.csv", "\"max\": 47, \"ok\": true"},
  };
  for (const auto& [file, max] : cases) {
    const ProgramRun r =
        run({std::string(TALLYRA_REAL_HISTORIES) + "/" + file, "--as", "results", "--json"});
    EXPECT_EQ(r.code, 0) << file << r.err;
    EXPECT_NE(r.out.find(max), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"rows\": 30,"), std::string::npos) << r.out;
    const bool headed = file.find("italy") == std::string::npos;
    EXPECT_EQ(r.out.find("{\"line\": 1, \"reason\": \"heading\"") != std::string::npos, headed)
        << r.out;
  }
}

// A file of several games, each row named by its game and its draw listed in one field: only
// the rows of the game named on the command line are taken, and none without one.
TEST_F(ImportCommand, AFileOfSeveralGamesIsReadForTheGameNamed) {
  const std::string file =
      std::string(TALLYRA_REAL_HISTORIES) + "/philippines-pcso-mixed-games-6of42-to-6of58.csv";
  ProgramRun r = run({file, "--as", "results"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("several games: Grand Lotto 6/55, Megalotto 6/45, Ultra Lotto 6/58, "
                       "Superlotto 6/49, Lotto 6/42. Only the draws of the game set are imported; "
                       "set one of them. Name it with --game or --max."),
            std::string::npos)
      << r.err;
  for (const auto& [option, game] : {std::pair{"--game", "pcso-658"}, std::pair{"--max", "58"}}) {
    r = run({file, "--as", "results", option, game});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1 - 19,44,38,33,47,43;\r\n2 - 5,37,40,48,9,39;\r\n");
    EXPECT_NE(r.err.find("Line 2: another game (Grand Lotto 6/55)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("columns 2,3,4,5,6,7, newest-first from dates"), std::string::npos);
  }
  // A game whose M lies below the numbers read names both.
  r = run({std::string(TALLYRA_REAL_HISTORIES) + "/mega-sena-6of60-semicolon-quoted.csv", "--as",
           "results", "--game", "pcso-642"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("line 4 holds 60, above 42, the largest number of pcso-642"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace tallyra
