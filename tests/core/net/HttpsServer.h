#pragma once

// The test HTTPS server (https_server.py with the certificate under tls/) as a child process
// on 127.0.0.1; it is stopped when the object goes, and stops by itself after a minute.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#ifndef TALLYRA_TEST_NET_DIR
#error "TALLYRA_TEST_NET_DIR names the folder of https_server.py"
#endif

class HttpsServer {
 public:
  static std::string CertFile() { return std::string(TALLYRA_TEST_NET_DIR) + "/tls/cert.pem"; }

  // Serves the files under `root`.
  explicit HttpsServer(const std::string& root) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    m_child = ::fork();
    if (m_child == 0) {
      ::dup2(fds[1], 1);
      ::close(fds[0]);
      ::close(fds[1]);
      const std::string dir = TALLYRA_TEST_NET_DIR;
      ::execlp("python3", "python3", (dir + "/https_server.py").c_str(), CertFile().c_str(),
               (dir + "/tls/key.pem").c_str(), root.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    char line[32] = {};
    std::size_t got = 0;
    while (got + 1 < sizeof line) {
      const ssize_t n = ::read(fds[0], line + got, 1);
      if (n <= 0 || line[got] == '\n') break;
      ++got;
    }
    ::close(fds[0]);
    m_port = std::atoi(line);
  }
  ~HttpsServer() {
    if (m_child > 0) {
      ::kill(m_child, SIGKILL);
      ::waitpid(m_child, nullptr, 0);
    }
  }
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  bool running() const { return m_port > 0; }
  std::string url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + path;
  }

 private:
  pid_t m_child = -1;
  int m_port = 0;
};
