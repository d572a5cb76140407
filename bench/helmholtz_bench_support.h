#pragma once
// A high-accuracy fluid set up for the state benchmarks: the engine reset,
// SI units with kelvin, kPa and kJ, and the object asked as a two-argument
// call of (T, P). Results are given as calls per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_store.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/substance_factory.h"

namespace voq::bench {

inline std::unique_ptr<TGeneralEosSubstance> MakeHelmholtzFluid(const std::string& name) {
  ResetStore();
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  auto* object = dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow(name)));
  object->SuppressWarnings = 0;
  object->ArgCount = 2;
  object->ArgKind[1] = 1;
  object->ArgKind[2] = 2;
  return std::unique_ptr<TGeneralEosSubstance>(object);
}

inline void RatePerSecond(benchmark::State& state) {
  state.counters["calls_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace voq::bench
