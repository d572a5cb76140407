#include "shell/calculate_commands.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "language/comments.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "session/compile_driver.h"
#include "session/min_max.h"
#include "session/problem_summary.h"
#include "session/equation_editor.h"  // MacroRecorder
#include "shell/shell_state.h"
#include "solver/evaluator.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr const char* kNoEquationsText = "There are no equations to solve.";

// Error 304 for the table commands: "A Parametric table must exist ...".
void ShowTableRequired() {
  SetMessageArg(1, "Parametric");
  ShowAlert(GetMessageText(kMsgTableRequired), kAlertErrorOk, true);
}

// The compiled document holds no equation in its main program or any of its
// own units (library units do not count).
bool NothingToSolve() {
  if (MainProgramUnit == nullptr) return true;
  if (MainProgramUnit->UsedVariableCount != 0) return false;
  for (const TProgramUnitRecord* unit : ProgramUnitList)
    if (unit != nullptr && unit->IsLibraryUnit == 0 && CountModuleEquations(unit) != 0) return false;
  return true;
}

}  // namespace

void TCalculateCommands::CloseResultWindows() {
  windows_.CloseWindow(kSolutionWindow);
  windows_.CloseWindow(kResidualsWindow);
  if (windows_.WindowExists(kArraysTableWindow)) windows_.CloseWindow(kArraysTableWindow);
  if (windows_.WindowExists(kIntegralTableWindow)) windows_.CloseWindow(kIntegralTableWindow);
}

bool TCalculateCommands::ParametricTableRequired() {
  if (windows_.WindowExists(kParametricTableWindow)) return true;
  ShowTableRequired();
  return false;
}

void TCalculateCommands::Solve1Click() {
  CalcErrorCode = 0;
  // A Solve never runs inside another.
  if (calculating_) return;
  CurrentRun = 0;
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  UseDiagramInput = true;
  windows_.ReleaseDebugWindow();
  const int active = ActiveChildWindow;
  if (!windows_.CommitDiagramInput()) {
    calculating_ = false;
    return;
  }
  // The Diagram window reads its input items when it is activated.
  if (active == kDiagramWindow && windows_.DiagramHasInput()) windows_.ActivateDiagram();
  calculating_ = true;
  MinMaxMode = false;
  CloseResultWindows();
  CheckOnlyMode = false;
  LenientCompile = false;
  if (recorder_.Recording()) recorder_.AppendLine("Solve");

  CompileEquations(false, true);

  // An empty document, or one of comments only, compiles without an error
  // and has nothing to show: say so instead of leaving the user to wonder
  // whether Solve ran.
  if (CalcErrorCode == 0 && !AbortRequested && SolutionAvailable && NothingToSolve()) {
    ShowAlert(kNoEquationsText, kAlertInfoOk, false);
    calculating_ = false;
    return;
  }

  if (SolutionAvailable) {
    windows_.SetSolutionCaption("Solution");
    if (windows_.IsShown(kDiagramWindow)) windows_.RepaintDiagram();
    if (active == kDiagramWindow && windows_.DiagramHasInputOrOutput()) {
      // The diagram shows the results itself.
      windows_.BringToFront(kDiagramWindow);
    } else if (windows_.SolutionHasVariables()) {
      if (windows_.WindowExists(kIntegralTableWindow)) windows_.ShowWindow(kIntegralTableWindow);
      windows_.ShowWindow(kSolutionWindow);
      windows_.BringToFront(kSolutionWindow);
      if (recorder_.Recording() && saveDialog_ != nullptr) {
        std::string fileName;
        bool append = false;
        if (saveDialog_->Execute(GetMessageText(kMsgSaveResultsCaption), fileName, append)) {
          if (append) fileName += "  /APPEND";
          recorder_.AppendLine("SaveSolution " + fileName);
        }
      }
    }
  } else {
    windows_.SetSolutionCaption(GetMessageText(kMsgLastIterationValues));
  }
  calculating_ = false;
}

void TCalculateCommands::CheckFormat1Click() {
  calculating_ = true;
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  UseDiagramInput = true;
  windows_.ReleaseDebugWindow();
  PruneLineInfoList();
  windows_.InvalidateEquationResults();
  windows_.ScrollToTopLeft(kFormattedEquationsWindow);
  windows_.CloseWindow(kFormattedEquationsWindow);
  ActiveChildWindow = kNoWindow;
  ClearCompiledEquations();
  CheckOnlyMode = true;
  CompileEquations(true, false);
  calculating_ = false;
  if (windows_.WindowExists(kParametricTableWindow)) RelabelParametricColumns();
}

// The columns follow their variables' names again; a column whose variable
// the equations no longer have is named "??".
void TCalculateCommands::RelabelParametricColumns() {
  TTableForm* form = TableForms[kParametricTableKind].get();
  if (form == nullptr) return;
  const TProgramUnitRecord* main = MainProgramUnit;
  const int32_t count = main != nullptr ? main->VariableCount : 0;
  for (TTableColumnRecord* column = form->Columns; column != nullptr; column = column->Next) {
    const TVariableRecord* var =
        column->VariableIndex >= 1 && column->VariableIndex <= count ? main->Variable(column->VariableIndex) : nullptr;
    if (var == nullptr) {
      column->Name = "??";
      ThrottledBeep();
    } else {
      column->Name = var->Name.substr(0, 30);
    }
  }
  windows_.RepaintParametricTable();
}

void TCalculateCommands::SolveTable1Click() {
  const int active = ActiveChildWindow;
  if (!ParametricTableRequired()) return;
  windows_.DisposeTableUndo();
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  windows_.ReleaseDebugWindow();
  if (!windows_.CommitDiagramInput()) return;
  if (windows_.CommitTableEdit()) {
    windows_.ScrollToTopLeft(kFormattedEquationsWindow);
    windows_.CloseWindow(kFormattedEquationsWindow);
    MinMaxMode = false;
    calculating_ = true;
    TSolveTableChoices choices = SolveTableDialogDefaults();
    // The dialog's OK runs the table.
    if (solveTableDialog_ == nullptr || solveTableDialog_->Execute(choices)) SolveTableWithChoices(choices);
    calculating_ = false;
    windows_.RepaintParametricTable();
    if (windows_.IsShown(kDiagramWindow) || active == kDiagramWindow) windows_.RepaintDiagram();
  }
  if (active != kDiagramWindow) windows_.RepaintEquations();
}

// What both Min/Max commands do first: the optimisation mode without
// uncertainties, the Diagram's input committed (false when that fails) and
// the result windows closed.
bool TCalculateCommands::BeginMinMaxCommand() {
  windows_.CloseWindow(kFormattedEquationsWindow);
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  UseDiagramInput = true;
  MinMaxMode = true;
  windows_.ReleaseDebugWindow();
  if (!windows_.CommitDiagramInput()) return false;
  CloseResultWindows();
  return true;
}

void TCalculateCommands::MinMax1Click() {
  CurrentRun = 0;
  const int active = ActiveChildWindow;
  if (!BeginMinMaxCommand()) return;
  CheckOnlyMode = false;
  CurrentRun = 0;
  // The solve optimises because MinMaxMode is set.
  CompileEquations(false, true);
  windows_.SetSolutionCaption(SolutionAvailable ? std::string("Solution")
                                                : GetMessageText(kMsgLastIterationValues));
  if (!SolutionAvailable) return;
  if (windows_.IsShown(kDiagramWindow)) windows_.RepaintDiagram();
  if (active == kDiagramWindow) {
    windows_.BringToFront(kDiagramWindow);
  } else if (windows_.SolutionHasVariables()) {
    windows_.ShowWindow(kSolutionWindow);
    windows_.BringToFront(kSolutionWindow);
  }
}

void TCalculateCommands::MinMaxTable1Click() {
  if (!ParametricTableRequired()) return;
  windows_.DisposeTableUndo();
  if (!BeginMinMaxCommand()) return;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  if (CalcErrorCode == 0) {
    CurrentRun = 1;
    if (CheckMinMaxDegreesOfFreedom(true) && ShowMinMaxDialog(true)) {
      RunSolveTable();
      windows_.RepaintParametricTable();
    }
  }
  windows_.RepaintEquations();
}

void TCalculateCommands::UpdateGuesses1Click() {
  // Asked even while a batch macro plays.
  if (ShowAlert(GetMessageText(kMsgUpdateGuessesQuestion), kAlertInfoYesNo, false) != kResultYes) return;
  UpdateGuessesFromSolution(-1);
  if (recorder_.Recording()) recorder_.AppendLine("UpdateGuesses");
}

void TCalculateCommands::ResetGuesses1Click() {
  if (PlayingMacroFile) {
    ResetAllGuesses(0);
    return;
  }
  if (ShowAlert(GetMessageText(kMsgResetGuessesQuestion), kAlertInfoYesNo, false) != kResultYes) return;
  ResetAllGuesses(0);
  if (recorder_.Recording()) recorder_.AppendLine("ResetGuesses");
}

}  // namespace voq
