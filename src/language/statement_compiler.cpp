#include "language/statement_compiler.h"

#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/language_services.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {
namespace {

// The code of an operator-stack entry: an opcode byte is its own code, any
// other byte its position in DelimiterChars (0 for the blank at the bottom).
int32_t StackCode(unsigned char b) {
  return b >= 196 ? static_cast<int32_t>(b) : DelimiterPosition(static_cast<char>(b));
}

bool IsDigitStart(char c) { return DigitChars.find(c) != std::string::npos; }

bool IsLetterStart(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return c >= 'A' && c <= 'Z';
}

// The newest pending argument list of a user-function call moves to the end
// of the equation's CallLists chain when its byte 208 is compiled.
void EmitUserFunctionCall() {
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
  EmitCode(OpUserFunction);
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
        EmitCode(StackCode(stack.back()));
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
        EmitCode(StackCode(stack.back()));
        stack.pop_back();
      }
      stack.push_back(uc);
    }
  }
}

void CompileEquation(std::string& text, int32_t maxLength, const TStatementPosition& position,
                     bool /*fromRewrite*/) {
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
    CurrentEquation->Text = text;
    LastSubstanceObject = nullptr;
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
  CompileEquation(text, maxLength, position, false);
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
  if (PendingUnits.Line >= 0 && e->LineNumber == PendingUnits.Line && n >= 2 &&
      code[0] == CodeVariable && CompilingFunctionIndex == 0 && e->Text.has_value()) {
    std::string left = e->Text->substr(0, e->Text->find('='));
    if (!left.empty() && left.back() == ':') left.pop_back();
    bool plain = true;
    for (char c : left) plain = plain && !IsWordSeparator(c);
    if (plain) {
      if (TVariableRecord* v = unit->Variable(code[1])) {
        v->Units = PendingUnits.Units.substr(0, kMaxNameLength);
        v->UnitsInferred = 0;
      }
      PendingUnits.Line = -1;
      unitsTaken = true;
    }
  }
  if (!unitsTaken && n == 5 && code[0] == CodeVariable && code[2] == CodeBuiltinConstant &&
      code[4] == OpEqual) {
    if (TVariableRecord* v = unit->Variable(code[1])) {
      v->Units = BuiltinConstants().ConstantUnits(code[3]).substr(0, kMaxNameLength);
    }
  }

  if (TrialCompile || CompilingFunctionIndex != 0) return;
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
