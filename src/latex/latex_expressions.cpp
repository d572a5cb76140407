#include "latex/latex_expressions.h"

#include <algorithm>
#include <array>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "language/function_catalog.h"
#include "language/property_calls.h"
#include "language/statement_preparation.h"
#include "latex/latex_text.h"
#include "model/external_routines.h"
#include "model/routines.h"
#include "units/unit_expressions.h"

namespace voq {

namespace {

bool InSet(const std::string& set, char c) { return set.find(c) != std::string::npos; }

std::string Upper(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(LatexUpper(c));
  return out;
}

std::string Lower(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
  return out;
}

// "Name" from "NAME": the first letter upper case, the rest lower case.
std::string Capitalized(const std::string& name) {
  if (name.empty()) return name;
  return std::string(1, LatexUpper(name[0])) + Lower(name.substr(1));
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The ")" that closes the "(" at open, nested parentheses counted.
size_t ClosingParenthesis(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string::npos;
}

// Removes a pair of parentheses that encloses the whole operand.
void StripOuterParentheses(std::string& operand) {
  if (operand.size() >= 2 && operand.front() == '(' && ClosingParenthesis(operand, 0) == operand.size() - 1) {
    operand = operand.substr(1, operand.size() - 2);
  }
}

// A name or number with no operator in it; a name of two or more letters is
// set upright-italic in \V.
bool IsSimpleOperand(std::string& operand) {
  for (char c : operand) {
    if (InSet(TokenSeparators, c)) return false;
  }
  if (operand.size() >= 2 && !InSet(DigitChars, operand[0]) && operand.find('_') == std::string::npos &&
      operand.find('\\') == std::string::npos) {
    operand = "\\V{" + operand + "}";
  }
  return true;
}

// Counters of the bracket kinds a quotient's operands may hold; code 30 is
// a square bracket too.
struct TBracketDepths {
  int Square = 0;
  int Round = 0;
  int Curly = 0;
  bool AllZero() const { return Square == 0 && Round == 0 && Curly == 0; }
  // +1 for an opening, -1 for a closing bracket; false for other characters.
  bool Count(char c) {
    switch (c) {
      case '[': case kLatexBracket: ++Square; return true;
      case ']': --Square; return true;
      case '(': ++Round; return true;
      case ')': --Round; return true;
      case '{': ++Curly; return true;
      case '}': --Curly; return true;
      default: return false;
    }
  }
  bool AnyPositive() const { return Square > 0 || Round > 0 || Curly > 0; }
  bool AnyNegative() const { return Square < 0 || Round < 0 || Curly < 0; }
};

bool IsOperatorStop(char c) { return c != '^' && InSet(LatexOperatorSeparators, c); }

void LatexFraction(std::string& text, size_t slash) {
  // The numerator ends at the nearest operator outside brackets to the
  // left, or at an opening bracket that encloses the quotient.
  size_t numStart = 0;
  TBracketDepths left;
  for (size_t i = slash; i-- > 0;) {
    const char c = text[i];
    if (IsOperatorStop(c) && left.AllZero()) {
      numStart = i + 1;
      break;
    }
    if (left.Count(c) && left.AnyPositive()) {
      numStart = i + 1;
      break;
    }
  }
  size_t denEnd = text.size();
  TBracketDepths right;
  for (size_t i = slash + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (IsOperatorStop(c) && right.AllZero()) {
      denEnd = i;
      break;
    }
    if (right.Count(c) && right.AnyNegative()) {
      denEnd = i;
      break;
    }
  }
  std::string numerator = text.substr(numStart, slash - numStart);
  std::string denominator = text.substr(slash + 1, denEnd - slash - 1);
  StripOuterParentheses(numerator);
  StripOuterParentheses(denominator);
  const bool simpleNumerator = IsSimpleOperand(numerator);
  const bool simpleDenominator = IsSimpleOperand(denominator);
  const std::string quotient = simpleNumerator && simpleDenominator
                                   ? numerator + kLatexSlash + denominator
                                   : "\\frac {" + numerator + "}{ " + denominator + " }";
  text.replace(numStart, denEnd - numStart, quotient);
}

// The exponent of a factor text such as 1.5E-05, without a plus sign or a
// leading zero.
std::string CleanFactorExponent(std::string exponent) {
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '0')) {
    exponent.erase(0, 1);
  } else if (exponent.compare(0, 2, "-0") == 0) {
    exponent.erase(1, 1);
  }
  if (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return exponent;
}

bool IsZeroExponent(const std::string& exponent) {
  return exponent.find_first_not_of("+-0") == std::string::npos;
}

// The call of a function name at p, with its rest, becomes code 11, code 28,
// (arguments), code 29. False when no ")" closes it.
bool MarkCall(std::string& text, size_t p, size_t nameLength) {
  size_t open = p + nameLength;
  while (open < text.size() && text[open] == ' ') ++open;
  const size_t close = ClosingParenthesis(text, open);
  if (close == std::string::npos) return false;
  text.replace(close, 1, std::string(")") + kLatexArgumentClose);
  text.replace(open, 1, std::string(1, kLatexArgumentOpen) + "(");
  text.replace(p, open - p, 1, kLatexItemMark);
  return true;
}

// The search of one function name shared by the call and factorial
// rewrites: it returns the position of the next call (the name at a word
// start, followed by "("), marking the occurrences it passes with code 12.
// npos when the rounds are used up or the name ends the line.
size_t NextCall(std::string& text, const std::string& upperName, int& rounds) {
  while (rounds-- > 0) {
    const size_t p = LatexFindNoCase(text, upperName);
    if (p == std::string::npos) return p;
    if (p > 0 && !InSet(TokenSeparators, text[p - 1]) && text[p - 1] != kLatexArgumentOpen &&
        text[p - 1] != kLatexArgumentClose) {
      text.insert(p + 1, 1, kLatexSkipMark);
      continue;
    }
    size_t rest = p + upperName.size();
    while (rest < text.size() && text[rest] == ' ') ++rest;
    if (rest >= text.size()) return std::string::npos;
    if (text[rest] != '(' || ClosingParenthesis(text, rest) == std::string::npos) {
      text.insert(p, 1, kLatexSkipMark);
      continue;
    }
    return p;
  }
  return std::string::npos;
}

void FinishNameSearch(std::string& text, const std::string& command) {
  text.erase(std::remove(text.begin(), text.end(), kLatexSkipMark), text.end());
  LatexReplaceChar(text, kLatexItemMark, command);
}

// The 18 mathematical functions, in the order they are converted: the longer
// names after the shorter ones they contain, so sinh is not taken for sin.
constexpr std::array<std::array<const char*, 2>, 18> kMathFunctions = {{
    {"SQRT", "\\sqrt"},       {"LN", "\\ln"},           {"LOG10", "\\log"},     {"SIN", "\\sin"},
    {"COS", "\\cos"},         {"TAN", "\\tan"},         {"SINH", "\\sinh"},     {"COSH", "\\cosh"},
    {"TANH", "\\tanh"},       {"MIN", "\\min"},         {"MAX", "\\max"},       {"ARCSIN", "\\arcsin"},
    {"ARCCOS", "\\arccos"},   {"ARCTAN", "\\arctan"},   {"ARCSINH", "\\arcsinh"},
    {"ARCCOSH", "\\arccosh"}, {"ARCTANH", "\\arctanh"}, {"EXP", "\\exp"},
}};

}  // namespace

bool IsCallAt(const std::string& text, size_t p, size_t q) {
  EnsureScannerCharacterSets();
  return (p == 0 || InSet(TokenSeparators, text[p - 1])) && (q >= text.size() || text[q] == '(');
}

void LatexUnitConversion(std::string& text) {
  EnsureScannerCharacterSets();
  for (size_t at = LatexFindNoCase(text, "CONVERTTEMP"); at != std::string::npos;
       at = LatexFindNoCase(text, "CONVERTTEMP", at + 1)) {
    text.replace(at, 11, "TONVERTTEMP");
  }
  size_t from = 0;
  for (;;) {
    const size_t p = LatexFindNoCase(text, "CONVERT", from);
    if (p == std::string::npos) break;
    const size_t nameEnd = p + 7;
    if (nameEnd >= text.size() || !InSet(TokenSeparators, text[nameEnd])) {
      from = nameEnd;
      continue;
    }
    size_t open = nameEnd;
    while (open < text.size() && text[open] == ' ') ++open;
    const size_t close = open < text.size() && text[open] == '(' ? ClosingParenthesis(text, open)
                                                                 : std::string::npos;
    const size_t separator = close == std::string::npos ? close : text.find(ArgumentSeparator, open);
    if (close == std::string::npos || separator == std::string::npos || separator > close) {
      // A variable that happens to be called Convert: nothing to convert.
      from = nameEnd;
      continue;
    }
    auto argument = [](std::string a, bool& empty) {
      a = Trimmed(a);
      if (a == std::string(1, kLatexDollar)) a = "$";
      if (a == std::string(1, kLatexPercent)) a = "%";
      empty = a.empty();
      if (empty) a = "1";
      return a;
    };
    bool fromEmpty = false;
    bool toEmpty = false;
    std::string fromUnits = argument(text.substr(open + 1, separator - open - 1), fromEmpty);
    std::string toUnits = argument(text.substr(separator + 1, close - separator - 1), toEmpty);

    Extended factor = 1;
    std::string factorText;
    const int32_t savedError = CalcErrorCode;
    CalcErrorCode = 0;
    ConvertUnitFactor(fromUnits, toUnits, factor, factorText);
    CalcErrorCode = savedError;

    const size_t e = factorText.find_first_of("Ee");
    if (e != std::string::npos) {
      const std::string mantissa = factorText.substr(0, e);
      const std::string exponent = CleanFactorExponent(factorText.substr(e + 1));
      factorText = IsZeroExponent(exponent) ? mantissa : mantissa + "\\times 10^(" + exponent + ")";
    }
    factorText += "\\ ";

    auto unitText = [](std::string units, bool empty) {
      if (empty) return std::string();
      std::replace(units.begin(), units.end(), '/', kLatexSlash);
      units.erase(0, units.find_first_not_of(' ') == std::string::npos ? units.size()
                                                                        : units.find_first_not_of(' '));
      return units;
    };
    fromUnits = unitText(fromUnits, fromEmpty);
    toUnits = unitText(toUnits, toEmpty);
    std::string replacement = fromEmpty
                                  ? std::string(" \\left") + kLatexBracket + factorText + toUnits + " \\right]"
                                  : std::string(" \\left") + kLatexBracket + factorText + "\\frac {" + toUnits +
                                        "}{" + fromUnits + "}\\right]";
    ReplaceAll(replacement, "-", " \\mbox{-} ");
    text.replace(p, close + 1 - p, replacement);
    from = p + replacement.size();
  }
  LatexReplaceChar(text, '$', std::string(1, kLatexDollar));
  LatexReplaceChar(text, '%', std::string(1, kLatexPercent));
  for (size_t at = text.find("TONVERTTEMP"); at != std::string::npos; at = text.find("TONVERTTEMP", at + 1)) {
    text.replace(at, 11, "ConvertTemp");
  }
}

void LatexFractions(std::string& text) {
  EnsureScannerCharacterSets();
  for (size_t slash = text.find('/'); slash != std::string::npos; slash = text.find('/')) {
    LatexFraction(text, slash);
  }
  std::replace(text.begin(), text.end(), kLatexSlash, '/');
}

void LatexFunctionCall(std::string& text, const std::string& name, const std::string& command) {
  EnsureScannerCharacterSets();
  const std::string upperName = Upper(name);
  int rounds = 26;
  for (size_t p = NextCall(text, upperName, rounds); p != std::string::npos; p = NextCall(text, upperName, rounds)) {
    MarkCall(text, p, upperName.size());
  }
  FinishNameSearch(text, command);
}

void LatexFactorial(std::string& text) {
  EnsureScannerCharacterSets();
  int rounds = 11;
  for (size_t p = NextCall(text, "FACTORIAL", rounds); p != std::string::npos;
       p = NextCall(text, "FACTORIAL", rounds)) {
    size_t open = p + 9;
    while (text[open] == ' ') ++open;
    const size_t close = ClosingParenthesis(text, open);
    const std::string argument = text.substr(open + 1, close - open - 1);
    const bool compound = argument.find_first_of("+-*/^") != std::string::npos;
    text.replace(p, close + 1 - p, (compound ? "(" + argument + ")" : argument) + "!");
  }
  FinishNameSearch(text, "");
}

void LatexFunctionCalls(std::string& text) {
  for (const auto& [name, command] : kMathFunctions) LatexFunctionCall(text, name, command);
  for (const auto& record : BuiltinFunctionTable) {
    if (!record) continue;
    const std::string& name = record->UpperName;
    if (record->TypesetClass == 2) {
      LatexFunctionCall(text, name, "\\F{" + Capitalized(name) + "}");
    } else if (record->TypesetClass == 4) {
      // BESSEL_J0 is J with the subscript 0.
      const size_t underscore = name.find('_');
      if (underscore != std::string::npos && underscore + 2 < name.size()) {
        LatexFunctionCall(text, name,
                          std::string(1, name[underscore + 1]) + "_" + name[underscore + 2] + " ");
      }
    }
  }
  for (int32_t k = 1; k <= FunctionCount; ++k) {
    const TRoutineRecord* routine = FunctionTable[static_cast<size_t>(k)];
    if (routine == nullptr) continue;
    const std::string& name = routine->Name;
    if (name.empty() || IsGreekName(name) || name.find_first_of("_|") != std::string::npos) continue;
    if (Upper(name) == "FACTORIAL") {
      LatexFactorial(text);
    } else {
      LatexFunctionCall(text, name, "\\F{" + name + "}");
    }
  }
  for (const TExternalFunctionRecord* f = ExternalFunctionList; f != nullptr; f = f->Next) {
    const std::string display = f->Name.substr(0, f->Name.find('_'));
    if (!display.empty()) LatexFunctionCall(text, display, "\\F{" + Capitalized(display) + "}");
  }
}

std::string LatexPropertyCommand(const std::string& name) {
  std::string command = Lower(name);
  const size_t underscore = command.find('_');
  if (underscore != std::string::npos) command.erase(underscore, 1);
  return "\\" + command;
}

void LatexPropertyCalls(std::string& text) {
  for (size_t k = 1; k < PropertyFunctionTable.size(); ++k) {
    if (!PropertyFunctionTable[k]) continue;
    const std::string name = Upper(PropertyFunctionTable[k]->Name);
    if (name.empty()) continue;
    const std::string pattern = name + " \\";
    size_t from = 0;
    for (int round = 0; round < 26; ++round) {
      const size_t p = LatexFindNoCase(text, pattern, from);
      if (p == std::string::npos) break;
      text.replace(p, name.size(), 1, kLatexItemMark);
      const size_t open = text.find('(', p);
      if (open == std::string::npos) break;
      if (open + 1 < text.size() && text[open + 1] == ' ') text.erase(open + 1, 1);
      size_t stop = open + 2;
      while (stop < text.size() && text[stop] != ArgumentSeparator && text[stop] != '_' && text[stop] != ')' &&
             text[stop] != '\\' && text[stop] != kLatexDollar) {
        ++stop;
      }
      if (open + 1 >= text.size()) break;
      text.insert(std::min(stop, text.size()), "}");
      text.insert(open + 1, "\\F{");
      from = open;
    }
    LatexReplaceChar(text, kLatexItemMark, LatexPropertyCommand(name));
  }
}

bool LatexIntegral(std::string& text) {
  EnsureScannerCharacterSets();
  const std::string blankAfterSeparator = std::string(1, ArgumentSeparator) + " ";
  for (size_t at = text.find(blankAfterSeparator); at != std::string::npos; at = text.find(blankAfterSeparator, at)) {
    text.erase(at + 1, 1);
  }
  static const std::string pattern = "INTEGRAL \\LEFT";
  auto findCall = [&](size_t from) {
    for (size_t p = LatexFindNoCase(text, pattern, from); p != std::string::npos;
         p = LatexFindNoCase(text, pattern, p + 1)) {
      if (IsCallAt(text, p, p + pattern.size()) && p + pattern.size() < text.size()) return p;
    }
    return std::string::npos;
  };
  size_t p = findCall(0);
  if (p == std::string::npos) return false;
  // Of two calls on one line the later is converted first; the caller runs
  // this again for the earlier one.
  const size_t later = findCall(p + 1);
  if (later != std::string::npos) p = later;

  const char sep = ArgumentSeparator;
  size_t i = p + pattern.size() + 1;  // behind the "("
  const size_t integrandEnd = text.find(sep, i);
  if (integrandEnd == std::string::npos) return false;
  const std::string integrand = Trimmed(text.substr(i, integrandEnd - i));
  i = integrandEnd + 1;
  size_t variableEnd = i;
  while (variableEnd < text.size() && text[variableEnd] != sep && text[variableEnd] != ')' &&
         text[variableEnd] != ' ') {
    ++variableEnd;
  }
  const std::string variable = text.substr(i, variableEnd - i);
  std::string replacement;
  size_t readEnd = variableEnd;
  if (variableEnd < text.size() && text[variableEnd] == sep) {
    const size_t lowerEnd = text.find(sep, variableEnd + 1);
    if (lowerEnd == std::string::npos) return false;
    const std::string lower = Trimmed(text.substr(variableEnd + 1, lowerEnd - variableEnd - 1));
    const size_t close = text.find(')', lowerEnd + 1);
    if (close == std::string::npos) return false;
    std::string upper = text.substr(lowerEnd + 1, close - lowerEnd - 1);
    const size_t right = upper.find("\\right");
    if (right != std::string::npos) upper.erase(right);
    // A fifth argument (the step count) is not shown.
    int round = 0;
    int square = 0;
    size_t lastSeparator = std::string::npos;
    for (size_t k = 0; k < upper.size(); ++k) {
      const char c = upper[k];
      if (c == '(') ++round;
      if (c == ')') --round;
      if (c == '[') ++square;
      if (c == ']') --square;
      if (c == sep && round == 0 && square == 0) lastSeparator = k;
    }
    if (lastSeparator != std::string::npos) upper.erase(lastSeparator);
    upper = Trimmed(upper);
    readEnd = close + 1;
    replacement = "\\int_{" + lower + "}^{" + upper + "} " + integrand + "\\ d" + variable;
  } else {
    replacement = "\\int " + integrand + "\\ d" + variable;
    size_t after = readEnd;
    while (after < text.size() && text[after] == ' ') ++after;
    if (text.compare(after, 7, "\\right)") == 0) readEnd = after + 7;
  }
  text.replace(p, readEnd - p, replacement);
  const size_t table = LatexFindNoCase(text, "INTEGRALTABLE");
  if (table != std::string::npos) text.insert(table + 13, "\\  ");
  return true;
}

void LatexSumProduct(std::string& text, const std::string& upperName) {
  EnsureScannerCharacterSets();
  const std::string head = "\\F{" + upperName + "}" + kLatexArgumentOpen + " \\LEFT";
  const char sep = ArgumentSeparator;
  size_t from = 0;
  for (;;) {
    const size_t p = LatexFindNoCase(text, head, from);
    if (p == std::string::npos) return;
    from = p + 1;
    if (!IsCallAt(text, p, p + head.size()) || p + head.size() >= text.size()) continue;
    size_t i = p + head.size() + 1;
    // The summand may hold calls and brace groups of its own.
    int round = 0;
    int curly = 0;
    size_t summandEnd = i;
    for (; summandEnd < text.size(); ++summandEnd) {
      const char c = text[summandEnd];
      if (c == '(') ++round;
      if (c == ')') --round;
      if (c == '{') ++curly;
      if (c == '}') --curly;
      if (c == sep && round == 0 && curly == 0) break;
    }
    if (summandEnd >= text.size()) continue;
    const size_t indexEnd = text.find(sep, summandEnd + 1);
    if (indexEnd == std::string::npos) continue;
    const std::string index = Trimmed(text.substr(summandEnd + 1, indexEnd - summandEnd - 1));
    if (index.find('=') == std::string::npos) continue;
    const size_t close = text.find(')', indexEnd + 1);
    if (close == std::string::npos) continue;
    std::string upper = text.substr(indexEnd + 1, close - indexEnd - 1);
    const size_t right = upper.find("\\right");
    if (right != std::string::npos) upper.erase(right);
    upper = Trimmed(upper);
    if (index.empty() || upper.empty()) continue;
    const std::string summand = Trimmed(text.substr(i, summandEnd - i));
    const std::string replacement = std::string(1, kLatexArgumentOpen) +
                                    (upperName == "PRODUCT" ? "\\prod" : "\\sum") + " \\limits_{" + index +
                                    "}^{" + upper + "} " + summand;
    text.replace(p, close + 1 - p, replacement);
    from = p + replacement.size();
  }
}

void LatexSeparatorSpacing(std::string& text) {
  for (int round = 0; round < 51; ++round) {
    const size_t at = text.find(ArgumentSeparator);
    if (at == std::string::npos) break;
    text[at] = kLatexItemMark;
    text.insert(at + 1, "\\ ");
  }
  std::replace(text.begin(), text.end(), kLatexItemMark, ArgumentSeparator);
}

}  // namespace voq
