#include "plots/plot_records.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace voq {
namespace {

int16_t RecordInt16At(const uint8_t* b, size_t off) { return static_cast<int16_t>(b[off] | (b[off + 1] << 8)); }
int32_t RecordInt32At(const uint8_t* b, size_t off) {
  return static_cast<int32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | (uint32_t(b[off + 3]) << 24));
}
std::string ShortStringAt(const uint8_t* b, size_t off) {
  return std::string(reinterpret_cast<const char*>(b + off + 1), b[off]);
}

// A curve whose every field holds a value of its own, so a field written at
// the wrong place shows up.
TPlotLineRecord DistinctCurve() {
  TPlotLineRecord c;
  c.NPoints = 3;
  c.XValues = {1, 2, 3};
  c.YValues = {4, 5, 6};
  c.CurveKind = 4;
  c.Smooth = 1;
  c.XLog = 1;
  c.YLog = 0;
  c.XGrid = 1;
  c.YGrid = 1;
  c.XMin = 0.5L;
  c.YMin = -7.25L;
  c.XMax = 1e5L;
  c.YMax = 42;
  c.FirstRow = 2;
  c.LastRow = 4;
  c.XColumn = 11;
  c.YColumn = 12;
  c.XIntervals = 5;
  c.YIntervals = 6;
  c.XName = "Temperature";
  c.YName = "Pressure";
  c.IsolineValue = -999;
  c.SmoothAllowed = 1;
  c.XLogTicks = 1;
  c.YLogTicks = 1;
  c.XErrorBars = 1;
  c.TableKind = 1;
  c.XErrors = {0.1L, 0.2L, 0.3L};
  c.YAxis = 2;
  c.CurveNumber = 7;
  c.XDigits = 3;
  c.YDigits = 4;
  c.XStyle = 1;
  c.YStyle = 3;
  c.XMinorTicks = -2;
  c.YMinorTicks = 4;
  c.SymbolSize = 6;
  c.SymbolStep = 1;
  c.LineType = 5;
  c.Symbol = 17;
  c.Color = 9;
  c.AutoUpdate = 1;
  c.XZeroLine = 1;
  c.YZeroLine = 0;
  c.TableNumber = 70000;
  c.AllRows = 1;
  c.Reserved189[14] = 0xAB;
  c.XAxis = 2;
  c.ZVariable = -99;
  c.XInterval = 2.5L;
  c.YInterval = 10;
  c.ColorSource = -1;
  c.Reserved234 = -1;
  c.Reserved236[0] = 0xCD;
  c.ZName = "Z";
  c.ColorName = "T_wall";
  c.Reserved330 = "abc";
  c.Reserved361[162] = 0xEF;
  return c;
}

TEST(PlotLineRecordTest, FieldsSitAtTheirStoredOffsets) {
  const TPlotLineRecord c = DistinctCurve();
  std::array<uint8_t, kPlotLineRecordSize> b{};
  PackPlotLineRecord(c, b.data());
  namespace o = plot_line_offsets;
  EXPECT_EQ(RecordInt16At(b.data(), o::NPoints), 3);
  EXPECT_EQ(b[o::CurveKind], 4);
  EXPECT_EQ(UnpackExtended(b.data() + o::YMin), -7.25L);
  EXPECT_EQ(UnpackExtended(b.data() + o::YMax), 42);
  EXPECT_EQ(RecordInt16At(b.data(), o::YIntervals), 6);
  EXPECT_EQ(b[68], 11);  // XName's length byte at 68
  EXPECT_EQ(ShortStringAt(b.data(), 68), "Temperature");
  EXPECT_EQ(ShortStringAt(b.data(), 99), "Pressure");
  // -999 as a 6-byte real (worked out in real48_test.cpp).
  const std::array<uint8_t, 6> minus999{0x8A, 0x00, 0x00, 0x00, 0xC0, 0xF9};
  EXPECT_EQ(0, std::memcmp(b.data() + 130, minus999.data(), 6));
  EXPECT_EQ(b[o::SmoothAllowed], 1);
  EXPECT_EQ(b[o::XErrorBars], 1);
  EXPECT_EQ(RecordInt16At(b.data(), 149), 1);  // TableKind
  EXPECT_EQ(RecordInt16At(b.data(), o::YAxis), 2);
  EXPECT_EQ(RecordInt16At(b.data(), 153), 7);  // CurveNumber
  EXPECT_EQ(b[o::YStyle], 3);
  EXPECT_EQ(RecordInt16At(b.data(), o::XMinorTicks), -2);
  EXPECT_EQ(RecordInt16At(b.data(), 169), 5);   // LineType
  EXPECT_EQ(RecordInt16At(b.data(), 171), 17);  // Symbol
  EXPECT_EQ(RecordInt16At(b.data(), o::Color), 9);
  EXPECT_EQ(b[o::AutoUpdate], 1);
  EXPECT_EQ(RecordInt32At(b.data(), o::TableNumber), 70000);
  EXPECT_EQ(b[o::AllRows], 1);
  EXPECT_EQ(b[203], 0xAB);
  EXPECT_EQ(RecordInt16At(b.data(), 208), 2);  // XAxis
  EXPECT_EQ(RecordInt16At(b.data(), o::ZVariable), -99);
  EXPECT_EQ(UnpackExtended(b.data() + 212), 2.5L);  // XInterval
  EXPECT_EQ(UnpackExtended(b.data() + o::YInterval), 10);
  EXPECT_EQ(RecordInt16At(b.data(), 232), -1);
  EXPECT_EQ(b[236], 0xCD);
  EXPECT_EQ(ShortStringAt(b.data(), 268), "Z");
  EXPECT_EQ(ShortStringAt(b.data(), 299), "T_wall");
  EXPECT_EQ(ShortStringAt(b.data(), 330), "abc");
  EXPECT_EQ(b[523], 0xEF);
  // Pointer slots: the value arrays, Next and the table header are
  // placeholders; the X uncertainties follow a parametric curve with error
  // bars, so their slot says so, and the absent Y array's does not.
  EXPECT_EQ(RecordInt32At(b.data(), o::XValues), 0);
  EXPECT_EQ(RecordInt32At(b.data(), o::YValues), 0);
  EXPECT_EQ(RecordInt32At(b.data(), o::XErrors), 1);
  EXPECT_EQ(RecordInt32At(b.data(), o::YErrors), 0);
  EXPECT_EQ(RecordInt32At(b.data(), o::Next), 0);
  EXPECT_EQ(RecordInt32At(b.data(), o::TableHeader), 0);
}

TEST(PlotLineRecordTest, UnpackGivesBackEveryStoredFieldAndNoPointers) {
  TPlotLineRecord c = DistinctCurve();
  TPlotLineRecord other;
  c.Next = &other;
  std::array<uint8_t, kPlotLineRecordSize> b{};
  PackPlotLineRecord(c, b.data());
  TPlotLineRecord back;
  back.XValues = {9};
  back.Next = &other;
  UnpackPlotLineRecord(b.data(), back);
  EXPECT_TRUE(back.XValues.empty());
  EXPECT_TRUE(back.XErrors.empty());
  EXPECT_EQ(back.Next, nullptr);
  EXPECT_EQ(back.XName, "Temperature");
  EXPECT_EQ(back.IsolineValue, -999);
  EXPECT_EQ(back.TableNumber, 70000);
  EXPECT_EQ(back.Reserved330, "abc");
  // Everything else: the same bytes again once the arrays are back.
  back.XErrors = c.XErrors;
  std::array<uint8_t, kPlotLineRecordSize> again{};
  PackPlotLineRecord(back, again.data());
  EXPECT_EQ(again, b);
}

// The error slots announce the extra document entry, so they follow its
// rule and not the bare presence of an array.
TEST(PlotLineRecordTest, ErrorSlotsAreSetOnlyWhenTheUncertaintiesAreStored) {
  struct Case {
    int16_t tableKind;
    uint8_t xBars, yBars;
    bool xArray, yArray;
    int32_t xSlot, ySlot;
  };
  const Case cases[] = {
      {1, 1, 0, true, false, 1, 0},   // parametric curve with X error bars
      {1, 1, 1, true, true, 1, 1},    // both
      {1, 0, 1, false, true, 0, 1},   // Y only
      {1, 0, 0, true, true, 0, 0},    // arrays kept, bars switched off
      {1, 1, 1, false, false, 0, 0},  // bars on, nothing to store
      {2, 1, 1, true, true, 0, 0},    // a lookup-table curve owns none
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.tableKind << int(k.xBars) << int(k.yBars) << k.xArray << k.yArray);
    TPlotLineRecord c;
    c.NPoints = 2;
    c.TableKind = k.tableKind;
    c.XErrorBars = k.xBars;
    c.YErrorBars = k.yBars;
    if (k.xArray) c.XErrors = {1, 2};
    if (k.yArray) c.YErrors = {3, 4};
    std::array<uint8_t, kPlotLineRecordSize> b{};
    PackPlotLineRecord(c, b.data());
    EXPECT_EQ(RecordInt32At(b.data(), plot_line_offsets::XErrors), k.xSlot);
    EXPECT_EQ(RecordInt32At(b.data(), plot_line_offsets::YErrors), k.ySlot);
    EXPECT_EQ(CurveErrorsFollow(c), k.xSlot != 0 || k.ySlot != 0);
  }
}

TEST(PlotLineRecordTest, LongNamesAreCutToThirtyCharacters) {
  TPlotLineRecord c;
  c.XName = std::string(40, 'x');
  std::array<uint8_t, kPlotLineRecordSize> b{};
  PackPlotLineRecord(c, b.data());
  EXPECT_EQ(b[plot_line_offsets::XName], 30);
  EXPECT_EQ(b[plot_line_offsets::YName], 0);  // the next field is untouched
  b[plot_line_offsets::YName] = 200;          // a length byte beyond the capacity
  TPlotLineRecord back;
  UnpackPlotLineRecord(b.data(), back);
  EXPECT_EQ(back.XName, std::string(30, 'x'));
  EXPECT_EQ(back.YName.size(), 30u);
}

TEST(PlotLineRecordTest, SurfaceStateLivesInElementsSixToTen) {
  TPlotLineRecord c;
  c.CurveKind = kSurfaceCurveKind;
  c.NPoints = 12;
  c.XValues.assign(12, 0);
  c.YValues.assign(12, 0);
  const TSurfaceViewState s{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_TRUE(SetSurfaceViewState(c, s));
  // Element k counted from 1 is index k - 1.
  EXPECT_EQ(c.XValues[5], 1);
  EXPECT_EQ(c.XValues[9], 5);
  EXPECT_EQ(c.YValues[5], 6);
  EXPECT_EQ(c.YValues[9], 10);
  EXPECT_EQ(c.XValues[4], 0);
  EXPECT_EQ(c.XValues[10], 0);
  TSurfaceViewState back;
  ASSERT_TRUE(GetSurfaceViewState(c, back));
  EXPECT_EQ(back.CameraZ, 3);
  EXPECT_EQ(back.YSampleMin, 9);

  // Not a surface, or arrays too short to hold the state: refused, nothing
  // read or written.
  TPlotLineRecord flat = c;
  flat.CurveKind = 0;
  EXPECT_FALSE(GetSurfaceViewState(flat, back));
  TPlotLineRecord shortCurve;
  shortCurve.CurveKind = kSurfaceCurveKind;
  shortCurve.XValues.assign(9, 0);
  shortCurve.YValues.assign(12, 0);
  EXPECT_FALSE(SetSurfaceViewState(shortCurve, s));
  EXPECT_EQ(shortCurve.XValues.size(), 9u);
  EXPECT_EQ(shortCurve.YValues[5], 0);
}

TEST(PlotLineRecordTest, DisposingAChainFreesEveryCurve) {
  TPlotLineRecord* first = nullptr;
  for (int k = 0; k < 10000; ++k) {
    auto* curve = new TPlotLineRecord;
    curve->Next = first;
    first = curve;
  }
  DisposeCurveChain(first);  // the sanitizer build checks that nothing leaks
  EXPECT_EQ(first, nullptr);
}

TEST(PlotAxesRecordTest, FieldsSitAtTheirStoredOffsets) {
  TPlotAxesRecord a;
  a.FrameRect = {100, 30, 401, 230};
  a.PixelsPerInchX = 96;
  a.PixelsPerInchY = 97;
  a.PropertyPlotFluid = 12;
  a.AutoScale = {0, 1, 1, 0};
  a.WhiteBackground = 1;
  a.LabelColor = {1, 2, 3, 4};
  a.LabelStyle = {5, 6, 7, 8};
  a.LabelFont = {9, 10, 11, 12};
  a.LabelSize = {13, 14, 15, 16};
  a.FrameColor = 17;
  a.ThickBorder = 1;
  a.MajorTickSize = -10;
  a.MinorTickSize = 3;
  a.GridLineStyle = 1;
  a.GridColor = 9;
  a.ToolBarLeft = 421;
  a.ToolBarTop = 30;
  a.PropertyPlotUnits = 0x05;
  a.BandLegend = 0;
  a.ToolBarVisible = 0;
  a.Reserved81[0] = 3;
  a.Reserved337 = -5;
  a.View3DFlags = {1, 0, 1, 1, 0, 2, 3, 1};
  a.WindowHeight = 330;
  a.WindowWidth = 481;
  a.X2LabelOffset = -4;
  a.Y2LabelOffset = 6;
  a.View3DPositions = {1, 2, 3, 4, 5, 600000};
  a.Reserved393[6] = 77;
  TPlotLineRecord curve;
  a.FirstCurve = &curve;
  std::array<uint8_t, kPlotAxesRecordSize> b{};
  PackPlotAxesRecord(a, b.data());

  struct Int16Field {
    size_t offset;
    int16_t value;
  };
  const Int16Field fields[] = {
      {0, 100}, {2, 30}, {4, 401}, {6, 230},  // FrameRect
      {8, 96},  {10, 97}, {12, 12}, {18, 1},  // resolution, fluid, background
      {20, 1},  {26, 4},  {28, 5},  {34, 8},  {36, 9}, {42, 12}, {44, 13}, {50, 16},  // labels
      {52, 17}, {55, 1},  {57, -10}, {59, 3}, {61, 1}, {63, 9}, {65, 421}, {67, 30},
      {357, 330}, {359, 481}, {361, -4}, {363, 0}, {365, 0}, {367, 6},
  };
  for (const Int16Field& f : fields) EXPECT_EQ(RecordInt16At(b.data(), f.offset), f.value) << "offset " << f.offset;
  EXPECT_EQ(b[14], 0);
  EXPECT_EQ(b[15], 1);
  EXPECT_EQ(b[54], 1);
  EXPECT_EQ(b[69], 0x05);
  EXPECT_EQ(RecordInt32At(b.data(), 73), 0);  // FirstCurve: a placeholder
  EXPECT_EQ(b[77], 0);
  EXPECT_EQ(b[78], 0);
  EXPECT_EQ(b[81], 3);
  EXPECT_EQ(RecordInt32At(b.data(), 337), -5);
  EXPECT_EQ(b[341], 1);
  EXPECT_EQ(b[346], 2);
  EXPECT_EQ(b[347], 3);
  EXPECT_EQ(b[348], 1);
  EXPECT_EQ(RecordInt32At(b.data(), 369), 1);
  EXPECT_EQ(RecordInt32At(b.data(), 389), 600000);
  EXPECT_EQ(RecordInt32At(b.data(), 417), 77);

  TPlotAxesRecord back;
  back.FirstCurve = &curve;
  UnpackPlotAxesRecord(b.data(), back);
  EXPECT_EQ(back.FirstCurve, nullptr);
  EXPECT_EQ(back.FrameRect, a.FrameRect);
  EXPECT_EQ(back.LabelSize, a.LabelSize);
  EXPECT_EQ(back.View3DPositions, a.View3DPositions);
  std::array<uint8_t, kPlotAxesRecordSize> again{};
  PackPlotAxesRecord(back, again.data());
  EXPECT_EQ(again, b);
}

TEST(PlotTextRecordTest, FieldsSitAtTheirStoredOffsets) {
  TPlotTextRecord t;
  t.Text = "Efficiency \\u2";
  t.TextRect = {25, 50, 999, 999};
  t.FontHandle = 1234;
  t.SavedRect = {1, 2, 3, 4};
  t.LegendCurve = 2;
  t.TextColor = 3;
  t.TextSize = 12;
  t.TextFont = 1;
  t.ShowState = -1.0f;
  t.TextStyle = 5;
  t.Opaque = 1;
  t.Framed = 1;
  t.Orientation = 2;
  t.Angle = -45;
  t.Selected = 1;
  t.AlignMark = 1;
  t.ShowVarName = 0;
  t.ShowVarUnits = 1;
  t.AutoUpdate = 1;
  t.VariableIndex = 321;
  t.Reserved132[19] = 0x5A;
  std::array<uint8_t, kPlotTextRecordSize> b{};
  PackPlotTextRecord(t, b.data());
  EXPECT_EQ(ShortStringAt(b.data(), 0), t.Text);
  EXPECT_EQ(RecordInt16At(b.data(), 81), 25);
  EXPECT_EQ(RecordInt16At(b.data(), 87), 999);
  EXPECT_EQ(RecordInt32At(b.data(), 89), 0);  // the cached font has no meaning in a file
  EXPECT_EQ(RecordInt16At(b.data(), 99), 4);
  EXPECT_EQ(RecordInt16At(b.data(), 101), 2);
  EXPECT_EQ(RecordInt16At(b.data(), 103), 3);
  EXPECT_EQ(RecordInt16At(b.data(), 105), 12);
  EXPECT_EQ(RecordInt16At(b.data(), 107), 1);
  EXPECT_EQ(RecordInt32At(b.data(), 109), static_cast<int32_t>(0xBF800000u));  // -1.0f
  EXPECT_EQ(RecordInt16At(b.data(), 113), 5);
  EXPECT_EQ(b[115], 1);
  EXPECT_EQ(b[116], 1);
  EXPECT_EQ(b[117], 2);
  EXPECT_EQ(RecordInt16At(b.data(), 118), -45);
  EXPECT_EQ(b[120], 1);
  EXPECT_EQ(b[121], 1);
  EXPECT_EQ(b[127], 0);
  EXPECT_EQ(b[128], 1);
  EXPECT_EQ(b[129], 1);
  EXPECT_EQ(RecordInt16At(b.data(), 130), 321);
  EXPECT_EQ(b[151], 0x5A);

  TPlotTextRecord back;
  back.FontHandle = 99;
  UnpackPlotTextRecord(b.data(), back);
  EXPECT_EQ(back.FontHandle, 0);
  EXPECT_EQ(back.Text, t.Text);
  EXPECT_EQ(back.ShowState, -1.0f);
  std::array<uint8_t, kPlotTextRecordSize> again{};
  PackPlotTextRecord(back, again.data());
  EXPECT_EQ(again, b);
}

TEST(GraphicObjectRecordTest, FieldsSitAtTheirStoredOffsets) {
  TGraphicObjectRecord g;
  g.ObjectKind = kPictureObjectKind;
  g.LineStyle = 2;
  g.Reserved3 = 7;
  g.ObjectRect = {10, 20, 110, 220};
  g.LineColor = 0x00FF00;
  g.FillColor = 0x123456;
  g.ArrowHead = 4;
  g.Selected = 1;
  g.Locked = 1;
  g.SingleArrow = 0;
  g.OwnerNumber = 2;
  g.ShapeSize = 10;
  g.FillStyle = 7;
  g.SavedRect = {1, 2, 3, 4};
  g.Transparent = 1;
  g.AspectRatio = 0.5f;
  g.Picture = {1, 2, 3, 4, 5};
  std::array<uint8_t, kGraphicObjectRecordSize> b{};
  PackGraphicObjectRecord(g, b.data());
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(RecordInt16At(b.data(), 1), 2);
  EXPECT_EQ(RecordInt16At(b.data(), 3), 7);
  EXPECT_EQ(RecordInt16At(b.data(), 5), 10);
  EXPECT_EQ(RecordInt16At(b.data(), 11), 220);
  EXPECT_EQ(RecordInt32At(b.data(), 13), 0x00FF00);
  EXPECT_EQ(RecordInt32At(b.data(), 17), 0x123456);
  EXPECT_EQ(b[53], 4);
  EXPECT_EQ(b[54], 1);
  EXPECT_EQ(b[55], 1);
  EXPECT_EQ(b[56], 0);
  EXPECT_EQ(RecordInt16At(b.data(), 57), 2);
  EXPECT_EQ(RecordInt16At(b.data(), 59), 10);
  EXPECT_EQ(RecordInt16At(b.data(), 65), 7);
  EXPECT_EQ(RecordInt16At(b.data(), 73), 4);
  EXPECT_EQ(b[77], 1);
  EXPECT_EQ(RecordInt32At(b.data(), 95), 0x3F000000);  // 0.5f
  EXPECT_EQ(RecordInt32At(b.data(), 99), 0);            // RichText
  EXPECT_EQ(RecordInt32At(b.data(), 103), 0);           // GroupItems
  EXPECT_EQ(RecordInt32At(b.data(), 107), 5);           // PictureSize
  EXPECT_EQ(RecordInt32At(b.data(), 111), 1);           // Picture: the stream follows

  TGraphicObjectRecord back;
  back.Picture = {9};
  UnpackGraphicObjectRecord(b.data(), back);
  EXPECT_TRUE(back.Picture.empty());  // the stream is the caller's to read
  EXPECT_EQ(back.ObjectRect, g.ObjectRect);
  EXPECT_EQ(back.AspectRatio, 0.5f);
}

// Picture and group slots say whether data follows the record.
TEST(GraphicObjectRecordTest, PointerSlotsMarkTheDataThatFollows) {
  TGraphicObjectRecord line;  // a new plot object: a line
  std::array<uint8_t, kGraphicObjectRecordSize> b{};
  PackGraphicObjectRecord(line, b.data());
  EXPECT_EQ(RecordInt16At(b.data(), 1), 1);    // LineStyle
  EXPECT_EQ(b[56], 1);                   // SingleArrow
  EXPECT_EQ(RecordInt16At(b.data(), 59), 3);   // ShapeSize
  EXPECT_EQ(RecordInt32At(b.data(), 95), 0x3F800000);  // AspectRatio 1.0
  EXPECT_EQ(RecordInt32At(b.data(), 107), 0);
  EXPECT_EQ(RecordInt32At(b.data(), 111), 0);

  TGraphicObjectRecord emptyPicture;
  emptyPicture.ObjectKind = kPictureObjectKind;
  PackGraphicObjectRecord(emptyPicture, b.data());
  EXPECT_EQ(RecordInt32At(b.data(), 111), 0);

  TGraphicObjectRecord box;  // a stray stream on a non-picture is not announced
  box.ObjectKind = 1;
  box.Picture = {1};
  EXPECT_FALSE(ObjectPictureFollows(box));
  PackGraphicObjectRecord(box, b.data());
  EXPECT_EQ(RecordInt32At(b.data(), 111), 0);
}

TEST(GraphicObjectRecordTest, PictureStreamsAreToldApartByTheirSignature) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  std::vector<uint8_t> emf(88, 0);
  emf[0] = 1;
  emf[40] = ' ';
  emf[41] = 'E';
  emf[42] = 'M';
  emf[43] = 'F';
  std::vector<uint8_t> wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
  EXPECT_EQ(PictureFormatOf(png), TPictureFormat::Png);
  EXPECT_EQ(PictureFormatOf(emf), TPictureFormat::EnhancedMetafile);
  EXPECT_EQ(PictureFormatOf(wmf), TPictureFormat::PlaceableMetafile);
  EXPECT_EQ(PictureFormatOf({}), TPictureFormat::None);
  EXPECT_EQ(PictureFormatOf({0x89, 'P', 'N'}), TPictureFormat::Unknown);  // cut short
  emf[43] = 'X';
  EXPECT_EQ(PictureFormatOf(emf), TPictureFormat::Unknown);
}

}  // namespace
}  // namespace voq
