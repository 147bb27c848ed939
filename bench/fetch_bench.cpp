// A 100 MB body from a loopback server, fetched by the program's client and by curl from the
// same server in the same run.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "net/HttpClient.h"

namespace {

// Answers every connection with the same 100 MB body until it is destroyed.
class BodyServer {
 public:
  BodyServer() : m_body("HTTP/1.0 200 OK\r\nContent-Length: 104857600\r\n\r\n" +
                        std::string(100 << 20, 'x')) {
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
    m_thread = std::thread([this] {
      while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        char request[4096];
        (void)::recv(fd, request, sizeof request, 0);
        std::size_t sent = 0;
        while (sent < m_body.size()) {
          const ssize_t n = ::send(fd, m_body.data() + sent, m_body.size() - sent, MSG_NOSIGNAL);
          if (n <= 0) break;
          sent += static_cast<std::size_t>(n);
        }
        ::close(fd);
      }
    });
  }
  ~BodyServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/big"; }

 private:
  std::string m_body;
  int m_listen = -1;
  uint16_t m_port = 0;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

BodyServer& Server() {
  static BodyServer server;
  return server;
}

void BM_Fetch_100MB_Client(benchmark::State& state) {
  const std::string url = Server().url();
  for (auto _ : state) {
    tallyra::THttpClient client;
    client.InputFileMode = true;
    client.Body = "/tmp/tallyra-fetch-bench.bin";
    client.FetchToFile(url);
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{100} << 20));
}
BENCHMARK(BM_Fetch_100MB_Client)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Fetch_100MB_Curl(benchmark::State& state) {
  const std::string command = "curl -s -o /tmp/tallyra-fetch-bench-curl.bin " + Server().url();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{100} << 20));
}
BENCHMARK(BM_Fetch_100MB_Curl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
