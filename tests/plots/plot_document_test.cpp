#include "plots/plot_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"

namespace voq {
namespace {

int16_t Int16At(const std::vector<uint8_t>& b, size_t off) {
  return static_cast<int16_t>(b[off] | (b[off + 1] << 8));
}
int32_t Int32At(const std::vector<uint8_t>& b, size_t off) {
  return static_cast<int32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | (uint32_t(b[off + 3]) << 24));
}

constexpr size_t kCurveEntryHead = 4 + kPlotLineRecordSize;  // size word and record

TPlotLineRecord* AddCurve(TPlotRecord& plot, int16_t number, std::vector<Extended> x, std::vector<Extended> y) {
  auto* curve = new TPlotLineRecord;
  curve->NPoints = static_cast<int16_t>(x.size());
  curve->XValues = std::move(x);
  curve->YValues = std::move(y);
  curve->CurveNumber = number;
  curve->LineType = 1;
  curve->Symbol = 3;
  curve->IsolineValue = -999;
  TPlotLineRecord** tail = &plot.Axes.FirstCurve;
  while (*tail != nullptr) tail = &(*tail)->Next;
  *tail = curve;
  return curve;
}

const std::vector<uint8_t> kPngStream = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'};

// Two curves, the first from the parametric table with both error bars;
// three text items; a picture object; a name of its own.
TPlotRecord& RichPlot() {
  TPlotRecord& plot = *CreateMPRPtr();
  TPlotLineRecord* first = AddCurve(plot, 1, {1, 2, 3}, {10, 20, 30});
  first->TableKind = 1;
  first->XErrorBars = 1;
  first->YErrorBars = 1;
  first->XErrors = {0.1L, 0.2L, 0.3L};
  first->YErrors = {1, 2, 3};
  first->XName = "T";
  TPlotLineRecord* second = AddCurve(plot, 2, {4, 5}, {6, 7});
  second->TableKind = -1001;
  second->IsolineValue = 101.325L;
  NewText(1, "T [C]", 0, 0, 1, 12, 1, 0, 0);
  NewText(1, "P [kPa]", 1, 0, 1, 12, 1, 0, 0);
  NewText(1, "Curve 2", 0, 2, 1, 10, 0, 3, 1);
  auto picture = std::make_unique<TGraphicObjectRecord>();
  picture->ObjectKind = kPictureObjectKind;
  picture->ObjectRect = {10, 10, 60, 40};
  picture->OwnerNumber = 1;
  picture->Picture = kPngStream;
  plot.Objects.push_back(std::move(picture));
  plot.PlotName = "Heat exchanger";
  plot.Axes.PropertyPlotFluid = 3;
  return plot;
}

std::vector<uint8_t> Written(const TPlotRecord& plot) {
  std::vector<uint8_t> out;
  WritePlotEntry(plot, out);
  return out;
}

TEST(PlotDocumentTest, APlotWithoutTextItemsStoresTheNameRecordAlone) {
  TPlotRecord& plot = *CreateMPRPtr();
  AddCurve(plot, 1, {1, 2}, {3, 4});
  plot.PlotName = "Plot 7";
  const std::vector<uint8_t> bytes = Written(plot);

  EXPECT_EQ(Int16At(bytes, 0), 1);
  EXPECT_EQ(Int32At(bytes, 2), 524);
  const size_t texts = 2 + kCurveEntryHead + 2 * 2 * 10;
  EXPECT_EQ(Int16At(bytes, texts), 1);
  const size_t name = texts + 2;
  EXPECT_EQ(bytes[name], 6);
  EXPECT_EQ(std::string(bytes.begin() + name + 1, bytes.begin() + name + 7), "Plot 7");
  EXPECT_EQ(Int16At(bytes, name + 101), -99);
  for (size_t k = 7; k < kPlotTextRecordSize; ++k) {
    if (k == 101 || k == 102) continue;
    EXPECT_EQ(bytes[name + k], 0) << "byte " << k;
  }
  const size_t objects = name + kPlotTextRecordSize;
  EXPECT_EQ(Int16At(bytes, objects), 0);
  EXPECT_EQ(Int32At(bytes, objects + 2), 421);
  EXPECT_EQ(bytes.size(), objects + 2 + 4 + kPlotAxesRecordSize);

  DisposeAll();
  size_t pos = 0;
  TPlotRecord* back = nullptr;
  ASSERT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::Read);
  EXPECT_EQ(pos, bytes.size());
  ASSERT_EQ(PlotList.size(), 1u);
  EXPECT_EQ(back, PlotList[0].get());
  EXPECT_TRUE(back->TextItems.empty());
  EXPECT_EQ(back->PlotName, "Plot 7");
}

TEST(PlotDocumentTest, ARichPlotRoundTripsByteForByte) {
  const std::vector<uint8_t> bytes = Written(RichPlot());

  // Three curve entries: the uncertainties of curve 1 travel as an entry of
  // their own, drawing nothing, with the curve's number negated.
  EXPECT_EQ(Int16At(bytes, 0), 3);
  const size_t extra = 2 + kCurveEntryHead + 3 * 2 * 10;
  EXPECT_EQ(Int32At(bytes, extra), 524);
  const size_t extraRecord = extra + 4;
  EXPECT_EQ(Int16At(bytes, extraRecord + plot_line_offsets::CurveNumber), -1);
  EXPECT_EQ(Int16At(bytes, extraRecord + plot_line_offsets::LineType), 0);
  EXPECT_EQ(Int16At(bytes, extraRecord + plot_line_offsets::Symbol), 0);
  EXPECT_EQ(UnpackExtended(bytes.data() + extraRecord + kPlotLineRecordSize), 0.1L);       // X uncertainty 1
  EXPECT_EQ(UnpackExtended(bytes.data() + extraRecord + kPlotLineRecordSize + 30), 1.0L);  // Y uncertainty 1
  // The main record announces both arrays.
  EXPECT_EQ(Int32At(bytes, 6 + plot_line_offsets::XErrors), 1);
  EXPECT_EQ(Int32At(bytes, 6 + plot_line_offsets::YErrors), 1);

  DisposeAll();
  size_t pos = 0;
  TPlotRecord* back = nullptr;
  ASSERT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::Read);
  EXPECT_EQ(pos, bytes.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->PlotName, "Heat exchanger");
  ASSERT_EQ(back->TextItems.size(), 3u);
  EXPECT_EQ(back->TextItems[1]->Text, "P [kPa]");
  ASSERT_EQ(back->Objects.size(), 1u);
  EXPECT_EQ(back->Objects[0]->Picture, kPngStream);
  EXPECT_EQ(PictureFormatOf(back->Objects[0]->Picture), TPictureFormat::Png);
  EXPECT_EQ(back->Axes.PropertyPlotFluid, 3);
  EXPECT_EQ(back->FrameRight, back->Axes.FrameRect.Right);
  // Two curves, not three: the extra entry became curve 1's uncertainties.
  const TPlotLineRecord* first = back->Axes.FirstCurve;
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->Next, nullptr);
  EXPECT_EQ(first->Next->Next, nullptr);
  EXPECT_EQ(first->CurveNumber, 1);
  EXPECT_EQ(first->LineType, 1);
  EXPECT_EQ(first->XErrors, (std::vector<Extended>{0.1L, 0.2L, 0.3L}));
  EXPECT_EQ(first->YErrors, (std::vector<Extended>{1, 2, 3}));
  EXPECT_EQ(first->Next->YValues, (std::vector<Extended>{6, 7}));
  EXPECT_EQ(first->Next->CurveNumber, 2);

  EXPECT_EQ(Written(*back), bytes);
}

// An old document's metafile is kept as its bytes, whatever they hold.
TEST(PlotDocumentTest, StoredMetafileBytesRoundTripUntouched) {
  TPlotRecord& plot = *CreateMPRPtr();
  AddCurve(plot, 1, {1}, {1});
  std::vector<uint8_t> metafile(120, 0x5C);
  metafile[0] = 1;  // record type 1, the header, as a little-endian int32
  metafile[1] = metafile[2] = metafile[3] = 0;
  metafile[40] = ' ';
  metafile[41] = 'E';
  metafile[42] = 'M';
  metafile[43] = 'F';
  auto picture = std::make_unique<TGraphicObjectRecord>();
  picture->ObjectKind = kPictureObjectKind;
  picture->Picture = metafile;
  plot.Objects.push_back(std::move(picture));
  auto line = std::make_unique<TGraphicObjectRecord>();  // no stream after a line
  plot.Objects.push_back(std::move(line));
  const std::vector<uint8_t> bytes = Written(plot);
  DisposeAll();
  size_t pos = 0;
  TPlotRecord* back = nullptr;
  ASSERT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::Read);
  ASSERT_EQ(back->Objects.size(), 2u);
  EXPECT_EQ(back->Objects[0]->Picture, metafile);
  EXPECT_EQ(PictureFormatOf(back->Objects[0]->Picture), TPictureFormat::EnhancedMetafile);
  EXPECT_TRUE(back->Objects[1]->Picture.empty());
  EXPECT_EQ(Written(*back), bytes);
}

// A curve that keeps uncertainty arrays with its error bars switched off,
// or has error bars on with no arrays, stores no extra entry, and the
// curve after it reads back as itself.
TEST(PlotDocumentTest, ErrorEntriesFollowOnlyWhereTheRecordAnnouncesThem) {
  TPlotRecord& plot = *CreateMPRPtr();
  TPlotLineRecord* kept = AddCurve(plot, 1, {1, 2}, {3, 4});
  kept->TableKind = 1;
  kept->XErrors = {9, 9};  // bars off
  TPlotLineRecord* bare = AddCurve(plot, 2, {5, 6}, {7, 8});
  bare->TableKind = 1;
  bare->YErrorBars = 1;  // bars on, nothing to draw them from
  AddCurve(plot, 3, {10}, {11});
  const std::vector<uint8_t> bytes = Written(plot);
  EXPECT_EQ(Int16At(bytes, 0), 3);
  DisposeAll();
  size_t pos = 0;
  TPlotRecord* back = nullptr;
  ASSERT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::Read);
  std::vector<int16_t> numbers;
  for (const TPlotLineRecord* c = back->Axes.FirstCurve; c != nullptr; c = c->Next) {
    numbers.push_back(c->CurveNumber);
    EXPECT_TRUE(c->XErrors.empty());
    EXPECT_TRUE(c->YErrors.empty());
  }
  EXPECT_EQ(numbers, (std::vector<int16_t>{1, 2, 3}));
}

TEST(PlotDocumentTest, APlotWithoutCurvesIsTheCountZeroAlone) {
  TPlotRecord& plot = *CreateMPRPtr();
  NewText(1, "lost with the plot", 0, 0, 0, 10, 0, 0, 0);
  std::vector<uint8_t> bytes = Written(plot);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0}));
  DisposeAll();
  // A following entry is still found after it.
  bytes.push_back(0);
  bytes.push_back(0);
  size_t pos = 0;
  TPlotRecord* back = reinterpret_cast<TPlotRecord*>(1);
  EXPECT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::NoCurves);
  EXPECT_EQ(back, nullptr);
  EXPECT_EQ(pos, 2u);
  EXPECT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos), TPlotEntryResult::NoCurves);
  EXPECT_EQ(pos, 4u);
  EXPECT_TRUE(PlotList.empty());
  EXPECT_EQ(CalcErrorCode, 0);
}

// Every cut of a valid entry fails with the read error and makes no plot:
// no count or size is trusted beyond the bytes that are there.
TEST(PlotDocumentTest, ATruncatedEntryFailsWithoutMakingAPlot) {
  const std::vector<uint8_t> bytes = Written(RichPlot());
  DisposeAll();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    ClearCalcError();
    size_t pos = 0;
    ASSERT_EQ(ReadPlotEntry(bytes.data(), cut, pos), TPlotEntryResult::Failed) << "cut at " << cut;
    ASSERT_EQ(CalcErrorCode, kMsgUnexpectedIOError) << "cut at " << cut;
    ASSERT_TRUE(PlotList.empty()) << "cut at " << cut;
  }
  EXPECT_EQ(MessageArgs[1], "100");
}

TEST(PlotDocumentTest, ImpossibleCountsAndSizesAreRefused) {
  const std::vector<uint8_t> good = Written(RichPlot());
  DisposeAll();
  const size_t afterCurves = 2 + 3 * kCurveEntryHead + (3 + 3 + 2) * 2 * 10;
  const size_t objects = afterCurves + 2 + 4 * kPlotTextRecordSize;
  struct Case {
    const char* what;
    size_t offset;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"negative curve count", 0, {0xFF, 0xFF}},
      {"curve record size 523", 2, {0x0B, 0x02, 0, 0}},
      {"negative point count", 6, {0xFF, 0xFF}},
      {"point count beyond the data", 6, {0xFF, 0x7F}},
      {"uncertainties of another length", 2 + kCurveEntryHead + 60 + 4, {2, 0}},
      {"text count beyond the data", afterCurves, {0xFF, 0x7F}},
      {"negative object count", objects, {0xFE, 0xFF}},
      {"picture size beyond the data", objects + 2 + kGraphicObjectRecordSize, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"negative picture size", objects + 2 + kGraphicObjectRecordSize, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"axes size 79", good.size() - kPlotAxesRecordSize - 4, {79, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<long>(c.offset));
    ClearCalcError();
    size_t pos = 0;
    EXPECT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos), TPlotEntryResult::Failed);
    EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
    EXPECT_TRUE(PlotList.empty());
  }
}

// A surface curve's view state lives in its value arrays and travels with
// them.
TEST(PlotDocumentTest, SurfaceViewStateSurvivesTheDocument) {
  TPlotRecord& plot = *CreateMPRPtr();
  TPlotLineRecord* surface = AddCurve(plot, 1, std::vector<Extended>(12, 0), std::vector<Extended>(12, 0));
  surface->CurveKind = kSurfaceCurveKind;
  const TSurfaceViewState state{1.5L, -2, 30, 0, 1, 1, 1, 0.25L, -5, 5};
  ASSERT_TRUE(SetSurfaceViewState(*surface, state));
  const std::vector<uint8_t> bytes = Written(plot);
  DisposeAll();
  size_t pos = 0;
  TPlotRecord* back = nullptr;
  ASSERT_EQ(ReadPlotEntry(bytes.data(), bytes.size(), pos, &back), TPlotEntryResult::Read);
  TSurfaceViewState read;
  ASSERT_TRUE(GetSurfaceViewState(*back->Axes.FirstCurve, read));
  EXPECT_EQ(read.CameraX, 1.5L);
  EXPECT_EQ(read.ScaleZ, 0.25L);
  EXPECT_EQ(read.YSampleMin, -5);
}

}  // namespace
}  // namespace voq
