#pragma once
// The Martin-Hou equation of state of the current fluid and the
// correlations that go with it (vapour pressure, saturated-liquid density,
// ideal-gas heat capacity, blend dew pressure and latent heat), in the
// English units of the core: R, psia, ft3/lbm, Btu/lbm, Btu/(lbm R).
//
//   P = R T/w + sum(i=2..5) (Ai + Bi T + Ci E)/w^i + (A6 + B6 T + C6 E)/(Q (1 + C' Q)),
//   w = v - b (kept within 1e-5..1e5), E = exp(-K T/Tc), Q = exp(Alpha v).
//
// Every function reads the current-fluid block; none changes it. Failures
// set CalcErrorCode (210, no convergence) and return ErrorResultValue.
#include <array>
#include <cstdint>

#include "core/extended.h"
#include "properties/martin_hou_data.h"

namespace voq {

// Number of the current fluid: 1..25 built in, else the catalogue row of a
// user fluid. Below 9 the vapour pressure takes the log10 form.
extern int32_t MartinHouFluidNumber;
// Fields 0..65 of the current fluid's record.
extern std::array<double, kMartinHouCurrentFieldCount> MartinHouCurrentFluid;

// The state last solved; x is 0..1 in the two-phase region, -100 for a
// compressed liquid and +100 for a superheated or supercritical state.
struct TMartinHouState {
  Extended T = 0;  // R
  Extended P = 0;  // psia
  Extended h = 0;  // Btu/lbm
  Extended u = 0;  // Btu/lbm
  Extended s = 0;  // Btu/(lbm R)
  Extended v = 0;  // ft3/lbm
  Extended x = 0;
};
extern TMartinHouState MartinHouState;

// psia ft3 to Btu: in enthalpy, entropy and latent heat ...
inline constexpr Extended kMartinHouJ = 0.185053L;
// ... and between h and u.
inline constexpr Extended kMartinHouPvToBtu = 0.18509L;

// Makes a fluid current: copies fields 0..65 of its record.
void SetMartinHouCurrentFluid(int32_t fluidNumber, const MartinHouCoefRecord& record);
// Back to the start state (no fluid, zero state).
void ResetMartinHouState();

Extended MartinHouPressure(Extended v, Extended T);
// (dP/dv) at constant T, psia/(ft3/lbm).
Extended MartinHouDPdV(Extended v, Extended T);
// (dP/dT) at constant v, psia/R.
Extended MartinHouDPdT(Extended v, Extended T);
// Bubble-point (for a pure fluid the saturation) pressure.
Extended MartinHouSatPressure(Extended T);
// Dew-point pressure of a blend.
Extended MartinHouDewPressure(Extended T);
// Saturation temperature from the bubble-point correlation, to 0.1 psia.
Extended MartinHouSatTemperature(Extended P);
// lbm/ft3.
Extended MartinHouSatLiquidDensity(Extended T);
// Specific volume from P and T: the saturated-liquid volume for a
// compressed liquid, else the root of the equation of state. Where neither
// start of the iteration finds a root, the corresponding-states guess
// Z = Zc, v = (Pc/P) Vc (T/Tc), with error 210 more than 5 % from Tc: the
// pair searches walk on through such trial states near Tc.
Extended MartinHouVaporVolume(Extended P, Extended T);
// True when v is a root of P(v, T) = P that a state of the fluid can rest
// on: P(v, T) within 2e-4 P of P, and above Tc an isotherm that stays
// positive and falls (dP/dv below 1 % of P/v) from v out to 4 Vc. False
// for the guess above and for a root cut off from the gas by a spurious
// loop of the isotherm.
bool MartinHouVolumeIsRoot(Extended P, Extended T, Extended v);
// Newton iteration for v at P and T from compressibility z; iterations
// counts the steps taken (at most 51).
Extended MartinHouVolumeIteration(Extended P, Extended T, Extended z, int32_t& iterations);
Extended MartinHouEnthalpy(Extended T, Extended v, Extended P);
Extended MartinHouEntropy(Extended v, Extended T);
// Latent heat at T from the saturation pressure P and the saturated volumes.
Extended MartinHouLatentHeat(Extended P, Extended vf, Extended vg, Extended T);
// u = h - P v 0.18509 of MartinHouState.
Extended MartinHouInternalEnergy();

}  // namespace voq
