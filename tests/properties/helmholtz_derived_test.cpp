// Derived properties of the high-accuracy fluids by differences of solved
// states, on nitrogen: cp, cv, the speed of sound, the volume expansion
// coefficient and the fugacity.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kNitrogenRow = 28;
constexpr int32_t kT = 1, kP = 2, kV = 6, kX = 7;

enum class Slot { SpecHeat, Cv, SoundSpeed, VolExpCoef, Fugacity, Enthalpy, IntEnergy };

void UseSi() {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
}

// English units: R, psia, Btu/lbm.
void UseEnglish() {
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
}

class NitrogenDerivedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSi();
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(kNitrogenRow)));
    ASSERT_NE(n2, nullptr);
    ASSERT_EQ(CalcErrorCode, 0);
  }

  Extended Call(Slot slot, int32_t k1, Extended v1, int32_t k2, Extended v2) {
    UnitConversionEnabled = true;
    n2->ArgCount = 2;
    n2->ArgKind[1] = k1;
    n2->ArgKind[2] = k2;
    a.Value[1] = v1;
    a.Value[2] = v2;
    switch (slot) {
      case Slot::SpecHeat: return n2->SpecHeat(a);
      case Slot::Cv: return n2->Cv(a);
      case Slot::SoundSpeed: return n2->SoundSpeed(a);
      case Slot::VolExpCoef: return n2->VolExpCoef(a);
      case Slot::Fugacity: return n2->Fugacity(a);
      case Slot::Enthalpy: return n2->Enthalpy(a);
      default: return n2->IntEnergy(a);
    }
  }

  std::unique_ptr<TGeneralEosSubstance> n2;
  TPropertyArgumentRecord a;
};

// NIST Chemistry WebBook, Thermophysical Properties of Fluid Systems,
// nitrogen (Span et al. 2000) at 300 K and 0.1 MPa: cp 1.0413 kJ/kg-K,
// speed of sound 353.16 m/s. Within 0.5 %.
TEST_F(NitrogenDerivedTest, GasAt300KAnd100KpaMatchesPublishedValues) {
  const Extended cp = Call(Slot::SpecHeat, kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(cp), 1.0413, 1.0413 * 0.005);
  const Extended c = Call(Slot::SoundSpeed, kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(c), 353.16, 353.16 * 0.005);
  // Nearly ideal: cp - cv is the gas constant 8.31451/28.0134 kJ/kg-K, and
  // beta is 1/T, within 0.5 % (hand calculation).
  const Extended cv = Call(Slot::Cv, kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(cp - cv), 8.31451 / 28.0134, 0.005 * 8.31451 / 28.0134);
  const Extended beta = Call(Slot::VolExpCoef, kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(beta), 1.0 / 300, 0.005 / 300);
  // The caller's arguments and the asked-for state survive the neighbours.
  EXPECT_EQ(a.Value[1], 300);
  EXPECT_EQ(a.Value[2], 100);
  EXPECT_EQ(n2->ArgKind[1], kT);
  EXPECT_EQ(n2->ArgKind[2], kP);
  EXPECT_EQ(EosStateCache[1], 300);
  EXPECT_NEAR(static_cast<double>(EosStateCache[2]), 100, 1e-9);
}

// The same state in an English document: 300 K = 540 R, 100 kPa =
// 14.50377 psia; cp in Btu/lbm-R (1 kJ/kg-K = 1/4.1868) and c in ft/s.
TEST_F(NitrogenDerivedTest, EnglishDocumentGivesTheSameValuesConverted) {
  const Extended cpSi = Call(Slot::SpecHeat, kT, 300, kP, 100);
  const Extended cSi = Call(Slot::SoundSpeed, kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  UseEnglish();
  ClearEosStateCache();
  const Extended psia = 100 / 6.894757L;
  const Extended cpEn = Call(Slot::SpecHeat, kT, 540, kP, psia);
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended cEn = Call(Slot::SoundSpeed, kT, 540, kP, psia);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(cpEn * 4.1868L), static_cast<double>(cpSi), 2e-4 * static_cast<double>(cpSi));
  EXPECT_NEAR(static_cast<double>(cEn * 0.3048L), static_cast<double>(cSi), 2e-4 * static_cast<double>(cSi));
}

// Saturated liquid at the normal boiling point 77.355 K: cp 2.0415 kJ/kg-K
// (NIST Chemistry WebBook, saturation table of nitrogen), within 1 %; the
// difference is taken at 1.01 times the saturation pressure.
TEST_F(NitrogenDerivedTest, SaturatedEndsDifferenceInsideTheirPhase) {
  const Extended cpLiquid = Call(Slot::SpecHeat, kT, 77.355L, kX, 0);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(cpLiquid), 2.0415, 0.01 * 2.0415);
  const Extended psat = EosStateCache[2];
  EXPECT_EQ(EosStateCache[7], 0);  // the caller's state is back
  const Extended cpShifted = Call(Slot::SpecHeat, kT, 77.355L, kP, 1.01L * psat);
  EXPECT_NEAR(static_cast<double>(cpLiquid), static_cast<double>(cpShifted), 1e-9);
  // Saturated vapour differences at 0.99 times the saturation pressure.
  const Extended cpVapour = Call(Slot::SpecHeat, kT, 77.355L, kX, 1);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosStateCache[7], 1);
  const Extended cpVapourShifted = Call(Slot::SpecHeat, kT, 77.355L, kP, 0.99L * psat);
  EXPECT_NEAR(static_cast<double>(cpVapour), static_cast<double>(cpVapourShifted), 1e-9);
  // A liquid's cp is well above the gas's: the shift did not cross the dome.
  EXPECT_GT(cpLiquid, cpVapour);
}

TEST_F(NitrogenDerivedTest, TwoPhaseStatesAreRefusedByName) {
  struct Case {
    Slot slot;
    const char* name;
    Extended result;
  };
  const Case cases[] = {
      {Slot::SpecHeat, "SpecHeat", -1},
      {Slot::Cv, "Cv", -1},
      {Slot::VolExpCoef, "VolExpCoef", -1},
      {Slot::SoundSpeed, "SoundSpeed", -1},
  };
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    const Extended r = Call(c.slot, kT, 77.355L, kX, 0.5L);
    EXPECT_EQ(CalcErrorCode, kMsgTwoPhaseUndetermined) << c.name;
    EXPECT_EQ(MessageArgs[1], c.name);
    EXPECT_EQ(MessageArgs[2], "0.5") << c.name;
    EXPECT_EQ(r, c.result) << c.name;
  }
}

// Near the critical point (126.192 K) cv steps 0.01 K: at 130 K and the
// critical volume the result is the backward difference over 0.01 K.
TEST_F(NitrogenDerivedTest, CvNearTheCriticalPointUsesTheSmallStep) {
  const Extended v = 1 / 313.3L;
  const Extended cv = Call(Slot::Cv, kT, 130, kV, v);
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended u0 = Call(Slot::IntEnergy, kT, 130, kV, v);
  const Extended uSmall = Call(Slot::IntEnergy, kT, 129.99L, kV, v);
  EXPECT_NEAR(static_cast<double>(cv), static_cast<double>((u0 - uSmall) / 0.01L), 1e-6);
}

// At low pressure the fugacity is the pressure: 1 kPa at 300 K within
// 0.01 % (the second virial coefficient makes it 1 - 2e-6).
TEST_F(NitrogenDerivedTest, FugacityAtLowPressureIsThePressure) {
  const Extended f = Call(Slot::Fugacity, kT, 300, kP, 1);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(f), 1.0, 1e-4);
}

TEST_F(NitrogenDerivedTest, FailedSolveReturnsTheSlotsMarker) {
  // 10 K is below the equation's range: error 137.
  const Slot slots[] = {Slot::SpecHeat, Slot::VolExpCoef, Slot::Fugacity};
  const Extended results[] = {-1, -1, -999};
  for (size_t i = 0; i < 3; ++i) {
    CalcErrorCode = 0;
    EXPECT_EQ(Call(slots[i], kT, 10, kP, 100), results[i]);
    EXPECT_GT(CalcErrorCode, 0);
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

class NitrogenSurfaceTensionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(28)));
    ASSERT_NE(n2, nullptr);
  }
  Extended Sigma(int32_t count, int32_t k1, Extended v1, int32_t k2 = 0, Extended v2 = 0) {
    UnitConversionEnabled = true;
    CalcErrorCode = 0;
    n2->ArgCount = count;
    n2->ArgKind[1] = k1;
    n2->ArgKind[2] = k2;
    TPropertyArgumentRecord a;
    a.Value[1] = v1;
    a.Value[2] = v2;
    return n2->SurfaceTension(a);
  }
  std::unique_ptr<TGeneralEosSubstance> n2;
};

// sigma = 0.029107 (1 - T/126.192)^1.2572 N/m (Lemmon and Penoncello's
// nitrogen fit, as in the NIST WebBook): 0.008824 N/m at the normal boiling
// point 77.355 K (hand calculation).
TEST_F(NitrogenSurfaceTensionTest, ValueRangeAndUnits) {
  EXPECT_NEAR(static_cast<double>(Sigma(1, 1, 77.355L)), 0.008824, 5e-7);
  EXPECT_EQ(CalcErrorCode, 0);
  for (Extended T : {64.0L, 125.0L}) {
    EXPECT_GT(Sigma(1, 1, T), 0) << static_cast<double>(T);
    EXPECT_EQ(CalcErrorCode, 0);
  }
  EXPECT_EQ(Sigma(1, 1, 63.9L), -999);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
  EXPECT_EQ(MessageArgs[1], "64 K < T < 125 K");
  EXPECT_EQ(MessageArgs[2], "63.9 K");
  // With a range reaching the critical temperature, sigma vanishes there.
  n2->SigmaTMax = 130;
  EXPECT_EQ(Sigma(1, 1, n2->TCrit), 0);
  EXPECT_EQ(CalcErrorCode, 0);
  // English: T in R, sigma in lbf/ft (0.06852176 lbf/ft per N/m).
  DocumentSettings.UnitSystem = 1;
  EXPECT_NEAR(static_cast<double>(Sigma(1, 1, 77.355L * 1.8L)), 0.008824 * 0.06852176, 5e-7 * 0.06852176);
}

TEST_F(NitrogenSurfaceTensionTest, RefusedCalls) {
  EXPECT_EQ(Sigma(1, 2, 100), -999);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureOnlyArgument);
  EXPECT_EQ(MessageArgs[1], "SurfaceTension");
  EXPECT_EQ(Sigma(2, 1, 300, 2, 100), -999);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureOnlyArgument);
  n2->SigmaTMin = -1;
  EXPECT_EQ(Sigma(1, 1, 77.355L), -999);
  EXPECT_EQ(CalcErrorCode, kMsgSubstanceDataUnavailable);
  EXPECT_EQ(MessageArgs[1], "Surface tension");
}

}  // namespace
}  // namespace voq
