#pragma once
// Helpers shared by the two files of Martin-Hou pair solvers; not for use
// outside them.
#include "core/calc_state.h"
#include "core/extended.h"
#include "properties/martin_hou_eos.h"

namespace voq::martin_hou_detail {

inline Extended Field(int field) { return MartinHouCurrentFluid[static_cast<size_t>(field)]; }
inline Extended Tc() { return Field(kMhTc); }
inline Extended Pc() { return Field(kMhPc); }
inline Extended Vc() { return Field(kMhVc); }
inline bool Failed() { return CalcErrorCode > 0; }
inline Extended LiquidVolume(Extended T) { return 1 / MartinHouSatLiquidDensity(T); }

// The properties of the two-phase state of quality x at T whose vapour is
// at P (for a pure fluid Psat(T), for a blend Pb + x (Pd - Pb)).
struct TTwoPhaseValues {
  Extended v = 0;
  Extended h = 0;
  Extended s = 0;
  Extended u = 0;
};
TTwoPhaseValues TwoPhaseValues(Extended T, Extended x, Extended P);
// The same written into MartinHouState with T, x and P.
void TwoPhaseAt(Extended T, Extended x, Extended P);
inline Extended TwoPhaseEnergyAt(Extended T, Extended x, Extended P) { return TwoPhaseValues(T, x, P).u; }

// Compressed liquid from the saturated liquid in the state: x = -100, the
// given pressure, h = u + P v 0.18509.
void SubcooledEstimate(Extended givenP);

enum class TwoPhaseProperty { kVolume, kEnthalpy, kEntropy, kEnergy };

// A blend's quality at T whose two-phase state has the given property
// value, from the estimate xStart; the pressure follows the quality.
Extended SolveQualityAtTemperature(Extended T, Extended xStart, Extended value, TwoPhaseProperty property);
// A blend's two-phase state at pressure P (bubble point tb, dew point td)
// with the given property value: T and x together, written into the state,
// starting from the state's T.
void SolveTwoPhaseAtPressure(Extended P, Extended tb, Extended td, Extended value, TwoPhaseProperty property);

}  // namespace voq::martin_hou_detail
