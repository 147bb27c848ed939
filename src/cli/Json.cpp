#include "cli/Json.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tallyra::cli {

namespace {

// The escape of a character that needs one: \" \\ or \u00XX.
void AppendEscape(std::string& out, unsigned char ch) {
  if (ch == '"' || ch == '\\') {
    out += '\\';
    out += static_cast<char>(ch);
  } else {
    char code[8];
    std::snprintf(code, sizeof code, "\\u%04x", ch);
    out += code;
  }
}

bool NeedsEscape(unsigned char ch) {
  return ch < 0x20 || ch == '"' || ch == '\\';
}

// Whether any of the eight characters at `at` may need an escape: a control character, '"' or
// '\\' (or any byte from 0x80 on, which the careful path then lets through).
bool MayNeedEscape(const char* at) {
  uint64_t x;
  std::memcpy(&x, at, sizeof x);
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHigh = 0x8080808080808080;
  const uint64_t low = (x - kOnes * 0x20) | x;
  const uint64_t quote = x ^ (kOnes * '"');
  const uint64_t slash = x ^ (kOnes * '\\');
  return ((low | ((quote - kOnes) & ~quote) | ((slash - kOnes) & ~slash)) & kHigh) != 0;
}

}  // namespace

std::string JsonQuoted(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    if (NeedsEscape(static_cast<unsigned char>(ch))) {
      AppendEscape(out, static_cast<unsigned char>(ch));
    } else {
      out += ch;
    }
  }
  return out + '"';
}

// The lists are nearly all digits and separators, so runs that need no escape go out whole,
// and the text is made on other threads while it is written.
void WriteJsonString(std::ostream& out, const CoincidenceList& list, int64_t count) {
  out << '"';
  int64_t left = count;
  if (left > 0) {
    list.forEachChunk(int64_t{1} << 22, [&](const std::string& piece) {
      const std::size_t size =
          static_cast<std::size_t>(std::min<int64_t>(left, static_cast<int64_t>(piece.size())));
      left -= static_cast<int64_t>(size);
      const char* data = piece.data();
      std::size_t run = 0;
      std::string escape;
      for (std::size_t i = 0; i < size; ++i) {
        // Eight characters at a time while none of them needs a closer look.
        while (i + 8 <= size && !MayNeedEscape(data + i)) i += 8;
        if (i >= size) break;
        const auto ch = static_cast<unsigned char>(data[i]);
        if (!NeedsEscape(ch)) continue;
        out.write(data + run, static_cast<std::streamsize>(i - run));
        escape.clear();
        AppendEscape(escape, ch);
        out << escape;
        run = i + 1;
      }
      out.write(data + run, static_cast<std::streamsize>(size - run));
      return left > 0;
    });
  }
  out << '"';
}

void WriteJsonNumbers(std::ostream& out, const std::vector<int32_t>& numbers) {
  out << '[';
  for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? ", " : "") << numbers[i];
  out << ']';
}

}  // namespace tallyra::cli
