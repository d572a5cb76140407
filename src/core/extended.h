#pragma once
// 10-byte extended reals: the special blank and infinity values and the
// explicit little-endian packing used by every stored layout. In memory a
// long double is 16 bytes here (10 significant, 6 padding), so stored
// records never copy it directly.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace voq {

using Extended = long double;

struct ExtendedBits {
  uint64_t mantissa;
  uint16_t exponentWord;  // sign bit and 15-bit biased exponent
  uint16_t padding[3];
};
static_assert(sizeof(ExtendedBits) == sizeof(long double));
static_assert(sizeof(long double) == 16, "x87 80-bit long double expected");

constexpr long double MakeExtended(uint16_t exponentWord, uint64_t mantissa) {
  return std::bit_cast<long double>(ExtendedBits{mantissa, exponentWord, {0, 0, 0}});
}

// 9.99E+3998: an unset value, an empty table cell, a residual not yet computed.
inline constexpr long double BlankValue = MakeExtended(0x73E3, 0xA79D751877175072ULL);
// 1.0E+3999: one unit in the last place above the nearest extended value to
// 10^3999, so it is recognised by exact equality.
inline constexpr long double InfinityValue = MakeExtended(0x73E3, 0xA7C868E99844704FULL);
// The result of a property or function routine that failed or has no data.
inline constexpr long double ErrorResultValue = -999.0L;

// |x - 9.99E+3998| < 1 means blank.
inline bool IsBlank(long double x) {
  long double d = x - BlankValue;
  return d < 1.0L && d > -1.0L;
}
inline bool IsInfinityValue(long double x) { return x == InfinityValue || x == -InfinityValue; }
// A value that may be shown as a solved result: a finite number that is
// neither the blank nor the infinity marker (a NaN or an x87 infinity is
// never one, nor is a marker, whether left unset or computed).
inline bool IsShowableValue(long double x) { return std::isfinite(x) && !IsBlank(x) && !IsInfinityValue(x); }

// Writes the 10 significant bytes of x (mantissa then exponent word) at dst.
inline void PackExtended(uint8_t* dst, long double x) {
  ExtendedBits b = std::bit_cast<ExtendedBits>(x);
  for (int i = 0; i < 8; ++i) dst[i] = static_cast<uint8_t>(b.mantissa >> (8 * i));
  dst[8] = static_cast<uint8_t>(b.exponentWord);
  dst[9] = static_cast<uint8_t>(b.exponentWord >> 8);
}

inline long double UnpackExtended(const uint8_t* src) {
  ExtendedBits b{0, 0, {0, 0, 0}};
  for (int i = 0; i < 8; ++i) b.mantissa |= static_cast<uint64_t>(src[i]) << (8 * i);
  b.exponentWord = static_cast<uint16_t>(src[8] | (src[9] << 8));
  return std::bit_cast<long double>(b);
}

}  // namespace voq
