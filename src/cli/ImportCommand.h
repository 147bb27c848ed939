#pragma once

#include "cli/Command.h"

namespace tallyra::cli {

// tallyra-cli import FILE --as results|stakes|system [...]: reads a draw history or a stake
// list in a shape found in the wild and writes it as record lines, oldest draw first,
// optionally merged into a held history. Exits with 1 when nothing was usable or nothing was
// written.
class ImportCommand final : public Command {
 public:
  ImportCommand();
  int run(const Arguments& args, Output& output) const override;
};

}  // namespace tallyra::cli
