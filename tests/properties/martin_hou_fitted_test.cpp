// The fitted records of fluids 10 to 25 against the reference data they
// were fitted to (tests/data/martin-hou/*.tsv: CoolProp 8.0.0, converted to
// English units; each file's header names the fluid model and reference
// state). Tolerances, by quantity:
// - bubble (saturation) pressure over the SAT rows: 0.5 % at most, 0.1 % rms;
// - dew pressure of a blend with fitted dew fields: the same;
// - saturated-liquid density: 0.5 %;
// - P(v, T) over the single-phase rows with v >= vc: 2 % at most (2.5 % for
//   helium), 0.5 % rms;
// - latent heat over the SAT rows up to 0.9 Tc: 2 %;
// - h and s of the saturated liquid at the file's reference point (-40 F,
//   or the normal boiling point): within 0.05 Btu/lbm and 1e-4 Btu/(lbm R)
//   of 0.
// Exceptions, each for a stated reason:
// - R407C: the data's bubble line ends some 3 % above the record's critical
//   pressure at the record's Tc; the record is made to meet its Pc (see
//   MartinHouData.SaturationPressureReachesPc), which costs its last two
//   rows above 0.95 Tc up to 1 % (rms 0.25 %). Its dew pressure and latent
//   heat are the program's own fields, not refitted: the dew pressure lies
//   up to 5 % from the data's, the latent heat within the common 2 %.
// - R410A: the equation-of-state terms are the published ones, fitted to the
//   vapour only: P(v, T) is compared on rows up to the critical pressure.
#include <gtest/gtest.h>

#include <cmath>

#include "martin_hou_reference.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"

namespace voq {
namespace {

struct FittedCase {
  int32_t fluid;
  double pvtMax = 0.02;
  double satRms = 0.001;
  double satMaxAbove95 = 0.005;  // bubble pressure above 0.95 Tc
  double pvtMaxPressure = 1e30;   // PVT rows compared up to this pressure
  bool fittedDew = true;
  double dewMax = 0.005;
};

double Rms(double sumSquares, int n) { return n > 0 ? std::sqrt(sumSquares / n) : 0; }

TEST(MartinHouFitted, RecordsReproduceTheirData) {
  std::vector<FittedCase> cases;
  for (int32_t n = 10; n <= 25; ++n) {
    FittedCase c;
    c.fluid = n;
    if (n == 16) c.pvtMax = 0.025;
    if (n == 21) {
      c.satRms = 0.0025;
      c.satMaxAbove95 = 0.01;
      c.fittedDew = false;
      c.dewMax = 0.05;
    }
    if (n == 22) c.pvtMaxPressure = 714.5;
    cases.push_back(c);
  }
  for (const FittedCase& c : cases) {
    const std::string name = MartinHouFluidName(c.fluid);
    SCOPED_TRACE(name);
    const test::MartinHouReference data = test::ReadMartinHouReference(name);
    ASSERT_FALSE(data.sat.empty());
    ASSERT_FALSE(data.pvt.empty());
    const MartinHouCoefRecord& record = *LoadMartinHouCoefficients(c.fluid);
    SetMartinHouCurrentFluid(c.fluid, record);
    const double tc = record[kMhTc];
    const bool blend = record[kMhBlendValue] > 0.001;

    double sumP = 0, maxP = 0, maxPHigh = 0, maxDew = 0, maxRho = 0, maxLatent = 0;
    int nP = 0;
    for (const test::MartinHouSatRow& row : data.sat) {
      const Extended T = row.T;
      const double p = static_cast<double>(MartinHouSatPressure(T));
      const double e = p / row.pBubble - 1;
      double& bound = row.T <= 0.95 * tc ? maxP : maxPHigh;
      bound = std::fmax(bound, std::fabs(e));
      sumP += e * e;
      ++nP;
      if (blend) maxDew = std::fmax(maxDew, std::fabs(static_cast<double>(MartinHouDewPressure(T)) / row.pDew - 1));
      maxRho = std::fmax(maxRho, std::fabs(static_cast<double>(MartinHouSatLiquidDensity(T)) / row.rhoF - 1));
      if (row.T <= 0.9 * tc) {
        const Extended vf = 1 / MartinHouSatLiquidDensity(T);
        const Extended vg = MartinHouVaporVolume(p, T);
        const double hfg = static_cast<double>(MartinHouLatentHeat(p, vf, vg, T));
        maxLatent = std::fmax(maxLatent, std::fabs(hfg / (row.hG - row.hF) - 1));
      }
    }
    EXPECT_LE(maxP, 0.005);
    EXPECT_LE(maxPHigh, c.satMaxAbove95);
    EXPECT_LE(Rms(sumP, nP), c.satRms);
    if (blend) {
      EXPECT_LE(maxDew, c.dewMax);
    }
    EXPECT_LE(maxRho, 0.005);
    EXPECT_LE(maxLatent, 0.02);

    double sumV = 0, maxV = 0;
    int nV = 0;
    for (const test::MartinHouPvtRow& row : data.pvt) {
      if (row.v < record[kMhVc] || row.P > c.pvtMaxPressure) continue;
      const double e = static_cast<double>(MartinHouPressure(row.v, row.T)) / row.P - 1;
      maxV = std::fmax(maxV, std::fabs(e));
      sumV += e * e;
      ++nV;
    }
    EXPECT_GT(nV, 100);
    EXPECT_LE(maxV, c.pvtMax);
    EXPECT_LE(Rms(sumV, nV), 0.005);

    // The saturated liquid at the reference point: the vapour (at the dew
    // pressure for a blend) less the latent heat.
    const Extended T = data.referenceT;
    const Extended p = blend ? MartinHouDewPressure(T) : MartinHouSatPressure(T);
    const Extended vf = 1 / MartinHouSatLiquidDensity(T);
    const Extended vg = MartinHouVaporVolume(p, T);
    const Extended hfg = MartinHouLatentHeat(MartinHouSatPressure(T), vf, vg, T);
    EXPECT_NEAR(static_cast<double>(MartinHouEnthalpy(T, vg, p) - hfg), 0.0, 0.05);
    EXPECT_NEAR(static_cast<double>(MartinHouEntropy(vg, T) - hfg / T), 0.0, 1e-4);
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// R410A's equation of state is the published SI one (Modelica Buildings
// library, Buildings.Media.Refrigerants.R410A: R = 114.55 J/(kg K),
// b = 4.355134e-4 m3/kg, K = 5.75, Tc = 345.25 K), evaluated here in SI and
// compared with the record in English units. The record keeps its own R
// (0.147852 against 0.1478511 converted) and b (0.006976251 against
// 0.0069762554), so the two agree to a few parts in 1e5.
TEST(MartinHouFitted, R410AEquationMatchesThePublishedSiForm) {
  const double a[4] = {-1.721781e2, 2.381558e-1, -4.329207e-4, -6.241072e-7};
  const double b[4] = {1.646288e-1, -1.462803e-5, 0, 1.380469e-9};
  const double c[4] = {-6.293665e3, 1.532461e1, 0, 1.604125e-4};
  auto pressureSi = [&](double v, double t) {
    const double w = v - 4.355134e-4;
    const double e = std::exp(-5.75 * t / 345.25);
    double p = 114.55 * t / w;
    for (int i = 0; i < 4; ++i) p += (a[i] + b[i] * t + c[i] * e) / std::pow(w, i + 2);
    return p;
  };
  const double psia = 6894.757293168;                      // Pa
  const double ft3PerLbm = 0.028316846592 / 0.45359237;  // m3/kg
  SetMartinHouCurrentFluid(22, *LoadMartinHouCoefficients(22));
  const double states[][2] = {{0.05, 300.0}, {0.01, 330.0}, {0.02, 380.0}, {0.2, 250.0}};  // m3/kg, K
  for (const auto& s : states) {
    const double english = static_cast<double>(MartinHouPressure(s[0] / ft3PerLbm, s[1] * 1.8)) * psia;
    EXPECT_NEAR(english / pressureSi(s[0], s[1]), 1.0, 5e-5) << s[0] << " " << s[1];
  }
  // cv0 = cp0 - R with the published cp0 = 1000 (a0 + a1 T + a2 T^2 + a3 T^3)
  // J/(kg K), T in K; 1 Btu/(lbm R) = 4186.8 J/(kg K).
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(22);
  for (double tK : {200.0, 300.0, 400.0}) {
    const double cp0 = 1000 * (2.676087e-1 + tK * (2.115353e-3 + tK * (-9.848184e-7 + tK * 6.493781e-11)));
    const double t = tK * 1.8;
    const double cv0 = r[kMhCv0A] + t * (r[kMhCv0B] + t * (r[kMhCv0C] + t * r[kMhCv0D])) + r[kMhCv0F] / (t * t);
    EXPECT_NEAR(cv0 * 4186.8 / (cp0 - 114.55), 1.0, 1e-12) << tK;
  }
}

}  // namespace
}  // namespace voq
