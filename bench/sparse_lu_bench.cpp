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

namespace {

// A unit whose range 1..n is filled with a pattern; Refill sets the entries'
// values again each round, as the derivative pass does (fill-in to 0).
struct PatternUnit {
  explicit PatternUnit(int n) {
    unit.RowHeads.assign(n + 1, nullptr);
    unit.ColumnHeads.assign(n + 1, nullptr);
    unit.ColumnMarks.assign(n + 1, 0);
    unit.UnknownCount = static_cast<int16_t>(n);
    unit.RangeFirst = 1;
    unit.RangeLast = static_cast<int16_t>(n);
  }
  ~PatternUnit() { FreeUnitOccurrences(unit); }
  TProgramUnitRecord unit;
};

// Ring: a periodic tridiagonal block (each row couples to both neighbours,
// the last to the first), as a closed loop of pipes or nodes gives.
void BM_SparseLuRing(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  PatternUnit p(n);
  for (int i = 1; i <= n; ++i) {
    AddOccurrence(p.unit, i, i == 1 ? n : i - 1, i == 1 ? n : i - 1, nullptr);
    AddOccurrence(p.unit, i, i, i, nullptr);
    AddOccurrence(p.unit, i, i == n ? 1 : i + 1, i == n ? 1 : i + 1, nullptr);
  }
  std::vector<Extended> v(n + 1);
  for (auto _ : state) {
    for (int r = 1; r <= n; ++r) {
      for (TOccurrenceRecord* e = p.unit.RowHeads[r]; e; e = e->NextInRow) {
        e->Value = e->Variable == 0 ? 0.0L : (e->Column == r ? -3.0L - 1e-3L * r : 1.0L);
      }
      v[r] = 1.0L / r;
    }
    SolveSparseSystem(p.unit, v.data());
    if (CalcErrorCode != 0) state.SkipWithError("solve failed");
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_SparseLuRing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The Jacobian of the coupled chain of BM_NewtonCoupledChain at x = 1:
// row 1 is x1*xN = 2, row i+1 couples x(i+1), x(i) and x((i*7919 mod n)+1).
void BM_SparseLuCoupledChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  PatternUnit p(n);
  AddOccurrence(p.unit, 1, 1, 1, nullptr);
  AddOccurrence(p.unit, 1, n, n, nullptr);
  for (int i = 1; i < n; ++i) {
    const int k = static_cast<int>((static_cast<long long>(i) * 7919) % n) + 1;
    AddOccurrence(p.unit, i + 1, i + 1, i + 1, nullptr);
    AddOccurrence(p.unit, i + 1, i, i, nullptr);
    if (k != i && k != i + 1) AddOccurrence(p.unit, i + 1, k, k, nullptr);
  }
  std::vector<Extended> v(n + 1);
  for (auto _ : state) {
    for (int r = 1; r <= n; ++r) {
      for (TOccurrenceRecord* e = p.unit.RowHeads[r]; e; e = e->NextInRow) {
        if (e->Variable == 0) {
          e->Value = 0;
        } else if (r == 1) {
          e->Value = 1;
        } else if (e->Column == r) {
          e->Value = 1;
        } else if (e->Column == r - 1) {
          e->Value = -1.0001L;
        } else {
          e->Value = -1e-4L;
        }
      }
      v[r] = 1.0L / r;
    }
    SolveSparseSystem(p.unit, v.data());
    if (CalcErrorCode != 0) state.SkipWithError("solve failed");
    benchmark::DoNotOptimize(v.data());
  }
  int64_t entries = 0;
  for (int r = 1; r <= n; ++r) {
    for (TOccurrenceRecord* e = p.unit.RowHeads[r]; e; e = e->NextInRow) ++entries;
  }
  state.counters["entries_after_fill"] = static_cast<double>(entries);
}
BENCHMARK(BM_SparseLuCoupledChain)->Arg(1000)->Arg(4000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
