// Property-function calls through the statement compiler: the generated
// code, the substance objects chained to the equation and the errors.
#include "language/property_calls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "session/compile_driver.h"
#include "solver/evaluator.h"

namespace voq::testing {
namespace {

class PropertyCallsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    BeginTestPass();
  }
  std::vector<TSubstanceBase*> Chain() {
    std::vector<TSubstanceBase*> objects;
    for (TSubstanceBase* o = CurrentEquation->SubstanceChain; o != nullptr; o = o->Next) objects.push_back(o);
    return objects;
  }
};

TEST_F(PropertyCallsTest, TheTableOfPropertyNames) {
  EXPECT_EQ(PropertyFunctionTable[1]->Name, "MOLARMASS");
  EXPECT_EQ(PropertyFunctionTable[25]->Name, "CP");
  EXPECT_EQ(PropertyFunctionTable[28]->Opcode, 216);
  EXPECT_EQ(PropertyFunctionTable[28]->SubCode, 10);
  EXPECT_EQ(FindPropertyFunction("SurfaceTension"), 23);
  EXPECT_EQ(PropertyFunctionTable[23]->Example, "16");
  // Group 1 with an ideal gas: ",s=s1,P=P1)"; a substance constant: ")".
  EXPECT_EQ(PropertyExampleMessage(1, 1), 1001);
  EXPECT_EQ(PropertyExampleMessage(3, -2), 1008);
  EXPECT_LE(PropertyExampleMessage(-1, 1), 1000);
}

// Enthalpy(Steam,T=100,P=1): T and P, then the quoted catalogue name, then 211.
TEST_F(PropertyCallsTest, StateArgumentsAndTheSubstanceOperand) {
  ASSERT_EQ(Compile("h = Enthalpy(steam, T=100, P=1)"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeConstant, CodeConstant, OpSeparator, CodeStringConstant,
                                  OpSeparator, 211, OpEqual}));
  const auto chain = Chain();
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(chain[0]->ServedOpcode, 211);
  EXPECT_EQ(chain[0]->SubstanceCode, 26);
  EXPECT_EQ(chain[0]->NameStringIndex, StringConstIndex("Steam"));
  EXPECT_EQ(chain[0]->ArgCount, 2);
  EXPECT_EQ(chain[0]->ArgKind[1], 1);
  EXPECT_EQ(chain[0]->ArgKind[2], 2);
  EXPECT_EQ(chain[0]->SuppressWarnings, 0);

  ASSERT_EQ(Compile("h2 = Enthalpy(Steam, P=1, T=100)"), 0);
  EXPECT_EQ(Chain()[0]->ArgKind[1], 2);
  EXPECT_EQ(Chain()[0]->ArgKind[2], 1);
}

TEST_F(PropertyCallsTest, SubCodesAndSubstanceConstants) {
  ASSERT_EQ(Compile("c = Cp(Air, T=300)"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeConstant, CodeConstant, OpSeparator, CodeStringConstant,
                                  OpSeparator, 216, OpEqual}));
  ASSERT_EQ(Compile("m = MolarMass(CO2)"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 2, CodeConstant, CodeStringConstant, OpSeparator, 217, OpEqual}));
  EXPECT_EQ(Chain()[0]->ServedOpcode, 217);
}

TEST_F(PropertyCallsTest, AStringVariableSubstanceIsResolvedAtRunTime) {
  ASSERT_EQ(Compile("h = Enthalpy(F$, T=300)"), 0);
  const auto chain = Chain();
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(chain[0]->SubstanceCode, 0);
  EXPECT_EQ(chain[0]->NameStringIndex, 0);
  EXPECT_EQ(Listing().find("F$") != std::string::npos, true);
}

TEST_F(PropertyCallsTest, TwoCallsChainInTextOrder) {
  ASSERT_EQ(Compile("d = Enthalpy(Air, T=400) - Enthalpy(N2, T=400)"), 0);
  const auto chain = Chain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0]->SubstanceCode, 1);
  EXPECT_EQ(chain[1]->SubstanceCode, 12);
}

TEST_F(PropertyCallsTest, Errors) {
  struct Case {
    const char* statement;
    int32_t error;
  };
  const Case cases[] = {
      {"x = Enthalpy(Steam, T=100, X=0, P=1, S=2)", kMsgPropertyIndicator},
      {"x = HumRat(Air, T=25, R=0.5, P=101.3)", kMsgPropertyIndicator},
      {"x = Enthalpy(Steam, C=1)", kMsgPropertyIndicator},
      {"x = Enthalpy(Stem, T=100)", kMsgUnknownSubstance},
      {"x = Enthalpy(Steam)", kMsgPropertyCallSyntax},
      {"x = Enthalpy(Steam) + max(1, 2)", kMsgPropertyCallSyntax},
      {"x = Enthalpy(Steam, 100)", kMsgPropertyCallSyntax},
      // The trial call: an ideal gas refuses h from T and P.
      {"x = Enthalpy(Air, T=300, P=100)", kMsgIdealGasTooManyVariables},
      {"x = Temperature(Air, P=100, h=300)", kMsgIdealGasTooManyVariables},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compile(c.statement), c.error) << c.statement;
  }
  EXPECT_EQ(Compile("x = HumRat(AirH2O, T=25, R=0.5, P=101.3)"), 0);
  EXPECT_EQ(Compile("y = Enthalpy(Stem, T=100)"), kMsgUnknownSubstance);
  EXPECT_EQ(MessageArgs[1], "Stem");
}

TEST_F(PropertyCallsTest, EvaluationThroughTheObjects) {
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.EnergyUnit = 1;
  ASSERT_EQ(Compile("h = Enthalpy(Air, T=300)"), 0);
  Var(1)->Value = 0;
  EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), 300.43, 1e-4);
  ASSERT_EQ(Compile("r = Density(Air, T=300, P=100) * Volume(Air, T=300, P=100)"), 0);
  VarNamed("r")->Value = 0;
  EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), 1.0, 1e-15);
  // A string variable chooses the substance; a change swaps the object in place.
  ASSERT_EQ(Compile("m = MolarMass(G$)"), 0);
  TVariableRecord* g = VarNamed("G$");
  ASSERT_NE(g, nullptr);
  g->Value = StringConstIndex("CO2");
  VarNamed("m")->Value = 0;
  EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), 44.01, 1e-12);
  g->Value = StringConstIndex("n2");
  EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), 28.013, 1e-12);
  EXPECT_EQ(CurrentEquation->SubstanceChain->SubstanceCode, 12);
  EXPECT_EQ(CurrentEquation->SubstanceChain->Next, nullptr);
  g->Value = StringConstIndex("Kryptonite");
  EvaluateEquation(CurrentEquation, 0);
  EXPECT_EQ(CalcErrorCode, kMsgUnknownSubstance);
  CalcErrorCode = 0;
  ASSERT_EQ(Compile("q = SurfaceTension(R11, T=250)"), 0);
  EvaluateEquation(CurrentEquation, 0);
  EXPECT_EQ(CalcErrorCode, kMsgSubstanceDataUnavailable);
}

// The inner call executes first, and the chain lists the objects in the
// order the calls execute. An opcode that no object serves is error 328.
TEST_F(PropertyCallsTest, NestedCallsFindTheirObjects) {
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.EnergyUnit = 1;
  ASSERT_EQ(Compile("x = Enthalpy(Air, T=Temperature(Air, h=400))"), 0);
  const auto chain = Chain();
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0]->ServedOpcode, 209);
  EXPECT_EQ(chain[1]->ServedOpcode, 211);
  VarNamed("x")->Value = 0;
  EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), 400, 1e-7);
  EXPECT_EQ(CalcErrorCode, 0);
  chain[0]->ServedOpcode = 213;
  EXPECT_EQ(EvaluateEquation(CurrentEquation, 0), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgNestedPropertyFunctions);
}

// A call of the same function earlier in the statement must not lend its
// argument kinds to an enclosing call: each object is the one compiled for
// the call that executes. Air is an ideal gas, so h(T) and T(h) are exact
// inverses: Enthalpy(Air, T=Temperature(Air, h=400)) is 400 kJ/kg.
TEST_F(PropertyCallsTest, NestedCallsAfterACallOfTheSameFunction) {
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.EnergyUnit = 1;
  const struct {
    const char* text;
    std::vector<int32_t> opcodes;  // the chain, in the order the calls execute
  } cases[] = {
      {"x = Enthalpy(Air, T=300) + Enthalpy(Air, T=Temperature(Air, h=400))", {211, 209, 211}},
      {"x = Enthalpy(Air, T=Temperature(Air, h=400)) + Enthalpy(Air, T=300)", {209, 211, 211}},
      {"x = Enthalpy(Air, T=300) + Enthalpy(Air, T=Temperature(Air, h=Enthalpy(Air, T=Temperature(Air, h=400))))",
       {211, 209, 211, 209, 211}},
      {"x = Enthalpy(Air, T=300) + Enthalpy(Air, T=(Temperature(Air, h=200) + Temperature(Air, h=600)) / 2)",
       {211, 209, 209, 211}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Compile(c.text), 0) << c.text;
    std::vector<int32_t> opcodes;
    for (TSubstanceBase* o : Chain()) opcodes.push_back(o->ServedOpcode);
    EXPECT_EQ(opcodes, c.opcodes) << c.text;
  }
  // The first three are h(300 K) + 400 kJ/kg.
  const Extended h300 = [&] {
    EXPECT_EQ(Compile("x = Enthalpy(Air, T=300)"), 0);
    VarNamed("x")->Value = 0;
    return -EvaluateEquation(CurrentEquation, 0);
  }();
  for (int k = 0; k < 3; ++k) {
    ASSERT_EQ(Compile(cases[k].text), 0);
    VarNamed("x")->Value = 0;
    EXPECT_NEAR(static_cast<double>(-EvaluateEquation(CurrentEquation, 0)), static_cast<double>(h300 + 400), 1e-6)
        << cases[k].text;
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

}  // namespace
}  // namespace voq::testing
