#include "solver/math_functions.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <functional>
#include <string>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/number_format.h"

namespace voq {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

class MathFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    for (auto& arg : MessageArgs) arg.clear();
  }
};

// ---- Guarded exponential --------------------------------------------------

TEST_F(MathFunctionsTest, ExpIsGuardedBeyondTenThousand) {
  EXPECT_EQ(GuardedExp(-10001), 0.0L);
  EXPECT_EQ(CalcErrorCode, 0);

  // e^10000 = 10^4342.944819... is still an extended value.
  Extended big = GuardedExp(10000);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(std::log10(big), 4342.944819032518L, 1E-9L);
  EXPECT_NEAR(GuardedExp(1), 2.718281828459045235L, 1E-18L);

  const int32_t savedDigits = SignificantDigits;
  SignificantDigits = 4;
  EXPECT_EQ(GuardedExp(10000.5L), 1.0L);
  EXPECT_EQ(CalcErrorCode, 323);
  TDisplayFormat format;
  format.Style = kStyleAutomatic;
  format.Digits = 4;
  EXPECT_EQ(MessageArgs[1], FormatValue(format, 10000.5L));
  EXPECT_EQ(MessageArgs[1].substr(0, 4), "1000");
  EXPECT_EQ(GetMessageText(323), "There was an attempt to evaluate exp(x) where x=" + MessageArgs[1] +
                                     ".  This number is too large for VOQ to evaluate!");
  SignificantDigits = savedDigits;
}

// ---- Gamma ----------------------------------------------------------------

TEST_F(MathFunctionsTest, GammaAtKnownPoints) {
  EXPECT_NEAR(GammaFunction(5), 24.0L, 1E-10L);
  EXPECT_NEAR(GammaFunction(0.5L), std::sqrt(kPi), 1E-10L);
  EXPECT_NEAR(GammaFunction(1), 1.0L, 1E-14L);
  EXPECT_NEAR(GammaFunction(2), 1.0L, 1E-14L);
  // Gamma(-1.5) = Gamma(0.5) / ((-1.5)(-0.5)) = 4 sqrt(pi) / 3, reached by
  // stepping up to b = -0.5.
  EXPECT_NEAR(GammaFunction(-1.5L), 4 * std::sqrt(kPi) / 3, 1E-14L);
  EXPECT_EQ(CalcErrorCode, 0);
}

// The 16-decimal coefficients of the Handbook series leave a relative error
// of a few 1e-16; the recurrences add rounding only.
TEST_F(MathFunctionsTest, GammaAgreesWithTgammaOverAGrid) {
  for (long double x = -9.95L; x <= 60; x += 0.1L) {
    long double reference = std::tgamma(x);
    EXPECT_NEAR(GammaFunction(x) / reference, 1.0L, 2E-15L) << x;
  }
  for (long double x : {-0.999L, -0.5L, 1E-6L, 0.999L, 1.001L, 170.5L, 1000.25L, -170.5L}) {
    EXPECT_NEAR(GammaFunction(x) / std::tgamma(x), 1.0L, 2E-14L) << x;
  }
}

TEST_F(MathFunctionsTest, GammaPolesDivideByZeroAndHugeArgumentsEnd) {
  for (long double x : {0.0L, -1.0L, -2.0L, -7.0L, -1E30L}) {
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_TRUE(std::isinf(GammaFunction(x))) << x;
    EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO)) << x;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(std::isinf(GammaFunction(2000)));
  EXPECT_TRUE(std::fetestexcept(FE_OVERFLOW));
  // Too large to step down one by one: the product overflows first.
  EXPECT_TRUE(std::isinf(GammaFunction(1E30L)));
  // Far below the poles the value underflows to 0.
  EXPECT_EQ(GammaFunction(-2000.5L), 0.0L);
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(CalcErrorCode, 0);
}

// ---- Trigonometric --------------------------------------------------------

TEST_F(MathFunctionsTest, TangentAndInverseSineCosineUseTheWrittenConstants) {
  EXPECT_EQ(TanFunction(1.570796326795L), InfinityValue);
  Extended nearPole = TanFunction(1.5707963267949L);
  EXPECT_FALSE(IsInfinityValue(nearPole));
  EXPECT_GT(std::fabs(nearPole), 1E12L);
  EXPECT_NEAR(TanFunction(kPi / 4), 1.0L, 1E-18L);
  EXPECT_NEAR(TanFunction(-0.3L), std::tan(-0.3L), 1E-18L);

  EXPECT_EQ(ArcSinFunction(2), 1.570796326795L);
  EXPECT_EQ(ArcSinFunction(1), 1.570796326795L);
  EXPECT_EQ(ArcSinFunction(-1.5L), -1.570796326795L);
  EXPECT_NEAR(ArcSinFunction(0.5L), kPi / 6, 1E-18L);
  EXPECT_NEAR(ArcSinFunction(-0.9L), std::asin(-0.9L), 1E-17L);

  EXPECT_EQ(ArcCosFunction(-2), 3.14159265359L);
  EXPECT_EQ(ArcCosFunction(-1), 3.14159265359L);
  EXPECT_EQ(ArcCosFunction(1), 0.0L);
  // 1.570796326795 - pi/6: pi/3 to the constant's 13 digits.
  EXPECT_NEAR(ArcCosFunction(0.5L), kPi / 3, 1E-12L);
  EXPECT_EQ(ArcCosFunction(0.5L), 1.570796326795L - ArcSinFunction(0.5L));
  EXPECT_EQ(CalcErrorCode, 0);
}

// ---- Bessel functions -----------------------------------------------------

struct BesselRangeCase {
  const char* name;
  Extended (*routine)(Extended);
  Extended argument;
  int32_t helpContext;
};

TEST_F(MathFunctionsTest, BesselArgumentsOutOfRangeAreError226) {
  const BesselRangeCase cases[] = {
      {"Bessel_J0", BesselJ0, -4, 94},       {"Bessel_J0", BesselJ0, -3.0001L, 94},
      {"Bessel_J1", BesselJ1, -3.5L, 95},    {"Bessel_Y0", BesselY0, 0, 98},
      {"Bessel_Y0", BesselY0, -2, 98},       {"Bessel_Y1", BesselY1, 0, 99},
      {"Bessel_Y1", BesselY1, -0.5L, 99},    {"Bessel_I0", BesselI0, -4, 92},
      {"Bessel_I1", BesselI1, -3.76L, 93},   {"Bessel_K0", BesselK0, 0, 96},
      {"Bessel_K1", BesselK1, -1, 97},       {"Bessel_K1", BesselK1, 0, 97},
  };
  for (const BesselRangeCase& c : cases) {
    Clear();
    SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(static_cast<double>(c.argument)));
    EXPECT_EQ(c.routine(c.argument), -1.0L);
    EXPECT_EQ(CalcErrorCode, 226);
    EXPECT_EQ(MessageArgs[1], c.name);
    EXPECT_EQ(MessageHelpContext, c.helpContext);
  }
  EXPECT_EQ(GetMessageText(226),
            "The argument to the Bessel_K1 function is out of the allowable range.");
}

TEST_F(MathFunctionsTest, BesselSmallBranchesExtendToNegativeArguments) {
  // J0 and I0 are even, J1 and I1 odd, down to -3 and -3.75.
  for (long double x : {-0.5L, -2.0L, -3.0L}) {
    EXPECT_EQ(BesselJ0(x), BesselJ0(-x));
    EXPECT_EQ(BesselJ1(x), -BesselJ1(-x));
  }
  for (long double x : {-1.0L, -3.75L}) {
    EXPECT_EQ(BesselI0(x), BesselI0(-x));
    EXPECT_EQ(BesselI1(x), -BesselI1(-x));
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(MathFunctionsTest, BesselBeyondTheExponentGuard) {
  // I0 divides by GuardedExp(-x) = 0: the failure is the division's.
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(std::isinf(BesselI0(20000)));
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(CalcErrorCode, 0);
  // K0, K1 and I1 take GuardedExp(x), which reports the large exponent.
  BesselK0(20000);
  EXPECT_EQ(CalcErrorCode, 323);
}

// The Handbook's stated error bounds, turned into bounds on the function
// values: a bound on x^-1 J1 becomes |x| times it, a bound on the scaled
// large-argument forms becomes the scale's inverse times it, and the J, I
// terms inside the Y, K small-argument forms carry their own bounds. The
// moduli f0, f1 stay below 0.8.
struct BesselAccuracyCase {
  const char* name;
  Extended (*routine)(Extended);
  std::function<long double(long double)> reference;
  std::function<long double(long double)> bound;
  long double lowest;
};

long double OscillatingBound(long double x, long double modulusError, long double phaseError) {
  return (modulusError + 0.8L * phaseError) / std::sqrt(x);
}

TEST_F(MathFunctionsTest, BesselFunctionsAgreeWithTheStandardLibraryWithinTheHandbookBounds) {
  using std::exp;
  using std::fabs;
  using std::log;
  using std::sqrt;
  const long double twoOverPi = 2 / kPi;
  const BesselAccuracyCase cases[] = {
      {"J0", BesselJ0,
       [](long double x) { return x < 0 ? std::cyl_bessel_j(0.0L, -x) : std::cyl_bessel_j(0.0L, x); },
       [](long double x) { return fabs(x) <= 3 ? 5E-8L : OscillatingBound(x, 1.6E-8L, 7E-8L); },
       -3},
      {"J1", BesselJ1,
       [](long double x) { return x < 0 ? -std::cyl_bessel_j(1.0L, -x) : std::cyl_bessel_j(1.0L, x); },
       [](long double x) { return fabs(x) <= 3 ? 1.3E-8L * fabs(x) : OscillatingBound(x, 4E-8L, 9E-8L); },
       -3},
      {"Y0", BesselY0, [](long double x) { return std::cyl_neumann(0.0L, x); },
       [=](long double x) {
         return x <= 3 ? 1.4E-8L + twoOverPi * fabs(log(x / 2)) * 5E-8L
                       : OscillatingBound(x, 1.6E-8L, 7E-8L);
       },
       0.05L},
      {"Y1", BesselY1, [](long double x) { return std::cyl_neumann(1.0L, x); },
       [=](long double x) {
         return x <= 3 ? 1.1E-7L / x + twoOverPi * fabs(log(x / 2)) * 1.3E-8L * x
                       : OscillatingBound(x, 4E-8L, 9E-8L);
       },
       0.05L},
      {"I0", BesselI0,
       [](long double x) { return std::cyl_bessel_i(0.0L, fabs(x)); },
       [](long double x) { return fabs(x) <= 3.75L ? 1.6E-7L : 1.9E-7L * exp(x) / sqrt(x); },
       -3.75L},
      {"I1", BesselI1,
       [](long double x) { return x < 0 ? -std::cyl_bessel_i(1.0L, -x) : std::cyl_bessel_i(1.0L, x); },
       [](long double x) { return fabs(x) <= 3.75L ? 8E-9L * fabs(x) : 2.2E-7L * exp(x) / sqrt(x); },
       -3.75L},
      {"K0", BesselK0, [](long double x) { return std::cyl_bessel_k(0.0L, x); },
       [](long double x) {
         return x <= 2 ? 1E-8L + fabs(log(x / 2)) * 1.6E-7L : 1.9E-7L * exp(-x) / sqrt(x);
       },
       0.05L},
      {"K1", BesselK1, [](long double x) { return std::cyl_bessel_k(1.0L, x); },
       [](long double x) {
         return x <= 2 ? 8E-9L / x + fabs(log(x / 2)) * 8E-9L * x : 2.2E-7L * exp(-x) / sqrt(x);
       },
       0.05L},
  };
  for (const BesselAccuracyCase& c : cases) {
    SCOPED_TRACE(c.name);
    int points = 0;
    for (int i = 0;; ++i) {
      long double x = c.lowest + 0.05L * i;
      if (x > 30.0001L) break;
      if (std::fabs(x) < 1E-9L) x = 0;
      if (x <= 0 && c.lowest > 0) continue;
      long double value = c.routine(x);
      EXPECT_LE(std::fabs(value - c.reference(x)), c.bound(x)) << "x = " << static_cast<double>(x);
      ++points;
    }
    EXPECT_GT(points, 500);
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

// ---- Error functions ------------------------------------------------------

TEST_F(MathFunctionsTest, ErrorFunctionIdentities) {
  EXPECT_EQ(ErfReal(0), 0.0L);
  EXPECT_EQ(ErfReal(5), 1 - ErfcReal(5));
  EXPECT_EQ(ErfReal(-5), -ErfReal(5));
  EXPECT_EQ(ErfcReal(-5), 2 - ErfcReal(5));
  for (long double x : {0.3L, 1.0L, 2.5L, 3.99L, 4.0L, 4.01L, 7.0L}) {
    EXPECT_EQ(ErfReal(-x), -ErfReal(x)) << x;
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

// The Maclaurin series is cut after about 15|x| terms: the first term left
// out stays below 1e-13 up to |x| = 3.5 and grows to 2.3e-12 near |x| = 3.97
// (60 terms), so the agreement with std::erf is 1e-12 except there.
TEST_F(MathFunctionsTest, ErfAgreesWithStdErf) {
  for (long double x = -8; x <= 8.0001L; x += 0.001L) {
    long double tolerance = (std::fabs(x) > 3.5L && std::fabs(x) <= 4) ? 2.5E-12L : 1E-12L;
    EXPECT_NEAR(ErfReal(x), std::erf(x), tolerance) << static_cast<double>(x);
  }
}

// Above 4 the 16-term asymptotic series is good to 2e-7 relative (its
// smallest term near x = 4); at and below 4 erfc is 1 - erf, so its absolute
// error is erf's.
TEST_F(MathFunctionsTest, ErfcAgreesWithStdErfc) {
  for (long double x = 4.0001L; x <= 40; x += 0.01L) {
    long double reference = std::erfc(x);
    EXPECT_NEAR(ErfcReal(x) / reference, 1.0L, 2E-7L) << static_cast<double>(x);
  }
  for (long double x : {6.0L, 10.0L}) {
    EXPECT_NEAR(ErfcReal(x) / std::erfc(x), 1.0L, 1E-12L) << static_cast<double>(x);
  }
  for (long double x = -4; x <= 4.0001L; x += 0.01L) {
    EXPECT_NEAR(ErfcReal(x), std::erfc(x), 2.5E-12L) << static_cast<double>(x);
  }
  EXPECT_NEAR(ErfcReal(-40), 2.0L, 1E-18L);
}

}  // namespace
}  // namespace voq
