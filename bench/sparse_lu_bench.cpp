// Cost of one Newton step's linear solve on a tridiagonal block: refilling
// the Jacobian entries (as the derivative pass does) and SolveSparseSystem.
// The factorisation must stay near linear in the block size.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/calc_state.h"
#include "model/occurrence_lists.h"
#include "model/program_units.h"
#include "solver/sparse_lu.h"

namespace {

using namespace voq;

void BM_SparseLuTridiagonal(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TProgramUnitRecord unit;
  unit.RowHeads.assign(n + 1, nullptr);
  unit.ColumnHeads.assign(n + 1, nullptr);
  unit.ColumnMarks.assign(n + 1, 0);
  unit.UnknownCount = static_cast<int16_t>(n);
  unit.RangeFirst = 1;
  unit.RangeLast = static_cast<int16_t>(n);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) AddOccurrence(unit, i, i - 1, i - 1, nullptr);
    AddOccurrence(unit, i, i, i, nullptr);
    if (i < n) AddOccurrence(unit, i, i + 1, i + 1, nullptr);
  }
  std::vector<Extended> v(n + 1);
  for (auto _ : state) {
    for (int r = 1; r <= n; ++r) {
      for (TOccurrenceRecord* e = unit.RowHeads[r]; e; e = e->NextInRow) {
        e->Value = e->Variable == 0 ? 0.0L : (e->Column == r ? -2.0L - 1e-3L * r : 1.0L);
      }
      v[r] = 1.0L / r;
    }
    SolveSparseSystem(unit, v.data());
    if (CalcErrorCode != 0) state.SkipWithError("solve failed");
    benchmark::DoNotOptimize(v.data());
  }
  state.SetComplexityN(n);
  FreeUnitOccurrences(unit);
}
BENCHMARK(BM_SparseLuTridiagonal)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// One 2-by-2 block at the end of a unit of n unknowns: what a factorisation
// costs beyond the block itself (arrays sized by the unit, not the block).
void BM_SparseLuSmallBlockInLargeUnit(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TProgramUnitRecord unit;
  unit.RowHeads.assign(n + 1, nullptr);
  unit.ColumnHeads.assign(n + 1, nullptr);
  unit.ColumnMarks.assign(n + 1, 0);
  unit.UnknownCount = static_cast<int16_t>(n);
  unit.RangeFirst = static_cast<int16_t>(n - 1);
  unit.RangeLast = static_cast<int16_t>(n);
  for (int r = n - 1; r <= n; ++r) {
    for (int c = n - 1; c <= n; ++c) AddOccurrence(unit, r, c, c, nullptr);
  }
  std::vector<Extended> v(n + 1);
  for (auto _ : state) {
    for (int r = n - 1; r <= n; ++r) {
      for (TOccurrenceRecord* e = unit.RowHeads[r]; e; e = e->NextInRow) {
        e->Value = e->Column == r ? 3.0L : 1.0L;
      }
      v[r] = 1;
    }
    SolveSparseSystem(unit, v.data());
    benchmark::DoNotOptimize(v.data());
  }
  FreeUnitOccurrences(unit);
}
BENCHMARK(BM_SparseLuSmallBlockInLargeUnit)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
