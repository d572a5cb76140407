#pragma once
// The substance objects behind property calls. The compiler creates one
// object per property call and chains it to the equation record; the
// evaluator sends each property function to one of 28 virtual operations.
// The base type answers every operation with "no data" (-999 without an
// error), except surface tension, volumetric expansion coefficient and
// fugacity, which report that the data are not available. The property
// models (properties/) derive from it and override what they support.
#include <array>
#include <cstdint>
#include <vector>

#include "core/extended.h"

namespace voq {

// The state arguments of one call in call order, entries 1..3 (0 unused).
// Unused entries keep whatever they held.
struct TPropertyArgumentRecord {
  std::array<Extended, 4> Value{};
};

// What a model hands the Property Plot dialog for one plot kind: the
// isolines, the points of one curve (empty when the kind has none) and the
// ten isoline values.
struct TPlotLinesRequest {
  int32_t IsolineCount = 0;
  std::vector<Extended> CurveX;
  std::vector<Extended> CurveY;
  int32_t PointCount = 0;
  std::array<Extended, 10> IsolineValues{};
};

struct TSubstanceBase {
  // Opcode (209..223) of the property function the object was compiled for.
  int32_t ServedOpcode = 0;
  // Position of the call's opcode in its statement's text while the
  // statement compiles; places a nested call's object in the chain.
  int32_t CompiledAt = 0;
  // Row of SubstanceCatalog (0..140).
  int32_t SubstanceCode = 0;
  // Help topic of the object's error alerts; 0 none.
  int32_t HelpContext = 0;
  // StringConstants index of the substance name; 0 while a string variable
  // that names the substance has not been evaluated.
  int32_t NameStringIndex = 0;
  // While set, a model checks its argument kinds and computes nothing: no
  // iteration, no range warning, no converted result.
  uint8_t SuppressWarnings = 0;
  // State arguments of the call (0..3) and their kinds in call order
  // (entries 1..3): 1 T, 2 P, 3 h, 4 u, 5 s, 6 v, 7 x, 11 B, 12 D, 13 W, 14 R.
  int32_t ArgCount = 0;
  std::array<int32_t, 4> ArgKind{};
  // Next object of the same equation record.
  TSubstanceBase* Next = nullptr;

  TSubstanceBase() = default;
  TSubstanceBase(const TSubstanceBase&) = delete;
  TSubstanceBase& operator=(const TSubstanceBase&) = delete;
  // Releasing an object: Done first, then the storage.
  virtual ~TSubstanceBase() = default;

  // Slots 0 to 27 in their fixed order.
  virtual void Done() {}
  virtual Extended isIdealGas() { return 1.0L; }
  virtual Extended MolarMass() { return ErrorResultValue; }
  virtual Extended T_crit() { return ErrorResultValue; }
  virtual Extended P_crit() { return ErrorResultValue; }
  virtual Extended v_crit() { return ErrorResultValue; }
  virtual Extended Temperature(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Pressure(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Enthalpy(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended IntEnergy(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Entropy(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Volume(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Quality(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended SpecHeat(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Cv(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Viscosity(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Conductivity(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended WetBulb(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended DewPoint(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended HumRat(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended RelHum(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended Prandtl(TPropertyArgumentRecord&) { return ErrorResultValue; }
  virtual Extended SoundSpeed(TPropertyArgumentRecord&) { return ErrorResultValue; }
  // Error 215 "Surface tension", -999.
  virtual Extended SurfaceTension(TPropertyArgumentRecord&);
  // Error 215 "VolExpCoef", -999.
  virtual Extended VolExpCoef(TPropertyArgumentRecord&);
  // The base sets the ten isoline values to 0 and leaves the rest.
  virtual void PlotLines(int32_t plotKind, TPlotLinesRequest& request);
  virtual Extended AcentricFactor() { return ErrorResultValue; }
  // Error 215 "Fugacity", -999.
  virtual Extended Fugacity(TPropertyArgumentRecord&);
};

// TSubstanceBase.Init: every field zero; used for the DEFER row and as the
// first step of every model's constructor.
void InitSubstanceBase(TSubstanceBase& object);

}  // namespace voq
