#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <iterator>
#include <thread>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "FolderListing.h"
#include "model/DataFiles.h"
#include "model/Files.h"
#include "model/Integer.h"

namespace tallyra {
namespace {

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  std::string m_dir;
};

using Files = TempDir;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(Files, WriteThenReadGivesTheSameBytes) {
  const std::string data("1 - 1,2,3,4,5,6;\r\n\0\xFF", 20);
  ASSERT_FALSE(WriteFileReplacing(path("a.txt"), data));
  const FileText back = ReadWholeFile(path("a.txt"), kMaxListFileBytes);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.data, data);
}

TEST_F(Files, MissingFileReportsTheSystemsReason) {
  const FileText back = ReadWholeFile(path("none.txt"), kMaxListFileBytes);
  EXPECT_FALSE(back.ok);
  EXPECT_EQ(back.error, ENOENT);
  EXPECT_EQ(DescribeFileError(back.error, 1), "No such file or directory");
}

TEST_F(Files, FailedWriteLeavesThePreviousFileAndNoTemporaryFile) {
  ASSERT_FALSE(WriteFileReplacing(path("keep.txt"), "old"));
  // A directory in the way of the rename: the write fails, the old file is untouched.
  ASSERT_EQ(::mkdir(path("dir").c_str(), 0755), 0);
  ASSERT_FALSE(WriteFileReplacing(path("dir/x"), "inner"));
  EXPECT_EQ(WriteFileReplacing(path("dir"), "new"), EISDIR);
  EXPECT_EQ(Slurp(path("keep.txt")), "old");
  EXPECT_FALSE(WriteFileReplacing(path("keep.txt"), "new"));
  EXPECT_EQ(Slurp(path("keep.txt")), "new");
  EXPECT_EQ(WriteFileReplacing(path("missing-folder/x.txt"), "x"), ENOENT);
  const int leftovers = std::system(("ls -A '" + m_dir + "' | grep -q tallyra-").c_str());
  EXPECT_NE(leftovers, 0);
}

// Pipes, devices and folders are never waited on or read; a file larger than allowed is
// refused before its bytes are read.
TEST_F(Files, OnlyRegularFilesOfTheAllowedSizeAreRead) {
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
  // Should the reader ever block on the pipe again, a writer comes after a while, so the test
  // fails instead of hanging.
  std::atomic<bool> done{false};
  std::thread guard([&] {
    for (int i = 0; i < 300 && !done; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done) return;
    const int fd = ::open(path("fifo").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  const FileText fifo = ReadWholeFile(path("fifo"), kMaxListFileBytes);
  done = true;
  guard.join();
  EXPECT_FALSE(fifo.ok);
  EXPECT_EQ(fifo.error, kNotRegularFile);

  for (const char* device : {"/dev/zero", "/dev/null"}) {
    const FileText dev = ReadWholeFile(device, kMaxListFileBytes);
    EXPECT_FALSE(dev.ok) << device;
    EXPECT_EQ(dev.error, kNotRegularFile) << device;
  }
  ASSERT_EQ(::mkdir(path("dir").c_str(), 0755), 0);
  EXPECT_EQ(ReadWholeFile(path("dir"), kMaxListFileBytes).error, EISDIR);

  ASSERT_FALSE(WriteFileReplacing(path("ten.txt"), "0123456789"));
  EXPECT_TRUE(ReadWholeFile(path("ten.txt"), 10).ok);
  const FileText large = ReadWholeFile(path("ten.txt"), 9);
  EXPECT_FALSE(large.ok);
  EXPECT_EQ(large.error, kFileTooLarge);
  EXPECT_TRUE(large.data.empty());
  // A sparse file just above the list files' bound is refused without reading its 32 MB.
  ASSERT_EQ(::truncate(path("ten.txt").c_str(), static_cast<off_t>(kMaxListFileBytes) + 1), 0);
  EXPECT_EQ(ReadWholeFile(path("ten.txt"), kMaxListFileBytes).error, kFileTooLarge);
  ASSERT_EQ(::truncate(path("ten.txt").c_str(), static_cast<off_t>(kMaxListFileBytes)), 0);
  EXPECT_TRUE(ReadWholeFile(path("ten.txt"), kMaxListFileBytes).ok);
}

// A save through a symbolic link writes the file the link points to; the link stays a link.
TEST_F(Files, SavingThroughALinkUpdatesItsTarget) {
  ASSERT_EQ(::mkdir(path("real").c_str(), 0755), 0);
  ASSERT_FALSE(WriteFileReplacing(path("real/Stavka.txt"), "old"));
  ASSERT_EQ(::symlink("real/Stavka.txt", path("link.txt").c_str()), 0);
  ASSERT_EQ(::symlink("link.txt", path("chain.txt").c_str()), 0);
  ASSERT_FALSE(WriteFileReplacing(path("chain.txt"), "new"));
  struct stat st {};
  ASSERT_EQ(::lstat(path("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat(path("chain.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Slurp(path("real/Stavka.txt")), "new");
  // The temporary file was made beside the target, not beside the link.
  EXPECT_NE(std::system(("ls -A '" + m_dir + "/real' | grep -q tallyra-").c_str()), 0);
  // A link to a file that does not exist yet creates that file.
  ASSERT_EQ(::symlink("real/fresh.txt", path("dangling.txt").c_str()), 0);
  ASSERT_FALSE(WriteFileReplacing(path("dangling.txt"), "fresh"));
  EXPECT_EQ(Slurp(path("real/fresh.txt")), "fresh");
  ASSERT_EQ(::lstat(path("dangling.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  // A loop of links is an error, not a hang.
  ASSERT_EQ(::symlink("loop-b", path("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", path("loop-b").c_str()), 0);
  EXPECT_TRUE(WriteFileReplacing(path("loop-a"), "x"));
}

TEST_F(Files, AReadOnlyFileOrAPipeIsNotReplaced) {
  ASSERT_FALSE(WriteFileReplacing(path("ro.txt"), "old"));
  ASSERT_EQ(::chmod(path("ro.txt").c_str(), 0444), 0);
  EXPECT_EQ(WriteFileReplacing(path("ro.txt"), "new"), EACCES);
  EXPECT_EQ(Slurp(path("ro.txt")), "old");
  EXPECT_EQ(DescribeFileError(EACCES, 0), "Доступ запрещён");

  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
  EXPECT_EQ(WriteFileReplacing(path("fifo"), "x"), kNotRegularFile);
  struct stat st {};
  ASSERT_EQ(::lstat(path("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A replaced file keeps its permissions.
  ASSERT_FALSE(WriteFileReplacing(path("own.txt"), "a"));
  ASSERT_EQ(::chmod(path("own.txt").c_str(), 0640), 0);
  ASSERT_FALSE(WriteFileReplacing(path("own.txt"), "b"));
  ASSERT_EQ(::stat(path("own.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Temporary files are named after their target with a part of their own: what an interrupted
// save left behind is cleared by the next save of the same file, never one that a running save
// holds (it keeps its file locked), and never another file's.
TEST_F(Files, ATemporaryFileLeftBehindIsRemovedByTheNextSaveButNotOneInUse) {
  ASSERT_FALSE(WriteFileReplacing(path("Stavka.txt"), "old"));
  for (const char* name : {".Stavka.txt.tallyra-tmp", ".Stavka.txt.tallyra-tmp.Ab3dE9",
                           ".System.txt.tallyra-tmp.Ab3dE9"}) {
    std::ofstream stale(path(name));
    stale << "half a save";
  }
  // A running save of the same file: its temporary file is locked.
  const int held = ::open(path(".Stavka.txt.tallyra-tmp.Live01").c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  ASSERT_EQ(::write(held, "in use", 6), 6);

  ASSERT_FALSE(WriteFileReplacing(path("Stavka.txt"), "new"));
  EXPECT_EQ(Slurp(path("Stavka.txt")), "new");
  EXPECT_EQ(::test::FolderListing(m_dir),
            (std::vector<std::string>{".Stavka.txt.tallyra-tmp.Live01",
                                      ".System.txt.tallyra-tmp.Ab3dE9", "Stavka.txt"}));
  EXPECT_EQ(Slurp(path(".Stavka.txt.tallyra-tmp.Live01")), "in use");
  // Once that save is gone (killed, say), its file goes with the next save.
  ::close(held);
  ASSERT_FALSE(WriteFileReplacing(path("Stavka.txt"), "newer"));
  EXPECT_EQ(::test::FolderListing(m_dir),
            (std::vector<std::string>{".System.txt.tallyra-tmp.Ab3dE9", "Stavka.txt"}));

  // A stale temporary name that is a link pointing elsewhere is removed, not written through.
  ASSERT_FALSE(WriteFileReplacing(path("victim.txt"), "safe"));
  ASSERT_EQ(::symlink("victim.txt", path(".Stavka.txt.tallyra-tmp.Link01").c_str()), 0);
  ASSERT_FALSE(WriteFileReplacing(path("Stavka.txt"), "newest"));
  EXPECT_EQ(Slurp(path("victim.txt")), "safe");
  EXPECT_EQ(Slurp(path("Stavka.txt")), "newest");
  EXPECT_NE(::access(path(".Stavka.txt.tallyra-tmp.Link01").c_str(), F_OK), 0);

  // A name too long to take the suffix still gets a temporary file of its own.
  const std::string longName(250, 'n');
  ASSERT_FALSE(WriteFileReplacing(path(longName), "long"));
  EXPECT_EQ(Slurp(path(longName)), "long");
}

// Saves of one file at once never share a temporary file: each that reports success had its
// own file take the target's place, and the target is always one of them whole.
TEST_F(Files, ConcurrentSavesOfOneFileEachTellTheTruth) {
  constexpr int kWriters = 8;
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::thread> writers;
    std::array<std::optional<int>, kWriters> results;
    std::atomic<int> ready{0};
    for (int w = 0; w < kWriters; ++w) {
      writers.emplace_back([&, w] {
        ready.fetch_add(1);
        while (ready.load() < kWriters) std::this_thread::yield();
        results[static_cast<std::size_t>(w)] =
            WriteFileReplacing(path("T.txt"), std::string(1000 + w, static_cast<char>('a' + w)));
      });
    }
    for (std::thread& t : writers) t.join();
    for (int w = 0; w < kWriters; ++w) {
      EXPECT_FALSE(results[static_cast<std::size_t>(w)]) << "writer " << w;
    }
    const std::string landed = Slurp(path("T.txt"));
    ASSERT_GE(landed.size(), 1000u);
    EXPECT_EQ(landed, std::string(landed.size(), landed[0]));
    EXPECT_EQ(::test::FolderListing(m_dir), std::vector<std::string>{"T.txt"});
  }
}

// Two paths are one file through links and other spellings; a file not made yet is told by its
// folder and name.
TEST_F(Files, IdentityFollowsLinksAndSpellings) {
  ASSERT_FALSE(WriteFileReplacing(path("R.txt"), "draws"));
  ASSERT_EQ(::mkdir(path("sub").c_str(), 0700), 0);
  ASSERT_EQ(::symlink("R.txt", path("link.txt").c_str()), 0);
  ASSERT_EQ(::link(path("R.txt").c_str(), path("hard.txt").c_str()), 0);
  ASSERT_EQ(::symlink("sub", path("folder").c_str()), 0);
  EXPECT_TRUE(SameFile(path("R.txt"), path("./R.txt")));
  EXPECT_TRUE(SameFile(path("R.txt"), path("sub/../R.txt")));
  EXPECT_TRUE(SameFile(path("R.txt"), path("link.txt")));
  EXPECT_TRUE(SameFile(path("R.txt"), path("hard.txt")));
  EXPECT_FALSE(SameFile(path("R.txt"), path("sub/R.txt")));
  // Not there yet.
  EXPECT_TRUE(SameFile(path("sub/new.txt"), path("folder/new.txt")));
  EXPECT_TRUE(SameFile(path("new.txt"), path("sub/../new.txt")));
  EXPECT_FALSE(SameFile(path("new.txt"), path("sub/new.txt")));
  EXPECT_FALSE(SameFile(path("new.txt"), path("other.txt")));
  ASSERT_EQ(::symlink("sub/made-later.txt", path("dangling").c_str()), 0);
  EXPECT_TRUE(SameFile(path("dangling"), path("folder/made-later.txt")));
  EXPECT_FALSE(SameFile(path("nowhere/a.txt"), path("nowhere/a.txt")));
}

TEST_F(Files, ABackupKeepsTheOldFileBesideIt) {
  EXPECT_FALSE(BackUpFile(path("R.txt")));  // nothing to keep
  EXPECT_NE(::access(path("R.txt.bak").c_str(), F_OK), 0);
  ASSERT_FALSE(WriteFileReplacing(path("R.txt"), "old draws"));
  EXPECT_FALSE(BackUpFile(path("R.txt")));
  EXPECT_EQ(Slurp(path("R.txt.bak")), "old draws");
  // A file larger than allowed is not copied, and the caller must not replace it.
  EXPECT_EQ(BackUpFile(path("R.txt"), 3), kFileTooLarge);
}

TEST(FileErrors, EveryCommonReasonIsToldInBothLanguages) {
  for (const int error : {ENOENT, EACCES, EPERM, EROFS, ENOSPC, EISDIR, ENOMEM, kNotRegularFile,
                          kFileTooLarge, EIO}) {
    const std::string ru = DescribeFileError(error, 0);
    const std::string en = DescribeFileError(error, 1);
    EXPECT_FALSE(ru.empty());
    EXPECT_FALSE(en.empty());
    EXPECT_NE(ru, en) << error;
    // The Russian text holds no Latin letters: nothing of the system's English leaks in.
    EXPECT_EQ(ru.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
              std::string::npos)
        << ru;
  }
  EXPECT_EQ(DescribeFileError(EROFS, 1), "Read-only file system");
  EXPECT_EQ(DescribeFileError(kFileTooLarge, 1),
            "The file is larger than 32 MB, more than any list can hold");
  EXPECT_EQ(DescribeFileError(EIO, 1), "Input/output error");
}

TEST(Integers, DecimalIsStrict) {
  EXPECT_EQ(ParseDecimal("0"), 0);
  EXPECT_EQ(ParseDecimal("+12"), 12);
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseDecimal("2147483648"));
  EXPECT_FALSE(ParseDecimal("99999999999999999999"));
  EXPECT_FALSE(ParseDecimal(""));
  EXPECT_FALSE(ParseDecimal("+"));
  EXPECT_FALSE(ParseDecimal("$10"));
  EXPECT_FALSE(ParseDecimal("1\r\n2"));
  EXPECT_FALSE(ParseDecimal(" 1"));
}

TEST(Integers, TypedFieldsAcceptBlanksSignAndHexadecimal) {
  EXPECT_EQ(ParseInteger("  7"), 7);
  EXPECT_EQ(ParseInteger("-7"), -7);
  EXPECT_EQ(ParseInteger("$1F"), 31);
  EXPECT_EQ(ParseInteger("x1f"), 31);
  EXPECT_EQ(ParseInteger("0x10"), 16);
  EXPECT_EQ(ParseInteger("06"), 6);
  EXPECT_FALSE(ParseInteger("7 "));
  EXPECT_FALSE(ParseInteger("0x"));
  EXPECT_FALSE(ParseInteger("$"));
  EXPECT_FALSE(ParseInteger("1e3"));
}

// The program's own files are found in the data folder it is given, and told by their names.
TEST(DataFiles, PlaceTheProgramsFilesInTheirFolderAndNameThemAsTheUserKnowsThem) {
  const DataFiles data("/home/ann/.local/share/tallyra");
  EXPECT_EQ(data.path(kResultsFileName), "/home/ann/.local/share/tallyra/Results.txt");
  EXPECT_EQ(DataFiles("/").path("prizes.tly"), "/prizes.tly");
  EXPECT_EQ(DataFiles("draws/").path("prizes.tly"), "draws/prizes.tly");
  // No folder: the working folder, as the command line has it.
  EXPECT_EQ(DataFiles().path("prizes.tly"), "prizes.tly");
  // A path written into one of the files: a relative one is the data folder's.
  EXPECT_EQ(data.resolve("own-ca.pem"), "/home/ann/.local/share/tallyra/own-ca.pem");
  EXPECT_EQ(data.resolve("/etc/ca.pem"), "/etc/ca.pem");
  EXPECT_EQ(data.resolve(""), "");

  const Problem told = data.named(
      {TextId::TxtCannotWrite, {data.path("prizes.tly"), "/elsewhere/prizes.tly"}, 0, EACCES},
      "prizes.tly");
  EXPECT_EQ(told.args, (std::vector<std::string>{"prizes.tly", "/elsewhere/prizes.tly"}));
  EXPECT_EQ(told.fileError, EACCES);
}

}  // namespace
}  // namespace tallyra
