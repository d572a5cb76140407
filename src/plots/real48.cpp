#include "plots/real48.h"

#include <cmath>

namespace voq {

namespace {

constexpr uint64_t kMantissaBits = 39;
constexpr uint64_t kMantissaMask = (uint64_t{1} << kMantissaBits) - 1;
constexpr int kExponentBias = 129;

void PutPattern(uint8_t* dst, int exponent, uint64_t mantissa, bool negative) {
  dst[0] = static_cast<uint8_t>(exponent);
  const uint64_t word = (mantissa & kMantissaMask) | (negative ? uint64_t{1} << kMantissaBits : 0);
  for (int k = 0; k < 5; ++k) dst[1 + k] = static_cast<uint8_t>(word >> (8 * k));
}

}  // namespace

void PackReal48(uint8_t* dst, Extended x) {
  if (std::isnan(x) || x == 0) {
    PutPattern(dst, 0, 0, false);
    return;
  }
  const bool negative = std::signbit(x);
  if (std::isinf(x)) {
    PutPattern(dst, 255, kMantissaMask, negative);
    return;
  }
  // |x| = f x 2^e with f in [0.5, 1), so |x| = (2f) x 2^(e - 1) and the
  // stored exponent is e - 1 + 129.
  int e = 0;
  const Extended f = std::frexp(std::fabs(x), &e);
  int exponent = e - 1 + kExponentBias;
  // (2f - 1) x 2^39 is exact in the 64-bit mantissa of an extended real;
  // nearbyint rounds it in the default mode, to nearest with ties to even.
  Extended scaled = std::nearbyint((2 * f - 1) * std::ldexp(Extended{1}, kMantissaBits));
  uint64_t mantissa = static_cast<uint64_t>(scaled);
  if (mantissa > kMantissaMask) {  // rounded up to the next power of two
    mantissa = 0;
    ++exponent;
  }
  if (exponent < 1) {
    PutPattern(dst, 0, 0, false);
  } else if (exponent > 255) {
    PutPattern(dst, 255, kMantissaMask, negative);
  } else {
    PutPattern(dst, exponent, mantissa, negative);
  }
}

Extended UnpackReal48(const uint8_t* src) {
  if (src[0] == 0) return 0;
  uint64_t word = 0;
  for (int k = 0; k < 5; ++k) word |= static_cast<uint64_t>(src[1 + k]) << (8 * k);
  const Extended mantissa = 1 + std::ldexp(static_cast<Extended>(word & kMantissaMask), -int(kMantissaBits));
  const Extended value = std::ldexp(mantissa, int(src[0]) - kExponentBias);
  return (word >> kMantissaBits) != 0 ? -value : value;
}

}  // namespace voq
