#pragma once
// The second group of high-accuracy fluids: neon, xenon, isopentane,
// ethylene, propylene, RC318, methanol, n-pentane, hydrogen, carbon
// monoxide, n-hexane, R23, R123, R125, n-butane, isobutane and propane.
//
// One object class per transport variant (none, the general family A, the
// refrigerant family B) holds a fluid's model: its ideal part, its residual
// part and its three saturation ancillaries, each a function of the fluid.
// A part that is not in this build yet is a null function: the object then
// answers that slot with error 215, and its constructor leaves the reference
// offsets alone (they need the whole model), so that the substance factory
// keeps such a fluid's catalogue row on its placeholder.
#include <array>
#include <optional>

#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_table_sums.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// alpha0 = ln delta + a1 + a2 tau + a3 ln tau + ..., or one of the forms
// below, as a function of the object's constants.
using TIdealFunction = Extended (*)(const TGeneralEosSubstance& o, Extended tau, Extended delta);
// A residual part with its own switches (xenon): value or one first
// derivative.
using TResidualFunction = Extended (*)(THelmholtzPart part, Extended tau, Extended delta);
// The same residual part to second order in one pass, tau's powers kept in
// the object's cache.
using TResidualSecondOrderFunction = TResidualDerivatives (*)(TTauPowerCache& powers, Extended tau, Extended delta);
// Its aDelta alone, to the same bits.
using TResidualDeltaFunction = Extended (*)(TTauPowerCache& powers, Extended tau, Extended delta);
// kPa, from the temperature (K).
using TSatPressureFunction = Extended (*)(TGeneralEosSubstance& o, Extended T);
// kg/m3, from the temperature (K), refined or not as the fluid's ancillary is.
using TSatDensityFunction = Extended (*)(TGeneralEosSubstance& o, Extended T);
// A transport slot of a fluid's own (methanol's viscosity), in the
// document's units.
using TTransportSlotFunction = Extended (*)(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);

struct TSecondGroupModel {
  TIdealFunction alpha0 = nullptr;
  // Null: the central difference NumericAlpha0Tau.
  TIdealFunction alpha0Tau = nullptr;
  // A plain table of polynomial and exponential terms ...
  const TResidualPart* residual = nullptr;
  // ... whose derivative slots are central differences (n-pentane; also
  // for a residual function: the Bender and MBWR fluids but isopentane and
  // R123) ...
  bool numericResidualDerivatives = false;
  // ... or a residual function of its own.
  TResidualFunction residualFunction = nullptr;
  TSatPressureFunction satPressure = nullptr;
  TSatDensityFunction satLiquidDensity = nullptr;
  TSatDensityFunction satVaporDensity = nullptr;
  // d2(alpha0)/d(tau)2; null: central differences of Alpha0Tau.
  TIdealFunction alpha0TauTau = nullptr;
  // The residual function to second order (with residualFunction).
  TResidualSecondOrderFunction residualSecondOrder = nullptr;
  TResidualDeltaFunction residualDelta = nullptr;
  // Null: the transport variant's own slots.
  TTransportSlotFunction viscosity = nullptr;
  TTransportSlotFunction conductivity = nullptr;

  bool HasResidualPart() const { return residual != nullptr || residualFunction != nullptr; }
  bool Complete() const {
    return alpha0 != nullptr && HasResidualPart() && satPressure != nullptr && satLiquidDensity != nullptr &&
           satVaporDensity != nullptr;
  }
};

// The model slots of a second-group fluid on top of its transport variant
// (TGeneralEosSubstance: no transport family; TGeneralEosFamilyA;
// TGeneralEosFamilyB).
template <class Variant>
class TSecondGroupEos final : public Variant {
 public:
  explicit TSecondGroupEos(const TSecondGroupModel& model) : model_(model) {
    if (model.residual != nullptr && TResidualTableSums::Covers(*model.residual)) tableSums_.emplace(*model.residual);
  }
  const TSecondGroupModel& Model() const { return model_; }

  Extended Alpha0(Extended tau, Extended delta) override {
    return model_.alpha0 != nullptr ? model_.alpha0(*this, tau, delta) : this->NotAvailable("Alpha0");
  }
  Extended Alpha0Tau(Extended tau, Extended delta) override {
    if (model_.alpha0 == nullptr) return this->NotAvailable("Alpha0Tau");
    return model_.alpha0Tau != nullptr ? model_.alpha0Tau(*this, tau, delta) : this->NumericAlpha0Tau(tau, delta);
  }
  Extended AlphaR(Extended tau, Extended delta) override {
    if (tableSums_) return tableSums_->Value(tau, delta);
    return Residual(THelmholtzPart::kValue, tau, delta);
  }
  Extended AlphaRDelta(Extended tau, Extended delta) override {
    if (model_.numericResidualDerivatives && HasResidual()) return this->NumericAlphaRDelta(tau, delta);
    return Residual(THelmholtzPart::kDDelta, tau, delta);
  }
  Extended AlphaRTau(Extended tau, Extended delta) override {
    if (model_.numericResidualDerivatives && HasResidual()) return this->NumericAlphaRTau(tau, delta);
    return Residual(THelmholtzPart::kDTau, tau, delta);
  }
  Extended SatPressure(Extended T, Extended) override {
    return model_.satPressure != nullptr ? model_.satPressure(*this, T) : this->NotAvailable("SatPressure");
  }
  Extended SatLiquidDensity(Extended T) override {
    if (model_.satLiquidDensity == nullptr) return this->NotAvailable("SatLiquidDensity");
    return Kept(liquid_, T, model_.satLiquidDensity);
  }
  Extended Viscosity(TPropertyArgumentRecord& a) override {
    return model_.viscosity != nullptr ? model_.viscosity(*this, a) : Variant::Viscosity(a);
  }
  Extended Conductivity(TPropertyArgumentRecord& a) override {
    return model_.conductivity != nullptr ? model_.conductivity(*this, a) : Variant::Conductivity(a);
  }
  Extended SatVaporDensity(Extended T) override {
    if (model_.satVaporDensity == nullptr) return this->NotAvailable("SatVaporDensity");
    return Kept(vapor_, T, model_.satVaporDensity);
  }

  // Everything at one point in one pass, in 10-byte reals: Alpha0 and
  // Alpha0Tau from their slots; the residual part's value and first
  // derivatives bit for bit as its slots give them (n-pentane's first
  // derivatives are its slots' central differences of AlphaR, taken here
  // too), the second derivatives analytic, and so is alpha0's where the
  // model gives it. A model without a one-pass residual keeps the shared
  // default.
  TEosDerivatives Derivatives(Extended tau, Extended delta) override {
    if (!OnePass()) return Variant::Derivatives(tau, delta);
    TEosDerivatives r;
    r.a0 = Alpha0(tau, delta);
    r.a0Tau = Alpha0Tau(tau, delta);
    if (model_.alpha0TauTau != nullptr) {
      r.a0TauTau = model_.alpha0TauTau(*this, tau, delta);
    } else {
      const Extended ht = 1e-5L * tau;
      r.a0TauTau = (Alpha0Tau(tau + ht, delta) - Alpha0Tau(tau - ht, delta)) / (2 * ht);
    }
    const TResidualDerivatives d =
        tableSums_ ? tableSums_->Evaluate(tau, delta) : model_.residualSecondOrder(tauPowers_, tau, delta);
    r.aR = d.a;
    r.aRDelta = d.aDelta;
    r.aRTau = d.aTau;
    r.aRDeltaDelta = d.aDeltaDelta;
    r.aRTauTau = d.aTauTau;
    r.aRDeltaTau = d.aDeltaTau;
    if (tableSums_ && model_.numericResidualDerivatives) {
      r.aRDelta = this->NumericAlphaRDelta(tau, delta);
      r.aRTau = this->NumericAlphaRTau(tau, delta);
    }
    return r;
  }
  // The residual's aDelta of Derivatives alone: no ideal part, no tau
  // derivative, no second derivative.
  Extended HelmholtzAlphaRDelta(Extended tau, Extended delta) override {
    if (!OnePass()) return Variant::HelmholtzAlphaRDelta(tau, delta);
    if (tableSums_) {
      return model_.numericResidualDerivatives ? this->NumericAlphaRDelta(tau, delta)
                                               : tableSums_->DeltaDerivative(tau, delta);
    }
    if (model_.residualDelta != nullptr) return model_.residualDelta(tauPowers_, tau, delta);
    return Variant::HelmholtzAlphaRDelta(tau, delta);
  }

 private:
  bool OnePass() const {
    return model_.alpha0 != nullptr && (tableSums_ || model_.residualSecondOrder != nullptr);
  }
  // The last saturated density of each side: one solve asks for the same
  // temperature's more than once (the start of the density search, then
  // the phase tests of the state found), and each is a refinement on the
  // equation of state, a pure function of T and the constants it reads.
  struct TKeptDensity {
    bool valid = false;
    Extended T = 0, tCrit = 0, pCrit = 0, vCrit = 0, gasConstant = 0, molarMass = 0;
    Extended value = 0;
  };
  Extended Kept(TKeptDensity& kept, Extended T, TSatDensityFunction density) {
    if (kept.valid && kept.T == T && kept.tCrit == this->TCrit && kept.pCrit == this->PCrit &&
        kept.vCrit == this->VCrit && kept.gasConstant == this->GasConstant && kept.molarMass == this->MolarMassValue) {
      return kept.value;
    }
    const Extended value = density(*this, T);
    kept = {true, T, this->TCrit, this->PCrit, this->VCrit, this->GasConstant, this->MolarMassValue, value};
    return value;
  }
  bool HasResidual() const { return model_.HasResidualPart(); }
  Extended Residual(THelmholtzPart part, Extended tau, Extended delta) {
    if (model_.residual != nullptr) return SumResidualPart(*model_.residual, part, tau, delta);
    if (model_.residualFunction != nullptr) return model_.residualFunction(part, tau, delta);
    return this->NotAvailable("AlphaR");
  }
  const TSecondGroupModel& model_;
  // The plain tables' one-pass sums, or the cache of a residual function's
  // powers of tau.
  std::optional<TResidualTableSums> tableSums_;
  TTauPowerCache tauPowers_;
  TKeptDensity liquid_, vapor_;
};

using TSecondGroupShortEos = TSecondGroupEos<TGeneralEosSubstance>;
using TSecondGroupFamilyAEos = TSecondGroupEos<TGeneralEosFamilyA>;
using TSecondGroupFamilyBEos = TSecondGroupEos<TGeneralEosFamilyB>;

// ---- Ideal parts ----------------------------------------------------------

// The ideal part from an ideal-gas heat capacity integrated from a reference
// point (T0, P0) with enthalpy h0 and entropy s0 there. The heat capacity
// is sum c_k T^k (T basis) or sum c_k tau^k (tau basis), k = 0..4; factor
// multiplies its integrals (M/Rbar for c_k in kJ/kg-K, 1 for c_k = cp0/Rbar)
// and referenceFactor multiplies h0 and s0 (1/Rbar per kmol, M/Rbar per kg).
struct TCp0IntegralIdealPart {
  bool tauBasis = false;
  std::array<Extended, 5> c{};
  bool molarFactor = true;  // factor M/Rbar, else 1
  Extended T0 = 0, P0 = 0, h0 = 0, s0 = 0;
  // 0: h0 and s0 per kmol (1/Rbar), 1: per kg (M/Rbar).
  int32_t referencePerKg = 0;
};

// alpha0 of a TCp0IntegralIdealPart:
//   T basis:   ln(delta T/(delta0 T0)) + G h0/T - G s0 - 1 + F H(T)/T - F S(T),
//   tau basis: ln(delta tau0/(delta0 tau)) + G h0 tau/TCrit - G s0 - 1 - F tau A(tau) + F B(tau),
// delta0 = P0 M VCrit/(Rbar T0) the reduced ideal-gas density at (T0, P0);
// H and S the integrals of cp0 and cp0/T from T0 to T, A and B those of
// cp0/tau^2 and cp0/tau from tau0 to tau.
Extended Cp0IntegralIdealPart(const TCp0IntegralIdealPart& p, const TGeneralEosSubstance& o, Extended tau,
                              Extended delta);

// d2(alpha0)/d(tau)2 of the same part: (1 - cp0/R)/tau^2.
Extended Cp0IntegralAlpha0TauTau(const TCp0IntegralIdealPart& p, const TGeneralEosSubstance& o, Extended tau);

// ---- Constructors ---------------------------------------------------------

// Each writes the fluid's constant set and transport block, binds its model
// and, when the model is complete, sets the reference offsets of its
// catalogue row. "R600" and "R290" are n-butane and propane: their objects
// carry the n-Butane and Propane rows (the factory keeps the called-for
// code in SubstanceCode).
TGeneralEosSubstance* CreateEosNeon();
TGeneralEosSubstance* CreateEosXenon();
TGeneralEosSubstance* CreateEosIsopentane();
TGeneralEosSubstance* CreateEosEthylene();
TGeneralEosSubstance* CreateEosPropylene();
TGeneralEosSubstance* CreateEosRC318();
TGeneralEosSubstance* CreateEosMethanol();
TGeneralEosSubstance* CreateEosPentane();
TGeneralEosSubstance* CreateEosHydrogen();
TGeneralEosSubstance* CreateEosCarbonMonoxide();
TGeneralEosSubstance* CreateEosHexane();
TGeneralEosSubstance* CreateEosR23();
TGeneralEosSubstance* CreateEosR123();
TGeneralEosSubstance* CreateEosR125();
TGeneralEosSubstance* CreateEosButane();
TGeneralEosSubstance* CreateEosIsobutane();
TGeneralEosSubstance* CreateEosPropane();

// Whether a second-group object carries its whole model (the factory gives
// out only those).
bool SecondGroupModelComplete(const TGeneralEosSubstance& o);

}  // namespace voq
