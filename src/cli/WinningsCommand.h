#pragma once

namespace tallyra::cli {

// tallyra-cli winnings ...: argv[1] is "winnings". Returns the exit code: 0 done, 1 a file or a
// computation failed, 2 a mistaken call.
int RunWinnings(int argc, char** argv);

extern const char* const kWinningsUsage;

}  // namespace tallyra::cli
