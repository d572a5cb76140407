// The one-pass evaluation of the second fluid group to second order: the
// value and first derivatives exactly as the fluids' model slots give them
// (the solvers' results rest on those), the second derivatives against
// central differences of the first ones, and the kept powers of tau and
// delta giving the same sums whatever was evaluated before.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "eos_call.h"
#include "properties/helmholtz_second_group.h"
#include "properties/helmholtz_second_group_internal.h"
#include "properties/helmholtz_table_sums.h"

namespace voq {
namespace second_group_derivatives_test {

using TCreate = TGeneralEosSubstance* (*)();

std::unique_ptr<TGeneralEosSubstance> Make(TCreate create) {
  testing::UseSiMassKpaKjK();
  CalcErrorCode = 0;
  return std::unique_ptr<TGeneralEosSubstance>(create());
}

// |got - want| within rel of the larger of |want| and scale.
::testing::AssertionResult Close(Extended got, Extended want, Extended rel, Extended scale) {
  if (std::fabs(got - want) <= rel * std::fmax(std::fabs(want), scale)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " is not within " << static_cast<double>(rel)
                                       << " of " << static_cast<double>(want);
}

// Liquid, near-critical, gas and dense supercritical points, each side of
// tau = 1.
constexpr std::array<std::pair<Extended, Extended>, 6> kPoints{
    {{0.7L, 0.2L}, {0.95L, 1.2L}, {1.3L, 2.4L}, {2.0L, 0.05L}, {1.1L, 0.8L}, {0.6L, 2.9L}}};

struct TPlainFluid {
  TCreate create;
  const TResidualPart* residual;
};
const TPlainFluid kPlainFluids[] = {{CreateEosNeon, &NeonResidualPart},
                                    {CreateEosEthylene, &EthyleneResidualPart},
                                    {CreateEosR23, &R23ResidualPart},
                                    {CreateEosR125, &R125ResidualPart},
                                    {CreateEosPentane, &PentaneResidualPart}};

// Value and first derivatives are SumResidualPart's bit for bit; the second
// derivatives are the central differences of its first ones.
TEST(SecondGroupDerivativesTest, TableSumsAreTheTermSumsWithAnalyticSecondDerivatives) {
  for (const TPlainFluid& fluid : kPlainFluids) {
    const TResidualPart& part = *fluid.residual;
    ASSERT_TRUE(TResidualTableSums::Covers(part));
    TResidualTableSums sums(part);
    for (const auto& [tau, delta] : kPoints) {
      auto sum = [&](THelmholtzPart p, Extended t, Extended d) { return SumResidualPart(part, p, t, d); };
      const TResidualDerivatives r = sums.Evaluate(tau, delta);
      EXPECT_EQ(r.a, sum(THelmholtzPart::kValue, tau, delta));
      EXPECT_EQ(r.aDelta, sum(THelmholtzPart::kDDelta, tau, delta));
      EXPECT_EQ(r.aTau, sum(THelmholtzPart::kDTau, tau, delta));
      EXPECT_EQ(sums.Value(tau, delta), sum(THelmholtzPart::kValue, tau, delta));
      EXPECT_EQ(sums.DeltaDerivative(tau, delta), r.aDelta);
      const Extended hd = 1e-6L * delta, ht = 1e-6L * tau;
      const Extended dd =
          (sum(THelmholtzPart::kDDelta, tau, delta + hd) - sum(THelmholtzPart::kDDelta, tau, delta - hd)) / (2 * hd);
      const Extended tt =
          (sum(THelmholtzPart::kDTau, tau + ht, delta) - sum(THelmholtzPart::kDTau, tau - ht, delta)) / (2 * ht);
      const Extended dt =
          (sum(THelmholtzPart::kDTau, tau, delta + hd) - sum(THelmholtzPart::kDTau, tau, delta - hd)) / (2 * hd);
      EXPECT_TRUE(Close(r.aDeltaDelta, dd, 1e-8L, std::fabs(r.aDelta))) << tau << " " << delta;
      EXPECT_TRUE(Close(r.aTauTau, tt, 1e-8L, std::fabs(r.aTau))) << tau << " " << delta;
      EXPECT_TRUE(Close(r.aDeltaTau, dt, 1e-8L, std::fabs(r.aTau))) << tau << " " << delta;
    }
  }
}

// Kept powers: after more values of tau and delta than there are slots, a
// point gives the sums of a fresh evaluation.
TEST(SecondGroupDerivativesTest, KeptPowersNeverServeAnotherPoint) {
  TResidualTableSums warm(R125ResidualPart);
  for (int round = 0; round < 3; ++round) {
    for (const auto& [tau, delta] : kPoints) {
      TResidualTableSums fresh(R125ResidualPart);
      const TResidualDerivatives a = warm.Evaluate(tau, delta);
      const TResidualDerivatives b = fresh.Evaluate(tau, delta);
      EXPECT_EQ(a.a, b.a);
      EXPECT_EQ(a.aDelta, b.aDelta);
      EXPECT_EQ(a.aTau, b.aTau);
      EXPECT_EQ(a.aTauTau, b.aTauTau);
      // Same tau, another delta; same delta, another tau.
      EXPECT_EQ(warm.Value(tau, 1.5L * delta), fresh.Value(tau, 1.5L * delta));
      EXPECT_EQ(warm.Value(0.9L * tau, delta), fresh.Value(0.9L * tau, delta));
    }
  }
}

// Xenon's one pass sums exactly XenonResidual's blocks with its products,
// in every region; the second derivatives are the differences of its first
// ones inside each region (the points stay clear of the bounds).
TEST(SecondGroupDerivativesTest, XenonOnePassSumsTheSameBlocks) {
  const std::pair<Extended, Extended> points[] = {
      {0.7L, 0.2L},   // base terms only
      {0.9L, 0.8L},   // B2, T57, B5
      {0.95L, 1.2L},  // B3, T57, B6
      {1.3L, 1.5L},   // B3, T58
      {0.8L, 2.5L},   // B4
      {1.2L, 0.5L},   // B2, T57
  };
  TTauPowerCache powers;
  for (int round = 0; round < 2; ++round) {
    for (const auto& [tau, delta] : points) {
      auto sum = [](THelmholtzPart p, Extended t, Extended d) { return XenonResidual(p, t, d); };
      const TResidualDerivatives r = XenonResidualDerivatives(powers, tau, delta);
      EXPECT_EQ(r.a, sum(THelmholtzPart::kValue, tau, delta));
      EXPECT_EQ(r.aDelta, sum(THelmholtzPart::kDDelta, tau, delta));
      EXPECT_EQ(r.aTau, sum(THelmholtzPart::kDTau, tau, delta));
      EXPECT_EQ(XenonResidualDelta(powers, tau, delta), r.aDelta);
      const Extended hd = 1e-6L * delta, ht = 1e-6L * tau;
      ASSERT_EQ(XenonBlocks(tau, delta), XenonBlocks(tau + ht, delta + hd));
      ASSERT_EQ(XenonBlocks(tau, delta), XenonBlocks(tau - ht, delta - hd));
      const Extended dd =
          (sum(THelmholtzPart::kDDelta, tau, delta + hd) - sum(THelmholtzPart::kDDelta, tau, delta - hd)) / (2 * hd);
      const Extended tt =
          (sum(THelmholtzPart::kDTau, tau + ht, delta) - sum(THelmholtzPart::kDTau, tau - ht, delta)) / (2 * ht);
      const Extended dt =
          (sum(THelmholtzPart::kDTau, tau, delta + hd) - sum(THelmholtzPart::kDTau, tau, delta - hd)) / (2 * hd);
      EXPECT_TRUE(Close(r.aDeltaDelta, dd, 1e-8L, std::fabs(r.aDelta))) << tau << " " << delta;
      EXPECT_TRUE(Close(r.aTauTau, tt, 1e-8L, std::fabs(r.aTau))) << tau << " " << delta;
      EXPECT_TRUE(Close(r.aDeltaTau, dt, 1e-8L, std::fabs(r.aTau))) << tau << " " << delta;
    }
  }
}

// What the state solvers read of an object's one-pass evaluation is what its
// model slots give (n-pentane's first derivatives being its slots' central
// differences), and the second derivatives of the whole of phi agree with
// central differences of the slots.
TEST(SecondGroupDerivativesTest, ObjectsEvaluateTheirModelSlots) {
  for (const TCreate create :
       {CreateEosNeon, CreateEosEthylene, CreateEosR23, CreateEosR125, CreateEosPentane, CreateEosXenon}) {
    auto o = Make(create);
    for (const auto& [tau, delta] : kPoints) {
      const TEosDerivatives r = o->Derivatives(tau, delta);
      EXPECT_EQ(r.a0, o->Alpha0(tau, delta)) << o->CatalogRow;
      EXPECT_EQ(r.a0Tau, o->Alpha0Tau(tau, delta)) << o->CatalogRow;
      EXPECT_EQ(r.aR, o->AlphaR(tau, delta)) << o->CatalogRow;
      EXPECT_EQ(r.aRDelta, o->AlphaRDelta(tau, delta)) << o->CatalogRow;
      EXPECT_EQ(r.aRTau, o->AlphaRTau(tau, delta)) << o->CatalogRow;
      // The density searches' own call.
      EXPECT_EQ(o->HelmholtzAlphaRDelta(tau, delta), r.aRDelta) << o->CatalogRow;
      // The ideal part's second derivative against the second difference of
      // alpha0 itself (n-pentane's and R23's Alpha0Tau are differences).
      const Extended h = 1e-4L * tau;
      const Extended a0tt = (o->Alpha0(tau + h, delta) - 2 * o->Alpha0(tau, delta) + o->Alpha0(tau - h, delta)) / (h * h);
      EXPECT_TRUE(Close(r.a0TauTau, a0tt, 1e-6L, 1)) << o->CatalogRow << " " << tau << " " << delta;
    }
  }
}

// The kept saturated densities are the ancillaries' own values, for the
// temperature asked, also after another temperature and after a change of
// the constants they read.
TEST(SecondGroupDerivativesTest, KeptSaturatedDensitiesAreTheAncillaries) {
  auto o = Make(CreateEosXenon);
  for (const Extended T : {200.0L, 250.0L, 200.0L, 200.0L}) {
    EXPECT_EQ(o->SatLiquidDensity(T), XenonSatLiquidDensity(*o, T)) << T;
    EXPECT_EQ(o->SatVaporDensity(T), XenonSatVaporDensity(*o, T)) << T;
  }
  const Extended before = o->SatLiquidDensity(220);
  o->TCrit += 1;
  const Extended after = o->SatLiquidDensity(220);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, XenonSatLiquidDensity(*o, 220));
}

}  // namespace second_group_derivatives_test
}  // namespace voq
