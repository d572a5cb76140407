// Cost of water by IAPWS-95 ("Steam_IAPWS"), as calls per second: a (T, P)
// state (the density search at fixed T, never a cache hit) and a (P, h)
// state (a temperature search over (T, P) states, the cache cleared before
// every call), each in the liquid and in the vapour; and the residual sums
// with all six quantities selected.
#include <benchmark/benchmark.h>

#include "helmholtz_bench_support.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/water_iapws95.h"

namespace {

using namespace voq;

std::unique_ptr<TGeneralEosSubstance> MakeWater() { return bench::MakeHelmholtzFluid("Steam_IAPWS"); }

void Rate(benchmark::State& state) { bench::RatePerSecond(state); }

void BM_WaterStateTP(benchmark::State& state, Extended T, Extended P) {
  auto water = MakeWater();
  TPropertyArgumentRecord a;
  for (auto _ : state) {
    a.Value[1] = T;
    a.Value[2] = P;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(water->Enthalpy(a));
  }
  Rate(state);
}
BENCHMARK_CAPTURE(BM_WaterStateTP, liquid_300K_1MPa, 300.0L, 1000.0L);
BENCHMARK_CAPTURE(BM_WaterStateTP, steam_773K_8MPa, 773.15L, 8000.0L);

// The enthalpy comes from a (T, P) solve when the case is set up.
void BM_WaterStatePh(benchmark::State& state, Extended T, Extended P) {
  auto water = MakeWater();
  TPropertyArgumentRecord a;
  a.Value[1] = T;
  a.Value[2] = P;
  UnitConversionEnabled = true;
  const Extended h = water->Enthalpy(a);
  water->ArgKind[1] = 2;
  water->ArgKind[2] = 3;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = P;
    a.Value[2] = h;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(water->Temperature(a));
  }
  Rate(state);
}
BENCHMARK_CAPTURE(BM_WaterStatePh, liquid_300K_1MPa, 300.0L, 1000.0L);
BENCHMARK_CAPTURE(BM_WaterStatePh, steam_773K_8MPa, 773.15L, 8000.0L);

void BM_WaterResidualParts(benchmark::State& state) {
  const uint32_t all = kWaterPhi | kWaterPhiD | kWaterPhiDD | kWaterPhiT | kWaterPhiTT | kWaterPhiDT;
  Extended delta = 0.5L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WaterResidualParts(delta, 1.3L, all));
    delta = delta < 3 ? delta + 0.01L : 0.5L;
  }
  Rate(state);
}
BENCHMARK(BM_WaterResidualParts);

}  // namespace
