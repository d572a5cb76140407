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
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;

class NitrogenPairsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow("Nitrogen"))));
    ASSERT_NE(n2, nullptr);
  }
  // One property call as the evaluator makes it, conversions on.
  Extended Call(int32_t wanted, int32_t k1, Extended v1, int32_t k2, Extended v2) {
    UnitConversionEnabled = true;
    n2->ArgCount = 2;
    n2->ArgKind[1] = k1;
    n2->ArgKind[2] = k2;
    TPropertyArgumentRecord a;
    a.Value[1] = v1;
    a.Value[2] = v2;
    switch (wanted) {
      case kT: return n2->Temperature(a);
      case kP: return n2->Pressure(a);
      case kH: return n2->Enthalpy(a);
      case kU: return n2->IntEnergy(a);
      case kS: return n2->Entropy(a);
      case kV: return n2->Volume(a);
      default: return n2->Quality(a);
    }
  }
  // The whole state (entries 1..7 of the cache) after a solve.
  std::array<Extended, 8> State(int32_t k1, Extended v1, int32_t k2, Extended v2) {
    ClearEosStateCache();
    CalcErrorCode = 0;
    int32_t wanted = kT;
    while (wanted == k1 || wanted == k2) ++wanted;
    Call(wanted, k1, v1, k2, v2);
    std::array<Extended, 8> s{};
    for (size_t k = 1; k <= 7; ++k) s[k] = EosStateCache[k];
    return s;
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

}  // namespace
}  // namespace voq
