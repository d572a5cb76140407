// The display fonts made from the font preferences through the host's font
// factory, and the character cell measured from the first of them.
#include "model/display_fonts.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/document_settings.h"
#include "platform/font_factory.h"
#include "platform/host.h"

namespace voq {
namespace {

class DisplayFontsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetFontFactory(&fonts); }
  void TearDown() override {
    DeleteDisplayFonts();
    SetFontFactory(nullptr);
  }
  RecordingFontFactory fonts;
};

// Size index to points: 0 and 2 both give 10. Heights are the points at 96
// pixels per inch: -(points x 96 / 72) in whole pixels.
TEST_F(DisplayFontsTest, SizeIndexGivesThePointSizeOfEverySixFonts) {
  struct Case {
    int16_t index;
    int32_t points;
    int32_t height;
  };
  for (const Case& c : {Case{0, 10, -13}, Case{1, 8, -10}, Case{2, 10, -13}, Case{3, 12, -16}, Case{4, 14, -18},
                        Case{5, 18, -24}, Case{6, 24, -32}, Case{7, 10, -13}, Case{-1, 10, -13}}) {
    SCOPED_TRACE(c.index);
    fonts.Requests.clear();
    Preferences.DisplayFontSize = c.index;
    CreateDisplayFonts();
    ASSERT_EQ(fonts.Requests.size(), 6u);
    for (const TFontRequest& r : fonts.Requests) EXPECT_EQ(r.Points, c.points);
    EXPECT_EQ(EditorFontPoints, c.points);
    EXPECT_EQ(fonts.Requests[0].Height, c.height);
  }
}

TEST_F(DisplayFontsTest, FaceIndexAndTheSixVariants) {
  Preferences.DisplayFont = 3;
  Preferences.DisplayFontSize = 3;  // 12 points: height -16 at 96 pixels per inch
  CreateDisplayFonts();
  ASSERT_EQ(fonts.Requests.size(), 6u);
  EXPECT_EQ(EditorFontName, "Courier New");
  struct Expected {
    const char* face;
    int32_t height;
    int32_t weight;
    bool italic;
  };
  const Expected expected[6] = {{"Courier New", -16, 400, false}, {"Courier New", -16, 700, false},
                                {"Courier New", -16, 400, true},  {"Courier New", -14, 400, false},
                                {"Symbol", -17, 400, false},      {"Symbol", -14, 400, false}};
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k + 1);
    EXPECT_EQ(fonts.Requests[k].Face, expected[k].face);
    EXPECT_EQ(fonts.Requests[k].Height, expected[k].height);
    EXPECT_EQ(fonts.Requests[k].Weight, expected[k].weight);
    EXPECT_EQ(fonts.Requests[k].Italic, expected[k].italic);
    EXPECT_NE(DisplayFonts[k + 1].Screen, 0);
  }
  // Made again: the six old ones go first, and only six stay.
  std::vector<FontHandle> made;
  for (int k = 1; k <= 6; ++k) made.push_back(DisplayFonts[k].Screen);
  fonts.Deleted.clear();
  CreateDisplayFonts();
  EXPECT_EQ(fonts.Deleted, made);
  EXPECT_EQ(fonts.LiveFonts(), 6u);
}

TEST_F(DisplayFontsTest, FaceTableAndOutOfRangeIndices) {
  const char* faces[] = {"MS Sans Serif",      "Arial",             "Times New Roman", "Courier New",
                         "MS LineDraw",        "Century SchoolBook", "Bookman Old Style", "System"};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(DisplayFontFace(k), faces[k]);
  EXPECT_EQ(DisplayFontFace(8), "MS Sans Serif");
  EXPECT_EQ(DisplayFontFace(-3), "MS Sans Serif");
}

// At 192 pixels per inch the 10-point base font asks for -(10 x 192 / 72) =
// -26 pixels (26.67 cut to a whole pixel).
TEST_F(DisplayFontsTest, HeightFollowsTheScreenResolution) {
  fonts.PixelsPerInch = 192;
  Preferences.DisplayFontSize = 0;
  CreateDisplayFonts();
  EXPECT_EQ(fonts.Requests[0].Height, -26);
}

// A screen font made at p pixels per inch already measures in that screen's
// pixels: its height was asked for as -(points x p / 72). The cell is taken
// as it is, ScreenCharWidth = average width and ScreenLineHeight = height +
// external + internal leading, never scaled by p / 96 a second time. The
// fake's metrics grow with the screen as a real font's do: at 96 pixels per
// inch height 13, average width 7, leadings 1 and 3 (17 pixels a line).
class ScreenScaledFontFactory : public RecordingFontFactory {
 public:
  TFontMetrics Metrics(FontHandle font) override {
    const TFontMetrics m = RecordingFontFactory::Metrics(font);
    auto scaled = [this](int32_t a) { return (a * PixelsPerInch + 48) / 96; };
    return TFontMetrics{scaled(m.Height), scaled(m.AverageCharWidth), scaled(m.ExternalLeading),
                        scaled(m.InternalLeading)};
  }
};

TEST_F(DisplayFontsTest, MeasureEditorFontTakesTheScreenFontsCellOnce) {
  ScreenScaledFontFactory scaled;
  SetFontFactory(&scaled);
  scaled.FixedMetrics = TFontMetrics{13, 7, 1, 3};
  struct Case {
    int32_t ppi;
    int32_t width;
    int32_t lineHeight;
  };
  // 192 ppi: twice the 96-ppi cell, 14 and 2 x 17 = 34 (by hand). 120 ppi:
  // 7 x 1.25 = 8.75 -> 9; 13 x 1.25 = 16.25 -> 16, 1.25 -> 1, 3.75 -> 4:
  // 21.
  for (const Case& c : {Case{96, 7, 17}, Case{192, 14, 34}, Case{120, 9, 21}}) {
    SCOPED_TRACE(c.ppi);
    scaled.PixelsPerInch = c.ppi;
    CreateDisplayFonts();
    EXPECT_EQ(ScreenCharWidth, c.width);
    EXPECT_EQ(ScreenLineHeight, c.lineHeight);
  }
  DeleteDisplayFonts();
  SetFontFactory(&fonts);
  // Without a first display font there is nothing to measure.
  DeleteDisplayFonts();
  MeasureEditorFont();
  EXPECT_EQ(ScreenCharWidth, 0);
  EXPECT_EQ(ScreenLineHeight, 0);
}

}  // namespace
}  // namespace voq
