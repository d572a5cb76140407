#include "core/number_text.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <locale.h>

#include "core/locale_settings.h"
#include "core/string_constants.h"

namespace voq {

namespace {

// printf and strtold follow the process locale (a desktop toolkit switches
// it to the user's); the text forms here are defined with "." and the
// separator is put in by hand, so conversions run under the "C" locale.
class CNumericLocale {
 public:
  CNumericLocale() {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    previous_ = cLocale ? uselocale(cLocale) : static_cast<locale_t>(nullptr);
  }
  ~CNumericLocale() {
    if (previous_) uselocale(previous_);
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t previous_;
};

constexpr int32_t kFixedFieldWidth = 21;
// The fixed conversion writes magnitudes from here on in exponential form,
// with as many significant digits as fit the 21-character field.
constexpr Extended kFixedLimit = 1E36L;
constexpr int32_t kFixedLimitSignificant = 13;
// Defensive bound on fixed decimals.
constexpr int32_t kMaxFixedDecimals = 40;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// 0 -> +0 so that no "-0" is written.
Extended PositiveZero(Extended value) { return value == 0 ? 0.0L : value; }

}  // namespace

void StrToReal(const std::string& text, Extended& value, int32_t& errorPos) {
  std::string s = text;
  if (DecimalSeparator != '.') {
    const size_t at = s.find(DecimalSeparator);
    if (at != std::string::npos) s[at] = '.';
  }
  const size_t n = s.size();
  size_t i = 0;
  auto fail = [&](size_t index) { errorPos = static_cast<int32_t>(index + 1); };

  while (i < n && s[i] == ' ') ++i;
  const size_t start = i;
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < n && IsDigit(s[i])) ++i, ++mantissaDigits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return fail(i);
  if (i < n && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return fail(i);
  }
  if (i < n) return fail(i);

  Extended result;
  {
    CNumericLocale cLocale;
    result = std::strtold(s.c_str() + start, nullptr);
  }
  // Beyond the 10-byte range: not a number this system can hold.
  if (std::isinf(result)) return fail(start);
  value = result;
  errorPos = 0;
}

bool TryStrToReal(const std::string& text, Extended& value) {
  Extended result = 0;
  int32_t errorPos = 0;
  StrToReal(text, result, errorPos);
  if (errorPos != 0) return false;
  value = result;
  return true;
}

Extended ParseReal(const std::string& text, bool& ok) {
  Extended result = BlankValue;
  std::string s = text;
  std::erase(s, ' ');
  if (!s.empty() && s.back() == DecimalSeparator) s += '0';
  ok = true;
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  Extended value = 0;
  if (s.compare(0, 3, "INF") == 0) {
    value = InfinityValue;
  } else if (s.compare(0, 4, "-INF") == 0) {
    value = -InfinityValue;
  } else {
    ok = TryStrToReal(s, value);
  }
  if (ok) result = value;
  return result;
}

std::string ExponentialConversion(Extended value, int32_t significant) {
  significant = std::clamp(significant, 2, 18);
  value = PositiveZero(value);
  char buffer[64];
  {
    CNumericLocale cLocale;
    std::snprintf(buffer, sizeof buffer, "%.*Le", static_cast<int>(significant - 1), value);
  }
  std::string s = buffer;
  const size_t e = s.find('e');
  if (e == std::string::npos) return (s[0] == '-') ? s : " " + s;  // inf, nan
  const int exponent = std::atoi(s.c_str() + e + 1);
  char exponentText[16];
  std::snprintf(exponentText, sizeof exponentText, "E%c%04d", exponent < 0 ? '-' : '+',
                exponent < 0 ? -exponent : exponent);
  std::string mantissa = s.substr(0, e);
  if (mantissa[0] != '-') mantissa.insert(0, 1, ' ');
  return mantissa + exponentText;
}

std::string FixedConversion(Extended value, int32_t decimals) {
  if (std::fabs(value) >= kFixedLimit) return ExponentialConversion(value, kFixedLimitSignificant);
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  value = PositiveZero(value);
  char buffer[128];
  {
    CNumericLocale cLocale;
    std::snprintf(buffer, sizeof buffer, "%*.*Lf", static_cast<int>(kFixedFieldWidth),
                  static_cast<int>(decimals), value);
  }
  return buffer;
}

void RealToStr(std::string& text, const TDisplayFormat& format, Extended value) {
  if (format.Style == kStyleStringConstant) {
    int32_t n = 0;
    if (value >= 0 && std::isfinite(value)) {
      const Extended rounded = std::nearbyint(value);
      if (rounded <= static_cast<Extended>(StringConstants.size())) n = static_cast<int32_t>(rounded);
    }
    StringConstText(n, text);
    return;
  }
  if (format.Style == kStyleFixed) {
    text = FixedConversion(value, format.Digits);
  } else {
    text = ExponentialConversion(value, format.Digits + 1);
  }
  const size_t first = text.find_first_not_of(' ');
  text.erase(0, first == std::string::npos ? text.size() : first);
  if (format.Style != kStyleFixed) {
    size_t e = text.find('E');
    if (e != std::string::npos) {
      // Keep at least two exponent digits: E+0005 -> E+05, E+0123 -> E+123.
      for (int k = 0; k < 2 && e + 2 < text.size() && text[e + 2] == '0'; ++k) text.erase(e + 2, 1);
      // Two significant digits were converted; keep only the first.
      if (format.Digits == 0 && e >= 2) text.erase(e - 2, 2);
    }
  }
  if (IsInfinityValue(value)) text = value < 0 ? "-infinity" : "infinity";
  if (DecimalSeparator != '.') {
    const size_t point = text.find('.');
    if (point != std::string::npos) text[point] = DecimalSeparator;
  }
}

std::string RealToStr(const TDisplayFormat& format, Extended value) {
  std::string text;
  RealToStr(text, format, value);
  return text;
}

void StrToLongSafe(const std::string& text, int32_t& n, bool& ok) {
  n = 0;
  ok = false;
  Extended value = 0;
  if (!TryStrToReal(text, value)) return;
  const Extended whole = std::trunc(value);
  if (!(whole >= static_cast<Extended>(std::numeric_limits<int32_t>::min()) &&
        whole <= static_cast<Extended>(std::numeric_limits<int32_t>::max()))) {
    return;
  }
  n = static_cast<int32_t>(whole);
  ok = true;
}

void IntToShort(int64_t n, std::string& text, int32_t maxLength) {
  text = std::to_string(n);
  if (maxLength < 0) maxLength = 0;
  if (text.size() > static_cast<size_t>(maxLength)) text.resize(static_cast<size_t>(maxLength));
}

uint8_t CompareReals(Extended a, Extended b) {
  if (a > b) return 0;
  if (a < b) return 1;
  return 2;
}

Extended RoundReal(Extended x) {
  if (!std::isfinite(x)) return x;
  const Extended below = std::floor(x);
  // x - floor(x) is exact, so an exact half is recognised as one.
  return (x - below >= 0.5L) ? below + 1 : below;
}

int64_t TruncReal(Extended x) {
  if (std::isnan(x)) return 0;
  const Extended whole = std::trunc(x);
  if (whole >= 9223372036854775807.0L) return std::numeric_limits<int64_t>::max();
  if (whole <= -9223372036854775808.0L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(whole);
}

Extended IntToReal(int64_t n) { return static_cast<Extended>(n); }

int32_t SignOf(Extended x) { return x >= 0 ? 1 : -1; }

Extended SignReal(Extended x) { return x >= 0 ? 1.0L : -1.0L; }

bool IsValidReal(Extended& x) {
  // The caller's pending floating-point flags are not ours to clear.
  fexcept_t saved;
  fegetexceptflag(&saved, FE_ALL_EXCEPT);
  std::feclearexcept(FE_INVALID);
  volatile Extended operand = x;
  volatile Extended sum = operand + 1.0L;
  (void)sum;
  const bool invalid = std::fetestexcept(FE_INVALID) != 0;
  fesetexceptflag(&saved, FE_ALL_EXCEPT);
  // A quiet NaN passes the addition silently but is no more a number.
  if (invalid || std::isnan(x)) {
    x = 0.999L;
    return false;
  }
  return true;
}

namespace {

bool CountsAsDecimalSeparator(const std::string& text, size_t p) {
  static const std::string kBefore = "01234567890+-";
  static const std::string kAfter = "0123456789E+-";
  const bool beforeOk = p == 0 || kBefore.find(text[p - 1]) != std::string::npos;
  const bool afterOk = p + 1 == text.size() || kAfter.find(text[p + 1]) != std::string::npos;
  return beforeOk && afterOk;
}

void ReplaceEvery(std::string& text, char from, char to) {
  for (char& c : text) {
    if (c == from) c = to;
  }
}

}  // namespace

void LocalizeDecimalSeparator(std::string& text) {
  if (DecimalSeparator == SavedDecimalSeparator) return;
  if (DecimalSeparator == '.') {
    for (size_t p = 0; p < text.size(); ++p) {
      if (text[p] == ',' && CountsAsDecimalSeparator(text, p)) text[p] = '.';
    }
    ReplaceEvery(text, ';', ',');
    ReplaceEvery(text, ':', ';');
  } else {
    ReplaceEvery(text, ';', ':');
    ReplaceEvery(text, ',', ';');
    for (size_t p = 0; p < text.size(); ++p) {
      if (text[p] == '.' && CountsAsDecimalSeparator(text, p)) text[p] = ',';
    }
  }
}

}  // namespace voq
