#include "language/operands.h"

#include <algorithm>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/compiled_code.h"
#include "language/language_services.h"
#include "language/language_state.h"
#include "language/program_units.h"
#include "language/statement_preparation.h"

namespace voq {

TStatementPosition CurrentStatementPosition;

namespace {

constexpr int32_t kStatementTooLong = 340;

// 1-based character access.
char At(const std::string& text, int32_t p) { return text[static_cast<size_t>(p) - 1]; }
int32_t Length(const std::string& text) { return static_cast<int32_t>(text.size()); }

void SetError(int32_t code, int32_t help) {
  CalcErrorCode = code;
  MessageHelpContext = help;
}

std::string LowerCaseText(const std::string& text) {
  std::string s = text;
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Counts the arguments of the call whose "(" is at open: separators at depth
// 1 outside brackets and quotes, plus one. Error 1 when the group does not close.
int32_t CountCallArguments(const std::string& text, int32_t open) {
  int depth = 0;
  int brackets = 0;
  int32_t count = 1;
  for (int32_t k = open; k <= Length(text); ++k) {
    const char c = At(text, k);
    if (c == '\'') {
      int32_t close = k + 1;
      while (close <= Length(text) && At(text, close) != '\'') ++close;
      k = close;
      continue;
    }
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return count;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == ArgumentSeparator && depth == 1 && brackets == 0) {
      ++count;
    }
  }
  CalcErrorCode = 1;
  return -1;
}

// The subscripts of a name whose "[" is at open. Until subscript expressions
// are evaluated, a subscript must be a whole number written in digits; it is
// rewritten in its plain decimal form so X[01] and X[1] name one element.
// Returns the position of the closing "]", or 0 with error 14.
int32_t ReadLiteralSubscripts(std::string& text, int32_t open) {
  int32_t k = open + 1;
  for (;;) {
    int32_t first = k;
    while (k <= Length(text) && At(text, k) >= '0' && At(text, k) <= '9') ++k;
    if (k == first || k > Length(text) || (At(text, k) != ']' && At(text, k) != ArgumentSeparator)) {
      SetError(14, 4);
      return 0;
    }
    std::string digits = text.substr(static_cast<size_t>(first) - 1, static_cast<size_t>(k - first));
    size_t nonZero = digits.find_first_not_of('0');
    std::string plain = nonZero == std::string::npos ? "0" : digits.substr(nonZero);
    text.replace(static_cast<size_t>(first) - 1, digits.size(), plain);
    k = first + Length(plain);
    if (At(text, k) == ']') return k;
    ++k;  // past the separator of the next dimension
  }
}

void AddTruncationWarning(const std::string& name) {
  WarningsWindow* warnings = InstalledWarningsWindow();
  if (warnings == nullptr) return;
  std::string saved = MessageArgs[1];
  SetMessageArg(1, "Variable " + name + " has been truncated.");
  warnings->AddWarning(GetMessageText(18));
  MessageArgs[1] = saved;
}

void CompileProgramVariable(const std::string& typed, int32_t start) {
  if (Length(typed) > kMaxNameLength) AddTruncationWarning(typed);
  const std::string name = CutName(typed);
  int32_t position = CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start;
  int32_t index = FindOrAddVariable(name, position, CurrentStatementPosition.End);
  if (CalcErrorCode > 0 || index <= 0) return;
  EmitCode(CodeVariable);
  EmitCode(index);
}

bool CompileConstantName(const std::string& name) {
  if (name.empty() || name.back() != '#') return false;
  int32_t j = BuiltinConstants().FindConstant(name);
  if (j < 0) return false;
  EmitCode(CodeBuiltinConstant);
  EmitCode(j);
  return true;
}

bool CompileSpecialName(const std::string& name) {
  if (name == "TABLERUN#") {
    EmitCode(CodeTableRun);
    return true;
  }
  if (name == "TABLENAME$") {
    EmitCode(CodeTableName);
    return true;
  }
  return false;
}

}  // namespace

void CompileNumber(std::string& text, int32_t /*maxLength*/, int32_t& p) {
  const int32_t s = p;
  while (p < Length(text)) {
    const char next = At(text, p + 1);
    const char here = At(text, p);
    if (DelimiterPosition(next) == 0 || ((next == '+' || next == '-') && (here == 'E' || here == 'e'))) {
      ++p;
      continue;
    }
    break;
  }
  std::string token = UpperCaseText(text.substr(static_cast<size_t>(s) - 1, static_cast<size_t>(p - s + 1)));
  int32_t suffix = 0;
  const bool complexMode = CurrentProgramUnit != nullptr && CurrentProgramUnit->UnitComplexMode;
  if (complexMode && token.size() > 3 && token.ends_with("DEG")) {
    token.resize(token.size() - 3);
    suffix = CodeDegreeSuffix;
  } else if (token.ends_with("RAD")) {
    token.resize(token.size() - 3);
    suffix = CodeRadianSuffix;
  }
  if (std::count(token.begin(), token.end(), DecimalSeparator) > 1) {
    CalcErrorCode = 9;
    return;
  }
  for (char c : token) {
    if (NumberChars.find(c) == std::string::npos) {
      SetMessageArg(1, std::string(1, c));
      SetMessageArg(2, token);
      CalcErrorCode = 376;
      return;
    }
  }
  bool ok = false;
  Extended value = ParseReal(token, ok);
  if (!ok) {
    SetMessageArg(1, token);
    CalcErrorCode = 2;
    return;
  }
  EmitRealConstant(value);
  if (suffix != 0 && CalcErrorCode == 0) EmitCode(suffix);
}

void CompileStringLiteral(std::string& text, int32_t /*maxLength*/, int32_t& p) {
  auto fits = [](char c, char closing) {
    return c == ArgumentSeparator || c == closing || c == '=' || c == '<' || c == '>';
  };
  if (p > 1 && !fits(At(text, p - 1), '(')) {
    SetError(245, 190);
    return;
  }
  int32_t close = p + 1;
  while (close <= Length(text) && At(text, close) != '\'') ++close;
  if (close > Length(text)) {
    SetError(245, 190);
    return;
  }
  if (close < Length(text) && !fits(At(text, close + 1), ')')) {
    SetError(245, 190);
    return;
  }
  int32_t index = StringConstIndex(text.substr(static_cast<size_t>(p), static_cast<size_t>(close - p - 1)));
  EmitStringConstant(index);
  p = close;
}

bool CompileBuiltinCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                        int32_t& p) {
  if (name.empty() || name[0] < 'A' || name[0] > 'Z') return false;
  const TFunctionCatalogEntry* entry = BuiltinFunctions().FindBuiltinFunction(name);
  if (entry == nullptr) return false;
  if (entry->ArgumentCount == 0 && name == "PI") {
    EmitRealConstant(entry->ConstantValue);
    return true;
  }
  // Other names without arguments (DATE$, TABLERUN#, ...) and the names
  // compiled by their own rules (opcode 0 or 32) are not calls.
  if (entry->ArgumentCount == 0 || entry->Opcode == 0 || entry->Opcode == 32) return false;
  // The forms with their own compile-time handling (series, argument lists,
  // messages, units, tables, integrals) are not compiled as plain calls:
  // until their compilers exist they are refused rather than miscompiled.
  switch (entry->Opcode) {
    case 195: case 196: case 198: case 201: case 233: case 234: case 241: case 242:
    case 244: case 245: case 246: case 248: case 251: case 252:
      return false;
    case 249:  // INTEGRALVALUE and UNCERTAINTYOF
      if (entry->SubCode == 3 || entry->SubCode == 6) return false;
      break;
    case 250:  // CONVERTTEMP
      if (entry->SubCode == 2) return false;
      break;
    default:
      break;
  }
  if (entry->ArgumentCount > 0) {
    const int32_t count = CountCallArguments(text, p + 1);
    if (CalcErrorCode != 0) return true;
    if (count != entry->ArgumentCount) {
      SetMessageArg(1, LowerCaseText(name));
      SetMessageArg(2, std::to_string(entry->ArgumentCount));
      SetError(312, entry->HelpContext);
      return true;
    }
  }
  // The name becomes its opcode byte; a sub-code becomes the first argument.
  std::string rewritten = text.substr(0, static_cast<size_t>(start) - 1);
  rewritten.push_back(static_cast<char>(entry->Opcode));
  rewritten += "(";
  if (entry->SubCode > 0) {
    rewritten += std::to_string(entry->SubCode);
    rewritten.push_back(ArgumentSeparator);
  }
  rewritten += text.substr(static_cast<size_t>(p) + 1);  // after the "("
  if (Length(rewritten) > maxLength) {
    CalcErrorCode = kStatementTooLong;
    return true;
  }
  text = rewritten;
  SourceShift += Length(name) - 1;
  p = start - 1;
  return true;
}

void CompileIdentifier(std::string& text, int32_t maxLength, int32_t& p) {
  const int32_t s = p;
  int32_t q = p;
  while (q < Length(text)) {
    const char c = At(text, q + 1);
    if (c == '[') {
      int32_t close = ReadLiteralSubscripts(text, q + 1);
      if (close == 0) return;
      q = close;
      if (q < Length(text) && !IsTokenSeparator(At(text, q + 1))) {
        SetError(14, 4);
        return;
      }
      continue;
    }
    if (IsTokenSeparator(c)) break;
    ++q;
  }
  p = q;
  const std::string typed = text.substr(static_cast<size_t>(s) - 1, static_cast<size_t>(q - s + 1));
  const std::string name = UpperCaseText(typed);
  const char after = q < Length(text) ? At(text, q + 1) : ' ';

  if (after == '(' || name == "PI") {
    if (CompileBuiltinCall(text, maxLength, name, s, p) || CalcErrorCode != 0) return;
  }
  if (CompileConstantName(name)) return;
  if (CompileSpecialName(name)) return;
  if (after == '(') {
    SetMessageArg(1, "Function " + typed);
    SetError(378, 84);
    return;
  }
  CompileProgramVariable(typed, s);
}

void CheckVariableName(const std::string& name) {
  EnsureScannerCharacterSets();
  if (name.empty()) return;
  const std::string upper = UpperCaseText(name);
  if (upper[0] < '@' || upper[0] > 'Z') {
    SetError(16, 2);
    return;
  }
  int32_t bracketDepth = 0;
  for (char c : upper) {
    if (c == '[') {
      ++bracketDepth;
      continue;
    }
    if (c == ']') {
      --bracketDepth;
      continue;
    }
    if (bracketDepth > 0) continue;  // subscripts are checked where they are evaluated
    if (DelimiterPosition(c) != 0 || c == '{' || c == '}' || c == '"') {
      SetError(16, 2);
      return;
    }
  }
  if (Length(name) > kMaxNameLength) {
    SetMessageArg(1, "");
    CalcErrorCode = 18;
  }
}

}  // namespace voq
