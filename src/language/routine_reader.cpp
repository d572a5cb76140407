#include "language/routine_reader.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/conditionals.h"
#include "language/header_text.h"
#include "language/duplicate_loops.h"
#include "language/function_calls.h"
#include "language/language_services.h"
#include "language/operands.h"
#include "language/reader_state.h"
#include "language/statement_compiler.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

// The first "]" of a range text kept as a string constant.
constexpr char kRangeEndMark = static_cast<char>(11);

// The string constant that stands for a range in an argument list: the
// range text with ".." kept, its first "[" as "_" and its first "]" as
// byte 11.
int32_t RangeTextCode(const std::string& argument) {
  std::string marked;
  marked.reserve(argument.size() + 1);
  for (char c : argument) {
    if (c == kRangeMark) {
      marked += "..";
    } else {
      marked += c;
    }
  }
  const size_t open = marked.find('[');
  if (open != std::string::npos) marked[open] = '_';
  const size_t close = marked.find(']');
  if (close != std::string::npos) marked[close] = kRangeEndMark;
  return StringConstIndex(marked);
}

std::string ShownRange(const std::string& argument) {
  std::string shown;
  for (char c : argument) {
    if (c == kRangeMark) {
      shown += "..";
    } else {
      shown += c;
    }
  }
  return shown;
}

// Appends the elements of a name holding ranges, the first range varying
// slowest (row order). False with an error set.
bool ExpandRangeName(const std::string& argument, const std::string& whole,
                     std::vector<std::string>& elements) {
  const size_t dots = argument.find(kRangeMark);
  if (dots == std::string::npos) {
    if (static_cast<int32_t>(elements.size()) >= kMaxRangeElements) {
      SetMessageArg(1, ShownRange(whole));
      SetMessageArg(2, std::to_string(kMaxRangeElements));
      CalcErrorCode = kMsgTooManyArguments;
      return false;
    }
    elements.push_back(argument);
    return true;
  }
  const std::string openers = std::string("[") + ArgumentSeparator;
  const std::string closers = std::string("]") + ArgumentSeparator;
  const size_t open = dots == 0 ? std::string::npos : argument.find_last_of(openers, dots - 1);
  const size_t close = argument.find_first_of(closers, dots + 1);
  if (open == std::string::npos || close == std::string::npos) {
    CalcErrorCode = kMsgIllegalSubscript;
    return false;
  }
  const int32_t saved = CalcErrorCode;
  const int64_t lo = EvalIndexExpression(argument.substr(open + 1, dots - open - 1), "");
  const int64_t hi = CalcErrorCode == saved ? EvalIndexExpression(argument.substr(dots + 1, close - dots - 1), "") : 0;
  if (CalcErrorCode != saved) {
    CalcErrorCode = kMsgIllegalSubscript;
    return false;
  }
  if (hi - lo + 1 > kMaxRangeElements) {
    SetMessageArg(1, ShownRange(whole));
    SetMessageArg(2, std::to_string(kMaxRangeElements));
    CalcErrorCode = kMsgTooManyArguments;
    return false;
  }
  const std::string before = argument.substr(0, open + 1);
  const std::string after = argument.substr(close);
  for (int64_t k = lo; k <= hi; ++k) {
    if (!ExpandRangeName(before + std::to_string(k) + after, whole, elements)) return false;
  }
  return true;
}

// Locals of the routine being compiled, for the operand compiler: found
// along the routine's chain, a new name appended to it.
class RoutineLocalsImpl final : public RoutineLocals {
 public:
  bool FindLocalVariable(const std::string& upperName, Extended& value) override {
    int32_t flag = 0;
    TLocalVariableRecord* found = nullptr;
    const int32_t savedError = CalcErrorCode;
    voq::FindLocalVariable(upperName, CompilingFunctionIndex, flag, value, &found);
    // The caller judges subscripts itself (481 is its answer too).
    CalcErrorCode = savedError;
    return found != nullptr;
  }
  int32_t FindOrAddLocalVariable(const std::string& name, int32_t position) override;
  std::vector<std::string> ExpandRange(const std::string& name) override {
    std::string text;
    for (size_t k = 0; k < name.size(); ++k) {
      if (name[k] == '.' && k + 1 < name.size() && name[k + 1] == '.') {
        text += kRangeMark;
        ++k;
      } else {
        text += name[k];
      }
    }
    std::vector<std::string> elements;
    std::deque<std::string> pending;
    std::string element;
    int32_t code = 0;
    ExpandArrayRangeList(pending, element, text, code);
    if (CalcErrorCode > 0) return {};
    if (!element.empty()) elements.push_back(element);
    while (!pending.empty()) {
      elements.push_back(pending.front());
      pending.pop_front();
    }
    return elements;
  }
  void MarkUsesTableRun(int32_t routineSlot) override {
    if (TRoutineRecord* r = RoutineAt(routineSlot)) r->NeverReuse = 1;
  }
};

RoutineLocalsImpl routineLocals;
const RoutineNameSources kNoRoutineNames;
const RoutineNameSources* routineNames = &kNoRoutineNames;

}  // namespace

namespace {

// The main program's retained statements while a body is read: the body
// offers its own previous statements in their place (ReusableEquations).
TEquationRecord* savedReusableEquations = nullptr;
bool bodyReuseOpen = false;
// The whole PROCEDURE statement as typed while it is read as a FUNCTION
// header: its stored header text keeps the keyword, so that a FUNCTION and a
// PROCEDURE with the same list never share a kept record.
const std::string* procedureHeaderText = nullptr;
// The last header made a new record (false: an unchanged record was kept).
bool lastHeaderNew = false;

int32_t WindowPosition() { return CalcErrorStart < 0 ? -1 : CalcErrorStart; }

// Ends the body's offer of its previous statements: those not taken over go,
// and the main program's retained statements are offered again.
void CloseBodyReuse() {
  if (!bodyReuseOpen) return;
  DisposeEquationChain(ReusableEquations);
  ReusableEquations = savedReusableEquations;
  savedReusableEquations = nullptr;
  bodyReuseOpen = false;
}

void OpenBodyReuse(TEquationRecord* previousStatements) {
  CloseBodyReuse();
  savedReusableEquations = ReusableEquations;
  ReusableEquations = previousStatements;
  bodyReuseOpen = true;
}

// The number of outputs a PROCEDURE header lists after its colon (ranges
// counted element by element, an open upper bound as 100) and the groups as
// written. False with error 84 or 339.
bool CountHeaderOutputs(const std::string& text, int32_t& outputs, int32_t& groups) {
  outputs = 0;
  groups = 0;
  auto integerValue = [](const std::string& t, int64_t& v) {
    if (t.empty() || t.size() > 9) return false;
    for (char d : t) {
      if (d < '0' || d > '9') return false;
    }
    v = std::stoll(t);
    return true;
  };
  auto malformed = [] {
    SetCalcErrorWithHelp(kMsgCallProcedureArgumentCount, 148);
    return false;
  };
  int32_t brackets = 0;
  size_t open = 0;
  size_t k = 0;
  for (; k < text.size(); ++k) {
    const char c = text[k];
    if (c == ')' && brackets == 0) break;
    if (c == '[') {
      if (brackets++ == 0) open = k;
    } else if (c == ']') {
      if (--brackets != 0) continue;
      // The elements of the bracket pair: the product over its ranges.
      const std::string inside = text.substr(open + 1, k - open - 1);
      if (inside.find("..") == std::string::npos) continue;
      int64_t elements = 1;
      size_t from = 0;
      while (from <= inside.size()) {
        size_t end = inside.find(ArgumentSeparator, from);
        if (end == std::string::npos) end = inside.size();
        const std::string subscript = inside.substr(from, end - from);
        const size_t dots = subscript.find("..");
        if (dots != std::string::npos) {
          int64_t lo = 0;
          int64_t hi = 0;
          if (!integerValue(subscript.substr(0, dots), lo)) return malformed();
          if (!integerValue(subscript.substr(dots + 2), hi)) hi = 100;
          elements = std::min<int64_t>(elements * std::max<int64_t>(hi - lo + 1, 0), kMaxRangeElements);
        }
        from = end + 1;
      }
      outputs += static_cast<int32_t>(elements) - 1;
    } else if (c == ArgumentSeparator && brackets == 0) {
      ++outputs;
      ++groups;
    } else if (c == '.' && k + 1 < text.size() && text[k + 1] == '.' && brackets == 0) {
      return malformed();  // a range outside brackets
    }
  }
  if (k >= text.size()) {
    CalcErrorCode = kMsgMissingDelimiter;
    return false;
  }
  if (brackets != 0) return malformed();
  outputs += 1;
  groups += 1;
  return true;
}

}  // namespace

void ProcessFunctionStatement(std::string& statement, bool& handled) {
  handled = false;
  std::string trimmed = statement;
  TrimShort(trimmed, INT32_MAX);
  const std::string upper = UpperCaseText(trimmed);

  if (StartsWithKeyword(upper, "FUNCTION")) {
    if (CompilingFunctionIndex >= 1 || ModuleNesting > 0) {
      CalcErrorCode = kMsgNestedRoutines;
      return;
    }
    if (MainStatementSeen) {
      CalcErrorCode = kMsgRoutinesFirst;
      return;
    }
    ResetRoutineConditionals();
    if (procedureHeaderText == nullptr) {
      SyncVariableNameCase(trimmed.substr(0, 8), "FUNCTION", WindowPosition(), kKeywordNameCase);
    }
    statement = trimmed;
    ParseRoutineHeader(statement);
    if (CalcErrorCode != 0) return;
    if (TRoutineRecord* r = RoutineAt(CompilingFunctionIndex)) r->Defined = 1;
    ResetRoutineConditionals();
    handled = true;
    return;
  }

  // END, after an optional label "n:".
  std::string label;
  std::string rest = trimmed;
  const size_t colon = trimmed.find(':');
  if (colon != std::string::npos) {
    bool digitsOnly = true;
    bool anyDigit = false;
    for (size_t k = 0; k < colon; ++k) {
      const char c = trimmed[k];
      if (c >= '0' && c <= '9') {
        anyDigit = true;
      } else if (!IsBlankChar(c)) {
        digitsOnly = false;
      }
    }
    if (digitsOnly && anyDigit) {
      label = WithoutBlanks(trimmed.substr(0, colon));
      rest = trimmed.substr(colon + 1);
      TrimShort(rest, INT32_MAX);
    }
  }
  const std::string upperRest = UpperCaseText(rest);
  const bool isEnd = upperRest.starts_with("END") &&
                     (upperRest.size() == 3 || upperRest[3] == ' ' || upperRest[3] == '{');
  if (!isEnd || DuplicateLoopOpen()) return;
  if (CompilingFunctionIndex <= 0) {
    if (ModuleNesting <= 0) CalcErrorCode = kMsgMisplacedEnd;
    return;
  }

  // Every body ends with a labelled empty statement: a GOTO to the end has
  // a target, and a body of only labels still has a last statement.
  std::string closing = (label.empty() ? std::string("99999") : label) + ":";
  CompileStatement(closing, kMaxStatementLength,
                   TStatementPosition{CalcErrorStart, EquationLineNo, CalcErrorEnd});
  if (CalcErrorCode != 0) return;
  CloseBodyReuse();
  handled = true;
  SyncVariableNameCase(rest.substr(0, 3), "END", WindowPosition(), kKeywordNameCase);

  const int32_t slot = CompilingFunctionIndex;
  TRoutineRecord* r = RoutineAt(slot);
  if (r != nullptr && r->ResultUsed == 0 && r->OutputCount == 0) {
    SetCalcErrorWithHelp(kMsgFunctionValueUnassigned, 147);
  }
  const int32_t savedError = CalcErrorCode;
  CalcErrorCode = 0;
  BuildLocalTable(slot);
  if (CalcErrorCode == 0) CalcErrorCode = savedError;
  CompilingFunctionIndex = 0;
  CurrentEquation = nullptr;
  if (CloseRoutineConditionals() && CalcErrorCode == 0) CalcErrorCode = kMsgMissingEndIf;
}

void ProcessProcedureStatement(std::string& statement, bool& handled) {
  handled = false;
  std::string trimmed = statement;
  TrimShort(trimmed, INT32_MAX);
  if (!StartsWithKeyword(UpperCaseText(trimmed), "PROCEDURE")) return;
  if (CompilingFunctionIndex > 0 || ModuleNesting > 0) {
    CalcErrorCode = kMsgNestedRoutines;
    return;
  }
  if (MainStatementSeen) {
    CalcErrorCode = kMsgRoutinesFirst;
    return;
  }
  SyncVariableNameCase(trimmed.substr(0, 9), "PROCEDURE", WindowPosition(), kKeywordNameCase);
  std::string header = "FUNCTION" + trimmed.substr(9);
  const size_t colon = header.find(':');
  if (colon == std::string::npos) {
    SetCalcErrorWithHelp(kMsgProcedureColonMissing, 148);
    return;
  }
  header[colon] = ArgumentSeparator;
  int32_t outputs = 0;
  int32_t groups = 0;
  if (!CountHeaderOutputs(WithoutBlanks(header.substr(colon + 1)), outputs, groups)) return;

  procedureHeaderText = &trimmed;
  ProcessFunctionStatement(header, handled);
  procedureHeaderText = nullptr;
  if (CalcErrorCode != 0 || !handled) return;
  TRoutineRecord* r = RoutineAt(CompilingFunctionIndex);
  // A kept record already holds its outputs.
  if (r == nullptr || !lastHeaderNew || r->OutputCount != 0) return;
  r->OutputCount = outputs;
  r->OutputGroups = groups;
  r->InputGroups = (r->Parameters != nullptr ? r->Parameters->ArgumentCount : 0) - groups;
  r->InputCount -= outputs;
  r->ColonPosition = static_cast<int32_t>(colon) + 1 - 9;
}

void ParseRoutineHeader(std::string& statement) {
  lastHeaderNew = false;
  const std::string header =
      (procedureHeaderText != nullptr ? *procedureHeaderText : statement).substr(0, kShortTextLength);
  std::string text = statement.size() > 8 ? WithoutBlanks(statement.substr(8)) : std::string();
  const size_t open = text.find('(');
  if (open == std::string::npos || open == 0 || text.back() != ')') {
    CalcErrorCode = kMsgRoutineHeaderSyntax;
    return;
  }
  const std::string name = text.substr(0, open);
  CheckVariableName(name);
  if (CalcErrorCode != 0) {
    CalcErrorCode = kMsgRoutineHeaderSyntax;
    return;
  }
  // Every parameter, the last one too, ends with a separator.
  text.back() = ArgumentSeparator;

  CheckRoutineNameClash(name, false);
  if (CalcErrorCode != 0) {
    SetMessageArg(1, name);
    CalcErrorCode = kMsgNameIsBuiltinFunction;
    return;
  }
  const std::string upperName = UpperCaseName(name);
  bool isNew = false;
  const int32_t slot = FindOrAllocateRoutineSlot(upperName, header, isNew);
  if (slot == 0 || CalcErrorCode != 0) return;
  CompilingFunctionIndex = slot;
  // The body's first statement starts the routine's own chain.
  CurrentEquation = nullptr;

  if (!isNew) {
    TRoutineRecord* r = FunctionTable[slot];
    // The name's place in the window: after the keyword as typed.
    size_t at = procedureHeaderText != nullptr ? 9 : 8;
    while (at < header.size() && IsBlankChar(header[at])) ++at;
    SyncVariableNameCase(name, r->Name, WindowPosition() < 0 ? -1 : WindowPosition() + static_cast<int32_t>(at),
                         kFunctionNameCase);
    r->HeaderStart = CalcErrorStart;
    r->HeaderEnd = CalcErrorEnd;
    TEquationRecord* previous = r->FirstStatement;
    r->FirstStatement = nullptr;
    OpenBodyReuse(previous);
    r->ResultUsed = 0;
    return;
  }

  TRoutineRecord* r = nullptr;
  try {
    r = new TRoutineRecord();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return;
  }
  FunctionTable[slot] = r;
  lastHeaderNew = true;
  r->Name = CutName(name);
  r->UpperName = upperName;
  r->HeaderText = header;
  r->HeaderStart = CalcErrorStart;
  r->HeaderEnd = CalcErrorEnd;
  r->IsLibrary = LoadingLibrary ? 1 : 0;
  TArgumentListRecord* chain = nullptr;
  r->Parameters = NewArgumentList(-1, name, chain);
  if (r->Parameters == nullptr) return;
  OpenBodyReuse(nullptr);
  if (AppendLocal(*r, slot, 0, name) == nullptr) return;

  // Parameters: ".." as one byte while the list is taken apart.
  std::string list = text.substr(open + 1);
  for (size_t k = 0; k + 1 < list.size(); ++k) {
    if (list[k] == '.' && list[k + 1] == '.') list.replace(k, 2, 1, kRangeMark);
  }
  std::deque<std::string> pending;
  while ((!list.empty() || !pending.empty()) && CalcErrorCode == 0) {
    std::string parameter;
    int32_t code = 0;
    ExpandArrayRangeList(pending, parameter, list, code);
    if (CalcErrorCode != 0) break;
    AddCallArgument(r->Parameters, code);
    if (CalcErrorCode != 0) break;
    if (parameter.empty()) {
      // An empty parameter would leave a group without a local.
      if (code == 0) CalcErrorCode = kMsgRoutineArgumentListSyntax;
      continue;
    }
    CheckVariableName(parameter);
    if (CalcErrorCode == kMsgSubscriptUnset) {
      CalcErrorCode = parameter.find(ArgumentSeparator) != std::string::npos ? kMsgArrayRangeDimensions : 0;
    } else if (CalcErrorCode != 0) {
      CalcErrorCode = kMsgRoutineArgumentListSyntax;
    }
    if (CalcErrorCode != 0) break;
    r->InputCount += 1;
    if (AppendLocal(*r, slot, r->InputCount, parameter) == nullptr) break;
  }
  r->InputGroups = r->Parameters->ArgumentCount;
  // A header that failed is read afresh next time, so that its error is
  // reported again instead of its half-built record being kept.
  if (CalcErrorCode != 0) r->HeaderText.clear();
}

int32_t FindOrAllocateRoutineSlot(const std::string& upperName, const std::string& header, bool& isNew) {
  isNew = true;
  const int32_t found = FindRoutineSlot(upperName);
  if (found > 0) {
    const TRoutineRecord* r = FunctionTable[found];
    if (r->HeaderText == header && r->IsLibrary == 0) {
      isNew = false;
      return found;
    }
    DisposeFunctionEntry(found);
    return found;
  }
  if (FunctionCount >= kMaxRoutines) {
    CalcErrorCode = kMsgRoutineTableFull;
    return 0;
  }
  FunctionCount += 1;
  FunctionTable[FunctionCount] = nullptr;
  return FunctionCount;
}

void CheckRoutineNameClash(const std::string& name, bool alsoRoutines) {
  const std::string upper = UpperCaseName(name);
  bool taken = BuiltinFunctions().FindBuiltinFunction(upper) != nullptr ||
               RoutineNames().IsPropertyFunction(upper) || RoutineNames().IsExternalRoutine(upper);
  if (!taken && !LoadingLibrary) {
    for (size_t u = 1; u < ProgramUnitList.size() && !taken; ++u) {
      const TProgramUnitRecord* unit = ProgramUnitList[u];
      taken = unit != nullptr && unit->IsLibraryUnit != 0 && unit->UpperName == upper;
    }
  }
  if (!taken && alsoRoutines) taken = FindRoutineSlot(upper) > 0;
  if (!taken) return;
  SetMessageArg(1, name);
  CalcErrorCode = kMsgNameIsRoutine;
}

void CloseAbandonedRoutineBody() { CloseBodyReuse(); }
void OpenUnitBodyReuse(TEquationRecord* previousEquations) { OpenBodyReuse(previousEquations); }
void CloseUnitBodyReuse() { CloseBodyReuse(); }

void ResetRoutineReaderState() {
  savedReusableEquations = nullptr;
  bodyReuseOpen = false;
  procedureHeaderText = nullptr;
  lastHeaderNew = false;
}

int32_t RangeArgumentCode(const std::string& argument) { return RangeTextCode(argument); }

int32_t RoutineLocalsImpl::FindOrAddLocalVariable(const std::string& name, int32_t position) {
  const int32_t slot = CompilingFunctionIndex;
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr) {
    CalcErrorCode = kMsgStackError;
    return 0;
  }
  const std::string upper = UpperCaseName(name);
  int32_t count = 0;
  for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next, ++count) {
    if (l->UpperName != upper) continue;
    if (l == r->Locals && r->OutputCount > 0) {
      SetMessageArg(1, "Procedure " + r->Name);
      SetMessageArg(2, r->Name);
      SetCalcErrorWithHelp(kMsgForbiddenVariableName, 148);
      return 0;
    }
    SyncVariableNameCase(name, l->Name, position, l == r->Locals ? kFunctionNameCase : kVariableNameCase);
    return l->LocalNumber;
  }
  TLocalVariableRecord* added = AppendLocal(*r, slot, count, name);
  return added != nullptr ? added->LocalNumber : 0;
}

TArgumentListRecord* NewArgumentList(int32_t kind, const std::string& name,
                                     TArgumentListRecord*& chainHead) {
  TArgumentListRecord* list = nullptr;
  try {
    list = new TArgumentListRecord();
    list->Name = CutName(name);
    list->Kind = kind;
    // Room for 50 codes at first: most calls have a handful.
    list->Codes.reserve(50);
  } catch (const std::bad_alloc&) {
    delete list;
    CalcErrorCode = kMsgStackError;
    return nullptr;
  }
  list->Next = chainHead;
  chainHead = list;
  return list;
}

void ExpandArrayRangeList(std::deque<std::string>& pending, std::string& name,
                          std::string& argumentText, int32_t& code) {
  name.clear();
  code = 0;
  if (!pending.empty()) {
    name = pending.front();
    pending.pop_front();
    code = -1;
    return;
  }
  // The argument ends at a separator outside parentheses and brackets, at a
  // ":" (inputs from outputs) outside brackets, or at the closing ")".
  int32_t depth = 0;
  int32_t brackets = 0;
  size_t end = argumentText.size();
  for (size_t k = 0; k < argumentText.size(); ++k) {
    const char c = argumentText[k];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0 && brackets == 0) {
        end = k;
        break;
      }
      --depth;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == ':' && brackets == 0) {
      end = k;
      break;
    } else if (c == ArgumentSeparator && depth == 0 && brackets == 0) {
      end = k;
      break;
    }
  }
  std::string argument = CutName(argumentText.substr(0, end));
  argumentText = end < argumentText.size() ? argumentText.substr(end + 1) : std::string();
  if (argument.find(kRangeMark) == std::string::npos) {
    name = argument;
    return;
  }
  std::vector<std::string> elements;
  if (!ExpandRangeName(argument, argument, elements)) return;
  code = RangeTextCode(argument);
  if (elements.empty()) return;
  name = elements.front();
  pending.insert(pending.end(), elements.begin() + 1, elements.end());
}

void CheckRoutinesAfterReadingRoutines() {
  // Only routines of this read or of a library: a routine whose text is gone
  // waits in the table for the next compaction and is never called.
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr || !RoutineCallable(*r)) continue;
    const int32_t parameters = r->InputCount + r->OutputCount;
    int32_t seen = 0;
    for (const TLocalVariableRecord* l = r->Locals != nullptr ? r->Locals->Next : nullptr;
         l != nullptr && seen < parameters; l = l->Next, ++seen) {
      for (int32_t j = 1; j < i; ++j) {
        const TRoutineRecord* earlier = RoutineAt(j);
        if (earlier == nullptr || !RoutineCallable(*earlier) || earlier->UpperName != l->UpperName) continue;
        SetMessageArg(1, earlier->Name);
        CalcErrorCode = kMsgParameterIsFunction;
        CalcErrorStart = r->HeaderStart;
        CalcErrorEnd = r->HeaderEnd;
        // Read afresh next time: the header may stay while the clash is mended.
        r->HeaderText.clear();
        DisposeEntryEquationText(i);
        return;
      }
    }
  }
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr || !RoutineCallable(*r)) continue;
    const std::vector<TEquationRecord*> statements = RoutineStatements(*r);
    for (TEquationRecord* e : statements) {
      if (e->Code.size() != 2 || e->Code[0] != CodeGotoLabel) continue;
      const int32_t n = e->Code[1];
      TEquationRecord* target = nullptr;
      int32_t count = 0;
      for (TEquationRecord* s : statements) {
        if (s->Label != n) continue;
        if (++count == 1) target = s;
      }
      if (count == 1) {
        e->JumpTarget = target;
        delete e->BranchPair;
        e->BranchPair = nullptr;
        continue;
      }
      // Labels above 29999 are the block IF's own: a missing or doubled one
      // means its keywords do not pair up.
      if (count == 0) {
        CalcErrorCode = n > 29999 ? kMsgMissingEndIf : kMsgLabelNotFound;
      } else {
        CalcErrorCode = n > 29999 ? kMsgIfNesting : kMsgDuplicateLabel;
      }
      SetMessageArg(1, std::to_string(n));
      CalcErrorStart = e->TextStart;
      CalcErrorEnd = e->TextEnd - 1;
      return;
    }
  }
}

void BeginRoutineRead() {
  // A body left open by the previous read was closed by its end of read.
  savedReusableEquations = nullptr;
  bodyReuseOpen = false;
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr) continue;
    r->Defined = 0;
    r->Called = 0;
    r->Selected = {};
    r->HeaderBox = TScreenRect{};
    r->CallCounter = 0;
  }
}

void EndRoutineRead() {
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr) continue;
    DisposeLocalVarList(r->SavedCallLocals);
    r->LastCallReused = 0;
  }
}

void SetRoutineNameSources(const RoutineNameSources* sources) {
  routineNames = sources != nullptr ? sources : &kNoRoutineNames;
}

const RoutineNameSources& RoutineNames() { return *routineNames; }

RoutineLocals& RoutineLocalsStore() { return routineLocals; }

}  // namespace voq
