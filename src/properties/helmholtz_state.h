#pragma once
// The state solver of the high-accuracy fluids: every state property goes
// through SolveEosState, which checks the argument kinds, reuses the last
// solved state, converts to internal units and the formulation's reference
// state, checks the ranges, runs the pair solver and files the state in
// EosStateCache in the document's units. Also the saturation machinery
// built on each fluid's ancillary equations and the state at given
// temperature and density.
#include <array>
#include <cstdint>

#include "core/extended.h"
#include "properties/helmholtz_eos.h"

namespace voq {

// The last state solved by any high-accuracy fluid, entries 1..11 (0
// unused): 1 T, 2 P, 3 h, 4 u, 5 s, 6 v (document units, reference offsets
// removed), 7 x (0..1 two-phase, 100 vapour or supercritical, -100
// compressed liquid), 10 the catalogue row, 11 its reference option. A
// failed solve sets all eleven entries to 999.
extern std::array<Extended, 12> EosStateCache;
// Pair solves run since the engine reset: a cache hit does not count.
extern int64_t EosSolveCount;

// While set (by the evaluator around a property call of an equation), a
// solved state is also filed among the last few kept states, keyed by the
// fluid's catalogue row and reference option, the two kinds and argument
// values exactly as given, and the document's units; a later call with the
// same key takes the state from there instead of solving again, (T, P)
// included. The kept state is the solve's own result, so a reuse returns
// the numbers the solve would. The kinds and ranges are still checked on
// every call, and a failed solve is never kept.
extern bool EosStateReuse;
// Reuse states for the lifetime of one property call.
class TEosStateReuseScope {
 public:
  TEosStateReuseScope() : saved_(EosStateReuse) { EosStateReuse = true; }
  ~TEosStateReuseScope() { EosStateReuse = saved_; }
  TEosStateReuseScope(const TEosStateReuseScope&) = delete;
  TEosStateReuseScope& operator=(const TEosStateReuseScope&) = delete;

 private:
  bool saved_;
};
// Reuses since the engine reset.
extern int64_t EosStateReuseCount;

// The first ten entries 0: forget the last state (compiled equations
// cleared, unit system changed); the kept states go too.
void ClearEosStateCache();
// Forget the kept states only (a fluid's reference offsets recomputed).
void ClearKeptEosStates();
// Engine reset.
void ResetHelmholtzState();

// argCount and the kinds as the call gave them; wanted is the slot's kind
// (1 T .. 7 x). Errors 201/28, 202, 203 (nothing else happens, also during
// the compiler's trial call), 137, 140, 211, 205 and the pair solvers'.
void SolveEosState(TGeneralEosSubstance& object, int32_t argCount, int32_t wanted, int32_t kind1, int32_t kind2,
                   Extended value1, Extended value2);
// Internal units. Errors 137 (T outside TMin..TMax), 140 (P outside
// 1e-6..PMax kPa), 211 (x outside 0..1).
void CheckEosRange(TGeneralEosSubstance& object, int32_t kind, Extended value);
// The row's enthalpy offset for kinds 3 and 4, its entropy offset for 5.
Extended AddReferenceOffset(const TGeneralEosSubstance& object, int32_t kind, Extended value);
Extended SubtractReferenceOffset(const TGeneralEosSubstance& object, int32_t kind, Extended value);
// |a - b| < 1e-9
bool NearlyEqual(Extended a, Extended b);

// ---- Saturation and the state at (tau, delta); internal units ----

// A saturated density refined by a secant search on the density until the
// equation's pressure meets SatPressure(T, X) within 0.001 kPa; without
// convergence in 15 steps the start density.
Extended RefineSatDensity(TGeneralEosSubstance& object, Extended T, Extended start, Extended X);
// The shared SatTemperature: secant search from 0.7 TCrit.
Extended SharedSatTemperature(TGeneralEosSubstance& object, Extended P, Extended X);

struct TEosPoint {
  Extended T = 0, P = 0, v = 0, u = 0, h = 0, s = 0;
};
// The full state at tau and delta; inside the saturation dome (by the
// saturated volumes at T < TCrit) the two-phase mixture. No quality.
TEosPoint StateFromTauDelta(TGeneralEosSubstance& object, Extended tau, Extended delta);

// ---- Pair solvers (internal units, per unit mass, offsets applied) ----

struct TEosWorkState {
  Extended T = 0, P = 0, v = 0, u = 0, h = 0, s = 0, x = 0;
};
void SolveStateTP(TGeneralEosSubstance& object, Extended T, Extended P, TEosWorkState& w);
void SolveStateTV(TGeneralEosSubstance& object, Extended T, Extended v, TEosWorkState& w);
void SolveStateTX(TGeneralEosSubstance& object, Extended T, Extended x, TEosWorkState& w);
void SolveStatePX(TGeneralEosSubstance& object, Extended P, Extended x, TEosWorkState& w);
// T with h, u or s (kind 3..5): a density search at fixed T. Error 210.
void SolveStateTY(TGeneralEosSubstance& object, int32_t kind, Extended T, Extended y, TEosWorkState& w);
// P with h, u or s (kind 3..5): a single-phase state by Newton steps on
// (tau, delta), below the critical pressure from the saturated state of its
// side, at and above it from the (T, P) state at TCrit; a two-phase state
// directly; and when the steps do not settle, a temperature search over
// (T, P) states. Errors 210 and those of SolveStateTP (204).
void SolveStatePY(TGeneralEosSubstance& object, int32_t kind, Extended P, Extended y, TEosWorkState& w);
// Clear: SolveStatePY searches the temperature only and SolveStateEnergyS
// the volume only (the comparison of the two ways in the tests).
extern bool EosPairNewton;
// P with v: a tau search at the fixed density. Error 210.
void SolveStatePV(TGeneralEosSubstance& object, Extended P, Extended v, TEosWorkState& w);
// h or u (energyKind 3 or 4) with v, s with v: a tau search at the fixed
// density; h or u with s: a volume search over energy-volume states. Error
// 213; the quality label is set also after a failure. h or u with s first
// tries Newton steps on (tau, delta) from the saturated state of equal
// entropy for a single-phase state inside the equation's range.
void SolveStateEnergyV(TGeneralEosSubstance& object, int32_t energyKind, Extended e, Extended v, TEosWorkState& w);
void SolveStateSV(TGeneralEosSubstance& object, Extended s, Extended v, TEosWorkState& w);
void SolveStateEnergyS(TGeneralEosSubstance& object, int32_t energyKind, Extended e, Extended s, TEosWorkState& w);
// h, u, s or v (kind 3..6) with the quality: a secant search on T. Error
// 210 unless the search met its tolerance below TCrit.
void SolveStateQualityPair(TGeneralEosSubstance& object, int32_t kind, Extended y, Extended x, TEosWorkState& w);

}  // namespace voq
