// Cost of the ideal-gas property calls, as calls per second: h from T (a
// closed form), T from h (a secant iteration on h(T)) and T from P and s
// (a secant iteration on s(T)), for air and for CO2, a polyatomic gas with
// a fractional-power cp. The objects are called as the evaluator calls
// them: conversions on, SI with kPa, kJ and K on the mass basis.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_store.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace {

using namespace voq;

std::unique_ptr<TSubstanceBase> MakeGas(const char* name) {
  bench::ResetStore();
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  std::unique_ptr<TSubstanceBase> gas(CreatePropertyObject(FindSubstanceRow(name)));
  gas->SuppressWarnings = 0;
  return gas;
}

void SetKinds(TSubstanceBase& gas, int32_t k1, int32_t k2) {
  gas.ArgCount = k2 == 0 ? 1 : 2;
  gas.ArgKind[1] = k1;
  gas.ArgKind[2] = k2;
}

void Rate(benchmark::State& state) {
  state.counters["calls_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_EnthalpyFromT(benchmark::State& state, const char* name) {
  auto gas = MakeGas(name);
  TPropertyArgumentRecord a;
  SetKinds(*gas, 1, 0);
  Extended T = 600;
  for (auto _ : state) {
    a.Value[1] = T;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(gas->Enthalpy(a));
    T = T < 1400 ? T + 0.5L : 600;
  }
  Rate(state);
}

void BM_TemperatureFromH(benchmark::State& state, const char* name) {
  auto gas = MakeGas(name);
  TPropertyArgumentRecord a;
  SetKinds(*gas, 1, 0);
  a.Value[1] = 1000;
  UnitConversionEnabled = true;
  const Extended h = gas->Enthalpy(a);
  SetKinds(*gas, 3, 0);
  for (auto _ : state) {
    a.Value[1] = h;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(gas->Temperature(a));
  }
  Rate(state);
}

void BM_TemperatureFromPS(benchmark::State& state, const char* name) {
  auto gas = MakeGas(name);
  TPropertyArgumentRecord a;
  SetKinds(*gas, 1, 2);
  a.Value[1] = 1000;
  a.Value[2] = 500;
  UnitConversionEnabled = true;
  const Extended s = gas->Entropy(a);
  SetKinds(*gas, 2, 5);
  for (auto _ : state) {
    a.Value[1] = 500;
    a.Value[2] = s;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(gas->Temperature(a));
  }
  Rate(state);
}

BENCHMARK_CAPTURE(BM_EnthalpyFromT, Air, "Air");
BENCHMARK_CAPTURE(BM_EnthalpyFromT, CO2, "CO2");
BENCHMARK_CAPTURE(BM_TemperatureFromH, Air, "Air");
BENCHMARK_CAPTURE(BM_TemperatureFromH, CO2, "CO2");
BENCHMARK_CAPTURE(BM_TemperatureFromPS, Air, "Air");
BENCHMARK_CAPTURE(BM_TemperatureFromPS, CO2, "CO2");

}  // namespace
