#include "import/TextDecoding.h"

#include <algorithm>
#include <cstdint>

namespace tallyra {
namespace {

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string FromUtf16(std::string_view data, bool bigEndian) {
  std::string out;
  out.reserve(data.size() / 2);
  auto unit = [&](std::size_t i) -> uint32_t {
    const auto a = static_cast<unsigned char>(data[i]);
    const auto b = static_cast<unsigned char>(data[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const std::size_t units = data.size() / 2;
  for (std::size_t u = 0; u < units; ++u) {
    const uint32_t code = unit(2 * u);
    if (code >= 0xD800 && code < 0xDC00 && u + 1 < units) {
      const uint32_t low = unit(2 * (u + 1));
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
        ++u;
        continue;
      }
    }
    if (code >= 0xD800 && code < 0xE000) {
      out += '?';
    } else {
      AppendUtf8(out, code);
    }
  }
  return out;
}

// UTF-16 without a mark: text of digits and separators has a zero byte in every other place.
int GuessUtf16(std::string_view data) {
  const std::size_t n = std::min<std::size_t>(data.size(), 4096) & ~std::size_t{1};
  if (n < 4) return 0;
  std::size_t zeroEven = 0, zeroOdd = 0;
  for (std::size_t i = 0; i < n; i += 2) {
    zeroEven += data[i] == 0;
    zeroOdd += data[i + 1] == 0;
  }
  const std::size_t pairs = n / 2;
  if (zeroOdd * 10 >= pairs * 4 && zeroEven * 20 < pairs) return 1;  // little-endian
  if (zeroEven * 10 >= pairs * 4 && zeroOdd * 20 < pairs) return 2;  // big-endian
  return 0;
}

bool LooksBinary(std::string_view text) {
  const std::size_t n = std::min<std::size_t>(text.size(), 65536);
  std::size_t controls = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto ch = static_cast<unsigned char>(text[i]);
    if (ch == 0) return true;
    if (ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\r' && ch != '\f' && ch != '\v' &&
        ch != 0x1A) {
      ++controls;
    }
  }
  return controls * 20 > n;
}

}  // namespace

DecodedText DecodeText(std::string_view data) {
  DecodedText out;
  if (data.starts_with("\xEF\xBB\xBF")) {
    out.encoding = TextEncoding::Utf8Bom;
    out.text.assign(data.substr(3));
  } else if (data.starts_with("\xFF\xFE")) {
    out.encoding = TextEncoding::Utf16LE;
    out.text = FromUtf16(data.substr(2), false);
  } else if (data.starts_with("\xFE\xFF")) {
    out.encoding = TextEncoding::Utf16BE;
    out.text = FromUtf16(data.substr(2), true);
  } else if (const int guess = GuessUtf16(data); guess != 0) {
    out.encoding = guess == 1 ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    out.text = FromUtf16(data, guess == 2);
  } else {
    out.text.assign(data);
  }
  out.binary = LooksBinary(out.text);
  return out;
}

}  // namespace tallyra
