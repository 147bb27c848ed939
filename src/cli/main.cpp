// tallyra-cli: the window's collations, check and the other commands over the same core. Here
// the call is only dispatched to its command, a class of its own that Registry.cpp lists.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <vector>

#include "cli/OutputBuffer.h"
#include "cli/Registry.h"
#include "model/Files.h"
#include "model/TextTable.h"
#include "model/Workspace.h"

namespace {

using namespace tallyra::cli;

OutputBuffer*& StandardOutput() {
  static OutputBuffer* buffer = nullptr;  // kept to the end: the streams flush at exit
  return buffer;
}

// The language of the call's messages that come from outside any command's run: --lang's,
// where the command takes one.
int32_t CallLanguage(int argc, char** argv) {
  int i = 2;
  while (i + 1 < argc && std::strcmp(argv[i], "--lang") != 0) ++i;
  const bool russian = i + 1 < argc && std::strcmp(argv[i + 1], "ru") == 0;
  return tallyra::ToValue(russian ? tallyra::Language::Russian : tallyra::Language::English);
}

int RunProgram(int argc, char** argv) {
  try {
    // Even this allocates: the streams' own buffers.
    std::ios::sync_with_stdio(false);
    StandardOutput() = new OutputBuffer;
    std::cout.rdbuf(StandardOutput());
    const std::string first = argc >= 2 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
      std::cout << ProgramUsage() << kHelpTail;
      return 0;
    }
    if (first == "--version") {
      std::cout << "tallyra-cli " << TALLYRA_VERSION << "\n";
      return 0;
    }
    const Command* command = FindCommand(first);
    if (!command) {
      std::cerr << "tallyra-cli: "
                << (argc < 2 ? "a command is needed" : "unknown command '" + first + "'") << "\n"
                << ProgramUsage();
      return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    // COMMAND [ACTION] ... --help: the usage of that command, whatever else the call holds.
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] != "--help") continue;
      const bool action = command->syntax().actions && i > 0 && args[0][0] != '-';
      std::cout << "usage:\n" << command->help(action ? args[0] : "");
      return 0;
    }
    Output output{std::cout, std::cerr};
    return RunCommand(*command, args, output);
  } catch (const std::bad_alloc&) {
    // Nothing more is allocated here: the table's text is static, and the language is read
    // from the arguments as they stand.
    std::fputs(tallyra::Text(tallyra::TextId::TxtOutOfMemory, CallLanguage(argc, argv)), stderr);
    std::fputc('\n', stderr);
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int code = RunProgram(argc, argv);
  // What did not reach standard output (a full disk, a closed pipe) is a failure, whatever the
  // command itself made of its run: a caller reading the output must not take it as whole.
  std::cout.flush();
  int error = StandardOutput() ? StandardOutput()->error() : 0;
  if (error == 0 && !std::cout.good()) error = EIO;
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    if (error == 0) error = errno ? errno : EIO;
  }
  if (error != 0) {
    const int32_t language = CallLanguage(argc, argv);
    std::fputs(tallyra::Format(tallyra::TextId::TxtOutputFailed, language,
                               {tallyra::DescribeFileError(error, language)})
                   .c_str(),
               stderr);
    std::fputc('\n', stderr);
    if (code == 0) code = 1;
  }
  return code;
}
