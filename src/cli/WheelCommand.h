#pragma once

// tallyra-cli wheel build|check ...: argv[1] is "wheel". Returns the process exit code.
int RunWheelCommand(int argc, char** argv);

// The usage lines of the wheel commands.
extern const char* const kWheelUsage;
