#pragma once
// Drawing services of names and graphics shared by the result windows,
// plots and the diagram: accents over names, the font of plot and diagram
// text, arrowheads and the line-style samples of combo boxes.
#include <cstdint>
#include <string>

#include "output/canvas.h"

namespace voq {

// A bar over a name drawn at x, width pixels wide; y is the bar's base line
// (one scale lower when the name does not begin with a capital letter). A
// name narrower than 5 x scale gets a bar of that length, centred.
void DrawBarAccent(Canvas& canvas, const std::string& text, int32_t x, double scale, int32_t width, int32_t y);
// A hat 6 x scale wide centred over the name, its base at y (one scale
// lower for a name that does not begin with a capital letter), rising one
// fifth of the text height at its middle.
void DrawHatAccent(Canvas& canvas, const std::string& text, int32_t x, double scale, int32_t width, int32_t y);

// Selects the font of plot and diagram text: face by FontNameByIndex
// (index 8 or style 8: the Symbol face, regular), height scale x size
// pixels, style code 1 bold + 2 italic + 4 underline, direction by
// orientation (0 across, 1 up, 2 angle degrees); and the text colour,
// PaletteColorRGB(colourIndex), or black when printing without colour.
void MakeTextFont(Canvas& canvas, int32_t faceIndex, int32_t size, double scale, int32_t orientation,
                  int32_t angle, int32_t colourIndex, int32_t style, bool printing, bool printInColor);

// An arrowhead at `to` on the line from `from`: 3 x size x scale long and
// 2 x size x scale wide; style 1 a filled triangle in the colour, 2 the
// same in white, 3 a filled circle of radius size x scale, 4 a barbed head
// whose back point lies at 0.7 of the length. Other styles draw nothing.
void DrawArrowLine(Canvas& canvas, TCanvasPoint from, TCanvasPoint to, int32_t size, TRgb colour,
                   int32_t style, double scale);

// An owner-drawn combo-box item showing line style 0 to 6 across rect
// (itemState 17: selected and focused, framed in black).
void DrawStyleSample(Canvas& canvas, int32_t lineStyle, const TRect& rect, bool showNone, int32_t itemState);

}  // namespace voq
