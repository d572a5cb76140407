#include "plots/plot_records.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "plots/real48.h"

namespace voq {

namespace {

void PutInt16(uint8_t* dst, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  dst[0] = static_cast<uint8_t>(u);
  dst[1] = static_cast<uint8_t>(u >> 8);
}

int16_t GetInt16(const uint8_t* src) {
  return static_cast<int16_t>(static_cast<uint16_t>(src[0] | (src[1] << 8)));
}

void PutInt32(uint8_t* dst, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) dst[k] = static_cast<uint8_t>(u >> (8 * k));
}

int32_t GetInt32(const uint8_t* src) {
  uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(src[k]) << (8 * k);
  return static_cast<int32_t>(u);
}

void PutFloat(uint8_t* dst, float v) { PutInt32(dst, std::bit_cast<int32_t>(v)); }
float GetFloat(const uint8_t* src) { return std::bit_cast<float>(GetInt32(src)); }

// A string[capacity]: the length byte, the characters, zeros after them (a
// rewritten record is byte for byte the same).
void PutShortString(uint8_t* dst, const std::string& s, int capacity) {
  const size_t n = std::min<size_t>(s.size(), static_cast<size_t>(capacity));
  dst[0] = static_cast<uint8_t>(n);
  std::memset(dst + 1, 0, static_cast<size_t>(capacity));
  std::memcpy(dst + 1, s.data(), n);
}

std::string GetShortString(const uint8_t* src, int capacity) {
  const size_t n = std::min<size_t>(src[0], static_cast<size_t>(capacity));
  return std::string(reinterpret_cast<const char*>(src + 1), n);
}

void PutRect(uint8_t* dst, const TSmallRect& r) {
  PutInt16(dst + 0, r.Left);
  PutInt16(dst + 2, r.Top);
  PutInt16(dst + 4, r.Right);
  PutInt16(dst + 6, r.Bottom);
}

TSmallRect GetRect(const uint8_t* src) {
  return TSmallRect{GetInt16(src + 0), GetInt16(src + 2), GetInt16(src + 4), GetInt16(src + 6)};
}

template <size_t N>
void PutBytes(uint8_t* dst, const std::array<uint8_t, N>& bytes) {
  std::memcpy(dst, bytes.data(), N);
}

template <size_t N>
void GetBytes(const uint8_t* src, std::array<uint8_t, N>& bytes) {
  std::memcpy(bytes.data(), src, N);
}

template <size_t N>
void PutInt16s(uint8_t* dst, const std::array<int16_t, N>& values) {
  for (size_t k = 0; k < N; ++k) PutInt16(dst + 2 * k, values[k]);
}

template <size_t N>
void GetInt16s(const uint8_t* src, std::array<int16_t, N>& values) {
  for (size_t k = 0; k < N; ++k) values[k] = GetInt16(src + 2 * k);
}

template <size_t N>
void PutInt32s(uint8_t* dst, const std::array<int32_t, N>& values) {
  for (size_t k = 0; k < N; ++k) PutInt32(dst + 4 * k, values[k]);
}

template <size_t N>
void GetInt32s(const uint8_t* src, std::array<int32_t, N>& values) {
  for (size_t k = 0; k < N; ++k) values[k] = GetInt32(src + 4 * k);
}

// Elements 6 to 10 (1-based) of a surface curve's arrays.
constexpr size_t kSurfaceFirstElement = 5;
constexpr size_t kSurfaceElementsNeeded = 10;

bool SurfaceArraysUsable(const TPlotLineRecord& curve) {
  return curve.CurveKind == kSurfaceCurveKind && curve.XValues.size() >= kSurfaceElementsNeeded &&
         curve.YValues.size() >= kSurfaceElementsNeeded;
}

}  // namespace

// --- Curves ---------------------------------------------------------------------

bool CurveErrorsFollow(const TPlotLineRecord& curve) {
  return curve.TableKind == 1 && (curve.XErrorBars != 0 || curve.YErrorBars != 0) &&
         (!curve.XErrors.empty() || !curve.YErrors.empty());
}

void PackPlotLineRecord(const TPlotLineRecord& c, uint8_t* dst) {
  namespace o = plot_line_offsets;
  std::memset(dst, 0, kPlotLineRecordSize);
  PutInt16(dst + o::NPoints, c.NPoints);
  dst[o::CurveKind] = c.CurveKind;
  dst[o::Smooth] = c.Smooth;
  dst[o::XLog] = c.XLog;
  dst[o::YLog] = c.YLog;
  dst[o::XGrid] = c.XGrid;
  dst[o::YGrid] = c.YGrid;
  PackExtended(dst + o::XMin, c.XMin);
  PackExtended(dst + o::YMin, c.YMin);
  PackExtended(dst + o::XMax, c.XMax);
  PackExtended(dst + o::YMax, c.YMax);
  PutInt16(dst + o::FirstRow, c.FirstRow);
  PutInt16(dst + o::LastRow, c.LastRow);
  PutInt16(dst + o::XColumn, c.XColumn);
  PutInt16(dst + o::YColumn, c.YColumn);
  PutInt16(dst + o::XIntervals, c.XIntervals);
  PutInt16(dst + o::YIntervals, c.YIntervals);
  PutShortString(dst + o::XName, c.XName, kPlotLineNameLength);
  PutShortString(dst + o::YName, c.YName, kPlotLineNameLength);
  PackReal48(dst + o::IsolineValue, c.IsolineValue);
  dst[o::SmoothAllowed] = c.SmoothAllowed;
  dst[o::XLogTicks] = c.XLogTicks;
  dst[o::YLogTicks] = c.YLogTicks;
  dst[o::XErrorBars] = c.XErrorBars;
  dst[o::YErrorBars] = c.YErrorBars;
  const bool errorsFollow = CurveErrorsFollow(c);
  PutInt32(dst + o::XErrors, errorsFollow && !c.XErrors.empty() ? 1 : 0);
  PutInt32(dst + o::YErrors, errorsFollow && !c.YErrors.empty() ? 1 : 0);
  PutInt16(dst + o::TableKind, c.TableKind);
  PutInt16(dst + o::YAxis, c.YAxis);
  PutInt16(dst + o::CurveNumber, c.CurveNumber);
  PutInt16(dst + o::XDigits, c.XDigits);
  PutInt16(dst + o::YDigits, c.YDigits);
  dst[o::XStyle] = c.XStyle;
  dst[o::YStyle] = c.YStyle;
  PutInt16(dst + o::XMinorTicks, c.XMinorTicks);
  PutInt16(dst + o::YMinorTicks, c.YMinorTicks);
  PutInt16(dst + o::SymbolSize, c.SymbolSize);
  PutInt16(dst + o::SymbolStep, c.SymbolStep);
  PutInt16(dst + o::LineType, c.LineType);
  PutInt16(dst + o::Symbol, c.Symbol);
  PutInt16(dst + o::Color, c.Color);
  dst[o::AutoUpdate] = c.AutoUpdate;
  PutInt16(dst + o::XZeroLine, c.XZeroLine);
  PutInt16(dst + o::YZeroLine, c.YZeroLine);
  PutInt32(dst + o::TableNumber, c.TableNumber);
  dst[o::AllRows] = c.AllRows;
  PutBytes(dst + o::Reserved189, c.Reserved189);
  PutInt16(dst + o::XAxis, c.XAxis);
  PutInt16(dst + o::ZVariable, c.ZVariable);
  PackExtended(dst + o::XInterval, c.XInterval);
  PackExtended(dst + o::YInterval, c.YInterval);
  PutInt16(dst + o::ColorSource, c.ColorSource);
  PutInt16(dst + o::Reserved234, c.Reserved234);
  PutBytes(dst + o::Reserved236, c.Reserved236);
  PutShortString(dst + o::ZName, c.ZName, kPlotLineNameLength);
  PutShortString(dst + o::ColorName, c.ColorName, kPlotLineNameLength);
  PutShortString(dst + o::Reserved330, c.Reserved330, kPlotLineNameLength);
  PutBytes(dst + o::Reserved361, c.Reserved361);
}

void UnpackPlotLineRecord(const uint8_t* src, TPlotLineRecord& c) {
  namespace o = plot_line_offsets;
  c.NPoints = GetInt16(src + o::NPoints);
  c.XValues.clear();
  c.YValues.clear();
  c.CurveKind = src[o::CurveKind];
  c.Smooth = src[o::Smooth];
  c.XLog = src[o::XLog];
  c.YLog = src[o::YLog];
  c.XGrid = src[o::XGrid];
  c.YGrid = src[o::YGrid];
  c.XMin = UnpackExtended(src + o::XMin);
  c.YMin = UnpackExtended(src + o::YMin);
  c.XMax = UnpackExtended(src + o::XMax);
  c.YMax = UnpackExtended(src + o::YMax);
  c.FirstRow = GetInt16(src + o::FirstRow);
  c.LastRow = GetInt16(src + o::LastRow);
  c.XColumn = GetInt16(src + o::XColumn);
  c.YColumn = GetInt16(src + o::YColumn);
  c.XIntervals = GetInt16(src + o::XIntervals);
  c.YIntervals = GetInt16(src + o::YIntervals);
  c.XName = GetShortString(src + o::XName, kPlotLineNameLength);
  c.YName = GetShortString(src + o::YName, kPlotLineNameLength);
  c.IsolineValue = UnpackReal48(src + o::IsolineValue);
  c.SmoothAllowed = src[o::SmoothAllowed];
  c.XLogTicks = src[o::XLogTicks];
  c.YLogTicks = src[o::YLogTicks];
  c.XErrorBars = src[o::XErrorBars];
  c.YErrorBars = src[o::YErrorBars];
  c.XErrors.clear();
  c.YErrors.clear();
  c.TableKind = GetInt16(src + o::TableKind);
  c.YAxis = GetInt16(src + o::YAxis);
  c.CurveNumber = GetInt16(src + o::CurveNumber);
  c.XDigits = GetInt16(src + o::XDigits);
  c.YDigits = GetInt16(src + o::YDigits);
  c.XStyle = src[o::XStyle];
  c.YStyle = src[o::YStyle];
  c.XMinorTicks = GetInt16(src + o::XMinorTicks);
  c.YMinorTicks = GetInt16(src + o::YMinorTicks);
  c.SymbolSize = GetInt16(src + o::SymbolSize);
  c.SymbolStep = GetInt16(src + o::SymbolStep);
  c.LineType = GetInt16(src + o::LineType);
  c.Symbol = GetInt16(src + o::Symbol);
  c.Color = GetInt16(src + o::Color);
  c.AutoUpdate = src[o::AutoUpdate];
  c.XZeroLine = GetInt16(src + o::XZeroLine);
  c.YZeroLine = GetInt16(src + o::YZeroLine);
  c.Next = nullptr;
  c.TableNumber = GetInt32(src + o::TableNumber);
  c.AllRows = src[o::AllRows];
  GetBytes(src + o::Reserved189, c.Reserved189);
  c.TableHeader = nullptr;
  c.XAxis = GetInt16(src + o::XAxis);
  c.ZVariable = GetInt16(src + o::ZVariable);
  c.XInterval = UnpackExtended(src + o::XInterval);
  c.YInterval = UnpackExtended(src + o::YInterval);
  c.ColorSource = GetInt16(src + o::ColorSource);
  c.Reserved234 = GetInt16(src + o::Reserved234);
  GetBytes(src + o::Reserved236, c.Reserved236);
  c.ZName = GetShortString(src + o::ZName, kPlotLineNameLength);
  c.ColorName = GetShortString(src + o::ColorName, kPlotLineNameLength);
  c.Reserved330 = GetShortString(src + o::Reserved330, kPlotLineNameLength);
  GetBytes(src + o::Reserved361, c.Reserved361);
}

void DisposeCurveChain(TPlotLineRecord*& first) {
  TPlotLineRecord* curve = first;
  first = nullptr;
  while (curve != nullptr) {
    TPlotLineRecord* next = curve->Next;
    delete curve;
    curve = next;
  }
}

bool GetSurfaceViewState(const TPlotLineRecord& curve, TSurfaceViewState& s) {
  if (!SurfaceArraysUsable(curve)) return false;
  const Extended* x = curve.XValues.data() + kSurfaceFirstElement;
  const Extended* y = curve.YValues.data() + kSurfaceFirstElement;
  s.CameraX = x[0];
  s.CameraY = x[1];
  s.CameraZ = x[2];
  s.XSampleMin = x[3];
  s.XSampleMax = x[4];
  s.ScaleX = y[0];
  s.ScaleY = y[1];
  s.ScaleZ = y[2];
  s.YSampleMin = y[3];
  s.YSampleMax = y[4];
  return true;
}

bool SetSurfaceViewState(TPlotLineRecord& curve, const TSurfaceViewState& s) {
  if (!SurfaceArraysUsable(curve)) return false;
  Extended* x = curve.XValues.data() + kSurfaceFirstElement;
  Extended* y = curve.YValues.data() + kSurfaceFirstElement;
  x[0] = s.CameraX;
  x[1] = s.CameraY;
  x[2] = s.CameraZ;
  x[3] = s.XSampleMin;
  x[4] = s.XSampleMax;
  y[0] = s.ScaleX;
  y[1] = s.ScaleY;
  y[2] = s.ScaleZ;
  y[3] = s.YSampleMin;
  y[4] = s.YSampleMax;
  return true;
}

// --- The axes block -------------------------------------------------------------

void PackPlotAxesRecord(const TPlotAxesRecord& a, uint8_t* dst) {
  namespace o = plot_axes_offsets;
  std::memset(dst, 0, kPlotAxesRecordSize);
  PutRect(dst + o::FrameRect, a.FrameRect);
  PutInt16(dst + o::PixelsPerInchX, a.PixelsPerInchX);
  PutInt16(dst + o::PixelsPerInchY, a.PixelsPerInchY);
  PutInt16(dst + o::PropertyPlotFluid, a.PropertyPlotFluid);
  PutBytes(dst + o::AutoScale, a.AutoScale);
  PutInt16(dst + o::WhiteBackground, a.WhiteBackground);
  PutInt16s(dst + o::LabelColor, a.LabelColor);
  PutInt16s(dst + o::LabelStyle, a.LabelStyle);
  PutInt16s(dst + o::LabelFont, a.LabelFont);
  PutInt16s(dst + o::LabelSize, a.LabelSize);
  PutInt16(dst + o::FrameColor, a.FrameColor);
  dst[o::ThickBorder] = a.ThickBorder;
  PutInt16(dst + o::Reserved55, a.Reserved55);
  PutInt16(dst + o::MajorTickSize, a.MajorTickSize);
  PutInt16(dst + o::MinorTickSize, a.MinorTickSize);
  PutInt16(dst + o::GridLineStyle, a.GridLineStyle);
  PutInt16(dst + o::GridColor, a.GridColor);
  PutInt16(dst + o::ToolBarLeft, a.ToolBarLeft);
  PutInt16(dst + o::ToolBarTop, a.ToolBarTop);
  dst[o::PropertyPlotUnits] = a.PropertyPlotUnits;
  PutBytes(dst + o::Reserved70, a.Reserved70);
  dst[o::BandLegend] = a.BandLegend;
  dst[o::ToolBarVisible] = a.ToolBarVisible;
  PutBytes(dst + o::Reserved79, a.Reserved79);
  PutBytes(dst + o::Reserved81, a.Reserved81);
  PutInt32(dst + o::Reserved337, a.Reserved337);
  PutBytes(dst + o::View3DFlags, a.View3DFlags);
  PutBytes(dst + o::Reserved349, a.Reserved349);
  PutInt16(dst + o::WindowHeight, a.WindowHeight);
  PutInt16(dst + o::WindowWidth, a.WindowWidth);
  PutInt16(dst + o::X2LabelOffset, a.X2LabelOffset);
  PutInt16s(dst + o::Reserved363, a.Reserved363);
  PutInt16(dst + o::Y2LabelOffset, a.Y2LabelOffset);
  PutInt32s(dst + o::View3DPositions, a.View3DPositions);
  PutInt32s(dst + o::Reserved393, a.Reserved393);
}

void UnpackPlotAxesRecord(const uint8_t* src, TPlotAxesRecord& a) {
  namespace o = plot_axes_offsets;
  a.FrameRect = GetRect(src + o::FrameRect);
  a.PixelsPerInchX = GetInt16(src + o::PixelsPerInchX);
  a.PixelsPerInchY = GetInt16(src + o::PixelsPerInchY);
  a.PropertyPlotFluid = GetInt16(src + o::PropertyPlotFluid);
  GetBytes(src + o::AutoScale, a.AutoScale);
  a.WhiteBackground = GetInt16(src + o::WhiteBackground);
  GetInt16s(src + o::LabelColor, a.LabelColor);
  GetInt16s(src + o::LabelStyle, a.LabelStyle);
  GetInt16s(src + o::LabelFont, a.LabelFont);
  GetInt16s(src + o::LabelSize, a.LabelSize);
  a.FrameColor = GetInt16(src + o::FrameColor);
  a.ThickBorder = src[o::ThickBorder];
  a.Reserved55 = GetInt16(src + o::Reserved55);
  a.MajorTickSize = GetInt16(src + o::MajorTickSize);
  a.MinorTickSize = GetInt16(src + o::MinorTickSize);
  a.GridLineStyle = GetInt16(src + o::GridLineStyle);
  a.GridColor = GetInt16(src + o::GridColor);
  a.ToolBarLeft = GetInt16(src + o::ToolBarLeft);
  a.ToolBarTop = GetInt16(src + o::ToolBarTop);
  a.PropertyPlotUnits = src[o::PropertyPlotUnits];
  GetBytes(src + o::Reserved70, a.Reserved70);
  a.FirstCurve = nullptr;
  a.BandLegend = src[o::BandLegend];
  a.ToolBarVisible = src[o::ToolBarVisible];
  GetBytes(src + o::Reserved79, a.Reserved79);
  GetBytes(src + o::Reserved81, a.Reserved81);
  a.Reserved337 = GetInt32(src + o::Reserved337);
  GetBytes(src + o::View3DFlags, a.View3DFlags);
  GetBytes(src + o::Reserved349, a.Reserved349);
  a.WindowHeight = GetInt16(src + o::WindowHeight);
  a.WindowWidth = GetInt16(src + o::WindowWidth);
  a.X2LabelOffset = GetInt16(src + o::X2LabelOffset);
  GetInt16s(src + o::Reserved363, a.Reserved363);
  a.Y2LabelOffset = GetInt16(src + o::Y2LabelOffset);
  GetInt32s(src + o::View3DPositions, a.View3DPositions);
  GetInt32s(src + o::Reserved393, a.Reserved393);
}

// --- Text items -----------------------------------------------------------------

void PackPlotTextRecord(const TPlotTextRecord& t, uint8_t* dst) {
  namespace o = plot_text_offsets;
  std::memset(dst, 0, kPlotTextRecordSize);
  PutShortString(dst + o::Text, t.Text, kPlotTextLength);
  PutRect(dst + o::TextRect, t.TextRect);
  PutRect(dst + o::SavedRect, t.SavedRect);
  PutInt16(dst + o::LegendCurve, t.LegendCurve);
  PutInt16(dst + o::TextColor, t.TextColor);
  PutInt16(dst + o::TextSize, t.TextSize);
  PutInt16(dst + o::TextFont, t.TextFont);
  PutFloat(dst + o::ShowState, t.ShowState);
  PutInt16(dst + o::TextStyle, t.TextStyle);
  dst[o::Opaque] = t.Opaque;
  dst[o::Framed] = t.Framed;
  dst[o::Orientation] = t.Orientation;
  PutInt16(dst + o::Angle, t.Angle);
  dst[o::Selected] = t.Selected;
  dst[o::AlignMark] = t.AlignMark;
  PutBytes(dst + o::Reserved122, t.Reserved122);
  dst[o::ShowVarName] = t.ShowVarName;
  dst[o::ShowVarUnits] = t.ShowVarUnits;
  dst[o::AutoUpdate] = t.AutoUpdate;
  PutInt16(dst + o::VariableIndex, t.VariableIndex);
  PutBytes(dst + o::Reserved132, t.Reserved132);
}

void UnpackPlotTextRecord(const uint8_t* src, TPlotTextRecord& t) {
  namespace o = plot_text_offsets;
  t.Text = GetShortString(src + o::Text, kPlotTextLength);
  t.TextRect = GetRect(src + o::TextRect);
  t.FontHandle = 0;
  t.SavedRect = GetRect(src + o::SavedRect);
  t.LegendCurve = GetInt16(src + o::LegendCurve);
  t.TextColor = GetInt16(src + o::TextColor);
  t.TextSize = GetInt16(src + o::TextSize);
  t.TextFont = GetInt16(src + o::TextFont);
  t.ShowState = GetFloat(src + o::ShowState);
  t.TextStyle = GetInt16(src + o::TextStyle);
  t.Opaque = src[o::Opaque];
  t.Framed = src[o::Framed];
  t.Orientation = src[o::Orientation];
  t.Angle = GetInt16(src + o::Angle);
  t.Selected = src[o::Selected];
  t.AlignMark = src[o::AlignMark];
  GetBytes(src + o::Reserved122, t.Reserved122);
  t.ShowVarName = src[o::ShowVarName];
  t.ShowVarUnits = src[o::ShowVarUnits];
  t.AutoUpdate = src[o::AutoUpdate];
  t.VariableIndex = GetInt16(src + o::VariableIndex);
  GetBytes(src + o::Reserved132, t.Reserved132);
}

// --- Graphic objects ------------------------------------------------------------

bool ObjectPictureFollows(const TGraphicObjectRecord& object) {
  return object.ObjectKind == kPictureObjectKind && !object.Picture.empty();
}

void PackGraphicObjectRecord(const TGraphicObjectRecord& g, uint8_t* dst) {
  namespace o = graphic_object_offsets;
  std::memset(dst, 0, kGraphicObjectRecordSize);
  dst[o::ObjectKind] = g.ObjectKind;
  PutInt16(dst + o::LineStyle, g.LineStyle);
  PutInt16(dst + o::Reserved3, g.Reserved3);
  PutRect(dst + o::ObjectRect, g.ObjectRect);
  PutInt32(dst + o::LineColor, g.LineColor);
  PutInt32(dst + o::FillColor, g.FillColor);
  PutBytes(dst + o::Reserved21, g.Reserved21);
  dst[o::ArrowHead] = g.ArrowHead;
  dst[o::Selected] = g.Selected;
  dst[o::Locked] = g.Locked;
  dst[o::SingleArrow] = g.SingleArrow;
  PutInt16(dst + o::OwnerNumber, g.OwnerNumber);
  PutInt16(dst + o::ShapeSize, g.ShapeSize);
  dst[o::AlignMark] = g.AlignMark;
  dst[o::Reserved62] = g.Reserved62;
  PutInt16(dst + o::Reserved63, g.Reserved63);
  PutInt16(dst + o::FillStyle, g.FillStyle);
  PutRect(dst + o::SavedRect, g.SavedRect);
  PutBytes(dst + o::Reserved75, g.Reserved75);
  dst[o::Transparent] = g.Transparent;
  PutBytes(dst + o::Reserved78, g.Reserved78);
  PutBytes(dst + o::Reserved83, g.Reserved83);
  PutFloat(dst + o::AspectRatio, g.AspectRatio);
  PutInt32(dst + o::GroupItems, g.GroupItems != nullptr ? 1 : 0);
  PutInt32(dst + o::PictureSize, static_cast<int32_t>(g.Picture.size()));
  PutInt32(dst + o::Picture, ObjectPictureFollows(g) ? 1 : 0);
}

void UnpackGraphicObjectRecord(const uint8_t* src, TGraphicObjectRecord& g) {
  namespace o = graphic_object_offsets;
  g.ObjectKind = src[o::ObjectKind];
  g.LineStyle = GetInt16(src + o::LineStyle);
  g.Reserved3 = GetInt16(src + o::Reserved3);
  g.ObjectRect = GetRect(src + o::ObjectRect);
  g.LineColor = GetInt32(src + o::LineColor);
  g.FillColor = GetInt32(src + o::FillColor);
  GetBytes(src + o::Reserved21, g.Reserved21);
  g.ArrowHead = src[o::ArrowHead];
  g.Selected = src[o::Selected];
  g.Locked = src[o::Locked];
  g.SingleArrow = src[o::SingleArrow];
  g.OwnerNumber = GetInt16(src + o::OwnerNumber);
  g.ShapeSize = GetInt16(src + o::ShapeSize);
  g.AlignMark = src[o::AlignMark];
  g.Reserved62 = src[o::Reserved62];
  g.Reserved63 = GetInt16(src + o::Reserved63);
  g.FillStyle = GetInt16(src + o::FillStyle);
  g.SavedRect = GetRect(src + o::SavedRect);
  GetBytes(src + o::Reserved75, g.Reserved75);
  g.Transparent = src[o::Transparent];
  GetBytes(src + o::Reserved78, g.Reserved78);
  GetBytes(src + o::Reserved83, g.Reserved83);
  g.AspectRatio = GetFloat(src + o::AspectRatio);
  g.RichText.reset();
  g.GroupItems.reset();
  g.Picture.clear();
}

TPictureFormat PictureFormatOf(const std::vector<uint8_t>& s) {
  if (s.empty()) return TPictureFormat::None;
  // PNG: the eight signature bytes 89 "PNG" CR LF 1A LF (the PNG standard,
  // section 5.2).
  static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (s.size() >= 8 && std::memcmp(s.data(), kPng, 8) == 0) return TPictureFormat::Png;
  // Enhanced metafile: the header record (type 1) whose signature field at
  // byte 40 is " EMF" ([MS-EMF] 2.3.4.2).
  if (s.size() >= 44 && s[0] == 1 && s[1] == 0 && s[2] == 0 && s[3] == 0 && s[40] == ' ' && s[41] == 'E' &&
      s[42] == 'M' && s[43] == 'F') {
    return TPictureFormat::EnhancedMetafile;
  }
  // Placeable Windows metafile: the key 9AC6CDD7h, little-endian.
  if (s.size() >= 4 && s[0] == 0xD7 && s[1] == 0xCD && s[2] == 0xC6 && s[3] == 0x9A) {
    return TPictureFormat::PlaceableMetafile;
  }
  return TPictureFormat::Unknown;
}

// --- The plot -------------------------------------------------------------------

TPlotRecord::~TPlotRecord() {
  DisposeCurveChain(Axes.FirstCurve);
  DisposeCurveChain(UndoCurves);
}

}  // namespace voq
