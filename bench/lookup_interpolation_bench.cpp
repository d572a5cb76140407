// Interpolation in a lookup column: the bracketing search over a long table
// and the cubic window, as an INTERPOLATE call inside an iterated equation
// does once per evaluation.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/calc_state.h"
#include "solver/lookup_interpolation.h"

namespace voq {
namespace {

void BM_InterpolateCubic(benchmark::State& state) {
  const int32_t rows = static_cast<int32_t>(state.range(0));
  std::vector<Extended> x(static_cast<size_t>(rows));
  std::vector<Extended> y(static_cast<size_t>(rows));
  for (int32_t i = 0; i < rows; ++i) {
    x[size_t(i)] = i;
    y[size_t(i)] = Extended(i) * i;
  }
  TInterpolationTable table;
  table.RowCount = rows;
  table.Cell = [&](int32_t column, int32_t row) { return column == 1 ? x[size_t(row - 1)] : y[size_t(row - 1)]; };
  Extended at = 0.37L;
  for (auto _ : state) {
    const TBracket b = FindBracketRow(table, 1, 2, 3, at);
    benchmark::DoNotOptimize(InterpolateInTable(table, kInterpolateCubic, b, 1, 2, at, false));
    at += 0.61L;
    if (at > rows - 2) at = 0.37L;
  }
  ClearCalcError();
}
BENCHMARK(BM_InterpolateCubic)->Arg(100)->Arg(10000);

}  // namespace
}  // namespace voq
