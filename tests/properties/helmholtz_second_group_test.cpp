// The second fluid group: constant sets and constructors, the placeholder
// of fluids whose model is not complete, ideal parts, plain and xenon
// residual parts, ancillaries, densities against published values, and the
// state from every pair of arguments for the usable fluids.
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
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_second_group.h"
#include "properties/helmholtz_second_group_internal.h"
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

using TCreate = TGeneralEosSubstance* (*)();


std::unique_ptr<TGeneralEosSubstance> Build(TCreate create) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  return std::unique_ptr<TGeneralEosSubstance>(create());
}

std::unique_ptr<TGeneralEosSubstance> ByName(const std::string& name) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  TSubstanceBase* o = CreatePropertyObject(FindSubstanceRow(name));
  auto* eos = dynamic_cast<TGeneralEosSubstance*>(o);
  EXPECT_NE(eos, nullptr) << name;
  if (eos == nullptr) delete o;
  return std::unique_ptr<TGeneralEosSubstance>(eos);
}

::testing::AssertionResult Within(Extended got, Extended want, Extended rel) {
  if (std::fabs(got - want) <= rel * std::fabs(want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " is not within " << static_cast<double>(rel)
                                       << " of " << static_cast<double>(want);
}

// ---- Constant sets and the factory -------------------------------------------

TEST(HelmholtzSecondGroupTest, ReducingVolumesFromMolarDensities) {
  auto neon = Build(CreateEosNeon);
  EXPECT_EQ(neon->VCrit, 1 / (23.88L * 20.179L));
  EXPECT_NEAR(static_cast<double>(neon->VCrit), 0.0020752290451049, 1e-16);
  // n-Pentane with the reducing density of its Span-Wagner terms.
  auto pentane = Build(CreateEosPentane);
  EXPECT_EQ(pentane->VCrit, 1 / (3.215577588L * 72.147L));
  EXPECT_EQ(pentane->GasConstant, 8.315952424L);
  auto xenon = Build(CreateEosXenon);
  EXPECT_EQ(xenon->VCrit, 0.0009099181073703366697L);
}

TEST(HelmholtzSecondGroupTest, SurfaceTensionLimitsCopiedFromTheConstantSet) {
  auto r23 = Build(CreateEosR23);
  EXPECT_EQ(r23->SigmaTMin, r23->TMin);
  EXPECT_EQ(r23->SigmaTMax, r23->TCrit);
  auto ethylene = Build(CreateEosEthylene);
  EXPECT_EQ(ethylene->SigmaTMin, 104);
  EXPECT_EQ(ethylene->SigmaTMax, 282.34L);
  auto co = Build(CreateEosCarbonMonoxide);
  EXPECT_EQ(co->SigmaTMin, 68.1271L);
  EXPECT_EQ(co->SigmaTMax, co->TCrit);
}

// "R600" and "R290" are n-butane and propane under the rows of those.
TEST(HelmholtzSecondGroupTest, ButaneAndPropaneObjectsCarryTheirOwnRows) {
  for (const auto& [create, row, tCrit] : {std::tuple<TCreate, int32_t, Extended>{CreateEosButane, 54, 425.16L},
                                           std::tuple<TCreate, int32_t, Extended>{CreateEosPropane, 52, 369.85L},
                                           std::tuple<TCreate, int32_t, Extended>{CreateEosIsobutane, 53, 407.85L}}) {
    auto o = Build(create);
    EXPECT_EQ(o->CatalogRow, row);
    EXPECT_EQ(o->TCrit, tCrit);
  }
  EXPECT_EQ(FindSubstanceRow("R600"), 40);
  EXPECT_EQ(FindSubstanceRow("R290"), 39);
}

// Every fluid of the group is a model with its own row. (A fluid whose
// residual part is not built keeps the factory's placeholder, error 215
// naming the function: see the nitrogen tests.)
TEST(HelmholtzSecondGroupTest, FactoryGivesOnlyCompleteModels) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  for (const auto& [name, row] : {std::pair{"Neon", 55}, std::pair{"Xenon", 75}, std::pair{"Ethylene", 34},
                                  std::pair{"R23", 49}, std::pair{"R125", 73}, std::pair{"n-pentane", 35}}) {
    auto o = ByName(name);
    ASSERT_NE(o, nullptr) << name;
    EXPECT_EQ(o->CatalogRow, row) << name;
    EXPECT_EQ(o->SubstanceCode, row) << name;
    EXPECT_EQ(CalcErrorCode, 0) << name;
  }
}

// R23 and R125 belong to no transport family (their slots are correlations
// of their own); R123's refrigerant-family parameters.
TEST(HelmholtzSecondGroupTest, TransportVariants) {
  auto r23 = Build(CreateEosR23);
  EXPECT_EQ(dynamic_cast<TGeneralEosFamilyA*>(r23.get()), nullptr);
  EXPECT_EQ(dynamic_cast<TGeneralEosFamilyB*>(r23.get()), nullptr);
  auto neon = Build(CreateEosNeon);
  auto* a = dynamic_cast<TGeneralEosFamilyA*>(neon.get());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Transport.ViscForm, 21);
  EXPECT_EQ(a->Transport.CondLiquidCoef[3], -7.78127e-6L);
  auto r123 = Build(CreateEosR123);
  auto* b = dynamic_cast<TGeneralEosFamilyB*>(r123.get());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->CoreVolumeCoef[0], 75.69L);
  EXPECT_EQ(b->CoreVolumeCoef[1], -25);
  EXPECT_EQ(b->CoreVolumeCoef[2], 12.11L);
  EXPECT_EQ(b->CondRoughnessCoef[0], 1.55L);
  EXPECT_EQ(b->CondRoughnessCoef[1], 0);
}

// ---- Ideal parts ----------------------------------------------------------------

// With h0 = s0 = 0, at T0 and the ideal-gas density of (T0, P0):
// ln 1 + 0 - 0 - 1 + 0 - 0 = -1.
TEST(HelmholtzSecondGroupTest, HeatCapacityIdealPartAtItsReferencePoint) {
  auto isopentane = Build(CreateEosIsopentane);
  const Extended M = isopentane->MolarMassValue;
  const Extended delta0 = 1 * M * isopentane->VCrit / (isopentane->GasConstant * 298.15L);
  EXPECT_NEAR(static_cast<double>(isopentane->Alpha0(isopentane->TCrit / 298.15L, delta0)), -1, 1e-15);
  // The tau basis: n-pentane's h0 and s0 per kg at 273.15 K and 101.325 kPa:
  // alpha0 = G h0/T0 - G s0 - 1 there.
  auto pentane = Build(CreateEosPentane);
  const Extended g = pentane->MolarMassValue / pentane->GasConstant;
  const Extended d0 = 101.325L * pentane->MolarMassValue * pentane->VCrit / (pentane->GasConstant * 273.15L);
  EXPECT_NEAR(static_cast<double>(pentane->Alpha0(pentane->TCrit / 273.15L, d0)),
              static_cast<double>(g * 328.016907988L / 273.15L - g * 1.046156071L - 1), 1e-13);
}

// The ideal-gas heat capacity cp0/R = 1 - tau^2 d2(alpha0)/dtau2 of the
// integrated forms returns the polynomial it came from (n-hexane: c_k are
// cp0/Rbar; R23: c_k in kJ/kg-K on a tau basis).
TEST(HelmholtzSecondGroupTest, HeatCapacityIdealPartReturnsItsHeatCapacity) {
  struct TCase {
    TCreate create;
    Extended T, cp0OverR;
  };
  const Extended tHex = 400;
  const Extended cpHex = 14.98189L - 0.06297024L * tHex + 0.0003703404L * tHex * tHex -
                         5.289704e-7L * tHex * tHex * tHex + 2.589765e-10L * tHex * tHex * tHex * tHex;
  const Extended tauR23 = 299.2793L / 250;
  const Extended cpR23 = (1.787316L - 1.921431L * tauR23 + 1.158205L * tauR23 * tauR23 -
                          0.3272369L * tauR23 * tauR23 * tauR23 + 0.03550747L * tauR23 * tauR23 * tauR23 * tauR23) *
                         70.014L / 8.31451L;
  // Carbon monoxide at 300 K (kJ/kg-K times M/Rbar), n-pentane on its tau
  // basis at 350 K.
  const Extended tCo = 300;
  const Extended cpCo = (1.0394L + 4.6275e-6L * tCo - 5.7057e-8L * tCo * tCo + 1.2025e-10L * tCo * tCo * tCo -
                         5.5409e-14L * tCo * tCo * tCo * tCo) *
                        28.001L / 8.31431L;
  const Extended tauC5 = 469.69L / 350;
  const Extended cpC5 = (6.212948L - 6.301861L * tauC5 + 3.180197L * tauC5 * tauC5 -
                         0.748372L * tauC5 * tauC5 * tauC5 + 0.06696589L * tauC5 * tauC5 * tauC5 * tauC5) *
                        72.147L / 8.315952424L;
  // Hydrogen's cp0/Rbar at 300 K: normal hydrogen 14.31 kJ/kg-K (NIST
  // Chemistry WebBook), 3.470 in units of Rbar/M.
  for (const TCase& c : {TCase{CreateEosHexane, tHex, cpHex}, TCase{CreateEosR23, 250, cpR23},
                         TCase{CreateEosCarbonMonoxide, tCo, cpCo}, TCase{CreateEosPentane, 350, cpC5}}) {
    auto o = Build(c.create);
    const Extended tau = o->TCrit / c.T;
    const Extended h = 1e-4L * tau;
    const Extended second = (o->Alpha0(tau + h, 1) - 2 * o->Alpha0(tau, 1) + o->Alpha0(tau - h, 1)) / (h * h);
    EXPECT_TRUE(Within(1 - tau * tau * second, c.cp0OverR, 1e-6L)) << o->CatalogRow;
  }
  auto hydrogen = Build(CreateEosHydrogen);
  const Extended tau = hydrogen->TCrit / 300;
  const Extended h = 1e-4L * tau;
  const Extended second =
      (hydrogen->Alpha0(tau + h, 1) - 2 * hydrogen->Alpha0(tau, 1) + hydrogen->Alpha0(tau - h, 1)) / (h * h);
  EXPECT_TRUE(Within(1 - tau * tau * second, 3.470L, 2e-3L));
}

TEST(HelmholtzSecondGroupTest, AnalyticAlpha0TauIsTheDerivativeOfAlpha0) {
  for (auto create : {CreateEosR123, CreateEosNeon, CreateEosEthylene, CreateEosMethanol, CreateEosR125,
                      CreateEosXenon}) {
    auto o = Build(create);
    for (const Extended tau : {0.8L, 1.3L, 2.2L}) {
      for (const Extended delta : {0.3L, 1.5L}) {
        const Extended h = 1e-6L * tau;
        const Extended numeric = (o->Alpha0(tau + h, delta) - o->Alpha0(tau - h, delta)) / (2 * h);
        EXPECT_TRUE(Within(o->Alpha0Tau(tau, delta), numeric, 1e-9L)) << o->CatalogRow << " " << double(tau);
      }
    }
  }
  // R123 term by term: a2 + a3/tau + sum a k tau^(k-1).
  auto r123 = Build(CreateEosR123);
  const Extended tau = 1.4L;
  const Extended want = 10.96546316L + 1.04600632L / tau + 11.11598236L / (tau * tau) -
                        2 * 1.94307929L / (tau * tau * tau) + 3 * 0.22430514L / (tau * tau * tau * tau);
  EXPECT_NEAR(static_cast<double>(r123->Alpha0Tau(tau, 1)), static_cast<double>(want), 1e-15);
}

TEST(HelmholtzSecondGroupTest, NeonAndXenonIdealPartsAtAnEmptyDensity) {
  auto neon = Build(CreateEosNeon);
  const Extended lead = 10.72380803L - 16.75308709L * 1.2L + 1.5L * std::log(1.2L);
  for (const Extended delta : {0.0L, -0.5L}) {
    EXPECT_NEAR(static_cast<double>(neon->Alpha0(1.2L, delta)), static_cast<double>(std::log(1e-6L) + lead), 1e-14);
  }
  auto xenon = Build(CreateEosXenon);
  EXPECT_NEAR(static_cast<double>(xenon->Alpha0(0.9L, 0)),
              static_cast<double>(std::log(1e-6L) + 6.63284367542L - 1.4020567L * 0.9L + 1.5L * std::log(0.9L)),
              1e-14);
}

// The region terms count only for delta > 1.011086 and tau > 1, both strict.
TEST(HelmholtzSecondGroupTest, XenonIdealRegionSwitch) {
  auto xenon = Build(CreateEosXenon);
  auto lead = [](Extended tau, Extended delta) {
    return std::log(delta) + 6.63284367542L - 1.4020567L * tau + 1.5L * std::log(tau);
  };
  EXPECT_EQ(xenon->Alpha0(1.2L, 1.011086L), lead(1.2L, 1.011086L));
  EXPECT_EQ(xenon->Alpha0(1, 1.5L), lead(1, 1.5L));
  EXPECT_EQ(xenon->Alpha0Tau(1, 1.5L), 1.5L - 1.4020567L);
  const Extended tau = 1.2L, delta = 1.5L;
  const Extended region = 0.19264642L / (tau * tau) - 0.87538506L / tau + 2.4301208L - 2.82129622439L * tau +
                          1.21277456417L * tau * tau - 0.140134189109L * tau * tau * tau * tau +
                          0.44435064L * std::log(tau);
  EXPECT_NEAR(static_cast<double>(xenon->Alpha0(tau, delta)), static_cast<double>(lead(tau, delta) + region), 1e-14);
}

// ---- Residual parts -------------------------------------------------------------

TEST(HelmholtzSecondGroupTest, ResidualPartsVanishAtZeroDensity) {
  for (auto create : {CreateEosNeon, CreateEosEthylene, CreateEosR23, CreateEosR125, CreateEosPentane,
                      CreateEosXenon}) {
    auto o = Build(create);
    for (const Extended tau : {0.5L, 1.0L, 2.0L}) EXPECT_EQ(o->AlphaR(tau, 0), 0) << o->CatalogRow;
  }
}

// R125's tau^0 is 1 and its negative exponents go through PowerReal: its
// second polynomial term alone at delta = 1e-3 is 0.27922179 delta^2.
TEST(HelmholtzSecondGroupTest, RealExponentsOfTheTables) {
  const TPolynomialTable& p = R125ResidualPart.polynomial;
  EXPECT_EQ(p.t[1], 0);
  EXPECT_NEAR(static_cast<double>(SumPolynomialTerms({p.n.subspan(1, 1), p.d.subspan(1, 1), p.t.subspan(1, 1)},
                                                     THelmholtzPart::kValue, 1.7L, 1e-3L)),
              0.27922179e-6, 1e-20);
  // R23's first term n delta tau^-0.14.
  const TPolynomialTable& r = R23ResidualPart.polynomial;
  EXPECT_NEAR(static_cast<double>(SumPolynomialTerms({r.n.subspan(0, 1), r.d.subspan(0, 1), r.t.subspan(0, 1)},
                                                     THelmholtzPart::kValue, 1.5L, 0.5L)),
              static_cast<double>(0.350093635099L * 0.5L * std::pow(1.5L, -0.14L)), 1e-15);
}

// Ethylene's second virial coefficient B = VCrit M lim(delta->0) alphaR_delta
// against Jahangiri et al. (1986), table 24: -310.248, -138.087 and -50.099
// cm3/mol at 200.15, 300.15 and 450.15 K.
TEST(HelmholtzSecondGroupTest, EthyleneSecondVirialCoefficient) {
  auto ethylene = Build(CreateEosEthylene);
  for (const auto& [T, B] : {std::pair{200.15L, -310.248L}, std::pair{300.15L, -138.087L},
                             std::pair{450.15L, -50.099L}}) {
    const Extended b = ethylene->AlphaRDelta(ethylene->TCrit / T, 1e-9L) * ethylene->VCrit *
                       ethylene->MolarMassValue * 1000;  // cm3/mol
    EXPECT_NEAR(static_cast<double>(b), static_cast<double>(B), 0.01) << static_cast<double>(T);
  }
}

// The analytic derivative slots against central differences of AlphaR.
TEST(HelmholtzSecondGroupTest, ResidualDerivativesAgreeWithDifferences) {
  for (auto create : {CreateEosNeon, CreateEosEthylene, CreateEosR23, CreateEosR125, CreateEosXenon}) {
    auto o = Build(create);
    for (const auto& [tau, delta] : {std::pair{0.7L, 0.2L}, std::pair{1.3L, 2.4L}, std::pair{2.0L, 0.05L}}) {
      const Extended h = 1e-6L;
      const Extended dDelta = (o->AlphaR(tau, delta * (1 + h)) - o->AlphaR(tau, delta * (1 - h))) / (2 * h * delta);
      const Extended dTau = (o->AlphaR(tau * (1 + h), delta) - o->AlphaR(tau * (1 - h), delta)) / (2 * h * tau);
      EXPECT_TRUE(Within(o->AlphaRDelta(tau, delta), dDelta, 1e-9L)) << o->CatalogRow;
      EXPECT_TRUE(Within(o->AlphaRTau(tau, delta), dTau, 1e-9L)) << o->CatalogRow;
    }
  }
}

// ---- Xenon's region switches ------------------------------------------------------

// The sum n delta^d of terms first..last (1-based).
Extended XenonBlockPolynomial(size_t first, size_t last, Extended delta) {
  Extended sum = 0;
  for (size_t i = first - 1; i < last; ++i) sum += XenonN[i] * std::pow(delta, static_cast<Extended>(XenonD[i]));
  return sum;
}

TEST(HelmholtzSecondGroupTest, XenonBlockPolynomialsMeetAtTheirBounds) {
  EXPECT_NEAR(static_cast<double>(XenonBlockPolynomial(37, 46, 1.0131868972L)), 0, 1e-11);
  EXPECT_NEAR(static_cast<double>(XenonBlockPolynomial(37, 46, 0.3690271065L)), 0.002934457381533, 1e-11);
  EXPECT_NEAR(static_cast<double>(XenonBlockPolynomial(37, 46, 2.1159010009L)), 0.001653004813, 1e-11);
  for (const auto& [first, last, delta] : {std::tuple{61, 68, 0.556816051L}, std::tuple{69, 76, 0.556816051L},
                                           std::tuple{77, 84, 1.3516436688L}, std::tuple{85, 92, 1.3516436688L}}) {
    EXPECT_NEAR(static_cast<double>(XenonBlockPolynomial(first, last, delta)), 0, 1e-9) << first;
  }
}

constexpr uint32_t kB2 = 1, kB3 = 2, kT57 = 4, kT58 = 8, kB4 = 16, kB5 = 32, kB6 = 64;

// Each side of a bound sums exactly the tabled blocks; a value equal to a
// bound falls on the side the comparisons give.
TEST(HelmholtzSecondGroupTest, XenonBlocksByRegion) {
  struct TCase {
    Extended tau, delta;
    uint32_t blocks;
  };
  const TCase cases[] = {
      {1.5L, 0.3690271065L, 0},                          // low density: base only
      {0.5L, 0.2L, 0},
      {1.2L, 1.0131868972L, kB2 | kT58},                 // the B2 side, T57 off above 1.0022688917
      {1.2L, 1.0131868973L, kB3 | kT58},
      {1.2L, 1.005L, kB2 | kT58},
      {1.0L, 1.005L, kB2 | kT57 | kB6},                 // tau = 1: T57 on, T58 off
      {1.2L, 1.0022688917L, kB2 | kT57 | kT58},
      {1.2L, 0.99L, kB2 | kT57},                         // T58 needs delta > 1
      {0.9L, 2.1159010009L, kB4},                        // the dense edge
      {1.0L, 2.1159010009L, 0},                          // B4 only for tau < 1
      {1.2L, 2.2L, 0},
      {0.9L, 0.8L, kB2 | kT57 | kB5},
      {0.852514919L, 0.8L, kB2 | kT57},                  // both tau bounds strict
      {1.017293998L, 0.8L, kB2 | kT57},
      {0.9L, 1.0022688917L, kB2 | kT57 | kB5},
      {0.9L, 1.0022688918L, kB2 | kT57 | kB6},
      {0.9L, 1.3516436688L, kB3 | kT57},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(XenonBlocks(c.tau, c.delta), c.blocks) << static_cast<double>(c.tau) << " " << static_cast<double>(c.delta);
  }
}

// Across the bounds where the blocks are fitted to meet, AlphaR changes by
// less than 1e-6 of its value. Not at delta = 2.1159010009 with tau = 1
// exactly, where neither T58 (tau > 1) nor B4 (tau < 1) takes over from T57:
// a jump inside the two-phase region.
TEST(HelmholtzSecondGroupTest, XenonResidualNearlyContinuousAtFittedBounds) {
  const Extended eps = 1e-12L;
  for (const Extended tau : {0.9L, 0.95L, 1.0L, 1.3L, 1.79L}) {
    std::vector<Extended> bounds = {0.3690271065L, 1.0131868972L};
    if (tau != 1) bounds.push_back(2.1159010009L);
    if (tau > 0.852514919L && tau < 1.017293998L) {
      bounds.push_back(0.556816051L);
      bounds.push_back(1.3516436688L);
    }
    if (tau <= 1) bounds.push_back(1.0022688917L);
    for (const Extended b : bounds) {
      const Extended below = XenonResidual(THelmholtzPart::kValue, tau, b - eps);
      const Extended above = XenonResidual(THelmholtzPart::kValue, tau, b + eps);
      EXPECT_LT(std::fabs(above - below), 1e-6L * std::fabs(below)) << static_cast<double>(tau) << " "
                                                                     << static_cast<double>(b);
    }
  }
}

// ---- Ancillaries ----------------------------------------------------------------

TEST(HelmholtzSecondGroupTest, AncillariesAtTheCriticalTemperature) {
  auto xenon = Build(CreateEosXenon);
  EXPECT_EQ(xenon->SatPressure(xenon->TCrit, 0), xenon->PCrit);
  EXPECT_EQ(xenon->SatPressure(300, 0), xenon->PCrit);
  const Extended rhoC = 1 / xenon->VCrit;
  EXPECT_EQ(xenon->SatLiquidDensity(xenon->TCrit - 5e-6L), rhoC);
  EXPECT_EQ(xenon->SatVaporDensity(xenon->TCrit + 5e-6L), rhoC);
  for (const Extended T : {289.0L, 289.7L, 289.739L}) EXPECT_GE(xenon->SatLiquidDensity(T), rhoC);
  // Ethylene's liquid: rho_c at and above TCrit, where its fit has no value.
  auto ethylene = Build(CreateEosEthylene);
  EXPECT_EQ(ethylene->SatLiquidDensity(ethylene->TCrit), 1 / ethylene->VCrit);
  EXPECT_EQ(ethylene->SatLiquidDensity(290), 1 / ethylene->VCrit);
  // Integer powers of theta keep their sign above TCrit (R125: theta, theta^3,
  // theta^6), real ones vanish.
  auto r125 = Build(CreateEosR125);
  const Extended theta = 1 - 345 / r125->TCrit;
  const Extended want = r125->PCrit * std::exp((-7.435645L * theta - 3.367536L * theta * theta * theta -
                                                1.697153L * std::pow(theta, 6.0L)) /
                                               (345 / r125->TCrit));
  EXPECT_NEAR(static_cast<double>(r125->SatPressure(345, 0)), static_cast<double>(want), 1e-9);
  // n-Hexane above TCrit: Tr held at 0.999999.
  auto hexane = Build(CreateEosHexane);
  EXPECT_EQ(hexane->SatPressure(520, 0), hexane->SatPressure(0.999999L * hexane->TCrit, 0));
}

// Neon's liquid variable phi = (TCrit - T)/T.
TEST(HelmholtzSecondGroupTest, NeonLiquidAncillaryOverT) {
  auto neon = Build(CreateEosNeon);
  const Extended T = 30;
  const Extended phi = (44.49L - T) / T;
  const Extended want = (1 + 92.56541069L * phi - 35.57640388L * std::pow(phi, 5.0L / 3) +
                         3.4966718474L * phi * phi * phi + 1.216513966L * std::pow(phi, 0.325L) +
                         86.52011555L * std::log(T / 44.49L)) /
                        neon->VCrit;
  EXPECT_NEAR(static_cast<double>(neon->SatLiquidDensity(T)), static_cast<double>(want), 1e-9);
}

// Saturation on the equation of state: the refined densities give the
// vapour pressure.
TEST(HelmholtzSecondGroupTest, RefinedSaturatedDensitiesGiveTheVapourPressure) {
  for (const auto& [create, T] : {std::pair<TCreate, Extended>{CreateEosEthylene, 200.0L}, std::pair<TCreate, Extended>{CreateEosR23, 250.0L},
                                  std::pair<TCreate, Extended>{CreateEosR125, 280.0L}, std::pair<TCreate, Extended>{CreateEosPentane, 350.0L}}) {
    auto o = Build(create);
    const Extended pSat = o->SatPressure(T, 0);
    for (const Extended rho : {o->SatLiquidDensity(T), o->SatVaporDensity(T)}) {
      const Extended delta = rho * o->VCrit;
      const Extended P = (1 + delta * o->AlphaRDelta(o->TCrit / T, delta)) * o->R() * T * rho;
      EXPECT_TRUE(Within(P, pSat, 1e-5L)) << o->CatalogRow;
    }
  }
}

// A fluid whose pressure along an isotherm is Psat + c (rho - rho*), rho*
// lying a given fraction m beyond the first density it is asked for (the
// ancillary's start value): the refinement lands on rho*.
class TLinearIsothermEos final : public TGeneralEosSubstance {
 public:
  TLinearIsothermEos(TGeneralEosSubstance& real, Extended m) : real_(real), m_(m) {
    GasConstant = real.GasConstant;
    TCrit = real.TCrit;
    PCrit = real.PCrit;
    VCrit = real.VCrit;
    MolarMassValue = real.MolarMassValue;
  }
  Extended Alpha0(Extended, Extended) override { return 0; }
  Extended AlphaR(Extended, Extended) override { return 0; }
  Extended SatPressure(Extended T, Extended X) override { return real_.SatPressure(T, X); }
  Extended SatLiquidDensity(Extended) override { return 0; }
  Extended SatVaporDensity(Extended) override { return 0; }
  TEosDerivatives Derivatives(Extended tau, Extended delta) override {
    if (start_ == 0) start_ = delta / VCrit;
    const Extended T = TCrit / tau;
    const Extended rho = delta / VCrit;
    const Extended target = start_ * (1 + m_);
    const Extended P = SatPressure(T, 0) + 0.01L * SatPressure(T, 0) * (rho - target) / target;
    TEosDerivatives d;
    d.aRDelta = (P / (R() * T * rho) - 1) / delta;
    return d;
  }
  Extended start_ = 0;

 private:
  TGeneralEosSubstance& real_;
  Extended m_;
};

// Hydrogen's liquid keeps a refinement that moves it by at most 5 %,
// n-hexane's vapour one that moves it by less than 5 %; else the start.
TEST(HelmholtzSecondGroupTest, RefinementAcceptedWithinFivePercent) {
  struct TCase {
    TCreate create;
    Extended (*ancillary)(TGeneralEosSubstance&, Extended);
    Extended T, m;
    bool accepted;
  };
  const TCase cases[] = {{CreateEosHydrogen, HydrogenSatLiquidDensity, 25, 0.04L, true},
                         {CreateEosHydrogen, HydrogenSatLiquidDensity, 25, 0.06L, false},
                         {CreateEosHydrogen, HydrogenSatLiquidDensity, 25, -0.06L, false},
                         {CreateEosHexane, HexaneSatVaporDensity, 400, 0.04L, true},
                         {CreateEosHexane, HexaneSatVaporDensity, 400, -0.04L, true},
                         {CreateEosHexane, HexaneSatVaporDensity, 400, 0.06L, false}};
  for (const TCase& c : cases) {
    auto real = Build(c.create);
    TLinearIsothermEos fake(*real, c.m);
    const Extended rho = c.ancillary(fake, c.T);
    ASSERT_GT(fake.start_, 0);
    const Extended want = c.accepted ? fake.start_ * (1 + c.m) : fake.start_;
    EXPECT_TRUE(Within(rho, want, 1e-6L)) << real->CatalogRow << " " << static_cast<double>(c.m);
  }
}

// ---- Against published values ---------------------------------------------------

struct TDensityCase {
  const char* fluid;
  Extended T, P, rho, tolerance;
};

// Single-phase densities (kg/m3) at (T K, P kPa).
//   Liquids: neon at its normal boiling point 27.104 K, 1207 kg/m3; R125
//   compressed just above its vapour pressure at 25 C (saturated liquid
//   1190 kg/m3, DuPont Suva 125 data, ASHRAE Handbook of Fundamentals); n-
//   pentane at 20 C and 1 atm, 626.2 kg/m3 (CRC Handbook of Chemistry and
//   Physics); ethylene as compressed liquid at 169 K just below its boiling
//   point (saturated liquid 567.9 kg/m3 at 169.38 K, NIST Chemistry
//   WebBook).
//   Saturated liquids of the later equations of these fluids, compressed a
//   little above their vapour pressures (+0.01 to 0.02 %): ethylene 21.206
//   and 23.347 mol/dm3 at 150 and 104 K (Jahangiri et al., J. Phys. Chem. Ref.
//   Data 15:593 (1986), table 27, this equation's own); R125 1319.8 kg/m3 at 273.15 K (Lemmon and Jacobsen,
//   J. Phys. Chem. Ref. Data 34:69 (2005), table 9); R23 1600.7 and 1315.3
//   kg/m3 at 148.15 and 223.15 K (Penoncello, Lemmon, Jacobsen and Shan, J.
//   Phys. Chem. Ref. Data 32:1473 (2003), appendix), and its gas at 300 K and
//   100 kPa, 2.8280 kg/m3. R23's equation here is the same authors' earlier
//   one (ASHRAE Trans. 106(1):739 (2000)), whose liquid lies 0.4 to 0.9 %
//   below the later equation's: 1 % for its liquids.
//   Xenon: gas at 0 C and 1 atm 5.894 kg/m3, liquid at its normal boiling
//   point 165.05 K 2942 kg/m3 (CRC Handbook of Chemistry and Physics), here
//   compressed to 150 kPa to stay clear of the saturation line; the xenon
//   equation's liquid lies 0.11 % above, hence 0.15 %.
//   Gases at 1 atm and 15 C: the ideal-gas density times 1/(1 + B P/(R T))
//   with the second virial coefficients of J. H. Dymond and E. B. Smith,
//   "The Virial Coefficients of Pure Gases and Mixtures" (1980): neon +11,
//   ethylene -149, xenon -138 cm3/mol. At 0.1 kPa and 400 K every fluid
//   here is an ideal gas within 1e-4.
const TDensityCase kDensityCases[] = {
    {"Neon", 27.104L, 101.325L, 1207, 1e-3L},
    {"Neon", 288.15L, 101.325L, 0.853031L, 1e-4L},
    {"Neon", 400, 0.1L, 0.1L * 20.179L / (8.3144L * 400), 1e-4L},
    {"Ethylene", 169, 101.325L, 568.4L, 1.5e-3L},
    {"Ethylene", 288.15L, 101.325L, 1.19402L, 3e-4L},
    {"Ethylene", 400, 0.1L, 0.1L * 28.054L / (8.31434L * 400), 1e-4L},
    {"R125", 298.15L, 1400, 1190.2L, 1e-3L},
    {"R125", 400, 0.1L, 0.1L * 120.022L / (8.314471L * 400), 1e-4L},
    {"R23", 400, 0.1L, 0.1L * 70.014L / (8.31451L * 400), 1e-4L},
    {"n-pentane", 293.15L, 101.325L, 626.2L, 1e-3L},
    {"n-pentane", 400, 0.1L, 0.1L * 72.147L / (8.315952424L * 400), 1e-4L},
    {"Ethylene", 150, 101.325L, 21.206L * 28.054L, 5e-4L},
    {"Ethylene", 104, 101.325L, 23.347L * 28.054L, 5e-4L},
    {"R125", 273.15L, 700, 1319.9L, 1e-3L},
    {"R23", 300, 100, 2.8280L, 1e-3L},
    {"R23", 148.15L, 101.325L, 1600.8L, 1e-2L},
    {"R23", 223.15L, 600, 1315.5L, 1e-2L},
    {"Xenon", 288.15L, 101.325L, 5.5857L, 3e-4L},
    {"Xenon", 273.15L, 101.325L, 5.894L, 1e-3L},
    {"Xenon", 165.05L, 150, 2942, 1.5e-3L},
    {"Xenon", 400, 0.1L, 0.1L * 131.3L / (8.3143L * 400), 1e-4L},
};

TEST(HelmholtzSecondGroupTest, DensitiesAgreeWithPublishedValues) {
  for (const TDensityCase& c : kDensityCases) {
    auto o = ByName(c.fluid);
    ASSERT_NE(o, nullptr);
    CalcErrorCode = 0;
    TEosWorkState w;
    SolveStateTP(*o, c.T, c.P, w);
    ASSERT_EQ(CalcErrorCode, 0) << c.fluid;
    EXPECT_TRUE(Within(1 / w.v, c.rho, c.tolerance)) << c.fluid << " " << static_cast<double>(c.T);
  }
}

// n-Pentane against the check value of Span and Wagner, Int. J. Thermophys.
// 24:41 (2003), table III: 13.454 MPa at 700 K and 200 kg/m3 (with their
// 469.7 K, 232 kg/m3 and 8.31451 kJ/kmol-K; the constant set here moves it by
// less than 0.03 %).
TEST(HelmholtzSecondGroupTest, PentaneAgainstItsPublishedCheckValue) {
  auto pentane = ByName("n-pentane");
  ASSERT_NE(pentane, nullptr);
  const Extended T = 700, rho = 200;
  const Extended delta = rho * pentane->VCrit;
  const Extended P = (1 + delta * pentane->AlphaRDelta(pentane->TCrit / T, delta)) * pentane->R() * T * rho;
  EXPECT_TRUE(Within(P, 13454, 5e-4L));
  EXPECT_EQ(PentaneResidualPart.exponential.t[4], 14.5L);
  EXPECT_EQ(PentaneResidualPart.exponential.t[5], 12);
}

// Xenon's surface tension at its normal boiling point 165.05 K against the
// correlation of Mulero, Cachadina and Parra (2012) with its own critical
// temperature 289.733 K: 0.018209 N/m. Below the triple point: error 137.
TEST(HelmholtzSecondGroupTest, XenonSurfaceTension) {
  auto xenon = ByName("Xenon");
  ASSERT_NE(xenon, nullptr);
  UnitConversionEnabled = true;
  xenon->ArgCount = 1;
  xenon->ArgKind[1] = kT;
  TPropertyArgumentRecord a;
  a.Value[1] = 165.05L;
  CalcErrorCode = 0;
  const Extended sigma = xenon->SurfaceTension(a);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(Within(sigma, 0.018209L, 0.02L));
  a.Value[1] = 150;
  xenon->SurfaceTension(a);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
  CalcErrorCode = 0;
}

// ---- Every pair ------------------------------------------------------------------

struct TGroupGridPoint {
  const char* fluid;
  const char* name;
  Extended T, rho;
  bool twoPhase;
};

// Compressed liquid (just denser than the saturated liquid of its
// temperature, below the critical pressure), two-phase, vapour and
// supercritical states of each fluid. Critical points: neon 44.49 K, 483
// kg/m3; ethylene 282.35 K, 214; R23 299.28 K, 526; R125 339.17 K, 568;
// n-pentane 469.69 K, 232; xenon 289.74 K, 1099.
const TGroupGridPoint kGroupGrid[] = {
    {"Neon", "liquid 27 K", 27, 1210, false},           {"Neon", "liquid 35 K", 35, 1048, false},
    {"Neon", "two-phase 30 K", 30, 100, true},          {"Neon", "vapour 40 K", 40, 20, false},
    {"Neon", "supercritical 60 K", 60, 300, false},     {"Neon", "supercritical 300 K", 300, 10, false},
    {"Ethylene", "liquid 200 K", 200, 525, false},      {"Ethylene", "liquid 250 K", 250, 426, false},
    {"Ethylene", "two-phase 220 K", 220, 50, true},     {"Ethylene", "vapour 250 K", 250, 10, false},
    {"Ethylene", "supercritical 300 K", 300, 200, false}, {"Ethylene", "supercritical 400 K", 400, 50, false},
    {"R23", "liquid 200 K", 200, 1405, false},          {"R23", "liquid 260 K", 260, 1125, false},
    {"R23", "two-phase 250 K", 250, 100, true},         {"R23", "vapour 280 K", 280, 20, false},
    {"R23", "supercritical 320 K", 320, 400, false},    {"R23", "supercritical 450 K", 450, 50, false},
    {"R125", "liquid 250 K", 250, 1423, false},         {"R125", "liquid 300 K", 300, 1182, false},
    {"R125", "two-phase 280 K", 280, 200, true},        {"R125", "vapour 300 K", 300, 20, false},
    {"R125", "supercritical 360 K", 360, 500, false},   {"R125", "supercritical 420 K", 420, 50, false},
    {"n-pentane", "liquid 300 K", 300, 620, false},     {"n-pentane", "liquid 400 K", 400, 503, false},
    {"n-pentane", "two-phase 350 K", 350, 50, true},    {"n-pentane", "vapour 400 K", 400, 5, false},
    {"n-pentane", "supercritical 500 K", 500, 250, false}, {"n-pentane", "supercritical 580 K", 580, 20, false},
    {"Xenon", "liquid 170 K", 170, 2915, false},        {"Xenon", "liquid 250 K", 250, 2245, false},
    {"Xenon", "two-phase 200 K", 200, 300, true},       {"Xenon", "vapour 250 K", 250, 50, false},
    {"Xenon", "supercritical 320 K", 320, 800, false},  {"Xenon", "supercritical 600 K", 600, 100, false},
};

const std::vector<std::pair<int32_t, int32_t>> kGroupPairs = {
    {kT, kP}, {kT, kH}, {kT, kU}, {kT, kS}, {kT, kV},
    {kP, kH}, {kP, kU}, {kP, kS}, {kP, kV}, {kH, kS},
    {kU, kS}, {kH, kV}, {kU, kV}, {kS, kV}, {kT, kX},
    {kP, kX}, {kH, kX}, {kU, kX}, {kS, kX}, {kV, kX}};

TEST(HelmholtzSecondGroupTest, EveryPairSolvesBackToTheStateItCameFrom) {
  for (const TGroupGridPoint& g : kGroupGrid) {
    auto o = ByName(g.fluid);
    ASSERT_NE(o, nullptr);
    const std::array<Extended, 8> ref = State(*o, kT, g.T, kV, 1 / g.rho);
    ASSERT_EQ(CalcErrorCode, 0) << g.fluid << " " << g.name;
    const bool twoPhase = ref[kX] >= 0 && ref[kX] <= 1;
    ASSERT_EQ(twoPhase, g.twoPhase) << g.fluid << " " << g.name << " x " << static_cast<double>(ref[kX]);
    if (!twoPhase && ref[kX] == -100) {
      EXPECT_LT(ref[kP], o->PCrit) << g.fluid << " " << g.name;
    }
    const Extended hSatLiquid = g.T < o->TCrit ? Call(*o, kH, kT, g.T, kX, 0) : 0;
    for (const auto& [k1, k2] : kGroupPairs) {
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
      EXPECT_TRUE(Within(got[kT], ref[kT], 1e-6L)) << where << " T";
      EXPECT_TRUE(Within(got[kP], ref[kP], 1e-6L)) << where << " P";
      EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ref[kX]), 1e-6) << where;
    }
  }
}

}  // namespace
}  // namespace voq
