#include "model/Problem.h"

#include "model/Files.h"
#include "model/Workspace.h"

namespace tallyra {

std::string Describe(const Problem& problem, int32_t language) {
  if (!problem) return {};
  std::vector<std::string> args = problem.args;
  if (problem.fileError != 0) args.push_back(DescribeFileError(problem.fileError, language));
  std::string text;
  switch (args.size()) {
    case 0:
      text = Text(problem.text, language);
      break;
    case 1:
      text = Format(problem.text, language, {args[0]});
      break;
    case 2:
      text = Format(problem.text, language, {args[0], args[1]});
      break;
    default:
      text = Format(problem.text, language, {args[0], args[1], args[2]});
      break;
  }
  if (problem.line > 0) {
    text = Format(TextId::TxtPrizeLine, language, {std::to_string(problem.line), text});
  }
  return text;
}

ProblemError::ProblemError(Problem problem)
    : std::runtime_error(Describe(problem, ToValue(Language::English))),
      m_problem(std::move(problem)) {}

}  // namespace tallyra
