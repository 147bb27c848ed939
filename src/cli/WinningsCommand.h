#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

// tallyra-cli winnings: what the stakes and system stakes won in the latest draw, a chosen one
// or every draw of a history, with the same figures as the window's report.
class WinningsCommand final : public Command {
 public:
  WinningsCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
