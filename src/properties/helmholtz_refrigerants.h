#pragma once
// The refrigerants R134a, R22, R32 and R152a by their high-accuracy
// equations of state (catalogue names "R134a", "R22", "R32", "R152a"):
// analytic Helmholtz functions, ancillary saturation equations and the
// refrigerant transport family's constants.
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_evaluator.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// Coefficients (helmholtz_refrigerants_data.cpp).
extern const TIdealGasPart R134aIdealGasPart;
extern const TResidualPart R134aResidualPart;
extern const TIdealGasPart R22IdealGasPart;
extern const TResidualPart R22ResidualPart;
extern const TIdealGasPart R32IdealGasPart;
extern const TResidualPart R32ResidualPart;
extern const TIdealGasPart R152aIdealGasPart;
// R152a's polynomial terms; its exponential terms have real d exponents.
extern const TResidualPart R152aResidualPart;
extern const TRealExponentialTable R152aRealExponentialTerms;

// The Helmholtz slots of a refrigerant whose terms all sit in one ideal and
// one residual part; the ancillaries are each fluid's own.
class TRefrigerantEos : public TGeneralEosFamilyB {
 public:
  TRefrigerantEos(const TIdealGasPart& ideal, const TResidualPart& residual) : ideal_(ideal), residual_(residual) {}
  Extended Alpha0(Extended tau, Extended delta) override { return IdealGasAlpha0(ideal_, tau, delta); }
  Extended Alpha0Tau(Extended tau, Extended) override { return IdealGasAlpha0Tau(ideal_, tau); }
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;

 protected:
  // Theta = 1 - T/Tref of the ancillaries.
  static Extended Theta(Extended T, Extended Tref) { return 1 - T / Tref; }
  const TIdealGasPart& ideal_;
  const TResidualPart& residual_;
};

class TR134aEos final : public TRefrigerantEos {
 public:
  TR134aEos() : TRefrigerantEos(R134aIdealGasPart, R134aResidualPart) {}
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

class TR22Eos final : public TRefrigerantEos {
 public:
  TR22Eos() : TRefrigerantEos(R22IdealGasPart, R22ResidualPart) {}
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

class TR32Eos final : public TRefrigerantEos {
 public:
  TR32Eos() : TRefrigerantEos(R32IdealGasPart, R32ResidualPart) {}
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

// R152a adds its real-d exponential terms to every residual slot.
class TR152aEos final : public TRefrigerantEos {
 public:
  TR152aEos() : TRefrigerantEos(R152aIdealGasPart, R152aResidualPart) {}
  Extended AlphaR(Extended tau, Extended delta) override;
  Extended AlphaRDelta(Extended tau, Extended delta) override;
  Extended AlphaRTau(Extended tau, Extended delta) override;
  TEosDerivatives Derivatives(Extended tau, Extended delta) override;
  Extended SatPressure(Extended T, Extended X) override;
  Extended SatLiquidDensity(Extended T) override;
  Extended SatVaporDensity(Extended T) override;
};

// The constructors the substance factory calls: the constant set and the
// transport constants, then the reference state of the catalogue row.
TGeneralEosSubstance* CreateEosR134a();
TGeneralEosSubstance* CreateEosR22();
TGeneralEosSubstance* CreateEosR32();
TGeneralEosSubstance* CreateEosR152a();

}  // namespace voq
