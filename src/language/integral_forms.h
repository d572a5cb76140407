#pragma once
// The argument forms of INTEGRAL and INTEGRALVALUE. Both rewrite their
// arguments in the statement text into numbers the evaluator reads by
// position; CompileBuiltinCall writes the opcode and the sub-code after.
//
//   INTEGRAL(f, t, lo, hi)       -> f, index of t, term id, lo, hi, 999
//   INTEGRAL(f, t, lo, hi, step) -> f, index of t, term id, lo, hi, step
//   INTEGRAL(f, t)               -> f, index of t, term id (over the Parametric table)
//   INTEGRALVALUE(t, X)          -> t, index of X
//
// Each INTEGRAL call hangs a term record on the equation (ids 88881, 88882,
// ...); a call with limits takes the integration slot of its variable and
// turns that variable from an unknown into the integration variable.
#include "language/function_calls.h"

namespace voq {

void CompileIntegral(TBuiltinCallContext& context);
void CompileIntegralValue(TBuiltinCallContext& context);

// The id of the first INTEGRAL term of an equation; each further term of
// the same equation takes the next number.
inline constexpr int32_t kFirstIntegralTermId = 88881;

}  // namespace voq
