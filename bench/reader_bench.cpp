// The record-line reader on the largest files it accepts, without the window.

#include <benchmark/benchmark.h>

#include <string>

#include "lists/RecordReader.h"

namespace {

std::string Lines(int n, int numbers) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    text += std::to_string(i) + " - ";
    for (int c = 1; c <= numbers; ++c) {
      text += std::to_string((i * 7 + c * 13) % 49 + 1) + (c < numbers ? "," : ";\r\n");
    }
  }
  return text;
}

void BM_ReadRecordLines_99999SystemStakesOf12(benchmark::State& state) {
  const std::string text = Lines(99999, 12);
  auto ws = tallyra::CreateWorkspace();
  for (auto _ : state) {
    ws->SystemCount = 0;
    const auto outcome =
        tallyra::ReadRecordLines(text, tallyra::TableRef::of(ws->SystemTable), ws->SystemCount,
                                 tallyra::OverflowRule::RejectFile);
    benchmark::DoNotOptimize(outcome.added);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadRecordLines_99999SystemStakesOf12)->Unit(benchmark::kMillisecond);

// A draw history far longer than the table: only the latest 1499 draws are kept.
void BM_ReadRecordLines_1000000DrawsKeepLatest(benchmark::State& state) {
  const std::string text = Lines(1000000, 6);
  auto ws = tallyra::CreateWorkspace();
  for (auto _ : state) {
    ws->ResultCount = 0;
    const auto outcome =
        tallyra::ReadRecordLines(text, tallyra::TableRef::of(ws->ResultTable), ws->ResultCount,
                                 tallyra::OverflowRule::KeepLatest);
    benchmark::DoNotOptimize(outcome.added);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadRecordLines_1000000DrawsKeepLatest)->Unit(benchmark::kMillisecond);

}  // namespace
