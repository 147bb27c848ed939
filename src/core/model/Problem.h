#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextTable.h"

namespace tallyra {

// Something wrong with a piece of input, a file or a computation, in the shape the window and
// the command line both show: a text with its arguments, and the line of a file when there is
// one. The text is chosen when the message is shown, so it follows the interface language.
struct Problem {
  TextId text = TextId::Count;
  std::vector<std::string> args;
  int line = 0;       // 1-based line of the prize file, 0 when the problem is not on a line
  int fileError = 0;  // a system error number, told in the user's language after the arguments

  explicit operator bool() const { return text != TextId::Count; }
};

// Bytes from a file or the network as a message may show them: printable ASCII and well-formed
// UTF-8 kept, every other byte as \xNN, so that a binary file cannot send the terminal control
// sequences or break the line; at most about `maxChars` characters, then "…" (also when `cut`
// says the text went on beyond the bytes given).
std::string Excerpt(std::string_view bytes, std::size_t maxChars = 40, bool cut = false);

// The message for the user in the given language.
std::string Describe(const Problem& problem, int32_t language);

// A Problem thrown where a return value cannot carry it (deep in a transfer, say). `what()` is
// the English message, for logs and the command line; the window shows `problem()` in the
// user's language.
class ProblemError : public std::runtime_error {
 public:
  explicit ProblemError(Problem problem);
  const Problem& problem() const { return m_problem; }

 private:
  Problem m_problem;
};

}  // namespace tallyra
