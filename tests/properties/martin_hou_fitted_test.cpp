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
