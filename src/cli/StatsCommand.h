#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

class StatsCommand final : public Command {
 public:
  StatsCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
