#include "units/unit_expressions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "units/unit_table.h"
#include "units/dimension_vector_of.h"

namespace voq {
namespace {

using testing::DimensionVectorOf;

Extended Convert(const std::string& from, const std::string& to) {
  Extended factor = 0;
  std::string text;
  ConvertUnitFactor(from, to, factor, text);
  return factor;
}

// Conversion factors against NIST Special Publication 811 (2008), Appendix
// B.8/B.9, built from its exact definitions: ft = 0.3048 m, in = 0.0254 m,
// lb = 0.45359237 kg, g_n = 9.80665 m/s^2, Btu_IT = 1055.05585262 J
// (Btu_IT/(lb*degF) = 4.1868 kJ/(kg*K) exactly), cal_IT = 4.1868 J,
// atm = 101325 Pa, torr = atm/760, US gal = 3.785411784 L, hp = 550 ft*lbf/s,
// mile = 5280 ft, degree = pi/180 rad, degF = 5/9 K.
TEST(UnitConversion, FactorsAgreeWithNistSp811) {
  constexpr Extended ft = 0.3048L;
  constexpr Extended inch = 0.0254L;
  constexpr Extended lb = 0.45359237L;
  constexpr Extended lbf = 0.45359237L * 9.80665L;
  constexpr Extended btu = 1055.05585262L;
  constexpr Extended psi = lbf / (inch * inch);
  constexpr Extended rankine = 5.0L / 9.0L;
  const struct {
    const char* from;
    const char* to;
    Extended factor;
  } cases[] = {
      {"ft", "m", 0.3048L},
      {"in", "cm", 2.54L},
      {"mi", "km", 1.609344L},
      {"lbm", "kg", 0.45359237L},
      {"lb_f", "N", 4.4482216152605L},
      {"Btu", "kJ", 1.05505585262L},
      {"psia", "kPa", psi / 1000},
      {"atm", "kPa", 101.325L},
      {"atm", "psia", 101325.0L / psi},
      {"bar", "kPa", 100},
      {"hp", "kW", 550 * ft * lbf / 1000},
      {"gal", "L", 3.785411784L},
      {"cal", "J", 4.1868L},
      {"kWh", "MJ", 3.6L},
      {"Btu/lbm-R", "kJ/kg-K", 4.1868L},
      {"Btu/lb_m", "kJ/kg", 2.326L},
      {"ft^3/lbm", "m^3/kg", ft * ft * ft / lb},
      {"lbm/ft3", "kg/m^3", lb / (ft * ft * ft)},
      {"Btu/hr-ft-R", "W/m-K", btu / 3600 / ft / rankine},
      {"Btu/hr", "W", btu / 3600},
      {"mph", "m/s", 0.44704L},
      {"ft-lbf", "J", ft * lbf},
      {"ft*lbf", "J", ft * lbf},
      {"lbf/in^2", "Pa", psi},
      {"kJ/kg", "J/g", 1},
      {"(ft/s)^2", "(m/s)^2", ft * ft},
      {"m^(1/2)", "ft^0.5", 1 / std::sqrt(ft)},
      {"kg-m/s^2", "N", 1},
      {"1/s", "hr^-1", 3600},
      {"W/m^2-K", "Btu/hr-ft^2-R", 3600 * ft * ft * rankine / btu},
      {"lbmol", "kmol", 0.45359237L},
      {"deg", "rad", 3.14159265358979323846L / 180},
      {"torr", "Pa", 101325.0L / 760},
      {"kJ/kmol-K", "Btu/lbmol-R", 1 / 4.1868L},
      {"MPa", "psia", 1e6L / psi},
      {"slug", "kg", lbf / ft},
      {"R", "K", rankine},
      {"[psia]", "'kPa'", psi / 1000},
      {"(ft/s)/(ft3/lbm)", "(m/s)/(m^3/kg)", ft / (ft * ft * ft / lb)},
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    const Extended f = Convert(c.from, c.to);
    EXPECT_EQ(CalcErrorCode, 0) << c.from << " -> " << c.to;
    EXPECT_NEAR(static_cast<double>(f / c.factor), 1.0, 1e-12) << c.from << " -> " << c.to;
  }
}

TEST(UnitExpressions, FormsThatMustAgree) {
  const struct {
    const char* a;
    const char* b;
  } pairs[] = {
      {"kJ/kg-K", "kJ/(kg-K)"},  {"1/s", "s^-1"},       {"m-2", "m^-2"},         {"W/m-2", "W/m^2"},
      {"kilogram/(m)", "kg/m"},  {"(m/s)^2", "m^2/s^2"}, {"(m/s)^-2", "s^2/m^2"}, {"(m/s)^(2)", "m^2/s^2"},
      {"(m/s)^2-kg", "m^2/s^2"}, {"ft3", "ft^3"},         {"m^0.5", "m^(1/2)"},    {"psia", "[psia]"},
  };
  for (const auto& p : pairs) {
    CalcErrorCode = 0;
    TDimensionVector ea{};
    TDimensionVector eb{};
    const Extended fa = EvalUnitExpression(p.a, ea);
    const Extended fb = EvalUnitExpression(std::string(p.b) == "[psia]" ? "psia" : p.b, eb);
    EXPECT_EQ(CalcErrorCode, 0) << p.a;
    EXPECT_EQ(ea, eb) << p.a;
    EXPECT_NEAR(static_cast<double>(fa / fb), 1.0, 1e-15) << p.a;
  }
  CalcErrorCode = 0;
  EXPECT_EQ(Convert("[psia]", "psia"), 1);
  TDimensionVector e{};
  EXPECT_EQ(EvalUnitExpression("(m/s)^0", e), 1);
  EXPECT_EQ(e, DimensionVectorOf({}));
  EvalUnitExpression("(ft/s)/(ft3/lbm)", e);
  EXPECT_EQ(e, DimensionVectorOf({{'L', -2}, {'M', 1}, {'T', -1}}));
  EXPECT_EQ(EvalUnitExpression("inH2O", e), 249.082L);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(UnitExpressions, ErrorsOfExpressions) {
  const struct {
    const char* text;
    int32_t error;
    const char* arg1;
  } cases[] = {
      {"kJ/kg/K", kMsgUnitDivision, nullptr},
      {"2/s", kMsgUnknownUnitSpecification, "2/s"},
      {"m^(1/2", kMsgUnmatchedParentheses, nullptr},
      {"m^(x)", kMsgSyntaxError, nullptr},
      {"((m))", kMsgConvertNestedParentheses, nullptr},
      {"m)", kMsgConvertParentheses, nullptr},
      {"(m/s)^x", kMsgUnknownUnitSpecification, "x"},
      {"m1.2.3", kMsgIllegalCharacter, "."},
      {"furlong(m)", kMsgUnknownUnit, "FURLONG"},  // the leading term, not the group
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    TDimensionVector e{};
    EXPECT_EQ(EvalUnitExpression(c.text, e), 1) << c.text;
    EXPECT_EQ(CalcErrorCode, c.error) << c.text;
    if (c.arg1 != nullptr) {
      EXPECT_EQ(MessageArgs[1], c.arg1) << c.text;
    }
  }
  CalcErrorCode = 0;
}

TEST(UnitConversion, DimensionMismatchIsReportedWithFormulas) {
  Extended factor = 5;
  std::string text = "x";
  ConvertUnitFactor("ft", "kg", factor, text);
  EXPECT_EQ(CalcErrorCode, kMsgInconsistentUnits);
  EXPECT_EQ(MessageArgs[1], "ft");
  EXPECT_EQ(MessageArgs[2], "(L)");
  EXPECT_EQ(MessageArgs[3], "kg");
  EXPECT_EQ(MessageArgs[4], "(M)");
  EXPECT_EQ(MessageHelpContext, 181);
  EXPECT_EQ(factor, 1);
  EXPECT_EQ(text, "1");
  // With the error still set a conversion does nothing.
  factor = 5;
  text = "x";
  ConvertUnitFactor("ft", "m", factor, text);
  EXPECT_EQ(factor, 5);
  EXPECT_EQ(text, "x");
  CalcErrorCode = 0;
  ConvertUnitFactor("ft", "m", factor, text);
  EXPECT_EQ(text, "0.3048");
  // Only the angle position differs: deg to a plain number converts.
  ConvertUnitFactor("deg", "", factor, text);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(UnitConversion, NameDefinedTwiceIsRetriedFromTheEnd) {
  FreeUnitTable();
  AppendUnitDefinition("m", 1, DimensionVectorOf({{'L', 1}}), "Length");
  AppendUnitDefinition("q", 2, DimensionVectorOf({{'L', 1}}), "Length");
  AppendUnitDefinition("kg", 1, DimensionVectorOf({{'M', 1}}), "Mass");
  AppendUnitDefinition("q", 3, DimensionVectorOf({{'M', 1}}), "Mass");
  EXPECT_EQ(Convert("q", "kg"), 3);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_FALSE(UnitSearchFromEnd);
  TDimensionVector e{};
  EXPECT_EQ(EvalUnitExpression("q", e), 2);  // a later lookup still finds the first
}

TEST(UnitConversion, FactorDisplayText) {
  const struct {
    Extended x;
    const char* text;
  } cases[] = {{0.3048L, "0.3048"}, {1000, "1000"},       {123456, "123456"},   {1e-5L, "1E-05"},
               {1.5e7L, "1.5E07"},  {999.99L, "999.99"}, {999.123456L, "999.123"}, {3.14159265L, "3.14159"}, {-2, "-2"}};
  for (const auto& c : cases) EXPECT_EQ(FactorDisplayText(c.x), c.text);
}

TEST(UnitConversion, DimensionFormula) {
  EXPECT_EQ(DimensionFormula(DimensionVectorOf({{'M', 1}, {'L', 2}, {'T', -2}})), "(L^2-M/T^2)");
  EXPECT_EQ(DimensionFormula(DimensionVectorOf({{'T', -1}})), "(/T)");
  EXPECT_EQ(DimensionFormula(DimensionVectorOf({})), "()");
  EXPECT_EQ(DimensionFormula(DimensionVectorOf({{'L', 0.5L}})), "(L)");
}

}  // namespace
}  // namespace voq

#include "comma_locale.h"

namespace voq {
namespace {

// Unit texts write their powers with ".": a process locale and a program
// decimal separator of "," change nothing.
TEST(UnitExpressions, PowersIgnoreTheDecimalComma) {
  const char* locale = testing::SwitchToCommaLocale();
  if (locale == nullptr) GTEST_SKIP() << "no decimal-comma locale installed";
  SetDecimalSeparator(',');
  TDimensionVector half{};
  TDimensionVector point{};
  const Extended a = EvalUnitExpression("m^(1/2)", half);
  const Extended b = EvalUnitExpression("ft^0.5", point);
  const std::string shown = FactorDisplayText(1e-5L);
  SetDecimalSeparator('.');
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(half[0], 0.5L);
  EXPECT_NEAR(static_cast<double>(b), std::sqrt(0.3048), 1e-15);
  EXPECT_EQ(shown, "1E-05");
}

}  // namespace
}  // namespace voq
