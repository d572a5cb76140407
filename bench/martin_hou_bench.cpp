// The two iterations of the Martin-Hou core that the state solvers call in
// their inner loops: the vapour volume from P and T (Newton on the equation
// of state) and the saturation temperature from P (scan and regula falsi),
// each over a sweep of states of R134a (no sixth term) and R22 (sixth term
// in the pressure).
#include <benchmark/benchmark.h>

#include "core/calc_state.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"

namespace {

using namespace voq;

void UseFluid(int32_t number) { SetMartinHouCurrentFluid(number, *LoadMartinHouCoefficients(number)); }

// Superheated vapour from 1.1 to 1.5 times the saturation temperature's
// pressure at 0.6 to 0.95 Tc.
void BM_MartinHouVaporVolume(benchmark::State& state) {
  const int32_t fluid = static_cast<int32_t>(state.range(0));
  UseFluid(fluid);
  const Extended tc = MartinHouCurrentFluid[kMhTc];
  for (auto _ : state) {
    Extended sum = 0;
    for (int i = 0; i < 8; ++i) {
      const Extended tSat = (0.6L + 0.05L * i) * tc;
      const Extended p = MartinHouSatPressure(tSat);
      for (int j = 0; j < 5; ++j) sum += MartinHouVaporVolume(p, tSat * (1.1L + 0.1L * j));
    }
    CalcErrorCode = 0;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_MartinHouVaporVolume)->Arg(9)->Arg(5);

void BM_MartinHouSatTemperature(benchmark::State& state) {
  const int32_t fluid = static_cast<int32_t>(state.range(0));
  UseFluid(fluid);
  const Extended tc = MartinHouCurrentFluid[kMhTc];
  Extended pressures[8];
  for (int i = 0; i < 8; ++i) pressures[i] = MartinHouSatPressure((0.55L + 0.055L * i) * tc);
  for (auto _ : state) {
    Extended sum = 0;
    for (Extended p : pressures) sum += MartinHouSatTemperature(p);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_MartinHouSatTemperature)->Arg(9)->Arg(5);

}  // namespace
