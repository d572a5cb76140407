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


// Property calls: each input against the units the document's unit system
// gives its kind, the result in the units of the property computed.
struct PropertyCase {
  std::string text;
  int system, molar, absolute, pressure, energy;  // DocumentSettings
  Lines problems;
};

TEST_F(UnitCheckTest, PropertyCallInputsAndResults) {
  const std::string water = "T1 = 25 {[C]}\r\nP1 = 101.3 {[kPa]}\r\nh1 = 100 {[kJ/kg]}\r\n";
  const std::string air = "T1 = 25 {[C]}\r\nP1 = 101.3 {[kPa]}\r\nR1 = 0.5\r\n";
  const PropertyCase cases[] = {
      {"T1 = 25 {[C]}\r\nP1 = 101.3 {[kPa]}\r\nh = 100 {[kJ/kg]}\r\nh = Enthalpy(Water, T=T1, P=P1)", 0, 0, 0, 0, 1,
       {}},
      {"T1 = 25 {[C]}\r\nP1 = 1.013 {[bar]}\r\nh = 100 {[kJ/kg]}\r\nh = Enthalpy(Water, T=T1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Enthalpy expects a pressure input with units of [KPA] but the units are [bar]."}},
      {"T1 = 298 {[K]}\r\nP1 = 101.3 {[kPa]}\r\nh = 100 {[kJ/kg]}\r\nh = Enthalpy(Water, T=T1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Enthalpy expects a temperature input with units of [C] but the units are [K]."}},
      // Numbers have no units and are constants: not reported.
      {"h = 100 {[kJ/kg]}\r\nh = Enthalpy(Water, T=25, P=101.3)", 0, 0, 0, 0, 1, {}},
      // Inputs of the right dimension but the wrong size are reported.
      {"h1 = 100 {[kJ/kg]}\r\ns = 1 {[J/kg-K]}\r\ns = Entropy(Water, h=h1, P=101.3)", 0, 0, 0, 0, 0,
       {"100: Entropy expects a enthalpy input with units of [J/KG] but the units are [kJ/kg]."}},
      {water + "h = 1 {[J/kg]}\r\nh = Enthalpy(Water, T=T1, P=P1)", 0, 0, 0, 0, 1,
       {"100: The units of h [J/kg] and Enthalpy [kJ/kg] differ by a factor of 0.001."}},
      {water + "x = 1 {[m]}\r\nx = Quality(Water, T=T1, h=h1)", 0, 0, 0, 0, 1, {}},
      {water + "v = 1 {[m^3/kg]}\r\nv = Volume(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "rho = 1 {[kg/m^3]}\r\nrho = Density(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "T2 = 1 {[C]}\r\nT2 = Temperature(Water, h=h1, P=P1)", 0, 0, 0, 0, 1, {}},
      // The comparison of an equation's sides sees K and C as the same size.
      {water + "T2 = 1 {[K]}\r\nT2 = Temperature(Water, h=h1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "c = 1 {[kJ/kg-K]}\r\nc = Cp(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "mu = 1 {[kg/m-s]}\r\nmu = Viscosity(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "mu = 1 {[Pa-s]}\r\nmu = Viscosity(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "k = 1 {[W/m-K]}\r\nk = Conductivity(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "Pr = 1\r\nPr = Prandtl(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "M = 1 {[kg/kmol]}\r\nM = MolarMass(Water)", 0, 0, 0, 0, 1, {}},
      {water + "Tc = 1 {[C]}\r\nTc = T_crit(Water)", 0, 0, 0, 0, 1, {}},
      {water + "Pc = 1 {[kPa]}\r\nPc = P_crit(Water)", 0, 0, 0, 0, 1, {}},
      {water + "u = 1 {[kJ/kg]}\r\nu = IntEnergy(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "P2 = 1 {[kPa]}\r\nP2 = Pressure(Water, T=T1, x=0)", 0, 0, 0, 0, 1, {}},
      {water + "c = 1 {[m/s]}\r\nc = SoundSpeed(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "sigma = 1 {[N/m]}\r\nsigma = SurfaceTension(Water, T=T1)", 0, 0, 0, 0, 1, {}},
      {water + "beta = 1 {[1/K]}\r\nbeta = VolExpCoef(Water, T=T1, P=P1)", 0, 0, 0, 0, 1, {}},
      {water + "vc = 1 {[m^3/kg]}\r\nvc = v_crit(Water)", 0, 0, 0, 0, 1, {}},
      {water + "a = 1 {[m]}\r\na = AcentricFactor(Water)", 0, 0, 0, 0, 1, {}},
      {water + "x1 = 0.5 {[m]}\r\nT2 = 1 {[C]}\r\nT2 = Temperature(Water, x=x1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Temperature expects a quality input with units of [dimensionless] but the units are [m]."}},
      {water + "s1 = 7 {[kJ/kg]}\r\nT2 = 1 {[C]}\r\nT2 = Temperature(Water, s=s1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Temperature expects a Entropy input with units of [KJ/KG-K] but the units are [kJ/kg]."}},
      {water + "u1 = 7 {[kJ/kg-K]}\r\nT2 = 1 {[C]}\r\nT2 = Temperature(Water, u=u1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Temperature expects a internal energy input with units of [KJ/KG] but the units are [kJ/kg-K]."}},
      {"T1 = 80 {[F]}\r\nP1 = 14.7 {[psia]}\r\nmu = 1 {[lb_m/ft-hr]}\r\nk = 1 {[Btu/hr-ft-R]}\r\nc = 1 {[ft/s]}\r\n"
       "sigma = 1 {[lbf/ft]}\r\nbeta = 1 {[1/R]}\r\nM = 1 {[lbm/lbmol]}\r\nmu = Viscosity(Steam, T=T1, P=P1)\r\n"
       "k = Conductivity(Steam, T=T1, P=P1)\r\nc = SoundSpeed(Steam, T=T1, P=P1)\r\nsigma = SurfaceTension(Steam, T=T1)\r\n"
       "beta = VolExpCoef(Steam, T=T1, P=P1)\r\nM = MolarMass(Steam)",
       1, 0, 0, 0, 1, {}},
      // 1 kg/m-s = 1/(0.45359237/(0.3048*3600)) lb_m/ft-hr = 2419.09 lb_m/ft-hr.
      {"T1 = 80 {[F]}\r\nP1 = 14.7 {[psia]}\r\nmu = 1 {[kg/m-s]}\r\nmu = Viscosity(Steam, T=T1, P=P1)", 1, 0, 0, 0, 1,
       {"100: The units of mu [kg/m-s] and Viscosity [lb_m/ft-hr] differ by a factor of 2419."}},
      // Fugacity in the document's pressure unit.
      {"T1 = 25 {[C]}\r\nP1 = 0.1 {[MPa]}\r\nf = 1 {[MPa]}\r\nf = Fugacity(Water, T=T1, P=P1)", 0, 0, 0, 3, 1, {}},
      {"T1 = 25 {[C]}\r\nP1 = 0.1 {[MPa]}\r\nf = 1 {[kPa]}\r\nf = Fugacity(Water, T=T1, P=P1)", 0, 0, 0, 3, 1,
       {"100: The units of f [kPa] and Fugacity [MPa] differ by a factor of 0.001."}},
      {"T1 = 80 {[F]}\r\nP1 = 1 {[atm]}\r\nf = 1 {[atm]}\r\nf = Fugacity(Steam, T=T1, P=P1)", 1, 0, 0, 1, 1, {}},
      // English units, mass and molar basis, absolute temperatures.
      {"T1 = 80 {[F]}\r\nP1 = 14.7 {[psia]}\r\nh = 1 {[Btu/lb_m]}\r\nh = Enthalpy(Steam, T=T1, P=P1)", 1, 0, 0, 0, 1,
       {}},
      {"T1 = 540 {[R]}\r\nP1 = 14.7 {[psia]}\r\nh = 1 {[Btu/lbmol]}\r\nh = Enthalpy(Steam, T=T1, P=P1)", 1, 1, 1, 0, 1,
       {}},
      {"T1 = 80 {[F]}\r\nP1 = 14.7 {[psia]}\r\nh = 1 {[Btu/lb_m]}\r\nh = Enthalpy(Steam, T=T1, P=P1)", 1, 0, 1, 0, 1,
       {"100: Enthalpy expects a temperature input with units of [R] but the units are [F]."}},
      {"T1 = 298 {[K]}\r\nP1 = 101.3 {[kPa]}\r\ns = 1 {[kJ/kmol-K]}\r\ns = Entropy(Water, T=T1, P=P1)", 0, 1, 1, 0, 1,
       {}},
      {"T1 = 298 {[K]}\r\nP1 = 101.3 {[kPa]}\r\nc = 1 {[J/kmol-K]}\r\nc = Cp(Water, T=T1, P=P1)", 0, 1, 1, 0, 0, {}},
      {"T1 = 80 {[F]}\r\nP1 = 14.7 {[psia]}\r\nc = 1 {[Btu/lbm-R]}\r\nc = Cp(Steam, T=T1, P=P1)", 1, 0, 0, 0, 1, {}},
      // Moist air: pure-number inputs and results, the temperature inputs.
      {air + "w = 0.01\r\nw = HumRat(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1, {}},
      {air + "w = 0.01 {[m]}\r\nw = HumRat(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1, {}},
      {air + "R2 = 1 {[kPa]}\r\nw = 0.01\r\nw = HumRat(AirH2O, T=T1, R=R2, P=P1)", 0, 0, 0, 0, 1,
       {"100: HumRat expects a relative humidity input with units of [dimensionless] but the units are [kPa]."}},
      {air + "B1 = 60 {[F]}\r\nh = 1 {[kJ/kg]}\r\nh = Enthalpy(AirH2O, T=T1, B=B1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Enthalpy expects a wetbulb input with units of [C] but the units are [F]."}},
      {air + "D1 = 10 {[K]}\r\nh = 1 {[kJ/kg]}\r\nh = Enthalpy(AirH2O, T=T1, D=D1, P=P1)", 0, 0, 0, 0, 1,
       {"100: Enthalpy expects a dewpoint input with units of [C] but the units are [K]."}},
      {air + "w1 = 0.01 {[kPa]}\r\nD = 1 {[C]}\r\nD = DewPoint(AirH2O, T=T1, w=w1, P=P1)", 0, 0, 0, 0, 1,
       {"100: DewPt expects a humidity ratio input with units of [dimensionless] but the units are [kPa]."}},
      {air + "B = 1 {[C]}\r\nB = WetBulb(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1, {}},
      {air + "B = 1 {[kJ/kg]}\r\nB = WetBulb(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1,
       {"100: The dimensions of B [kJ/kg] and WetBulb [C] are inconsistent."}},
      {air + "v = 1 {[m^3/kg]}\r\nv = Volume(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1, {}},
      {air + "c = 1 {[kJ/kg-K]}\r\nc = SpecHeat(AirH2O, T=T1, R=R1, P=P1)", 0, 0, 0, 0, 1, {}},
      {air + "rh = 1\r\nw1 = 0.01\r\nrh = RelHum(AirH2O, T=T1, w=w1, P=P1)", 0, 0, 0, 0, 1, {}},
      {"T1 = 77 {[F]}\r\nP1 = 14.7 {[psia]}\r\nR1 = 0.5\r\nh = 1 {[Btu/lb_m]}\r\nh = Enthalpy(AirH2O, T=T1, R=R1, P=P1)",
       1, 0, 0, 0, 1, {}},
      {"T1 = 77 {[F]}\r\nP1 = 1 {[atm]}\r\nR1 = 0.5\r\nh = 1 {[Btu/lb_m]}\r\nh = Enthalpy(AirH2O, T=T1, R=R1, P=P1)",
       1, 0, 0, 0, 1, {"100: Enthalpy expects a pressure input with units of [PSIA] but the units are [atm]."}},
      // Nested calls: the inner call runs first and takes its own object.
      {water + "h = 1 {[kJ/kg]}\r\nh = Enthalpy(Water, T=Temperature(Water, P=P1, x=0), P=P1)", 0, 0, 0, 0, 1, {}},
      {"P1 = 101.3 {[kPa]}\r\nP2 = 1.013 {[bar]}\r\nh = 1 {[kJ/kg]}\r\nh = Enthalpy(Water, T=Temperature(Water, P=P2, "
       "x=0), P=P1)",
       0, 0, 0, 0, 1, {"100: Temperature expects a pressure input with units of [KPA] but the units are [bar]."}},
  };
  for (const auto& c : cases) {
    ResetDocumentForTest();
    DocumentSettings.UnitSystem = static_cast<uint8_t>(c.system);
    DocumentSettings.MolarBasis = static_cast<uint8_t>(c.molar);
    DocumentSettings.AbsoluteTemperature = static_cast<uint8_t>(c.absolute);
    DocumentSettings.PressureUnit = static_cast<uint8_t>(c.pressure);
    DocumentSettings.EnergyUnit = static_cast<uint8_t>(c.energy);
    EXPECT_EQ(Problems(c.text), c.problems) << c.text;
  }
}

// The stack layout the check reads: the arguments in order, the substance
// operand on top, then the call's code; for the sub-coded calls the
// sub-code below the arguments.
TEST_F(UnitCheckTest, PropertyCallCodeAndMessage) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.AbsoluteTemperature = 0;
  DocumentSettings.PressureUnit = 0;
  Problems("T1 = 25 {[C]}\r\nP1 = 1 {[bar]}\r\nh = 1 {[kJ/kg]}\r\nh = Enthalpy(Water, T=T1, P=P1)");
  EXPECT_EQ(ListEquationCode(*MainProgramUnit->LastEquation, MainProgramUnit), "h T1 P1 , 'Water' , #211 =");
  CalcErrorCode = 0;
  CheckEquationUnits(MainProgramUnit->LastEquation, 259, 0);
  EXPECT_EQ(CalcErrorCode, 100);
  EXPECT_EQ(MessageHelpContext, 259);
  EXPECT_EQ(MessageArgs[1], "Enthalpy");
  EXPECT_EQ(MessageArgs[2], "pressure");
  EXPECT_EQ(MessageArgs[3], "KPA");
  EXPECT_EQ(MessageArgs[4], "bar");
  CalcErrorCode = 0;
  ResetDocumentForTest();
  Problems("T1 = 25 {[C]}\r\nP1 = 1 {[kPa]}\r\nc = 1 {[kJ/kg-K]}\r\nc = Cp(Water, T=T1, P=P1)");
  EXPECT_EQ(ListEquationCode(*MainProgramUnit->LastEquation, MainProgramUnit), "c 8 T1 , P1 , 'Water' , #216 =");
}

TEST(QuantityNameOfInputKind, NamesOfTheInputKinds) {
  const std::pair<int32_t, const char*> names[] = {
      {1, "temperature"}, {2, "pressure"},       {3, "enthalpy"},          {4, "internal energy"},
      {5, "Entropy"},     {6, "volume"},         {7, "quality"},           {11, "wetbulb"},
      {12, "dewpoint"},   {13, "humidity ratio"}, {14, "relative humidity"}, {18, "sound speed"},
      {0, "an input "},   {15, "an input "}};
  for (const auto& [kind, name] : names) EXPECT_EQ(QuantityNameOfInputKind(kind), name) << kind;
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
