#include "core/numeric_library.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"

namespace voq {

namespace {

// The angle at -pi is folded to +pi; pi as the complex functions take it.
constexpr Extended kPolarPi = 3.14159265359L;
// The largest value below InfinityValue (mantissa ...704E): a bisection
// point beyond it is no usable point.
constexpr Extended kLargestFinitePoint = MakeExtended(0x73E3, 0xA7C868E99844704EULL);

}  // namespace

Extended PowerReal(Extended x, Extended y) {
  if (x <= 0) return 0;
  return std::exp(y * std::log(x));
}

Extended SafeLn(Extended x) {
  if (x > 0) return std::log(x);
  CalcErrorCode = kMsgLogOfNonPositive;
  return 1;
}

Extended SafeSqrt(Extended x) {
  if (x >= 0) return std::sqrt(x);
  CalcErrorCode = kMsgSqrtOfNegative;
  return 1;
}

Extended IntPower(int32_t n, Extended x) {
  // |n| may be 2^31: work in 64 bits. Square and multiply: log2|n| steps.
  uint64_t m = n < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(n)) : static_cast<uint64_t>(n);
  Extended result = 1;
  Extended base = x;
  while (m != 0) {
    if (m & 1) result *= base;
    m >>= 1;
    if (m != 0) base *= base;
  }
  if (n >= 0) return result;
  // x^|n| may overflow or underflow while x^n itself does not: then take
  // the powers of 1/x instead.
  if (result != 0 && std::isfinite(result)) return 1 / result;
  return IntPower(-(n + 1), 1 / x) / x;
}

Extended ExpReal(Extended x) { return std::exp(x); }

Extended Log10Real(Extended x) {
  const Extended r = std::log10(x);
  // The runtime's log10 can be one unit in the last place off at exact
  // powers of ten (log10(1000) = 3 + 2.2E-19); there the answer is the
  // integer itself. 10^n is exact in a 10-byte real up to n = 27, and 1/10^n
  // is then the nearest value to 10^-n.
  const Extended n = std::nearbyint(r);
  if (std::fabs(r - n) < 1E-15L && std::fabs(n) <= 27) {
    Extended power = 1;
    for (int k = 0; k < static_cast<int>(std::fabs(n)); ++k) power *= 10;
    if (n >= 0 ? x == power : x == 1 / power) return n;
  }
  return r;
}

int32_t IntSign(int32_t n) { return n < 0 ? -1 : 1; }

Extended MinReal(Extended a, Extended b) { return a > b ? b : a; }

Extended MaxReal(Extended a, Extended b) { return a >= b ? a : b; }

void ComplexToPolar(Extended& magnitude, Extended& angle, Extended re, Extended im) {
  magnitude = std::sqrt(re * re + im * im);
  angle = std::atan2(im, re);
  if (angle + kPolarPi < 1E-7L) angle = std::fabs(angle);
}

void PolarToComplex(Extended& re, Extended& im, Extended magnitude, Extended angle) {
  re = magnitude * std::cos(angle);
  im = magnitude * std::sin(angle);
}

void SecantStep(int32_t iteration, Extended& X, Extended& F, bool& bisecting, Extended& FNeg,
                Extended& XNeg, Extended& FPos, Extended& XPos, Extended& FOld, Extended& XOld) {
  Extended next = X;
  CheckUserAbort();

  bool reset = false;
  if (iteration == 1) {
    bisecting = false;
    reset = true;
  }
  // A new residual further from zero than the bracket point of its sign
  // means the bracket no longer describes the function here.
  if (bisecting && ((F > 0 && F > FPos) || (F <= 0 && F < FNeg))) reset = true;
  if (reset) {
    FPos = 0;
    FNeg = 0;
  }
  if (F >= 0) {
    FPos = F;
    XPos = X;
  } else {
    FNeg = F;
    XNeg = X;
  }

  Extended ratio;
  if (X == XOld || F == FOld) {
    ratio = -1;
  } else {
    // Secant: next = X - F (X - XOld) / (F - FOld); ratio places it in the bracket.
    const Extended slope = (F - FOld) / (X - XOld);
    next = X - F / slope;
    bisecting = false;
    ratio = (FPos > 0 && std::fabs(FNeg) > 0) ? (XPos - next) / (XPos - XNeg) : 0.5L;
  }

  if (ratio < 0 || ratio > 1) {
    bisecting = true;
    next = (FPos != 0 && FNeg != 0) ? (XPos + XNeg) / 2 : X;
    if (std::fabs(next) > kLargestFinitePoint) next = X;
    if (FPos < std::fabs(FNeg)) {
      X = XPos;
      F = FPos;
    } else if (FNeg != 0) {
      X = XNeg;
      F = FNeg;
    }
  }

  XOld = X;
  FOld = F;
  X = next;
}

}  // namespace voq
