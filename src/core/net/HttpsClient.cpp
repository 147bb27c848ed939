#include "net/HttpsClient.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "model/Integer.h"

namespace tallyra {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for the network may last before the wait hook runs again.
constexpr int kPollMs = 5;
// Longest stretch without a call of the wait hook while data keeps arriving: in time, and in
// bytes, as on a fast link the whole size limit could arrive between two looks at the clock.
constexpr auto kHookGap = std::chrono::milliseconds(10);
constexpr std::size_t kHookBytes = std::size_t{1} << 20;
// libcurl's own limit on an answer's header, told to the user when it is reached.
constexpr int64_t kCurlMaxHeader = int64_t{300} << 10;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) {
    --e;
  }
  return s.substr(b, e - b);
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

// The state of one exchange, reached from libcurl's callbacks.
struct HttpsCallbacks {
  explicit HttpsCallbacks(THttpsClient& c) : client(c) {}
  THttpsClient& client;
  int out = -1;
  std::string header;
  int64_t received = 0;
  Clock::time_point lastByte = Clock::now();
  Clock::time_point lastHook = Clock::now();
  std::size_t bytesSinceHook = 0;
  std::optional<ETooLarge> tooLarge;
  int writeError = 0;  // the system error that stopped the body's writing

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    return static_cast<HttpsCallbacks*>(self)->Header(data, size * count);
  }
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    return static_cast<HttpsCallbacks*>(self)->Write(data, size * count);
  }

  // Runs the wait hook when it has not run for a while: libcurl may hand over many blocks in
  // one go while data keeps arriving.
  void KeepResponsive() {
    const auto now = Clock::now();
    if (now - lastHook < kHookGap && bytesSinceHook < kHookBytes) return;
    lastHook = now;
    bytesSinceHook = 0;
    if (client.WaitHook) client.WaitHook();
  }

  std::size_t Header(const char* data, std::size_t n) {
    lastByte = Clock::now();
    if (client.m_cancel.load()) return 0;
    const std::string line(data, n);
    // Each answer (a redirect's too) starts over with its status line.
    if (line.rfind("HTTP/", 0) == 0) {
      header.clear();
      client.ContentLength = -1;
      client.StatusCode = 0;
      const std::size_t space = line.find(' ');
      if (space != std::string::npos) {
        const auto code = ParseDecimal(Trimmed(line.substr(space + 1, 3)));
        if (code) client.StatusCode = *code;
      }
    }
    if (header.size() + n > THttpClient::kMaxHeader) {
      tooLarge.emplace(ETooLarge::Part::Header, static_cast<int64_t>(THttpClient::kMaxHeader));
      return 0;
    }
    header.append(line);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && Lower(line.substr(0, colon)) == "content-length") {
      const std::string value = Trimmed(line.substr(colon + 1));
      int64_t length = 0;
      bool ok = !value.empty() && value.size() <= 18;
      for (char c : value) {
        if (c < '0' || c > '9') ok = false;
        if (ok) length = length * 10 + (c - '0');
      }
      client.ContentLength = ok ? length : -1;
    }
    if (Trimmed(line).empty() && client.MaxBody > 0 && client.ContentLength > client.MaxBody &&
        !(client.StatusCode >= 300 && client.StatusCode < 400)) {
      tooLarge.emplace(ETooLarge::Part::Body, client.MaxBody);
      return 0;
    }
    return n;
  }

  std::size_t Write(const char* data, std::size_t n) {
    lastByte = Clock::now();
    bytesSinceHook += n;
    KeepResponsive();
    if (client.m_cancel.load()) return 0;
    received += static_cast<int64_t>(n);
    client.BodySize = received;
    if (client.MaxBody > 0 && received > client.MaxBody) {
      tooLarge.emplace(ETooLarge::Part::Body, client.MaxBody);
      return 0;
    }
    if (out >= 0) {
      std::size_t written = 0;
      while (written < n) {
        const ssize_t w = ::write(out, data + written, n - written);
        if (w < 0) {
          if (errno == EINTR) continue;
          writeError = errno;
          return 0;
        }
        written += static_cast<std::size_t>(w);
      }
    } else {
      client.BodyText.append(data, n);
    }
    if (client.Progress) client.Progress(received);
    return n;
  }
};

THttpsClient::THttpsClient() = default;
THttpsClient::~THttpsClient() = default;

void THttpsClient::FetchToFile(const std::string& address) {
  if (address.empty()) throw std::runtime_error("Empty URL");
  if (const auto problem = CheckUrl(address)) throw ProblemError(*problem);
  const std::string url = EncodeUrl(address);
  const Clock::time_point started = Clock::now();
  InitCurlOnce();
  StatusCode = 0;
  ContentLength = -1;
  BodySize = 0;
  Header.clear();
  BodyText.clear();

  HttpsCallbacks state(*this);
  if (!TargetPath.empty()) {
    state.out = ::open(TargetPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (state.out < 0) {
      const int error = errno;
      throw ProblemError(Problem{TextId::TxtCannotWrite, {TargetPath}, 0, error});
    }
  }
  const std::unique_ptr<int, void (*)(int*)> closer(&state.out, [](int* fd) {
    if (*fd >= 0) ::close(*fd);
  });

  const std::unique_ptr<CURL, void (*)(CURL*)> easy(curl_easy_init(), curl_easy_cleanup);
  const std::unique_ptr<CURLM, void (*)(CURLM*)> multi(curl_multi_init(),
                                                       [](CURLM* m) { curl_multi_cleanup(m); });
  if (!easy || !multi) throw ESocketError("Cannot start the secure connection");
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(THttpClient::kMaxRedirects));
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!CaFile.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, CaFile.c_str());
  // Proxies come from the program's own settings, never from the environment.
  curl_easy_setopt(e, CURLOPT_PROXY, "");
  curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // cookies travel along the redirects
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpsCallbacks::OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &state);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpsCallbacks::OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &state);
  curl_multi_add_handle(multi.get(), e);

  CURLcode result = CURLE_OK;
  bool timedOut = false;
  bool overTime = false;
  bool cancelled = false;
  for (;;) {
    int running = 0;
    curl_multi_perform(multi.get(), &running);
    if (running == 0) {
      int left = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left)) {
        if (msg->msg == CURLMSG_DONE) result = msg->data.result;
      }
      break;
    }
    if (m_cancel.load()) {
      cancelled = true;
      break;
    }
    if (TimeOut > 0 && Clock::now() - state.lastByte > std::chrono::milliseconds(TimeOut)) {
      timedOut = true;
      break;
    }
    if (MaxTime > 0 && Clock::now() - started >= std::chrono::milliseconds(MaxTime)) {
      overTime = true;
      break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr);
    state.lastHook = Clock::now();
    if (WaitHook) WaitHook();
  }
  curl_multi_remove_handle(multi.get(), e);
  Header = state.header;

  // The cancel is used up by the exchange it ended.
  if (m_cancel.exchange(false) || cancelled) throw ESocketError("Connection Canceled");
  if (timedOut) throw ESocketError("Read Timed Out");
  if (overTime) throw ETimeLimit(MaxTime);
  if (state.tooLarge) throw *state.tooLarge;
  if (state.writeError != 0) {
    throw ProblemError(Problem{TextId::TxtCannotWrite, {TargetPath}, 0, state.writeError});
  }
  const std::string detail = errorText[0] ? std::string(errorText) : curl_easy_strerror(result);
  // libcurl keeps a header cap of its own, below ours (300 KiB in the versions Debian ships).
  if (detail.find("Too large response headers") != std::string::npos) {
    throw ETooLarge(ETooLarge::Part::Header, kCurlMaxHeader);
  }
  switch (result) {
    case CURLE_OK:
      // libcurl hands back a redirect it could not follow as an answer of its own; with no
      // address to go on to, the fetch failed, as it does over http://.
      if (StatusCode == 300 || StatusCode == 301 || StatusCode == 302 || StatusCode == 303 ||
          StatusCode == 307 || StatusCode == 308) {
        throw ESocketError("Redirect without a Location");
      }
      return;
    case CURLE_PARTIAL_FILE:
      // The connection ended before the body it announced; BodyComplete() tells the caller.
      return;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
      throw ECertificateError("The server's certificate is not trusted: " + detail);
    case CURLE_TOO_MANY_REDIRECTS:
      throw ESocketError("Too Many Redirections");
    case CURLE_COULDNT_RESOLVE_HOST:
      throw ESocketError("Host Lookup Failed");
    case CURLE_COULDNT_CONNECT:
      throw ESocketError("Connection Failed");
    case CURLE_UNSUPPORTED_PROTOCOL:
      throw ESocketError("Only https:// addresses are followed: " + detail);
    default:
      throw ESocketError(detail);
  }
}

// ---------------------------------------------------------------------------------------------

TWebClient::Scheme TWebClient::SchemeOf(const std::string& url) {
  const std::string head = Lower(url.substr(0, 8));
  if (head.rfind("http://", 0) == 0) return Scheme::Http;
  if (head.rfind("https://", 0) == 0) return Scheme::Https;
  return Scheme::Other;
}

template <typename Client>
void TWebClient::Run(Client& client, const std::string& url) {
  static_cast<FetchRequest&>(client) = *this;
  // What is left of the whole fetch's time: an http:// address that goes on to https:// has
  // used some of it.
  if (MaxTime > 0) {
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_started).count();
    if (spent >= MaxTime) throw ETimeLimit(MaxTime);
    client.MaxTime = MaxTime - spent;
  }
  // A cancel asked for before or during the exchange reaches the client from the hook.
  client.WaitHook = [&] {
    if (WaitHook) WaitHook();
    if (m_cancel.exchange(false)) client.Cancel();
  };
  if (m_cancel.exchange(false)) client.Cancel();
  try {
    client.FetchToFile(url);
  } catch (const ETimeLimit&) {
    Header = client.Header;
    StatusCode = client.StatusCode;
    throw ETimeLimit(MaxTime);
  } catch (...) {
    Header = client.Header;
    StatusCode = client.StatusCode;
    throw;
  }
  static_cast<FetchAnswer&>(*this) = client;
}

void TWebClient::FetchToFile(const std::string& url) {
  m_started = Clock::now();
  static_cast<FetchAnswer&>(*this) = FetchAnswer{};
  switch (SchemeOf(url)) {
    case Scheme::Http: {
      THttpClient client;
      try {
        Run(client, url);
        return;
      } catch (const ESocketError& e) {
        // The HTTP client stops at a redirect to https://, which most sites send today; the
        // exchange goes on there, with the certificate checked.
        if (std::string(e.what()) != "HTTP Secure Socket is not supported" ||
            SchemeOf(client.Location) != Scheme::Https) {
          throw;
        }
      }
      THttpsClient secure;
      Run(secure, client.Location);
      return;
    }
    case Scheme::Https: {
      THttpsClient client;
      Run(client, url);
      return;
    }
    case Scheme::Other:
      break;
  }
  throw ESocketError("Only http:// and https:// addresses can be fetched: " + url);
}

}  // namespace tallyra
