// Equations with INTEGRAL solved through the Solve command: the trapezoid
// sums, the step control and Richardson extrapolation, nested integrals,
// and the errors of the integral functions at evaluation.
//
// Reference values are hand calculations. The composite trapezoid rule with
// step h over [0, 1] is exact for a linear integrand; for t^2 its error is
// (b - a) h^2 f''/12 = h^2/6 exactly (the Euler-Maclaurin series ends
// there for a quadratic), and one Richardson step (4 T(h/2) - T(h))/3
// removes it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/store_fixture.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class IntegralSolveTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = false;
    EquationsCompiled = false;
    AbortRequested = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    LanguageStoreTest::TearDown();
  }
  int32_t Solve(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }
  long double Value(const std::string& name) {
    const TVariableRecord* v = VarNamed(name);
    return v != nullptr ? v->Value : -1;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

TEST_F(IntegralSolveTest, FixedStepTrapezoidSums) {
  struct Case {
    const char* equations;
    long double expected;
    long double tolerance;
  };
  const long double h = 0.01L;
  const Case cases[] = {
      {"y = INTEGRAL(2*t, t, 0, 1, 0.1)", 1.0L, 1e-12L},
      {"y = INTEGRAL(t^2, t, 0, 1, 0.01)", 1.0L / 3 + h * h / 6, 1e-12L},
      // Equal limits: nothing to integrate.
      {"y = INTEGRAL(t^2, t, 2, 2, 0.1)", 0.0L, 0.0L},
      // Downwards the sum changes sign.
      {"y = INTEGRAL(2*t, t, 1, 0, 0.1)", -1.0L, 1e-12L},
      // A step that does not divide the range ends on the upper limit:
      // 0..0.3..0.6..0.9..1 of 2t.
      {"y = INTEGRAL(2*t, t, 0, 1, 0.3)", 1.0L, 1e-12L},
      // A step of the wrong sign is turned round.
      {"y = INTEGRAL(2*t, t, 0, 1, -0.1)", 1.0L, 1e-12L},
      // Limits and integrand from other equations.
      {"a = 1\r\nb = 3\r\nk = 2\r\ny = INTEGRAL(k*t, t, a, b, 0.5)", 8.0L, 1e-12L},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Solve(c.equations), 0) << c.equations;
    EXPECT_NEAR(double(Value("y")), double(c.expected), double(c.tolerance)) << c.equations;
  }
}

TEST_F(IntegralSolveTest, FixedNumberOfStepsFromTheSettings) {
  // "Use fixed step size with 10 steps": h = 0.1 of the range.
  IntegrationSettings.StepFraction = 0.1L;
  ASSERT_EQ(Solve("y = INTEGRAL(t^2, t, 0, 1)"), 0);
  EXPECT_NEAR(double(Value("y")), 1.0 / 3 + 0.01 / 6, 1e-12);
  ASSERT_EQ(Solve("y = INTEGRAL(t^2, t, 0, 2)"), 0);
  EXPECT_NEAR(double(Value("y")), 8.0 / 3 + 2 * 0.04 / 6, 1e-12);
}

TEST_F(IntegralSolveTest, RichardsonExtrapolationRemovesTheTrapezoidError) {
  IntegrationSettings.UseRichardson = 1;
  ASSERT_EQ(Solve("y = INTEGRAL(t^2, t, 0, 1, 0.01)"), 0);
  EXPECT_NEAR(double(Value("y")), 1.0 / 3, 1e-12);
  // The extrapolation is exact for a cubic as well (Simpson's rule).
  ASSERT_EQ(Solve("y = INTEGRAL(t^3, t, 0, 2, 0.1)"), 0);
  EXPECT_NEAR(double(Value("y")), 4.0, 1e-12);
}

TEST_F(IntegralSolveTest, ControlledStepMeetsItsTolerance) {
  // Defaults: relative error per compared step between 1e-5 and 1e-3.
  ASSERT_EQ(Solve("y = INTEGRAL(exp(t), t, 0, 1)"), 0);
  const double exact = std::exp(1.0) - 1;
  EXPECT_NEAR(double(Value("y")), exact, 1e-3 * exact);
  // A fifth argument of 0 asks for the controlled step too.
  ASSERT_EQ(Solve("y = INTEGRAL(exp(t), t, 0, 1, 0)"), 0);
  EXPECT_NEAR(double(Value("y")), exact, 1e-3 * exact);
}

TEST_F(IntegralSolveTest, ImplicitIntegrandIsSolvedAtEveryPosition) {
  // y' = -y, y(0) = 1 by the trapezoid rule: each step multiplies y by
  // (1 - h/2)/(1 + h/2), so after 10 steps of 0.1 y = (0.95/1.05)^10.
  ASSERT_EQ(Solve("y = 1 + INTEGRAL(-y, t, 0, 1, 0.1)"), 0);
  EXPECT_NEAR(double(Value("y")), std::pow(0.95 / 1.05, 10), 1e-12);
}

TEST_F(IntegralSolveTest, NestedIntegralRestartsAtEveryOuterPosition) {
  // Inner: integral of s over [0, x], exact x^2/2 for the trapezoids.
  // Outer: trapezoids of x^2/2 with h = 0.1 give 1/6 + h^2/12.
  ASSERT_EQ(Solve("outer = INTEGRAL(inner, x, 0, 1, 0.1)\r\ninner = INTEGRAL(s, s, 0, x, 0.05)"), 0);
  EXPECT_NEAR(double(Value("outer")), 1.0 / 6 + 0.01 / 12, 1e-12);
}

TEST_F(IntegralSolveTest, ErrorsOfTheIntegralFunctions) {
  EXPECT_EQ(Solve("y = INTEGRAL(1, a, 0, 1, 0.1) + INTEGRAL(1, b, 0, 1, 0.1) + INTEGRAL(1, c, 0, 1, 0.1)\r\n"
                  "z = INTEGRAL(1, d, 0, 1, 0.1) + INTEGRAL(1, e, 0, 1, 0.1) + INTEGRAL(1, f, 0, 1, 0.1)\r\n"
                  "w = INTEGRAL(1, g, 0, 1, 0.1)"),
            kMsgIntegrationVariableLimit);
  EXPECT_EQ(Solve("FUNCTION F(x)\r\n  F := INTEGRAL(x, t, 0, 1)\r\nEND\r\ny = F(2)"), kMsgIntegralInRoutine);
  EXPECT_EQ(Solve("MODULE M(x : y)\r\n  y = INTEGRAL(x, t)\r\nEND\r\nCALL M(1 : z)"), kMsgTableIntegralInModule);
  // Two integrals over one variable with different limits.
  EXPECT_EQ(Solve("y = INTEGRAL(t, t, 0, 1, 0.1)\r\nz = INTEGRAL(t, t, 0, 2, 0.1)"), kMsgIntegralLimits);
  // A step below the resolution of the position would never end.
  EXPECT_EQ(Solve("y = INTEGRAL(t, t, 1, 2, 1E-30)"), kMsgIntegralStepTooSmall);
  EXPECT_EQ(MessageArgs[1], "t");
  // INTEGRALVALUE needs the Integral table.
  EXPECT_EQ(Solve("y = INTEGRAL(t, t, 0, 1, 0.1)\r\nz = INTEGRALVALUE(0.5, y)"), kMsgIntegralValueWithoutTable);
}


TEST_F(IntegralSolveTest, ModuleWithAnIntegralIsSolvedOnItsOwn) {
  // Trapezoids of y' = -(y - 20)/200 with h = 1 multiply y - 20 by
  // (1 - 1/400)/(1 + 1/400) at every step.
  const char* text =
      "MODULE Cool(T_i, t_end : T)\r\n"
      "  dTdt = -(T - 20)/200\r\n"
      "  T = T_i + INTEGRAL(dTdt, time, 0, t_end, 1)\r\n"
      "END\r\n"
      "CALL Cool(100, 600 : Tf)";
  ASSERT_EQ(Solve(text), 0);
  EXPECT_NEAR(double(Value("Tf")), 20 + 80 * std::pow((1 - 1.0 / 400) / (1 + 1.0 / 400), 600), 1e-10);
  TProgramUnitRecord* cool = nullptr;
  for (TProgramUnitRecord* unit : ProgramUnitList)
    if (unit->UpperName == "COOL") cool = unit;
  ASSERT_NE(cool, nullptr);
  EXPECT_EQ(cool->Merged, 0);
  EXPECT_EQ(cool->IntegralCount, 1);
  EXPECT_EQ(cool->IntegralSlots[1].InModule, 1);
}

}  // namespace
}  // namespace voq
