#include "language/statement_preparation.h"

#include <algorithm>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "model/store_state.h"

namespace voq {

std::string DelimiterChars;
std::string TokenSeparators;
std::string WordSeparators;
std::string DigitChars;
std::string NumberChars;
std::string LetterSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
char PolarAngleChar = '<';
char ComplexLetter = 'i';
std::vector<std::string> StringLiteralStack;
bool StringOutputAssignment = false;

namespace {

char builtForDecimal = 0;
char builtForArgument = 0;

// A statement longer than the buffer cannot be compiled.

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool InSet(const std::string& set, char c) { return set.find(c) != std::string::npos; }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && SameTextNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void BuildScannerCharacterSets() {
  const char sep = ArgumentSeparator;
  DelimiterChars = {kMarkEnd, ')', '(', sep, '+', '-', '=', '*', '/', kMarkNegate, '^', ':'};
  TokenSeparators = {' ', '=', '+', '-', '*', '/', '^', '(', ')', '{', '}', ',', ':', ';',
                     '[', ']', kMarkNegate, '\r', '"'};
  if (DecimalSeparator != '.') {
    // Under a decimal comma the comma belongs to numbers: ';' takes its
    // place between arguments and ':' between statements.
    std::replace(TokenSeparators.begin(), TokenSeparators.end(), ';', ':');
    std::replace(TokenSeparators.begin(), TokenSeparators.end(), ',', ';');
  }
  WordSeparators.clear();
  for (char c : TokenSeparators) {
    if (c != '[' && c != ']') WordSeparators.push_back(c);
  }
  DigitChars = "0123456789";
  DigitChars.push_back(DecimalSeparator);
  NumberChars = DigitChars + "E+-";
  LetterSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  builtForDecimal = DecimalSeparator;
  builtForArgument = ArgumentSeparator;
}

void EnsureScannerCharacterSets() {
  if (DelimiterChars.empty() || builtForDecimal != DecimalSeparator ||
      builtForArgument != ArgumentSeparator) {
    BuildScannerCharacterSets();
  }
}

int32_t DelimiterPosition(char c) {
  EnsureScannerCharacterSets();
  size_t p = DelimiterChars.find(c);
  return p == std::string::npos ? 0 : static_cast<int32_t>(p) + 1;
}

bool IsTokenSeparator(char c) {
  EnsureScannerCharacterSets();
  return InSet(TokenSeparators, c);
}
bool IsWordSeparator(char c) {
  EnsureScannerCharacterSets();
  return InSet(WordSeparators, c);
}

// --- Blanks ---------------------------------------------------------------------

void StripBlanks(std::string& text, int32_t /*maxLength*/) {
  EnsureScannerCharacterSets();
  std::erase_if(text, [](char c) { return c == '\x01' || c == '\r'; });
  const bool complexMode = CurrentProgramUnit != nullptr && CurrentProgramUnit->UnitComplexMode;
  const bool gotoInBody = CompilingFunctionIndex > 0 && StartsWithNoCase(text, "GOTO");
  auto separator = [&](char c) { return IsTokenSeparator(c) || (complexMode && c == PolarAngleChar); };
  bool anyProtected = false;
  size_t from = 0;
  for (;;) {
    size_t at = text.find(' ', from);
    if (at == std::string::npos) break;
    const int32_t n = static_cast<int32_t>(at) + 1;
    if (n == 1) {
      CalcErrorStart += 1;
      text.erase(0, 1);
      continue;
    }
    const char before = text[at - 1];
    const bool last = at + 1 == text.size();
    const char after = last ? '\0' : text[at + 1];
    if (gotoInBody && !separator(before)) break;  // the blank after GOTO stays
    // A blank inside a quoted text is kept.
    if (ProtectQuotedSpaces(text, n)) {
      anyProtected = true;
      from = at + 1;
      continue;
    }
    if (separator(before) || last || separator(after)) {
      text.erase(at, 1);
      from = at;
      continue;
    }
    if (StartsWithNoCase(text, "IF")) {
      SetCalcErrorWithHelp(kMsgIfOutsideRoutine, 150);
    } else {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    }
    break;
  }
  if (anyProtected) std::replace(text.begin(), text.end(), kProtectedSpace, ' ');
}

// --- String literals ----------------------------------------------------------

void ExtractStringLiterals(std::string& text, int32_t /*maxLength*/) {
  size_t from = 0;
  for (;;) {
    size_t a = text.find('\'', from);
    if (a == std::string::npos) return;
    size_t b = text.find('\'', a + 1);
    if (b == std::string::npos) {
      SetMessageArg(1, "in " + (StringLiteralStack.empty() ? text : StringLiteralStack[0]));
      CalcErrorCode = kMsgUnmatchedQuotes;
      return;
    }
    StringLiteralStack.push_back(text.substr(a + 1, b - a - 1));
    text[a] = '\x05';
    text[b] = '\x05';
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(a) + 1,
              text.begin() + static_cast<std::ptrdiff_t>(b), '&');
    from = b + 1;
  }
}

// The literals go back into the quote pairs in order. Walking the pairs
// (rather than searching for "'&") also puts an empty literal '' back in its
// own place.
void RestoreStringLiterals(std::string& text, int32_t /*maxLength*/) {
  size_t from = 0;
  size_t item = 1;
  while (item < StringLiteralStack.size()) {
    size_t a = text.find('\'', from);
    if (a == std::string::npos) break;
    size_t b = text.find('\'', a + 1);
    if (b == std::string::npos) break;
    const std::string& literal = StringLiteralStack[item];
    text.replace(a + 1, b - a - 1, literal);
    from = a + 1 + literal.size() + 1;
    ++item;
  }
  if (StringLiteralStack.size() > 1) StringLiteralStack.resize(1);
}

// --- Complex-mode rewrites ------------------------------------------------------

void RewritePolarNotation(std::string& text, int32_t maxLength) {
  for (size_t guard = 0; guard < 256; ++guard) {
    size_t p = text.find(PolarAngleChar);
    if (p == std::string::npos) return;
    size_t n = p;  // operand before: after the nearest delimiter to the left
    while (n > 0 && DelimiterPosition(text[n - 1]) == 0) --n;
    size_t a = p + 1;
    int depth = 0;
    while (a < text.size()) {
      char c = text[a];
      if (c == '(') {
        ++depth;
      } else if (c == ')' && depth > 0) {
        --depth;
      } else if (depth == 0 && DelimiterPosition(c) != 0) {
        break;
      }
      ++a;
    }
    std::string rewritten = text.substr(0, n) + "PolarToRect(" + text.substr(n, p - n) +
                            ArgumentSeparator + text.substr(p + 1, a - p - 1) + ")" + text.substr(a);
    if (static_cast<int32_t>(rewritten.size()) > maxLength) {
      CalcErrorCode = kMsgStatementTooLong;
      return;
    }
    text = rewritten;
  }
}

void RewriteComplexPartSuffix(bool realPart, std::string& text) {
  const char letter = realPart ? 'R' : 'I';
  const std::string call = realPart ? "Real(" : "Imag(";
  size_t i = 1;  // 0-based index of "_" ; it must not be the first character
  while (i + 1 < text.size()) {
    const bool match = text[i] == '_' && (text[i + 1] == letter || text[i + 1] == letter + 32) &&
                       (i + 2 == text.size() || IsTokenSeparator(text[i + 2])) &&
                       !IsTokenSeparator(text[i - 1]);
    if (!match) {
      ++i;
      continue;
    }
    // Look left from two before "_" down to the second character.
    size_t j = std::string::npos;
    for (size_t k = i - 1; k >= 2; --k) {
      if (IsTokenSeparator(text[k - 1])) {
        j = k - 1;
        break;
      }
    }
    if (j == std::string::npos || i < 2) {
      ++i;
      continue;
    }
    text.erase(i + 1, 1);
    text[i] = ')';
    text.insert(j + 1, call);
    i += call.size() + 1;
  }
}

// --- The whole preparation ------------------------------------------------------

void PrepareStatement(std::string& text, int32_t maxLength) {
  EnsureScannerCharacterSets();
  CalcErrorCode = 0;
  StringLiteralStack.clear();
  StringLiteralStack.push_back(text);
  ExtractStringLiterals(text, maxLength);
  if (CalcErrorCode != 0) return;
  std::replace(text.begin(), text.end(), '\x05', '\'');

  // 2. A leading minus is unary; trailing control characters go.
  if (!text.empty() && text[0] == '-') text[0] = kMarkNegate;
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();

  // 3. Operator pairs the compiler cannot take.
  const std::string sep(1, ArgumentSeparator);
  bool pairError = !text.empty() && InSet("=+-(^*/", text.back());
  if (!pairError) {
    const std::string pairs[] = {"=*", "^+", "=/", "()", sep + ")", "^)", sep + sep, sep + ":",
                                 "*)", "/)", "+)", "-)", ")("};
    for (const std::string& pair : pairs) {
      if (Contains(text, pair)) {
        pairError = true;
        break;
      }
    }
  }
  if (pairError) {
    CalcErrorCode = kMsgSyntaxError;
  } else {
    // 4. Sign sequences.
    ReplaceAllShort("**", "^", text, maxLength);
    ReplaceAllShort("--", "+", text, maxLength);
    ReplaceAllShort("+-", "-", text, maxLength);
    ReplaceAllShort("-+", "-", text, maxLength);
    ReplaceAllShort("++", "+", text, maxLength);
    ReplaceAllShort("=-", std::string("=") + kMarkNegate, text, maxLength);
    ReplaceAllShort("(-", std::string("(") + kMarkNegate, text, maxLength);

    // 5. Parentheses, brackets and the equal sign.
    int depth = 0;
    int brackets = 0;
    size_t equalAt = std::string::npos;
    for (size_t k = 0; k < text.size() && CalcErrorCode == 0; ++k) {
      const char c = text[k];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth < 0) CalcErrorCode = kMsgSyntaxError;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '=' && depth == 0) {
        if (equalAt == std::string::npos) {
          equalAt = k;
          if (k > 0 && InSet("+-*/^", text[k - 1])) CalcErrorCode = kMsgSyntaxError;
        } else {
          CalcErrorCode = kMsgSecondEqualSign;
        }
      }
    }
    if (CalcErrorCode == 0) {
      if (depth != 0) {
        CalcErrorCode = kMsgUnmatchedParentheses;
      } else if (equalAt == std::string::npos) {
        if (CompilingFunctionIndex == 0 && StartsWithNoCase(text, "IF")) {
          SetCalcErrorWithHelp(kMsgIfOutsideRoutine, 150);
        } else {
          CalcErrorCode = kMsgNoEqualSign;
        }
      } else if (brackets != 0) {
        CalcErrorCode = kMsgUnmatchedBrackets;
      }
    }
    if (CalcErrorCode != 0) return;

    // 6. (left)=(right) and the end byte. A wrapped statement that no longer
    // fits the buffer is refused rather than cut (a cut one would lose its
    // end and compile to incomplete code).
    std::string wrapped = "(" + text.substr(0, equalAt) + ")=(" + text.substr(equalAt + 1) + ")";
    wrapped.push_back(kMarkEnd);
    if (static_cast<int32_t>(wrapped.size()) > maxLength) {
      CalcErrorCode = kMsgStatementTooLong;
      return;
    }
    text = wrapped;

    // 7. Signs after an operator or an opening parenthesis: "+" goes, "-" is unary.
    char prev = '+';
    for (size_t k = 0; k < text.size();) {
      const char c = text[k];
      if ((c == '+' || c == '-') && DelimiterPosition(prev) > 2) {
        prev = c;
        if (c == '+') {
          text.erase(k, 1);
          SourceShift -= 1;
          continue;
        }
        text[k] = kMarkNegate;
        ++k;
        continue;
      }
      prev = c;
      ++k;
    }
  }

  // 8. String operations (these checks may replace an error of step 3).
  const std::string upper = UpperCaseText(text);
  const bool hasLookup = Contains(upper, "LOOKUP(");
  size_t stringLeft = text.find("$)=(");
  if (stringLeft != std::string::npos) {
    if (!StringOutputAssignment) {
      bool ok = false;
      for (size_t k = stringLeft + 4; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '\'' || c == '$') {
          ok = true;
          break;
        }
        if (IsTokenSeparator(c)) break;
      }
      if (!ok) SetCalcErrorWithHelp(kMsgIllegalStringAssignment, 190);
    }
  } else {
    size_t right = text.find(")=(");
    if (Contains(text, ")=('") && !Contains(text, "$[") && !hasLookup) {
      SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
      return;
    }
    if (right != std::string::npos) {
      bool stringOperand = false;
      for (size_t k = right + 3; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '$' && (k + 1 == text.size() || IsTokenSeparator(text[k + 1]))) {
          stringOperand = true;
          break;
        }
        if (IsTokenSeparator(c)) break;
      }
      if (stringOperand && !(text.size() > 1 && text[1] == '\'') && !hasLookup) {
        SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
      }
    }
  }
  if (Contains(text, "')=") && !Contains(text, "$"))
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
  if (Contains(text, "$+") || Contains(text, "$^")) {
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
  } else if ((Contains(text, "$*") || Contains(text, "$/") || Contains(text, "$-")) &&
             !Contains(upper, "CONVERT")) {
    SetCalcErrorWithHelp(kMsgIllegalStringOperation, 190);
  }

  // 9. Complex-mode rewrites.
  if (CalcErrorCode == 0 && CurrentProgramUnit != nullptr && CurrentProgramUnit->UnitComplexMode) {
    RewritePolarNotation(text, maxLength);
    if (CalcErrorCode == 0) {
      RewriteComplexPartSuffix(true, text);
      RewriteComplexPartSuffix(false, text);
    }
  }

  // 10.
  RestoreStringLiterals(text, maxLength);
}

}  // namespace voq
