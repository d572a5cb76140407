#pragma once
// The display fonts the windows draw the equations and results with, made
// from the display font preferences through the host's font factory, and the
// character cell the result windows lay their text out in.
#include <array>
#include <cstdint>
#include <string>

#include "platform/font_factory.h"

namespace voq {

// One display font on the screen and on the printer (the printer half
// belongs to the print job; 0 while none is made).
struct TDisplayFontPair {
  FontHandle Screen = 0;
  FontHandle Printer = 0;
};
// DisplayFonts[1] to [6]: 1 normal, 2 bold, 3 italic, 4 two pixels smaller,
// 5 "Symbol" one pixel larger, 6 "Symbol" two pixels smaller. [0] is not
// used, so the numbers read as the windows use them.
inline constexpr int kDisplayFontCount = 6;
extern std::array<TDisplayFontPair, kDisplayFontCount + 1> DisplayFonts;
// The equation editor's face and point size, from the same preferences.
extern std::string EditorFontName;
extern int32_t EditorFontPoints;
// Average character width and line height of DisplayFonts[1] on the screen,
// in pixels.
extern int32_t ScreenCharWidth;
extern int32_t ScreenLineHeight;

// The face of display font preference index 0 to 7 ("MS Sans Serif",
// "Arial", "Times New Roman", "Courier New", "MS LineDraw", "Century
// SchoolBook", "Bookman Old Style", "System"); another index, as a damaged
// file may hold, gives the first.
std::string DisplayFontFace(int32_t index);
// The point size of display size preference index 0 to 6 (10, 8, 10, 12,
// 14, 18, 24); another index gives 10.
int32_t DisplayFontPoints(int32_t index);

// Deletes the screen fonts that exist and makes the six again from
// Preferences (DisplayFont, DisplayFontSize), sets EditorFontName and
// EditorFontPoints, then measures the editor font.
void CreateDisplayFonts();
// ScreenCharWidth := average character width and ScreenLineHeight :=
// height + external + internal leading of DisplayFonts[1] on the screen, in
// the screen's pixels (the font was made at its pixels per inch).
void MeasureEditorFont();
// The screen fonts deleted, the handles and sizes cleared.
void DeleteDisplayFonts();

}  // namespace voq
