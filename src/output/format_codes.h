#pragma once
// The display code of a variable or local variable: four decimal digits
// T H D U (complex style, foreground colour index, background colour
// index, hilite), negative while the entry is selected in the Solution
// window; and the record one undo step of a format change keeps.
#include <cstdint>
#include <string>

#include "core/number_format.h"
#include "output/palette.h"

namespace voq {

struct TProgramUnitRecord;

// Hilite digit.
enum Hilite : int32_t { kHiliteHidden = 0, kHiliteNormal = 1, kHiliteUnderline = 2, kHiliteBold = 3, kHiliteBox = 4 };
// Complex style digit.
enum ComplexStyle : int32_t { kComplexRectangular = 0, kComplexPolarDegrees = 1, kComplexPolarRadians = 2 };

// T x 1000 + H x 100 + D x 10 + U.
int32_t PackFormatCode(int32_t fore, int32_t back, int32_t hilite, int32_t complexStyle);
// The four digits of code (callers pass the absolute value).
void UnpackFormatCode(int32_t code, int32_t& fore, int32_t& back, int32_t& hilite, int32_t& complexStyle);

// Foreground colours 1 to 9: blue, red, green, purple, navy, gray, silver,
// fuchsia, maroon; any other index black.
TRgb ForeColorOfIndex(int32_t index);
// Background colours 1 to 9: yellow, silver, teal, aqua, fuchsia, red,
// green, olive, navy; any other index white.
TRgb BackColorOfIndex(int32_t index);

// One entry of the Solution window's format undo list (50 bytes in the
// original memory layout: a 4-byte unit pointer, index, routine and code as
// int32, the 3-byte format and a 31-byte units string). Kept in memory only.
inline constexpr size_t kUndoFormatRecordSize = 50;
struct UndoFormatRecord {
  TProgramUnitRecord* Unit = nullptr;  // none for a local variable
  int32_t Index = 0;    // variable index, or a local's position in its list (0 first)
  int32_t Routine = 0;  // routine number of a local, 0 for a program variable
  int32_t Code = 0;     // display code, absolute value
  TDisplayFormat Format;
  std::string Units;    // at most 30 characters
};

}  // namespace voq
