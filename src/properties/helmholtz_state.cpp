#include "properties/helmholtz_state.h"

#include <cmath>
#include <string>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"

namespace voq {

std::array<Extended, 12> EosStateCache{};
int64_t EosSolveCount = 0;
bool EosStateReuse = false;
int64_t EosStateReuseCount = 0;

namespace {

// One kept state: its key and cache entries 1..11 after the solve.
struct TKeptEosState {
  bool used = false;
  int32_t row = 0;
  Extended option = 0;
  int32_t kind1 = 0, kind2 = 0;
  Extended value1 = 0, value2 = 0;
  TDocumentSettingsRecord settings;
  bool conversion = false;
  int32_t errorCode = 0;
  std::array<Extended, 12> state{};
};
// Two calls of one fluid in an equation, the neighbours a derived property
// solves, and a few equations' worth more.
constexpr size_t kKeptStates = 16;
std::array<TKeptEosState, kKeptStates> keptStates;
size_t nextKept = 0;

bool SameSettings(const TDocumentSettingsRecord& a, const TDocumentSettingsRecord& b) {
  return a.UnitSystem == b.UnitSystem && a.MolarBasis == b.MolarBasis &&
         a.AbsoluteTemperature == b.AbsoluteTemperature && a.PressureUnit == b.PressureUnit &&
         a.EnergyUnit == b.EnergyUnit;
}

const TKeptEosState* FindKept(int32_t row, Extended option, int32_t kind1, int32_t kind2, Extended value1,
                              Extended value2) {
  for (const TKeptEosState& k : keptStates) {
    if (k.used && k.row == row && k.option == option && k.kind1 == kind1 && k.kind2 == kind2 &&
        k.value1 == value1 && k.value2 == value2 && k.conversion == UnitConversionEnabled &&
        SameSettings(k.settings, DocumentSettings)) {
      return &k;
    }
  }
  return nullptr;
}

void Keep(int32_t row, Extended option, int32_t kind1, int32_t kind2, Extended value1, Extended value2) {
  TKeptEosState& k = keptStates[nextKept];
  nextKept = (nextKept + 1) % kKeptStates;
  k.used = true;
  k.row = row;
  k.option = option;
  k.kind1 = kind1;
  k.kind2 = kind2;
  k.value1 = value1;
  k.value2 = value2;
  k.settings = DocumentSettings;
  k.conversion = UnitConversionEnabled;
  k.errorCode = CalcErrorCode > 0 ? 0 : CalcErrorCode;
  k.state = EosStateCache;
}

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
constexpr int32_t kArgumentHelp = 129;
constexpr Extended kFailedEntry = 999;

const TFluidCatalogRecord* RowOf(const TGeneralEosSubstance& o) {
  if (o.CatalogRow < 0 || o.CatalogRow >= static_cast<int32_t>(SubstanceCatalog.size())) return nullptr;
  return &SubstanceCatalog[static_cast<size_t>(o.CatalogRow)];
}

Extended ReferenceOptionOf(const TGeneralEosSubstance& o) {
  const TFluidCatalogRecord* row = RowOf(o);
  return row != nullptr ? static_cast<Extended>(row->ReferenceState) : 0;
}

bool IsMolar() { return DocumentSettings.MolarBasis != 0; }
bool IsPerMassKind(int32_t kind) { return kind >= kH && kind <= kV; }

std::string FormatForMessage(Extended value) { return FormatValue(TDisplayFormat{kStyleAutomatic, 4}, value); }

void Dispatch(TGeneralEosSubstance& o, int32_t kind1, int32_t kind2, Extended v1, Extended v2, TEosWorkState& w) {
  ++EosSolveCount;
  // kind1 < kind2: T, P, h, u, s, v, x.
  if (kind1 == kT) {
    switch (kind2) {
      case kP: SolveStateTP(o, v1, v2, w); return;
      case kV: SolveStateTV(o, v1, v2, w); return;
      case kX: SolveStateTX(o, v1, v2, w); return;
      default: SolveStateTY(o, kind2, v1, v2, w); return;
    }
  }
  if (kind1 == kP) {
    switch (kind2) {
      case kV: SolveStatePV(o, v1, v2, w); return;
      case kX: SolveStatePX(o, v1, v2, w); return;
      default: SolveStatePY(o, kind2, v1, v2, w); return;
    }
  }
  if (kind2 == kX) {
    SolveStateQualityPair(o, kind1, v1, v2, w);
    return;
  }
  if (kind1 == kH && kind2 == kU) {
    CalcErrorCode = kMsgEnthalpyIndependent;  // they fix no state of a pure fluid
    return;
  }
  if (kind2 == kV) {
    if (kind1 == kS) {
      SolveStateSV(o, v1, v2, w);
    } else {
      SolveStateEnergyV(o, kind1, v1, v2, w);
    }
    return;
  }
  SolveStateEnergyS(o, kind1, v1, v2, w);  // h or u with s
}

bool AnyNotFinite(const TEosWorkState& w) {
  for (const Extended value : {w.T, w.P, w.v, w.u, w.h, w.s, w.x}) {
    if (!std::isfinite(value)) return true;
  }
  return false;
}

}  // namespace

void ClearKeptEosStates() {
  for (TKeptEosState& k : keptStates) k.used = false;
  nextKept = 0;
}

void ClearEosStateCache() {
  for (size_t k = 1; k <= 10; ++k) EosStateCache[k] = 0;
  ClearKeptEosStates();
}

void ResetHelmholtzState() {
  EosStateCache.fill(0);
  EosSolveCount = 0;
  EosStateReuseCount = 0;
  EosStateReuse = false;
  ClearKeptEosStates();
}

bool NearlyEqual(Extended a, Extended b) { return std::fabs(a - b) < 1e-9L; }

Extended AddReferenceOffset(const TGeneralEosSubstance& o, int32_t kind, Extended value) {
  const TFluidCatalogRecord* row = RowOf(o);
  if (row == nullptr) return value;
  if (kind == kH || kind == kU) return value + row->RefEnthalpyOffset;
  if (kind == kS) return value + row->RefEntropyOffset;
  return value;
}

Extended SubtractReferenceOffset(const TGeneralEosSubstance& o, int32_t kind, Extended value) {
  const TFluidCatalogRecord* row = RowOf(o);
  if (row == nullptr) return value;
  if (kind == kH || kind == kU) return value - row->RefEnthalpyOffset;
  if (kind == kS) return value - row->RefEntropyOffset;
  return value;
}

void CheckEosRange(TGeneralEosSubstance& o, int32_t kind, Extended value) {
  switch (kind) {
    case kT:
      if (value < o.TMin || value > o.TMax) {
        if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
        SetMessageArg(1, FormatForMessage(o.TMin) + " < T [K] < " + FormatForMessage(o.TMax));
        SetMessageArg(2, FormatForMessage(value) + " K");
        SetMessageArg(3, "");
        CalcErrorCode = kMsgTemperatureRange;
      }
      break;
    case kP:
      if (value < 1e-6L || value > o.PMax) {
        if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
        SetMessageArg(1, "0 < P [kPa] < " + FormatForMessage(o.PMax));
        CalcErrorCode = kMsgPressureRange;
      }
      break;
    case kX:
      if (value < 0 || value > 1) {
        if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
        CalcErrorCode = kMsgQualityRange;
      }
      break;
    default: break;
  }
}

void SolveEosState(TGeneralEosSubstance& o, int32_t argCount, int32_t wanted, int32_t kind1, int32_t kind2,
                   Extended value1, Extended value2) {
  const int32_t savedError = CalcErrorCode;
  CalcErrorCode = 0;
  if (argCount != 2) {
    CalcErrorCode = kind1 == 0 ? kMsgPropertyIndicator : kMsgPropertyNeedsTwoVariables;
    MessageHelpContext = kArgumentHelp;
    return;
  }
  if (kind1 == kind2) {
    CalcErrorCode = kMsgIdenticalIndependentVariables;
    return;
  }
  if (wanted == kind1 || wanted == kind2) {
    CalcErrorCode = kMsgIndependentIsDependent;
    MessageHelpContext = kArgumentHelp;
    return;
  }
  // The compiler's trial call: the kinds are checked, nothing is solved.
  if (o.SuppressWarnings) return;
  if (kind2 < kind1) {
    std::swap(kind1, kind2);
    std::swap(value1, value2);
  }
  // The moist-air indicators (and anything else outside T..x) name no
  // state of a pure fluid.
  if (kind1 < kT || kind2 > kX) {
    CalcErrorCode = kMsgCorrelationUnavailable;
    return;
  }
  const auto k1 = static_cast<size_t>(kind1);
  const auto k2 = static_cast<size_t>(kind2);
  if (!(kind1 == kT && kind2 == kP) && EosStateCache[10] == static_cast<Extended>(o.CatalogRow) &&
      NearlyEqual(value1, EosStateCache[k1]) && NearlyEqual(value2, EosStateCache[k2]) &&
      EosStateCache[11] == ReferenceOptionOf(o)) {
    CalcErrorCode = savedError;
    // Kept under the values given: the state this call was served.
    if (EosStateReuse && o.SkipRangeCheck != 1 &&
        FindKept(o.CatalogRow, EosStateCache[11], kind1, kind2, value1, value2) == nullptr) {
      Keep(o.CatalogRow, EosStateCache[11], kind1, kind2, value1, value2);
    }
    return;
  }

  const Extended givenValue1 = value1;
  const Extended givenValue2 = value2;
  const Extended M = o.MolarMassValue;
  auto toInternal = [&](int32_t kind, Extended v) {
    PropertyToInternalUnits(kind, v);
    if (IsMolar() && IsPerMassKind(kind)) v /= M;
    return AddReferenceOffset(o, kind, v);
  };
  value1 = toInternal(kind1, value1);
  value2 = toInternal(kind2, value2);

  if (o.SkipRangeCheck != 1) {
    CheckEosRange(o, kind1, value1);
    if (CalcErrorCode <= 0) CheckEosRange(o, kind2, value2);
    if (CalcErrorCode > 0) return;
  }

  const bool reuse = EosStateReuse && o.SkipRangeCheck != 1;
  if (reuse) {
    const TKeptEosState* kept = FindKept(o.CatalogRow, ReferenceOptionOf(o), kind1, kind2, givenValue1, givenValue2);
    if (kept != nullptr) {
      EosStateCache = kept->state;
      CalcErrorCode = kept->errorCode;
      ++EosStateReuseCount;
      return;
    }
  }

  TEosWorkState w;
  Dispatch(o, kind1, kind2, value1, value2, w);
  // A NaN or an infinity from an ancillary outside its range is never a result.
  if (CalcErrorCode <= 0 && AnyNotFinite(w)) CalcErrorCode = kMsgPropertyNoConvergence;
  if (CalcErrorCode > 0) {
    EosStateCache.fill(kFailedEntry);
    return;
  }

  PropertyFromInternalUnits(kT, w.T);
  PropertyFromInternalUnits(kP, w.P);
  Extended h = SubtractReferenceOffset(o, kH, w.h);
  Extended u = SubtractReferenceOffset(o, kU, w.u);
  Extended s = SubtractReferenceOffset(o, kS, w.s);
  Extended v = w.v;
  PropertyFromInternalUnits(kH, h);
  PropertyFromInternalUnits(kU, u);
  PropertyFromInternalUnits(kS, s);
  PropertyFromInternalUnits(kV, v);
  if (IsMolar()) {
    h *= M;
    u *= M;
    s *= M;
    v *= M;
  }
  EosStateCache[1] = w.T;
  EosStateCache[2] = w.P;
  EosStateCache[3] = h;
  EosStateCache[4] = u;
  EosStateCache[5] = s;
  EosStateCache[6] = v;
  EosStateCache[7] = w.x;
  EosStateCache[10] = static_cast<Extended>(o.CatalogRow);
  EosStateCache[11] = ReferenceOptionOf(o);
  if (reuse) Keep(o.CatalogRow, EosStateCache[11], kind1, kind2, givenValue1, givenValue2);
}

}  // namespace voq
