#pragma once

// A command of tallyra-cli: its name, its lines of the usage text, the words and options it
// takes, and its run. A new command is a class of its own in src/cli/ derived from Command and
// listed in Registry.cpp; the reading of its call, the mistakes' messages and exit codes, and
// the errors that escape its run are this base's.

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Options.h"

namespace tallyra::cli {

// Where a command writes: its results to `out`, its notices to `err`.
struct Output {
  std::ostream& out;
  std::ostream& err;
};

// The usage text shown after the reason of a mistaken call.
enum class UsageShown {
  Program,     // every command's lines
  Own,         // the command's own lines
  UpToItself,  // the lines of the commands listed before it, and its own
};

struct Syntax {
  const char* name = "";
  // Its lines of the usage text: "  tallyra-cli NAME ..." and the lines that continue them.
  const char* usage = "";
  // The words the call starts with, and the reason when fewer are given.
  std::size_t words = 0;
  const char* wordsMissing = "";
  std::vector<Option> options = {};
  // The first word names an action with usage lines of its own (`wheel build --help`).
  bool actions = false;
  UsageShown afterMistake = UsageShown::Program;
};

class Command {
 public:
  explicit Command(Syntax syntax) : m_syntax(std::move(syntax)) {}
  virtual ~Command() = default;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  const Syntax& syntax() const { return m_syntax; }
  const char* name() const { return m_syntax.name; }

  // The usage lines of `COMMAND [ACTION] ... --help`: the command's, or its action's when it
  // has lines of its own.
  std::string help(const std::string& action) const;

  // Reads the arguments after the command's name; throws UsageError.
  virtual Arguments parse(const std::vector<std::string>& args) const;
  // Runs the command; returns the exit code, throws UsageError, Failure or ProblemError.
  virtual int run(const Arguments& args, Output& output) const = 0;

 private:
  Syntax m_syntax;
};

// The lines of `usage` that belong to a command (and to one of its actions, when given): its
// first line and the lines that continue it. Empty when none do.
std::string UsageLines(const std::string& usage, const std::string& command,
                       const std::string& action);

}  // namespace tallyra::cli
