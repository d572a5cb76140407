#include "solver/user_routines.h"

#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "solver/condition_opcodes.h"
#include "solver/evaluator_support.h"

namespace voq {
namespace {

constexpr int32_t kFunctionHelpContext = 147;
constexpr int32_t kProcedureHelpContext = 148;
// An IF condition is 1 or 0; above this the THEN branch is taken.
constexpr Extended kConditionTrue = 0.9L;

LookupCellAssigner lookupCellAssigner = nullptr;
int32_t routineNesting = 0;

// Counts a running body for as long as it runs, also when it is left early.
class NestingLevel {
 public:
  NestingLevel() { ++routineNesting; }
  ~NestingLevel() { --routineNesting; }
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;
};

// Code that does not have what an opcode reads was not made by the compiler.
bool StopMalformed() {
  CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  return false;
}

int32_t HelpContextOf(const TRoutineRecord* r) {
  return (r != nullptr && r->OutputCount > 0) ? kProcedureHelpContext : kFunctionHelpContext;
}

std::string RoutineTitle(const TRoutineRecord& r) {
  return (r.OutputCount > 0 ? "PROCEDURE " : "FUNCTION ") + r.Name;
}

// Elements of argument group g (1-based) of a list; 0 for a group it lacks.
int32_t GroupSize(const TArgumentListRecord* list, int32_t g) {
  if (list == nullptr || g < 1 || g > list->ArgumentCount || g >= static_cast<int32_t>(list->CodesPerArgument.size()))
    return 0;
  return list->CodesPerArgument[g];
}

// Error 186: group g of the routine's parameters declares fewer elements
// than the call supplies. An array parameter is named by its range text up
// to the "_" that stands for its "[".
void ReportArraySize(const TRoutineRecord& r, int32_t g, int32_t declared, int32_t supplied) {
  const TArgumentListRecord* p = r.Parameters;
  size_t first = 0;
  for (int32_t h = 1; h < g; ++h) first += static_cast<size_t>(GroupSize(p, h));
  const int32_t code = (p != nullptr && first < p->Codes.size()) ? p->Codes[first] : 0;
  std::string what;
  if (code > 0 && code <= static_cast<int32_t>(StringConstants.size())) {
    const std::string& range = StringConstants[code - 1];
    what = "Array " + range.substr(0, range.find('_'));
  } else {
    what = "Argument " + std::to_string(g);
  }
  SetMessageArg(1, what);
  SetMessageArg(2, RoutineTitle(r));
  SetMessageArg(3, std::to_string(declared));
  SetMessageArg(4, std::to_string(supplied));
  CalcErrorCode = kMsgArrayArgumentSize;
}

// Gives the parameter locals the values of the call's inputs (the deepest
// to the first parameter) and pops them. Plain binding when the call
// supplies exactly the declared counts; otherwise group by group, a group
// with fewer elements than declared filled up with BlankValue.
bool BindArguments(TEvaluationState& s, TRoutineRecord& r, const TArgumentListRecord* call, bool& plain) {
  const int32_t selector = r.OutputCount > 0 ? 1 : 0;
  plain = call == nullptr ||
          (r.InputCount + selector == call->InputCount && r.OutputCount == call->OutputCount);
  TLocalVariableRecord* local = r.Locals->Next;
  if (plain) {
    const int32_t n = r.InputCount;
    if (n < 0 || s.Height < n) return StopMalformed();
    for (int32_t at = s.Height - n + 1; at <= s.Height; ++at, local = local->Next) {
      if (local == nullptr) return StopMalformed();
      local->Value = s.Values[at];
    }
    s.Height -= n;
    return true;
  }

  const TArgumentListRecord* parameters = r.Parameters;
  int32_t supplied = 0;
  for (int32_t g = 1; g <= r.InputGroups; ++g) supplied += GroupSize(call, g);
  if (s.Height < supplied) return StopMalformed();
  int32_t at = s.Height - supplied + 1;
  for (int32_t g = 1; g <= r.InputGroups; ++g) {
    const int32_t c = GroupSize(call, g);
    const int32_t d = GroupSize(parameters, g);
    if (c > d) {
      ReportArraySize(r, g, d, c);
      return false;
    }
    for (int32_t i = 0; i < d; ++i, local = local->Next) {
      if (local == nullptr) return StopMalformed();
      local->Value = (i < c) ? s.Values[at++] : BlankValue;
    }
  }
  // An output group larger than its declaration would write past its own
  // locals into the next output's (or beyond the routine's locals): it is
  // refused like an input group that is too large. The call list has the
  // output selector as one group more in front of its outputs.
  for (int32_t g = r.InputGroups + 1; g <= r.InputGroups + r.OutputGroups; ++g) {
    const int32_t c = GroupSize(call, g + 1);
    const int32_t d = GroupSize(parameters, g);
    if (c > d) {
      ReportArraySize(r, g, d, c);
      return false;
    }
  }
  s.Height -= supplied;
  return true;
}

// Before a body runs: every local but the parameters is unset, a $COMMON
// link holds the main-program value it stands for, the result is unset.
void ResetLocalsForCall(TRoutineRecord& r) {
  TLocalVariableRecord* l = r.Locals->Next;
  for (int32_t i = 0; i < r.InputCount && l != nullptr; ++i) l = l->Next;
  for (; l != nullptr; l = l->Next) {
    if (l->LocalNumber > 0) {
      l->Value = UnsetLocalValue;
    } else if (l->LocalNumber < 0) {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-l->LocalNumber) : nullptr;
      l->Value = v != nullptr ? v->Value : UnsetLocalValue;
    }
  }
  r.Locals->Value = UnsetLocalValue;
}

bool IsLibraryRoutine(int32_t slot) { return Environment().IsLibraryRoutine(slot); }

// The new value of an assignment target: the right side the statement's
// "=" saw, or, for code without one, the old value less the residual.
Extended AssignedValue(const TEquationRecord& stmt, Extended old, Extended residual) {
  return std::isnan(stmt.RightSide) ? old - residual : stmt.RightSide;
}

// The abort request ends the walk with error 58: a REPEAT whose condition
// never holds would otherwise loop for ever.
bool AbortPending() {
  if (!AbortRequested) return false;
  CheckAbortRequested();
  return CalcErrorCode > 0;
}

}  // namespace

bool ReadLocalOperand(TEvaluationState& s, int32_t k, Extended& value) {
  const int32_t slot = s.RoutineSlot;
  TRoutineRecord* r = RoutineAt(slot);
  // The assignment target is the code's first word (its index the second).
  const bool target = s.Position == 2;
  Extended raw = 0;
  std::string name;
  if (k >= 0) {
    const TLocalVariableRecord* l = r != nullptr ? LocalByNumber(*r, k) : nullptr;
    if (l == nullptr) return StopMalformed();
    raw = l->Value;
    name = l->Name;
    // A string local holds a string-constant index.
    value = l->IsString != 0 && !IsUnsetLocalValue(raw) ? std::nearbyint(raw) : raw;
  } else {
    const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-k) : nullptr;
    if (v == nullptr || (v->UnknownPosition == 0 && !IsParametricColumnVariable(-k))) {
      value = ErrorResultValue;
      SetCalcError(kMsgCommonVariableUndefined, v != nullptr ? v->Name : std::string());
      DisposeEntryEquationText(slot);
      return true;
    }
    raw = v->Value;
    value = raw;
    name = v->Name;
  }
  if (!target && IsUnsetLocalValue(raw) && CalcErrorCode <= 0) {
    SetCalcError(kMsgRoutineUndefinedVariable, name);
    MessageHelpContext = HelpContextOf(r);
    DisposeEntryEquationText(slot);
  }
  return true;
}

int32_t OutputLocalOffset(int32_t k, int32_t slot, const TArgumentListRecord* call,
                          const TArgumentListRecord* parameters) {
  const TRoutineRecord* r = RoutineAt(slot);
  if (call == nullptr || parameters == nullptr || r == nullptr) return k;
  int32_t declared = 0;  // D: elements declared in the output groups before g
  int32_t supplied = 0;  // C: elements supplied in the matching call groups
  for (int32_t g = r->InputGroups + 1; g <= parameters->ArgumentCount; ++g) {
    const int32_t c = GroupSize(call, g + 1);
    if (supplied + c >= k) break;
    declared += GroupSize(parameters, g);
    supplied += c;
  }
  return declared + (k - supplied);
}

void RunRoutineBody(int32_t slot) {
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return;
  TEquationRecord* stmt = r->FirstStatement;
  while (stmt != nullptr && CalcErrorCode <= 0) {
    if (AbortPending()) return;
    if (stmt->Code.empty()) {  // a label alone
      stmt = stmt->Next;
      continue;
    }
    if (stmt->Code[0] == CodeGotoLabel) {
      // Every loop of a body passes a GOTO: here the keyboard is polled too.
      CheckUserAbort();
      stmt = stmt->JumpTarget;
      continue;
    }
    const Extended x = EvaluateEquation(stmt, slot);
    if (CalcErrorCode > 0) return;
    if (stmt->BranchPair != nullptr) {
      stmt = x > kConditionTrue ? stmt->BranchPair->Then : stmt->BranchPair->Else;
      continue;
    }
    const int32_t first = stmt->Code[0];
    const int32_t t = stmt->Code.size() >= 2 ? stmt->Code[1] : 0;
    TLocalVariableRecord* target = nullptr;
    if (first == CodeLocalVariable && t >= 0) {
      target = LocalByNumber(*r, t);
      if (target == nullptr) {
        StopMalformed();
        return;
      }
    } else if (first == CodeConstant && t == CodeStringConstant && stmt->AssignedLocal != nullptr) {
      target = stmt->AssignedLocal;  // X[i] := ... with i known only now
    }
    if (target != nullptr) {
      target->Value = AssignedValue(*stmt, target->Value, x);
    } else {
      // The target is a LOOKUP cell.
      if (lookupCellAssigner != nullptr) {
        lookupCellAssigner(stmt, x);
      } else {
        CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      }
      if (CalcErrorCode > 0) {
        if (!IsLibraryRoutine(slot) && CurrentProgramUnit != nullptr) CurrentProgramUnit->LastEquation = stmt;
        return;
      }
    }
    stmt = stmt->Next;
  }
}

bool UserRoutineOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 1) return StopMalformed();
  const TArgumentListRecord* call = s.CallCursor;
  const int32_t slot = ResolveRoutineIndex(s, StackInteger(s.Values[s.Height]));
  if (slot < 0) return false;
  --s.Height;
  TRoutineRecord& r = *RoutineAt(slot);
  if (r.Locals == nullptr) return StopMalformed();

  int32_t k = 0;
  if (r.OutputCount > 0) {
    if (s.Height < 1) return StopMalformed();
    k = StackInteger(s.Values[s.Height]);
    --s.Height;
    if (k < 1 || k > r.OutputCount) return StopMalformed();
  }
  bool plain = true;
  if (!BindArguments(s, r, call, plain)) return false;

  const bool reused = CallResultReusable(slot);
  if (!reused) {
    if (routineNesting >= kMaxRoutineNesting) {
      SetCalcError(kMsgRoutineNestingTooDeep, std::to_string(kMaxRoutineNesting));
      return false;
    }
    ResetLocalsForCall(r);
    ++r.CallCounter;
    {
      NestingLevel level;
      RunRoutineBody(slot);
    }
    if (CalcErrorCode > 0) {
      // The locals stand as the failing statement left them: the saved copy
      // of the last good call no longer describes them, so the next call
      // with those inputs must run the body again.
      DisposeLocalVarList(r.SavedCallLocals);
      return false;
    }
    // The body's evaluations left their slot behind; the caller's is the
    // one that runs on (an error above keeps the failing routine's).
    CompilingFunctionIndex = s.RoutineSlot;
  }

  Extended result = 0;
  if (r.OutputCount == 0) {
    result = r.Locals->Value;
    if (IsUnsetLocalValue(result) && CalcErrorCode <= 0) {
      SetCalcError(kMsgValueNotSet, r.Locals->Name);
      MessageHelpContext = kFunctionHelpContext;
    }
  } else {
    const int32_t offset = plain ? k : OutputLocalOffset(k, slot, call, r.Parameters);
    if (offset < 1 || offset > r.OutputCount) return StopMalformed();
    const TLocalVariableRecord* out = LocalByNumber(r, r.InputCount + offset);
    if (out == nullptr) return StopMalformed();
    result = out->Value;
    if (IsUnsetLocalValue(result)) {
      SetMessageArg(1, out->Name);
      SetMessageArg(2, r.Name);
      CalcErrorCode = kMsgProcedureOutputUnset;
      MessageHelpContext = kProcedureHelpContext;
    }
  }
  s.Values[++s.Height] = result;
  // A reused call changed no local: the saved copy already equals them.
  if (!reused) SaveCallLocals(slot);

  if (s.RoutineSlot == 0 && Preferences.ComplexMode != 0) {
    if (s.Height > kImaginaryStackSize) {
      CalcErrorCode = kMsgStackLimit;
      return false;
    }
    s.ImaginaryHeight = s.Height;
    s.Imaginary[s.ImaginaryHeight] = 0;
  }
  return true;
}

bool ArrayElementOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 1) return StopMalformed();
  const int32_t n = StackInteger(s.Values[s.Height]) - 1;
  if (n < 1) {
    CalcErrorCode = kMsgSyntaxError;
    return false;
  }
  // Below the count: the subscripts, the array name, the sub-code.
  if (s.Height < n + 3) return StopMalformed();
  const int32_t nameSlot = s.Height - n - 1;
  std::string name = StringConstText(StackInteger(s.Values[nameSlot])) + "[";
  for (int32_t i = 1; i <= n; ++i) {
    if (i > 1) name += ArgumentSeparator;
    name += std::to_string(StackInteger(s.Values[nameSlot + i]));
  }
  name = UpperCaseName(CutName(name + "]"));
  s.Height = nameSlot;

  const int32_t slot = s.RoutineSlot;
  if (slot == 0) {
    const int32_t i = FindVariable(name);
    const TVariableRecord* v = (CurrentProgramUnit != nullptr && i > 0) ? CurrentProgramUnit->Variable(i) : nullptr;
    if (v == nullptr) {
      SetCalcError(kMsgUndefinedName, name);
      return true;
    }
    --s.Height;
    s.Values[s.Height] = v->Value;
    return true;
  }

  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return StopMalformed();
  TLocalVariableRecord* local = nullptr;
  const int32_t h = LocalHashSlot(name, slot);
  if (h > 0 && h < static_cast<int32_t>(r->LocalHash.size())) local = r->LocalHash[h];
  if (local == nullptr) {
    for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
      if (l->UpperName == name) {
        local = l;
        break;
      }
    }
  }
  if (local == nullptr) {
    // An element first met at run time joins the routine's locals; it starts
    // at 0 in this call and is unset in later ones.
    local = AppendLocal(*r, slot, LocalChainLength(*r), name);
    if (local == nullptr) return false;
    local->IsString = 0;
    if (h > 0 && h < static_cast<int32_t>(r->LocalHash.size()) && r->LocalHash[h] == nullptr) r->LocalHash[h] = local;
  }

  --s.Height;
  Extended value = local->Value;
  if (local->LocalNumber < 0) {
    const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-local->LocalNumber) : nullptr;
    value = v != nullptr ? v->Value : UnsetLocalValue;
  }
  s.Values[s.Height] = value;
  // Read on the right side before this call assigned it.
  if (s.Height > 1 && IsUnsetLocalValue(value) && CalcErrorCode <= 0) SetCalcError(kMsgRoutineUndefinedVariable, local->Name);
  if (s.Equation != nullptr && s.Equation->AssignedLocal == nullptr) s.Equation->AssignedLocal = local;
  return true;
}

void SetLookupCellAssigner(LookupCellAssigner assigner) { lookupCellAssigner = assigner; }

int32_t RoutineNestingDepth() { return routineNesting; }

void InstallUserRoutineOpcodes() {
  SetOpcodeHandler(198, ErrorWarningOpcode);
  SetOpcodeHandler(OpCompare, CompareOpcode);
  SetOpcodeHandler(OpUserFunction, UserRoutineOpcode);
  SetOpcodeHandler(234, ArrayElementOpcode);
  SetLocalOperandReader(ReadLocalOperand);
}

void ResetUserRoutineState() {
  routineNesting = 0;
  lookupCellAssigner = nullptr;
}

}  // namespace voq
