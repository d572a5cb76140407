#pragma once
// Scalar conversions and angle functions of the drawing code: pixel
// coordinates from 10-byte reals, truncations, integer powers, arctangents
// and degree wrapping. The Plot window uses them for every pixel and the
// 3-D view for its angles, so they sit below both.
#include <cstdint>

namespace voq {

// Round to nearest under the current rounding mode (ties to even:
// 0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
int64_t GeomRoundToInt64(long double x);
// Toward zero (3.9 -> 3, -3.9 -> -3); a value outside the 64-bit range or
// NaN gives the integer-indefinite value -2^63.
int64_t GeomTruncToInt64(long double x);
// The same for 32-bit floats into 32-bit integers (indefinite -2^31).
int32_t GeomRoundSingle(float x);
int32_t GeomTruncSingle(float x);
// base^exponent by binary exponentiation; exponent 0 gives 1 (also for base
// 0), a negative exponent 1/base^|exponent|.
long double GeomIntPower(long double base, int32_t exponent);
// The angle of the point (x, y) in radians, -pi .. pi; (0, 0) gives 0.
long double GeomArcTan2(long double y, long double x);
// arctan2(sqrt(1 - x^2), x); |x| > 1 gives NaN.
long double GeomArcCos(float x);
long double GeomDegToRad(long double degrees);
// With the 32-bit constant 0.0174532924.
long double GeomDegToRadSingle(float degrees);
float GeomClamp(float value, float minimum, float maximum);
// An angle in degrees brought into [-180, 180].
float GeomWrapDegrees(float degrees);

}  // namespace voq
