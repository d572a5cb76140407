#include "language/routine_calls.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/conditionals.h"
#include "language/header_text.h"
#include "language/routine_reader.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "language/statement_text.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

ExternalProcedureCatalog kNoExternalProcedures;
ExternalProcedureCatalog* externalProcedures = &kNoExternalProcedures;
ModuleCallCompiler moduleCallCompiler = nullptr;

int32_t WindowPosition(const TStatementPosition& pos, int32_t offset) {
  return pos.Start < 0 ? -1 : pos.Start + offset;
}

// The elements of the ranges in one bracket text ("1..3,0..1"): the product
// of hi - lo + 1 over its ranges; 1 without a range. Error 3 for a bound that
// is no index expression.
int64_t BracketElements(const std::string& inside) {
  int64_t product = 1;
  bool anyRange = false;
  size_t from = 0;
  while (from <= inside.size()) {
    size_t end = inside.find(ArgumentSeparator, from);
    if (end == std::string::npos) end = inside.size();
    const std::string subscript = inside.substr(from, end - from);
    const size_t dots = subscript.find(kRangeMark);
    if (dots != std::string::npos) {
      anyRange = true;
      const int32_t saved = CalcErrorCode;
      const int64_t lo = EvalIndexExpression(subscript.substr(0, dots), "");
      const int64_t hi = CalcErrorCode == saved ? EvalIndexExpression(subscript.substr(dots + 1), "") : 0;
      if (CalcErrorCode != saved) {
        CalcErrorCode = kMsgSyntaxError;
        return 0;
      }
      product = std::min<int64_t>(product * std::max<int64_t>(hi - lo + 1, 0), kMaxRangeElements);
    }
    from = end + 1;
  }
  return anyRange ? product : 1;
}

// The user-function call list that the first output's equation left.
TArgumentListRecord* CallListOfSlot(TEquationRecord* e, int32_t slot) {
  if (e == nullptr) return nullptr;
  for (TArgumentListRecord* l = e->CallLists; l != nullptr; l = l->Next) {
    if (l->Kind == slot) return l;
  }
  return nullptr;
}

// Compiles one statement a CALL generated: ranges in its arguments stand
// for their elements, and an output ending in "$" is a string assignment.
void CompileGeneratedEquation(std::string statement, int32_t maxLength, const TStatementPosition& pos,
                              bool stringOutput) {
  RangeInCallArguments = true;
  StringOutputAssignment = stringOutput;
  CompileEquation(statement, maxLength, pos, true);
  StringOutputAssignment = false;
}

std::string AssignOperator() { return CompilingFunctionIndex > 0 ? ":=" : "="; }

// The ERROR and WARNING calls of a body run as the built-in functions of the
// same name, assigned to a local of that name.
bool CompileMessageCall(const std::string& name, const std::string& call, int32_t maxLength,
                        const TStatementPosition& pos) {
  if (CompilingFunctionIndex <= 0) {
    SetCalcErrorWithHelp(kMsgCallErrorOutsideRoutine, 168);
    return true;
  }
  CompileGeneratedEquation(name + ":=" + call, maxLength, pos, false);
  if (CalcErrorCode != 0) return true;
  LinkPendingStatement(PendingIfNode);
  if (CurrentEquation != nullptr) CurrentEquation->EquationKind = 2;
  return true;
}

}  // namespace

// --- User FUNCTION calls ---------------------------------------------------------

bool CompileUserFunctionCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                             int32_t& p) {
  TRoutineRecord* compiling = RoutineAt(CompilingFunctionIndex);
  // The routine's own name in its body: the result is assigned.
  if (compiling != nullptr && compiling->UpperName == name) compiling->ResultUsed = 1;
  if (p >= Length(text) || At(text, p + 1) != '(') return false;
  const int32_t slot = FindRoutineSlot(name);
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr || !RoutineCallable(*r)) return false;
  if (slot == CompilingFunctionIndex) {
    CalcErrorCode = kMsgRecursion;
    return true;
  }
  if (r->Called == 0) {
    r->Called = 1;
    PrefixTildeToText(CurrentEquation);
  }
  const std::string typed = text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(p - start + 1));
  const int32_t windowPosition =
      CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start - SourceShift;
  text.erase(static_cast<size_t>(start) - 1, typed.size());
  SourceShift += Length(typed);
  const int32_t open = start;  // the "(" now stands where the name began

  // The evaluator finds the routine again by this name, compared with the
  // routines' upper-case names.
  TArgumentListRecord* list = NewArgumentList(slot, r->UpperName, PendingArgumentLists);
  if (list == nullptr) return true;
  TCallArguments arguments;
  CollectCallArguments(text, open, list, arguments);
  if (CalcErrorCode != 0) return true;
  const size_t declaredCodes = r->Parameters != nullptr ? r->Parameters->Codes.size() : 0;
  if (arguments.Count != r->InputGroups && r->OutputCount == 0 && list->Codes.size() != declaredCodes) {
    CalcErrorCode = kMsgUserFunctionArgumentCount;
    return true;
  }
  // arguments, the routine number, then the opcode after the ")".
  const std::string number = std::string(1, ArgumentSeparator) + std::to_string(slot);
  if (Length(text) + Length(number) + 1 > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return true;
  }
  text.insert(static_cast<size_t>(arguments.Close) - 1, number);
  text.insert(static_cast<size_t>(arguments.Close + Length(number)), 1, static_cast<char>(OpUserFunction));
  p = start - 1;
  RangeInFunctionArguments = true;
  SyncVariableNameCase(typed, r->Name, windowPosition, kVariableNameCase);
  if (CurrentEquation != nullptr) CurrentEquation->TrySolveAlone = 0;
  return true;
}

void CollectCallArguments(std::string& text, int32_t open, TArgumentListRecord* list, TCallArguments& result) {
  ScanCallArguments(text, open, false, list, result);
  if (list != nullptr && CalcErrorCode == 0) list->InputCount = static_cast<int32_t>(list->Codes.size());
}

// --- CALL statements ----------------------------------------------------------------

void CompileCallStatement(std::string& statement, int32_t maxLength, const TStatementPosition& position) {
  const std::string keyword = statement.substr(0, 4);
  // The call with its blanks removed, those of quoted texts kept.
  std::string call;
  bool quoted = false;
  for (size_t k = 5; k < statement.size(); ++k) {
    const char c = statement[k];
    if (c == '\'') quoted = !quoted;
    if (!quoted && (c == ' ' || c == '\t')) continue;
    call += c;
  }
  const size_t b = call.find('(');
  if (b == std::string::npos || b == 0) {
    SetCalcErrorWithHelp(kMsgBadCallStatement, 148);
    return;
  }
  bool taken = CompileProcedureCall(call, maxLength, position) || CalcErrorCode != 0;
  if (!taken && moduleCallCompiler != nullptr) {
    const bool fromUnit = CurrentProgramUnit != MainProgramUnit || CompilingFunctionIndex > 0;
    taken = moduleCallCompiler(call, maxLength, position, fromUnit) || CalcErrorCode != 0;
  }
  if (!taken) taken = CompileExternalProcedureCall(call, maxLength, position) || CalcErrorCode != 0;
  if (!taken) {
    SetCalcErrorWithHelp(kMsgBadCallStatement, 148);
    return;
  }
  SyncVariableNameCase(keyword, "CALL", WindowPosition(position, 0), kKeywordNameCase);
}

bool CompileProcedureCall(std::string& call, int32_t maxLength, const TStatementPosition& pos) {
  const size_t b = call.find('(');
  if (b == std::string::npos || b == 0) return false;
  const std::string typedName = call.substr(0, b);
  const std::string name = UpperCaseName(typedName);
  const int32_t slot = FindRoutineSlot(name);
  TRoutineRecord* r = RoutineAt(slot);
  if (r == nullptr || !RoutineCallable(*r)) {
    if (name == "ERROR" || name == "WARNING") return CompileMessageCall(name, call, maxLength, pos);
    return false;
  }

  std::string counted = call;
  const TCallCounts counts = CountCallArguments(counted, static_cast<int32_t>(b) + 1, nullptr);
  if (CalcErrorCode != 0) return true;
  const int32_t colon = CallOutputColon(call);
  if (colon == 0) {
    SetCalcErrorWithHelp(kMsgProcedureColonMissing, 148);
    return true;
  }
  if ((counts.InputsExpanded != r->InputCount && counts.InputGroups != r->InputGroups) ||
      (counts.OutputsExpanded != r->OutputCount && counts.OutputGroups != r->OutputGroups)) {
    SetCalcErrorWithHelp(kMsgCallProcedureArgumentCount, 148);
    return true;
  }

  // One equation per output: x = PROC(inputs, k) for the k-th output.
  const std::string inputs = call.substr(0, static_cast<size_t>(colon) - 1);
  std::string outputs = call.substr(static_cast<size_t>(colon));
  if (!outputs.empty() && outputs.back() == ')') outputs.back() = ArgumentSeparator;
  MarkRanges(outputs);
  std::deque<std::string> pending;
  std::vector<int32_t> outputCodes;
  std::vector<TEquationRecord*> equations;
  for (int32_t i = 1; i <= counts.OutputsExpanded; ++i) {
    std::string output;
    int32_t code = 0;
    ExpandArrayRangeList(pending, output, outputs, code);
    if (CalcErrorCode != 0) return true;
    outputCodes.push_back(code);
    if (output.empty()) {
      // A range whose upper bound lies below its lower one names nothing.
      SetCalcErrorWithHelp(kMsgCallProcedureArgumentCount, 148);
      return true;
    }
    std::string statement = output + AssignOperator() + inputs + std::string(1, ArgumentSeparator) +
                            std::to_string(i) + ")";
    UnmarkRanges(statement);
    CompileGeneratedEquation(statement, maxLength, pos, output.back() == '$');
    TEquationRecord* e = CurrentEquation;
    if (e != nullptr) {
      PrefixTildeToText(e);
      e->TrySolveAlone = 0;
      e->EquationKind = 2;
      equations.push_back(e);
    }
    if (CalcErrorCode != 0) return true;
    if (i == 1) LinkPendingStatement(PendingIfNode);
  }

  // The call lists learn the outputs: the evaluator finds the output local
  // of each equation by the groups of the first list.
  TArgumentListRecord* first = equations.empty() ? nullptr : CallListOfSlot(equations.front(), slot);
  if (first != nullptr) {
    for (int32_t code : outputCodes) AddCallArgument(first, code);
    first->OutputCount = counts.OutputsExpanded;
    if (equations.size() > 1) {
      TArgumentListRecord* last = CallListOfSlot(equations.back(), slot);
      if (last != nullptr) {
        for (int32_t code : outputCodes) AddCallArgument(last, code);
      }
      for (size_t k = 1; k < equations.size(); ++k) {
        TArgumentListRecord* l = CallListOfSlot(equations[k], slot);
        if (l == nullptr) continue;
        l->OutputCount = counts.OutputsExpanded;
        l->ArgumentCount = first->ArgumentCount;
        l->CodesPerArgument = first->CodesPerArgument;
      }
    }
  }
  SyncVariableNameCase(typedName, r->Name, WindowPosition(pos, 5), kVariableNameCase);
  return true;
}

TCallCounts CountCallArguments(std::string& callText, int32_t start, TArgumentListRecord* list) {
  TCallCounts counts;
  MarkRanges(callText);
  if (start < 1 || start > Length(callText) || At(callText, start) != '(') {
    CalcErrorCode = kMsgUnmatchedParentheses;
    return counts;
  }
  bool quoted = false;
  bool outputsPart = false;
  bool closed = false;
  int32_t depth = 1;
  int32_t brackets = 0;
  int32_t bracketOpen = 0;
  int32_t separators = 0;
  int64_t extra = 0;
  int32_t argumentStart = start + 1;
  int64_t argumentElements = 1;  // of the argument being scanned

  auto endArgument = [&](int32_t end) {
    if (list == nullptr) return;
    const std::string argument = callText.substr(static_cast<size_t>(argumentStart) - 1,
                                                 static_cast<size_t>(std::max(end - argumentStart, 0)));
    if (argument.find(kRangeMark) == std::string::npos) {
      AddCallArgument(list, 0);
      return;
    }
    AddCallArgument(list, RangeArgumentCode(argument));
    for (int64_t k = 1; k < argumentElements && CalcErrorCode == 0; ++k) AddCallArgument(list, -1);
  };
  auto finishPart = [&]() {
    const int32_t groups = separators + 1;
    const int32_t expanded = static_cast<int32_t>(std::clamp<int64_t>(groups + extra, 0, kMaxRangeElements));
    if (outputsPart) {
      counts.OutputGroups = groups;
      counts.OutputsExpanded = expanded;
    } else {
      counts.InputGroups = groups;
      counts.InputsExpanded = expanded;
    }
    separators = 0;
    extra = 0;
  };

  for (int32_t k = start + 1; k <= Length(callText) && CalcErrorCode == 0; ++k) {
    const char c = At(callText, k);
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) {
        endArgument(k);
        finishPart();
        closed = true;
        break;
      }
    } else if (c == '[') {
      if (brackets++ == 0) bracketOpen = k;
    } else if (c == ']') {
      if (--brackets == 0) {
        const std::string inside = callText.substr(static_cast<size_t>(bracketOpen), static_cast<size_t>(k - bracketOpen - 1));
        if (inside.find(kRangeMark) != std::string::npos) {
          const int64_t elements = BracketElements(inside);
          extra += elements - 1;
          argumentElements *= std::max<int64_t>(elements, 0);
        }
      }
    } else if (c == ArgumentSeparator && depth == 1 && brackets == 0) {
      endArgument(k);
      ++separators;
      argumentStart = k + 1;
      argumentElements = 1;
    } else if (c == ':' && depth == 1 && brackets == 0 && !outputsPart) {
      endArgument(k);
      finishPart();
      outputsPart = true;
      argumentStart = k + 1;
      argumentElements = 1;
    }
  }
  if (CalcErrorCode != 0) return counts;
  if (quoted) {
    CalcErrorCode = kMsgMissingQuoteOrSyntax;
    return counts;
  }
  if (!closed) {
    CalcErrorCode = kMsgUnmatchedParentheses;
    return counts;
  }
  if (list != nullptr) {
    list->InputCount = counts.InputsExpanded;
    list->OutputCount = counts.OutputsExpanded;
  }
  return counts;
}

bool CompileExternalProcedureCall(std::string& call, int32_t maxLength, const TStatementPosition& pos) {
  const size_t b = call.find('(');
  if (b == std::string::npos || b == 0) return false;
  const std::string typedName = call.substr(0, b);
  TExternalProcedureEntry* entry = externalProcedures->Find(UpperCaseName(typedName));
  if (entry == nullptr) return false;
  SyncVariableNameCase(typedName, entry->Name, WindowPosition(pos, 5), kExternalNameCase);

  auto* list = new (std::nothrow) TArgumentListRecord;
  if (list == nullptr) {
    ReportOutOfMemory();
    return true;
  }
  list->Kind = -1;
  list->Name = CutName(entry->Name);
  std::string text = call;
  TCallCounts counts = CountCallArguments(text, static_cast<int32_t>(b) + 1, list);
  if (CalcErrorCode != 0) {
    delete list;
    return true;
  }
  entry->InputCount = counts.InputsExpanded;
  entry->OutputCount = counts.OutputsExpanded;
  UnmarkRanges(text);

  // The name becomes the opcode; the routine receives a text first, a blank
  // one when the call gives none.
  text.replace(0, b, 1, static_cast<char>(OpExternalProcedure));
  EnsureScannerCharacterSets();
  std::string first;
  for (size_t k = 2; k < text.size() && !IsTokenSeparator(text[k]); ++k) first += text[k];
  const bool textFirst = (text.size() > 2 && text[2] == '\'') || (!first.empty() && first.back() == '$');
  if (!textFirst) {
    text.insert(2, "' '" + std::string(1, ArgumentSeparator));
    counts.InputsExpanded += 1;
    list->Codes.insert(list->Codes.begin(), -2);
    list->InputCount += 1;
  }
  text.insert(0, AssignOperator());
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon < 2) {
    delete list;
    SetCalcErrorWithHelp(kMsgProcedureColonMissing, 148);
    return true;
  }
  std::string outputs = text.substr(colon + 1);
  if (!outputs.empty() && outputs.back() == ')') outputs.back() = ArgumentSeparator;
  MarkRanges(outputs);
  const std::string sep(1, ArgumentSeparator);
  const std::string body = text.substr(0, colon) + sep + std::to_string(counts.InputsExpanded) + sep +
                           std::to_string(counts.OutputsExpanded) + sep + std::to_string(entry->Number);

  std::deque<std::string> pending;
  for (int32_t i = 1; i <= counts.OutputsExpanded; ++i) {
    std::string output;
    int32_t code = 0;
    ExpandArrayRangeList(pending, output, outputs, code);
    if (CalcErrorCode == 0 && output.empty()) SetCalcErrorWithHelp(kMsgCallProcedureArgumentCount, 148);
    if (CalcErrorCode != 0) break;
    std::string statement = output + body + sep + std::to_string(i) + ")";
    UnmarkRanges(statement);
    CompileGeneratedEquation(statement, maxLength, pos, false);
    TEquationRecord* e = CurrentEquation;
    if (e != nullptr) e->EquationKind = 2;
    if (CalcErrorCode != 0) break;
    LinkPendingStatement(PendingIfNode);
    if (i == counts.OutputsExpanded && e != nullptr) {
      TArgumentListRecord** tail = &e->CallLists;
      while (*tail != nullptr) tail = &(*tail)->Next;
      *tail = list;
      list = nullptr;
    }
  }
  delete list;
  return true;
}

void SetExternalProcedureCatalog(ExternalProcedureCatalog* catalog) {
  externalProcedures = catalog != nullptr ? catalog : &kNoExternalProcedures;
}

void SetModuleCallCompiler(ModuleCallCompiler compiler) { moduleCallCompiler = compiler; }

void ResetCallStatementState() {
  ResetRoutineReaderState();
  SetExternalProcedureCatalog(nullptr);
  SetModuleCallCompiler(nullptr);
}

}  // namespace voq
