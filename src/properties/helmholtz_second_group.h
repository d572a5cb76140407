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

#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// alpha0 = ln delta + a1 + a2 tau + a3 ln tau + ..., or one of the forms
// below, as a function of the object's constants.
using TIdealFunction = Extended (*)(const TGeneralEosSubstance& o, Extended tau, Extended delta);
// A residual part with its own switches (xenon): value or one first
// derivative.
using TResidualFunction = Extended (*)(THelmholtzPart part, Extended tau, Extended delta);
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
  explicit TSecondGroupEos(const TSecondGroupModel& model) : model_(model) {}
  const TSecondGroupModel& Model() const { return model_; }

  Extended Alpha0(Extended tau, Extended delta) override {
    return model_.alpha0 != nullptr ? model_.alpha0(*this, tau, delta) : this->NotAvailable("Alpha0");
  }
  Extended Alpha0Tau(Extended tau, Extended delta) override {
    if (model_.alpha0 == nullptr) return this->NotAvailable("Alpha0Tau");
    return model_.alpha0Tau != nullptr ? model_.alpha0Tau(*this, tau, delta) : this->NumericAlpha0Tau(tau, delta);
  }
  Extended AlphaR(Extended tau, Extended delta) override { return Residual(THelmholtzPart::kValue, tau, delta); }
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
    return model_.satLiquidDensity != nullptr ? model_.satLiquidDensity(*this, T)
                                              : this->NotAvailable("SatLiquidDensity");
  }
  Extended Viscosity(TPropertyArgumentRecord& a) override {
    return model_.viscosity != nullptr ? model_.viscosity(*this, a) : Variant::Viscosity(a);
  }
  Extended Conductivity(TPropertyArgumentRecord& a) override {
    return model_.conductivity != nullptr ? model_.conductivity(*this, a) : Variant::Conductivity(a);
  }
  Extended SatVaporDensity(Extended T) override {
    return model_.satVaporDensity != nullptr ? model_.satVaporDensity(*this, T)
                                             : this->NotAvailable("SatVaporDensity");
  }

 private:
  bool HasResidual() const { return model_.HasResidualPart(); }
  Extended Residual(THelmholtzPart part, Extended tau, Extended delta) {
    if (model_.residual != nullptr) return SumResidualPart(*model_.residual, part, tau, delta);
    if (model_.residualFunction != nullptr) return model_.residualFunction(part, tau, delta);
    return this->NotAvailable("AlphaR");
  }
  const TSecondGroupModel& model_;
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
