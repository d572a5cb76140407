#include "language/statement_compiler.h"

#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "core/text_utils.h"
#include "language/conditionals.h"
#include "language/language_services.h"
#include "language/routine_calls.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

// The code of an operator-stack entry: an opcode byte is its own code, any
// other byte its position in DelimiterChars (0 for the blank at the bottom).
int32_t StackCode(unsigned char b) {
  return b >= 196 ? static_cast<int32_t>(b) : DelimiterPosition(static_cast<char>(b));
}

bool IsDigitStart(char c) { return DigitChars.find(c) != std::string::npos; }

// Names begin with a letter; the copies of merged MODULE variables begin
// with "@", which LetterSet holds only while their equations are compiled.
bool IsLetterStart(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return (c >= 'A' && c <= 'Z') || (c == '@' && LetterSet.find('@') != std::string::npos);
}

// The newest pending argument list of a user-function call moves to the end
// of the equation's CallLists chain when its byte 208 is compiled.
// An external function's list moves the same way when its opcode 255 leaves
// the operator stack: the chain then holds the calls in evaluation order.
void EmitCallWithList(int32_t code) {
  TArgumentListRecord* list = PendingArgumentLists;
  if (list == nullptr || CurrentEquation == nullptr) {
    CalcErrorCode = kMsgStackError;
    return;
  }
  PendingArgumentLists = list->Next;
  list->Next = nullptr;
  TArgumentListRecord** tail = &CurrentEquation->CallLists;
  while (*tail != nullptr) tail = &(*tail)->Next;
  *tail = list;
  EmitCode(code);
}

void EmitUserFunctionCall() { EmitCallWithList(OpUserFunction); }

void EmitStackCode(int32_t code) {
  if (code == OpExternalFunction) {
    EmitCallWithList(code);
  } else {
    EmitCode(code);
  }
}

bool HasSecondEqualSign(const std::string& compiled) {
  std::string copy = compiled;
  std::vector<std::string> savedStack = StringLiteralStack;
  StringLiteralStack.assign(1, copy);
  ExtractStringLiterals(copy, kMaxStatementLength);
  StringLiteralStack = savedStack;
  size_t first = copy.find('=');
  return first != std::string::npos && copy.find('=', first + 1) != std::string::npos;
}


int32_t WindowPosition() {
  return CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "GOTO n" of a routine body: the code is the label's jump and nothing else.
bool CompileGoto(const std::string& text) {
  if (!UpperCaseText(text.substr(0, 5)).starts_with("GOTO ")) return false;
  SyncVariableNameCase(text.substr(0, 4), "GOTO", WindowPosition(), kKeywordNameCase);
  std::string label = text.substr(5);
  RemoveBlanks(label);
  if (!AllDigits(label) || label.size() > 5 || std::stoi(label) < 1 || std::stoi(label) > 32766) {
    SetCalcErrorWithHelp(kMsgGotoLabel, 324);
    return true;
  }
  EmitCode(CodeGotoLabel);
  EmitCode(std::stoi(label));
  return true;
}

// Assignments of a body are written ":=": the ":" goes, a plain "=" is
// refused unless the preferences allow it (library texts always may).
void CheckAssignmentOperator(std::string& text, bool fromRewrite) {
  const size_t assign = text.find(":=");
  if (assign != std::string::npos) {
    text.erase(assign, 1);
    return;
  }
  if (fromRewrite || text.find('=') == std::string::npos) return;
  if (Preferences.AllowEqualInFunctions != 0 || LoadingLibrary) return;
  SetCalcErrorWithHelp(kMsgAssignmentOperator, 210);
}

// A leading "n:" label of a body statement goes into the record; then the
// target of an assignment must be a name.
void ParseStatementLabel(std::string& text, bool fromRewrite) {
  const size_t colon = text.find(':');
  if (colon != std::string::npos && AllDigits(text.substr(0, colon))) {
    const std::string digits = text.substr(0, colon);
    const int64_t n = digits.size() > 9 ? -1 : std::stoll(digits);
    const bool valid = digits.size() <= 9 &&
                       (InternalLabels || n == 99999 || (n >= 1 && n <= 30000 + RepeatCounter));
    if (!valid) {
      SetCalcErrorWithHelp(kMsgLabelRange, 324);
      return;
    }
    if (CurrentEquation != nullptr) CurrentEquation->Label = static_cast<int32_t>(n);
    SyncVariableNameCase(digits, digits, WindowPosition(), kKeywordNameCase);
    text.erase(0, colon + 1);
  }
  if (fromRewrite || text.empty()) return;
  const std::string target = text.substr(0, text.find('='));
  const int32_t saved = CalcErrorCode;
  CheckVariableName(target);
  if (CalcErrorCode == kMsgSubscriptUnset) {
    CalcErrorCode = saved;
  } else if (CalcErrorCode != 0 && CalcErrorCode != kMsgPreparedText) {
    const std::string upper = UpperCaseText(target);
    if (upper.starts_with("LOOKUP(") || upper.starts_with("LOOKUP$")) {
      CalcErrorCode = saved;
    } else {
      SetCalcErrorWithHelp(kMsgRoutineEquationSyntax, 147);
    }
  }
}

// Local number k of the routine being compiled, along its chain.
TLocalVariableRecord* LocalNumbered(int32_t k) {
  TRoutineRecord* r = RoutineAt(CompilingFunctionIndex);
  if (r == nullptr || k < 0) return nullptr;
  for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
    if (l->LocalNumber == k) return l;
  }
  return nullptr;
}

}  // namespace

int64_t FreshCompileCount = 0;

void CompileExpression(std::string& text, int32_t maxLength) {
  EnsureScannerCharacterSets();
  int32_t p = 0;
  std::vector<unsigned char> stack;
  stack.reserve(text.size() + 1);
  stack.push_back(' ');
  CalcErrorCode = 0;
  while (p < static_cast<int32_t>(text.size()) && stack.back() != static_cast<unsigned char>(kMarkEnd) &&
         CalcErrorCode == 0) {
    ++p;
    const char c = text[static_cast<size_t>(p) - 1];
    const auto uc = static_cast<unsigned char>(c);
    const int32_t k = uc >= 194 ? static_cast<int32_t>(uc) : DelimiterPosition(c);

    if (k == 0) {  // an operand begins
      if (IsDigitStart(c)) {
        CompileNumber(text, maxLength, p);
      } else if (IsLetterStart(c)) {
        CompileIdentifier(text, maxLength, p);
      } else if (c == '\'') {
        CompileStringLiteral(text, maxLength, p);
      } else {
        CalcErrorCode = kMsgIllegalVariableName;
      }
    } else if (k == 3) {
      stack.push_back(uc);
    } else if (k == 2) {
      while (stack.back() != '(' && stack.size() > 2) {
        EmitStackCode(StackCode(stack.back()));
        stack.pop_back();
      }
      if (stack.size() > 1) stack.pop_back();
    } else if (k == 12) {
      CalcErrorCode = kMsgReservedColon;
    } else if (k == 194) {
      if (PendingTextPieces == nullptr) {
        CalcErrorCode = kMsgStackError;
        break;
      }
      TTextPiece* piece = PendingTextPieces;
      text = piece->Text.substr(0, static_cast<size_t>(maxLength));
      p = 0;
      PendingTextPieces = piece->Next;
      delete piece;
    } else if (k >= 195 && k <= 197) {
      EmitCode(k);
    } else if (k == 208) {
      EmitUserFunctionCall();
    } else {  // an operator, the end, or a function opcode
      const int32_t prev = p > 1 ? DelimiterPosition(text[static_cast<size_t>(p) - 2]) : 0;
      if (prev > 4 && (k <= 11 || prev > 11)) {
        CalcErrorCode = kMsgSyntaxError;
        break;
      }
      while (CalcErrorCode == 0 && (StackCode(stack.back()) >= k || StackCode(stack.back()) > 11)) {
        EmitStackCode(StackCode(stack.back()));
        stack.pop_back();
      }
      stack.push_back(uc);
    }
  }
}

void CompileEquation(std::string& text, int32_t maxLength, const TStatementPosition& position,
                     bool fromRewrite) {
  DisposeArgumentListChain(PendingArgumentLists);
  // Pieces of a series left by a statement that failed would make the next
  // SUM report a nesting it does not have.
  DisposePendingTextPieces();
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  unit->LastEquation = CurrentEquation;
  CalcErrorCode = 0;

  StripBlanks(text, maxLength);
  if (CalcErrorCode != 0 || text.empty()) return;
  if (!TrialCompile && CompilingFunctionIndex == 0) unit->EquationCount += 1;

  CurrentStatementPosition = position;
  const bool reused = NewEquation(text, position.Line);
  if (CalcErrorCode != 0) return;  // no record could be made
  if (!reused) {
    ++FreshCompileCount;
    // Information commands compile without solving: a FUNCTION whose result
    // is assigned on a path they do not follow is not reported.
    if (CompileWithoutSolving) {
      if (TRoutineRecord* r = RoutineAt(CompilingFunctionIndex)) r->ResultUsed = 1;
    }
    CurrentEquation->Text = text;
    LastSubstanceObject = nullptr;
    if (CompilingFunctionIndex > 0) {
      if (CompileGoto(text)) {
        if (CalcErrorCode != 0) CurrentEquation->SolvedAlone = 0;
        return;
      }
      CheckAssignmentOperator(text, fromRewrite);
      if (CalcErrorCode == 0) ParseStatementLabel(text, fromRewrite);
      if (CalcErrorCode != 0) {
        CurrentEquation->SolvedAlone = 0;
        return;
      }
      if (text.empty()) return;  // a label alone
    }
    PrepareStatement(text, maxLength);
    if (CalcErrorCode == 0) CompileExpression(text, maxLength);
    if (CalcErrorCode == 0 && HasSecondEqualSign(text)) CalcErrorCode = kMsgSecondEqualSign;
  }
  if (CalcErrorCode != 0) CurrentEquation->SolvedAlone = 0;
  DetectConstantEquation();
}

void CompileStatement(std::string& text, int32_t maxLength, const TStatementPosition& position) {
  // A MIN list or a call's arguments allow ranges only within their own
  // statement.
  RangeInFunctionArguments = false;
  RangeInCallArguments = false;
  // The length is checked before anything cuts the text: a statement that
  // does not fit the buffer would otherwise compile cut short.
  TrimShort(text, INT32_MAX);
  if (static_cast<int64_t>(text.size()) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return;
  }
  if (UpperCaseText(text.substr(0, 5)) == "CALL ") {
    CompileCallStatement(text, maxLength, position);
  } else if (CompilingFunctionIndex > 0) {
    // Body statements may be REPEAT/UNTIL, carry a label or be IFs; each of
    // these ends in CompileEquation.
    CompileRepeatUntil(text);
    if (CalcErrorCode != 0) return;
    CompileLabelPrefix(text, maxLength, position);
    if (CalcErrorCode != 0) return;
    CompileIfStatement(text, maxLength, position);
  } else {
    CompileEquation(text, maxLength, position, false);
  }
}

void SetVariableFromConstant(int32_t i, Extended value) {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  TVariableRecord* v = unit->Variable(i);
  if (v == nullptr) return;
  for (int32_t s = 1; s <= unit->IntegralCount && s <= kIntegralSlotCount; ++s) {
    if (unit->IntegralSlots[s].IntegrationVariable == i) {
      SetMessageArg(1, v->Name);
      CalcErrorCode = kMsgIntegrationVariableSet;
      return;
    }
  }
  if (v->UnknownPosition <= -1) {
    SetMessageArg(1, v->Name);
    CalcErrorCode = kMsgPreviouslySet;
    return;
  }
  v->Value = value;
  if (!CompileWithoutSolving) {
    if (const TVariableRecord* lower = unit->Variable(v->LowerVariable)) v->LowerLimit = lower->Value;
    if (const TVariableRecord* upper = unit->Variable(v->UpperVariable)) v->UpperLimit = upper->Value;
  }
  v->Value = value;
  v->UnknownPosition = kDeterminedVariable;
  if (TEquationRecord* e = CurrentEquation) {
    e->SolvedAlone = 1;
    e->Residual = 0;
    e->ResidualScale = 0;
    e->RelativeResidual = 0;
    e->Block = -32766;
  }
  RemoveFromVarOrder(i);
  unit->EquationCount -= 1;
}

void DetectConstantEquation() {
  TEquationRecord* e = CurrentEquation;
  TProgramUnitRecord* unit = CurrentProgramUnit;
  // A failed statement's partial code sets nothing.
  if (e == nullptr || unit == nullptr || CalcErrorCode > 0) return;
  const std::vector<int32_t>& code = e->Code;
  const int32_t n = static_cast<int32_t>(code.size());

  // Units written on the statement's line go to the variable it defines.
  bool unitsTaken = false;
  const bool inBody = CompilingFunctionIndex > 0;
  const int32_t targetCode = inBody ? CodeLocalVariable : CodeVariable;
  if (PendingUnits.Line >= 0 && e->LineNumber == PendingUnits.Line && n >= 2 && code[0] == targetCode &&
      e->Text.has_value()) {
    std::string left = e->Text->substr(0, e->Text->find('='));
    if (!left.empty() && left.back() == ':') left.pop_back();
    bool plain = true;
    for (char c : left) plain = plain && !IsWordSeparator(c);
    if (plain) {
      if (inBody) {
        if (TLocalVariableRecord* l = LocalNumbered(code[1])) {
          l->Units = PendingUnits.Units.substr(0, kMaxNameLength);
          l->DefaultUnits = 0;
        }
      } else if (TVariableRecord* v = unit->Variable(code[1])) {
        v->Units = PendingUnits.Units.substr(0, kMaxNameLength);
        v->UnitsInferred = 0;
      }
      PendingUnits.Line = -1;
      unitsTaken = true;
    }
  }
  if (!unitsTaken && n == 5 && code[0] == targetCode && code[2] == CodeBuiltinConstant &&
      code[4] == OpEqual) {
    const std::string units = BuiltinConstants().ConstantUnits(code[3]).substr(0, kMaxNameLength);
    if (inBody) {
      if (TLocalVariableRecord* l = LocalNumbered(code[1])) l->Units = units;
    } else if (TVariableRecord* v = unit->Variable(code[1])) {
      v->Units = units;
    }
  }

  if (TrialCompile) return;
  if (inBody) {
    // A local set to a number is known while the rest of the body is
    // compiled (subscripts, series limits).
    if (e->Constants.size() != 1) return;
    Extended c = e->Constants[0];
    const bool plainValue = n == 4 && code[0] == CodeLocalVariable && code[2] == CodeConstant && code[3] == OpEqual;
    const bool negated = n == 5 && code[0] == CodeLocalVariable && code[2] == CodeConstant &&
                         code[3] == OpNegate && code[4] == OpEqual;
    if (!plainValue && !negated) return;
    if (negated) c = -c;
    if (TLocalVariableRecord* l = LocalNumbered(code[1])) {
      l->Value = c;
      l->ConstantFlag = -1;
    }
    return;
  }
  if (CompilingFunctionIndex != 0) return;
  if (e->Constants.size() == 1) {
    const Extended c = e->Constants[0];
    if (n == 4 && code[0] == CodeVariable && code[2] == CodeConstant && code[3] == OpEqual) {
      SetVariableFromConstant(code[1], c);
    } else if (n == 5 && code[0] == CodeVariable && code[2] == CodeConstant && code[3] == OpNegate &&
               code[4] == OpEqual) {
      SetVariableFromConstant(code[1], -c);
    }
  } else if (n == 4 && code[0] == CodeVariable && code[2] == CodeStringConstant && code[3] == OpEqual &&
             !e->StringOperands.empty()) {
    SetVariableFromConstant(code[1], e->StringOperands[0]);
  }
}

}  // namespace voq
