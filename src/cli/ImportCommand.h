#pragma once

namespace tallyra::cli {

// tallyra-cli import FILE --as results|stakes|system [...]: argv[1] is "import". Returns the
// exit code: 0 done, 1 nothing usable or nothing written, 2 a mistaken call (after printing
// the message and `usage`).
int RunImport(int argc, char** argv, const char* usage);

}  // namespace tallyra::cli
