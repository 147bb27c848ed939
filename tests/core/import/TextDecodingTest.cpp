#include "import/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallyra {
namespace {

std::string Utf16(const std::u16string& text, bool bigEndian, bool mark) {
  std::string out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

TEST(TextDecoding, FilesFromTheWildBecomeEightBitText) {
  struct Case {
    const char* name;
    std::string data;
    TextEncoding encoding;
    std::string text;
    bool binary = false;
  };
  const std::vector<Case> cases = {
      {"plain", "1;2\r\n", TextEncoding::Bytes, "1;2\r\n"},
      {"UTF-8 with a mark",
       "\xEF\xBB\xBF"
       "Тираж 1",
       TextEncoding::Utf8Bom, "Тираж 1"},
      {"UTF-16 LE with a mark", Utf16(u"Ball 1\r\n", false, true), TextEncoding::Utf16LE,
       "Ball 1\r\n"},
      {"UTF-16 BE with a mark", Utf16(u"1,2", true, true), TextEncoding::Utf16BE, "1,2"},
      {"UTF-16 LE without one", Utf16(u"12.11.2019;5", false, false), TextEncoding::Utf16LE,
       "12.11.2019;5"},
      {"UTF-16 BE without one", Utf16(u"12.11.2019;5", true, false), TextEncoding::Utf16BE,
       "12.11.2019;5"},
      {"Cyrillic and a pair of surrogates", Utf16(u"Ж€\U0001F600", false, true),
       TextEncoding::Utf16LE, "Ж€\xF0\x9F\x98\x80"},
      {"an unpaired surrogate",
       Utf16(u"1\xD800"
             "2",
             false, true),
       TextEncoding::Utf16LE, "1?2"},
      {"an end-of-file mark is text", "1 2 3\r\n\x1A", TextEncoding::Bytes, "1 2 3\r\n\x1A"},
      {"NUL bytes",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       TextEncoding::Bytes,
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       true},
      {"many control characters", "\x01\x02\x03 1 2 3", TextEncoding::Bytes, "\x01\x02\x03 1 2 3",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedText d = DecodeText(c.data);
    EXPECT_EQ(d.encoding, c.encoding);
    EXPECT_EQ(d.text, c.text);
    EXPECT_EQ(d.binary, c.binary);
  }
}

}  // namespace
}  // namespace tallyra
