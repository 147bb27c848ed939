#pragma once

#include <string>
#include <string_view>

namespace tallyra {

enum class TextEncoding {
  Bytes,    // 8-bit or UTF-8 text, taken as it is
  Utf8Bom,  // UTF-8 that began with a byte-order mark, which is dropped
  Utf16LE,  // little-endian UTF-16, with or without a byte-order mark
  Utf16BE,  // big-endian UTF-16, with or without a byte-order mark
};

struct DecodedText {
  TextEncoding encoding = TextEncoding::Bytes;
  std::string text;     // UTF-16 comes out as UTF-8
  bool binary = false;  // NUL bytes or many control characters: not a text file
};

// Brings a file from the wild into 8-bit text: a UTF-8 byte-order mark is dropped and UTF-16
// (recognised by its mark or, without one, by the zero bytes of its ASCII characters) is
// turned into UTF-8. Only digits and separators matter to the importer, so an unpaired
// surrogate simply becomes "?".
DecodedText DecodeText(std::string_view data);

}  // namespace tallyra
