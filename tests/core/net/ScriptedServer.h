#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A server on 127.0.0.1 that answers each connection with the next scripted reply and records
// the requests it got. It stops by itself when destroyed, and after a minute at most.
class ScriptedServer {
 public:
  // Writes to the connection; returning lets the server close it.
  using Reply = std::function<void(int fd)>;

  ScriptedServer() {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listen, 8);
    socklen_t len = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &len);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
  }
  ~ScriptedServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
  }

  uint16_t port() const { return m_port; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
  }
  void add(Reply reply) {
    std::lock_guard lock(m_mutex);
    m_replies.push_back(std::move(reply));
  }
  std::vector<std::string> requests() {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }

  // False once the client has gone.
  static bool Send(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
      const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }
  static Reply Text(std::string text) {
    return [text = std::move(text)](int fd) { Send(fd, text); };
  }
  // Sends `head`, then `piece` again and again until the client hangs up (or 20 s pass).
  static Reply Flood(std::string head, std::string piece) {
    return [head = std::move(head), piece = std::move(piece)](int fd) {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      if (!Send(fd, head)) return;
      while (std::chrono::steady_clock::now() < end && Send(fd, piece)) {
      }
    };
  }
  // A status line followed by header lines without end.
  static Reply HeaderFlood() {
    return Flood("HTTP/1.0 200 OK\r\n", "X-Filler: " + std::string(1000, 'h') + "\r\n");
  }
  // A good header followed by a body without end.
  static Reply BodyFlood() {
    std::string block;
    for (int i = 1; block.size() < 65536; ++i) {
      block += std::to_string(i) + " - 1,2,3,4,5,6;\r\n";
    }
    return Flood("HTTP/1.0 200 OK\r\n\r\n", block);
  }
  // Sends `head` and then nothing for `ms` milliseconds before closing.
  static Reply Stall(std::string head, int ms) {
    return [head = std::move(head), ms](int fd) {
      Send(fd, head);
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
      while (std::chrono::steady_clock::now() < end) {
        if (HungUp(fd, 20)) return;
      }
    };
  }
  // Waits up to `ms` for the client to hang up; true once it has.
  static bool HungUp(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    char byte;
    return ::poll(&p, 1, ms) > 0 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
  }
  // Sends `head`, then one byte every `ms` milliseconds until the client hangs up (or 30 s
  // pass): never idle for long, never done.
  static Reply Trickle(std::string head, int ms) {
    return [head = std::move(head), ms](int fd) {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      if (!Send(fd, head)) return;
      while (std::chrono::steady_clock::now() < end && Send(fd, "1") && !HungUp(fd, ms)) {
      }
    };
  }
  // A Content-Length that the body does not keep.
  static Reply ShortBody(const std::string& body, std::size_t announced) {
    return Text("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(announced) + "\r\n\r\n" +
                body);
  }
  // Sends `text`, then resets the connection instead of closing it.
  static Reply Reset(std::string text) {
    return [text = std::move(text)](int fd) {
      Send(fd, text);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      linger abort{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    };
  }
  // What a portal answers instead of the file asked for.
  static Reply LoginPage() {
    return Text(
        "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><form action=\"/login\">"
        "Name: <input name=\"u\">; Password: <input name=\"p\" type=\"password\"></form>"
        "</body></html>\r\n");
  }

 private:
  void Serve() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::size_t next = 0;
    while (!m_stop && std::chrono::steady_clock::now() < deadline) {
      pollfd p{m_listen, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd q{fd, POLLIN, 0};
        if (::poll(&q, 1, 5000) <= 0) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      Reply reply;
      {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        if (next < m_replies.size()) reply = m_replies[next++];
      }
      if (reply) reply(fd);
      // A reply that asked for a reset gets one: no orderly end before the close.
      linger l{};
      socklen_t size = sizeof l;
      ::getsockopt(fd, SOL_SOCKET, SO_LINGER, &l, &size);
      if (!(l.l_onoff && l.l_linger == 0)) ::shutdown(fd, SHUT_WR);
      ::close(fd);
    }
  }

  int m_listen = -1;
  uint16_t m_port = 0;
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::vector<Reply> m_replies;
  std::vector<std::string> m_requests;
  std::thread m_thread;
};
