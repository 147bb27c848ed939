#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

class CollateCommand final : public Command {
 public:
  CollateCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
