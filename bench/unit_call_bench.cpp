// Cost of one evaluation of an equation that calls a SUBPROGRAM,
//   SUBPROGRAM S(a : x, y)  x^2 + y = 4*a;  y = x/2 + a  END
//   and  p = S(b, 1)  (from CALL S(b : p, q)),
// when the input is unchanged since the last solve (the kept output is
// returned) and when it changes at every call (the unit's two equations are
// solved by the block Newton solver inside the evaluation).
#include <benchmark/benchmark.h>

#include "bench_store.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "solver/evaluator.h"
#include "solver/unit_calls.h"

namespace {

using namespace voq;

struct UnitCallSetup {
  InMemoryEquationsEditor editor;
  TEquationRecord* call = nullptr;
  TVariableRecord* b = nullptr;
  TProgramUnitRecord* unit = nullptr;
};

bool BuildUnitCall(UnitCallSetup& s) {
  bench::ResetStore();
  SetEquationsEditor(&s.editor);
  s.editor.SetText(
      "SUBPROGRAM S(a : x, y)\nx^2 + y = 4*a\ny = x/2 + a\nEND\n"
      "b = 2\nCALL S(b : p, q)\n");
  CheckOnlyMode = true;
  EquationsCompiled = false;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  // The unit's solves run against the elapsed-time limit of a run.
  RunStartTicks = Platform().TickCount();
  if (CalcErrorCode != 0 || ProgramUnitList.size() < 2) return false;
  s.unit = ProgramUnitList[1];
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    if (e->CalledUnit == 1 && s.call == nullptr) s.call = e;
  }
  CurrentProgramUnit = MainProgramUnit;
  const int32_t i = FindVariable("b");
  s.b = MainProgramUnit->Variable(i);
  return s.call != nullptr && s.b != nullptr;
}

void Finish(benchmark::State& state, UnitCallSetup& s) {
  if (CalcErrorCode != 0) state.SkipWithError("evaluation failed");
  if (s.unit != nullptr) state.counters["unit_solves"] = static_cast<double>(UnitSolveCount(*s.unit));
  SetEquationsEditor(nullptr);
  bench::ResetStore();
}

void BM_SubprogramCallKept(benchmark::State& state) {
  UnitCallSetup s;
  if (!BuildUnitCall(s)) {
    state.SkipWithError("compile failed");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateEquation(s.call, 0));
  }
  Finish(state, s);
}
BENCHMARK(BM_SubprogramCallKept);

void BM_SubprogramCallSolved(benchmark::State& state) {
  UnitCallSetup s;
  if (!BuildUnitCall(s)) {
    state.SkipWithError("compile failed");
    return;
  }
  for (auto _ : state) {
    // A new input at every call: the unit is solved each time.
    s.b->Value = (s.b->Value == 2) ? 3 : 2;
    benchmark::DoNotOptimize(EvaluateEquation(s.call, 0));
  }
  Finish(state, s);
}
BENCHMARK(BM_SubprogramCallSolved);

}  // namespace
