// One optimisation of two independent variables whose objective needs a
// coupled nonlinear block of two equations solved at every trial point:
//   a + b = x,  a - b^3/10 = y,  z = (a-1)^2 + (b+2)^2 + a*b/10,
// minimised over x, y in [-5, 5] from x = y = 1, by the direction-set
// method (Method 1) and the variable-metric method (Method 2). A run is the
// whole RunMinMax: the one-unknown pass, the blocking and every solve; the
// counter reports the solves one run takes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_store.h"
#include "core/program_flags.h"
#include "model/solve_session.h"
#include "session/min_max.h"

namespace {

using namespace voq;

TVariableRecord* Named(const std::string& name) {
  CurrentProgramUnit = MainProgramUnit;
  const int32_t i = FindVariable(name);
  return MainProgramUnit->Variable(i);
}

void BM_MinMaxCoupledBlock(benchmark::State& state) {
  bench::ResetStore();
  if (!bench::CompileAll({"a + b = x", "a - b^3/10 = y", "z = (a-1)^2 + (b+2)^2 + a*b/10"})) {
    state.SkipWithError("compile failed");
    return;
  }
  HiddenMode = true;
  MinMaxMode = true;
  MinMaxSetup = TMinMaxSettingsRecord{};
  MinMaxSetup.Method = static_cast<int16_t>(state.range(0));
  MinMaxSetup.ObjectiveVariable = static_cast<int16_t>(FindVariable("z"));
  MinMaxSetup.IndependentCount = 2;
  MinMaxSetup.IndependentVariables[1] = static_cast<int16_t>(FindVariable("x"));
  MinMaxSetup.IndependentVariables[2] = static_cast<int16_t>(FindVariable("y"));
  for (const char* name : {"x", "y"}) {
    Named(name)->LowerLimit = -5;
    Named(name)->UpperLimit = 5;
  }
  int32_t calls = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* name : {"x", "y"}) {
      Named(name)->Guess = 1;
      Named(name)->Value = 1;
    }
    CalcErrorCode = 0;
    AbortRequested = false;
    state.ResumeTiming();
    RunMinMax();
    if (CalcErrorCode != 0) {
      state.SkipWithError("optimisation failed");
      break;
    }
    calls = MinMaxCallCount;
  }
  state.counters["solves"] = calls;
  HiddenMode = false;
  MinMaxMode = false;
  bench::ResetStore();
}
BENCHMARK(BM_MinMaxCoupledBlock)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
