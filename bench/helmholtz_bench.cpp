// Cost of the high-accuracy nitrogen model, as calls per second: the
// density at (T, P) (a secant search on delta, the (T, P) pair always
// solved afresh) in the gas and in the compressed liquid, and the vapour
// pressure and the refined saturated densities of the ancillaries; and the
// state solves (T, P), (P, h) and (h, s), the cache defeated each time;
// and the derived and transport slots.
#include <benchmark/benchmark.h>

#include "helmholtz_bench_support.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace {

using namespace voq;

std::unique_ptr<TGeneralEosSubstance> MakeNitrogen() { return bench::MakeHelmholtzFluid("Nitrogen"); }

void Rate(benchmark::State& state) { bench::RatePerSecond(state); }

void BM_NitrogenDensityTP(benchmark::State& state, Extended T, Extended P) {
  auto n2 = MakeNitrogen();
  TPropertyArgumentRecord a;
  for (auto _ : state) {
    a.Value[1] = T;
    a.Value[2] = P;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(n2->Volume(a));
  }
  Rate(state);
}
BENCHMARK_CAPTURE(BM_NitrogenDensityTP, gas_300K_100kPa, 300.0L, 100.0L);
BENCHMARK_CAPTURE(BM_NitrogenDensityTP, liquid_80K_1MPa, 80.0L, 1000.0L);
BENCHMARK_CAPTURE(BM_NitrogenDensityTP, dense_300K_100MPa, 300.0L, 100000.0L);

void BM_NitrogenSatPressure(benchmark::State& state) {
  auto n2 = MakeNitrogen();
  Extended T = 70;
  for (auto _ : state) {
    benchmark::DoNotOptimize(n2->SatPressure(T, 0));
    T = T < 120 ? T + 0.25L : 70;
  }
  Rate(state);
}
BENCHMARK(BM_NitrogenSatPressure);

void BM_NitrogenSatDensities(benchmark::State& state) {
  auto n2 = MakeNitrogen();
  Extended T = 70;
  for (auto _ : state) {
    benchmark::DoNotOptimize(n2->SatLiquidDensity(T));
    benchmark::DoNotOptimize(n2->SatVaporDensity(T));
    T = T < 120 ? T + 0.25L : 70;
  }
  Rate(state);
}
BENCHMARK(BM_NitrogenSatDensities);

// Solves per second of one pair: the state cache is cleared before every
// call so that each one runs its solver.
void BM_NitrogenPairSolve(benchmark::State& state, int32_t k1, Extended v1, int32_t k2, Extended v2) {
  auto n2 = MakeNitrogen();
  n2->ArgKind[1] = k1;
  n2->ArgKind[2] = k2;
  TPropertyArgumentRecord a;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = v1;
    a.Value[2] = v2;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(n2->Volume(a));
  }
  Rate(state);
}
// Gas at 300 K and 1 MPa; its h and s come from a (T, P) solve when the
// case is set up.
void BM_NitrogenPairSolveFromTP(benchmark::State& state, int32_t k1, int32_t k2) {
  auto n2 = MakeNitrogen();
  TPropertyArgumentRecord a;
  a.Value[1] = 300;
  a.Value[2] = 1000;
  UnitConversionEnabled = true;
  const Extended h = n2->Enthalpy(a);
  const Extended s = n2->Entropy(a);
  auto value = [&](int32_t k) -> Extended { return k == 1 ? 300 : k == 2 ? 1000 : k == 3 ? h : s; };
  n2.reset();
  BM_NitrogenPairSolve(state, k1, value(k1), k2, value(k2));
}
BENCHMARK_CAPTURE(BM_NitrogenPairSolveFromTP, T_P, 1, 2);
BENCHMARK_CAPTURE(BM_NitrogenPairSolveFromTP, P_h, 2, 3);
BENCHMARK_CAPTURE(BM_NitrogenPairSolveFromTP, h_s, 3, 5);

// The derived and transport slots at 300 K and 100 kPa, each call from a
// cleared cache: cp, the speed of sound (cp, cv and two volume solves) and
// the viscosity.
void BM_NitrogenDerived(benchmark::State& state, int32_t slot) {
  auto n2 = MakeNitrogen();
  TPropertyArgumentRecord a;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = 300;
    a.Value[2] = 100;
    UnitConversionEnabled = true;
    const Extended r = slot == 13 ? n2->SpecHeat(a) : slot == 22 ? n2->SoundSpeed(a) : n2->Viscosity(a);
    benchmark::DoNotOptimize(r);
  }
  Rate(state);
}
BENCHMARK_CAPTURE(BM_NitrogenDerived, SpecHeat, 13);
BENCHMARK_CAPTURE(BM_NitrogenDerived, SoundSpeed, 22);
BENCHMARK_CAPTURE(BM_NitrogenDerived, Viscosity, 15);

}  // namespace
