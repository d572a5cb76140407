// Cost of one evaluated postfix word on a typical engineering equation: the
// heat balance of a heated plate with forced and natural convection,
//   Q = m*c_p*(T_out-T_in) + h*A*(T_s-T_inf)^1.25/L,
// compiled by the statement compiler (26 words). Reported as ns per word,
// with and without the floating-point status check of the solvers.
#include <benchmark/benchmark.h>

#include "bench_store.h"
#include "solver/evaluator.h"
#include "solver/newton_solver.h"

namespace {

using namespace voq;

TEquationRecord* CompileHeatBalance() {
  bench::ResetStore();
  if (!bench::CompileAll({"Q = m*c_p*(T_out-T_in) + h*A*(T_s-T_inf)^1.25/L"})) return nullptr;
  const char* names[] = {"Q", "m", "c_p", "T_out", "T_in", "h", "A", "T_s", "T_inf", "L"};
  const long double values[] = {5000, 0.1L, 4180, 320, 300, 25, 2, 350, 295, 0.5L};
  for (int k = 0; k < 10; ++k) MainProgramUnit->Variable(FindVariable(names[k]))->Value = values[k];
  return MainProgramUnit->FirstEquation;
}

// Seconds per word, shown with an SI prefix ("1.2n" is 1.2 ns).
void Report(benchmark::State& state, const TEquationRecord* e) {
  const double words = static_cast<double>(e->Code.size());
  state.counters["words"] = words;
  state.counters["s_per_word"] = benchmark::Counter(
      words, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_EvaluateEquation(benchmark::State& state) {
  TEquationRecord* e = CompileHeatBalance();
  if (e == nullptr) {
    state.SkipWithError("compile failed");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateEquation(e, 0));
  }
  if (CalcErrorCode != 0) state.SkipWithError("evaluation failed");
  Report(state, e);
  bench::ResetStore();
}
BENCHMARK(BM_EvaluateEquation);

void BM_EvalResidualChecked(benchmark::State& state) {
  TEquationRecord* e = CompileHeatBalance();
  if (e == nullptr) {
    state.SkipWithError("compile failed");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvalResidualChecked(e));
  }
  if (CalcErrorCode != 0) state.SkipWithError("evaluation failed");
  Report(state, e);
  bench::ResetStore();
}
BENCHMARK(BM_EvalResidualChecked);

}  // namespace
