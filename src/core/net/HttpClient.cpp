#include "net/HttpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "model/Integer.h"
#include "model/Problem.h"

namespace tallyra {
namespace {

constexpr int kSliceMs = 2;
constexpr std::size_t kLineLimit = 65536;
constexpr std::size_t kBlockSize = 65536;
// Longest stretch without a call of the wait hook while data keeps arriving: in time, and in
// bytes, as on a fast link the whole size limit could arrive between two looks at the clock.
constexpr auto kHookGap = std::chrono::milliseconds(10);
constexpr std::size_t kHookBytes = std::size_t{1} << 20;

[[noreturn]] void Fail(int err) {
  throw ESocketError(std::to_string(err) + ":" + std::strerror(err));
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string WithoutLineEnd(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

// A header line may hold tabs but no other control character: a bare CR or LF inside a value
// would otherwise travel on into the next request (Location, Set-Cookie).
bool HasControlCharacter(const std::string& line) {
  const std::string text = WithoutLineEnd(line);
  return std::any_of(text.begin(), text.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return (c < 0x20 && c != '\t') || c == 0x7f;
  });
}

bool IsControl(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return c < 0x20 || c == 0x7f;
}

bool IsHex(char ch) {
  return std::isxdigit(static_cast<unsigned char>(ch)) != 0;
}

bool IsSchemeCharacter(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) || ch == '+' || ch == '-' || ch == '.';
}

// A name looked up on a helper thread, so that the caller's wait goes on slicing.
struct Lookup {
  std::mutex mutex;
  bool done = false;
  bool found = false;
  in_addr address{};
};

}  // namespace

std::optional<Problem> CheckUrl(const std::string& url) {
  if (std::none_of(url.begin(), url.end(), IsControl)) return std::nullopt;
  return Problem{TextId::TxtUrlControl, {Excerpt(url, 80)}, 0, 0};
}

std::string EncodeUrl(const std::string& url) {
  // The path starts at the first "/", "?" or "#" after the server's name.
  const std::size_t scheme = url.find("://");
  const std::size_t server = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t path = std::min(url.find_first_of("/?#", server), url.size());
  std::string out = url.substr(0, path);
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = path; i < url.size(); ++i) {
    const auto c = static_cast<unsigned char>(url[i]);
    const bool escaped = c == '%' && i + 2 < url.size() && IsHex(url[i + 1]) && IsHex(url[i + 2]);
    if (c == ' ' || c >= 0x80 || (c == '%' && !escaped) ||
        std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

TSocketClient::TSocketClient(const FetchRequest& rules) : m_rules(rules) {}

TSocketClient::~TSocketClient() {
  Close();
}

void TSocketClient::CheckCancel(const char* text) {
  if (m_cancel.exchange(false)) {
    Close();
    throw ESocketError(text);
  }
}

void TSocketClient::StartClock() {
  m_started = std::chrono::steady_clock::now();
}

void TSocketClient::CheckTimeLimit() const {
  if (m_rules.MaxTime > 0 &&
      std::chrono::steady_clock::now() - m_started >= std::chrono::milliseconds(m_rules.MaxTime)) {
    throw ETimeLimit(m_rules.MaxTime);
  }
}

bool TSocketClient::Slice(int64_t& idle) {
  m_lastHook = std::chrono::steady_clock::now();
  if (m_rules.WaitHook) m_rules.WaitHook();
  CheckTimeLimit();
  idle += kSliceMs;
  return m_rules.TimeOut > 0 && idle >= m_rules.TimeOut;
}

void TSocketClient::WaitFor(Wait what, const char* timeoutText, const char* cancelText) {
  int64_t idle = 0;
  for (;;) {
    CheckCancel(cancelText);
    pollfd p{m_fd, static_cast<short>(what == Wait::Read ? POLLIN : POLLOUT), 0};
    const int ready = ::poll(&p, 1, kSliceMs);
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) Fail(errno);
    if (Slice(idle)) {
      Close();
      throw ESocketError(timeoutText);
    }
  }
}

void TSocketClient::Connect(const std::string& host, uint16_t port) {
  if (m_fd >= 0) throw ESocketError("Already connected");
  in_addr address{};
  if (host.empty()) throw ESocketError("Null Remote Address");
  if (::inet_pton(AF_INET, host.c_str(), &address) != 1) {
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host] {
      addrinfo hints{};
      hints.ai_family = AF_INET;
      hints.ai_socktype = SOCK_STREAM;
      addrinfo* found = nullptr;
      const bool ok = ::getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found;
      std::lock_guard lock(lookup->mutex);
      if (ok) {
        lookup->found = true;
        lookup->address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
      }
      if (found) ::freeaddrinfo(found);
      lookup->done = true;
    }).detach();
    int64_t idle = 0;
    for (;;) {
      {
        std::lock_guard lock(lookup->mutex);
        if (lookup->done) {
          if (!lookup->found) throw ESocketError("Host Lookup Failed");
          address = lookup->address;
          break;
        }
      }
      if (m_cancel.exchange(false)) throw ESocketError("Host Lookup Canceled");
      std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
      if (Slice(idle)) throw ESocketError("Host Lookup Timed Out");
    }
  }
  if (address.s_addr == INADDR_ANY) throw ESocketError("Null Remote Address");

  m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (m_fd < 0) Fail(errno);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr = address;
  if (::connect(m_fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0) {
    if (errno != EINPROGRESS) {
      Close();
      throw ESocketError("Connection Failed");
    }
    WaitFor(Wait::Write, "Connection Timed out", "Connection Canceled");
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) {
      Close();
      throw ESocketError("Connection Failed");
    }
  }
  m_buffer.clear();
}

void TSocketClient::SendAll(const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      WaitFor(Wait::Write, "Socket send aborted", "Connection Canceled");
    } else {
      Fail(errno);
    }
  }
}

void TSocketClient::KeepResponsive() {
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastHook >= kHookGap || m_bytesSinceHook >= kHookBytes) {
    m_lastHook = now;
    m_bytesSinceHook = 0;
    if (m_rules.WaitHook) m_rules.WaitHook();
  }
  CheckCancel("Connection Canceled");
  CheckTimeLimit();
}

std::size_t TSocketClient::Receive(char* buffer, std::size_t size, const char* abortText) {
  KeepResponsive();
  if (!m_buffer.empty()) {
    const std::size_t n = std::min(size, m_buffer.size());
    std::memcpy(buffer, m_buffer.data(), n);
    m_buffer.erase(0, n);
    return n;
  }
  for (;;) {
    const ssize_t n = ::recv(m_fd, buffer, size, 0);
    if (n >= 0) {
      m_bytesSinceHook += static_cast<std::size_t>(n);
      return static_cast<std::size_t>(n);
    }
    if (errno == ENOTCONN) return 0;  // the peer is gone: the body ends
    if (errno != EAGAIN && errno != EINTR) Fail(errno);
    WaitFor(Wait::Read, abortText, "Connection Canceled");
  }
}

std::string TSocketClient::ReadLine() {
  for (;;) {
    const std::size_t lf = m_buffer.find('\n');
    if (lf != std::string::npos && lf < kLineLimit) {
      std::string line = m_buffer.substr(0, lf + 1);
      m_buffer.erase(0, lf + 1);
      return line;
    }
    if (m_buffer.size() >= kLineLimit) {
      throw ETooLarge(ETooLarge::Part::Header, static_cast<int64_t>(kLineLimit));
    }
    KeepResponsive();
    char block[8192];
    std::size_t n;
    for (;;) {
      const ssize_t got = ::recv(m_fd, block, sizeof block, 0);
      if (got >= 0) {
        n = static_cast<std::size_t>(got);
        m_bytesSinceHook += n;
        break;
      }
      if (errno == ENOTCONN) {
        n = 0;
        break;
      }
      if (errno != EAGAIN && errno != EINTR) Fail(errno);
      WaitFor(Wait::Read, "Socket readln aborted", "Connection Canceled");
    }
    if (n == 0) {  // closed: what is left is the last line
      std::string line = std::move(m_buffer);
      m_buffer.clear();
      return line;
    }
    m_buffer.append(block, n);
  }
}

void TSocketClient::Adopt(int fd) {
  Close();
  m_fd = fd;
}

void TSocketClient::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_buffer.clear();
}

// ---------------------------------------------------------------------------------------------

void THttpClient::FetchToFile(const std::string& startUrl) {
  if (const auto problem = CheckUrl(startUrl)) throw ProblemError(*problem);
  std::string url = EncodeUrl(startUrl);
  Cookie.clear();
  StartClock();
  for (int redirects = 0;; ++redirects) {
    Exchange(url);
    const bool follow = StatusCode == 300 || StatusCode == 301 || StatusCode == 302 ||
                        StatusCode == 303 || StatusCode == 307 || StatusCode == 308;
    if (StatusCode >= 300 && StatusCode <= 398) {
      if (!SetCookie.empty()) Cookie = SetCookie;
    }
    if (!follow) return;
    if (redirects == kMaxRedirects) throw ESocketError("Too Many Redirections");
    url = EncodeUrl(RedirectTarget());
  }
}

std::string THttpClient::RedirectTarget() const {
  if (Location.empty()) throw ESocketError("Redirect without a Location");
  // Only "scheme://..." names another server; anything else is a path on this one, even when
  // it holds a ":" ("/a:b/c", "x:1/y").
  const std::size_t scheme = Location.find("://");
  if (scheme != std::string::npos && scheme > 0 &&
      std::isalpha(static_cast<unsigned char>(Location[0])) &&
      std::all_of(Location.begin(), Location.begin() + static_cast<std::ptrdiff_t>(scheme),
                  IsSchemeCharacter)) {
    return Location;
  }
  std::string url;
  if (Location.rfind("//", 0) == 0) {
    url.append("http:").append(Location);
    return url;
  }
  url.append("http://").append(Host);
  if (Port != 80) url.append(":").append(std::to_string(Port));
  if (Location[0] != '/') url.push_back('/');
  url.append(Location);
  return url;
}

void THttpClient::Exchange(std::string& url) {
  if (url.empty()) throw std::runtime_error("Empty URL");
  if (Port == 0) Port = 80;

  // The path: from the third "/" when the URL has "//", else from the first "/".
  std::string path;
  const std::size_t slashes = url.find("//");
  if (slashes != std::string::npos) {
    const std::size_t third = url.find('/', slashes + 2);
    if (third != std::string::npos) path = url.substr(third);
  } else if (const std::size_t first = url.find('/'); first != std::string::npos) {
    path = url.substr(first);
  }
  // The scheme decides the port; a ":" after the first "/" belongs to the path.
  if (const std::size_t colon = url.find(':');
      colon != std::string::npos && colon < url.find('/')) {
    const std::string scheme = Lower(url.substr(0, colon));
    if (scheme == "https") throw ESocketError("HTTP Secure Socket is not supported");
    Port = scheme == "gopher" ? 70 : scheme == "ftp" ? 21 : 80;
  }
  // The host, with a port of its own after ":".
  std::string host;
  if (slashes != std::string::npos) {
    const std::size_t start = slashes + 2;
    const std::size_t end = url.find('/', start);
    host = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  } else {
    host = url.substr(0, url.find('/'));
  }
  if (const std::size_t colon = host.find(':'); colon != std::string::npos) {
    const std::optional<int32_t> port = ParseDecimal(host.substr(colon + 1));
    if (!port || *port <= 0 || *port > 65535) throw ESocketError("Invalid port in " + url);
    Port = static_cast<uint16_t>(*port);
    host.resize(colon);
  }
  if (!host.empty()) Host = host;
  if (path.empty()) {
    // push_back rather than assigning "/": GCC 12 at -O3 reports a false overlap for that.
    path.push_back('/');
    url.push_back('/');
  }

  const bool proxy = !Proxy.empty();
  Request = "GET " + (proxy ? url : path) + " HTTP/1.0\r\n";
  if (proxy) Request += "Proxy-Connection: Keep-Alive\r\n";
  Request += "Host: " + Host + "\r\n";
  Request += "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n";
  Request += "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
  if (!Cookie.empty()) Request += "Cookie: " + Cookie + "\r\n";
  Request += "Content-type: application/x-www-form-urlencoded\r\n";
  Request += "\r\n";

  Connect(proxy ? Proxy : Host, proxy ? (ProxyPort ? ProxyPort : 80) : Port);
  try {
    SendAll(Request);
    ReadAnswer();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void THttpClient::ReceiveAnswer(int connectedFd) {
  Adopt(connectedFd);
  StartClock();
  try {
    ReadAnswer();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void THttpClient::ReadAnswer() {
  // The status line and the header lines, kept as received.
  StatusCode = 0;
  Location.clear();
  SetCookie.clear();
  ContentLength = -1;
  BodySize = 0;
  BodyText.clear();
  std::string header = ReadLine();
  if (HasControlCharacter(header)) throw ESocketError("Control character in the answer header");
  {
    const std::size_t blank = header.find(' ');
    if (blank != std::string::npos) {
      std::string field = header.substr(blank + 1);
      field = WithoutLineEnd(field.substr(0, field.find(' ')));
      // An HTTP status is three digits; anything else after "HTTP/" is a broken answer, not a
      // status to judge. A first line of another kind is no status line and gives status 0.
      const bool digits = field.size() == 3 && std::all_of(field.begin(), field.end(), [](char c) {
                            return std::isdigit(static_cast<unsigned char>(c));
                          });
      if (!digits && header.rfind("HTTP/", 0) == 0) {
        throw ESocketError("Broken answer: the status is not three digits");
      }
      StatusCode = digits ? ParseDecimal(field).value_or(0) : 0;
    }
  }
  if (!header.empty() && header != "\n" && header != "\r\n") {
    for (;;) {
      const std::string line = ReadLine();
      header += line;
      if (header.size() > kMaxHeader) {
        throw ETooLarge(ETooLarge::Part::Header, static_cast<int64_t>(kMaxHeader));
      }
      if (line.empty() || line == "\n" || line == "\r\n") break;
      if (HasControlCharacter(line)) throw ESocketError("Control character in the answer header");
      const std::string word = Upper(line.substr(0, line.find(' ')));
      if (word == "SET-COOKIE:") {
        SetCookie = line.size() > 12 ? WithoutLineEnd(line.substr(12)) : std::string();
      } else if (word == "LOCATION:") {
        Location = line.size() > 10 ? WithoutLineEnd(line.substr(10)) : std::string();
      } else if (word == "CONTENT-LENGTH:") {
        std::size_t at = line.find(':') + 1;
        while (at < line.size() && line[at] == ' ') ++at;
        std::size_t end = at;
        while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
        const int64_t length =
            end > at ? std::stoll(line.substr(at, std::min<std::size_t>(end - at, 18))) : -1;
        // Two lengths that disagree leave no way to tell where the body ends.
        if (ContentLength >= 0 && length != ContentLength) {
          throw ESocketError("Broken answer: conflicting Content-Length headers");
        }
        ContentLength = length;
      }
    }
  }
  Header = header;
  if (MaxBody > 0 && ContentLength > MaxBody) throw ETooLarge(ETooLarge::Part::Body, MaxBody);

  // The body, whatever the status, until the server closes.
  const bool toFile = !TargetPath.empty();
  int out = -1;
  if (toFile) {
    out = ::open(TargetPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
      const int error = errno;
      throw ProblemError(Problem{TextId::TxtCannotWrite, {TargetPath}, 0, error});
    }
  }
  const std::unique_ptr<int, void (*)(int*)> closer(&out, [](int* fd) {
    if (*fd >= 0) ::close(*fd);
  });
  const auto block = std::make_unique<char[]>(kBlockSize);
  int64_t received = 0;
  for (;;) {
    const std::size_t n =
        Receive(block.get(), kBlockSize, toFile ? "Socket send aborted" : "Socket capture aborted");
    if (n == 0) break;
    received += static_cast<int64_t>(n);
    BodySize = received;
    if (MaxBody > 0 && received > MaxBody) throw ETooLarge(ETooLarge::Part::Body, MaxBody);
    if (toFile) {
      std::size_t written = 0;
      while (written < n) {
        const ssize_t w = ::write(out, block.get() + written, n - written);
        if (w < 0) {
          const int error = errno;
          if (error == EINTR) continue;
          throw ProblemError(Problem{TextId::TxtCannotWrite, {TargetPath}, 0, error});
        }
        written += static_cast<std::size_t>(w);
      }
    } else {
      BodyText.append(block.get(), n);
    }
    if (Progress) Progress(received);
  }
}

}  // namespace tallyra
