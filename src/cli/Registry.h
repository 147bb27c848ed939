#pragma once

// Every command of tallyra-cli, in the order of the usage text, and the run of one call.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Command.h"

namespace tallyra::cli {

const std::vector<std::unique_ptr<Command>>& Commands();
// The command of that name; null when the program has none.
const Command* FindCommand(std::string_view name);

// "usage:" and every command's lines.
std::string ProgramUsage();
// What `tallyra-cli --help` prints after the usage.
extern const char* const kHelpTail;

// Reads the call's arguments (those after the command's name) and runs the command: the exit
// code, with the reason of a mistaken call, a failure or running out of memory written to
// `output.err`.
int RunCommand(const Command& command, const std::vector<std::string>& args, Output& output);

}  // namespace tallyra::cli
