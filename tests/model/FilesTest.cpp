#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

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

TEST_F(Files, WriteThenReadGivesTheSameBytes) {
  const std::string data("1 - 1,2,3,4,5,6;\r\n\0\xFF", 20);
  ASSERT_FALSE(WriteFileReplacing(path("a.txt"), data));
  const FileText back = ReadWholeFile(path("a.txt"));
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.data, data);
}

TEST_F(Files, MissingFileReportsTheSystemsReason) {
  const FileText back = ReadWholeFile(path("none.txt"));
  EXPECT_FALSE(back.ok);
  EXPECT_EQ(back.error, "No such file or directory");
}

TEST_F(Files, FailedWriteLeavesThePreviousFileAndNoTemporaryFile) {
  ASSERT_FALSE(WriteFileReplacing(path("keep.txt"), "old"));
  // A directory in the way of the rename: the write fails, the old file is untouched.
  ASSERT_EQ(::mkdir(path("dir").c_str(), 0755), 0);
  ASSERT_FALSE(WriteFileReplacing(path("dir/x"), "inner"));
  EXPECT_TRUE(WriteFileReplacing(path("dir"), "new"));
  EXPECT_EQ(ReadWholeFile(path("keep.txt")).data, "old");
  EXPECT_FALSE(WriteFileReplacing(path("keep.txt"), "new"));
  EXPECT_EQ(ReadWholeFile(path("keep.txt")).data, "new");
  EXPECT_TRUE(WriteFileReplacing(path("missing-folder/x.txt"), "x"));
  const int leftovers = std::system(("ls -A '" + m_dir + "' | grep -q tallyra-").c_str());
  EXPECT_NE(leftovers, 0);
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

}  // namespace
}  // namespace tallyra
