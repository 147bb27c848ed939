// A 100 MB body from a loopback server, fetched by the program's client and by curl from the
// same server in the same run.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ScriptedServer.h"

#include "net/HttpClient.h"

namespace {

constexpr int kRuns = 5;

// One server for both, answering each connection with the same 100 MB body.
ScriptedServer& Server() {
  static ScriptedServer server;
  static const bool ready = [] {
    auto body = std::make_shared<const std::string>(
        "HTTP/1.0 200 OK\r\nContent-Length: 104857600\r\n\r\n" + std::string(100 << 20, 'x'));
    for (int i = 0; i < 2 * kRuns; ++i) {
      server.add([body](int fd) { ScriptedServer::Send(fd, *body); });
    }
    return true;
  }();
  (void)ready;
  return server;
}

void BM_Fetch_100MB_Client(benchmark::State& state) {
  const std::string url = Server().url("/big");
  for (auto _ : state) {
    tallyra::THttpClient client;
    client.TargetPath = "/tmp/tallyra-fetch-bench.bin";
    client.FetchToFile(url);
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{100} << 20));
}
BENCHMARK(BM_Fetch_100MB_Client)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);

void BM_Fetch_100MB_Curl(benchmark::State& state) {
  const std::string command =
      "curl -s -o /tmp/tallyra-fetch-bench-curl.bin " + Server().url("/big");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{100} << 20));
}
BENCHMARK(BM_Fetch_100MB_Curl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);

}  // namespace
