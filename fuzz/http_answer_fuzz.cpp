// Feeds arbitrary server answers to the HTTP client's reader through a socket pair: the
// status, the header lines and the body must be taken without a crash, whatever arrives.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/HttpClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds) != 0) return 0;
  // The answer is written whole before reading starts; socket buffers hold small inputs.
  std::size_t sent = 0;
  while (sent < size) {
    const ssize_t n = ::send(fds[1], data + sent, size - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::close(fds[1]);
  tallyra::THttpClient client;
  client.TimeOut = 1000;
  // Small enough for the fuzzer to cross now and then.
  client.MaxBody = 4096;
  try {
    client.ReceiveAnswer(fds[0]);
  } catch (const tallyra::ESocketError&) {
    return 0;
  }
  if (client.StatusCode < 0 || client.StatusCode > 65535) std::abort();
  if (client.Header.size() + client.BodyText.size() > size) std::abort();
  if (client.Header.size() > tallyra::THttpClient::kMaxHeader) std::abort();
  if (client.BodyText.size() > 4096 ||
      client.BodySize != static_cast<int64_t>(client.BodyText.size())) {
    std::abort();
  }
  // Whatever goes into a next request carries no line break or other control character.
  for (const std::string* value : {&client.Location, &client.SetCookie}) {
    for (const char ch : *value) {
      const auto c = static_cast<unsigned char>(ch);
      if ((c < 0x20 && c != '\t') || c == 0x7f) std::abort();
    }
  }
  return 0;
}
