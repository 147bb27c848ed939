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

}  // namespace
}  // namespace tallyra
