// Equations with one unknown, on statements compiled by the statement
// compiler. Reference values are hand calculations: 2*3+1 = 7; the cube
// root of 8 is 2; ln 10 = 2.302585092994045684 (Abramowitz & Stegun, Table
// 4.1 gives ln 10 = 2.30258 50929 94045 68402); sqrt 2 = 1.414213562373095049.
#include "platform/host.h"
#include "solver/one_unknown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "language/function_catalog.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"
#include "model/warnings_window.h"
#include "platform/scripted_platform.h"
#include "session/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/code_builder.h"
#include "solver/evaluator.h"

namespace voq {
namespace {

using namespace voq::testing;

// Arguments of every exp() evaluation, so tests can see the trial points.
std::vector<long double> expArguments;

bool ExpHandler(TEvaluationState& s, int32_t) {
  expArguments.push_back(s.Values[s.Height]);
  s.Values[s.Height] = std::exp(s.Values[s.Height]);
  return true;
}

constexpr int32_t kExpOpcode = 225;

class OneUnknownTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    SetOpcodeHandler(kExpOpcode, ExpHandler);
    expArguments.clear();
    StopCriteria = TStopCriteriaRecord{};
    StopCriteria.RelativeResidualTolerance = 1e-12L;
    AbortRequested = false;
    SolutionStarted = false;
    UncertaintyMode = false;
    ClearWarningsAfter(0);
  }
  void TearDown() override {
    FreeOccurrenceLists();
    for (int op = 198; op <= 255; ++op) SetOpcodeHandler(op, nullptr);
    UncertaintyMode = false;
    UncertaintyTableMode = false;
    AbortRequested = false;
    LanguageStoreTest::TearDown();
  }

  // A new document: an empty store with the function catalogue.
  void Fresh() {
    FreshStore();
    InstallBuiltinFunctionCatalog();
  }
  // One read of the statements as the reader does it: each statement is
  // compiled and then offered to the immediate solve.
  void Read(std::initializer_list<const char*> statements) {
    BeginTestPass();
    int32_t solveOrderCounter = 0;
    for (const char* s : statements) {
      std::string text = s;
      CompileStatement(text, 255, TStatementPosition{});
      ASSERT_EQ(CalcErrorCode, 0) << s;
      SolveEquationOnRead(solveOrderCounter);
      ASSERT_EQ(CalcErrorCode, 0) << s;
    }
    EndTestPass();
  }
  // The same read with Ctrl held: nothing is solved while reading.
  void ReadOnly(std::initializer_list<const char*> statements) {
    platform_.ctrlDown = true;
    Read(statements);
    platform_.ctrlDown = false;
  }
  TEquationRecord* Equation(int n) {
    TEquationRecord* e = MainProgramUnit->FirstEquation;
    for (int k = 1; k < n && e != nullptr; ++k) e = e->Next;
    return e;
  }
  long double Value(const char* name) { return VarNamed(name)->Value; }

  ScriptedPlatform platform_;
  ScopedPlatform scoped_{platform_};
};

TEST_F(OneUnknownTest, AssignmentChainIsSolvedWhileReading) {
  Read({"x = 3", "y = 2*x + 1"});
  // x = 3 is set by the compiler; y = 2*3 + 1 = 7 (hand calculation) by the
  // immediate solve, which numbers it -1.
  EXPECT_NEAR(Value("y"), 7.0L, 1e-15L);
  EXPECT_EQ(Equation(1)->SolvedAlone, 1);
  EXPECT_EQ(Equation(1)->Block, kNeverSolveAloneBlock);
  EXPECT_EQ(Equation(2)->SolvedAlone, 1);
  EXPECT_EQ(Equation(2)->Block, -1);
  EXPECT_EQ(VarNamed("y")->UnknownPosition, kDeterminedVariable);
  EXPECT_EQ(MainProgramUnit->UnknownCount, 0);
  EXPECT_EQ(MainProgramUnit->EquationCount, 0);

  // The solve pass finds nothing left and nothing to block.
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(true);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->BlockCount, 0);
  EXPECT_NEAR(Value("y"), 7.0L, 1e-15L);
}

TEST_F(OneUnknownTest, PassSolvesInDependencyOrderAcrossPasses) {
  // With Ctrl held nothing is solved while reading. Pass 1 meets y = 2*x + 1
  // with two unknowns and skips it, then solves x = z - 1 = 4; pass 2 solves
  // y = 9 (hand calculation).
  ReadOnly({"z = 5", "y = 2*x + 1", "x = z - 1"});
  EXPECT_EQ(MainProgramUnit->UnknownCount, 2);
  EXPECT_EQ(Equation(2)->SolvedAlone, 0);
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(Value("x"), 4.0L, 1e-15L);
  EXPECT_NEAR(Value("y"), 9.0L, 1e-15L);
  EXPECT_EQ(Equation(3)->Block, -1);
  EXPECT_EQ(Equation(2)->Block, -2);
  EXPECT_EQ(MainProgramUnit->UnknownCount, 0);
  EXPECT_EQ(MainProgramUnit->EquationCount, 0);
}

TEST_F(OneUnknownTest, PassContinuesTheNumberingOfTheRead) {
  // Read: x = 4 gets -1, w = x + 1 = 5 gets -2; y = 2*w + 1 still had two
  // unknowns when read. The pass numbers it -3; y = 11 (hand calculation).
  Read({"z = 5", "x = z - 1", "y = 2*w + 1", "w = x + 1"});
  EXPECT_EQ(Equation(2)->Block, -1);
  EXPECT_EQ(Equation(4)->Block, -2);
  EXPECT_EQ(Equation(3)->SolvedAlone, 0);
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equation(3)->Block, -3);
  EXPECT_NEAR(Value("y"), 11.0L, 1e-15L);
}

TEST_F(OneUnknownTest, SecondEquationForAKnownVariableIsError22) {
  // The read discards the error; the solve pass reports it at line 2.
  Read({"x = 3", "2*x = 4"});
  EXPECT_EQ(CalcErrorCode, 0);
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(true);
  EXPECT_EQ(CalcErrorCode, 22);
  EXPECT_EQ(MainProgramUnit->LastEquation, Equation(2));
  EXPECT_EQ(Equation(2)->SolvedAlone, 0);
}

TEST_F(OneUnknownTest, NonlinearEquationsConvergeToTheTolerance) {
  struct Case {
    const char* statement;
    long double guess;
    long double root;  // hand calculation / published table, see the top
  };
  const Case cases[] = {
      {"x^3 = 8", 1, 2.0L},
      {"exp(x) = 10", 1, 2.302585092994045684L},
      {"x*x = 2", 1, 1.414213562373095049L},
      {"exp(x) = 10", 0, 2.302585092994045684L},  // probed at 1e-12
      {"x^3 = 8", 30, 2.0L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    Fresh();
    ReadOnly({c.statement});
    VarNamed("x")->Guess = c.guess;
    CurrentProgramUnit = MainProgramUnit;
    SolveOneUnknownEquations(false);
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(Value("x"), c.root, 1e-12L);
    EXPECT_LT(std::fabs(Equation(1)->RelativeResidual), StopCriteria.RelativeResidualTolerance);
    EXPECT_EQ(Equation(1)->SolvedAlone, 1);
    EXPECT_EQ(Equation(1)->Block, -1);
    EXPECT_EQ(VarNamed("x")->UnknownPosition, kDeterminedVariable);
    EXPECT_FALSE(SolutionStarted);
  }
}

TEST_F(OneUnknownTest, EquationWithoutRootReportsError23) {
  for (const char* statement : {"x^2 = -1", "exp(x) = -1"}) {
    SCOPED_TRACE(statement);
    Fresh();
    ReadOnly({statement});
    CurrentProgramUnit = MainProgramUnit;
    SolveOneUnknownEquations(false);
    EXPECT_EQ(CalcErrorCode, 23);
    EXPECT_EQ(MessageArgs[1], "x");
    EXPECT_EQ(MessageHelpContext, 389);
    EXPECT_EQ(Equation(1)->SolvedAlone, 0);
    EXPECT_GT(VarNamed("x")->UnknownPosition, 0);
    EXPECT_EQ(MainProgramUnit->UnknownCount, 1);
    EXPECT_EQ(MainProgramUnit->EquationCount, 1);
    EXPECT_EQ(MainProgramUnit->LastEquation, Equation(1));
    EXPECT_TRUE(SolutionStarted);
    // The failed attempt gives its order number back: the equation keeps -1.
    EXPECT_EQ(Equation(1)->Block, -1);
  }
}

TEST_F(OneUnknownTest, StallEndsTheSearchAndLeavesItToTheResidualCheck) {
  // x + |x| is 0 for every negative x, so the residual is flat there: the
  // halved steps stop moving. The search ends with the value it reached,
  // and the residual check after the solve reports the equation (54).
  ReadOnly({"0.5 - x - ABS(x) = 7"});
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equation(1)->SolvedAlone, 1);
  EXPECT_GT(std::fabs(Equation(1)->RelativeResidual), StopCriteria.RelativeResidualTolerance);
  CheckResidualsAfterSolve(true);
  EXPECT_EQ(CalcErrorCode, 54);
  EXPECT_EQ(MainProgramUnit->LastEquation, Equation(1));
}

TEST_F(OneUnknownTest, FailuresAreRetriedFromGuessesSpreadOverFiveTimesTheGuess) {
  ReadOnly({"exp(x) = -1"});
  VarNamed("x")->Guess = 2;
  // Random numbers 0 and 1 give starts of -5*2 and +5*2; then 0.5 gives 0.
  platform_.randomValues = {0.0, 1.0};
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 23);
  ASSERT_FALSE(expArguments.empty());
  EXPECT_EQ(expArguments.front(), 2.0L);
  auto first = std::find(expArguments.begin(), expArguments.end(), -10.0L);
  auto second = std::find(expArguments.begin(), expArguments.end(), 10.0L);
  EXPECT_NE(first, expArguments.end());
  EXPECT_NE(second, expArguments.end());
  EXPECT_LT(first, second);
  EXPECT_NE(std::find(second, expArguments.end(), 0.0L), expArguments.end());
}

// A failure is retried eight times, each from a fresh random guess, and the
// pass then ends with the error; a retry that succeeds ends the retries.
TEST_F(OneUnknownTest, EightRandomisedRetriesAtMost) {
  ReadOnly({"exp(x) = -1"});
  platform_.randomValues.assign(9, 0.25);
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 23);
  EXPECT_EQ(platform_.randomValues.size(), 1u);  // 8 of the 9 were drawn

  // A retry that succeeds is the last: x^3 = 8 from the guess 1 needs more
  // than four secant steps; the first retry starts at (0.71 - 0.5)*10*1 =
  // 2.1, close enough to the cube root 2 for four. The failed attempt gave
  // its order number back, so the solution is still the first.
  Fresh();
  ReadOnly({"x^3 = 8"});
  StopCriteria.MaxIterations = 4;
  platform_.randomValues = {0.71, 0.71, 0.71};
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equation(1)->SolvedAlone, 1);
  EXPECT_NEAR(double(Value("x")), 2.0, 1e-12);
  EXPECT_EQ(platform_.randomValues.size(), 2u);
  EXPECT_EQ(Equation(1)->Block, -1);
}

TEST_F(OneUnknownTest, ProbePoints) {
  struct Case {
    long double guess;
    long double upper;
    long double probe;
  };
  const Case cases[] = {
      {3, InfinityValue, 3 * 1.001L},  // a relative step of 1e-3
      {1e-17L, InfinityValue, 1e-12L}, // a guess of about zero: an absolute 1e-12
      {5, 5, 5 * 0.999L},              // at the upper limit: the other side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.guess));
    Fresh();
    expArguments.clear();
    ReadOnly({"exp(x) = 10"});
    VarNamed("x")->Guess = c.guess;
    VarNamed("x")->UpperLimit = c.upper;
    CurrentProgramUnit = MainProgramUnit;
    SolveOneUnknownEquations(false);
    EXPECT_EQ(CalcErrorCode, 0);
    ASSERT_GE(expArguments.size(), 2u);
    EXPECT_EQ(expArguments[0], c.guess);
    EXPECT_EQ(expArguments[1], c.probe);
    EXPECT_NEAR(Value("x"), 2.302585092994045684L, 1e-12L);
  }
}

TEST_F(OneUnknownTest, FlatResidualIsError55) {
  // 0*x = 1 has the residual -1 at the guess, at the probe and at -r/2.
  ReadOnly({"0*x = 1"});
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 55);
  EXPECT_EQ(MessageHelpContext, 362);
  EXPECT_EQ(Equation(1)->SolvedAlone, 0);
}

TEST_F(OneUnknownTest, GuessTakenFromAnotherVariableIsLeftToTheBlockSolver) {
  ReadOnly({"z = 5", "x^3 = 8"});
  TVariableRecord* x = VarNamed("x");
  x->GuessVariable = static_cast<int16_t>(FindVariable("z"));
  CurrentProgramUnit = MainProgramUnit;
  TEquationRecord* cursor = Equation(2);
  bool solved = true;
  int32_t counter = 0;
  SolveForOneUnknown(cursor, solved, counter, false);
  EXPECT_FALSE(solved);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(counter, 0);
  // A randomised retry solves it, starting from the guess variable's value
  // spread by the random number (0.5 gives 0, probed at 1e-12).
  SolveForOneUnknown(cursor, solved, counter, true);
  EXPECT_TRUE(solved);
  EXPECT_EQ(counter, -1);
  EXPECT_NEAR(x->Value, 2.0L, 1e-12L);
}

TEST_F(OneUnknownTest, TableRunAndIntegralEquationsAreNeverSolvedAlone) {
  ReadOnly({"x^3 = 8"});
  CurrentProgramUnit = MainProgramUnit;
  const int32_t x = FindVariable("x");
  TEquationRecord e;
  // x = TABLERUN#
  CodeBuilder().Var(x).Word(CodeTableRun).Word(OpEqual).Into(e);
  TEquationRecord* cursor = &e;
  bool solved = true;
  int32_t counter = 0;
  SolveForOneUnknown(cursor, solved, counter, false);
  EXPECT_FALSE(solved);
  EXPECT_EQ(CalcErrorCode, 0);

  // An equation with an INTEGRAL term, and one holding the integration variable.
  TIntegralTermRecord term;
  e.IntegralTerms = &term;
  CodeBuilder().Var(x).Const(8).Word(OpEqual).Into(e);
  SolveForOneUnknown(cursor, solved, counter, false);
  EXPECT_FALSE(solved);
  e.IntegralTerms = nullptr;
  MainProgramUnit->IntegralCount = 1;
  MainProgramUnit->IntegralSlots[1].IntegrationVariable = x;
  SolveForOneUnknown(cursor, solved, counter, false);
  EXPECT_FALSE(solved);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(counter, 0);
  MainProgramUnit->IntegralCount = 0;
  MainProgramUnit->LastEquation = nullptr;

  // An equation without any variable is error 21.
  CodeBuilder().Const(1).Const(1).Word(OpEqual).Into(e);
  SolveForOneUnknown(cursor, solved, counter, false);
  EXPECT_EQ(CalcErrorCode, 21);
  MainProgramUnit->LastEquation = nullptr;
}

TEST_F(OneUnknownTest, EquationsSharingVariablesThroughARoutineAreSkipped) {
  ReadOnly({"x^3 = 8"});
  CurrentProgramUnit = MainProgramUnit;
  TArgumentListRecord call;
  call.Kind = 4;  // FunctionTable slot 4
  Equation(1)->CallLists = &call;
  SetSharingRoutineTest([](int32_t slot) { return slot == 4; });
  EXPECT_TRUE(CallsSharingRoutine(Equation(1)));
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equation(1)->SolvedAlone, 0);
  SetSharingRoutineTest(nullptr);
  EXPECT_FALSE(CallsSharingRoutine(Equation(1)));
  Equation(1)->CallLists = nullptr;
}

TEST_F(OneUnknownTest, UncertaintyPropagationMarksCandidatesInsteadOfSolving) {
  ReadOnly({"x = 3", "y = 2*x + 1"});
  UncertaintyMode = true;
  CurrentProgramUnit = MainProgramUnit;
  // Every variable counts, so y = 2*x + 1 has two; y is its only unknown
  // and becomes a candidate for the measured list.
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("y")->MeasuredMark, -1);
  EXPECT_EQ(Equation(2)->SolvedAlone, 0);
  // The table variant marks nothing: the equation stays for the block solver.
  VarNamed("y")->MeasuredMark = 0;
  UncertaintyMode = false;
  UncertaintyTableMode = true;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("y")->MeasuredMark, 0);
  EXPECT_EQ(Equation(2)->SolvedAlone, 0);
  UncertaintyTableMode = false;
  UncertaintyMode = true;
  // Once chosen as measured it is solved.
  VarNamed("y")->MeasuredMark = 1;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equation(2)->SolvedAlone, 1);
  EXPECT_NEAR(Value("y"), 7.0L, 1e-15L);
}

TEST_F(OneUnknownTest, EscStopsThePassWithError58) {
  ReadOnly({"x^3 = 8"});
  CurrentProgramUnit = MainProgramUnit;
  AbortRequested = true;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 58);
  EXPECT_EQ(MainProgramUnit->LastEquation, nullptr);
  EXPECT_EQ(Equation(1)->SolvedAlone, 0);
}

TEST_F(OneUnknownTest, WarningsOfTrialPointsAreDropped) {
  // The first trial points (2 and 2.002) add a warning that the root does
  // not; the lines added while iterating are deleted.
  SetOpcodeHandler(kExpOpcode, [](TEvaluationState& s, int32_t) {
    if (s.Values[s.Height] > 1.9L) AddWarning("trial point out of range");
    s.Values[s.Height] = std::exp(s.Values[s.Height]);
    return true;
  });
  AddWarning("earlier warning");
  ReadOnly({"exp(x) = 3"});
  VarNamed("x")->Guess = 2;
  CurrentProgramUnit = MainProgramUnit;
  SolveOneUnknownEquations(false);
  EXPECT_EQ(CalcErrorCode, 0);
  // ln 3 = 1.098612288668109691 (hand calculation)
  EXPECT_NEAR(Value("x"), 1.098612288668109691L, 1e-12L);
  ASSERT_EQ(WarningLineCount(), 1u);
  EXPECT_EQ(WarningLines()[0], "earlier warning");
}

}  // namespace
}  // namespace voq
