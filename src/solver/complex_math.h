#pragma once
// Complex arithmetic of the complex-number mode: each complex value is a
// pair of 10-byte reals (real part, imaginary part). The evaluator's
// operators and the complex forms of the built-in functions use these.
#include "core/extended.h"

namespace voq {

struct TComplex {
  Extended Re = 0;
  Extended Im = 0;
};

// (a + ib)(c + id) = (ac - bd) + i(ad + bc).
TComplex ComplexMultiply(TComplex z1, TComplex z2);
// z1 / z2 = ((ac + bd) + i(bc - ad)) / (c^2 + d^2); a zero divisor is
// error 4 with both parts -100.
TComplex ComplexDivide(TComplex z1, TComplex z2);
// e^a (cos b + i sin b).
TComplex ComplexExp(TComplex z);
// ln r + i phi with r, phi the polar form; r = 0 is error 6 and 0 + 0i.
TComplex ComplexLn(TComplex z);
// sqrt(r) (cos(phi/2) + i sin(phi/2)).
TComplex ComplexSqrt(TComplex z);
// sin a cosh b + i cos a sinh b.
TComplex ComplexSin(TComplex z);
// cos a cosh b - i sin a sinh b.
TComplex ComplexCos(TComplex z);

}  // namespace voq
