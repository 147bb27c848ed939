#include "cli/Command.h"

#include <algorithm>

namespace tallyra::cli {

std::string UsageLines(const std::string& usage, const std::string& command,
                       const std::string& action) {
  std::string lines;
  bool in = false;
  std::size_t at = 0;
  while (at < usage.size()) {
    const std::size_t end = std::min(usage.find('\n', at), usage.size());
    const std::string line = usage.substr(at, end - at);
    at = end + 1;
    const std::string start = "  tallyra-cli ";
    if (line.rfind(start, 0) == 0) {
      const std::string words = line.substr(start.size()) + " ";
      in = words.rfind(command + " ", 0) == 0 &&
           (action.empty() || words.rfind(command + " " + action + " ", 0) == 0);
    } else if (line.rfind("      ", 0) != 0) {
      in = false;
    }
    if (in) lines += line + "\n";
  }
  return lines;
}

std::string Command::help(const std::string& action) const {
  std::string lines = UsageLines(m_syntax.usage, m_syntax.name, action);
  if (lines.empty() && !action.empty()) lines = UsageLines(m_syntax.usage, m_syntax.name, "");
  return lines;
}

Arguments Command::parse(const std::vector<std::string>& args) const {
  if (args.size() < m_syntax.words) throw UsageError{m_syntax.wordsMissing};
  return ReadOptions(args, m_syntax.words, m_syntax.options);
}

}  // namespace tallyra::cli
