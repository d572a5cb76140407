// Cost of moist-air property calls, as calls per second: the closed forms
// (HumRat and Enthalpy from T, R and P), the iterations (Temperature from h
// by the enthalpy solve, WetBulb by the wet-bulb solve, DewPoint by the
// saturation-temperature secant), and the mixture transport property that
// builds and releases two gas objects per call. The object is called as the
// evaluator calls it: conversions on, SI with kPa, kJ and C on the mass
// basis, three arguments.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_store.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace {

using namespace voq;

constexpr int32_t kT = 1, kP = 2, kH = 3, kB = 11, kR = 14;
using Op = Extended (TSubstanceBase::*)(TPropertyArgumentRecord&);

std::unique_ptr<TSubstanceBase> MakeMoistAir() {
  bench::ResetStore();
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 0;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  return std::unique_ptr<TSubstanceBase>(CreatePropertyObject(FindSubstanceRow("AIRH2O")));
}

Extended Call(TSubstanceBase& air, Op op, int32_t k1, Extended v1, int32_t k2, Extended v2, int32_t k3,
              Extended v3) {
  air.ArgCount = 3;
  air.ArgKind = {0, k1, k2, k3};
  TPropertyArgumentRecord a;
  a.Value = {0, v1, v2, v3};
  UnitConversionEnabled = true;
  return (air.*op)(a);
}

void Rate(benchmark::State& state) {
  state.counters["calls_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

// Dry bulb swept over 10..40 C at 50 % relative humidity.
void BM_MoistAirFromTR(benchmark::State& state, Op op) {
  auto air = MakeMoistAir();
  Extended T = 10;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Call(*air, op, kT, T, kR, 0.5L, kP, 101.325L));
    T = T < 40 ? T + 0.25L : 10;
  }
  Rate(state);
}

void BM_MoistAirTemperatureFromH(benchmark::State& state) {
  auto air = MakeMoistAir();
  const Extended h = Call(*air, &TSubstanceBase::Enthalpy, kT, 25, kR, 0.5L, kP, 101.325L);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Call(*air, &TSubstanceBase::Temperature, kH, h, kR, 0.5L, kP, 101.325L));
  }
  Rate(state);
}

void BM_MoistAirHumRatFromWetBulb(benchmark::State& state) {
  auto air = MakeMoistAir();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Call(*air, &TSubstanceBase::HumRat, kT, 40, kB, 20, kP, 101.325L));
  }
  Rate(state);
}

BENCHMARK_CAPTURE(BM_MoistAirFromTR, HumRat, &TSubstanceBase::HumRat);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, Enthalpy, &TSubstanceBase::Enthalpy);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, Volume, &TSubstanceBase::Volume);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, WetBulb, &TSubstanceBase::WetBulb);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, DewPoint, &TSubstanceBase::DewPoint);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, SpecHeat, &TSubstanceBase::SpecHeat);
BENCHMARK_CAPTURE(BM_MoistAirFromTR, Viscosity, &TSubstanceBase::Viscosity);
BENCHMARK(BM_MoistAirTemperatureFromH);
BENCHMARK(BM_MoistAirHumRatFromWetBulb);

}  // namespace
