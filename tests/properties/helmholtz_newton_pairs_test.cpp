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
