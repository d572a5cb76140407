#pragma once
// Argon by its reference equation of state (catalogue name "Argon"): the
// reduced Helmholtz energy, the ancillary saturation equations, and the
// viscosity and conductivity correlations of the fluid (a dilute-gas series
// in powers of T^(1/3) with a rational density correction).
#include <array>

#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_evaluator.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// Coefficients (helmholtz_argon_data.cpp).
extern const TIdealGasPart ArgonIdealGasPart;
extern const TResidualPart ArgonResidualPart;

// One transport correlation: the dilute part G(T) = sum g[k+3] T^(k/3),
// k = -3..5, and the density coefficients v0..v12 of
// B1 = v0 + v1/T, B2 = v2 + v3/T + v4/T^2, B3 = v5 + v6/T + v7/T^2,
// B4 = v8 + v9/T + v10/T^2, C = v11 + v12/T (rho in kmol/m3).
struct TArgonTransportSet {
  std::array<Extended, 9> g;
  std::array<Extended, 13> v;
};
extern const TArgonTransportSet ArgonViscositySet;     // micro-Pa-s
extern const TArgonTransportSet ArgonConductivitySet;  // mW/m-K

// (G(T) + sum B_i rho^i/(1 + C rho)) in the set's own unit, T in K and rho
// the molar density in kmol/m3.
Extended ArgonTransportSum(const TArgonTransportSet& set, Extended T, Extended rhoMolar);

class TArgonEos final : public TGeneralEosSubstance {
 public:
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // -999 with the state solver's error, or 214 for a two-phase state.
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;

 private:
  Extended TransportSlot(TPropertyArgumentRecord& a, const char* property, bool viscosity);
};

TGeneralEosSubstance* CreateEosArgon();

}  // namespace voq
