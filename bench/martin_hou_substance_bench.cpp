// The derived and transport slots of the Martin-Hou substance objects for
// R134a in the core's English units: each is several state solves plus
// its own arithmetic, so the figure is calls per second of one property
// function in an equation.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/calc_state.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_substance.h"

namespace {

using namespace voq;

void RunSlot(benchmark::State& state, Extended (TSubstanceBase::*slot)(TPropertyArgumentRecord&)) {
  ResetMartinHouSolverServices();
  std::unique_ptr<TMartinHouSubstance> r134a(CreateMartinHouR134a());
  r134a->ArgCount = 2;
  r134a->ArgKind[1] = 1;
  r134a->ArgKind[2] = 2;
  TPropertyArgumentRecord a;
  Extended T = 540;
  for (auto _ : state) {
    ClearCalcError();
    // A new temperature every call defeats the solver's reuse of the last answer.
    T = T > 600 ? 540 : T + 0.37L;
    a.Value[1] = T;
    a.Value[2] = 20;
    benchmark::DoNotOptimize(((*r134a).*slot)(a));
  }
}

void BM_MartinHouSpecHeat(benchmark::State& state) { RunSlot(state, &TSubstanceBase::SpecHeat); }
void BM_MartinHouSoundSpeed(benchmark::State& state) { RunSlot(state, &TSubstanceBase::SoundSpeed); }
void BM_MartinHouViscosity(benchmark::State& state) { RunSlot(state, &TSubstanceBase::Viscosity); }

BENCHMARK(BM_MartinHouSpecHeat);
BENCHMARK(BM_MartinHouSoundSpeed);
BENCHMARK(BM_MartinHouViscosity);

}  // namespace
