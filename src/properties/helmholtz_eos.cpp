#include "properties/helmholtz_eos.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kX = 7;

TFluidCatalogRecord* RowOf(const TGeneralEosSubstance& o) {
  if (o.CatalogRow < 0 || o.CatalogRow >= static_cast<int32_t>(SubstanceCatalog.size())) return nullptr;
  return &SubstanceCatalog[static_cast<size_t>(o.CatalogRow)];
}

// (f(x*up) - f(x*down)) / (x*up - x*down)
template <typename F>
Extended CentralDifference(Extended x, Extended up, Extended down, F f) {
  const Extended hi = x * up;
  const Extended lo = x * down;
  return (f(hi) - f(lo)) / (hi - lo);
}

}  // namespace

Extended TGeneralEosSubstance::NotAvailable(const char* property) {
  if (SuppressWarnings) return 1;
  SetCalcError(kMsgSubstanceDataUnavailable, property);
  MessageHelpContext = HelpContext;
  return ErrorResultValue;
}

Extended TGeneralEosSubstance::NumericAlphaRDelta(Extended tau, Extended delta) {
  return CentralDifference(delta, 1.001L, 0.999L, [&](Extended d) { return AlphaR(tau, d); });
}

Extended TGeneralEosSubstance::NumericAlpha0Tau(Extended tau, Extended delta) {
  return CentralDifference(tau, 1.0001L, 0.9999L, [&](Extended t) { return Alpha0(t, delta); });
}

Extended TGeneralEosSubstance::NumericAlphaRTau(Extended tau, Extended delta) {
  return CentralDifference(tau, 1.001L, 0.999L, [&](Extended t) { return AlphaR(t, delta); });
}

TEosDerivatives TGeneralEosSubstance::Derivatives(Extended tau, Extended delta) {
  TEosDerivatives r;
  r.a0 = Alpha0(tau, delta);
  r.a0Tau = Alpha0Tau(tau, delta);
  r.aR = AlphaR(tau, delta);
  r.aRDelta = AlphaRDelta(tau, delta);
  r.aRTau = AlphaRTau(tau, delta);
  const Extended ht = 1e-5L * tau;
  const Extended hd = 1e-5L * delta;
  r.a0TauTau = (Alpha0Tau(tau + ht, delta) - Alpha0Tau(tau - ht, delta)) / (2 * ht);
  r.aRTauTau = (AlphaRTau(tau + ht, delta) - AlphaRTau(tau - ht, delta)) / (2 * ht);
  r.aRDeltaDelta = (AlphaRDelta(tau, delta + hd) - AlphaRDelta(tau, delta - hd)) / (2 * hd);
  r.aRDeltaTau = (AlphaRTau(tau, delta + hd) - AlphaRTau(tau, delta - hd)) / (2 * hd);
  return r;
}

Extended TGeneralEosSubstance::SatTemperature(Extended P, Extended X) { return SharedSatTemperature(*this, P, X); }

// ---- Constant slots ----------------------------------------------------------

Extended TGeneralEosSubstance::T_crit() {
  UnitConversionEnabled = true;
  Extended value = TCrit;
  PropertyFromInternalUnits(kT, value);
  return value;
}

Extended TGeneralEosSubstance::P_crit() {
  Extended value = PCrit;
  PropertyFromInternalUnits(kP, value);
  return value;
}

Extended TGeneralEosSubstance::v_crit() {
  Extended value = VCrit;
  PropertyFromInternalUnits(6, value);
  if (DocumentSettings.MolarBasis != 0) value *= MolarMassValue;
  return value;
}

Extended TGeneralEosSubstance::AcentricFactor() {
  const Extended omega = -1 - Log10Real(SatPressure(0.7L * TCrit, 0) / PCrit);
  return omega < 0 ? 0 : omega;
}

// ---- State slots ----------------------------------------------------------------

Extended TGeneralEosSubstance::StateSlot(int32_t kind, TPropertyArgumentRecord& a) {
  SkipRangeCheck = 0;
  SolveEosState(*this, ArgCount, kind, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  return EosStateCache[static_cast<size_t>(kind)];
}

Extended TGeneralEosSubstance::Temperature(TPropertyArgumentRecord& a) { return StateSlot(1, a); }
Extended TGeneralEosSubstance::Pressure(TPropertyArgumentRecord& a) { return StateSlot(2, a); }
Extended TGeneralEosSubstance::Enthalpy(TPropertyArgumentRecord& a) { return StateSlot(3, a); }
Extended TGeneralEosSubstance::IntEnergy(TPropertyArgumentRecord& a) { return StateSlot(4, a); }
Extended TGeneralEosSubstance::Entropy(TPropertyArgumentRecord& a) { return StateSlot(5, a); }
Extended TGeneralEosSubstance::Volume(TPropertyArgumentRecord& a) { return StateSlot(6, a); }
Extended TGeneralEosSubstance::Quality(TPropertyArgumentRecord& a) { return StateSlot(7, a); }

// ---- Caloric properties -------------------------------------------------------

TEosEnergies EnergiesFromHelmholtz(TGeneralEosSubstance& o, Extended tau, Extended delta, Extended T, Extended P) {
  const Extended R = o.R();
  const TEosDerivatives& a = o.Helmholtz(tau, delta);
  TEosEnergies e;
  e.u = (a.a0Tau + a.aRTau) * tau * R * T;
  e.h = e.u + P * o.VCrit / delta;
  e.s = (e.u - (a.a0 + a.aR) * R * T) / T;
  return e;
}

// ---- Reference state ------------------------------------------------------------

void InitGeneralEos(TGeneralEosSubstance& o) {
  TFluidCatalogRecord* row = RowOf(o);
  const TDocumentSettingsRecord savedSettings = DocumentSettings;
  const bool savedConversion = UnitConversionEnabled;
  EosStateCache[10] = 999;
  // The offsets are recomputed: no state kept with the old ones may serve.
  ClearKeptEosStates();
  if (row == nullptr) return;
  row->RefEnthalpyOffset = 0;
  row->RefEntropyOffset = 0;

  struct TOption {
    const char* word;
    bool applies;
    int32_t kind;  // of the reference value: 1 T or 2 P
    Extended value;
    Extended h, s;
  };
  TOption option{"", false, kT, 0, 0, 0};
  switch (row->ReferenceState) {
    case 0: option = {"", row->Name == "R134a", kT, 233.15L, 0, 0}; break;
    case 1: option = {"NBP", o.PCrit > 101.3L, kP, 101.325L, 0, 0}; break;
    case 2: option = {"ASH", o.TCrit > 233.15L, kT, 233.15L, 0, 0}; break;
    case 3: option = {"IIR", o.TCrit > 273.15L, kT, 273.15L, 200, 1}; break;
    default: break;
  }
  const bool isDefault = row->ReferenceState == 0;
  if (option.applies) {
    // The slots are asked in SI units per unit mass with energies in kJ, so
    // that what they return is the offset in the units the state solver
    // applies it in, whatever the document's unit system or basis.
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    UnitConversionEnabled = true;
    o.ArgCount = 2;
    o.ArgKind[1] = option.kind;
    o.ArgKind[2] = kX;
    TPropertyArgumentRecord a;
    a.Value[1] = option.value;
    a.Value[2] = 0;
    CalcErrorCode = 0;
    const Extended h = o.Enthalpy(a);
    const bool hSolved = CalcErrorCode <= 0;
    const Extended s = hSolved ? o.Entropy(a) : 0;
    if (hSolved && CalcErrorCode <= 0) {
      row->RefEnthalpyOffset = h - option.h;
      row->RefEntropyOffset = s - option.s;
    } else {
      // A slot error is never taken for an offset: the option has failed.
      option.applies = false;
    }
  }
  if (!option.applies && !isDefault) {
    SetMessageArg(1, row->Name.substr(0, 120));
    SetMessageArg(2, option.word);
    CalcErrorCode = kMsgReferenceNotValid;
  } else if (!option.applies && isDefault && row->Name == "R134a") {
    SetMessageArg(1, row->Name.substr(0, 120));
    SetMessageArg(2, "DFT");
    CalcErrorCode = kMsgReferenceNotValid;
  }
  EosStateCache[10] = 999;
  ClearKeptEosStates();
  DocumentSettings = savedSettings;
  UnitConversionEnabled = savedConversion;
}

}  // namespace voq
