// The list commands at full capacity, through the main window's buttons and menu commands as a
// user runs them (dialogs answered by a script).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "BenchWindow.h"
#include "app/MainWindow.h"
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
    form->refreshGrids();
  }
  void FillSystem(int n) {
    auto& ws = form->workspace();
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= 12; ++c) ws.SystemTable.cell[c][r] = 50 - (r + c * 3) % 49;
    }
    ws.SystemCount = n;
    form->refreshGrids();
  }
};

void BM_AddOneStake_99998Held(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull - 1);
  for (auto _ : state) {
    // The entry dialog opens, takes one stake and is closed again.
    w.script.inNextDialog([](QDialog& dialog) {
      for (int b = 1; b <= 6; ++b) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(b))
            ->setText(QString::number(b * 7));
      }
      dialog.findChild<QPushButton*>(QStringLiteral("BitEnter"))->click();
    });
    w.click("BitEnter");
    state.PauseTiming();
    w.form->workspace().StakeCount = kFull - 1;
    w.form->refreshGrids();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddOneStake_99998Held)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstRow_99999Stakes(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  for (auto _ : state) {
    w.grid("SGStav")->setRow(1);
    w.script.answerYes();
    w.click("BitDel");
    state.PauseTiming();
    w.form->workspace().StakeCount = kFull;
    w.form->refreshGrids();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteFirstRow_99999Stakes)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstRow_99999SystemStakes(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  for (auto _ : state) {
    w.grid("SGSys")->setRow(1);
    w.script.answerYes();
    w.click("BitDelSys");
    state.PauseTiming();
    w.form->workspace().SystemCount = kFull;
    w.form->refreshGrids();
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
    w.trigger("N21");
  }
}
BENCHMARK(BM_LineUp_99999Stakes)->Unit(benchmark::kMillisecond);

void BM_LineUp_99999SystemStakes(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    w.FillSystem(kFull);
    state.ResumeTiming();
    w.trigger("N30");
  }
}
BENCHMARK(BM_LineUp_99999SystemStakes)->Unit(benchmark::kMillisecond);

void BM_SaveStakes_99999Lines(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  for (auto _ : state) {
    w.script.chooseFile(w.Path("stakes.txt"));
    w.trigger("N7");
  }
}
BENCHMARK(BM_SaveStakes_99999Lines)->Unit(benchmark::kMillisecond);

void BM_SaveSystem_99999Lines(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  for (auto _ : state) {
    w.script.chooseFile(w.Path("system.txt"));
    w.trigger("N32");
  }
}
BENCHMARK(BM_SaveSystem_99999Lines)->Unit(benchmark::kMillisecond);

void BM_LoadStakes_99999Lines(benchmark::State& state) {
  Window w;
  w.FillStakes(kFull);
  w.script.chooseFile(w.Path("stakes.txt"));
  w.trigger("N7");
  for (auto _ : state) {
    w.script.answerYes();
    w.script.chooseFile(w.Path("stakes.txt"));
    w.trigger("N6");
  }
  if (w.form->workspace().StakeCount != kFull) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadStakes_99999Lines)->Unit(benchmark::kMillisecond);

void BM_LoadSystem_99999Lines(benchmark::State& state) {
  Window w;
  w.FillSystem(kFull);
  w.script.chooseFile(w.Path("system.txt"));
  w.trigger("N32");
  for (auto _ : state) {
    w.script.answerYes();
    w.script.chooseFile(w.Path("system.txt"));
    w.trigger("N31");
  }
  if (w.form->workspace().SystemCount != kFull) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadSystem_99999Lines)->Unit(benchmark::kMillisecond);

}  // namespace
