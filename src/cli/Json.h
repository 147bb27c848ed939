#pragma once

// The pieces of tallyra-cli's --json output that several commands write.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "collate/CoincidenceList.h"

namespace tallyra::cli {

// A JSON string of the text: '"' and '\\' escaped, control characters as \u00XX, the rest
// (UTF-8 included) as it is.
std::string JsonQuoted(std::string_view text);

// The first `count` characters of the list as a JSON string, escaped as JsonQuoted escapes.
// The lists run to gigabytes: they are written piece by piece, never held whole.
void WriteJsonString(std::ostream& out, const CoincidenceList& list, int64_t count);

// [1, 2, 3]
void WriteJsonNumbers(std::ostream& out, const std::vector<int32_t>& numbers);

}  // namespace tallyra::cli
