#include "cli/Registry.h"

#include <new>

#include "cli/Commands.h"
#include "model/Problem.h"
#include "model/TextTable.h"

namespace tallyra::cli {

const char* const kHelpTail =
    "\n"
    "tallyra-cli --help prints this text, tallyra-cli COMMAND --help the usage of one command\n"
    "(tallyra-cli wheel build --help of one action), tallyra-cli --version the version.\n"
    "A file that cannot be read exits with 1, a mistaken call with 2.\n";

const std::vector<std::unique_ptr<Command>>& Commands() {
  static const std::vector<std::unique_ptr<Command>> commands = [] {
    std::vector<std::unique_ptr<Command>> all;
    all.push_back(MakeCollateCommand());
    all.push_back(MakeCheckCommand());
    all.push_back(MakeStatsCommand());
    all.push_back(MakeFetchCommand());
    all.push_back(MakeImportCommand());
    all.push_back(MakeWheelCommand());
    all.push_back(MakeWinningsCommand());
    all.push_back(MakeGamesCommand());
    all.push_back(MakeAnalyseCommand());
    all.push_back(MakeGenerateCommand());
    return all;
  }();
  return commands;
}

const Command* FindCommand(std::string_view name) {
  for (const auto& command : Commands()) {
    if (name == command->name()) return command.get();
  }
  return nullptr;
}

namespace {

// The usage lines of the commands up to `last` (every command's when null).
std::string UsageThrough(const Command* last) {
  std::string text = "usage:\n";
  for (const auto& command : Commands()) {
    text += command->syntax().usage;
    if (command.get() == last) break;
  }
  return text;
}

std::string UsageAfterMistake(const Command& command) {
  switch (command.syntax().afterMistake) {
    case UsageShown::Program:
      return UsageThrough(nullptr);
    case UsageShown::Own:
      return std::string("usage:\n") + command.syntax().usage;
    case UsageShown::UpToItself:
      return UsageThrough(&command);
  }
  return UsageThrough(nullptr);
}

}  // namespace

std::string ProgramUsage() {
  return UsageThrough(nullptr);
}

int RunCommand(const Command& command, const std::vector<std::string>& args, Output& output) {
  try {
    const Arguments parsed = command.parse(args);
    try {
      return command.run(parsed, output);
    } catch (const std::bad_alloc&) {
      // The message is the table's own static text: nothing more is allocated to tell it.
      output.err << Text(TextId::TxtOutOfMemory, parsed.messageLanguage()) << '\n';
      return 1;
    } catch (const ProblemError& e) {
      output.err << Describe(e.problem(), parsed.messageLanguage()) << "\n";
      return 1;
    }
  } catch (const UsageError& e) {
    output.err << "tallyra-cli: " << e.text << "\n" << UsageAfterMistake(command);
    return 2;
  } catch (const Failure& e) {
    output.err << e.text << "\n";
    return 1;
  }
}

}  // namespace tallyra::cli
