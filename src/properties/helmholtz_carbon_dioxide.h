#pragma once
// Carbon dioxide by its reference equation of state (catalogue names
// "CarbonDioxide" and "R744", one model): the reduced Helmholtz energy with
// its Gaussian and non-analytic critical-region terms, the ancillary
// saturation equations, a viscosity that blends dilute-gas, excess and
// liquid free-volume forms by logistic switches, and a conductivity with a
// critical enhancement from finite differences of solved states.
#include <array>
#include <cstdint>

#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_evaluator.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// Coefficients (helmholtz_carbon_dioxide_data.cpp).
extern const TIdealGasPart CarbonDioxideIdealGasPart;
extern const TResidualPart CarbonDioxideResidualPart;
// Viscosity: dilute gas a0..a4 in ln(T/251.196), excess h1..h7 in rho.
extern const std::array<Extended, 5> CarbonDioxideViscosityA;
extern const std::array<Extended, 7> CarbonDioxideViscosityH;
// Conductivity: internal heat capacity c1..c5, collision integral b0..b7,
// excess g1..g4.
extern const std::array<Extended, 5> CarbonDioxideConductivityC;
extern const std::array<Extended, 8> CarbonDioxideConductivityB;
extern const std::array<Extended, 4> CarbonDioxideConductivityG;

// The correlations in internal units, without messages: viscosity in
// micro-Pa-s at T (K) and rho (kg/m3); the conductivity's dilute and
// excess parts in mW/m-K.
Extended CarbonDioxideViscosityMicro(Extended T, Extended rho);
Extended CarbonDioxideDiluteConductivity(Extended T);
Extended CarbonDioxideExcessConductivity(Extended rho);
// The critical enhancement in mW/m-K from the bracket of the susceptibility
// difference dchi (already reduced), the density, T, cp and cv (kJ/kg-K).
Extended CarbonDioxideCriticalConductivity(Extended dchi, Extended T, Extended rho, Extended cp, Extended cv);

class TCarbonDioxideEos final : public TGeneralEosSubstance {
 public:
  // The residual part by kind: 0 the value, 1 d/d(tau), 2 d/d(delta); any
  // other kind 0.
  Extended AlphaRPart(int32_t kind, Extended tau, Extended delta);
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override { return AlphaRPart(0, tau, delta); }
  Extended AlphaRTau(Extended tau, Extended delta) override { return AlphaRPart(1, tau, delta); }
  Extended AlphaRDelta(Extended tau, Extended delta) override { return AlphaRPart(2, tau, delta); }
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // -999 with the solver's error, 214 (two-phase), 137 (T outside 200 to
  // 1500 K) or 140 (P above 100 MPa).
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  // As Viscosity, T from 200 to 1000 K. The neighbour solves of the
  // critical part leave EosStateCache at the last of them.
  Extended Conductivity(TPropertyArgumentRecord& a) override;

 private:
  struct TNeighbour {
    Extended T = 0, P = 0, rho = 0, h = 0, u = 0, x = 0;
    bool ok = false;
  };
  // One state of this object from two internal-unit arguments (kinds 1 T,
  // 2 P, 6 v), solved through the state solver in the document's units.
  TNeighbour Neighbour(int32_t kind1, Extended value1, int32_t kind2, Extended value2);
  // (d rho/d P)_T at T' and P' (MPa) in (kg/m3)/MPa.
  Extended Chi(Extended pMPa, Extended T);
  Extended SpecHeatP(Extended T, Extended P, Extended rho);
  Extended SpecHeatV(Extended T, Extended rho);
};

TGeneralEosSubstance* CreateEosCarbonDioxide();

}  // namespace voq
