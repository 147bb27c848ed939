// The runner the command-line tests rely on: what it gives the program and what it brings back.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "RunCli.h"
#include "model/Files.h"

namespace tallyra::test {
namespace {

TEST(Runner, InputFolderEnvironmentAndOutputFileReachTheProgram) {
  char pattern[] = "/tmp/tallyra-runner-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  ::setenv("TALLYRA_RUNNER_GONE", "here", 1);
  const ProgramRun run = RunProgram(
      "/bin/sh",
      {"-c",
       "cat; pwd; echo \"$TALLYRA_RUNNER_SET/${TALLYRA_RUNNER_GONE:-none}\"; echo err >&2; exit 3"},
      RunSetup()
          .withInput(std::string(300000, 'x'))
          .inFolder(dir)
          .withVariable("TALLYRA_RUNNER_SET", "set")
          .withVariable("TALLYRA_RUNNER_GONE", std::nullopt));
  ::unsetenv("TALLYRA_RUNNER_GONE");
  EXPECT_EQ(run.code, 3);
  EXPECT_EQ(run.out, std::string(300000, 'x') + dir + "\nset/none\n");
  EXPECT_EQ(run.err, "err\n");

  const ProgramRun toFile = RunProgram("/bin/sh", {"-c", "echo out; echo err >&2"},
                                       RunSetup().withOutputTo(dir + "/out.txt").inFolder("/"));
  EXPECT_EQ(toFile.code, 0);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(toFile.err, "err\n");
  EXPECT_EQ(ReadWholeFile(dir + "/out.txt").data, "out\n");
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(Runner, AProgramThatStopsReadingOrIsKilledIsToldApart) {
  // The program reads nothing of a long input; the test goes on.
  const ProgramRun early =
      RunProgram("/bin/sh", {"-c", "exit 0"}, RunSetup().withInput(std::string(1 << 20, 'x')));
  EXPECT_EQ(early.code, 0);
  StartedProgram sleeper("/bin/sleep", {"600"});
  sleeper.kill();
  const ProgramRun killed = sleeper.finish();
  EXPECT_EQ(killed.code, -1);
  EXPECT_EQ(killed.signal, SIGKILL);
}

TEST(Runner, AHangIsKilledAndFailsTheTest) {
  RunSetup setup;
  setup.hangAfter = std::chrono::seconds(1);
  // The bound only ever catches the hang: the program would sleep ten minutes.
  ProgramRun run;
  EXPECT_NONFATAL_FAILURE(run = RunProgram("/bin/sleep", {"600"}, setup),
                          "was still running after 1 s and was killed");
  EXPECT_EQ(run.signal, SIGKILL);
}

}  // namespace
}  // namespace tallyra::test
