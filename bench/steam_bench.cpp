// Cost of the water-substance calls, as calls per second: h from (T, P)
// (the saturation-pressure iteration that decides the phase, then the
// density), for a liquid, a vapour and a supercritical state; and T from
// (P, h) (a secant in T on h(T, P), or the saturated states and the lever
// rule inside the dome). Each call moves the state a little, so that the
// state block answers none of them, as in a solver's iterations.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_store.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"
#include "properties/substance_factory.h"

namespace {

using namespace voq;

std::unique_ptr<TSubstanceBase> MakeSteam() {
  bench::ResetStore();
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  std::unique_ptr<TSubstanceBase> steam(CreatePropertyObject(FindSubstanceRow("STEAM")));
  steam->SuppressWarnings = 0;
  steam->ArgCount = 2;
  return steam;
}

void Rate(benchmark::State& state) {
  state.counters["calls_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SteamEnthalpyFromTP(benchmark::State& state, double T, double P) {
  auto steam = MakeSteam();
  steam->ArgKind[1] = 1;
  steam->ArgKind[2] = 2;
  TPropertyArgumentRecord a;
  Extended dT = 0;
  for (auto _ : state) {
    a.Value[1] = T + dT;
    a.Value[2] = P;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(steam->Enthalpy(a));
    dT = dT < 1 ? dT + 0.001L : 0;
  }
  Rate(state);
}

void BM_SteamTemperatureFromPH(benchmark::State& state, double P, double h) {
  auto steam = MakeSteam();
  steam->ArgKind[1] = 2;
  steam->ArgKind[2] = 3;
  TPropertyArgumentRecord a;
  Extended dh = 0;
  for (auto _ : state) {
    a.Value[1] = P;
    a.Value[2] = h + dh;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(steam->Temperature(a));
    dh = dh < 1 ? dh + 0.001L : 0;
  }
  Rate(state);
}

BENCHMARK_CAPTURE(BM_SteamEnthalpyFromTP, Liquid300K, 300.0, 101.325);
BENCHMARK_CAPTURE(BM_SteamEnthalpyFromTP, Vapour500K, 500.0, 1000.0);
BENCHMARK_CAPTURE(BM_SteamEnthalpyFromTP, Supercritical800K, 800.0, 30000.0);
BENCHMARK_CAPTURE(BM_SteamTemperatureFromPH, Vapour, 1000.0, 3000.0);
BENCHMARK_CAPTURE(BM_SteamTemperatureFromPH, TwoPhase, 101.325, 2000.0);

}  // namespace
