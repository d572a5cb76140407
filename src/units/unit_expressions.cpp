#include "units/unit_expressions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "core/numeric_library.h"
#include "core/text_utils.h"

namespace voq {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

void StripLeadingBlanks(std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  s.erase(0, i);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal text with "." as the point, whatever the system separator:
// unit texts are written that way. errorPos: 0-based position of the first
// character that does not fit, or npos.
bool ReadPlainDecimal(const std::string& text, Extended& value, size_t& errorPos) {
  errorPos = std::string::npos;
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool digits = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      errorPos = i;
      return false;
    }
  }
  if (!digits) {
    errorPos = text.size();
    return false;
  }
  // from_chars reads "." whatever the process locale is.
  const char* first = text.data();
  if (*first == '+') ++first;
  const auto result = std::from_chars(first, text.data() + text.size(), value);
  return result.ec == std::errc();
}

void Apply(Extended unitFactor, const TDimensionVector& unitExponents, bool divide, Extended& factor,
           TDimensionVector& exponents) {
  for (int k = 0; k < kDimensionCount; ++k) {
    exponents[k] += divide ? -unitExponents[k] : unitExponents[k];
  }
  factor = divide ? factor / unitFactor : factor * unitFactor;
}

// The value of the text inside "^( )": a/b or a number.
Extended ParenthesisedPowerValue(std::string text) {
  StripLeadingBlanks(text);
  if (!text.empty() && text[0] == kUnaryMinusMark) text[0] = '-';
  const size_t slash = text.find('/');
  Extended a = 0;
  Extended b = 1;
  size_t errorPos = 0;
  bool ok = false;
  if (slash != std::string::npos) {
    ok = ReadPlainDecimal(Trimmed(text.substr(0, slash)), a, errorPos) &&
         ReadPlainDecimal(Trimmed(text.substr(slash + 1)), b, errorPos);
    if (ok) a /= b;
  } else {
    ok = ReadPlainDecimal(Trimmed(text), a, errorPos);
  }
  if (!ok) {
    CalcErrorCode = kMsgSyntaxError;
    return BlankValue;
  }
  return a;
}

}  // namespace

bool SameDimensions(const TDimensionVector& a, const TDimensionVector& b) {
  for (int k = 0; k < kDimensionCount; ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

Extended EvalUnitTerm(const std::string& termIn, TDimensionVector& exponents) {
  std::string t = termIn;
  bool numerator = true;
  if (!t.empty() && t[0] == '/') {
    t.erase(0, 1);
    numerator = false;
  }
  if (t.empty()) return 1.0L;
  size_t slashes = 0;
  for (char c : t) slashes += c == '/' ? 1 : 0;
  if (slashes > 1) {
    CalcErrorCode = kMsgUnitDivision;
    return 1.0L;
  }
  std::string s;
  for (char c : t) {
    if (c != ' ') s.push_back(c);
  }
  s.push_back('-');
  Extended factor = 1.0L;
  bool negativePower = false;
  size_t start = 0;
  size_t i = 0;
  auto nameHere = [&]() { return Upper(s.substr(start, i - start)).substr(0, kUnitNameLength); };
  auto applyName = [&](const std::string& name, Extended power, bool usePower) {
    TDimensionVector e{};
    Extended f = FindUnitDefinition(name, e);
    if (usePower) {
      f = PowerReal(f, power);
      for (Extended& x : e) x *= power;
    }
    Apply(f, e, !(numerator && !negativePower), factor, exponents);
  };
  while (i < s.size()) {
    const char c = s[i];
    if (c == '-' || c == '*' || c == kMiddleDot || c == kUnaryMinusMark) {
      negativePower = false;
      if (i + 1 < s.size() && s[i + 1] >= '1' && s[i + 1] <= '9') {
        s.erase(i, 1);
        negativePower = true;
        continue;
      }
      const std::string name = nameHere();
      if (!name.empty()) applyName(name, 1, false);
      ++i;
      start = i;
    } else if (c == '/') {
      negativePower = false;
      const std::string name = Trimmed(nameHere());
      if (!name.empty()) applyName(name, 1, false);
      ++i;
      start = i;
      numerator = !numerator;
    } else if (c == '^') {
      negativePower = false;
      s.erase(i, 1);
    } else if (IsDigit(c) || c == '.') {
      size_t end = i;
      while (end < s.size() && (IsDigit(s[end]) || s[end] == '.')) ++end;
      const char after = end < s.size() ? s[end] : '-';
      if (after != '*' && after != '-' && after != '/' && after != '^' && after != ' ' &&
          after != kMiddleDot) {
        i = end;  // part of the name, as in inH2O
        continue;
      }
      const std::string name = nameHere();
      if (name.empty()) {
        if (s[end - 1] == '1') {
          s.erase(end - 1, 1);
          continue;
        }
        SetMessageArg(1, s.substr(start, s.size() - 1 - start));
        CalcErrorCode = kMsgUnknownUnitSpecification;
        return 1.0L;
      }
      const std::string run = s.substr(i, end - i);
      Extended power = 0;
      size_t errorPos = 0;
      if (!ReadPlainDecimal(run, power, errorPos)) {
        SetMessageArg(1, errorPos < run.size() ? run.substr(errorPos, 1) : std::string());
        SetMessageArg(2, s.substr(start, s.size() - 1 - start));
        CalcErrorCode = kMsgIllegalCharacter;
        return 1.0L;
      }
      applyName(name, power, true);
      i = end;
      start = i;
    } else {
      ++i;
    }
  }
  return factor;
}

Extended EvalUnitExpression(const std::string& text, TDimensionVector& exponents) {
  exponents = TDimensionVector{};
  Extended factor = 1.0L;
  std::string s = text;
  // Parenthesised powers become plain numbers: m^(1/2) -> m^0.50000.
  for (size_t p = s.find("^("); p != std::string::npos && CalcErrorCode == 0; p = s.find("^(")) {
    const size_t close = s.find(')', p + 2);
    if (close == std::string::npos) {
      CalcErrorCode = kMsgUnmatchedParentheses;
      break;
    }
    const Extended value = ParenthesisedPowerValue(s.substr(p + 2, close - p - 2));
    if (CalcErrorCode != 0) break;
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 5);
    s = s.substr(0, p + 1) + std::string(buffer, written.ptr) + s.substr(close + 1);
  }
  int j = 0;
  bool leadingSlash = false;
  size_t i = 0;
  bool powerEnded = false;
  while (CalcErrorCode == 0 && i < s.size()) {
    const char c = s[i];
    if (c == '(') {
      if (i > 0 && j == 0) {
        std::string t = Trimmed(s.substr(0, i));
        leadingSlash = !t.empty() && t[0] == '/';
        const bool endsWithSlash = !t.empty() && t.back() == '/';
        if (!t.empty() && (t[0] == '-' || t[0] == '*')) t.erase(0, 1);
        factor *= EvalUnitTerm(t, exponents);
        s.erase(0, i);
        if (endsWithSlash) s.insert(1, "/");
        i = 0;
      }
      ++j;
      ++i;
    } else if (c == ')') {
      if (j != 1) {
        CalcErrorCode = j >= 2 ? kMsgConvertNestedParentheses : kMsgConvertParentheses;
        break;
      }
      const size_t open = s.rfind('(', i);
      std::string group = (leadingSlash ? "/" : "") + s.substr(open + 1, i - open - 1);
      if (group.rfind("//", 0) == 0) group.erase(0, 1);
      group = Trimmed(group);
      TDimensionVector groupExponents{};
      const Extended groupFactor = EvalUnitTerm(group, groupExponents);
      if (CalcErrorCode != 0) {
        for (int k = 0; k < kDimensionCount; ++k) exponents[k] += groupExponents[k];
        break;
      }
      std::string rest = s.substr(i + 1);
      StripLeadingBlanks(rest);
      int64_t n = 1;
      if (!rest.empty() && rest[0] == '^') {
        std::string after = rest.substr(1);
        size_t run = 0;
        while (run < after.size() && (IsDigit(after[run]) || after[run] == '(' || after[run] == ')' ||
                                      after[run] == '-' || after[run] == kUnaryMinusMark)) {
          ++run;
        }
        if (run + 1 == after.size()) run = after.size();
        std::string power = after.substr(0, run);
        int depth = 0;
        bool balanced = true;
        for (char pc : power) {
          depth += pc == '(' ? 1 : pc == ')' ? -1 : 0;
          if (depth < 0) balanced = false;
        }
        if (!balanced || depth != 0) {
          CalcErrorCode = kMsgUnmatchedParentheses;
          break;
        }
        while (power.size() >= 2 && power.front() == '(' && power.back() == ')') {
          power = power.substr(1, power.size() - 2);
        }
        if (!power.empty() && power[0] == kUnaryMinusMark) power[0] = '-';
        // A separator after the power starts text that is ignored: (m/s)^2-kg.
        while (power.size() > 1 && (power.back() == '-' || power.back() == kUnaryMinusMark)) power.pop_back();
        char* endPtr = nullptr;
        const long long value = power.empty() ? 0 : std::strtoll(power.c_str(), &endPtr, 10);
        if (power.empty() || endPtr == nullptr || *endPtr != '\0' || power == "-") {
          SetMessageArg(1, after);
          CalcErrorCode = kMsgUnknownUnitSpecification;
          break;
        }
        n = value;
        powerEnded = true;
      }
      // The group counts with its net power n: 1/group for n < 0, nothing for 0.
      if (n >= 0) {
        for (int64_t k = 0; k < n; ++k) factor *= groupFactor;
        for (int k = 0; k < kDimensionCount; ++k) exponents[k] += groupExponents[k] * static_cast<Extended>(n);
      } else {
        for (int64_t k = 0; k < -n; ++k) factor /= groupFactor;
        for (int k = 0; k < kDimensionCount; ++k) exponents[k] += groupExponents[k] * static_cast<Extended>(n);
      }
      if (powerEnded) {
        j = 0;
        break;
      }
      s = rest;
      i = 0;
      j = 0;
    } else {
      ++i;
    }
  }
  if (CalcErrorCode == 0 && !powerEnded && j == 0 && !s.empty() && s.find('(') == std::string::npos) {
    factor *= EvalUnitTerm(s, exponents);
  } else if (CalcErrorCode == 0 && j != 0) {
    CalcErrorCode = kMsgConvertParentheses;
  }
  if (CalcErrorCode != 0) return 1.0L;
  return factor;
}

namespace {

std::string PrepareConvertText(std::string s) {
  if (s.size() >= 2 && s.front() == '[' && s.back() == ']') s = s.substr(1, s.size() - 2);
  RemoveQuoteChars(s);
  for (size_t k = 1; k + 1 < s.size(); ++k) {
    if (s[k] == '*' && !(s[k - 1] == ')' && s[k + 1] == '(')) s[k] = '-';
  }
  return s;
}

std::string WithHyphens(std::string s) {
  for (char& c : s) {
    if (c == kUnaryMinusMark) c = '-';
  }
  return s;
}

}  // namespace

void ConvertUnitFactor(const std::string& fromUnits, const std::string& toUnits, Extended& factor,
                       std::string& factorText) {
  if (CalcErrorCode != 0) return;
  auto fail = [&]() {
    factor = 1.0L;
    factorText = "1";
  };
  UnitSearchFromEnd = false;
  const std::string a = PrepareConvertText(fromUnits);
  if (CalcErrorCode != 0) return fail();
  const std::string b = PrepareConvertText(toUnits);
  if (CalcErrorCode != 0) return fail();
  TDimensionVector dA{};
  TDimensionVector dB{};
  Extended fA = EvalUnitExpression(a, dA);
  if (CalcErrorCode != 0) return fail();
  Extended fB = EvalUnitExpression(b, dB);
  if (CalcErrorCode != 0) return fail();
  auto differ = [&]() {
    for (int k = 0; k < kDimensionCount; ++k) {
      if (k != kAnglePosition && dA[k] != dB[k]) return true;
    }
    return false;
  };
  if (differ()) {
    const std::string args[4] = {WithHyphens(a), DimensionFormula(dA), WithHyphens(b), DimensionFormula(dB)};
    // A name defined under two dimensions: try its last definition.
    UnitSearchFromEnd = true;
    fA = EvalUnitExpression(a, dA);
    bool still = CalcErrorCode != 0 || differ();
    if (still) {
      CalcErrorCode = 0;
      fB = EvalUnitExpression(b, dB);
      still = CalcErrorCode != 0 || differ();
    }
    UnitSearchFromEnd = false;
    if (still) {
      for (int k = 0; k < 4; ++k) SetMessageArg(k + 1, args[k]);
      CalcErrorCode = kMsgInconsistentUnits;
      MessageHelpContext = 181;
      return fail();
    }
  }
  factor = fA / fB;
  factorText = FactorDisplayText(factor);
}

std::string FactorDisplayText(Extended x) {
  const Extended ax = std::fabs(x);
  std::string text;
  if (ax >= 0.001L && ax <= 1000000.0L) {
    int64_t d = static_cast<int64_t>(6 - std::log(ax) / 2.3025L);
    if (d > 6 || d < 0) d = 6;
    text = RealToStr(TDisplayFormat{kStyleFixed, static_cast<int16_t>(d)}, x);
    const size_t point = text.find_first_of(".,");
    if (point != std::string::npos) {
      while (text.size() > point + 1 && text.back() == '0') text.pop_back();
      if (text.size() == point + 1) text.pop_back();
    }
    return text;
  }
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 5);
  text.assign(buffer, written.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  size_t e = text.find('E');
  while (e > 0 && text[e - 1] == '0') {
    text.erase(e - 1, 1);
    --e;
  }
  if (e > 0 && text[e - 1] == '.') {
    text.erase(e - 1, 1);
    --e;
  }
  if (e + 1 < text.size() && text[e + 1] == '+') text.erase(e + 1, 1);
  if (DecimalSeparator != '.') {
    const size_t point = text.find('.');
    if (point != std::string::npos) text[point] = DecimalSeparator;
  }
  return text;
}

std::string DimensionFormula(const TDimensionVector& e) {
  auto power = [](Extended x) { return std::to_string(static_cast<long long>(RoundReal(x))); };
  std::string text = "(";
  bool first = true;
  for (int k = 0; k < kDimensionCount; ++k) {
    if (e[k] > 0) {
      if (!first) text += "-";
      first = false;
      text.push_back(kDimensionLetters[k]);
      if (e[k] > 1) text += "^" + power(e[k]);
    }
  }
  bool anyNegative = false;
  for (Extended x : e) anyNegative = anyNegative || x < 0;
  if (anyNegative) {
    text += "/";
    first = true;
    for (int k = 0; k < kDimensionCount; ++k) {
      if (e[k] < 0) {
        if (!first) text += "-";
        first = false;
        text.push_back(kDimensionLetters[k]);
        if (e[k] < -1) text += "^" + power(-e[k]);
      }
    }
  }
  return text + ")";
}

}  // namespace voq
