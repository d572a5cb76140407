// The psychrometric chart's lines of moist air against the ASHRAE
// psychrometric tables and equations.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/moist_air.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

double D(Extended x) { return static_cast<double>(x); }

// Saturation pressure of water over liquid water, kPa: ASHRAE Handbook,
// Fundamentals (2009), chapter 1, table 3. Moist air is an ideal mixture
// here (no enhancement factor), so at P the saturated humidity ratio is
// Ws = 0.62198 pws/(P - pws) (chapter 1, the humidity ratio at saturation).
struct Saturation {
  double t, pws;
};
constexpr Saturation kAshraeSaturation[] = {{0, 0.6112}, {20, 2.3389}, {40, 7.3849}};
double IdealMixtureW(double pv, double P) { return 0.62198 * pv / (P - pv); }

// ASHRAE Fundamentals (2009), chapter 1: the humidity ratio on the wet-bulb
// line t* above freezing (Ws* the saturation humidity ratio at t*), and the
// specific volume of moist air (m3/kg dry air, t in C, p in kPa).
double AshraeWetBulbW(double t, double tStar, double wsStar) {
  return ((2501 - 2.326 * tStar) * wsStar - 1.006 * (t - tStar)) / (2501 + 1.86 * t - 4.186 * tStar);
}
double AshraeVolume(double t, double W, double p) { return 0.287042 * (t + 273.15) * (1 + 1.607858 * W) / p; }

class MoistAirPlotLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 0;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    Make();
  }
  void Make() {
    auto* o = dynamic_cast<TAirH2OSubstance*>(CreatePropertyObject(FindSubstanceRow("AIRH2O")));
    ASSERT_NE(o, nullptr);
    air_.reset(o);
  }
  // A request with the chart's span and pressure in values[8..10].
  TPlotLinesRequest Ask(int32_t code, int32_t line = 0, Extended value = 0, Extended low = 0, Extended high = 40,
                        Extended P = 101.3L) {
    TPlotLinesRequest r;
    r.IsolineCount = line;
    if (line >= 1 && line <= 7) r.IsolineValues[static_cast<size_t>(line - 1)] = value;
    r.IsolineValues[7] = low;
    r.IsolineValues[8] = high;
    r.IsolineValues[9] = P;
    air_->PlotLines(code, r);
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveX.size())) << code;
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveY.size())) << code;
    return r;
  }
  std::unique_ptr<TAirH2OSubstance> air_;
};

TEST_F(MoistAirPlotLinesTest, ChartDefaultsInSiAndEnglishUnits) {
  struct Case {
    uint8_t system;
    double first, step, low, high, pressure, hundredK;
  };
  // English: 277.5555 K = 39.93 F in steps of 10 F; 272 K = 29.93 F,
  // 310.92777 K = 100 F; 101.3 kPa = 14.692 psia (1 psia = 6.894757 kPa).
  const Case cases[] = {{0, 10, 5, 0, 40, 101.3, -173.15}, {1, 39.9299, 10, 29.93, 100, 14.6924, -279.67}};
  for (const Case& c : cases) {
    DocumentSettings.UnitSystem = c.system;
    Make();
    TPlotLinesRequest r;
    air_->PlotLines(50, r);
    EXPECT_EQ(r.IsolineCount, 6);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), c.first + k * c.step, 1e-3) << int(c.system);
    EXPECT_NEAR(D(r.IsolineValues[6]), c.hundredK, 1e-3);
    EXPECT_NEAR(D(r.IsolineValues[7]), c.low, 1e-3);
    EXPECT_NEAR(D(r.IsolineValues[8]), c.high, 1e-3);
    EXPECT_NEAR(D(r.IsolineValues[9]), c.pressure, 1e-4);
    EXPECT_EQ(air_->ArgCount, 3);
  }
}

TEST_F(MoistAirPlotLinesTest, ChartCheckRefusesATopAboveTheBoilingPoint) {
  // Saturation pressure at 110 C is 143.4 kPa, at 40 C 7.38 kPa (ASHRAE
  // table 3): only the second chart is possible at 101.3 kPa.
  struct Case {
    double top;
    int32_t count;
  };
  for (const Case& c : {Case{110, -1}, Case{40, 2}, Case{99, 2}}) {
    const TPlotLinesRequest r = Ask(1, 0, 0, 0, c.top);
    EXPECT_EQ(r.IsolineCount, c.count) << c.top;
  }
}

TEST_F(MoistAirPlotLinesTest, SaturationAndRelativeHumidityLines) {
  const TPlotLinesRequest sat = Ask(51);
  ASSERT_EQ(sat.PointCount, 19);
  for (int i = 0; i < 19; ++i) {
    EXPECT_NEAR(D(sat.CurveX[i]), i * 40.0 / 18, 1e-9);
    if (i > 0) {
      EXPECT_GT(sat.CurveY[i], sat.CurveY[i - 1]);
    }
  }
  // Points 1, 10 and 19 lie at 0, 20 and 40 C.
  for (const Saturation& s : kAshraeSaturation) {
    const int i = static_cast<int>(std::lround(s.t * 18 / 40));
    const double W = IdealMixtureW(s.pws, 101.3);
    EXPECT_NEAR(D(sat.CurveY[i]), W, 1e-3 * W) << s.t;
  }
  // Half relative humidity (values[1] = 0.5): the vapour pressure is half
  // of pws.
  const TPlotLinesRequest half = Ask(52, 1, 0.5L);
  ASSERT_EQ(half.PointCount, 19);
  for (const Saturation& s : kAshraeSaturation) {
    const int i = static_cast<int>(std::lround(s.t * 18 / 40));
    const double W = IdealMixtureW(0.5 * s.pws, 101.3);
    EXPECT_NEAR(D(half.CurveY[i]), W, 1e-3 * W) << s.t;
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(MoistAirPlotLinesTest, WetBulbLineFollowsTheAshraeEquation) {
  const TPlotLinesRequest r = Ask(53, 4, 20);
  ASSERT_GE(r.PointCount, 3);
  ASSERT_LE(r.PointCount, 12);
  // Saturated at 20 C twice (the start and R = 1), then warmer and drier.
  const double wsStar = IdealMixtureW(kAshraeSaturation[1].pws, 101.3);
  EXPECT_EQ(D(r.CurveX[0]), 20);
  EXPECT_NEAR(D(r.CurveY[0]), wsStar, 1e-3 * wsStar);
  EXPECT_NEAR(D(r.CurveX[1]), 20, 1e-4);
  EXPECT_NEAR(D(r.CurveY[1]), D(r.CurveY[0]), 1e-7);
  for (int i = 2; i < r.PointCount; ++i) {
    EXPECT_GT(r.CurveX[i], r.CurveX[i - 1]);
    EXPECT_NEAR(D(r.CurveY[i]), AshraeWetBulbW(D(r.CurveX[i]), 20, wsStar), 1.5e-4) << i;
  }
  // The line stops once past 40 + 10 C, or at dry air.
  EXPECT_TRUE(r.CurveX.back() > 50 || r.PointCount == 12);
}

TEST_F(MoistAirPlotLinesTest, VolumeLineFollowsTheAshraeEquation) {
  const TPlotLinesRequest r = Ask(56, 2, 0.85L);
  ASSERT_EQ(r.PointCount, 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_NEAR(AshraeVolume(D(r.CurveX[i]), D(r.CurveY[i]), 101.3), 0.85, 2e-3 * 0.85) << i;
    if (i > 0) {
      EXPECT_LT(r.CurveY[i], r.CurveY[i - 1]);
    }
  }
  EXPECT_NEAR(D(r.CurveY[10]), 0, 1e-7);  // R = 0: dry air
}

TEST_F(MoistAirPlotLinesTest, LinesWhoseFirstStateFailsAreEmpty) {
  // At 0.5 kPa even the coldest saturated state of the chart (0.611 kPa
  // at 0 C) cannot exist.
  for (int32_t code : {51, 52, 53}) {
    const TPlotLinesRequest r = Ask(code, code == 53 ? 4 : 1, code == 52 ? 0.9L : 10, 0, 40, 0.5L);
    EXPECT_EQ(r.PointCount, 0) << code;
    EXPECT_GT(CalcErrorCode, 0) << code;
  }
  // A saturation line that ends where the vapour pressure reaches P keeps
  // the states before it: at 5 kPa, 32.9 C saturates (ASHRAE table 3).
  const TPlotLinesRequest part = Ask(51, 0, 0, 0, 40, 5);
  EXPECT_GT(part.PointCount, 10);
  EXPECT_LT(part.PointCount, 19);
  EXPECT_LT(part.CurveX.back(), 33);
}

TEST_F(MoistAirPlotLinesTest, OtherCodesChangeNothing) {
  for (int32_t code : {0, 10, 13, 50 + 4, 55, 57, 60}) {
    TPlotLinesRequest r;
    r.IsolineCount = 3;
    r.IsolineValues.fill(7);
    r.CurveX = {1};
    r.CurveY = {2};
    r.PointCount = 1;
    air_->PlotLines(code, r);
    EXPECT_EQ(r.IsolineCount, 3) << code;
    EXPECT_EQ(r.IsolineValues[0], 7) << code;
    EXPECT_EQ(r.PointCount, 1) << code;
  }
  // A wet-bulb or volume request whose line count names no value.
  for (int32_t code : {53, 56}) {
    const TPlotLinesRequest r = Ask(code, 0);
    EXPECT_EQ(r.PointCount, 0) << code;
  }
}

}  // namespace
}  // namespace voq
