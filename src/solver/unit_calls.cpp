#include "solver/unit_calls.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "solver/blocking.h"
#include "solver/evaluator_support.h"
#include "solver/newton_solver.h"

namespace voq {
namespace {

constexpr int32_t kUnitHelpContext = 361;

// The same value; two blanks are the same.
bool SameValue(Extended a, Extended b) { return a == b || (IsBlank(a) && IsBlank(b)); }

// The unit's blocking, when the unit was not blocked since its lists were
// last freed (a call evaluated while the text is read, or after a solve).
void EnsureUnitBlocked(TProgramUnitRecord& unit) {
  if (unit.UnknownCount <= 0 || unit.RowHeads.size() < 2) return;
  if (unit.RowHeads[1] != nullptr && unit.BlockCount > 0) return;
  BlockProgramUnit();
}

// Unknowns that never had a value start from their guesses.
void StartFromGuesses(TProgramUnitRecord& unit) {
  for (int32_t k = 1; k <= unit.UnknownCount; ++k) {
    TVariableRecord* v = unit.Variable(unit.UnknownList[static_cast<size_t>(k)]);
    if (v != nullptr && IsBlank(v->Value)) v->Value = v->Guess;
  }
}

}  // namespace

bool UnitCallOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  TEquationRecord* equation = s.Equation;
  const int32_t index = equation != nullptr ? equation->CalledUnit : 0;
  TProgramUnitRecord* unit =
      index > 0 && index < static_cast<int32_t>(ProgramUnitList.size()) ? ProgramUnitList[static_cast<size_t>(index)]
                                                                        : nullptr;
  if (unit == nullptr || s.Height < unit->InputCount + 1) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return false;
  }
  TProgramUnitRecord* const caller = CurrentProgramUnit;
  CurrentProgramUnit = unit;

  const int32_t k = StackInteger(s.Values[s.Height]);
  s.Height -= 1;
  bool unchanged = true;
  for (int32_t j = unit->InputCount; j >= 1; --j) {
    const Extended x = s.Values[s.Height];
    if (TVariableRecord* v = unit->Variable(unit->ParameterList[static_cast<size_t>(j)])) v->Value = x;
    if (!SameValue(x, unit->CallValues[static_cast<size_t>(j)])) unchanged = false;
    s.Height -= 1;
  }
  // $COMMON: only the value comes over, so the link stays for the next
  // call; a changed value makes the kept outputs stale.
  for (int16_t u : unit->CommonVariables) {
    TVariableRecord* v = unit->Variable(u);
    if (v == nullptr || v->CommonVariable <= 0) continue;
    const TVariableRecord* m = MainProgramUnit != nullptr ? MainProgramUnit->Variable(v->CommonVariable) : nullptr;
    if (m == nullptr) continue;
    if (!SameValue(v->Value, m->Value)) unchanged = false;
    v->Value = m->Value;
  }
  UpdateAllLimitsFromVariables();

  if (s.RoutineSlot >= 1 && !unit->IsSubprogram) {
    SetCalcErrorWithHelp(kMsgRoutineCallsModule, kUnitHelpContext);
    unit->LastEquation = equation;
    CurrentProgramUnit = caller;
    return true;
  }
  if (k < 1 || k > unit->OutputCount) {
    CurrentProgramUnit = caller;
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return false;
  }
  TVariableRecord* output = unit->Variable(unit->OutputList[static_cast<size_t>(k)]);
  if (output == nullptr) {
    CurrentProgramUnit = caller;
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return false;
  }
  const int32_t in = unit->InputCount;
  if (unchanged) {
    output->Value = unit->CallValues[static_cast<size_t>(in + k)];
  } else {
    unit->DisplayedCallCount += 1;
    EnsureUnitBlocked(*unit);
    StartFromGuesses(*unit);
    if (CalcErrorCode <= 0) SolveEquationBlocks();
    if (CalcErrorCode <= 0) {
      for (int32_t i = 1; i <= unit->OutputCount; ++i) {
        const TVariableRecord* o = unit->Variable(unit->OutputList[static_cast<size_t>(i)]);
        if (o != nullptr) unit->CallValues[static_cast<size_t>(in + i)] = o->Value;
      }
      for (int32_t i = 1; i <= in; ++i) {
        const TVariableRecord* p = unit->Variable(unit->ParameterList[static_cast<size_t>(i)]);
        if (p != nullptr) unit->CallValues[static_cast<size_t>(i)] = p->Value;
      }
    }
  }
  s.Height += 1;
  s.Values[s.Height] = output->Value;
  CurrentProgramUnit = caller;
  return true;
}

int32_t UnitSolveCount(const TProgramUnitRecord& unit) { return unit.DisplayedCallCount; }

void InstallUnitCallOpcode() { SetOpcodeHandler(OpUnitCall, &UnitCallOpcode); }

}  // namespace voq
