#pragma once
// n-Butane, isobutane and propane: one object class whose slots read the
// equation data held in the object itself. Each fluid's modified
// Benedict-Webb-Rubin (MBWR) equation of 32 terms is recast as 37 reduced
// Helmholtz terms (3 damped, 19 polynomial and 15 exp(-delta^2) terms over
// exponents shared by the three), with an ideal part of power, ln tau,
// tau ln tau and Planck-Einstein terms and saturation ancillaries anchored
// at the triple point. The object also carries the parameters of the
// fluids' viscosity and thermal-conductivity correlations.
#include <array>
#include <cstdint>

#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// The fields of a transport-family-C object after PMax, in object order.
// Units: K, MPa, mol/L, nm. Methane and ethane write the triple-point
// values and the transport constants only; the ancillary and equation
// fields are those of the in-object fluids.
struct TFamilyCFields {
  Extended TripleTemperature = 0;   // Tt, K
  Extended TriplePressure = 0;      // Pt, MPa
  Extended TripleLiquidDensity = 0; // rho'(Tt), mol/L
  Extended TripleVaporDensity = 0;  // rho''(Tt), mol/L
  Extended CollisionDiameter = 0;   // sigma, nm
  Extended EnergyParameter = 0;     // epsilon/k, K
  Extended DiluteViscosityFactor = 0;
  Extended VaporDensityExponent = 0;  // beta'' of the vapour-density ancillary
  std::array<Extended, 5> VaporPressureCoef{};  // A1..A5
  Extended VaporPressureExponent = 0;           // epsilon'
  std::array<Extended, 6> VaporDensityCoef{};   // V1..V6
  std::array<Extended, 7> LiquidDensityCoef{};  // L1..L7
  std::array<Extended, 4> FirstDensityViscosityCoef{};  // B1..B4
  // j1, j4, j2, j3, j5, j6, j7, in this order.
  std::array<Extended, 7> DenseViscosityCoef{};
  std::array<Extended, 10> ConductivityCoef{};
  // cp0/Rbar = sum_(i=1..7) G_i T^(i-4) + G8 u^2 e^u/(e^u - 1)^2, u = G9/T.
  std::array<Extended, 9> Cp0Coef{};
  // a1, a2 (tau), a3 (ln tau), a4 (tau ln tau - tau), a5 (Planck-Einstein).
  std::array<Extended, 5> Alpha0Coef{};
  std::array<Extended, 5> Alpha0PowerCoef{};  // b1..b5
  Extended Alpha0Theta = 0;
  std::array<Extended, 5> Alpha0PowerExp{};  // p1..p5
  std::array<Extended, 37> AlphaRCoef{};
  std::array<Extended, 37> AlphaRTauExp{};
  std::array<int32_t, 37> AlphaRDeltaExp{};
};

// An object of transport family C: n-butane, isobutane, propane, methane
// and ethane. Viscosity is a dilute-gas term, a first-density correction
// and a dense-fluid term; conductivity a modified Eucken dilute-gas term
// plus a rational function of the molar density
// (helmholtz_family_c_transport.cpp). Inside: T in K, rho in mol/L,
// viscosity in uPa-s, conductivity in W/m-K, cp0 in kJ/kmol-K.
class TGeneralEosFamilyC : public TGeneralEosSubstance, public TFamilyCFields {
 public:
  Extended Viscosity(TPropertyArgumentRecord& a) override { return ViscosityC(a); }
  Extended Conductivity(TPropertyArgumentRecord& a) override { return ConductivityC(a); }
  // The slots: error 214 for two-phase states, the state solver's errors.
  Extended ViscosityC(TPropertyArgumentRecord& a);
  Extended ConductivityC(TPropertyArgumentRecord& a);

  // Pa-s and W/m-K at T (K) and the molar density (mol/L).
  Extended ViscosityAt(Extended T, Extended rho) const;
  Extended ConductivityAt(Extended T, Extended rho) const;

  // Omega = 1/sum_(i=1..9) c_i x^((4-i)/3), x = (epsilon/k)/T.
  static Extended CollisionIntegral(Extended x);
  // F sqrt(T)/(sigma^2 Omega), uPa-s
  Extended DiluteGasViscosityC(Extended T) const;
  // B1 + B2 (B3 - ln(T/B4))^2, uPa-s per mol/L
  Extended FirstDensityViscosity(Extended T) const;
  // exp(E + rho^0.1 (j2 + j3/T^1.5) + theta rho^0.5 (j5 + j6/T + j7/T^2)) - exp(E),
  // E = j1 + j4/T, theta = (rho - rho_c)/rho_c; uPa-s
  Extended DenseFluidViscosity(Extended T, Extended rho) const;
  // Rbar (sum_(i=1..7) G_i T^(i-4) + G8 u^2 e^u/(e^u - 1)^2), u = G9/T
  Extended IdealCpC(Extended T) const;
  // eta0 0.001/M (3.75 Rbar + (cp0 - 2.5 Rbar)(K9 + K10 (epsilon/k)/T))
  Extended DiluteConductivityC(Extended T) const;
  Extended ConductivityB1C(Extended T) const;  // K1 + K2/T + K3/T^2
  Extended ConductivityB2C(Extended T) const;  // K4 + K5/T + K6/T^2
  Extended ConductivityDC(Extended T) const;   // K7 + K8/T
};

// The in-object data of one fluid laid out as term tables, for the one-pass
// evaluation (helmholtz_evaluator.h): static, so that the evaluator's plan,
// which it keeps by the tables' addresses, belongs to that fluid's data.
struct TMbwrTables {
  const TFamilyCFields* data;
  const TIdealGasPart* ideal;
  const TResidualPart* residual;
};

class TInObjectMbwrEos : public TGeneralEosFamilyC {
 public:
  // The tables of the data the constructor wrote, or null.
  const TMbwrTables* Tables = nullptr;

  // One pass over the tables while the object's equation fields are still
  // the data they were laid out from; otherwise the slots (and second
  // derivatives by differences).
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // alpha0 = ln delta + a1 + a2 tau + a3 ln tau + a4 (tau ln tau - tau)
  //          + a5 ln(1 - exp(-theta tau)) + sum b_k tau^p_k
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  // kPa; error 4 and -999 at T = 0.
  Extended SatPressure(Extended T, Extended X) override;
  // kg/m3, refined onto the equation of state; the critical density at and
  // above TCrit.
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;

  // The critical density 1/(VCrit M), mol/L.
  Extended CriticalMolarDensity() const { return 1 / (VCrit * MolarMassValue); }
  // c = (TCrit - T)/(TCrit - Tt): 1 at the triple point, 0 at TCrit.
  Extended AncillaryScale(Extended T) const { return (TCrit - T) / (TCrit - TripleTemperature); }
  // The ancillary start values before refinement, kg/m3.
  Extended LiquidDensityStart(Extended T) const;
  Extended VaporDensityStart(Extended T) const;

 private:
  Extended Residual(THelmholtzPart part, Extended tau, Extended delta) const;
};

// The published data of the three fluids (helmholtz_mbwr_fluids_data.cpp).
extern const TFamilyCFields ButaneMbwrData;
extern const TFamilyCFields IsobutaneMbwrData;
extern const TFamilyCFields PropaneMbwrData;
extern const TMbwrTables ButaneMbwrTables;
extern const TMbwrTables IsobutaneMbwrTables;
extern const TMbwrTables PropaneMbwrTables;

}  // namespace voq
