// The window's side of a collation at capacity: putting the outcome on the panel and the
// grids, and the list viewer opening a list of about 10^8 entries and jumping to its end.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <random>

#include "BenchWindow.h"
#include "app/MainForm.h"
#include "dialogs/ListView.h"

namespace {

void FillRandomStakes(tallyra::Workspace& ws) {
  std::mt19937 rng(1);
  for (int r = 1; r <= 99999; ++r) {
    std::vector<int32_t> pool(49);
    for (int v = 0; v < 49; ++v) pool[static_cast<std::size_t>(v)] = v + 1;
    std::shuffle(pool.begin(), pool.end(), rng);
    for (int c = 1; c <= 6; ++c) ws.StakeTable.cell[c][r] = pool[static_cast<std::size_t>(c - 1)];
  }
  ws.StakeCount = 99999;
}

struct Shown : BenchWindow {
  Shown() {
    FillRandomStakes(form->workspace());
    form->RefreshGrids();
  }
};

void BM_ApplyOutcome_99999Stakes(benchmark::State& state) {
  Shown shown;
  const auto kind = tallyra::CollationKind::StakesWithStakes;
  const tallyra::Outcome outcome =
      tallyra::Collate(kind, tallyra::SnapshotFor(kind, shown.form->workspace()));
  for (auto _ : state) {
    shown.form->ApplyOutcome(outcome);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ApplyOutcome_99999Stakes)->Unit(benchmark::kMillisecond);

// The whole collation as the user starts it, with the window's side included.
void BM_CollateButton_99999Stakes(benchmark::State& state) {
  Shown shown;
  for (auto _ : state) shown.form->BitTestClick();
}
BENCHMARK(BM_CollateButton_99999Stakes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ViewerOpenAndJumpToEnd_ListOfThree_99999Stakes(benchmark::State& state) {
  Shown shown;
  shown.form->BitTestClick();
  const tallyra::ListPtr list = shown.form->MatchLists()[0];
  ListView view;
  view.resize(479, 386);
  QImage canvas(view.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    view.setList(list);
    view.render(&canvas);
    view.scrollToEnd();
    view.render(&canvas);
  }
  state.counters["characters"] = static_cast<double>(list->length());
}
BENCHMARK(BM_ViewerOpenAndJumpToEnd_ListOfThree_99999Stakes)->Unit(benchmark::kMillisecond);

// The most memory any collation at capacity takes: system stakes with each other.
void BM_PeakMemory_SystemWithSystem_99999(benchmark::State& state) {
  tallyra::CollationInput in;
  std::mt19937 rng(2);
  in.system.width = 12;
  in.system.count = 99999;
  for (int r = 0; r < 99999; ++r) {
    std::vector<int32_t> pool(49);
    for (int v = 0; v < 49; ++v) pool[static_cast<std::size_t>(v)] = v + 1;
    std::shuffle(pool.begin(), pool.end(), rng);
    const int filled = 7 + static_cast<int>(rng() % 6);
    for (int c = 0; c < 12; ++c)
      in.system.cells.push_back(c < filled ? pool[static_cast<std::size_t>(c)] : 0);
  }
  for (auto _ : state) {
    const tallyra::Outcome out = tallyra::Collate(tallyra::CollationKind::SystemWithSystem, in);
    benchmark::DoNotOptimize(out.counts);
    state.counters["list_characters"] =
        static_cast<double>(out.lists[0]->length() + out.lists[1]->length() +
                            out.lists[2]->length() + out.lists[3]->length());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_PeakMemory_SystemWithSystem_99999)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
