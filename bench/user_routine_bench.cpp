// Cost of one call of a user FUNCTION from a main-program equation,
//   FUNCTION F(X)  A := X*X;  F := A + 2*X + 1  END   and   y = F(x),
// when the argument is unchanged since the last call (the last result is
// reused, the body does not run) and when it changes at every call (the
// body's two statements are evaluated). The routine is built in the layout
// the routine reader leaves and its statements in the compiled code.
#include <benchmark/benchmark.h>

#include "bench_store.h"
#include "model/compiled_code.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "solver/evaluator.h"

namespace {

using namespace voq;

struct CallSetup {
  TEquationRecord* call = nullptr;
  TVariableRecord* x = nullptr;
  TRoutineRecord* routine = nullptr;
};

void AppendStatement(TRoutineRecord& r, std::vector<int32_t> code, std::vector<Extended> constants = {}) {
  auto* e = new TEquationRecord();
  e->Code = std::move(code);
  e->Constants = std::move(constants);
  TEquationRecord** link = &r.FirstStatement;
  while (*link != nullptr) link = &(*link)->Next;
  *link = e;
}

CallSetup BuildCall() {
  bench::ResetStore();
  CallSetup s;
  auto* r = new TRoutineRecord();
  const int32_t slot = ++FunctionCount;
  FunctionTable[slot] = r;
  r->Name = "F";
  r->UpperName = "F";
  r->Defined = 1;
  r->Parameters = new TArgumentListRecord();
  r->Parameters->Kind = -1;
  r->Parameters->Codes = {0};
  r->Parameters->ArgumentCount = 1;
  r->Parameters->CodesPerArgument[1] = 1;
  r->Parameters->InputCount = 1;
  AppendLocal(*r, slot, 0, "F");
  AppendLocal(*r, slot, 1, "X");
  AppendLocal(*r, slot, 2, "A");
  r->InputCount = 1;
  r->InputGroups = 1;
  BuildLocalTable(slot);
  // A := X*X
  AppendStatement(*r, {CodeLocalVariable, 2, CodeLocalVariable, 1, CodeLocalVariable, 1, OpMultiply, OpEqual});
  // F := A + 2*X + 1
  AppendStatement(*r, {CodeLocalVariable, 0, CodeLocalVariable, 2, CodeConstant, CodeLocalVariable, 1, OpMultiply,
                       CodeConstant, OpAdd, OpAdd, OpEqual},
                  {2, 1});
  AppendStatement(*r, {});  // 99999:

  AddVariable("x");
  s.x = MainProgramUnit->Variable(MainProgramUnit->VariableCount);
  s.x->Value = 3;
  s.call = new TEquationRecord();
  // F(x) alone: x, the routine number, 208.
  s.call->Code = {CodeVariable, MainProgramUnit->VariableCount, CodeConstant, OpSeparator, OpUserFunction};
  s.call->Constants = {static_cast<Extended>(slot)};
  s.call->CallLists = new TArgumentListRecord();
  s.call->CallLists->Kind = slot;
  s.call->CallLists->Name = "F";
  s.call->CallLists->InputCount = 1;
  s.call->CallLists->Codes = {0};
  s.call->CallLists->ArgumentCount = 1;
  s.call->CallLists->CodesPerArgument[1] = 1;
  s.routine = r;
  return s;
}

void Finish(benchmark::State& state, CallSetup& s) {
  if (CalcErrorCode != 0) state.SkipWithError("evaluation failed");
  state.counters["body_runs"] = static_cast<double>(s.routine->CallCounter);
  DisposeEquationRecord(s.call);
  bench::ResetStore();
}

void BM_UserFunctionCallReused(benchmark::State& state) {
  CallSetup s = BuildCall();
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateEquation(s.call, 0));
  }
  Finish(state, s);
}
BENCHMARK(BM_UserFunctionCallReused);

void BM_UserFunctionCallRun(benchmark::State& state) {
  CallSetup s = BuildCall();
  for (auto _ : state) {
    // A new argument at every call: the body runs each time.
    s.x->Value = (s.x->Value == 3) ? 4 : 3;
    benchmark::DoNotOptimize(EvaluateEquation(s.call, 0));
  }
  Finish(state, s);
}
BENCHMARK(BM_UserFunctionCallRun);

}  // namespace
