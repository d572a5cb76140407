// Property values between the document's units and the models' units.
#include <gtest/gtest.h>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/property_units.h"

namespace voq {
namespace {

struct Settings {
  uint8_t system, molar, absolute, pressure, energy;
};

void Use(const Settings& s) {
  DocumentSettings.UnitSystem = s.system;
  DocumentSettings.MolarBasis = s.molar;
  DocumentSettings.AbsoluteTemperature = s.absolute;
  DocumentSettings.PressureUnit = s.pressure;
  DocumentSettings.EnergyUnit = s.energy;
}

const Settings kSiCelsius{0, 0, 0, 0, 1};
const Settings kSiKelvinJ{0, 0, 1, 0, 0};
const Settings kEnglishPsia{1, 0, 0, 0, 0};
const Settings kSiBarMolar{0, 1, 1, 1, 1};

TEST(PropertyUnitsTest, ToAndFromInternalUnits) {
  struct Case {
    Settings s;
    int32_t kind;
    Extended in;   // document units
    Extended out;  // internal units (hand conversion)
  };
  const Case cases[] = {
      {kSiCelsius, 1, 25, 298.15L},
      {kEnglishPsia, 2, 14.7L, 14.7L * 6.894758L},  // 101.3529426 kPa
      {kSiBarMolar, 2, 1, 100},
      {kSiKelvinJ, 3, 2500, 2.5L},
      {kEnglishPsia, 1, 32, 273.15L},
      {kEnglishPsia, 5, 1, 4.18689L},
      {kSiCelsius, 7, 0.5L, 0.5L},
  };
  UnitConversionEnabled = true;
  for (const Case& c : cases) {
    Use(c.s);
    Extended v = c.in;
    PropertyToInternalUnits(c.kind, v);
    EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.out), 1e-12) << c.kind;
    PropertyFromInternalUnits(c.kind, v);
    EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.in), 1e-12) << c.kind;
  }
  Use(kEnglishPsia);
  Extended p = 14.7L;
  PropertyToInternalUnits(2, p);
  EXPECT_NEAR(static_cast<double>(p), 101.3529426, 1e-9);
  // Conversions off: nothing changes.
  UnitConversionEnabled = false;
  Use(kSiCelsius);
  Extended t = 25;
  PropertyToInternalUnits(1, t);
  EXPECT_EQ(t, 25);
}

TEST(PropertyUnitsTest, MartinHouUnitsAndTheirErrors) {
  Use(kSiCelsius);
  Extended t = -300;
  ConvertPropertyArgument(1, t, 1);
  EXPECT_LT(t, 0);
  EXPECT_EQ(CalcErrorCode, kMsgNegativeTemperature);
  CalcErrorCode = 0;
  t = 0;
  ConvertPropertyArgument(-1, t, 1);
  EXPECT_NEAR(static_cast<double>(t), 32, 1e-15);
  EXPECT_EQ(CalcErrorCode, 0);
  Extended p = -1;
  ConvertPropertyArgument(2, p, 1);
  EXPECT_EQ(CalcErrorCode, kMsgNegativePressure);
  CalcErrorCode = 0;
  Use(kSiBarMolar);
  Extended h = 1000;
  ConvertPropertyArgument(3, h, 50);
  EXPECT_NEAR(static_cast<double>(h), 20 * 0.42992, 1e-12);  // 8.5984
  ConvertPropertyResult(3, h, 50);
  EXPECT_NEAR(static_cast<double>(h), 1000, 1e-9);
  Use(kSiCelsius);
  Extended mu = 2.4191L;  // lbm/ft-hr
  ConvertPropertyResult(-9, mu, 1);
  EXPECT_NEAR(static_cast<double>(mu), 0.001, 1e-15);
}

TEST(PropertyUnitsTest, UnitLabels) {
  Use(kSiCelsius);
  EXPECT_EQ(PropertyUnitsText(8), "");
  EXPECT_EQ(PropertyUnitsText(5), "kJ/kg-K");
  EXPECT_EQ(PropertyUnitsText(1), "C");
  Use(kSiBarMolar);
  EXPECT_EQ(PropertyUnitsText(3), "kJ/kmol");
  EXPECT_EQ(PropertyUnitsText(2), "bar");
  EXPECT_EQ(PropertyUnitsText(15), "kmol/m^3");
  Use(kEnglishPsia);
  EXPECT_EQ(PropertyUnitsText(6), "ft^3/lb_m");
  EXPECT_EQ(PropertyUnitsText(1), "F");
  EXPECT_EQ(PropertyUnitsText(2), "psia");
}

}  // namespace
}  // namespace voq
