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
// the header and the body have their caps, the body goes to the request's file or into
// BodyText, and a body shorter than its Content-Length is reported by BodyComplete().
// Redirects are followed up to ten times, to https:// addresses only.
class THttpsClient : public FetchRequest, public FetchAnswer {
 public:
  THttpsClient();
  ~THttpsClient();
  THttpsClient(const THttpsClient&) = delete;
  THttpsClient& operator=(const THttpsClient&) = delete;

  // Ends the current or next exchange with "Connection Canceled"; safe from the wait hook.
  void Cancel() { m_cancel.store(true); }

  // Network failures throw ESocketError (ECertificateError for an untrusted server), oversized
  // answers ETooLarge, a target file that cannot be written a ProblemError; the status is not
  // judged.
  void FetchToFile(const std::string& url);

 private:
  friend struct HttpsCallbacks;
  std::atomic<bool> m_cancel{false};
};

// Picks the client by the address's scheme: http:// goes to THttpClient as it always has,
// https:// to THttpsClient; anything else is refused before any connection. A redirect from
// http:// to https:// is followed through THttpsClient. MaxTime covers the whole fetch, over
// both clients when http:// goes on to https://.
class TWebClient : public FetchRequest, public FetchAnswer {
 public:
  enum class Scheme { Http, Https, Other };
  static Scheme SchemeOf(const std::string& url);

  void Cancel() { m_cancel.store(true); }
  void FetchToFile(const std::string& url);

 private:
  template <typename Client>
  void Run(Client& client, const std::string& url);
  std::atomic<bool> m_cancel{false};
  std::chrono::steady_clock::time_point m_started{};
};

}  // namespace tallyra
