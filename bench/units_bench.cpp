// CONVERT with a unit text known only at evaluation converts on every
// evaluation of its equation: the cost of one conversion between compound
// unit expressions, over the shipped unit table.
#include <benchmark/benchmark.h>

#include <string>

#include "core/calc_state.h"
#include "units/unit_expressions.h"

namespace {

void BM_ConvertUnitFactor(benchmark::State& state) {
  voq::Extended factor = 0;
  std::string text;
  for (auto _ : state) {
    voq::CalcErrorCode = 0;
    voq::ConvertUnitFactor("Btu/hr-ft^2-R", "W/m^2-K", factor, text);
    benchmark::DoNotOptimize(factor);
  }
}
BENCHMARK(BM_ConvertUnitFactor);

void BM_EvalUnitExpressionGroups(benchmark::State& state) {
  voq::TDimensionVector e{};
  for (auto _ : state) {
    voq::CalcErrorCode = 0;
    benchmark::DoNotOptimize(voq::EvalUnitExpression("(ft/s)/(ft3/lbm)", e));
  }
}
BENCHMARK(BM_EvalUnitExpressionGroups);

}  // namespace
