#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "stats/Analysis.h"

// Draws for the tests that hold the analysis and the generator against a brute force.
namespace tallyra::test {

// `count` draws of six different numbers of 1..m, each as it came (not sorted).
inline std::vector<AnalysisDraw> RandomDraws(std::mt19937& random, int32_t m, int count) {
  std::vector<int32_t> all(static_cast<std::size_t>(m));
  for (int32_t n = 1; n <= m; ++n) all[static_cast<std::size_t>(n - 1)] = n;
  std::vector<AnalysisDraw> draws;
  for (int i = 0; i < count; ++i) {
    std::shuffle(all.begin(), all.end(), random);
    AnalysisDraw d;
    std::copy_n(all.begin(), 6, d.begin());
    draws.push_back(d);
  }
  return draws;
}

// Calls visit(six) for every six of 1..m, sorted, in lexical order.
template <typename Visit>
void EverySix(int32_t m, Visit visit) {
  AnalysisDraw d{1, 2, 3, 4, 5, 6};
  for (;;) {
    visit(static_cast<const AnalysisDraw&>(d));
    int i = 5;
    while (i >= 0 && d[static_cast<std::size_t>(i)] == m - 5 + i) --i;
    if (i < 0) return;
    ++d[static_cast<std::size_t>(i)];
    for (int j = i + 1; j < 6; ++j)
      d[static_cast<std::size_t>(j)] = d[static_cast<std::size_t>(j - 1)] + 1;
  }
}

}  // namespace tallyra::test
