#pragma once

// Every command of tallyra-cli, made once for the registry. Each is a class of its own in
// NameCommand.cpp, derived from Command; a new command adds its maker here and a line in
// Registry.cpp.

#include <memory>

#include "cli/Command.h"

namespace tallyra::cli {

std::unique_ptr<Command> MakeCollateCommand();
std::unique_ptr<Command> MakeCheckCommand();
std::unique_ptr<Command> MakeStatsCommand();
std::unique_ptr<Command> MakeFetchCommand();
std::unique_ptr<Command> MakeImportCommand();
std::unique_ptr<Command> MakeWheelCommand();
std::unique_ptr<Command> MakeWinningsCommand();
std::unique_ptr<Command> MakeGamesCommand();
std::unique_ptr<Command> MakeAnalyseCommand();
std::unique_ptr<Command> MakeGenerateCommand();

}  // namespace tallyra::cli
