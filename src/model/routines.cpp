#include "model/routines.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <unordered_set>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/store_state.h"

namespace voq {

std::array<TRoutineRecord*, kMaxRoutines + 1> FunctionTable{};
int32_t FunctionCount = 0;
std::vector<TLocalVariableRecord*> LocalFormatList;

TRoutineRecord* RoutineAt(int32_t slot) {
  if (slot < 1 || slot > FunctionCount || slot > kMaxRoutines) return nullptr;
  return FunctionTable[slot];
}

int32_t FindRoutineSlot(const std::string& upperName) {
  for (int32_t i = 1; i <= FunctionCount && i <= kMaxRoutines; ++i) {
    if (FunctionTable[i] != nullptr && FunctionTable[i]->UpperName == upperName) return i;
  }
  return 0;
}

bool RoutineCallable(const TRoutineRecord& r) { return r.Defined != 0 || r.IsLibrary != 0; }

void InitLocalVariableRecord(TLocalVariableRecord& l, int32_t slot, int32_t number,
                             const std::string& name) {
  l.Name = CutName(name);
  l.UpperName = UpperCaseName(l.Name);
  l.Value = 0;
  l.SpareReals = {};
  l.Units.clear();
  l.Style = 3;
  l.Digits = 4;
  l.DisplayCode = 1;
  l.LocalNumber = number;
  l.ConstantFlag = 0;
  l.Routine = slot;
  l.SpareLong = 0;
  l.IsString = (!l.Name.empty() && l.Name.back() == '$') || l.Name.find("$[") != std::string::npos;
  l.DefaultUnits = 1;
  l.FormatGiven = 0;
  l.SpareBytes = {};
  l.Box = DefaultScreenRect;

  // A format the user gave this local before its routine was last rebuilt.
  const TRoutineRecord* routine = (slot >= 1 && slot <= kMaxRoutines) ? FunctionTable[slot] : nullptr;
  for (auto it = LocalFormatList.begin(); it != LocalFormatList.end(); ++it) {
    TLocalVariableRecord* stored = *it;
    if (UpperCaseName(stored->Name) != l.UpperName) continue;
    const bool sameRoutine = (routine != nullptr && stored->UpperName == routine->UpperName) ||
                             stored->Routine == slot;
    if (!sameRoutine) continue;
    l.Units = stored->Units;
    l.Style = stored->Style;
    l.Digits = stored->Digits;
    l.DisplayCode = stored->DisplayCode;
    l.FormatGiven = stored->FormatGiven;
    delete stored;
    LocalFormatList.erase(it);
    break;
  }
}

TLocalVariableRecord* AppendLocal(TRoutineRecord& r, int32_t slot, int32_t number,
                                  const std::string& name) {
  TLocalVariableRecord* l = nullptr;
  try {
    l = new TLocalVariableRecord();
    InitLocalVariableRecord(*l, slot, number, name);
  } catch (const std::bad_alloc&) {
    delete l;
    ReportOutOfMemory();
    return nullptr;
  }
  TLocalVariableRecord** tail = &r.Locals;
  while (*tail != nullptr) tail = &(*tail)->Next;
  *tail = l;
  return l;
}

int32_t LocalChainLength(const TRoutineRecord& r) {
  int32_t n = 0;
  for (const TLocalVariableRecord* l = r.Locals; l != nullptr; l = l->Next) ++n;
  return n;
}

void BuildLocalTable(int32_t slot) {
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return;
  r->LocalsByNumber.clear();
  r->LocalHash.clear();
  r->HashSize = 0;
  const int32_t n = LocalChainLength(*r);
  r->LocalCount = n;
  r->HasCommonLocals = 0;
  try {
    r->LocalsByNumber.assign(static_cast<size_t>(n), nullptr);
    r->LocalHash.assign(static_cast<size_t>(4 * n) + 1, nullptr);
  } catch (const std::bad_alloc&) {
    r->LocalsByNumber.clear();
    r->LocalHash.clear();
    ReportOutOfMemory();
    return;
  }
  r->HashSize = 4 * n;
  for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
    if (l->LocalNumber < 0) {
      r->HasCommonLocals = 1;
    } else if (l->LocalNumber < n) {
      r->LocalsByNumber[l->LocalNumber] = l;
    }
    // A 0 (no usable hash, or the probe ran off the end) lands in entry 0,
    // which no look-up reads: such a local is found along the chain.
    r->LocalHash[LocalHashSlot(l->UpperName, slot)] = l;
  }
}

int32_t LocalHashSlot(const std::string& name, int32_t slot) {
  // The routine named by slot, not the one being compiled: during a nested
  // call the two differ, and the table searched must be the one probed.
  const TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return 0;
  const int32_t m = r->HashSize;
  if (m < 5 || static_cast<int32_t>(r->LocalHash.size()) < m + 1) return 0;
  const std::string s = CutName(name);
  const int32_t len = static_cast<int32_t>(s.size());
  if (len == 0) return 0;
  auto code = [&s](int32_t k) { return static_cast<int32_t>(static_cast<uint8_t>(s[k - 1])); };

  // A subscripted name ends in "]": its last character says nothing, so the
  // subscript's characters stand for it and elements spread over the table.
  int32_t e = code(len);
  if (s[len - 1] == ']') {
    const size_t open = s.rfind('[', len - 2);
    const int32_t from = open == std::string::npos ? 1 : static_cast<int32_t>(open) + 2;
    e = 0;
    for (int32_t k = from; k <= len - 1; ++k) e += code(k);
  }
  int32_t f = 0;
  int32_t g = 0;
  if (len == 1) {
    f = -31;
    g = 199;
  } else {
    f = len - 33;
    g = code(2) - 32;
  }
  // h = (f + 32e)*32 + 16g + (s1 - 32) [+ 3*s(L-2) - 20 when L > 3]
  int32_t h = (f + 32 * e) * 32 + 16 * g + (code(1) - 32);
  if (len > 3) h += 3 * code(len - 2) - 20;
  int32_t i = std::abs(h % m) + 1;
  // A plain probe without wrap-around: a name past the last entry is found
  // along the chain instead.
  while (r->LocalHash[i] != nullptr) {
    if (r->LocalHash[i]->UpperName == s) return i;
    if (++i > m) return 0;
  }
  return i;
}

int32_t FindLocalVariable(const std::string& name, int32_t slot, int32_t& constantFlag,
                          Extended& value, TLocalVariableRecord** found) {
  constantFlag = 0;
  value = 0;
  if (found != nullptr) *found = nullptr;
  const TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return 0;
  const std::string upper = UpperCaseName(CutName(name));
  for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
    if (l->UpperName != upper) continue;
    constantFlag = l->ConstantFlag;
    value = l->Value;
    if (found != nullptr) *found = l;
    // An element whose subscript is only known when the routine runs.
    if (constantFlag >= 0 && upper.find('[') != std::string::npos) CalcErrorCode = kMsgSubscriptUnset;
    return l->LocalNumber;
  }
  return 0;
}

TLocalVariableRecord* LocalByNumber(const TRoutineRecord& r, int32_t k) {
  if (k < 0 || k >= static_cast<int32_t>(r.LocalsByNumber.size())) return nullptr;
  return r.LocalsByNumber[k];
}

void DisposeLocalVarList(TLocalVariableRecord*& first) {
  while (first != nullptr) {
    TLocalVariableRecord* next = first->Next;
    delete first;
    first = next;
  }
}

void SaveLocalFormats(const TLocalVariableRecord* first, const std::string& routineUpperName,
                      int32_t slot) {
  for (const TLocalVariableRecord* l = first; l != nullptr; l = l->Next) {
    if (l->FormatGiven == 0) continue;
    try {
      auto* copy = new TLocalVariableRecord(*l);
      copy->UpperName = routineUpperName;
      copy->Routine = slot;
      copy->Next = nullptr;
      try {
        LocalFormatList.push_back(copy);
      } catch (const std::bad_alloc&) {
        delete copy;
        throw;
      }
    } catch (const std::bad_alloc&) {
      // A format lost is only a display default: the disposal goes on.
      return;
    }
  }
}

std::vector<TEquationRecord*> RoutineStatements(const TRoutineRecord& r) {
  std::vector<TEquationRecord*> all;
  std::unordered_set<const TEquationRecord*> seen;
  for (TEquationRecord* e = r.FirstStatement; e != nullptr && seen.insert(e).second; e = e->Next) {
    all.push_back(e);
  }
  // An ELSE statement is reached only through its branch pair; what it leads
  // to may again be off the chain.
  for (size_t k = 0; k < all.size(); ++k) {
    const TBranchPair* pair = all[k]->BranchPair;
    if (pair == nullptr) continue;
    for (TEquationRecord* target : {pair->Then, pair->Else}) {
      for (TEquationRecord* e = target; e != nullptr && seen.insert(e).second; e = e->Next) {
        all.push_back(e);
      }
    }
  }
  return all;
}

void DisposeFunctionEntry(int32_t n) {
  if (n < 1 || n > kMaxRoutines) return;
  TRoutineRecord* r = FunctionTable[n];
  if (r == nullptr) return;
  for (TEquationRecord* e : RoutineStatements(*r)) {
    TEquationRecord* h = e;
    DisposeEquationRecord(h);
  }
  r->FirstStatement = nullptr;
  SaveLocalFormats(r->Locals, r->UpperName, n);
  DisposeLocalVarList(r->Locals);
  DisposeLocalVarList(r->SavedCallLocals);
  DisposeArgumentListChain(r->Parameters);
  delete r;
  FunctionTable[n] = nullptr;
}

void CompactFunctionTable() {
  const int32_t last = std::min(FunctionCount, kMaxRoutines);
  for (int32_t n = 1; n <= last; ++n) {
    if (FunctionTable[n] != nullptr && (!FunctionTable[n]->IsLibrary || ShuttingDown)) DisposeFunctionEntry(n);
  }
  FunctionCount = 0;
  for (int32_t n = 1; n <= kMaxRoutines; ++n) {
    if (FunctionTable[n] == nullptr) continue;
    TRoutineRecord* r = FunctionTable[n];
    FunctionTable[n] = nullptr;
    FunctionTable[++FunctionCount] = r;
  }
}

void DisposeEntryEquationText(int32_t slot) {
  const TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return;
  for (TEquationRecord* e : RoutineStatements(*r)) e->Text.reset();
}

void ResetRoutineStore() {
  for (int32_t n = 1; n <= kMaxRoutines; ++n) DisposeFunctionEntry(n);
  FunctionCount = 0;
  for (TLocalVariableRecord* l : LocalFormatList) delete l;
  LocalFormatList.clear();
}

}  // namespace voq
