#include "session/solve_after_compile.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/min_max.h"
#include "session/problem_summary.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/one_unknown.h"

namespace voq {

bool SolveFromDiagram = false;

namespace {

// The count check failed: the summary, and the Debug window when the user
// wants it. False when the sequence must end at once.
bool ReportUnbalancedProblem(TProgramUnitRecord* main) {
  SolveSequenceServices& services = SolveServices();
  CurrentProgramUnit = main;
  CurrentRun = 0;
  SolveOneUnknownEquations(true);
  if (CalcErrorCode > 0) {
    ShowLastEquationError();
    return true;
  }
  std::string text;
  ProblemSizeMessage(main, 0, text);
  if (PlayingMacroFile) {
    CalcErrorCode = kMsgPreparedText;
    MessageText = text;
    return true;
  }
  if (ShowAlert(text + GetMessageText(kMsgShowDebugQuestion), kAlertErrorYesNo, true) ==
      kResultYes) {
    services.CloseFormattedEquations();
    BlockAllUnits();
    if (CalcErrorCode > 0) return false;
    CheckOnlyStarted = true;
    DebugProgramUnit = main;
    services.ShowDebugWindow(main, 0);
  } else {
    services.CloseFormattedEquations();
    ClearCompiledEquations();
  }
  return true;
}

// The plain solve of a balanced problem: guesses, blocking, block solve, and
// the question after a failure to converge. False when the sequence must
// end at once (an error of the blocking).
bool SolveBalancedProblem(TProgramUnitRecord* main) {
  SolveStartTicks = Platform().TickCount();
  if (main->UnknownCount == 0) {
    SolutionAvailable = true;
  } else {
    CheckAllGuessLimits();
    if (CalcErrorCode == 0) {
      for (;;) {
        BlockAllUnits();
        if (CalcErrorCode > 0) return false;
        CurrentRun = 0;
        SolveEquationBlocks();
        if (CalcErrorCode != kMsgNoConvergence) break;
        const std::string question = GetMessageText(kMsgNoConvergence);
        CalcErrorCode = 0;
        if (ShowAlert(question, kAlertWarningYesNo, true) != kResultYes) {
          CalcErrorCode = kMsgCancelled;
          break;
        }
        // Continue from where the iteration stopped.
        UpdateGuessesFromSolution(-1);
        CurrentProgramUnit = main;
      }
    }
  }
  if (CalcErrorCode == 0) CheckResidualsAfterSolve(false);
  if (CalcErrorCode > 0) ShowLastEquationError();
  return true;
}

}  // namespace

void SolveCompiledEquations() {
  SolveSequenceServices& services = SolveServices();
  PlatformServices& platform = Platform();
  MessageHelpContext = 0;
  platform.SetBusyCursor(1);
  RunStartTicks = platform.TickCount();
  LastAbortPollTicks = RunStartTicks;
  BusyCursorSwitchTicks = RunStartTicks;
  BusyCursorAlternate = false;

  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  CurrentProgramUnit = main;
  services.AssignIntegrationVars(main);
  DegreesOfFreedom = main->UnknownCount - main->EquationCount;
  SolutionAvailable = false;

  if (DegreesOfFreedom != 0 && !(MinMaxMode && !UncertaintyMode)) {
    if (!ReportUnbalancedProblem(main)) return;
  } else {
    AbortRequested = false;
    main->BlockCount = 0;
    if (CalcErrorCode == 0) {
      CurrentRun = 0;
      // The uncertainty propagation takes over after the one-unknown pass.
      if (UncertaintyMode || UncertaintyTableMode) return;
      SolveOneUnknownEquations(true);
      SolutionStarted = true;
    }
    if (CalcErrorCode == 0 && !AbortRequested) {
      if (MinMaxMode) {
        SolutionAvailable = true;
        SolutionStarted = true;
        CurrentRun = 0;
        if (!MinMaxAfterRead()) {
          SolutionAvailable = false;
          SolutionStarted = false;
          return;
        }
        if (CalcErrorCode == 0) CheckResidualsAfterSolve(false);
        if (CalcErrorCode > 0) ShowLastEquationError();
      } else if (!SolveBalancedProblem(main)) {
        return;
      }
    } else if (CalcErrorCode > 0) {
      ShowLastEquationError();
    }
  }

  // After the run; the error number survives these steps.
  const int32_t keptError = CalcErrorCode;
  services.SaveLookupFilesAfterRun();
  if (CalcErrorCode == 0) SaveLookupFilesAfterRun();
  if (CalcErrorCode == 0 && WarningsPending && ShowWarningMessages) {
    if (ShowAlert(GetMessageText(kMsgSeeWarningsQuestion), kAlertWarningYesNo, true) == kResultYes)
      services.ShowWarningsList();
  }
  if (!ExportDirectives.empty() && CalcErrorCode == 0) {
    ExportAfterRun(0);
    // The kept error number is restored below and would hide a failed
    // export: the user is told here.
    if (CalcErrorCode > 0) ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, true);
  }
  if ((DegreesOfFreedom == 0 && !MinMaxMode) || (DegreesOfFreedom > 0 && MinMaxMode))
    services.ShowArraysTable(ActiveChildWindow != kDiagramWindow && CalcErrorCode == 0);
  services.BringDebugWindowToFront();
  CalcErrorCode = keptError;
}

void ShowLastEquationError() {
  const TProgramUnitRecord* unit = CurrentProgramUnit;
  const TEquationRecord* e = unit != nullptr ? unit->LastEquation : nullptr;
  if (e != nullptr)
    ShowEquationError(CalcErrorCode, e->TextStart, e->TextEnd, e->LineNumber);
  else
    ShowEquationError(CalcErrorCode, 0, 0, 0);
}

void CheckResidualsAfterSolve(bool quiet) {
  TProgramUnitRecord* const savedUnit = CurrentProgramUnit;
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr || AbortRequested) break;
    const bool inUse = unit == MainProgramUnit ||
                       (unit->IsSubprogram && unit->Defined && unit->CompiledThisPass && !unit->IsPrivate);
    if (!inUse) continue;
    int32_t guard = 0;
    for (TEquationRecord* e = unit->FirstEquation; e != nullptr && guard < 10000000; e = e->Next, ++guard) {
      if (AbortRequested) break;
      unit->LastEquation = e;
      if (IsBlank(e->Residual) || IsBlank(e->RelativeResidual)) continue;
      const Extended relative = e->RelativeResidual < 0 ? -e->RelativeResidual : e->RelativeResidual;
      if (relative <= StopCriteria.RelativeResidualTolerance) continue;
      CalcErrorCode = kMsgConstrained;
      if (quiet) return;
      if (ShowAlert(GetMessageText(kMsgConstrained), kAlertErrorYesNo, true) == kResultYes) {
        DebugProgramUnit = unit;
        SolveServices().ShowDebugWindow(unit, 1);
        SolutionAvailable = false;
      }
      CalcErrorCode = 0;
      MessageHelpContext = 0;
      CurrentProgramUnit = savedUnit;
      return;
    }
  }
  CurrentProgramUnit = savedUnit;
}

}  // namespace voq
