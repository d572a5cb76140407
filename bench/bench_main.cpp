// The benchmarks start the engine as voq-solve does: console platform
// services and a host without windows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "assembly/engine_assembly.h"
#include "platform/console_platform.h"
#include "platform/host.h"

int main(int argc, char** argv) {
  static voq::ConsolePlatform platform;
  static voq::QuietHostWindows windows;
  // The same engine as every front end.
  std::string missing;
  if (!voq::AssembleEngine(windows.Record(platform), &missing)) {
    std::fprintf(stderr, "benchmark host lacks the %s\n", missing.c_str());
    return 2;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
