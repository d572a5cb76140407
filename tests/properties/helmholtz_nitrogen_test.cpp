// Nitrogen by its high-accuracy equation of state through the shared
// Helmholtz object: saturation, states at (T, P), (T, x) and (P, x), the
// state cache, the range checks and the reference options.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "eos_call.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

using testing::Call;
using testing::UseSiMassKpaKjK;

constexpr int32_t kNitrogenRow = 28;

std::unique_ptr<TGeneralEosSubstance> MakeNitrogen() {
  CalcErrorCode = 0;
  auto* object = CreatePropertyObject(kNitrogenRow);
  auto* eos = dynamic_cast<TGeneralEosSubstance*>(object);
  EXPECT_NE(eos, nullptr);
  return std::unique_ptr<TGeneralEosSubstance>(eos);
}

class NitrogenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSiMassKpaKjK();
    n2 = MakeNitrogen();
    ASSERT_EQ(CalcErrorCode, 0);
  }
  std::unique_ptr<TGeneralEosSubstance> n2;
};

TEST_F(NitrogenTest, FactoryBuildsTheModelForTheNitrogenRowOnly) {
  EXPECT_EQ(n2->SubstanceCode, kNitrogenRow);
  EXPECT_EQ(n2->CatalogRow, kNitrogenRow);
  EXPECT_EQ(n2->isIdealGas(), 0);
  EXPECT_EQ(n2->MolarMass(), 28.0134L);
}

// The vapour-pressure ancillary at the normal boiling point 77.355 K (NIST
// Chemistry WebBook: 101.325 kPa); the ancillary itself gives 101.41 kPa.
// Exactly PCrit at TCrit (a = 0).
TEST_F(NitrogenTest, SaturationPressure) {
  EXPECT_NEAR(static_cast<double>(n2->SatPressure(77.355L, 0)), 101.41, 0.005);
  EXPECT_EQ(n2->SatPressure(n2->TCrit, 0), n2->PCrit);
  // The shared saturation temperature inverts the ancillary.
  EXPECT_NEAR(static_cast<double>(n2->SatTemperature(n2->SatPressure(90, 0), 0)), 90, 1e-3);
  EXPECT_EQ(CalcErrorCode, 0);
}

// NIST Chemistry WebBook, nitrogen isobar 0.1 MPa: 1.1233 kg/m3 at 300 K;
// saturated liquid 808.6 and vapour 4.61 kg/m3 at 77.355 K.
TEST_F(NitrogenTest, DensityAgainstPublishedValues) {
  const Extended v = Call(*n2, 6, 1, 300, 2, 100);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(1 / v), 1.1233, 1.1233 * 5e-4);
  EXPECT_EQ(EosStateCache[7], 100);
  EXPECT_NEAR(static_cast<double>(n2->SatLiquidDensity(77.355L)), 806.1, 806.1 * 5e-3);
  EXPECT_NEAR(static_cast<double>(n2->SatVaporDensity(77.355L)), 4.61, 4.61 * 1e-2);
  // Compressed liquid below the critical pressure.
  Call(*n2, 6, 1, 77, 2, 1000);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosStateCache[7], -100);
}

TEST_F(NitrogenTest, PressureAtTheSaturationPressureIsRefused) {
  const Extended pSat = n2->SatPressure(100, 1);
  Call(*n2, 6, 1, 100, 2, pSat);
  EXPECT_EQ(CalcErrorCode, kMsgSaturationPhaseUnknown);
  for (size_t k = 1; k <= 11; ++k) EXPECT_EQ(EosStateCache[k], 999) << k;
}

TEST_F(NitrogenTest, ArgumentKindErrors) {
  struct Case {
    int32_t wanted, k1, k2, error;
  };
  for (const Case& c : {Case{1, 1, 2, kMsgIndependentIsDependent}, Case{3, 1, 1, kMsgIdenticalIndependentVariables},
                        Case{3, 1, 13, kMsgCorrelationUnavailable}}) {
    Call(*n2, c.wanted, c.k1, 300, c.k2, c.k2 == 2 ? 100 : 310);
    EXPECT_EQ(CalcErrorCode, c.error) << c.wanted << " " << c.k1 << " " << c.k2;
  }
  n2->ArgCount = 1;
  TPropertyArgumentRecord a;
  n2->Enthalpy(a);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNeedsTwoVariables);
  n2->ArgKind[1] = 0;
  n2->Enthalpy(a);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyIndicator);
}

// The compiler's trial call checks the kinds and solves nothing.
TEST_F(NitrogenTest, TrialCallSolvesNothing) {
  const int64_t before = EosSolveCount;
  const auto cache = EosStateCache;
  n2->SuppressWarnings = 1;
  Call(*n2, 3, 1, 1, 7, 1);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(*n2, 3, 1, 1, 1, 1);
  EXPECT_EQ(CalcErrorCode, kMsgIdenticalIndependentVariables);
  n2->SuppressWarnings = 0;
  EXPECT_EQ(EosSolveCount, before);
  EXPECT_EQ(EosStateCache, cache);
}

// h then s at the same (T, x) solve once, also with x moved by less than
// 1e-9 and with the arguments in the other order; (T, P) always solves.
TEST_F(NitrogenTest, StateCacheServesRepeatedStates) {
  const int64_t start = EosSolveCount;
  const Extended h = Call(*n2, 3, 1, 90, 7, 0.3L);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosSolveCount, start + 1);
  const Extended s = Call(*n2, 5, 1, 90, 7, 0.3L + 5e-10L);
  const Extended h2 = Call(*n2, 3, 7, 0.3L, 1, 90);
  EXPECT_EQ(EosSolveCount, start + 1);
  EXPECT_EQ(h2, h);
  EXPECT_EQ(s, EosStateCache[5]);
  Call(*n2, 5, 1, 90, 7, 0.3L + 2e-9L);
  EXPECT_EQ(EosSolveCount, start + 2);
  Call(*n2, 3, 1, 300, 2, 100);
  Call(*n2, 5, 1, 300, 2, 100);
  EXPECT_EQ(EosSolveCount, start + 4);
  // Quality, pressure and volume of a two-phase state: the ancillary
  // pressure and the quality-weighted volume.
  const Extended x = Call(*n2, 7, 1, 90, 6, EosStateCache[6]);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(x, 100);
  Call(*n2, 6, 1, 90, 7, 0.5L);
  const Extended v = EosStateCache[6];
  EXPECT_NEAR(static_cast<double>(Call(*n2, 7, 1, 90, 6, v)), 0.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(EosStateCache[2]), static_cast<double>(n2->SatPressure(90, 0)), 1e-9);
}

TEST_F(NitrogenTest, RangeChecks) {
  Call(*n2, 3, 1, 50, 2, 100);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
  EXPECT_NE(MessageArgs[1].find(" < T [K] < "), std::string::npos) << MessageArgs[1];
  EXPECT_EQ(MessageArgs[2], "50 K");
  Call(*n2, 3, 1, 2000.5L, 2, 100);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
  Call(*n2, 3, 1, 300, 2, 1.5e6L);
  EXPECT_EQ(CalcErrorCode, kMsgPressureRange);
  EXPECT_EQ(MessageArgs[1].rfind("0 < P [kPa] < ", 0), 0u) << MessageArgs[1];
  Call(*n2, 3, 1, 300, 2, 0.5e-6L);
  EXPECT_EQ(CalcErrorCode, kMsgPressureRange);
  Call(*n2, 3, 1, 90, 7, 1.01L);
  EXPECT_EQ(CalcErrorCode, kMsgQualityRange);
  EXPECT_EQ(GetMessageText(kMsgQualityRange), "Quality must be between 0 and 1.");

  // The limits themselves pass.
  Call(*n2, 3, 1, n2->TMin, 7, 0.5L);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(*n2, 3, 1, n2->TMax, 2, 100);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(*n2, 3, 1, 300, 2, 1e-6L);
  EXPECT_NE(CalcErrorCode, kMsgPressureRange);

  // The property-plot lines skip the checks.
  n2->SkipRangeCheck = 1;
  SolveEosState(*n2, 2, 3, 1, 2, 2100, 100);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(EosStateCache[1], 2100);
}

TEST_F(NitrogenTest, TwoPhaseAtTemperatureAndPressureAndQuality) {
  // (P, x) and (T, x) describe the same saturated states.
  const Extended T = Call(*n2, 1, 2, 101.41L, 7, 0);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(T), 77.355, 2e-3);
  const Extended hP = Call(*n2, 3, 2, 101.41L, 7, 0.4L);
  const Extended hT = Call(*n2, 3, 1, T, 7, 0.4L);
  EXPECT_NEAR(static_cast<double>(hP), static_cast<double>(hT), 1e-3);
  // Above the critical point there is no two-phase state.
  Call(*n2, 3, 1, 130, 7, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  Call(*n2, 3, 2, 3500, 7, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  // T from (h, x) inverts h at (T, x).
  const Extended h = Call(*n2, 3, 1, 95, 7, 0.25L);
  EXPECT_NEAR(static_cast<double>(Call(*n2, 1, 3, h, 7, 0.25L)), 95, 1e-6);
  EXPECT_EQ(CalcErrorCode, 0);
}

// Latent heat of nitrogen at the normal boiling point: 199.2 kJ/kg (NIST
// Chemistry WebBook, saturation properties).
TEST_F(NitrogenTest, LatentHeatAtTheNormalBoilingPoint) {
  const Extended hl = Call(*n2, 3, 1, 77.355L, 7, 0);
  const Extended hv = Call(*n2, 3, 1, 77.355L, 7, 1);
  EXPECT_NEAR(static_cast<double>(hv - hl), 199.2, 2.0);
}

TEST(NitrogenReferenceTest, IirIsNotValidForNitrogen) {
  UseSiMassKpaKjK();
  SubstanceCatalog[kNitrogenRow].ReferenceState = 3;
  auto n2 = MakeNitrogen();
  EXPECT_EQ(CalcErrorCode, kMsgReferenceNotValid);
  EXPECT_EQ(GetMessageText(CalcErrorCode), "The IIR reference option is not valid for Nitrogen.");
  EXPECT_EQ(SubstanceCatalog[kNitrogenRow].RefEnthalpyOffset, 0);
  EXPECT_EQ(SubstanceCatalog[kNitrogenRow].RefEntropyOffset, 0);
  EXPECT_NE(n2, nullptr);
}

// NBP: h = s = 0 for saturated liquid at 101.325 kPa. The offsets are in
// kJ/kg and kJ/kg-K whatever the document's units at construction.
TEST(NitrogenReferenceTest, OffsetsDoNotDependOnTheDocumentUnits) {
  SubstanceCatalog[kNitrogenRow].ReferenceState = 1;
  UseSiMassKpaKjK();
  auto si = MakeNitrogen();
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended hOffset = SubstanceCatalog[kNitrogenRow].RefEnthalpyOffset;
  const Extended sOffset = SubstanceCatalog[kNitrogenRow].RefEntropyOffset;
  EXPECT_NE(hOffset, 0);
  EXPECT_NEAR(static_cast<double>(Call(*si, 3, 2, 101.325L, 7, 0)), 0, 1e-9);
  EXPECT_NEAR(static_cast<double>(Call(*si, 5, 2, 101.325L, 7, 0)), 0, 1e-12);

  struct Units {
    uint8_t system, molar, pressure, energy;
  };
  for (const Units u : {Units{1, 0, 0, 0}, Units{0, 1, 0, 0}, Units{1, 1, 1, 0}, Units{0, 0, 3, 0}}) {
    DocumentSettings.UnitSystem = u.system;
    DocumentSettings.MolarBasis = u.molar;
    DocumentSettings.PressureUnit = u.pressure;
    DocumentSettings.EnergyUnit = u.energy;
    const TDocumentSettingsRecord before = DocumentSettings;
    auto other = MakeNitrogen();
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(static_cast<double>(SubstanceCatalog[kNitrogenRow].RefEnthalpyOffset), static_cast<double>(hOffset),
                1e-9);
    EXPECT_NEAR(static_cast<double>(SubstanceCatalog[kNitrogenRow].RefEntropyOffset), static_cast<double>(sOffset),
                1e-12);
    EXPECT_EQ(DocumentSettings.UnitSystem, before.UnitSystem);
    EXPECT_EQ(DocumentSettings.MolarBasis, before.MolarBasis);
    // At the reference state the document sees 0 in its own units.
    Extended pRef = 101.325L;
    UnitConversionEnabled = true;
    PropertyFromInternalUnits(2, pRef);
    EXPECT_NEAR(static_cast<double>(Call(*other, 3, 2, pRef, 7, 0)), 0, 1e-7);
  }
}

// On a molar basis with non-zero offsets, T from (h, x) with h from (T, x)
// gives back T.
TEST(NitrogenReferenceTest, MolarRoundTripWithOffsets) {
  SubstanceCatalog[kNitrogenRow].ReferenceState = 1;
  UseSiMassKpaKjK();
  DocumentSettings.MolarBasis = 1;
  auto n2 = MakeNitrogen();
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_NE(SubstanceCatalog[kNitrogenRow].RefEnthalpyOffset, 0);
  const Extended h = Call(*n2, 3, 1, 85, 7, 0.6L);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(Call(*n2, 1, 3, h, 7, 0.6L)), 85, 1e-6);
  EXPECT_EQ(CalcErrorCode, 0);
}

// A fluid whose saturation search fails: its reference option fails with
// 674 and leaves the offsets 0; the failed state's 999 never becomes an
// offset.
class TFailingSaturation final : public TGeneralEosSubstance {
 public:
  Extended Alpha0(Extended tau, Extended delta) override { return std::log(delta) + 2.5L * std::log(tau); }
  Extended AlphaR(Extended, Extended) override { return 0; }
  Extended SatPressure(Extended T, Extended) override { return 100 * T / 80; }
  Extended SatTemperature(Extended, Extended) override {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return 0;
  }
  Extended SatLiquidDensity(Extended) override { return 800; }
  Extended SatVaporDensity(Extended) override { return 4; }
};

TEST(NitrogenReferenceTest, AFailedReferenceSolveIsAFailedOption) {
  SubstanceCatalog[kNitrogenRow].ReferenceState = 1;
  UseSiMassKpaKjK();
  TFailingSaturation fluid;
  fluid.CatalogRow = kNitrogenRow;
  fluid.GasConstant = 8.314L;
  fluid.MolarMassValue = 28;
  fluid.TCrit = 126;
  fluid.PCrit = 3400;
  fluid.VCrit = 0.003L;
  fluid.TMin = 60;
  fluid.TMax = 2000;
  fluid.PMax = 1e6L;
  CalcErrorCode = 0;
  InitGeneralEos(fluid);
  EXPECT_EQ(CalcErrorCode, kMsgReferenceNotValid);
  EXPECT_EQ(MessageArgs[2], "NBP");
  EXPECT_EQ(SubstanceCatalog[kNitrogenRow].RefEnthalpyOffset, 0);
  EXPECT_EQ(SubstanceCatalog[kNitrogenRow].RefEntropyOffset, 0);
}

TEST_F(NitrogenTest, ConstantSlots) {
  EXPECT_EQ(n2->T_crit(), 126.193L);
  EXPECT_EQ(n2->P_crit(), 3397.8L);
  DocumentSettings.MolarBasis = 1;
  EXPECT_NEAR(static_cast<double>(n2->v_crit()), 0.00319380889803194615 * 28.0134, 1e-15);
  // Published acentric factor of nitrogen 0.0372 (Span et al., 2000).
  EXPECT_NEAR(static_cast<double>(n2->AcentricFactor()), 0.0372, 3e-3);
  EXPECT_GE(n2->AcentricFactor(), 0);
}

// A fluid with P = R T rho (1 - delta), R T = 100 kPa m3/kg and VCrit = 0.01:
// P rises to 2500 kPa at rho = 50 and falls beyond. With a saturation
// pressure of 1000 kPa the roots are rho = 50 -+ sqrt(1500). A start just
// below the maximum sends the first secant step to a negative density.
class TConcavePressure final : public TGeneralEosSubstance {
 public:
  Extended Alpha0(Extended tau, Extended delta) override { return std::log(delta) + std::log(tau); }
  Extended AlphaR(Extended, Extended delta) override { return -delta; }
  Extended AlphaRDelta(Extended, Extended) override { return -1; }
  Extended SatPressure(Extended, Extended) override { return 1000; }
  Extended SatLiquidDensity(Extended) override { return 88.73L; }
  Extended SatVaporDensity(Extended) override { return 11.27L; }
};

TEST(HelmholtzSaturationTest, NegativeSecantDensityRestartsFromAFixedSmallDensity) {
  TConcavePressure fluid;
  fluid.GasConstant = 8.314L;
  fluid.MolarMassValue = 8.314L;
  fluid.TCrit = 200;
  fluid.VCrit = 0.01L;
  std::srand(1);
  const Extended first = RefineSatDensity(fluid, 100, 49, 1);
  std::srand(987654);
  (void)std::rand();
  const Extended second = RefineSatDensity(fluid, 100, 49, 1);
  EXPECT_EQ(first, second);
  EXPECT_NEAR(static_cast<double>(first), 50 - std::sqrt(1500.0), 1e-6);
}

// Nitrogen seen through a wrapper that counts the saturation slots.
class TCountingNitrogen final : public TGeneralEosSubstance {
 public:
  TCountingNitrogen() : inner_(dynamic_cast<TGeneralEosSubstance*>(CreateEosNitrogen())) {
    GasConstant = inner_->GasConstant;
    TCrit = inner_->TCrit;
    PCrit = inner_->PCrit;
    VCrit = inner_->VCrit;
    MolarMassValue = inner_->MolarMassValue;
    TMin = inner_->TMin;
    TMax = inner_->TMax;
    PMax = inner_->PMax;
  }
  Extended Alpha0(Extended t, Extended d) override { return inner_->Alpha0(t, d); }
  Extended AlphaR(Extended t, Extended d) override { return inner_->AlphaR(t, d); }
  Extended AlphaRDelta(Extended t, Extended d) override { return inner_->AlphaRDelta(t, d); }
  Extended Alpha0Tau(Extended t, Extended d) override { return inner_->Alpha0Tau(t, d); }
  Extended AlphaRTau(Extended t, Extended d) override { return inner_->AlphaRTau(t, d); }
  Extended SatPressure(Extended T, Extended X) override {
    ++saturationCalls;
    return inner_->SatPressure(T, X);
  }
  Extended SatLiquidDensity(Extended T) override {
    ++saturationCalls;
    return inner_->SatLiquidDensity(T);
  }
  Extended SatVaporDensity(Extended T) override {
    ++saturationCalls;
    return inner_->SatVaporDensity(T);
  }
  int saturationCalls = 0;

 private:
  std::unique_ptr<TGeneralEosSubstance> inner_;
};

TEST(HelmholtzSaturationTest, StateFromTauDelta) {
  UseSiMassKpaKjK();
  TCountingNitrogen n2;
  // At or above TCrit the saturation slots are never asked.
  const TEosPoint gas = StateFromTauDelta(n2, n2.TCrit / 200, 10 * n2.VCrit);
  EXPECT_EQ(n2.saturationCalls, 0);
  EXPECT_GT(gas.P, 0);
  StateFromTauDelta(n2, 1, 1);
  EXPECT_EQ(n2.saturationCalls, 0);
  // Exactly the saturated-vapour volume: the dew-side pressure and the
  // vapour's own energies.
  const Extended T = 100;
  const Extended tau = n2.TCrit / T;
  const Extended rhoV = n2.SatVaporDensity(T);
  const TEosPoint vapour = StateFromTauDelta(n2, tau, rhoV * n2.VCrit);
  EXPECT_EQ(vapour.P, n2.SatPressure(T, 1));
  const TEosEnergies own = EnergiesFromHelmholtz(n2, tau, rhoV * n2.VCrit, T, vapour.P);
  EXPECT_NEAR(static_cast<double>(vapour.h), static_cast<double>(own.h), 1e-9);
  // Inside the dome: the lever rule in volume, h = u + P v.
  const Extended rhoL = n2.SatLiquidDensity(T);
  const Extended v = 0.25L / rhoL + 0.75L / rhoV;
  const TEosPoint mix = StateFromTauDelta(n2, tau, n2.VCrit / v);
  const TEosPoint liquid = StateFromTauDelta(n2, tau, rhoL * n2.VCrit);
  EXPECT_NEAR(static_cast<double>(mix.u), static_cast<double>(0.25L * liquid.u + 0.75L * vapour.u), 1e-6);
  EXPECT_NEAR(static_cast<double>(mix.h), static_cast<double>(mix.u + mix.P * v), 1e-9);
}

// Above the critical pressure there is no saturation temperature: the
// search creeps up to TCrit (the residual beyond it is 9.99e9) and stops
// there, never above it.
TEST(HelmholtzSaturationTest, SaturationTemperatureAboveTheCriticalPressure) {
  UseSiMassKpaKjK();
  auto n2 = MakeNitrogen();
  const Extended T = n2->SatTemperature(4000, 0);
  EXPECT_LE(T, n2->TCrit);
  EXPECT_GT(T, n2->TCrit - 0.01L);
}

TEST_F(NitrogenTest, CriticalTemperatureInTheDocumentsScale) {
  DocumentSettings.AbsoluteTemperature = 0;
  UnitConversionEnabled = false;
  EXPECT_NEAR(static_cast<double>(n2->T_crit()), 126.193 - 273.15, 1e-12);
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.AbsoluteTemperature = 1;
  EXPECT_NEAR(static_cast<double>(n2->P_crit()), 3397.8 / 6.894758, 1e-9);
}

// No random numbers anywhere: states and refined densities repeat exactly,
// whatever the generator's state.
TEST_F(NitrogenTest, ResultsRepeatExactly) {
  auto run = [&] {
    ClearEosStateCache();
    std::array<Extended, 5> r{};
    r[0] = Call(*n2, 6, 1, 300, 2, 100);
    r[1] = Call(*n2, 3, 1, 80, 7, 0.2L);
    r[2] = n2->SatVaporDensity(110);
    r[3] = RefineSatDensity(*n2, 100, 1e-3L, 1);
    r[4] = RefineSatDensity(*n2, 70, 2000, 0);
    return r;
  };
  const auto first = run();
  std::srand(12345);
  (void)std::rand();
  EXPECT_EQ(run(), first);
  for (size_t k : {0u, 2u, 3u, 4u}) EXPECT_GT(first[k], 0) << k;
}

}  // namespace
}  // namespace voq
