// The JANAF procedure evaluates one polynomial fit per call after its file
// look-up: the fit itself, and the list conversion every external
// procedure call makes of its inputs.
#include <benchmark/benchmark.h>

#include "core/extended.h"
#include "properties/janaf.h"
#include "solver/external_calls.h"

namespace {

void BM_EvaluateJanafRecord(benchmark::State& state) {
  // GRI-Mech 3.0 O2 coefficients (data/janaf_fits.txt).
  voq::TJanafRecord o2;
  const double high[7] = {3.28253784, 1.48308754e-03, -7.57966669e-07, 2.09470555e-10, -2.16717794e-14,
                          -1088.45772, 5.45323129};
  for (int i = 0; i < 7; ++i) o2.High[i] = high[i];
  double cp = 0, h = 0, s = 0;
  double t = 1000;
  for (auto _ : state) {
    voq::EvaluateJanafRecord(o2, t, cp, h, s);
    benchmark::DoNotOptimize(cp);
    benchmark::DoNotOptimize(h);
    benchmark::DoNotOptimize(s);
    t = t < 3000 ? t + 1 : 1000;
  }
}
BENCHMARK(BM_EvaluateJanafRecord);

void BM_ExternalInputValue(benchmark::State& state) {
  voq::Extended x = 1.5L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(voq::ExternalInputValue(x));
    x = x == voq::BlankValue ? 1.5L : voq::BlankValue;
  }
}
BENCHMARK(BM_ExternalInputValue);

}  // namespace
