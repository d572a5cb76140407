// The steam formulation core: saturation, ice and the single-phase state.
#include <gtest/gtest.h>

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "properties/steam_nbs_core.h"

namespace voq {
namespace {

class SteamCoreTest : public ::testing::Test {
 protected:
  void SetUp() override { InitSteamNBSCoefficients(); }
};

Extended Relative(Extended value, Extended reference) { return std::fabs(value / reference - 1); }

// u, h and s are zero at the saturated liquid at the triple point (the
// formulation's own reference state).
TEST_F(SteamCoreTest, TriplePointLiquidIsTheReferenceState) {
  const TSteamSatState sat = SteamSatStateAtT(273.16L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_LT(std::fabs(sat.uf), 0.001L);
  EXPECT_LT(std::fabs(sat.hf), 0.001L);
  EXPECT_LT(std::fabs(sat.sf), 0.001L);
  // IAPWS-95 triple-point pressure 0.611657 kPa (Wagner and Pruss 2002).
  EXPECT_NEAR(sat.P, 0.611657L, 0.0005L);
}

// IAPWS 2011 sublimation pressure (Wagner, Riethmann, Feistel and Harvey,
// J. Phys. Chem. Ref. Data 40 (2011) 043103): 0.25987 kPa at 263.15 K and
// 0.19580 kPa at 260 K (steam_iapws95_reference.py).
TEST_F(SteamCoreTest, SublimationPressureAndTemperature) {
  EXPECT_NEAR(WaterSatPressure(263.15L) * 1000, 0.2599L, 0.00005L);
  EXPECT_NEAR(WaterSatPressure(260) * 1000, 0.19580L, 0.0001L);
  EXPECT_NEAR(WaterSatTemperature(0.25987L), 263.15L, 0.01L);
  EXPECT_EQ(CalcErrorCode, 0);
}

// IAPWS-95 saturated states at 101.325 kPa (python3-iapws, see
// steam_iapws95_reference.py): T 373.12430 K, hf 419.0577, hg 2675.5293
// kJ/kg, sf 1.306921, sg 7.354427 kJ/kg-K, vf 1.04344106e-3, vg 1.6732011
// m3/kg. The formulation's temperature scale puts the normal boiling point
// at 373.15 K.
TEST_F(SteamCoreTest, NormalBoilingPointAgainstIapws95) {
  const TSteamSatState sat = SteamSatStateAtT(373.15L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_LT(Relative(sat.P, 101.325L), 1e-4L);
  EXPECT_LT(Relative(sat.hf, 419.0577L), 2e-4L);
  EXPECT_LT(Relative(sat.hg, 2675.5293L), 2e-4L);
  EXPECT_LT(Relative(sat.sf, 1.306921L), 2e-4L);
  EXPECT_LT(Relative(sat.sg, 7.354427L), 2e-4L);
  EXPECT_LT(Relative(sat.vf, 1.04344106e-3L), 2e-4L);
  EXPECT_LT(Relative(sat.vg, 1.6732011L), 5e-4L);
  EXPECT_NEAR(sat.uf, sat.hf - sat.P * sat.vf, 1e-6L);
}

TEST_F(SteamCoreTest, SaturationTemperatureFromTheAuxiliaryEquation) {
  // IAPWS-95 normal boiling point 373.1243 K; the auxiliary equation is
  // within 0.001 K of it.
  EXPECT_NEAR(WaterSatTemperature(101.325L), 373.1243L, 0.001L);
  EXPECT_EQ(CalcErrorCode, 0);
  const Extended nearCritical = WaterSatTemperature(22064);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_GT(nearCritical, 647);
  EXPECT_LT(nearCritical, 647.15L);

  struct Case {
    Extended P;
    int32_t error;
  };
  for (const Case& c : {Case{22065, kMsgAboveCriticalPoint}, Case{-1, kMsgPressureBecameNegative}}) {
    CalcErrorCode = 0;
    EXPECT_EQ(WaterSatTemperature(c.P), 999) << c.P;
    EXPECT_EQ(CalcErrorCode, c.error) << c.P;
  }
}

TEST_F(SteamCoreTest, SaturatedStatesNearAndAboveTheCriticalPoint) {
  const TSteamSatState above = SteamSatStateAtT(647.2L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  EXPECT_EQ(above.hf, 999);
  EXPECT_EQ(above.vg, 999);

  CalcErrorCode = 0;
  // 647.0 K uses the near-critical density approximations: densities of
  // 0.32055176 + 1.3981 w^0.43822 and 0.32356942 - 1.29490281 w^0.4282
  // g/cm3 with w = 1 - 647/647.1422 (hand calculation).
  const TSteamSatState near = SteamSatStateAtT(647.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  const double w = 1 - 647.0 / 647.1422;
  EXPECT_NEAR(near.vf, 0.001 / (0.32055176 + 1.3981 * std::pow(w, 0.43822)), 1e-12);
  EXPECT_NEAR(near.vg, 0.001 / (0.32356942 - 1.29490281 * std::pow(w, 0.4282)), 1e-12);
  EXPECT_LT(near.hf, near.hg);
}

TEST_F(SteamCoreTest, BelowTheTriplePointIceMeetsVapour) {
  const TSteamSatState sat = SteamSatStateAtT(260);
  EXPECT_EQ(CalcErrorCode, 0);
  // Ice Ih of IAPWS R10-06 (python3-iapws, iapws._iapws._Ice) at 260 K and
  // its sublimation pressure: 918.60 kg/m3, h -360.40 kJ/kg, s -1.32181
  // kJ/kg-K.
  EXPECT_NEAR(1 / sat.vf, 918.60L, 0.5L);
  EXPECT_NEAR(sat.hf, -360.40L, 0.2L);
  EXPECT_NEAR(sat.sf, -1.32181L, 0.001L);
  EXPECT_NEAR(sat.P, 0.19580L, 0.0002L);
  EXPECT_GT(sat.vg, 500);
}

TEST_F(SteamCoreTest, SingleStatePhaseIndicator) {
  struct Case {
    Extended T, P, x;
  };
  const Case cases[] = {
      {300, 101.325L, -100},      // compressed liquid
      {400, 101.325L, 100},       // superheated vapour
      {700, 30000, 100},          // above the critical temperature
      {263.15L, 0.3L, -100},      // ice above the sublimation pressure (0.2599 kPa)
      {263.15L, 0.25L, 100},      // vapour below it
  };
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    const TSteamPointState st = SteamStateAtTP(c.T, c.P);
    EXPECT_EQ(CalcErrorCode, 0) << c.T << " " << c.P;
    EXPECT_EQ(st.x, c.x) << c.T << " " << c.P;
  }
  // IAPWS R10-06 at 263.15 K and 101.325 kPa: 918.17 kg/m3, h -353.96
  // kJ/kg (python3-iapws).
  const TSteamPointState ice = SteamStateAtTP(263.15L, 101.325L);
  EXPECT_NEAR(1 / ice.v, 918.17L, 0.5L);
  EXPECT_NEAR(ice.h, -353.96L, 0.3L);
}

}  // namespace
}  // namespace voq
