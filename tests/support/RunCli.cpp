#include "RunCli.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace tallyra::test {
namespace {

void Close(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The test's environment with the setup's changes.
std::vector<std::string> Environment(const RunSetup& setup) {
  std::vector<std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (setup.environment.count(entry.substr(0, entry.find('='))) == 0) entries.push_back(entry);
  }
  for (const auto& [name, value] : setup.environment) {
    if (value) entries.push_back(name + "=" + *value);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Reads what is there; false at the end of the stream.
bool ReadSome(int fd, std::string& into) {
  char buffer[65536];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  return n < 0 && (errno == EINTR || errno == EAGAIN);
}

}  // namespace

StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& args,
                               const RunSetup& setup)
    : m_call(program.substr(program.rfind('/') + 1)),
      m_input(setup.input),
      m_deadline(std::chrono::steady_clock::now() + setup.hangAfter),
      m_hangAfter(setup.hangAfter) {
  for (const std::string& a : args) m_call += " " + a;
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  const bool captured = setup.outputTo.empty();
  if (::pipe2(in, O_CLOEXEC) != 0 || (captured && ::pipe2(out, O_CLOEXEC) != 0) ||
      ::pipe2(err, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "no pipes for " << m_call << ": " << std::strerror(errno);
    for (int* fd : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]}) Close(*fd);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (captured) {
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  } else {
    // Opened before the folder changes, so a relative name is the test's.
    posix_spawn_file_actions_addopen(&actions, 1, setup.outputTo.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  if (!setup.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, setup.folder.c_str());
  // The program gets no blocked signals and a closed pipe ends it as it would anywhere else,
  // whatever this test program does with SIGPIPE.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, pipe;
  sigemptyset(&none);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipe);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> envp = Environment(setup);
  const int failed = ::posix_spawn(&m_pid, program.c_str(), &actions, &attributes,
                                   Pointers(argv).data(), Pointers(envp).data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  Close(in[0]);
  Close(out[1]);
  Close(err[1]);
  m_in = in[1];
  m_out = out[0];
  m_err = err[0];
  if (failed != 0) {
    m_pid = -1;
    ADD_FAILURE() << "cannot start " << m_call << ": " << std::strerror(failed);
    Close(m_in);
    Close(m_out);
    Close(m_err);
    return;
  }
  // Written as the program reads it, so that neither side waits for the other.
  ::fcntl(m_in, F_SETFL, ::fcntl(m_in, F_GETFL) | O_NONBLOCK);
  if (m_input.empty()) Close(m_in);
}

StartedProgram::StartedProgram(StartedProgram&& other) noexcept
    : m_call(std::move(other.m_call)),
      m_input(std::move(other.m_input)),
      m_deadline(other.m_deadline),
      m_hangAfter(other.m_hangAfter),
      m_pid(std::exchange(other.m_pid, -1)),
      m_in(std::exchange(other.m_in, -1)),
      m_out(std::exchange(other.m_out, -1)),
      m_err(std::exchange(other.m_err, -1)) {}

StartedProgram::~StartedProgram() {
  if (m_pid > 0) {
    kill();
    int status = 0;
    ::waitpid(m_pid, &status, 0);
  }
  Close(m_in);
  Close(m_out);
  Close(m_err);
}

void StartedProgram::kill() {
  if (m_pid > 0) ::kill(m_pid, SIGKILL);
}

ProgramRun StartedProgram::finish() {
  ProgramRun run;
  if (m_pid <= 0) return run;
  // A program that stops reading early must not end this one with SIGPIPE: the signal is
  // held back while writing and taken away afterwards.
  sigset_t pipe, previous;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &previous);
  std::size_t written = 0;
  bool hung = false;
  auto remaining = [this] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline -
                                                                 std::chrono::steady_clock::now())
        .count();
  };
  while (m_in >= 0 || m_out >= 0 || m_err >= 0) {
    if (remaining() <= 0) {
      hung = true;
      break;
    }
    pollfd fds[3];
    nfds_t count = 0;
    for (const int fd : {m_out, m_err}) {
      if (fd >= 0) fds[count++] = {fd, POLLIN, 0};
    }
    if (m_in >= 0) fds[count++] = {m_in, POLLOUT, 0};
    const int ready = ::poll(fds, count, static_cast<int>(std::min<long long>(remaining(), 1000)));
    if (ready <= 0) continue;
    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == m_in) {
        const ssize_t n = ::write(m_in, m_input.data() + written, m_input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (written == m_input.size() || (n < 0 && errno != EINTR && errno != EAGAIN)) {
          Close(m_in);
        }
      } else {
        int& fd = fds[i].fd == m_out ? m_out : m_err;
        if (!ReadSome(fd, fds[i].fd == m_out ? run.out : run.err)) Close(fd);
      }
    }
  }
  const timespec now{0, 0};
  while (sigtimedwait(&pipe, nullptr, &now) == SIGPIPE) {
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);

  // The output has ended, so the program is at its end too, unless it closed its output and
  // went on: that is a hang as well.
  int status = 0;
  pid_t done = 0;
  while (!hung && (done = ::waitpid(m_pid, &status, WNOHANG)) == 0) {
    if (remaining() <= 0) {
      hung = true;
    } else {
      ::poll(nullptr, 0, 10);
    }
  }
  if (hung) {
    kill();
    done = ::waitpid(m_pid, &status, 0);
    ADD_FAILURE() << m_call << " was still running after " << m_hangAfter.count()
                  << " s and was killed";
  }
  if (done < 0) {
    ADD_FAILURE() << "cannot wait for " << m_call << ": " << std::strerror(errno);
  } else if (WIFEXITED(status)) {
    run.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
  m_pid = -1;
  Close(m_in);
  Close(m_out);
  Close(m_err);
  return run;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const RunSetup& setup) {
  return StartedProgram(program, args, setup).finish();
}

const char* CliPath() {
  return TALLYRA_CLI;
}

StartedProgram StartCli(const std::vector<std::string>& args, const RunSetup& setup) {
  return StartedProgram(CliPath(), args, setup);
}

ProgramRun RunCli(const std::vector<std::string>& args, const RunSetup& setup) {
  return RunProgram(CliPath(), args, setup);
}

}  // namespace tallyra::test
