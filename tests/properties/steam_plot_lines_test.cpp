// Property-plot lines of water: the dome, default line values, the lines
// of both families and of constant quality, against IAPWS-95.
//
// Reference values: IAPWS-95 (W. Wagner and A. Pruss, J. Phys. Chem. Ref.
// Data 31 (2002) 387) computed with the Debian package python3-iapws 1.5.3
// (class IAPWS95). The steam formulation differs from IAPWS-95 by up to
// about 0.01 kJ/kg-K in s, 0.2 % in v, 0.2 % in saturation pressure, 1
// kJ/kg in h on the saturation line and 0.2 % in h elsewhere; the
// tolerances below are those differences.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"
#include "properties/steam_test_support.h"

namespace voq {
namespace {

using steam_test::Steam;
using steam_test::UseSi;

constexpr int32_t kT = 1, kP = 2, kS = 5, kV = 6, kX = 7;
constexpr double kM = 18.015268;
constexpr double kTol_s = 0.01, kTol_v = 2e-3, kTol_h = 1.0, kRel_h = 2e-3;

double D(Extended x) { return static_cast<double>(x); }

// Saturated states (IAPWS-95): T K, P kPa, sf, sg kJ/kg-K, vf, vg m3/kg.
struct SatState {
  double T, P, sf, sg, vf, vg;
};
constexpr SatState kSat280 = {280, 0.99182, 0.104118, 8.977876, 0.00100014, 130.1886};
constexpr SatState kSat101 = {373.12430, 101.325, 1.306921, 7.354427, 0.00104344, 1.673201};
// Saturated at 5 kPa: T 306.02425 K, hf 137.7486 and hg 2560.7255 kJ/kg.
constexpr SatState kSat5 = {306.02425, 5, 0.476198, 8.393796, 0.00100533, 28.18528};
constexpr double kHf5 = 137.7486, kHg5 = 2560.7255;

class SteamPlotLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSi(false);
    UnitConversionEnabled = true;
  }
  static TPlotLinesRequest Ask(TSteamNBSSubstance& steam, int32_t code, int32_t line = 0, Extended value = 0) {
    TPlotLinesRequest r;
    r.IsolineCount = line;
    if (line >= 1 && line <= 10) r.IsolineValues[static_cast<size_t>(line - 1)] = value;
    steam.PlotLines(code, r);
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveX.size())) << code;
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveY.size())) << code;
    return r;
  }
  // Default values as the dialog asks for them: values[1..6] = k/7.
  static TPlotLinesRequest Defaults(TSteamNBSSubstance& steam, int32_t code) {
    TPlotLinesRequest r;
    for (int k = 1; k <= 6; ++k) r.IsolineValues[static_cast<size_t>(k - 1)] = k / 7.0L;
    steam.PlotLines(code, r);
    return r;
  }
};

TEST_F(SteamPlotLinesTest, SubstanceDataInSiAndEnglishUnits) {
  struct Case {
    uint8_t system, absolute;
    double T, P, v;
  };
  // 647.134 K = 1164.84 R = 705.17 F; 22064 kPa = 3200.1 psia (6.894757
  // kPa/psia); 0.0031059 m3/kg = 0.049752 ft3/lbm (16.01846).
  const Case cases[] = {{0, 1, 647.134, 22064, 0.0031059}, {1, 1, 1164.841, 3200.11, 0.049752},
                        {1, 0, 705.171, 3200.11, 0.049752}};
  for (const Case& c : cases) {
    DocumentSettings.UnitSystem = c.system;
    DocumentSettings.AbsoluteTemperature = c.absolute;
    auto steam = Steam("Steam");
    const TPlotLinesRequest r = Ask(*steam, 1);
    EXPECT_EQ(r.IsolineCount, 4);
    EXPECT_EQ(D(r.IsolineValues[0]), 18);
    EXPECT_NEAR(D(r.IsolineValues[1]), c.T, 2e-3);
    EXPECT_NEAR(D(r.IsolineValues[2]), c.P, 0.01);
    EXPECT_NEAR(D(r.IsolineValues[3]), c.v, 1e-5);
  }
}

TEST_F(SteamPlotLinesTest, DefaultIsobarsAndIsothermsSitOnTheSaturationLine) {
  auto steam = Steam("Steam");
  // Code 10: P = Psat(647.134 - 367.134 k/7) for k = 1..4 (IAPWS-95).
  const double psat[] = {11515.689, 5424.962, 2174.229, 687.026};
  for (int32_t code : {10, 20}) {
    const TPlotLinesRequest r = Defaults(*steam, code);
    EXPECT_EQ(r.IsolineCount, 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), psat[k], 2e-3 * psat[k]) << code;
  }
  // Code 30: T = Tsat(22064 (5/22064)^(k/7)) (IAPWS-95).
  const double tsat[] = {555.558, 485.680, 432.293, 390.470};
  for (int32_t code : {30, 40}) {
    const TPlotLinesRequest r = Defaults(*steam, code);
    EXPECT_EQ(r.IsolineCount, 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), tsat[k], 0.05) << code;
    EXPECT_EQ(r.PointCount, 0);
  }
  // Code 60: 19857.6 kPa to 1 kPa in equal ratios.
  const TPlotLinesRequest hs = Defaults(*steam, 60);
  EXPECT_NEAR(D(hs.IsolineValues[0]), 19857.6, 1e-9);
  EXPECT_NEAR(D(hs.IsolineValues[1]), 19857.6 / std::cbrt(19857.6), 1e-9);
  EXPECT_NEAR(D(hs.IsolineValues[3]), 1, 1e-12);
}

TEST_F(SteamPlotLinesTest, DefaultIsochoresAndIsentropes) {
  auto steam = Steam("Steam");
  const TPlotLinesRequest iso = Ask(*steam, 15);
  EXPECT_EQ(iso.IsolineCount, 6);
  EXPECT_NEAR(D(iso.IsolineValues[5]), kSat280.vg, kTol_v * kSat280.vg);
  for (int k = 0; k < 5; ++k) {
    EXPECT_NEAR(D(iso.IsolineValues[k]), kSat280.vf * std::pow(kSat280.vg / kSat280.vf, (k + 1) / 6.0),
                kTol_v * D(iso.IsolineValues[k]));
  }
  struct Case {
    int32_t code;
    bool molar;
    double values[4];
  };
  // Molar: 5 x 18.015268 = 90.08 -> 90.1; (6.5 M - 90.1)/4 = 6.75 -> 6.7;
  // (9.5 M - 90.1)/4 = 20.26 -> 20.3.
  const Case cases[] = {{25, false, {5.0, 5.4, 5.8, 6.2}},
                        {35, false, {5.0, 6.1, 7.2, 8.3}},
                        {25, true, {90.1, 96.8, 103.5, 110.2}},
                        {35, true, {90.1, 110.4, 130.7, 151.0}}};
  for (const Case& c : cases) {
    UseSi(c.molar);
    const TPlotLinesRequest r = Ask(*steam, c.code);
    EXPECT_EQ(r.IsolineCount, 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), c.values[k], 1e-9) << c.code << c.molar;
  }
  // P-h: six values in tenths from the saturated vapour near Pc.
  UseSi(false);
  const TPlotLinesRequest ph = Ask(*steam, 45);
  EXPECT_EQ(ph.IsolineCount, 6);
  for (int k = 1; k < 6; ++k)
    EXPECT_NEAR(D(ph.IsolineValues[k] - ph.IsolineValues[k - 1]), D(ph.IsolineValues[1] - ph.IsolineValues[0]), 1e-9);
}

TEST_F(SteamPlotLinesTest, SaturationDomeOnTs) {
  auto steam = Steam("Steam");
  const TPlotLinesRequest liquid = Ask(*steam, 11);
  ASSERT_EQ(liquid.PointCount, 18);
  EXPECT_NEAR(D(liquid.CurveY[0]), 280, 1e-9);
  EXPECT_NEAR(D(liquid.CurveX[0]), kSat280.sf, kTol_s);
  EXPECT_NEAR(D(liquid.CurveX[17]), 4.4298, 1e-12);
  EXPECT_NEAR(D(liquid.CurveY[17]), 647.134, 1e-12);
  const TPlotLinesRequest vapour = Ask(*steam, 12);
  ASSERT_EQ(vapour.PointCount, 14);
  EXPECT_NEAR(D(vapour.CurveX[0]), 4.4298, 1e-12);
  EXPECT_NEAR(D(vapour.CurveY[13]), 280, 1e-9);
  EXPECT_NEAR(D(vapour.CurveX[13]), kSat280.sg, kTol_s);
  // Liquid points 15 to 17 and vapour points 2 to 4 were solved from
  // (s, x): from their T with the same quality they give their s again.
  struct Check {
    const TPlotLinesRequest* line;
    int index;
    Extended x;
  };
  const Check checks[] = {{&liquid, 14, 0}, {&liquid, 15, 0}, {&liquid, 16, 0},
                          {&vapour, 1, 1},  {&vapour, 2, 1},  {&vapour, 3, 1}};
  for (const Check& c : checks) {
    const double s = D(c.line->CurveX[static_cast<size_t>(c.index)]);
    const Extended T = c.line->CurveY[static_cast<size_t>(c.index)];
    EXPECT_LT(T, 647.134);
    const Extended again = steam_test::Call(*steam, &TSteamNBSSubstance::Entropy, kT, T, kX, c.x);
    EXPECT_NEAR(D(again), s, 1e-6 * s) << c.index;
  }
  // The liquid line rises in T, the vapour line falls.
  for (int i = 1; i < 18; ++i) EXPECT_GT(liquid.CurveY[i], liquid.CurveY[i - 1]);
  for (int i = 1; i < 14; ++i) EXPECT_LT(vapour.CurveY[i], vapour.CurveY[i - 1]);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(SteamPlotLinesTest, SaturationLinesOfTheOtherDiagrams) {
  auto steam = Steam("Steam");
  struct Case {
    int32_t code, count, index;
    double x, y, xTol, yTol;
  };
  const Case cases[] = {
      {21, 13, 0, kSat280.vf, 280, kTol_v * kSat280.vf, 1e-9},
      {21, 13, 12, 0.0031, 647.134, 0.0015, 1e-9},  // the critical point
      {22, 13, 12, kSat280.vg, 280, kTol_v * kSat280.vg, 1e-9},
      {31, 14, 0, kSat5.vf, 5, kTol_v * kSat5.vf, 1e-9},
      {32, 14, 13, kSat5.vg, 5, kTol_v * kSat5.vg, 1e-9},
      {41, 14, 0, kHf5, 5, kTol_h, 1e-9},
      {42, 14, 13, kHg5, 5, kTol_h, 1e-9},
      {61, 18, 17, 4.4298, 2100, 1e-12, 1e-12},
      {62, 14, 0, 4.4298, 2100, 1e-12, 1e-12},
  };
  for (const Case& c : cases) {
    const TPlotLinesRequest r = Ask(*steam, c.code);
    ASSERT_EQ(r.PointCount, c.count) << c.code;
    EXPECT_NEAR(D(r.CurveX[static_cast<size_t>(c.index)]), c.x, c.xTol) << c.code;
    EXPECT_NEAR(D(r.CurveY[static_cast<size_t>(c.index)]), c.y, c.yTol) << c.code;
  }
  // The h-s liquid line runs from Tm = 463.567 K up to the critical point
  // with s rising throughout (hf at Tm: 809.29 kJ/kg, sf 2.23947 kJ/kg-K by
  // IAPWS-95), and no point beyond the critical point's s.
  const TPlotLinesRequest hs = Ask(*steam, 61);
  EXPECT_NEAR(D(hs.CurveY[0]), 809.29, kTol_h);
  EXPECT_NEAR(D(hs.CurveX[0]), 2.23947, kTol_s);
  for (int i = 1; i < 18; ++i) EXPECT_GT(hs.CurveX[static_cast<size_t>(i)], hs.CurveX[static_cast<size_t>(i - 1)]) << i;
  // P-v: ten pressures in equal ratios from 5 kPa, then 16664 to 22064.
  const TPlotLinesRequest pv = Ask(*steam, 31);
  EXPECT_NEAR(D(pv.CurveY[10]), 16664, 1e-9);
  EXPECT_NEAR(D(pv.CurveY[13]), 22064, 1e-9);
  EXPECT_NEAR(D(pv.CurveY[1] / pv.CurveY[0]), std::pow(22064 / 5.0, 0.1), 1e-12);
}

TEST_F(SteamPlotLinesTest, IsobarsOfTheFirstFamily) {
  auto steam = Steam("Steam");
  const TPlotLinesRequest ts = Ask(*steam, 13, 1, 101.325L);
  ASSERT_EQ(ts.PointCount, 22);
  EXPECT_NEAR(D(ts.CurveX[0]), kSat101.sf, kTol_s);
  EXPECT_NEAR(D(ts.CurveX[1]), kSat101.sg, kTol_s);
  EXPECT_NEAR(D(ts.CurveY[0]), kSat101.T, 0.02);
  EXPECT_NEAR(D(ts.CurveY[21]), 647.134 + 0.8 * 367.134, 1e-3);  // Ttop
  // The vapour points in equal steps of s from sg.
  const double ds = D(ts.CurveX[2] - ts.CurveX[1]);
  for (int i = 2; i < 22; ++i) {
    EXPECT_NEAR(D(ts.CurveX[i] - ts.CurveX[i - 1]), ds, 1e-6);
    EXPECT_GT(ts.CurveY[i], ts.CurveY[i - 1]);
  }
  const TPlotLinesRequest tv = Ask(*steam, 23, 2, 101.325L);
  ASSERT_EQ(tv.PointCount, 12);
  EXPECT_NEAR(D(tv.CurveX[0]), kSat101.vf, kTol_v * kSat101.vf);
  EXPECT_NEAR(D(tv.CurveX[1]), kSat101.vg, kTol_v * kSat101.vg);
  // Above Pc the line keeps the states it finds, from Ttop down.
  const TPlotLinesRequest high = Ask(*steam, 13, 1, 30000);
  EXPECT_GT(high.PointCount, 10);
  EXPECT_LE(high.PointCount, 22);
  for (int i = 0; i < high.PointCount; ++i) EXPECT_LT(high.CurveY[static_cast<size_t>(i)], 999);
  // A pressure no state has: every stored point is (999, 999) and the
  // last solution's error (208, negative pressure) is left for the caller.
  const TPlotLinesRequest negative = Ask(*steam, 13, 1, -5);
  ASSERT_EQ(negative.PointCount, 22);
  for (int i = 0; i < 22; ++i) {
    EXPECT_EQ(negative.CurveX[static_cast<size_t>(i)], 999);
    EXPECT_EQ(negative.CurveY[static_cast<size_t>(i)], 999);
  }
  EXPECT_EQ(CalcErrorCode, 208);
  CalcErrorCode = 0;
  // h-s: from Ttop into the wet region at x = 0.4.
  const TPlotLinesRequest hs = Ask(*steam, 63, 1, 101.325L);
  EXPECT_EQ(hs.PointCount, 22);
}

TEST_F(SteamPlotLinesTest, IsothermsOfTheFirstFamily) {
  auto steam = Steam("Steam");
  // Below Tc: 16 compressed-liquid points from 81500 kPa, the two
  // saturated states, nine vapour points down to 5 kPa.
  const TPlotLinesRequest pv = Ask(*steam, 33, 1, kSat101.T);
  ASSERT_EQ(pv.PointCount, 27);
  EXPECT_NEAR(D(pv.CurveY[0]), 81500, 1e-6);
  EXPECT_NEAR(D(pv.CurveX[0]), 0.00100724, kTol_v * 0.00100724);  // IAPWS-95 at 373.124 K, 81.5 MPa
  EXPECT_NEAR(D(pv.CurveY[16]), 101.325, 0.2);
  EXPECT_NEAR(D(pv.CurveX[16]), kSat101.vf, kTol_v * kSat101.vf);
  EXPECT_NEAR(D(pv.CurveX[17]), kSat101.vg, kTol_v * kSat101.vg);
  EXPECT_NEAR(D(pv.CurveY[26]), 5, 1e-9);
  // Above Tc on P-h: pressures 32416 (5/32416)^(i/27), kept points.
  // IAPWS-95 at 800 K: h = 3282.88 kJ/kg at 23419.74 kPa, 3547.21 at 5 kPa.
  const TPlotLinesRequest ph = Ask(*steam, 43, 1, 800);
  ASSERT_EQ(ph.PointCount, 27);
  EXPECT_NEAR(D(ph.CurveY[0]), 23419.74, 0.01);
  EXPECT_NEAR(D(ph.CurveX[0]), 3282.88, kRel_h * 3282.88);
  EXPECT_NEAR(D(ph.CurveX[26]), 3547.21, kRel_h * 3547.21);
  const TPlotLinesRequest hot = Ask(*steam, 33, 1, 800);
  EXPECT_GT(hot.PointCount, 20);
}

TEST_F(SteamPlotLinesTest, LinesOfTheSecondFamily) {
  auto steam = Steam("Steam");
  // T-v isentrope s = 7: 22 temperatures from 920 K to 300 K. IAPWS-95:
  // v = 0.0383058 m3/kg at 920 K, where v moves by 0.2 % per 0.001 kJ/kg-K
  // of s at constant T (the IAPWS-95 entropy of the line's state is
  // 7.0022), hence 1 %; at 300 K, x = (7 - sf)/(sg - sf) of the saturated
  // states gives v = 31.7797 m3/kg.
  const TPlotLinesRequest tv = Ask(*steam, 26, 1, 7);
  ASSERT_EQ(tv.PointCount, 22);
  EXPECT_NEAR(D(tv.CurveY[0]), 920, 1e-9);
  EXPECT_NEAR(D(tv.CurveX[0]), 0.0383058, 0.01 * 0.0383058);
  EXPECT_NEAR(D(tv.CurveY[21]), 300, 1e-9);
  EXPECT_NEAR(D(tv.CurveX[21]), 31.7797, kTol_v * 31.7797);
  // P-h isentrope s = 7 ends at 5 kPa in the wet region: by the lever rule
  // on the IAPWS-95 saturated states, x = 0.823962 and h = 2134.21 kJ/kg.
  const TPlotLinesRequest ph = Ask(*steam, 46, 1, 7);
  ASSERT_GT(ph.PointCount, 15);
  ASSERT_LE(ph.PointCount, 22);
  EXPECT_NEAR(D(ph.CurveY.back()), 5, 1e-9);
  EXPECT_NEAR(D(ph.CurveX.back()), 2134.21, 2 * kTol_h);
  const TPlotLinesRequest pv = Ask(*steam, 36, 1, 7);
  EXPECT_NEAR(D(pv.CurveX.back()), 23.2240, kTol_v * 23.224);
  // Isochores: one through the vapour dome meets saturation and goes on to
  // 280 K in 24 points; one on the liquid side runs straight down.
  for (Extended v : {1.0L, 0.002L}) {
    const TPlotLinesRequest ts = Ask(*steam, 16, 3, v);
    EXPECT_GT(ts.PointCount, 12);
    EXPECT_LE(ts.PointCount, 24);
    EXPECT_LT(ts.CurveY[0], 940.85);
    EXPECT_NEAR(D(ts.CurveY.back()), 280, 1e-9);
    for (int i = 1; i < ts.PointCount; ++i) EXPECT_LT(ts.CurveY[static_cast<size_t>(i)], ts.CurveY[static_cast<size_t>(i - 1)]);
  }
}

TEST_F(SteamPlotLinesTest, QualityLines) {
  auto steam = Steam("Steam");
  // x = 0.5 at 280 K: s = (sf + sg)/2 = 4.540997; at 5 kPa v = (vf + vg)/2.
  const TPlotLinesRequest ts = Ask(*steam, 14, 2, 0.5L);
  ASSERT_EQ(ts.PointCount, 22);
  EXPECT_NEAR(D(ts.CurveY[0]), 280 + 0.95 * 367.134, 1e-6);  // T95
  EXPECT_NEAR(D(ts.CurveX[21]), (kSat280.sf + kSat280.sg) / 2, kTol_s);
  const TPlotLinesRequest pv = Ask(*steam, 34, 2, 0.5L);
  ASSERT_EQ(pv.PointCount, 22);
  EXPECT_NEAR(D(pv.CurveY[0]), 5 + 0.9 * (22064 - 5), 1e-6);
  EXPECT_NEAR(D(pv.CurveX[21]), (kSat5.vf + kSat5.vg) / 2, kTol_v * 14.1);
  const TPlotLinesRequest ph = Ask(*steam, 44, 2, 0.5L);
  EXPECT_NEAR(D(ph.CurveX[21]), (kHf5 + kHg5) / 2, kTol_h);
  const TPlotLinesRequest hs = Ask(*steam, 64, 2, 0.5L);
  EXPECT_EQ(hs.PointCount, 22);
  // A quality outside 0..1 has no states: every point is dropped.
  const TPlotLinesRequest none = Ask(*steam, 24, 2, 1.5L);
  EXPECT_EQ(none.PointCount, 0);
}

TEST_F(SteamPlotLinesTest, MolarBasisMultipliesTheExtensiveConstants) {
  auto steam = Steam("Steam");
  UseSi(true);
  const TPlotLinesRequest liquid = Ask(*steam, 11);
  EXPECT_NEAR(D(liquid.CurveX[17]), 4.4298 * kM, 1e-9);
  EXPECT_NEAR(D(liquid.CurveX[0]), kSat280.sf * kM, kTol_s * kM);
  const TPlotLinesRequest vapour = Ask(*steam, 12);
  EXPECT_NEAR(D(vapour.CurveX[0]), 4.4298 * kM, 1e-9);
  EXPECT_NEAR(D(vapour.CurveX[13]), kSat280.sg * kM, kTol_s * kM);
  // The (s, x) points of the molar line lie where the mass line has them.
  UseSi(false);
  const TPlotLinesRequest massVapour = Ask(*steam, 12);
  UseSi(true);
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(D(vapour.CurveY[i]), D(massVapour.CurveY[i]), 1e-6);
  for (int32_t code : {61, 62}) {
    const TPlotLinesRequest hs = Ask(*steam, code);
    const size_t at = code == 61 ? 17 : 0;
    EXPECT_NEAR(D(hs.CurveX[at]), 4.4298 * kM, 1e-9);
    EXPECT_NEAR(D(hs.CurveY[at]), 2100 * kM, 1e-9);
  }
}

TEST_F(SteamPlotLinesTest, OtherCodesChangeNothingOnEveryWaterRow) {
  for (const char* name : {"Steam", "Water", "Steam_NBS", "R718", "Ice"}) {
    auto steam = Steam(name);
    for (int32_t code : {0, 2, 5, 9, 17, 19, 27, 39, 47, 50, 53, 56, 59, 65, 66, 70, 99}) {
      TPlotLinesRequest r;
      r.IsolineCount = 3;
      r.IsolineValues.fill(7);
      r.CurveX = {1};
      r.CurveY = {2};
      r.PointCount = 1;
      steam->PlotLines(code, r);
      EXPECT_EQ(r.IsolineCount, 3) << name << code;
      EXPECT_EQ(r.IsolineValues[0], 7) << name << code;
      EXPECT_EQ(r.PointCount, 1) << name << code;
      EXPECT_EQ(r.CurveX.size(), 1u) << name << code;
    }
    // Every row answers the dome alike.
    const TPlotLinesRequest vapour = Ask(*steam, 12);
    ASSERT_EQ(vapour.PointCount, 14) << name;
    EXPECT_NEAR(D(vapour.CurveX[13]), kSat280.sg, kTol_s) << name;
    // A point request whose line count names no value gives no curve.
    EXPECT_EQ(Ask(*steam, 13, 0).PointCount, 0) << name;
  }
}

}  // namespace
}  // namespace voq
