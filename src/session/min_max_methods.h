#pragma once
// The search methods of the Min/Max command. One independent variable: a
// golden-section search, or Brent's method of parabolic steps with golden
// steps as fallback. Two to ten: a direction-set method in the manner of
// Powell, or a variable-metric (quasi-Newton) method with the BFGS update of
// the inverse Hessian; both move along lines with a bracketing step and
// Brent's method.
//
// Every value of the minimised function costs a solve of the remaining
// equations, so the methods reach the model only through TMinMaxProblem,
// which the optimisation driver (min_max.h) implements over the solver and
// tests implement over plain formulas. Every loop ends as soon as
// CalcErrorCode is positive (error 65 at the call limit, 58 after a declined
// question) or AbortRequested is set.
#include <array>
#include <cstdint>

#include "core/extended.h"

namespace voq {

// The most independent variables an optimisation moves.
inline constexpr int32_t kMaxIndependentVariables = 10;

// One point of a line or interval: an abscissa and its function value.
struct TBracketPoint {
  Extended x = 0;
  Extended f = 0;
  // Whether f holds the value at x (Brent's start point is evaluated only
  // when it does not).
  bool HasValue = false;
};

// The bracket: the left end A, the right end B, the start or interior point
// X, and C, the third point of the bracketing step.
struct TBracketRecord {
  TBracketPoint C;
  TBracketPoint A;
  TBracketPoint B;
  TBracketPoint X;
};

using TMinMaxVector = std::array<Extended, kMaxIndependentVariables + 1>;  // [1..10]

// What the methods need of the model.
class TMinMaxProblem {
 public:
  virtual ~TMinMaxProblem() = default;
  // F(t): with one variable the value at abscissa t, otherwise the value at
  // p + t*xi of the search state; checks the call limit (error 65).
  virtual Extended LineFunction(Extended t) = 0;
  // The minimised quantity at point p (the best point is tracked).
  virtual Extended ObjectiveAtPoint(const TMinMaxVector& p) = 0;
  // Independent variable i set to x (no solve), and its current value.
  virtual void SetIndependentValue(int32_t i, Extended x) = 0;
  virtual Extended IndependentValue(int32_t i) = 0;
  // The remaining equations solved at the current values (one call), the
  // objective times MinMaxSign returned; no penalty, no best point.
  virtual Extended SolvedObjective() = 0;
  virtual Extended LowerLimit(int32_t i) = 0;
  virtual Extended UpperLimit(int32_t i) = 0;
  // Best value so far and its point (MinMaxBestValue, MinMaxBestPoint).
  virtual Extended BestValue() = 0;
  virtual const TMinMaxVector& BestPoint() = 0;
};

// The state one search shares with the driver.
struct TMinMaxSearch {
  int32_t n = 1;
  Extended Tolerance = 1E-4L;
  TMinMaxVector p{};
  TMinMaxVector xi{};
  Extended fret = 0;
  // One variable: the start point (the independent variable's guess).
  Extended x0 = 0;
  TBracketRecord Bracket;
  TMinMaxProblem* Problem = nullptr;
};

// |a| with the sign of b (b >= 0 gives +|a|).
Extended Sign(Extended a, Extended b);
// The stop test on a step d (see the .cpp for the one- and several-variable
// forms).
bool StepConverged(const TMinMaxSearch& s, Extended d);
// t0 + dt, pulled back so that p + t*xi stays inside the limits (the first
// violated limit only).
Extended ClampStep(TMinMaxSearch& s, Extended t0, Extended dt);

// Golden-section search over [A.x, B.x]; returns the value and abscissa of
// the point evaluated last.
void GoldenSectionSearch(TMinMaxSearch& s, Extended& value, Extended& abscissa);
// Brent's method over [A.x, B.x] from X.x; ends by trying both interval ends.
void BrentQuadraticSearch(TMinMaxSearch& s, Extended& value, Extended& abscissa);
// Brackets a minimum along xi from A.x, B.x; leaves A <= C <= B and X.
void BracketMinimum(TMinMaxSearch& s);
// Minimises along xi from p: p moves, xi becomes the step taken, fret the
// value. Error 51 for a zero direction.
void LineMinimize(TMinMaxSearch& s);
void DirectionSetMinimize(TMinMaxSearch& s);
void VariableMetricMinimize(TMinMaxSearch& s);
// Central differences with relative steps of 1E-4 (absolute at 0).
void NumericalGradient(TMinMaxSearch& s, TMinMaxVector& g);

}  // namespace voq
