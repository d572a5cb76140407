// Property calls over whole sweeps of states at 1 MPa, as calls per second.
//
// Object calls: water by IAPWS-95 over 300-700 K and nitrogen over 70-300 K,
// (T, P) -> h at evenly spread temperatures, and (P, h) -> T at enthalpies
// spread evenly between h at the two ends, so that the sweep crosses the
// liquid, the two-phase region and the vapour. The state cache is cleared
// before every call: each one is a solve.
//
// Calls through the language: 10,000 property calls per iteration, read as
// ten times the 1,000 calls of a DUPLICATE loop (a document holds at most
// 10,000 variables), each copy an equation with one unknown solved as it is
// read; one call per equation (h[i] = Enthalpy(...)) and two calls of one
// fluid per equation (dh[i] = Enthalpy(...) - Enthalpy(...)). The same loop
// with the call replaced by plain arithmetic gives the cost of reading and
// solving the copies themselves.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench_store.h"
#include "core/calc_state.h"
#include "helmholtz_bench_support.h"
#include "model/store_state.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "session/compile_driver.h"

namespace {

using namespace voq;

constexpr int32_t kSweepPoints = 101;
constexpr Extended kSweepPressure = 1000;  // kPa

struct TSweepCase {
  const char* fluid;
  Extended tLow, tHigh;
};
constexpr TSweepCase kWater{"Steam_IAPWS", 300, 700};
constexpr TSweepCase kNitrogen{"Nitrogen", 70, 300};
// Xenon's residual part switches its term blocks by region; n-pentane's
// second derivatives come from differences.
constexpr TSweepCase kXenon{"Xenon", 170, 600};
constexpr TSweepCase kPentane{"n-Pentane", 180, 580};
// The rest of the group's usable fluids, each from near its lowest
// temperature through the saturation temperature at 1 MPa.
constexpr TSweepCase kNeon{"Neon", 25, 300};
constexpr TSweepCase kEthylene{"Ethylene", 110, 440};
constexpr TSweepCase kR23{"R23", 120, 460};
constexpr TSweepCase kR125{"R125", 175, 430};
// The Bender, BWRS and MBWR fluids and methanol: their residual parts are
// functions with first derivatives only (analytic for isopentane, R123 and
// methanol, central differences for the others), the second ones by
// differences of those; 50 to 250 times nitrogen's cost per call.
constexpr TSweepCase kIsopentane{"Isopentane", 200, 580};
constexpr TSweepCase kRC318{"RC318", 235, 600};
constexpr TSweepCase kHexane{"n-Hexane", 225, 640};
constexpr TSweepCase kPropylene{"Propylene", 150, 580};
constexpr TSweepCase kR123{"R123", 170, 520};
constexpr TSweepCase kHydrogen{"Hydrogen", 15, 300};
constexpr TSweepCase kCarbonMonoxide{"CarbonMonoxide", 70, 300};
constexpr TSweepCase kMethanol{"Methanol", 180, 560};
// n-Butane: the 37 terms its object holds, in one pass over tables laid
// out from its data (about three times nitrogen's cost by (T, P)).
constexpr TSweepCase kButane{"n-Butane", 200, 500};

Extended SweepTemperature(const TSweepCase& c, int32_t i) {
  return c.tLow + (c.tHigh - c.tLow) * static_cast<Extended>(i) / (kSweepPoints - 1);
}

Extended EnthalpyTP(TGeneralEosSubstance& o, Extended T, Extended P) {
  o.ArgKind[1] = 1;
  o.ArgKind[2] = 2;
  TPropertyArgumentRecord a;
  a.Value[1] = T;
  a.Value[2] = P;
  UnitConversionEnabled = true;
  return o.Enthalpy(a);
}

void BM_SweepTP(benchmark::State& state, TSweepCase c) {
  auto o = bench::MakeHelmholtzFluid(c.fluid);
  TPropertyArgumentRecord a;
  int32_t i = 0;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = SweepTemperature(c, i);
    a.Value[2] = kSweepPressure;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(o->Enthalpy(a));
    if (CalcErrorCode > 0) state.SkipWithError("a state of the sweep failed");
    i = (i + 1) % kSweepPoints;
  }
  bench::RatePerSecond(state);
}
BENCHMARK_CAPTURE(BM_SweepTP, water_T_P_to_h, kWater);
BENCHMARK_CAPTURE(BM_SweepTP, nitrogen_T_P_to_h, kNitrogen);
BENCHMARK_CAPTURE(BM_SweepTP, xenon_T_P_to_h, kXenon);
BENCHMARK_CAPTURE(BM_SweepTP, pentane_T_P_to_h, kPentane);
BENCHMARK_CAPTURE(BM_SweepTP, neon_T_P_to_h, kNeon);
BENCHMARK_CAPTURE(BM_SweepTP, ethylene_T_P_to_h, kEthylene);
BENCHMARK_CAPTURE(BM_SweepTP, r23_T_P_to_h, kR23);
BENCHMARK_CAPTURE(BM_SweepTP, r125_T_P_to_h, kR125);
BENCHMARK_CAPTURE(BM_SweepTP, isopentane_T_P_to_h, kIsopentane);
BENCHMARK_CAPTURE(BM_SweepTP, rc318_T_P_to_h, kRC318);
BENCHMARK_CAPTURE(BM_SweepTP, hexane_T_P_to_h, kHexane);
BENCHMARK_CAPTURE(BM_SweepTP, propylene_T_P_to_h, kPropylene);
BENCHMARK_CAPTURE(BM_SweepTP, r123_T_P_to_h, kR123);
BENCHMARK_CAPTURE(BM_SweepTP, hydrogen_T_P_to_h, kHydrogen);
BENCHMARK_CAPTURE(BM_SweepTP, carbon_monoxide_T_P_to_h, kCarbonMonoxide);
BENCHMARK_CAPTURE(BM_SweepTP, methanol_T_P_to_h, kMethanol);
BENCHMARK_CAPTURE(BM_SweepTP, butane_T_P_to_h, kButane);

// (P, h) -> T at the enthalpies of the sweep's temperatures at `pressure`.
void RunPhSweep(benchmark::State& state, const TSweepCase& c, Extended pressure) {
  auto o = bench::MakeHelmholtzFluid(c.fluid);
  const Extended hLow = EnthalpyTP(*o, c.tLow, pressure);
  const Extended hHigh = EnthalpyTP(*o, c.tHigh, pressure);
  o->ArgKind[1] = 2;
  o->ArgKind[2] = 3;
  TPropertyArgumentRecord a;
  int32_t i = 0;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = pressure;
    a.Value[2] = hLow + (hHigh - hLow) * static_cast<Extended>(i) / (kSweepPoints - 1);
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(o->Temperature(a));
    if (CalcErrorCode > 0) state.SkipWithError("a state of the sweep failed");
    i = (i + 1) % kSweepPoints;
  }
  bench::RatePerSecond(state);
}

void BM_SweepPh(benchmark::State& state, TSweepCase c) { RunPhSweep(state, c, kSweepPressure); }
BENCHMARK_CAPTURE(BM_SweepPh, water_P_h_to_T, kWater);
BENCHMARK_CAPTURE(BM_SweepPh, nitrogen_P_h_to_T, kNitrogen);
BENCHMARK_CAPTURE(BM_SweepPh, xenon_P_h_to_T, kXenon);
BENCHMARK_CAPTURE(BM_SweepPh, pentane_P_h_to_T, kPentane);
BENCHMARK_CAPTURE(BM_SweepPh, neon_P_h_to_T, kNeon);
BENCHMARK_CAPTURE(BM_SweepPh, ethylene_P_h_to_T, kEthylene);
BENCHMARK_CAPTURE(BM_SweepPh, r23_P_h_to_T, kR23);
BENCHMARK_CAPTURE(BM_SweepPh, r125_P_h_to_T, kR125);
BENCHMARK_CAPTURE(BM_SweepPh, isopentane_P_h_to_T, kIsopentane);
BENCHMARK_CAPTURE(BM_SweepPh, rc318_P_h_to_T, kRC318);
BENCHMARK_CAPTURE(BM_SweepPh, hexane_P_h_to_T, kHexane);
BENCHMARK_CAPTURE(BM_SweepPh, propylene_P_h_to_T, kPropylene);
BENCHMARK_CAPTURE(BM_SweepPh, r123_P_h_to_T, kR123);
BENCHMARK_CAPTURE(BM_SweepPh, hydrogen_P_h_to_T, kHydrogen);
BENCHMARK_CAPTURE(BM_SweepPh, carbon_monoxide_P_h_to_T, kCarbonMonoxide);
BENCHMARK_CAPTURE(BM_SweepPh, methanol_P_h_to_T, kMethanol);
BENCHMARK_CAPTURE(BM_SweepPh, butane_P_h_to_T, kButane);

// (P, h) -> T above the critical pressure: water at 30 MPa over 300-900 K
// and nitrogen at 10 MPa over 70-300 K, from the dense liquid-like fluid
// through the steep stretch near the critical temperature to the gas.
struct TSupercriticalCase {
  TSweepCase sweep;
  Extended pressure;  // kPa
};
constexpr TSupercriticalCase kWaterSupercritical{{"Steam_IAPWS", 300, 900}, 30000};
constexpr TSupercriticalCase kNitrogenSupercritical{{"Nitrogen", 70, 300}, 10000};

void BM_SweepPhSupercritical(benchmark::State& state, TSupercriticalCase c) {
  RunPhSweep(state, c.sweep, c.pressure);
}
BENCHMARK_CAPTURE(BM_SweepPhSupercritical, water_P_h_to_T_30MPa, kWaterSupercritical);
BENCHMARK_CAPTURE(BM_SweepPhSupercritical, nitrogen_P_h_to_T_10MPa, kNitrogenSupercritical);

// (h, s) -> T at the h and s of the (T, P) sweep's states at 1 MPa: liquid
// and vapour (and for water the compressed liquid near 300 K).
void BM_SweepHs(benchmark::State& state, TSweepCase c) {
  auto o = bench::MakeHelmholtzFluid(c.fluid);
  std::vector<std::pair<Extended, Extended>> hs;
  for (int32_t k = 0; k < kSweepPoints; ++k) {
    const Extended h = EnthalpyTP(*o, SweepTemperature(c, k), kSweepPressure);
    o->ArgKind[1] = 1;
    o->ArgKind[2] = 2;
    TPropertyArgumentRecord a;
    a.Value[1] = SweepTemperature(c, k);
    a.Value[2] = kSweepPressure;
    UnitConversionEnabled = true;
    hs.emplace_back(h, o->Entropy(a));
  }
  o->ArgKind[1] = 3;
  o->ArgKind[2] = 5;
  TPropertyArgumentRecord a;
  int32_t i = 0;
  for (auto _ : state) {
    ClearEosStateCache();
    a.Value[1] = hs[static_cast<size_t>(i)].first;
    a.Value[2] = hs[static_cast<size_t>(i)].second;
    UnitConversionEnabled = true;
    benchmark::DoNotOptimize(o->Temperature(a));
    if (CalcErrorCode > 0) state.SkipWithError("a state of the sweep failed");
    i = (i + 1) % kSweepPoints;
  }
  bench::RatePerSecond(state);
}
BENCHMARK_CAPTURE(BM_SweepHs, water_h_s_to_T, kWater);
BENCHMARK_CAPTURE(BM_SweepHs, nitrogen_h_s_to_T, kNitrogen);

// ---- Through the language ----

constexpr int32_t kLanguageCalls = 1000;  // per read
constexpr int32_t kReads = 10;

std::string Number(Extended x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.12Lg", x);
  return text;
}

// The argument of copy i: the sweep's variable from low to high over the
// loop, as an expression of i.
std::string SweepArgument(Extended low, Extended high, int32_t copies) {
  return Number(low) + "+" + Number((high - low) / copies) + "*i";
}

// The loop's text: `copies` equations, each with the body given.
std::string LoopText(int32_t copies, const std::string& body) {
  return "$UNITSYSTEM SI MASS KPA K KJ\r\nDUPLICATE i=1," + std::to_string(copies) + "\r\n  " + body + "\r\nEND\r\n";
}

enum class TLanguageCase { kWaterTP, kNitrogenPh, kWaterTPTwice, kNitrogenPhTwice, kArithmetic };

std::string LanguageText(TLanguageCase c) {
  const std::string water = "Steam_IAPWS";
  const std::string nitrogen = "Nitrogen";
  const std::string P = Number(kSweepPressure);
  switch (c) {
    case TLanguageCase::kWaterTP:
      return LoopText(kLanguageCalls,
                      "h[i] = Enthalpy(" + water + ", T=" + SweepArgument(300, 700, kLanguageCalls) + ", P=" + P + ")");
    case TLanguageCase::kWaterTPTwice: {
      const std::string T = SweepArgument(300, 700, kLanguageCalls / 2);
      return LoopText(kLanguageCalls / 2, "dh[i] = Enthalpy(" + water + ", T=" + T + "+1, P=" + P + ") - Enthalpy(" +
                                              water + ", T=" + T + ", P=" + P + ")");
    }
    case TLanguageCase::kNitrogenPh:
    case TLanguageCase::kNitrogenPhTwice: {
      auto o = bench::MakeHelmholtzFluid(nitrogen);
      const Extended hLow = EnthalpyTP(*o, 70, kSweepPressure);
      const Extended hHigh = EnthalpyTP(*o, 300, kSweepPressure);
      if (c == TLanguageCase::kNitrogenPh) {
        return LoopText(kLanguageCalls, "T[i] = Temperature(" + nitrogen + ", P=" + P +
                                            ", h=" + SweepArgument(hLow, hHigh, kLanguageCalls) + ")");
      }
      const std::string h = SweepArgument(hLow, hHigh, kLanguageCalls / 2);
      return LoopText(kLanguageCalls / 2, "dT[i] = Temperature(" + nitrogen + ", P=" + P + ", h=" + h +
                                              "+1) - Temperature(" + nitrogen + ", P=" + P + ", h=" + h + ")");
    }
    case TLanguageCase::kArithmetic:
      return LoopText(kLanguageCalls, "h[i] = 4.18*(" + SweepArgument(300, 700, kLanguageCalls) + ")");
  }
  return {};
}

// Time per property call in microseconds is the inverse of calls_per_s.
void BM_LanguageCalls(benchmark::State& state, TLanguageCase c) {
  const std::string text = LanguageText(c);
  InMemoryEquationsEditor editor;
  int64_t solves = 0;
  for (auto _ : state) {
    for (int32_t read = 0; read < kReads; ++read) {
      state.PauseTiming();
      bench::ResetStore();
      editor.SetText(text);
      SetEquationsEditor(&editor);
      CheckOnlyMode = true;
      state.ResumeTiming();
      CompileEquations(false, false);
      if (CalcErrorCode != 0) state.SkipWithError("the loop did not read and solve");
      solves += EosSolveCount;
    }
  }
  // State solves per property call (the counter restarts with each read).
  state.counters["solves_per_call"] =
      static_cast<double>(solves) / (static_cast<double>(state.iterations()) * kLanguageCalls * kReads);
  CheckOnlyMode = false;
  SetEquationsEditor(nullptr);
  bench::ResetStore();
  state.counters["calls_per_s"] =
      benchmark::Counter(static_cast<double>(kLanguageCalls * kReads), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_LanguageCalls, water_T_P_one_per_equation, TLanguageCase::kWaterTP)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LanguageCalls, water_T_P_two_per_equation, TLanguageCase::kWaterTPTwice)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LanguageCalls, nitrogen_P_h_one_per_equation, TLanguageCase::kNitrogenPh)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LanguageCalls, nitrogen_P_h_two_per_equation, TLanguageCase::kNitrogenPhTwice)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LanguageCalls, arithmetic_one_per_equation, TLanguageCase::kArithmetic)
    ->Unit(benchmark::kMillisecond);

}  // namespace
