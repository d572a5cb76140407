// The benchmarks start the engine as voq-solve does: console platform
// services and a host without windows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/console_platform.h"
#include "platform/host.h"
#include "session/engine.h"
#include "tables/tables_state.h"

int main(int argc, char** argv) {
  static voq::ConsolePlatform platform;
  static voq::QuietHostWindows windows;
  // The engine halves above the session layer join the engine reset.
  voq::InstallTables();
  std::string missing;
  if (!voq::StartEngine(windows.Record(platform), &missing)) {
    std::fprintf(stderr, "benchmark host lacks the %s\n", missing.c_str());
    return 2;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
