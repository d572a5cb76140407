#pragma once
// The 6-byte real of the old plot-curve layout (the value held constant
// along a property-plot line). Byte 0 is the binary exponent biased by 129,
// 0 meaning the value 0; bytes 1 to 5 hold the 39 bits of the mantissa below
// an implied leading 1, least significant byte first, with the sign in the
// top bit of byte 5:
//     value = (-1)^s x (1 + m / 2^39) x 2^(e - 129),  e = 1..255.
// The format has no infinities, no not-a-number and no subnormals.
#include <cstdint>

#include "core/extended.h"

namespace voq {

inline constexpr int kReal48Size = 6;

// Writes x as 6 bytes at dst, the mantissa rounded to nearest (ties to
// even). A magnitude below the smallest normal value (2^-128) becomes 0; a
// magnitude above the largest (just under 2^127) and an infinity become the
// largest value of their sign; not-a-number becomes 0. A stored value must
// never turn into a pattern that reads back as something unrelated.
void PackReal48(uint8_t* dst, Extended x);
// The value of the 6 bytes at src; an exponent byte of 0 reads as 0 whatever
// the other bytes hold.
Extended UnpackReal48(const uint8_t* src);

}  // namespace voq
