// Air and the built-in ideal gases.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "model/warnings_window.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;

class IdealGasTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSi(false); }

  // SI with kPa, kJ and kelvin, on the mass or molar basis.
  static void UseSi(bool molar) {
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = molar ? 1 : 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
  }

  // A gas object as the evaluator finds it after a compile.
  static std::unique_ptr<TIdealGasSubstance> Gas(const std::string& name) {
    const int32_t row = FindSubstanceRow(name);
    EXPECT_GT(row, 0) << name;
    auto* object = dynamic_cast<TIdealGasSubstance*>(CreatePropertyObject(row));
    EXPECT_NE(object, nullptr) << name;
    object->SuppressWarnings = 0;
    return std::unique_ptr<TIdealGasSubstance>(object);
  }

  // One call as the evaluator makes it: conversions on, kinds in call order.
  template <typename Op>
  static Extended Call(TIdealGasSubstance& g, Op op, int32_t k1, Extended v1, int32_t k2 = 0, Extended v2 = 0) {
    g.ArgCount = k2 == 0 ? 1 : 2;
    g.ArgKind[1] = k1;
    g.ArgKind[2] = k2;
    TPropertyArgumentRecord a;
    a.Value[1] = v1;
    a.Value[2] = v2;
    UnitConversionEnabled = true;
    return (g.*op)(a);
  }
};

// Air's reference values divided by M = 28.9669 (hand calculation):
// h = 8702.525767/28.9669, s = 165.157677/28.9669, u = h - (8.31434/28.9669)*300.
TEST_F(IdealGasTest, AirAtItsReferenceStateOnBothBases) {
  auto air = Gas("Air");
  EXPECT_NEAR(Call(*air, &TSubstanceBase::Enthalpy, kT, 300), 300.4300, 5e-5);
  EXPECT_NEAR(Call(*air, &TSubstanceBase::Entropy, kT, 300, kP, 100), 5.701600, 5e-7);
  EXPECT_NEAR(Call(*air, &TSubstanceBase::IntEnergy, kT, 300), 214.3213, 5e-5);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(air->MolarMass(), 28.9669L);
  EXPECT_EQ(air->isIdealGas(), 1.0L);
  const Extended hMass1200 = Call(*air, &TSubstanceBase::Enthalpy, kT, 1200);

  UseSi(true);
  auto molar = Gas("Air");
  EXPECT_NEAR(Call(*molar, &TSubstanceBase::Enthalpy, kT, 300), 8702.525767, 1e-6);
  EXPECT_NEAR(Call(*molar, &TSubstanceBase::Entropy, kT, 300, kP, 100), 165.157677, 1e-8);
  EXPECT_NEAR(Call(*molar, &TSubstanceBase::IntEnergy, kT, 300), 8702.525767 - 8.31434 * 300, 1e-6);
  // Away from the reference state too, molar values are M times the mass values.
  EXPECT_NEAR(Call(*molar, &TSubstanceBase::Enthalpy, kT, 1200) / 28.9669L, hMass1200, 1e-9);
}

TEST_F(IdealGasTest, InverseCallsReturnTheTemperature) {
  for (bool molar : {false, true}) {
    UseSi(molar);
    for (const char* name : {"Air", "CO2", "C8H18", "H2"}) {
      auto g = Gas(name);
      const Extended h = Call(*g, &TSubstanceBase::Enthalpy, kT, 1000);
      const Extended u = Call(*g, &TSubstanceBase::IntEnergy, kT, 1000);
      const Extended s = Call(*g, &TSubstanceBase::Entropy, kT, 1000, kP, 250);
      const Extended v = Call(*g, &TSubstanceBase::Volume, kT, 1000, kP, 250);
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Temperature, kH, h), 1000, 1e-6) << name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Temperature, kU, u), 1000, 1e-6) << name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Temperature, kP, 250, kS, s), 1000, 1e-6) << name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Temperature, kS, s, kV, v), 1000, 1e-6) << name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Pressure, kT, 1000, kS, s), 250, 1e-9) << name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Enthalpy, kP, 250, kS, s), h, 1e-6 * std::fabs(h) + 1e-6) << name;
      EXPECT_EQ(CalcErrorCode, 0) << name;
    }
  }
}

// For every gas, T ds/dT = dh/dT at constant pressure: h and s are the
// integrals of one cp. Central differences over each gas's range.
TEST_F(IdealGasTest, EntropyAndEnthalpyComeFromOneSpecificHeat) {
  struct GasRange {
    const char* name;
    Extended lo, hi;
  };
  const GasRange gases[] = {{"Air", 150, 3000},  {"CH4", 250, 3500},   {"C2H6", 250, 1500}, {"C3H8", 250, 1500},
                            {"C4H10", 250, 1500}, {"N2", 250, 3500},   {"O2", 250, 3500},   {"CO2", 250, 3500},
                            {"CO", 250, 3500},    {"H2", 250, 3500},   {"H2O", 250, 3500},  {"NO2", 250, 3500},
                            {"SO2", 250, 1500},   {"NO", 250, 3500},   {"C2H4", 270, 2000}, {"C2H2", 100, 750},
                            {"C8H18", 200, 1000}, {"C6H14", 200, 1000}, {"C2H5OH", 270, 1000}};
  for (const GasRange& r : gases) {
    auto g = Gas(r.name);
    for (int i = 0; i <= 10; ++i) {
      const Extended T = r.lo + (r.hi - r.lo) * i / 10;
      const Extended d = 1e-3L;
      const Extended dh = (g->EnthalpyT(T + d) - g->EnthalpyT(T - d)) / (2 * d);
      const Extended ds = (g->EntropyT(T + d) - g->EntropyT(T - d)) / (2 * d);
      EXPECT_NEAR(static_cast<double>(T * ds), static_cast<double>(dh), 1e-6 * std::fabs(static_cast<double>(dh)))
          << r.name << " at " << static_cast<double>(T);
    }
  }
}

// Every gas returns its reference enthalpy and entropy at its reference
// state (298.15 K and 100 kPa; air 300 K; C2H5OH at 101.3 kPa), per kmol
// on the molar basis and divided by M on the mass basis.
TEST_F(IdealGasTest, EveryGasReturnsItsReferenceValues) {
  struct Ref {
    const char* name;
    Extended T, P, h, s, M;
  };
  const Ref refs[] = {
      {"Air", 300, 100, 8702.525767L, 165.157677L, 28.9669L}, {"CH4", 298.15L, 100, -74870, 186.256L, 16.043L},
      {"C2H6", 298.15L, 100, -84667, 229.602L, 30.07L},       {"C3H8", 298.15L, 100, -103847, 270.019L, 44.097L},
      {"C4H10", 298.15L, 100, -126148, 310.227L, 58.124L},    {"N2", 298.15L, 100, 0, 191.502L, 28.013L},
      {"O2", 298.15L, 100, 0, 205.033L, 31.999L},             {"CO2", 298.15L, 100, -393520, 213.685L, 44.01L},
      {"CO", 298.15L, 100, -110530, 197.543L, 28.01L},        {"H2", 298.15L, 100, 0, 130.684L, 2.016L},
      {"H2O", 298.15L, 100, -241820, 188.72L, 18.016L},       {"NO2", 298.15L, 100, 33723, 239.953L, 46.006L},
      {"SO2", 298.15L, 100, -297100, 225.21L, 64.063L},       {"NO", 298.15L, 100, 90592, 210.761L, 30.006L},
      {"C2H4", 298.15L, 100, 52280, 219.83L, 28.043L},        {"C2H2", 298.15L, 100, 226730, 200.85L, 26.038L},
      {"C8H18", 298.15L, 100, -208459, 463.67L, 114.23L},     {"C6H14", 298.15L, 100, -167200, 388.82L, 86.172L},
      {"C2H5OH", 298.15L, 101.3L, -235310, 282.59L, 46.069L},
  };
  for (bool molar : {false, true}) {
    UseSi(molar);
    for (const Ref& r : refs) {
      auto g = Gas(r.name);
      const Extended f = molar ? 1 : 1 / r.M;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Enthalpy, kT, r.T), r.h * f, 1e-9 * (1 + std::fabs(r.h * f))) << r.name;
      EXPECT_NEAR(Call(*g, &TSubstanceBase::Entropy, kT, r.T, kP, r.P), r.s * f, 1e-12 * r.s) << r.name;
      EXPECT_EQ(g->MolarMass(), r.M);
    }
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

// Differences of h and s0 of air against the ideal-gas table of air:
// M. J. Moran and H. N. Shapiro, Fundamentals of Engineering
// Thermodynamics, Table A-22 (from J. H. Keenan, J. Chao, J. Kaye, Gas
// Tables, Wiley 1980): h(300 K) = 300.19, h(1000 K) = 1046.04,
// h(1500 K) = 1635.97 kJ/kg; s0 = 1.70203, 2.96770, 3.44516 kJ/kg-K.
TEST_F(IdealGasTest, AirAgreesWithThePublishedGasTable) {
  auto air = Gas("Air");
  struct Row {
    Extended T, h, s0;
  };
  const Row base{300, 300.19L, 1.70203L};
  for (const Row& r : {Row{1000, 1046.04L, 2.96770L}, Row{1500, 1635.97L, 3.44516L}}) {
    const Extended dh = air->EnthalpyT(r.T) - air->EnthalpyT(base.T);
    const Extended ds = air->EntropyT(r.T) - air->EntropyT(base.T);
    EXPECT_NEAR(static_cast<double>(dh / (r.h - base.h)), 1.0, 1e-3) << static_cast<double>(r.T);
    EXPECT_NEAR(static_cast<double>(ds / (r.s0 - base.s0)), 1.0, 1e-3) << static_cast<double>(r.T);
  }
}

TEST_F(IdealGasTest, ArgumentErrors) {
  struct Case {
    Extended (TSubstanceBase::*op)(TPropertyArgumentRecord&);
    int32_t k1, k2;
    int32_t error;
  };
  const Case cases[] = {
      {&TSubstanceBase::Temperature, kT, 0, kMsgPropertyIndependentVariable},
      {&TSubstanceBase::Temperature, kP, 0, kMsgIdealGasTemperatureFromPressure},
      {&TSubstanceBase::Temperature, kS, 0, kMsgIdealGasTemperatureFromEntropy},
      {&TSubstanceBase::Temperature, kV, 0, kMsgIdealGasTemperatureFromVolume},
      {&TSubstanceBase::Temperature, kP, kH, kMsgIdealGasTooManyVariables},
      {&TSubstanceBase::Pressure, kT, 0, kMsgPropertyNeedsTwoVariables},
      {&TSubstanceBase::Pressure, kT, kP, kMsgPropertyIndependentVariable},
      {&TSubstanceBase::Volume, kT, kT, kMsgPropertyUnderdetermined},
      {&TSubstanceBase::Enthalpy, kT, kP, kMsgIdealGasTooManyVariables},
      {&TSubstanceBase::Enthalpy, kP, 0, kMsgIdealGasEnthalpyFromPressure},
      {&TSubstanceBase::Enthalpy, kX, 0, kMsgIdealGasQuality},
      {&TSubstanceBase::IntEnergy, kS, 0, kMsgIntEnergyFromEntropy},
      {&TSubstanceBase::Entropy, kT, 0, kMsgPropertyUnderdetermined},
      {&TSubstanceBase::SpecHeat, kP, 0, kMsgTemperatureOnlyArgument},
      {&TSubstanceBase::Enthalpy, kT, 0, kMsgNegativeTemperature},
  };
  auto air = Gas("Air");
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    Call(*air, c.op, c.k1, c.k1 == kT && c.error == kMsgNegativeTemperature ? -5 : 300, c.k2, 100);
    EXPECT_EQ(CalcErrorCode, c.error) << c.k1 << "," << c.k2;
  }
  CalcErrorCode = 0;
  EXPECT_EQ(air->T_crit(), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgNoCriticalProperties);
  CalcErrorCode = 0;
  TPropertyArgumentRecord a;
  EXPECT_EQ(air->SurfaceTension(a), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgIdealGasDataInapplicable);
}

TEST_F(IdealGasTest, ProbeCallsCheckKindsButComputeAndWarnNothing) {
  for (const char* name : {"Air", "CH4", "C6H14", "N2"}) {
    auto g = Gas(name);
    g->SuppressWarnings = 1;
    Call(*g, &TSubstanceBase::Enthalpy, kT, 1);
    Call(*g, &TSubstanceBase::Entropy, kT, 1, kP, 1);
    Call(*g, &TSubstanceBase::Temperature, kH, 1);
    EXPECT_EQ(CalcErrorCode, 0) << name;
    Call(*g, &TSubstanceBase::Enthalpy, kT, 1, kP, 1);
    EXPECT_EQ(CalcErrorCode, kMsgIdealGasTooManyVariables) << name;
    CalcErrorCode = 0;
  }
  EXPECT_EQ(WarningLineCount(), 0u);
}

TEST_F(IdealGasTest, RangeWarningsNameTheGasAndItsRange) {
  auto n2 = Gas("N2");
  Call(*n2, &TSubstanceBase::Enthalpy, kT, 249);
  Call(*n2, &TSubstanceBase::Enthalpy, kT, 250);  // on the bound: no warning
  ASSERT_EQ(WarningLineCount(), 1u);
  EXPECT_EQ(WarningLines()[0],
            "N2 property correlations may not be accurate for temperatures outside of the range 250<T<3500 K");
  auto c6 = Gas("C6H14");
  Call(*c6, &TSubstanceBase::Entropy, kT, 1200, kP, 100);
  ASSERT_EQ(WarningLineCount(), 2u);
  EXPECT_EQ(WarningLines()[1].rfind("C6H14 property", 0), 0u);
  auto air = Gas("Air");
  Call(*air, &TSubstanceBase::Viscosity, kT, 2500);
  ASSERT_EQ(WarningLineCount(), 3u);
  EXPECT_NE(WarningLines()[2].find("for Viscosity of Air"), std::string::npos);
  EXPECT_NE(WarningLines()[2].find("2500 K"), std::string::npos);
}

// Transport values against the correlations evaluated by hand:
// air mu(300) = -8.075522e-6 + 1.423553e-6 sqrt(300) + 8.800868e-9*300
// - 1.246198e-10*300^1.5 = 1.8573856e-5 kg/m-s;
// k(300) = 1.002328e-3 + 9.043956e-5*300 - 2.902134e-8*300^2 + 4.639952e-12*300^3 = 0.025647554 W/m-K.
TEST_F(IdealGasTest, TransportPropertiesAndDerivedValues) {
  auto air = Gas("Air");
  const Extended mu = Call(*air, &TSubstanceBase::Viscosity, kT, 300);
  const Extended k = Call(*air, &TSubstanceBase::Conductivity, kT, 300);
  EXPECT_NEAR(static_cast<double>(mu), 1.8573856e-5, 1e-12);
  EXPECT_NEAR(static_cast<double>(k), 0.025647554, 1e-9);
  const Extended cp = Call(*air, &TSubstanceBase::SpecHeat, kT, 300);
  const Extended cv = Call(*air, &TSubstanceBase::Cv, kT, 300);
  EXPECT_NEAR(static_cast<double>(cp - cv), 8.31434 / 28.9669, 1e-12);
  const Extended pr = Call(*air, &TSubstanceBase::Prandtl, kT, 300);
  EXPECT_NEAR(static_cast<double>(pr), static_cast<double>(cp * mu / (k / 1000)), 1e-12);
  const Extended c = Call(*air, &TSubstanceBase::SoundSpeed, kT, 300);
  EXPECT_NEAR(static_cast<double>(c), std::sqrt(8314.34 / 28.9669 * 300 * cp / cv), 1e-9);
  // C8H18's own cp equals the slope of its h (about 1.65 kJ/kg-K at 300 K).
  auto octane = Gas("C8H18");
  const Extended cpOctane = Call(*octane, &TSubstanceBase::SpecHeat, kT, 300);
  EXPECT_NEAR(static_cast<double>(cpOctane),
              static_cast<double>((octane->EnthalpyT(300.01L) - octane->EnthalpyT(299.99L)) / 0.02L), 1e-6);
  EXPECT_NEAR(static_cast<double>(cpOctane), 1.65, 0.02);
  EXPECT_EQ(CalcErrorCode, 0);
}

// The same state in other document units: 300 K is 26.85 C, 540 R and
// 80.33 F; 1 kJ/kg = 1/2.326 Btu/lbm, 1 kJ/kg-K = 1/4.18689 Btu/lbm-R;
// 100 kPa = 1 bar = 100/6.894758 psia.
TEST_F(IdealGasTest, ValuesCrossTheBoundaryInTheDocumentsUnits) {
  auto si = Gas("Air");
  const Extended h = Call(*si, &TSubstanceBase::Enthalpy, kT, 300);
  const Extended s = Call(*si, &TSubstanceBase::Entropy, kT, 300, kP, 150);
  struct Units {
    uint8_t system, absolute, pressure, energy;
    Extended T, P, hFactor, sFactor;
  };
  const Units cases[] = {
      {0, 0, 1, 0, 26.85L, 1.5L, 1000, 1000},                            // C, bar, J
      {1, 1, 0, 0, 540, 150 / 6.894758L, 1 / 2.326L, 1 / 4.18689L},     // R, psia
      {1, 0, 1, 0, 80.33L, 150 / 101.325L, 1 / 2.326L, 1 / 4.18689L},   // F, atm
  };
  for (const Units& u : cases) {
    DocumentSettings.UnitSystem = u.system;
    DocumentSettings.AbsoluteTemperature = u.absolute;
    DocumentSettings.PressureUnit = u.pressure;
    DocumentSettings.EnergyUnit = u.energy;
    auto g = Gas("Air");
    EXPECT_NEAR(static_cast<double>(Call(*g, &TSubstanceBase::Enthalpy, kT, u.T)),
                static_cast<double>(h * u.hFactor), 1e-9 * static_cast<double>(h * u.hFactor));
    EXPECT_NEAR(static_cast<double>(Call(*g, &TSubstanceBase::Entropy, kT, u.T, kP, u.P)),
                static_cast<double>(s * u.sFactor), 1e-9 * static_cast<double>(s * u.sFactor));
    EXPECT_NEAR(static_cast<double>(Call(*g, &TSubstanceBase::Temperature, kH, h * u.hFactor)),
                static_cast<double>(u.T), 1e-6);
  }
  // Below absolute zero: error 143.
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.AbsoluteTemperature = 0;
  auto c = Gas("Air");
  Call(*c, &TSubstanceBase::Enthalpy, kT, -300);
  EXPECT_EQ(CalcErrorCode, kMsgNegativeTemperature);
}

TEST_F(IdealGasTest, AirWarningsFollowThePreferenceForEnthalpyOnly) {
  auto air = Gas("Air");
  Preferences.WarningsB = 0;
  Call(*air, &TSubstanceBase::Enthalpy, kT, 50);
  EXPECT_EQ(WarningLineCount(), 0u);
  Call(*air, &TSubstanceBase::Entropy, kT, 50, kP, 100);
  ASSERT_EQ(WarningLineCount(), 1u);
  EXPECT_EQ(WarningLines()[0],
            "Air property correlations may not be accurate for temperatures outside of the range 100<T<3500");
  Preferences.WarningsB = 1;
  Call(*air, &TSubstanceBase::Enthalpy, kT, 50);
  ASSERT_EQ(WarningLineCount(), 2u);
  EXPECT_EQ(WarningLines()[1].substr(WarningLines()[1].size() - 12), "100<T<3500 K");
  // Below 10 K the raw values are 0.001 |T|: no logarithm of a small number.
  EXPECT_NEAR(static_cast<double>(air->EnthalpyT(5) - air->HOffset), 0.005, 1e-15);
  EXPECT_NEAR(static_cast<double>(air->EntropyT(5) - air->SOffset), 0.005, 1e-15);
  EXPECT_EQ(CalcErrorCode, 0);
}

// Estimates outside 10..5000 K are replaced before the tolerance test:
// the result is within that range or exactly 10000 K.
TEST_F(IdealGasTest, TemperatureFromPressureAndEntropyStaysInItsRange) {
  auto air = Gas("Air");
  for (Extended s : {-20.0L, 0.0L, 5.0L, 9.0L, 12.0L}) {
    const Extended T = Call(*air, &TSubstanceBase::Temperature, kP, 100, kS, s);
    EXPECT_TRUE((T >= 10 && T <= 5000) || T == 10000) << static_cast<double>(s) << " " << static_cast<double>(T);
    CalcErrorCode = 0;
  }
}

TEST_F(IdealGasTest, ASecondObjectSharesTheGasDataRecord) {
  auto a = Gas("CH4");
  auto b = Gas("CH4");
  EXPECT_EQ(a->Data.get(), b->Data.get());
  EXPECT_NEAR(static_cast<double>(a->T_crit()), 190.564, 1e-12);
}

}  // namespace
}  // namespace voq
