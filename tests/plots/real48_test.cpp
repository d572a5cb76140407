#include "plots/real48.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace voq {
namespace {

using Bytes = std::array<uint8_t, kReal48Size>;

Bytes Packed(Extended x) {
  Bytes b{};
  PackReal48(b.data(), x);
  return b;
}

// Byte patterns worked out by hand from value = (1 + m/2^39) x 2^(e-129)
// and checked with exact rational arithmetic (python3 fractions): e.g.
// 101.325 = 1.583203125 x 2^6, so e = 135 = 87h and m = round(0.583203125
// x 2^39) = 4A A6 66 66 66h; -999 = -(1 + 487/512) x 2^9, so e = 8Ah and
// m = 487 x 2^30 = 79 C0 00 00 00h with the sign bit set.
TEST(Real48Test, PacksHandComputedPatterns) {
  struct Case {
    Extended value;
    Bytes bytes;
    bool exact;  // the value has at most 40 significant bits
  };
  const Case cases[] = {
      {1.0L, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}, true},
      {-1.0L, {0x81, 0x00, 0x00, 0x00, 0x00, 0x80}, true},
      {0.5L, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00}, true},
      {3.0L, {0x82, 0x00, 0x00, 0x00, 0x00, 0x40}, true},
      {101.325L, {0x87, 0x66, 0x66, 0x66, 0xA6, 0x4A}, false},
      {-999.0L, {0x8A, 0x00, 0x00, 0x00, 0xC0, 0xF9}, true},
      {0.0L, {0, 0, 0, 0, 0, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.value));
    EXPECT_EQ(Packed(c.value), c.bytes);
    if (c.exact) {
      EXPECT_EQ(UnpackReal48(c.bytes.data()), c.value);
    }
  }
}

TEST(Real48Test, RoundTripsWithinTheFormatsPrecision) {
  for (Extended x : {101.325L, -999.0L, 1.0e-30L, 6.02214076e23L, -0.1L}) {
    SCOPED_TRACE(static_cast<double>(x));
    const Bytes b = Packed(x);
    const Extended back = UnpackReal48(b.data());
    // 39 mantissa bits: a relative error of at most 2^-40, about 9.1e-13.
    EXPECT_LE(std::fabs((back - x) / x), 1e-11L);
    EXPECT_EQ(Packed(back), b);  // a value read back is stored unchanged
  }
  EXPECT_EQ(UnpackReal48(Packed(0.0L).data()), 0.0L);
  EXPECT_FALSE(std::signbit(UnpackReal48(Packed(-0.0L).data())));
}

// The mantissa is rounded to nearest with ties to even; a carry out of the
// mantissa moves to the next exponent.
TEST(Real48Test, RoundsTheMantissaToNearestEven) {
  // 1 + 2^-40 lies halfway between 1 and 1 + 2^-39: to the even mantissa 0.
  EXPECT_EQ(Packed(1.0L + std::ldexp(1.0L, -40)), (Bytes{0x81, 0, 0, 0, 0, 0}));
  // 1 + 3 x 2^-40 lies halfway between mantissas 1 and 2: to 2.
  EXPECT_EQ(Packed(1.0L + 3 * std::ldexp(1.0L, -40)), (Bytes{0x81, 0x02, 0, 0, 0, 0}));
  // Just below 2 by less than half a unit: 2 itself.
  EXPECT_EQ(Packed(2.0L - std::ldexp(1.0L, -41)), (Bytes{0x82, 0, 0, 0, 0, 0}));
}

// The format has no infinity, no not-a-number and no subnormals: values
// beyond its range are stored as the nearest value it has.
TEST(Real48Test, OutOfRangeValuesSaturateOrBecomeZero) {
  const Bytes largest{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  const Bytes mostNegative{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  // (2 - 2^-39) x 2^126
  EXPECT_EQ(UnpackReal48(largest.data()), std::ldexp(2.0L - std::ldexp(1.0L, -39), 126));
  EXPECT_EQ(Packed(1e40L), largest);
  EXPECT_EQ(Packed(-std::numeric_limits<Extended>::infinity()), mostNegative);
  EXPECT_EQ(Packed(std::numeric_limits<Extended>::quiet_NaN()), (Bytes{}));
  // The smallest value is 2^-128; half of it is stored as 0.
  EXPECT_EQ(Packed(std::ldexp(1.0L, -128)), (Bytes{0x01, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Packed(std::ldexp(1.0L, -129)), (Bytes{}));
  // An exponent byte of 0 is zero whatever the mantissa bytes hold.
  const Bytes junk{0x00, 0x12, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(UnpackReal48(junk.data()), 0.0L);
}

}  // namespace
}  // namespace voq
