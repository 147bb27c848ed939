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

namespace {

// The length of the well-formed UTF-8 character at text[i] of two bytes or more, 0 when none
// starts there. C1 controls (U+0080..U+009F) count as none: they are controls all the same.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  auto at = [&](std::size_t k) {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
  };
  const unsigned lead = at(i);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    if (lead == 0xC2) low = 0xA0;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string Excerpt(std::string_view bytes, std::size_t maxChars, bool cut) {
  std::string out;
  std::size_t shown = 0;  // characters on the screen: an escaped byte takes four
  std::size_t i = 0;
  for (; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    std::size_t length = c >= 0x20 && c < 0x7F ? 1 : Utf8Length(bytes, i);
    const std::size_t width = length == 0 ? 4 : 1;
    if (shown + width > maxChars) break;
    if (length == 0) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      length = 1;
    } else {
      out.append(bytes.substr(i, length));
    }
    shown += width;
    i += length;
  }
  if (cut || i < bytes.size()) out += "\xE2\x80\xA6";  // …
  return out;
}

ProblemError::ProblemError(Problem problem)
    : std::runtime_error(Describe(problem, ToValue(Language::English))),
      m_problem(std::move(problem)) {}

}  // namespace tallyra
