#pragma once
// Two-dimensional interpolation (INTERPOLATE2D) by radial basis functions:
// the m table points nearest to (x, y), weights from a dense system whose
// basis is the plain distance in the X-Y plane (a multiquadric with shape
// parameter 0), and the weighted sum of the distances to (x, y). Nothing is
// kept between calls. Also the index-carrying heap sort that chooses the
// points.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

// Sorts values[1..n] ascending in place and applies the same moves to
// indices[1..n] (index 0 of both is unused). The held element passes
// through a double, so values moved through it come back rounded to double.
void HeapSortWithIndex(int32_t n, std::vector<Extended>& values, std::vector<int16_t>& indices);
// The same with 32-bit indices, for sorts of more than 32767 elements (the
// rows of a table).
void HeapSortWithIndex(int32_t n, std::vector<Extended>& values, std::vector<int32_t>& indices);

// The points of one interpolation, read from a table's three columns
// (BlankValue marks an empty cell), with the columns' names for messages.
struct TMultiquadricPoints {
  std::vector<Extended> X;
  std::vector<Extended> Y;
  std::vector<Extended> Z;
  std::string XName;
  std::string YName;
};

// The interpolated Z at (x, y) from the pointCount nearest points. Errors
// (the result is then -999): 476 for fewer than 8 points, 429 for a row
// with a missing value, 330 when X or Y does not vary, 301 for a duplicated
// point, 384 for a singular system, 75 for memory. A point count below 8
// is raised to 8 with a warning line.
Extended InterpolateMultiquadric(TMultiquadricPoints points, int32_t pointCount, Extended x, Extended y);

// The table form: the three columns of lookup table tableId (a Lookup
// Table tab or a lookup file). A column that does not exist is error 169.
Extended Interpolate2DMultiquadric(int32_t tableId, int32_t pointCount, int32_t xColumn, int32_t yColumn,
                                   int32_t zColumn, Extended x, Extended y);

}  // namespace voq
