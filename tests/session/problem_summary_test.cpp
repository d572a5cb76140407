// The problem summary and the guess maintenance. The expected sentences are
// assembled by hand from the phrases and message texts the summary is made
// of; the French phrases are Windows-1252 text (0xE9 e acute, 0xE8 e grave).
#include "platform/host.h"
#include "session/problem_summary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"

namespace voq {
namespace {

using namespace voq::testing;

std::string languageName = "ENU";
std::string FakeLanguage() { return languageName; }

class FakeWindows : public ProblemSummaryEnvironment {
 public:
  bool DiagramShown() const override { return diagramShown; }
  int32_t DiagramInputCount() const override { return diagramInputs; }
  bool ComplexAlgebra() const override { return complex; }
  bool diagramShown = false;
  int32_t diagramInputs = 0;
  bool complex = false;
};

const char* const kUnder = " is underspecified and cannot be solved.";
const char* const kOver = " is overspecified and cannot be solved.";
const char* const kNoErrors = "No syntax errors were detected.";

class ProblemSummaryTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    languageName = "ENU";
    SetLocaleLanguageReader(FakeLanguage);
    SetProblemSummaryEnvironment(&windows_);
    CheckOnlyMode = false;
    MinMaxMode = false;
    UseDiagramInput = false;
    CompileStartTicks = 1000;
    CompileEndTicks = 2234;  // 1234 ms
    DegreesOfFreedom = -99;
  }
  void TearDown() override {
    SetLocaleLanguageReader(nullptr);
    SetProblemSummaryEnvironment(nullptr);
    CheckOnlyMode = false;
    MinMaxMode = false;
    UseDiagramInput = false;
    LanguageStoreTest::TearDown();
  }

  void Read(std::initializer_list<const char*> statements) {
    BeginTestPass();
    for (const char* s : statements) {
      std::string text = s;
      CompileStatement(text, 255, TStatementPosition{});
      ASSERT_EQ(CalcErrorCode, 0) << s;
    }
    EndTestPass();
  }
  std::string Summary(int32_t tableCount = 0, const TProgramUnitRecord* unit = nullptr) {
    std::string text = "junk";
    ProblemSizeMessage(unit ? unit : MainProgramUnit, tableCount, text);
    return text;
  }
  // A MODULE (or SUBPROGRAM) with `equations` equation records and `used` variables.
  TProgramUnitRecord* Module(const std::string& name, int equations, int used, int inputs,
                             bool subprogram = false) {
    TProgramUnitRecord* unit = CreateProgramUnit();
    unit->Name = name;
    unit->UnitIndex = static_cast<int16_t>(ProgramUnitList.size() - 1);
    unit->IsSubprogram = subprogram ? 1 : 0;
    unit->InputCount = static_cast<int16_t>(inputs);
    unit->UsedVariableCount = static_cast<int16_t>(used);
    for (int k = 0; k < equations; ++k) {
      auto* e = new TEquationRecord();
      e->Next = unit->FirstEquation;
      unit->FirstEquation = e;
    }
    return unit;
  }

  FakeWindows windows_;
};

TEST_F(ProblemSummaryTest, BalancedProblemReportsTheCompilationTime) {
  Read({"x+y=3", "x-y=1", "z=x*y"});
  EXPECT_EQ(Summary(),
            "There are 3 equations and 3 variables.  No syntax errors were detected.  "
            "Compilation time: 1.2 sec");
  EXPECT_EQ(DegreesOfFreedom, 0);
}

TEST_F(ProblemSummaryTest, UnderAndOverspecifiedProblems) {
  struct Case {
    std::initializer_list<const char*> statements;
    std::string text;
    int32_t freedom;
  };
  const Case cases[] = {
      {{"a+b=c", "a-b=d", "c*d=1"},
       std::string("There are 3 equations and 4 variables.  The problem") + kUnder, 1},
      {{"x=y^2"}, std::string("There is one equation and 2 variables.  The problem") + kUnder, 1},
      {{"x+y=3", "x-y=1", "x*y=2"},
       std::string("There are 3 equations and 2 variables.  The problem") + kOver, -1},
      // A constant assignment is an equation record too.
      {{"x=3", "x*y=2", "y+z=1", "z=4"},
       std::string("There are 4 equations and 3 variables.  The problem") + kOver, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FreshStore();
    Read(c.statements);
    EXPECT_EQ(Summary(), c.text);
    EXPECT_EQ(DegreesOfFreedom, c.freedom);
  }
}

TEST_F(ProblemSummaryTest, OneEquationInOneVariableAndShortCompileTime) {
  Read({"x^2=4"});
  CompileEndTicks = CompileStartTicks + 500;
  EXPECT_EQ(Summary(), std::string("There is one equation and one variable.  ") + kNoErrors +
                           "  Compilation time: .5 sec");
}

TEST_F(ProblemSummaryTest, CheckOnlyModeGivesNoUnderspecifiedVerdict) {
  Read({"x=y^2"});
  CheckOnlyMode = true;
  EXPECT_EQ(Summary(), std::string("There is one equation and 2 variables.  ") + kNoErrors +
                           "  Compilation time: 1.2 sec");
  EXPECT_EQ(DegreesOfFreedom, 1);
  // Overspecified is reported in check mode too.
  FreshStore();
  Read({"x+y=3", "x-y=1", "x*y=2"});
  EXPECT_EQ(Summary(), std::string("There are 3 equations and 2 variables.  The problem") + kOver);
}

TEST_F(ProblemSummaryTest, MinMaxModeAllowsAtMostTenDegreesOfFreedom) {
  MinMaxMode = true;
  Read({"a+b+c+d+e+f+g+h+i+j+k+l+m=1"});  // 13 variables, 12 free
  EXPECT_EQ(Summary(), "Minimization or maximization is possible only with ten or fewer degrees of freedom.");
  EXPECT_EQ(DegreesOfFreedom, 12);
  FreshStore();
  Read({"a+b+c=1"});  // 2 free: no verdict sentence
  EXPECT_EQ(Summary(), "There is one equation and 3 variables.  ");
}

TEST_F(ProblemSummaryTest, IntegrationDiagramTableAndComplexClauses) {
  Read({"a+b=c", "a-b=d", "c*d=e"});  // 3 equations, 5 variables
  MainProgramUnit->IntegralCount = 1;
  windows_.complex = true;
  // free = 5 - 1 (table) - 3 = 1; minus one integration variable: balanced.
  EXPECT_EQ(Summary(1),
            std::string("There are 3 equations and 5 variables in complex number mode with 1 variable "
                        "used for integration and 1 set in the Parametric table.  ") +
                kNoErrors + "  Compilation time: 1.2 sec");
  EXPECT_EQ(DegreesOfFreedom, 0);

  // Two integration variables, and the Diagram's inputs (counted in English
  // only with UseDiagramInput).
  windows_.complex = false;
  MainProgramUnit->IntegralCount = 2;
  windows_.diagramShown = true;
  windows_.diagramInputs = 2;
  // free = 5 - 3 = 2 (the Diagram's inputs count in English only with
  // UseDiagramInput); minus two integration variables: balanced.
  EXPECT_EQ(Summary(), std::string("There are 3 equations and 5 variables with 2 variables used for "
                                   "integration.  ") + kNoErrors + "  Compilation time: 1.2 sec");
  EXPECT_EQ(DegreesOfFreedom, 0);
}

TEST_F(ProblemSummaryTest, DiagramInputsCountWhenUsed) {
  Read({"a+b=c"});  // 1 equation, 3 variables
  windows_.diagramShown = true;
  windows_.diagramInputs = 2;
  // Not used for the solve: 2 degrees of freedom.
  EXPECT_EQ(Summary(), std::string("There is one equation and 3 variables.  The problem") + kUnder);
  EXPECT_EQ(DegreesOfFreedom, 2);
  UseDiagramInput = true;
  EXPECT_EQ(Summary(), std::string("There is one equation and 3 variables with 2 set in the Diagram.  ") +
                           kNoErrors + "  Compilation time: 1.2 sec");
  EXPECT_EQ(DegreesOfFreedom, 0);
  // The Parametric table's clause follows with the same connector.
  EXPECT_EQ(Summary(1), std::string("There is one equation and 3 variables with 2 set in the Diagram with "
                                    "1 set in the Parametric table.  The problem") + kOver);
}

TEST_F(ProblemSummaryTest, ModulesAndSubprograms) {
  // 2 equations, 5 variables, 2 inputs: 3 shown variables, 1 free.
  TProgramUnitRecord* pump = Module("Pump", 2, 5, 2);
  EXPECT_EQ(Summary(0, pump), std::string("There are 2 equations and 3 variables.  Module Pump") + kUnder);
  EXPECT_EQ(DegreesOfFreedom, 1);
  // Balanced: the module has no outputs.
  pump->InputCount = 3;
  EXPECT_EQ(Summary(0, pump),
            "There are 2 equations and 2 variables.  Module Pump is missing one or more equations since it "
            "currently does not have any outputs.");
  TProgramUnitRecord* sub = Module("Cycle", 2, 2, 0, true);
  EXPECT_EQ(Summary(0, sub),
            "There are 2 equations and 2 variables.  Subprogram Cycle is missing one or more equations since "
            "it currently does not have any outputs.");
  sub->UsedVariableCount = 1;
  EXPECT_EQ(Summary(0, sub), std::string("There are 2 equations and one variable.  Module Cycle") + kOver);
  // The French text has no module branch: it ends with the compilation time.
  languageName = "FRA";
  sub->UsedVariableCount = 2;
  EXPECT_EQ(Summary(0, sub), std::string("Il y a 2 \xE9quations et 2 variables.  ") + kNoErrors +
                                 "  Temps de compilation: 1.2 sec");
  sub->UsedVariableCount = 3;
  EXPECT_EQ(Summary(0, sub), std::string("Il y a 2 \xE9quations et 3 variables.  Le module Cycle") + kUnder);
}

TEST_F(ProblemSummaryTest, FrenchTexts) {
  languageName = "FRC";  // any language name beginning with FR
  SetDecimalSeparator(',');
  Read({"a+b=c", "a-b=d", "c*d=e"});
  MainProgramUnit->IntegralCount = 2;
  windows_.complex = true;
  windows_.diagramShown = true;  // counted in French without UseDiagramInput
  windows_.diagramInputs = 1;
  // free = 5 - 1 - 3 - 1 = 0; minus 2 integration variables: -2.
  EXPECT_EQ(Summary(1),
            std::string("Il y a 3 \xE9quations et 5 variables dans le mode complexe avec 2 variables "
                        "utilis\xE9" "es pour cette integration et 1 fix\xE9" "e(s) dans le diagramme et 1 "
                        "fix\xE9" "e(s) dans la table param\xE9trique.  Le probl\xE8" "me ") + kOver);
  EXPECT_EQ(DegreesOfFreedom, -2);

  FreshStore();
  windows_ = FakeWindows{};
  languageName = "fra";
  SetDecimalSeparator(',');
  Read({"x+y=3", "x-y=1"});
  EXPECT_EQ(Summary(), std::string("Il y a 2 \xE9quations et 2 variables.  ") + kNoErrors +
                           "  Temps de compilation: 1,2 sec");
  FreshStore();
  Read({"x=y^2"});
  EXPECT_EQ(Summary(), std::string("There is one equation and 2 variables.  Le probl\xE8" "me ") + kUnder);
}

TEST_F(ProblemSummaryTest, LocaleLanguageFromTheEnvironment) {
  SetLocaleLanguageReader(&EnvironmentLocaleLanguage);
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  Saved saved[] = {{"LC_ALL", {}}, {"LC_MESSAGES", {}}, {"LANG", {}}};
  for (Saved& s : saved) {
    if (const char* v = std::getenv(s.name)) s.value = v;
    unsetenv(s.name);
  }
  setenv("LANG", "fr_CA.UTF-8", 1);
  EXPECT_EQ(LocaleLanguageName(), "FR");
  EXPECT_TRUE(UseFrenchSummary());
  setenv("LC_ALL", "en_US.UTF-8", 1);  // LC_ALL wins
  EXPECT_EQ(LocaleLanguageName(), "EN");
  EXPECT_FALSE(UseFrenchSummary());
  for (Saved& s : saved) {
    if (s.value) {
      setenv(s.name, s.value->c_str(), 1);
    } else {
      unsetenv(s.name);
    }
  }
}

TEST_F(ProblemSummaryTest, CountModuleEquationsLeavesNoCurrentEquation) {
  Read({"x+y=3", "x-y=1", "z=2"});
  EXPECT_NE(CurrentEquation, nullptr);
  EXPECT_EQ(CountModuleEquations(MainProgramUnit), 3);
  EXPECT_EQ(CurrentEquation, nullptr);
  EXPECT_EQ(CountModuleEquations(nullptr), 0);
}

// --- Guesses -----------------------------------------------------------------------

TEST_F(ProblemSummaryTest, UpdateGuessesCopiesValuesButNotBlanks) {
  Read({"x+y=3", "x-y=1", "z=w"});
  MainProgramUnit->Defined = 1;
  VarNamed("x")->Value = 2;
  VarNamed("y")->Value = 1;
  VarNamed("z")->Guess = 4;
  VarNamed("z")->Value = BlankValue;  // never computed
  UpdateGuessesFromSolution(-1);
  EXPECT_EQ(VarNamed("x")->Guess, 2.0L);
  EXPECT_EQ(VarNamed("y")->Guess, 1.0L);
  EXPECT_EQ(VarNamed("z")->Guess, 4.0L);

  // A unit that is not defined is left alone.
  MainProgramUnit->Defined = 0;
  VarNamed("x")->Value = 7;
  UpdateGuessesFromSolution(-1);
  EXPECT_EQ(VarNamed("x")->Guess, 2.0L);
}

TEST_F(ProblemSummaryTest, UpdateGuessesOfModulesFollowTheirCopiesInTheMainProgram) {
  Read({"a=1", "b=2", "c=3"});  // main variables 1..3
  MainProgramUnit->Defined = 1;
  TProgramUnitRecord* pump = Module("Pump", 0, 0, 0);
  TProgramUnitRecord* sub = Module("Loop", 0, 0, 0, true);
  for (TProgramUnitRecord* unit : {pump, sub}) {
    unit->Defined = 1;
    CurrentProgramUnit = unit;
    for (const char* name : {"p", "q", "r"}) AddVariable(name);
    for (int32_t i = 1; i <= 3; ++i) {
      unit->Variable(i)->Guess = 10 * i;
      unit->Variable(i)->Value = 100 * i;
    }
  }
  CurrentProgramUnit = MainProgramUnit;
  // Copies: p is main variable 2, q main variable 3 (the last one: not
  // taken), r has none.
  pump->CallCount = 1;
  pump->CallerIndex = 0;
  pump->Variable(1)->Block = 2;
  pump->Variable(2)->Block = 3;
  pump->Variable(3)->Block = 0;

  UpdateGuessesFromSolution(2);  // the module only
  EXPECT_EQ(pump->Variable(1)->Guess, 2.0L);
  EXPECT_EQ(pump->Variable(2)->Guess, 20.0L);
  EXPECT_EQ(pump->Variable(3)->Guess, 30.0L);
  EXPECT_EQ(sub->Variable(1)->Guess, 10.0L);
  EXPECT_EQ(MainProgramUnit->Variable(2)->Guess, 1.0L);

  // Merged by two calls: the guesses stay.
  pump->Variable(1)->Guess = 10;
  pump->CallCount = 2;
  UpdateGuessesFromSolution(-1);
  EXPECT_EQ(pump->Variable(1)->Guess, 10.0L);
  // A SUBPROGRAM solves its own variables: value into guess.
  EXPECT_EQ(sub->Variable(1)->Guess, 100.0L);
  EXPECT_EQ(sub->Variable(3)->Guess, 300.0L);
  // Main program: b = 2 by its constant equation.
  EXPECT_EQ(MainProgramUnit->Variable(2)->Guess, 2.0L);
  // Out-of-range unit numbers change nothing.
  UpdateGuessesFromSolution(0);
  UpdateGuessesFromSolution(9);
}

TEST_F(ProblemSummaryTest, ResetGuessesRestoresTheLetterDefaults) {
  LetterDefaults['X' - 'A'].Guess = 7;
  LetterDefaults['X' - 'A'].LowerLimit = -3;
  LetterDefaults['X' - 'A'].UpperLimit = 9;
  LetterDefaults['T' - 'A'].Guess = 300;
  Read({"x1+x2=3", "x1-x2=1"});
  MainProgramUnit->CompiledThisPass = 1;
  for (const char* name : {"x1", "x2"}) {
    TVariableRecord* v = VarNamed(name);
    v->Guess = 50;
    v->LowerLimit = 0;
    v->UpperLimit = 60;
    v->GuessVariable = 2;
    v->LowerVariable = 2;
    v->UpperVariable = 1;
  }
  // Only variable 1.
  ResetAllGuesses(1);
  EXPECT_EQ(VarNamed("x1")->Guess, 7.0L);
  EXPECT_EQ(VarNamed("x1")->LowerLimit, -3.0L);
  EXPECT_EQ(VarNamed("x1")->UpperLimit, 9.0L);
  EXPECT_EQ(VarNamed("x1")->GuessVariable, 0);
  EXPECT_EQ(VarNamed("x1")->LowerVariable, 0);
  EXPECT_EQ(VarNamed("x1")->UpperVariable, 0);
  EXPECT_EQ(VarNamed("x2")->Guess, 50.0L);
  EXPECT_EQ(VarNamed("x2")->GuessVariable, 2);
  // 0 (or any index outside the variables) resets them all.
  ResetAllGuesses(0);
  EXPECT_EQ(VarNamed("x2")->Guess, 7.0L);
  EXPECT_EQ(VarNamed("x2")->UpperVariable, 0);

  // Internal names of module copies take their plain name's defaults; other
  // names that do not begin with a letter the general ones.
  AddVariable("@1\\1.temp");
  AddVariable("@odd");
  const int32_t n = MainProgramUnit->VariableCount;
  MainProgramUnit->Variable(n - 1)->Guess = 0;
  MainProgramUnit->Variable(n)->Guess = 0;
  MainProgramUnit->Variable(n)->LowerLimit = 0;
  ResetAllGuesses(-5);
  EXPECT_EQ(MainProgramUnit->Variable(n - 1)->Guess, 300.0L);
  EXPECT_EQ(MainProgramUnit->Variable(n)->Guess, 1.0L);
  EXPECT_EQ(MainProgramUnit->Variable(n)->LowerLimit, -InfinityValue);

  // Library units and units not compiled in this pass are left alone.
  VarNamed("x1")->Guess = 50;
  MainProgramUnit->CompiledThisPass = 0;
  ResetAllGuesses(0);
  EXPECT_EQ(VarNamed("x1")->Guess, 50.0L);
  MainProgramUnit->CompiledThisPass = 1;
  MainProgramUnit->IsLibraryUnit = 1;
  ResetAllGuesses(0);
  EXPECT_EQ(VarNamed("x1")->Guess, 50.0L);
  MainProgramUnit->IsLibraryUnit = 0;
}

}  // namespace
}  // namespace voq
