#pragma once
// Water and steam by the IAPWS-95 formulation of the Helmholtz energy
// (catalogue name "Steam_IAPWS"), with the IAPWS saturation equations as
// ancillaries, analytic specific heats from the second derivatives, the
// IAPS 1985 viscosity and conductivity and a surface tension of the IAPWS
// form. State solving and the other properties are the shared machinery of
// the high-accuracy fluids.
#include <array>
#include <cstdint>

#include "properties/helmholtz_eos.h"

namespace voq {

// ---- Coefficients (water_iapws95_data.cpp) ----

// Ideal part: ln delta + n1 + n2 tau + n3 ln tau + sum n_i ln(1 - exp(-gamma_i tau)).
extern const Extended WaterIdealN1, WaterIdealN2, WaterIdealN3;
extern const std::array<Extended, 5> WaterIdealN;      // n4..n8
extern const std::array<Extended, 5> WaterIdealGamma;  // gamma4..gamma8

// Residual terms 1..7: n delta^d tau^t.
extern const std::array<Extended, 7> WaterPolyN;
extern const std::array<int32_t, 7> WaterPolyD;
extern const std::array<Extended, 7> WaterPolyT;
// Terms 8..51: n delta^d tau^t exp(-delta^l), t integer.
extern const std::array<Extended, 44> WaterExpN;
extern const std::array<int32_t, 44> WaterExpD;
extern const std::array<int32_t, 44> WaterExpT;
extern const std::array<int32_t, 44> WaterExpL;
// Terms 52..54: n delta^d tau^t exp(-alpha (delta - eps)^2 - beta (tau - gamma)^2).
extern const std::array<Extended, 3> WaterGaussN;
extern const std::array<int32_t, 3> WaterGaussD;
extern const std::array<int32_t, 3> WaterGaussT;
extern const std::array<int32_t, 3> WaterGaussAlpha;
extern const std::array<int32_t, 3> WaterGaussBeta;
extern const std::array<Extended, 3> WaterGaussGamma;
extern const std::array<int32_t, 3> WaterGaussEpsilon;
// Terms 55 and 56: n Delta^b delta psi.
extern const std::array<Extended, 2> WaterNonAnalyticN;
extern const std::array<Extended, 2> WaterNonAnalyticA;     // a
extern const std::array<Extended, 2> WaterNonAnalyticB;     // b
extern const std::array<Extended, 2> WaterNonAnalyticBB;    // B
extern const std::array<Extended, 2> WaterNonAnalyticC;     // C
extern const std::array<Extended, 2> WaterNonAnalyticD;     // D
extern const std::array<Extended, 2> WaterNonAnalyticAA;    // A
extern const std::array<Extended, 2> WaterNonAnalyticBeta;  // beta

// IAPS 1985 transport: H_ij (row i: power of 1/Tbar - 1, column j: power of
// rhobar - 1) and L_ij, with the dilute-gas coefficients.
extern const std::array<Extended, 4> WaterViscosityH;
extern const std::array<std::array<Extended, 7>, 6> WaterViscosityHij;
extern const std::array<Extended, 4> WaterConductivityL;
extern const std::array<std::array<Extended, 6>, 5> WaterConductivityLij;

// ---- The Helmholtz evaluators ----

// Which quantities an evaluator computes: phi, d/d(delta), d2/d(delta)2,
// d/d(tau), d2/d(tau)2, d2/d(delta)d(tau). Unselected outputs are 0.
enum TWaterPartFlag : uint32_t {
  kWaterPhi = 1,
  kWaterPhiD = 2,
  kWaterPhiDD = 4,
  kWaterPhiT = 8,
  kWaterPhiTT = 16,
  kWaterPhiDT = 32,
};

struct TWaterHelmholtzParts {
  Extended phi = 0, d = 0, dd = 0, t = 0, tt = 0, dt = 0;
};

TWaterHelmholtzParts WaterIdealParts(Extended delta, Extended tau, uint32_t selection);
TWaterHelmholtzParts WaterResidualParts(Extended delta, Extended tau, uint32_t selection);
// The same sums in 8-byte reals, within 1e-12 of the 10-byte ones: the
// model slots the state solvers call.
TWaterHelmholtzParts WaterIdealPartsFast(Extended delta, Extended tau, uint32_t selection);
TWaterHelmholtzParts WaterResidualPartsFast(Extended delta, Extended tau, uint32_t selection);

// The IAPS 1985 transport properties at T (K) and rho (kg/m3): viscosity in
// Pa-s and conductivity in W/m-K, with the viscosity's critical factor (1
// outside its region) and the conductivity's critical term lambda2.
struct TWaterTransport {
  Extended viscosity = 0, conductivity = 0;
  Extended viscosityFactor = 1, lambda2 = 0;
};
TWaterTransport WaterTransportProperties(Extended T, Extended rho);

// The specific gas constant of the formulation, kJ/kg-K, used by the
// analytic specific heats and the transport properties (the constant set's
// GasConstant/MolarMassValue is 3.4e-6 higher).
inline constexpr Extended kWaterR = 0.46151805L;

class TWaterIapws95Eos final : public TGeneralEosSubstance {
 public:
  // cv of the last successful specific-heat evaluation, in the document's unit.
  Extended WaterCvCache = 0;

  Extended Alpha0(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // kPa from the IAPWS vapour-pressure equation; X is ignored.
  Extended SatPressure(Extended T, Extended X) override;
  // Newton iteration on the vapour-pressure equation; error 210 after 200
  // evaluations.
  Extended SatTemperature(Extended P, Extended X) override;
  // The IAPWS saturated-density equations, not refined.
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;

  // cp and cv from the second derivatives; -999 with error 214 for a
  // two-phase state.
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  // The analytic cv also for the speed of sound.
  Extended CvByDifference(TPropertyArgumentRecord& a) override;
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended SurfaceTension(TPropertyArgumentRecord& a) override;

 private:
  Extended Transport(TPropertyArgumentRecord& a, bool viscosity);
};

// The constructor the substance factory calls.
TGeneralEosSubstance* CreateEosWater();

}  // namespace voq
