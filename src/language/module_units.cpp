#include "language/module_units.h"

#include <algorithm>
#include <deque>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/text_utils.h"
#include "language/conditionals.h"
#include "language/header_text.h"
#include "language/duplicate_loops.h"
#include "language/export_after_run.h"
#include "language/reader_state.h"
#include "language/routine_calls.h"
#include "language/routine_reader.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/occurrence_lists.h"
#include "model/integral_slots.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/substance_base.h"
#include "properties/substance_factory.h"

namespace voq {

TProgramUnitRecord* UnbalancedUnit = nullptr;

namespace {

constexpr int32_t kUnitHelpContext = 361;

std::string UnitKindWord(const TProgramUnitRecord& unit) { return unit.IsSubprogram ? "Subprogram" : "Module"; }

// The index of the variable of the current unit, added when it is new; 0
// with an error set when it cannot be added.
int32_t FindOrAddUnitVariable(const std::string& name) {
  int32_t i = FindVariable(name);
  if (CalcErrorCode != 0) return 0;
  if (i > 0) return i;
  AddVariable(name);
  if (CalcErrorCode != 0) return 0;
  return CurrentProgramUnit->VariableCount;
}

int32_t FindOrAddMainVariable(const std::string& name) {
  TProgramUnitRecord* saved = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  const int32_t m = FindOrAddUnitVariable(name);
  CurrentProgramUnit = saved;
  return m;
}

// One formal parameter (a name, or a range X[a..b] expanded into its
// elements) of the header, appended as an input or an output.
void AddFormalParameter(TProgramUnitRecord& unit, const std::string& parameter, bool output) {
  std::vector<std::string> elements;
  int32_t firstCode = 0;
  if (parameter.find('[') != std::string::npos && parameter.find("..") != std::string::npos) {
    elements = ExpandArrayRange(parameter);
    if (CalcErrorCode != 0) return;
    firstCode = RangeArgumentCode(parameter);
  } else {
    elements.push_back(parameter);
  }
  for (size_t k = 0; k < elements.size(); ++k) {
    const std::string& name = elements[k];
    CheckVariableName(name);
    if (CalcErrorCode != 0) return;
    const int32_t i = FindOrAddUnitVariable(name);
    if (CalcErrorCode != 0 || i <= 0) return;
    if (unit.ArgumentList != nullptr) {
      unit.ArgumentList->Codes.push_back(output ? 0 : (k == 0 ? firstCode : -1));
      unit.ArgumentList->ArgumentCount += k == 0 ? 1 : 0;
    }
    if (output) {
      unit.OutputCount += 1;
    } else {
      unit.InputCount += 1;
    }
    const int32_t position = unit.InputCount + unit.OutputCount;
    if (position > kMaxUnitParameters) {
      SetMessageArg(1, std::to_string(kMaxUnitParameters));
      CalcErrorCode = kMsgModuleArgumentLimit;
      return;
    }
    if (output) unit.OutputList[static_cast<size_t>(unit.OutputCount)] = static_cast<int16_t>(i);
    unit.ParameterList[static_cast<size_t>(position)] = static_cast<int16_t>(i);
    unit.CallValues[static_cast<size_t>(position)] = BlankValue;
  }
}

// Reads the parameters of the header text after "(" (blanks removed).
void ReadHeaderParameters(TProgramUnitRecord& unit, const std::string& list) {
  std::string parameter;
  int32_t depth = 0;
  bool outputs = false;
  bool closed = false;
  for (size_t k = 0; k < list.size() && CalcErrorCode == 0; ++k) {
    const char c = list[k];
    if (c == '[' || c == '(') {
      ++depth;
    } else if (c == ']' || (c == ')' && depth > 0)) {
      --depth;
    } else if (depth == 0 && (c == ArgumentSeparator || c == ':' || c == ')')) {
      if (c == ':' && outputs) {
        CalcErrorCode = kMsgRoutineHeaderSyntax;
        return;
      }
      if (!parameter.empty()) AddFormalParameter(unit, parameter, outputs);
      parameter.clear();
      if (c == ':') {
        unit.HeaderHasColon = 1;
        outputs = true;
      } else if (c == ')') {
        if (!outputs) unit.HeaderHasColon = 0;
        closed = true;
        break;
      }
      continue;
    }
    parameter += c;
  }
  if (CalcErrorCode != 0) return;
  if (!closed) CalcErrorCode = outputs ? kMsgRoutineHeaderSyntax : kMsgProcedureColonMissing;
}

void ReadHeader(const std::string& trimmed, bool subprogram) {
  RepeatCounter = 0;
  const std::string header = trimmed.substr(0, kShortTextLength);
  const size_t keywordLength = subprogram ? 10 : 6;
  const std::string text = WithoutBlanks(trimmed.substr(keywordLength));
  const size_t open = text.find('(');
  if (open == std::string::npos || open == 0) {
    CalcErrorCode = kMsgRoutineHeaderSyntax;
    return;
  }
  const std::string name = text.substr(0, open);
  CheckVariableName(name);
  if (CalcErrorCode != 0) {
    CalcErrorCode = kMsgRoutineHeaderSyntax;
    return;
  }
  if (!LoadingLibrary) {
    CheckRoutineNameClash(name, true);
    if (CalcErrorCode != 0) return;
  }
  TProgramUnitRecord* unit = FindOrCreateModule(name);
  if (unit == nullptr || CalcErrorCode != 0) return;
  unit->BlockStart = CalcErrorStart;
  if (LoadingLibrary) unit->Title.clear();
  unit->UsedVariableCount = 0;
  unit->UnknownCount = 0;
  unit->EquationCount = 0;
  unit->CompiledThisPass = 1;
  unit->HeaderText = header;
  unit->HeaderLine = EquationLineNo;
  unit->IsSubprogram = subprogram ? 1 : 0;
  unit->HasModuleStatements = 0;
  unit->Name = CutName(name);
  unit->UpperName = UpperCaseName(unit->Name);
  unit->InputCount = 0;
  unit->OutputCount = 0;
  unit->HeaderHasColon = 0;
  unit->UnitClosed = 0;
  unit->UnitUnbalanced = 0;
  unit->UnitComplexMode = 0;
  unit->IsLibraryUnit = LoadingLibrary ? 1 : 0;
  // $COMMON links are made again by this reading's directives.
  unit->CommonVariables.clear();
  for (int32_t i = 1; i <= unit->VariableCount; ++i) {
    if (TVariableRecord* v = unit->Variable(i)) v->CommonVariable = 0;
  }
  // The unit's previous equations are offered for reuse in place of the
  // main program's, so that a body statement never takes a main-program
  // record of the same text; the unit's list is built anew.
  TEquationRecord* previous = unit->FirstEquation;
  unit->FirstEquation = nullptr;
  unit->LastEquation = nullptr;
  OpenUnitBodyReuse(previous);
  CurrentEquation = nullptr;
  CurrentProgramUnit = unit;
  ModuleNesting = unit->UnitIndex;

  ReadHeaderParameters(*unit, text.substr(open + 1));
}

// The last record of the main program's chain read so far, or none.
TEquationRecord* LastMainEquation() {
  if (MainProgramUnit == nullptr) return nullptr;
  TEquationRecord* last = MainProgramUnit->FirstEquation;
  for (int32_t n = 0; last != nullptr && last->Next != nullptr && n < 10000000; ++n) last = last->Next;
  return last;
}

int32_t CountEquations(const TProgramUnitRecord& unit) {
  int32_t n = 0;
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr && n < 10000000; e = e->Next) ++n;
  return n;
}

void CloseUnit() {
  TProgramUnitRecord* unit =
      ModuleNesting > 0 && ModuleNesting < static_cast<int32_t>(ProgramUnitList.size())
          ? ProgramUnitList[static_cast<size_t>(ModuleNesting)]
          : nullptr;
  ModuleNesting = 0;
  CloseUnitBodyReuse();
  if (unit == nullptr) {
    CurrentProgramUnit = MainProgramUnit;
    return;
  }
  CurrentProgramUnit = unit;
  unit->BlockEnd = CalcErrorStart;
  unit->EquationCount = static_cast<int16_t>(std::min(CountEquations(*unit), 32767));
  // The unit's integrals take their slots; their variables left the
  // unknowns when each INTEGRAL was compiled.
  int32_t slots = 0;
  AssignIntegrationVars(*unit, slots);
  const int32_t v = unit->UsedVariableCount;
  const int32_t e = unit->EquationCount;
  const int32_t i = unit->IntegralCount;
  if (!unit->HeaderHasColon) {
    const int32_t parameters = unit->InputCount;
    unit->InputCount = static_cast<int16_t>(std::clamp(v - e - i, -32768, 32767));
    unit->OutputCount = static_cast<int16_t>(std::clamp(parameters - (v - e - i), -32768, 32767));
    for (int32_t k = 1; k <= unit->OutputCount && unit->InputCount + k <= kMaxUnitParameters; ++k) {
      if (unit->InputCount + k >= 1)
        unit->OutputList[static_cast<size_t>(k)] = unit->ParameterList[static_cast<size_t>(unit->InputCount + k)];
    }
  }
  if (unit->InputCount <= 0 || unit->OutputCount <= 0 ||
      (e + unit->InputCount + i != v && !CompileWithoutSolving)) {
    CalcErrorCode = kMsgUnbalancedModule;
    unit->UnitUnbalanced = 1;
    UnbalancedUnit = unit;
  } else {
    for (int32_t k = 1; k <= unit->InputCount; ++k) {
      const int32_t input = unit->ParameterList[static_cast<size_t>(k)];
      RemoveFromVarOrder(input);
      if (TVariableRecord* var = unit->Variable(input)) var->UnknownPosition = kDeterminedVariable;
    }
    SortVariableOrder(1, unit->UsedVariableCount);
  }
  unit->UnitClosed = 1;
  CurrentProgramUnit = MainProgramUnit;
  if (MainProgramUnit != nullptr) MainProgramUnit->BlockStart = CalcErrorEnd + 1;
  // The main program's next statement is linked behind CurrentEquation.
  // Main statements may come before a unit: left empty, the next one would
  // start the main chain anew and drop (and leak) those compiled before.
  CurrentEquation = LastMainEquation();
}

// The unit of this read with the upper-case name, for a CALL: error 38 for
// the unit being compiled; units whose header this read did not meet (and
// that no library holds) do not exist.
TProgramUnitRecord* FindCalledUnit(const std::string& upperName) {
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) {
    TProgramUnitRecord* unit = ProgramUnitList[k];
    if (unit == nullptr || unit->UpperName != upperName) continue;
    if (unit == CurrentProgramUnit || (ModuleNesting > 0 && unit->UnitIndex == ModuleNesting)) {
      SetCalcErrorWithHelp(kMsgRecursion, kUnitHelpContext);
      return nullptr;
    }
    if (!unit->IsLibraryUnit && !unit->CompiledThisPass) continue;
    return unit;
  }
  return nullptr;
}

// Elements of one argument as written (a range counts its elements).
int32_t ArgumentElements(const std::string& argument) {
  if (argument.find("..") == std::string::npos) return 1;
  std::string probe = "X(" + argument + ")";
  const int32_t saved = CalcErrorCode;
  const TCallCounts counts = CountCallArguments(probe, 2, nullptr);
  if (CalcErrorCode != saved) return 1;
  return std::max(counts.InputsExpanded, 1);
}

// The 0-based position in the call where the inputs end: the colon, or,
// for a header without one, the separator after the unit's inputs (npos
// when the call has no more arguments).
size_t InputSplit(const std::string& call, size_t open, const TProgramUnitRecord& unit) {
  const int32_t colon = CallOutputColon(call);
  if (colon > 0) return static_cast<size_t>(colon) - 1;
  int32_t depth = 0;
  int32_t elements = 0;
  bool quoted = false;
  size_t start = open + 1;
  for (size_t k = open + 1; k < call.size(); ++k) {
    const char c = call[k];
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == '(' || c == '[') {
      ++depth;
    } else if ((c == ')' || c == ']') && depth > 0) {
      --depth;
    } else if (depth == 0 && (c == ArgumentSeparator || c == ')')) {
      elements += ArgumentElements(call.substr(start, k - start));
      if (elements >= unit.InputCount) return c == ')' ? std::string::npos : k;
      start = k + 1;
    }
  }
  return std::string::npos;
}

// The call's inputs and outputs, split as the unit's header splits them.
struct TSplitCounts {
  int32_t Inputs = 0;
  int32_t Outputs = 0;
  bool HasColon = false;
};

TSplitCounts CountUnitCallArguments(std::string& call, size_t open, const TProgramUnitRecord& unit,
                                    TArgumentListRecord* list) {
  TSplitCounts split;
  split.HasColon = CallOutputColon(call) > 0;
  const TCallCounts counts = CountCallArguments(call, static_cast<int32_t>(open) + 1, list);
  if (CalcErrorCode != 0) return split;
  split.Inputs = counts.InputsExpanded;
  split.Outputs = counts.OutputsExpanded;
  if (!unit.HeaderHasColon) {
    const int32_t all = counts.InputsExpanded + counts.OutputsExpanded;
    split.Inputs = unit.InputCount;
    split.Outputs = all - unit.InputCount;
  }
  return split;
}

// Errors 183 and 184 for a call whose counts do not fit the unit.
bool CallCountsFit(const TProgramUnitRecord& unit, const TSplitCounts& split) {
  if (unit.InputCount != split.Inputs) {
    SetMessageArg(1, UnitKindWord(unit));
    SetCalcErrorWithHelp(!split.HasColon && unit.HeaderHasColon ? kMsgCallColon : kMsgCallArgumentCount,
                         kUnitHelpContext);
    return false;
  }
  if (unit.OutputCount != split.Outputs) {
    SetMessageArg(1, UnitKindWord(unit));
    SetCalcErrorWithHelp(kMsgCallArgumentCount, kUnitHelpContext);
    return false;
  }
  return true;
}

void CompileGenerated(std::string statement, int32_t maxLength, const TStatementPosition& pos,
                      bool stringOutput) {
  RangeInCallArguments = true;
  StringOutputAssignment = stringOutput;
  CompileEquation(statement, maxLength, pos, true);
  StringOutputAssignment = false;
}

void AppendCallList(TEquationRecord* e, TArgumentListRecord* list) {
  TArgumentListRecord** tail = &e->CallLists;
  while (*tail != nullptr) tail = &(*tail)->Next;
  *tail = list;
}

TArgumentListRecord* CopyArgumentChain(const TArgumentListRecord* source) {
  TArgumentListRecord* head = nullptr;
  TArgumentListRecord** tail = &head;
  for (const TArgumentListRecord* l = source; l != nullptr; l = l->Next) {
    auto* copy = new TArgumentListRecord(*l);
    copy->Next = nullptr;
    *tail = copy;
    tail = &copy->Next;
  }
  return head;
}

// A new equation record at the end of the current unit's list that takes
// over no retained record.
bool NewCopiedEquation(const std::string& text, int32_t line) {
  TEquationRecord* retained = ReusableEquations;
  ReusableEquations = nullptr;
  NewEquation(text, line);
  ReusableEquations = retained;
  if (CalcErrorCode != 0 || CurrentEquation == nullptr) return false;
  CurrentEquation->Text = text;
  return true;
}

// The copy of one unit equation onto the merged variables (each unit
// variable's Block holds the index of its copy).
void CopyUnitEquation(const TProgramUnitRecord& unit, const TEquationRecord& source, const std::string& prefix,
                      int32_t line) {
  const std::string text = prefix + " " + source.Text.value_or("");
  if (!NewCopiedEquation(text, line)) return;
  TEquationRecord* e = CurrentEquation;
  e->NotFromWindow = 1;
  e->TrySolveAlone = source.TrySolveAlone;
  e->EquationKind = source.EquationKind;
  e->CalledUnit = source.CalledUnit;
  e->Constants = source.Constants;
  e->StringOperands = source.StringOperands;
  e->Code = source.Code;
  const int32_t n = static_cast<int32_t>(e->Code.size());
  for (int32_t k = 0; k + 1 < n; ++k) {
    const int32_t w = e->Code[static_cast<size_t>(k)];
    if (w == CodeOutputList) break;
    if (!OperandHasIndex(w)) continue;
    if (w == CodeVariable || w == CodeComplexVariable) {
      int32_t& index = e->Code[static_cast<size_t>(k) + 1];
      const TVariableRecord* v = unit.Variable(index);
      if (v == nullptr || v->Block <= 0) {
        CalcErrorCode = kMsgSyntaxError;
        return;
      }
      index = v->Block;
    }
    ++k;
  }
  try {
    e->CallLists = CopyArgumentChain(source.CallLists);
    e->BuiltinCallLists = CopyArgumentChain(source.BuiltinCallLists);
    TIntegralTermRecord** termTail = &e->IntegralTerms;
    for (const TIntegralTermRecord* t = source.IntegralTerms; t != nullptr; t = t->Next) {
      auto* copy = new TIntegralTermRecord(*t);
      copy->Next = nullptr;
      const TVariableRecord* v = unit.Variable(t->IntegrationVariable);
      copy->IntegrationVariable = v != nullptr ? v->Block : 0;
      *termTail = copy;
      termTail = &copy->Next;
    }
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return;
  }
  // Each copy evaluates its property calls with objects of its own.
  TSubstanceBase** objectTail = &e->SubstanceChain;
  for (const TSubstanceBase* s = source.SubstanceChain; s != nullptr; s = s->Next) {
    TSubstanceBase* object = nullptr;
    CreatePropertyObject(s->SubstanceCode, object);
    if (object == nullptr) {
      if (CalcErrorCode == 0) ReportOutOfMemory();
      return;
    }
    object->ServedOpcode = s->ServedOpcode;
    object->HelpContext = s->HelpContext;
    object->NameStringIndex = s->NameStringIndex;
    object->ArgCount = s->ArgCount;
    object->ArgKind = s->ArgKind;
    object->Next = nullptr;
    *objectTail = object;
    objectTail = &object->Next;
  }
  if (!TrialCompile && MainProgramUnit != nullptr) MainProgramUnit->EquationCount += 1;
}

void MergeModuleCall(TProgramUnitRecord& unit, const std::string& call, size_t open, int32_t maxLength,
                     const TStatementPosition& pos) {
  TProgramUnitRecord* main = MainProgramUnit;
  unit.Defined = 1;
  unit.Merged = 1;
  if (unit.CallerIndex == 0 && CurrentProgramUnit != nullptr) unit.CallerIndex = CurrentProgramUnit->UnitIndex;
  std::string counted = call;
  const TSplitCounts split = CountUnitCallArguments(counted, open, unit, nullptr);
  if (CalcErrorCode != 0) return;
  if (!CallCountsFit(unit, split)) return;

  unit.CallCount += 1;
  const int32_t n = unit.CallCount;
  unit.CallTexts.push_back("CALL " + call);
  const std::string savedLetters = LetterSet;
  if (LetterSet.find('@') == std::string::npos) LetterSet += "@";
  struct RestoreLetters {
    const std::string& saved;
    ~RestoreLetters() { LetterSet = saved; }
  } restore{savedLetters};

  // The variables met in this reading (and those $COMMON names) get copies.
  std::vector<int32_t> copied;
  for (int32_t i = 1; i <= unit.VariableCount && CalcErrorCode == 0; ++i) {
    TVariableRecord* uv = unit.Variable(i);
    if (uv == nullptr || (uv->UnknownPosition == 0 && uv->CommonVariable <= 0)) continue;
    const std::string copyName = MergedVariableName(unit.UnitIndex, n, uv->Name);
    CurrentProgramUnit = main;
    if (uv->CommonVariable >= 1 && uv->CommonVariable <= main->VariableCount) {
      CompileGenerated(copyName + "=" + main->Variable(uv->CommonVariable)->Name, maxLength, pos, false);
      if (CalcErrorCode != 0) return;
      if (TEquationRecord* e = CurrentEquation) {
        e->NotFromWindow = 1;
        e->TrySolveAlone = 0;
        e->EquationKind = 2;
      }
    }
    const int32_t c = FindOrAddUnitVariable(copyName);
    if (CalcErrorCode != 0 || c <= 0) return;
    TVariableRecord* cv = main->Variable(c);
    cv->Value = uv->Value;
    cv->Guess = uv->Guess;
    cv->LowerLimit = uv->LowerLimit;
    cv->UpperLimit = uv->UpperLimit;
    cv->Units = uv->Units;
    cv->UnitsInferred = 0;
    cv->Style = uv->Style;
    cv->Digits = uv->Digits;
    RegisterVariableUse(c, copyName);
    cv->Block = static_cast<int16_t>(i);
    uv->Block = static_cast<int16_t>(c);
    copied.push_back(i);
  }
  // Limits given by other variables name their copies.
  auto copyOf = [&unit](int16_t k) -> int16_t {
    const TVariableRecord* v = unit.Variable(k);
    return v != nullptr && v->UnknownPosition != 0 ? v->Block : 0;
  };
  for (int32_t i : copied) {
    const TVariableRecord* uv = unit.Variable(i);
    TVariableRecord* cv = main->Variable(uv->Block);
    if (cv == nullptr) continue;
    cv->GuessVariable = copyOf(uv->GuessVariable);
    cv->LowerVariable = copyOf(uv->LowerVariable);
    cv->UpperVariable = copyOf(uv->UpperVariable);
  }

  // Tie every formal parameter's copy to its argument.
  auto* list = new (std::nothrow) TArgumentListRecord;
  if (list == nullptr) {
    ReportOutOfMemory();
    return;
  }
  list->Kind = -20;
  list->Name = unit.Name;
  list->InputCount = unit.InputCount;
  list->OutputCount = unit.OutputCount;
  std::string arguments = call.substr(open + 1);
  MarkRanges(arguments);
  std::deque<std::string> pending;
  std::vector<int32_t> keptWords;
  std::vector<Extended> keptConstants;
  std::vector<int32_t> keptStrings;
  TEquationRecord* last = nullptr;
  const int32_t parameters = unit.InputCount + unit.OutputCount;
  for (int32_t k = 1; k <= parameters; ++k) {
    std::string argument;
    int32_t code = 0;
    ExpandArrayRangeList(pending, argument, arguments, code);
    if (CalcErrorCode == 0 && argument.empty()) {
      SetMessageArg(1, UnitKindWord(unit));
      SetCalcErrorWithHelp(kMsgCallArgumentCount, kUnitHelpContext);
    }
    if (CalcErrorCode != 0) break;
    list->Codes.push_back(code);
    UnmarkRanges(argument);
    const TVariableRecord* formal = unit.Variable(unit.ParameterList[static_cast<size_t>(k)]);
    if (formal == nullptr) {
      CalcErrorCode = kMsgSyntaxError;
      break;
    }
    const std::string copyName = MergedVariableName(unit.UnitIndex, n, formal->Name);
    CurrentProgramUnit = main;
    // A string parameter may be tied to any string expression.
    CompileGenerated(copyName + "=" + argument, maxLength, pos, true);
    TEquationRecord* e = CurrentEquation;
    if (CalcErrorCode != 0 || e == nullptr) break;
    e->NotFromWindow = 1;
    e->TrySolveAlone = 0;
    e->EquationKind = 2;
    const std::vector<int32_t>& words = e->Code;
    if (words.size() >= 4 && words[0] == CodeVariable && words[2] == CodeVariable) {
      TVariableRecord* first = main->Variable(words[1]);
      const TVariableRecord* second = main->Variable(words[3]);
      if (first != nullptr && second != nullptr) {
        first->Guess = second->Guess;
        first->LowerLimit = std::max(first->LowerLimit, second->LowerLimit);
        first->UpperLimit = std::min(first->UpperLimit, second->UpperLimit);
      }
    }
    for (size_t w = 2; w + 1 < words.size(); ++w) {
      if (words[w] == CodeOutputList) break;
      keptWords.push_back(static_cast<int16_t>(words[w]));
    }
    keptConstants.insert(keptConstants.end(), e->Constants.begin(), e->Constants.end());
    keptStrings.insert(keptStrings.end(), e->StringOperands.begin(), e->StringOperands.end());
    last = e;
  }
  if (CalcErrorCode != 0 || last == nullptr) {
    delete list;
    return;
  }
  // The last tie equation stands for the CALL statement itself; the code
  // after -21 lets displays rebuild the call and is never evaluated.
  last->NotFromWindow = 0;
  AppendCallList(last, list);
  if (last->CalledUnit >= 0) {
    last->CalledUnit = -unit.UnitIndex;
    last->Code.push_back(CodeOutputList);
    last->Code.insert(last->Code.end(), keptWords.begin(), keptWords.end());
    last->Code.push_back(CodeOutputListEnd);
    last->Constants.insert(last->Constants.end(), keptConstants.begin(), keptConstants.end());
    last->StringOperands.insert(last->StringOperands.end(), keptStrings.begin(), keptStrings.end());
  }

  // The unit's equations on the copies.
  const std::string prefix = "@" + std::to_string(unit.UnitIndex) + "\\" + std::to_string(n) + ":";
  CurrentProgramUnit = main;
  for (const TEquationRecord* source = unit.FirstEquation; source != nullptr && CalcErrorCode == 0;
       source = source->Next) {
    CopyUnitEquation(unit, *source, prefix, pos.Line);
  }
}

}  // namespace

std::string MergedVariableName(int32_t unitIndex, int32_t callNumber, const std::string& name) {
  return CutName("@" + std::to_string(unitIndex) + "\\" + std::to_string(callNumber) + "." + name);
}

bool IsUnitHeader(const std::string& statement) {
  std::string trimmed = statement;
  TrimShort(trimmed, INT32_MAX);
  const std::string upper = UpperCaseText(trimmed.substr(0, 11));
  return StartsWithKeyword(upper, "SUBPROGRAM") || StartsWithKeyword(upper, "MODULE");
}

void ProcessModuleStatement(std::string& statement, bool& handled) {
  handled = false;
  std::string trimmed = statement;
  TrimShort(trimmed, INT32_MAX);
  const std::string upper = UpperCaseText(trimmed);
  const bool subprogram = StartsWithKeyword(upper, "SUBPROGRAM");
  if (subprogram || StartsWithKeyword(upper, "MODULE")) {
    if (CompilingFunctionIndex > 0 || ModuleNesting > 0) {
      CalcErrorCode = kMsgNestedRoutines;
      return;
    }
    handled = true;
    const std::string keyword = subprogram ? "SUBPROGRAM" : "MODULE";
    SyncVariableNameCase(trimmed.substr(0, keyword.size()), keyword, CalcErrorStart < 0 ? -1 : CalcErrorStart,
                         kKeywordNameCase);
    ReadHeader(trimmed, subprogram);
    if (CalcErrorCode != 0) CurrentProgramUnit = MainProgramUnit;
    return;
  }
  const bool isEnd = upper.starts_with("END") && (upper.size() == 3 || upper[3] == ' ' || upper[3] == '{');
  if (!isEnd || DuplicateLoopOpen()) return;
  if (ModuleNesting <= 0) {
    CalcErrorCode = kMsgMisplacedEnd;
    return;
  }
  handled = true;
  SyncVariableNameCase(trimmed.substr(0, 3), "END", CalcErrorStart < 0 ? -1 : CalcErrorStart, kKeywordNameCase);
  CloseUnit();
}

bool CompileUnitCall(std::string& call, int32_t maxLength, const TStatementPosition& pos) {
  const size_t open = call.find('(');
  if (open == std::string::npos || open == 0) return false;
  TProgramUnitRecord* unit = FindCalledUnit(UpperCaseName(call.substr(0, open)));
  if (CalcErrorCode != 0) return true;
  if (unit == nullptr) return false;

  // The unit is solved on its own: it needs the blocking's arrays.
  try {
    if (unit->RowHeads.empty()) {
      unit->RowHeads.assign(kMaxVariablesPerUnit + 1, nullptr);
      unit->ColumnHeads.assign(kMaxVariablesPerUnit + 1, nullptr);
      unit->ColumnMarks.assign(kMaxVariablesPerUnit + 1, 0);
      unit->BlockEnds.assign(kMaxVariablesPerUnit + 1, 0);
    } else {
      FreeUnitOccurrences(*unit);
    }
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return true;
  }
  unit->BlockCount = 0;
  unit->Defined = 1;
  unit->Merged = 0;
  if (CurrentProgramUnit != nullptr) unit->CallerIndex = CurrentProgramUnit->UnitIndex;

  auto* list = new (std::nothrow) TArgumentListRecord;
  if (list == nullptr) {
    ReportOutOfMemory();
    return true;
  }
  list->Kind = -20;
  list->Name = unit->Name;
  std::string counted = call;
  const TSplitCounts split = CountUnitCallArguments(counted, open, *unit, list);
  if (CalcErrorCode != 0 || !CallCountsFit(*unit, split)) {
    delete list;
    return true;
  }
  const size_t cut = InputSplit(call, open, *unit);
  if (cut == std::string::npos) {
    delete list;
    SetMessageArg(1, UnitKindWord(*unit));
    SetCalcErrorWithHelp(unit->HeaderHasColon ? kMsgCallColon : kMsgCallArgumentCount, kUnitHelpContext);
    return true;
  }
  const std::string inputs = call.substr(0, cut);
  std::string outputs = call.substr(cut + 1);
  MarkRanges(outputs);
  const std::string assign = CompilingFunctionIndex > 0 ? ":=" : "=";
  std::deque<std::string> pending;
  for (int32_t k = 1; k <= unit->OutputCount; ++k) {
    std::string output;
    int32_t code = 0;
    ExpandArrayRangeList(pending, output, outputs, code);
    if (CalcErrorCode != 0 || output.empty()) {
      delete list;
      SetMessageArg(1, UnitKindWord(*unit));
      CalcErrorCode = 0;
      SetCalcErrorWithHelp(kMsgCallArgumentCount, kUnitHelpContext);
      return true;
    }
    UnmarkRanges(output);
    const std::string statement =
        output + assign + inputs + std::string(1, ArgumentSeparator) + std::to_string(k) + ")";
    CompileGenerated(statement, maxLength, pos, output.back() == '$');
    TEquationRecord* e = CurrentEquation;
    if (e != nullptr) {
      e->TrySolveAlone = 0;
      e->EquationKind = 2;
    }
    if (CalcErrorCode != 0) {
      delete list;
      return true;
    }
    if (k == 1) LinkPendingStatement(PendingIfNode);
    if (k == unit->OutputCount && e != nullptr) {
      list->InputCount = unit->InputCount;
      list->OutputCount = unit->OutputCount;
      AppendCallList(e, list);
      list = nullptr;
    }
  }
  delete list;
  return true;
}

bool CompileModuleCall(std::string& call, int32_t maxLength, const TStatementPosition& pos) {
  const size_t open = call.find('(');
  if (open == std::string::npos || open == 0) return false;
  TProgramUnitRecord* unit = FindCalledUnit(UpperCaseName(call.substr(0, open)));
  if (CalcErrorCode != 0) return true;
  if (unit == nullptr) return false;
  if (unit->IsSubprogram) return CompileUnitCall(call, maxLength, pos);
  if (Preferences.ComplexMode != 0) {
    SetCalcErrorWithHelp(kMsgComplexModules, kUnitHelpContext);
    return true;
  }
  if (unit->IntegralCount > 0) return CompileUnitCall(call, maxLength, pos);
  TProgramUnitRecord* caller = CurrentProgramUnit;
  MergeModuleCall(*unit, call, open, maxLength, pos);
  CurrentProgramUnit = caller;
  return true;
}

bool CompileUnitCallStatement(std::string& call, int32_t maxLength, const TStatementPosition& pos, bool fromUnit) {
  return fromUnit ? CompileUnitCall(call, maxLength, pos) : CompileModuleCall(call, maxLength, pos);
}

// --- $COMMON -------------------------------------------------------------------------

namespace {

// Position (1-based) of the first separator outside square brackets, 0 when none.
int32_t NextListItem(const std::string& text) {
  int32_t brackets = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '[') {
      ++brackets;
    } else if (text[k] == ']') {
      --brackets;
    } else if (text[k] == ArgumentSeparator && brackets == 0) {
      return static_cast<int32_t>(k) + 1;
    }
  }
  return 0;
}

// The names of a $COMMON list, ranges expanded.
std::vector<std::string> CommonNames(const std::string& list) {
  std::vector<std::string> names;
  std::string rest = list;
  while (!rest.empty() && CalcErrorCode == 0) {
    const int32_t cut = NextListItem(rest);
    const std::string item = cut > 0 ? rest.substr(0, static_cast<size_t>(cut) - 1) : rest;
    rest = cut > 0 ? rest.substr(static_cast<size_t>(cut)) : std::string();
    if (item.empty()) continue;
    if (item.find("..") != std::string::npos) {
      const std::vector<std::string> elements = ExpandArrayRange(item);
      if (CalcErrorCode != 0) break;
      names.insert(names.end(), elements.begin(), elements.end());
    } else {
      CheckVariableName(item);
      if (CalcErrorCode != 0) break;
      names.push_back(item);
    }
  }
  return names;
}

}  // namespace

void ProcessCommonDirective(std::string& statement, bool& handled) {
  handled = false;
  std::string trimmed = statement;
  TrimShort(trimmed, INT32_MAX);
  if (trimmed.empty() || trimmed[0] != '$') return;
  const std::string upper = UpperCaseText(trimmed.substr(1));
  if (!upper.starts_with("COMMON")) return;
  handled = true;
  if (LoadingLibrary) {
    CalcErrorCode = kMsgCommonInLibrary;
    return;
  }
  const std::string list = WithoutBlanks(trimmed.substr(7));
  if (CompilingFunctionIndex > 0) {
    CommonInRoutine(list);
  } else if (ModuleNesting > 0) {
    CommonInModule(list);
  }
}

void CommonInModule(const std::string& list) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr || unit == MainProgramUnit) return;
  if (unit->HasModuleStatements) {
    SetMessageArg(1, UnitKindWord(*unit) + " " + unit->Name);
    CalcErrorCode = kMsgCommonNotFirst;
    return;
  }
  const std::vector<std::string> names = CommonNames(list);
  for (const std::string& name : names) {
    if (CalcErrorCode != 0) return;
    const int32_t m = FindOrAddMainVariable(name);
    if (CalcErrorCode != 0 || m <= 0) return;
    const int32_t u = FindOrAddUnitVariable(name);
    if (CalcErrorCode != 0 || u <= 0) return;
    TVariableRecord* v = unit->Variable(u);
    if (std::find(unit->CommonVariables.begin(), unit->CommonVariables.end(), u) == unit->CommonVariables.end())
      unit->CommonVariables.push_back(static_cast<int16_t>(u));
    v->CommonVariable = static_cast<int16_t>(m);
    RemoveFromVarOrder(u);
    v->UnknownPosition = kDeterminedVariable;
  }
}

void CommonInRoutine(const std::string& list) {
  const int32_t slot = CompilingFunctionIndex;
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) return;
  const std::vector<std::string> names = CommonNames(list);
  for (const std::string& name : names) {
    if (CalcErrorCode != 0) return;
    const int32_t m = FindOrAddMainVariable(name);
    if (CalcErrorCode != 0 || m <= 0) return;
    bool linked = false;
    for (const TLocalVariableRecord* l = r->Locals; l != nullptr && !linked; l = l->Next) {
      linked = l->LocalNumber == -m;
    }
    if (linked) continue;
    TLocalVariableRecord* l = AppendLocal(*r, slot, -m, name);
    if (l == nullptr) return;
    const TVariableRecord* v = MainProgramUnit->Variable(m);
    l->Units = v->Units;
    l->Style = v->Style;
    l->Digits = v->Digits;
    l->DisplayCode = v->DisplayCode;
    r->UsesCommon = 1;
  }
}

// --- Variable order ------------------------------------------------------------------

namespace {

// The subscripts of a name as one number: each part after "[" up to a
// separator or the "]" shifts the key by four decimal places.
Extended SubscriptKey(const std::string& upperName) {
  Extended key = 0;
  const size_t open = upperName.find('[');
  if (open == std::string::npos) return key;
  std::string part;
  for (size_t i = open + 1; i < upperName.size(); ++i) {
    const char c = upperName[i];
    if (c == ArgumentSeparator || c == ']') {
      Extended value = 0;
      if (!TryStrToReal(part, value)) value = 0;
      key = key * 10000 + value;
      part.clear();
      if (c == ']') break;
    } else {
      part += c;
    }
  }
  return key;
}

bool ComesBefore(const std::string& a, const std::string& b) {
  const size_t ia = a.find('[');
  const size_t ib = b.find('[');
  if (ia != std::string::npos && ib != std::string::npos) {
    const std::string baseA = a.substr(0, ia);
    const std::string baseB = b.substr(0, ib);
    if (baseA == baseB) return SubscriptKey(a) < SubscriptKey(b);
    return baseA < baseB;
  }
  return a < b;
}

}  // namespace

void SortVariableOrder(int32_t low, int32_t high) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr || low < 1 || high > unit->UsedVariableCount || low >= high) return;
  auto first = unit->UsedVariableList.begin() + low;
  auto last = unit->UsedVariableList.begin() + high + 1;
  auto upperName = [unit](int16_t i) -> const std::string& {
    static const std::string none;
    const TVariableRecord* v = unit->Variable(i);
    return v != nullptr ? v->UpperName : none;
  };
  std::stable_sort(first, last, [&](int16_t a, int16_t b) { return ComesBefore(upperName(a), upperName(b)); });
}

bool ModuleBodyIsOpen() { return ModuleNesting > 0; }

void BeginModuleRead() { UnbalancedUnit = nullptr; }

void ResetModuleUnitState() { UnbalancedUnit = nullptr; }

}  // namespace voq
