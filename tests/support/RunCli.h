#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The one way tests start a program (the command line above all) and read what it did. No Qt
// here: the core's tests use it as well as the window's.

namespace tallyra::test {

// How a run is set up. Everything left as it is runs the program in the test's working folder
// with the test's environment and an empty standard input.
struct RunSetup {
  // Standard input, written to the program while it runs and then closed.
  std::string input;
  // The working folder; empty: the test's own.
  std::string folder;
  // Variables set (with a value) or removed (without one) on top of the test's environment.
  std::map<std::string, std::optional<std::string>> environment;
  // A file standard output is written to instead of being captured (huge output, /dev/full).
  std::string outputTo;
  // Only catches a hang: a program still running after this is killed and the test fails.
  std::chrono::seconds hangAfter{60};

  RunSetup& withInput(std::string text) {
    input = std::move(text);
    return *this;
  }
  RunSetup& inFolder(std::string path) {
    folder = std::move(path);
    return *this;
  }
  RunSetup& withVariable(const std::string& name, std::optional<std::string> value) {
    environment[name] = std::move(value);
    return *this;
  }
  RunSetup& withOutputTo(std::string path) {
    outputTo = std::move(path);
    return *this;
  }
};

// What a run gave.
struct ProgramRun {
  int code = -1;   // the exit code; -1 when a signal ended it or it never started
  int signal = 0;  // the signal that ended it, 0 when it exited
  std::string out;
  std::string err;
};

// A program started and not waited for yet, for runs side by side or cut short. It is killed
// and waited for if nobody finishes it.
class StartedProgram {
 public:
  StartedProgram(const std::string& program, const std::vector<std::string>& args,
                 const RunSetup& setup = {});
  StartedProgram(StartedProgram&& other) noexcept;
  StartedProgram& operator=(StartedProgram&&) = delete;
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram();

  // Feeds the input, reads the output and waits for the end.
  ProgramRun finish();
  // Ends the program with SIGKILL, wherever it has got to; finish() then tells the signal.
  void kill();

 private:
  std::string m_call;  // the program and its arguments, for the failure message
  std::string m_input;
  std::chrono::steady_clock::time_point m_deadline;
  std::chrono::seconds m_hangAfter;
  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  int m_err = -1;
};

// Runs a program to its end.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const RunSetup& setup = {});

// The built tallyra-cli: where it is, started, or run to its end.
const char* CliPath();
StartedProgram StartCli(const std::vector<std::string>& args, const RunSetup& setup = {});
ProgramRun RunCli(const std::vector<std::string>& args, const RunSetup& setup = {});

}  // namespace tallyra::test
