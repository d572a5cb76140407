// Correlations of moist air's components.
#include "properties/psychrometrics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/property_units.h"

namespace voq {
namespace {

class PsychrometricsTest : public ::testing::Test {
 protected:
  // SI with kPa, kJ, Celsius, mass basis.
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 0;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    UnitConversionEnabled = true;
  }
};

// Saturation pressure of water against the IAPWS-95 formulation (Wagner and
// Pruss 2002, table 13.1: 3.1699 kPa at 25 C, 101.418 kPa at 100 C) and
// the IAPWS sublimation pressure of ice (Wagner, Riethmann, Feistel and
// Harvey 2011: 259.90 Pa at -10 C, 103.26 Pa at -20 C).
TEST_F(PsychrometricsTest, SaturationPressureMatchesPublishedValues) {
  struct Case {
    Extended Tk;
    Extended published;
  };
  const Case cases[] = {{298.15L, 3.1699L}, {373.15L, 101.418L}, {263.15L, 0.25990L}, {253.15L, 0.10326L}};
  for (const auto& c : cases) {
    EXPECT_NEAR(static_cast<double>(PsychSatPressure(c.Tk) / c.published), 1.0, 5e-4) << c.Tk;
  }
  // The liquid and ice equations nearly meet at the triple point (611.2 Pa).
  EXPECT_NEAR(static_cast<double>(PsychSatPressure(273.15L)), 0.6112, 1e-4);
  EXPECT_NEAR(static_cast<double>(PsychSatPressure(273.1499L)), 0.6112, 1e-4);
  // Above the critical temperature the equation is held at 0.9999 Tc.
  EXPECT_EQ(PsychSatPressure(1000.0L), PsychSatPressure(0.9999L * 647.096L));
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(PsychrometricsTest, SaturationTemperatureInvertsThePressure) {
  for (const Extended Tk : {250.0L, 273.0L, 273.15L, 273.3L, 300.0L, 350.0L, 420.0L}) {
    ClearCalcError();
    const Extended T = PsychSatTemperature(300, PsychSatPressure(Tk));
    EXPECT_EQ(CalcErrorCode, 0) << Tk;
    EXPECT_NEAR(static_cast<double>(T), static_cast<double>(Tk), 2e-4) << Tk;
  }
}

TEST_F(PsychrometricsTest, DryAirEnthalpyIsZeroAtTheUnitSystemsZero) {
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(0)), 0.0, 1e-12);
  // cp of air near room temperature is about 1.005 kJ/kg-K.
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(20)), 20.1, 0.05);
  DocumentSettings.EnergyUnit = 0;
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(20)), 20100, 50);
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.EnergyUnit = 1;
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(273.15L)), 0.0, 1e-12);
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.AbsoluteTemperature = 0;
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(0)), 0.0, 1e-12);
  // 0.24 Btu/lb-F.
  EXPECT_NEAR(static_cast<double>(PsychDryAirEnthalpy(70)), 16.8, 0.1);
  EXPECT_EQ(CalcErrorCode, 0);
  DocumentSettings.AbsoluteTemperature = 1;
  EXPECT_EQ(PsychDryAirEnthalpy(-1), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
}

TEST_F(PsychrometricsTest, WaterEnthalpyOfIceAndLiquid) {
  EXPECT_NEAR(static_cast<double>(PsychWaterEnthalpy(0)), -333.38, 1e-9);
  EXPECT_NEAR(static_cast<double>(PsychWaterEnthalpy(-10)), 2.069 * -10 - 333.38, 1e-9);
  EXPECT_NEAR(static_cast<double>(PsychWaterEnthalpy(25)), 4.186897 * 25, 1e-9);
  DocumentSettings.MolarBasis = 1;
  EXPECT_NEAR(static_cast<double>(PsychWaterEnthalpy(25)), 4.186897 * 25 * 18.015268, 1e-7);
}

// Saturated air at 101.325 kPa against ASHRAE Handbook Fundamentals (2017),
// chapter 1, table 2. The tables include the enhancement factor, which
// these correlations leave out: they give 0.4 % to 0.6 % less W.
TEST_F(PsychrometricsTest, SaturatedAirAgainstPublishedTables) {
  struct Case {
    Extended t;
    Extended Ws;
    Extended hs;
  };
  const Case cases[] = {{0, 0.003789L, 9.475L},
                        {10, 0.007661L, 29.360L},
                        {20, 0.014758L, 57.544L},
                        {30, 0.027329L, 100.006L},
                        {50, 0.086858L, 275.3L}};
  for (const auto& c : cases) {
    const Extended W = PsychSatHumRat(101.325L, c.t);
    Extended ps = 0;
    const Extended h = PsychDryAirEnthalpy(c.t) + W * PsychVaporEnthalpy(c.t, ps);
    EXPECT_NEAR(static_cast<double>(W / c.Ws), 1.0, 0.007) << c.t;
    EXPECT_LT(W, c.Ws) << c.t;
    EXPECT_NEAR(static_cast<double>(h / c.hs), 1.0, 0.006) << c.t;
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(PsychrometricsTest, HumidityRatiosAndTheirInverse) {
  // Hand calculation: Pv = 0.5 * 3.16982 kPa, W = 0.62198 Pv / (101.325 - Pv).
  Extended ps = 0;
  PsychVaporEnthalpy(25, ps);
  EXPECT_NEAR(static_cast<double>(ps), 3.16982, 1e-5);
  const Extended pv = 0.5L * ps;
  const Extended W = kPsychMassRatio * pv / (101.325L - pv);
  EXPECT_NEAR(static_cast<double>(W), 0.009884, 0.009884 * 1e-3);
  EXPECT_NEAR(static_cast<double>(PsychTemperatureFromHumidity(W, 0.5L, 101.325L)), 25.0, 1e-5);
  // A wet bulb at the dry bulb means saturated air.
  EXPECT_NEAR(static_cast<double>(PsychWetBulbHumRat(101.325L, 25, 25)),
              static_cast<double>(PsychSatHumRat(101.325L, 25)), 1e-12);
  // Wet bulb below the dry bulb: less water. Hand calculation with the
  // simplified wet-bulb balance of ASHRAE Handbook Fundamentals (2017),
  // chapter 1, eq. 33, and Ws(20 C) = 0.014758 from its table 2:
  // W = ((2501 - 2.326*20)*0.014758 - 1.006*(40 - 20)) / (2501 + 1.86*40 - 4.186*20) = 0.00646.
  EXPECT_NEAR(static_cast<double>(PsychWetBulbHumRat(101.325L, 20, 40)), 0.00646, 0.0001);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(PsychrometricsTest, VaporEntropyNearSteamTables) {
  // Saturated vapour at 25 C: sg = 8.5580 kJ/kg-K (IAPWS-95, with the
  // triple-point liquid as reference, as here).
  Extended ps = 0;
  PsychVaporEnthalpy(25, ps);
  EXPECT_NEAR(static_cast<double>(PsychVaporEntropy(ps, 25)), 8.558, 0.01);
  // At 25 C saturated vapour hg = 2546.5 kJ/kg (IAPWS-95).
  EXPECT_NEAR(static_cast<double>(PsychVaporEnthalpy(25, ps)), 2546.5, 1.0);
}

TEST_F(PsychrometricsTest, VaporEnthalpyLeavesAPendingErrorAlone) {
  SetCalcError(kMsgPropertyNoConvergence);
  Extended ps = 7;
  EXPECT_EQ(PsychVaporEnthalpy(25, ps), 1.0L);
  EXPECT_EQ(ps, 7.0L);
}

}  // namespace
}  // namespace voq
