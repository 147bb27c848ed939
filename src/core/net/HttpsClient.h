#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "net/HttpClient.h"

namespace tallyra {

// The server's certificate (or its name) could not be checked against the trusted ones.
class ECertificateError : public ESocketError {
 public:
  explicit ECertificateError(const std::string& text) : ESocketError(text) {}
};

// One GET of an "https://" URL at a time, through libcurl with the certificate and the host
// name checked. It keeps the HTTP client's promises: the wait hook runs at least every few
// milliseconds, Cancel ends any wait, the idle time-out counts from the last byte received,
// the header and the body have their caps, the body goes to a file or into a text, and a body
// shorter than its Content-Length is reported by BodyComplete(). Redirects are followed up to
// ten times, to https:// addresses only.
class THttpsClient {
 public:
  THttpsClient();
  ~THttpsClient();
  THttpsClient(const THttpsClient&) = delete;
  THttpsClient& operator=(const THttpsClient&) = delete;

  int32_t TimeOut = 0;  // ends the fetch when no data came for this many ms; 0 waits for ever
  int64_t MaxTime = 0;  // ends the fetch, redirects included, after this many ms; 0: no limit
  std::function<void()> WaitHook;  // called while the exchange waits
  std::function<void(int64_t)> Progress;
  std::string Body = "Default.htm";  // the file, in file mode; the text otherwise
  std::string Header;                // the last answer's status line and header lines
  bool InputFileMode = false;
  int64_t MaxBody = 0;  // 0 takes any size
  // A file of PEM certificates trusted besides the system's own; empty trusts the system's.
  std::string CaFile;

  int StatusCode = 0;
  int64_t ContentLength = -1;
  int64_t BodySize = 0;

  // Ends the current or next exchange with "Connection Canceled"; safe from the wait hook.
  void Cancel() { m_cancel.store(true); }
  bool BodyComplete() const;

  // Network failures throw ESocketError (ECertificateError for an untrusted server), oversized
  // answers ETooLarge; the status is not judged.
  void FetchToFile(const std::string& url);

 private:
  friend struct HttpsCallbacks;
  std::atomic<bool> m_cancel{false};
};

// Picks the client by the address's scheme: http:// goes to THttpClient as it always has,
// https:// to THttpsClient; anything else is refused before any connection. A redirect from
// http:// to https:// is followed through THttpsClient.
class TWebClient {
 public:
  enum class Scheme { Http, Https, Other };
  static Scheme SchemeOf(const std::string& url);

  int32_t TimeOut = 0;
  int64_t MaxTime = 0;  // the whole fetch, over both clients when http:// goes on to https://
  std::function<void()> WaitHook;
  std::function<void(int64_t)> Progress;
  std::string Body = "Default.htm";
  std::string Header;
  bool InputFileMode = false;
  int64_t MaxBody = 0;
  std::string CaFile;  // https:// only

  int StatusCode = 0;
  int64_t ContentLength = -1;
  int64_t BodySize = 0;

  void Cancel() { m_cancel.store(true); }
  bool BodyComplete() const { return m_complete; }
  void FetchToFile(const std::string& url);

 private:
  template <typename Client>
  void Run(Client& client, const std::string& url);
  std::atomic<bool> m_cancel{false};
  std::chrono::steady_clock::time_point m_started{};
  bool m_complete = true;
};

}  // namespace tallyra
