#pragma once
// Unit expressions such as kJ/kg-K, ft^3/lbm, (ft/s)/(ft3/lbm), m^(1/2) or
// [psia]: their size in base units and their dimension, the conversion
// factor between two of them, and the texts that show a factor and a
// dimension. Failures are left in CalcErrorCode and MessageArgs.
#include <string>

#include "core/extended.h"
#include "units/unit_table.h"

namespace voq {

// The middle dot, a multiplication sign in unit texts.
inline constexpr char kMiddleDot = static_cast<char>(183);
// The compiler's mark of a unary minus: a multiplication sign inside a term,
// a minus sign in the power of a parenthesised group.
inline constexpr char kUnaryMinusMark = static_cast<char>(192);

// The factor of one expression (its size in base units) and its exponents.
// On an error: CalcErrorCode set, factor 1 and the exponents accumulated so
// far.
Extended EvalUnitExpression(const std::string& text, TDimensionVector& exponents);
// One term (no parentheses): a product of units with powers and at most one
// "/"; its units' exponents are added to exponents.
Extended EvalUnitTerm(const std::string& term, TDimensionVector& exponents);
// 1 from-unit = factor to-units. Does nothing when CalcErrorCode is already
// set. On failure the error stays set, factor is 1 and text "1"; a
// dimension mismatch is retried with the last definitions of names defined
// twice.
void ConvertUnitFactor(const std::string& fromUnits, const std::string& toUnits, Extended& factor,
                       std::string& factorText);
// A factor as text: fixed with trailing zeros dropped for 0.001..1E6,
// otherwise a short exponential form (1E-05, 1.5E07).
std::string FactorDisplayText(Extended x);
// The dimension in base letters: (L^2-M/T^2), (/T), ().
std::string DimensionFormula(const TDimensionVector& exponents);
// Exponents equal in all eight positions.
bool SameDimensions(const TDimensionVector& a, const TDimensionVector& b);

}  // namespace voq
