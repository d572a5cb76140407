// Ammonia, helium, oxygen and air by their high-accuracy equations of state:
// the catalogue names, saturation, single-phase densities against the
// publications, helium's liquid conductivity, air's bubble and dew sides,
// and the state from every pair of arguments for each fluid.
//
// Left out here: liquid heat capacities and sound speeds, which go through
// the shared Cv by differences of states.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "eos_call.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

using testing::Call;
using testing::State;
using testing::UseSiMassKpaKjK;
using testing::kH;
using testing::kP;
using testing::kS;
using testing::kT;
using testing::kU;
using testing::kV;
using testing::kX;

std::unique_ptr<TGeneralEosFamilyA> Make(const char* name) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  const int32_t row = FindSubstanceRow(name);
  EXPECT_GT(row, 0) << name;
  auto* eos = dynamic_cast<TGeneralEosFamilyA*>(CreatePropertyObject(row));
  EXPECT_NE(eos, nullptr) << name;
  EXPECT_EQ(CalcErrorCode, 0) << name;
  return std::unique_ptr<TGeneralEosFamilyA>(eos);
}

bool Close(Extended got, Extended want, Extended rel) {
  return std::fabs(got - want) <= rel * std::fmax(std::fabs(want), 1e-12L);
}

TEST(HelmholtzFluidsTest, CatalogueNamesGiveTheirModels) {
  const std::pair<const char*, int32_t> cases[] = {
      {"Ammonia", 50}, {"R717", 50}, {"Helium", 33}, {"Oxygen", 31}, {"Air_ha", 74}};
  for (const auto& [name, row] : cases) {
    auto o = Make(name);
    ASSERT_NE(o, nullptr) << name;
    EXPECT_EQ(o->CatalogRow, row) << name;
  }
  // "R717" is the same model as "Ammonia": the same state to the last bit.
  auto r717 = Make("R717");
  auto ammonia = Make("Ammonia");
  const std::array<Extended, 8> a = State(*r717, kT, 300, kP, 500);
  const std::array<Extended, 8> b = State(*ammonia, kT, 300, kP, 500);
  ASSERT_EQ(CalcErrorCode, 0);
  for (size_t k = 1; k <= 7; ++k) EXPECT_EQ(a[k], b[k]) << k;
}

struct TSatCase {
  const char* fluid;
  Extended X;
  Extended T;  // K at 101.325 kPa
  Extended tol;
};

// Normal boiling points. Ammonia 239.823 K: Tillner-Roth, Harms-Watzenberg
// and Baehr (1993) (python3-iapws 1.5, the same equation: 239.8236 K).
// Oxygen 90.188 K: Schmidt and Wagner (1985), NIST Chemistry WebBook. Helium
// 4.222 K: McCarty and Arp (1990). Air bubble point 78.903 K and dew point
// 81.720 K: Lemmon et al. (2000).
const TSatCase kNormalBoilingPoints[] = {
    {"Ammonia", 0, 239.823L, 0.02L}, {"Oxygen", 0, 90.188L, 0.01L}, {"Helium", 0, 4.222L, 0.01L},
    {"Air_ha", 0, 78.903L, 0.01L},   {"Air_ha", 1, 81.720L, 0.01L},
};

TEST(HelmholtzFluidsTest, SaturationTemperatureAtOneAtmosphere) {
  for (const TSatCase& c : kNormalBoilingPoints) {
    auto o = Make(c.fluid);
    const Extended T = o->SatTemperature(101.325L, c.X);
    EXPECT_EQ(CalcErrorCode, 0) << c.fluid;
    EXPECT_NEAR(static_cast<double>(T), static_cast<double>(c.T), static_cast<double>(c.tol)) << c.fluid << " X "
                                                                                                 << c.X;
  }
}

TEST(HelmholtzFluidsTest, VapourPressureAncillariesAtTheirEnds) {
  auto ammonia = Make("Ammonia");
  // The equation's own vapour pressure at 239.82 K is 101.307 kPa
  // (python3-iapws 1.5); the ancillary is within 0.03 kPa of it.
  EXPECT_NEAR(static_cast<double>(ammonia->SatPressure(239.82L, 0)), 101.307, 0.03);
  // At TCrit the fitted temperature polynomial sums to ln 0.998893 (hand
  // evaluation), so the ancillary ends just below the critical pressure.
  EXPECT_NEAR(static_cast<double>(ammonia->SatPressure(ammonia->TCrit, 0) / ammonia->PCrit), 0.998893, 1e-6);
  // Above TCrit theta^1.5 vanishes: 11333 exp(-3592.871/420 + 14.23649 -
  // 0.02202347 420 + 2.162013e-5 420^2) = 14493.316 kPa by hand.
  EXPECT_NEAR(static_cast<double>(ammonia->SatPressure(420, 0)), 14493.316, 0.01);
  for (const char* name : {"Oxygen", "Nitrogen"}) {
    auto o = Make(name);
    EXPECT_EQ(o->SatPressure(o->TCrit, 0), o->PCrit) << name;
  }
  // Helium's vapour ancillary at its critical temperature stays finite (its
  // scale variable is floored) and lands near the critical density, 17.3837
  // mol/dm3 = 69.58 kg/m3 (McCarty and Arp 1990).
  auto helium = Make("Helium");
  const Extended rhoV = helium->SatVaporDensity(helium->TCrit);
  EXPECT_TRUE(std::isfinite(rhoV));
  EXPECT_NEAR(static_cast<double>(rhoV), 69.58, 7);
}

struct TDensityCase {
  const char* fluid;
  Extended T, P;  // K, kPa
  Extended rho;   // kg/m3
};

// Single-phase densities, agreement within 0.1 %.
//   Ammonia: python3-iapws 1.5 (iapws.ammonia, the Tillner-Roth,
//     Harms-Watzenberg and Baehr equation).
//   Oxygen: NIST Chemistry WebBook, isobar 0.02 MPa (Schmidt and Wagner
//     1985): 1262.6 at 64.361 K, 0.77832 at 99.361 K, 0.59635 at 129.36 K;
//     dense gas from CoolProp 8.0.0 (HEOS "Oxygen", the same equation), rows
//     of tests/data/martin-hou/Oxygen.tsv converted from 361.7625726 R,
//     2900.754755 psia, 0.02794499943 ft3/lbm and 445.2462432 R, 759.773967
//     psia, 0.182543364 ft3/lbm.
//   Air: python3-iapws 1.5 (iapws.humidAir.Air, Lemmon et al. 2000).
//   Helium gas: virial expansion Z = 1 + B rho + C rho^2 with B and C of NIST
//     SRD 134 (11.798 cm3/mol and 105.04 cm6/mol2 at 300 K; 11.636 and
//     115.30 at 100 K), by hand. No helium liquid or cold dense gas here:
//     the tables of the 1990 equation were not at hand, and the later
//     helium equation departs from it by up to 1 % there.
const TDensityCase kDensities[] = {
    {"Ammonia", 300, 100, 0.68976L},     {"Ammonia", 250, 1000, 669.635L}, {"Ammonia", 400, 5000, 31.8568L},
    {"Oxygen", 64.361L, 20, 1262.6L},    {"Oxygen", 99.361L, 20, 0.77832L}, {"Oxygen", 129.36L, 20, 0.59635L},
    {"Oxygen", 200.979207L, 20000, 573.21395L}, {"Oxygen", 247.359024L, 5238.4571L, 87.75155L},
    {"Air_ha", 300, 100, 1.16160L},      {"Air_ha", 80, 1000, 872.403L},   {"Air_ha", 200, 10000, 214.144L},
    {"Helium", 300, 100, 0.160392L},     {"Helium", 100, 1000, 4.74772L},
};

TEST(HelmholtzFluidsTest, SinglePhaseDensitiesMatchThePublications) {
  for (const TDensityCase& c : kDensities) {
    auto o = Make(c.fluid);
    const std::array<Extended, 8> s = State(*o, kT, c.T, kP, c.P);
    ASSERT_EQ(CalcErrorCode, 0) << c.fluid << " " << static_cast<double>(c.T);
    EXPECT_TRUE(s[kX] == 100 || s[kX] == -100) << c.fluid;
    const Extended rho = 1 / s[kV];
    EXPECT_TRUE(Close(rho, c.rho, 1e-3L)) << c.fluid << " at " << static_cast<double>(c.T) << " K, "
                                          << static_cast<double>(c.P) << " kPa: " << static_cast<double>(rho);
  }
}

// Helium's liquid conductivity is tabulated every 0.1 K from 2.2 to 5.1 K
// (0.0148, 0.0155 ... 0.0222, 0.0263 W/m-K) and read linearly in between.
TEST(HelmholtzFluidsTest, HeliumLiquidConductivityTable) {
  auto helium = Make("Helium");
  const std::pair<Extended, Extended> cases[] = {{2.2L, 0.0148L}, {2.25L, 0.01515L}, {5.0L, 0.0222L},
                                                 {5.05L, 0.02425L}, {5.1L, 0.0263L}};
  for (const auto& [T, k] : cases) {
    CalcErrorCode = 0;
    EXPECT_NEAR(static_cast<double>(helium->LiquidConductivityA(T)), static_cast<double>(k), 1e-9) << T;
    EXPECT_EQ(CalcErrorCode, 0);
  }
  helium->LiquidConductivityA(5.2L);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
}

TEST(HelmholtzFluidsTest, AirBubbleAndDewSides) {
  auto air = Make("Air_ha");
  // At the maximum condentherm the two ancillaries meet at its pressure.
  EXPECT_NEAR(static_cast<double>(air->BubblePressure(132.6312L)), 3785.02, 1e-9);
  EXPECT_NEAR(static_cast<double>(air->DewPressure(132.6312L)), 3785.02, 1e-9);
  // Below it the bubble pressure lies above the dew pressure and a side X
  // between them interpolates linearly.
  const Extended bubble = air->BubblePressure(90);
  const Extended dew = air->DewPressure(90);
  EXPECT_GT(bubble, dew);
  EXPECT_NEAR(static_cast<double>(air->SatPressure(90, 0.5L)), static_cast<double>((bubble + dew) / 2), 1e-9);
  EXPECT_EQ(air->SatPressure(90, 0), bubble);
  EXPECT_EQ(air->SatPressure(90, 1), dew);
  // The critical-point slots report the true critical point (Lemmon et al.
  // 2000: 132.5306 K, 3.786 MPa), below the reducing temperature.
  UnitConversionEnabled = false;
  EXPECT_NEAR(static_cast<double>(air->T_crit()), 132.5306, 1e-9);
  EXPECT_TRUE(UnitConversionEnabled);
  EXPECT_NEAR(static_cast<double>(air->P_crit()), 3786, 1e-9);
  EXPECT_NEAR(static_cast<double>(air->v_crit()), 0.0844608861636176287 / 28.9586, 1e-15);
  EXPECT_LT(air->T_crit(), air->TCrit);
  // Above the reducing temperature both saturated densities are the reducing
  // density 10.4477 mol/dm3.
  EXPECT_NEAR(static_cast<double>(air->SatLiquidDensity(140)), 10.4477 * 28.9586, 1e-9);
  EXPECT_NEAR(static_cast<double>(air->SatVaporDensity(140)), 10.4477 * 28.9586, 1e-9);
}

TEST(HelmholtzFluidsTest, AirTwoPhaseStates) {
  auto air = Make("Air_ha");
  const Extended P = 1000;
  const Extended Tb = air->SatTemperature(P, 0);
  const Extended Td = air->SatTemperature(P, 1);
  ASSERT_LT(Tb, Td);
  // (P, h) inside the dome: a temperature between the bubble and dew
  // temperatures in proportion to the quality.
  const std::array<Extended, 8> liquid = State(*air, kP, P, kX, 0);
  const std::array<Extended, 8> vapour = State(*air, kP, P, kX, 1);
  for (const Extended x : {0.25L, 0.5L, 0.75L}) {
    const Extended h = liquid[kH] + x * (vapour[kH] - liquid[kH]);
    const std::array<Extended, 8> s = State(*air, kP, P, kH, h);
    ASSERT_EQ(CalcErrorCode, 0) << x;
    EXPECT_NEAR(static_cast<double>(s[kX]), static_cast<double>(x), 1e-6);
    EXPECT_NEAR(static_cast<double>(s[kT]), static_cast<double>(Tb + x * (Td - Tb)), 1e-6);
  }
  // (T, v) and (T, h) inside the dome carry the dew pressure whatever the
  // quality.
  const Extended T = 100;
  const Extended vl = 1 / air->SatLiquidDensity(T);
  const Extended vv = 1 / air->SatVaporDensity(T);
  for (const Extended x : {0.1L, 0.5L, 0.9L}) {
    const std::array<Extended, 8> byV = State(*air, kT, T, kV, vl + x * (vv - vl));
    ASSERT_EQ(CalcErrorCode, 0) << x;
    EXPECT_NEAR(static_cast<double>(byV[kX]), static_cast<double>(x), 1e-9);
    EXPECT_NEAR(static_cast<double>(byV[kP]), static_cast<double>(air->DewPressure(T)), 1e-9);
    // (T, h) weighs saturated ends whose enthalpies carry the bubble and
    // dew pressures, so its quality departs from the volume's by up to
    // (P_bubble - P_dew) v_liquid over the latent heat.
    const std::array<Extended, 8> byH = State(*air, kT, T, kH, byV[kH]);
    ASSERT_EQ(CalcErrorCode, 0) << x;
    EXPECT_NEAR(static_cast<double>(byH[kP]), static_cast<double>(air->DewPressure(T)), 1e-9);
    EXPECT_NEAR(static_cast<double>(byH[kX]), static_cast<double>(x), 1e-3);
  }
}

// ---- Every pair ----------------------------------------------------------

struct TGridPoint {
  const char* fluid;
  const char* name;
  Extended T;
  Extended rho;  // kg/m3
  bool twoPhase;
};

// Compressed liquid, two-phase, vapour and supercritical points of each
// fluid, placed by its critical point (ammonia 405.4 K, 11.33 MPa, 225
// kg/m3; helium 5.195 K, 0.2275 MPa, 69.6 kg/m3; oxygen 154.58 K, 5.04 MPa,
// 436 kg/m3; air's maximum condentherm 132.63 K, 3.785 MPa, 302.5 kg/m3) and
// just denser than the saturated liquid of its temperature (ammonia 682 and
// 600 kg/m3 at 240 and 300 K, helium 141 kg/m3 at 3 K, oxygen 1142 and 974
// kg/m3 at 90 and 120 K, air 847 kg/m3 at 85 K). The liquids stay below
// the critical pressure, where (T, P) labels them as liquid.
const TGridPoint kGrid[] = {
    {"Ammonia", "liquid 240 K", 240, 684, false},
    {"Ammonia", "liquid 300 K", 300, 602, false},
    {"Ammonia", "two-phase 250 K", 250, 10, true},
    {"Ammonia", "two-phase 350 K", 350, 200, true},
    {"Ammonia", "vapour 300 K", 300, 3, false},
    {"Ammonia", "supercritical 450 K", 450, 150, false},
    {"Ammonia", "supercritical 600 K", 600, 20, false},
    {"Helium", "liquid 3 K", 3, 142, false},
    {"Helium", "two-phase 4 K", 4, 50, true},
    {"Helium", "vapour 4.5 K", 4.5L, 10, false},
    {"Helium", "supercritical 10 K", 10, 20, false},
    {"Helium", "supercritical 300 K", 300, 1, false},
    {"Oxygen", "liquid 90 K", 90, 1145, false},
    {"Oxygen", "liquid 120 K", 120, 980, false},
    {"Oxygen", "two-phase 100 K", 100, 300, true},
    {"Oxygen", "two-phase 140 K", 140, 200, true},
    {"Oxygen", "vapour 120 K", 120, 20, false},
    {"Oxygen", "supercritical 200 K", 200, 300, false},
    {"Oxygen", "supercritical 290 K", 290, 10, false},
    {"Air_ha", "liquid 85 K", 85, 850, false},
    {"Air_ha", "vapour 100 K", 100, 10, false},
    {"Air_ha", "supercritical 200 K", 200, 100, false},
    {"Air_ha", "supercritical 1000 K", 1000, 10, false},
};

const std::vector<std::pair<int32_t, int32_t>> kPairs = {
    {kT, kP}, {kT, kH}, {kT, kU}, {kT, kS}, {kT, kV}, {kP, kH}, {kP, kU}, {kP, kS}, {kP, kV}, {kH, kS},
    {kU, kS}, {kH, kV}, {kU, kV}, {kS, kV}, {kT, kX}, {kP, kX}, {kH, kX}, {kU, kX}, {kS, kX}, {kV, kX}};

TEST(HelmholtzFluidsTest, EveryPairSolvesBackToTheStateItCameFrom) {
  for (const TGridPoint& g : kGrid) {
    auto o = Make(g.fluid);
    const std::array<Extended, 8> ref = State(*o, kT, g.T, kV, 1 / g.rho);
    ASSERT_EQ(CalcErrorCode, 0) << g.fluid << " " << g.name;
    const bool twoPhase = ref[kX] >= 0 && ref[kX] <= 1;
    ASSERT_EQ(twoPhase, g.twoPhase) << g.fluid << " " << g.name << " x " << static_cast<double>(ref[kX]);
    const Extended hSatLiquid = g.T < o->TCrit ? Call(*o, kH, kT, g.T, kX, 0) : 0;
    for (const auto& [k1, k2] : kPairs) {
      if ((k2 == kX) != twoPhase) continue;
      // A compressed liquid above the saturated-liquid h of its temperature
      // reads as two-phase by (T, h).
      if (k1 == kT && k2 == kH && ref[kX] == -100 && ref[kH] > hSatLiquid) continue;
      // (T, P) on the saturation line names no phase.
      if (twoPhase && k1 == kT && k2 == kP) continue;
      const std::array<Extended, 8> got =
          State(*o, k1, ref[static_cast<size_t>(k1)], k2, ref[static_cast<size_t>(k2)]);
      const std::string where =
          std::string(g.fluid) + " " + g.name + " pair " + std::to_string(k1) + "," + std::to_string(k2);
      EXPECT_EQ(CalcErrorCode, 0) << where;
      if (CalcErrorCode != 0) continue;
      EXPECT_TRUE(Close(got[kT], ref[kT], 1e-6L)) << where << " T " << static_cast<double>(got[kT]);
      EXPECT_TRUE(Close(got[kP], ref[kP], 1e-6L)) << where << " P " << static_cast<double>(got[kP]) << " want "
                                                << static_cast<double>(ref[kP]);
      EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ref[kX]), 1e-6) << where;
    }
  }
}

// Air's two-phase states come in three families that are built differently
// and do not solve into each other: (T, v) and (T, y) at the dew pressure;
// (T, x) and (P, x) on the X-weighted saturation pressure; (P, y) with the
// temperature between the bubble and dew temperatures. Each family solves
// back within itself.
TEST(HelmholtzFluidsTest, AirTwoPhaseFamiliesSolveBackWithinThemselves) {
  auto air = Make("Air_ha");
  for (const Extended T : {85.0L, 100.0L, 120.0L}) {
    const Extended vl = 1 / air->SatLiquidDensity(T);
    const Extended vv = 1 / air->SatVaporDensity(T);
    for (const Extended x : {0.2L, 0.7L}) {
      const std::string where =
          std::to_string(static_cast<double>(T)) + " K x " + std::to_string(static_cast<double>(x));
      // Dew-pressure family.
      const std::array<Extended, 8> ref = State(*air, kT, T, kV, vl + x * (vv - vl));
      ASSERT_EQ(CalcErrorCode, 0) << where;
      for (const int32_t k : {kU, kS}) {
        const std::array<Extended, 8> got = State(*air, kT, T, k, ref[static_cast<size_t>(k)]);
        EXPECT_EQ(CalcErrorCode, 0) << where << " kind " << k;
        EXPECT_TRUE(Close(got[kP], ref[kP], 1e-6L)) << where << " kind " << k;
        EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(x), 1e-6) << where << " kind " << k;
      }
      // Saturation-pressure family: (T, x) and (P, x).
      const std::array<Extended, 8> tx = State(*air, kT, T, kX, x);
      ASSERT_EQ(CalcErrorCode, 0) << where;
      EXPECT_NEAR(static_cast<double>(tx[kP]), static_cast<double>(air->SatPressure(T, x)), 1e-9) << where;
      const std::array<Extended, 8> px = State(*air, kP, tx[kP], kX, x);
      EXPECT_EQ(CalcErrorCode, 0) << where;
      EXPECT_TRUE(Close(px[kT], T, 1e-6L)) << where << " T " << static_cast<double>(px[kT]);
      // Pressure family: (P, h), (P, u), (P, s) of one state.
      const std::array<Extended, 8> ph = State(*air, kP, tx[kP], kH, tx[kH]);
      ASSERT_EQ(CalcErrorCode, 0) << where;
      for (const int32_t k : {kU, kS}) {
        const std::array<Extended, 8> got = State(*air, kP, ph[kP], k, ph[static_cast<size_t>(k)]);
        EXPECT_EQ(CalcErrorCode, 0) << where << " kind " << k;
        EXPECT_TRUE(Close(got[kT], ph[kT], 1e-6L)) << where << " kind " << k;
        EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ph[kX]), 1e-6) << where << " kind " << k;
      }
    }
  }
}

}  // namespace
}  // namespace voq
