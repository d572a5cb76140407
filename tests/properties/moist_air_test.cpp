// Moist air: round trips, published tables and argument errors.
#include "properties/moist_air.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"
#include "properties/psychrometrics.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kV = 6, kB = 11, kD = 12, kW = 13, kR = 14;
using Op = Extended (TSubstanceBase::*)(TPropertyArgumentRecord&);

class MoistAirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 0;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    const int32_t row = FindSubstanceRow("AIRH2O");
    ASSERT_GT(row, 0);
    air_.reset(CreatePropertyObject(row));
    ASSERT_NE(dynamic_cast<TAirH2OSubstance*>(air_.get()), nullptr);
  }

  // One evaluation as the evaluator makes it: conversion on, three arguments.
  Extended Call(Op op, int32_t k1, Extended v1, int32_t k2, Extended v2, int32_t k3, Extended v3) {
    UnitConversionEnabled = true;
    air_->ArgCount = 3;
    air_->ArgKind = {0, k1, k2, k3};
    TPropertyArgumentRecord a;
    a.Value = {0, v1, v2, v3};
    return (air_.get()->*op)(a);
  }
  static double D(Extended x) { return static_cast<double>(x); }

  std::unique_ptr<TSubstanceBase> air_;
};

TEST_F(MoistAirTest, RoundTripsAtOneState) {
  const Extended P = 101.325L;
  // Hand calculation: W = 0.62198 * 0.5 * 3.16982 / (101.325 - 0.5 * 3.16982) = 0.009884.
  const Extended W = Call(&TSubstanceBase::HumRat, kT, 25, kR, 0.5L, kP, P);
  EXPECT_NEAR(D(W), 0.009884, 0.009884 * 1e-3);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kR, 0.5L, kW, W, kP, P)), 25, 1e-5);
  const Extended h = Call(&TSubstanceBase::Enthalpy, kT, 25, kR, 0.5L, kP, P);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kH, h, kR, 0.5L, kP, P)), 25, 1e-5);
  const Extended B = Call(&TSubstanceBase::WetBulb, kT, 25, kR, 0.5L, kP, P);
  const Extended Dp = Call(&TSubstanceBase::DewPoint, kT, 25, kR, 0.5L, kP, P);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_LT(Dp, B);
  EXPECT_LT(B, 25);
  // Psychrometric chart at sea level: 25 C, 50 %: wet bulb 17.9 C, dew point 13.9 C.
  EXPECT_NEAR(D(B), 17.9, 0.15);
  EXPECT_NEAR(D(Dp), 13.9, 0.15);
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kP, P, kB, B, kT, 25)), D(W), 1e-6);
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kP, P, kD, Dp, kT, 25)), D(W), 1e-6);
  EXPECT_NEAR(D(Call(&TSubstanceBase::RelHum, kT, 25, kW, W, kP, P)), 0.5, 1e-9);
  EXPECT_NEAR(D(Call(&TSubstanceBase::RelHum, kH, h, kW, W, kP, P)), 0.5, 1e-6);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kB, B, kW, W, kP, P)), 25, 1e-3);
  const Extended v = Call(&TSubstanceBase::Volume, kT, 25, kR, 0.5L, kP, P);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kV, v, kW, W, kP, P)), 25, 1e-3);
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, 25, kV, v, kP, P)), D(W), 1e-5);
  EXPECT_NEAR(D(Call(&TSubstanceBase::WetBulb, kT, 25, kW, W, kP, P)), D(B), 1e-6);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, 25, kW, W, kP, P)), D(h), 1e-9);
  EXPECT_EQ(CalcErrorCode, 0);
}

// Saturated air at 101.325 kPa against ASHRAE Handbook Fundamentals (2017),
// chapter 1, table 2 (W; h in kJ/kg dry air), as quoted in the test suite
// of PsychroLib (github.com/psychrometrics/psychrolib,
// tests/test_psychrolib_si.py). The specific volume is checked against the
// Handbook's perfect-gas relation (chapter 1, eq. 26) evaluated with the
// tabulated W: v = 0.287042 (t + 273.15)(1 + 1.607858 W)/101.325. Without an
// enhancement factor W is 0.41 % (5 C) to 0.59 % (50 C) low at saturation.
TEST_F(MoistAirTest, SaturatedAirAgainstPublishedTables) {
  struct Case {
    Extended t, W, h, v;
  };
  const Case cases[] = {{5, 0.005425L, 18.639L, 0.794840L},
                        {25, 0.020173L, 76.504L, 0.872020L},
                        {50, 0.086863L, 275.353L, 1.043301L}};
  for (const auto& c : cases) {
    EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, c.t, kR, 1, kP, 101.325L) / c.W), 1, 0.007) << c.t;
    EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, c.t, kR, 1, kP, 101.325L) / c.h), 1, 0.006) << c.t;
    EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, c.t, kR, 1, kP, 101.325L) / c.v), 1, 0.001) << c.t;
  }
  // Dry air at 25 C from the same table: v = 0.8443 m3/kg.
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 25, kR, 0, kP, 101.325L) / 0.8443L), 1, 0.001);
  EXPECT_EQ(CalcErrorCode, 0);
}

// ASHRAE Handbook Fundamentals (2017), chapter 1, example 1: moist air at
// 101.325 kPa, dry bulb 40 C, thermodynamic wet bulb 20 C: W = 0.0065,
// h = 56.7 kJ/kg, v = 0.896 m3/kg, relative humidity about 14 %, dew
// point about 7 C (as quoted in PsychroLib's tests/test_psychrolib_si.py,
// test_AllPsychrometrics). Without the enhancement factor W is about 1 %
// low here (see the wet-bulb case of psychrometrics_test.cpp).
TEST_F(MoistAirTest, HandbookExampleFromDryAndWetBulb) {
  const Extended P = 101.325L;
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, 40, kB, 20, kP, P)), 0.0065, 0.00013);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, 40, kB, 20, kP, P)), 56.7, 0.2);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 40, kB, 20, kP, P)), 0.896, 0.002);
  EXPECT_NEAR(D(Call(&TSubstanceBase::RelHum, kT, 40, kB, 20, kP, P)), 0.14, 0.01);
  EXPECT_NEAR(D(Call(&TSubstanceBase::DewPoint, kT, 40, kB, 20, kP, P)), 7, 0.5);
  // And back: the wet bulb from the dry bulb and the relative humidity.
  const Extended R = Call(&TSubstanceBase::RelHum, kT, 40, kB, 20, kP, P);
  EXPECT_NEAR(D(Call(&TSubstanceBase::WetBulb, kT, 40, kR, R, kP, P)), 20, 1e-3);
  EXPECT_EQ(CalcErrorCode, 0);
}

// English units: F, psia, Btu/lb of dry air with dry air's zero at 0 F, as
// in ASHRAE Handbook Fundamentals (2017), chapter 1, table 2 in I-P units,
// as quoted in PsychroLib's tests/test_psychrolib_ip.py: saturated air at
// 14.696 psia, 41, 77 and 122 F: Ws = 0.005425, 0.020173, 0.086863 and
// hs = 15.699, 40.576, 126.066 Btu/lb; dry air at 77 F: h = 18.498 Btu/lb,
// v = 13.5251 ft3/lb. Example 1 in I-P units: 100 F dry bulb, 65 F wet bulb
// give W = 0.00523, h = 29.80 Btu/lb, v = 14.22 ft3/lb, about 13 % relative
// humidity and a dew point near 40 F.
TEST_F(MoistAirTest, EnglishUnitsAgainstPublishedTables) {
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.PressureUnit = 0;
  const Extended P = 14.696L;
  const struct {
    Extended t, W, h;
  } cases[] = {{41, 0.005425L, 15.699L}, {77, 0.020173L, 40.576L}, {122, 0.086863L, 126.066L}};
  for (const auto& c : cases) {
    EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, c.t, kR, 1, kP, P) / c.W), 1, 0.007) << c.t;
    EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, c.t, kR, 1, kP, P) / c.h), 1, 0.006) << c.t;
  }
  EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, 77, kR, 0, kP, P) / 18.498L), 1, 0.003);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 77, kR, 0, kP, P) / 13.5251L), 1, 0.001);
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, 100, kB, 65, kP, P)), 0.00523, 0.0001);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, 100, kB, 65, kP, P)), 29.80, 0.15);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 100, kB, 65, kP, P)), 14.22, 0.03);
  EXPECT_NEAR(D(Call(&TSubstanceBase::RelHum, kT, 100, kB, 65, kP, P)), 0.13, 0.01);
  EXPECT_NEAR(D(Call(&TSubstanceBase::DewPoint, kT, 100, kB, 65, kP, P)), 40, 1.0);
  // Round trips in Rankine and atm.
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 1;
  const Extended h = Call(&TSubstanceBase::Enthalpy, kT, 536.67L, kR, 0.5L, kP, 1);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kH, h, kR, 0.5L, kP, 1)), 536.67, 1e-4);
  const Extended B = Call(&TSubstanceBase::WetBulb, kT, 536.67L, kR, 0.5L, kP, 1);
  EXPECT_NEAR(D(Call(&TSubstanceBase::RelHum, kT, 536.67L, kB, B, kP, 1)), 0.5, 1e-5);
  EXPECT_EQ(CalcErrorCode, 0);
}

// On a molar basis extensive results are per kmol of dry air: M = 28.9669
// times the values per kg, W stays kg of water per kg of dry air. Dry air at
// 0 C and 101.325 kPa fills the molar volume of an ideal gas, 22.41397
// m3/kmol (CODATA 2018, the molar volume of an ideal gas at 273.15 K and
// 101.325 kPa).
TEST_F(MoistAirTest, MolarBasisIsPerKmolOfDryAir) {
  const Extended P = 101.325L;
  const Extended W = Call(&TSubstanceBase::HumRat, kT, 25, kR, 0.5L, kP, P);
  const Extended h = Call(&TSubstanceBase::Enthalpy, kT, 25, kR, 0.5L, kP, P);
  const Extended v = Call(&TSubstanceBase::Volume, kT, 25, kR, 0.5L, kP, P);
  const Extended cp = Call(&TSubstanceBase::SpecHeat, kT, 25, kR, 0.5L, kP, P);
  DocumentSettings.MolarBasis = 1;
  EXPECT_NEAR(D(Call(&TSubstanceBase::HumRat, kT, 25, kR, 0.5L, kP, P)), D(W), 1e-12);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Enthalpy, kT, 25, kR, 0.5L, kP, P) / (28.9669L * h)), 1, 1e-4);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 25, kR, 0.5L, kP, P) / (28.9669L * v)), 1, 1e-9);
  EXPECT_NEAR(D(Call(&TSubstanceBase::SpecHeat, kT, 25, kR, 0.5L, kP, P) / (28.9669L * cp)), 1, 1e-4);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Volume, kT, 0, kR, 0, kP, P)), 22.41397, 22.41397 * 1e-4);
  const Extended hm = Call(&TSubstanceBase::Enthalpy, kT, 25, kR, 0.5L, kP, P);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Temperature, kH, hm, kW, W, kP, P)), 25, 1e-4);
  EXPECT_NEAR(D(Call(&TSubstanceBase::WetBulb, kT, 25, kR, 0.5L, kP, P)),
              D(Call(&TSubstanceBase::WetBulb, kT, 25, kW, W, kP, P)), 1e-6);
  // English and molar: Btu/lbmol of dry air.
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.PressureUnit = 0;
  const Extended hEnglishMolar = Call(&TSubstanceBase::Enthalpy, kT, 77, kR, 0.5L, kP, 14.696L);
  DocumentSettings.MolarBasis = 0;
  const Extended hEnglish = Call(&TSubstanceBase::Enthalpy, kT, 77, kR, 0.5L, kP, 14.696L);
  EXPECT_NEAR(D(hEnglishMolar / (28.9669L * hEnglish)), 1, 1e-4);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(MoistAirTest, SpecHeatHoldsTheHumidityFixed) {
  const Extended W = Call(&TSubstanceBase::HumRat, kT, 25, kR, 0.5L, kP, 101.325L);
  const Extended cp = Call(&TSubstanceBase::SpecHeat, kT, 25, kR, 0.5L, kP, 101.325L);
  const Extended expected =
      (Call(&TSubstanceBase::Enthalpy, kT, 26, kW, W, kP, 101.325L) - Call(&TSubstanceBase::Enthalpy, kT, 24, kW, W, kP, 101.325L)) / 2;
  EXPECT_NEAR(D(cp), D(expected), 1e-12);
  // cp of dry air plus W times that of vapour: about 1.006 + 0.0099 * 1.86.
  EXPECT_NEAR(D(cp), 1.024, 0.005);
  // T not among the arguments: found from W and R, still varied.
  EXPECT_NEAR(D(Call(&TSubstanceBase::SpecHeat, kW, W, kR, 0.5L, kP, 101.325L)), D(cp), 1e-6);
  EXPECT_GT(Call(&TSubstanceBase::Cv, kW, W, kR, 0.5L, kP, 101.325L), 0.7);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(MoistAirTest, ArgumentErrors) {
  struct Case {
    Op op;
    int32_t k1;
    Extended v1;
    int32_t k2;
    Extended v2;
    int32_t k3;
    Extended v3;
    int32_t error;
  };
  const Case cases[] = {
      {&TSubstanceBase::HumRat, kT, 25, kR, 1.2L, kP, 101.325L, kMsgRelHumRange},
      {&TSubstanceBase::Enthalpy, kT, 25, kR, -0.1L, kP, 101.325L, kMsgRelHumRange},
      {&TSubstanceBase::Enthalpy, kT, 25, kW, -0.001L, kP, 101.325L, kMsgNegativeHumidityRatio},
      {&TSubstanceBase::Volume, kT, 25, kW, -0.001L, kP, 101.325L, kMsgNegativeHumidityRatio},
      {&TSubstanceBase::RelHum, kT, 25, kR, 0.5L, kP, 101.325L, kMsgIndependentIsDependent},
      {&TSubstanceBase::HumRat, kT, 25, kW, 0.01L, kP, 101.325L, kMsgHumRatArguments},
      {&TSubstanceBase::Enthalpy, kT, 105, kR, 1, kP, 101.325L, kMsgVaporPressureAboveTotal},
      {&TSubstanceBase::Pressure, kT, 25, kR, 0.5L, kH, 50, kMsgPsychNotImplemented},
      {&TSubstanceBase::Prandtl, kT, 25, kR, 0.5L, kP, 101.325L, kMsgPsychNotImplemented},
      {&TSubstanceBase::Cv, kT, 25, kP, 101.325L, kV, 0.8L, kMsgPsychFunctionArguments},
      {&TSubstanceBase::RelHum, kP, 101.325L, kV, 0.86L, kH, 50, kMsgStateNoConvergence},
      {&TSubstanceBase::Temperature, kT, 25, kR, 0.5L, kP, 101.325L, kMsgPsychTemperatureArguments},
  };
  for (const auto& c : cases) {
    ClearCalcError();
    Call(c.op, c.k1, c.v1, c.k2, c.v2, c.k3, c.v3);
    EXPECT_EQ(CalcErrorCode, c.error) << c.k1 << " " << c.v2;
  }
  ClearCalcError();
  EXPECT_EQ(air_->MolarMass(), 28.967L);
  EXPECT_EQ(CalcErrorCode, kMsgMoistAirMolarMass);
  // No gas data record: the critical operations report it, no crash.
  ClearCalcError();
  EXPECT_EQ(air_->T_crit(), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgNoCriticalProperties);
  ClearCalcError();
  air_->AcentricFactor();
  EXPECT_EQ(CalcErrorCode, kMsgNoCriticalProperties);
}

TEST_F(MoistAirTest, TransportAndEntropyArePlausible) {
  // Dry air at 25 C: mu = 1.849e-5 Pa-s, k = 0.0261 W/m-K (Incropera, table A.4);
  // humid air at 50 % differs by under 2 %.
  EXPECT_NEAR(D(Call(&TSubstanceBase::Viscosity, kT, 25, kR, 0.5L, kP, 101.325L)), 1.84e-5, 0.04e-5);
  EXPECT_NEAR(D(Call(&TSubstanceBase::Conductivity, kT, 25, kR, 0.5L, kP, 101.325L)), 0.0261, 0.0006);
  const Extended s1 = Call(&TSubstanceBase::Entropy, kT, 25, kR, 0.5L, kP, 101.325L);
  const Extended s2 = Call(&TSubstanceBase::Entropy, kT, 35, kR, 0.5L, kP, 101.325L);
  EXPECT_GT(s2, s1);
  EXPECT_EQ(CalcErrorCode, 0);
}

}  // namespace
}  // namespace voq
