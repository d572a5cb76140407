#include "properties/substance_factory.h"

#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/program_units.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_models.h"
#include "properties/ideal_gas.h"
#include "properties/martin_hou_substance.h"
#include "properties/moist_air.h"
#include "properties/steam_nbs.h"

namespace voq {

TSubstanceBase* LastIdealGasObject = nullptr;
TSubstanceBase* LastPlaceholderObject = nullptr;

namespace {

constexpr int32_t kUnknownSubstanceHelp = 360;
constexpr int32_t kAirH2ORow = 2;
// Catalogue help contexts are given to objects of codes below this one.
constexpr int32_t kFirstCodeWithoutHelp = 65;

// A substance whose model is not in this build. The compiler's trial call
// (warnings suppressed) passes; every evaluation reports that the data are
// not available, naming the function, and returns -999.
class TUnavailableSubstance final : public TSubstanceBase {
 public:
  Extended isIdealGas() override { return Refuse("isIdealGas"); }
  Extended MolarMass() override { return Refuse("MolarMass"); }
  Extended T_crit() override { return Refuse("T_crit"); }
  Extended P_crit() override { return Refuse("P_crit"); }
  Extended v_crit() override { return Refuse("v_crit"); }
  Extended Temperature(TPropertyArgumentRecord&) override { return Refuse("Temperature"); }
  Extended Pressure(TPropertyArgumentRecord&) override { return Refuse("Pressure"); }
  Extended Enthalpy(TPropertyArgumentRecord&) override { return Refuse("Enthalpy"); }
  Extended IntEnergy(TPropertyArgumentRecord&) override { return Refuse("IntEnergy"); }
  Extended Entropy(TPropertyArgumentRecord&) override { return Refuse("Entropy"); }
  Extended Volume(TPropertyArgumentRecord&) override { return Refuse("Volume"); }
  Extended Quality(TPropertyArgumentRecord&) override { return Refuse("Quality"); }
  Extended SpecHeat(TPropertyArgumentRecord&) override { return Refuse("SpecHeat"); }
  Extended Cv(TPropertyArgumentRecord&) override { return Refuse("Cv"); }
  Extended Viscosity(TPropertyArgumentRecord&) override { return Refuse("Viscosity"); }
  Extended Conductivity(TPropertyArgumentRecord&) override { return Refuse("Conductivity"); }
  Extended WetBulb(TPropertyArgumentRecord&) override { return Refuse("WetBulb"); }
  Extended DewPoint(TPropertyArgumentRecord&) override { return Refuse("DewPoint"); }
  Extended HumRat(TPropertyArgumentRecord&) override { return Refuse("HumRat"); }
  Extended RelHum(TPropertyArgumentRecord&) override { return Refuse("RelHum"); }
  Extended Prandtl(TPropertyArgumentRecord&) override { return Refuse("Prandtl"); }
  Extended SoundSpeed(TPropertyArgumentRecord&) override { return Refuse("SoundSpeed"); }
  Extended SurfaceTension(TPropertyArgumentRecord&) override { return Refuse("Surface tension"); }
  Extended VolExpCoef(TPropertyArgumentRecord&) override { return Refuse("VolExpCoef"); }
  Extended AcentricFactor() override { return Refuse("AcentricFactor"); }
  Extended Fugacity(TPropertyArgumentRecord&) override { return Refuse("Fugacity"); }

 private:
  Extended Refuse(const char* function) {
    if (SuppressWarnings) return 1;
    SetCalcError(kMsgSubstanceDataUnavailable, function);
    MessageHelpContext = HelpContext;
    return ErrorResultValue;
  }
};

}  // namespace

void CreatePropertyObject(int32_t code, TSubstanceBase*& object) {
  object = nullptr;
  if (code < 0 || code > kMaxSubstanceRows) return;
  if (code == 0) {
    object = new TSubstanceBase();
  } else if (const int32_t gasId = GasIdOfRow(code); gasId != 0) {
    object = CreateBuiltinGas(gasId);
    LastIdealGasObject = object;
  } else if (code > kBuiltinSubstanceCount) {
    const bool martinHou =
        code < static_cast<int32_t>(SubstanceCatalog.size()) && std::abs(SubstanceCatalog[static_cast<size_t>(code)].Kind) == 2;
    if (martinHou) {
      object = CreateMartinHouFromFile(code);
    } else {
      object = CreateGasFromFile(code);
      LastIdealGasObject = object;
    }
  } else if (code == kAirH2ORow) {
    object = CreateAirH2OSubstance();
  } else if (IsSteamNBSRow(code)) {
    auto* steam = CreateSteamNBSSubstance();
    if (code == kIceRow) steam->IceFlag = 1;
    object = steam;
  } else if (TSubstanceBase* mh = CreateBuiltinMartinHou(code); mh != nullptr) {
    object = mh;
  } else if (TSubstanceBase* fluid = CreateHighAccuracyFluid(code); fluid != nullptr) {
    object = fluid;
  } else {
    // High-accuracy fluids not built yet.
    object = new TUnavailableSubstance();
    LastPlaceholderObject = object;
  }
  object->SubstanceCode = code;
  object->HelpContext = 0;
  if (code < kFirstCodeWithoutHelp && code < static_cast<int32_t>(SubstanceCatalog.size())) {
    object->HelpContext = SubstanceCatalog[static_cast<size_t>(code)].HelpContext;
  }
  object->Next = nullptr;
}

TSubstanceBase* CreatePropertyObject(int32_t code) {
  TSubstanceBase* object = nullptr;
  CreatePropertyObject(code, object);
  return object;
}

void ReplacePropertyObject(int32_t nameIndex, TEquationRecord* equation, TSubstanceBase*& object) {
  std::string name = UpperCaseText(StringConstText(nameIndex));
  TrimShort(name, 255);
  const int32_t row = FindSubstanceRow(name);
  TSubstanceBase* replacement = row > 0 ? CreatePropertyObject(row) : nullptr;
  if (replacement == nullptr) {
    SetMessageArg(1, name.substr(0, 120));
    SetCalcErrorWithHelp(kMsgUnknownSubstance, kUnknownSubstanceHelp);
    return;
  }
  replacement->NameStringIndex = nameIndex;
  replacement->ArgCount = object->ArgCount;
  replacement->ArgKind = object->ArgKind;
  replacement->ServedOpcode = object->ServedOpcode;
  replacement->SuppressWarnings = object->SuppressWarnings;
  replacement->Next = object->Next;

  TSubstanceBase** link = equation != nullptr ? &equation->SubstanceChain : nullptr;
  while (link != nullptr && *link != nullptr && *link != object) link = &(*link)->Next;
  if (link == nullptr || *link != object) {
    replacement->Next = nullptr;
    delete replacement;
    CalcErrorCode = kMsgPropertyAllocation;
    return;
  }
  *link = replacement;
  object->Done();
  delete object;
  object = replacement;
}

}  // namespace voq
