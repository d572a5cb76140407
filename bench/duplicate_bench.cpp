// Reading a DUPLICATE loop must cost about what reading its copies written
// out does: each copy is substituted, compiled and solved once. A loop of
// 8,000 copies should take about eight times one of 1,000.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_store.h"
#include "core/calc_state.h"
#include "model/store_state.h"
#include "session/compile_driver.h"

namespace {

// One loop of n copies, each solved as it is read: x[i] = 2*i + y with y set
// before the loop, and a second statement per copy that uses the first.
std::string MakeLoopText(int n) {
  return "y = 0.5\r\n"
         "DUPLICATE i=1," +
         std::to_string(n / 2) +
         "\r\n"
         "  x[i] = 2*i + y {the index as a number}\r\n"
         "  z[i] = x[i]^2 - i\r\n"
         "END\r\n";
}

void BM_ReadDuplicateLoop(benchmark::State& state) {
  voq::InMemoryEquationsEditor editor;
  const std::string text = MakeLoopText(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    voq::bench::ResetStore();
    editor.SetText(text);
    voq::SetEquationsEditor(&editor);
    voq::CheckOnlyMode = true;
    state.ResumeTiming();
    voq::CompileEquations(false, false);
  }
  int64_t copies = 0;
  for (const voq::TEquationRecord* e = voq::MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    copies += e->DuplicateRepeat;
  }
  if (voq::CalcErrorCode != 0 || copies != state.range(0))
    state.SkipWithError("the loop did not read into its copies");
  state.SetComplexityN(state.range(0));
  state.counters["copies"] = double(copies);
  voq::bench::ResetStore();
}
BENCHMARK(BM_ReadDuplicateLoop)->Arg(1000)->Arg(8000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
