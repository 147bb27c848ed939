#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

// tallyra-cli wheel build|check: wheels over a pool of numbers, built or checked exactly.
class WheelCommand final : public Command {
 public:
  WheelCommand();
  Arguments parse(const std::vector<std::string>& args) const override;
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
