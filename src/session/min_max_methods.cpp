#include "session/min_max_methods.h"

#include <cmath>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {

namespace {

// The golden section: (sqrt(5) - 1)/2 to eight digits, and its inverse + 1
// for the bracketing steps.
constexpr Extended kGolden = 0.61803399L;
constexpr Extended kGoldenGrowth = 1.618034L;
constexpr Extended kTiny = 1E-20L;
constexpr Extended kBracketGrowthLimit = 100;
// The variable-metric stop test on the function value, relative.
constexpr Extended kFunctionTolerance = 1E-7L;
// Relative step of the central differences.
constexpr Extended kGradientStep = 1E-4L;

bool Stopped() { return CalcErrorCode > 0 || AbortRequested; }

Extended F(TMinMaxSearch& s, Extended t) { return s.Problem->LineFunction(t); }

void Evaluate(TMinMaxSearch& s, TBracketPoint& point) {
  point.f = F(s, point.x);
  point.HasValue = true;
}

}  // namespace

Extended Sign(Extended a, Extended b) { return b >= 0 ? std::fabs(a) : -std::fabs(a); }

// One variable: the step is small against the start point x0 (a start of 0
// only accepts a zero step; the interval test ends the search then). Several:
// every component of the step d*xi is small against its coordinate, or the
// coordinate is (nearly) 0.
bool StepConverged(const TMinMaxSearch& s, Extended d) {
  if (s.n <= 1) return std::fabs(s.Tolerance * s.x0) >= std::fabs(d);
  for (int32_t i = 1; i <= s.n; ++i) {
    const Extended allowed = std::fabs(s.Tolerance * s.p[i]);
    if (!(std::fabs(d * s.xi[i]) <= allowed || allowed <= 1E-30L)) return false;
  }
  return true;
}

Extended ClampStep(TMinMaxSearch& s, Extended t0, Extended dt) {
  Extended t = t0 + dt;
  for (int32_t i = 1; i <= s.n; ++i) {
    const Extended lower = s.Problem->LowerLimit(i);
    const Extended upper = s.Problem->UpperLimit(i);
    const Extended at = s.p[i] + t * s.xi[i];
    if (at < lower) {
      t = (lower - s.p[i]) / s.xi[i];
      break;
    }
    if (at > upper) {
      t = (upper - s.p[i]) / s.xi[i];
      break;
    }
  }
  return t;
}

// Each step keeps the interior point with the lower value and places a new
// one symmetrically, shrinking the interval by the golden ratio.
void GoldenSectionSearch(TMinMaxSearch& s, Extended& value, Extended& abscissa) {
  const Extended a = s.Bracket.A.x;
  const Extended b = s.Bracket.B.x;
  Extended h = std::fabs(a - b) * kGolden;
  Extended x1 = b - h;
  Extended f1 = F(s, x1);
  abscissa = x1;
  value = f1;
  if (Stopped()) return;
  Extended x2 = a + h;
  Extended f2 = F(s, x2);
  abscissa = x2;
  value = f2;
  while (!Stopped()) {
    h *= kGolden;
    if (f2 < f1) {
      const Extended oldX1 = x1;
      x1 = x2;
      f1 = f2;
      x2 = oldX1 + h;
      f2 = F(s, x2);
      abscissa = x2;
      value = f2;
    } else {
      const Extended oldX2 = x2;
      x2 = x1;
      f2 = f1;
      x1 = oldX2 - h;
      f1 = F(s, x1);
      abscissa = x1;
      value = f1;
    }
    if (h < s.Tolerance) break;
  }
}

// Brent's parabolic interpolation through the three best points (x the best,
// w the second, v the previous w), a golden step into the larger part of
// the interval when the parabola's step is not acceptable.
void BrentQuadraticSearch(TMinMaxSearch& s, Extended& value, Extended& abscissa) {
  Extended a = s.Bracket.A.x;
  Extended b = s.Bracket.B.x;
  const Extended a0 = a;
  const Extended b0 = b;
  Extended x = s.Bracket.X.x;
  if (!s.Bracket.X.HasValue) Evaluate(s, s.Bracket.X);
  Extended fx = s.Bracket.X.f;
  Extended w = x, v = x, fw = fx, fv = fx;
  Extended d = 0;
  Extended e = 0;
  while (!Stopped()) {
    const Extended xm = (a + b) / 2;
    const Extended tol1 = std::fabs(x) * s.Tolerance + kTiny;
    const Extended tol2 = 2 * tol1;
    if (std::fabs(x - xm) <= tol2 - (b - a) / 2) break;
    bool golden = true;
    if (std::fabs(e) > tol1) {
      const Extended r = (x - w) * (fx - fv);
      Extended q = (x - v) * (fx - fw);
      Extended p = (x - v) * q - (x - w) * r;
      q = 2 * (q - r);
      if (q > 0) p = -p;
      q = std::fabs(q);
      if (!(std::fabs(p) >= std::fabs(q * e / 2) || p <= q * (a - x) || p >= q * (b - x))) {
        golden = false;
        d = p / q;
        const Extended u = x + d;
        if (u - a < tol2 || b - u < tol2) d = Sign(tol1, xm - x);
      }
    }
    if (golden) {
      e = x >= xm ? a - x : b - x;
      d = kGolden * e;
    }
    const Extended u = std::fabs(d) >= tol1 ? x + d : x + Sign(tol1, d);
    const Extended fu = F(s, u);
    if (Stopped()) break;
    if (fu < fx) {
      if (u >= x) {
        a = x;
      } else {
        b = x;
      }
      v = w, fv = fw;
      w = x, fw = fx;
      x = u, fx = fu;
    } else {
      if (u < x) {
        a = u;
      } else {
        b = u;
      }
      if (fu <= fw || w == x) {
        v = w, fv = fw;
        w = u, fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u, fv = fu;
      }
    }
    if (Stopped() || StepConverged(s, d)) break;
  }
  // The interior minimum against the ends of the starting interval; the
  // model is left evaluated at the point returned.
  Extended result = F(s, x);
  if (!Stopped()) {
    const Extended fa = F(s, a0);
    if (!Stopped() && fa < result) {
      x = a0;
      result = fa;
    }
  }
  if (!Stopped()) {
    const Extended fb = F(s, b0);
    if (!Stopped() && fb < result) {
      x = b0;
      result = fb;
    }
  }
  if (!Stopped()) F(s, x);
  value = result;
  abscissa = x;
}

void BracketMinimum(TMinMaxSearch& s) {
  TBracketRecord& r = s.Bracket;
  TBracketPoint& A = r.A;
  TBracketPoint& B = r.B;
  TBracketPoint& C = r.C;
  A.x = ClampStep(s, 0, A.x);
  B.x = ClampStep(s, 0, B.x);
  Evaluate(s, A);
  if (Stopped()) return;
  Evaluate(s, B);
  if (Stopped()) return;
  if (B.f > A.f) std::swap(A, B);
  C.x = ClampStep(s, B.x, kGoldenGrowth * (B.x - A.x));
  Evaluate(s, C);
  while (C.f <= B.f && !Stopped()) {
    const Extended a = A.x, b = B.x, c = C.x;
    const Extended rr = (b - a) * (B.f - C.f);
    const Extended q = (b - c) * (B.f - A.f);
    const Extended diff = q - rr;
    const Extended denom = std::fmax(std::fabs(diff), kTiny) * (diff < 0 ? -1 : 1);
    TBracketPoint U;
    U.x = ClampStep(s, b, -((b - c) * q - (b - a) * rr) / (2 * denom));
    const Extended ulim = ClampStep(s, b, kBracketGrowthLimit * (c - b));
    bool found = false;
    if ((b - U.x) * (U.x - c) > 0) {
      Evaluate(s, U);
      if (Stopped()) break;
      if (U.f < C.f) {
        A = B;
        B = U;
        found = true;
      } else if (U.f > B.f) {
        C = U;
        found = true;
      } else {
        U.x = ClampStep(s, c, kGoldenGrowth * (c - b));
        Evaluate(s, U);
      }
    } else if ((c - U.x) * (U.x - ulim) > 0) {
      Evaluate(s, U);
      if (!Stopped() && U.f < C.f) {
        B = C;
        C = U;
        U.x = ClampStep(s, C.x, kGoldenGrowth * (C.x - B.x));
        Evaluate(s, U);
      }
    } else if ((U.x - ulim) * (ulim - c) >= 0) {
      // At a bound the bracket cannot grow further.
      if (ulim == b || ulim == c) {
        found = true;
      } else {
        U.x = ulim;
        Evaluate(s, U);
      }
    } else {
      U.x = ClampStep(s, c, kGoldenGrowth * (c - b));
      Evaluate(s, U);
    }
    if (found || Stopped()) break;
    A = B;
    B = C;
    C = U;
  }
  if (B.x < A.x) std::swap(A, B);
  if (B.x < C.x) std::swap(B, C);
  if (A.x > C.x) std::swap(A, C);
  // Brent starts from the current point when the bracket holds it: its value
  // is the best so far and costs no solve.
  if (A.x < 0 && 0 < B.x) {
    r.X.x = 0;
    r.X.f = s.Problem->BestValue();
    r.X.HasValue = true;
  } else {
    r.X.x = (A.x + B.x) / 2;
    r.X.HasValue = false;
  }
}

void LineMinimize(TMinMaxSearch& s) {
  Extended sum = 0;
  for (int32_t i = 1; i <= s.n; ++i) sum += s.xi[i] * s.xi[i];
  if (sum <= 0) {
    CalcErrorCode = kMsgDiverged;
    return;
  }
  s.Bracket = TBracketRecord{};
  s.Bracket.A.x = 0;
  s.Bracket.B.x = 1 / std::sqrt(sum);  // a step of length 1 along xi
  BracketMinimum(s);
  if (Stopped()) return;
  Extended xmin = 0;
  BrentQuadraticSearch(s, s.fret, xmin);
  for (int32_t i = 1; i <= s.n; ++i) {
    s.xi[i] *= xmin;
    Extended moved = s.p[i] + s.xi[i];
    moved = std::fmax(moved, s.Problem->LowerLimit(i));
    moved = std::fmin(moved, s.Problem->UpperLimit(i));
    s.p[i] = moved;
  }
}

namespace {

using TDirections = std::array<TMinMaxVector, kMaxIndependentVariables + 1>;

void CoordinateAxes(TDirections& d, int32_t n) {
  for (int32_t k = 1; k <= n; ++k) {
    d[k] = TMinMaxVector{};
    d[k][k] = 1;
  }
}

// The model left at the best point found.
void FinishAtBestPoint(TMinMaxSearch& s) {
  const TMinMaxVector best = s.Problem->BestPoint();
  for (int32_t i = 1; i <= s.n; ++i) s.Problem->SetIndependentValue(i, best[i]);
  s.Problem->ObjectiveAtPoint(best);
}

}  // namespace

// Line minimisations along n directions, then along the average direction
// of the whole sweep, which replaces the oldest direction; the set returns
// to the coordinate axes every n + 1 sweeps.
void DirectionSetMinimize(TMinMaxSearch& s) {
  const int32_t n = s.n;
  for (int32_t i = 1; i <= n; ++i) s.p[i] = s.Problem->IndependentValue(i);
  TDirections d{};
  CoordinateAxes(d, n);
  s.xi = d[n];
  s.fret = F(s, 0);
  int32_t iteration = 0;
  while (!Stopped()) {
    if (++iteration > n + 1) {
      iteration = 1;
      CoordinateAxes(d, n);
    }
    const TMinMaxVector pt = s.p;
    for (int32_t k = 1; k <= n && !Stopped(); ++k) {
      s.xi = d[n + 1 - k];
      LineMinimize(s);
    }
    if (Stopped()) break;
    s.xi = d[n];
    LineMinimize(s);
    if (Stopped()) break;
    TMinMaxVector u{};
    Extended len = 0;
    for (int32_t i = 1; i <= n; ++i) {
      u[i] = s.p[i] - pt[i];
      len += u[i] * u[i];
    }
    len = std::sqrt(len);
    if (len == 0) len = 1;
    for (int32_t i = 1; i <= n; ++i) u[i] /= len;
    for (int32_t k = 1; k < n; ++k) d[k] = d[k + 1];
    d[n] = u;
    if (StepConverged(s, len)) {
      s.fret = s.Problem->ObjectiveAtPoint(s.p);
      break;
    }
  }
  FinishAtBestPoint(s);
}

void NumericalGradient(TMinMaxSearch& s, TMinMaxVector& g) {
  TMinMaxProblem& m = *s.Problem;
  for (int32_t i = 1; i <= s.n; ++i) {
    Extended x = s.p[i];
    x = std::fmax(x, m.LowerLimit(i));
    x = std::fmin(x, m.UpperLimit(i));
    m.SetIndependentValue(i, x);
  }
  for (int32_t i = 1; i <= s.n; ++i) {
    const Extended x = m.IndependentValue(i);
    // Relative steps, absolute at 0; a step beyond a limit stays just inside it.
    auto stepPoint = [&](Extended c) {
      Extended t = x != 0 ? (1 + c) * x : c;
      if (t < m.LowerLimit(i)) t = m.LowerLimit(i) + kTiny;
      if (t > m.UpperLimit(i)) t = m.UpperLimit(i) - kTiny;
      return t;
    };
    const Extended x1 = stepPoint(-kGradientStep);
    const Extended x2 = stepPoint(kGradientStep);
    m.SetIndependentValue(i, x1);
    const Extended f1 = m.SolvedObjective();
    m.SetIndependentValue(i, x2);
    const Extended f2 = m.SolvedObjective();
    g[i] = x1 == x2 ? 0 : (f1 - f2) / (x1 - x2);
    m.SetIndependentValue(i, x);
    if (Stopped()) return;
  }
}

// Quasi-Newton steps xi = -H g with the BFGS update of the inverse Hessian
// estimate H from the change of point and gradient.
void VariableMetricMinimize(TMinMaxSearch& s) {
  const int32_t n = s.n;
  for (int32_t i = 1; i <= n; ++i) s.p[i] = s.Problem->IndependentValue(i);
  Extended fp = s.Problem->ObjectiveAtPoint(s.p);
  TMinMaxVector g{}, dg{}, hdg{};
  std::vector<TMinMaxVector> H(static_cast<size_t>(kMaxIndependentVariables) + 1);
  auto identity = [&]() {
    for (int32_t i = 1; i <= n; ++i) {
      H[static_cast<size_t>(i)] = TMinMaxVector{};
      H[static_cast<size_t>(i)][i] = 1;
    }
  };
  if (!Stopped()) NumericalGradient(s, g);
  identity();
  int32_t iteration = 0;
  for (int32_t i = 1; i <= n; ++i) s.xi[i] = -g[i];
  while (!Stopped()) {
    ++iteration;
    LineMinimize(s);
    if (Stopped()) break;
    if (2 * std::fabs(s.fret - fp) <= kFunctionTolerance * (std::fabs(s.fret) + std::fabs(fp) + 1E-15L)) break;
    dg = g;
    NumericalGradient(s, g);
    if (Stopped()) break;
    for (int32_t i = 1; i <= n; ++i) dg[i] = g[i] - dg[i];
    Extended fac = 0, fae = 0;
    for (int32_t i = 1; i <= n; ++i) {
      hdg[i] = 0;
      for (int32_t j = 1; j <= n; ++j) hdg[i] += H[static_cast<size_t>(i)][j] * dg[j];
      fac += dg[i] * s.xi[i];
      fae += dg[i] * hdg[i];
    }
    if (std::fabs(fac) < 1E-30L) {
      fac = 1E-6L;
      iteration = n + 1;
    }
    fac = 1 / fac;
    if (std::fabs(fae) < 1E-30L) {
      fae = 1E-6L;
      iteration = n + 1;
    }
    const Extended fad = 1 / fae;
    for (int32_t i = 1; i <= n; ++i) dg[i] = fac * s.xi[i] - fad * hdg[i];
    if (iteration > n && s.fret < fp) {
      identity();
      iteration = 0;
    } else {
      for (int32_t i = 1; i <= n; ++i) {
        for (int32_t j = 1; j <= n; ++j) {
          H[static_cast<size_t>(i)][j] +=
              fac * s.xi[i] * s.xi[j] - fad * hdg[i] * hdg[j] + fae * dg[i] * dg[j];
        }
      }
    }
    fp = s.fret;
    for (int32_t i = 1; i <= n; ++i) {
      Extended sum = 0;
      for (int32_t j = 1; j <= n; ++j) sum += H[static_cast<size_t>(i)][j] * g[j];
      s.xi[i] = -sum;
    }
  }
  FinishAtBestPoint(s);
}

}  // namespace voq
