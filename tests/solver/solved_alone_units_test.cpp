// Units of variables solved alone. Plain assignments and sums are compiled
// by the statement compiler and solved by the one-unknown solver; property
// calls and unit conversions are built word by word in the compiler's code
// format (their compilers come with the property library), with a fake
// property-units source standing in for the library's labels.
#include "platform/host.h"
#include "solver/solved_alone_units.h"

#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/string_constants.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"
#include "platform/scripted_platform.h"
#include "solver/code_builder.h"
#include "solver/one_unknown.h"

namespace voq {
namespace {

using namespace voq::testing;

// Labels "K1", "K2", ... name the kind asked for.
class FakePropertyUnits : public PropertyUnitsSource {
 public:
  std::string PropertyUnitsText(int32_t kind) const override { return "K" + std::to_string(kind); }
  bool UnitSystemIsSI() const override { return si; }
  bool si = true;
};

class SolvedAloneUnitsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetPropertyUnitsSource(&units_);
    StopCriteria = TStopCriteriaRecord{};
  }
  void TearDown() override {
    SetPropertyUnitsSource(nullptr);
    LanguageStoreTest::TearDown();
  }

  // Compiles the statements with Ctrl held (nothing solved while reading).
  void ReadOnly(std::initializer_list<const char*> statements) {
    platform_.ctrlDown = true;
    BeginTestPass();
    int32_t counter = 0;
    for (const char* s : statements) {
      std::string text = s;
      CompileStatement(text, 255, TStatementPosition{});
      ASSERT_EQ(CalcErrorCode, 0) << s;
      SolveEquationOnRead(counter);
    }
    EndTestPass();
    platform_.ctrlDown = false;
  }
  void SolvePass() {
    CurrentProgramUnit = MainProgramUnit;
    SolveOneUnknownEquations(false);
    ASSERT_EQ(CalcErrorCode, 0);
  }
  int32_t NewVariable(const std::string& name) {
    AddVariable(name);
    const int32_t i = CurrentProgramUnit->VariableCount;
    RegisterVariableUse(i, name);
    return i;
  }

  FakePropertyUnits units_;
  ScriptedPlatform platform_;
  ScopedPlatform scoped_{platform_};
};

TEST_F(SolvedAloneUnitsTest, AssignmentCopiesTheOtherVariablesUnitsAndMayChangeThemLater) {
  ReadOnly({"y = 101.325", "x = y"});
  VarNamed("y")->Units = "kPa";
  SolvePass();
  EXPECT_EQ(VarNamed("x")->Units, "kPa");
  EXPECT_EQ(VarNamed("x")->UnitsInferred, 1);

  // The next solve fills the inferred units afresh.
  VarNamed("y")->Units = "psia";
  ReadOnly({"y = 101.325", "x = y"});
  SolvePass();
  EXPECT_EQ(VarNamed("x")->Units, "psia");
  EXPECT_EQ(VarNamed("x")->UnitsInferred, 1);
}

TEST_F(SolvedAloneUnitsTest, UnitsTypedByTheUserAreKept) {
  ReadOnly({"y = 101.325", "x = y"});
  VarNamed("y")->Units = "kPa";
  VarNamed("x")->Units = "bar";
  SolvePass();
  EXPECT_EQ(VarNamed("x")->Units, "bar");
  EXPECT_EQ(VarNamed("x")->UnitsInferred, 0);
}

TEST_F(SolvedAloneUnitsTest, SimpleTwoVariableForms) {
  struct Case {
    const char* statement;
    bool simple;
  };
  const Case cases[] = {
      {"a = b", true},         // exactly 5 words
      {"a = b + c", true},     // ends in OpAdd before the equal sign
      {"a = b - c", true},     // OpSubtract
      {"a = b * c", false},    // a product
      {"a = 2*b", false},      // third word is a constant
      {"a + b = c", false},    // sum on the left: ends in OpEqual after c
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    ReadOnly({c.statement});
    TEquationRecord* e = CurrentEquation;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(IsSimpleTwoVariableForm(*e), c.simple);
  }
}

TEST_F(SolvedAloneUnitsTest, VariableIndexBeforeTheEqualSignIsNotAnOperator) {
  // a + b = v5 with v5 the 5th variable: its index word sits where the sum's
  // operator would be and equals OpAdd.
  ReadOnly({"a + b = c", "d = 1", "v5 = a"});
  ASSERT_EQ(FindVariable("v5"), 5);
  ReadOnly({"a + b = v5"});
  ASSERT_EQ(CurrentEquation->Code[CurrentEquation->Code.size() - 2], 5);
  EXPECT_FALSE(IsSimpleTwoVariableForm(*CurrentEquation));
}

TEST_F(SolvedAloneUnitsTest, SumTakesTheUnitsOfItsFirstTerm) {
  ReadOnly({"b = 2", "c = 3", "a = b + c"});
  VarNamed("b")->Units = "m";
  VarNamed("c")->Units = "ft";
  SolvePass();
  EXPECT_EQ(VarNamed("a")->Units, "m");
  EXPECT_NEAR(VarNamed("a")->Value, 5.0L, 1e-15L);  // 2 + 3, hand calculation
}

TEST_F(SolvedAloneUnitsTest, ProductGivesNoUnits) {
  ReadOnly({"b = 2", "a = 3*b"});
  VarNamed("b")->Units = "m";
  SolvePass();
  EXPECT_EQ(VarNamed("a")->Units, "");
  EXPECT_EQ(VarNamed("a")->UnitsInferred, 0);
}

TEST_F(SolvedAloneUnitsTest, PropertyFunctionGivesTheUnitsOfItsKind) {
  struct Case {
    int32_t opcode;
    const char* text;
    const char* units;   // "" with inferred 0: no success
    bool inferred;
  };
  const Case cases[] = {
      {209, "v=Temperature(Steam,h=h1,P=P1)", "K1", true},
      {219, "v=WetBulb(AirH2O,T=T1,P=P1,R=0.5)", "K1", true},
      {220, "v=DewPoint(AirH2O,T=T1,P=P1,R=0.5)", "K1", true},
      {210, "v=Pressure(Steam,T=T1,v=v1)", "K2", true},
      {211, "v=Enthalpy(Steam,T=T1,P=P1)", "K3", true},
      {212, "v=IntEnergy(Steam,T=T1,P=P1)", "K3", true},
      {213, "v=Entropy(Steam,T=T1,P=P1)", "K5", true},
      {214, "v=Volume(Steam,T=T1,P=P1)", "K6", true},
      {223, "v=Density(Steam,T=T1,P=P1)", "K15", true},
      {215, "v=Quality(Steam,T=T1,h=h1)", "", false},
      {218, "v=HumRat(AirH2O,T=T1,P=P1,R=0.5)", "", false},
      {216, "v=Viscosity(Air,T=T1)", "K9", true},
      {216, "v=Conductivity(Air,T=T1)", "K10", true},
      {216, "v=SurfaceTension(Water,T=T1)", "K16", true},
      {216, "v=SpecHeat(Air,T=T1)", "K5", true},
      {216, "v=SoundSpeed(Air,T=T1)", "K18", true},
      {216, "v=Fugacity(R134a,T=T1,P=P1)", "K2", true},
      // "CP" anywhere in the text, here in a name, selects specific heat.
      {216, "cp_air=Prandtl(Air,T=T1)", "K5", true},
      // No keyword: marked inferred with no units.
      {216, "v=Prandtl(Air,T=T1)", "", true},
      {217, "v=T_crit(R134a)", "K1", true},
      {217, "v=P_crit(R134a)", "K2", true},
      {217, "v=V_crit(R134a)", "K6", true},
      {217, "v=MolarMass(R134a)", "K17", true},
      {217, "v=Acentric(R134a)", "", true},
  };
  const int32_t v = NewVariable("v");
  const int32_t t1 = NewVariable("T1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TVariableRecord* var = CurrentProgramUnit->Variable(v);
    var->Units = "old";
    var->UnitsInferred = 1;
    TEquationRecord e;
    e.Text = c.text;
    // v = f(sub-code, T1): the code ends with the opcode and the equal sign.
    CodeBuilder().Var(v).Const(1).Var(t1).Word(OpSeparator).Word(c.opcode).Word(OpEqual).Into(e);
    InferUnitsFromEquation(v, e);
    EXPECT_EQ(var->Units, c.units);
    EXPECT_EQ(var->UnitsInferred, c.inferred ? 1 : 0);
  }
}

TEST_F(SolvedAloneUnitsTest, VolumeExpansionCoefficientFollowsTheUnitSystem) {
  const int32_t v = NewVariable("beta");
  TEquationRecord e;
  e.Text = "beta=VolExpCoef(Water,T=300,P=100)";
  CodeBuilder().Var(v).Const(7).Const(300).Word(OpSeparator).Word(216).Word(OpEqual).Into(e);
  InferUnitsFromEquation(v, e);
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->Units, "1/K");
  units_.si = false;
  InferUnitsFromEquation(v, e);
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->Units, "1/R");
}

TEST_F(SolvedAloneUnitsTest, PropertyFormNeedsTheVariableOnTheLeft) {
  const int32_t v = NewVariable("h");
  const int32_t w = NewVariable("w");
  TEquationRecord e;
  e.Text = "w=Enthalpy(Steam,T=h)";
  CodeBuilder().Var(w).Const(1).Var(v).Word(OpSeparator).Word(211).Word(OpEqual).Into(e);
  EXPECT_FALSE(UnitsFromPropertyFunction(v, e));
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->Units, "");
}

TEST_F(SolvedAloneUnitsTest, ConversionGivesTheTargetUnit) {
  // L = 3*CONVERT(ft, m): 11 words, constants 3, the two unit strings and
  // the target unit as 20000 plus its string-constant number.
  const int32_t v = NewVariable("L");
  const int32_t from = StringConstIndex("ft");
  const int32_t to = StringConstIndex("m");
  auto build = [&](Extended target) {
    TEquationRecord e;
    CodeBuilder()
        .Var(v)
        .Const(3)
        .Const(20000 + from)
        .Const(20000 + to)
        .Word(OpSeparator)
        .Const(target)
        .Word(OpSeparator)
        .Word(201)
        .Word(OpMultiply)
        .Word(OpEqual)
        .Into(e);
    return e;
  };
  TEquationRecord e = build(20000 + to);
  ASSERT_EQ(e.Code.size(), 11u);
  InferUnitsFromEquation(v, e);
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->Units, "m");
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->UnitsInferred, 1);

  // A plain number (not a string operand) is taken as the number itself.
  e = build(from);
  EXPECT_TRUE(UnitsFromConversion(v, e));
  EXPECT_EQ(CurrentProgramUnit->Variable(v)->Units, "ft");

  // Beyond the string constants, or none at all: no units.
  for (Extended bad : {20000.0L + 99, 0.0L, -3.0L}) {
    e = build(bad);
    EXPECT_FALSE(UnitsFromConversion(v, e));
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

}  // namespace
}  // namespace voq
