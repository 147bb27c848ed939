#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

class FetchCommand final : public Command {
 public:
  FetchCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
