#pragma once
// Oxygen by its high-accuracy equation of state (catalogue name "Oxygen"):
// analytic Helmholtz functions, ancillary saturation equations and the
// general transport family's constants.
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// Coefficients (helmholtz_oxygen_data.cpp).
extern const TIdealGasPart OxygenIdealGasPart;
extern const TResidualPart OxygenResidualPart;

class TOxygenEos final : public TGeneralEosFamilyA {
 public:
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

// The constructor the substance factory calls: the constant set, then the
// reference state of the catalogue row (error 674 when the row's option
// does not apply to oxygen).
TGeneralEosSubstance* CreateEosOxygen();

}  // namespace voq
