// The substance base type, the factory and the swap of an equation's object.
#include <gtest/gtest.h>

#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/program_units.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/ideal_gas.h"
#include "properties/moist_air.h"
#include "properties/martin_hou_substance.h"
#include "properties/steam_nbs.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

TEST(SubstanceFactoryTest, BaseDefaults) {
  TSubstanceBase base;
  TPropertyArgumentRecord a;
  EXPECT_EQ(base.isIdealGas(), 1.0L);
  EXPECT_EQ(base.MolarMass(), ErrorResultValue);
  EXPECT_EQ(base.Enthalpy(a), ErrorResultValue);
  EXPECT_EQ(base.HumRat(a), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, 0);
  struct Case {
    Extended (TSubstanceBase::*op)(TPropertyArgumentRecord&);
    const char* name;
  };
  for (const Case& c : {Case{&TSubstanceBase::SurfaceTension, "Surface tension"},
                        Case{&TSubstanceBase::VolExpCoef, "VolExpCoef"}, Case{&TSubstanceBase::Fugacity, "Fugacity"}}) {
    CalcErrorCode = 0;
    EXPECT_EQ((base.*c.op)(a), ErrorResultValue);
    EXPECT_EQ(CalcErrorCode, kMsgSubstanceDataUnavailable);
    EXPECT_EQ(MessageArgs[1], c.name);
  }
  TPlotLinesRequest plot;
  plot.IsolineValues.fill(7);
  base.PlotLines(1, plot);
  for (Extended v : plot.IsolineValues) EXPECT_EQ(v, 0);
}

// Every code gets an object; the models not in this build pass the trial
// call and refuse every evaluation with error 215 and -999.
TEST(SubstanceFactoryTest, EveryCodeGetsAnObject) {
  for (int32_t code = 0; code <= SubstanceCount; ++code) {
    CalcErrorCode = 0;
    std::unique_ptr<TSubstanceBase> o(CreatePropertyObject(code));
    ASSERT_NE(o, nullptr) << code;
    EXPECT_EQ(o->SubstanceCode, code);
    EXPECT_EQ(o->Next, nullptr);
    EXPECT_EQ(o->HelpContext, code < 65 ? SubstanceCatalog[static_cast<size_t>(code)].HelpContext : 0) << code;
    const bool idealGas = SubstanceCatalog[static_cast<size_t>(code)].Kind == 1;
    // Moist air (kind 3) is built on the ideal-gas type.
    const bool moistAir = SubstanceCatalog[static_cast<size_t>(code)].Kind == 3;
    EXPECT_EQ(dynamic_cast<TAirH2OSubstance*>(o.get()) != nullptr, moistAir) << code;
    EXPECT_EQ(dynamic_cast<TIdealGasSubstance*>(o.get()) != nullptr, idealGas || moistAir) << code;
    EXPECT_EQ(dynamic_cast<TSteamNBSSubstance*>(o.get()) != nullptr, IsSteamNBSRow(code)) << code;
    if (code == 0 || idealGas || moistAir || IsSteamNBSRow(code)) continue;
    // High-accuracy models already built answer for themselves. The
    // refrigerant names "R717", "R744", "R290" and "R600" are listed with
    // kind 2 but are the ammonia, carbon dioxide, propane and n-butane
    // models.
    if (dynamic_cast<TGeneralEosSubstance*>(o.get()) != nullptr) {
      if (code == FindSubstanceRow("R717")) continue;
      const bool refrigerantName =
          code == 43 || code == FindSubstanceRow("R290") || code == FindSubstanceRow("R600");
      EXPECT_EQ(SubstanceCatalog[static_cast<size_t>(code)].Kind, refrigerantName ? 2 : -2) << code;
      continue;
    }
    // So do the Martin-Hou fluids.
    if (dynamic_cast<TMartinHouSubstance*>(o.get()) != nullptr) {
      EXPECT_EQ(SubstanceCatalog[static_cast<size_t>(code)].Kind, 2) << code;
      continue;
    }
    TPropertyArgumentRecord a;
    o->SuppressWarnings = 1;
    o->Enthalpy(a);
    o->MolarMass();
    EXPECT_EQ(CalcErrorCode, 0) << code;
    o->SuppressWarnings = 0;
    EXPECT_EQ(o->Enthalpy(a), ErrorResultValue);
    EXPECT_EQ(CalcErrorCode, kMsgSubstanceDataUnavailable);
    EXPECT_EQ(MessageArgs[1], "Enthalpy");
  }
}

TEST(SubstanceFactoryTest, ReplaceKeepsTheChainAndTheArgumentKinds) {
  TEquationRecord e;
  auto* first = CreatePropertyObject(0);
  auto* second = CreatePropertyObject(0);
  first->Next = second;
  e.SubstanceChain = first;
  second->ArgCount = 2;
  second->ArgKind[1] = 1;
  second->ArgKind[2] = 2;
  second->ServedOpcode = 213;
  TSubstanceBase* current = second;
  const int32_t index = StringConstIndex("r134a ");
  ReplacePropertyObject(index, &e, current);
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_NE(current, second);
  EXPECT_EQ(e.SubstanceChain, first);
  EXPECT_EQ(first->Next, current);
  EXPECT_EQ(current->SubstanceCode, 47);
  EXPECT_EQ(current->NameStringIndex, index);
  EXPECT_EQ(current->ArgCount, 2);
  EXPECT_EQ(current->ArgKind[2], 2);
  EXPECT_EQ(current->ServedOpcode, 213);

  TSubstanceBase* unchanged = current;
  ReplacePropertyObject(StringConstIndex("Unobtainium"), &e, current);
  EXPECT_EQ(CalcErrorCode, kMsgUnknownSubstance);
  EXPECT_EQ(MessageArgs[1], "UNOBTAINIUM");
  EXPECT_EQ(current, unchanged);

  CalcErrorCode = 0;
  TSubstanceBase stray;
  TSubstanceBase* strayPointer = &stray;
  ReplacePropertyObject(StringConstIndex("Air"), &e, strayPointer);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyAllocation);
  EXPECT_EQ(strayPointer, &stray);

  while (e.SubstanceChain != nullptr) {
    TSubstanceBase* next = e.SubstanceChain->Next;
    delete e.SubstanceChain;
    e.SubstanceChain = next;
  }
}

}  // namespace
}  // namespace voq
