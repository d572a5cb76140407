#pragma once
// Colours, text styles, fonts by index and the small rectangles the windows
// share. A colour value (TColorRef) is blue-green-red, 0x00BBGGRR, as the
// stored records keep colours; TRgb is the plain 0xRRGGBB the canvas draws.
#include <cstdint>
#include <string>

#include "model/small_rect.h"

namespace voq {

using TColorRef = uint32_t;
using TRgb = uint32_t;

inline constexpr TRgb kRgbBlack = 0x000000;
inline constexpr TRgb kRgbWhite = 0xFFFFFF;
inline constexpr TRgb kRgbRed = 0xFF0000;
inline constexpr TRgb kRgbBlue = 0x0000FF;
inline constexpr TRgb kRgbGreen = 0x008000;

inline constexpr TRgb MakeRgb(uint32_t r, uint32_t g, uint32_t b) {
  return ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
inline constexpr uint32_t RedOf(TRgb c) { return (c >> 16) & 0xFF; }
inline constexpr uint32_t GreenOf(TRgb c) { return (c >> 8) & 0xFF; }
inline constexpr uint32_t BlueOf(TRgb c) { return c & 0xFF; }
// Between the two byte orders (the swap is its own inverse).
inline constexpr TRgb ColorRefToRgb(TColorRef c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline constexpr TColorRef RgbToColorRef(TRgb c) { return ColorRefToRgb(c); }

// The sixteen-colour palette of plots, the diagram and comments: 1 blue,
// 2 red, 3 green, 4 purple, 5 maroon, 6 yellow, 7 lime, 8 olive, 9 aqua,
// 10 gray, 11 fuchsia, 12 navy, 13 teal, 14 silver, 15 orange
// (255, 128, 64), 16 white; any other index black.
TColorRef PaletteColor(int32_t index);
TRgb PaletteColorRGB(int32_t index);
// The grey of the same brightness: level 0.3 R + 0.6 G + 0.1 B, rounded.
TRgb ColorToGray(TRgb colour);

// Text style code: 1 bold + 2 italic + 4 underline.
void PackTextStyle(int16_t& code, bool bold, bool italic, bool underline);
void UnpackTextStyle(int16_t code, bool& bold, bool& italic, bool& underline);

// The printer resolution in dots per inch that TextSizePoints measures in.
extern int32_t PrinterDpi;
// Minus the font height in printer dots of text size index 1 to 6 (8, 9, 10,
// 11, 12, 14 points; any other index 9 points).
int32_t TextSizePoints(int32_t index);
// Face of plot and diagram font index 0 to 8; other indices leave name as
// it was.
void FontNameByIndex(int32_t index, std::string& name);

// TSmallRect (model/small_rect.h) holds four int16 in the order left, top,
// right, bottom; TRect the same as int32.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};
TRect SmallRectToRect(const TSmallRect& r);
// Coordinates outside the int16 range are clamped to it.
TSmallRect RectToSmallRect(const TRect& r);
void OffsetSmallRect(TSmallRect& r, int32_t dx, int32_t dy);
void SetSmallRect(TSmallRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom);
void SwapInt(int32_t& a, int32_t& b);
void SwapSmallInt(int16_t& a, int16_t& b);

// Output state back to its start values (PrinterDpi); registered with the
// engine reset by InstallOutput.
void ResetOutputState();
// Registers the output layer's resets (this state, the print engine's, the
// Solution window's and the formatted equations') with the engine reset; a
// front end that links the layer calls it once before StartEngine.
void InstallOutput();

}  // namespace voq
