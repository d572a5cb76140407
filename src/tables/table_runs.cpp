#include "tables/table_runs.h"

#include <memory>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/one_unknown.h"
#include "solver/progress.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

std::string WarnedRunsText;
std::string ConstrainedRunsText;

namespace {

TableRunHooks defaultHooks;
TableRunHooks* installedHooks = nullptr;

// The texts of the run lists hold at most this many characters.
constexpr size_t kRunListLength = 255;

// The main program's unknowns and equations after the one-unknown pass on
// the constants: every run starts from them.
struct TRunState {
  int16_t UnknownCount = 0;
  int16_t EquationCount = 0;
  std::vector<int16_t> Unknowns;   // [1..UnknownCount]
  std::vector<int16_t> Positions;  // their UnknownPosition
  std::vector<uint8_t> SolvedAlone;
};

void SaveRunState(const TProgramUnitRecord& unit, TRunState& state) {
  state.UnknownCount = unit.UnknownCount;
  state.EquationCount = unit.EquationCount;
  state.Unknowns.assign(size_t(unit.UnknownCount) + 1, 0);
  state.Positions.assign(size_t(unit.UnknownCount) + 1, 0);
  for (int32_t k = 1; k <= unit.UnknownCount && size_t(k) < unit.UnknownList.size(); ++k) {
    state.Unknowns[size_t(k)] = unit.UnknownList[size_t(k)];
    if (const TVariableRecord* v = unit.Variable(unit.UnknownList[size_t(k)]))
      state.Positions[size_t(k)] = v->UnknownPosition;
  }
  state.SolvedAlone.clear();
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) state.SolvedAlone.push_back(e->SolvedAlone);
}

void RestoreRunState(TProgramUnitRecord& unit, const TRunState& state) {
  unit.UnknownCount = state.UnknownCount;
  unit.EquationCount = state.EquationCount;
  for (int32_t k = 1; k <= state.UnknownCount && size_t(k) < unit.UnknownList.size(); ++k) {
    const int16_t index = state.Unknowns[size_t(k)];
    unit.UnknownList[size_t(k)] = index;
    if (TVariableRecord* v = unit.Variable(index)) v->UnknownPosition = state.Positions[size_t(k)];
  }
  size_t i = 0;
  for (TEquationRecord* e = unit.FirstEquation; e != nullptr && i < state.SolvedAlone.size(); e = e->Next, ++i)
    e->SolvedAlone = state.SolvedAlone[i];
}

// Every unit's guesses of its used variables, kept from before the table
// run until after it.
void SaveGuesses() {
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr) continue;
    unit->SavedGuesses.clear();
    for (int32_t k = 1; k <= unit->UsedVariableCount && size_t(k) < unit->UsedVariableList.size(); ++k) {
      const TVariableRecord* v = unit->Variable(unit->UsedVariableList[size_t(k)]);
      unit->SavedGuesses.push_back(v != nullptr ? v->Guess : 1);
    }
  }
}

void RestoreGuesses() {
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr) continue;
    for (size_t k = 1; k <= unit->SavedGuesses.size() && k < unit->UsedVariableList.size(); ++k) {
      if (TVariableRecord* v = unit->Variable(unit->UsedVariableList[k])) v->Guess = unit->SavedGuesses[k - 1];
    }
    unit->SavedGuesses.clear();
    unit->SavedGuesses.shrink_to_fit();
  }
}

void GuessesFromValues() {
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr) continue;
    for (int32_t k = 1; k <= unit->UsedVariableCount && size_t(k) < unit->UsedVariableList.size(); ++k) {
      TVariableRecord* v = unit->Variable(unit->UsedVariableList[size_t(k)]);
      if (v != nullptr && !v->IsString && !IsBlank(v->Value)) v->Guess = v->Value;
    }
  }
}

// Whether the pattern of entered cells changes between the first run and a
// later one: the blocking of the first run then does not serve them.
bool DecideReblocking(const TTableForm& form) {
  for (int32_t c = 1; c <= TableColumnCounts[1]; ++c) {
    const TTableColumnRecord* column = FindColumn(form.Columns, c);
    if (column == nullptr) continue;
    for (int32_t r = FirstRun + 1; r <= LastRun; ++r)
      if (column->Flag(r) != column->Flag(FirstRun)) return true;
  }
  return CtrlKeyDown();
}

void AppendRun(std::string& list, int32_t run) {
  const std::string text = std::to_string(run) + " ";
  if (list.size() + text.size() <= kRunListLength) list += text;
}

// The export of a run, whatever the run's outcome: the run's own error
// stays the one reported.
void ExportRun(int32_t run) {
  if (ExportDirectives.empty()) return;
  const int32_t kept = CalcErrorCode;
  CalcErrorCode = 0;
  ExportAfterRun(run);
  if (CalcErrorCode <= 0 || kept > 0) CalcErrorCode = kept;
}

// Solves the blocks of a run, asking after a failure to converge. False
// when the blocking failed.
bool SolveRunBlocks(TProgramUnitRecord* main, int32_t run, bool reblock) {
  if (reblock) {
    BlockAllUnits();
    if (CalcErrorCode > 0) return false;
  }
  for (;;) {
    CurrentProgramUnit = main;
    SolveEquationBlocks();
    if (UncertaintyTableMode && CalcErrorCode <= 0) TableHooks().PropagateUncertaintyForRun(run);
    if (CalcErrorCode != kMsgNoConvergence) break;
    std::string text = GetMessageText(kMsgNoConvergence);
    text = "Run " + std::to_string(run) + (text.size() > 11 ? text.substr(11) : std::string());
    CalcErrorCode = 0;
    const bool showing = ProgressDlg != nullptr;
    Progress().Close();
    Platform().SetBusyCursor(0);
    if (ShowAlert(text, kAlertWarningOkCancel, true) != kResultOk) {
      CalcErrorCode = kMsgCancelled;
      break;
    }
    UpdateGuessesFromSolution(-1);
    if (showing && !PlayingMacroFile && !HiddenMode) Progress().Open();
  }
  return true;
}

}  // namespace

void SetTableRunHooks(TableRunHooks* hooks) { installedHooks = hooks; }
TableRunHooks& TableHooks() { return installedHooks != nullptr ? *installedHooks : defaultHooks; }

int32_t ColumnOfVariable(int32_t variableIndex) { return ParametricColumnOfVariable(variableIndex); }

int32_t SetRunInputs(int32_t run) {
  TProgramUnitRecord* const unit = CurrentProgramUnit;
  TTableForm* const form = TableForms[1].get();
  if (unit == nullptr || form == nullptr) return 0;
  for (int32_t i = 1; i <= unit->IntegralCount && i <= kIntegralSlotCount; ++i) {
    if (TVariableRecord* v = unit->Variable(unit->IntegralSlots[size_t(i)].IntegrationVariable))
      v->UnknownPosition = kIntegrationVariable;
  }
  CalcErrorCode = 0;
  MessageHelpContext = 0;
  int32_t fixed = 0;
  int32_t j = 1;
  for (TTableColumnRecord* c = form->Columns; c != nullptr && j <= TableColumnCounts[1] && CalcErrorCode <= 0;
       c = c->Next, ++j) {
    if (c->Flag(run) == 0) continue;
    std::string text;
    uint8_t entered = 0;
    Extended value = form->GetMyCell(form->CurrentTable, run, c->ColumnNumber, text, 255, entered, c->IsString);
    if (CalcErrorCode > 0 || !IsValidReal(value)) {
      CalcErrorCode = kMsgIllegalTableEntry;
      SetMessageArg(1, std::to_string(run));
      SetMessageArg(2, std::to_string(j));
      unit->LastEquation = nullptr;
      break;
    }
    TVariableRecord* v = unit->Variable(c->VariableIndex);
    if (v == nullptr) continue;
    if (v->UnknownPosition == kIntegrationVariable) {
      CalcErrorCode = kMsgIntegrationVariableSet;
      SetMessageArg(1, v->Name);
      unit->LastEquation = nullptr;
    } else if (v->UnknownPosition == kDeterminedVariable) {
      CalcErrorCode = kMsgSetInWorksheet;
      SetMessageArg(1, "Run " + std::to_string(run) + ": " + v->Name);
      unit->LastEquation = nullptr;
    } else {
      v->Value = value;
      if (v->UnknownPosition != kNotUnknown) {
        v->UnknownPosition = kSetFromParametricTable;
        RemoveFromVarOrder(c->VariableIndex);
        ++fixed;
      }
    }
  }
  return fixed;
}

void WriteRunResults(int32_t run) {
  TTableForm* const form = TableForms[1].get();
  const TProgramUnitRecord* const unit = MainProgramUnit;
  if (form == nullptr || unit == nullptr) return;
  for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
    const TVariableRecord* v = unit->Variable(c->VariableIndex);
    if (v == nullptr || v->UnknownPosition == kNotUnknown) continue;
    form->SetmyCell(form->CurrentTable, -1, v->Value, run, c->ColumnNumber, 0);
  }
}

void SolveTableRuns() {
  WarningEquation = nullptr;
  int32_t run = FirstRun - 1;
  CurrentRun = FirstRun;
  TableRunHooks& hooks = TableHooks();

  CheckOnlyMode = true;
  EquationsCompiled = false;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  TProgramUnitRecord* const main = MainProgramUnit;
  if (CalcErrorCode > 0 || main == nullptr) {
    if (main != nullptr) main->LastEquation = nullptr;
    TableCompileFailed = true;
    CurrentRun = 0;
    return;
  }
  CurrentProgramUnit = main;
  TTableForm* const form = TableForms[1].get();
  if (form == nullptr) {
    CurrentRun = 0;
    return;
  }
  hooks.BindTableIntegrals();
  if (CalcErrorCode > 0) {
    CurrentRun = 0;
    return;
  }
  SaveGuesses();
  // From here on every way out puts the user's guesses back.
  struct GuessKeeper {
    ~GuessKeeper() { RestoreGuesses(); }
  } keeper;

  TRunState state;
  try {
    SolveOneUnknownEquations(true);
    CurrentProgramUnit = main;
    SaveRunState(*main, state);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  }
  if (CalcErrorCode > 0) return;
  AbortRequested = false;
  for (int32_t j = FirstRun; j <= LastRun; ++j) form->ClearTableRun(j);

  RunStartTicks = Platform().TickCount();
  WarnedRunsText.clear();
  ConstrainedRunsText.clear();
  bool warned = false;
  bool constrained = false;
  main->BlockCount = 0;
  bool reblock = true;
  DocumentUnchanged = false;

  if (MinMaxMode) {
    hooks.MinMaxTableStart();
  } else if (!UncertaintyTableMode) {
    // The integral table keeps one value set per run from here on.
    if (hooks.SetUpIntegralTable() && TableForms[4]) {
      int32_t k = 1;
      for (TTableColumnRecord* c = TableForms[4]->Columns; c != nullptr && k <= TableColumnCounts[4]; c = c->Next, ++k)
        c->ValueSets.clear();
    }
  }
  std::unique_ptr<TProgressDlg> progress = CreateProgressDialog();
  ProgressDlg = progress.get();
  const bool showProgress = !PlayingMacroFile && !HiddenMode;
  if (showProgress) {
    Progress().Open();
    ProgressDlg->FormActivate();
  }
  struct ProgressKeeper {
    std::unique_ptr<TProgressDlg>& dialog;
    bool shown;
    ~ProgressKeeper() {
      if (shown) Progress().Close();
      ProgressDlg = nullptr;
      dialog.reset();
    }
  } progressKeeper{progress, showProgress};

  while (LastRun > run && !AbortRequested && CalcErrorCode <= 0) {
    ++run;
    CurrentRun = run;
    ProgressDlg->ForceRedraw = 1;
    ProgressDlg->Draw();
    ProgressDlg->ForceRedraw = 0;
    CheckUserAbort();
    CurrentProgramUnit = main;

    RestoreRunState(*main, state);
    const int32_t fixed = SetRunInputs(run);
    for (int32_t k = 1; k <= main->UnknownCount && CalcErrorCode <= 0; ++k)
      CheckGuessLimits(main->UnknownList[size_t(k)]);
    if (CalcErrorCode <= 0) {
      hooks.AssignIntegrationVars(main);
      SolveServices().AssignIntegrationVars(main);
      if (!MinMaxMode && main->EquationCount != main->UnknownCount) {
        std::string text;
        ProblemSizeMessage(main, fixed, text);
        CalcErrorCode = kMsgTableRunUnbalanced;
        MessageText = "Error in Run " + std::to_string(run) + ": " + text;
        main->LastEquation = nullptr;
      }
      if (CalcErrorCode <= 0 && CurrentProgramUnit == main) SolveOneUnknownEquations(false);
    }
    CurrentProgramUnit = main;
    if (CalcErrorCode <= 0 && main->UnknownCount > 0) {
      CheckAllGuessLimits();
      if (CalcErrorCode <= 0) {
        if (MinMaxMode) {
          hooks.RunMinMax();
        } else if (!SolveRunBlocks(main, run, reblock)) {
          // A failed blocking ends the table run at once (the guesses are
          // put back all the same).
          return;
        }
      }
    }
    CurrentProgramUnit = main;
    if (CalcErrorCode < 0 && StopOnWarning) {
      AbortRequested = true;
      CalcErrorCode = -CalcErrorCode;
      WriteRunResults(run);
    }
    if (!AbortRequested && CalcErrorCode <= 0) {
      if (CalcErrorCode < 0) {
        AppendRun(WarnedRunsText, run);
        warned = true;
      } else {
        CheckResidualsAfterSolve(true);
        if (CalcErrorCode > 0) {
          AppendRun(ConstrainedRunsText, run);
          constrained = true;
          CalcErrorCode = 0;
        }
      }
      WriteRunResults(run);
      hooks.AdvanceTableIntegrals();
      if (UpdateGuesses) GuessesFromValues();
    }
    if (CalcErrorCode > 0) AbortRequested = true;
    if (run == FirstRun) reblock = DecideReblocking(*form);
    ExportRun(run);
  }

  // The host knows whether the equations hold $SaveLookup directives.
  if (CalcErrorCode <= 0) SolveServices().SaveLookupFilesAfterRun();
  if (CalcErrorCode <= 0) SaveLookupFilesAfterRun();
  // One tab of the integral table per run attempted, the last one shown.
  if (TTableForm* integral = TableForms[4].get()) {
    integral->IntegralRunOffset = FirstRun;
    integral->TabCaptions.clear();
    for (int32_t j = FirstRun; j <= run; ++j) integral->TabCaptions.push_back("Run " + std::to_string(j));
    integral->TabIndex = int32_t(integral->TabCaptions.size()) - 1;
  }
  RestoreGuesses();
  for (int32_t c = 1; c <= TableColumnCounts[1]; ++c) form->FillSumAvg(c);
  Platform().SetBusyCursor(0);
  if (CalcErrorCode <= 0) SolveServices().ShowArraysTable(false);

  if (warned && ShowWarningMessages) {
    CalcErrorCode = kMsgRunWarnings;
    SetMessageArg(1, WarnedRunsText);
  } else if (CalcErrorCode <= 0 && constrained) {
    const TEquationRecord* e = main->LastEquation;
    SetMessageArg(1, ConstrainedRunsText);
    if (e != nullptr)
      ShowEquationError(kMsgRunsConstrained, e->TextStart, e->TextEnd, e->LineNumber);
    else
      ShowEquationError(kMsgRunsConstrained, 0, 0, -4);
    CalcErrorCode = 0;
  }
}

void RunSolveTable() {
  Platform().SetBusyCursor(1);
  TableCompileFailed = false;
  SolveTableRuns();
  FreeOccurrenceLists();
  SolveStartTicks = Platform().TickCount();
  const TProgramUnitRecord* const main = MainProgramUnit;
  const TEquationRecord* const e = main != nullptr ? main->LastEquation : nullptr;
  const int32_t start = e != nullptr ? e->TextStart : 0;
  const int32_t end = e != nullptr ? e->TextEnd : 0;
  const int32_t line = e != nullptr ? e->LineNumber : -4;
  if (CalcErrorCode != 0 && !TableCompileFailed) {
    if (CalcErrorCode == kMsgTableRunUnbalanced) {
      if (PlayingMacroFile) {
        CalcErrorCode = kMsgPreparedText;
        return;
      }
      Platform().SetBusyCursor(0);
      if (ShowAlert(MessageText + GetMessageText(kMsgShowDebugQuestion), kAlertErrorYesNo, true) == kResultYes) {
        CalcErrorCode = 0;
        AbortRequested = false;
        BlockAllUnits();
        if (CalcErrorCode > 0) {
          Platform().SetBusyCursor(0);
          return;
        }
        CheckOnlyStarted = true;
        DebugProgramUnit = MainProgramUnit;
        SolveServices().ShowDebugWindow(MainProgramUnit, 0);
      } else {
        CalcErrorCode = 0;
      }
    } else if (CalcErrorCode > 0) {
      ShowEquationError(CalcErrorCode, start, end, line);
    }
  }
  SolutionAvailable = true;
  SolutionStarted = true;
  if (CalcErrorCode == 0) {
    if (TTableForm* form = TableForms[1].get()) form->Visible = true;
    SolveServices().BringDebugWindowToFront();
  }
  Platform().SetBusyCursor(0);
}

TSolveTableChoices SolveTableDialogDefaults() {
  TSolveTableChoices choices;
  const TTableForm* form = TableForms[1].get();
  choices.Table = form != nullptr && form->CurrentTable > 0 ? form->CurrentTable : 1;
  choices.FirstRun = FirstRun;
  choices.LastRun = LastRun;
  choices.UpdateGuesses = UpdateGuesses;
  choices.StopOnWarning = ShowWarningMessages && StopOnWarning;
  choices.UseDiagramInput = Diagram().UseInputs() && !Diagram().InputItems().empty() && UseDiagramInput;
  return choices;
}

void SolveTableWithChoices(const TSolveTableChoices& choices) {
  TTableForm* form = TableForms[1].get();
  if (form == nullptr) return;
  UpdateGuesses = choices.UpdateGuesses;
  StopOnWarning = choices.StopOnWarning;
  UseDiagramInput = choices.UseDiagramInput;
  const std::vector<std::string>& tabs = form->TabCaptions;
  if (choices.Table > 0) {
    if (MacroRecording && choices.Table <= int32_t(tabs.size()))
      MacroText += "SolveTable '" + tabs[size_t(choices.Table - 1)] + "' Rows=" + std::to_string(choices.FirstRun) +
                   ".." + std::to_string(choices.LastRun) + "\r\n";
    form->SwitchToTab(choices.Table - 1);
    const int32_t rows = TableRowCounts[1];
    FirstRun = (choices.FirstRun >= 1 && choices.FirstRun <= rows) ? choices.FirstRun : 1;
    LastRun = choices.LastRun < FirstRun ? FirstRun : std::min(choices.LastRun, rows);
    RunSolveTable();
    if (TableForms[1]) TableForms[1]->MultipleTableRefresh();
  } else {
    CalcErrorCode = 0;
    for (int32_t t = 1; t <= int32_t(form->TabCaptions.size()) && CalcErrorCode <= 0; ++t) {
      form->SwitchToTab(t - 1);
      if (MacroRecording)
        MacroText += "SolveTable '" + form->TabCaptions[size_t(t - 1)] + "' Rows=" + std::to_string(FirstRun) + ".." +
                     std::to_string(LastRun) + "\r\n";
      RunSolveTable();
      form->MultipleTableRefresh();
    }
  }
  if (CalcErrorCode <= 0 && WarningsPending && ShowWarningMessages) {
    if (ShowAlert(GetMessageText(kMsgSeeWarningsQuestion), kAlertWarningYesNo, true) == kResultYes)
      SolveServices().ShowWarningsList();
  }
  DocumentUnchanged = false;
}

}  // namespace voq
