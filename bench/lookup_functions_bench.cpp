// LOOKUP and INTERPOLATE as the solver meets them: one compiled equation
// evaluated over a Lookup Table tab of 1000 rows (a fractional row for
// LOOKUP, a bracketing search and a cubic window for INTERPOLATE).
#include <benchmark/benchmark.h>

#include "bench_store.h"
#include "solver/evaluator.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace {

using namespace voq;

constexpr int32_t kRows = 1000;

TEquationRecord* CompileOverTable(const char* equation) {
  bench::ResetStore();
  TableRowCounts[kLookupTableKind] = kRows;
  TableColumnCounts[kLookupTableKind] = 2;
  TTableForm* form = CreateTableForm(kLookupTableKind);
  if (form == nullptr) return nullptr;
  form->TableName = "Lookup 1";
  form->MultipleTableRefresh();
  form->Columns->Name = "x";
  form->Columns->Next->Name = "y";
  for (int32_t r = 1; r <= kRows; ++r) {
    form->Columns->SetCell(r, 0.01L * r);
    form->Columns->Next->SetCell(r, 0.0001L * r * r);
  }
  if (!bench::CompileAll({equation})) return nullptr;
  MainProgramUnit->Variable(FindVariable("z"))->Value = 3.3L;
  return MainProgramUnit->FirstEquation;
}

void Run(benchmark::State& state, const char* equation) {
  TEquationRecord* e = CompileOverTable(equation);
  if (e == nullptr) {
    state.SkipWithError("compile failed");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(EvaluateEquation(e, 0));
  if (CalcErrorCode != 0) state.SkipWithError("evaluation failed");
  bench::ResetStore();
}

void BM_LookupFractionalRow(benchmark::State& state) { Run(state, "w = LOOKUP('Lookup 1', 10*z + 0.5, 'y')"); }
BENCHMARK(BM_LookupFractionalRow);

void BM_InterpolateCubicOverTab(benchmark::State& state) {
  Run(state, "w = INTERPOLATE('Lookup 1', 'y', 'x', x=z)");
}
BENCHMARK(BM_InterpolateCubicOverTab);

}  // namespace
