#include "core/number_format.h"

#include <cfenv>
#include <cmath>

#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/number_text.h"

namespace voq {

int32_t SignificantDigits = 4;
TDisplayFormat DefaultDisplayFormat = kWarningDisplayFormat;

namespace {

// Not ln 10: the digit counts of the automatic format are defined with this
// constant (1000 gives 0.99988 decimals before truncation, not 1).
constexpr Extended kDigitLogDivisor = 2.3025L;
constexpr int32_t kEditTextLength = 255;

Extended PowerOfTen(int32_t n) { return std::pow(10.0L, static_cast<Extended>(n)); }

// Integer part (toward zero) of sd - ln|x| / 2.3025; 0 when that cannot be
// formed (a value whose logarithm or truncation raises).
int32_t DecimalsFor(int32_t sd, Extended ax) {
  fexcept_t saved;
  fegetexceptflag(&saved, FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);
  const Extended d = std::trunc(static_cast<Extended>(sd) - std::log(ax) / kDigitLogDivisor);
  const bool raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
  fesetexceptflag(&saved, FE_ALL_EXCEPT);
  if (raised || !std::isfinite(d) || std::fabs(d) > 1E6L) return 0;
  return static_cast<int32_t>(d);
}

void DeleteLeadingBlanks(std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  text.erase(0, first == std::string::npos ? text.size() : first);
}

}  // namespace

void ChooseNumberDigitsSafe(TDisplayFormat& format, int32_t significantDigits, Extended x) {
  const int32_t sd = significantDigits;
  const Extended ax = std::fabs(x);
  if (x == 0) {
    format.Style = kStyleFixed;
    format.Digits = 2;
    return;
  }
  if (ax < 1E-6L) {
    format.Style = kStyleExponential;
    format.Digits = static_cast<int16_t>(sd - 1);
    return;
  }
  int32_t d = DecimalsFor(sd, ax);
  if (d > sd || d < 0) {
    if (ax > PowerOfTen(sd)) {
      d = 0;
    } else if (ax > PowerOfTen(sd - 1)) {
      d = sd;
    }
  }
  if (ax > 1E6L) {
    format.Style = kStyleExponential;
    format.Digits = static_cast<int16_t>(sd - 1);
  } else {
    format.Style = kStyleFixed;
    format.Digits = static_cast<int16_t>(d);
  }
}

void ChooseNumberDigits(TDisplayFormat& format, int32_t significantDigits, Extended x) {
  const int32_t sd = significantDigits;
  const Extended ax = std::fabs(x);
  if (x == 0) {
    format.Style = kStyleFixed;
    format.Digits = 2;
    return;
  }
  if (ax < 1E-8L) {
    format.Style = kStyleExponential;
    format.Digits = 3;
    return;
  }
  int32_t d = DecimalsFor(sd, ax);
  if (d > sd || d < 0) {
    if (ax > PowerOfTen(sd)) {
      d = 0;
    } else if (ax <= PowerOfTen(sd - 1)) {
      d = sd + 1;
    } else {
      d = sd;
    }
  }
  format.Style = kStyleFixed;
  format.Digits = static_cast<int16_t>(d);
}

void FormatValue(std::string& text, const TDisplayFormat& format, Extended x) {
  if (format.Style != kStyleAutomatic) {
    RealToStr(text, format, x);
    return;
  }
  TDisplayFormat chosen = format;
  ChooseNumberDigitsSafe(chosen, SignificantDigits, x);
  if (chosen.Style == kStyleFixed) {
    text = FixedConversion(x, chosen.Digits);
    if (chosen.Digits > 0 && text.find('.') != std::string::npos) {
      while (!text.empty() && text.back() == '0') text.pop_back();
    }
  } else {
    text = ExponentialConversion(x, chosen.Digits + 1);
    const size_t e = text.find('E');
    if (e != std::string::npos) {
      for (int k = 0; k < 2 && e + 2 < text.size() && text[e + 2] == '0'; ++k) text.erase(e + 2, 1);
      if (chosen.Digits == 0 && e >= 2) text.erase(e - 2, 2);
    }
  }
  DeleteLeadingBlanks(text);
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (IsInfinityValue(x)) text = x < 0 ? "-infinity" : "infinity";
  if (DecimalSeparator != '.') {
    const size_t point = text.find('.');
    if (point != std::string::npos) text[point] = DecimalSeparator;
  }
}

std::string FormatValue(const TDisplayFormat& format, Extended x) {
  std::string text;
  FormatValue(text, format, x);
  return text;
}

void ReadEditNumber(const std::string& text, Extended& value, bool& ok, Extended low,
                    Extended high, int32_t mode) {
  std::string entry = text.substr(0, kEditTextLength);
  if (entry.empty()) entry = " ";
  ok = true;
  Extended x = 0;
  int32_t errorPos = 0;
  StrToReal(entry, x, errorPos);
  if (mode < 0 || errorPos != 0) ok = false;
  if (ok) {
    switch (mode) {
      case 1: ok = x > low; break;
      case 2: ok = x >= low; break;
      case 3:
      case 6: ok = low <= x && x <= high; break;
      case 4: ok = x <= high; break;
      case 5: ok = low < x && x < high; break;
      case 65: ok = low <= x && x < high; break;
      default: break;  // 0 and unlisted modes: any number
    }
  }
  if (!ok) ThrottledBeep();
  value = ok ? x : 0;
}

}  // namespace voq
