#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/QtTexts.h"

// A named pipe where a test expects a file. Nobody ever writes to it; should the program wait
// on it, a writer comes and goes after a few seconds, so that the wait ends and the test fails
// instead of hanging.
class PipeGuard {
 public:
  explicit PipeGuard(const QString& path) : m_path(platform::ToLocalPath(path)) {
    m_made = ::mkfifo(m_path.c_str(), 0644) == 0;
    m_thread = std::thread([this] {
      for (int i = 0; i < 300 && !m_done; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      while (!m_done) {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
  }
  ~PipeGuard() {
    m_done = true;
    m_thread.join();
  }
  PipeGuard(const PipeGuard&) = delete;
  PipeGuard& operator=(const PipeGuard&) = delete;
  bool made() const { return m_made; }

 private:
  std::string m_path;
  bool m_made = false;
  std::atomic<bool> m_done{false};
  std::thread m_thread;
};
