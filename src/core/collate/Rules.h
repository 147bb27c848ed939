#pragma once

#include <charconv>
#include <cstdint>
#include <string>

// What the collation's kernel, its runner, the check of a combination and the plain reference
// rule share: the rule of a phase and how counts and row numbers are written.
namespace tallyra::kernel {

// One phase of a collation: every row of `first` against the rows of `second` (the rows after it
// when both are the same list).
struct PhaseRule {
  bool skipZeros;  // empty slots of a system stake are not numbers
  bool pairs;      // the list with itself: each pair once, both rows counted
  bool sixOrMore;  // category 6 takes every count of six or more
};

inline int Digits(int64_t n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

inline void AppendNumber(std::string& out, int64_t n) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, result.ptr);
}

// Category of a count of common numbers, or -1 for none.
inline int CategoryOf(int count, bool sixOrMore) {
  if (count >= 3 && count <= 6) return count - 3;
  if (count > 6 && sixOrMore) return 3;
  return -1;
}

}  // namespace tallyra::kernel
