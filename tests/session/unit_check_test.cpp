// The unit check of compiled equations, read through the compile driver:
// sums and equalities, powers, built-in functions, CONVERT, constants,
// user FUNCTION calls and IF comparisons in a routine body.
#include "units/unit_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "language/code_listing.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/engine.h"

namespace voq {
namespace {

class UnitCheckTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    EquationsCompiled = false;
    AbortRequested = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    Preferences = TPreferencesRecord{};
    LanguageStoreTest::TearDown();
  }

  // Compiles the text and checks every equation: the messages of those
  // with a problem, each preceded by its error number.
  std::vector<std::string> Problems(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    EXPECT_EQ(CalcErrorCode, 0) << text;
    CalcErrorCode = 0;
    CurrentProgramUnit = MainProgramUnit;
    std::vector<std::string> out;
    for (const TUnitProblem& p : CheckUnitsOfEquations(MainProgramUnit, 0)) {
      out.push_back(std::to_string(p.Error) + ": " + p.Message);
    }
    return out;
  }

  // A fresh engine for the next model: no variable keeps the units of an
  // earlier one.
  void ResetDocumentForTest() {
    ResetEngineState();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

using Lines = std::vector<std::string>;

// Each model: its given equations and the one equation checked last; the
// messages the check reports for the model.
TEST_F(UnitCheckTest, ReportsOfEquationsAndFunctions) {
  const struct {
    const char* text;
    Lines problems;
  } cases[] = {
      {"T1 = 25 {[C]}\r\nT2 = 30 {[C]}\r\nT2 = T1 + 273", {}},
      {"T1 = 25 {[C]}\r\nT2 = 30 {[C]}\r\nT2 = 273 + T1",
       {"100: The dimensions of 273 [dimensionless] and T1 [C] are inconsistent."}},
      {"x = 2 {[kJ]}\r\ny = 2000 {[J]}\r\nx = y",
       {"100: The units of x [kJ] and y [J] differ by a factor of 1000."}},
      {"x = 2 {[kPa]}\r\ny = 2000 {[kPa]}\r\n0 = x - y", {}},
      {"x = 2 {[m]}\r\nz = 1\r\nz = exp(x)",
       {"100: The argument to Exp should be [dimensionless] but its units are [m]."}},
      {"x = 2 {[kPa/Pa]}\r\nz = 1\r\nz = exp(x)",
       {"100: The argument of the Exp function (x) has units that differ by a factor of 1.00000E+03."}},
      {"a = 1 {[m]}\r\nb = 1 {[kg]}\r\nc = 1 {[kg]}\r\nz = 1 {[kg]}\r\nz = MAX(a, b, c)",
       {"100: The argument to Max( ) should be [kg] but its units are [m]."}},
      {"a = 1 {[m]}\r\nb = 1 {[kg]}\r\nz = 1 {[kg]}\r\nz = MAX(a, b, 3)", {}},
      {"x = 2\r\ny = 1 {[s]}\r\nz = 1\r\nz = x^y",
       {"100: The exponent has units of s but it should be [dimensionless]."}},
      {"x = 2 {[m]}\r\nz = 1 {[m^2]}\r\nz = x^2", {}},
      {"x = 1\r\nz = 1\r\nz = (2^3)^2*x", {}},
      {"x = 1\r\nz = 1\r\nz = 2^(2^3)*x",
       {"100: The exponent has units of dimensionless^3 but it should be [dimensionless]."}},
      {"x = 10 {[ft]}\r\ny = 1 {[m]}\r\ny = x*CONVERT(ft, m)", {}},
      {"x = 10 {[ft]}\r\ny = 1 {[ft]}\r\ny = x*CONVERT(ft, m)",
       {"100: The units of y [ft] and x*0.3048 [ft*(m/ft)] differ by a factor of 0.3048."}},
      {"x = 10 {[ft]}\r\nz = 1\r\nz = x*CONVERT(U$, kg)\r\nU$ = 'ft'",
       {"326: Unexpected error while evaluating Convert(ft,kg)."}},
      {"F = 1 {[N]}\r\nm = 2 {[kg]}\r\nF = m*g#", {}},
      {"L = 1 {[m]}\r\nm = 2 {[kg]}\r\nL = m*g#",
       {"100: The dimensions of L [m] and m*g# [kg*(m/s^2)] are inconsistent."}},
      {"x = 1 {[rad]}\r\nz = 1\r\nz = sin(x)",
       {"100: The argument to sin should be [deg] but its units are [rad]."}},
      {"y = 1 {[deg]}\r\nx = 0.5\r\ny = arcsin(x)", {}},
      {"y = 1 {[m]}\r\nx = 0.5\r\ny = arcsin(x)",
       {"100: The dimensions of y [m] and arcsin(x) [deg] are inconsistent."}},
      {"a = 1\r\nb = 2\r\nx = 1 {[m]}\r\nw = 1 {[kg]}\r\nz = 1 {[m]}\r\nz = IF(a, b, x, w, w)", {}},
      {"a = 3\r\nb = 2\r\nx = 1 {[m]}\r\nw = 1 {[kg]}\r\nz = 1 {[m]}\r\nz = IF(a, b, x, w, w)",
       {"100: The dimensions of z [m] and w [kg] are inconsistent."}},
      {"a = 4 {[m^2]}\r\nz = 1 {[m]}\r\nz = sqrt(a)", {}},
      {"a = 5 {[m]}\r\nb = 2\r\nz = 1 {[m]}\r\nz = MOD(a, b)", {}},
      {"T = 1 {[C]}\r\nz = 1 {[F]}\r\nz = ConvertTemp(C, F, T)", {}},
      {"x = 1 {[m]}\r\nz = 1\r\nz = erf(x)",
       {"100: The argument to Erf should be [dimensionless] but its units are [m]."}},
      {"x = 1 {[m]}\r\nz = 1\r\nz = Bessel_J0(x)",
       {"100: The argument to J0 should be [dimensionless] but its units are [m]."}},
      {"x = 1 {[furlong]}\r\ny = 1 {[m]}\r\ny = x",
       {"346: FURLONG appearing in variable x is not a recognized unit.  If you wish, you can add this unit "
        "definition to the Units file."}},
  };
  for (const auto& c : cases) {
    ResetDocumentForTest();
    EXPECT_EQ(Problems(c.text), c.problems) << c.text;
  }
}

TEST_F(UnitCheckTest, HelpContextsOfTrigonometricArguments) {
  Problems("x = 1 {[rad]}\r\nz = 1\r\nz = sin(x)");
  CurrentProgramUnit = MainProgramUnit;
  CalcErrorCode = 0;
  CheckEquationUnits(MainProgramUnit->LastEquation, 0, 0);
  EXPECT_EQ(MessageHelpContext, 182);
  CalcErrorCode = 0;
  ResetDocumentForTest();
  Problems("x = 1\r\nz = 1\r\nz = sin(x)");
  CalcErrorCode = 0;
  CheckEquationUnits(MainProgramUnit->LastEquation, 0, 0);
  EXPECT_EQ(CalcErrorCode, 100);
  EXPECT_EQ(MessageHelpContext, 259);
  CalcErrorCode = 0;
}

// Inside a FUNCTION: locals carry their units, an IF comparison compares
// its operands, and a call takes the units of the routine's result.
TEST_F(UnitCheckTest, RoutineLocalsComparisonsAndCalls) {
  const std::string routine =
      "FUNCTION f(a)\r\n"
      "  L := 1 {[m]}\r\n"
      "  M := 2 {[kg]}\r\n"
      "  IF L > M THEN\r\n"
      "    f := a {[kJ]}\r\n"
      "  ELSE\r\n"
      "    f := 2*a\r\n"
      "  ENDIF\r\n"
      "END\r\n";
  Preferences.ShowLocalVariables = 1;
  const Lines problems = Problems(routine + "y = 1 {[J]}\r\ny = f(y)");
  if (FunctionCount == 0) GTEST_SKIP() << "FUNCTION headers are not read in this build";
  // The main program's equations come first, then the routine's statements:
  // f is in kJ while its argument a has no units.
  const Lines body = {"100: The dimensions of L [m] and M [kg] are inconsistent.",
                      "100: The dimensions of f [kJ] and a [dimensionless] are inconsistent.",
                      "100: The dimensions of f [kJ] and 2*a [dimensionless] are inconsistent."};
  Lines expected = {"100: The units of y [J] and f [kJ] differ by a factor of 0.001."};
  expected.insert(expected.end(), body.begin(), body.end());
  EXPECT_EQ(problems, expected);
  // With the preference off, equations calling a FUNCTION are not checked.
  ResetDocumentForTest();
  Preferences.ShowLocalVariables = 0;
  EXPECT_EQ(Problems(routine + "y = 1 {[J]}\r\ny = f(y)"), body);
}

// The walk's own limits: an equation whose code leaves more than one entry
// (a function the check passes over) is error 9; more than 50 entries at
// once is error 267.
TEST_F(UnitCheckTest, StackErrors) {
  EXPECT_EQ(Problems("x = 1\r\ny = 2\r\nz = x*Real(y)"),
            Lines{"9: " + GetMessageText(kMsgSyntaxOrUndefinedFunction)});
  ResetDocumentForTest();
  std::string deep = "x";
  for (int k = 0; k < 52; ++k) deep = "(x+" + deep + ")";
  EXPECT_EQ(Problems("x = 1\r\nz = 1\r\nz = " + deep), Lines{"267: " + GetMessageText(kMsgStackLimit)});
}


// INTEGRAL(f, t) has the units of f times those of t, with limits or over
// the Parametric table.
TEST_F(UnitCheckTest, IntegralMultipliesTheIntegrandByItsVariable) {
  const struct {
    const char* text;
    const char* timeUnits;
    Lines problems;
  } cases[] = {
      {"T_i = 300 {[K]}\r\nT = T_i + INTEGRAL(dTdt, time, 0, 10)\r\ndTdt = -(T - T_a)/tau\r\nT_a = 280 {[K]}\r\ntau = 50 {[s]}", "s", {}},
      {"T_i = 300 {[K]}\r\nT = T_i + INTEGRAL(dTdt, time, 0, 10)\r\ndTdt = -(T - T_a)/tau\r\nT_a = 280 {[K]}\r\ntau = 50 {[s]}", "min",
       {"100: The units of T_i [K] and Integral(dTdt,time) [(K/s)*min] differ by a factor of 0.01667."}},
      {"T_i = 300 {[K]}\r\nT = T_i + INTEGRAL(dTdt, time)\r\ndTdt = -(T - T_a)/tau\r\nT_a = 280 {[K]}\r\ntau = 50 {[s]}", "s", {}},
  };
  for (const auto& c : cases) {
    ResetDocumentForTest();
    editor.SetText(c.text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    ASSERT_EQ(CalcErrorCode, 0) << c.text;
    CurrentProgramUnit = MainProgramUnit;
    VarNamed("T")->Units = "K";
    VarNamed("dTdt")->Units = "K/s";
    VarNamed("time")->Units = c.timeUnits;
    std::vector<std::string> out;
    for (const TUnitProblem& p : CheckUnitsOfEquations(MainProgramUnit, 0))
      out.push_back(std::to_string(p.Error) + ": " + p.Message);
    EXPECT_EQ(out, c.problems) << c.text << " with time in " << c.timeUnits;
  }
}

}  // namespace
}  // namespace voq
