#include "output/solution_format.h"

#include <cstdlib>
#include <utility>

#include "model/document_settings.h"
#include "model/store_state.h"
#include "output/solution_listing.h"

namespace voq {

namespace {

std::vector<UndoFormatRecord> undoList;

int16_t Positive(int16_t code) { return int16_t(std::abs(int32_t(code))); }

void MarkUnitForUnitCheck(TProgramUnitRecord* u) {
  for (TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next) SetUnitsCheckState(e, -9);
}

}  // namespace

std::vector<UndoFormatRecord>& FormatUndoList() { return undoList; }

bool LocalSelected(const TLocalVariableRecord& l) { return l.SpareBytes[0] != 0; }
void SetLocalSelected(TLocalVariableRecord& l, bool selected) { l.SpareBytes[0] = selected ? 1 : 0; }

TFormatChoice OpenFormatOfVariable(int32_t index, TVariableRecord& openingCopy) {
  TFormatChoice choice;
  TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(index) : nullptr;
  if (v == nullptr) return choice;
  v->DisplayCode = Positive(v->DisplayCode);
  openingCopy = *v;
  choice.Style = v->IsString ? 4 : v->Style;
  choice.Digits = v->Digits;
  choice.Code = v->DisplayCode;
  choice.Units = v->Units;
  if (Preferences.ComplexMode == 0) choice.Code = int16_t(choice.Code % 1000);
  return choice;
}

TFormatChoice OpenFormatOfLocal(const TLocalVariableRecord& local) {
  TFormatChoice choice;
  choice.Style = local.IsString ? 4 : local.Style;
  choice.Digits = local.Digits;
  choice.Code = int16_t(Positive(local.DisplayCode) % 1000);
  choice.Units = local.Units;
  return choice;
}

void SaveFormatUndo(int32_t index, int32_t routine) {
  undoList.clear();
  if (routine > 0) {
    if (routine > FunctionCount || FunctionTable[size_t(routine)] == nullptr) return;
    int32_t position = 0;
    for (TLocalVariableRecord* l = FunctionTable[size_t(routine)]->Locals; l != nullptr; l = l->Next, ++position)
      if (LocalSelected(*l))
        undoList.push_back({nullptr, position, routine, Positive(l->DisplayCode), {l->Style, l->Digits}, l->Units});
    return;
  }
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (int32_t k = 1; k <= u->VariableCount; ++k) {
      TVariableRecord* v = u->Variable(k);
      if (v == nullptr) continue;
      if (v->DisplayCode < 0 || (u == CurrentProgramUnit && k == index))
        undoList.push_back({u, k, 0, Positive(v->DisplayCode), {v->Style, v->Digits}, v->Units});
    }
  }
}

void ApplyVariableFormat(int32_t index, const TVariableRecord& openingCopy, const TFormatChoice& choice) {
  SaveFormatUndo(index, 0);
  TProgramUnitRecord* current = CurrentProgramUnit;
  TVariableRecord* own = current != nullptr ? current->Variable(index) : nullptr;
  if (own == nullptr) return;
  if (!own->IsString) own->Style = choice.Style;
  own->Digits = choice.Digits;
  own->DisplayCode = choice.Code;
  own->Units = choice.Units.substr(0, 30);
  own->UnitsInferred = 0;
  const bool unitsChanged = choice.Units.substr(0, 30) != openingCopy.Units;
  const bool formatChanged = choice.Style != openingCopy.Style || choice.Digits != openingCopy.Digits;
  const bool codeChanged = choice.Code != Positive(openingCopy.DisplayCode);
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (int32_t k = 1; k <= u->VariableCount; ++k) {
      TVariableRecord* v = u->Variable(k);
      if (v == nullptr) continue;
      if (v == own) {
        TVariableRecord* partner = Preferences.ComplexMode != 0 ? u->Variable(v->PartnerVariable) : nullptr;
        if (partner != nullptr) {
          partner->Style = own->Style;
          partner->Digits = own->Digits;
          partner->DisplayCode = own->DisplayCode;
        }
        continue;
      }
      if (v->DisplayCode >= 0) continue;
      if (unitsChanged) {
        v->Units = own->Units;
        v->UnitsInferred = 0;
      }
      if (formatChanged) {
        if (!v->IsString) v->Style = choice.Style;
        v->Digits = choice.Digits;
      }
      if (codeChanged) v->DisplayCode = choice.Code;
    }
    MarkUnitForUnitCheck(u);
  }
}

void ApplyLocalFormat(int32_t routine, const TFormatChoice& choice) {
  SaveFormatUndo(0, routine);
  if (routine < 1 || routine > FunctionCount || FunctionTable[size_t(routine)] == nullptr) return;
  TRoutineRecord* r = FunctionTable[size_t(routine)];
  for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
    if (!LocalSelected(*l)) continue;
    l->Units = choice.Units.substr(0, 30);
    if (!l->IsString) l->Style = choice.Style;
    l->Digits = choice.Digits;
    l->FormatGiven = 1;
    l->DisplayCode = choice.Code;
  }
  for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next) SetUnitsCheckState(e, -9);
}

void doUndo() {
  for (UndoFormatRecord& record : undoList) {
    if (record.Unit != nullptr) {
      bool known = false;
      for (TProgramUnitRecord* u : ProgramUnitList) known = known || u == record.Unit;
      if (!known || record.Index > record.Unit->VariableCount) continue;
      TVariableRecord* v = record.Unit->Variable(record.Index);
      if (v == nullptr) continue;
      int16_t code = int16_t(record.Code);
      record.Code = Positive(v->DisplayCode);
      v->DisplayCode = code;
      std::swap(record.Format.Style, v->Style);
      std::swap(record.Format.Digits, v->Digits);
      std::swap(record.Units, v->Units);
    } else if (record.Routine >= 1 && record.Routine <= FunctionCount && FunctionTable[size_t(record.Routine)] != nullptr) {
      TLocalVariableRecord* l = FunctionTable[size_t(record.Routine)]->Locals;
      for (int32_t p = 0; l != nullptr && p < record.Index; ++p) l = l->Next;
      if (l == nullptr) continue;
      int16_t code = int16_t(record.Code);
      record.Code = Positive(l->DisplayCode);
      l->DisplayCode = code;
      std::swap(record.Format.Style, l->Style);
      std::swap(record.Format.Digits, l->Digits);
      std::swap(record.Units, l->Units);
    }
  }
}

}  // namespace voq
