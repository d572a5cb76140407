#pragma once
// The thermodynamic core of the water substances: the Helmholtz function of
// Haar, Gallagher and Kell (base, residual and ideal-gas parts), the
// auxiliary saturation and sublimation equations, ice, the density finder,
// the saturation pressure by equal Gibbs functions, and the two state
// routines the substance object calls.
//
// Units inside: T in K, P in MPa (the two state routines take and return
// kPa), density in g/cm3, v in m3/kg, R = 0.461522 kJ/kg-K. Failures are
// reported only through CalcErrorCode; callers test it after each call.
// Not re-entrant: the caches below are program-wide.
#include <array>
#include <cstdint>
#include <memory>

#include "core/extended.h"

namespace voq {

struct TSteamNBSCoefficientRecord {
  std::array<Extended, 5> Tm{};      // [1..4] K
  std::array<Extended, 5> Rhom{};    // [1..4] g/cm3
  std::array<Extended, 5> Betam{};   // [1..4]
  std::array<Extended, 5> Alpham{};  // [1..4]
  std::array<Extended, 11> P{};      // [1..10] b(T)
  std::array<Extended, 11> Q{};      // [1..10] B(T)
  std::array<Extended, 41> g{};      // [1..40]
  std::array<int32_t, 41> II{};
  std::array<int32_t, 41> JJ{};
  std::array<Extended, 19> C{};  // [1..18] ideal gas
  std::array<Extended, 9> A{};   // [1..8] saturation pressure
};

// Null until the first steam object is created; then filled once.
extern std::unique_ptr<TSteamNBSCoefficientRecord> SteamNBSCoefficients;
// Allocates (when needed) and fills the record; sets the base cache key to 0.
void InitSteamNBSCoefficients();
void FillSteamNBSCoefficients(TSteamNBSCoefficientRecord& record);

inline constexpr Extended kSteamGasConstant = 0.461522L;  // kJ/kg-K
inline constexpr Extended kSteamTz = 647.073L;            // K

// Saturation pressure over liquid, or sublimation pressure over ice below
// 273.15 K (MPa).
Extended WaterSatPressure(Extended T);
// T dPs/dT of the upper branch of the saturation equation (MPa).
Extended WaterSatPressureSlope(Extended T);
// Saturation (or sublimation) temperature at P in kPa; 999 on failure
// (208 for a negative pressure, 209 above 22.064 MPa).
Extended WaterSatTemperature(Extended P);
// Sublimation temperature at p in MPa; 210 after 20 secant steps.
Extended IceSublimationTemperature(Extended p);

struct TSteamBaseCoefficients {
  Extended b = 0, B = 0, dbdT = 0, dBdT = 0;
};
TSteamBaseCoefficients SteamBaseCoefficients(Extended T);

struct TSteamBaseValues {
  Extended y = 0, Zb = 0, DZb = 0, sb = 0, ub = 0;  // s/R, u/RT
};
TSteamBaseValues SteamBaseFunction(Extended rho, Extended T);

struct TSteamResidualValues {
  Extended Pr = 0, dPrdRho = 0, ur = 0, sr = 0;  // MPa, MPa cm3/g, u/RT, s/R
};
TSteamResidualValues SteamResidualFunction(Extended rho, Extended T);

struct TSteamIdealValues {
  Extended ui = 0, si = 0;  // u/RT, s/R
};
TSteamIdealValues SteamIdealGasPart(Extended T);

struct TSteamReducedProperties {
  Extended u = 0, h = 0, s = 0;  // u/RT, h/RT, s/R
};
TSteamReducedProperties SteamThermoProperties(Extended rho, Extended T);

// Pressure (MPa) and dP/drho at (rho, T).
void SteamPressureAt(Extended rho, Extended T, Extended& P, Extended& dPdRho);

// Density (g/cm3) at T and P (MPa) from the start rho0; dPdRho at the last
// evaluation. Never fails.
Extended SteamDensityFinder(Extended T, Extended rho0, Extended P, Extended& dPdRho);

// Ice (P in MPa, T in K below 273.15): kJ/kg and kJ/kg-K.
Extended IceEnthalpy(Extended P, Extended T);
Extended IceEntropy(Extended P, Extended T);
struct TIceState {
  Extended v = 0, ps = 0, h = 0, s = 0, u = 0;  // ps in MPa
};
// P in kPa, raised to the sublimation pressure when below it; -1 asks for
// the state at the sublimation pressure.
TIceState IceState(Extended& P, Extended T);

// One Gibbs-difference evaluation at the trial pressure P (MPa). The
// densities are the starts on entry and the results on return.
Extended SteamSaturationCorrection(Extended T, Extended& P, Extended& rhoL, Extended& rhoV);
// Saturation pressure (MPa) and densities by equal Gibbs functions; 210
// after 25 passes.
void SteamSaturationPressure(Extended T, Extended& P, Extended& rhoL, Extended& rhoV);

struct TSteamSatState {
  Extended P = 999;  // kPa
  Extended vf = 999, vg = 999, uf = 999, ug = 999, hf = 999, hg = 999, sf = 999, sg = 999;
};
// Saturated liquid (or ice below 273.15 K) and vapour at T; 209 above
// 647.1421 K; every output 999 on failure.
TSteamSatState SteamSatStateAtT(Extended T);

struct TSteamPointState {
  Extended v = 0, u = 0, h = 0, s = 0;
  // -100 compressed liquid or ice, 100 vapour or at or above 647.1421 K.
  Extended x = 0;
};
// The single-phase state at T (K) and P (kPa).
// phase > 0 takes the vapour root and phase < 0 the liquid root whatever the
// saturation pressure at T says (a search that stays on one side of a
// saturation line); 0 chooses by the saturation pressure.
TSteamPointState SteamStateAtTP(Extended T, Extended P, int32_t phase = 0);

// Cache keys of the formulation's parts back to "nothing cached".
void ResetSteamFormulationCaches();
// Engine reset: caches cleared and the coefficient record dropped.
void ResetSteamFormulationState();

}  // namespace voq
