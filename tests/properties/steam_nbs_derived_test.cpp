// Heat capacities, speed of sound, expansion, fugacity, transport
// properties and surface tension of water.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/document_settings.h"
#include "properties/steam_nbs.h"
#include "steam_test_support.h"

namespace voq {
namespace {

using steam_test::Call;
using steam_test::Steam;
using steam_test::UseSi;

constexpr int32_t kT = 1, kP = 2, kV = 6, kX = 7;

class SteamDerivedTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSi(false); }
};

Extended Relative(Extended value, Extended reference) { return std::fabs(value / reference - 1); }

// IAPWS-95 at 300 K and 101.325 kPa (steam_iapws95_reference.py): cp
// 4.1806, cv 4.1302 kJ/kg-K, expansion coefficient 2.74805e-4 1/K; vapour
// at 400 K, 101.325 kPa: cp 2.0093 kJ/kg-K. The cp of the two formulations
// differ by up to 1 % in the vapour (see SingleStatesAgainstIapws95).
TEST_F(SteamDerivedTest, HeatCapacitiesAndExpansionOfLiquidAndVapour) {
  auto water = Steam("Water");
  EXPECT_LT(Relative(Call(*water, &TSubstanceBase::SpecHeat, kT, 300, kP, 101.325L), 4.1806L), 0.005L);
  EXPECT_LT(Relative(Call(*water, &TSubstanceBase::Cv, kT, 300, kP, 101.325L), 4.1302L), 0.01L);
  EXPECT_LT(Relative(Call(*water, &TSubstanceBase::VolExpCoef, kT, 300, kP, 101.325L), 2.74805e-4L), 0.02L);
  EXPECT_LT(Relative(Call(*water, &TSubstanceBase::SpecHeat, kT, 400, kP, 101.325L), 2.0093L), 0.01L);
  EXPECT_EQ(CalcErrorCode, 0);
  // The slots put the block back: it still holds the state of the call.
  EXPECT_EQ(SteamStateBlock[1], 400);
  EXPECT_EQ(SteamStateBlock[2], 101.325L);
}

TEST_F(SteamDerivedTest, TwoPhaseStatesAreRejectedByName) {
  auto steam = Steam("Steam");
  struct Case {
    Extended (TSubstanceBase::*slot)(TPropertyArgumentRecord&);
    const char* name;
    Extended failure;
  };
  const Case cases[] = {
      {&TSubstanceBase::SpecHeat, "SpecHeat", -99},   {&TSubstanceBase::Cv, "Cv", -999},
      {&TSubstanceBase::SoundSpeed, "SoundSpeed", -99}, {&TSubstanceBase::VolExpCoef, "VolExpCoef", -999},
      {&TSubstanceBase::Viscosity, "Viscosity", -999}, {&TSubstanceBase::Conductivity, "Conductivity", -999},
  };
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    EXPECT_EQ(Call(*steam, c.slot, kT, 373, kX, 0.5L), c.failure) << c.name;
    EXPECT_EQ(CalcErrorCode, kMsgTwoPhaseUndetermined) << c.name;
    EXPECT_EQ(MessageArgs[1], c.name);
    EXPECT_EQ(MessageArgs[2], "0.5");
  }
}

// The compiler's probe call computes nothing, and a two-phase state left in
// the block by an earlier call is no reason to refuse it.
TEST_F(SteamDerivedTest, ProbeCallsComputeNothing) {
  auto steam = Steam("Steam");
  Call(*steam, &TSubstanceBase::Enthalpy, kT, 373, kX, 0.5L);
  steam->SuppressWarnings = 1;
  struct Case {
    Extended (TSubstanceBase::*slot)(TPropertyArgumentRecord&);
    Extended result;
  };
  const Case cases[] = {{&TSubstanceBase::VolExpCoef, -999}, {&TSubstanceBase::SpecHeat, -99},
                        {&TSubstanceBase::Viscosity, -999},  {&TSubstanceBase::Fugacity, 1},
                        {&TSubstanceBase::SoundSpeed, 0},    {&TSubstanceBase::Prandtl, -999}};
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    EXPECT_EQ(Call(*steam, c.slot, kT, 300, kP, 100), c.result);
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

// A saturated vapour is differenced at 0.999 of its pressure, a saturated
// liquid at 1.0001 times it: IAPWS-95 cp of the saturated phases at 373.15
// K are 2.0800 (vapour) and 4.2157 (liquid) kJ/kg-K (python3-iapws).
TEST_F(SteamDerivedTest, SaturatedPhasesAreAccepted) {
  auto steam = Steam("Steam");
  EXPECT_LT(Relative(Call(*steam, &TSubstanceBase::SpecHeat, kT, 373.15L, kX, 1), 2.080L), 0.02L);
  EXPECT_LT(Relative(Call(*steam, &TSubstanceBase::SpecHeat, kT, 373.15L, kX, 0), 4.2157L), 0.005L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_GT(Call(*steam, &TSubstanceBase::Viscosity, kT, 373.15L, kX, 1), 0);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(SteamDerivedTest, SpecificHeatAtThePointOfFusionStaysInItsPhase) {
  auto water = Steam("Water");
  auto ice = Steam("Ice");
  // Liquid at 0 C: IAPWS-95 at 273.15 K, 101.325 kPa 4.2194 kJ/kg-K; ice
  // Ih: IAPWS R10-06 2.0967 kJ/kg-K (both python3-iapws).
  EXPECT_NEAR(Call(*water, &TSubstanceBase::SpecHeat, kT, 273.15L, kP, 101.325L), 4.22L, 0.03L);
  EXPECT_NEAR(Call(*ice, &TSubstanceBase::SpecHeat, kT, 273.15L, kP, 101.325L), 2.10L, 0.05L);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(SteamDerivedTest, SpeedOfSoundIsTheSameOnTheMolarBasisAndInOtherPressureUnits) {
  auto steam = Steam("Steam");
  const Extended w = Call(*steam, &TSubstanceBase::SoundSpeed, kT, 500, kP, 1000);
  UseSi(true);
  EXPECT_NEAR(Call(*steam, &TSubstanceBase::SoundSpeed, kT, 500, kP, 1000), w, 1e-3L * w);
  UseSi(false);
  DocumentSettings.PressureUnit = 3;  // MPa
  EXPECT_NEAR(Call(*steam, &TSubstanceBase::SoundSpeed, kT, 500, kP, 1), w, 1e-3L * w);
  DocumentSettings.PressureUnit = 1;  // bar
  EXPECT_NEAR(Call(*steam, &TSubstanceBase::SoundSpeed, kT, 500, kP, 10), w, 1e-3L * w);
  EXPECT_EQ(CalcErrorCode, 0);
}

// IAPWS-95 fugacity from g(T, P) - g(T, 1 Pa) (steam_iapws95_reference.py):
// 958.596 kPa at 500 K and 1000 kPa, 100.238 kPa at 400 K and 101.325 kPa.
TEST_F(SteamDerivedTest, FugacityOfSteamOnEveryTemperatureScale) {
  auto steam = Steam("Steam");
  EXPECT_LT(Relative(Call(*steam, &TSubstanceBase::Fugacity, kT, 500, kP, 1000), 958.596L), 1e-3L);
  const Extended inKelvin = Call(*steam, &TSubstanceBase::Fugacity, kT, 400, kP, 101.325L);
  EXPECT_LT(Relative(inKelvin, 100.238L), 1e-3L);
  // At low pressure steam is nearly ideal: f approaches P.
  EXPECT_LT(Relative(Call(*steam, &TSubstanceBase::Fugacity, kT, 400, kP, 1), 1), 1e-3L);
  // The same state in Celsius: the absolute temperature goes into the
  // exponent, and 0 C is no division by zero.
  DocumentSettings.AbsoluteTemperature = 0;
  EXPECT_NEAR(Call(*steam, &TSubstanceBase::Fugacity, kT, 126.85L, kP, 101.325L), inKelvin, 1e-6L * inKelvin);
  const Extended atZero = Call(*steam, &TSubstanceBase::Fugacity, kT, 0, kP, 0.5L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(std::isfinite(atZero));
  EXPECT_LT(Relative(atZero, 0.5L), 1e-3L);
  // In Fahrenheit as well (126.85 C = 260.33 F; 101.325 kPa = 14.696 psia).
  DocumentSettings.UnitSystem = 1;
  const Extended f = Call(*steam, &TSubstanceBase::Fugacity, kT, 260.33L, kP, 101.325L / 6.894758L);
  EXPECT_LT(Relative(f * 6.894758L, inKelvin), 1e-4L);
}

// Liquid water at 300 K and 101.325 kPa: the current IAPWS formulations
// (viscosity 2008, conductivity 2011; python3-iapws) give 853.74e-6 Pa-s
// and 0.6095 W/m-K. The 1985 IAPS formulations used here stay within 0.2 %
// and 0.3 % of them at this state.
TEST_F(SteamDerivedTest, ViscosityConductivityAndPrandtlOfLiquidWater) {
  auto water = Steam("Water");
  const Extended mu = Call(*water, &TSubstanceBase::Viscosity, kT, 300, kP, 101.325L);
  const Extended k = Call(*water, &TSubstanceBase::Conductivity, kT, 300, kP, 101.325L);
  EXPECT_LT(Relative(mu, 853.74e-6L), 2e-3L);
  EXPECT_LT(Relative(k, 0.6095L), 3e-3L);
  const Extended cp = Call(*water, &TSubstanceBase::SpecHeat, kT, 300, kP, 101.325L);
  EXPECT_NEAR(Call(*water, &TSubstanceBase::Prandtl, kT, 300, kP, 101.325L), mu * cp * 1000 / k, 1e-6L);
  EXPECT_EQ(CalcErrorCode, 0);
  // English units: lbm/ft-hr and Btu/hr-ft-R.
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.AbsoluteTemperature = 1;
  EXPECT_NEAR(Call(*water, &TSubstanceBase::Viscosity, kT, 540, kP, 14.696L), mu * 2419.1L, 0.01L);

  Call(*water, &TSubstanceBase::Prandtl, kT, 300, kV, 0.001L);
  EXPECT_EQ(CalcErrorCode, kMsgFunctionNeedsTP);
  EXPECT_EQ(GetMessageText(kMsgFunctionNeedsTP), "The Prandtl function requires T and P as arguments.");
}

// IAPWS release on the surface tension of ordinary water substance (1994):
// 71.69 mN/m at 300 K.
TEST_F(SteamDerivedTest, SurfaceTensionAndItsRange) {
  auto water = Steam("Water");
  EXPECT_NEAR(Call(*water, &TSubstanceBase::SurfaceTension, kT, 300), 0.07168L, 1e-5L);
  EXPECT_EQ(Call(*water, &TSubstanceBase::SurfaceTension, kT, 647.08L), 0);
  EXPECT_EQ(CalcErrorCode, 0);
  for (Extended T : {273.14L, 647.2L}) {
    CalcErrorCode = 0;
    EXPECT_EQ(Call(*water, &TSubstanceBase::SurfaceTension, kT, T), -999);
    EXPECT_EQ(CalcErrorCode, kMsgTemperatureRange);
    EXPECT_EQ(MessageArgs[1], "273.15 K < T < 647.09 K");
    EXPECT_NE(GetMessageText(kMsgTemperatureRange).find("273.15 K < T < 647.09 K"), std::string::npos);
  }
  CalcErrorCode = 0;
  Call(*water, &TSubstanceBase::SurfaceTension, kT, 300, kP, 100);
  EXPECT_EQ(CalcErrorCode, kMsgTemperatureOnlyArgument);
  EXPECT_EQ(MessageArgs[1], "SurfaceTension");
}

}  // namespace
}  // namespace voq
