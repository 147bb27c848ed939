#pragma once

// A plain per-number-bitmap kernel, built for the processor it runs on, as the yardstick the
// collations' speed is held to.

#include <array>
#include <cstdint>
#include <vector>

#include "collate/Collation.h"

namespace bench {

struct YardstickOutcome {
  std::array<int64_t, 4> counts{};           // per category: 3, 4, 5, 6 (or more) common numbers
  std::vector<std::array<int32_t, 4>> rows;  // per row of the first side
};

// Every row of `first` against every row of `second` (against the rows after it when `pairs`),
// numbers 1..63 only, zeros skipped; `sixOrMore` puts every count above six in the last
// category. The counts and each first row's counts, on `threads` threads.
YardstickOutcome CollateWithBitmaps(const tallyra::RowSet& first, const tallyra::RowSet& second,
                                    bool pairs, bool sixOrMore, int threads);

// What the yardstick is built for: "native" when the compiler took -march=native.
const char* YardstickTarget();

}  // namespace bench
