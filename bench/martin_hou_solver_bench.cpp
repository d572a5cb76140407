// Whole state solves of the Martin-Hou solver for R134a, the requests a
// cycle model makes most: (P, h) and (h, s), over a sweep of two-phase and
// superheated states. Each request is solved afresh (the reuse of the last
// answer is defeated), so the figure is solves per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/calc_state.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_solver.h"

namespace {

using namespace voq;

struct TRequest {
  Extended first;
  Extended second;
};

// States of R134a: x = 0.2 and 0.8 at 0.7 to 0.9 Tc, and superheated by 15 %
// at half their saturation pressure; as (kind1, kind2) values.
std::vector<TRequest> Requests(int32_t kind1, int32_t kind2) {
  // The requests are in the core's English units.
  ResetMartinHouSolverServices();
  SetMartinHouCurrentFluid(9, *LoadMartinHouCoefficients(9));
  const Extended tc = MartinHouCurrentFluid[kMhTc];
  std::vector<TRequest> requests;
  auto add = [&] {
    requests.push_back({PropertyStateVector[static_cast<size_t>(kind1)], PropertyStateVector[static_cast<size_t>(kind2)]});
  };
  for (int i = 0; i < 5; ++i) {
    const Extended t = (0.7L + 0.05L * i) * tc;
    for (Extended x : {0.2L, 0.8L}) {
      MartinHouLastFluid = -99;
      SolveMartinHouState(0, false, false, 0, 0, 2, 8, 1, 7, t, x);
      add();
    }
    MartinHouLastFluid = -99;
    SolveMartinHouState(0, false, false, 0, 0, 2, 8, 1, 2, 1.15L * t, 0.5L * MartinHouSatPressure(t));
    add();
  }
  return requests;
}

void SolveAll(benchmark::State& state, int32_t kind1, int32_t kind2) {
  const std::vector<TRequest> requests = Requests(kind1, kind2);
  for (auto _ : state) {
    for (const TRequest& r : requests) {
      MartinHouLastFluid = -99;
      ClearCalcError();
      SolveMartinHouState(0, false, false, 0, 0, 2, 1, kind1, kind2, r.first, r.second);
      benchmark::DoNotOptimize(PropertyStateVector[1]);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(requests.size()));
}

void BM_MartinHouSolvePH(benchmark::State& state) { SolveAll(state, 2, 3); }
BENCHMARK(BM_MartinHouSolvePH);

void BM_MartinHouSolveHS(benchmark::State& state) { SolveAll(state, 3, 5); }
BENCHMARK(BM_MartinHouSolveHS);

}  // namespace
