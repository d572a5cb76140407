#pragma once
// Column titles and units of the table window and of printed tables, set
// as a reader of engineering notes expects them: subscripts lowered and
// smaller, array indices as subscripts, Greek letters in the Symbol face,
// accents over the name, exponents of units raised. Both the grid and the
// printed table draw through these, so the two agree; with draw false the
// routines only measure.
#include <cstdint>
#include <string>

#include "output/canvas.h"

namespace voq {

// The title's display markup: an array element "X[3]" becomes "X_3", then
// DisplayVarName's marks "\_", "\^", "\." and "|" become "__", "_^", "_."
// and "_" followed by character 14 (raised text). greek tells whether the
// base is a Symbol-face letter.
std::string TitleMarkup(const std::string& title, bool& greek);

// Draws (or measures) a title at (x, y) in font; lineHeight sets how far
// subscripts drop and raised text rises; scale is printer dots per screen
// pixel (1 on the screen). The total width.
int32_t TypesetTitle(Canvas& canvas, const TCanvasFont& font, int32_t x, int32_t y, const std::string& title,
                     int32_t lineHeight, double scale, bool draw);

// Units with "^" (exponent, smaller) and "_" (lowered by 4 x scale,
// smaller); " ", ")", "*", "-", "/" and "]" go back to the base line and
// size. The total width.
int32_t TypesetUnits(Canvas& canvas, const TCanvasFont& font, int32_t x, int32_t y, const std::string& units,
                     double scale, bool draw);

// The font two points smaller at 96 pixels per inch (times scale), at
// least 4 pixels high.
TCanvasFont SmallerFont(const TCanvasFont& font, double scale);

}  // namespace voq
