// Transport properties of the general family on nitrogen: the dilute-gas
// and liquid correlations, the Stiel-Thodos density corrections and their
// limits, English units and the Prandtl number.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kT = 1, kP = 2, kV = 6, kX = 7;

class NitrogenTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
    UnitConversionEnabled = true;
    CalcErrorCode = 0;
    n2.reset(dynamic_cast<TGeneralEosFamilyA*>(CreatePropertyObject(28)));
    ASSERT_NE(n2, nullptr);
  }
  void Args(int32_t k1, Extended v1, int32_t k2, Extended v2) {
    UnitConversionEnabled = true;
    CalcErrorCode = 0;
    n2->ArgCount = 2;
    n2->ArgKind[1] = k1;
    n2->ArgKind[2] = k2;
    a.Value[1] = v1;
    a.Value[2] = v2;
  }
  Extended Mu(int32_t k1, Extended v1, int32_t k2, Extended v2) {
    Args(k1, v1, k2, v2);
    return n2->Viscosity(a);
  }
  Extended K(int32_t k1, Extended v1, int32_t k2, Extended v2) {
    Args(k1, v1, k2, v2);
    return n2->Conductivity(a);
  }
  std::unique_ptr<TGeneralEosFamilyA> n2;
  TPropertyArgumentRecord a;
};

// Hand calculations from nitrogen's constants at 300 K:
// mu0 = 1e-12 (a0 + a1 T + a2 T^2 + a3 T^3) = 1.79819e-5 Pa-s,
// k0 = c0 + c1 T + c2 T^2 + c3 T^3 = 0.0258265 W/m-K. At 100 kPa the
// density term adds 1.656 rhor^1.111/xi = 0.079 micropoise, rhor = 0.003586.
TEST_F(NitrogenTransportTest, DiluteGasAt300K) {
  EXPECT_NEAR(static_cast<double>(n2->DiluteViscosityA(300)), 1.79819e-5, 1e-10);
  EXPECT_NEAR(static_cast<double>(n2->DiluteConductivityA(300)), 0.0258265, 1e-7);
  const Extended mu = Mu(kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(mu - 1.79819e-5L), 7.9e-9, 0.3e-9);
  const Extended k = K(kT, 300, kP, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_GT(k, 0.0258265L);
  EXPECT_LT(k, 0.0259L);
}

// Saturated liquid at 77.355 K: only the liquid fits, 1e-6 (b0 + b1 T + b2
// T^2 + b3 T^3) = 1.64746e-4 Pa-s and d0 + ... = 0.137546 W/m-K (hand
// calculation); saturated vapour: dilute value plus a density term.
TEST_F(NitrogenTransportTest, SaturatedEnds) {
  EXPECT_NEAR(static_cast<double>(Mu(kT, 77.355L, kX, 0)), 1.64746e-4, 1e-9);
  EXPECT_NEAR(static_cast<double>(K(kT, 77.355L, kX, 0)), 0.137546, 1e-6);
  const Extended muVapour = Mu(kT, 77.355L, kX, 1);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_GT(muVapour, n2->DiluteViscosityA(77.355L));
  Mu(kT, 77.355L, kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgTwoPhaseUndetermined);
  EXPECT_EQ(MessageArgs[1], "Viscosity");
  EXPECT_EQ(MessageHelpContext, 144);
  K(kT, 77.355L, kX, 0.5L);
  EXPECT_EQ(MessageArgs[1], "Conductivity");
}

TEST_F(NitrogenTransportTest, ReducedDensityLimits) {
  const Extended vc = n2->VCrit;
  Mu(kT, 300, kV, vc / 2.7L);
  EXPECT_EQ(CalcErrorCode, kMsgPressureRange);
  EXPECT_EQ(MessageArgs[1], "reduced density < 2.6");
  EXPECT_GT(K(kT, 300, kV, vc / 2.7L), 0);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(K(kT, 300, kV, vc / 2.9L), -1);
  EXPECT_EQ(CalcErrorCode, kMsgConductivityPressureRange);
}

// The gas-side viscosity has no step where its density branches join.
TEST_F(NitrogenTransportTest, DenseViscosityIsContinuousAtTheJoins) {
  for (Extended rhor : {0.1L, 0.9L, 2.2L}) {
    const Extended below = n2->ViscosityCorrelationA(300, n2->VCrit / (rhor - 1e-9L), 100);
    const Extended above = n2->ViscosityCorrelationA(300, n2->VCrit / (rhor + 1e-9L), 100);
    EXPECT_NEAR(static_cast<double>(above / below), 1.0, 2e-4) << static_cast<double>(rhor);
  }
}

// English: lbm/ft-hr = 2419.1 Pa-s, Btu/hr-ft-R = 0.57782 W/m-K.
TEST_F(NitrogenTransportTest, EnglishUnitsAndPrandtl) {
  const Extended muSi = Mu(kT, 300, kP, 100);
  const Extended kSi = K(kT, 300, kP, 100);
  Args(kT, 300, kP, 100);
  const Extended cp = n2->SpecHeat(a);
  Args(kT, 300, kP, 100);
  const Extended pr = n2->Prandtl(a);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(pr), static_cast<double>(muSi * cp * 1000 / kSi), 1e-9);
  EXPECT_NEAR(static_cast<double>(pr), 0.72, 0.01);  // a diatomic gas near room temperature
  DocumentSettings.UnitSystem = 1;
  ClearEosStateCache();
  const Extended psia = 100 / 6.894757L;
  EXPECT_NEAR(static_cast<double>(Mu(kT, 540, kP, psia)), static_cast<double>(muSi * 2419.1L), 1e-6);
  EXPECT_NEAR(static_cast<double>(K(kT, 540, kP, psia)), static_cast<double>(kSi * 0.57782L), 1e-7);
}

}  // namespace
}  // namespace voq
