#include "output/format_codes.h"

#include <array>

namespace voq {

namespace {

constexpr std::array<TRgb, 10> kForeColors = {
    kRgbBlack, 0x0000FF, 0xFF0000, 0x008000, 0x800080, 0x000080, 0x808080, 0xC0C0C0, 0xFF00FF, 0x800000,
};
constexpr std::array<TRgb, 10> kBackColors = {
    kRgbWhite, 0xFFFF00, 0xC0C0C0, 0x008080, 0x00FFFF, 0xFF00FF, 0xFF0000, 0x008000, 0x808000, 0x000080,
};

}  // namespace

int32_t PackFormatCode(int32_t fore, int32_t back, int32_t hilite, int32_t complexStyle) {
  return complexStyle * 1000 + fore * 100 + back * 10 + hilite;
}

void UnpackFormatCode(int32_t code, int32_t& fore, int32_t& back, int32_t& hilite, int32_t& complexStyle) {
  complexStyle = code / 1000;
  fore = (code - 1000 * complexStyle) / 100;
  back = (code - 1000 * complexStyle - 100 * fore) / 10;
  hilite = code - 1000 * complexStyle - 100 * fore - 10 * back;
}

TRgb ForeColorOfIndex(int32_t index) {
  return (index >= 1 && index <= 9) ? kForeColors[static_cast<size_t>(index)] : kRgbBlack;
}

TRgb BackColorOfIndex(int32_t index) {
  return (index >= 1 && index <= 9) ? kBackColors[static_cast<size_t>(index)] : kRgbWhite;
}

}  // namespace voq
