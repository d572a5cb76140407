#include "session/min_max.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/store_fixture.h"
#include "model/parametric_table_access.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "session/problem_summary.h"
#include "solver/evaluator.h"

namespace voq {
namespace {

// The dialog as a user fills it: the objective and independent variables
// by name, and the bounds set when the dialog asks for them.
class ScriptedMinMaxDialog : public MinMaxDialogView {
 public:
  bool Choose(const TMinMaxDlg& dialog, TMinMaxChoices& choices) override {
    ++shown;
    seen = dialog.CandidateNames;
    selectLabel = dialog.SelectLabel;
    method1 = dialog.Method1Text;
    if (cancel) return false;
    choices.ObjectiveVariable = static_cast<int16_t>(Index(objective));
    choices.Independent.clear();
    for (const std::string& name : independent) choices.Independent.push_back(static_cast<int16_t>(Index(name)));
    choices.Maximise = maximise;
    choices.FirstAlgorithm = firstAlgorithm;
    choices.MaxCallsText = maxCalls;
    choices.ToleranceText = tolerance;
    return true;
  }
  void EditBounds(const std::vector<int16_t>& variables) override {
    for (int16_t v : variables) {
      TVariableRecord* r = MainProgramUnit->Variable(v);
      r->LowerLimit = lower;
      r->UpperLimit = upper;
    }
  }
  static int32_t Index(const std::string& name) {
    const int32_t saved = CalcErrorCode;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t i = FindVariable(name);
    CalcErrorCode = saved;
    return i;
  }

  std::string objective;
  std::vector<std::string> independent;
  bool maximise = false;
  bool firstAlgorithm = false;
  bool cancel = false;
  std::string maxCalls = "400";
  std::string tolerance = "1E-4";
  Extended lower = 0, upper = 5;
  int shown = 0;
  std::vector<std::string> seen;
  std::string selectLabel, method1;
};

class RecordingProgress : public ProgressView {
 public:
  void Open() override { ++opened; }
  void Close() override { ++closed; }
  void Present(const TProgressFigures& f) override { last = f; }
  int opened = 0, closed = 0;
  TProgressFigures last;
};

class MinMaxTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    SetProgressView(&progress);
    SetMinMaxDialogView(&dialog);
    CheckOnlyMode = false;
    EquationsCompiled = false;
  }
  void TearDown() override {
    SetMinMaxDialogView(nullptr);
    SetEquationsEditor(nullptr);
    SetProgressView(nullptr);
    MinMaxMode = false;
    LanguageStoreTest::TearDown();
  }
  // The Min/Max command: the Solve command with the optimisation asked for.
  void SolveMinMax(const std::string& text) {
    editor.SetText(text);
    MinMaxMode = true;
    CompileEquations(false, false);
  }
  Extended ValueOf(const std::string& name) { return VarNamed(name)->Value; }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  RecordingProgress progress;
  ScriptedMinMaxDialog dialog;
};

TEST_F(MinMaxTest, OneVariableMethodsMinimiseTheParabola) {
  // y = (x-2)^2 + 1 has its minimum 1 at x = 2 (the vertex of the parabola).
  for (bool golden : {true, false}) {
    dialog.objective = "y";
    dialog.independent = {"x"};
    dialog.firstAlgorithm = golden;
    platform.alerts.clear();
    platform.alertAnswers = {kResultYes};  // "Set bounds?"
    SolveMinMax("y = (x-2)^2 + 1");
    ASSERT_EQ(CalcErrorCode, 0) << (golden ? "golden" : "Brent");
    EXPECT_EQ(dialog.selectLabel, "Select 1");
    EXPECT_EQ(dialog.method1, "Golden Section search");
    EXPECT_LT(std::fabs(ValueOf("x") - 2), 1E-4L) << (golden ? "golden" : "Brent");
    EXPECT_NEAR(static_cast<double>(ValueOf("y")), 1.0, 1E-8);
    EXPECT_TRUE(SolutionAvailable);
    EXPECT_EQ(MinMaxSign, 1.0L);
    EXPECT_GT(MinMaxCallCount, 3);
    // The independent variable is an unknown again after the optimisation.
    EXPECT_GT(VarNamed("x")->UnknownPosition, 0);
    // The bounds are asked for once; the variable keeps them for the next run.
    if (golden) {
      ASSERT_EQ(platform.alerts.size(), 1u);
      EXPECT_EQ(platform.alerts[0].text,
                "The lower and upper bounds of each independepent variable must be set.  Set bounds?");
    } else {
      EXPECT_TRUE(platform.alerts.empty());
    }
    EXPECT_EQ(progress.opened, progress.closed);
    // The progress window's last figures list the independent variable at
    // the optimum.
    EXPECT_EQ(progress.last.GridLabel1, "Independent Variable");
    EXPECT_EQ(progress.last.GridLabel2, "Value");
    ASSERT_EQ(progress.last.Grid.size(), 1u);
    EXPECT_EQ(progress.last.Grid[0].Name, "x");
    EXPECT_NEAR(std::stod(progress.last.Grid[0].Value), 2.0, 1E-3);
  }
}

TEST_F(MinMaxTest, TwoVariableMethodsReachTheBowlMinimum) {
  // The optimum from the gradient conditions, see min_max_methods_test.cpp:
  // x = 1.1027569, y = -2.0551378.
  for (bool directionSet : {true, false}) {
    dialog.objective = "z";
    dialog.independent = {"x", "y"};
    dialog.firstAlgorithm = directionSet;
    dialog.lower = -5;
    dialog.upper = 5;
    platform.alertAnswers = {kResultYes};
    SolveMinMax("z = (x-1)^2 + (y+2)^2 + x*y/10");
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(dialog.method1, "Direct search method");
    EXPECT_NEAR(static_cast<double>(ValueOf("x")), 1.1027569, 1E-3) << directionSet;
    EXPECT_NEAR(static_cast<double>(ValueOf("y")), -2.0551378, 1E-3) << directionSet;
  }
}

TEST_F(MinMaxTest, MaximisingReportsTheObjectivesOwnSign) {
  // y = 4 - (x-1)^2 has its maximum 4 at x = 1.
  dialog.objective = "y";
  dialog.independent = {"x"};
  dialog.maximise = true;
  platform.alertAnswers = {kResultYes};
  SolveMinMax("y = 4 - (x-1)^2");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MinMaxSign, -1.0L);
  EXPECT_NEAR(static_cast<double>(ValueOf("x")), 1.0, 1E-4);
  EXPECT_NEAR(static_cast<double>(ValueOf("y")), 4.0, 1E-8);
  EXPECT_NEAR(static_cast<double>(MinMaxBestValue), -4.0, 1E-8);
}

TEST_F(MinMaxTest, NoDegreesOfFreedomIsError385) {
  platform.alertAnswers = {kResultNo};
  SolveMinMax("y = x + 1\r\nx = 2");
  EXPECT_EQ(CalcErrorCode, kMsgOptimizationImpossible);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "The number of degrees of freedom is 0.  Optimization is not possible. Show Debug information?");
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorYesNo);
  EXPECT_FALSE(MinMaxMode);
  EXPECT_EQ(dialog.shown, 0);
  EXPECT_FALSE(SolutionAvailable);
}

TEST_F(MinMaxTest, ElevenDegreesOfFreedomIsError386) {
  platform.alertAnswers = {kResultNo};
  SolveMinMax("y = a1+a2+a3+a4+a5+a6+a7+a8+a9+a10+a11");
  EXPECT_EQ(CalcErrorCode, kMsgFreedomLimit);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "The number of degrees of freedom is 11.  The maximum degrees of freedom is 10. Show Debug information?");
  EXPECT_EQ(dialog.shown, 0);
}

TEST_F(MinMaxTest, CandidatesLeaveOutWhatABlockDetermines) {
  // a and b are fixed by their own pair of equations: only x and y can be
  // the objective or move.
  dialog.cancel = true;
  SolveMinMax("a + b = 3\r\na - b = 1\r\ny = (x - a)^2");
  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"x", "y"}));
}

TEST_F(MinMaxTest, CancelledDialogSolvesNothing) {
  dialog.cancel = true;
  SolveMinMax("y = (x-2)^2 + 1");
  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_FALSE(MinMaxMode);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_EQ(MinMaxCallCount, 0);
}

TEST_F(MinMaxTest, OkIsRefusedUntilTheFieldsAreValid) {
  TMinMaxChoices c;
  DegreesOfFreedom = 1;
  TMinMaxDlg d(false);
  c.MaxCallsText = "many";
  EXPECT_FALSE(d.OKBtnClick(c));
  EXPECT_EQ(d.RefusedField, "MaxItV");
  c.MaxCallsText = "50";
  c.ToleranceText = "x";
  EXPECT_FALSE(d.OKBtnClick(c));
  EXPECT_EQ(d.RefusedField, "TolV");
  c.ToleranceText = "1E-6";
  DegreesOfFreedom = 2;
  EXPECT_FALSE(d.OKBtnClick(c));
  EXPECT_EQ(d.RefusedField, "ListBox2");
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Select 2 independent variables");
  EXPECT_EQ(MinMaxSetup.MaxFunctionCalls, 50);
  EXPECT_EQ(MinMaxSetup.Tolerance, 1E-6L);
}

TEST_F(MinMaxTest, ListSelections) {
  // Three degrees of freedom: p, q, r, s and the array element v[1] move
  // freely around z.
  dialog.cancel = true;
  SolveMinMax("z = p + q*r + s + v[1]");
  const auto id = [](const char* n) { return static_cast<int16_t>(ScriptedMinMaxDialog::Index(n)); };
  TMinMaxDlg d(false);
  DegreesOfFreedom = 3;
  d.FormActivate();
  EXPECT_EQ(d.ListItems(true).size(), 6u);
  const std::vector<int16_t> plain = d.ListItems(false);
  EXPECT_EQ(plain.size(), 5u);
  EXPECT_EQ(std::find(plain.begin(), plain.end(), id("v[1]")), plain.end());
  // A fourth selection drops the earliest other one.
  std::vector<int16_t> chosen = {id("p"), id("q"), id("r"), id("s")};
  d.ListBox2Click(id("z"), id("s"), chosen);
  EXPECT_EQ(chosen, (std::vector<int16_t>{id("q"), id("r"), id("s")}));
  // The objective cannot also be independent.
  chosen.push_back(id("z"));
  d.ListBox2Click(id("z"), id("z"), chosen);
  EXPECT_EQ(chosen, (std::vector<int16_t>{id("r"), id("s")}));
  d.ListBox1Click(id("r"), chosen);
  EXPECT_EQ(chosen, (std::vector<int16_t>{id("s")}));
}

TEST_F(MinMaxTest, GuessOutsideValidBoundsMovesToTheMiddle) {
  editor.SetText("y = (x-2)^2 + 1");
  CompileEquations(true, false);
  TVariableRecord* x = VarNamed("x");
  x->LowerLimit = 0;
  x->UpperLimit = 5;
  x->Guess = 7;
  DegreesOfFreedom = 1;
  TMinMaxChoices c;
  c.ObjectiveVariable = static_cast<int16_t>(ScriptedMinMaxDialog::Index("y"));
  c.Independent = {static_cast<int16_t>(ScriptedMinMaxDialog::Index("x"))};
  TMinMaxDlg d(false);
  EXPECT_TRUE(d.OKBtnClick(c));
  EXPECT_TRUE(MinMaxMode);
  EXPECT_EQ(x->Guess, 2.5L);
}

TEST_F(MinMaxTest, CallLimitQuestionDoublesTheLimitBeyondSixteenBits) {
  // The golden section with tolerance 0 never ends by itself: only the call
  // limit stops it. The seventh doubling of 400 is 51,200, beyond a 16-bit
  // field (which would have turned it negative and ended every later search
  // at its first call); the search must go on to 51,200 calls.
  dialog.objective = "y";
  dialog.independent = {"x"};
  dialog.firstAlgorithm = true;
  dialog.tolerance = "0";
  platform.alertAnswers = {kResultYes};  // bounds
  for (int k = 0; k < 7; ++k) platform.alertAnswers.push_back(kResultYes);
  platform.alertAnswers.push_back(kResultNo);
  SolveMinMax("y = (x-2)^2 + 1");
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(platform.alerts.size(), 9u);
  EXPECT_EQ(platform.alerts[1].text,
            "Convergence was not attained within the specified maximum number of iterations.  Do you wish to "
            "double the iteration limit and continue?");
  EXPECT_EQ(platform.alerts[1].kind, kAlertInfoYesNo);
  EXPECT_EQ(MinMaxSetup.MaxFunctionCalls, 51200);
  EXPECT_EQ(MinMaxCallCount, 51200);  // the call over the limit is not counted
  EXPECT_TRUE(AbortRequested);
  EXPECT_LT(std::fabs(ValueOf("x") - 2), 1E-4L);
  // The stored field keeps the largest 16-bit value.
  uint8_t bytes[kStoredMinMaxSettingsSize] = {};
  PackMinMaxSettings(MinMaxSetup, bytes);
  TMinMaxSettingsRecord back;
  UnpackMinMaxSettings(bytes, back);
  EXPECT_EQ(back.MaxFunctionCalls, 32767);
}

TEST_F(MinMaxTest, FailureAtBothEndsStillRestoresTheModel) {
  // sqrt(x - 1) cannot be evaluated at x = 0 nor 0.1 % inside the interval:
  // the optimisation ends with that error, and still closes its progress
  // display, gives x back its place among the unknowns and frees the
  // occurrence lists.
  dialog.objective = "y";
  dialog.independent = {"x"};
  platform.alertAnswers = {kResultYes};
  SolveMinMax("y = sqrt(x - 1)");
  EXPECT_GT(CalcErrorCode, 0);
  EXPECT_EQ(progress.opened, progress.closed);
  EXPECT_GT(VarNamed("x")->UnknownPosition, 0);
  for (size_t r = 0; r < MainProgramUnit->RowHeads.size(); ++r) EXPECT_EQ(MainProgramUnit->RowHeads[r], nullptr);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_EQ(MinMaxCallCount, 2);
}

// A Parametric table whose columns x and y are not entered in run 1 and
// whose column c is.
class MinMaxTable : public ParametricTableAccess {
 public:
  bool WindowExists() const override { return true; }
  int32_t TableCount() const override { return 1; }
  std::string TableName(int32_t) const override { return "Table 1"; }
  int32_t RowCount() const override { return 5; }
  int32_t ColumnCount() const override { return 3; }
  int32_t TableColumnCount(int32_t) const override { return 3; }
  int32_t ColumnVariable(int32_t, int32_t column) const override {
    return ScriptedMinMaxDialog::Index(column == 1 ? "x" : column == 2 ? "y" : "c");
  }
  bool CellEntered(int32_t row, int32_t column) const override { return row == 1 && column == 3; }
  int32_t FirstRunOfRange() const override { return first; }
  int32_t LastRunOfRange() const override { return last; }
  void SetRunRange(int32_t f, int32_t l) override {
    first = f;
    last = l;
  }
  void SetUpdateGuessesOption(bool u) override { update = u; }
  int32_t first = 1, last = 5;
  bool update = false;
};

TEST_F(MinMaxTest, TableModeCountsTheRunsInputs) {
  // y = (x - c)^2 with c entered in the table: one degree of freedom.
  MinMaxTable table;
  SetParametricTableAccess(&table);
  editor.SetText("y = (x - c)^2");
  MinMaxMode = true;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(CheckMinMaxDegreesOfFreedom(true));
  EXPECT_EQ(DegreesOfFreedom, 1);
  TMinMaxDlg d(true);
  d.FormActivate();
  EXPECT_EQ(d.HelpContext, 47);
  EXPECT_EQ(d.Caption, "Minimize or Maximize Table  Table 1");
  EXPECT_EQ(d.CandidateNames, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(d.Initial.MaxCallsText, "400");
  EXPECT_EQ(d.Initial.ToleranceText, "1.000E-04");
  EXPECT_EQ(d.SelectLabel, "Select 1");
  // A last run below the first is the first; past the table, the last row.
  TMinMaxChoices c = d.Initial;
  c.ObjectiveVariable = static_cast<int16_t>(ScriptedMinMaxDialog::Index("y"));
  c.Independent = {static_cast<int16_t>(ScriptedMinMaxDialog::Index("x"))};
  c.FirstRun = 3;
  c.LastRun = 2;
  c.UpdateGuesses = true;
  platform.alertAnswers = {kResultNo};
  EXPECT_FALSE(d.OKBtnClick(c));  // no bounds yet
  EXPECT_EQ(table.first, 3);
  EXPECT_EQ(table.last, 3);
  EXPECT_TRUE(table.update);
  c.FirstRun = 9;
  c.LastRun = 12;
  d.OKBtnClick(c);
  EXPECT_EQ(table.first, 1);
  EXPECT_EQ(table.last, 5);
  SetParametricTableAccess(nullptr);
}

TEST_F(MinMaxTest, StoredSettingsNamingNoVariableAreRefused) {
  // Settings of another document: variable 7 does not exist here.
  editor.SetText("y = (x-2)^2 + 1");
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  MinMaxSetup.ObjectiveVariable = static_cast<int16_t>(ScriptedMinMaxDialog::Index("y"));
  MinMaxSetup.IndependentCount = 1;
  MinMaxSetup.IndependentVariables[1] = 7;
  RunMinMax();
  EXPECT_EQ(CalcErrorCode, kMsgUnknownVariable);
  EXPECT_EQ(MessageArgs[1], "#7");
  EXPECT_EQ(progress.opened, progress.closed);
  EXPECT_FALSE(SolutionAvailable);
}

TEST_F(MinMaxTest, StoredSettingsLayout) {
  TMinMaxSettingsRecord s;
  s.Maximise = 1;
  s.ObjectiveVariable = 0x0102;
  s.MaxFunctionCalls = 800;
  s.Tolerance = 1E-5L;
  s.IndependentCount = 2;
  s.IndependentVariables[1] = 7;
  s.IndependentVariables[2] = -3;
  s.Method = 1;
  s.Unused = {9, 8, 7, 6};
  uint8_t b[kStoredMinMaxSettingsSize] = {};
  PackMinMaxSettings(s, b);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 0x02);
  EXPECT_EQ(b[2], 0x01);
  EXPECT_EQ(b[3], 0x20);  // 800 = 0x0320
  EXPECT_EQ(b[4], 0x03);
  EXPECT_EQ(UnpackExtended(b + 5), 1E-5L);
  EXPECT_EQ(b[15], 2);
  EXPECT_EQ(b[17], 7);
  EXPECT_EQ(b[19], 0xFD);
  EXPECT_EQ(b[20], 0xFF);
  EXPECT_EQ(b[37], 1);
  EXPECT_EQ(b[39], 9);
  EXPECT_EQ(b[42], 6);
  TMinMaxSettingsRecord back;
  UnpackMinMaxSettings(b, back);
  EXPECT_EQ(back.ObjectiveVariable, s.ObjectiveVariable);
  EXPECT_EQ(back.IndependentVariables, s.IndependentVariables);
  EXPECT_EQ(back.Tolerance, s.Tolerance);
  EXPECT_EQ(back.Unused, s.Unused);
  // A new document starts from the defaults.
  MinMaxSetup = s;
  MinMaxListOptions = {0, 0};
  ResetDocument();
  EXPECT_EQ(MinMaxSetup.MaxFunctionCalls, 400);
  EXPECT_EQ(MinMaxSetup.Tolerance, 1E-4L);
  EXPECT_EQ(MinMaxSetup.Method, 2);
  EXPECT_EQ(MinMaxSetup.Maximise, 0);
  EXPECT_EQ(MinMaxSetup.IndependentCount, 0);
  EXPECT_EQ(MinMaxSetup.IndependentVariables[1], 0);
  EXPECT_EQ(MinMaxListOptions[0], 1);
  EXPECT_EQ(MinMaxListOptions[1], 1);
}

}  // namespace
}  // namespace voq
