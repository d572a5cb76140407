#include "output/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>


namespace voq {

int32_t PrinterDpi = 300;

namespace {

// Blue-green-red colour values of palette indices 1 to 16.
constexpr std::array<TColorRef, 17> kPalette = {
    0x000000, 0xFF0000, 0x0000FF, 0x008000, 0x800080, 0x000080, 0x00FFFF, 0x00FF00, 0x008080,
    0xFFFF00, 0x808080, 0xFF00FF, 0x800000, 0x808000, 0xC0C0C0, 0x4080FF, 0xFFFFFF,
};

int16_t ClampSmall(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace

TColorRef PaletteColor(int32_t index) {
  if (index < 1 || index > 16) return 0x000000;
  return kPalette[static_cast<size_t>(index)];
}

TRgb PaletteColorRGB(int32_t index) { return ColorRefToRgb(PaletteColor(index)); }

TRgb ColorToGray(TRgb colour) {
  const double level = 0.3 * RedOf(colour) + 0.6 * GreenOf(colour) + 0.1 * BlueOf(colour);
  const uint32_t g = std::min<uint32_t>(255, static_cast<uint32_t>(std::lround(level)));
  return MakeRgb(g, g, g);
}

void PackTextStyle(int16_t& code, bool bold, bool italic, bool underline) {
  code = static_cast<int16_t>((bold ? 1 : 0) + (italic ? 2 : 0) + (underline ? 4 : 0));
}

void UnpackTextStyle(int16_t code, bool& bold, bool& italic, bool& underline) {
  bold = (code & 1) != 0;
  italic = (code & 2) != 0;
  underline = (code & 4) != 0;
}

int32_t TextSizePoints(int32_t index) {
  int32_t points = 9;
  switch (index) {
    case 1: points = 8; break;
    case 3: points = 10; break;
    case 4: points = 11; break;
    case 5: points = 12; break;
    case 6: points = 14; break;
    default: break;
  }
  return -static_cast<int32_t>(std::lround(static_cast<double>(PrinterDpi) * points / 72.0));
}

void FontNameByIndex(int32_t index, std::string& name) {
  switch (index) {
    case 0:
    case 1: name = "Arial"; break;
    case 2: name = "Times New Roman"; break;
    case 3: name = "Courier New"; break;
    case 4:
    case 8: name = "Symbol"; break;
    case 5: name = "Century SchoolBk"; break;
    case 6: name = "Bookman Old Style"; break;
    case 7: name = "MS Sans Serif"; break;
    default: break;
  }
}

TRect SmallRectToRect(const TSmallRect& r) { return TRect{r.Left, r.Top, r.Right, r.Bottom}; }

TSmallRect RectToSmallRect(const TRect& r) {
  return TSmallRect{ClampSmall(r.Left), ClampSmall(r.Top), ClampSmall(r.Right), ClampSmall(r.Bottom)};
}

void OffsetSmallRect(TSmallRect& r, int32_t dx, int32_t dy) {
  r.Left = ClampSmall(r.Left + dx);
  r.Right = ClampSmall(r.Right + dx);
  r.Top = ClampSmall(r.Top + dy);
  r.Bottom = ClampSmall(r.Bottom + dy);
}

void SetSmallRect(TSmallRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r = TSmallRect{ClampSmall(left), ClampSmall(top), ClampSmall(right), ClampSmall(bottom)};
}

void SwapInt(int32_t& a, int32_t& b) { std::swap(a, b); }
void SwapSmallInt(int16_t& a, int16_t& b) { std::swap(a, b); }

void ResetOutputState() { PrinterDpi = 300; }

}  // namespace voq
