#pragma once
// Pieces shared by the pair solvers of the high-accuracy fluids: the
// saturated states at one temperature and the one-dimensional secant search
// the energy, entropy and volume pairs are built on.
#include <cmath>
#include <cstdint>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq::eos_pairs {

inline constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
inline constexpr int32_t kIterationLimit = 50;
inline constexpr Extended kTolerance = 1e-7L;
// Energies and entropies of a liquid are nearly flat in its pressure: the
// searches that go through them stop only well below kTolerance so that the
// pressure they imply is good to a few parts in 1e9.
inline constexpr Extended kFineTolerance = 1e-11L;

inline bool ErrorPending() { return CalcErrorCode > 0; }

inline void TakePoint(const TEosPoint& p, TEosWorkState& w) {
  w.T = p.T;
  w.P = p.P;
  w.v = p.v;
  w.u = p.u;
  w.h = p.h;
  w.s = p.s;
}

inline Extended ValueOfKind(const TEosPoint& p, int32_t kind) {
  switch (kind) {
    case kH: return p.h;
    case kU: return p.u;
    case kS: return p.s;
    default: return p.v;
  }
}

struct TSaturatedPair {
  TEosPoint liquid, vapor;
};
// The saturated-liquid and saturated-vapour states at T (below TCrit).
inline TSaturatedPair SaturatedStates(TGeneralEosSubstance& o, Extended T) {
  const Extended tau = o.TCrit / T;
  TSaturatedPair pair;
  pair.liquid = StateFromTauDelta(o, tau, o.SatLiquidDensity(T) * o.VCrit);
  pair.vapor = StateFromTauDelta(o, tau, o.SatVaporDensity(T) * o.VCrit);
  return pair;
}

struct TSearchEnd {
  int32_t n = 0;    // iterations run
  Extended x = 0;   // last trial point
  Extended r = 0;   // its residual
  Extended tolerance = kTolerance;
  bool Met() const { return std::fabs(r) < tolerance; }
};

// Secant search of residual(x) = 0 from x0 and x1 through SecantStep. After
// each step guard(next, previous, n) may move the new point; a point that
// is still negative is evaluated only when evaluateNegative, and is then
// moved half way back to the previous point (as is any point whose residual
// grew), at most 19 times. Stops when |r| < tolerance, after 50 iterations,
// or on any error a residual evaluation raised.
template <class Residual, class Guard>
TSearchEnd SecantSearch(Extended x0, Extended x1, Residual&& residual, Guard&& guard, bool evaluateNegative,
                        Extended tolerance = kTolerance) {
  Extended xOld = x0;
  Extended rOld = residual(xOld);
  TSearchEnd end;
  end.tolerance = tolerance;
  end.x = x1;
  end.r = ErrorPending() ? rOld : residual(x1);
  if (ErrorPending()) return end;
  bool bisecting = false;
  Extended fNeg = 0, xNeg = 0, fPos = 0, xPos = 0;
  while (true) {
    ++end.n;
    Extended next = end.x;
    Extended f = end.r;
    SecantStep(end.n, next, f, bisecting, fNeg, xNeg, fPos, xPos, rOld, xOld);
    // SecantStep left the previous point in (xOld, rOld).
    next = guard(next, xOld, end.n);
    end.x = next;
    if (next >= 0 || evaluateNegative) end.r = residual(next);
    for (int32_t k = 0; k < 19 && !ErrorPending() && (std::fabs(end.r) > std::fabs(rOld) || end.x < 0); ++k) {
      end.x = (end.x + xOld) / 2;
      end.r = residual(end.x);
    }
    if (end.Met() || end.n > kIterationLimit || ErrorPending() || !std::isfinite(end.r)) break;
  }
  return end;
}

}  // namespace voq::eos_pairs
