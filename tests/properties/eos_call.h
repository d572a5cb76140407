#pragma once
// Property calls on a fluid model as the evaluator makes them: the argument
// kinds set on the object, unit conversion on, the document in SI mass
// units with kPa, kJ and K.
#include <array>
#include <cstdint>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/substance_base.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq::testing {

// Argument and property kinds by their numbers.
inline constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
inline constexpr int32_t kCp = 13, kMu = 15, kK = 16, kSound = 22;

inline void UseSiMassKpaKjK() {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
}

// Property `wanted` of the state given by two arguments.
inline Extended Call(TSubstanceBase& o, int32_t wanted, int32_t k1, Extended v1, int32_t k2, Extended v2) {
  UnitConversionEnabled = true;
  o.ArgCount = 2;
  o.ArgKind[1] = k1;
  o.ArgKind[2] = k2;
  TPropertyArgumentRecord a;
  a.Value[1] = v1;
  a.Value[2] = v2;
  switch (wanted) {
    case kT: return o.Temperature(a);
    case kP: return o.Pressure(a);
    case kH: return o.Enthalpy(a);
    case kU: return o.IntEnergy(a);
    case kS: return o.Entropy(a);
    case kV: return o.Volume(a);
    case kCp: return o.SpecHeat(a);
    case kSound: return o.SoundSpeed(a);
    case kMu: return o.Viscosity(a);
    case kK: return o.Conductivity(a);
    default: return o.Quality(a);
  }
}

// The whole state (entries 1..7 of the state cache) after a solve from a
// fresh cache: a property that is not one of the two arguments is asked for.
inline std::array<Extended, 8> State(TSubstanceBase& o, int32_t k1, Extended v1, int32_t k2, Extended v2) {
  ClearEosStateCache();
  CalcErrorCode = 0;
  int32_t wanted = kT;
  while (wanted == k1 || wanted == k2) ++wanted;
  Call(o, wanted, k1, v1, k2, v2);
  std::array<Extended, 8> s{};
  for (size_t k = 1; k <= 7; ++k) s[k] = EosStateCache[k];
  return s;
}

}  // namespace voq::testing
