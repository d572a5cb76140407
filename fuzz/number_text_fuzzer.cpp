// libFuzzer harness for number text: StrToReal on any text, and FormatValue
// round trips. The first byte picks a display format, the rest is either a
// number text or (odd first byte) the ten bytes of a 10-byte real.
//
// What must hold: nothing crashes or reads out of bounds; StrToReal accepts
// only finite values; a finite value formatted with enough digits reads
// back by StrToReal to the value within the precision of the digits shown.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/extended.h"
#include "core/number_format.h"
#include "core/number_text.h"

namespace {

using namespace voq;

[[noreturn]] void Fail(const char* what, Extended value, const std::string& text) {
  std::fprintf(stderr, "%s: value %.21Lg text \"%s\"\n", what, value, text.c_str());
  std::abort();
}

// Whether back is value to the digits the text shows: a unit of its last
// digit (twice the half unit of rounding, for the conversions' own
// rounding). Exponential text counts relative to the value, so that nothing
// underflows near the smallest reals (whose subnormal last place is added).
bool CloseEnough(Extended value, Extended back, const std::string& mantissa, bool exponential) {
  const Extended diff = std::fabs(back - value);
  const Extended magnitude = std::fabs(value);
  const size_t point = mantissa.find('.');
  if (!exponential) {
    const int decimals = point == std::string::npos ? 0 : int(mantissa.size() - point - 1);
    return diff <= std::pow(10.0L, Extended(-decimals)) + magnitude * 1E-17L;
  }
  int significant = 0;
  for (char c : mantissa) significant += c >= '0' && c <= '9';
  return diff <= magnitude * (std::pow(10.0L, Extended(1 - significant)) + 1E-17L) + 4E-4951L;
}

void RoundTrip(const TDisplayFormat& format, Extended value) {
  std::string text;
  FormatValue(text, format, value);
  if (!std::isfinite(value) || IsBlank(value) || IsInfinityValue(value)) return;
  if (format.Style == kStyleStringConstant) return;
  Extended back = 0;
  int32_t errorPos = 0;
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
  StrToReal(trimmed, back, errorPos);
  // Rounded to the digits shown, the largest reals go beyond the range.
  if (errorPos != 0 && std::fabs(value) >= 1E4932L) return;
  if (errorPos != 0) Fail("FormatValue's text does not read back", value, text);
  if (!std::isfinite(back)) Fail("FormatValue's text reads back as no number", value, text);
  // The last digit shown: fixed notation counts decimals, exponential
  // significant digits; the automatic style may choose either, so only the
  // text's own digits tell.
  const size_t e = trimmed.find_first_of("Ee");
  const std::string mantissa = trimmed.substr(0, e);
  if (!CloseEnough(value, back, mantissa, e != std::string::npos)) {
    std::fprintf(stderr, "read back as %.21Lg\n", back);
    Fail("FormatValue round trip is off", value, text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 256) return -1;
  const uint8_t selector = data[0];
  TDisplayFormat format;
  format.Style = uint8_t((selector >> 1) % 5);
  format.Digits = int16_t((selector >> 4) + (selector & 0x80 ? 4 : 0));
  if (selector & 1) {
    if (size < 11) return -1;
    uint8_t bytes[10];
    std::memcpy(bytes, data + 1, 10);
    const Extended raw = UnpackExtended(bytes);
    // Any bit pattern must format without harm; the round trip is for the
    // value arithmetic sees (an unnormal is a NaN to the FPU, a
    // pseudo-denormal the denormal it stands for).
    std::string text;
    FormatValue(text, format, raw);
    volatile Extended one = 1;
    const Extended value = raw * one;
    RoundTrip(format, value);
    return 0;
  }
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  Extended value = 0;
  int32_t errorPos = 0;
  StrToReal(text, value, errorPos);
  if (errorPos == 0) {
    if (!std::isfinite(value)) Fail("StrToReal accepted a value that is not finite", value, text);
    RoundTrip(format, value);
  } else if (errorPos < 1 || size_t(errorPos) > text.size() + 1) {
    Fail("StrToReal's error position is outside the text", value, text);
  }
  bool ok = false;
  const Extended typed = ParseReal(text, ok);
  if (ok && std::isnan(typed)) Fail("ParseReal accepted NaN", typed, text);
  return 0;
}
