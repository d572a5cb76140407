// The block Newton solver on compiled statements. Solutions are hand
// calculations: x+y=3, x-y=1 gives x=2, y=1 and then z=x*y=2.
#include "platform/host.h"
#include "solver/newton_solver.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/number_format.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"
#include "model/warnings_window.h"
#include "session/solve_after_compile.h"
#include "platform/scripted_platform.h"
#include "solver/blocking.h"
#include "solver/code_builder.h"
#include "solver/evaluator.h"
#include "solver/numeric_opcodes.h"
#include "solver/progress.h"
#include "solver/solver_state.h"

namespace voq {
namespace {

using namespace voq::testing;

class NewtonSolverTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    StopCriteria = TStopCriteriaRecord{};
    StopCriteria.RelativeResidualTolerance = 1e-12L;
    AbortRequested = false;
    SolutionAvailable = false;
    SolutionStarted = false;
    ClearWarningsAfter(0);
  }
  void TearDown() override {
    FreeOccurrenceLists();
    for (int op = 198; op <= 255; ++op) SetOpcodeHandler(op, nullptr);
    LanguageStoreTest::TearDown();
  }

  // Compiles the statements as one read and starts every unknown at guess.
  void Read(std::initializer_list<const char*> statements, long double guess = 1) {
    BeginTestPass();
    for (const char* s : statements) {
      std::string text = s;
      CompileStatement(text, 255, TStatementPosition{});
      ASSERT_EQ(CalcErrorCode, 0) << s;
    }
    EndTestPass();
    TProgramUnitRecord* u = CurrentProgramUnit;
    for (int32_t k = 1; k <= u->UnknownCount; ++k) {
      TVariableRecord* v = u->Variable(u->UnknownList[k]);
      v->Guess = guess;
      v->Value = guess;
    }
  }
  void BlockAndSolve() {
    BlockAllUnits();
    ASSERT_EQ(CalcErrorCode, 0);
    SolveEquationBlocks();
  }
  long double Value(const char* name) { return VarNamed(name)->Value; }
  // Changes that die out after the third iteration end the block with the
  // values it reached; the iteration limit was not reached, so it is no
  // error 57, and the residual check after the solve reports the equation
  // outside the tolerance (54): a stall is never a clean solution.
  void SolveExpectingStall() {
    BlockAndSolve();
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(Converged, 1);
    EXPECT_LT(MainProgramUnit->IterationCount, StopCriteria.MaxIterations);
    CheckResidualsAfterSolve(true);
    EXPECT_EQ(CalcErrorCode, 54);
    ASSERT_NE(MainProgramUnit->LastEquation, nullptr);
    EXPECT_GT(std::fabs(MainProgramUnit->LastEquation->RelativeResidual),
              StopCriteria.RelativeResidualTolerance);
  }

  ScriptedPlatform platform_;
  ScopedPlatform scoped_{platform_};
};

TEST_F(NewtonSolverTest, SolveSetsTheFormatOfPropertyWarnings) {
  DefaultDisplayFormat = TDisplayFormat{kStyleFixed, 2};
  Read({"x+y=3", "x-y=1"});
  BlockAndSolve();
  EXPECT_EQ(DefaultDisplayFormat.Style, kStyleExponential);
  EXPECT_EQ(DefaultDisplayFormat.Digits, 5);
}

TEST_F(NewtonSolverTest, TwoBlocksSolvedInOrder) {
  Read({"x+y=3", "x-y=1", "z=x*y"});
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->BlockCount, 2);
  EXPECT_EQ(VarNamed("z")->Block, 2);
  EXPECT_EQ(VarNamed("x")->Block, 1);
  SolveEquationBlocks();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Converged, 1);
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_NEAR(static_cast<double>(Value("x")), 2.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(Value("y")), 1.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(Value("z")), 2.0, 1e-12);
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    EXPECT_LT(std::fabs(e->RelativeResidual), StopCriteria.RelativeResidualTolerance);
  }
  // The lists are freed after the solve.
  EXPECT_EQ(MainProgramUnit->RowHeads[1], nullptr);
}

TEST_F(NewtonSolverTest, BlockWithinToleranceStillTakesOneStep) {
  Read({"x+y=3", "x-y=1"});
  VarNamed("x")->Value = 2;
  VarNamed("y")->Value = 1;
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->IterationCount, 1);
  EXPECT_EQ(Converged, 1);
}

TEST_F(NewtonSolverTest, DependentEquationsAreSingular) {
  Read({"x+y=3", "2*x+2*y=6"});
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 55);
  EXPECT_EQ(MessageHelpContext, 362);
  EXPECT_NE(MainProgramUnit->LastEquation, nullptr);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_TRUE(SolutionStarted);
}

TEST_F(NewtonSolverTest, NoRealRootFailsAfterMaxIterations) {
  // x^2+y^2=-1 with x=y has no real solution.
  StopCriteria.MaxIterations = 5;
  StopCriteria.RelativeResidualTolerance = 1e-6L;
  Read({"x^2+y^2=-1", "x=y"});
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 57);
  EXPECT_EQ(MessageArgs[1], " while solving equations in Block 1");
  EXPECT_EQ(MessageArgs[2], "");
  EXPECT_EQ(Converged, 0);
  EXPECT_FALSE(SolutionAvailable);
  // The count is tested after each iteration: six were made (more only if a
  // restart counted as one).
  EXPECT_GE(MainProgramUnit->IterationCount, 6);

  // With a warning in the window from before (not one of the failed
  // iterations, which are cleared), %%2 points the user to it.
  CalcErrorCode = 0;
  AddWarning("an earlier warning");
  for (const char* name : {"x", "y"}) VarNamed(name)->Value = 1;
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 57);
  EXPECT_EQ(MessageArgs[1], " while solving equations in Block 1");
  EXPECT_EQ(MessageArgs[2],
            "Warnings that occurred can be viewed by selecting Warnings from the Windows menu.  ");
  EXPECT_EQ(WarningLineCount(), 1u);
  ClearWarningsAfter(0);
}

// A block whose changes die out after the third iteration ends there, with
// the values it reached; the residual check after the solve reports the
// equation outside the tolerance (54), so the stall is never a clean
// solution, and the iteration limit was not reached, so it is no error 57.
TEST_F(NewtonSolverTest, BlockHeldByALimitEndsThereForTheResidualCheck) {
  // x+y=3, x-y=1 needs x=2, but x may not exceed 1: the residual is
  // smallest at the limit, where the changes die out.
  StopCriteria.RelativeResidualTolerance = 1e-6L;
  Read({"x+y=3", "x-y=1"});
  VarNamed("x")->LowerLimit = -10;
  VarNamed("x")->UpperLimit = 1;
  SolveExpectingStall();
  EXPECT_EQ(Value("x"), 1);
}

TEST_F(NewtonSolverTest, BlockStoppedByARoundingFloorEndsForTheResidualCheck) {
  // x^3 = 1E-24 from x = 1E-6: the forward step of 1E-5 overstates the
  // slope so much that the changes die out far from the root while the
  // relative residual is still about 1E6.
  StopCriteria.RelativeResidualTolerance = 1e-6L;
  StopCriteria.ChangeTolerance = 1e-8L;
  StopCriteria.MaxIterations = 40;
  Read({"x^3=1E-24", "y=x"}, 1e-6L);
  SolveExpectingStall();
}

TEST_F(NewtonSolverTest, DerivativeAtALimit) {
  Read({"x+y=3", "x-y=1"});
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  TEquationRecord* first = MainProgramUnit->FirstEquation;  // x+y=3
  int32_t x = FindVariable("x");
  TVariableRecord* vx = Var(x);
  vx->Value = 1;
  first->Residual = EvaluateEquation(first, 0);
  // Forward step clamped away at the upper limit: a backward step is used.
  vx->LowerLimit = -5;
  vx->UpperLimit = 1;
  EXPECT_NEAR(static_cast<double>(PartialDerivative(x, first)), 1.0, 1e-9);
  EXPECT_EQ(vx->Value, 1.0L);
  // Lower = upper: no step either way, the derivative is 1.
  vx->LowerLimit = 1;
  EXPECT_EQ(PartialDerivative(x, first), 1.0L);
}

TEST_F(NewtonSolverTest, ZeroDerivativeIsAWarning) {
  // 0*x = y-5 with y = 1: d/dx is 0 however far x steps.
  Read({"0*x+y=5+x-x", "y=1"});
  TEquationRecord* e = MainProgramUnit->FirstEquation;
  int32_t x = FindVariable("x");
  e->Residual = EvaluateEquation(e, 0);
  EXPECT_EQ(PartialDerivative(x, e), 0.0L);
  EXPECT_EQ(WarningLineCount(), 1u);
}

TEST_F(NewtonSolverTest, FloatingPointExceptionsBecomeErrors) {
  TEquationRecord e;
  AddVariable("y");
  int32_t y = CurrentProgramUnit->VariableCount;
  // y*y with y = 1E3999 (infinity's value) overflows the 10-byte range: 319.
  Var(y)->Value = InfinityValue;
  CodeBuilder().Var(y).Var(y).Word(OpMultiply).Const(0).Word(OpEqual).Into(e);
  EXPECT_EQ(EvalResidualChecked(&e), 1.0L);
  EXPECT_EQ(CalcErrorCode, 319);
  CalcErrorCode = 0;
  // 10^5000 overflows in exp(5000 ln 10): 319.
  CodeBuilder().Const(10).Const(5000).Word(OpPower).Const(0).Word(OpEqual).Into(e);
  EXPECT_EQ(EvalResidualChecked(&e), 1.0L);
  EXPECT_EQ(CalcErrorCode, 319);
  CalcErrorCode = 0;
  // A function whose arithmetic divides by zero: 318; an invalid operation: 317.
  SetOpcodeHandler(225, [](TEvaluationState& s, int32_t) {
    volatile long double zero = 0;
    s.Values[s.Height] = 1 / zero;
    return true;
  });
  SetOpcodeHandler(226, [](TEvaluationState& s, int32_t) {
    volatile long double zero = 0;
    s.Values[s.Height] = zero / zero;
    return true;
  });
  CodeBuilder().Const(1).Word(225).Const(0).Word(OpEqual).Into(e);
  EXPECT_EQ(EvalResidualChecked(&e), 1.0L);
  EXPECT_EQ(CalcErrorCode, 318);
  EXPECT_EQ(CurrentProgramUnit->LastEquation, &e);
  CalcErrorCode = 0;
  CodeBuilder().Const(1).Word(226).Const(0).Word(OpEqual).Into(e);
  EXPECT_EQ(EvalResidualChecked(&e), 1.0L);
  EXPECT_EQ(CalcErrorCode, 317);
  CalcErrorCode = 0;
  // An ordinary residual passes unchanged and leaves no flag behind.
  CodeBuilder().Const(5).Const(2).Word(OpEqual).Into(e);
  EXPECT_EQ(EvalResidualChecked(&e), 3.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

// The first exception of an equation is the one reported, even when the
// infinity it left makes a later operation invalid: with x = 1 on the left,
// the residual 1 - inf is scaled by the infinite right side (inf / inf).
TEST_F(NewtonSolverTest, ExceptionThatCameFirstIsReported) {
  InstallNumericOpcodes();
  AddVariable("x");
  AddVariable("y");
  const int32_t x = CurrentProgramUnit->VariableCount - 1, y = x + 1;
  struct Case {
    const char* statement;
    CodeBuilder code;
    long double y;
    int32_t error;
  };
  const Case cases[] = {
      // 10^5000 overflows: 319.
      {"x = 10^y", CodeBuilder().Var(x).Const(10).Var(y).Word(OpPower).Word(OpEqual), 5000, 319},
      // GAMMA_ has a pole at -1, 1/0 there: 318.
      {"x = GAMMA_(y)", CodeBuilder().Var(x).Const(15).Var(y).Word(247).Word(OpEqual), -1, 318},
      // BESSEL_I0 above 10000 divides by GuardedExp(-y) = 0: 318.
      {"x = BESSEL_I0(y)", CodeBuilder().Var(x).Const(1).Var(y).Word(200).Word(OpEqual), 20000, 318},
      // 10^y - 10^y is inf - inf after the overflow: still 319.
      {"x = 10^y - 10^y",
       CodeBuilder().Var(x).Const(10).Var(y).Word(OpPower).Const(10).Var(y).Word(OpPower).Word(OpSubtract)
           .Word(OpEqual),
       5000, 319},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    TEquationRecord e;
    c.code.Into(e);
    Var(x)->Value = 1;
    Var(y)->Value = c.y;
    CalcErrorCode = 0;
    EXPECT_EQ(EvalResidualChecked(&e), 1.0L);
    EXPECT_EQ(CalcErrorCode, c.error);
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
  }
  CalcErrorCode = 0;
}

TEST_F(NewtonSolverTest, DivisionByZeroInABlockStopsTheSolve) {
  Read({"x+y=3", "x=1/(y-1)"});
  VarNamed("y")->Value = 1;
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 4);
  EXPECT_NE(MainProgramUnit->LastEquation, nullptr);
  EXPECT_FALSE(SolutionAvailable);
}

TEST_F(NewtonSolverTest, ElapsedTimeLimit) {
  StopCriteria.MaxElapsedSeconds = 0;
  StopCriteria.RelativeResidualTolerance = 1e-6L;
  Read({"x^2+y^2=-1", "x=y"});
  // In a table run the solve keeps the run's clock (no progress window of its own).
  CurrentRun = 1;
  RunStartTicks = platform_.ticks - 5000;
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 50);
  CurrentRun = 0;
}

TEST_F(NewtonSolverTest, AbortStopsWithoutConvergenceError) {
  Read({"x^2+y^2=-1", "x=y"});
  AbortRequested = true;
  BlockAndSolve();
  EXPECT_NE(CalcErrorCode, 57);
  EXPECT_FALSE(SolutionAvailable);
  AbortRequested = false;
}

TEST_F(NewtonSolverTest, DiscretisedBratuProblem) {
  // x[i-1] - 2x[i] + x[i+1] + h^2 exp(x[i]) = 0, x[0] = x[N+1] = 0, N = 20,
  // h = 1/(N+1): one coupled block. The lower solution of the Bratu problem
  // with lambda = 1 has u(1/2) = 0.140...; the second-order discretisation
  // with N = 20 lies within 1e-3 of it (Bratu 1914; see e.g. Boyd,
  // Appl. Math. Comput. 142 (2003) 189-200, u(1/2) = 0.1405).
  const int n = 20;
  StopCriteria.RelativeResidualTolerance = 1e-10L;
  BeginTestPass();
  for (int i = 1; i <= n; ++i) {
    std::string left = i > 1 ? "x" + std::to_string(i - 1) : "0";
    std::string right = i < n ? "x" + std::to_string(i + 1) : "0";
    std::string text = left + "-2*x" + std::to_string(i) + "+" + right + "+(1/21)^2*2.718281828459045^x" +
                       std::to_string(i) + "=0";
    CompileStatement(text, 255, TStatementPosition{});
    ASSERT_EQ(CalcErrorCode, 0) << text;
  }
  EndTestPass();
  for (int32_t k = 1; k <= MainProgramUnit->UnknownCount; ++k) {
    Var(MainProgramUnit->UnknownList[k])->Value = 0.1L;
  }
  BlockAndSolve();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->BlockCount, 1);
  long double mid = (Value("x10") + Value("x11")) / 2;
  EXPECT_NEAR(static_cast<double>(mid), 0.1405, 1e-3);
}

// The progress window's grid lists the main program's integration variables
// at their current positions; a module's slot is left out, and a main
// program without integrals gives no grid at all.
TEST_F(NewtonSolverTest, ProgressGridListsTheIntegrationVariables) {
  Read({"time = 1", "x = 2", "y = 3"});
  TProgramUnitRecord* main = MainProgramUnit;
  TProgressFigures none;
  none.GridLabel1 = "stale";
  none.Grid.resize(3);
  FillIntegrationGrid(none);
  EXPECT_EQ(none.GridLabel1, "");
  EXPECT_TRUE(none.Grid.empty());

  main->IntegralCount = 3;
  main->IntegralSlots[1].IntegrationVariable = FindVariable("time");
  main->IntegralSlots[1].Position = 0.25L;
  main->IntegralSlots[2].IntegrationVariable = FindVariable("y");
  main->IntegralSlots[2].InModule = 1;
  main->IntegralSlots[3].IntegrationVariable = FindVariable("x");
  main->IntegralSlots[3].Position = 1500;

  struct Recording : ProgressView {
    TProgressFigures Last;
    int Presented = 0;
    void Present(const TProgressFigures& f) override {
      Last = f;
      ++Presented;
    }
  } view;
  SetProgressView(&view);
  {
    TProgressDlg dialog;
    dialog.FormActivate();
    dialog.ForceRedraw = 1;
    dialog.Draw();
  }
  RestoreInstalledHost();
  ASSERT_EQ(view.Presented, 1);
  EXPECT_EQ(view.Last.GridLabel1, "Integration Variable");
  EXPECT_EQ(view.Last.GridLabel2, "Value");
  ASSERT_EQ(view.Last.Grid.size(), 2u);
  EXPECT_EQ(view.Last.Grid[0].Name, "time");
  EXPECT_EQ(view.Last.Grid[0].Value, "0.25");
  EXPECT_EQ(view.Last.Grid[1].Name, "x");
  EXPECT_EQ(view.Last.Grid[1].Value, "1500");
}

TEST(ProgressTextTest, SecondsAndSummary) {
  EXPECT_EQ(TenthsAsSeconds(123, '.'), "12.3 sec");
  EXPECT_EQ(TenthsAsSeconds(5, '.'), ".5 sec");
  EXPECT_EQ(TenthsAsSeconds(25, ','), "2,5 sec");
}

}  // namespace
}  // namespace voq
