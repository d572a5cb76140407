#include "core/numeric_library.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/calc_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class NumericLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CalcErrorCode = 0;
    AbortRequested = false;
  }
  void TearDown() override { CalcErrorCode = 0; }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

TEST_F(NumericLibraryTest, PowerRealOfNonPositiveBaseIsZero) {
  EXPECT_EQ(PowerReal(-8, 1.0L / 3), 0);
  EXPECT_EQ(PowerReal(0, 2), 0);
  EXPECT_NEAR(PowerReal(2, 10), 1024, 1E-15L);
  EXPECT_NEAR(PowerReal(27, 1.0L / 3), 3, 1E-17L);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(NumericLibraryTest, GuardedLogAndRoot) {
  EXPECT_EQ(SafeLn(0), 1);
  EXPECT_EQ(CalcErrorCode, 6);
  CalcErrorCode = 0;
  EXPECT_EQ(SafeLn(-3), 1);
  EXPECT_EQ(CalcErrorCode, 6);
  CalcErrorCode = 0;
  EXPECT_EQ(SafeSqrt(-1), 1);
  EXPECT_EQ(CalcErrorCode, 8);
  CalcErrorCode = 0;
  EXPECT_EQ(SafeSqrt(0), 0);
  EXPECT_EQ(SafeSqrt(6.25L), 2.5L);
  EXPECT_NEAR(SafeLn(std::exp(1.0L)), 1, 1E-18L);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(NumericLibraryTest, CommonLogarithmIsExactAtPowersOfTen) {
  // With the divisor 2.3025851 this would be 2.99999999087...
  for (int n = -27; n <= 27; ++n) {
    Extended power = 1;
    for (int k = 0; k < std::abs(n); ++k) power *= 10;
    EXPECT_EQ(Log10Real(n >= 0 ? power : 1 / power), n) << n;
  }
  EXPECT_EQ(Log10Real(1000), 3);
  EXPECT_NEAR(Log10Real(2), 0.30102999566398119521L, 1E-18L);  // published log10 2
  EXPECT_EQ(ExpReal(0), 1);
}

TEST_F(NumericLibraryTest, IntPower) {
  EXPECT_EQ(IntPower(10, 2), 1024);
  EXPECT_EQ(IntPower(-3, 2), 0.125L);
  EXPECT_EQ(IntPower(0, 123.4L), 1);
  EXPECT_EQ(IntPower(3, -1.5L), -3.375L);
  // Huge exponents take log2|n| steps, not |n|.
  EXPECT_EQ(IntPower(INT_MAX, 1), 1);
  EXPECT_EQ(IntPower(INT_MIN, -1), 1);
  EXPECT_EQ(IntPower(INT_MIN, 2), 0);
  // 2^16445 overflows, yet 2^-16445 is the smallest denormal.
  EXPECT_EQ(IntPower(-16445, 2), std::ldexp(1.0L, -16445));
}

TEST_F(NumericLibraryTest, SmallHelpers) {
  EXPECT_EQ(IntSign(-4), -1);
  EXPECT_EQ(IntSign(0), 1);
  EXPECT_EQ(MinReal(2, 1), 1);
  EXPECT_EQ(MinReal(1, 2), 1);
  EXPECT_EQ(MaxReal(2, 1), 2);
  EXPECT_EQ(MaxReal(1, 2), 2);
}

TEST_F(NumericLibraryTest, PolarConversions) {
  Extended magnitude = 0, angle = 0;
  ComplexToPolar(magnitude, angle, 3, 4);  // 3-4-5 triangle
  EXPECT_EQ(magnitude, 5);
  EXPECT_NEAR(angle, std::atan2(4.0L, 3.0L), 1E-18L);
  // The angle at -pi is folded to +pi: the range is (-pi, pi].
  ComplexToPolar(magnitude, angle, -1, -0.0L);
  EXPECT_GT(angle, 3.14159L);
  Extended re = 0, im = 0;
  PolarToComplex(re, im, 2, std::acos(-1.0L) / 2);
  EXPECT_NEAR(re, 0, 1E-18L);
  EXPECT_NEAR(im, 2, 1E-18L);
}

struct SecantState {
  Extended X = 0, F = 0, FNeg = 0, XNeg = 0, FPos = 0, XPos = 0, FOld = 0, XOld = 0;
  bool bisecting = false;
  void Step(int32_t iteration) {
    SecantStep(iteration, X, F, bisecting, FNeg, XNeg, FPos, XPos, FOld, XOld);
  }
};

TEST_F(NumericLibraryTest, SecantFirstStepWithoutUsablePointKeepsX) {
  SecantState s;
  s.X = 2;
  s.XOld = 2;
  s.F = 3;
  s.Step(1);
  EXPECT_EQ(s.X, 2);
  EXPECT_TRUE(s.bisecting);
  EXPECT_EQ(s.XOld, 2);
  EXPECT_EQ(s.FOld, 3);
  EXPECT_EQ(s.FPos, 3);
  EXPECT_EQ(s.FNeg, 0);
}

// f(x) = x^2 - 2 from the points 2 (f = 2) and 1 (f = -1). Hand calculation:
// x2 = 1 + 1/3 = 4/3, f(4/3) = -2/9; x3 = 4/3 + (2/9)/(7/3) = 10/7.
TEST_F(NumericLibraryTest, SecantStepsFollowTheSecant) {
  SecantState s;
  s.XOld = 2;
  s.FOld = 2;
  s.X = 1;
  s.F = -1;
  s.Step(1);
  EXPECT_NEAR(s.X, 4.0L / 3, 1E-18L);
  EXPECT_FALSE(s.bisecting);
  EXPECT_EQ(s.XNeg, 1);
  s.F = s.X * s.X - 2;
  s.Step(2);
  EXPECT_NEAR(s.X, 10.0L / 7, 1E-18L);
  EXPECT_EQ(s.XOld, s.XNeg);
}

// Bracket [1.1, 2] with f(1.1) = -0.79 and f(2) = 2; a nearly flat secant
// from the previous point (1.0, -0.8) lands at 9, outside the bracket, so the
// step bisects: (2 + 1.1)/2 = 1.55, and the old point becomes the negative end.
TEST_F(NumericLibraryTest, SecantOutsideTheBracketBisects) {
  SecantState s;
  s.XPos = 2;
  s.FPos = 2;
  s.XNeg = 1;
  s.FNeg = -1;
  s.XOld = 1.0L;
  s.FOld = -0.8L;
  s.X = 1.1L;
  s.F = -0.79L;
  s.Step(3);
  EXPECT_TRUE(s.bisecting);
  EXPECT_NEAR(s.X, 1.55L, 1E-18L);
  EXPECT_EQ(s.XOld, 1.1L);
  EXPECT_EQ(s.FOld, -0.79L);
}

TEST_F(NumericLibraryTest, SecantStepPollsForAbort) {
  AbortRequested = true;
  platform.ticks = 100000;
  SecantState s;
  s.X = 1;
  s.F = 1;
  s.Step(1);
  EXPECT_EQ(CalcErrorCode, 58);
  AbortRequested = false;
}

}  // namespace
}  // namespace voq
