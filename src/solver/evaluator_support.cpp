#include "solver/evaluator_support.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

constexpr int32_t kLogicalOperandsHelpContext = 176;

ParametricColumnTest parametricColumnTest = nullptr;

}  // namespace

int32_t StackInteger(Extended x) {
  if (std::isnan(x)) return 0;
  const Extended r = std::nearbyint(x);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

bool CallResultReusable(int32_t routine) {
  TRoutineRecord* r = RoutineAt(routine);
  if (r == nullptr) return false;
  bool same = r->NeverReuse == 0 && r->SavedCallLocals != nullptr && r->Locals != nullptr;
  if (same) {
    const TProgramUnitRecord* main = MainProgramUnit;
    const TLocalVariableRecord* now = r->Locals->Next;
    const TLocalVariableRecord* saved = r->SavedCallLocals->Next;
    for (; now != nullptr && saved != nullptr; now = now->Next, saved = saved->Next) {
      // The inputs (and the $COMMON links, whose numbers are negative) must
      // be exactly what they were; the values the body computed need not.
      if (now->LocalNumber <= r->InputCount && now->Value != saved->Value) {
        same = false;
        break;
      }
      // A $COMMON variable read by the body must not have changed in the
      // main program since the last call.
      if (saved->LocalNumber < 0 && main != nullptr) {
        const TVariableRecord* v = main->Variable(-saved->LocalNumber);
        if (v != nullptr && v->Value != saved->Value) {
          same = false;
          break;
        }
      }
    }
    if (now != nullptr || saved != nullptr) same = false;
  }
  r->LastCallReused = same ? 1 : 0;
  return same;
}

void SaveCallLocals(int32_t routine) {
  TRoutineRecord* r = RoutineAt(routine);
  if (r == nullptr) return;
  TLocalVariableRecord** link = &r->SavedCallLocals;
  for (const TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
    if (*link == nullptr) {
      try {
        *link = new TLocalVariableRecord();
      } catch (const std::bad_alloc&) {
        // Without a complete copy the next call simply runs its body.
        DisposeLocalVarList(r->SavedCallLocals);
        return;
      }
    }
    TLocalVariableRecord* copy = *link;
    TLocalVariableRecord* keep = copy->Next;
    // Assigning into the kept record reuses its strings' storage: after the
    // first call a save allocates nothing.
    *copy = *l;
    copy->Next = keep;
    link = &copy->Next;
  }
  // Copies beyond the current chain would make every later comparison fail.
  DisposeLocalVarList(*link);
}

int32_t ResolveRoutineIndex(TEvaluationState& state, int32_t compiledIndex) {
  TArgumentListRecord* call = state.CallCursor;
  if (call == nullptr) {
    SetCalcError(kMsgRoutineNotFound, "");
    return -1;
  }
  state.CallCursor = call->Next;
  const std::string name = UpperCaseName(call->Name);
  const TRoutineRecord* r = RoutineAt(compiledIndex);
  if (r != nullptr && r->UpperName == name) {
    call->Kind = compiledIndex;
    return compiledIndex;
  }
  // The table was packed since the compile: the statement must be compiled
  // afresh next time, and this time the routine is found by its name.
  if (state.Equation != nullptr) state.Equation->Text = std::string();
  const int32_t slot = FindRoutineSlot(name);
  if (slot == 0) {
    SetCalcError(kMsgRoutineNotFound, call->Name);
    return -1;
  }
  call->Kind = slot;
  return slot;
}

void CheckLogicalOperands(int32_t a, int32_t b) {
  auto logical = [](int32_t x) { return x == 0 || x == 1; };
  if (!logical(a) || !logical(b)) SetCalcErrorWithHelp(kMsgLogicalOperatorMisuse, kLogicalOperandsHelpContext);
}

void UpdateLimitsFromVariables(int32_t v) {
  TProgramUnitRecord* u = CurrentProgramUnit;
  if (u == nullptr) return;
  TVariableRecord* var = u->Variable(v);
  if (var == nullptr || var->IsString != 0) return;
  if (var->LowerVariable > 0) {
    if (const TVariableRecord* lower = u->Variable(var->LowerVariable)) var->LowerLimit = lower->Value;
  }
  if (var->UpperVariable > 0) {
    if (const TVariableRecord* upper = u->Variable(var->UpperVariable)) var->UpperLimit = upper->Value;
  }
  if (var->GuessVariable >= 1) {
    if (const TVariableRecord* guess = u->Variable(var->GuessVariable)) {
      var->Guess = guess->Value;
      var->Value = guess->Value;
    }
  }
}

void UpdateAllLimitsFromVariables() {
  TProgramUnitRecord* u = CurrentProgramUnit;
  if (u == nullptr) return;
  const int32_t count = std::min<int32_t>(u->UnknownCount, static_cast<int32_t>(u->UnknownList.size()) - 1);
  for (int32_t k = 1; k <= count && CalcErrorCode <= 0; ++k) UpdateLimitsFromVariables(u->UnknownList[k]);
}

bool IsParametricColumnVariable(int32_t k) { return parametricColumnTest != nullptr && parametricColumnTest(k); }

void SetParametricColumnTest(ParametricColumnTest test) { parametricColumnTest = test; }

}  // namespace voq
