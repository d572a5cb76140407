#pragma once
// Units for a variable found by solving one equation alone. A variable
// without units of its own takes them from the equation that determined it:
// from the other variable of a plain assignment or sum, from the property
// function that produced it, or from the target unit of a unit conversion.
// Units typed by the user are never replaced; filled-in units carry
// UnitsInferred, so the next solve may fill them differently.
#include <cstdint>
#include <string>

namespace voq {

struct TEquationRecord;

// What the inference needs of the property library: the units label of a
// property kind (1 temperature, 2 pressure, 3 energy per mass, 5 entropy,
// 6 specific volume, 9 viscosity, 10 conductivity, 15 density, 16 surface
// tension, 17 molar mass, 18 speed) in the document's unit system, and
// which unit system that is. The default knows no labels and reports SI.
class PropertyUnitsSource {
 public:
  virtual ~PropertyUnitsSource() = default;
  virtual std::string PropertyUnitsText(int32_t /*kind*/) const { return ""; }
  virtual bool UnitSystemIsSI() const { return true; }
};
const PropertyUnitsSource& PropertyUnits();
// Installs a source (not owned); nullptr restores the default.
void SetPropertyUnitsSource(const PropertyUnitsSource* source);

// Entry: variable v of CurrentProgramUnit was just solved from equation e.
void InferUnitsFromEquation(int32_t v, const TEquationRecord& e);
// The code reads a = b, or ends in a sum or difference whose first two
// operands are variables (a = b + ..., a = b - ...).
bool IsSimpleTwoVariableForm(const TEquationRecord& e);
// Copies the second variable's units to the first; false when the form
// does not apply or the first variable has units of its own.
bool UnitsFromOtherVariable(const TEquationRecord& e);
// v = property call: the units of the property's kind.
bool UnitsFromPropertyFunction(int32_t v, const TEquationRecord& e);
// v = constant * CONVERT(from, to): the target unit's text.
bool UnitsFromConversion(int32_t v, const TEquationRecord& e);

}  // namespace voq
