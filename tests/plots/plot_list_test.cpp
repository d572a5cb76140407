#include "plots/plot_list.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "model/document_settings.h"
#include "plots/plots_state.h"
#include "session/engine.h"

namespace voq {
namespace {

int16_t Int16At(const uint8_t* b, size_t off) { return static_cast<int16_t>(b[off] | (b[off + 1] << 8)); }

std::vector<std::string> PlotNames() {
  std::vector<std::string> names;
  for (const auto& plot : PlotList) names.push_back(plot->PlotName);
  return names;
}

std::vector<int32_t> PlotNumbers() {
  std::vector<int32_t> numbers;
  for (const auto& plot : PlotList) numbers.push_back(plot->PlotNumber);
  return numbers;
}

TEST(CreatePlotTest, NamesCountTheListNotASerialNumber) {
  ASSERT_NE(CreateMPRPtr(), nullptr);
  ASSERT_NE(CreateMPRPtr(), nullptr);
  EXPECT_EQ(PlotNames(), (std::vector<std::string>{"Plot 1", "Plot 2"}));
  EXPECT_EQ(PlotNumbers(), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(CurrentPlotNumber, 0);  // a new plot is not shown by itself

  DisposePlot(1);
  EXPECT_EQ(PlotNames(), (std::vector<std::string>{"Plot 2"}));
  TPlotRecord* third = CreateMPRPtr();
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->PlotName, "Plot 2");
  EXPECT_EQ(PlotNames(), (std::vector<std::string>{"Plot 2", "Plot 2"}));
  EXPECT_EQ(PlotNumbers(), (std::vector<int32_t>{1, 2}));
}

// A fresh preferences record: a 300 x 200 frame at (90, 30), labels of size
// 10, no grid lines (-1) in colour 9, ticks 5 and 3.
TEST(CreatePlotTest, FrameAndAxesComeFromThePreferences) {
  PlotTabStripHeight = 20;
  const TPlotRecord* plot = CreateMPRPtr();
  ASSERT_NE(plot, nullptr);
  EXPECT_EQ(plot->FrameLeft, 90);
  EXPECT_EQ(plot->FrameRight, 390);
  EXPECT_EQ(plot->FrameTop, 50);      // top margin + tab strip
  EXPECT_EQ(plot->FrameBottom, 250);  // top margin + height + tab strip
  const TPlotAxesRecord& a = plot->Axes;
  EXPECT_EQ(a.FrameRect, (TSmallRect{90, 50, 390, 250}));
  EXPECT_EQ(a.LabelSize, (std::array<int16_t, 4>{10, 10, 10, 10}));
  EXPECT_EQ(a.GridLineStyle, -1);
  EXPECT_EQ(a.GridColor, 9);
  EXPECT_EQ(a.MajorTickSize, 5);
  EXPECT_EQ(a.MinorTickSize, 3);
  EXPECT_EQ(a.ToolBarLeft, 410);
  EXPECT_EQ(a.ToolBarTop, 50);
  EXPECT_EQ(a.WindowHeight, 350);
  EXPECT_EQ(a.WindowWidth, 470);
  EXPECT_EQ(a.FirstCurve, nullptr);
  // No plot was shown: text is laid out for the plot's own frame.
  EXPECT_EQ(plot->FrameRightAtDown, 390);
  EXPECT_EQ(plot->FrameBottomAtDown, 250);
  EXPECT_EQ(plot->HitTextIndex, -1);
  EXPECT_EQ(plot->UndoAnchorIndex, -1);
  EXPECT_TRUE(plot->TextItems.empty());
  EXPECT_TRUE(plot->Objects.empty());
}

// Each preference lands in its own field: the four label arrays in axis
// order, then frame colour, border, grid and ticks.
TEST(CreatePlotTest, EveryPlotPreferenceReachesItsAxesField) {
  Preferences.PlotTextColor = {1, 2, 3, 4};
  Preferences.PlotTextStyle = {0, 1, 2, 3};
  Preferences.PlotTextFont = {7, 6, 5, 4};
  Preferences.PlotTextSize = {8, 9, 11, 12};
  Preferences.PlotFrameColor = 12;
  Preferences.PlotBorderThick = 1;
  Preferences.PlotGridLines = 0;
  Preferences.PlotGridColor = 14;
  Preferences.PlotMajorTickSize = -10;
  Preferences.PlotMinorTickSize = 10;
  TPlotRecord* shown = CreateMPRPtr();
  shown->Axes.FrameRect = {0, 0, 640, 480};
  CurrentPlotNumber = 1;
  const TPlotRecord* plot = CreateMPRPtr();
  const TPlotAxesRecord& a = plot->Axes;
  EXPECT_EQ(a.LabelColor, (std::array<int16_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(a.LabelStyle, (std::array<int16_t, 4>{0, 1, 2, 3}));
  EXPECT_EQ(a.LabelFont, (std::array<int16_t, 4>{7, 6, 5, 4}));
  EXPECT_EQ(a.LabelSize, (std::array<int16_t, 4>{8, 9, 11, 12}));
  EXPECT_EQ(a.FrameColor, 12);
  EXPECT_EQ(a.ThickBorder, 1);
  EXPECT_EQ(a.GridLineStyle, 0);
  EXPECT_EQ(a.GridColor, 14);
  EXPECT_EQ(a.MajorTickSize, -10);
  EXPECT_EQ(a.MinorTickSize, 10);
  // While a plot is shown, the layout frame is the shown plot's.
  EXPECT_EQ(plot->FrameRightAtDown, 640);
  EXPECT_EQ(plot->FrameBottomAtDown, 480);
}

// The preferences allow plots up to 32000 pixels wide at any offset: the
// frame stays at the far edge instead of wrapping to negative coordinates.
TEST(CreatePlotTest, OversizedFramesStayWithinSixteenBits) {
  Preferences.PlotLeft = 30000;
  Preferences.PlotWidth = 32000;
  const TPlotRecord* plot = CreateMPRPtr();
  EXPECT_EQ(plot->FrameLeft, 30000);
  EXPECT_EQ(plot->FrameRight, 32767);
  EXPECT_EQ(plot->Axes.ToolBarLeft, 32767);
  EXPECT_EQ(plot->Axes.WindowWidth, 32767);
}

TEST(CreatePlotTest, NewAxesBlockPacksToItsStoredForm) {
  const TPlotRecord* plot = CreateMPRPtr();
  std::array<uint8_t, kPlotAxesRecordSize> b{};
  PackPlotAxesRecord(plot->Axes, b.data());
  EXPECT_EQ(b.size(), 421u);
  EXPECT_EQ(Int16At(b.data(), 12), -1);  // PropertyPlotFluid: no property plot
  EXPECT_EQ(b[77], 1);                   // BandLegend
  EXPECT_EQ(b[78], 1);                   // ToolBarVisible
  EXPECT_EQ(Int16At(b.data(), 357), plot->FrameBottom + 100);  // WindowHeight
  EXPECT_EQ(Int16At(b.data(), 359), plot->FrameRight + 80);    // WindowWidth
  EXPECT_EQ(Int16At(b.data(), 55), 1);
  for (size_t k : {14u, 15u, 16u, 17u, 18u, 69u, 79u, 81u, 341u, 348u, 361u, 369u, 420u}) {
    EXPECT_EQ(b[k], 0) << "byte " << k;
  }
  TPlotAxesRecord back;
  UnpackPlotAxesRecord(b.data(), back);
  std::array<uint8_t, kPlotAxesRecordSize> again{};
  PackPlotAxesRecord(back, again.data());
  EXPECT_EQ(again, b);
  EXPECT_EQ(back.FrameRect, plot->Axes.FrameRect);
}

TEST(DisposePlotTest, DisposingAPlotShowsTheFirstAndRenumbersTheRest) {
  for (int k = 0; k < 5; ++k) CreateMPRPtr();
  CurrentPlotNumber = 3;
  DisposePlot(3);
  EXPECT_EQ(CurrentPlotNumber, 1);
  EXPECT_EQ(PlotNames(), (std::vector<std::string>{"Plot 1", "Plot 2", "Plot 4", "Plot 5"}));
  EXPECT_EQ(PlotNumbers(), (std::vector<int32_t>{1, 2, 3, 4}));

  // Numbers outside the list change nothing.
  CurrentPlotNumber = 2;
  for (int32_t n : {0, -1, 5}) DisposePlot(n);
  EXPECT_EQ(PlotList.size(), 4u);
  EXPECT_EQ(CurrentPlotNumber, 2);
}

TEST(DisposePlotTest, DisposingTheLastPlotLeavesNoneShown) {
  TPlotRecord* plot = CreateMPRPtr();
  // Everything the plot owns goes with it (the sanitizer build checks).
  auto* curve = new TPlotLineRecord;
  curve->Next = new TPlotLineRecord;
  plot->Axes.FirstCurve = curve;
  plot->UndoCurves = new TPlotLineRecord;
  NewText(1, "label", 0, 0, 0, 10, 0, 0, 0);
  plot->Objects.push_back(std::make_unique<TGraphicObjectRecord>());
  CurrentPlotNumber = 1;
  DisposePlot(1);
  EXPECT_TRUE(PlotList.empty());
  EXPECT_EQ(CurrentPlotNumber, 0);
}

TEST(DisposePlotTest, DisposeAllEmptiesTheList) {
  for (int k = 0; k < 3; ++k) CreateMPRPtr();
  CurrentPlotNumber = 2;
  DisposeAll();
  EXPECT_TRUE(PlotList.empty());
  EXPECT_EQ(CurrentPlotNumber, 0);
  DisposeAll();  // nothing left to free
  EXPECT_TRUE(PlotList.empty());
}

TEST(NewTextTest, WithNoPlotShownTheItemGoesToTwentyFiveFifty) {
  CreateMPRPtr();
  const TPlotTextRecord* t = NewText(1, "T [C]", 1, 2, 3, 12, 1, 4, 1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->TextRect, (TSmallRect{25, 50, 999, 999}));
  EXPECT_EQ(t->SavedRect, t->TextRect);
  EXPECT_EQ(t->Text, "T [C]");
  EXPECT_EQ(t->Orientation, 1);
  EXPECT_EQ(t->LegendCurve, 2);
  EXPECT_EQ(t->TextFont, 3);
  EXPECT_EQ(t->TextSize, 12);
  EXPECT_EQ(t->TextStyle, 1);
  EXPECT_EQ(t->TextColor, 4);
  EXPECT_EQ(t->Opaque, 1);
  EXPECT_EQ(t->ShowState, 0);
  EXPECT_EQ(t->ShowVarName, 1);
  EXPECT_EQ(t->ShowVarUnits, 1);
  EXPECT_EQ(t->VariableIndex, 0);
  ASSERT_EQ(PlotList[0]->TextItems.size(), 1u);
  EXPECT_EQ(PlotList[0]->TextItems[0].get(), t);
}

// Left = (frame left + frame right) div 2 - 25, the division truncating
// toward zero; top = frame top + 15. Taken from the shown plot even when the
// item goes to another one.
TEST(NewTextTest, OnAShownPlotTheItemSitsNearTheTopMiddleOfItsFrame) {
  struct Case {
    TSmallRect frame;
    int16_t left, top;
  };
  const Case cases[] = {
      {{100, 40, 401, 300}, 225, 55},  // (100 + 401) div 2 = 250
      {{-101, 0, 0, 10}, -75, 15},     // -101 div 2 = -50, not -51
  };
  for (const Case& c : cases) {
    DisposeAll();
    CreateMPRPtr()->Axes.FrameRect = c.frame;
    CreateMPRPtr();
    CurrentPlotNumber = 1;
    const TPlotTextRecord* t = NewText(2, "x", 0, 0, 0, 10, 0, 0, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->TextRect.Left, c.left);
    EXPECT_EQ(t->TextRect.Top, c.top);
    EXPECT_EQ(PlotList[1]->TextItems.size(), 1u);
    EXPECT_TRUE(PlotList[0]->TextItems.empty());
  }
}

TEST(NewTextTest, ZeroMeansTheShownPlotAndMissingPlotsGetNothing) {
  CreateMPRPtr();
  CreateMPRPtr();
  // No plot shown, no plot 3: nothing is made anywhere.
  EXPECT_EQ(NewText(0, "a", 0, 0, 0, 10, 0, 0, 0), nullptr);
  EXPECT_EQ(NewText(3, "a", 0, 0, 0, 10, 0, 0, 0), nullptr);
  EXPECT_TRUE(PlotList[0]->TextItems.empty());
  EXPECT_TRUE(PlotList[1]->TextItems.empty());
  CurrentPlotNumber = 2;
  ASSERT_NE(NewText(-1, "a", 0, 0, 0, 10, 0, 0, 0), nullptr);
  EXPECT_EQ(PlotList[1]->TextItems.size(), 1u);
}

TEST(NewTextTest, LongTextIsCutToEightyCharacters) {
  CreateMPRPtr();
  const TPlotTextRecord* t = NewText(1, std::string(100, 'a'), 0, 0, 0, 10, 0, 0, 0);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Text, std::string(80, 'a'));
}

TEST(PlotsStateTest, EngineResetFreesThePlotsAndClearsTheGlobals) {
  CreateMPRPtr();
  CreateMPRPtr();
  CurrentPlotNumber = 2;
  PlotTextClipboard.emplace(2);
  PlotObjectClipboard.emplace(1);
  PlotDrawScale = 6;
  PlotTabStripHeight = 24;
  ResetEngineState();
  EXPECT_TRUE(PlotList.empty());
  EXPECT_EQ(CurrentPlotNumber, 0);
  EXPECT_FALSE(PlotTextClipboard.has_value());
  EXPECT_FALSE(PlotObjectClipboard.has_value());
  EXPECT_EQ(PlotDrawScale, 1);
  EXPECT_EQ(PlotTabStripHeight, 0);
}

}  // namespace
}  // namespace voq
