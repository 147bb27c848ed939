#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

class CheckCommand final : public Command {
 public:
  CheckCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
