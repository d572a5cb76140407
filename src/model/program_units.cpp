#include "model/program_units.h"

#include <algorithm>
#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "model/occurrence_lists.h"
#include "model/property_caches.h"
#include "model/compiled_code.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

// Allocation failure: out of memory with its alert, as every allocator reports it.
void ReportAllocationFailure() {
  ReportOutOfMemory();
  ShowAlert(GetMessageText(kMsgOutOfMemory), 0, true);
}

std::string MainUnitName() {
  std::string text = GetMessageText(kMsgMainUnitName);
  return text.empty() ? std::string("Main") : text;
}

void PutShortString(uint8_t* dst, const std::string& s) {
  size_t n = std::min<size_t>(s.size(), kMaxNameLength);
  dst[0] = static_cast<uint8_t>(n);
  for (size_t k = 0; k < static_cast<size_t>(kMaxNameLength); ++k) {
    dst[1 + k] = k < n ? static_cast<uint8_t>(s[k]) : 0;
  }
}

std::string GetShortString(const uint8_t* src) {
  size_t n = std::min<size_t>(src[0], kMaxNameLength);
  return std::string(reinterpret_cast<const char*>(src + 1), n);
}

void PutInt16(uint8_t* dst, int16_t v) {
  auto u = static_cast<uint16_t>(v);
  dst[0] = static_cast<uint8_t>(u);
  dst[1] = static_cast<uint8_t>(u >> 8);
}

int16_t GetInt16(const uint8_t* src) {
  return static_cast<int16_t>(static_cast<uint16_t>(src[0] | (src[1] << 8)));
}

// The letter-default record for a name's first character; names that do not
// begin with a letter (internal module names begin with "@") get the plain
// defaults of a new record.
const TLetterDefaultRecord& LetterDefaultFor(const std::string& name) {
  static const TLetterDefaultRecord kPlain;
  if (name.empty()) return kPlain;
  char c = name[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c < 'A' || c > 'Z') return kPlain;
  return LetterDefaults[c - 'A'];
}

std::string TextBeforeBracket(const std::string& upperName) {
  size_t p = upperName.find('[');
  return p == std::string::npos ? upperName : upperName.substr(0, p);
}

void DisposeSeriesChain(TSumRecord*& head) {
  while (head != nullptr) {
    TSumRecord* next = head->Next;
    delete head;
    head = next;
  }
}

void DisposeSubstanceChain(TSubstanceBase*& head) {
  while (head != nullptr) {
    TSubstanceBase* next = head->Next;
    head->Done();
    delete head;
    head = next;
  }
}

void DisposeIntegralTerms(TIntegralTermRecord*& head) {
  while (head != nullptr) {
    TIntegralTermRecord* next = head->Next;
    delete head;
    head = next;
  }
}

}  // namespace

// --- Names --------------------------------------------------------------------

std::string CutName(const std::string& name) {
  return name.size() > static_cast<size_t>(kMaxNameLength) ? name.substr(0, kMaxNameLength) : name;
}

std::string UpperCaseName(const std::string& name) {
  std::string s = name;
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

// --- Stored layouts -------------------------------------------------------------

void PackVariableRecord(const TVariableRecord& v, uint8_t* dst) {
  namespace o = variable_offsets;
  PutShortString(dst + o::Name, v.Name);
  PackExtended(dst + o::Value, v.Value);
  PackExtended(dst + o::Guess, v.Guess);
  PackExtended(dst + o::LowerLimit, v.LowerLimit);
  PackExtended(dst + o::UpperLimit, v.UpperLimit);
  dst[o::Mark] = v.Mark;
  PutInt16(dst + o::UnknownPosition, v.UnknownPosition);
  dst[o::Style] = v.Style;
  PutInt16(dst + o::Digits, v.Digits);
  PutShortString(dst + o::Units, v.Units);
  PutInt16(dst + o::GuessVariable, v.GuessVariable);
  PutInt16(dst + o::LowerVariable, v.LowerVariable);
  PutInt16(dst + o::UpperVariable, v.UpperVariable);
  PutInt16(dst + o::Block, v.Block);
  PutInt16(dst + o::ArrayRow, v.ArrayRow);
  PutInt16(dst + o::ArrayColumn, v.ArrayColumn);
  PutInt16(dst + o::DisplayCode, v.DisplayCode);
}

void UnpackVariableRecord(const uint8_t* src, TVariableRecord& v) {
  namespace o = variable_offsets;
  v.Name = GetShortString(src + o::Name);
  v.Value = UnpackExtended(src + o::Value);
  v.Guess = UnpackExtended(src + o::Guess);
  v.LowerLimit = UnpackExtended(src + o::LowerLimit);
  v.UpperLimit = UnpackExtended(src + o::UpperLimit);
  v.Mark = src[o::Mark];
  v.UnknownPosition = GetInt16(src + o::UnknownPosition);
  v.Style = src[o::Style];
  v.Digits = GetInt16(src + o::Digits);
  v.Units = GetShortString(src + o::Units);
  v.GuessVariable = GetInt16(src + o::GuessVariable);
  v.LowerVariable = GetInt16(src + o::LowerVariable);
  v.UpperVariable = GetInt16(src + o::UpperVariable);
  v.Block = GetInt16(src + o::Block);
  v.ArrayRow = GetInt16(src + o::ArrayRow);
  v.ArrayColumn = GetInt16(src + o::ArrayColumn);
  v.DisplayCode = GetInt16(src + o::DisplayCode);
}

void PackLetterDefaultRecord(const TLetterDefaultRecord& d, uint8_t* dst) {
  PackExtended(dst + 0, d.Guess);
  PackExtended(dst + 10, d.LowerLimit);
  PackExtended(dst + 20, d.UpperLimit);
  dst[30] = d.Style;
  PutInt16(dst + 31, d.Digits);
  PutShortString(dst + 33, d.Units);
}

void UnpackLetterDefaultRecord(const uint8_t* src, TLetterDefaultRecord& d) {
  d.Guess = UnpackExtended(src + 0);
  d.LowerLimit = UnpackExtended(src + 10);
  d.UpperLimit = UnpackExtended(src + 20);
  d.Style = src[30];
  d.Digits = GetInt16(src + 31);
  d.Units = GetShortString(src + 33);
}

void PackLetterDefaultBlock(const std::array<TLetterDefaultRecord, 26>& block, uint8_t* dst) {
  for (size_t k = 0; k < block.size(); ++k) {
    PackLetterDefaultRecord(block[k], dst + k * kStoredLetterDefaultSize);
  }
}

void UnpackLetterDefaultBlock(const uint8_t* src, std::array<TLetterDefaultRecord, 26>& block) {
  for (size_t k = 0; k < block.size(); ++k) {
    UnpackLetterDefaultRecord(src + k * kStoredLetterDefaultSize, block[k]);
  }
}

// --- Units ----------------------------------------------------------------------

TProgramUnitRecord* CreateProgramUnit() {
  TProgramUnitRecord* unit = nullptr;
  try {
    unit = new TProgramUnitRecord();
    bool first = ProgramUnitList.empty();
    unit->VariableHandles.assign(kMaxVariablesPerUnit + 1, nullptr);
    unit->NameHash.assign(kNameHashSlots + 1, 0);
    if (first) {
      unit->RowHeads.assign(kMaxVariablesPerUnit + 1, nullptr);
      unit->ColumnHeads.assign(kMaxVariablesPerUnit + 1, nullptr);
      unit->ColumnMarks.assign(kMaxVariablesPerUnit + 1, 0);
      unit->BlockEnds.assign(kMaxVariablesPerUnit + 1, 0);
    }
    unit->UsedVariableList.assign(kMaxVariablesPerUnit + 1, 0);
    unit->UnknownList.assign(kMaxVariablesPerUnit + 1, 0);
    unit->CallValues.fill(BlankValue);
    unit->DocumentReals.fill(BlankValue);
    unit->Title = MainUnitName();
    ProgramUnitList.push_back(unit);
  } catch (const std::bad_alloc&) {
    delete unit;
    ReportAllocationFailure();
    return nullptr;
  }
  unit->UnitIndex = static_cast<int16_t>(ProgramUnitList.size() - 1);
  return unit;
}

TProgramUnitRecord* EnsureMainProgramUnit() {
  if (MainProgramUnit != nullptr) return MainProgramUnit;
  if (!ProgramUnitList.empty()) {
    MainProgramUnit = ProgramUnitList[0];
  } else {
    TProgramUnitRecord* unit = CreateProgramUnit();
    if (unit == nullptr) return nullptr;
    unit->Name = MainUnitName();
    unit->UpperName = UpperCaseName(unit->Name);
    unit->BlockStart = 0;
    unit->BlockEnd = 999999;
    MainProgramUnit = unit;
  }
  CurrentProgramUnit = MainProgramUnit;
  return MainProgramUnit;
}

namespace {

// Files a module names are looked for beside the program too. (The folders
// of the directory settings join them once the shell keeps those.)
void OfferModuleSearchDirectories() {
  if (!ProgramDirectory.empty()) AddSearchDirectory(ProgramDirectory);
}

}  // namespace

TProgramUnitRecord* FindOrCreateModule(const std::string& name) {
  OfferModuleSearchDirectories();
  std::string upper = UpperCaseName(CutName(name));
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) {
    TProgramUnitRecord* unit = ProgramUnitList[k];
    if (unit == nullptr || unit->UpperName != upper) continue;
    if (!unit->IsLibraryUnit || LoadingLibrary) {
      for (int32_t i = 1; i <= unit->VariableCount; ++i) {
        if (unit->VariableHandles[i] != nullptr) unit->VariableHandles[i]->UnknownPosition = 0;
      }
    }
    // The header's parameters are read again into the list.
    if (unit->ArgumentList != nullptr) {
      unit->ArgumentList->Codes.clear();
      unit->ArgumentList->ArgumentCount = 0;
    }
    return unit;
  }
  TProgramUnitRecord* unit = CreateProgramUnit();
  if (unit == nullptr) return nullptr;
  // The header reader sets the name too; setting it here lets the next
  // look-up by name find the unit.
  unit->Name = CutName(name);
  unit->UpperName = upper;
  unit->BlockStart = 0;
  unit->BlockEnd = 32766;
  unit->CompiledThisPass = 0;
  unit->IntegralCount = 0;
  unit->IsLibraryUnit = LoadingLibrary ? 1 : 0;
  unit->UnknownCount = 0;
  try {
    unit->ArgumentList = new TArgumentListRecord();
  } catch (const std::bad_alloc&) {
    ReportAllocationFailure();
    return unit;
  }
  unit->ArgumentList->Name = CutName(name);
  unit->ArgumentList->Kind = -20;
  return unit;
}

// --- Variables ------------------------------------------------------------------

int32_t VarHashHome(const std::string& upperName) {
  std::string s = CutName(upperName);
  const int32_t len = static_cast<int32_t>(s.size());
  if (len == 0) return 1;
  auto c = [&s](int32_t k) { return static_cast<int32_t>(static_cast<uint8_t>(s[k - 1])); };
  int32_t a = c(1) - 32;
  int32_t b = c(len);
  if (b == ']' && len >= 3) b = c(len - 2);
  int32_t e;
  int32_t d;
  if (len == 1) {
    e = -31;
    d = 199;
  } else {
    e = len - 33;
    d = c(2) - 32;
  }
  int32_t f = a + 1024 * b + 32 * e + 16 * d;
  if (len > 3) f += 3 * c(len - 2) - 20;
  // The remainder takes the sign of f, then its magnitude is used.
  int32_t r = f % kNameHashSlots;
  return (r < 0 ? -r : r) + 1;
}

namespace {

int32_t NextSlot(int32_t slot) { return slot == kNameHashSlots ? 1 : slot + 1; }

// The first empty slot at or after start, following and then shortening the
// skip pointers over occupied runs.
int32_t FirstEmptySlot(TProgramUnitRecord* unit, int32_t start) {
  std::vector<int16_t>& skip = unit->OccupiedSkip;
  if (skip.size() != unit->NameHash.size()) skip.assign(unit->NameHash.size(), 0);
  int32_t slot = start;
  int32_t steps = 0;
  while (unit->NameHash[slot] != 0 && steps < kNameHashSlots) {
    slot = skip[slot] != 0 ? skip[slot] : NextSlot(slot);
    ++steps;
  }
  for (int32_t s = start; s != slot && unit->NameHash[s] != 0 && steps-- > 0;) {
    int32_t next = skip[s] != 0 ? skip[s] : NextSlot(s);
    skip[s] = static_cast<int16_t>(slot);
    s = next;
  }
  return slot;
}

// The plain probe, which the look-up aids only shortcut and which answers
// when they are stale: from the home slot to the first slot that is empty or
// holds the name.
int32_t ProbeNameHash(TProgramUnitRecord* unit, int32_t slot, const std::string& s) {
  // At least 4,000 slots are always empty, so the walk ends; the bound only
  // guards against a corrupted table.
  for (int32_t probes = 0; probes < kNameHashSlots; ++probes) {
    int32_t v = unit->NameHash[slot];
    if (v == 0) return slot;
    if (v > 0 && v <= unit->VariableCount) {
      const TVariableRecord* var = unit->VariableHandles[v];
      if (var != nullptr && var->UpperName == s) return slot;
    }
    slot = NextSlot(slot);
  }
  return slot;
}

}  // namespace

int32_t VarHashSlot(const std::string& upperName) {
  int32_t home = VarHashHome(upperName);
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr || unit->NameHash.empty()) return home;
  std::string s = CutName(upperName);
  auto it = unit->NameSlots.find(s);
  if (it != unit->NameSlots.end()) {
    int32_t v = unit->NameHash[it->second];
    if (v > 0 && v <= unit->VariableCount && unit->VariableHandles[v] != nullptr &&
        unit->VariableHandles[v]->UpperName == s)
      return it->second;
    // The slot was changed behind the aids' back: fall back to the probe.
    unit->NameSlots.erase(it);
    return ProbeNameHash(unit, home, s);
  }
  // Every stored name is in NameSlots, so an absent name belongs in the
  // first empty slot of its probe sequence.
  return FirstEmptySlot(unit, home);
}

void SetNameHashSlot(TProgramUnitRecord* unit, int32_t slot, int16_t value) {
  if (unit == nullptr || slot < 1 || slot > kNameHashSlots || unit->NameHash.empty()) return;
  int16_t old = unit->NameHash[slot];
  if (old > 0 && old <= unit->VariableCount && unit->VariableHandles[old] != nullptr) {
    auto it = unit->NameSlots.find(unit->VariableHandles[old]->UpperName);
    if (it != unit->NameSlots.end() && it->second == slot) unit->NameSlots.erase(it);
  }
  unit->NameHash[slot] = value;
  if (value > 0 && value <= unit->VariableCount && unit->VariableHandles[value] != nullptr)
    unit->NameSlots[unit->VariableHandles[value]->UpperName] = static_cast<int16_t>(slot);
}

void ClearNameHash(TProgramUnitRecord* unit) {
  if (unit == nullptr) return;
  std::fill(unit->NameHash.begin(), unit->NameHash.end(), 0);
  std::fill(unit->OccupiedSkip.begin(), unit->OccupiedSkip.end(), 0);
  unit->NameSlots.clear();
  unit->FirstOfStem.clear();
}

int32_t FindVariable(const std::string& name) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr || unit->NameHash.empty()) return 0;
  std::string upper = UpperCaseName(CutName(name));
  int32_t v = unit->NameHash[VarHashSlot(upper)];
  if (v < 0) v = 0;
  if (unit != MainProgramUnit && unit->UnitIndex > 0 && upper == unit->UpperName) {
    SetMessageArg(1, std::string(unit->IsSubprogram ? "Subprogram " : "Module ") + unit->Name);
    SetMessageArg(2, unit->Name);
    CalcErrorCode = kMsgForbiddenVariableName;
  }
  return v;
}

void AddVariable(const std::string& name) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  // The limit never passes the table, whatever MaxVariables says.
  const int32_t tableEnd = std::max<int32_t>(0, static_cast<int32_t>(unit->VariableHandles.size()) - 1);
  const int32_t limit = std::min<int32_t>(MaxVariables, tableEnd);
  unit->VariableCount += 1;
  if (unit->VariableCount > limit) {
    unit->VariableCount = static_cast<int16_t>(limit);
    SetMessageArg(1, "10000");
    MessageHelpContext = 17;
    CalcErrorCode = kMsgTooManyVariables;
    return;
  }
  TVariableRecord* v = nullptr;
  try {
    v = new TVariableRecord();
  } catch (const std::bad_alloc&) {
    ReportAllocationFailure();
    unit->VariableCount -= 1;
    return;
  }
  unit->VariableHandles[unit->VariableCount] = v;

  v->Name = CutName(name);
  v->IsString = (!name.empty() && name.back() == '$') || name.find("$[") != std::string::npos;
  const TLetterDefaultRecord& d = LetterDefaultFor(v->Name);
  v->Guess = d.Guess;
  v->LowerLimit = d.LowerLimit;
  v->UpperLimit = d.UpperLimit;
  v->Value = BlankValue;
  v->GuessVariable = v->LowerVariable = v->UpperVariable = v->Block = 0;
  v->Style = d.Style;
  v->Digits = d.Digits;
  v->DisplayCode = 1;
  if (ReadingIncludedText || v->Style == 2) {
    v->DisplayCode = 0;
    v->Style = 3;
  }
  if (v->IsString) {
    v->Style = 4;
    v->Digits = 0;
    v->Guess = 1;
    v->Value = 1;  // the first string constant, "??"
  }
  v->Units = d.Units;
  v->UnknownPosition = 0;
  v->ArrayRow = -32766;
  v->ArrayColumn = 0;
  v->Mark = 0;
  v->UnitsInferred = 0;

  v->UpperName = UpperCaseName(v->Name);
  int32_t slot = VarHashSlot(v->UpperName);
  if (!v->IsString && !v->UpperName.empty() && v->UpperName.back() == ']') {
    // An array element takes the units of the first variable of its array.
    auto first = unit->FirstOfStem.find(TextBeforeBracket(v->UpperName));
    if (first != unit->FirstOfStem.end()) {
      const TVariableRecord* other = unit->VariableHandles[first->second];
      if (other != nullptr) {
        v->Units = other->Units;
        v->UnitsInferred = 0;
      }
    }
  }
  // Only an array element has a text before "[": a plain variable named
  // like the array (P beside P[1]) lends no units to its elements.
  if (v->UpperName.find('[') != std::string::npos) {
    unit->FirstOfStem.emplace(TextBeforeBracket(v->UpperName), unit->VariableCount);
  }
  SetNameHashSlot(unit, slot, unit->VariableCount);
  v->WindowWords = {0, 0};
  v->CommonVariable = 0;
  v->ScreenRect = DefaultScreenRect;
  v->Uncertainty = BlankValue;
  v->UncertaintyKind = -32760;
  v->UncertaintyIsRelative = 0;
  v->SpareByte = 0;
  v->MeasuredMark = 0;
  v->ComplexPart = 0;
  v->PartnerVariable = 0;

  if (unit != MainProgramUnit && MainProgramUnit != nullptr) {
    // A module variable named like a main-program variable starts from it.
    int32_t savedError = CalcErrorCode;
    CurrentProgramUnit = MainProgramUnit;
    int32_t m = FindVariable(v->Name);
    CurrentProgramUnit = unit;
    CalcErrorCode = savedError;
    if (m > 0) {
      const TVariableRecord* mv = MainProgramUnit->VariableHandles[m];
      v->Guess = mv->Guess;
      v->LowerLimit = mv->LowerLimit;
      v->UpperLimit = mv->UpperLimit;
      v->Units = mv->Units;
      v->UnitsInferred = 0;
    }
  }
}

void RegisterVariableUse(int32_t i, const std::string& name) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  TVariableRecord* v = unit->Variable(i);
  if (v == nullptr) return;
  if (v->UnknownPosition == 0 && !TrialCompile) {
    // Each variable enters the lists once per compile, so they cannot
    // overflow while the driver clears them at the start of a compile; the
    // bound guards a caller that did not.
    if (unit->UnknownCount < kMaxVariablesPerUnit && unit->UsedVariableCount < kMaxVariablesPerUnit) {
      unit->UnknownCount += 1;
      unit->UnknownList[unit->UnknownCount] = static_cast<int16_t>(i);
      v->UnknownPosition = unit->UnknownCount;
      if (!name.empty()) v->Name = CutName(name);
      unit->UsedVariableCount += 1;
      unit->UsedVariableList[unit->UsedVariableCount] = static_cast<int16_t>(i);
    }
  }
  if (TrialCompile && !name.empty()) v->Name = CutName(name);
}

void RemoveFromVarOrder(int32_t variableIndex) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  int32_t k = unit->UnknownCount;
  while (k >= 1 && unit->UnknownList[k] != variableIndex) --k;
  if (k < 1) return;
  for (int32_t j = k; j < unit->UnknownCount; ++j) {
    int16_t moved = unit->UnknownList[j + 1];
    unit->UnknownList[j] = moved;
    if (TVariableRecord* mv = unit->Variable(moved)) mv->UnknownPosition = static_cast<int16_t>(j);
  }
  unit->UnknownCount -= 1;
}

// --- Equations ------------------------------------------------------------------

bool TakeReusableEquation(const std::string& text) {
  TEquationRecord* prev = nullptr;
  TEquationRecord* r = ReusableEquations;
  // The chain is never longer than the records of one compile; the bound
  // guards against a cycle.
  for (int32_t guard = 0; r != nullptr && guard < 1000000; ++guard) {
    if (r->Text.has_value() && *r->Text == text) break;
    prev = r;
    r = r->Next;
  }
  if (r == nullptr || !r->Text.has_value() || *r->Text != text) return false;

  if (prev != nullptr) {
    prev->Next = r->Next;
  } else {
    ReusableEquations = r->Next;
  }
  *CurrentEquation = std::move(*r);
  delete r;  // only the record itself; its arrays and chains moved over

  TEquationRecord* e = CurrentEquation;
  if (CompilingFunctionIndex > 0) {
    // A statement taken over assigns the result as it did when compiled.
    if (e->Code.size() >= 2 && e->Code[0] == CodeLocalVariable && e->Code[1] == 0) {
      if (TRoutineRecord* routine = RoutineAt(CompilingFunctionIndex)) routine->ResultUsed = 1;
    }
    // Jumps are resolved again after the read; the old target may be gone.
    e->JumpTarget = nullptr;
  }
  if (CompilingFunctionIndex == 0) {
    const int32_t n = static_cast<int32_t>(e->Code.size());
    for (int32_t k = 0; k < n; ++k) {
      int32_t w = e->Code[k];
      if (w == -21) break;
      if ((w == -2 || w == -12) && k + 1 < n) {
        RegisterVariableUse(e->Code[k + 1], "");
        ++k;
      }
    }
  }
  for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
    RegisterVariableUse(t->IntegrationVariable, "");
  }
  e->SolvedAlone = 0;
  return true;
}

bool NewEquation(const std::string& text, int32_t line) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  TEquationRecord* e = nullptr;
  try {
    e = new TEquationRecord();
    // Room for a short statement up front; the blocks grow as code is emitted.
    e->Constants.reserve(5);
    e->StringOperands.reserve(5);
    e->Code.reserve(50);
  } catch (const std::bad_alloc&) {
    delete e;
    ReportAllocationFailure();
    return false;
  }
  CurrentEquation = e;
  bool taken = false;
  if (!TrialCompile) taken = TakeReusableEquation(text);
  if (!taken) SolutionAvailable = false;

  if (!TrialCompile && unit != nullptr) {
    if (unit->LastEquation != nullptr) {
      unit->LastEquation->Next = e;
    } else if (CompilingFunctionIndex > 0) {
      // A routine body's first statement starts the routine's own chain.
      if (TRoutineRecord* r = RoutineAt(CompilingFunctionIndex)) r->FirstStatement = e;
    } else {
      unit->FirstEquation = e;
    }
  }
  if (CompilingFunctionIndex == 0 && ModuleNesting == 0) MainStatementSeen = true;
  if (ModuleNesting > 0 && unit != nullptr) unit->HasModuleStatements = 1;
  LastSubstanceObject = nullptr;

  e->LineNumber = line;
  e->Next = nullptr;
  e->TextStart = CalcErrorStart;
  e->TextEnd = CalcErrorEnd + 1;
  e->NotFromWindow = ReadingIncludedText ? 1 : 0;
  if (!TrialCompile && unit != nullptr) unit->LastEquation = e;
  return taken;
}

void PrefixTildeToText(TEquationRecord* e) {
  if (e == nullptr || !e->Text.has_value()) return;
  if (!e->Text->empty() && (*e->Text)[0] == '~') return;
  e->Text = "~" + *e->Text;
}

void DisposeArgumentListChain(TArgumentListRecord*& head) {
  while (head != nullptr) {
    TArgumentListRecord* next = head->Next;
    delete head;
    head = next;
  }
}

void DisposeDuplicateDescription(TEquationRecord* h) {
  if (h == nullptr || h->DuplicateDescription == nullptr) return;
  TDuplicateDescription* d = h->DuplicateDescription;
  if (d->Equation != nullptr) {
    d->Equation->Next = nullptr;
    DisposeEquationRecord(d->Equation);
  }
  while (d->Loops != nullptr) {
    TDuplicateDescriptionLoop* next = d->Loops->Next;
    delete d->Loops;
    d->Loops = next;
  }
  delete d;
  h->DuplicateDescription = nullptr;
}

void DisposeEquationRecord(TEquationRecord*& h) {
  if (h == nullptr) return;
  TEquationRecord* e = h;
  TEquationRecord* next = e->Next;
  try {
    e->Text.reset();
    delete e->BranchPair;
    e->BranchPair = nullptr;
    std::vector<int32_t>().swap(e->Code);
    std::vector<Extended>().swap(e->Constants);
    std::vector<int32_t>().swap(e->StringOperands);
    DisposeDuplicateDescription(e);
    DisposeArgumentListChain(e->CallLists);
    DisposeArgumentListChain(e->BuiltinCallLists);
    DisposeSubstanceChain(e->SubstanceChain);
    DisposeIntegralTerms(e->IntegralTerms);
    DisposeSeriesChain(e->SeriesChain);
  } catch (...) {
    // A fault while freeing ends the disposal with the record partly freed.
    ThrottledBeep();
    return;
  }
  if (CurrentEquation == e) CurrentEquation = nullptr;
  h = next;
  delete e;
}

void DisposeEquationChain(TEquationRecord*& h) {
  while (h != nullptr) {
    TEquationRecord* before = h;
    DisposeEquationRecord(h);
    if (h == before) {  // the disposal failed; drop the rest rather than loop
      h = nullptr;
      return;
    }
  }
}

void PurgeMarkedEquations() {
  TEquationRecord* prev = nullptr;
  TEquationRecord* r = ReusableEquations;
  // A unit may hold more statements than variables (a set that is not
  // square); the bound only guards against a cycle.
  for (int32_t count = 0; r != nullptr && count < 1000000; ++count) {
    if (r->Text.has_value() && !r->Text->empty() && (*r->Text)[0] == '~') {
      TEquationRecord* next = r->Next;
      TEquationRecord* doomed = r;
      DisposeEquationRecord(doomed);
      if (prev != nullptr) prev->Next = next; else ReusableEquations = next;
      r = next;
    } else {
      prev = r;
      r = r->Next;
    }
  }
}

void RetainMainEquations() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  ReusableEquations = main->FirstEquation;
  main->FirstEquation = nullptr;
  main->LastEquation = nullptr;
  PurgeMarkedEquations();
}

void DisposeUnusedEquations() { DisposeEquationChain(ReusableEquations); }

void ReleaseRetainedEquations() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main != nullptr && main->FirstEquation == nullptr) {
    main->FirstEquation = ReusableEquations;
    ReusableEquations = nullptr;
    return;
  }
  DisposeEquationChain(ReusableEquations);
}

// --- Disposal of units ---------------------------------------------------------

void ClearVariableStore(TProgramUnitRecord* unit) {
  if (unit == nullptr) return;
  for (int32_t i = 1; i <= unit->VariableCount; ++i) {
    delete unit->VariableHandles[i];
    unit->VariableHandles[i] = nullptr;
  }
  unit->VariableCount = 0;
  unit->UsedVariableCount = 0;
  unit->UnknownCount = 0;
  ClearNameHash(unit);
}

void DisposeProgramUnit(TProgramUnitRecord* unit) {
  if (unit == nullptr) return;
  ClearVariableStore(unit);
  // Equations still linked (a library unit disposed at exit) go with it.
  unit->LastEquation = nullptr;
  DisposeEquationChain(unit->FirstEquation);
  if (unit->ArgumentList != nullptr) DisposeArgumentListChain(unit->ArgumentList);
  // The blocking's occurrence entries belong to the unit too.
  FreeUnitOccurrences(*unit);
  if (CurrentProgramUnit == unit) CurrentProgramUnit = MainProgramUnit;
  delete unit;
}

void DisposeModuleUnits() {
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) {
    TProgramUnitRecord* unit = ProgramUnitList[k];
    if (unit == nullptr) continue;
    if (!unit->IsLibraryUnit || ShuttingDown) {
      DisposeProgramUnit(unit);
      ProgramUnitList[k] = nullptr;
    } else {
      unit->Defined = 0;
    }
  }
  ProgramUnitList.erase(std::remove(ProgramUnitList.begin() + (ProgramUnitList.empty() ? 0 : 1),
                                    ProgramUnitList.end(), nullptr),
                        ProgramUnitList.end());
  // Kept library units move up; their index is their list position.
  for (size_t k = 0; k < ProgramUnitList.size(); ++k) {
    ProgramUnitList[k]->UnitIndex = static_cast<int16_t>(k);
  }
  if (MainProgramUnit != nullptr) MainProgramUnit->BlockStart = 0;
  if (CurrentProgramUnit == nullptr) CurrentProgramUnit = MainProgramUnit;
}

int32_t CompiledEquationsClears = 0;

void ClearCompiledEquations() {
  ++CompiledEquationsClears;
  // The document's routines go with its equations (library ones survive
  // until shutting down).
  CompactFunctionTable();
  if (PropertyCaches* caches = InstalledPropertyCaches()) caches->ClearStateCaches();

  // Retained records of a read in progress go too.
  DisposeEquationChain(ReusableEquations);

  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr) continue;
    if (unit->IsLibraryUnit && !ShuttingDown) continue;
    DisposeEquationChain(unit->FirstEquation);
    unit->LastEquation = nullptr;
    for (int32_t i = 1; i <= unit->VariableCount; ++i) {
      TVariableRecord* v = unit->VariableHandles[i];
      if (v == nullptr) continue;
      v->UnknownPosition = 0;
      v->ArrayRow = -32766;
    }
    // With every UnknownPosition cleared the lists are empty too.
    unit->UnknownCount = 0;
    unit->UsedVariableCount = 0;
    unit->EquationCount = 0;
    unit->CallValues.fill(BlankValue);
  }
  CurrentEquation = nullptr;
}

void ResetProgramStore() {
  ShuttingDown = true;
  ClearCompiledEquations();
  DisposeModuleUnits();
  ShuttingDown = false;
  for (TProgramUnitRecord* unit : ProgramUnitList) DisposeProgramUnit(unit);
  ProgramUnitList.clear();
  MainProgramUnit = nullptr;
  CurrentProgramUnit = nullptr;
  CurrentEquation = nullptr;
  ReusableEquations = nullptr;
  LetterDefaults = {};
  StoredLetterDefaults = {};
  DviFileName.clear();
  TrialCompile = false;
  CompilingFunctionIndex = 0;
  ModuleNesting = 0;
  ReadingIncludedText = false;
  CompileWithoutSolving = false;
  PendingUnits = {};
  DisposeArgumentListChain(PendingArgumentLists);
  DisposePendingTextPieces();
  EnsureMainProgramUnit();
}

}  // namespace voq
