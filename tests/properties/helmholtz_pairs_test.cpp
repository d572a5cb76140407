// Nitrogen's state from every pair of arguments: each pair that fixes a
// state built from (T, rho) solves back to the same T, P and quality, and
// the pair solvers' edge cases and errors.
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

using testing::kH;
using testing::kP;
using testing::kS;
using testing::kT;
using testing::kU;
using testing::kV;
using testing::kX;

class NitrogenPairsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseSiMassKpaKjK();
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow("Nitrogen"))));
    ASSERT_NE(n2, nullptr);
  }
  Extended Call(int32_t wanted, int32_t k1, Extended v1, int32_t k2, Extended v2) {
    return testing::Call(*n2, wanted, k1, v1, k2, v2);
  }
  std::array<Extended, 8> State(int32_t k1, Extended v1, int32_t k2, Extended v2) {
    return testing::State(*n2, k1, v1, k2, v2);
  }
  std::unique_ptr<TGeneralEosSubstance> n2;
};

struct TGridPoint {
  const char* name;
  Extended T;
  Extended rho;  // kg/m3
  bool twoPhase;
};

// Compressed liquid, two-phase, vapour and supercritical nitrogen (critical
// point 126.19 K, 3.396 MPa, 313 kg/m3; saturated liquid 838.5, 793.9,
// 746.5 and 690.6 kg/m3 at 70, 80, 90 and 100 K, saturated vapour 10.0
// kg/m3 at 90 K: NIST Chemistry WebBook). The liquids stay below the
// critical pressure, where (T, P) labels them as liquid.
const TGridPoint kGrid[] = {
    {"liquid 70 K", 70, 840, false},          {"liquid 80 K", 80, 798, false},
    {"liquid 90 K", 90, 750, false},          {"liquid 100 K", 100, 693, false},
    {"liquid 120 K", 120, 540, false},        {"two-phase 70 K", 70, 20, true},
    {"two-phase 80 K", 80, 300, true},        {"two-phase 100 K", 100, 100, true},
    {"two-phase 120 K", 120, 400, true},      {"two-phase 90 K", 90, 50, true},
    {"vapour 80 K", 80, 2, false},            {"vapour 100 K", 100, 10, false},
    {"vapour 120 K", 120, 60, false},         {"vapour 300 K", 300, 1.1L, false},
    {"supercritical 130 K", 130, 250, false}, {"supercritical 150 K", 150, 400, false},
    {"supercritical 200 K", 200, 100, false}, {"supercritical 300 K", 300, 150, false},
    {"supercritical 1000 K", 1000, 20, false},
};

bool Close(Extended got, Extended want, Extended rel) {
  return std::fabs(got - want) <= rel * std::fmax(std::fabs(want), 1e-12L);
}

TEST_F(NitrogenPairsTest, EveryPairSolvesBackToTheStateItCameFrom) {
  const std::vector<std::pair<int32_t, int32_t>> pairs = {
      {kT, kP}, {kT, kH}, {kT, kU}, {kT, kS}, {kT, kV}, {kP, kH}, {kP, kU}, {kP, kS}, {kP, kV},
      {kH, kS}, {kU, kS}, {kH, kV}, {kU, kV}, {kS, kV}, {kT, kX}, {kP, kX}, {kH, kX}, {kU, kX},
      {kS, kX}, {kV, kX}};
  for (const TGridPoint& g : kGrid) {
    const std::array<Extended, 8> ref = State(kT, g.T, kV, 1 / g.rho);
    ASSERT_EQ(CalcErrorCode, 0) << g.name;
    const bool twoPhase = ref[kX] >= 0 && ref[kX] <= 1;
    ASSERT_EQ(twoPhase, g.twoPhase) << g.name << " x " << static_cast<double>(ref[kX]);
    // A compressed liquid above the saturated-liquid h of its temperature
    // reads as two-phase by (T, h).
    Extended hSatLiquid = Call(kH, kT, g.T, kX, 0);
    for (const auto& [k1, k2] : pairs) {
      if ((k2 == kX) != twoPhase) continue;
      if (k1 == kT && k2 == kH && ref[kX] == -100 && g.T < 126.19L && ref[kH] > hSatLiquid) continue;
      // (T, P) on the saturation line names no phase.
      if (twoPhase && k1 == kT && k2 == kP) continue;
      const std::array<Extended, 8> got = State(k1, ref[static_cast<size_t>(k1)], k2, ref[static_cast<size_t>(k2)]);
      const std::string where = std::string(g.name) + " pair " + std::to_string(k1) + "," + std::to_string(k2);
      EXPECT_EQ(CalcErrorCode, 0) << where;
      if (CalcErrorCode != 0) continue;
      EXPECT_TRUE(Close(got[kT], ref[kT], 1e-6L)) << where << " T " << static_cast<double>(got[kT]);
      if (!(twoPhase && k1 == kT && k2 == kP)) {
        EXPECT_TRUE(Close(got[kP], ref[kP], 1e-6L)) << where << " P " << static_cast<double>(got[kP]) << " want "
                                                  << static_cast<double>(ref[kP]);
      }
      EXPECT_NEAR(static_cast<double>(got[kX]), static_cast<double>(ref[kX]), 1e-6) << where;
    }
  }
}

TEST_F(NitrogenPairsTest, EnthalpyWithInternalEnergyIsRefused) {
  State(kH, 100, kU, 50);
  EXPECT_EQ(CalcErrorCode, kMsgEnthalpyIndependent);
}

TEST_F(NitrogenPairsTest, TemperaturePairsAtTheirEdges) {
  // 80 K, 5 MPa: above the vapour pressure and above the critical pressure.
  EXPECT_EQ(State(kT, 80, kP, 5000)[kX], 100);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(State(kT, 80, kP, 2000)[kX], -100);
  // (T, h) inside the dome: the quality of that h and the vapour pressure.
  const std::array<Extended, 8> mix = State(kT, 90, kX, 0.3L);
  const std::array<Extended, 8> byH = State(kT, 90, kH, mix[kH]);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(byH[kX]), 0.3, 1e-9);
  EXPECT_NEAR(static_cast<double>(byH[kP]), static_cast<double>(mix[kP]), 1e-6);
  // (T, v) at the saturated-liquid volume itself is two-phase with x = 0.
  const Extended vl = State(kT, 90, kX, 0)[kV];
  const std::array<Extended, 8> atVl = State(kT, 90, kV, vl);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(atVl[kX]), 0, 1e-12);
  // (T, x) above the critical temperature and at it.
  State(kT, 130, kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  const std::array<Extended, 8> crit = State(kT, n2->TCrit, kX, 0.5L);
  ASSERT_EQ(CalcErrorCode, 0);
  for (size_t k = 1; k <= 7; ++k) EXPECT_TRUE(std::isfinite(crit[k])) << k;
  // Critical pressure of nitrogen 3395.8 kPa (Span et al. 2000).
  EXPECT_NEAR(static_cast<double>(crit[kP]), 3395.8, 5);
  EXPECT_NEAR(static_cast<double>(crit[kV]), static_cast<double>(n2->VCrit), 1e-12);
}

TEST_F(NitrogenPairsTest, PressurePairsAtTheirEdges) {
  State(kP, n2->PCrit, kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, 0);
  State(kP, 1.001L * n2->PCrit, kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  // At or above the critical pressure (P, h) does not look for two phases,
  // even for a liquid-like state.
  const Extended hLiquid = State(kT, 80, kP, 5000)[kH];
  const std::array<Extended, 8> high = State(kP, 5000, kH, hLiquid);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(high[kX], 100);
  EXPECT_NEAR(static_cast<double>(high[kT]), 80, 1e-6);
  const Extended hNear = State(kT, 130, kP, n2->PCrit)[kH];
  EXPECT_EQ(State(kP, n2->PCrit, kH, hNear)[kX], 100);
  // (P, s) of a compressed liquid.
  const Extended sLiquid = State(kT, 80, kP, 1000)[kS];
  const std::array<Extended, 8> liquid = State(kP, 1000, kS, sLiquid);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(liquid[kX], -100);
  EXPECT_NEAR(static_cast<double>(liquid[kT]), 80, 1e-6);
}

TEST_F(NitrogenPairsTest, QualitySearchesThatFailSaySo) {
  // An enthalpy above that of the critical point at every temperature below
  // it: no saturated mixture has it.
  const Extended hHot = State(kT, 300, kP, 100)[kH];
  State(kH, hHot, kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
  // The same for the entropy, the internal energy and the volume: a search
  // that stops away from its root is not a solution.
  const std::array<Extended, 8> hot = State(kT, 300, kP, 100);
  const std::pair<int32_t, Extended> cases[] = {{kS, hot[kS] + 50}, {kU, hot[kU] + 5000}, {kV, -1}};
  for (const auto& [kind, value] : cases) {
    State(kind, value, kX, 0.5L);
    EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence) << kind;
    EXPECT_EQ(EosStateCache[1], 999) << kind;
  }
}

// Nitrogen whose vapour ancillary raises an error above 100 K, as an
// ancillary outside its range may: the quality searches meet it on the way.
class TFailingAboveEos final : public TGeneralEosFamilyA {
 public:
  explicit TFailingAboveEos(TGeneralEosSubstance& n2) : real(n2) {
    TCrit = n2.TCrit;
    PCrit = n2.PCrit;
    VCrit = n2.VCrit;
    TMin = n2.TMin;
    TMax = n2.TMax;
    PMax = n2.PMax;
    MolarMassValue = n2.MolarMassValue;
    GasConstant = n2.GasConstant;
  }
  Extended Alpha0(Extended tau, Extended delta) override { return real.Alpha0(tau, delta); }
  Extended AlphaR(Extended tau, Extended delta) override { return real.AlphaR(tau, delta); }
  Extended AlphaRDelta(Extended tau, Extended delta) override { return real.AlphaRDelta(tau, delta); }
  Extended Alpha0Tau(Extended tau, Extended delta) override { return real.Alpha0Tau(tau, delta); }
  Extended AlphaRTau(Extended tau, Extended delta) override { return real.AlphaRTau(tau, delta); }
  Extended SatPressure(Extended T, Extended X) override { return real.SatPressure(T, X); }
  Extended SatLiquidDensity(Extended T) override { return real.SatLiquidDensity(T); }
  Extended SatVaporDensity(Extended T) override {
    if (T > 100) CalcErrorCode = kMsgSqrtOfNegative;
    return real.SatVaporDensity(T);
  }
  TGeneralEosSubstance& real;
};

TEST_F(NitrogenPairsTest, AQualitySearchStoppedByAnErrorIsNoSolution) {
  TFailingAboveEos failing(*n2);
  // Entropy, internal energy and volume of the half-evaporated fluid at
  // 110 K, where the vapour ancillary fails: the search runs into it.
  TEosWorkState target;
  SolveStateTX(*n2, 110, 0.5L, target);
  ASSERT_EQ(CalcErrorCode, 0);
  for (const auto& [kind, value] : {std::pair<int32_t, Extended>{kS, target.s}, {kU, target.u}, {kV, target.v}}) {
    CalcErrorCode = 0;
    TEosWorkState w;
    SolveStateQualityPair(failing, kind, value, 0.5L, w);
    EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence) << kind;
    EXPECT_EQ(w.T, 0) << kind;
  }
  // Below 100 K the same searches succeed.
  SolveStateTX(*n2, 90, 0.5L, target);
  for (const auto& [kind, value] : {std::pair<int32_t, Extended>{kS, target.s}, {kU, target.u}, {kV, target.v}}) {
    CalcErrorCode = 0;
    TEosWorkState w;
    SolveStateQualityPair(failing, kind, value, 0.5L, w);
    EXPECT_EQ(CalcErrorCode, 0) << kind;
    EXPECT_NEAR(static_cast<double>(w.T), 90, 1e-6) << kind;
  }
}

// Nitrogen made zeotropic: the dew pressure 5 % below the bubble pressure,
// every two-phase point at one temperature at the dew pressure.
class TZeotropicEos final : public TGeneralEosFamilyA {
 public:
  explicit TZeotropicEos(TGeneralEosSubstance& n2) : real(n2) {
    TCrit = n2.TCrit;
    PCrit = n2.PCrit;
    VCrit = n2.VCrit;
    TMin = n2.TMin;
    TMax = n2.TMax;
    PMax = n2.PMax;
    MolarMassValue = n2.MolarMassValue;
    GasConstant = n2.GasConstant;
    TwoPhaseDewPressure = 1;
  }
  Extended Alpha0(Extended tau, Extended delta) override { return real.Alpha0(tau, delta); }
  Extended AlphaR(Extended tau, Extended delta) override { return real.AlphaR(tau, delta); }
  Extended AlphaRDelta(Extended tau, Extended delta) override { return real.AlphaRDelta(tau, delta); }
  Extended Alpha0Tau(Extended tau, Extended delta) override { return real.Alpha0Tau(tau, delta); }
  Extended AlphaRTau(Extended tau, Extended delta) override { return real.AlphaRTau(tau, delta); }
  Extended SatPressure(Extended T, Extended X) override { return real.SatPressure(T, X) * (1 - 0.05L * X); }
  Extended SatLiquidDensity(Extended T) override { return real.SatLiquidDensity(T); }
  Extended SatVaporDensity(Extended T) override { return real.SatVaporDensity(T); }
  TGeneralEosSubstance& real;
};

TEST_F(NitrogenPairsTest, ZeotropicTwoPhaseRunsFromBubbleToDewTemperature) {
  TZeotropicEos zeo(*n2);
  const Extended P = 500;
  const Extended tBubble = zeo.SatTemperature(P, 0);
  const Extended tDew = zeo.SatTemperature(P, 1);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_GT(tDew, tBubble + 0.5L);
  TEosWorkState liquid, vapour;
  SolveStateTX(zeo, tBubble, 0, liquid);
  SolveStateTX(zeo, tDew, 1, vapour);
  ASSERT_EQ(CalcErrorCode, 0);
  for (const Extended x : {0.25L, 0.5L, 0.9L}) {
    TEosWorkState w;
    SolveStatePY(zeo, kH, P, liquid.h + x * (vapour.h - liquid.h), w);
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(static_cast<double>(w.x), static_cast<double>(x), 1e-9);
    EXPECT_NEAR(static_cast<double>(w.T), static_cast<double>(tBubble + x * (tDew - tBubble)), 1e-9);
    EXPECT_EQ(w.P, P);
  }
}

TEST_F(NitrogenPairsTest, VolumePairsAgreeOnTheQualityLabel) {
  for (const auto& [T, rho] : {std::pair<Extended, Extended>{90, 300}, {80, 798}, {100, 10}}) {
    const std::array<Extended, 8> ref = State(kT, T, kV, 1 / rho);
    const std::array<Extended, 8> bySV = State(kS, ref[kS], kV, ref[kV]);
    EXPECT_EQ(CalcErrorCode, 0);
    const std::array<Extended, 8> byHV = State(kH, ref[kH], kV, ref[kV]);
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(static_cast<double>(bySV[kX]), static_cast<double>(byHV[kX]), 1e-9) << static_cast<double>(T);
    EXPECT_NEAR(static_cast<double>(bySV[kX]), static_cast<double>(ref[kX]), 1e-6) << static_cast<double>(T);
  }
}

}  // namespace
}  // namespace voq
