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

  static void Send(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
      const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }
  static Reply Text(std::string text) {
    return [text = std::move(text)](int fd) { Send(fd, text); };
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
      ::shutdown(fd, SHUT_WR);
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
