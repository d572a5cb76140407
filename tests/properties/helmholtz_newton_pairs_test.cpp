// The (P, h), (P, u) and (P, s) states by Newton steps on (tau, delta)
// against the temperature search alone, on a grid of pressures below and
// above the critical pressure and of energies and entropies from below the
// fluid's lowest temperature to far into the gas: the same error in the
// same cases, and otherwise the same state to the search's own tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_state.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

struct TGridCase {
  const char* fluid;
  int32_t kind;              // 3 h, 4 u, 5 s
  Extended yLow, yHigh;      // kJ/kg or kJ/kg-K, the formulation's own reference
  Extended pressures[4];     // kPa
};

struct TOutcome {
  int32_t error = 0;
  TEosWorkState w;
};

TOutcome Solve(TGeneralEosSubstance& o, int32_t kind, Extended P, Extended y, bool newton) {
  EosPairNewton = newton;
  CalcErrorCode = 0;
  TOutcome out;
  SolveStatePY(o, kind, P, y, out.w);
  out.error = CalcErrorCode;
  EosPairNewton = true;
  return out;
}

class NewtonPairGridTest : public ::testing::TestWithParam<TGridCase> {};

TEST_P(NewtonPairGridTest, AgreesWithTheTemperatureSearch) {
  const TGridCase& c = GetParam();
  DocumentSettings.UnitSystem = 0;
  CalcErrorCode = 0;
  std::unique_ptr<TGeneralEosSubstance> o(
      dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow(c.fluid))));
  ASSERT_NE(o, nullptr);
  int32_t solved = 0;
  for (const Extended P : c.pressures) {
    for (int i = 0; i <= 40; ++i) {
      const Extended y = c.yLow + (c.yHigh - c.yLow) * i / 40;
      const TOutcome search = Solve(*o, c.kind, P, y, false);
      const TOutcome newton = Solve(*o, c.kind, P, y, true);
      const std::string at = std::string(c.fluid) + " kind " + std::to_string(c.kind) + " P " +
                             std::to_string(static_cast<double>(P)) + " y " + std::to_string(static_cast<double>(y));
      ASSERT_EQ(newton.error, search.error) << at;
      if (search.error > 0) continue;
      ++solved;
      // The search meets |y - y(T)| < 1e-11 on (T, P) states whose density
      // is solved to 1e-7 kPa of pressure, so its volume is good to about
      // 1e-7/P of itself (at low pressure); the rest follows from that.
      const Extended volume = 2e-7L / P + 1e-9L;
      const Extended R = o->R();
      const Extended T = search.w.T;
      auto given = [&](const TOutcome& out) { return c.kind == 3 ? out.w.h : c.kind == 4 ? out.w.u : out.w.s; };
      EXPECT_NEAR(static_cast<double>(given(newton) - given(search)), 0, 2e-11) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.T / T), 1, static_cast<double>(10 * volume + 1e-8L)) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.v / search.w.v), 1, static_cast<double>(volume)) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.h - search.w.h), 0, static_cast<double>(10 * R * T * volume + 1e-6L)) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.u - search.w.u), 0, static_cast<double>(10 * R * T * volume + 1e-6L)) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.s - search.w.s), 0, static_cast<double>(10 * R * volume + 1e-9L)) << at;
      EXPECT_EQ(newton.w.P, search.w.P) << at;
      EXPECT_EQ(newton.w.x, search.w.x) << at;
    }
  }
  EXPECT_GT(solved, 0);
}

std::string CaseName(const ::testing::TestParamInfo<TGridCase>& info) {
  const std::string fluid = std::string(info.param.fluid) == "Nitrogen" ? "Nitrogen" : "Water";
  const std::string kinds = "hus";
  return fluid + "_" + kinds[static_cast<size_t>(info.param.kind - 3)];
}

// Pressures: low, middle, just below and above the critical pressure.
INSTANTIATE_TEST_SUITE_P(Fluids, NewtonPairGridTest,
                         ::testing::Values(TGridCase{"Nitrogen", 3, -160, 900, {10, 1000, 3300, 10000}},
                                           TGridCase{"Nitrogen", 4, -160, 700, {10, 1000, 3300, 10000}},
                                           TGridCase{"Nitrogen", 5, 2.5L, 8, {10, 1000, 3300, 10000}},
                                           TGridCase{"Steam_IAPWS", 3, -50, 4500, {1, 1000, 20000, 30000}},
                                           TGridCase{"Steam_IAPWS", 4, -50, 4000, {1, 1000, 20000, 30000}},
                                           TGridCase{"Steam_IAPWS", 5, -0.5L, 10, {1, 1000, 20000, 30000}}),
                         CaseName);

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// ---- (h, s) and (u, s): Newton on (tau, delta) against the volume search ----
// On a grid from beyond a cold compressed liquid to beyond a hot dilute gas:
// the same error in the same cases (states outside the equation's range,
// inside the dome and in between are the search's), else the same state.

struct TEnergyEntropyGrid {
  const char* fluid;
  int32_t energyKind;  // 3 h, 4 u
  // Corners of the grid, as (T, P) states (K, kPa): a cold compressed
  // liquid and a hot dilute gas; the grid reaches a tenth of the span
  // beyond both, into states no temperature or volume has.
  Extended tCold, pHigh, tHot, pLow;
};

struct TEnergyEntropyOutcome {
  int32_t error = 0;
  TEosWorkState w;
};

TEnergyEntropyOutcome SolveEnergyEntropy(TGeneralEosSubstance& o, int32_t kind, Extended e, Extended s, bool newton) {
  EosPairNewton = newton;
  CalcErrorCode = 0;
  TEnergyEntropyOutcome out;
  SolveStateEnergyS(o, kind, e, s, out.w);
  out.error = CalcErrorCode;
  EosPairNewton = true;
  return out;
}

class NewtonEnergyEntropyGridTest : public ::testing::TestWithParam<TEnergyEntropyGrid> {};

TEST_P(NewtonEnergyEntropyGridTest, AgreesWithTheVolumeSearch) {
  const TEnergyEntropyGrid& c = GetParam();
  DocumentSettings.UnitSystem = 0;
  CalcErrorCode = 0;
  std::unique_ptr<TGeneralEosSubstance> o(
      dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow(c.fluid))));
  ASSERT_NE(o, nullptr);
  TEosWorkState cold, hot;
  SolveStateTP(*o, c.tCold, c.pHigh, cold);
  SolveStateTP(*o, c.tHot, c.pLow, hot);
  ASSERT_EQ(CalcErrorCode, 0);
  auto energy = [&](const TEosWorkState& w) { return c.energyKind == 3 ? w.h : w.u; };
  const Extended eSpan = energy(hot) - energy(cold);
  const Extended sSpan = hot.s - cold.s;
  constexpr int kSteps = 16;
  int32_t solved = 0, failed = 0;
  for (int i = 0; i <= kSteps; ++i) {
    for (int j = 0; j <= kSteps; ++j) {
      const Extended e = energy(cold) - 0.1L * eSpan + 1.2L * eSpan * i / kSteps;
      const Extended s = cold.s - 0.1L * sSpan + 1.2L * sSpan * j / kSteps;
      const TEnergyEntropyOutcome search = SolveEnergyEntropy(*o, c.energyKind, e, s, false);
      const TEnergyEntropyOutcome newton = SolveEnergyEntropy(*o, c.energyKind, e, s, true);
      const std::string at = std::string(c.fluid) + " kind " + std::to_string(c.energyKind) + " e " +
                             std::to_string(static_cast<double>(e)) + " s " + std::to_string(static_cast<double>(s));
      ASSERT_EQ(newton.error, search.error) << at;
      if (search.error > 0) {
        ++failed;
        continue;
      }
      ++solved;
      // Both meet e and s to 1e-11 (kJ/kg, kJ/kg-K); T, v and P follow
      // from those to about 1e-9 of themselves away from the critical
      // point, where they are many times more sensitive.
      EXPECT_NEAR(static_cast<double>(energy(newton.w) - energy(search.w)), 0, 2e-11) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.s - search.w.s), 0, 2e-11) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.T / search.w.T), 1, 1e-8) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.v / search.w.v), 1, 1e-8) << at;
      EXPECT_NEAR(static_cast<double>(newton.w.P / search.w.P), 1, 1e-7) << at;
      EXPECT_EQ(newton.w.x, search.w.x) << at;
    }
  }
  // The grid holds liquids, two-phase states, vapours and states that are
  // none of these.
  EXPECT_GT(solved, 50);
  EXPECT_GT(failed, 0);
}

std::string EnergyEntropyCaseName(const ::testing::TestParamInfo<TEnergyEntropyGrid>& info) {
  const std::string fluid = std::string(info.param.fluid) == "Nitrogen" ? "Nitrogen" : "Water";
  return fluid + (info.param.energyKind == 3 ? "_h" : "_u");
}

INSTANTIATE_TEST_SUITE_P(Fluids, NewtonEnergyEntropyGridTest,
                         ::testing::Values(TEnergyEntropyGrid{"Nitrogen", 3, 65, 30000, 600, 10},
                                           TEnergyEntropyGrid{"Nitrogen", 4, 65, 30000, 600, 10},
                                           TEnergyEntropyGrid{"Steam_IAPWS", 3, 275, 50000, 1100, 1},
                                           TEnergyEntropyGrid{"Steam_IAPWS", 4, 275, 50000, 1100, 1}),
                         EnergyEntropyCaseName);

}  // namespace
}  // namespace voq
