// The second fluid group's Bender, BWRS and MBWR residual parts: the pairs
// that vanish at zero density, the analytic derivatives, densities against
// published values and the state from every pair of arguments.
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
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_bwr.h"
#include "properties/helmholtz_hfc_transport.h"
#include "properties/helmholtz_methanol.h"
#include "properties/helmholtz_second_group.h"
#include "properties/helmholtz_state.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

using testing::Call;
using testing::State;
using testing::UseSiMassKpaKjK;
using testing::kH;
using testing::kK;
using testing::kMu;
using testing::kP;
using testing::kS;
using testing::kT;
using testing::kU;
using testing::kV;
using testing::kX;

using TCreate = TGeneralEosSubstance* (*)();

std::unique_ptr<TGeneralEosSubstance> BuildB(TCreate create) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  return std::unique_ptr<TGeneralEosSubstance>(create());
}

std::unique_ptr<TGeneralEosSubstance> ByNameB(const std::string& name) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  TSubstanceBase* o = CreatePropertyObject(FindSubstanceRow(name));
  auto* eos = dynamic_cast<TGeneralEosSubstance*>(o);
  EXPECT_NE(eos, nullptr) << name;
  if (eos == nullptr) delete o;
  return std::unique_ptr<TGeneralEosSubstance>(eos);
}

::testing::AssertionResult WithinB(Extended got, Extended want, Extended rel) {
  if (std::fabs(got - want) <= rel * std::fabs(want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " is not within " << static_cast<double>(rel)
                                       << " of " << static_cast<double>(want);
}

// With methanol, whose terms all have d >= 1.
constexpr TCreate kBwrFluids[] = {CreateEosIsopentane, CreateEosRC318,          CreateEosHexane,
                                  CreateEosPropylene,  CreateEosR123,           CreateEosHydrogen,
                                  CreateEosCarbonMonoxide, CreateEosMethanol};

TEST(HelmholtzSecondGroupBTest, FactoryGivesTheBwrFluids) {
  for (const auto& [name, row] : {std::pair{"Isopentane", 60}, std::pair{"RC318", 62}, std::pair{"n-Hexane", 68},
                                  std::pair{"Propylene", 61}, std::pair{"R123", 17}, std::pair{"Hydrogen", 65},
                                  std::pair{"CarbonMonoxide", 67}, std::pair{"Methanol", 64}}) {
    auto o = ByNameB(name);
    ASSERT_NE(o, nullptr) << name;
    EXPECT_EQ(o->CatalogRow, row) << name;
    EXPECT_TRUE(SecondGroupModelComplete(*o)) << name;
    EXPECT_EQ(CalcErrorCode, 0) << name;
  }
}

// The d = 0 polynomial terms and their scaled exponential partners cancel
// at zero density (n tau^t - n tau^t exp(0)), as do the damped terms; so do
// the derivatives by tau.
TEST(HelmholtzSecondGroupBTest, ResidualPartsVanishAtZeroDensity) {
  for (TCreate create : kBwrFluids) {
    auto o = BuildB(create);
    for (const Extended tau : {0.5L, 1.0L, 2.0L, 4.0L}) {
      EXPECT_NEAR(static_cast<double>(o->AlphaR(tau, 0)), 0, 1e-14) << o->CatalogRow << " " << static_cast<double>(tau);
      EXPECT_NEAR(static_cast<double>(o->AlphaRTau(tau, 0)), 0, 1e-13) << o->CatalogRow;
    }
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

// Propylene's polynomial term 12, -0.01141334722 delta^4 tau^-1, alone.
TEST(HelmholtzSecondGroupBTest, PropyleneTermTwelveHasTauToTheMinusOne) {
  const TPolynomialTable& p = PropyleneResidualPart.polynomial;
  ASSERT_EQ(p.n.size(), 15u);
  EXPECT_EQ(p.t[11], -1);
  EXPECT_EQ(p.d[11], 4);
  TBwrResidualPart one{};
  one.polynomial = {p.n.subspan(11, 1), p.d.subspan(11, 1), p.t.subspan(11, 1)};
  one.integerTau = true;
  EXPECT_NEAR(static_cast<double>(SumBwrResidualPart(one, THelmholtzPart::kValue, 2.5L, 0.5L)),
              -0.01141334722 * 0.0625 / 2.5, 1e-18);
  // d/dtau = -n delta^4 tau^-2.
  EXPECT_NEAR(static_cast<double>(SumBwrResidualPart(one, THelmholtzPart::kDTau, 2.5L, 0.5L)),
              0.01141334722 * 0.0625 / 6.25, 1e-18);
}

// Term counts and the fluid-wide gammas of the tables.
TEST(HelmholtzSecondGroupBTest, TableShapes) {
  struct TShape {
    const TBwrResidualPart* part;
    size_t damped, polynomial, scaled;
    Extended gamma;
  };
  for (const TShape& s : {TShape{&IsopentaneResidualPart, 0, 16, 6, 1.002528L},
                          TShape{&RC318ResidualPart, 0, 16, 6, 0.99943992L},
                          TShape{&HexaneResidualPart, 0, 11, 2, 0.42752599L},
                          TShape{&PropyleneResidualPart, 3, 15, 11, 1}, TShape{&R123ResidualPart, 3, 19, 15, 1},
                          TShape{&HydrogenResidualPart, 0, 22, 18, 0.91464479L},
                          TShape{&CarbonMonoxideResidualPart, 0, 22, 18, 1}}) {
    EXPECT_EQ(s.part->damped.n.size(), s.damped);
    EXPECT_EQ(s.part->damped.t.size(), s.damped);
    EXPECT_EQ(s.part->polynomial.n.size(), s.polynomial);
    EXPECT_EQ(s.part->polynomial.d.size(), s.polynomial);
    EXPECT_EQ(s.part->polynomial.t.size(), s.polynomial);
    EXPECT_EQ(s.part->scaled.n.size(), s.scaled);
    EXPECT_EQ(s.part->scaled.d.size(), s.scaled);
    EXPECT_EQ(s.part->scaled.t.size(), s.scaled);
    EXPECT_EQ(s.part->scaled.gamma, s.gamma);
    // The last coefficient of every column is set (a short initialiser
    // would leave zeros there).
    EXPECT_NE(s.part->polynomial.n.back(), 0);
    EXPECT_NE(s.part->scaled.n.back(), 0);
  }
  EXPECT_EQ(RC318ResidualPart.scaled.l.size(), 6u);
  // Carbon monoxide's term 26 (the first scaled term with d = 2).
  EXPECT_EQ(CarbonMonoxideResidualPart.scaled.n[3], 12.7558323746L);
  EXPECT_EQ(HydrogenResidualPart.polynomial.t[4], 0.5L);
}

// The analytic derivatives of isopentane, R123 and methanol against central
// differences of AlphaR, and the slots of the others (central differences
// over 0.1 % steps) against the analytic sums of their tables.
TEST(HelmholtzSecondGroupBTest, ResidualDerivativesAgreeWithDifferences) {
  const std::array<Extended, 4> taus{0.6L, 1.0L, 1.7L, 3.0L};
  const std::array<Extended, 4> deltas{0.05L, 0.5L, 1.2L, 2.6L};
  for (TCreate create : {CreateEosIsopentane, CreateEosR123, CreateEosMethanol}) {
    auto o = BuildB(create);
    for (const Extended tau : taus) {
      for (const Extended delta : deltas) {
        const Extended h = 1e-5L;
        const Extended dDelta = (o->AlphaR(tau, delta * (1 + h)) - o->AlphaR(tau, delta * (1 - h))) / (2 * h * delta);
        const Extended dTau = (o->AlphaR(tau * (1 + h), delta) - o->AlphaR(tau * (1 - h), delta)) / (2 * h * tau);
        EXPECT_TRUE(WithinB(o->AlphaRDelta(tau, delta), dDelta, 1e-7L)) << o->CatalogRow;
        EXPECT_TRUE(WithinB(o->AlphaRTau(tau, delta), dTau, 1e-7L)) << o->CatalogRow;
      }
    }
  }
  const std::pair<TCreate, const TBwrResidualPart*> numeric[] = {
      {CreateEosRC318, &RC318ResidualPart},         {CreateEosHexane, &HexaneResidualPart},
      {CreateEosPropylene, &PropyleneResidualPart}, {CreateEosHydrogen, &HydrogenResidualPart},
      {CreateEosCarbonMonoxide, &CarbonMonoxideResidualPart}};
  for (const auto& [create, part] : numeric) {
    auto o = BuildB(create);
    for (const Extended tau : taus) {
      for (const Extended delta : deltas) {
        const Extended aDelta = SumBwrResidualPart(*part, THelmholtzPart::kDDelta, tau, delta);
        const Extended aTau = SumBwrResidualPart(*part, THelmholtzPart::kDTau, tau, delta);
        EXPECT_NEAR(static_cast<double>(o->AlphaRDelta(tau, delta)), static_cast<double>(aDelta),
                    1e-4 * (1 + std::fabs(static_cast<double>(aDelta))))
            << o->CatalogRow;
        EXPECT_NEAR(static_cast<double>(o->AlphaRTau(tau, delta)), static_cast<double>(aTau),
                    1e-4 * (1 + std::fabs(static_cast<double>(aTau))))
            << o->CatalogRow;
      }
    }
  }
}

// Hydrogen's exact Alpha0Tau against a central difference of its Alpha0
// (whose 1e10-sized heat-capacity terms leave the difference good to about
// 1e-9 only).
TEST(HelmholtzSecondGroupBTest, HydrogenAlpha0TauIsTheDerivativeOfAlpha0) {
  auto o = BuildB(CreateEosHydrogen);
  for (const Extended T : {14.0L, 20.0L, 33.19L, 60.0L, 150.0L, 300.0L, 500.0L}) {
    const Extended tau = o->TCrit / T, delta = 0.3L, h = 1e-5L;
    const Extended diff = (o->Alpha0(tau * (1 + h), delta) - o->Alpha0(tau * (1 - h), delta)) / (2 * h * tau);
    EXPECT_TRUE(WithinB(o->Alpha0Tau(tau, delta), diff, 1e-8L)) << static_cast<double>(T);
  }
}

struct TDensityCaseB {
  const char* fluid;
  Extended T, P, rho, tolerance;
};

// Single-phase densities (kg/m3) at (T K, P kPa).
//   Liquids at 1 atm (CRC Handbook of Chemistry and Physics): isopentane
//   0.6201 g/cm3 at 20 C; n-hexane 0.6548 g/cm3 at 25 C; propylene 0.609
//   g/cm3 at its normal boiling point 225.5 K (here 225 K, just below it);
//   normal hydrogen 0.0708 g/cm3 at its normal boiling point 20.37 K (here
//   20.3 K); carbon monoxide 0.789 g/cm3 at its normal boiling point 81.6 K
//   (here 81.6 K).
//   R123 at 25 C and 1 atm just above its vapour pressure (91 kPa): the
//   saturated liquid 1463.6 kg/m3 of Younglove and McLinden's own tables
//   (J. Phys. Chem. Ref. Data 23:731 (1994)).
//   Gases at 1 atm and 300 K: the ideal-gas density over 1 + B P/(R T) with
//   the second virial coefficients of J. H. Dymond and E. B. Smith, "The
//   Virial Coefficients of Pure Gases and Mixtures" (1980): hydrogen +14.8,
//   carbon monoxide -8 cm3/mol.
//   Methanol at 1 atm: 0.7864 g/cm3 at 25 C and 0.7914 g/cm3 at 20 C (CRC
//   Handbook); its equation (de Reuck and Craven) is also the NIST Chemistry
//   WebBook's.
//   At 0.1 kPa and 400 K every fluid here is an ideal gas within 1e-4.
//   n-Hexane's BWRS equation puts its liquid 0.6 % above the measured
//   density, carbon monoxide's MBWR equation its liquid at the boiling point
//   0.3 % above: 1 % and 0.5 % for those two.
Extended VirialGas(Extended M, Extended R, Extended T, Extended P, Extended bCm3PerMol) {
  const Extended ideal = P * M / (R * T);
  // B in m3/kmol is cm3/mol over 1000; P in kPa, R in kJ/kmol-K.
  return ideal / (1 + bCm3PerMol * 1e-3L * P / (R * T));
}

const TDensityCaseB kDensityCasesB[] = {
    {"Isopentane", 293.15L, 101.325L, 620.1L, 2e-3L},
    {"Isopentane", 400, 0.1L, 0.1L * 72.151L / (8.3143L * 400), 1e-4L},
    {"RC318", 400, 0.1L, 0.1L * 200.04L / (8.31451L * 400), 1e-4L},
    {"n-Hexane", 298.15L, 101.325L, 654.8L, 1e-2L},
    {"n-Hexane", 400, 0.1L, 0.1L * 86.172L / (8.315952424L * 400), 1e-4L},
    {"Propylene", 225, 101.325L, 609, 2e-3L},
    {"Propylene", 400, 0.1L, 0.1L * 42.0804L / (8.31434L * 400), 1e-4L},
    {"R123", 298.15L, 101.325L, 1463.6L, 2e-3L},
    {"R123", 400, 0.1L, 0.1L * 152.93L / (8.31451L * 400), 1e-4L},
    {"Hydrogen", 20.3L, 101.325L, 70.8L, 2e-3L},
    {"Hydrogen", 300, 101.325L, VirialGas(2.01594L, 8.31434L, 300, 101.325L, 14.8L), 2e-4L},
    {"Hydrogen", 400, 0.1L, 0.1L * 2.01594L / (8.31434L * 400), 1e-4L},
    {"CarbonMonoxide", 81.6L, 101.325L, 789, 5e-3L},
    {"CarbonMonoxide", 300, 101.325L, VirialGas(28.001L, 8.31431L, 300, 101.325L, -8), 2e-4L},
    {"CarbonMonoxide", 400, 0.1L, 0.1L * 28.001L / (8.31431L * 400), 1e-4L},
    {"Methanol", 298.15L, 101.325L, 786.4L, 2e-3L},
    {"Methanol", 293.15L, 101.325L, 791.4L, 2e-3L},
    {"Methanol", 400, 0.1L, 0.1L * 32.04216L / (8.31448L * 400), 1e-4L},
};

TEST(HelmholtzSecondGroupBTest, DensitiesAgreeWithPublishedValues) {
  for (const TDensityCaseB& c : kDensityCasesB) {
    auto o = ByNameB(c.fluid);
    ASSERT_NE(o, nullptr);
    CalcErrorCode = 0;
    TEosWorkState w;
    SolveStateTP(*o, c.T, c.P, w);
    ASSERT_EQ(CalcErrorCode, 0) << c.fluid;
    EXPECT_TRUE(WithinB(1 / w.v, c.rho, c.tolerance)) << c.fluid << " " << static_cast<double>(c.T);
  }
}

// ---- Every pair ------------------------------------------------------------------

struct TGridPointB {
  const char* fluid;
  const char* name;
  Extended T, rho;
  bool twoPhase;
};

// Compressed liquid (just denser than the saturated liquid of its
// temperature, below the critical pressure), two-phase, vapour and
// supercritical states of each fluid. Critical points: isopentane 460.39 K,
// 236 kg/m3; RC318 388.38 K, 620; n-hexane 507.85 K, 234; propylene 365.57
// K, 223; R123 456.83 K, 550; hydrogen 33.19 K, 30.1; carbon monoxide
// 132.8 K, 304; methanol 513.38 K, 281.
const TGridPointB kGridB[] = {
    {"Isopentane", "liquid 300 K", 300, 615, false},       {"Isopentane", "liquid 400 K", 400, 492, false},
    {"Isopentane", "two-phase 350 K", 350, 50, true},      {"Isopentane", "vapour 400 K", 400, 15, false},
    {"Isopentane", "supercritical 500 K", 500, 250, false}, {"Isopentane", "supercritical 600 K", 600, 30, false},
    {"RC318", "liquid 260 K", 260, 1645, false},           {"RC318", "liquid 340 K", 340, 1310, false},
    {"RC318", "two-phase 300 K", 300, 100, true},          {"RC318", "vapour 340 K", 340, 40, false},
    {"RC318", "supercritical 400 K", 400, 600, false},     {"RC318", "supercritical 500 K", 500, 50, false},
    {"n-Hexane", "liquid 300 K", 300, 658, false},         {"n-Hexane", "liquid 420 K", 420, 530, false},
    {"n-Hexane", "two-phase 380 K", 380, 30, true},        {"n-Hexane", "vapour 420 K", 420, 8, false},
    {"n-Hexane", "supercritical 550 K", 550, 230, false},  {"n-Hexane", "supercritical 620 K", 620, 30, false},
    {"Propylene", "liquid 200 K", 200, 642, false},        {"Propylene", "liquid 300 K", 300, 505, false},
    {"Propylene", "two-phase 250 K", 250, 50, true},       {"Propylene", "vapour 300 K", 300, 10, false},
    {"Propylene", "supercritical 400 K", 400, 250, false}, {"Propylene", "supercritical 500 K", 500, 30, false},
    {"R123", "liquid 250 K", 250, 1585, false},            {"R123", "liquid 380 K", 380, 1230, false},
    {"R123", "two-phase 320 K", 320, 100, true},           {"R123", "vapour 380 K", 380, 20, false},
    {"R123", "supercritical 480 K", 480, 550, false},      {"R123", "supercritical 520 K", 520, 60, false},
    {"Hydrogen", "liquid 18 K", 18, 73.5L, false},         {"Hydrogen", "liquid 28 K", 28, 59.2L, false},
    {"Hydrogen", "two-phase 24 K", 24, 20, true},          {"Hydrogen", "vapour 28 K", 28, 3, false},
    {"Hydrogen", "supercritical 40 K", 40, 30, false},     {"Hydrogen", "supercritical 300 K", 300, 5, false},
    {"CarbonMonoxide", "liquid 80 K", 80, 800, false},     {"CarbonMonoxide", "liquid 110 K", 110, 652, false},
    {"CarbonMonoxide", "two-phase 100 K", 100, 100, true}, {"CarbonMonoxide", "vapour 110 K", 110, 15, false},
    {"CarbonMonoxide", "supercritical 150 K", 150, 300, false},
    {"CarbonMonoxide", "supercritical 400 K", 400, 20, false},
    {"Methanol", "liquid 300 K", 300, 787, false},         {"Methanol", "liquid 450 K", 450, 605, false},
    {"Methanol", "two-phase 400 K", 400, 50, true},        {"Methanol", "vapour 450 K", 450, 15, false},
    {"Methanol", "supercritical 530 K", 530, 300, false},  {"Methanol", "supercritical 560 K", 560, 50, false},
};

const std::vector<std::pair<int32_t, int32_t>> kPairsB = {
    {kT, kP}, {kT, kH}, {kT, kU}, {kT, kS}, {kT, kV},
    {kP, kH}, {kP, kU}, {kP, kS}, {kP, kV}, {kH, kS},
    {kU, kS}, {kH, kV}, {kU, kV}, {kS, kV}, {kT, kX},
    {kP, kX}, {kH, kX}, {kU, kX}, {kS, kX}, {kV, kX}};

TEST(HelmholtzSecondGroupBTest, EveryPairSolvesBackToTheStateItCameFrom) {
  for (const TGridPointB& g : kGridB) {
    auto o = ByNameB(g.fluid);
    ASSERT_NE(o, nullptr);
    const std::array<Extended, 8> ref = State(*o, kT, g.T, kV, 1 / g.rho);
    ASSERT_EQ(CalcErrorCode, 0) << g.fluid << " " << g.name;
    const bool twoPhase = ref[kX] >= 0 && ref[kX] <= 1;
    ASSERT_EQ(twoPhase, g.twoPhase) << g.fluid << " " << g.name << " x " << static_cast<double>(ref[kX]);
    if (!twoPhase && ref[kX] == -100) {
      EXPECT_LT(ref[kP], o->PCrit) << g.fluid << " " << g.name;
    }
    const Extended hSatLiquid = g.T < o->TCrit ? Call(*o, kH, kT, g.T, kX, 0) : 0;
    for (const auto& [k1, k2] : kPairsB) {
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
      EXPECT_TRUE(WithinB(got[kT], ref[kT], 1e-6L)) << where << " T";
      EXPECT_TRUE(WithinB(got[kP], ref[kP], 1e-6L)) << where << " P";
      EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ref[kX]), 1e-6) << where;
    }
  }
}

// ---- Methanol's viscosity ---------------------------------------------------------

// At 298.15 K and 101.3 kPa the pressure factor is exactly 1: mu =
// 8.203e-6 exp(1251.4/298.15) Pa-s = 5.4550e-4 Pa-s (by hand: 1251.4/298.15
// = 4.197216, exp of it 66.5007). The document is in SI units: Pa-s.
TEST(HelmholtzSecondGroupBTest, MethanolViscosityOfTheLiquid) {
  auto o = ByNameB("Methanol");
  ASSERT_NE(o, nullptr);
  ClearEosStateCache();
  CalcErrorCode = 0;
  const Extended mu = Call(*o, kMu, kT, 298.15L, kP, 101.3L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(WithinB(mu, 8.203e-6L * std::exp(1251.4L / 298.15L), 1e-12L));
  EXPECT_NEAR(static_cast<double>(mu), 5.4550e-4, 2e-8);
  // Compressed to 5 MPa at 323.15 K: theta = 1, C = 118000 kPa, E = 0.68.
  const Extended compressed = Call(*o, kMu, kT, 323.15L, kP, 5000);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(WithinB(compressed,
                      8.203e-6L * std::exp(1251.4L / 323.15L) * std::pow(123000.0L / 118101.3L, 0.68L), 1e-12L));
  // The saturated liquid (quality 0) is a liquid: the correlation at its
  // vapour pressure.
  ClearEosStateCache();
  CalcErrorCode = 0;
  const Extended saturated = Call(*o, kMu, kT, 300, kX, 0);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosStateCache[7], 0);
  const Extended pSat = Call(*o, kP, kT, 300, kX, 0);
  EXPECT_TRUE(WithinB(saturated, MethanolLiquidViscosity(300, pSat), 1e-12L));
}

// Any state that is not liquid is error 142 naming the property: a
// two-phase state (replacing the state step's 214), a vapour, a
// supercritical fluid. A failed solve too.
TEST(HelmholtzSecondGroupBTest, MethanolViscosityRefusesStatesThatAreNotLiquid) {
  auto o = ByNameB("Methanol");
  ASSERT_NE(o, nullptr);
  struct TCase {
    const char* name;
    int32_t k1;
    Extended v1;
    int32_t k2;
    Extended v2;
  };
  for (const TCase& c : {TCase{"two-phase", kT, 300, kX, 0.5L}, TCase{"saturated vapour", kT, 300, kX, 1},
                         TCase{"vapour", kT, 400, kP, 10}, TCase{"supercritical", kT, 550, kP, 10000},
                         TCase{"beyond the range", kT, 5000, kP, 100}}) {
    ClearEosStateCache();
    CalcErrorCode = 0;
    MessageArgs[1].clear();
    EXPECT_EQ(Call(*o, kMu, c.k1, c.v1, c.k2, c.v2), -999) << c.name;
    EXPECT_EQ(CalcErrorCode, kMsgDataNotAvailableAtState) << c.name;
    EXPECT_EQ(MessageArgs[1], "Viscosity") << c.name;
  }
  CalcErrorCode = 0;
}

// During the compiler's trial call nothing is solved: the state cache
// stays as it was.
TEST(HelmholtzSecondGroupBTest, MethanolViscosityTrialCallSolvesNothing) {
  auto o = ByNameB("Methanol");
  ASSERT_NE(o, nullptr);
  ClearEosStateCache();
  const std::array<Extended, 12> before = EosStateCache;
  CalcErrorCode = 0;
  o->SuppressWarnings = 1;
  EXPECT_EQ(Call(*o, kMu, kT, 298.15L, kP, 101.3L), -999);
  o->SuppressWarnings = 0;
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosStateCache, before);
}

// ---- R23 and R125 transport ---------------------------------------------------------

// Hand calculations from the correlations' constants (M = 70.014 and
// 120.022): R23's dilute viscosity at 300 K, L = 0.20698, Omega = 1.40862,
// 15.0074 micro-Pa-s; at 200 K, L = -0.19849, Omega = 1.73478 (with |L| in
// the cubic term it would be 9.9540), 9.94956 micro-Pa-s. R125's at 300 K,
// T* = 1.2, 13.1369 micro-Pa-s. These lie within a few per cent of the
// measured gas viscosities (about 14.9 and 13.2 micro-Pa-s at 300 K).
TEST(HelmholtzSecondGroupBTest, HfcDiluteViscosities) {
  EXPECT_NEAR(static_cast<double>(R23DiluteViscosity(300, 70.014L)), 15.007386, 2e-6);
  EXPECT_NEAR(static_cast<double>(R23DiluteViscosity(200, 70.014L)), 9.949563, 2e-6);
  EXPECT_NEAR(static_cast<double>(R125DiluteViscosity(300, 120.022L)), 13.136897e-6, 2e-12);
}

// At zero density the correlations are their dilute parts: R23 mu = 1e-6
// mu0 and lambda = 0.001 (0.05366 T - 2.537); R125 mu0 and the temperature
// polynomial alone.
TEST(HelmholtzSecondGroupBTest, HfcTransportAtZeroDensity) {
  for (const Extended T : {200.0L, 300.0L, 450.0L}) {
    EXPECT_EQ(R23ViscositySI(T, 0, 70.014L), 1e-6L * R23DiluteViscosity(T, 70.014L));
    EXPECT_NEAR(static_cast<double>(R23ConductivitySI(T, 0)), static_cast<double>(0.001L * (0.05366L * T - 2.537L)),
                1e-18);
    EXPECT_NEAR(static_cast<double>(R125ViscositySI(T, 0, 120.022L, 0.0017605633802816901408L)),
                static_cast<double>(R125DiluteViscosity(T, 120.022L)), 1e-20);
    EXPECT_NEAR(static_cast<double>(R125ConductivitySI(T, 0)),
                static_cast<double>(-0.00200919L + 3.30401e-5L * T + 6.69723e-8L * T * T), 1e-18);
  }
  EXPECT_NEAR(static_cast<double>(R125ConductivitySI(300, 0)), 0.013930347, 1e-12);
}

// R125's density term in delta - 1: at the critical density (1/(M VCrit) =
// 4.7326 mol/L) only the rho^0.1 part is left, and the second part has the
// sign of delta - 1 on either side.
TEST(HelmholtzSecondGroupBTest, R125DensityTermChangesSignAtTheCriticalDensity) {
  const Extended M = 120.022L, vCrit = 0.0017605633802816901408L, T = 350;
  const Extended rc = 1 / (M * vCrit);
  auto excess = [&](Extended r) { return R125ViscositySI(T, r, M, vCrit) - R125DiluteViscosity(T, M); };
  auto firstPartOnly = [&](Extended r) {
    const Extended X = std::pow(r, 0.1L) * (17.25737L - 25584.315L / std::pow(T, 1.5L));
    return (std::exp(X) - 1) * std::exp(-16.674402L + 2216.9228L / T) * 1e-7L;
  };
  EXPECT_NEAR(static_cast<double>(excess(rc)), static_cast<double>(firstPartOnly(rc)), 1e-18);
  // 0.05567505 - 21.39703/T + 24667.515/T^2 > 0 at 350 K: the second part
  // lowers X below the critical density and raises it above.
  EXPECT_LT(excess(0.8L * rc), firstPartOnly(0.8L * rc));
  EXPECT_GT(excess(1.2L * rc), firstPartOnly(1.2L * rc));
}

// Through the slots: a gas state gives the correlation at the solved
// density in the document's units (Pa-s and W/m-K here); a two-phase state
// keeps the state step's error 214 and returns -999; the trial call
// solves nothing.
TEST(HelmholtzSecondGroupBTest, HfcTransportSlots) {
  for (const char* name : {"R23", "R125"}) {
    auto o = ByNameB(name);
    ASSERT_NE(o, nullptr);
    ClearEosStateCache();
    CalcErrorCode = 0;
    const Extended mu = Call(*o, kMu, kT, 300, kP, 100);
    const Extended k = Call(*o, kK, kT, 300, kP, 100);
    ASSERT_EQ(CalcErrorCode, 0) << name;
    const Extended rhoMolar = 1 / Call(*o, kV, kT, 300, kP, 100) / o->MolarMassValue;
    const bool r23 = std::string(name) == "R23";
    EXPECT_EQ(mu, r23 ? R23ViscositySI(300, rhoMolar, o->MolarMassValue)
                      : R125ViscositySI(300, rhoMolar, o->MolarMassValue, o->VCrit))
        << name;
    EXPECT_EQ(k, r23 ? R23ConductivitySI(300, rhoMolar) : R125ConductivitySI(300, rhoMolar)) << name;
    // A low-pressure gas is close to its dilute value.
    EXPECT_TRUE(WithinB(mu, r23 ? 1e-6L * R23DiluteViscosity(300, o->MolarMassValue)
                                : R125DiluteViscosity(300, o->MolarMassValue),
                        0.01L))
        << name;
    // A compressed liquid.
    CalcErrorCode = 0;
    const Extended muLiquid = Call(*o, kMu, kT, 250, kP, 3000);
    EXPECT_EQ(CalcErrorCode, 0) << name;
    EXPECT_GT(muLiquid, 5 * mu) << name;
    for (const int32_t kind : {kMu, kK}) {
      ClearEosStateCache();
      CalcErrorCode = 0;
      EXPECT_EQ(Call(*o, kind, kT, 250, kX, 0.5L), -999) << name;
      EXPECT_EQ(CalcErrorCode, kMsgTwoPhaseUndetermined) << name;
      EXPECT_EQ(MessageArgs[1], kind == kMu ? "Viscosity" : "Conductivity") << name;
      ClearEosStateCache();
      const std::array<Extended, 12> before = EosStateCache;
      CalcErrorCode = 0;
      o->SuppressWarnings = 1;
      EXPECT_EQ(Call(*o, kind, kT, 300, kP, 100), -999) << name;
      o->SuppressWarnings = 0;
      EXPECT_EQ(CalcErrorCode, 0) << name;
      EXPECT_EQ(EosStateCache, before) << name;
    }
  }
  CalcErrorCode = 0;
}

}  // namespace
}  // namespace voq
