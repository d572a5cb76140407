#pragma once
// The built-in mathematical functions that take more than one machine
// operation: the guarded exponential, gamma, tangent, arcsine and arccosine,
// the Bessel functions of orders 0 and 1 and the error functions. Arguments
// and results are 10-byte reals, angles in radians. A routine that fails sets
// CalcErrorCode (with MessageArgs and MessageHelpContext where its message
// needs them) and returns its marker value; the evaluator stops at the error.
// The complex-mode arithmetic lives in solver/complex_math.h.
#include <array>

#include "core/extended.h"

namespace voq {

// The angle constants the trigonometric routines use as written, not
// full-precision pi/2 and pi.
inline constexpr Extended kHalfPiConstant = 1.570796326795L;
inline constexpr Extended kPiConstant = 3.14159265359L;

// e^x for -10000 <= x <= 10000; 0 below, without error; above, error 323
// with the formatted x and the result 1.
Extended GuardedExp(Extended x);

// Gamma(x) from the series of 1/Gamma on (-1, 1] and the recurrence
// Gamma(x) = (x-1) Gamma(x-1). At 0 and the negative integers the reciprocal
// divides by zero (infinity, with the floating-point division-by-zero flag).
Extended GammaFunction(Extended x);

// sin x / cos x; InfinityValue when x is exactly 1.570796326795.
Extended TanFunction(Extended x);
// arctan(x / sqrt(1 - x^2)); +-1.570796326795 for |x| >= 1.
Extended ArcSinFunction(Extended x);
// 1.570796326795 - arcsin; 0 for x >= 1 and 3.14159265359 for x <= -1.
Extended ArcCosFunction(Extended x);

// Bessel functions of the first (J) and second (Y) kind and modified
// Bessel functions (I, K), orders 0 and 1, by the Handbook polynomial
// approximations. An argument outside the allowed range is error 226 with
// the function's name and help topic, and the result -1: J0, J1 for x < -3,
// I0, I1 for x < -3.75, Y0, Y1, K0, K1 for x <= 0.
Extended BesselJ0(Extended x);
Extended BesselY0(Extended x);
Extended BesselJ1(Extended x);
Extended BesselY1(Extended x);
Extended BesselI0(Extended x);
Extended BesselK0(Extended x);
Extended BesselI1(Extended x);
Extended BesselK1(Extended x);

// erf x by its Maclaurin series for |x| <= 4 and 1 - erfc beyond.
Extended ErfReal(Extended x);
// erfc x = 1 - erf x for |x| <= 4, its asymptotic series for x > 4 and
// 2 - erfc(-x) for x < -4.
Extended ErfcReal(Extended x);

// Published coefficient tables (math_functions_data.cpp): polynomials from
// their constant term up; the gamma series from c_1 (the coefficient of z).
extern const std::array<Extended, 26> ReciprocalGammaCoefficients;
extern const std::array<Extended, 7> BesselJ0SmallCoefficients;
extern const std::array<Extended, 7> BesselY0SmallCoefficients;
extern const std::array<Extended, 7> BesselF0Coefficients;
extern const std::array<Extended, 7> BesselTheta0Coefficients;
extern const std::array<Extended, 7> BesselJ1SmallCoefficients;
extern const std::array<Extended, 7> BesselY1SmallCoefficients;
extern const std::array<Extended, 7> BesselF1Coefficients;
extern const std::array<Extended, 7> BesselTheta1Coefficients;
extern const std::array<Extended, 7> BesselI0SmallCoefficients;
extern const std::array<Extended, 9> BesselI0LargeCoefficients;
extern const std::array<Extended, 7> BesselI1SmallCoefficients;
extern const std::array<Extended, 9> BesselI1LargeCoefficients;
extern const std::array<Extended, 7> BesselK0SmallCoefficients;
extern const std::array<Extended, 7> BesselK0LargeCoefficients;
extern const std::array<Extended, 7> BesselK1SmallCoefficients;
extern const std::array<Extended, 7> BesselK1LargeCoefficients;

}  // namespace voq
