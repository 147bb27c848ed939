// The collations at full capacity on random lists of a 6-out-of-49 game, and the plain rule on
// a sample for the ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>

#include "PlainCollation.h"
#include "RandomRows.h"
#include "collate/Collation.h"

using bench::FullInput;
using bench::RandomRows;

namespace {

void Run(benchmark::State& state, tallyra::CollationKind kind, int threads) {
  const auto& in = FullInput();
  for (auto _ : state) {
    const tallyra::Outcome out = tallyra::Collate(kind, in, nullptr, threads);
    benchmark::DoNotOptimize(out.counts);
    state.counters["coincidences"] =
        static_cast<double>(out.counts[0] + out.counts[1] + out.counts[2] + out.counts[3]);
  }
}

void BM_StakesWithStakes_99999(benchmark::State& s) {
  Run(s, tallyra::CollationKind::StakesWithStakes, static_cast<int>(s.range(0)));
}
BENCHMARK(BM_StakesWithStakes_99999)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemWithSystem_99999(benchmark::State& s) {
  Run(s, tallyra::CollationKind::SystemWithSystem, static_cast<int>(s.range(0)));
}
BENCHMARK(BM_SystemWithSystem_99999)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StakesWithDraws_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::StakesWithDraws, 2);
}
BENCHMARK(BM_StakesWithDraws_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemWithDraws_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::SystemWithDraws, 2);
}
BENCHMARK(BM_SystemWithDraws_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_All_99999_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::All, 2);
}
BENCHMARK(BM_All_99999_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain rule on the first 2000 stakes (2 million pairs); at capacity it makes 2500 times as
// many comparisons.
void BM_StakesWithStakes_Plain_2000(benchmark::State& s) {
  tallyra::CollationInput in;
  in.stakes = FullInput().stakes;
  in.stakes.count = 2000;
  in.stakes.cells.resize(2000 * 6);
  for (auto _ : s) {
    const tallyra::Outcome out =
        tallyra::CollatePlainly(tallyra::CollationKind::StakesWithStakes, in);
    benchmark::DoNotOptimize(out.counts);
  }
}
BENCHMARK(BM_StakesWithStakes_Plain_2000)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The check of one system combination against every stake and system stake; it runs on the
// window's own thread.
void BM_Check_99999Stakes_99999System(benchmark::State& s) {
  const auto& in = FullInput();
  const std::array<int32_t, 13> combination{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (auto _ : s) {
    const tallyra::Outcome out = tallyra::CheckCombination(combination, true, true, in);
    benchmark::DoNotOptimize(out.counts);
  }
}
BENCHMARK(BM_Check_99999Stakes_99999System)->Unit(benchmark::kMillisecond);

}  // namespace

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Writes all of `data` to `fd`.
void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) std::abort();
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

// A file in the temporary folder, emptied before every round, or the null device.
struct Target {
  explicit Target(bool file) {
    if (file) {
      std::string path = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
      path += "/tallyra-bench-XXXXXX";
      fd = ::mkstemp(path.data());
      if (fd >= 0) ::unlink(path.c_str());
    } else {
      fd = ::open("/dev/null", O_WRONLY);
    }
  }
  ~Target() {
    if (fd >= 0) ::close(fd);
  }
  void Rewind() const {
    if (::ftruncate(fd, 0) != 0 && errno != EINVAL) std::abort();
    ::lseek(fd, 0, SEEK_SET);
  }
  int fd = -1;
};

const tallyra::Outcome& StakesWithStakesOutcome() {
  static const tallyra::Outcome out =
      tallyra::Collate(tallyra::CollationKind::StakesWithStakes, FullInput(), nullptr, 2);
  return out;
}

// The whole list of three of the stakes with each other (about 1.2 GB) streamed into a file
// (arg 1) or the null device (arg 0), as a save or `collate --json` writes it; beside it, a
// plain write of the same number of bytes from memory.
void BM_StakesWithStakes_99999_ListOfThreeWritten(benchmark::State& s) {
  const tallyra::CoincidenceList& list = *StakesWithStakesOutcome().lists[0];
  const Target target(s.range(0) != 0);
  for (auto _ : s) {
    target.Rewind();
    list.forEachChunk(int64_t{4} << 20, [&](const std::string& piece) {
      WriteAll(target.fd, piece.data(), piece.size());
      return true;
    });
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * list.length());
  s.counters["bytes"] = static_cast<double>(list.length());
}
BENCHMARK(BM_StakesWithStakes_99999_ListOfThreeWritten)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_PlainWrite_SameBytes(benchmark::State& s) {
  const int64_t bytes = StakesWithStakesOutcome().lists[0]->length();
  const std::string piece(std::size_t{4} << 20, '7');
  const Target target(s.range(0) != 0);
  for (auto _ : s) {
    target.Rewind();
    for (int64_t left = bytes; left > 0; left -= static_cast<int64_t>(piece.size())) {
      WriteAll(
          target.fd, piece.data(),
          static_cast<std::size_t>(std::min<int64_t>(left, static_cast<int64_t>(piece.size()))));
    }
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * bytes);
}
BENCHMARK(BM_PlainWrite_SameBytes)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The command line's whole run, `collate stakes --json` at capacity, its output into a file
// (arg 1) or the null device (arg 0).
void BM_CommandLine_CollateStakesJson_99999(benchmark::State& s) {
  QTemporaryDir dir;
  const auto& stakes = FullInput().stakes;
  QFile file(dir.filePath(QStringLiteral("st.txt")));
  if (!file.open(QIODevice::WriteOnly)) std::abort();
  for (int r = 1; r <= stakes.count; ++r) {
    QByteArray line = QByteArray::number(r) + " - ";
    for (int c = 1; c <= 6; ++c)
      line += QByteArray::number(stakes.at(r, c)) + (c < 6 ? "," : ";\r\n");
    file.write(line);
  }
  file.close();
  const QString out =
      s.range(0) ? dir.filePath(QStringLiteral("out.json")) : QStringLiteral("/dev/null");
  int64_t bytes = 0;
  for (auto _ : s) {
    QProcess process;
    process.setStandardOutputFile(out);
    process.start(QStringLiteral(TALLYRA_CLI),
                  {QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
                   file.fileName(), QStringLiteral("--json")});
    process.waitForFinished(-1);
    if (process.exitCode() != 0) s.SkipWithError("the command failed");
    if (s.range(0)) bytes = QFileInfo(out).size();
  }
  if (s.range(0)) {
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * bytes);
    s.counters["bytes"] = static_cast<double>(bytes);
  }
}
BENCHMARK(BM_CommandLine_CollateStakesJson_99999)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
