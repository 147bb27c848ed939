// The list commands at full capacity, through the main window's handlers as a user runs them
// (dialogs answered by a script).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "BenchWindow.h"
#include "app/MainForm.h"
#include "dialogs/EnterForm.h"
#include "platform/StringGrid.h"

namespace {

constexpr int kFull = 99999;

struct Window : BenchWindow {
  void FillStakes(int n) {
    auto& ws = form->workspace();
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= 6; ++c) ws.StakeTable.cell[c][r] = (r * 7 + c * 13) % 49 + 1;
    }
    ws.StakeCount = n;
    form->RefreshGrids();
  }
  void FillSystem(int n) {
    auto& ws = form->workspace();
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= 12; ++c) ws.SystemTable.cell[c][r] = 50 - (r + c * 3) % 49;
    }
    ws.SystemCount = n;
    form->RefreshGrids();
  }
};

void BM_AddOneStake_99998Held(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull - 1);
  for (auto _ : state) {
    for (int b = 1; b <= 6; ++b) EnterForm->Edit[b]->setText(QString::number(b * 7));
    EnterForm->EntryMode = 0;
    EnterForm->BitEnterClick();
    state.PauseTiming();
    w.form->workspace().StakeCount = kFull - 1;
    w.form->RefreshGrids();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddOneStake_99998Held)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstRow_99999Stakes(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  for (auto _ : state) {
    w.form->SGStav->setRow(1);
    w.script.answerYes();
    w.form->BitDelClick();
    state.PauseTiming();
    w.form->workspace().StakeCount = kFull;
    w.form->RefreshGrids();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteFirstRow_99999Stakes)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstRow_99999SystemStakes(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  for (auto _ : state) {
    w.form->SGSys->setRow(1);
    w.script.answerYes();
    w.form->BitDelSysClick();
    state.PauseTiming();
    w.form->workspace().SystemCount = kFull;
    w.form->RefreshGrids();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteFirstRow_99999SystemStakes)->Unit(benchmark::kMillisecond);

void BM_LineUp_99999Stakes(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    w.FillStakes(kFull);
    state.ResumeTiming();
    w.form->N21Click();
  }
}
BENCHMARK(BM_LineUp_99999Stakes)->Unit(benchmark::kMillisecond);

void BM_LineUp_99999SystemStakes(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    w.FillSystem(kFull);
    state.ResumeTiming();
    w.form->N30Click();
  }
}
BENCHMARK(BM_LineUp_99999SystemStakes)->Unit(benchmark::kMillisecond);

void BM_SaveStakes_99999Lines(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  for (auto _ : state) {
    w.script.chooseFile(w.Path("stakes.txt"));
    benchmark::DoNotOptimize(w.form->N7Click());
  }
}
BENCHMARK(BM_SaveStakes_99999Lines)->Unit(benchmark::kMillisecond);

void BM_SaveSystem_99999Lines(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  for (auto _ : state) {
    w.script.chooseFile(w.Path("system.txt"));
    benchmark::DoNotOptimize(w.form->N32Click());
  }
}
BENCHMARK(BM_SaveSystem_99999Lines)->Unit(benchmark::kMillisecond);

void BM_LoadStakes_99999Lines(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  w.script.chooseFile(w.Path("stakes.txt"));
  w.form->N7Click();
  for (auto _ : state) {
    w.script.answerYes();
    w.script.chooseFile(w.Path("stakes.txt"));
    w.form->N6Click();
  }
  if (w.form->workspace().StakeCount != kFull) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadStakes_99999Lines)->Unit(benchmark::kMillisecond);

void BM_LoadSystem_99999Lines(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  w.script.chooseFile(w.Path("system.txt"));
  w.form->N32Click();
  for (auto _ : state) {
    w.script.answerYes();
    w.script.chooseFile(w.Path("system.txt"));
    w.form->N31Click();
  }
  if (w.form->workspace().SystemCount != kFull) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadSystem_99999Lines)->Unit(benchmark::kMillisecond);

}  // namespace
