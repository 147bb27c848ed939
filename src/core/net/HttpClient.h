#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "model/Problem.h"
#include "net/Fetch.h"

namespace tallyra {

// A failure of the network exchange, with the text the caller may show.
class ESocketError : public std::runtime_error {
 public:
  explicit ESocketError(const std::string& text) : std::runtime_error(text) {}
};

// An answer larger than the client takes: a header flood or a body over its limit.
class ETooLarge : public ESocketError {
 public:
  enum class Part { Header, Body };
  ETooLarge(Part part, int64_t limit)
      : ESocketError(part == Part::Header ? "Header too large" : "Body too large"),
        part(part),
        limit(limit) {}
  Part part;
  int64_t limit;  // bytes
};

// The whole fetch took longer than the time it was given (MaxTime), however steadily the data
// came.
class ETimeLimit : public ESocketError {
 public:
  explicit ETimeLimit(int64_t ms)
      : ESocketError("The fetch took longer than " + std::to_string(ms) + " ms"), limit(ms) {}
  int64_t limit;  // ms
};

// An address with a control character (0x00-0x1F, 0x7F) in it: sent as it is, a CR LF would
// end the request line and start a header line of the address's choosing. Nothing when there
// is none.
std::optional<Problem> CheckUrl(const std::string& url);

// The address as it goes on the wire: in the path and the query a blank, every byte from 0x80
// and " < > \ ^ ` { | } are percent-encoded, and so is a "%" that starts no %XX; an existing
// %XX stays as it is. The scheme and the server are left alone. Check the address first.
std::string EncodeUrl(const std::string& url);

// A TCP connection over a non-blocking POSIX socket, waiting as the request it serves says
// (TimeOut, MaxTime, WaitHook). Every wait is a loop of 2 ms slices with the wait hook called
// between them, so that the caller can look at a cancel while the network is slow; while data
// keeps arriving without a wait, the hook is still called every few milliseconds, so that a
// server that floods cannot outrun Cancel.
class TSocketClient {
 public:
  explicit TSocketClient(const FetchRequest& rules);
  virtual ~TSocketClient();
  TSocketClient(const TSocketClient&) = delete;
  TSocketClient& operator=(const TSocketClient&) = delete;

  // Ends the current or next wait with "Connection Canceled"; safe from the wait hook.
  void Cancel() { m_cancel.store(true); }

 protected:
  void Connect(const std::string& host, uint16_t port);
  void SendAll(const std::string& data);
  // A line with its line end, read up to the first LF (at most 65536 bytes); empty when the
  // server closed first.
  std::string ReadLine();
  // Up to `size` bytes, waiting for at least one; 0 when the server has closed.
  std::size_t Receive(char* buffer, std::size_t size, const char* abortText);
  // Calls the wait hook when it has not run for a while, then honours a cancel.
  void KeepResponsive();
  void Close();
  // Takes over a socket that is already connected.
  void Adopt(int fd);
  // Starts the MaxTime clock of a fetch.
  void StartClock();

 private:
  enum class Wait { Read, Write };
  // Waits until the socket is ready; `progress` restarts the idle time-out.
  void WaitFor(Wait what, const char* timeoutText, const char* cancelText);
  bool Slice(int64_t& idle);  // one slice of a wait; true when the time-out ran out
  void CheckCancel(const char* text);

  const FetchRequest& m_rules;
  int m_fd = -1;
  std::string m_buffer;  // received, not yet taken
  std::atomic<bool> m_cancel{false};
  std::chrono::steady_clock::time_point m_lastHook{};
  std::size_t m_bytesSinceHook = 0;
  std::chrono::steady_clock::time_point m_started{};
  // Throws ETimeLimit once MaxTime has passed since StartClock.
  void CheckTimeLimit() const;
};

// One GET of an "http://" URL at a time, over HTTP/1.0; the body goes to the request's file or
// into BodyText, the header text is kept, redirects are followed up to ten times.
class THttpClient : public FetchRequest, public FetchAnswer, public TSocketClient {
 public:
  THttpClient() : TSocketClient(static_cast<const FetchRequest&>(*this)) {}

  std::string Host;
  uint16_t Port = 0;
  std::string Proxy;
  uint16_t ProxyPort = 0;

  std::string Location;
  std::string SetCookie;
  std::string Cookie;
  std::string Request;  // the text of the last request sent

  // The header as a whole (status line and every header line) may not grow beyond this.
  static constexpr std::size_t kMaxHeader = std::size_t{1} << 20;

  // Sends GET for the URL and receives the answer; returns when the server has closed the
  // connection. Network failures throw ESocketError, a target file that cannot be written a
  // ProblemError; the status is not judged.
  void FetchToFile(const std::string& url);

  static constexpr int kMaxRedirects = 10;

  // Reads an answer (status line, header lines, body) from a socket already connected to a
  // server that has been sent its request; the connection is closed afterwards.
  void ReceiveAnswer(int connectedFd);

 private:
  void Exchange(std::string& url);  // one request and its answer
  void ReadAnswer();
  std::string RedirectTarget() const;
};

}  // namespace tallyra
