#include "solver/one_unknown.h"

#include <algorithm>
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/numeric_library.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "solver/blocking.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/solved_alone_units.h"

namespace voq {

namespace {

constexpr int32_t kHelpSingular = 362;
constexpr int32_t kHelpNoConvergence = 389;

// Randomised retries of an equation that failed with 51 or 23.
constexpr int kRandomRetries = 8;
// Halvings of a step that made the residual worse: h runs 1..20.
constexpr int kHalvingLimit = 20;

SharingRoutineTest sharingTest = nullptr;

bool UncertaintyPropagationRunning() { return UncertaintyMode || UncertaintyTableMode; }

bool IsIntegrationSlotVariable(const TProgramUnitRecord& unit, int32_t w) {
  const int32_t slots = std::min<int32_t>(unit.IntegralCount, kIntegralSlotCount);
  for (int32_t s = 1; s <= slots; ++s) {
    if (unit.IntegralSlots[s].IntegrationVariable == w) return true;
  }
  return false;
}

// What the scan of an equation's code found.
struct TUnknownScan {
  bool eligible = true;    // no integration variable, no TABLERUN#
  bool hasVariable = false;
  int32_t counted = 0;     // distinct unknowns in a row (see below)
  int32_t variable = 0;    // the last unknown counted
};

// Counts the unknowns of e. A variable is counted again only when it is not
// the one counted just before, so x*x = 4 has one unknown; in uncertainty
// propagation every variable counts, since the measured ones are fixed only
// for the perturbed solves.
TUnknownScan ScanForUnknown(const TProgramUnitRecord& unit, const TEquationRecord& e) {
  TUnknownScan scan;
  const int32_t n = static_cast<int32_t>(e.Code.size());
  int32_t lastCounted = 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t word = e.Code[k];
    if ((word == CodeVariable || word == CodeComplexVariable) && k + 1 < n) {
      const int32_t w = e.Code[++k];
      scan.hasVariable = true;
      const TVariableRecord* var = unit.Variable(w);
      if (var == nullptr) continue;
      if (var->UnknownPosition == kIntegrationVariable || IsIntegrationSlotVariable(unit, w)) {
        scan.eligible = false;
        return scan;
      }
      if (w != lastCounted && (var->UnknownPosition > 0 || UncertaintyPropagationRunning())) {
        ++scan.counted;
        lastCounted = w;
        scan.variable = w;
      }
    } else if (word == CodeTableRun) {
      scan.eligible = false;
      return scan;
    }
  }
  return scan;
}

// In uncertainty propagation: the single main-program unknown among the
// variable occurrences of e, or 0 when there is not exactly one occurrence.
int32_t SingleUnknownOccurrence(const TProgramUnitRecord& unit, const TEquationRecord& e) {
  const int32_t n = static_cast<int32_t>(e.Code.size());
  int32_t occurrences = 0;
  int32_t found = 0;
  for (int32_t k = 0; k + 1 < n; ++k) {
    const int32_t word = e.Code[k];
    if (word != CodeVariable && word != CodeComplexVariable) continue;
    const int32_t w = e.Code[++k];
    const TVariableRecord* var = unit.Variable(w);
    if (var != nullptr && var->UnknownPosition > 0) {
      ++occurrences;
      found = w;
    }
  }
  return occurrences == 1 ? found : 0;
}

void ReportNoConvergence(const TVariableRecord& var) {
  SetMessageArg(1, var.Name);
  MessageHelpContext = kHelpNoConvergence;
  CalcErrorCode = kMsgEquationNoConvergence;
}

}  // namespace

void SetSharingRoutineTest(SharingRoutineTest test) { sharingTest = test; }

bool CallsSharingRoutine(const TEquationRecord* e) {
  if (e == nullptr || sharingTest == nullptr) return false;
  // A statement holds at most a few hundred calls; the bound guards a cycle.
  int32_t guard = 0;
  for (const TArgumentListRecord* list = e->CallLists; list != nullptr && guard < 100000;
       list = list->Next, ++guard) {
    if (list->Kind > 0 && sharingTest(list->Kind)) return true;
  }
  return false;
}

void MarkSolvedAlone(TEquationRecord* e, int32_t v, Extended residual) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (e == nullptr || unit == nullptr) return;
  e->Residual = residual;
  unit->EquationCount -= 1;
  RemoveFromVarOrder(v);
  e->SolvedAlone = 1;
  InferUnitsFromEquation(v, *e);
}

void SolveForOneUnknown(TEquationRecord*& cursor, bool& solved, int32_t& counter, bool randomise) {
  solved = false;
  TEquationRecord* const e = cursor;
  TProgramUnitRecord* const unit = CurrentProgramUnit;
  if (e == nullptr || unit == nullptr) return;
  if (e->IntegralTerms != nullptr) return;
  unit->LastEquation = e;
  if (CallsSharingRoutine(e) || e->TrySolveAlone == 0) return;

  const TUnknownScan scan = ScanForUnknown(*unit, *e);
  if (!scan.eligible) return;
  int32_t v = scan.variable;
  if (!scan.hasVariable) {
    CalcErrorCode = kMsgNoVariable;
    return;
  }
  if (scan.counted > 1) {
    // Uncertainty propagation counts every variable; an equation with one
    // real unknown then marks it as a variable the user may move to the
    // measured list, unless it is measured already.
    if (!UncertaintyMode || UncertaintyTableMode || unit != MainProgramUnit) return;
    v = SingleUnknownOccurrence(*unit, *e);
    if (v == 0) return;
    TVariableRecord* candidate = unit->Variable(v);
    if (candidate->MeasuredMark <= 0) {
      candidate->MeasuredMark = -1;
      return;
    }
  } else if (scan.counted == 0) {
    CalcErrorCode = kMsgResetsKnownVariable;
    return;
  }

  TVariableRecord* const var = unit->Variable(v);
  if (var == nullptr) return;
  if (var->UnknownPosition < 0) {
    SetMessageArg(1, var->Name);
    CalcErrorCode = kMsgPreviouslySet;
    return;
  }
  // A guess tied to another variable only means something once that variable
  // is solved with it; the block solver keeps them together.
  if (var->GuessVariable > 0 && !randomise && var->IsString == 0) return;

  CheckGuessLimits(v);
  Extended x0 = var->Guess;
  if (randomise) x0 = (static_cast<Extended>(Platform().RandomUniform()) - 0.5L) * 10 * var->Guess;
  bool clamped = false;
  ClampToLimits(v, x0, clamped);
  var->Value = x0;
  if (CalcErrorCode > 0) return;

  counter -= 1;
  e->Block = counter;
  const size_t warningMark = WarningLineCount();

  // Every residual is taken at the variable's current value; a nested
  // evaluation (a user routine) may move the cursor, so it is put back.
  auto residual = [&]() {
    const Extended r = EvalResidualChecked(e);
    cursor = e;
    return r;
  };

  Extended r0 = residual();
  if (CalcErrorCode > 0) {
    e->Residual = BlankValue;
    e->RelativeResidual = BlankValue;
    return;
  }

  // First probe: a relative step of 1e-3, or an absolute 1e-12 at a guess
  // of about zero; the other side when a limit holds the probe at the guess.
  Extended x1 = std::fabs(x0) > 1e-16L ? x0 * 1.001L : 1e-12L;
  ClampToLimits(v, x1, clamped);
  if (clamped && x1 == x0) {
    x1 = x0 != 0 ? x0 * 0.999L : -1e-12L;
    ClampToLimits(v, x1, clamped);
  }
  var->Value = x1;
  Extended r1 = residual();
  // With both points equal (limits squeezed onto the guess) there is no
  // slope to measure: treated as a flat residual.
  Extended slope = x1 != x0 ? std::fabs(r1 - r0) / std::fabs(x1 - x0) : 0;

  if (slope == 0) {
    x1 = -r1 / 2;
    ClampToLimits(v, x1, clamped);
    if (!clamped) {
      var->Value = x1;
      r1 = residual();
      slope = x1 != x0 ? std::fabs((r1 - r0) / (x1 - x0)) : 0;
    }
    if (slope == 0) {
      MessageHelpContext = kHelpSingular;
      CalcErrorCode = kMsgSingular;
      return;
    }
  }
  // The probes only measure the slope; their failures are forgotten.
  if (CalcErrorCode > 0) CalcErrorCode = 0;

  bool bisecting = false;
  Extended fNeg = 0, xNeg = 0, fPos = 0, xPos = 0;
  bool converged = false;
  int32_t i = 0;
  do {
    ++i;
    // Warnings of trial points that are not the answer are not kept.
    ClearWarningsAfter(warningMark);
    if (CalcErrorCode > 0) {
      e->Residual = BlankValue;
      e->RelativeResidual = BlankValue;
      return;
    }
    // (x1, r1) becomes the previous point (x0, r0); x1 is the next trial.
    SecantStep(i, x1, r1, bisecting, fNeg, xNeg, fPos, xPos, r0, x0);
    ClampToLimits(v, x1, clamped);
    var->Value = x1;
    r1 = residual();
    if (CalcErrorCode > 0) return;
    if (x0 > BlankValue || x1 > BlankValue) {
      ReportNoConvergence(*var);
      return;
    }
    // A step that made the residual worse is halved back toward x0.
    int h = 1;
    while (std::fabs(r1) > std::fabs(r0) && h < kHalvingLimit && !AbortRequested) {
      x1 = x0 + (x1 - x0) / 2;
      var->Value = x1;
      r1 = residual();
      if (CalcErrorCode > 0) return;
      ++h;
      CheckUserAbort();
    }
    // A root within the tolerance, or a step that no longer moves after
    // repeated halving: the search has gone as far as it can. A stall (a
    // flat region or a minimum of |residual| that is no root) keeps its
    // value and is reported by the residual check after the solve
    // (message 54), never as a clean solution.
    converged = i > 1 && ((std::fabs(x1 - x0) < StopCriteria.ChangeTolerance && h > 3) ||
                          std::fabs(e->RelativeResidual) < StopCriteria.RelativeResidualTolerance);
  } while (!converged && i <= StopCriteria.MaxIterations && CalcErrorCode <= 0 &&
           !AbortRequested);

  if (converged) {
    var->Value = x1;
    var->UnknownPosition = kDeterminedVariable;
    solved = true;
    MarkSolvedAlone(e, v, r1);
  } else if (CalcErrorCode <= 0) {
    ReportNoConvergence(*var);
    SolutionStarted = true;
    counter += 1;
  }
}

void SolveOneUnknownEquations(bool full) {
  if (full) {
    CheckAllGuessLimits();
    BlockAllUnits();
  }
  TProgramUnitRecord* const unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  unit->MaxResidual = 0;
  // Errors of the preparation do not stop the pass; blocking has shown its own.
  if (CalcErrorCode > 0) CalcErrorCode = 0;

  // New solutions continue the numbering of the ones kept from before.
  int32_t counter = 0;
  for (TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) {
    if (e->SolvedAlone != 0 && e->Block != kNeverSolveAloneBlock) counter = std::min(counter, e->Block);
  }

  bool progress = false;
  do {
    progress = false;
    CurrentEquation = unit->FirstEquation;
    while (CurrentEquation != nullptr && CalcErrorCode <= 0 && !AbortRequested) {
      TEquationRecord* const e = CurrentEquation;
      if (e->SolvedAlone == 0 && e->Block != kNeverSolveAloneBlock && e->CalledUnit == 0) {
        e->Residual = BlankValue;
        bool solved = false;
        SolveForOneUnknown(CurrentEquation, solved, counter, false);
        if (CalcErrorCode == kMsgDiverged || CalcErrorCode == kMsgEquationNoConvergence) {
          for (int t = 0; t < kRandomRetries && !solved && !AbortRequested; ++t) {
            CalcErrorCode = 0;
            SolveForOneUnknown(CurrentEquation, solved, counter, true);
            CheckUserAbort();
          }
        }
        if (solved) {
          progress = true;
          if (std::fabs(e->RelativeResidual) > std::fabs(unit->MaxResidual)) unit->MaxResidual = e->RelativeResidual;
        }
      }
      if (CurrentEquation != nullptr && CalcErrorCode <= 0) CurrentEquation = CurrentEquation->Next;
    }
  } while (CalcErrorCode <= 0 && progress && !AbortRequested);

  if (AbortRequested) {
    CalcErrorCode = kMsgCancelled;
    unit->LastEquation = nullptr;
  }
}

void SolveEquationOnRead(int32_t& solveOrderCounter, bool testCtrl) {
  if (CalcErrorCode > 0 || CompilingFunctionIndex != 0 || ModuleNesting > 0) return;
  const TEquationRecord* e = CurrentEquation;
  if (e == nullptr || e->SolvedAlone != 0 || e->TrySolveAlone == 0) return;
  // Holding Ctrl while compiling leaves every equation to the solve.
  if (testCtrl && CtrlKeyDown()) return;
  bool solved = false;
  SolveForOneUnknown(CurrentEquation, solved, solveOrderCounter, false);
  CalcErrorCode = 0;
}

}  // namespace voq
