// The integral stepping of a transient problem: a lumped body cooling,
//   dTdt = -(T - 20)/200;  T = 100 + INTEGRAL(dTdt, time, 0, 600, step)
// solved after one compile, with a fixed step of 600/N (one block solve per
// position) and with the controlled step (full steps compared with two
// halves).
#include <benchmark/benchmark.h>

#include <string>

#include "bench_store.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/solve_after_compile.h"

namespace {

using namespace voq;

void SolveCooling(benchmark::State& state, const std::string& stepArgument) {
  bench::ResetStore();
  InMemoryEquationsEditor editor;
  SetEquationsEditor(&editor);
  editor.SetText("dTdt = -(T - 20)/200\nT = 100 + INTEGRAL(dTdt, time, 0, 600" + stepArgument + ")\n");
  CheckOnlyMode = true;
  EquationsCompiled = false;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  if (CalcErrorCode != 0) state.SkipWithError("compile failed");
  for (auto _ : state) {
    CalcErrorCode = 0;
    SolveCompiledEquations();
    if (CalcErrorCode > 0) {
      state.SkipWithError("solve failed");
      break;
    }
  }
  SetEquationsEditor(nullptr);
  bench::ResetStore();
}

void BM_IntegralFixedStep(benchmark::State& state) {
  SolveCooling(state, ", " + std::to_string(600.0 / double(state.range(0))));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IntegralFixedStep)->Arg(100)->Arg(1000);

void BM_IntegralControlledStep(benchmark::State& state) { SolveCooling(state, ""); }
BENCHMARK(BM_IntegralControlledStep);

}  // namespace
