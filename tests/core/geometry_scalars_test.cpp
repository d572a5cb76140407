// The drawing code's scalar conversions: rounding ties to even, truncation
// toward zero, integer powers, the quadrants of arctan2 and the wrapping of
// angles into [-180, 180] (values worked by hand).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry_scalars.h"

namespace voq {
namespace {

TEST(GeometryScalarsTest, RoundingAndTruncation) {
  const std::pair<long double, int64_t> rounded[] = {{2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {0.5L, 0},
                                                     {1.5L, 2}, {-0.4L, 0}, {1e15L + 0.6L, 1000000000000001}};
  for (const auto& [x, expected] : rounded) EXPECT_EQ(GeomRoundToInt64(x), expected) << static_cast<double>(x);
  const std::pair<long double, int64_t> truncated[] = {{-0.999L, 0}, {-3.9L, -3}, {3.9L, 3}, {0.0L, 0}};
  for (const auto& [x, expected] : truncated) EXPECT_EQ(GeomTruncToInt64(x), expected) << static_cast<double>(x);
  // Outside the range and NaN give the indefinite integer, never undefined behaviour.
  EXPECT_EQ(GeomTruncToInt64(1e30L), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(GeomTruncToInt64(std::numeric_limits<long double>::quiet_NaN()), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(GeomRoundSingle(2.5f), 2);
  EXPECT_EQ(GeomTruncSingle(-3.9f), -3);
  EXPECT_EQ(GeomTruncSingle(5e9f), std::numeric_limits<int32_t>::min());
}

TEST(GeometryScalarsTest, PowersAnglesAndWrapping) {
  EXPECT_EQ(GeomIntPower(2, 10), 1024.0L);
  EXPECT_EQ(GeomIntPower(2, -2), 0.25L);
  EXPECT_EQ(GeomIntPower(0, 0), 1.0L);
  EXPECT_EQ(GeomIntPower(-3, 3), -27.0L);
  const long double pi = 3.14159265358979323846L;
  EXPECT_NEAR(static_cast<double>(GeomArcTan2(1, -1)), static_cast<double>(3 * pi / 4), 1e-15);
  EXPECT_NEAR(static_cast<double>(GeomArcTan2(-1, -1)), static_cast<double>(-3 * pi / 4), 1e-15);
  EXPECT_EQ(GeomArcTan2(0, 0), 0.0L);
  EXPECT_NEAR(static_cast<double>(GeomArcCos(0.5f)), static_cast<double>(pi / 3), 1e-7);
  EXPECT_TRUE(std::isnan(GeomArcCos(1.5f)));
  EXPECT_NEAR(static_cast<double>(GeomDegToRad(180)), static_cast<double>(pi), 1e-18);
  EXPECT_EQ(GeomClamp(5, 0, 1), 1.0f);
  EXPECT_EQ(GeomClamp(-5, 0, 1), 0.0f);
  const std::pair<float, float> wrapped[] = {{600, -120}, {-600, 120}, {180, 180}, {-180, -180},
                                             {270, -90},  {-270, 90}, {1000, -80}, {-1000, 80}};
  for (const auto& [a, expected] : wrapped) EXPECT_EQ(GeomWrapDegrees(a), expected) << a;
}

}  // namespace
}  // namespace voq
