// MODULE and SUBPROGRAM units: headers and END, merged and separate CALLs,
// the unit-call opcode with its cache, $COMMON, and the variable order,
// compiled from whole texts the way the Check and Solve commands read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "language/code_listing.h"
#include "language/module_units.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/substance_base.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "solver/evaluator.h"
#include "solver/unit_calls.h"

namespace voq {
namespace {

class ModuleUnitsTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    EquationsCompiled = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    LanguageStoreTest::TearDown();
  }
  void FreshEngine() {
    ResetEngineState();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
  }

  // Compiles the text as the Check command does (or as Solve does with
  // solve); returns the error left.
  int32_t Read(const std::string& text, bool solve = false) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = !solve;
    CompileEquations(false, false);
    CheckOnlyMode = true;
    return CalcErrorCode;
  }

  std::vector<TEquationRecord*> Equations(const TProgramUnitRecord* unit) {
    std::vector<TEquationRecord*> list;
    for (TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) list.push_back(e);
    return list;
  }
  TEquationRecord* MainEquationWithText(const std::string& text) {
    for (TEquationRecord* e : Equations(MainProgramUnit)) {
      if (e->Text.has_value() && *e->Text == text) return e;
    }
    return nullptr;
  }
  TVariableRecord* MainVariable(const std::string& name) {
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t saveError = CalcErrorCode;
    const int32_t i = FindVariable(name);
    CalcErrorCode = saveError;
    CurrentProgramUnit = saved;
    return MainProgramUnit->Variable(i);
  }
  TProgramUnitRecord* Unit(size_t k) { return k < ProgramUnitList.size() ? ProgramUnitList[k] : nullptr; }
  std::string UnitVariableName(const TProgramUnitRecord* unit, int32_t i) {
    const TVariableRecord* v = unit->Variable(i);
    return v != nullptr ? v->Name : "?";
  }

  InMemoryEquationsEditor editor;
};

// The merge of a MODULE: the copies of its variables, the tie equations on
// them and the copy of its equation, one set per CALL.
TEST_F(ModuleUnitsTest, MergedCallCopiesVariablesAndTiesParameters) {
  ASSERT_EQ(Read("MODULE M(a, b : c)\n"
                 "c = a + b\n"
                 "END\n"
                 "CALL M(1, 2 : x)\n"
                 "CALL M(x, 4 : y)\n"),
            0);
  TProgramUnitRecord* m = Unit(1);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->InputCount, 2);
  EXPECT_EQ(m->OutputCount, 1);
  EXPECT_EQ(m->CallCount, 2);
  EXPECT_EQ(m->Merged, 1);
  ASSERT_EQ(m->CallTexts.size(), 2u);
  EXPECT_EQ(m->CallTexts[0], "CALL M(1,2:x)");
  for (const char* name : {"@1\\1.a", "@1\\1.b", "@1\\1.c", "@1\\2.a", "@1\\2.b", "@1\\2.c"}) {
    SCOPED_TRACE(name);
    TVariableRecord* v = MainVariable(name);
    ASSERT_NE(v, nullptr);
    EXPECT_NE(v->UnknownPosition, 0);
  }
  // Ties: formal copy = argument; the constant ones set their copy at once.
  TEquationRecord* tieA = MainEquationWithText("@1\\1.a=1");
  ASSERT_NE(tieA, nullptr);
  EXPECT_EQ(tieA->EquationKind, 2);
  EXPECT_EQ(tieA->NotFromWindow, 1);
  EXPECT_EQ(MainVariable("@1\\1.a")->UnknownPosition, kDeterminedVariable);
  TEquationRecord* tieC = MainEquationWithText("@1\\1.c=x");
  ASSERT_NE(tieC, nullptr);
  // The last tie stands for the CALL: its code goes on after -21 with the
  // right sides of all ties, for displays that rebuild the call.
  EXPECT_EQ(tieC->NotFromWindow, 0);
  EXPECT_EQ(tieC->CalledUnit, -1);
  ASSERT_NE(tieC->CallLists, nullptr);
  EXPECT_EQ(tieC->CallLists->Kind, -20);
  const std::vector<int32_t>& code = tieC->Code;
  const int32_t x = FindVariable("x");
  const std::vector<int32_t> expected = {CodeVariable, tieC->Code[1], CodeVariable, x, OpEqual, CodeOutputList,
                                         CodeConstant, CodeConstant, CodeVariable, x, CodeOutputListEnd};
  EXPECT_EQ(code, expected);
  EXPECT_EQ(PoolValues(*tieC), (std::vector<long double>{1, 2}));
  // The unit's equation on the copies.
  TEquationRecord* copy = MainEquationWithText("@1\\1: c=a+b");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(ListEquationCode(*copy, MainProgramUnit), "@1\\1.c @1\\1.a @1\\1.b + =");
  TEquationRecord* second = MainEquationWithText("@1\\2: c=a+b");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ListEquationCode(*second, MainProgramUnit), "@1\\2.c @1\\2.a @1\\2.b + =");
  EXPECT_NE(MainEquationWithText("@1\\2.a=x"), nullptr);
}

TEST_F(ModuleUnitsTest, MergedCallsSolveWithTheMainProgram) {
  ASSERT_EQ(Read("MODULE M(a, b : c)\n"
                 "c = a + b\n"
                 "END\n"
                 "CALL M(1, 2 : x)\n"
                 "CALL M(x, 4 : y)\n",
                 true),
            0);
  ASSERT_NE(MainVariable("x"), nullptr);
  EXPECT_NEAR(static_cast<double>(MainVariable("x")->Value), 3.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(MainVariable("y")->Value), 7.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(MainVariable("@1\\2.c")->Value), 7.0, 1e-12);
}

// Main statements before and after a unit form one chain: those before the
// MODULE were once dropped (and leaked) when the END switched back to the
// main program, so the two equations in a and b went missing and the solve
// failed with an inconsistent block.
TEST_F(ModuleUnitsTest, MainStatementsAroundAUnitStayInOneChain) {
  ASSERT_EQ(Read("a + b = 3\n"
                 "a - b = 1\n"
                 "MODULE M(x : y)\n"
                 "y = 2*x\n"
                 "END\n"
                 "c = 3\n"
                 "SUBPROGRAM S(u : v)\n"
                 "v = u + 1\n"
                 "END\n"
                 "CALL M(c : d)\n",
                 true),
            0);
  std::vector<std::string> texts;
  for (const TEquationRecord* e : Equations(MainProgramUnit)) texts.push_back(e->Text.value_or("?"));
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0], "a+b=3");
  EXPECT_EQ(texts[1], "a-b=1");
  EXPECT_EQ(texts[2], "c=3");
  EXPECT_EQ(ListEquationCode(*Equations(MainProgramUnit)[1], MainProgramUnit), "a b - 1 =");
  // The unit's own chain is untouched by the main statements after it.
  ASSERT_NE(Unit(1), nullptr);
  ASSERT_EQ(Equations(Unit(1)).size(), 1u);
  EXPECT_EQ(Equations(Unit(1))[0]->Text.value_or("?"), "y=2*x");
  // Hand calculation: a + b = 3 and a - b = 1 give a = 2, b = 1; d = 2*c = 6.
  EXPECT_NEAR(static_cast<double>(MainVariable("a")->Value), 2.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(MainVariable("b")->Value), 1.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(MainVariable("d")->Value), 6.0, 1e-12);
}

// Without a colon the degrees of freedom split the parameters.
TEST_F(ModuleUnitsTest, HeaderWithoutColonSplitsByDegreesOfFreedom) {
  ASSERT_EQ(Read("MODULE M(a, b, c)\n"
                 "c = a + b\n"
                 "END\n"
                 "CALL M(1, 2, z)\n",
                 true),
            0);
  TProgramUnitRecord* m = Unit(1);
  EXPECT_EQ(m->HeaderHasColon, 0);
  EXPECT_EQ(m->InputCount, 2);
  EXPECT_EQ(m->OutputCount, 1);
  EXPECT_EQ(UnitVariableName(m, m->OutputList[1]), "c");
  EXPECT_NEAR(static_cast<double>(MainVariable("z")->Value), 3.0, 1e-12);
}

// A SUBPROGRAM is called separately: one equation per output naming the
// unit with the inputs and the output number.
TEST_F(ModuleUnitsTest, SubprogramCallCompilesOneEquationPerOutput) {
  ASSERT_EQ(Read("SUBPROGRAM S(a : x, y)\n"
                 "x = 2*a\n"
                 "y = x + a\n"
                 "END\n"
                 "CALL S(1 : p, q)\n"),
            0);
  const std::vector<TEquationRecord*> main = Equations(MainProgramUnit);
  ASSERT_EQ(main.size(), 2u);
  EXPECT_EQ(ListEquationCode(*main[0], MainProgramUnit), "p 1 1 , #253 =");
  EXPECT_EQ(ListEquationCode(*main[1], MainProgramUnit), "q 1 2 , #253 =");
  EXPECT_EQ(main[0]->CalledUnit, 1);
  EXPECT_EQ(main[0]->EquationKind, 2);
  EXPECT_EQ(main[0]->TrySolveAlone, 0);
  ASSERT_NE(main[1]->CallLists, nullptr);
  EXPECT_EQ(main[1]->CallLists->Kind, -20);
  EXPECT_EQ(Unit(1)->Merged, 0);
  EXPECT_EQ(Unit(1)->Defined, 1);
}

// Without a colon in the header the call is split after the unit's inputs,
// ranges counted element by element.
TEST_F(ModuleUnitsTest, SubprogramCallWithoutColonSplitsAfterTheInputs) {
  ASSERT_EQ(Read("SUBPROGRAM S(a[1..2], b)\n"
                 "b = a[1]*a[2]\n"
                 "END\n"
                 "v[1] = 2\n"
                 "v[2] = 5\n"
                 "CALL S(v[1..2], x)\n",
                 true),
            0);
  const std::vector<TEquationRecord*> main = Equations(MainProgramUnit);
  ASSERT_EQ(main.size(), 3u);
  EXPECT_EQ(ListEquationCode(*main[2], MainProgramUnit), "x v[1] v[2] 1 , #253 =");
  EXPECT_NEAR(static_cast<double>(MainVariable("x")->Value), 10.0, 1e-9);
}

// The unit is solved once per distinct set of inputs: the two outputs of
// one CALL share a solve, a second CALL with other inputs solves again.
// (The values are those of the solver's stop criterion.)
TEST_F(ModuleUnitsTest, SubprogramIsSolvedOncePerDistinctInput) {
  ASSERT_EQ(Read("SUBPROGRAM S(a : x, y)\n"
                 "x^2 = 4*a\n"
                 "y = x + a\n"
                 "END\n"
                 "CALL S(1 : p, q)\n"
                 "CALL S(4 : r, w)\n",
                 true),
            0);
  EXPECT_NEAR(static_cast<double>(MainVariable("p")->Value), 2.0, 1e-5);
  EXPECT_NEAR(static_cast<double>(MainVariable("q")->Value), 3.0, 1e-5);
  EXPECT_NEAR(static_cast<double>(MainVariable("r")->Value), 4.0, 1e-5);
  EXPECT_NEAR(static_cast<double>(MainVariable("w")->Value), 8.0, 1e-5);
  // Inputs 1, 4, and again 1 and 4 whenever the calls alternate.
  const int32_t solves = UnitSolveCount(*Unit(1));
  EXPECT_GE(solves, 2);
  ASSERT_EQ(Read("SUBPROGRAM S(a : x, y)\n"
                 "x^2 = 4*a\n"
                 "y = x + a\n"
                 "END\n"
                 "CALL S(9 : p, q)\n",
                 true),
            0);
  EXPECT_EQ(UnitSolveCount(*Unit(1)), 1);
  EXPECT_NEAR(static_cast<double>(MainVariable("q")->Value), 15.0, 1e-5);
}

// Names compare without regard to case: the output s of a CALL of S is a
// variable, not a second call of the unit.
TEST_F(ModuleUnitsTest, VariableNamedLikeAUnitStaysAVariable) {
  ASSERT_EQ(Read("SUBPROGRAM S(a : x)\n"
                 "x = 3*a\n"
                 "END\n"
                 "CALL S(2 : s)\n"
                 "t = s + 1\n",
                 true),
            0);
  EXPECT_EQ(ListEquationCode(*Equations(MainProgramUnit).at(1), MainProgramUnit), "t s 1 + =");
  EXPECT_NEAR(static_cast<double>(MainVariable("t")->Value), 7.0, 1e-9);
}

TEST_F(ModuleUnitsTest, ErrorsOfHeadersEndsAndCalls) {
  // Ranges count their elements: 300 inputs and one output.
  const std::string many = "MODULE Big(X[1..300] : z)\nz = X[1]\nEND\n";
  struct Case {
    const char* name;
    std::string text;
    int32_t error;
  };
  const std::vector<Case> cases = {
      {"calls itself", "MODULE M(a : b)\nb = a\nCALL M(1 : x)\nEND\n", kMsgRecursion},
      {"301 parameters", many, kMsgModuleArgumentLimit},
      {"no parenthesis", "MODULE M a : b\nEND\n", kMsgRoutineHeaderSyntax},
      {"outputs not closed", "MODULE M(a : b\nEND\n", kMsgRoutineHeaderSyntax},
      {"inputs not closed", "MODULE M(a, b\nEND\n", kMsgProcedureColonMissing},
      {"nested", "MODULE M(a : b)\nMODULE N(c : d)\nEND\nEND\n", kMsgNestedRoutines},
      {"in a FUNCTION", "FUNCTION F(x)\nSUBPROGRAM S(a : b)\nF := x\nEND\ny = F(1)\n", kMsgNestedRoutines},
      {"FUNCTION in a unit", "MODULE M(a : b)\nFUNCTION F(x)\nF := x\nEND\n", kMsgNestedRoutines},
      {"END alone", "x = 1\nEND\n", kMsgMisplacedEnd},
      {"built-in name", "MODULE Sin(a : b)\nb = a\nEND\n", kMsgNameIsRoutine},
      {"call without colon", "MODULE M(a : b)\nb = a\nEND\nCALL M(1, x)\n", kMsgCallColon},
      {"too many inputs", "MODULE M(a : b)\nb = a\nEND\nCALL M(1, 2 : x)\n", kMsgCallArgumentCount},
      {"too many outputs", "SUBPROGRAM S(a : b)\nb = a\nEND\nCALL S(1 : x, y)\n", kMsgCallArgumentCount},
      {"no equations", "MODULE M(a : b)\nEND\n", kMsgUnbalancedModule},
      {"complex mode", "$COMPLEX ON\nMODULE M(a : b)\nb = a\nEND\nCALL M(1 : x)\n", kMsgComplexModules},
      {"$COMMON after an equation", "MODULE M(a : b)\nb = a\n$COMMON g\nEND\n", kMsgCommonNotFirst},
      {"missing END", "MODULE M(a : b)\nb = a\n", kMsgMissingEnd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshEngine();
    EXPECT_EQ(Read(c.text), c.error);
    if (c.error == kMsgCommonNotFirst) {
      EXPECT_EQ(MessageArgs[1], "Module M");
    }
    if (c.error == kMsgModuleArgumentLimit) {
      EXPECT_EQ(MessageArgs[1], "300");
    }
    if (c.error == kMsgCallColon) {
      EXPECT_EQ(MessageArgs[1], "Module");
    }
    if (c.error == kMsgUnbalancedModule) {
      EXPECT_EQ(Unit(1)->UnitUnbalanced, 1);
      EXPECT_EQ(DebugProgramUnit, Unit(1));
    }
  }
}

// A FUNCTION may call a SUBPROGRAM, but a MODULE only at its peril.
TEST_F(ModuleUnitsTest, ModuleCalledFromAFunctionIsError249) {
  const std::string body = "(a : b)\nb = 2*a\nEND\n"
                           "FUNCTION F(t)\nCALL M(t : u)\nF := u + 1\nEND\n"
                           "z = F(3)\n";
  EXPECT_EQ(Read("MODULE M" + body, true), kMsgRoutineCallsModule);
  FreshEngine();
  ASSERT_EQ(Read("SUBPROGRAM M" + body, true), 0);
  EXPECT_NEAR(static_cast<double>(MainVariable("z")->Value), 7.0, 1e-12);
}

// Every merged copy of a property call evaluates with an object of its own,
// made by the substance factory for the same substance and call.
TEST_F(ModuleUnitsTest, MergedPropertyCallsGetFreshSubstanceObjects) {
  ASSERT_EQ(Read("MODULE M(T : d)\n"
                 "d = Enthalpy(Air, T=T) - Enthalpy(N2, T=T)\n"
                 "END\n"
                 "CALL M(300 : d1)\n"
                 "CALL M(400 : d2)\n"),
            0);
  const TSubstanceBase* unitChain = Unit(1)->FirstEquation->SubstanceChain;
  ASSERT_NE(unitChain, nullptr);
  ASSERT_NE(unitChain->Next, nullptr);
  std::vector<const TSubstanceBase*> seen = {unitChain, unitChain->Next};
  for (const char* text : {"@1\\1: d=Enthalpy(Air,T=T)-Enthalpy(N2,T=T)",
                           "@1\\2: d=Enthalpy(Air,T=T)-Enthalpy(N2,T=T)"}) {
    SCOPED_TRACE(text);
    TEquationRecord* copy = MainEquationWithText(text);
    ASSERT_NE(copy, nullptr);
    const TSubstanceBase* a = copy->SubstanceChain;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->Next, nullptr);
    EXPECT_EQ(a->Next->Next, nullptr);
    for (const TSubstanceBase* object : std::vector<const TSubstanceBase*>{a, a->Next}) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), object), 0);
      seen.push_back(object);
    }
    EXPECT_EQ(a->SubstanceCode, unitChain->SubstanceCode);
    EXPECT_EQ(a->Next->SubstanceCode, unitChain->Next->SubstanceCode);
    EXPECT_EQ(a->ServedOpcode, unitChain->ServedOpcode);
    EXPECT_EQ(a->ArgKind, unitChain->ArgKind);
    // The same code on the copies: only variable indexes differ.
    const std::vector<int32_t>& unitCode = Unit(1)->FirstEquation->Code;
    ASSERT_EQ(copy->Code.size(), unitCode.size());
    for (size_t k = 0; k < unitCode.size(); ++k) {
      if (k > 0 && unitCode[k - 1] == CodeVariable) continue;
      EXPECT_EQ(copy->Code[k], unitCode[k]) << "word " << k;
    }
    EXPECT_EQ(copy->Constants, Unit(1)->FirstEquation->Constants);
  }
}

TEST_F(ModuleUnitsTest, SubscriptsOrderNumerically) {
  ASSERT_EQ(Read("MODULE M(X[2,10], X[1,99] : X[2,9])\n"
                 "X[2,9] = X[2,10] + X[1,99]\n"
                 "END\n"),
            0);
  TProgramUnitRecord* m = Unit(1);
  ASSERT_EQ(m->UsedVariableCount, 3);
  std::vector<std::string> order;
  for (int32_t k = 1; k <= 3; ++k) order.push_back(UnitVariableName(m, m->UsedVariableList[k]));
  EXPECT_EQ(order, (std::vector<std::string>{"X[1,99]", "X[2,9]", "X[2,10]"}));
}

// A unit statement with the text of a main-program statement of the last
// read takes over the unit's own record, never the main program's.
TEST_F(ModuleUnitsTest, UnitStatementNeverTakesOverAMainProgramRecord) {
  const std::string text = "MODULE M(a : b)\n"
                           "b = 2*a\n"
                           "END\n"
                           "a = 3\n"
                           "b = 2*a\n";
  ASSERT_EQ(Read(text), 0);
  TEquationRecord* mainRecord = MainEquationWithText("b=2*a");
  TEquationRecord* unitRecord = Unit(1)->FirstEquation;
  ASSERT_NE(mainRecord, nullptr);
  ASSERT_NE(unitRecord, nullptr);
  const int32_t* mainCode = mainRecord->Code.data();
  const int32_t* unitCode = unitRecord->Code.data();
  ASSERT_EQ(Read(text), 0);
  ASSERT_NE(Unit(1)->FirstEquation, nullptr);
  EXPECT_EQ(Unit(1)->FirstEquation->Code.data(), unitCode);
  ASSERT_NE(MainEquationWithText("b=2*a"), nullptr);
  EXPECT_EQ(MainEquationWithText("b=2*a")->Code.data(), mainCode);
  EXPECT_EQ(ListEquationCode(*Unit(1)->FirstEquation, Unit(1)), "b 2 a * =");
  EXPECT_EQ(Unit(1)->FirstEquation->Next, nullptr);
}

// $COMMON ties a unit variable to the main program's.
TEST_F(ModuleUnitsTest, CommonInAMergedModule) {
  ASSERT_EQ(Read("MODULE Fall(t : h)\n"
                 "$COMMON g\n"
                 "h = g*t^2/2\n"
                 "END\n"
                 "g = 9.81\n"
                 "CALL Fall(2 : d)\n",
                 true),
            0);
  TProgramUnitRecord* m = Unit(1);
  ASSERT_EQ(m->CommonVariables.size(), 1u);
  EXPECT_NE(MainEquationWithText("@1\\1.g=g"), nullptr);
  EXPECT_NEAR(static_cast<double>(MainVariable("d")->Value), 19.62, 1e-12);
}

// Each call of a SUBPROGRAM takes the $COMMON value the main program has
// now: the link survives the first call, and a changed value is no longer
// answered from the kept outputs.
TEST_F(ModuleUnitsTest, CommonValueReachesEverySeparateCall) {
  ASSERT_EQ(Read("SUBPROGRAM Fall(t : h)\n"
                 "$COMMON g\n"
                 "h = g*t^2/2\n"
                 "END\n"
                 "g = 9.81\n"
                 "CALL Fall(2 : d)\n",
                 true),
            0);
  EXPECT_NEAR(static_cast<double>(MainVariable("d")->Value), 19.62, 1e-9);
  TProgramUnitRecord* unit = Unit(1);
  const int32_t solves = UnitSolveCount(*unit);
  MainVariable("g")->Value = 1;
  TEquationRecord* call = Equations(MainProgramUnit).back();
  CurrentProgramUnit = MainProgramUnit;
  const Extended residual = EvaluateEquation(call, 0);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(residual), 19.62 - 2.0, 1e-9);
  EXPECT_EQ(UnitSolveCount(*unit), solves + 1);
  const TVariableRecord* g = unit->Variable(unit->CommonVariables[0]);
  EXPECT_GT(g->CommonVariable, 0);
  EXPECT_EQ(g->Name, "g");
}

TEST_F(ModuleUnitsTest, CommonInAFunction) {
  ASSERT_EQ(Read("FUNCTION F(x)\n"
                 "$COMMON g\n"
                 "F := g*x\n"
                 "END\n"
                 "g = 3\n"
                 "y = F(2)\n",
                 true),
            0);
  EXPECT_NEAR(static_cast<double>(MainVariable("y")->Value), 6.0, 1e-12);
  TRoutineRecord* f = RoutineAt(FindRoutineSlot("F"));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->UsesCommon, 1);
}

// Library routines and units cannot reach the main program of whichever
// document loads them.
TEST_F(ModuleUnitsTest, CommonInALibraryIsError342) {
  LoadingLibrary = true;
  std::string statement = "$COMMON g";
  bool handled = false;
  ProcessCommonDirective(statement, handled);
  LoadingLibrary = false;
  EXPECT_TRUE(handled);
  EXPECT_EQ(CalcErrorCode, kMsgCommonInLibrary);
  CalcErrorCode = 0;
  std::string plain = "x = 1";
  ProcessCommonDirective(plain, handled);
  EXPECT_FALSE(handled);
}

TEST_F(ModuleUnitsTest, CommonRangesAndTheirErrors) {
  ASSERT_EQ(Read("MODULE M(a : b)\n$COMMON X[1..2], k\nb = a + X[1] + X[2] + k\nEND\n"), 0);
  EXPECT_EQ(Unit(1)->CommonVariables.size(), 3u);
  FreshEngine();
  EXPECT_EQ(Read("MODULE M(a : b)\n$COMMON X[1..2,1..2,1..2,1..2]\nb = a\nEND\n"), kMsgCommonArrayDimensions);
}

}  // namespace
}  // namespace voq
