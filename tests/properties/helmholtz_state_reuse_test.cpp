// States kept for the property calls of equations: a call with the same
// fluid, kinds, values and units takes the kept state (the numbers a solve
// gives, bit for bit), (T, P) included; anything else solves; the kinds and
// ranges are still checked on every call; a failed solve is not kept;
// clearing the state cache forgets the kept states; and outside a property
// call of an equation nothing is kept.
#include <gtest/gtest.h>

#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kNitrogenRow = 28;
constexpr int32_t kT = 1, kP = 2, kH = 3, kS = 5, kX = 7;

class StateReuseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHelmholtzState();
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(kNitrogenRow)));
    ASSERT_NE(n2, nullptr);
  }
  void TearDown() override { ResetHelmholtzState(); }
  // One call of the slot of kind `wanted`, as an equation's call makes it.
  Extended Call(int32_t wanted, int32_t k1, Extended v1, int32_t k2, Extended v2, bool inEquation = true) {
    UnitConversionEnabled = true;
    n2->ArgCount = 2;
    n2->ArgKind[1] = k1;
    n2->ArgKind[2] = k2;
    TPropertyArgumentRecord a;
    a.Value[1] = v1;
    a.Value[2] = v2;
    std::unique_ptr<TEosStateReuseScope> scope;
    if (inEquation) scope = std::make_unique<TEosStateReuseScope>();
    return wanted == kH ? n2->Enthalpy(a) : wanted == kS ? n2->Entropy(a) : n2->Temperature(a);
  }
  std::unique_ptr<TGeneralEosSubstance> n2;
};

TEST_F(StateReuseTest, SameCallTakesTheKeptStateBitForBit) {
  struct Case {
    const char* what;
    int32_t wanted, k1;
    Extended v1;
    int32_t k2;
    Extended v2;
    int64_t solves;  // of the three calls at the state and the one between
  };
  // (T, P) in the liquid and the gas; (P, h) and (T, x), whose first call
  // in an equation is served by the last state already (and kept then).
  const Case cases[] = {{"liquid T, P", kH, kT, 80, kP, 1000, 3},
                        {"gas T, P", kS, kT, 300, kP, 1000, 3},
                        {"P, h", kT, kP, 1000, kH, 150, 2},
                        {"T, x", kH, kT, 90, kX, 0.25L, 2}};
  Extended between = 250;
  for (const Case& c : cases) {
    const int64_t solves = EosSolveCount;
    // The reference: the same call solved with nothing kept.
    const Extended fresh = Call(c.wanted, c.k1, c.v1, c.k2, c.v2, false);
    ASSERT_EQ(CalcErrorCode, 0) << c.what;
    const auto freshState = EosStateCache;
    const Extended first = Call(c.wanted, c.k1, c.v1, c.k2, c.v2);
    // Another state in between, so that the last state cannot serve the
    // repeated call.
    Call(kH, kT, between, kP, 2000);
    between += 1;
    const Extended again = Call(c.wanted, c.k1, c.v1, c.k2, c.v2);
    EXPECT_EQ(CalcErrorCode, 0) << c.what;
    EXPECT_EQ(first, fresh) << c.what;
    EXPECT_EQ(again, fresh) << c.what;
    EXPECT_EQ(EosStateCache, freshState) << c.what;
    EXPECT_EQ(EosSolveCount, solves + c.solves) << c.what;
  }
  EXPECT_EQ(EosStateReuseCount, 4);
}

// What must solve again, or fail again, whatever is kept.
TEST_F(StateReuseTest, OtherKeysAndErrorsSolveOrFailOnEveryCall) {
  const Extended hKj = Call(kH, kT, 300, kP, 1000);
  ASSERT_EQ(CalcErrorCode, 0);
  int64_t solves = EosSolveCount;
  // Another energy unit: another key, and the value in J/kg.
  DocumentSettings.EnergyUnit = 0;
  const Extended hJ = Call(kH, kT, 300, kP, 1000);
  EXPECT_EQ(EosSolveCount, ++solves);
  EXPECT_NEAR(static_cast<double>(hJ / hKj), 1000, 1e-9);
  DocumentSettings.EnergyUnit = 1;
  // The kinds in the other order name the same state.
  Call(kH, kP, 1000, kT, 300);
  EXPECT_EQ(EosSolveCount, solves);
  // Outside an equation's call (T, P) always solves.
  Call(kH, kT, 300, kP, 1000, false);
  EXPECT_EQ(EosSolveCount, ++solves);
  // A range error is raised on every call and nothing is kept for it.
  for (int i = 0; i < 2; ++i) {
    Call(kH, kT, 3000, kP, 1000);
    EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
  }
  // A failed solve (the vapour pressure itself at T, P) fails again.
  const Extended pSat = n2->SatPressure(100, 1);
  for (int i = 0; i < 2; ++i) {
    Call(kH, kT, 100, kP, pSat);
    EXPECT_EQ(CalcErrorCode, kMsgSaturationPhaseUnknown);
    EXPECT_EQ(EosStateCache[1], 999);
  }
  // Clearing the state cache (compiled equations cleared, units changed)
  // forgets the kept states.
  solves = EosSolveCount;
  Call(kH, kT, 300, kP, 1000);
  EXPECT_EQ(EosSolveCount, solves);
  ClearEosStateCache();
  Call(kH, kT, 300, kP, 1000);
  EXPECT_EQ(EosSolveCount, solves + 1);
}

}  // namespace
}  // namespace voq
