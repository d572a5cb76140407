// Property-plot lines of the ideal gases: default line values, the points
// of each line and the codes that give nothing, checked against the ideal-
// gas relations worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

// Gas constant of air, kJ/kg-K (Cengel and Boles, Thermodynamics, Table
// 0.2870) and in English units, psia ft3/lbm-R (Table A-1E: 0.3704).
constexpr double kAirR = 0.2870;
constexpr double kAirREnglish = 0.3704;

double D(Extended x) { return static_cast<double>(x); }

class IdealGasPlotLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  static std::unique_ptr<TIdealGasSubstance> Gas(int32_t row) {
    auto* g = dynamic_cast<TIdealGasSubstance*>(CreatePropertyObject(row));
    EXPECT_NE(g, nullptr);
    if (g != nullptr) g->SuppressWarnings = 0;
    return std::unique_ptr<TIdealGasSubstance>(g);
  }
  static std::unique_ptr<TIdealGasSubstance> Air() { return Gas(FindSubstanceRow("AIR")); }

  // A monatomic gas of a user file: cp = 5/2 R exactly (20.78585 kJ/kmol-K
  // with R = 8.31434), plot span 250 K to 3500 K. Its isentropes obey
  // P v^(5/3) = const and T ~ P^(2/5) exactly.
  std::unique_ptr<TIdealGasSubstance> Monatomic() {
    dir_ = fs::temp_directory_path() /
           ("voq_plot_idg_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
    std::string text = "Mono|monatomic gas\n39.948\n100\n250\n3500\n20.78585 0\n";
    for (int i = 0; i < 9; ++i) text += "0 0\n";
    text +=
        "298.15\n100\n0\n154.8\n0\n0\n80\n2500\n5.676721E-7\n6.887251E-8\n-4.4641E-11\n1.815652E-14\n"
        "-2.826376E-18\n0\n80\n1400\n-4.362383E-5\n0.0001020032\n-5.941577E-8\n2.222783E-11\n0\n0\n";
    const fs::path path = dir_ / "mono.idg";
    std::ofstream(path) << text;
    RegisterFluidFile(path.string());
    EXPECT_EQ(CalcErrorCode, 0);
    return Gas(SubstanceCount);
  }

  // One request: line count and values as the dialog passes them.
  static TPlotLinesRequest Ask(TIdealGasSubstance& gas, int32_t code, int32_t line = 0, Extended value = 0) {
    TPlotLinesRequest r;
    r.IsolineCount = line;
    if (line >= 1 && line <= 10) r.IsolineValues[static_cast<size_t>(line - 1)] = value;
    gas.PlotLines(code, r);
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveX.size())) << code;
    EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveY.size())) << code;
    return r;
  }

  fs::path dir_;
};

TEST_F(IdealGasPlotLinesTest, DefaultLineValuesOfAir) {
  auto air = Air();
  TPlotLinesRequest r = Ask(*air, 1);
  EXPECT_EQ(r.IsolineCount, 4);
  EXPECT_NEAR(D(r.IsolineValues[0]), 28.97, 0.01);  // molar mass of air
  EXPECT_EQ(r.IsolineValues[1], 0);
  for (int32_t code : {10, 20, 60}) {
    r = Ask(*air, code);
    EXPECT_EQ(r.IsolineCount, 4);
    EXPECT_EQ(D(r.IsolineValues[0]), 100);
    EXPECT_EQ(D(r.IsolineValues[1]), 200);
    EXPECT_EQ(D(r.IsolineValues[2]), 500);
    EXPECT_EQ(D(r.IsolineValues[3]), 1000);
    EXPECT_EQ(r.PointCount, 0);
  }
  // Six isotherms evenly spaced over 273.15 K to 3000 K, ends included.
  r = Ask(*air, 30);
  EXPECT_EQ(r.IsolineCount, 6);
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), 273.15 + k * 0.2 * 2726.85, 1e-9);
  // Isochores in equal ratios from v = RT/P at 273.15 K and 1000 kPa to
  // 3000 K and 10 kPa (hand: 0.078394 and 86.10 m3/kg).
  r = Ask(*air, 15);
  EXPECT_EQ(r.IsolineCount, 6);
  EXPECT_NEAR(D(r.IsolineValues[0]), kAirR * 273.15 / 1000, 1e-3 * 0.0784);
  EXPECT_NEAR(D(r.IsolineValues[5]), kAirR * 3000 / 10, 1e-3 * 86.1);
  const double ratio = D(r.IsolineValues[1] / r.IsolineValues[0]);
  for (int k = 1; k < 6; ++k) EXPECT_NEAR(D(r.IsolineValues[k] / r.IsolineValues[k - 1]), ratio, 1e-9);
  EXPECT_NEAR(std::pow(ratio, 5), 86.1 / 0.078394, 0.01 * 1098);
}

TEST_F(IdealGasPlotLinesTest, IsentropeDefaultsAreTenthsInEqualSteps) {
  auto air = Air();
  for (int32_t code : {25, 35, 45}) {
    TPlotLinesRequest r = Ask(*air, code);
    EXPECT_EQ(r.IsolineCount, 6) << code;
    const Extended step = r.IsolineValues[1] - r.IsolineValues[0];
    EXPECT_NE(step, 0) << code;
    for (int k = 0; k < 6; ++k) {
      // Each value is a multiple of 0.1 (the first rounded, the step too).
      EXPECT_NEAR(D(r.IsolineValues[k]) * 10, std::nearbyint(D(r.IsolineValues[k]) * 10), 1e-9) << code;
      if (k > 0) {
        EXPECT_NEAR(D(r.IsolineValues[k] - r.IsolineValues[k - 1]), D(step), 1e-12) << code;
      }
    }
  }
  // The monatomic gas by hand: R = 0.208129, cp = 0.520323 kJ/kg-K,
  // s = 154.8/39.948 = 3.87504 kJ/kg-K at 298.15 K and 100 kPa, and
  // s(T, P) = 3.87504 + cp ln(T/298.15) - R ln(P/100).
  // Code 35: s1 = s(250 K, 500 kPa) = 3.44842, s2 = s(3500 K, 1000 kPa) =
  // 4.67733; first = s1 + 1.5 (s2 - s1)/6 = 3.75565 -> 3.8, step
  // (s2 - s1)/6 = 0.20482 -> 0.2.
  // Code 25: s1 = s(250 K, v = 1000 m3/kg) = 5.35705 (P = 0.0520323 kPa),
  // s2 = s(3500 K, v = 0.001) = 3.30557 (P = 728451.5 kPa); first = s1 +
  // 0.5 (s2 - s1)/6 = 5.18609 -> 5.2, step (s2 - 5.2)/6 = -0.31574 -> -0.3.
  struct Case {
    int32_t code;
    double first, step;
  };
  auto mono = Monatomic();
  for (const Case& c : {Case{35, 3.8, 0.2}, Case{25, 5.2, -0.3}}) {
    TPlotLinesRequest r = Ask(*mono, c.code);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(D(r.IsolineValues[k]), c.first + k * c.step, 1e-12) << c.code;
  }
}

TEST_F(IdealGasPlotLinesTest, CodesWithoutPointsAndCodesThatChangeNothing) {
  auto air = Air();
  for (int32_t code : {11, 12, 21, 22, 31, 32, 41, 42, 61, 62}) {
    TPlotLinesRequest r;
    r.CurveX = {1, 2};
    r.CurveY = {3, 4};
    r.PointCount = 2;
    air->PlotLines(code, r);
    EXPECT_EQ(r.PointCount, 0) << code;
    EXPECT_TRUE(r.CurveX.empty() && r.CurveY.empty()) << code;
  }
  for (int32_t code : {0, 2, 14, 24, 34, 44, 50, 54, 56, 64, 65, 70}) {
    TPlotLinesRequest r;
    r.IsolineCount = 3;
    r.IsolineValues.fill(7);
    r.CurveX = {1};
    r.CurveY = {2};
    r.PointCount = 1;
    air->PlotLines(code, r);
    EXPECT_EQ(r.IsolineCount, 3) << code;
    EXPECT_EQ(r.IsolineValues[9], 7) << code;
    EXPECT_EQ(r.PointCount, 1) << code;
    EXPECT_EQ(r.CurveX.size(), 1u) << code;
  }
  // A point request whose line count names no value gives no curve.
  for (int32_t line : {0, 11, -3}) {
    TPlotLinesRequest r;
    r.IsolineCount = line;
    r.CurveX = {1};
    r.CurveY = {2};
    r.PointCount = 1;
    air->PlotLines(13, r);
    EXPECT_EQ(r.PointCount, 0);
    EXPECT_TRUE(r.CurveX.empty());
  }
}

TEST_F(IdealGasPlotLinesTest, IsobarsRunOverThePlotRangeInEqualSteps) {
  auto air = Air();
  const TPlotLinesRequest ts = Ask(*air, 13, 1, 100);
  ASSERT_EQ(ts.PointCount, 48);
  for (int i = 0; i < 48; ++i) {
    EXPECT_NEAR(D(ts.CurveY[i]), 273.15 + i * 2726.85 / 47, 1e-9);
    if (i > 0) {
      EXPECT_GT(ts.CurveX[i], ts.CurveX[i - 1]);
    }
  }
  // The entropy change along the isobar from 300 K to 1000 K is
  // s0(1000) - s0(300) = 2.96770 - 1.70203 kJ/kg-K (Cengel and Boles,
  // Table A-17); the nearest points are close enough to interpolate.
  auto sAt = [&](double T) {
    const double step = 2726.85 / 47;
    const int i = static_cast<int>((T - 273.15) / step);
    const double lnT0 = std::log(D(ts.CurveY[i])), lnT1 = std::log(D(ts.CurveY[i + 1]));
    // s is close to linear in ln T between neighbours.
    const double g = (std::log(T) - lnT0) / (lnT1 - lnT0);
    return D(ts.CurveX[i]) + g * D(ts.CurveX[i + 1] - ts.CurveX[i]);
  };
  EXPECT_NEAR(sAt(1000) - sAt(300), 2.96770 - 1.70203, 0.005);
  // T-v isobar: v = RT/P at every point.
  const TPlotLinesRequest tv = Ask(*air, 23, 2, 200);
  ASSERT_EQ(tv.PointCount, 48);
  for (int i = 0; i < 48; i += 47) EXPECT_NEAR(D(tv.CurveX[i]), kAirR * D(tv.CurveY[i]) / 200, 1e-3 * D(tv.CurveX[i]));
  // h-s isobar: the T-s isobar's entropies with h(T) for Y. Interpolated
  // linearly between neighbours 58 K apart, h(1000 K) - h(300 K) =
  // 1046.04 - 300.19 kJ/kg (Table A-17).
  const TPlotLinesRequest hs = Ask(*air, 63, 1, 100);
  ASSERT_EQ(hs.PointCount, 48);
  for (int i = 0; i < 48; ++i) EXPECT_EQ(hs.CurveX[i], ts.CurveX[i]);
  auto hAt = [&](double T) {
    const double step = 2726.85 / 47;
    const int i = static_cast<int>((T - 273.15) / step);
    const double f = (T - D(ts.CurveY[i])) / step;
    return D(hs.CurveY[i]) + f * D(hs.CurveY[i + 1] - hs.CurveY[i]);
  };
  EXPECT_NEAR(hAt(1000) - hAt(300), 1046.04 - 300.19, 1.5);
  for (int i = 1; i < 48; ++i) EXPECT_GT(hs.CurveY[i], hs.CurveY[i - 1]);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(IdealGasPlotLinesTest, IsothermsFollowPvEqualsRT) {
  auto air = Air();
  const TPlotLinesRequest pv = Ask(*air, 33, 1, 500);
  ASSERT_EQ(pv.PointCount, 48);
  EXPECT_NEAR(D(pv.CurveY[0]), 10, 1e-12);
  EXPECT_NEAR(D(pv.CurveY[47]), 1000, 1e-9);
  for (int i = 0; i < 48; ++i) {
    EXPECT_NEAR(D(pv.CurveX[i] * pv.CurveY[i]), kAirR * 500, 1e-3 * kAirR * 500);
    // Equal ratios: 47 steps of 100^(1/47).
    if (i > 0) {
      EXPECT_NEAR(D(pv.CurveY[i] / pv.CurveY[i - 1]), std::pow(100.0, 1.0 / 47), 1e-12);
    }
  }
  // P-h isotherm: one enthalpy (h(500 K) - h(300 K) = 503.02 - 300.19
  // kJ/kg, Table A-17), pressures in equal steps.
  const TPlotLinesRequest ph300 = Ask(*air, 43, 1, 300);
  const TPlotLinesRequest ph500 = Ask(*air, 43, 1, 500);
  ASSERT_EQ(ph500.PointCount, 48);
  EXPECT_NEAR(D(ph500.CurveY[1] - ph500.CurveY[0]), 990.0 / 47, 1e-9);
  EXPECT_EQ(ph500.CurveX[0], ph500.CurveX[47]);
  EXPECT_NEAR(D(ph500.CurveX[0] - ph300.CurveX[0]), 503.02 - 300.19, 1.0);
}

TEST_F(IdealGasPlotLinesTest, IsothermPressureSpanFollowsThePressureUnit) {
  struct Case {
    uint8_t system, unit;
    double pMin, pMax;
  };
  // SI kPa, bar, Pa, MPa; English psia and atm.
  const Case cases[] = {{0, 0, 10, 1000}, {0, 1, 0.1, 10}, {0, 2, 10, 1e6}, {0, 3, 0.01, 1},
                        {1, 0, 1, 100},   {1, 1, 0.1, 10}};
  for (const Case& c : cases) {
    DocumentSettings.UnitSystem = c.system;
    DocumentSettings.PressureUnit = c.unit;
    auto air = Air();
    const TPlotLinesRequest r = Ask(*air, 33, 1, c.system == 0 ? 500 : 900);
    ASSERT_EQ(r.PointCount, 48);
    EXPECT_NEAR(D(r.CurveY[0]), c.pMin, 1e-12 * c.pMax) << int(c.system) << int(c.unit);
    EXPECT_NEAR(D(r.CurveY[47]), c.pMax, 1e-12 * c.pMax) << int(c.system) << int(c.unit);
  }
  // English psia and R: P v = R T with R = 0.3704 psia ft3/lbm-R.
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.PressureUnit = 0;
  auto air = Air();
  const TPlotLinesRequest r = Ask(*air, 33, 1, 900);
  for (int i = 0; i < 48; i += 47) EXPECT_NEAR(D(r.CurveX[i] * r.CurveY[i]), kAirREnglish * 900, 2e-3 * 333);
}

TEST_F(IdealGasPlotLinesTest, IsentropesOfAMonatomicGasByHand) {
  auto mono = Monatomic();
  constexpr double R = 8.31434 / 39.948;
  // The isentrope through 1000 K at 1000 kPa on P-v: points at pressures
  // 10 + 990 f; T = 1000 (P/1000)^0.4 >= 250 K keeps P >= 1000/4^2.5 =
  // 31.25 kPa, which drops f < 21.25/990, points 1 and 2.
  const Extended s = [&] {
    mono->ArgCount = 2;
    mono->ArgKind = {0, 1, 2, 0};
    TPropertyArgumentRecord a;
    a.Value = {0, 1000, 1000, 0};
    return mono->Entropy(a);
  }();
  const TPlotLinesRequest pv = Ask(*mono, 36, 1, s);
  ASSERT_EQ(pv.PointCount, 46);
  for (int i = 0; i < 46; ++i) {
    const double P = D(pv.CurveY[i]), v = D(pv.CurveX[i]);
    EXPECT_NEAR(P, 10 + (i + 2) * 990.0 / 47, 1e-9);
    // T2/T1 = (P2/P1)^(R/cp) with R/cp = 2/5.
    EXPECT_NEAR(P * v / R, 1000 * std::pow(P / 1000, 0.4), 1e-6 * 1000);
  }
  // On T-v, from 3500 K down to 250 K: T v^(2/3) is constant, so
  // v(T) = v1 (1000/T)^1.5 with v1 = R 1000/1000 at 1000 K and 1000 kPa.
  const TPlotLinesRequest tv = Ask(*mono, 26, 1, s);
  ASSERT_EQ(tv.PointCount, 48);
  const double v1 = R * 1000 / 1000;
  for (int i = 0; i < 48; ++i) {
    const double T = D(tv.CurveY[i]);
    EXPECT_NEAR(T, 3500 - i * 3250.0 / 47, 1e-9);
    EXPECT_NEAR(D(tv.CurveX[i]), v1 * std::pow(1000 / T, 1.5), 1e-6 * D(tv.CurveX[i]));
  }
  // P-h, pressures 10 * 100^f in equal ratios: T >= 250 K needs P >= 31.25
  // kPa, f >= log(3.125)/log(100) = 0.2474, so points 13 to 48 stay; along
  // the line h differs by cp (T2 - T1) with cp = 5/2 R.
  const TPlotLinesRequest ph = Ask(*mono, 46, 1, s);
  ASSERT_EQ(ph.PointCount, 36);
  auto tOf = [](double P) { return 1000 * std::pow(P / 1000, 0.4); };
  for (int i = 0; i < 36; ++i) {
    EXPECT_NEAR(D(ph.CurveY[i]), 10 * std::pow(100.0, (i + 12) / 47.0), 1e-9);
    EXPECT_NEAR(D(ph.CurveX[i] - ph.CurveX[0]), 2.5 * R * (tOf(D(ph.CurveY[i])) - tOf(D(ph.CurveY[0]))), 1e-6);
  }
  // T-s isochore of v = 0.208129 m3/kg (1000 K, 1000 kPa):
  // s - s(1000 K) = cv ln(T/1000), cv = 3/2 R.
  const TPlotLinesRequest ts = Ask(*mono, 16, 1, v1);
  ASSERT_EQ(ts.PointCount, 48);
  for (int i = 0; i < 48; i += 11)
    EXPECT_NEAR(D(ts.CurveX[i] - s), 1.5 * R * std::log(D(ts.CurveY[i]) / 1000), 1e-6);
}

TEST_F(IdealGasPlotLinesTest, IsentropeKeepsTheSamePointsInCelsius) {
  auto air = Air();
  const Extended s = Ask(*air, 35).IsolineValues[0];
  const TPlotLinesRequest kelvin = Ask(*air, 36, 1, s);
  EXPECT_GT(kelvin.PointCount, 0);
  EXPECT_LT(kelvin.PointCount, 48);
  DocumentSettings.AbsoluteTemperature = 0;
  auto airC = Air();
  const TPlotLinesRequest celsius = Ask(*airC, 36, 1, s);
  ASSERT_EQ(celsius.PointCount, kelvin.PointCount);
  for (int i = 0; i < celsius.PointCount; ++i) {
    EXPECT_NEAR(D(celsius.CurveX[i]), D(kelvin.CurveX[i]), 1e-9);
    EXPECT_EQ(celsius.CurveY[i], kelvin.CurveY[i]);
  }
}

}  // namespace
}  // namespace voq
