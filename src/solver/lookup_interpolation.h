#pragma once
// One-dimensional interpolation and differentiation in a column of a lookup
// table (INTERPOLATE1/2/3, INTERPOLATE, DIFFERENTIATE): the bracketing row
// of a value in the independent column, then a polynomial through the 2, 3
// or 4 rows around it. The table is read through TInterpolationTable, so
// the routines serve Lookup Table window tabs and lookup files alike.
#include <cstdint>
#include <functional>
#include <string>

#include "core/extended.h"

namespace voq {

struct TInterpolationTable {
  int32_t RowCount = 0;
  // Value of a cell, column and row 1-based; BlankValue for a blank cell.
  // May set CalcErrorCode; the routines stop then.
  std::function<Extended(int32_t column, int32_t row)> Cell;
  // Heading of a column, for the warning and error texts.
  std::function<std::string(int32_t column)> ColumnName;
  // "file NAME" or "table NAME".
  std::string Label;
};

// Interpolation types: 1..3 a polynomial through 2..4 rows; 4..6 its
// derivative.
inline constexpr int32_t kInterpolateLinear = 1;
inline constexpr int32_t kInterpolateQuadratic = 2;
inline constexpr int32_t kInterpolateCubic = 3;
inline constexpr int32_t kDifferentiateLinear = 4;
inline constexpr int32_t kDifferentiateQuadratic = 5;
inline constexpr int32_t kDifferentiateCubic = 6;

struct TBracket {
  int32_t Row = 0;      // the row at or below x (the start of the window)
  int32_t LastRow = 0;  // the last filled row: the row count the window uses
};

// Finds where x lies in the independent column. Leading and trailing blank
// cells are skipped; a value outside the column's range appends warning 338
// and returns the end nearer to x (the interpolation then extrapolates).
// The column need not be increasing; a decreasing one is bisected as well.
TBracket FindBracketRow(const TInterpolationTable& table, int32_t independentColumn, int32_t dependentColumn,
                        int32_t order, Extended x);

// The interpolated value (types 1..3) or derivative (4..6; with reciprocal
// its reciprocal) at x through the rows around bracket. Errors: 325 for a
// cubic on fewer than 5 rows, 163 for a blank cell inside the window, 4 for
// two equal abscissas or a zero derivative taken reciprocally; the result is
// then -999.
Extended InterpolateInTable(const TInterpolationTable& table, int32_t type, const TBracket& bracket,
                            int32_t independentColumn, int32_t dependentColumn, Extended x, bool reciprocal);

}  // namespace voq
