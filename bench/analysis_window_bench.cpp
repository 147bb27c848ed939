// The analysis window at capacity: 1 499 draws of 6 of 49 and of 6 of 99, the range changed
// and the page shown painted again, as a user changes the latest N.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QRadioButton>
#include <QSpinBox>
#include <random>

#include "BenchWindow.h"
#include "dialogs/AnalysisWindow.h"

namespace {

void BM_AnalysisRangeChangeRedraw_1499Draws(benchmark::State& state) {
  const int m = static_cast<int>(state.range(0));
  BenchFolder folder;
  folder.Write("ini.tly", QByteArray::number(m) + "\r\n1\r\n");
  std::mt19937 random(static_cast<unsigned>(m));
  std::vector<int> all(static_cast<std::size_t>(m));
  for (int n = 1; n <= m; ++n) all[static_cast<std::size_t>(n - 1)] = n;
  QByteArray results;
  for (int d = 1; d <= 1499; ++d) {
    std::shuffle(all.begin(), all.end(), random);
    results += QByteArray::number(d) + " - ";
    for (int i = 0; i < 6; ++i)
      results += QByteArray::number(all[static_cast<std::size_t>(i)]) + (i < 5 ? "," : ";\r\n");
  }
  folder.Write("Results.txt", results);
  MainWindow form(folder.files());
  form.show();
  if (auto* action = form.findChild<QAction*>(QStringLiteral("AnalysisItem"))) action->trigger();
  QApplication::processEvents();
  auto* window = form.findChild<AnalysisWindow*>(QStringLiteral("AnalysisWindow"));
  auto* latest =
      window ? window->findChild<QRadioButton*>(QStringLiteral("AnalysisLatest")) : nullptr;
  auto* count =
      window ? window->findChild<QSpinBox*>(QStringLiteral("AnalysisLatestCount")) : nullptr;
  if (!latest || !count) {
    state.SkipWithError("no analysis window");
    return;
  }
  latest->setChecked(true);
  int n = 0;
  for (auto _ : state) {
    count->setValue(++n % 2 ? 1000 : 1499);
    window->repaint();
  }
}
BENCHMARK(BM_AnalysisRangeChangeRedraw_1499Draws)
    ->Arg(49)
    ->Arg(99)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
