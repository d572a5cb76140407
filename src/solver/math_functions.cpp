#include "solver/math_functions.h"

#include <cmath>
#include <cstdint>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"

namespace voq {

namespace {

constexpr Extended kExpLimit = 10000;
// Exact 2/pi of the Handbook's Y0 and Y1 formulas.
constexpr Extended kTwoOverPi = 0.636619772367581343075535053490057448L;

// c_0 + c_1 t + c_2 t^2 + ..., the powers of t built up one by one.
template <size_t N>
Extended PowerSeries(const std::array<Extended, N>& c, Extended t) {
  Extended sum = c[0];
  Extended power = 1;
  for (size_t i = 1; i < N; ++i) {
    power *= t;
    sum += c[i] * power;
  }
  return sum;
}

Extended BesselRangeError(const char* name, int32_t helpContext) {
  SetCalcError(kMsgArgumentOutOfRange, name);
  MessageHelpContext = helpContext;
  return -1;
}

// 1/Gamma(z) = sum c_k z^k, k = 1..26, for -1 <= z <= 1. The sum vanishes at
// 0 by itself; at -1 the published (rounded) coefficients leave about 1e-16,
// so the zero of 1/Gamma there is made exact and the pole divides by zero.
Extended ReciprocalGammaSeries(Extended z) {
  if (z == -1) return 0;
  Extended sum = 0;
  Extended power = 1;
  for (Extended c : ReciprocalGammaCoefficients) {
    power *= z;
    sum += c * power;
  }
  return sum;
}

// Large-argument forms of 9.4.3 and 9.4.6: f / sqrt(x) times cos or sin of
// the phase theta = x + (phase polynomial in 3/x).
struct ModulusPhase {
  Extended scaledModulus;  // f / sqrt(x)
  Extended phase;
};
ModulusPhase BesselModulusPhase(const std::array<Extended, 7>& modulus,
                                const std::array<Extended, 7>& phase, Extended x) {
  Extended t = 3 / x;
  return {PowerSeries(modulus, t) / std::sqrt(x), x + PowerSeries(phase, t)};
}

}  // namespace

Extended GuardedExp(Extended x) {
  if (x < -kExpLimit) return 0;
  if (x > kExpLimit) {
    TDisplayFormat format;
    format.Style = kStyleAutomatic;
    format.Digits = 4;
    SetCalcError(kMsgExpTooLarge, FormatValue(format, x));
    return 1;
  }
  return std::exp(x);
}

Extended GammaFunction(Extended x) {
  if (std::fabs(x) < 1) return 1 / ReciprocalGammaSeries(x);
  Extended a = 1;
  Extended b = x;
  if (x > 1) {
    // Gamma(x) = (x-1)(x-2)...(b) Gamma(b) with b in (0, 1]. Once the product
    // overflows the result does (and b may be too large to step down at all).
    while (b > 1) {
      b -= 1;
      a *= b;
      if (std::isinf(a)) return a;
    }
    return a * (1 / ReciprocalGammaSeries(b));
  }
  if (x <= -1) {
    // A negative integer is a pole, whether or not it is too large to step
    // up from one by one.
    if (x == std::floor(x)) return 1 / ReciprocalGammaSeries(-1);
    // Gamma(x) = Gamma(b) / (x (x+1) ... (b-1)) with b in (-1, 0). Once the
    // quotient underflows to 0 it stays there.
    while (b < -1) {
      b += 1;
      a /= (b - 1);
      if (a == 0) return 0;
    }
    return a * (1 / ReciprocalGammaSeries(b));
  }
  if (x == 1) return 1 / ReciprocalGammaSeries(x);
  return x;  // not a number
}

Extended TanFunction(Extended x) {
  if (x == kHalfPiConstant) return InfinityValue;
  return std::sin(x) / std::cos(x);
}

Extended ArcSinFunction(Extended x) {
  if (x >= 1) return kHalfPiConstant;
  if (x <= -1) return -kHalfPiConstant;
  return std::atan(x / std::sqrt(1 - x * x));
}

Extended ArcCosFunction(Extended x) {
  if (x >= 1) return 0;
  if (x <= -1) return kPiConstant;
  return kHalfPiConstant - std::atan(x / std::sqrt(1 - x * x));
}

Extended BesselJ0(Extended x) {
  if (x < -3) return BesselRangeError("Bessel_J0", 94);
  if (std::fabs(x) <= 3) {
    Extended r = x / 3;
    return PowerSeries(BesselJ0SmallCoefficients, r * r);
  }
  ModulusPhase m = BesselModulusPhase(BesselF0Coefficients, BesselTheta0Coefficients, x);
  return m.scaledModulus * std::cos(m.phase);
}

Extended BesselY0(Extended x) {
  if (x <= 0) return BesselRangeError("Bessel_Y0", 98);
  if (x <= 3) {
    Extended r = x / 3;
    return kTwoOverPi * std::log(x / 2) * BesselJ0(x) +
           PowerSeries(BesselY0SmallCoefficients, r * r);
  }
  ModulusPhase m = BesselModulusPhase(BesselF0Coefficients, BesselTheta0Coefficients, x);
  return m.scaledModulus * std::sin(m.phase);
}

Extended BesselJ1(Extended x) {
  if (x < -3) return BesselRangeError("Bessel_J1", 95);
  if (std::fabs(x) <= 3) {
    Extended r = x / 3;
    return x * PowerSeries(BesselJ1SmallCoefficients, r * r);
  }
  ModulusPhase m = BesselModulusPhase(BesselF1Coefficients, BesselTheta1Coefficients, x);
  return m.scaledModulus * std::cos(m.phase);
}

Extended BesselY1(Extended x) {
  if (x <= 0) return BesselRangeError("Bessel_Y1", 99);
  if (x <= 3) {
    Extended r = x / 3;
    return (kTwoOverPi * x * std::log(x / 2) * BesselJ1(x) +
            PowerSeries(BesselY1SmallCoefficients, r * r)) /
           x;
  }
  ModulusPhase m = BesselModulusPhase(BesselF1Coefficients, BesselTheta1Coefficients, x);
  return m.scaledModulus * std::sin(m.phase);
}

Extended BesselI0(Extended x) {
  if (x < -3.75L) return BesselRangeError("Bessel_I0", 92);
  if (std::fabs(x) <= 3.75L) {
    Extended r = x / 3.75L;
    return PowerSeries(BesselI0SmallCoefficients, r * r);
  }
  return PowerSeries(BesselI0LargeCoefficients, 3.75L / x) / (std::sqrt(x) * GuardedExp(-x));
}

Extended BesselK0(Extended x) {
  if (x <= 0) return BesselRangeError("Bessel_K0", 96);
  if (x <= 2) {
    Extended r = x / 2;
    return -std::log(x / 2) * BesselI0(x) + PowerSeries(BesselK0SmallCoefficients, r * r);
  }
  return PowerSeries(BesselK0LargeCoefficients, 2 / x) / (std::sqrt(x) * GuardedExp(x));
}

Extended BesselI1(Extended x) {
  if (x < -3.75L) return BesselRangeError("Bessel_I1", 93);
  if (std::fabs(x) <= 3.75L) {
    Extended r = x / 3.75L;
    return x * PowerSeries(BesselI1SmallCoefficients, r * r);
  }
  return PowerSeries(BesselI1LargeCoefficients, 3.75L / x) / std::sqrt(x) * GuardedExp(x);
}

Extended BesselK1(Extended x) {
  if (x <= 0) return BesselRangeError("Bessel_K1", 97);
  if (x <= 2) {
    Extended r = x / 2;
    return (x * std::log(x / 2) * BesselI1(x) + PowerSeries(BesselK1SmallCoefficients, r * r)) /
           x;
  }
  return PowerSeries(BesselK1LargeCoefficients, 2 / x) / (std::sqrt(x) * GuardedExp(x));
}

Extended ErfReal(Extended x) {
  if (std::isnan(x)) return x;
  if (x > 4) return 1 - ErfcReal(x);
  if (x < -4) return -(1 - ErfcReal(-x));
  // Maclaurin series erf x = 2/sqrt(pi) sum (-1)^n x^(2n+1) / (n! (2n+1)),
  // with about 15|x| terms: enough for |x| <= 4.
  Extended ax = std::fabs(x);
  int32_t terms = ax < 1 ? 15 : static_cast<int32_t>(std::nearbyint((ax - 1) * 45 / 3 + 15));
  Extended x2 = x * x;
  Extended sum = x;
  Extended power = x;
  Extended factorial = 1;
  for (int32_t n = 1; n <= terms; ++n) {
    power *= x2;
    factorial *= n;
    Extended term = power / (factorial * (2 * n + 1));
    sum += (n % 2 == 1) ? -term : term;
  }
  return sum * 2 / std::sqrt(kPiConstant);
}

Extended ErfcReal(Extended x) {
  if (std::fabs(x) <= 4) return 1 - ErfReal(x);
  if (x < -4) return 2 - ErfcReal(-x);
  if (std::isnan(x)) return x;
  // Asymptotic series erfc x ~ e^(-x^2) / (sqrt(pi) x) sum (-1)^n (2n-1)!! / (2x^2)^n,
  // 16 terms.
  Extended twoX2 = 2 * x * x;
  Extended sum = 1;
  Extended term = 1;
  for (int32_t n = 1; n <= 15; ++n) {
    term *= (2 * n - 1) / twoX2;
    sum += (n % 2 == 1) ? -term : term;
  }
  return std::exp(-x * x) * sum / (std::sqrt(kPiConstant) * x);
}

}  // namespace voq
