// Methane and ethane: their unrefined ancillaries and the critical point,
// the one-pass evaluation against the slots, values against published
// data and the state from every pair.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "eos_call.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_methane_ethane.h"
#include "properties/helmholtz_state.h"
#include "properties/substance_factory.h"

namespace voq::methane_ethane_test {
namespace {

using testing::Call;
using testing::kCp;
using testing::kH;
using testing::kP;
using testing::kS;
using testing::kT;
using testing::kU;
using testing::kV;
using testing::kX;
using testing::State;
using testing::UseSiMassKpaKjK;

std::unique_ptr<TGeneralEosFamilyC> Fluid(const std::string& name) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  TSubstanceBase* o = CreatePropertyObject(FindSubstanceRow(name));
  auto* eos = dynamic_cast<TGeneralEosFamilyC*>(o);
  EXPECT_NE(eos, nullptr) << name;
  if (eos == nullptr) delete o;
  return std::unique_ptr<TGeneralEosFamilyC>(eos);
}

::testing::AssertionResult Near(Extended got, Extended want, Extended rel) {
  if (std::fabs(got - want) <= rel * std::fabs(want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " is not within " << static_cast<double>(rel)
                                       << " of " << static_cast<double>(want);
}

// P(T, rho) of the equation of state, kPa.
Extended EosPressure(TGeneralEosSubstance& o, Extended T, Extended rho) {
  const Extended delta = rho * o.VCrit;
  return (1 + delta * o.AlphaRDelta(o.TCrit / T, delta)) * o.R() * T * rho;
}

TEST(MethaneEthaneTest, FactoryGivesTheModelsUnderTheirRows) {
  for (const auto& [name, row, tCrit] : {std::tuple{"Methane", 51, 190.564L}, std::tuple{"Ethane", 48, 305.33L}}) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr) << name;
    EXPECT_EQ(o->CatalogRow, row);
    EXPECT_EQ(o->SubstanceCode, row);
    EXPECT_EQ(o->TCrit, tCrit);
    EXPECT_EQ(CalcErrorCode, 0);
  }
  // Triple-point values and transport constants of the family layout.
  auto methane = Fluid("Methane");
  ASSERT_NE(methane, nullptr);
  EXPECT_EQ(methane->TripleTemperature, 90.68L);
  EXPECT_EQ(methane->DenseViscosityCoef[1], 427.0589027L);
  EXPECT_EQ(methane->Cp0Coef[8], 3000);
}

// Methane's liquid is 1/VCrit at and above TCrit, and so is its vapour
// (every theta term has a real exponent). Ethane's vapour pressure is PCrit
// at TCrit and its vapour density (PCrit/(R TCrit))/(1 - 0.72066).
TEST(MethaneEthaneTest, AncillariesAtTheCriticalPoint) {
  auto methane = Fluid("Methane");
  ASSERT_NE(methane, nullptr);
  for (const Extended T : {methane->TCrit, methane->TCrit + 20}) {
    EXPECT_EQ(methane->SatLiquidDensity(T), 1 / methane->VCrit);
    EXPECT_EQ(methane->SatVaporDensity(T), 1 / methane->VCrit);
  }
  auto ethane = Fluid("Ethane");
  ASSERT_NE(ethane, nullptr);
  const Extended Tc = ethane->TCrit;
  EXPECT_EQ(ethane->SatPressure(Tc, 0), ethane->PCrit);
  EXPECT_TRUE(Near(ethane->SatVaporDensity(Tc), ethane->PCrit / (ethane->R() * Tc) / (1 - 0.72066L), 1e-15L));
  EXPECT_EQ(ethane->SatLiquidDensity(Tc), 1 / ethane->VCrit);
  for (auto* o : {static_cast<TGeneralEosSubstance*>(methane.get()), static_cast<TGeneralEosSubstance*>(ethane.get())}) {
    // (T, x) at TCrit: the critical state, no NaN.
    const std::array<Extended, 8> s = State(*o, kT, o->TCrit, kX, 1);
    EXPECT_EQ(CalcErrorCode, 0);
    for (size_t k = 1; k <= 7; ++k) EXPECT_FALSE(std::isnan(s[k])) << o->CatalogRow << " entry " << k;
    CalcErrorCode = 0;
    EXPECT_EQ(o->SatPressure(0, 0), -999);
    EXPECT_EQ(CalcErrorCode, kMsgDivisionByZero);
    CalcErrorCode = 0;
  }
  ClearEosStateCache();
}

// The saturated densities are the ancillaries' own, not refined: the
// equation's pressure there misses the vapour pressure (methane's liquid at
// 100 K by 5 %, ethane's liquid at 180 K is far off), while the vapour
// sides come close.
TEST(MethaneEthaneTest, SaturatedDensitiesAreNotRefined) {
  auto methane = Fluid("Methane");
  auto ethane = Fluid("Ethane");
  ASSERT_NE(methane, nullptr);
  ASSERT_NE(ethane, nullptr);
  const Extended pM = methane->SatPressure(100, 0);
  EXPECT_FALSE(Near(EosPressure(*methane, 100, methane->SatLiquidDensity(100)), pM, 1e-2L));
  EXPECT_TRUE(Near(EosPressure(*methane, 100, methane->SatVaporDensity(100)), pM, 1e-3L));
  EXPECT_GT(EosPressure(*methane, 100, methane->SatLiquidDensity(100)), pM);
  const Extended pE = ethane->SatPressure(180, 0);
  EXPECT_FALSE(Near(EosPressure(*ethane, 180, ethane->SatLiquidDensity(180)), pE, 0.5L));
  EXPECT_TRUE(Near(EosPressure(*ethane, 180, ethane->SatVaporDensity(180)), pE, 2e-3L));
}

// The one-pass evaluation (8-byte sums) against the model slots, and the
// slots' derivatives against differences of their values.
TEST(MethaneEthaneTest, OnePassAgreesWithTheSlots) {
  for (const char* name : {"Methane", "Ethane"}) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr);
    for (const auto& [tau, delta] : {std::pair{0.7L, 0.2L}, std::pair{1.02L, 1.1L}, std::pair{1.8L, 2.6L}}) {
      const TEosDerivatives d = o->Derivatives(tau, delta);
      EXPECT_NEAR(static_cast<double>(d.aR), static_cast<double>(o->AlphaR(tau, delta)), 1e-11) << name;
      EXPECT_NEAR(static_cast<double>(d.aRDelta), static_cast<double>(o->AlphaRDelta(tau, delta)), 1e-11) << name;
      EXPECT_NEAR(static_cast<double>(d.aRTau), static_cast<double>(o->AlphaRTau(tau, delta)), 1e-11) << name;
      EXPECT_NEAR(static_cast<double>(d.a0), static_cast<double>(o->Alpha0(tau, delta)), 1e-11) << name;
      EXPECT_NEAR(static_cast<double>(d.a0Tau), static_cast<double>(o->Alpha0Tau(tau, delta)), 1e-11) << name;
      const Extended h = 1e-6L;
      EXPECT_TRUE(Near(o->AlphaRDelta(tau, delta), (o->AlphaR(tau, delta + h) - o->AlphaR(tau, delta - h)) / (2 * h),
                       1e-8L))
          << name;
      EXPECT_TRUE(
          Near(o->AlphaRTau(tau, delta), (o->AlphaR(tau + h, delta) - o->AlphaR(tau - h, delta)) / (2 * h), 1e-8L))
          << name;
    }
  }
}

// At zero density: ethane's residual part is 0; methane's Gaussian term
// with d = 0 leaves n exp(-40 - 250 (tau - 1.11)^2), below 1e-17, and the
// delta derivative of the slots stays finite there (the second virial
// coefficient), Gaussian terms with d = 0 and d = 1 included.
TEST(MethaneEthaneTest, ResidualPartAtZeroDensity) {
  for (const char* name : {"Methane", "Ethane"}) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr);
    for (const Extended tau : {0.5L, 1.0L, 1.5L}) {
      EXPECT_NEAR(static_cast<double>(o->AlphaR(tau, 0)), 0, 1e-16) << name;
      EXPECT_TRUE(std::isfinite(o->AlphaRDelta(tau, 0))) << name;
      EXPECT_TRUE(std::isfinite(o->AlphaRTau(tau, 0))) << name;
    }
  }
}

// Normal boiling temperatures (NIST Chemistry WebBook): methane 111.67 K,
// ethane 184.57 K.
TEST(MethaneEthaneTest, NormalBoilingTemperatures) {
  for (const auto& [name, Tb] : {std::pair{"Methane", 111.67L}, std::pair{"Ethane", 184.57L}}) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr);
    EXPECT_NEAR(static_cast<double>(o->SatTemperature(101.325L, 0)), static_cast<double>(Tb), 0.03) << name;
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

struct TPublishedCase {
  const char* fluid;
  int32_t wanted;  // kV: density kg/m3; kCp: kJ/kg-K
  Extended T, P, value, tolerance;
};

// Saturated liquids at the normal boiling points compressed to 150 kPa
// (+0.01 % in density), NIST Chemistry WebBook: methane 422.36 kg/m3 (the
// Setzmann-Wagner equation itself), ethane 543.8 kg/m3 (a later equation:
// 0.3 %). Ideal-gas heat capacities at 298.15 K, at 1 kPa (JANAF tables;
// Chao, Wilhoit and Hall, Thermochim. Acta 6:45 (1973)): methane 35.69 and
// ethane 52.49 J/mol-K. At 0.1 kPa and 400 K both are ideal gases within
// 1e-4.
const TPublishedCase kPublished[] = {
    {"Methane", kV, 111.667L, 150, 422.36L, 5e-4L},
    {"Ethane", kV, 184.57L, 150, 543.8L, 3e-3L},
    {"Methane", kCp, 298.15L, 1, 35.69L / 16.043L, 3e-3L},
    {"Ethane", kCp, 298.15L, 1, 52.49L / 30.07L, 1e-2L},
    {"Methane", kV, 400, 0.1L, 0.1L * 16.043L / (8.3144L * 400), 1e-4L},
    {"Ethane", kV, 400, 0.1L, 0.1L * 30.07L / (8.3144L * 400), 1e-4L},
};

TEST(MethaneEthaneTest, AgreesWithPublishedValues) {
  for (const TPublishedCase& c : kPublished) {
    auto o = Fluid(c.fluid);
    ASSERT_NE(o, nullptr);
    ClearEosStateCache();
    CalcErrorCode = 0;
    Extended got = Call(*o, c.wanted, kT, c.T, kP, c.P);
    if (c.wanted == kV) got = 1 / got;
    EXPECT_EQ(CalcErrorCode, 0) << c.fluid;
    EXPECT_TRUE(Near(got, c.value, c.tolerance)) << c.fluid << " " << static_cast<double>(c.T);
  }
  ClearEosStateCache();
}

// ---- Every pair ------------------------------------------------------------------

struct TGridPoint {
  const char* fluid;
  const char* name;
  Extended T, rho;
  bool twoPhase;
};

// Critical points: methane 190.56 K, 162.7 kg/m3; ethane 305.33 K, 206.6.
const TGridPoint kGrid[] = {
    {"Methane", "liquid 100 K", 100, 440, false},         {"Methane", "liquid 150 K", 150, 359, false},
    {"Methane", "two-phase 150 K", 150, 50, true},        {"Methane", "vapour 150 K", 150, 10, false},
    {"Methane", "supercritical 250 K", 250, 100, false},  {"Methane", "supercritical 400 K", 400, 20, false},
    {"Ethane", "liquid 200 K", 200, 525, false},          {"Ethane", "liquid 230 K", 230, 483, false},
    {"Ethane", "two-phase 250 K", 250, 50, true},         {"Ethane", "vapour 250 K", 250, 10, false},
    {"Ethane", "supercritical 320 K", 320, 250, false},   {"Ethane", "supercritical 450 K", 450, 30, false},
};

const std::vector<std::pair<int32_t, int32_t>> kPairs = {
    {kT, kP}, {kT, kH}, {kT, kU}, {kT, kS}, {kT, kV}, {kP, kH}, {kP, kU}, {kP, kS}, {kP, kV}, {kH, kS},
    {kU, kS}, {kH, kV}, {kU, kV}, {kS, kV}, {kT, kX}, {kP, kX}, {kH, kX}, {kU, kX}, {kS, kX}, {kV, kX}};

TEST(MethaneEthaneTest, EveryPairSolvesBackToTheStateItCameFrom) {
  for (const TGridPoint& g : kGrid) {
    auto o = Fluid(g.fluid);
    ASSERT_NE(o, nullptr);
    const std::array<Extended, 8> ref = State(*o, kT, g.T, kV, 1 / g.rho);
    ASSERT_EQ(CalcErrorCode, 0) << g.fluid << " " << g.name;
    const bool twoPhase = ref[kX] >= 0 && ref[kX] <= 1;
    ASSERT_EQ(twoPhase, g.twoPhase) << g.fluid << " " << g.name << " x " << static_cast<double>(ref[kX]);
    if (!twoPhase && ref[kX] == -100) {
      EXPECT_LT(ref[kP], o->PCrit) << g.fluid << " " << g.name;
    }
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
      EXPECT_TRUE(Near(got[kT], ref[kT], 1e-6L)) << where << " T";
      EXPECT_TRUE(Near(got[kP], ref[kP], 1e-6L)) << where << " P";
      EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ref[kX]), 1e-6) << where;
    }
  }
  ClearEosStateCache();
}

}  // namespace
}  // namespace voq::methane_ethane_test
