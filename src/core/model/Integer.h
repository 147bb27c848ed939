#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyra {

// Plain decimal: an optional sign and at least one digit, nothing else; the value must fit a
// signed 32-bit integer.
std::optional<int32_t> ParseDecimal(std::string_view text);

// The conversion users know from typed fields: leading blanks, an optional sign, then decimal
// digits or a hexadecimal number written "$1F", "x1F" or "0x1F". The value must fit a signed
// 32-bit integer.
std::optional<int32_t> ParseInteger(std::string_view text);

}  // namespace tallyra
