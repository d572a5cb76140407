#pragma once
// The entry through which the Martin-Hou substance objects turn two
// independent properties into a full state of the current fluid: checks
// the request, reuses the last answer when the same question comes again,
// converts between the document's units and the core's English units,
// hands the ordered pair to its pair solver and publishes the result in
// PropertyStateVector with the range and estimate warnings. A reduced path
// serves the transport-property calls.
#include <array>
#include <cstdint>

#include "core/extended.h"

namespace voq {

// Entries 1..10 (0 unused): 1 T, 2 P, 3 h, 4 u, 5 s, 6 v, 7 x in the user's
// units after a solve; after a transport call all blank except 6 (v,
// ft3/lbm) and 8 (saturation pressure, psia, or 9.99E+99 from Tc up).
extern std::array<Extended, 11> PropertyStateVector;
// The fluid whose state PropertyStateVector holds; -99 after a transport
// call so that the next request is solved again.
extern int32_t MartinHouLastFluid;
// Counts the pair solves SolveMartinHouState dispatched (a reused answer
// dispatches none). For tests and benchmarks.
extern int64_t MartinHouPairSolveCount;

// What the state solver needs of the substance layer. The defaults keep the
// core's English units (R, psia, Btu/lbm, Btu/(lbm R), ft3/lbm) and know no
// help contexts; the substance layer installs its own functions.
struct TMartinHouSolverServices {
  // Document units to English units, in place, for kinds 1..7 (molar
  // values by the molar mass). May set CalcErrorCode (143, 144).
  void (*ConvertArgument)(int32_t kind, Extended& value, Extended molarMass);
  // English units to document units, in place, for kinds 1..6.
  void (*ConvertResult)(int32_t kind, Extended& value, Extended molarMass);
  // The help context of a catalogue row (0 for none).
  int32_t (*SubstanceHelpContext)(int32_t substanceIndex);
};
extern TMartinHouSolverServices MartinHouSolverServices;
void InstallMartinHouSolverServices(const TMartinHouSolverServices& services);
// Back to the identity conversions and no help contexts.
void ResetMartinHouSolverServices();

// Solves the state of the current fluid for the pair (Kind1, Value1),
// (Kind2, Value2) in the user's units. The caller reads
// PropertyStateVector[OutputKind] and CalcErrorCode. OutputKind 9 and up is
// a transport call: then the values are T and P in English units.
// PressureLimit (psia) above 0 warns of results above it.
void SolveMartinHouState(int32_t SubstanceIndex, bool TrialCall, bool IsBlend, Extended MolarMass,
                         Extended PressureLimit, int32_t ArgCount, int32_t OutputKind, int32_t Kind1, int32_t Kind2,
                         Extended Value1, Extended Value2);

// Engine reset: the vector, the last fluid and the counter.
void ResetMartinHouSolverState();

}  // namespace voq
