#pragma once
// Small numerical routines on 10-byte reals shared by the property models,
// the solver and the windows. Domain errors of the guarded routines are
// reported through CalcErrorCode with the result 1, so the caller's
// arithmetic goes on until it tests the error.
#include <cstdint>

#include "core/extended.h"

namespace voq {

// x^y = exp(y ln x) for x > 0; 0 for x <= 0 whatever y is.
Extended PowerReal(Extended x, Extended y);
// ln x; x <= 0 is error 6 with the result 1.
Extended SafeLn(Extended x);
// Square root; x < 0 is error 8 with the result 1.
Extended SafeSqrt(Extended x);
// x^n for an integer n (1 for n = 0, 1/x^-n for n < 0), by repeated squaring.
Extended IntPower(int32_t n, Extended x);
Extended ExpReal(Extended x);
// Common logarithm; x must be positive.
Extended Log10Real(Extended x);
// -1 for n < 0, else 1.
int32_t IntSign(int32_t n);
Extended MinReal(Extended a, Extended b);
Extended MaxReal(Extended a, Extended b);

// magnitude and angle (radians, in (-pi, pi]) of re + i im.
void ComplexToPolar(Extended& magnitude, Extended& angle, Extended re, Extended im);
void PolarToComplex(Extended& re, Extended& im, Extended magnitude, Extended angle);

// One step of the secant/bisection root search used by the one-dimensional
// iterations of the property library. X and F are the current point and its
// residual; on return X is the next trial point. The caller keeps the state
// (bisecting, the bracket points FNeg/XNeg and FPos/XPos, the previous point
// FOld/XOld) between calls, starts with iteration 1 and stops on its own
// convergence test. Polls for a user abort.
void SecantStep(int32_t iteration, Extended& X, Extended& F, bool& bisecting, Extended& FNeg,
                Extended& XNeg, Extended& FPos, Extended& XPos, Extended& FOld, Extended& XOld);

}  // namespace voq
