#pragma once
// Calling the water substances as the evaluator does, for the steam tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/text_utils.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"
#include "properties/substance_factory.h"

namespace voq::steam_test {

// SI with kPa, kJ and kelvin, on the mass or molar basis.
inline void UseSi(bool molar) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = molar ? 1 : 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
}

inline std::string UpperCaseName(const std::string& name) { return UpperCaseText(name); }

// The object of a catalogue row as the evaluator finds it after a compile.
inline std::unique_ptr<TSteamNBSSubstance> Steam(const std::string& name) {
  const int32_t row = FindSubstanceRow(UpperCaseText(name));
  EXPECT_GT(row, 0) << name;
  auto* object = dynamic_cast<TSteamNBSSubstance*>(CreatePropertyObject(row));
  EXPECT_NE(object, nullptr) << name;
  object->SuppressWarnings = 0;
  return std::unique_ptr<TSteamNBSSubstance>(object);
}

// One call: conversions on, kinds in call order (k2 = 0: one argument).
template <typename Op>
Extended Call(TSteamNBSSubstance& s, Op op, int32_t k1, Extended v1, int32_t k2 = 0, Extended v2 = 0) {
  s.ArgCount = k2 == 0 ? 1 : 2;
  s.ArgKind[1] = k1;
  s.ArgKind[2] = k2;
  TPropertyArgumentRecord a;
  a.Value[1] = v1;
  a.Value[2] = v2;
  UnitConversionEnabled = true;
  return (s.*op)(a);
}

}  // namespace voq::steam_test
