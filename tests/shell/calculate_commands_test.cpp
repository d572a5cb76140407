#include "shell/calculate_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/min_max.h"
#include "session/equation_editor.h"  // MacroRecorder
#include "shell/shell_state.h"
#include "solver/evaluator.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

// The windows as a list of what the commands did to them.
class FakeWindows : public CalculateWindows {
 public:
  bool WindowExists(int w) override { return w == kParametricTableWindow ? parametric : false; }
  bool IsShown(int w) override { return w == kDiagramWindow && diagramShown; }
  void CloseWindow(int w) override { Note("close " + std::to_string(w)); }
  void ShowWindow(int w) override { Note("show " + std::to_string(w)); }
  void BringToFront(int w) override { Note("front " + std::to_string(w)); }
  void ScrollToTopLeft(int w) override { Note("scroll " + std::to_string(w)); }
  void ReleaseDebugWindow() override { Note("release debug"); }
  void SetSolutionCaption(const std::string& caption) override { solutionCaption = caption; }
  bool SolutionHasVariables() override { return true; }
  bool CommitDiagramInput() override {
    Note("commit diagram");
    return diagramAccepts;
  }
  bool DiagramHasInput() override { return diagramItems; }
  bool DiagramHasInputOrOutput() override { return diagramItems; }
  void ActivateDiagram() override { Note("activate diagram"); }
  void RepaintDiagram() override { Note("repaint diagram"); }
  bool CommitTableEdit() override { return true; }
  void RepaintParametricTable() override { Note("repaint table"); }
  void RepaintEquations() override { Note("repaint equations"); }

  void Note(const std::string& s) { calls.push_back(s); }
  bool Did(const std::string& s) const { return std::find(calls.begin(), calls.end(), s) != calls.end(); }

  bool parametric = false;
  bool diagramShown = false;
  bool diagramAccepts = true;
  bool diagramItems = false;
  std::string solutionCaption = "untouched";
  std::vector<std::string> calls;
};

class FakeRecorder : public MacroRecorder {
 public:
  bool Recording() const override { return recording; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool recording = false;
  std::vector<std::string> lines;
};

class ScriptedSaveDialog : public SaveAppendDialog {
 public:
  bool Execute(const std::string& caption, std::string& fileName, bool& doAppend) override {
    captions.push_back(caption);
    fileName = name;
    doAppend = append;
    return ok;
  }
  bool ok = true;
  std::string name = "C:\\results\\pump.txt";
  bool append = true;
  std::vector<std::string> captions;
};

class ScriptedSolveTable : public SolveTableDialog {
 public:
  bool Execute(TSolveTableChoices& choices) override {
    ++shown;
    choices.FirstRun = 1;
    choices.LastRun = lastRun;
    return true;
  }
  int shown = 0;
  int32_t lastRun = 2;
};

// Minimise y over x in [0, 5] by golden section, tolerance 1E-4.
class ScriptedMinMax : public MinMaxDialogView {
 public:
  bool Choose(const TMinMaxDlg& /*dialog*/, TMinMaxChoices& choices) override {
    ++shown;
    choices.ObjectiveVariable = Index("y");
    choices.Independent = {Index("x")};
    choices.Maximise = false;
    choices.FirstAlgorithm = true;
    choices.ToleranceText = "1E-4";
    return true;
  }
  void EditBounds(const std::vector<int16_t>& variables) override {
    for (int16_t v : variables) {
      MainProgramUnit->Variable(v)->LowerLimit = 0;
      MainProgramUnit->Variable(v)->UpperLimit = 5;
    }
  }
  static int16_t Index(const std::string& name) {
    const int32_t saved = CalcErrorCode;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t i = FindVariable(name);
    CalcErrorCode = saved;
    return int16_t(i);
  }
  int shown = 0;
};

class CalculateCommandsTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    SetEquationsEditor(&editor);
    SetMinMaxDialogView(&minMax);
    commands.SetSaveAppendDialog(&saveDialog);
    commands.SetSolveTableDialog(&solveTable);
    platform.ticks = 5000;
  }
  void TearDown() override {
    SetMinMaxDialogView(nullptr);
    SetEquationsEditor(nullptr);
  }
  Extended ValueOf(const std::string& name) {
    CurrentProgramUnit = MainProgramUnit;
    return VarNamed(name)->Value;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  FakeWindows windows;
  FakeRecorder recorder;
  ScriptedSaveDialog saveDialog;
  ScriptedSolveTable solveTable;
  ScriptedMinMax minMax;
  bool calculating = false;
  TCalculateCommands commands{windows, recorder, calculating};
};

TEST_F(CalculateCommandsTest, SolveShowsTheSolutionAndRecordsItsMacroLines) {
  editor.SetText("x+y=3\r\nx-y=1");
  recorder.recording = true;
  LenientCompile = true;
  commands.Solve1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  // x = 2, y = 1 solve both equations (by hand).
  EXPECT_NEAR(double(ValueOf("x")), 2.0, 1e-9);
  EXPECT_NEAR(double(ValueOf("y")), 1.0, 1e-9);
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_EQ(windows.solutionCaption, "Solution");
  EXPECT_TRUE(windows.Did("show 2"));
  EXPECT_TRUE(windows.Did("front 2"));
  EXPECT_TRUE(windows.Did("release debug"));
  EXPECT_TRUE(windows.Did("close 3"));
  EXPECT_FALSE(calculating);
  EXPECT_FALSE(LenientCompile);
  EXPECT_TRUE(UseDiagramInput);
  EXPECT_FALSE(MinMaxMode);
  EXPECT_EQ(saveDialog.captions, (std::vector<std::string>{"Save Solution Results in File"}));
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"Solve", "SaveSolution C:\\results\\pump.txt  /APPEND"}));

  // Without the append box the name stands alone; Cancel records nothing.
  recorder.lines.clear();
  saveDialog.append = false;
  commands.Solve1Click();
  saveDialog.ok = false;
  commands.Solve1Click();
  EXPECT_EQ(recorder.lines,
            (std::vector<std::string>{"Solve", "SaveSolution C:\\results\\pump.txt", "Solve"}));
  // Not recording: no lines, no dialog.
  recorder.recording = false;
  recorder.lines.clear();
  commands.Solve1Click();
  EXPECT_TRUE(recorder.lines.empty());
  EXPECT_EQ(saveDialog.captions.size(), 3u);
}

TEST_F(CalculateCommandsTest, AFailedSolveShowsNoSolutionWindow) {
  // Two parallel lines: the set has no solution.
  editor.SetText("x+y=3\r\nx+y=4");
  commands.Solve1Click();
  EXPECT_GT(CalcErrorCode, 0);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_EQ(windows.solutionCaption, "Last Iteration Values");
  EXPECT_FALSE(windows.Did("show 2"));
  EXPECT_FALSE(calculating);
  EXPECT_FALSE(platform.alerts.empty());
}

// Solve on an empty document, or one of comments only, says there is
// nothing to solve instead of showing nothing at all.
TEST_F(CalculateCommandsTest, SolveWithoutEquationsSaysSo) {
  for (const char* text : {"", "\r\n  \r\n", "{only a comment}\r\n\"and another\""}) {
    SCOPED_TRACE(text);
    editor.SetText(text);
    platform.alerts.clear();
    windows.calls.clear();
    commands.Solve1Click();
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].text, "There are no equations to solve.");
    EXPECT_FALSE(windows.Did("show 2"));
    EXPECT_FALSE(calculating);
  }
  // One equation is something to solve: no such message.
  editor.SetText("x = 1");
  platform.alerts.clear();
  commands.Solve1Click();
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_TRUE(windows.Did("show 2"));
  // An underspecified set stops with its own question, not this message.
  editor.SetText("x + y = 1");
  platform.alerts.clear();
  commands.Solve1Click();
  ASSERT_FALSE(platform.alerts.empty());
  for (const RecordedAlert& alert : platform.alerts) EXPECT_NE(alert.text, "There are no equations to solve.");
}

TEST_F(CalculateCommandsTest, NothingRunsInsideACalculationOrAfterARejectedDiagramInput) {
  editor.SetText("x = 1");
  recorder.recording = true;
  calculating = true;
  CalcErrorCode = 7;
  commands.Solve1Click();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(calculating);
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_TRUE(recorder.lines.empty());
  EXPECT_EQ(windows.solutionCaption, "untouched");

  calculating = false;
  windows.diagramAccepts = false;
  for (auto command : {&TCalculateCommands::Solve1Click, &TCalculateCommands::MinMax1Click}) {
    windows.calls.clear();
    (commands.*command)();
    EXPECT_TRUE(windows.Did("commit diagram"));
    EXPECT_FALSE(windows.Did("close 2"));
    EXPECT_EQ(windows.solutionCaption, "untouched");
  }
  EXPECT_FALSE(calculating);
  EXPECT_TRUE(recorder.lines.empty());
  EXPECT_FALSE(EquationsCompiled);
}

// From the Diagram window of a model with input or output items the
// Diagram stays in front; the Solution window is not shown.
TEST_F(CalculateCommandsTest, SolveFromTheDiagramKeepsTheDiagramInFront) {
  editor.SetText("x = 2");
  ActiveChildWindow = kDiagramWindow;
  windows.diagramItems = true;
  windows.diagramShown = true;
  commands.Solve1Click();
  ActiveChildWindow = kNoWindow;
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(windows.Did("activate diagram"));
  EXPECT_TRUE(windows.Did("repaint diagram"));
  EXPECT_TRUE(windows.Did("front 7"));
  EXPECT_FALSE(windows.Did("show 2"));
}

TEST_F(CalculateCommandsTest, CheckFormatRenamesColumnsOfLostVariablesOnce) {
  editor.SetText("a = 1\r\nb = 2*a\r\nc = 3");
  commands.CheckFormat1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(CheckOnlyMode);
  EXPECT_FALSE(calculating);
  ParametricColumnOrder = {0, ScriptedMinMax::Index("a"), ScriptedMinMax::Index("b"), ScriptedMinMax::Index("c")};
  TableRowCounts[kParametricTableKind] = 2;
  TableColumnCounts[kParametricTableKind] = 3;
  TTableForm* form = CreateTableForm(kParametricTableKind);
  ASSERT_NE(form, nullptr);
  windows.parametric = true;
  form->Columns->Name = "old";
  form->Columns->Next->VariableIndex = 99;
  form->Columns->Next->Next->VariableIndex = 0;
  const int beeps = platform.beeps;
  commands.CheckFormat1Click();
  EXPECT_EQ(form->Columns->Name, "a");
  EXPECT_EQ(form->Columns->Next->Name, "??");
  EXPECT_EQ(form->Columns->Next->Next->Name, "??");
  EXPECT_EQ(platform.beeps, beeps + 1);
  EXPECT_TRUE(windows.Did("scroll 5"));
  EXPECT_TRUE(windows.Did("close 5"));
}

TEST_F(CalculateCommandsTest, TableCommandsNeedAParametricTable) {
  for (auto command : {&TCalculateCommands::SolveTable1Click, &TCalculateCommands::MinMaxTable1Click}) {
    platform.alerts.clear();
    (commands.*command)();
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].text, "A Parametric table must exist to use this command.");
    EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
  }
  EXPECT_EQ(solveTable.shown, 0);
  EXPECT_EQ(minMax.shown, 0);
}

// Solve Table runs the table the dialog chose: y of each run is 2*x (by
// hand: x = 1 gives 2, x = 3 gives 6).
TEST_F(CalculateCommandsTest, SolveTableRunsTheDialogsRuns) {
  editor.SetText("y = 2*x");
  commands.CheckFormat1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  ParametricColumnOrder = {0, ScriptedMinMax::Index("x"), ScriptedMinMax::Index("y")};
  TableRowCounts[kParametricTableKind] = 2;
  TableColumnCounts[kParametricTableKind] = 2;
  TTableForm* form = CreateTableForm(kParametricTableKind);
  ASSERT_NE(form, nullptr);
  windows.parametric = true;
  form->SetmyCell(0, 1, 1, 1, 1, 1);
  form->SetmyCell(0, 1, 3, 2, 1, 1);
  commands.SolveTable1Click();
  EXPECT_EQ(solveTable.shown, 1);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_FALSE(calculating);
  EXPECT_FALSE(MinMaxMode);
  std::string text;
  uint8_t entered = 0;
  EXPECT_NEAR(double(form->GetMyCell(0, 1, 2, text, 30, entered, 0)), 2.0, 1e-9);
  EXPECT_NEAR(double(form->GetMyCell(0, 2, 2, text, 30, entered, 0)), 6.0, 1e-9);
  EXPECT_TRUE(windows.Did("repaint table"));
  EXPECT_TRUE(windows.Did("repaint equations"));
}

// The same warning in two runs of a table is two lines, each naming its run.
TEST_F(CalculateCommandsTest, TableRunWarningsNameTheirRun) {
  editor.SetText(
      "PROCEDURE Twice(a : b)\r\n  CALL WARNING('Check the pump')\r\n  b := 2*a\r\nEND\r\n"
      "CALL Twice(x : y)");
  commands.CheckFormat1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  ParametricColumnOrder = {0, ScriptedMinMax::Index("x"), ScriptedMinMax::Index("y")};
  TableRowCounts[kParametricTableKind] = 2;
  TableColumnCounts[kParametricTableKind] = 2;
  TTableForm* form = CreateTableForm(kParametricTableKind);
  ASSERT_NE(form, nullptr);
  windows.parametric = true;
  form->SetmyCell(0, 1, 1, 1, 1, 1);
  form->SetmyCell(0, 1, 3, 2, 1, 1);
  platform.alertAnswers = {kResultNo};  // "see the list of warnings?"
  commands.SolveTable1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(WarningLines(), (std::vector<std::string>{"Run 1: Check the pump", "Run 2: Check the pump"}));
}

// With no degrees of freedom the optimiser's own message is shown and
// neither its dialog nor the table runs.
TEST_F(CalculateCommandsTest, MinMaxTableWithoutDegreesOfFreedomRunsNothing) {
  editor.SetText("x = 1\r\ny = 2*x");
  commands.CheckFormat1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  ParametricColumnOrder = {0, ScriptedMinMax::Index("x"), ScriptedMinMax::Index("y")};
  TableRowCounts[kParametricTableKind] = 2;
  TableColumnCounts[kParametricTableKind] = 2;
  ASSERT_NE(CreateTableForm(kParametricTableKind), nullptr);
  windows.parametric = true;
  platform.alerts.clear();
  commands.MinMaxTable1Click();
  EXPECT_EQ(CalcErrorCode, 385);
  EXPECT_EQ(minMax.shown, 0);
  EXPECT_FALSE(platform.alerts.empty());
  EXPECT_FALSE(CheckOnlyMode);
  EXPECT_FALSE(MinMaxMode);
  EXPECT_FALSE(windows.Did("repaint table"));
  EXPECT_TRUE(windows.Did("repaint equations"));
}

TEST_F(CalculateCommandsTest, MinMaxFindsTheVertexOfTheParabola) {
  // y = (x-2)^2 + 1 is smallest at its vertex x = 2, y = 1.
  editor.SetText("y = (x-2)^2 + 1");
  platform.alertAnswers = {kResultYes};  // "Set bounds?"
  ActiveChildWindow = kEquationsWindow;
  commands.MinMax1Click();
  ActiveChildWindow = kNoWindow;
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(minMax.shown, 1);
  EXPECT_TRUE(MinMaxMode);
  EXPECT_NEAR(double(ValueOf("x")), 2.0, 1e-3);
  EXPECT_NEAR(double(ValueOf("y")), 1.0, 1e-6);
  EXPECT_EQ(windows.solutionCaption, "Solution");
  EXPECT_TRUE(windows.Did("close 5"));
  EXPECT_TRUE(windows.Did("show 2"));
  EXPECT_FALSE(calculating);
}

TEST_F(CalculateCommandsTest, UpdateGuessesAlwaysAsksResetGuessesNotInABatchMacro) {
  editor.SetText("x = 4");
  commands.Solve1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  recorder.recording = true;
  recorder.lines.clear();
  platform.alerts.clear();
  for (bool batch : {false, true}) {
    PlayingMacroFile = batch;
    platform.alertAnswers = {kResultYes};
    commands.UpdateGuesses1Click();
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].text,
              "This command will set the guess values of all variables to the most recent calculated values.  "
              "Continue?");
    EXPECT_EQ(platform.alerts[0].kind, kAlertInfoYesNo);
    EXPECT_EQ(ValueOf("x"), 4.0L);
    CurrentProgramUnit = MainProgramUnit;
    EXPECT_EQ(VarNamed("x")->Guess, 4.0L);
    platform.alerts.clear();

    commands.ResetGuesses1Click();
    EXPECT_EQ(VarNamed("x")->Guess, 1.0L);
    if (batch) {
      EXPECT_TRUE(platform.alerts.empty());
    } else {
      ASSERT_EQ(platform.alerts.size(), 1u);
      EXPECT_EQ(platform.alerts[0].kind, kAlertInfoYesNo);
      EXPECT_EQ(platform.alerts[0].text.substr(0, 72),
                "This command will reset the guess values of all variables back to their ");
    }
    platform.alerts.clear();
  }
  PlayingMacroFile = false;
  // A batch reset records nothing; the others record their lines.
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"UpdateGuesses", "ResetGuesses", "UpdateGuesses"}));
  // No to the question changes nothing.
  platform.alertAnswers = {kResultNo};
  commands.UpdateGuesses1Click();
  EXPECT_EQ(VarNamed("x")->Guess, 1.0L);
}

}  // namespace
}  // namespace voq
