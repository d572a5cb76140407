#include "output/palette.h"

#include <gtest/gtest.h>

#include "output/format_codes.h"

namespace voq {
namespace {

TEST(PaletteTest, SixteenColoursAndBlackOutside) {
  EXPECT_EQ(PaletteColor(0), 0x000000u);
  EXPECT_EQ(PaletteColor(17), 0x000000u);
  EXPECT_EQ(PaletteColor(-1), 0x000000u);
  EXPECT_EQ(PaletteColor(1), 0xFF0000u);      // blue, stored blue-green-red
  EXPECT_EQ(PaletteColorRGB(1), kRgbBlue);
  EXPECT_EQ(PaletteColorRGB(2), kRgbRed);
  EXPECT_EQ(PaletteColorRGB(15), MakeRgb(255, 128, 64));
  EXPECT_EQ(PaletteColorRGB(16), kRgbWhite);
}

TEST(PaletteTest, GreyLevelIsWeightedSum) {
  // 0.3 x 255 = 76.5 rounds to 77; 0.6 x 255 = 153; 0.1 x 255 = 25.5 to 26.
  EXPECT_EQ(ColorToGray(kRgbRed), MakeRgb(77, 77, 77));
  EXPECT_EQ(ColorToGray(MakeRgb(0, 255, 0)), MakeRgb(153, 153, 153));
  EXPECT_EQ(ColorToGray(kRgbBlue), MakeRgb(26, 26, 26));
  EXPECT_EQ(ColorToGray(kRgbWhite), kRgbWhite);
}

TEST(TextStyleTest, PackAndUnpack) {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  UnpackTextStyle(7, bold, italic, underline);
  EXPECT_TRUE(bold && italic && underline);
  UnpackTextStyle(2, bold, italic, underline);
  EXPECT_FALSE(bold);
  EXPECT_TRUE(italic);
  EXPECT_FALSE(underline);
  int16_t code = 0;
  PackTextStyle(code, true, false, true);
  EXPECT_EQ(code, 5);
}

TEST(TextSizeTest, PrinterDotsByIndex) {
  PrinterDpi = 300;
  // 300 x points / 72, rounded: 8 -> 33.3, 9 -> 37.5, 14 -> 58.3.
  EXPECT_EQ(TextSizePoints(1), -33);
  EXPECT_EQ(TextSizePoints(2), -38);
  EXPECT_EQ(TextSizePoints(99), -38);
  EXPECT_EQ(TextSizePoints(6), -58);
  std::string face = "keep";
  FontNameByIndex(9, face);
  EXPECT_EQ(face, "keep");
  FontNameByIndex(8, face);
  EXPECT_EQ(face, "Symbol");
  FontNameByIndex(0, face);
  EXPECT_EQ(face, "Arial");
}

TEST(SmallRectTest, OffsetAndConversion) {
  TSmallRect r;
  SetSmallRect(r, 1, 2, 30, 40);
  OffsetSmallRect(r, 5, -2);
  EXPECT_EQ(r.Left, 6);
  EXPECT_EQ(r.Right, 35);
  EXPECT_EQ(r.Top, 0);
  EXPECT_EQ(r.Bottom, 38);
  const TSmallRect clamped = RectToSmallRect(TRect{-100000, 0, 100000, 5});
  EXPECT_EQ(clamped.Left, INT16_MIN);
  EXPECT_EQ(clamped.Right, INT16_MAX);
}

TEST(FormatCodeTest, PackUnpackAndColours) {
  EXPECT_EQ(PackFormatCode(2, 3, 4, 1), 1234);
  int32_t fore = 0;
  int32_t back = 0;
  int32_t hilite = 0;
  int32_t complexStyle = 0;
  UnpackFormatCode(1234, fore, back, hilite, complexStyle);
  EXPECT_EQ(fore, 2);
  EXPECT_EQ(back, 3);
  EXPECT_EQ(hilite, 4);
  EXPECT_EQ(complexStyle, 1);
  UnpackFormatCode(1, fore, back, hilite, complexStyle);
  EXPECT_EQ(fore + back + complexStyle, 0);
  EXPECT_EQ(hilite, kHiliteNormal);
  EXPECT_EQ(ForeColorOfIndex(5), 0x000080u);
  EXPECT_EQ(ForeColorOfIndex(1), kRgbBlue);
  EXPECT_EQ(ForeColorOfIndex(10), kRgbBlack);
  EXPECT_EQ(BackColorOfIndex(10), kRgbWhite);
  EXPECT_EQ(BackColorOfIndex(1), 0xFFFF00u);
}

}  // namespace
}  // namespace voq
