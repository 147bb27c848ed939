// The window's side of a collation at capacity: putting the outcome on the panel and the
// grids, and the list viewer opening a list of about 10^8 entries and jumping to its end.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <random>

#include "BenchWindow.h"
#include "app/MainWindow.h"
#include "dialogs/ListTextView.h"
#include "pages/CheckPage.h"

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
    form->refreshGrids();
  }
};

void BM_ApplyOutcome_99999Stakes(benchmark::State& state) {
  Shown shown;
  const auto kind = tallyra::CollationKind::StakesWithStakes;
  const tallyra::Outcome outcome =
      tallyra::Collate(kind, tallyra::SnapshotFor(kind, shown.form->workspace()));
  // The Check tab's page, as the window owns it.
  CheckPage* page = shown.form->findChild<CheckPage*>();
  for (auto _ : state) {
    page->applyOutcome(outcome);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ApplyOutcome_99999Stakes)->Unit(benchmark::kMillisecond);

// The whole collation as the user starts it, with the window's side included: from the click
// to the counts painted. The window's own first painting, still pending when it has just been
// filled, is done before the clock starts; it is reported apart as first_paint_ms.
void BM_CollateButton_99999Stakes(benchmark::State& state) {
  Shown shown;
  const auto start = std::chrono::steady_clock::now();
  QApplication::processEvents();
  const double firstPaint =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) {
    shown.trigger("N9");
    QApplication::processEvents();
  }
  state.counters["first_paint_ms"] = firstPaint * 1e3;
}
BENCHMARK(BM_CollateButton_99999Stakes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ViewerOpenAndJumpToEnd_ListOfThree_99999Stakes(benchmark::State& state) {
  Shown shown;
  shown.trigger("N9");
  const tallyra::ListPtr list = shown.form->matchLists()[0];
  ListTextView view;
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

#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QWheelEvent>
#include <chrono>

namespace {

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The collation of 99 999 stakes with each other, from the menu command to the counts painted
// in the window, and the command line's whole run on the same stakes from a file, one after the
// other in each round; the time is the window's, the ratio window / command line.
void BM_CollateWindowAndCommandLine_99999Stakes(benchmark::State& state) {
  Shown shown;
  const tallyra::Workspace& ws = shown.form->workspace();
  QByteArray text;
  for (int r = 1; r <= ws.StakeCount; ++r) {
    text += QByteArray::number(r) + " - ";
    for (int c = 1; c <= 6; ++c) {
      text += QByteArray::number(ws.StakeTable.cell[c][r]) + (c < 6 ? "," : ";\r\n");
    }
  }
  shown.Write("st.txt", text);
  QApplication::processEvents();
  double window = 0, line = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    shown.form->findChild<QAction*>(QStringLiteral("N9"))->trigger();  // Stakes > Collate
    QApplication::processEvents();                                     // the counts painted
    const double w = Seconds(start);
    start = std::chrono::steady_clock::now();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral(TALLYRA_CLI), {QStringLiteral("collate"), QStringLiteral("stakes"),
                                                QStringLiteral("--stakes"), shown.Path("st.txt")});
    process.waitForFinished(-1);
    const double l = Seconds(start);
    if (process.exitCode() != 0) state.SkipWithError("the command failed");
    state.SetIterationTime(w);
    window += w;
    line += l;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["window_ms"] = window / n * 1e3;
  state.counters["command_line_ms"] = line / n * 1e3;
  state.counters["ratio"] = window / line;
}
BENCHMARK(BM_CollateWindowAndCommandLine_99999Stakes)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// The longest list at capacity: coincidences of three of 99 999 system stakes with each other.
struct Longest {
  tallyra::ListPtr list;
  int64_t entries = 0;
};
const Longest& LongestList() {
  static const Longest longest = [] {
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
    const tallyra::Outcome out = tallyra::Collate(tallyra::CollationKind::SystemWithSystem, in);
    return Longest{out.lists[0], out.counts[0]};
  }();
  return longest;
}

// One move in the viewer, painted, at the start (arg 0: a few pages in), the middle (1) or the
// end (2) of the longest list; each round starts from a place not seen before, so no row is
// already made.
enum class Move { PageUp, PageDown, WheelUp, WheelDown, Drag };

void ViewerMove(benchmark::State& state, Move move) {
  const tallyra::ListPtr& list = LongestList().list;
  ListTextView view;
  view.resize(479, 386);
  view.setList(list);
  QImage canvas(view.size(), QImage::Format_RGB32);
  const int64_t length = list->length();
  std::mt19937_64 rng(7);
  double worst = 0;
  for (auto _ : state) {
    int64_t at = 0;
    switch (state.range(0)) {
      case 0:
        at = 20000 + static_cast<int64_t>(rng() % 2000000);
        break;
      case 1:
        at = length / 2 + static_cast<int64_t>(rng() % 100000000);
        break;
      default:
        at = length - 20000 - static_cast<int64_t>(rng() % 2000000);
        break;
    }
    view.scrollToOffset(at);
    view.render(&canvas);
    const auto start = std::chrono::steady_clock::now();
    switch (move) {
      case Move::PageUp:
      case Move::PageDown: {
        QKeyEvent key(QEvent::KeyPress, move == Move::PageUp ? Qt::Key_PageUp : Qt::Key_PageDown,
                      Qt::NoModifier);
        QApplication::sendEvent(&view, &key);
        break;
      }
      case Move::WheelUp:
      case Move::WheelDown: {
        const QPoint notch(0, move == Move::WheelUp ? 120 : -120);
        QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), notch, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        break;
      }
      case Move::Drag: {
        QScrollBar* bar = view.verticalScrollBar();
        bar->setValue(static_cast<int>(rng() % static_cast<uint64_t>(bar->maximum() + 1)));
        break;
      }
    }
    view.render(&canvas);
    const double t = Seconds(start);
    worst = std::max(worst, t);
    state.SetIterationTime(t);
  }
  state.counters["worst_ms"] = worst * 1e3;
  state.counters["entries"] = static_cast<double>(LongestList().entries);
  state.counters["characters"] = static_cast<double>(length);
}

void BM_ViewerPageUp_LongestList(benchmark::State& s) {
  ViewerMove(s, Move::PageUp);
}
void BM_ViewerPageDown_LongestList(benchmark::State& s) {
  ViewerMove(s, Move::PageDown);
}
void BM_ViewerWheelUp_LongestList(benchmark::State& s) {
  ViewerMove(s, Move::WheelUp);
}
void BM_ViewerWheelDown_LongestList(benchmark::State& s) {
  ViewerMove(s, Move::WheelDown);
}
void BM_ViewerDrag_LongestList(benchmark::State& s) {
  ViewerMove(s, Move::Drag);
}
BENCHMARK(BM_ViewerPageUp_LongestList)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_ViewerPageDown_LongestList)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_ViewerWheelUp_LongestList)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_ViewerWheelDown_LongestList)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_ViewerDrag_LongestList)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

}  // namespace
