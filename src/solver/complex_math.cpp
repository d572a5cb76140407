#include "solver/complex_math.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"

namespace voq {

TComplex ComplexMultiply(TComplex z1, TComplex z2) {
  return {z1.Re * z2.Re - z1.Im * z2.Im, z1.Re * z2.Im + z1.Im * z2.Re};
}

TComplex ComplexDivide(TComplex z1, TComplex z2) {
  Extended e = z2.Re * z2.Re + z2.Im * z2.Im;
  if (e == 0) {
    CalcErrorCode = kMsgDivisionByZero;
    return {-100, -100};
  }
  return {(z1.Re * z2.Re + z1.Im * z2.Im) / e, (z1.Im * z2.Re - z1.Re * z2.Im) / e};
}

TComplex ComplexExp(TComplex z) {
  Extended m = std::exp(z.Re);
  return {m * std::cos(z.Im), m * std::sin(z.Im)};
}

TComplex ComplexLn(TComplex z) {
  Extended r = 0;
  Extended phi = 0;
  ComplexToPolar(r, phi, z.Re, z.Im);
  if (r > 0) return {std::log(r), phi};
  CalcErrorCode = kMsgLogOfNonPositive;
  return {0, 0};
}

TComplex ComplexSqrt(TComplex z) {
  Extended r = 0;
  Extended phi = 0;
  ComplexToPolar(r, phi, z.Re, z.Im);
  Extended s = std::sqrt(r);
  return {s * std::cos(phi / 2), s * std::sin(phi / 2)};
}

TComplex ComplexSin(TComplex z) {
  return {std::sin(z.Re) * std::cosh(z.Im), std::cos(z.Re) * std::sinh(z.Im)};
}

TComplex ComplexCos(TComplex z) {
  return {std::cos(z.Re) * std::cosh(z.Im), -std::sin(z.Re) * std::sinh(z.Im)};
}

}  // namespace voq
