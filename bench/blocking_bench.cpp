// Blocking of a generated chain of N equations, x1 = 1 and xi = x(i-1) + 1:
// building the occurrence lists from the compiled code, the matching, the
// component search, the numbering, the permutation and the split. Must stay
// near linear in N.
#include <benchmark/benchmark.h>

#include <string>

#include "core/calc_state.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "solver/blocking.h"

namespace {

using namespace voq;

void AppendEquation(TProgramUnitRecord& unit, std::initializer_list<int32_t> code) {
  auto* e = new TEquationRecord();
  e->Code.assign(code);
  if (unit.LastEquation) {
    unit.LastEquation->Next = e;
  } else {
    unit.FirstEquation = e;
  }
  unit.LastEquation = e;
  unit.EquationCount += 1;
}

void BM_BlockingChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TProgramUnitRecord& unit = *EnsureMainProgramUnit();
  for (int i = 1; i <= n; ++i) {
    std::string name = "x" + std::to_string(i);
    AddVariable(name);
    RegisterVariableUse(unit.VariableCount, name);
  }
  // Postfix words: variable, variable, constant, "+", "=".
  AppendEquation(unit, {-2, 1, -1, 7});
  for (int i = 2; i <= n; ++i) AppendEquation(unit, {-2, i, -2, i - 1, -1, 5, 7});

  for (auto _ : state) {
    BlockAllUnits();
    if (CalcErrorCode != 0 || unit.BlockCount != n) state.SkipWithError("blocking failed");
  }
  state.SetComplexityN(n);

  FreeOccurrenceLists();
  DisposeEquationChain(unit.FirstEquation);
  unit.LastEquation = nullptr;
  unit.EquationCount = 0;
  ClearVariableStore(&unit);
}
BENCHMARK(BM_BlockingChain)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
