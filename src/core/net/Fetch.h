#pragma once

// What every client of a fetch (http:// and https:// alike) is given, and what it brings back.

#include <cstdint>
#include <functional>
#include <string>

namespace tallyra {

// The limits a fetch keeps, the caller's hooks, and where the body goes.
struct FetchRequest {
  int32_t TimeOut = 0;  // ends a fetch when no data came for this many ms; 0 waits for ever
  int64_t MaxTime = 0;  // ends a fetch, redirects included, after this many ms; 0: no limit
  int64_t MaxBody = 0;  // a longer body ends the exchange with ETooLarge; 0 takes any size
  // The file the body is written to; when empty, the body is kept in FetchAnswer::BodyText.
  std::string TargetPath;
  // A file of PEM certificates trusted besides the system's own, for https://; empty trusts
  // the system's.
  std::string CaFile;
  // Called between the slices of every wait, and every few milliseconds (and every MiB) while
  // data keeps arriving without one.
  std::function<void()> WaitHook;
  // Told the number of body bytes received so far.
  std::function<void(int64_t)> Progress;
};

// The last answer of a fetch.
struct FetchAnswer {
  int StatusCode = 0;
  int64_t ContentLength = -1;  // -1 when the answer announced none
  int64_t BodySize = 0;        // body bytes received
  std::string Header;          // the status line and the header lines as received
  std::string BodyText;        // the body, when the request named no TargetPath

  // False when the answer announced a Content-Length its body does not have: the connection
  // ended early or the server sent more than it said.
  bool BodyComplete() const {
    // These answers carry no body, whatever length they announce.
    if ((StatusCode >= 100 && StatusCode < 200) || StatusCode == 204 || StatusCode == 304) {
      return true;
    }
    return ContentLength < 0 || BodySize == ContentLength;
  }
};

}  // namespace tallyra
