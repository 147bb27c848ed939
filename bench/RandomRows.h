#pragma once

// Random lists of a 6-out-of-49 game for the benchmarks.

#include <algorithm>
#include <random>
#include <vector>

#include "collate/Collation.h"

namespace bench {

// `count` rows of `width` cells, each row holding `numbers` distinct numbers (7 to 12 at random
// when `numbers` is 0, as system stakes come) and zeros after them.
inline tallyra::RowSet RandomRows(int width, int count, int numbers, unsigned seed) {
  std::mt19937 rng(seed);
  tallyra::RowSet rows;
  rows.width = width;
  rows.count = count;
  std::vector<int32_t> pool(49);
  for (int r = 0; r < count; ++r) {
    // Distinct numbers, as the entry dialog makes them.
    for (int v = 0; v < 49; ++v) pool[static_cast<std::size_t>(v)] = v + 1;
    std::shuffle(pool.begin(), pool.end(), rng);
    const int filled = numbers > 0 ? numbers : 7 + static_cast<int>(rng() % 6);
    for (int c = 0; c < width; ++c)
      rows.cells.push_back(c < filled ? pool[static_cast<std::size_t>(c)] : 0);
  }
  return rows;
}

// The collations' lists at full capacity: 99 999 stakes, 99 999 system stakes of 7 to 12
// numbers and 1 499 draws, made once.
inline const tallyra::CollationInput& FullInput() {
  static const tallyra::CollationInput input = [] {
    tallyra::CollationInput in;
    in.stakes = RandomRows(6, 99999, 6, 1);
    in.system = RandomRows(12, 99999, 0, 2);
    in.draws = RandomRows(6, 1499, 6, 3);
    return in;
  }();
  return input;
}

}  // namespace bench
