#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/TextTable.h"

namespace tallyra {

// The texts of the entry boxes: element b is box b (1..12), element 0 is unused.
using EntryTexts = std::array<std::string, 13>;
// Their numbers once checked; an empty extra box gives 0.
using EntryNumbers = std::array<int32_t, 13>;

// The checks of the six main boxes, in order, stopping at the first failure: every box filled,
// each number in 1..highest (a box is converted only after the ones before it passed), no two
// numbers equal. A text that is not a number fails with TxtNoSymbols. Returns the message of the
// failure, or nothing when the boxes are good; `numbers` then holds them.
std::optional<TextId> CheckMainFields(const EntryTexts& texts, int32_t highest,
                                      EntryNumbers& numbers);

// The checks of the six extra boxes, after the main ones passed: each filled box in 1..highest,
// then no filled box equal, as a number, to any main box or to another extra box.
std::optional<TextId> CheckSystemFields(const EntryTexts& texts, int32_t highest,
                                        EntryNumbers& numbers);

}  // namespace tallyra
