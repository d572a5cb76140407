#include "solver/newton_solver.h"

#include <cfenv>
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_flags.h"
#include "model/occurrence_lists.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/progress.h"
#include "solver/solver_state.h"
#include "solver/sparse_lu.h"

namespace voq {

namespace {

constexpr int32_t kSingularHelpContext = 362;
constexpr int32_t kRestartAttempts = 9;
constexpr int32_t kDampingPasses = 16;  // passes 1..15
constexpr Extended kDampingFactor = 0.8L;
constexpr Extended kNearlySingularPivot = 1e-10L;

// The step vector of the solve in progress, indexed by position 1..n. A
// subprogram solved inside an evaluation installs its own for its duration.
Extended* stepVector = nullptr;
// The pivots of the block being iterated, replayed by its next
// factorisation; null outside a block's iteration. A subprogram solved
// inside an evaluation iterates its own blocks with their own.
SparseLuMemory* blockLuMemory = nullptr;
IntegralStepper integralStepper = nullptr;

TProgramUnitRecord& Unit() { return *CurrentProgramUnit; }

bool ErrorSet() { return CalcErrorCode > 0; }

// The variable of column position i: the first entry of the column's list
// that has one (fill-in entries have none); 0 when there is none.
int32_t ColumnVariable(const TProgramUnitRecord& u, int32_t i) {
  for (const TOccurrenceRecord* e = u.ColumnHeads[i]; e != nullptr; e = e->NextInColumn) {
    if (e->Variable > 0) return e->Variable;
  }
  return 0;
}

// The equation of row position i, or null.
TEquationRecord* RowEquation(const TProgramUnitRecord& u, int32_t i) {
  for (const TOccurrenceRecord* e = u.RowHeads[i]; e != nullptr; e = e->NextInRow) {
    if (e->Equation != nullptr) return e->Equation;
  }
  return nullptr;
}

void DrawProgress() {
  if (ProgressDlg != nullptr) ProgressDlg->Draw();
}

bool ElapsedTimeExceeded() {
  const int32_t now = Platform().TickCount();
  const int32_t elapsedMs = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(RunStartTicks));
  return elapsedMs / 1000 > StopCriteria.MaxElapsedSeconds;
}

void AddNumberedWarning(int32_t id) { AddWarning(GetMessageText(id)); }

// The step the LU solve returned must be usable numbers: a pivot that is tiny
// but not zero can blow the correction up to an infinity or a NaN, which is
// the singular case in another form.
bool StepIsFinite(const TProgramUnitRecord& u) {
  for (int32_t i = u.RangeFirst; i <= u.RangeLast; ++i) {
    if (!std::isfinite(stepVector[i])) {
      CurrentProgramUnit->LastEquation = RowEquation(u, i);
      MessageHelpContext = kSingularHelpContext;
      CalcErrorCode = kMsgSingular;
      return false;
    }
  }
  return true;
}

void SolveStep() {
  TProgramUnitRecord& u = Unit();
  SolveSparseSystem(u, stepVector, blockLuMemory);
  if (!ErrorSet()) StepIsFinite(u);
}

// Value := Value - scale * d[i] for every column of the range, clamped and
// recorded. False when a column has no variable (error 322 set).
bool UpdateVariables(Extended scale) {
  TProgramUnitRecord& u = Unit();
  u.MaxChange = 0;
  for (int32_t i = u.RangeFirst; i <= u.RangeLast; ++i) {
    const int32_t v = ColumnVariable(u, i);
    if (v == 0) {
      EmptyBlockRowError();
      return false;
    }
    TVariableRecord* var = u.Variable(v);
    const Extended before = var->Value;
    var->Value = before - scale * stepVector[i];
    ApplyStepComponent(i, v, before);
  }
  return true;
}

}  // namespace

void SetIntegralStepper(IntegralStepper stepper) { integralStepper = stepper; }

void EmptyBlockRowError() {
  TProgramUnitRecord& u = Unit();
  u.LastEquation = nullptr;
  SetMessageArg(1, std::to_string(u.CurrentBlock));
  MessageHelpContext = kSingularHelpContext;
  CalcErrorCode = kMsgInconsistentBlock;
}

Extended EvalResidualChecked(TEquationRecord* equation) {
  // Only the three flags that become errors are watched. Clearing the
  // floating-point environment is far dearer than reading it, so it is
  // cleared only when one of them is actually set.
  constexpr int kWatched = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
  if (std::fetestexcept(kWatched) != 0) std::feclearexcept(kWatched);
  Extended r = EvaluateEquation(equation, 0);
  const int raised = std::fetestexcept(kWatched);
  if (raised != 0) std::feclearexcept(kWatched);
  if (CalcErrorCode > 0) return r;
  // The flags do not say which exception came first, but an overflow or a
  // division by zero leaves an infinity that later operations turn into an
  // invalid one (inf - inf, inf / inf; the scaled residual of an equation
  // whose right side overflowed is such a quotient). An infinity never
  // raises the other two flags again, while an invalid result (a NaN) raises
  // none at all. So the overflow is reported before the division by zero,
  // and both before the invalid operation: the exception that came first.
  int32_t error = 0;
  if (raised & FE_OVERFLOW) {
    error = kMsgOverflowException;
  } else if (raised & FE_DIVBYZERO) {
    error = kMsgDivisionByZeroException;
  } else if (raised & FE_INVALID) {
    error = kMsgInvalidOperationException;
  } else if (std::isnan(r)) {
    error = kMsgInvalidOperationException;
  } else if (std::isinf(r)) {
    error = kMsgOverflowException;
  }
  if (error == 0) return r;
  CalcErrorCode = error;
  return 1;
}

void EvaluateBlockResiduals(bool store) {
  TProgramUnitRecord& u = Unit();
  u.MaxResidual = 0;
  for (int32_t p = u.RangeFirst; p <= u.RangeLast; ++p) {
    TEquationRecord* e = RowEquation(u, p);
    if (e == nullptr) {
      EmptyBlockRowError();
      return;
    }
    e->Residual = EvalResidualChecked(e);
    if (ErrorSet()) return;
    if (std::fabs(e->RelativeResidual) > std::fabs(u.MaxResidual)) u.MaxResidual = e->RelativeResidual;
    if (store) stepVector[p] = e->Residual;
  }
}

void ApplyStepComponent(int32_t i, int32_t variable, Extended valueBefore) {
  TProgramUnitRecord& u = Unit();
  TVariableRecord* var = u.Variable(variable);
  Extended x = var->Value;
  bool clamped = false;
  ClampToLimits(variable, x, clamped);
  var->Value = x;
  stepVector[i] = var->Value - valueBefore;
  if (std::fabs(stepVector[i]) > u.MaxChange) u.MaxChange = std::fabs(stepVector[i]);
}

Extended PartialDerivative(int32_t variable, TEquationRecord* equation) {
  TProgramUnitRecord& u = Unit();
  TVariableRecord* var = u.Variable(variable);
  const Extended x0 = var->Value;
  const Extended base = equation->Residual;
  bool clamped = false;

  auto clampValue = [&]() {
    Extended x = var->Value;
    ClampToLimits(variable, x, clamped);
    var->Value = x;
  };

  var->Value = (std::fabs(x0) <= 1e-5L) ? x0 + 1e-5L : x0 * 1.00001L;
  const Extended h0 = var->Value - x0;
  clampValue();
  Extended h = var->Value - x0;
  if (h == 0) {
    // The limit took the whole step: go the other way.
    var->Value = x0 - h0;
    clampValue();
    h = var->Value - x0;
    if (h == 0) {
      var->Value = x0;
      return 1;
    }
  }
  Extended r = EvalResidualChecked(equation);
  if (ErrorSet()) {
    var->Value = x0;
    return ErrorResultValue;
  }
  Extended dr = (r - base) / h;
  if (dr == 0 && std::fabs(base) > 1e-5L && equation->IntegralTerms == nullptr) {
    for (int32_t attempt = 0; attempt < 6; ++attempt) {
      h = 10 * (var->Value - x0);
      var->Value = x0 + h;
      clampValue();
      const Extended step = var->Value - x0;
      if (step == 0) break;  // the limits leave no room for a larger step
      r = EvalResidualChecked(equation);
      if (ErrorSet()) break;
      dr = (r - base) / step;
      if (dr != 0) break;
    }
    // The real copy of a complex equation often does not depend on the
    // imaginary half of a pair at all (and the imaginary copy on the real
    // half): the blocking still puts both halves in both rows, and such a
    // zero derivative is exact, not a failure to measure one.
    const bool crossPart = var->PartnerVariable != 0 && var->ComplexPart != equation->EquationKind;
    if (dr == 0 && !ErrorSet() && !crossPart) {
      SetMessageArg(1, var->Name);
      // The text as written: a leading "~" only marks it as never reused.
      std::string text = equation->Text.value_or("");
      if (!text.empty() && text[0] == '~') text.erase(0, 1);
      SetMessageArg(2, text);
      AddNumberedWarning(kMsgZeroDerivative);
    }
  }
  var->Value = x0;
  return dr;
}

void ComputeJacobian() {
  TProgramUnitRecord& u = Unit();
  for (int32_t p = u.RangeFirst; p <= u.RangeLast && !ErrorSet(); ++p) {
    for (TOccurrenceRecord* e = u.RowHeads[p]; e != nullptr && !ErrorSet(); e = e->NextInRow) {
      e->Value = (e->Variable > 0) ? PartialDerivative(e->Variable, e->Equation) : 0;
      DrawProgress();
    }
  }
}

void DampStep() {
  TProgramUnitRecord& u = Unit();
  u.PreviousMaxResidual = std::fabs(u.MaxResidual);
  EvaluateBlockResiduals(false);
  int32_t pass = 1;
  if (u.PreviousMaxResidual > StopCriteria.RelativeResidualTolerance) {
    // Trial points: the old point plus 1, 0.2, 0.84, 0.328, ... Newton steps.
    while (std::fabs(u.MaxResidual) > u.PreviousMaxResidual && !ErrorSet() && pass < kDampingPasses &&
           !AbortRequested) {
      CheckAbortRequested();
      if (ErrorSet()) break;
      if (!UpdateVariables(kDampingFactor)) break;
      ++pass;
      EvaluateBlockResiduals(false);
    }
  }
  if (ErrorSet()) return;
  for (int32_t p = u.RangeFirst; p <= u.RangeLast; ++p) {
    if (TEquationRecord* e = RowEquation(u, p)) stepVector[p] = e->Residual;
  }
}

void RandomRestart() {
  TProgramUnitRecord& u = Unit();
  for (int32_t attempt = 0; attempt < kRestartAttempts; ++attempt) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    u.MaxChange = 0;
    for (int32_t i = u.RangeFirst; i <= u.RangeLast; ++i) {
      const int32_t v = ColumnVariable(u, i);
      if (v == 0) continue;
      TVariableRecord* var = u.Variable(v);
      const Extended before = var->Value;
      var->Value = var->Guess * (0.25L + 0.5L * static_cast<Extended>(Platform().RandomUniform()));
      ApplyStepComponent(i, v, before);
    }
    EvaluateBlockResiduals(true);
    if (!ErrorSet()) ComputeJacobian();
    if (!ErrorSet()) SolveStep();
    if (CalcErrorCode <= 0) break;
  }
  if (CalcErrorCode == 0 && LastPivotMagnitude < kNearlySingularPivot) {
    SetMessageArg(1, std::to_string(FactorBlockNumber));
    AddNumberedWarning(kMsgNearlySingular);
  }
}

void SolveBlockNewton(int32_t b) {
  TProgramUnitRecord& u = Unit();
  FactorBlockNumber = b;
  // The iterations of this block share one pattern and one pivot sequence.
  SparseLuMemory luMemory;
  struct MemoryScope {
    SparseLuMemory* outer = blockLuMemory;
    explicit MemoryScope(SparseLuMemory* own) { blockLuMemory = own; }
    ~MemoryScope() { blockLuMemory = outer; }
    MemoryScope(const MemoryScope&) = delete;
    MemoryScope& operator=(const MemoryScope&) = delete;
  } memoryScope(&luMemory);
  Converged = 0;
  u.IterationCount = 0;
  EvaluateBlockResiduals(true);
  const size_t warningMark = WarningLineCount();
  if (ErrorSet()) return;
  u.CurrentBlock = b;
  u.MaxChange = 0;
  bool restartUsed = false;
  if (ProgressDlg != nullptr) ProgressDlg->ForceRedraw = 0;

  bool converged = false;
  bool timeUp = false;
  do {
    u.IterationCount += 1;
    ComputeJacobian();
    if (!ErrorSet()) SolveStep();
    if (CalcErrorCode == kMsgSingular && !restartUsed) {
      restartUsed = true;
      u.IterationCount += 1;
      RandomRestart();
    }
    if (!ErrorSet()) UpdateVariables(1);
    if (!ErrorSet()) DampStep();
    if (!ErrorSet()) {
      // Converged when the residuals are within the tolerance, or when the
      // changes have died out after the third iteration. The second case
      // also ends a block held by its limits or by a rounding floor: it
      // keeps the values it reached, and the residual check after the solve
      // tells the user which equation is outside the tolerance (message 54),
      // so a stall is never shown as a clean solution.
      converged = std::fabs(u.MaxResidual) < StopCriteria.RelativeResidualTolerance ||
                  (u.MaxChange < StopCriteria.ChangeTolerance && u.IterationCount > 3);
      if (!converged) ClearWarningsAfter(warningMark);
    }
    timeUp = ElapsedTimeExceeded();
  } while (!AbortRequested && !ErrorSet() && u.IterationCount <= StopCriteria.MaxIterations && !converged &&
           !timeUp);

  if (converged) {
    Converged = 1;
    SolutionAvailable = true;
    return;
  }
  SolutionAvailable = false;
  SolutionStarted = true;
  if (ErrorSet() || AbortRequested) return;
  if (u.IterationCount > StopCriteria.MaxIterations) {
    std::string where = " while solving equations in Block " + std::to_string(b);
    if (&u != MainProgramUnit) where += " in " + u.Name;
    SetMessageArg(1, where);
    SetMessageArg(2, WarningsPending ? GetMessageText(kMsgWarningsHint) : std::string());
    CalcErrorCode = kMsgNoConvergence;
  } else if (timeUp) {
    CalcErrorCode = kMsgTimeLimit;
  }
}

void SolveBlockRange(int32_t first, int32_t last) {
  TProgramUnitRecord& u = Unit();
  if (ProgressDlg != nullptr && ProgressDlg->Integrating == 0 && !MinMaxMode && &u == MainProgramUnit) {
    ProgressDlg->ForceRedraw = 1;
    ProgressDlg->Draw();
  }
  int32_t offset = 0;
  for (int32_t b = 1; b <= u.BlockCount; ++b) {
    u.RangeSize = u.BlockEnds[b] - offset;
    u.RangeFirst = static_cast<int16_t>(b == 1 ? 1 : u.BlockEnds[b - 1] + 1);
    u.RangeLast = u.BlockEnds[b];
    if (b < first || b > last) {
      offset += u.RangeSize;
      continue;
    }
    SolveBlockNewton(b);
    if (AbortRequested || ErrorSet()) break;
    offset += u.RangeSize;
  }
  if (u.BlockCount == 0) {
    u.IterationCount = 1;
    u.MaxResidual = 0;
    u.MaxChange = 0;
    if (ProgressDlg != nullptr && ProgressDlg->Integrating == 0) {
      ProgressDlg->ForceRedraw = 0;
      ProgressDlg->Draw();
    }
  }
}

void MaxResidualOfUnit() {
  TProgramUnitRecord& u = Unit();
  u.MaxResidual = 0;
  for (const TEquationRecord* e = u.FirstEquation; e != nullptr; e = e->Next) {
    if (IsBlank(e->Residual)) continue;
    if (std::fabs(e->Residual) > std::fabs(u.MaxResidual)) u.MaxResidual = e->Residual;
  }
}

void SolveEquationBlocks() {
  WarningEquation = nullptr;
  TProgramUnitRecord& u = Unit();
  if (u.UnknownCount > kMaxBlockUnknowns) {
    CalcErrorCode = kMsgTooManyEquations;
    return;
  }
  std::vector<Extended> step;
  try {
    step.assign(static_cast<size_t>(u.UnknownCount) + 1, 0);
  } catch (const std::bad_alloc&) {
    ReportIOError(kMsgOutOfMemory);  // the allocation failure is shown at once
    ReportOutOfMemory();
    return;
  }
  Extended* const outerStep = stepVector;
  stepVector = step.data();
  DefaultDisplayFormat = kWarningDisplayFormat;

  const bool plainSolve = (&u == MainProgramUnit && CurrentRun <= 0 && !MinMaxMode && !UncertaintyMode);
  std::unique_ptr<TProgressDlg> ownDialog;
  if (plainSolve && ProgressDlg == nullptr) {
    ownDialog = CreateProgressDialog();
    ProgressDlg = ownDialog.get();
    if (!PlayingMacroFile && !HiddenMode) ProgressDlg->FormActivate();
  }

  if (u.IntegralCount == 0 || integralStepper == nullptr) {
    if (ProgressDlg != nullptr) ProgressDlg->Integrating = 0;
    SolveBlockRange(-1, 32766);
  } else {
    integralStepper();
  }

  if (!AbortRequested && !ErrorSet() && plainSolve && ProgressDlg != nullptr) {
    ProgressDlg->ForceRedraw = 1;
    ProgressDlg->FinalDisplay = 1;
    MaxResidualOfUnit();
    ProgressDlg->Draw();
    ProgressDlg->WaitEvent();
  }
  if (plainSolve) {
    if (ownDialog != nullptr) {
      ProgressDlg = nullptr;
      ownDialog.reset();
    }
    FreeOccurrenceLists();
  }
  stepVector = outerStep;
}

}  // namespace voq
