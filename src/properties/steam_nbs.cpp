#include "properties/steam_nbs.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/property_units.h"
#include "properties/steam_nbs_core.h"
#include "properties/steam_nbs_pairs.h"

namespace voq {

std::array<Extended, 12> SteamStateBlock{};

namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
constexpr int32_t kArgumentHelp = 129;
constexpr int32_t kValidEntry = 10;
constexpr int32_t kIceEntry = 11;
constexpr int32_t kSteamRows[] = {26, 30, 36, 42, kIceRow};

bool Molar() { return DocumentSettings.MolarBasis != 0; }
bool EnergyOrVolumeKind(int32_t kind) { return kind >= kH && kind <= kV; }

void FillBlock(Extended value) {
  for (size_t i = 1; i <= 11; ++i) SteamStateBlock[i] = value;
}

}  // namespace

void EmptySteamStateBlock() {
  for (size_t i = 1; i <= 10; ++i) SteamStateBlock[i] = BlankValue;
}

void ResetSteamStateBlockForNewDocument() {
  for (size_t i = 1; i <= 6; ++i) SteamStateBlock[i] = -999;
  SteamStateBlock[kValidEntry] = 0;
}

void ResetSteamState() {
  SteamStateBlock.fill(0);
  ResetSteamFormulationState();
}

bool IsSteamNBSRow(int32_t row) {
  for (int32_t r : kSteamRows) {
    if (r == row) return true;
  }
  return false;
}

TSteamNBSSubstance* CreateSteamNBSSubstance() {
  auto* object = new TSteamNBSSubstance();
  InitSubstanceBase(*object);
  object->IceFlag = 0;
  if (!SteamNBSCoefficients) InitSteamNBSCoefficients();
  return object;
}

void SolveSteamState(bool probe, uint8_t iceFlag, int32_t argCount, Extended value1, Extended value2, int32_t kind1,
                     int32_t kind2, int32_t wanted) {
  const int32_t remembered = CalcErrorCode;
  CalcErrorCode = 0;
  if (argCount != 2) {
    SetCalcErrorWithHelp(kind1 == 0 ? kMsgPropertyIndicator : kMsgPropertyNeedsTwoVariables, kArgumentHelp);
    return;
  }
  if (kind1 == kind2) {
    CalcErrorCode = kMsgIdenticalIndependentVariables;
    return;
  }
  if (wanted == kind1 || wanted == kind2) {
    SetCalcErrorWithHelp(kMsgIndependentIsDependent, kArgumentHelp);
    return;
  }
  // A kind no water state is given by (the moist-air indicators).
  if (kind1 < kT || kind1 > kX || kind2 < kT || kind2 > kX) {
    SetCalcErrorWithHelp(kMsgPropertyIndicator, kArgumentHelp);
    return;
  }
  if (probe) return;
  if (kind1 > kind2) {
    std::swap(kind1, kind2);
    std::swap(value1, value2);
  }
  // The same state again (in the document's units): the block answers. A
  // (T, P) state is direct and always recomputed.
  const auto& block = SteamStateBlock;
  if (block[kValidEntry] < 0 && std::lround(block[kIceEntry]) == iceFlag &&
      std::fabs(value1 - block[static_cast<size_t>(kind1)]) < 1e-9L &&
      std::fabs(value2 - block[static_cast<size_t>(kind2)]) < 1e-9L && !(kind1 == kT && kind2 == kP)) {
    CalcErrorCode = remembered;
    return;
  }
  PropertyToInternalUnits(kind1, value1);
  PropertyToInternalUnits(kind2, value2);
  if (Molar()) {
    if (EnergyOrVolumeKind(kind1)) value1 /= kSteamMolarMass;
    if (EnergyOrVolumeKind(kind2)) value2 /= kSteamMolarMass;
  }
  TSteamState st = SolveSteamPair(kind1, kind2, value1, value2, iceFlag != 0);
  if (CalcErrorCode > 0) {
    FillBlock(999);
    return;
  }
  for (int32_t kind = kT; kind <= kV; ++kind) PropertyFromInternalUnits(kind, st.ByKind(kind));
  if (Molar()) {
    for (int32_t kind = kH; kind <= kV; ++kind) st.ByKind(kind) *= kSteamMolarMass;
  }
  for (int32_t kind = kT; kind <= kX; ++kind) SteamStateBlock[static_cast<size_t>(kind)] = st.ByKind(kind);
  SteamStateBlock[kValidEntry] = -1;
  SteamStateBlock[kIceEntry] = iceFlag;
}

Extended TSteamNBSSubstance::StateSlot(TPropertyArgumentRecord& a, int32_t wanted) {
  SolveSteamState(SuppressWarnings != 0, IceFlag, ArgCount, a.Value[1], a.Value[2], ArgKind[1], ArgKind[2], wanted);
  return SteamStateBlock[static_cast<size_t>(wanted)];
}

Extended TSteamNBSSubstance::Temperature(TPropertyArgumentRecord& a) { return StateSlot(a, kT); }
Extended TSteamNBSSubstance::Pressure(TPropertyArgumentRecord& a) { return StateSlot(a, kP); }
Extended TSteamNBSSubstance::Enthalpy(TPropertyArgumentRecord& a) {
  const Extended h = StateSlot(a, kH);
  return CalcErrorCode > 0 ? 999 : h;
}
Extended TSteamNBSSubstance::IntEnergy(TPropertyArgumentRecord& a) { return StateSlot(a, kU); }
Extended TSteamNBSSubstance::Entropy(TPropertyArgumentRecord& a) { return StateSlot(a, kS); }
Extended TSteamNBSSubstance::Volume(TPropertyArgumentRecord& a) { return StateSlot(a, kV); }
Extended TSteamNBSSubstance::Quality(TPropertyArgumentRecord& a) { return StateSlot(a, kX); }

Extended TSteamNBSSubstance::T_crit() {
  UnitConversionEnabled = true;
  Extended T = 647.134L;
  PropertyFromInternalUnits(kT, T);
  return T;
}

Extended TSteamNBSSubstance::P_crit() {
  UnitConversionEnabled = true;
  Extended P = 22064;
  PropertyFromInternalUnits(kP, P);
  return P;
}

Extended TSteamNBSSubstance::v_crit() {
  Extended v = 0.0031059L;
  PropertyFromInternalUnits(kV, v);
  return v;
}

}  // namespace voq
