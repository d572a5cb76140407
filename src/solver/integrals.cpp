#include "solver/integrals.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "model/compiled_code.h"
#include "model/integral_slots.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "solver/evaluator.h"
#include "solver/newton_solver.h"
#include "solver/numeric_opcodes.h"
#include "solver/progress.h"
#include "solver/solver_state.h"

namespace voq {

namespace {

constexpr int32_t kNoBlockYet = 32766;

IntegralTableWindow defaultWindow;
IntegralTableWindow* installedWindow = nullptr;

// The first block the stepping solves at every position, shared by the
// nested StepIntegral calls of one stepping.
int32_t firstBlockToSolve = -1;

// Each Integral table column's value at the point last recorded: the last
// written row, or the previous position when no row was crossed ([1] is the
// integration variable).
std::vector<Extended> lastRecorded;

TProgramUnitRecord& Unit() { return *CurrentProgramUnit; }
bool ErrorSet() { return CalcErrorCode > 0; }

TIntegralRecord* SlotOf(TProgramUnitRecord& unit, int32_t k) {
  if (k < 1 || k > kIntegralSlotCount || k > unit.IntegralCount) return nullptr;
  return &unit.IntegralSlots[size_t(k)];
}

Extended ValueOf(int32_t variableIndex) {
  const TVariableRecord* v = Unit().Variable(variableIndex);
  return v != nullptr ? v->Value : 0;
}

void SetValueOf(int32_t variableIndex, Extended x) {
  if (TVariableRecord* v = Unit().Variable(variableIndex)) v->Value = x;
}

// Every term with limits of the current unit over the variable, in the
// order of the equations and of each equation's chain.
template <typename Visit>
void ForEachTermOf(int32_t variableIndex, Visit visit) {
  for (TEquationRecord* e = Unit().FirstEquation; e != nullptr; e = e->Next) {
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->TableBased == 0 && t->IntegrationVariable == variableIndex) visit(*t);
    }
  }
}

// The table-based step: the run's value of t minus the previous run's.
bool TableStepWidth(TIntegralTermRecord& term, Extended& width) {
  const ParametricTableAccess& table = ParametricTable();
  const int32_t column = term.ColumnOrdinal;
  if (column < 1 || !table.CellEntered(CurrentRun, column)) return false;
  const int32_t t = table.CurrentTable();
  const Extended t1 = table.CellValue(t, CurrentRun, column);
  const Extended t0 = table.CellValue(t, CurrentRun - 1, column);
  if (IsBlank(t1) || IsBlank(t0)) return false;
  width = t1 - t0;
  return true;
}

// Sizes the slot's Integral table at the first evaluation of an
// integration: the output increment defaults to the step (101 rows for an
// automatic step), and row 1 takes the current values.
bool PrepareIntegralTable(TIntegralRecord& slot, int32_t slotNumber) {
  IntegralTableWindow& window = MutableIntegralTable();
  if (!window.Exists() || window.SlotNumber() != slotNumber || CurrentProgramUnit != MainProgramUnit) return true;
  const Extended span = slot.UpperLimit - slot.LowerLimit;
  int32_t n = 0;
  auto rowsFor = [&](Extended increment) {
    const Extended rows = increment != 0 ? std::fabs(std::nearbyint(span / increment)) + 1 : 2;
    return rows > 100000 ? int32_t{100000} : std::max(int32_t{2}, static_cast<int32_t>(rows));
  };
  if (slot.TableStep == 0) {
    if (slot.AutoStep != 0) {
      n = 101;
    } else {
      slot.TableStep = slot.Step;
      n = rowsFor(slot.TableStep);
    }
    slot.TableStep = span / (n - 1);
  } else {
    n = rowsFor(slot.TableStep);
  }
  if (!window.Prepare(n)) return false;
  for (int32_t c = 1; c <= window.ColumnCount(); ++c) window.SetCell(c, 1, ValueOf(window.ColumnVariable(c)));
  slot.TablePrepared = 1;
  return true;
}

// Opcode 251: INTEGRAL(f, t, id) over the Parametric table, or
// INTEGRAL(f, t, id, lower, upper, step).
bool IntegralFunction(TEvaluationState& s, int32_t /*opcode*/) {
  const int32_t h = s.Height;
  auto isTag = [](Extended x) { return x > 88880 && x <= 88889; };
  int32_t id = 0;
  if (h >= 1 && isTag(s.Values[h])) {
    id = static_cast<int32_t>(std::nearbyint(s.Values[h]));
  } else if (h >= 4 && isTag(s.Values[h - 3])) {
    id = static_cast<int32_t>(std::nearbyint(s.Values[h - 3]));
  }
  TIntegralTermRecord* term = s.Equation != nullptr ? s.Equation->IntegralTerms : nullptr;
  while (term != nullptr && (id == 0 || term->TermId != id)) term = term->Next;
  if (term == nullptr) {
    CalcErrorCode = kMsgIntegralNesting;
    return false;
  }
  Extended result = 0;
  if (term->TableBased != 0) {
    if (h < 4) {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return false;
    }
    term->CurrentIntegrand = s.Values[h - 2];
    result = IntegralStepValue(*term);
    s.Height = h - 3;
  } else {
    if (h < 7) {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return false;
    }
    const Extended integrand = s.Values[h - 5];
    const int32_t v = static_cast<int32_t>(std::nearbyint(s.Values[h - 4]));
    const Extended lower = s.Values[h - 2];
    const Extended upper = s.Values[h - 1];
    const Extended step = s.Values[h];
    TProgramUnitRecord& unit = Unit();
    term->Slot = FindIntegrationSlot(unit, v);
    TIntegralRecord* slot = SlotOf(unit, term->Slot);
    if (slot == nullptr) {
      CalcErrorCode = kMsgIntegralNesting;
      return false;
    }
    if (term->StepCount == 0) {
      if (term->AutoStep == 0) {
        slot->Step = step;
        if (step == 0) {
          term->AutoStep = 1;
          slot->AutoStep = 1;
          slot->RelativeStep = IntegrationSettings.MinStepsReciprocal / 2;
        }
      }
      if (!std::isfinite(static_cast<double>(lower)) || !std::isfinite(static_cast<double>(upper))) {
        // The stepping could never reach an infinite (or blank) limit.
        const TVariableRecord* t = unit.Variable(slot->IntegrationVariable);
        SetMessageArg(1, t != nullptr ? t->Name : "");
        CalcErrorCode = kMsgIntegralLimitsNotFinite;
        return false;
      }
      slot->UpperLimit = slot->UpperAtStart = upper;
      slot->LowerLimit = slot->LowerAtStart = lower;
      slot->Position = lower;
      SetValueOf(slot->IntegrationVariable, lower);
      if (term->AutoStep != 0) slot->Step = (slot->UpperLimit - slot->LowerLimit) * slot->RelativeStep;
      if (slot->TableColumnCount > 0 && slot->TablePrepared == 0 && !PrepareIntegralTable(*slot, term->Slot))
        return false;
    } else if (!ErrorSet()) {
      const bool limitsMoved =
          std::fabs(upper - slot->UpperLimit) > 1E-12L || std::fabs(lower - slot->LowerLimit) > 1E-12L;
      if (limitsMoved && std::fabs(slot->PreviousPosition - slot->UpperLimit) > slot->Step / 10) {
        CalcErrorCode = kMsgIntegralLimits;
        return false;
      }
    }
    s.Height = h - 6;
    if (term->IntegrationVariable == v) {
      term->CurrentIntegrand = integrand;
      result = IntegralStepValue(*term);
    } else {
      term->CurrentIntegrand = -999;
      result = term->Accumulated;
    }
  }
  s.Values[s.Height] = result;
  if (s.ComplexMode) {
    if (s.Height > kImaginaryStackSize) {
      CalcErrorCode = kMsgStackLimit;
      return false;
    }
    s.ImaginaryHeight = s.Height;
    s.Imaginary[s.ImaginaryHeight] = 0;
  }
  return !ErrorSet();
}

// Opcode 249, member 3: INTEGRALVALUE(t, X), X read from the Integral table
// between its rows, or between the last row and the current position.
bool IntegralValueFunction(TEvaluationState& s, int32_t /*opcode*/, int32_t /*subCode*/) {
  const int32_t h = s.Height;
  Extended t = s.Values[h - 1];
  const int32_t x = static_cast<int32_t>(std::nearbyint(s.Values[h]));
  s.Height = h - 2;
  s.Values[h - 2] = -999;
  const IntegralTableWindow& window = IntegralTable();
  if (!window.Exists()) {
    CalcErrorCode = kMsgIntegralValueWithoutTable;
    return false;
  }
  int32_t column = 0;
  for (int32_t c = 1; c <= window.ColumnCount(); ++c) {
    if (window.ColumnVariable(c) == x) {
      column = c;
      break;
    }
  }
  TProgramUnitRecord& unit = Unit();
  if (column == 0) {
    const TVariableRecord* v = unit.Variable(x);
    SetMessageArg(1, v != nullptr ? v->Name : std::to_string(x));
    CalcErrorCode = kMsgNotInIntegralTable;
    return false;
  }
  const TIntegralRecord* slot = SlotOf(unit, window.SlotNumber());
  if (slot == nullptr || slot->LastTableRow < 1) {
    s.Values[h - 2] = window.Cell(column, 1);
    return true;
  }
  const Extended sign = slot->UpperLimit - slot->LowerLimit < 0 ? -1 : 1;
  if (sign * (t - slot->LowerLimit) < 0) t = slot->LowerLimit;
  if (sign * (t - slot->Position) > 0) {
    const TVariableRecord* v = unit.Variable(x);
    const TVariableRecord* tv = unit.Variable(window.ColumnVariable(1));
    SetMessageArg(1, v != nullptr ? v->Name : "");
    SetMessageArg(2, tv != nullptr ? tv->Name : "");
    TDisplayFormat format;
    if (tv != nullptr) format = TDisplayFormat{tv->Style, tv->Digits};
    SetMessageArg(3, FormatValue(format, t));
    CalcErrorCode = kMsgValueUndetermined;
    return false;
  }
  int32_t k = 1;
  if (slot->TableStep != 0) {
    const Extended rows = std::trunc((t - slot->LowerLimit) / slot->TableStep) + 1;
    k = rows < 1 ? 1 : rows > slot->LastTableRow ? slot->LastTableRow : static_cast<int32_t>(rows);
  }
  const Extended x0 = window.Cell(1, k);
  const Extended y0 = window.Cell(column, k);
  Extended x1 = slot->Position;
  Extended y1 = ValueOf(x);
  if (slot->LastTableRow >= k + 1) {
    x1 = window.Cell(1, k + 1);
    y1 = window.Cell(column, k + 1);
  }
  s.Values[h - 2] = x1 != x0 ? y0 + (y1 - y0) * (t - x0) / (x1 - x0) : y0;
  return true;
}

}  // namespace

const IntegralTableWindow& IntegralTable() { return installedWindow != nullptr ? *installedWindow : defaultWindow; }
IntegralTableWindow& MutableIntegralTable() { return installedWindow != nullptr ? *installedWindow : defaultWindow; }
void SetIntegralTableWindow(IntegralTableWindow* window) { installedWindow = window; }

Extended IntegralStepValue(TIntegralTermRecord& term) {
  term.EvaluationCount += 1;
  if (term.TableBased == 0) {
    if (term.StepCount == 0) {
      term.StepWidth = 0;
      term.PreviousPosition = 0;
      return term.Accumulated;
    }
    term.StepWidth = ValueOf(term.IntegrationVariable) - term.PreviousPosition;
    return term.Accumulated + (term.PreviousIntegrand + term.CurrentIntegrand) * term.StepWidth / 2;
  }
  if (CurrentRun <= 0) {
    CalcErrorCode = kMsgTableIntegralOutsideTable;
    return -999;
  }
  if (CurrentRun <= ParametricTable().FirstRunOfRange()) return term.Accumulated;
  Extended width = 0;
  if (!TableStepWidth(term, width)) {
    SetMessageArg(1, "Run " + std::to_string(CurrentRun));
    CalcErrorCode = kMsgTableIntegralVariable;
    return -999;
  }
  term.StepWidth = width;
  return term.Accumulated + (term.PreviousIntegrand + term.CurrentIntegrand) * term.StepWidth / 2;
}

void AdvanceIntegral(TIntegralTermRecord& term) {
  const TIntegrationSettings& g = IntegrationSettings;
  TIntegralRecord* s = term.TableBased == 0 ? SlotOf(Unit(), term.Slot) : nullptr;
  term.StepCount += 1;
  if (term.TableBased == 0) term.PreviousPosition = ValueOf(term.IntegrationVariable);
  const Extended a = (term.PreviousIntegrand + term.CurrentIntegrand) * term.StepWidth / 2;
  term.Accumulated += a;
  if (s != nullptr) s->Retake = 0;

  bool due = false;
  if (term.HalvingPhase != 0 || g.StepFraction >= 0) {
    due = true;
  } else {
    term.StepsSinceCheck += 1;
    if (term.StepsSinceCheck >= g.CheckInterval || g.UseRichardson != 0) {
      due = true;
      term.StepsSinceCheck = 0;
    }
  }

  // The last term of the slot drives its step: a full step is undone and
  // taken again as two halves, and their difference rescales the step.
  if (s != nullptr && (term.AutoStep != 0 || g.UseRichardson != 0) && (term.StepWidth > 0 || s->HalvingActive != 0) &&
      due && s->TermCount == term.OrdinalInSlot) {
    term.HalvingPhase += 1;
    auto undo = [&] {
      s->Retake = 1;
      term.PreviousPosition -= term.StepWidth;
      term.CurrentIntegrand = term.PreviousIntegrand;
      term.StepCount -= 1;
      term.Accumulated -= a;
    };
    if (term.HalvingPhase == 1) {
      term.AccumulatedBeforeStep = term.Accumulated - a;
      term.FullStepArea = a;
      s->RelativeStep /= 2;
      if (s->AutoStep == 0) s->Step /= 2;
      s->HalvingActive = 1;
      undo();
    } else if (term.HalvingPhase == 2) {
      s->Retake = 0;
      term.HalfStepsArea = a;
    } else if (term.HalvingPhase == 3) {
      term.HalfStepsArea += a;
      term.HalvingPhase = 4;
      term.ErrorEstimate = term.HalfStepsArea - term.FullStepArea;
      if (std::fabs(term.HalfStepsArea) > 1E-12L && s->AutoStep != 0) {
        const Extended e = std::fabs(term.ErrorEstimate / term.HalfStepsArea);
        if (e < g.IncreaseThreshold) {
          s->RelativeStep = std::min(5 * s->RelativeStep, g.MinStepsReciprocal);
        } else if (e > g.ReduceThreshold) {
          term.StepsSinceCheck -= 1;
          if (s->RelativeStep < g.MaxStepsReciprocal) {
            s->RelativeStep = g.MaxStepsReciprocal;
          } else {
            // The first half stays; the second becomes the full step to halve.
            term.AccumulatedBeforeStep = term.Accumulated - a;
            term.FullStepArea = a;
            undo();
            term.HalvingPhase = 1;
            s->RelativeStep /= 2;
          }
        } else {
          s->RelativeStep *= 2;
        }
      } else {
        s->RelativeStep *= 2;
        if (s->AutoStep == 0) s->Step *= 2;
      }
    }
  }
  if (g.UseRichardson != 0 && term.AutoStep == 0 && term.HalvingPhase == 4) {
    // Trapezoids err by O(h^2): (4 T(h/2) - T(h)) / 3 removes that term.
    term.Accumulated = (4.0L / 3) * term.HalfStepsArea + term.AccumulatedBeforeStep - (1.0L / 3) * term.FullStepArea;
  }
  if (term.HalvingPhase > 3) {
    term.HalvingPhase = 0;
    if (s != nullptr) s->HalvingActive = 0;
  }
  term.PreviousIntegrand = term.CurrentIntegrand;
  term.EvaluationCount = 0;
}

void AdvanceIntegralsOf(int32_t variableIndex) {
  ForEachTermOf(variableIndex, [](TIntegralTermRecord& t) { AdvanceIntegral(t); });
}

void ResetIntegralTerms(int32_t variableIndex) {
  ForEachTermOf(variableIndex, [](TIntegralTermRecord& t) {
    t.Accumulated = 0;
    t.PreviousIntegrand = 0;
    t.StepWidth = 1;
    t.StepCount = 0;
  });
}

void MergeIntegralBlockRanges() {
  TProgramUnitRecord& unit = Unit();
  const int32_t count = std::min(unit.IntegralCount, kIntegralSlotCount);
  for (int32_t i = 1; i <= count; ++i) {
    TIntegralRecord& s = unit.IntegralSlots[size_t(i)];
    for (int32_t j = i + 1; j <= count; ++j) {
      const TIntegralRecord& t = unit.IntegralSlots[size_t(j)];
      if (t.FirstBlock < s.FirstBlock && t.LastBlock >= s.LastBlock) s.FirstBlock = t.FirstBlock;
      if (t.LastBlock > s.LastBlock && t.FirstBlock <= s.FirstBlock) s.LastBlock = t.LastBlock;
    }
  }
}

void StoreIntegralTableRows(int32_t k) {
  IntegralTableWindow& window = MutableIntegralTable();
  // The window shows a slot of the main program only.
  if (!window.Exists() || window.SlotNumber() != k || CurrentProgramUnit != MainProgramUnit) return;
  const TIntegralRecord* slot = SlotOf(Unit(), k);
  if (slot == nullptr || slot->TablePrepared == 0) return;
  TIntegralRecord& s = Unit().IntegralSlots[size_t(k)];
  window.RestoreGrid();
  const int32_t columns = window.ColumnCount();
  std::vector<Extended>& last = lastRecorded;
  if (s.Position == s.LowerLimit) {
    last.assign(size_t(columns) + 1, 0);
    for (int32_t c = 1; c <= columns; ++c) {
      const Extended v = ValueOf(window.ColumnVariable(c));
      window.SetCell(c, 1, v);
      last[size_t(c)] = v;
    }
    return;
  }
  if (s.TableStep == 0 || int32_t(last.size()) != columns + 1) return;
  auto rowOf = [&](Extended position) {
    return static_cast<int32_t>(std::trunc(std::fabs(position - s.LowerLimit) / s.TableStep + 1E-5L)) + 1;
  };
  int32_t rowNow = rowOf(s.Position);
  const int32_t rowLast = rowOf(last[1]);
  if (std::fabs(s.UpperLimit - last[1]) < s.TableStep / 10 && rowLast == rowNow) rowNow += 1;
  if (rowNow == rowLast) {
    for (int32_t c = 1; c <= columns; ++c) last[size_t(c)] = ValueOf(window.ColumnVariable(c));
    return;
  }
  for (int32_t r = rowLast + 1; r <= rowNow; ++r) {
    s.LastTableRow = r;
    const Extended tRow = (r - 1) * s.TableStep + s.LowerLimit;
    const Extended lastT = last[1];
    for (int32_t c = 1; c <= columns; ++c) {
      const Extended v = ValueOf(window.ColumnVariable(c));
      const Extended p = last[size_t(c)];
      const Extended cell = s.Position - lastT > 0 ? p + (v - p) * (tRow - lastT) / (s.Position - lastT) : v;
      window.SetCell(c, r, cell);
      last[size_t(c)] = cell;
    }
  }
}

void StepIntegral(int32_t k) {
  TProgramUnitRecord& unit = Unit();
  TIntegralRecord* sp = SlotOf(unit, k);
  if (sp == nullptr) return;
  TIntegralRecord& s = *sp;
  Extended dt = 0;
  ResetIntegralTerms(s.IntegrationVariable);
  s.Position = s.LowerLimit;
  // The first solve evaluates the terms at their first position, which
  // fixes the limits and the step.
  SolveBlockRange(firstBlockToSolve, s.LastBlock);
  const bool richardson = IntegrationSettings.UseRichardson != 0;
  do {
    CheckAbortRequested();
    if (AbortRequested) break;
    SetValueOf(s.IntegrationVariable, s.Position);
    const TIntegralRecord* inner = SlotOf(unit, k + 1);
    if (inner != nullptr && inner->FirstBlock <= s.LastBlock) StepIntegral(k + 1);
    SolveBlockRange(firstBlockToSolve, s.LastBlock);
    if (!ErrorSet()) {
      StoreIntegralTableRows(k);
      AdvanceIntegralsOf(s.IntegrationVariable);
    }
    s.PreviousPosition = s.Position;
    if (s.AutoStep != 0) s.Step = (s.UpperLimit - s.LowerLimit) * s.RelativeStep;
    if (SignReal(s.Step) != SignReal(s.UpperLimit - s.LowerLimit)) s.Step = -s.Step;
    if ((s.AutoStep != 0 || richardson) && s.Retake != 0) {
      // A halving takes the step again from the position before the last
      // move, also when that move reached the upper limit: staying there
      // would take the last full step for its first half, so the last step
      // would never be compared (nor extrapolated).
      s.Position = s.Position - dt + s.Step;
    } else {
      s.Position = s.PreviousPosition + s.Step;
    }
    const Extended sign = SignReal(s.Step);
    if (s.LowerLimit * sign < s.UpperLimit * sign) {
      if (s.Position * sign > s.UpperLimit * sign) s.Position = s.UpperLimit;
    } else if (s.Position * sign < s.UpperLimit * sign) {
      s.Position = s.UpperLimit;
    }
    dt = s.Position - s.PreviousPosition;
    if (dt == 0 && std::fabs(s.PreviousPosition - s.UpperLimit) >= 0.01L * std::fabs(s.Step) && s.Step != 0) {
      // A step below the resolution of the position would never get on.
      const TVariableRecord* t = unit.Variable(s.IntegrationVariable);
      SetMessageArg(1, t != nullptr ? t->Name : "");
      SetMessageArg(2, FormatValue(TDisplayFormat{}, s.Position));
      CalcErrorCode = kMsgIntegralStepTooSmall;
    }
  } while ((std::fabs(s.PreviousPosition - s.UpperLimit) >= 0.01L * std::fabs(s.Step) || s.HalvingActive != 0) &&
           s.Step != 0 && !ErrorSet());
  if (ErrorSet() || AbortRequested) return;
  if (richardson) {
    // The last solve saw the trapezoids before the extrapolation replaced
    // their sum: solve once more at the end (a zero-width step) so the
    // variables hold the extrapolated integral.
    SetValueOf(s.IntegrationVariable, s.PreviousPosition);
    SolveBlockRange(firstBlockToSolve, s.LastBlock);
    if (ErrorSet()) return;
  }
  StoreIntegralTableRows(k);
}

void SolveIntegralBlocks() {
  TProgramUnitRecord& unit = Unit();
  const int32_t count = std::min(unit.IntegralCount, kIntegralSlotCount);
  for (int32_t k = 1; k <= count; ++k) {
    TIntegralRecord& s = unit.IntegralSlots[size_t(k)];
    s.FirstBlock = kNoBlockYet;
    s.LastBlock = 0;
    SetValueOf(s.IntegrationVariable, s.LowerLimit);
    s.LastTableRow = 0;
    s.TablePrepared = 0;
    s.HalvingActive = 0;
  }
  for (TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) {
    for (size_t w = 0; w + 1 < e->Code.size(); ++w) {
      if (e->Code[w] != CodeVariable && e->Code[w] != CodeComplexVariable) continue;
      const int32_t k = FindIntegrationSlot(unit, e->Code[w + 1]);
      if (k < 1) continue;
      TIntegralRecord& s = unit.IntegralSlots[size_t(k)];
      s.FirstBlock = std::min(s.FirstBlock, e->Block);
      s.LastBlock = std::max(s.LastBlock, e->Block);
    }
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->TableBased != 0) continue;
      t->Slot = FindIntegrationSlot(unit, t->IntegrationVariable);
      TIntegralRecord* s = SlotOf(unit, t->Slot);
      if (s == nullptr) continue;
      t->Accumulated = 0;
      t->PreviousIntegrand = 0;
      t->StepWidth = 0;
      t->StepCount = 0;
      const TVariableRecord* v = unit.Variable(s->IntegrationVariable);
      s->LowerLimit = v != nullptr ? v->Guess : 0;
      s->Position = s->LowerLimit;
      if (ProgressDlg != nullptr) ProgressDlg->Draw();
      SetValueOf(s->IntegrationVariable, s->Position);
      s->UpperLimit = 2;
      s->Step = 3;
      s->LowerAtStart = BlankValue;
      s->UpperAtStart = BlankValue;
      if (e->Block > s->LastBlock || s->LastBlock == kNoBlockYet) s->LastBlock = e->Block;
      if (e->Block < s->FirstBlock || s->FirstBlock == kNoBlockYet) s->FirstBlock = e->Block;
    }
  }
  const IntegralTableWindow& window = IntegralTable();
  for (int32_t k = 1; k <= count; ++k) {
    TIntegralRecord& s = unit.IntegralSlots[size_t(k)];
    if (window.Exists()) {
      s.LastBlock = unit.BlockCount;
    } else {
      for (int32_t c = 0; c <= s.TableColumnCount && c <= 500; ++c) {
        if (const TVariableRecord* v = unit.Variable(s.TableColumns[size_t(c)])) s.LastBlock = std::max<int32_t>(s.LastBlock, v->Block);
      }
    }
  }
  firstBlockToSolve = -1;
  MergeIntegralBlockRanges();
  if (ProgressDlg != nullptr) ProgressDlg->Integrating = 1;
  for (int32_t k = 1; k <= count && !ErrorSet() && !AbortRequested; ++k) {
    const TIntegralRecord& s = unit.IntegralSlots[size_t(k)];
    if (s.FirstBlock >= firstBlockToSolve) StepIntegral(k);
    firstBlockToSolve = s.LastBlock + 1;
  }
  if (ProgressDlg != nullptr) ProgressDlg->Integrating = 0;
  if (unit.BlockCount >= firstBlockToSolve && !ErrorSet() && !AbortRequested) SolveBlockRange(firstBlockToSolve, kNoBlockYet);
}

void BindTableIntegralTerms() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  const ParametricTableAccess& table = ParametricTable();
  for (TEquationRecord* e = main->FirstEquation; e != nullptr; e = e->Next) {
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->TableBased == 0) continue;
      t->ColumnOrdinal = table.ColumnOfVariable(t->IntegrationVariable);
      if (t->ColumnOrdinal < 1) {
        const TVariableRecord* v = main->Variable(t->IntegrationVariable);
        SetMessageArg(1, v != nullptr ? v->Name : "");
        CalcErrorCode = kMsgTableIntegralVariable;
        return;
      }
      t->Accumulated = 0;
      t->PreviousIntegrand = 0;
      t->CurrentIntegrand = 0;
      t->StepWidth = 0;
      t->StepCount = 0;
    }
  }
}

void AdvanceTableIntegralTerms() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  TProgramUnitRecord* const saved = CurrentProgramUnit;
  CurrentProgramUnit = main;
  for (TEquationRecord* e = main->FirstEquation; e != nullptr; e = e->Next) {
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->TableBased == 0) continue;
      // The first run only records its integrand.
      if (CurrentRun <= ParametricTable().FirstRunOfRange()) t->StepWidth = 0;
      AdvanceIntegral(*t);
    }
  }
  CurrentProgramUnit = saved;
}

void InstallIntegralSolver() {
  SetOpcodeHandler(251, IntegralFunction);
  SetFamilyMemberHandler(249, 3, IntegralValueFunction);
  SetIntegralStepper(SolveIntegralBlocks);
}

void ResetIntegralSolver() {
  installedWindow = nullptr;
  firstBlockToSolve = -1;
  lastRecorded.clear();
}

}  // namespace voq
