// How long the list grids take to follow the Workspace at full capacity, and how long the
// main window takes from construction to its first showing with a full draw history.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "BenchWindow.h"
#include "platform/StringGrid.h"

namespace {

void FillLists(tallyra::Workspace& ws, int stakes, int systems, int draws) {
  for (int r = 1; r <= stakes; ++r) {
    for (int c = 1; c <= 6; ++c) ws.StakeTable.cell[c][r] = (r + c * 7) % 49 + 1;
  }
  for (int r = 1; r <= systems; ++r) {
    for (int c = 1; c <= 9; ++c) ws.SystemTable.cell[c][r] = (r + c * 5) % 49 + 1;
  }
  for (int r = 1; r <= draws; ++r) {
    for (int c = 1; c <= 6; ++c) ws.ResultTable.cell[c][r] = (r * 3 + c * 11) % 49 + 1;
  }
  ws.StakeCount = stakes;
  ws.SystemCount = systems;
  ws.ResultCount = draws;
}

// A shown main window whose three lists are full.
struct FullWindow : BenchWindow {
  FullWindow() {
    FillLists(form->workspace(), 99999, 99999, 1499);
    form->refreshGrids();
  }
};

// Every iteration grows the three grids from one row to full capacity and back, the worst
// change a refresh meets (a load into an empty list, then a delete-all).
void BM_RefreshGrids_99999Stakes_99999System_1499Draws(benchmark::State& state) {
  FullWindow window;
  MainWindow& form = *window.form;
  tallyra::Workspace& ws = form.workspace();
  for (auto _ : state) {
    ws.StakeCount = ws.SystemCount = 99999;
    ws.ResultCount = 1499;
    form.refreshGrids();
    state.PauseTiming();
    ws.StakeCount = ws.SystemCount = ws.ResultCount = 1;
    form.refreshGrids();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RefreshGrids_99999Stakes_99999System_1499Draws)->Unit(benchmark::kMillisecond);

// The refresh after an edit of a full list: the row counts stay, the texts change.
void BM_RefreshGrids_Unchanged_99999Stakes(benchmark::State& state) {
  FullWindow window;
  for (auto _ : state) window.form->refreshGrids();
}
BENCHMARK(BM_RefreshGrids_Unchanged_99999Stakes)->Unit(benchmark::kMicrosecond);

// Construction (settings read) and first showing (texts, results read from the file, grids).
void BM_Startup_1499Draws(benchmark::State& state) {
  BenchFolder folder;
  QByteArray draws;
  for (int i = 1; i <= 1499; ++i) {
    draws += QByteArray::number(i) + " - " + QByteArray::number(i % 43 + 1) + "," +
             QByteArray::number(i % 41 + 2) + ",3,4,5,49;\r\n";
  }
  folder.Write("Results.txt", draws);
  for (auto _ : state) {
    auto form = std::make_unique<MainWindow>(folder.files());
    form->show();
    benchmark::DoNotOptimize(form->workspace().ResultCount);
    state.PauseTiming();
    form.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Startup_1499Draws)->Unit(benchmark::kMillisecond);

// Scrolling a full grid: painting the visible rows at the top, middle and end.
void BM_PaintFullGrid_99999Stakes(benchmark::State& state) {
  FullWindow window;
  platform::StringGrid* grid = window.grid("SGStav");
  QImage canvas(grid->size(), QImage::Format_RGB32);
  int row = 1;
  for (auto _ : state) {
    grid->scrollTo(grid->model().index(row - 1, 0));
    grid->render(&canvas);
    row = row * 7 % 99999 + 1;
  }
}
BENCHMARK(BM_PaintFullGrid_99999Stakes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
