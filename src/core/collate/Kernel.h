#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "collate/Collation.h"
#include "collate/Rules.h"

// The bit-sliced kernel of the collations, for the runner in Collation.cpp.
namespace tallyra::kernel {

// A phase's two sides and the bitmaps of the other side; kept alive by the lists that write
// their entries from it.
struct PhaseData;

// What a phase found: per category the count, per row of the first side its counts, and per
// category where each row's entries start in the list's text.
struct PhaseResult {
  std::array<int64_t, 4> counts{};
  std::vector<CategoryCounts> firstRows;  // per row (of both sides, for pairs)
  std::array<CoincidenceList::RowIndex, 4> index;
};

struct Phase {
  std::shared_ptr<const PhaseData> data;
  PhaseResult result;
};

// Runs one phase on up to `threads` threads (0: as many as the processor has, at most 8); stops
// early when `cancel` becomes true.
Phase Run(const RowSet& first, const RowSet& second, PhaseRule rule,
          const std::atomic<bool>* cancel, int threads);

// The run of a coincidence list that writes the entries of one category of a phase.
CoincidenceList::Run MakeRun(std::shared_ptr<const PhaseData> data, CoincidenceList::RowIndex index,
                             int category);

// The builds of the hot loops: for any x86-64, for AVX2 (x86-64-v3), for AVX-512 (x86-64-v4)
// and for AVX-512 with VPOPCNTDQ. The best one the processor runs is taken, unless
// TALLYRA_KERNEL_PATH (default, avx2, avx512f or avx512), read once, asks for a lesser one;
// asking for one the processor lacks gets the best it has. Tests and benchmarks use it to run
// every build on one machine.
enum class KernelPath { Default, Avx2, Avx512F, Avx512 };

// The build in use, and its name as the variable spells it.
KernelPath ActivePath();
const char* PathName(KernelPath path);

}  // namespace tallyra::kernel
