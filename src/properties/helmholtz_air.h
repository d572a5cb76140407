#pragma once
// Dry air as a pseudo-pure fluid (catalogue name "Air_ha"): a Helmholtz
// equation reduced by the maximum-condentherm point, separate bubble and dew
// pressure ancillaries, saturation pressure interpolated between them by the
// side X, and critical-point slots that report the true critical point rather
// than the reducing one.
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// Coefficients (helmholtz_air_data.cpp).
extern const TIdealGasPart AirIdealGasPart;
extern const TResidualPart AirResidualPart;

class TAirEos final : public TGeneralEosFamilyA {
 public:
  Extended Alpha0(Extended tau, Extended delta) override;
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended Alpha0Tau(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  Extended SatPressure(Extended T, Extended X) override;
  Extended BubblePressure(Extended T) override;
  Extended DewPressure(Extended T) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
  // The true critical point, not the reducing one.
  Extended T_crit() override;
  Extended P_crit() override;
  Extended v_crit() override;
};

// The constructor the substance factory calls: the constant set, then the
// reference state of the catalogue row (error 674 when the row's option
// does not apply to air).
TGeneralEosSubstance* CreateEosAir();

}  // namespace voq
