#pragma once

// The test HTTPS server (https_server.py) as a child process on 127.0.0.1; it is stopped when
// the object goes, and stops by itself after a minute. Its certificate is made by the openssl
// command once per test program, for 127.0.0.1, in a folder removed when the program ends.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef TALLYRA_TEST_NET_DIR
#error "TALLYRA_TEST_NET_DIR names the folder of https_server.py"
#endif

class HttpsServer {
 public:
  // The server's self-signed certificate, which a client is told to trust; empty when it could
  // not be made.
  static std::string CertFile() { return Credentials().cert; }
  static std::string KeyFile() { return Credentials().key; }

  // Serves the files under `root`.
  explicit HttpsServer(const std::string& root) {
    if (CertFile().empty()) return;
    int fds[2];
    if (::pipe(fds) != 0) return;
    m_child = ::fork();
    if (m_child == 0) {
      ::dup2(fds[1], 1);
      ::close(fds[0]);
      ::close(fds[1]);
      const std::string dir = TALLYRA_TEST_NET_DIR;
      ::execlp("python3", "python3", (dir + "/https_server.py").c_str(), CertFile().c_str(),
               KeyFile().c_str(), root.c_str(), static_cast<char*>(nullptr));
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
  struct Made {
    std::string dir, cert, key;
    Made() {
      char pattern[] = "/tmp/tallyra-tls-XXXXXX";
      if (::mkdtemp(pattern) == nullptr) return;
      dir = pattern;
      const std::string command =
          "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
          "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
          "-addext basicConstraints=critical,CA:TRUE -keyout '" +
          dir + "/key.pem' -out '" + dir + "/cert.pem' >/dev/null 2>&1";
      if (std::system(command.c_str()) == 0) {
        cert = dir + "/cert.pem";
        key = dir + "/key.pem";
      }
    }
    ~Made() {
      std::error_code ignored;
      if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
  };
  static const Made& Credentials() {
    static const Made made;
    return made;
  }

  pid_t m_child = -1;
  int m_port = 0;
};
