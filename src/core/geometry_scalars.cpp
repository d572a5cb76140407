#include "core/geometry_scalars.h"

#include <cmath>
#include <limits>

namespace voq {

int64_t GeomRoundToInt64(long double x) { return std::llrint(x); }

int64_t GeomTruncToInt64(long double x) {
  // The conversion masks every exception: out of range and NaN give the
  // indefinite integer, as the processor's own truncating store does.
  constexpr long double limit = 9223372036854775808.0L;  // 2^63
  if (!(x > -limit - 1.0L && x < limit)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

int32_t GeomRoundSingle(float x) { return static_cast<int32_t>(std::lrint(x)); }

int32_t GeomTruncSingle(float x) {
  if (!(x > -2147483649.0f && x < 2147483648.0f)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

long double GeomIntPower(long double base, int32_t exponent) {
  if (exponent == 0) return 1.0L;
  uint32_t bits = exponent < 0 ? 0u - static_cast<uint32_t>(exponent) : static_cast<uint32_t>(exponent);
  long double result = 1.0L;
  long double square = base;
  while (bits != 0) {
    if (bits & 1u) result *= square;
    square *= square;
    bits >>= 1;
  }
  return exponent < 0 ? 1.0L / result : result;
}

long double GeomArcTan2(long double y, long double x) {
  if (y == 0.0L && x == 0.0L) return 0.0L;
  return std::atan2(y, x);
}

long double GeomArcCos(float x) {
  const long double v = x;
  if (std::fabs(v) > 1.0L) return std::numeric_limits<long double>::quiet_NaN();
  return std::atan2(std::sqrt(1.0L - v * v), v);
}

long double GeomDegToRad(long double degrees) { return degrees * 0.017453292519943295769L; }

long double GeomDegToRadSingle(float degrees) {
  return static_cast<long double>(degrees) * static_cast<long double>(0.0174532924f);
}

float GeomClamp(float value, float minimum, float maximum) {
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return value;
}

float GeomWrapDegrees(float degrees) {
  const long double a = degrees;
  if (a >= -180.0L && a <= 180.0L) return degrees;
  if (a > 180.0L && a <= 540.0L) return static_cast<float>(a - 360.0L);
  if (a > 540.0L) return static_cast<float>(a - 360.0L * std::nearbyint((a + 180.0L) / 360.0L));
  if (a >= -540.0L) return static_cast<float>(a + 360.0L);
  return static_cast<float>(a + 360.0L * std::nearbyint((180.0L - a) / 360.0L));
}

}  // namespace voq
