// The numeric and complex function opcodes, through the statement compiler
// and the evaluator: each statement "x = f(...)" is compiled from text and
// evaluated with x = 0, so the residual is minus the function's value.
// Reference values are hand calculations or published tables, named beside
// each case.
#include "platform/host.h"
#include "solver/numeric_opcodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/function_catalog.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "platform/scripted_platform.h"
#include "solver/code_builder.h"
#include "solver/evaluator.h"

namespace voq {
namespace {

using namespace voq::testing;

// Radians per degree as documents store it.
constexpr long double kDegree = 0.017453293L;

class AngleEnvironment : public EvaluationEnvironment {
 public:
  long double factor = 1;
  Extended AngleFactor() const override { return factor; }
};

struct Complex {
  long double re;
  long double im;
};

class NumericOpcodesTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    InstallNumericOpcodes();
    SetEvaluationEnvironment(&environment_);
    WarningEquation = nullptr;
    DocumentSettings = TDocumentSettingsRecord{};
    Preferences = TPreferencesRecord{};
  }
  void TearDown() override {
    SetEvaluationEnvironment(nullptr);
    DocumentSettings = TDocumentSettingsRecord{};
    Preferences = TPreferencesRecord{};
    WarningEquation = nullptr;
    LanguageStoreTest::TearDown();
  }

  // Compiles "x = expression"; false (with a failure) when it does not compile.
  bool CompileValue(const std::string& expression) {
    BeginTestPass();
    std::string text = "x = " + expression;
    CompileStatement(text, kMaxStatementLength, TStatementPosition{});
    EXPECT_EQ(CalcErrorCode, 0) << "compiling " << expression;
    if (CalcErrorCode != 0) return false;
    for (int32_t i = 1; i <= CurrentProgramUnit->VariableCount; ++i) Var(i)->Value = 0;
    return true;
  }
  // The value of a real-mode expression; CalcErrorCode tells of an error.
  long double Value(const std::string& expression) {
    if (!CompileValue(expression)) return NAN;
    return -EvaluateEquation(CurrentEquation, 0);
  }
  // The value of a complex-mode expression: the real copy of the equation
  // gives the real part, the imaginary copy the imaginary part.
  Complex ComplexValue(const std::string& expression) {
    CurrentProgramUnit->UnitComplexMode = 1;
    Complex z{NAN, NAN};
    if (!CompileValue(expression)) return z;
    CurrentEquation->EquationKind = 0;
    z.re = -EvaluateEquation(CurrentEquation, 0);
    if (CalcErrorCode != 0) return z;
    CurrentEquation->EquationKind = 1;
    z.im = -EvaluateEquation(CurrentEquation, 0);
    return z;
  }
  // The error number an expression's evaluation stops with.
  int32_t ErrorOf(const std::string& expression) {
    Value(expression);
    return CalcErrorCode;
  }

  AngleEnvironment environment_;
  TEquationRecord eq_;
};

struct ValueCase {
  const char* expression;
  long double expected;
  long double tolerance;
};

TEST_F(NumericOpcodesTest, RealValuesInRadianMode) {
  // Hand calculations unless named; sin 30, sinh, cosh, tanh, erf, gamma
  // from Abramowitz and Stegun, Tables 4.6, 4.5, 7.1 and 6.1.
  const ValueCase cases[] = {
      {"SIN(30)", -0.98803162409286178999L, 1e-15L},
      {"COS(0)", 1, 0},
      {"TAN(0.5)", 0.54630248984379051326L, 1e-15L},
      {"EXP(1)", 2.71828182845904523536L, 1e-15L},
      {"LN(EXP(2))", 2, 1e-15L},
      {"LOG10(100)", 2, 1e-15L},
      {"SQRT(2)", 1.41421356237309504880L, 1e-15L},
      {"ABS(-3.5)", 3.5L, 0},
      {"ARCTAN(1)", 0.78539816339744830962L, 1e-15L},
      {"SINH(1)", 1.17520119364380145688L, 1e-15L},
      {"COSH(1)", 1.54308063481524377848L, 1e-15L},
      {"TANH(0.5)", 0.46211715726000975850L, 1e-15L},
      {"MOD(-7, 3)", -1, 0},
      {"MOD(7, -3)", 1, 0},
      {"MOD(5.5, 2)", 1.5L, 0},
      {"IF(1, 2, 10, 20, 30)", 10, 0},
      {"IF(2, 2, 10, 20, 30)", 20, 0},
      {"IF(3, 2, 10, 20, 30)", 30, 0},
      {"AVERAGE(1, 2, 6)", 3, 0},
      {"MIN(3, 1, 2)", 1, 0},
      {"MAX(3, 1, 2)", 3, 0},
      {"SUM(1, 2, 3.5)", 6.5L, 0},
      {"SUM(i^2, i=1, 4)", 30, 0},
      {"PRODUCT(i, i=1, 5)", 120, 0},
      {"STEP(0)", 1, 0},
      {"STEP(-1E-30)", 0, 0},
      {"GAMMA_(5)", 24, 1e-12L},
      {"GAMMA_(0.5)", 1.77245385090551602730L, 1e-10L},  // sqrt(pi)
      {"ERF(0)", 0, 0},
      {"ERF(0.5)", 0.52049987781304653768L, 1e-12L},
      {"ERF(-0.5)", -0.52049987781304653768L, 1e-12L},
      {"ERFC(5)", 1.5374597944280348502e-12L, 1e-21L},
      {"ERF(5)", 1 - 1.5374597944280348502e-12L, 1e-15L},
      {"ARCSINH(0)", 0, 0},
      // asinh(1e10) = ln(1e10 + sqrt(1e20 + 1)) = ln(2e10) + 2.5e-21.
      {"ARCSINH(-1E10)", -23.718998110500402150L, 1e-15L},
      {"ARCCOSH(2)", 1.31695789692481670862L, 1e-15L},
      {"ARCTANH(0.5)", 0.54930614433405484570L, 1e-15L},
      {"TRUNC(-2.7)", -2, 0},
      {"BESSEL_J0(0)", 1, 1e-7L},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.expression);
    const long double v = Value(c.expression);
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(v, c.expected, c.tolerance);
  }
}

TEST_F(NumericOpcodesTest, AnglesFollowTheDocumentsAngleUnit) {
  environment_.factor = kDegree;
  // The stored factor exceeds pi/180 by 4.8e-10: sin(30 x 0.017453293) is
  // 0.5 + 1.25e-8 and cos(60 x 0.017453293) is 0.5 - 2.49e-8.
  EXPECT_NEAR(Value("SIN(30)"), 0.5L + 1.25e-8L, 1e-10L);
  EXPECT_NEAR(Value("COS(60)"), 0.5L - 2.49e-8L, 1e-10L);
  EXPECT_NEAR(Value("ARCSIN(0.5)"), 30, 1e-5L);
  EXPECT_NEAR(Value("ARCCOS(0)"), 90, 1e-5L);
  EXPECT_NEAR(Value("ARCTAN(1)"), 45, 1e-5L);
  UnitSettingsUsed = 0;
  Value("TAN(45)");
  EXPECT_EQ(UnitSettingsUsed, 1);
}

TEST_F(NumericOpcodesTest, RoundSendsPositiveHalvesToTheEvenNeighbour) {
  // ROUND: positive halves to even, fractions from -0.5 up of x <= 0 cut
  // toward zero (the internal rounding of number texts sends halves up).
  const ValueCase cases[] = {
      {"ROUND(2.5)", 2, 0},   {"ROUND(3.5)", 4, 0},   {"ROUND(2.4)", 2, 0},  {"ROUND(2.6)", 3, 0},
      {"ROUND(-2.5)", -2, 0}, {"ROUND(-3.5)", -3, 0}, {"ROUND(-2.6)", -3, 0}, {"ROUND(0)", 0, 0},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(Value(c.expression), c.expected);
  }
}

struct ErrorCase {
  const char* expression;
  int32_t error;
};

TEST_F(NumericOpcodesTest, ErrorsOfTheFunctions) {
  const ErrorCase cases[] = {
      {"EXP(10000.5)", 323},   {"BESSEL_J0(-4)", 226}, {"BESSEL_K0(0)", 226}, {"LN(0)", 6},
      {"LOG10(-1)", 6},        {"SQRT(-4)", 8},        {"ARCSIN(1.5)", 11},   {"ARCCOS(-2)", 11},
      {"ARCTANH(1)", 329},     {"ARCCOSH(0.5)", 329},  {"MOD(3, 0)", 4},      {"RANDOM(0, 1)", 623},
      {"MAGNITUDE(2)", 262},   {"REAL(2)", 262},       {"POLARTORECT(1, 2)", 262},
      {"ConvertTemp(X, F, 1)", 496},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(ErrorOf(c.expression), c.error);
  }
  EXPECT_EQ(ErrorOf("MAGNITUDE(2)"), 262);
  EXPECT_EQ(MessageHelpContext, 207);
  EXPECT_EQ(ErrorOf("LN(0)"), 6);
  EXPECT_EQ(MessageHelpContext, 388);
}

TEST_F(NumericOpcodesTest, RandomInsideARoutineBody) {
  ScriptedPlatform platform;
  platform.randomValues = {0.25};
  ScopedPlatform scope(platform);
  // x = RANDOM(2, 6) in a routine body with u = 0.25: 2 + 0.25 * 4 = 3.
  CodeBuilder().Const(0).Const(4).Const(2).Word(OpSeparator).Const(6).Word(OpSeparator).Word(249).Word(OpEqual).Into(eq_);
  EXPECT_EQ(-EvaluateEquation(&eq_, 1), 3);
  EXPECT_EQ(CalcErrorCode, 0);
  CompilingFunctionIndex = 0;
}

TEST_F(NumericOpcodesTest, ConvertTempBetweenTheFourScales) {
  // 100 C = 212 F; 0 K = -273.15 C; 32 F = 491.67 R; 300 K = 540 R.
  EXPECT_NEAR(Value("ConvertTemp(C, F, 100)"), 212, 1e-12L);
  EXPECT_NEAR(Value("ConvertTemp('K', c, 0)"), -273.15L, 1e-12L);
  EXPECT_NEAR(Value("ConvertTemp(F, R, 32)"), 491.67L, 1e-12L);
  EXPECT_NEAR(Value("ConvertTemp(K, R, 300)"), 540, 1e-12L);
}

TEST_F(NumericOpcodesTest, UnitSystemTestsTheDocumentSettings) {
  EXPECT_EQ(Value("UnitSystem('SI')"), 1);
  EXPECT_EQ(Value("UnitSystem('Eng')"), 0);
  EXPECT_EQ(Value("UnitSystem('kPa')"), 1);
  EXPECT_EQ(Value("UnitSystem('Rad')"), 1);
  DocumentSettings.UnitSystem = 1;
  EXPECT_EQ(Value("UnitSystem('kPa')"), 0);
  EXPECT_EQ(Value("UnitSystem('psia')"), 1);
  // Pa ignores the unit system.
  DocumentSettings.PressureUnit = 2;
  EXPECT_EQ(Value("UnitSystem('Pa')"), 1);
  DocumentSettings.UnitSystem = 0;
  EXPECT_EQ(Value("UnitSystem('Pa')"), 1);
  environment_.factor = kDegree;
  EXPECT_EQ(Value("UnitSystem('Deg')"), 1);
}

TEST_F(NumericOpcodesTest, ComplexFunctions) {
  Complex z = ComplexValue("SQRT(-4)");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(z.re, 0, 1e-15L);
  EXPECT_NEAR(z.im, 2, 1e-15L);
  // ln(-1) = i pi: log10(-1) = (0, pi / ln 10) = (0, 1.36437635384184134749).
  z = ComplexValue("LOG10(-1)");
  EXPECT_NEAR(z.re, 0, 1e-15L);
  EXPECT_NEAR(z.im, 1.36437635384184134749L, 1e-12L);
  z = ComplexValue("LOG10(100)");
  EXPECT_NEAR(z.re, 2, 1e-15L);
  EXPECT_NEAR(z.im, 0, 1e-15L);
  z = ComplexValue("ABS(3+4*i)");
  EXPECT_NEAR(z.re, 5, 1e-15L);
  EXPECT_EQ(z.im, 0);
  // arcsin(2) = pi/2 - i ln(2 + sqrt 3) on the branch -i ln(iz + sqrt(1 - z^2)).
  z = ComplexValue("ARCSIN(2)");
  EXPECT_NEAR(z.re, 1.57079632679489661923L, 1e-12L);
  EXPECT_NEAR(std::fabs(z.im), 1.31695789692481670862L, 1e-12L);
  // sinh(i) = i sin 1.
  z = ComplexValue("SINH(i)");
  EXPECT_NEAR(z.re, 0, 1e-15L);
  EXPECT_NEAR(z.im, 0.84147098480789650665L, 1e-15L);
  // IF compares and returns real values; its result has no imaginary part,
  // and the imaginary copy of the equation is not left with the arguments'
  // imaginary entries (which would be error 9).
  for (const auto& [expression, expected] :
       {std::pair{"IF(1, 2, 10, 20, 30)", 10.0L}, std::pair{"IF(2, 2, 10, 20, 30)", 20.0L},
        std::pair{"IF(3, 2, 10, 20, 30)", 30.0L}}) {
    SCOPED_TRACE(expression);
    CalcErrorCode = 0;
    z = ComplexValue(expression);
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(z.re, expected);
    EXPECT_EQ(z.im, 0);
  }
}

TEST_F(NumericOpcodesTest, ComplexPartsNeedTheComplexOption) {
  Preferences.ComplexMode = 1;
  Complex z = ComplexValue("IMAG(3+4*i)");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(z.re, 0);
  EXPECT_EQ(z.im, 4);
  z = ComplexValue("REAL(3+4*i)");
  EXPECT_EQ(z.re, 3);
  EXPECT_EQ(z.im, 0);
  z = ComplexValue("CONJ(3+4*i)");
  EXPECT_EQ(z.re, 3);
  EXPECT_EQ(z.im, -4);
  z = ComplexValue("MAGNITUDE(3+4*i)");
  EXPECT_NEAR(z.re, 5, 1e-15L);
  // angle of -1 is pi: 180 degrees.
  z = ComplexValue("ANGLEDEG(-1)");
  EXPECT_NEAR(z.re, 180, 1e-9L);
  z = ComplexValue("POLARTORECT(2, 0.5)");
  EXPECT_NEAR(z.re, 2 * 0.87758256189037271612L, 1e-15L);
  EXPECT_NEAR(z.im, 2 * 0.47942553860420300027L, 1e-15L);
  // The option is not the unit's mode: parts work in a real-mode unit too.
  CurrentProgramUnit->UnitComplexMode = 0;
  EXPECT_NEAR(Value("MAGNITUDE(3)"), 3, 0);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(NumericOpcodesTest, FunctionsWithoutComplexFormAreRefusedInComplexMode) {
  const struct {
    const char* expression;
    const char* name;
  } cases[] = {
      {"ROUND(2)", "ROUND"},        {"GAMMA_(2)", "GAMMA_"},         {"MOD(2, 3)", "MOD"},
      {"MIN(1, 2)", "MIN and MAX are"}, {"ARCCOS(0.5)", "ARCCOS is"}, {"BESSEL_J0(1)", "Bessel functions are "},
      {"ConvertTemp(C, F, 1)", "CONVERTTEMP"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expression);
    ComplexValue(c.expression);
    EXPECT_EQ(CalcErrorCode, 261);
    EXPECT_EQ(MessageArgs[1], c.name);
  }
}

TEST_F(NumericOpcodesTest, HandBuiltCodeOutsideTheCatalogue) {
  // A Bessel sub-code outside 1..8 is a syntax error.
  CodeBuilder().Const(0).Const(9).Const(1).Word(OpSeparator).Word(200).Word(OpEqual).Into(eq_);
  EvaluateEquation(&eq_, 0);
  EXPECT_EQ(CalcErrorCode, 9);
  CalcErrorCode = 0;
  // MAX of values all below -9.99E+3998 returns -9.99E+3998.
  CodeBuilder()
      .Const(0)
      .Const(2)
      .Const(-InfinityValue)
      .Word(OpSeparator)
      .Const(1)
      .Word(OpSeparator)
      .Word(233)
      .Word(OpEqual)
      .Into(eq_);
  EXPECT_EQ(-EvaluateEquation(&eq_, 0), -BlankValue);
  CalcErrorCode = 0;
  // The row count of a lookup table (sub-code 14) named by a string index
  // that does not exist.
  CodeBuilder().Const(0).Const(14).Const(31).Word(OpSeparator).Word(247).Word(OpEqual).Into(eq_);
  EvaluateEquation(&eq_, 0);
  EXPECT_EQ(CalcErrorCode, kMsgNTableRowsParameters);
}

}  // namespace
}  // namespace voq
