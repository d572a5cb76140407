#pragma once
// Methane and ethane: objects of transport family C with their own ideal
// and residual parts on static tables and their own ancillaries, which are
// not refined onto the equation of state.
#include "properties/helmholtz_mbwr_fluids.h"

namespace voq {

// Methane: U. Setzmann and W. Wagner (1991), 36 terms and 4 Gaussian
// terms, one of them with d = 0.
class TMethaneEos final : public TGeneralEosFamilyC {
 public:
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // kPa
  Extended SatPressure(Extended T, Extended X) override;
  // kg/m3; the liquid 1/VCrit at and above TCrit.
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

// Ethane: 32 terms on the exponent sets of the oxygen equation, terms 14
// to 24 with exp(-delta^2) and 25 to 32 with exp(-delta^4).
class TEthaneEos final : public TGeneralEosFamilyC {
 public:
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  // kPa, without a TCrit/T factor: PCrit at TCrit.
  Extended SatPressure(Extended T, Extended X) override;
  // kg/m3
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

TGeneralEosSubstance* CreateEosMethane();
TGeneralEosSubstance* CreateEosEthane();

extern const TIdealGasPart MethaneIdealGasPart;
extern const TResidualPart MethaneResidualPart;
extern const TIdealGasPart EthaneIdealGasPart;
extern const TResidualPart EthaneResidualPart;

}  // namespace voq
