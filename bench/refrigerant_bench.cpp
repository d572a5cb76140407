// Cost of the high-accuracy R134a model, as calls per second: h at (T, P)
// in the superheated vapour and the compressed liquid, and T at (P, h) in
// the vapour, inside the dome and in the liquid, the state cache cleared
// before every call so that each one runs its solver.
#include <benchmark/benchmark.h>

#include "helmholtz_bench_support.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace {

using namespace voq;

constexpr int32_t kP = 2, kH = 3;

void BM_R134aEnthalpyTP(benchmark::State& state, Extended T, Extended P) {
  auto r134a = bench::MakeHelmholtzFluid("R134a");
  TPropertyArgumentRecord a;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = T;
    a.Value[2] = P;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(r134a->Enthalpy(a));
  }
  bench::RatePerSecond(state);
}
BENCHMARK_CAPTURE(BM_R134aEnthalpyTP, vapour_320K_500kPa, 320.0L, 500.0L);
BENCHMARK_CAPTURE(BM_R134aEnthalpyTP, liquid_280K_1MPa, 280.0L, 1000.0L);

// The h of each case comes from a (T, P) or (T, x) solve when it is set up.
void BM_R134aTemperaturePH(benchmark::State& state, Extended T, int32_t kind2, Extended value2) {
  auto r134a = bench::MakeHelmholtzFluid("R134a");
  TPropertyArgumentRecord a;
  r134a->ArgKind[2] = kind2;
  a.Value[1] = T;
  a.Value[2] = value2;
  UnitConversionEnabled = true;
  ClearEosStateCache();
  const Extended h = r134a->Enthalpy(a);
  const Extended P = r134a->Pressure(a);
  r134a->ArgKind[1] = kP;
  r134a->ArgKind[2] = kH;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = P;
    a.Value[2] = h;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(r134a->Temperature(a));
  }
  bench::RatePerSecond(state);
}
BENCHMARK_CAPTURE(BM_R134aTemperaturePH, vapour_320K_500kPa, 320.0L, kP, 500.0L);
BENCHMARK_CAPTURE(BM_R134aTemperaturePH, two_phase_270K_x05, 270.0L, 7, 0.5L);
BENCHMARK_CAPTURE(BM_R134aTemperaturePH, liquid_280K_1MPa, 280.0L, kP, 1000.0L);

}  // namespace
