#include "session/min_max_methods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {
namespace {

// The methods over a plain formula: every value of F counts as a call, the
// best point is tracked as the optimisation driver tracks it.
class FormulaProblem : public TMinMaxProblem {
 public:
  FormulaProblem(TMinMaxSearch& search, std::function<Extended(const TMinMaxVector&)> f, Extended lower,
                 Extended upper)
      : s_(search), f_(std::move(f)) {
    search.Problem = this;
    lower_.fill(lower);
    upper_.fill(upper);
  }

  Extended LineFunction(Extended t) override {
    if (s_.n <= 1) {
      values_[1] = t;
      const Extended v = Count(f_(values_));
      if (v < best_) {
        best_ = v;
        bestPoint_[1] = t;
      }
      return v;
    }
    TMinMaxVector point{};
    for (int32_t i = 1; i <= s_.n; ++i) point[i] = s_.p[i] + t * s_.xi[i];
    return ObjectiveAtPoint(point);
  }
  Extended ObjectiveAtPoint(const TMinMaxVector& p) override {
    for (int32_t i = 1; i <= s_.n; ++i) values_[i] = std::clamp(p[i], lower_[i], upper_[i]);
    const Extended v = Count(f_(values_));
    if (v < best_) {
      best_ = v;
      bestPoint_ = p;
    }
    return v;
  }
  void SetIndependentValue(int32_t i, Extended x) override { values_[i] = x; }
  Extended IndependentValue(int32_t i) override { return values_[i]; }
  Extended SolvedObjective() override { return Count(f_(values_)); }
  Extended LowerLimit(int32_t i) override { return lower_[i]; }
  Extended UpperLimit(int32_t i) override { return upper_[i]; }
  Extended BestValue() override { return best_; }
  const TMinMaxVector& BestPoint() override { return bestPoint_; }

  int32_t calls = 0;
  std::vector<Extended> evaluated;  // one variable: the abscissas in order
  TMinMaxVector values_{};

 private:
  Extended Count(Extended v) {
    ++calls;
    evaluated.push_back(values_[1]);
    return v;
  }
  TMinMaxSearch& s_;
  std::function<Extended(const TMinMaxVector&)> f_;
  TMinMaxVector lower_{}, upper_{};
  Extended best_ = BlankValue;
  TMinMaxVector bestPoint_{};
};

Extended Parabola(const TMinMaxVector& v) { return (v[1] - 2) * (v[1] - 2) + 1; }

// z = (x-1)^2 + (y+2)^2 + x*y/10. Its minimum solves the gradient
// conditions 2(x-1) + y/10 = 0 and 2(y+2) + x/10 = 0, a linear system:
// x = 1 - y/20 and y = -2 - x/20 give x = 1.1 * 400/399 = 1.1027569 and
// y = -2 - x/20 = -2.0551378 (hand elimination; checked in Python by
// Cramer's rule on [[2, 0.1], [0.1, 2]] (x, y) = (2, -4): 1.1027568922,
// -2.0551378446).
Extended Bowl(const TMinMaxVector& v) {
  const Extended x = v[1], y = v[2];
  return (x - 1) * (x - 1) + (y + 2) * (y + 2) + x * y / 10;
}
constexpr Extended kBowlX = 1.1027569L;
constexpr Extended kBowlY = -2.0551378L;

TEST(MinMaxMethods, OneVariableSearchesFindTheParabolaMinimum) {
  // y = (x-2)^2 + 1 on [0, 5] from the start point 1; and from 0, where
  // Brent's step test only accepts a zero step and the interval test ends
  // the search.
  struct Case {
    int method;
    Extended x0;
  };
  for (const Case c : {Case{1, 1}, Case{2, 1}, Case{2, 0}}) {
    const int method = c.method;
    CalcErrorCode = 0;
    TMinMaxSearch s;
    s.n = 1;
    s.x0 = c.x0;
    FormulaProblem problem(s, Parabola, 0, 5);
    s.Bracket.A.x = 0;
    s.Bracket.B.x = 5;
    Extended value = 0, x = 0;
    if (method == 1) {
      GoldenSectionSearch(s, value, x);
    } else {
      s.Bracket.X.x = s.x0;
      BrentQuadraticSearch(s, value, x);
    }
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_LT(std::fabs(x - 2), 1E-4L) << "method " << method << " from " << static_cast<double>(c.x0);
    EXPECT_NEAR(static_cast<double>(value), 1.0, 1E-8) << "method " << method;
  }
}

TEST(MinMaxMethods, GoldenSectionWithAWideToleranceEvaluatesThreePoints) {
  TMinMaxSearch s;
  s.n = 1;
  s.Tolerance = 0.618034L * 0.618034L * 5 + 0.01L;
  FormulaProblem problem(s, Parabola, 0, 5);
  s.Bracket.A.x = 0;
  s.Bracket.B.x = 5;
  Extended value = 0, x = 0;
  GoldenSectionSearch(s, value, x);
  ASSERT_EQ(problem.calls, 3);
  // x1 = 5 - 5g, x2 = 5g; f(x2) < f(x1) is false ((1.09-2)^2 < (3.09-2)^2),
  // so the new left point 5g - 5g^2 is the point returned.
  const Extended g = 0.61803399L;
  EXPECT_NEAR(static_cast<double>(problem.evaluated[2]), static_cast<double>(5 * g - 5 * g * g), 1E-12);
  EXPECT_EQ(x, problem.evaluated[2]);
}

TEST(MinMaxMethods, BrentReturnsAnIntervalEndThatIsLower) {
  // f = -x on [0, 5] falls toward the right end: the interior search stops
  // short of it, the end check returns 5 itself.
  TMinMaxSearch s;
  s.n = 1;
  s.x0 = 1;
  FormulaProblem problem(s, [](const TMinMaxVector& v) { return -v[1]; }, 0, 5);
  s.Bracket.A.x = 0;
  s.Bracket.B.x = 5;
  s.Bracket.X.x = 1;
  Extended value = 0, x = 0;
  BrentQuadraticSearch(s, value, x);
  EXPECT_EQ(x, 5.0L);
  EXPECT_EQ(value, -5.0L);
  EXPECT_EQ(problem.values_[1], 5.0L);  // the model is left at the point returned
}

struct SeveralCase {
  const char* name;
  void (*method)(TMinMaxSearch&);
  Extended tolerance;
  double within;
};

TEST(MinMaxMethods, SeveralVariablesReachTheBowlMinimum) {
  // The stop tests are relative (the step against the coordinates, or 1E-7
  // on the function value), so the default tolerance lands within 1E-3. The
  // direction set's test multiplies the sweep's length by the last line
  // step, which is small early: tolerances 1E-4 to 1E-8 all stop 2.6E-4 off
  // in x, 1E-12 reaches 1E-9. The variable metric method's own test on the
  // function value ends it within 1E-6 at any tolerance.
  const SeveralCase cases[] = {
      {"direction set", DirectionSetMinimize, 1E-4L, 1E-3},
      {"variable metric", VariableMetricMinimize, 1E-4L, 1E-3},
      {"direction set", DirectionSetMinimize, 1E-8L, 1E-3},
      {"direction set", DirectionSetMinimize, 1E-12L, 1E-6},
      {"variable metric", VariableMetricMinimize, 1E-4L, 1E-6},
      {"variable metric", VariableMetricMinimize, 1E-12L, 1E-6},
  };
  for (const SeveralCase& c : cases) {
    CalcErrorCode = 0;
    TMinMaxSearch s;
    s.n = 2;
    s.Tolerance = c.tolerance;
    FormulaProblem problem(s, Bowl, -5, 5);
    problem.values_[1] = 1;
    problem.values_[2] = 1;
    c.method(s);
    EXPECT_EQ(CalcErrorCode, 0) << c.name;
    EXPECT_NEAR(static_cast<double>(problem.values_[1]), static_cast<double>(kBowlX), c.within)
        << c.name << " tolerance " << static_cast<double>(c.tolerance);
    EXPECT_NEAR(static_cast<double>(problem.values_[2]), static_cast<double>(kBowlY), c.within)
        << c.name << " tolerance " << static_cast<double>(c.tolerance);
    EXPECT_LT(problem.calls, 400) << c.name;
  }
}

TEST(MinMaxMethods, ZeroDirectionIsDivergence) {
  TMinMaxSearch s;
  s.n = 2;
  FormulaProblem problem(s, Bowl, -5, 5);
  LineMinimize(s);
  EXPECT_EQ(CalcErrorCode, kMsgDiverged);
  EXPECT_EQ(problem.calls, 0);
}

TEST(MinMaxMethods, ClampStepCorrectsTheFirstViolatedLimit) {
  TMinMaxSearch s;
  s.n = 2;
  FormulaProblem problem(s, Bowl, -5, 5);
  s.p[1] = 4;
  s.p[2] = 0;
  s.xi[1] = 1;
  s.xi[2] = -1;
  EXPECT_EQ(ClampStep(s, 0, 0.5L), 0.5L);
  EXPECT_EQ(ClampStep(s, 0, 3), 1.0L);   // x reaches its upper limit 5 first
  EXPECT_EQ(ClampStep(s, 0, -20), -9.0L);  // x below -5 at t = -9
  EXPECT_EQ(Sign(2, -0.0L), 2.0L);
  EXPECT_EQ(Sign(-2, -1), -2.0L);
}

TEST(MinMaxMethods, GradientStepsAtZeroAndAtABound) {
  // A variable at 0 gets steps of -1E-4 and +1E-4; one at its upper bound a
  // step point 1E-20 inside it.
  TMinMaxSearch s;
  s.n = 2;
  std::vector<TMinMaxVector> probes;
  FormulaProblem problem(
      s, [&](const TMinMaxVector& v) { probes.push_back(v); return v[1] + 3 * v[2]; }, -5, 5);
  s.p[1] = 0;
  s.p[2] = 5;
  TMinMaxVector g{};
  NumericalGradient(s, g);
  ASSERT_EQ(probes.size(), 4u);
  EXPECT_EQ(probes[0][1], -1E-4L);
  EXPECT_EQ(probes[1][1], 1E-4L);
  EXPECT_EQ(probes[2][2], 5 * (1 - 1E-4L));
  EXPECT_EQ(probes[3][2], 5 - 1E-20L);
  EXPECT_NEAR(static_cast<double>(g[1]), 1.0, 1E-9);
  EXPECT_NEAR(static_cast<double>(g[2]), 3.0, 1E-9);
  EXPECT_EQ(problem.values_[2], 5.0L);  // each value put back
}

}  // namespace
}  // namespace voq
