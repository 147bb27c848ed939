#include "model/Problem.h"

#include "model/Workspace.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tallyra {
namespace {

// A problem is worded when it is shown, so the same one reads in either language, the system
// error in the same language as the text around it.
TEST(Problem, IsWordedInTheLanguageItIsShownIn) {
  const Problem problem{TextId::TxtCannotWrite, {"Results.txt"}, 0, EACCES};
  const std::string english = Describe(problem, ToValue(Language::English));
  const std::string russian = Describe(problem, ToValue(Language::Russian));
  EXPECT_EQ(english.rfind("Cannot write file \"Results.txt\". ", 0), 0u) << english;
  EXPECT_EQ(russian.rfind("Не удалось записать файл \"Results.txt\". ", 0), 0u) << russian;
  EXPECT_EQ(russian, "Не удалось записать файл \"Results.txt\". Доступ запрещён");
  EXPECT_EQ(Describe(Problem{}, ToValue(Language::English)), "");
}

// Thrown, it keeps the problem for the window and gives the English text to everyone else.
TEST(Problem, ThrownItKeepsTheProblemAndAnEnglishText) {
  try {
    throw ProblemError(Problem{TextId::TxtCannotOpen, {"a.txt"}, 0, ENOENT});
  } catch (const std::runtime_error& e) {
    const auto* thrown = dynamic_cast<const ProblemError*>(&e);
    ASSERT_NE(thrown, nullptr);
    EXPECT_EQ(thrown->problem().text, TextId::TxtCannotOpen);
    EXPECT_EQ(thrown->problem().fileError, ENOENT);
    EXPECT_EQ(std::string(e.what()), Describe(thrown->problem(), ToValue(Language::English)));
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"a.txt\". ", 0), 0u);
  }
}

// What a file or a server sent reaches a message as text that cannot steer a terminal.
TEST(Problem, ExcerptsKeepTextEscapeTheRestAndStayShort) {
  EXPECT_EQ(Excerpt("7,8,x9"), "7,8,x9");
  EXPECT_EQ(Excerpt("\xD1\x87\xD0\xB8\xD1\x81\xD0\xBB\xD0\xBE \xE2\x82\xAC"),
            "\xD1\x87\xD0\xB8\xD1\x81\xD0\xBB\xD0\xBE \xE2\x82\xAC")
      << "UTF-8 stays";
  EXPECT_EQ(Excerpt(std::string("a\0b\r\n\x1b[2J\x7f\xff\xC2\x85\xE2\x82", 15), 80),
            "a\\x00b\\x0D\\x0A\\x1B[2J\\x7F\\xFF\\xC2\\x85\\xE2\\x82");
  EXPECT_EQ(Excerpt(std::string(50, 'x')), std::string(40, 'x') + "\xE2\x80\xA6");
  EXPECT_EQ(Excerpt(std::string(20, '\x01')).size(), 10 * 4 + 3) << "ten escapes fill 40";
  EXPECT_EQ(Excerpt("abc", 40, true), "abc\xE2\x80\xA6") << "cut before it came here";
}

}  // namespace
}  // namespace tallyra
