#include "language/operands.h"

#include <cctype>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/equation_reader.h"
#include "language/function_calls.h"
#include "language/language_services.h"
#include "language/property_calls.h"
#include "language/statement_preparation.h"
#include "language/statement_text.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"

namespace voq {

TStatementPosition CurrentStatementPosition;

namespace {

// Defined with the name compilers below.
bool OfferToFunctionCompilers(std::string& text, int32_t maxLength, const std::string& name,
                              const std::string& typed, char after, int32_t start, int32_t& p);

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
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return;
  }
  for (char c : token) {
    if (NumberChars.find(c) == std::string::npos) {
      SetMessageArg(1, std::string(1, c));
      SetMessageArg(2, token);
      CalcErrorCode = kMsgIllegalCharacter;
      return;
    }
  }
  bool ok = false;
  Extended value = ParseReal(token, ok);
  if (!ok) {
    SetMessageArg(1, token);
    CalcErrorCode = kMsgIllegalCharacters;
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
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
    return;
  }
  int32_t close = p + 1;
  while (close <= Length(text) && At(text, close) != '\'') ++close;
  if (close > Length(text)) {
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
    return;
  }
  if (close < Length(text) && !fits(At(text, close + 1), ')')) {
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
    return;
  }
  int32_t index = StringConstIndex(text.substr(static_cast<size_t>(p), static_cast<size_t>(close - p - 1)));
  EmitStringConstant(index);
  p = close;
}

// ==== Built-in function calls (the function-call compiler's region) ====
// CompileBuiltinCall and the hand-off points for external functions, program
// units and user functions are in function_calls.cpp.

namespace {

// The first kinds of the offer order of a name: built-in functions (only
// when followed by "(", or PI), then external functions, property
// functions, program-unit references and user functions. True when one of
// them took the name or set an error.
bool OfferToFunctionCompilers(std::string& text, int32_t maxLength, const std::string& name,
                              const std::string& /*typed*/, char after, int32_t start, int32_t& p) {
  if (after == '(' || name == "PI") {
    if (CompileBuiltinCall(text, maxLength, name, start, p) || CalcErrorCode != 0) return true;
  }
  if (CompileExternalFunctionCall(text, maxLength, name, start, p) || CalcErrorCode != 0) return true;
  if (after == '(' && (CompilePropertyCall(text, maxLength, name, start, p) || CalcErrorCode != 0)) return true;
  // A unit is named with its arguments; a plain variable that happens to
  // share a unit's name (s beside SUBPROGRAM S) stays a variable.
  if (after == '(' && (CompileUnitReference(text, maxLength, name, start, p) || CalcErrorCode != 0)) return true;
  if (DispatchUserFunctionCall(text, maxLength, name, start, p) || CalcErrorCode != 0) return true;
  return false;
}

}  // namespace

// ==== End of the built-in function call region ====

// --- Range flags and routine locals ---------------------------------------------

bool RangeInFunctionArguments = false;
bool RangeInCallArguments = false;
bool RangeFlagOn() { return RangeInFunctionArguments || RangeInCallArguments; }

namespace {
RoutineLocals* installedLocals = nullptr;
}  // namespace

RoutineLocals* InstalledRoutineLocals() { return installedLocals; }
void SetRoutineLocals(RoutineLocals* locals) { installedLocals = locals; }

namespace {

// Deepest nesting of subscripts inside subscripts (X[Y[Z[1]]]).
constexpr int32_t kMaxSubscriptNesting = 16;

bool InRoutineBody() { return CompilingFunctionIndex > 0; }

bool ComplexModeOn() { return CurrentProgramUnit != nullptr && CurrentProgramUnit->UnitComplexMode != 0; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters a name may hold besides letters and digits, as far as a
// subscript is concerned.
bool IsSubscriptNameChar(char c) {
  switch (c) {
    case '!': case '$': case '%': case '&': case '\\': case '_': case '`': case '~':
      return true;
    default:
      return false;
  }
}

bool IsSubscriptOperator(char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == kMarkNegate;
}

// Position of the "]" that closes the "[" at open, 0 when none.
int32_t MatchingBracket(const std::string& text, int32_t open) {
  int32_t depth = 0;
  for (int32_t k = open; k <= Length(text); ++k) {
    if (At(text, k) == '[') {
      ++depth;
    } else if (At(text, k) == ']') {
      if (--depth == 0) return k;
    }
  }
  return 0;
}

int32_t RoundToInt32(Extended x, bool& ok) {
  const Extended r = RoundReal(x);
  ok = std::isfinite(static_cast<double>(r)) && r >= -2147483648.0L && r <= 2147483647.0L;
  return ok ? static_cast<int32_t>(r) : 0;
}

// One name of a subscript: a local of the routine being compiled, or a
// variable of the current unit that a constant equation has set.
int32_t SubscriptNameValue(const std::string& typed, Extended& value) {
  const std::string upper = UpperCaseText(typed);
  if (upper.back() == '$') return kMsgIllegalStringOperation;
  if (InRoutineBody()) {
    if (RoutineLocals* locals = InstalledRoutineLocals()) {
      if (locals->FindLocalVariable(upper, value)) return kMsgSubscriptUnset;
    }
  }
  const int32_t savedError = CalcErrorCode;
  const int32_t i = FindVariable(typed);
  CalcErrorCode = savedError;
  const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(i) : nullptr;
  if (v == nullptr) {
    SetMessageArg(1, typed);
    return kMsgNotDefined;
  }
  if (v->UnknownPosition >= 0) {
    if (UncertaintyMode) {
      SetMessageArg(1, v->Name);
      return kMsgUncertaintyIndexVariable;
    }
    return kMsgIllegalSubscript;
  }
  value = v->Value;
  const int32_t position = CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start;
  SyncVariableNameCase(typed, v->Name, position, kVariableNameCase);
  return 0;
}

// The subscript evaluator: integers and names joined by + - * /, "*" and
// "/" binding tighter, equal operators from left to right, a leading minus
// (or the negation byte) negating the term it stands before. The arithmetic
// is done in 10-byte reals and the result rounded to an integer. Returns the
// error number; kMsgSubscriptUnset still gives the value (of a routine's local).
int32_t EvaluateSubscript(const std::string& sub, int32_t& result) {
  Extended sum = 0;
  Extended term = 0;
  char pendingAdd = '+';   // the additive operator before the current term
  char pendingMul = 0;     // the multiplicative operator before the next factor
  bool expectOperand = true;
  bool negateNext = false;
  int32_t localError = 0;
  size_t k = 0;
  const size_t n = sub.size();
  if (n == 0) return kMsgIllegalSubscript;
  while (k < n) {
    const char c = sub[k];
    if (expectOperand) {
      if (c == '-' || c == kMarkNegate) {
        negateNext = !negateNext;
        ++k;
        continue;
      }
      if (c == '+') {
        ++k;
        continue;
      }
      Extended factor = 0;
      if (IsDigit(c)) {
        size_t e = k;
        while (e < n && IsDigit(sub[e])) ++e;
        if (e < n && !IsSubscriptOperator(sub[e])) return kMsgIllegalSubscript;  // "2a"
        bool ok = false;
        factor = ParseReal(sub.substr(k, e - k), ok);
        if (!ok) return kMsgIllegalSubscript;
        k = e;
      } else if (IsAsciiLetter(c)) {
        size_t e = k;
        int32_t depth = 0;
        while (e < n && (depth > 0 || !IsSubscriptOperator(sub[e]))) {
          if (sub[e] == '[') ++depth;
          if (sub[e] == ']') --depth;
          if (sub[e] == '(' || sub[e] == ')') return kMsgIllegalSubscript;
          ++e;
        }
        const int32_t error = SubscriptNameValue(sub.substr(k, e - k), factor);
        if (error == kMsgSubscriptUnset) {
          localError = kMsgSubscriptUnset;
        } else if (error != 0) {
          return error;
        }
        k = e;
      } else {
        return kMsgIllegalSubscript;
      }
      if (negateNext) factor = -factor;
      negateNext = false;
      if (pendingMul == '*') {
        term *= factor;
      } else if (pendingMul == '/') {
        if (factor == 0) return kMsgDivisionByZero;
        term /= factor;
      } else {
        term = factor;
      }
      pendingMul = 0;
      expectOperand = false;
      continue;
    }
    // An operator.
    if (c == '*' || c == '/') {
      pendingMul = c;
    } else if (c == '+' || c == '-') {
      sum = pendingAdd == '+' ? sum + term : sum - term;
      pendingAdd = c;
    } else {
      return kMsgIllegalSubscript;
    }
    expectOperand = true;
    ++k;
  }
  if (expectOperand) return kMsgIllegalSubscript;  // ends in an operator
  sum = pendingAdd == '+' ? sum + term : sum - term;
  bool ok = false;
  result = RoundToInt32(sum, ok);
  if (!ok) return kMsgIllegalSubscript;
  return localError;
}

// Evaluates one subscript for ResolveSubscripts and the range expansion,
// applying the compile-mode rules: a trial compile takes 1 for a subscript
// it cannot evaluate.
int32_t EvaluateSubscriptChecked(const std::string& sub, int32_t& value) {
  int32_t error = EvaluateSubscript(sub, value);
  if (error == kMsgIllegalSubscript && TrialCompile) {
    value = 1;
    error = 0;
  }
  return error;
}

// Replaces text[first..last] (1-based, inclusive) by digits; k follows.
bool RewriteSubscriptText(std::string& text, int32_t maxLength, int32_t first, int32_t last, int32_t value,
                          int32_t& k) {
  const std::string digits = std::to_string(value);
  const int32_t oldLength = last - first + 1;
  if (Length(text) - oldLength + Length(digits) > maxLength) return false;
  text.replace(static_cast<size_t>(first) - 1, static_cast<size_t>(oldLength), digits);
  k += Length(digits) - oldLength;
  return true;
}

int32_t FailSubscript(int32_t error) {
  SetCalcErrorWithHelp(
      error, error == kMsgIllegalSubscript ? 4 : (error == kMsgIllegalStringOperation ? 190 : 0));
  return error;
}

// The subscripts after the "[" at open; position ends on the closing "]".
int32_t ResolveSubscriptList(std::string& text, int32_t maxLength, int32_t open, int32_t& position,
                             bool& hasVariable, int32_t nesting) {
  if (nesting > kMaxSubscriptNesting) return kMsgIllegalSubscript;
  int32_t k = open + 1;
  for (;;) {
    const int32_t first = k;
    bool lastWasOperator = false;
    bool rangeSeen = false;
    for (;;) {
      if (k > Length(text)) return kMsgIllegalSubscript;
      const char c = At(text, k);
      if (c == ']' || c == ArgumentSeparator) {
        if (lastWasOperator) return c == ']' ? kMsgSyntaxError : kMsgIllegalSubscript;
        if (k == first) return kMsgIllegalSubscript;
        break;
      }
      if (c == '[') {
        if (k == first || lastWasOperator) return kMsgIllegalSubscript;
        int32_t inner = k;
        bool innerVariable = false;
        const int32_t error = ResolveSubscriptList(text, maxLength, k, inner, innerVariable, nesting + 1);
        if (error != 0) return error;
        k = inner + 1;
        continue;
      }
      if (c == '.' && k < Length(text) && At(text, k + 1) == '.' && RangeFlagOn()) {
        if (k == first || lastWasOperator) return kMsgIllegalSubscript;
        // The lower limit is evaluated now; the upper one is left for the
        // expansion of the range into its elements.
        int32_t value = 0;
        const int32_t error = EvaluateSubscriptChecked(text.substr(static_cast<size_t>(first) - 1,
                                                                   static_cast<size_t>(k - first)),
                                                       value);
        if (error != 0) return error;
        if (!RewriteSubscriptText(text, maxLength, first, k - 1, value, k))
          return kMsgStatementTooLong;
        k += 2;
        int32_t depth = 0;
        while (k <= Length(text) && (depth > 0 || (At(text, k) != ']' && At(text, k) != ArgumentSeparator))) {
          if (At(text, k) == '[') ++depth;
          if (At(text, k) == ']') --depth;
          if (IsAsciiLetter(At(text, k))) hasVariable = true;
          ++k;
        }
        rangeSeen = true;
        if (k > Length(text)) return kMsgIllegalSubscript;
        break;
      }
      if (IsDigit(c)) {
        lastWasOperator = false;
      } else if (IsAsciiLetter(c)) {
        hasVariable = true;
        lastWasOperator = false;
      } else if (IsSubscriptOperator(c)) {
        lastWasOperator = true;
      } else if (IsSubscriptNameChar(c)) {
        if (k == first) return kMsgIllegalSubscript;
        hasVariable = true;
        lastWasOperator = false;
      } else {
        return kMsgIllegalSubscript;
      }
      ++k;
    }
    if (!rangeSeen) {
      int32_t value = 0;
      const int32_t error = EvaluateSubscriptChecked(
          text.substr(static_cast<size_t>(first) - 1, static_cast<size_t>(k - first)), value);
      if (error != 0) return error;
      if (!RewriteSubscriptText(text, maxLength, first, k - 1, value, k))
        return kMsgStatementTooLong;
    }
    if (At(text, k) == ']') {
      position = k;
      return 0;
    }
    ++k;  // past the separator of the next dimension
  }
}

}  // namespace

int32_t ResolveSubscripts(std::string& text, int32_t maxLength, int32_t& position, bool& hasVariable) {
  hasVariable = false;
  const int32_t open = position;
  const int32_t close = MatchingBracket(text, open);
  if (TrialCompile) {
    if (close == 0) {
      position = Length(text);
      return FailSubscript(kMsgIllegalSubscript);
    }
    position = close;
    return 0;
  }
  const int32_t error = ResolveSubscriptList(text, maxLength, open, position, hasVariable, 0);
  if (error != 0) {
    // Where the subscript ends after a failed evaluation: its text was not
    // rewritten, so the bracket found first still closes it.
    const int32_t closeNow = MatchingBracket(text, open);
    position = closeNow > 0 ? closeNow : Length(text);
    return FailSubscript(error);
  }
  return 0;
}

// --- Integer limit expressions ----------------------------------------------------

namespace {

constexpr int32_t kMaxIndexExpressionDepth = 64;

bool IsIndexOperator(char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == kMarkNegate;
}

// 0 when fine; the error number otherwise (kMsgIndexLimit for anything unreadable).
int32_t EvalIndexPart(const std::string& t, int64_t& value, int32_t depth) {
  if (t.empty() || depth > kMaxIndexExpressionDepth) return kMsgIndexLimit;
  const int32_t n = Length(t);
  // A text wholly in parentheses.
  if (t.front() == '(') {
    int32_t level = 0;
    int32_t close = 0;
    for (int32_t k = 1; k <= n; ++k) {
      if (At(t, k) == '(') ++level;
      if (At(t, k) == ')' && --level == 0) {
        close = k;
        break;
      }
    }
    if (close == n) return EvalIndexPart(t.substr(1, static_cast<size_t>(n) - 2), value, depth + 1);
  }
  // The last top-level operator of the weakest kind: applying it last makes
  // equal operators work from left to right.
  for (const char* ops : {"+-", "*/"}) {
    int32_t level = 0;
    int32_t split = 0;
    for (int32_t k = 1; k <= n; ++k) {
      const char c = At(t, k);
      if (c == '(' || c == '[') ++level;
      if (c == ')' || c == ']') --level;
      if (level != 0 || k == 1 || (c != ops[0] && c != ops[1])) continue;
      if (IsIndexOperator(At(t, k - 1))) continue;  // a sign, not an operator
      split = k;
    }
    if (split > 0) {
      int64_t left = 0;
      int64_t right = 0;
      int32_t error = EvalIndexPart(t.substr(0, static_cast<size_t>(split) - 1), left, depth + 1);
      if (error == 0) error = EvalIndexPart(t.substr(static_cast<size_t>(split)), right, depth + 1);
      if (error != 0) return error;
      switch (At(t, split)) {
        case '+': value = left + right; break;
        case '-': value = left - right; break;
        case '*': value = left * right; break;
        default:
          if (right == 0) return kMsgDivisionByZero;
          value = left / right;  // whole-number division, toward 0
          break;
      }
      if (value > INT32_MAX || value < INT32_MIN) return kMsgIndexLimit;
      return 0;
    }
  }
  if (t.front() == '-' || t.front() == kMarkNegate) {
    const int32_t error = EvalIndexPart(t.substr(1), value, depth + 1);
    value = -value;
    return error;
  }
  if (t.front() == '+') return EvalIndexPart(t.substr(1), value, depth + 1);
  // A leaf.
  if (IsDigit(t.front())) {
    for (char c : t) {
      if (!IsDigit(c)) return kMsgIndexLimit;
    }
    if (n > 10) return kMsgIndexLimit;
    value = std::stoll(t);
    return value > INT32_MAX ? kMsgIndexLimit : 0;
  }
  if (t.back() == '$') return kMsgIllegalStringOperation;
  const std::string upper = UpperCaseText(t);
  Extended x = 0;
  bool found = false;
  if (InRoutineBody()) {
    if (RoutineLocals* locals = InstalledRoutineLocals()) found = locals->FindLocalVariable(upper, x);
  }
  if (!found) {
    const int32_t savedError = CalcErrorCode;
    const int32_t i = FindVariable(t);
    CalcErrorCode = savedError;
    const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(i) : nullptr;
    if (v == nullptr || v->UnknownPosition >= 0 || v->IsString) return kMsgIndexLimit;
    x = v->Value;
  }
  bool ok = false;
  value = RoundToInt32(x, ok);
  return ok ? 0 : kMsgIndexLimit;
}

}  // namespace

int32_t EvalIndexExpression(const std::string& text, const std::string& commandName) {
  int64_t value = 0;
  const int32_t error = EvalIndexPart(text, value, 0);
  if (error == 0) return static_cast<int32_t>(value);
  if (error == kMsgIndexLimit) {
    SetMessageArg(1, UpperCaseText(commandName));
    SetCalcErrorWithHelp(kMsgIndexLimit, 102);
  } else {
    SetCalcErrorWithHelp(error, error == kMsgIllegalStringOperation ? 190 : 0);
  }
  return -1;
}

// --- Small text tests shared by the call compilers ----------------------------------

bool IsDelimitedAt(const std::string& name, const std::string& text, int32_t position,
                   const std::string& separators) {
  const int32_t n = Length(name);
  if (position < 1 || n == 0 || position + n - 1 > Length(text)) return false;
  if (!SameTextNoCase(text.substr(static_cast<size_t>(position) - 1, static_cast<size_t>(n)), name)) return false;
  const bool before = position == 1 || separators.find(At(text, position - 1)) != std::string::npos ||
                      (position >= 3 && At(text, position - 1) == '.' && At(text, position - 2) == '.');
  const int32_t after = position + n;
  return before && (after > Length(text) || separators.find(At(text, after)) != std::string::npos);
}

bool IsStringArgument(const std::string& text) {
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '$') continue;
    if (k + 1 == text.size() || text[k + 1] == '[' || text[k + 1] == ArgumentSeparator) return true;
  }
  return false;
}

bool FindTopLevelSeparator(const std::string& text, int32_t& position) {
  int32_t depth = 0;
  for (; position <= Length(text); ++position) {
    const char c = At(text, position);
    if (c == '(' || c == '[') ++depth;
    if (c == ')' || c == ']') --depth;
    if (c == ArgumentSeparator && depth == 0) return true;
  }
  return false;
}

void FindPrecedingSeparator(const std::string& text, int32_t& position) {
  int32_t k = std::min(position - 1, Length(text));
  while (k >= 2 && !IsTokenSeparator(At(text, k))) --k;
  if (k < 2) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  position = k;
}

// --- Spelling of names in the Equations window ---------------------------------------

int32_t FindOrAddVariable(const std::string& name, int32_t position, int32_t /*line*/) {
  std::string cut = CutName(name);
  int32_t i = FindVariable(cut);
  if (i > 0) {
    RegisterVariableUse(i, cut);
    // A later use typed in another case is rewritten to the spelling of the
    // first use of this compile (when the preference asks for it).
    if (const TVariableRecord* v = CurrentProgramUnit->Variable(i)) {
      SyncVariableNameCase(cut, v->Name, position, kVariableNameCase);
    }
    return i;
  }
  AddVariable(cut);
  if (CalcErrorCode != 0) return 0;
  i = CurrentProgramUnit->VariableCount;
  RegisterVariableUse(i, cut);
  return i;
}

void SyncVariableNameCase(const std::string& typed, const std::string& spelling, int32_t position,
                          int32_t kind) {
  if (LoadingLibrary || position < 0 || typed.empty()) return;
  std::string chosen;
  switch (kind) {
    case kFunctionNameCase:
    case kKeywordNameCase: {
      const uint8_t rule = kind == kFunctionNameCase ? Preferences.FunctionNameCase : Preferences.KeywordCase;
      if (rule == 0) return;
      chosen = rule == 1 ? LowerCaseText(typed) : rule == 2 ? UpperCaseText(typed) : spelling;
      break;
    }
    case kVariableNameCase:
      if (Preferences.UniformVariableCase == 0) return;
      chosen = spelling;
      break;
    default:
      chosen = spelling;
      break;
  }
  // Only a change of case is written: it keeps every position the reader
  // holds in its copy of the text valid.
  if (chosen == typed || chosen.size() != typed.size() || !SameTextNoCase(chosen, typed)) return;

  // Window positions count two characters for each line break whatever the
  // editor holds, so the line is found by walking the text.
  std::string window = Equations().GetText();
  const int32_t target = std::max(position - 4, 0) + 2;
  size_t lineBegin = 0;
  int32_t counted = 0;  // window position of window[lineBegin]
  size_t k = 0;
  while (k < window.size()) {
    const char c = window[k];
    if (c != '\r' && c != '\n') {
      ++k;
      continue;
    }
    const int32_t lineEndPosition = counted + static_cast<int32_t>(k - lineBegin);
    if (target <= lineEndPosition) break;
    k += (c == '\r' && k + 1 < window.size() && window[k + 1] == '\n') ? 2 : 1;
    counted = lineEndPosition + kLineBreakLength;
    lineBegin = k;
  }
  size_t lineEnd = window.find_first_of("\r\n", lineBegin);
  if (lineEnd == std::string::npos) lineEnd = window.size();
  // The search starts a little before the position: the prepared statement
  // runs ahead of the window text by its opening parenthesis.
  const int32_t column = std::max(std::max(position - 4, 0) - counted, 0);
  const size_t from = lineBegin + static_cast<size_t>(column);
  if (from >= lineEnd) return;
  // The name as a whole word: "sin" must not be taken from "sinx".
  const auto isNameChar = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$' || c == '#';
  };
  size_t at = window.find(typed, from);
  while (at != std::string::npos && at + typed.size() <= lineEnd &&
         ((at > 0 && isNameChar(window[at - 1])) ||
          (at + typed.size() < window.size() && isNameChar(window[at + typed.size()])))) {
    at = window.find(typed, at + 1);
  }
  if (at == std::string::npos || at + typed.size() > lineEnd) return;
  window.replace(at, typed.size(), chosen);
  Equations().SetText(window);
}

// --- Names ------------------------------------------------------------------------------

namespace {

void AddTruncationWarning(const std::string& name) {
  const std::string saved = MessageArgs[1];
  SetMessageArg(1, "Variable " + name + " has been truncated.");
  AddWarning(GetMessageText(kMsgVariableNameTooLong));
  MessageArgs[1] = saved;
}

bool EndsWithNoCase(const std::string& upper, const char* suffix) { return upper.ends_with(suffix); }

// Links a complex part with its partner part when that exists already.
void LinkComplexPartner(int32_t index, TVariableRecord* v, const std::string& partnerName) {
  if (v->PartnerVariable != 0) return;
  const int32_t savedError = CalcErrorCode;
  const int32_t partner = FindVariable(partnerName);
  CalcErrorCode = savedError;
  TVariableRecord* other = CurrentProgramUnit->Variable(partner);
  if (other == nullptr) return;
  v->PartnerVariable = static_cast<int16_t>(partner);
  other->PartnerVariable = static_cast<int16_t>(index);
}

// Finds or adds the variable and emits it; in complex mode a name ending in
// "_R" is a real part and one ending in "_I" an imaginary part.
int32_t EmitVariable(const std::string& typed, int32_t start) {
  const std::string name = CutName(typed);
  const int32_t position = CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start;
  const int32_t index = FindOrAddVariable(name, position, CurrentStatementPosition.End);
  if (CalcErrorCode > 0 || index <= 0) return 0;
  int32_t code = CodeVariable;
  if (ComplexModeOn()) {
    TVariableRecord* v = CurrentProgramUnit->Variable(index);
    const std::string upper = UpperCaseText(name);
    const std::string base = name.substr(0, name.size() >= 2 ? name.size() - 2 : 0);
    if (v != nullptr && EndsWithNoCase(upper, "_R")) {
      v->ComplexPart = 0;
      LinkComplexPartner(index, v, base + "_I");
    } else if (v != nullptr && EndsWithNoCase(upper, "_I")) {
      v->ComplexPart = 1;
      LinkComplexPartner(index, v, base + "_R");
      code = CodeComplexVariable;
    }
  }
  EmitCode(code);
  EmitCode(index);
  return index;
}

// A range that stands for more elements than a program can hold variables
// is refused before it is expanded: names cut to 30 characters repeat, so
// the variable limit alone would not end X[1..2000000000].
bool TooManyRangeElements(int64_t elements) {
  if (elements <= MaxVariables) return false;
  SetMessageArg(1, std::to_string(MaxVariables));
  SetCalcErrorWithHelp(kMsgTooManyVariables, 17);
  return true;
}

// A name with a range a..b in one subscript stands for its elements, in
// row order when further subscripts hold ranges too. elements counts the
// elements emitted so far.
void EmitVariableRange(const std::string& typed, int32_t start, int32_t nesting, int64_t& elements) {
  const size_t dots = typed.find("..");
  if (dots == std::string::npos || nesting > 3) {
    if (TooManyRangeElements(++elements)) return;
    EmitVariable(typed, start);
    return;
  }
  size_t open = typed.find_last_of(std::string("[") + ArgumentSeparator, dots);
  size_t close = typed.find_first_of(std::string("]") + ArgumentSeparator, dots);
  if (open == std::string::npos || close == std::string::npos) {
    SetCalcErrorWithHelp(kMsgIllegalSubscript, 4);
    return;
  }
  const std::string prefix = typed.substr(0, open + 1);
  const std::string rest = typed.substr(close);
  int32_t low = 0;
  int32_t high = 0;
  int32_t error = EvaluateSubscriptChecked(typed.substr(open + 1, dots - open - 1), low);
  if (error == 0) error = EvaluateSubscriptChecked(typed.substr(dots + 2, close - dots - 2), high);
  if (error != 0) {
    FailSubscript(error);
    return;
  }
  if (high >= low && TooManyRangeElements(elements + static_cast<int64_t>(high) - low + 1)) return;
  for (int64_t k = low; k <= high && CalcErrorCode <= 0; ++k) {
    const std::string element = prefix + std::to_string(k) + rest;
    if (element.find("..") != std::string::npos) {
      EmitVariableRange(element, start, nesting + 1, elements);
    } else if (!TooManyRangeElements(++elements)) {
      EmitVariable(element, start);
    }
  }
}

void CompileProgramVariable(const std::string& typed, int32_t start) {
  const std::string upper = UpperCaseText(typed);
  if (ComplexModeOn()) {
    const char letter = static_cast<char>(ComplexLetter >= 'a' && ComplexLetter <= 'z' ? ComplexLetter - 'a' + 'A'
                                                                                      : ComplexLetter);
    if (upper.size() == 1 && upper[0] == letter) {
      EmitCode(CodeImaginaryUnit);
      return;
    }
    const bool imaginaryPart = upper.ends_with("_I");
    if (upper.ends_with("_R") || imaginaryPart || upper.ends_with("$")) {
      const int32_t index = EmitVariable(typed, start);
      if (index <= 0) return;
      if (TVariableRecord* v = CurrentProgramUnit->Variable(index)) v->IsString = upper.ends_with("$");
      TEquationRecord* e = CurrentEquation;
      if (e != nullptr && e->Code.size() == 2) {
        if (imaginaryPart) {
          e->LeftIsImaginaryPart = 1;
        } else {
          e->LeftIsRealPart = 1;
        }
      }
      return;
    }
    // A complex quantity is the pair of its real and imaginary parts. The
    // name is cut so that both parts keep their suffix within 30
    // characters: cut after the suffix, X_r and X_i would be one variable.
    std::string base = typed;
    if (Length(base) > kMaxNameLength - 2) {
      AddTruncationWarning(typed);
      base.resize(kMaxNameLength - 2);
    }
    if (EmitVariable(base + "_r", start) <= 0) return;
    if (!RangeInCallArguments) EmitVariable(base + "_i", start);
    return;
  }
  if (Length(typed) > kMaxNameLength) AddTruncationWarning(typed);
  if (RangeFlagOn() && typed.find("..") != std::string::npos) {
    int64_t elements = 0;
    EmitVariableRange(typed, start, 0, elements);
  } else {
    EmitVariable(typed, start);
  }
}

// X[expr] whose subscript is known only when the routine runs becomes a
// call ARRAYELMT('X', expr) compiled next.
void RewriteArrayElement(std::string& text, int32_t maxLength, int32_t s, int32_t q, int32_t& p) {
  const std::string name = text.substr(static_cast<size_t>(s) - 1, static_cast<size_t>(q - s + 1));
  const size_t open = name.find('[');
  if (open == std::string::npos || name.back() != ']') {
    SetCalcErrorWithHelp(kMsgIllegalSubscript, 4);
    return;
  }
  const std::string call = "ARRAYELMT('" + name.substr(0, open) + "'" + std::string(1, ArgumentSeparator) +
                           name.substr(open + 1, name.size() - open - 2) + ")";
  if (Length(text) - Length(name) + Length(call) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return;
  }
  text.replace(static_cast<size_t>(s) - 1, name.size(), call);
  p = s - 1;
}

void EmitLocalVariable(RoutineLocals& locals, const std::string& name, int32_t start) {
  const int32_t position = CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start;
  // 0 is the result, a negative number a main-program variable ($COMMON).
  const int32_t index = locals.FindOrAddLocalVariable(CutName(name), position);
  if (CalcErrorCode > 0) return;
  EmitCode(CodeLocalVariable);
  EmitCode(index);
}

void CompileLocalName(std::string& text, int32_t maxLength, const std::string& typed, int32_t s, int32_t q,
                      bool rewrite, int32_t& p) {
  if (rewrite) {
    RewriteArrayElement(text, maxLength, s, q, p);
    return;
  }
  RoutineLocals* locals = InstalledRoutineLocals();
  if (locals == nullptr) {
    CompileProgramVariable(typed, s);
    return;
  }
  if (RangeFlagOn() && typed.find("..") != std::string::npos) {
    for (const std::string& element : locals->ExpandRange(typed)) {
      if (CalcErrorCode > 0) return;
      EmitLocalVariable(*locals, element, s);
    }
    return;
  }
  EmitLocalVariable(*locals, typed, s);
}

bool CompileConstantName(const std::string& name) {
  if (name.empty() || name.back() != '#') return false;
  const int32_t j = BuiltinConstants().FindConstant(name);
  if (j < 0) return false;
  EmitCode(CodeBuiltinConstant);
  EmitCode(j);
  return true;
}

std::string CurrentDateOrTimeText(bool date) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[64];
  const size_t n = std::strftime(buffer, sizeof buffer, date ? "%x" : "%X", &local);
  return std::string(buffer, n);
}

bool CompileSpecialName(const std::string& name) {
  if (name == "TABLERUN#") {
    EmitCode(CodeTableRun);
    if (InRoutineBody()) {
      if (RoutineLocals* locals = InstalledRoutineLocals()) locals->MarkUsesTableRun(CompilingFunctionIndex);
    }
    return true;
  }
  if (name == "TABLENAME$") {
    EmitCode(CodeTableName);
    return true;
  }
  if (name == "DATE$" || name == "TIME$") {
    EmitStringConstant(StringConstIndex(CurrentDateOrTimeText(name == "DATE$")));
    // The text changes from one compile to the next.
    if (CurrentEquation != nullptr) PrefixTildeToText(CurrentEquation);
    return true;
  }
  return false;
}

}  // namespace

void CompileIdentifier(std::string& text, int32_t maxLength, int32_t& p) {
  const int32_t s = p;
  int32_t q = p;
  bool subscriptNamedVariable = false;
  bool rewriteElement = false;
  while (q < Length(text)) {
    const char c = At(text, q + 1);
    if (c == '[') {
      int32_t position = q + 1;
      bool hasVariable = false;
      const int32_t error = ResolveSubscripts(text, maxLength, position, hasVariable);
      subscriptNamedVariable = subscriptNamedVariable || hasVariable;
      if (error != 0) {
        // A subscript known only when the routine runs is fetched then.
        const bool atRunTime =
            error == kMsgSubscriptUnset || (error == kMsgIllegalSubscript && InRoutineBody());
        if (!atRunTime || TrialCompile) return;
        CalcErrorCode = 0;
        MessageHelpContext = 0;
        rewriteElement = true;
        subscriptNamedVariable = true;
      }
      q = position;
      if (q < Length(text) && !IsTokenSeparator(At(text, q + 1))) {
        SetCalcErrorWithHelp(kMsgIllegalSubscript, 4);
        return;
      }
      continue;
    }
    if (IsTokenSeparator(c)) break;
    ++q;
  }
  p = q;
  if (subscriptNamedVariable && CurrentEquation != nullptr) PrefixTildeToText(CurrentEquation);
  const std::string typed = text.substr(static_cast<size_t>(s) - 1, static_cast<size_t>(q - s + 1));
  const std::string name = UpperCaseText(typed);
  const char after = q < Length(text) ? At(text, q + 1) : ' ';

  if (OfferToFunctionCompilers(text, maxLength, name, typed, after, s, p)) return;
  if (CompileConstantName(name)) return;
  if (CompileSpecialName(name)) return;
  if (after == '(') {
    SetMessageArg(1, "Function " + typed);
    SetCalcErrorWithHelp(kMsgNotDefined, 84);
    return;
  }
  if (InRoutineBody()) {
    CompileLocalName(text, maxLength, typed, s, q, rewriteElement, p);
  } else {
    CompileProgramVariable(typed, s);
  }
}

void CheckVariableName(const std::string& name) {
  EnsureScannerCharacterSets();
  if (name.empty()) return;
  std::string checked = UpperCaseText(name);
  if (checked[0] < '@' || checked[0] > 'Z') {
    SetCalcErrorWithHelp(kMsgIllegalVariableName, 2);
    return;
  }
  for (int32_t k = 1; k <= Length(checked); ++k) {
    const char c = At(checked, k);
    if (c == '[') {
      bool hasVariable = false;
      int32_t position = k;
      if (ResolveSubscripts(checked, kShortTextLength, position, hasVariable) != 0) return;
      k = position;
      continue;
    }
    if (DelimiterPosition(c) != 0 || c == '{' || c == '}' || c == '"') {
      SetCalcErrorWithHelp(kMsgIllegalVariableName, 2);
      return;
    }
  }
  if (Length(checked) > kMaxNameLength) {
    SetMessageArg(1, "");
    CalcErrorCode = kMsgVariableNameTooLong;
  }
}

}  // namespace voq
