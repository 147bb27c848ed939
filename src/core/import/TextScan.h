#pragma once

#include <cstddef>
#include <string_view>

namespace tallyra::textscan {

inline bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// Letters of any script (UTF-8 bytes are all above 0x7F) and digits make words.
inline bool IsWordChar(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  return IsDigit(ch) || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

// How many digits stand at s[i].
inline std::size_t DigitsAt(std::string_view s, std::size_t i) {
  std::size_t j = i;
  while (j < s.size() && IsDigit(s[j])) ++j;
  return j - i;
}

// The value of the n digits at s[i]; n is small enough for an int.
inline int Number(std::string_view s, std::size_t i, std::size_t n) {
  int v = 0;
  for (std::size_t k = 0; k < n; ++k) v = v * 10 + (s[i + k] - '0');
  return v;
}

// The text without the spaces and tabs at either end.
inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A line of nothing but blanks, form feeds and the end-of-file mark of old editors.
inline bool IsBlankLine(std::string_view line) {
  for (const char ch : line) {
    if (ch != ' ' && ch != '\t' && ch != '\f' && ch != '\v' && ch != 0x1A) return false;
  }
  return true;
}

}  // namespace tallyra::textscan
