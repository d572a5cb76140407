#include "output/drawing.h"

#include <gtest/gtest.h>

namespace voq {
namespace {

std::vector<const TCanvasOperation*> Lines(const RecordingCanvas& canvas) {
  std::vector<const TCanvasOperation*> lines;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kLine) lines.push_back(&op);
  }
  return lines;
}

TEST(AccentTest, BarIsAtLeastFiveScaleLongAndLowerAfterSmallLetters) {
  RecordingCanvas canvas;
  canvas.SetPen(kRgbBlack, 3);
  // Width 4 < minimum 10: the bar starts (10 - 4) div 2 = 3 left of x.
  DrawBarAccent(canvas, "x", 100, 2.0, 4, 20);
  ASSERT_EQ(Lines(canvas).size(), 1u);
  const TCanvasOperation& bar = *Lines(canvas)[0];
  EXPECT_EQ(bar.X, 97);
  EXPECT_EQ(bar.X2, 107);
  EXPECT_EQ(bar.Y, 22);  // one scale lower: "x" is not a capital
  EXPECT_EQ(bar.PenWidth, 1);
  EXPECT_EQ(canvas.PenWidth(), 3);  // restored
  canvas.Operations.clear();
  DrawBarAccent(canvas, "V", 100, 1.0, 12, 20);
  EXPECT_EQ(Lines(canvas)[0]->X, 100);
  EXPECT_EQ(Lines(canvas)[0]->X2, 112);
  EXPECT_EQ(Lines(canvas)[0]->Y, 20);
}

TEST(AccentTest, HatIsSixScaleWideAndCentred) {
  RecordingCanvas canvas;
  TCanvasFont font;
  font.Height = 20;
  canvas.SetFont(font);
  DrawHatAccent(canvas, "T", 50, 2.0, 16, 30);
  const auto lines = Lines(canvas);
  ASSERT_EQ(lines.size(), 2u);
  // (16 div 2 - 6) x 2 div 2 = 2 from x; 12 wide; rises 20 / 5 = 4.
  EXPECT_EQ(lines[0]->X, 52);
  EXPECT_EQ(lines[0]->Y, 30);
  EXPECT_EQ(lines[0]->X2, 58);
  EXPECT_EQ(lines[0]->Y2, 26);
  EXPECT_EQ(lines[1]->X2, 64);
  EXPECT_EQ(lines[1]->Y2, 30);
}

TEST(MakeTextFontTest, FaceSizeStyleDirectionAndColour) {
  RecordingCanvas canvas;
  MakeTextFont(canvas, 2, 12, 1.5, 1, 0, 2, 3, false, false);
  EXPECT_EQ(canvas.Font().Face, "Times New Roman");
  EXPECT_EQ(canvas.Font().Height, 18);
  EXPECT_TRUE(canvas.Font().Bold);
  EXPECT_TRUE(canvas.Font().Italic);
  EXPECT_FALSE(canvas.Font().Underline);
  EXPECT_EQ(canvas.Font().Escapement, 900);
  EXPECT_EQ(canvas.TextColor(), kRgbRed);
  // Symbol by style 8: regular; printing without colour: black.
  MakeTextFont(canvas, 1, 10, 1.0, 2, 45, 2, 8, true, false);
  EXPECT_EQ(canvas.Font().Face, "Symbol");
  EXPECT_FALSE(canvas.Font().Bold || canvas.Font().Italic || canvas.Font().Underline);
  EXPECT_EQ(canvas.Font().Escapement, 450);
  EXPECT_EQ(canvas.TextColor(), kRgbBlack);
}

TEST(ArrowTest, HeadsByStyle) {
  RecordingCanvas canvas;
  // A horizontal line to the right, size 2 at scale 1: 6 long, 4 wide.
  DrawArrowLine(canvas, TCanvasPoint{0, 10}, TCanvasPoint{50, 10}, 2, kRgbRed, 1, 1.0);
  ASSERT_EQ(canvas.Operations.size(), 1u);
  const TCanvasOperation& head = canvas.Operations[0];
  EXPECT_EQ(head.Operation, TCanvasOperation::kPolygon);
  EXPECT_EQ(head.Colour, kRgbRed);
  ASSERT_EQ(head.Points.size(), 3u);
  EXPECT_EQ(head.Points[0], (TCanvasPoint{50, 10}));
  EXPECT_EQ(head.Points[1].X, 44);
  EXPECT_EQ(head.Points[2].X, 44);
  EXPECT_EQ(std::abs(head.Points[1].Y - head.Points[2].Y), 4);
  canvas.Operations.clear();
  DrawArrowLine(canvas, TCanvasPoint{0, 10}, TCanvasPoint{50, 10}, 2, kRgbRed, 4, 1.0);
  ASSERT_EQ(canvas.Operations[0].Points.size(), 4u);
  EXPECT_EQ(canvas.Operations[0].Points[2], (TCanvasPoint{46, 10}));  // 0.7 x 6 back from the tip
  canvas.Operations.clear();
  DrawArrowLine(canvas, TCanvasPoint{0, 0}, TCanvasPoint{20, 20}, 3, kRgbBlue, 3, 1.0);
  ASSERT_EQ(canvas.Operations.size(), 1u);
  EXPECT_EQ(canvas.Operations[0].Operation, TCanvasOperation::kEllipse);
  EXPECT_EQ(canvas.Operations[0].X, 17);
  EXPECT_EQ(canvas.Operations[0].X2, 23);
  canvas.Operations.clear();
  DrawArrowLine(canvas, TCanvasPoint{0, 0}, TCanvasPoint{20, 20}, 3, kRgbBlue, 0, 1.0);
  EXPECT_TRUE(canvas.Operations.empty());
}

TEST(StyleSampleTest, DashesAndWidths) {
  RecordingCanvas canvas;
  const TRect item{0, 0, 45, 10};
  DrawStyleSample(canvas, 2, item, false, 17);
  ASSERT_GE(canvas.Operations.size(), 2u);
  EXPECT_EQ(canvas.Operations[0].Operation, TCanvasOperation::kFillRect);
  EXPECT_EQ(canvas.Operations[1].Operation, TCanvasOperation::kFrameRect);
  const auto dashes = Lines(canvas);
  // From 5 to 40 every 8 pixels: 5, 13, 21, 29, 37 (the last cut at 40).
  ASSERT_EQ(dashes.size(), 5u);
  EXPECT_EQ(dashes[0]->X, 5);
  EXPECT_EQ(dashes[0]->X2, 10);
  EXPECT_EQ(dashes[4]->X2, 40);
  EXPECT_EQ(dashes[0]->Y, 5);
  canvas.Operations.clear();
  DrawStyleSample(canvas, 3, item, false, 1);
  ASSERT_EQ(Lines(canvas).size(), 1u);
  EXPECT_EQ(Lines(canvas)[0]->PenWidth, 2);
  canvas.Operations.clear();
  DrawStyleSample(canvas, 0, item, true, 1);
  EXPECT_EQ(canvas.AllText(), "None");
}

}  // namespace
}  // namespace voq
