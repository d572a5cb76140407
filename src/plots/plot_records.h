#pragma once
// The records of a plot: its curves (TPlotLineRecord), its frame and settings
// block (TPlotAxesRecord), its text items (TPlotTextRecord), the graphic
// objects that plots and the Diagram window share (TGraphicObjectRecord) and
// the plot itself (TPlotRecord, memory only).
//
// Documents store the first four byte for byte, so their layouts are file
// formats: each has explicit Pack/Unpack functions over a byte buffer at the
// offsets below (little-endian, 10-byte reals, length-prefixed strings,
// int16 coordinates). A pointer field of a stored record is a 4-byte slot
// with no meaning in a file: it is written as 0, except where the slot tells
// a reader that data follows the record (the error arrays of a curve, the
// picture and the group members of an object), where it is 1 exactly when
// that data follows. Unpack leaves every pointer field of the record empty.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/extended.h"
#include "model/small_rect.h"

namespace voq {

struct TTableHeaderRecord;  // the table model's header of a curve's source table
struct TDiagramRichText;    // the diagram's formatted-text content (object kind 5)
struct TDiagramGroup;       // the members of a diagram group

// TSmallRect (model/small_rect.h): four int16 of a rectangle in client pixels.

// Characters of the stored short strings.
inline constexpr int kPlotLineNameLength = 30;   // string[30]
inline constexpr int kPlotTextLength = 80;       // string[80]

// --- Curves ---------------------------------------------------------------------

inline constexpr size_t kPlotLineRecordSize = 524;

// One curve of a plot. The curves of a plot form a singly linked chain whose
// head is FirstCurve of the plot's axes block; the plot owns the chain, and
// each curve owns its value arrays. An empty error array is "none".
struct TPlotLineRecord {
  int16_t NPoints = 0;
  std::vector<Extended> XValues;  // NPoints values
  std::vector<Extended> YValues;
  uint8_t CurveKind = 0;  // 4 contour segments (point pairs), 5 colour bands, 6 3-D surface, 7 not drawn; else X-Y
  uint8_t Smooth = 0;     // drawn as a spline through the points
  uint8_t XLog = 0;
  uint8_t YLog = 0;
  uint8_t XGrid = 0;
  uint8_t YGrid = 0;
  Extended XMin = 0;
  Extended YMin = 0;
  Extended XMax = 0;
  Extended YMax = 0;
  int16_t FirstRow = 0;
  int16_t LastRow = 0;
  int16_t XColumn = 0;
  int16_t YColumn = 0;
  int16_t XIntervals = 0;
  int16_t YIntervals = 0;
  std::string XName;  // at most 30 characters
  std::string YName;
  Extended IsolineValue = 0;  // stored as a 6-byte real
  uint8_t SmoothAllowed = 0;
  uint8_t XLogTicks = 0;
  uint8_t YLogTicks = 0;
  uint8_t XErrorBars = 0;
  uint8_t YErrorBars = 0;
  std::vector<Extended> XErrors;  // NPoints uncertainties, or empty
  std::vector<Extended> YErrors;
  int16_t TableKind = 0;  // 1 parametric, 2 lookup, 3 arrays, 4 integral; negative: property plots, fits
  int16_t YAxis = 1;      // 1 left, 2 right
  int16_t CurveNumber = 0;
  int16_t XDigits = 0;
  int16_t YDigits = 0;
  uint8_t XStyle = 0;  // 0 exponential, 1 fixed, 2 string labels, 3 automatic
  uint8_t YStyle = 0;
  int16_t XMinorTicks = 0;
  int16_t YMinorTicks = 0;
  int16_t SymbolSize = 0;
  int16_t SymbolStep = 0;
  int16_t LineType = 0;
  int16_t Symbol = 0;
  int16_t Color = 0;
  uint8_t AutoUpdate = 0;
  int16_t XZeroLine = 0;
  int16_t YZeroLine = 0;
  TPlotLineRecord* Next = nullptr;
  int32_t TableNumber = 0;
  uint8_t AllRows = 0;
  std::array<uint8_t, 15> Reserved189{};
  TTableHeaderRecord* TableHeader = nullptr;
  int16_t XAxis = 1;  // 1 lower, 2 upper
  int16_t ZVariable = 0;
  Extended XInterval = 0;
  Extended YInterval = 0;
  int16_t ColorSource = 0;  // X-Y-Z curves: the colour quantity; -1 for contours
  int16_t Reserved234 = 0;
  std::array<uint8_t, 32> Reserved236{};
  std::string ZName;      // X-Y-Z curves: name of the Z quantity
  std::string ColorName;  // X-Y-Z curves: name of the colour quantity
  std::string Reserved330;
  std::array<uint8_t, 163> Reserved361{};
};

namespace plot_line_offsets {
inline constexpr size_t NPoints = 0;
inline constexpr size_t XValues = 2;
inline constexpr size_t YValues = 6;
inline constexpr size_t CurveKind = 10;
inline constexpr size_t Smooth = 11;
inline constexpr size_t XLog = 12;
inline constexpr size_t YLog = 13;
inline constexpr size_t XGrid = 14;
inline constexpr size_t YGrid = 15;
inline constexpr size_t XMin = 16;
inline constexpr size_t YMin = 26;
inline constexpr size_t XMax = 36;
inline constexpr size_t YMax = 46;
inline constexpr size_t FirstRow = 56;
inline constexpr size_t LastRow = 58;
inline constexpr size_t XColumn = 60;
inline constexpr size_t YColumn = 62;
inline constexpr size_t XIntervals = 64;
inline constexpr size_t YIntervals = 66;
inline constexpr size_t XName = 68;
inline constexpr size_t YName = 99;
inline constexpr size_t IsolineValue = 130;
inline constexpr size_t SmoothAllowed = 136;
inline constexpr size_t XLogTicks = 137;
inline constexpr size_t YLogTicks = 138;
inline constexpr size_t XErrorBars = 139;
inline constexpr size_t YErrorBars = 140;
inline constexpr size_t XErrors = 141;
inline constexpr size_t YErrors = 145;
inline constexpr size_t TableKind = 149;
inline constexpr size_t YAxis = 151;
inline constexpr size_t CurveNumber = 153;
inline constexpr size_t XDigits = 155;
inline constexpr size_t YDigits = 157;
inline constexpr size_t XStyle = 159;
inline constexpr size_t YStyle = 160;
inline constexpr size_t XMinorTicks = 161;
inline constexpr size_t YMinorTicks = 163;
inline constexpr size_t SymbolSize = 165;
inline constexpr size_t SymbolStep = 167;
inline constexpr size_t LineType = 169;
inline constexpr size_t Symbol = 171;
inline constexpr size_t Color = 173;
inline constexpr size_t AutoUpdate = 175;
inline constexpr size_t XZeroLine = 176;
inline constexpr size_t YZeroLine = 178;
inline constexpr size_t Next = 180;
inline constexpr size_t TableNumber = 184;
inline constexpr size_t AllRows = 188;
inline constexpr size_t Reserved189 = 189;
inline constexpr size_t TableHeader = 204;
inline constexpr size_t XAxis = 208;
inline constexpr size_t ZVariable = 210;
inline constexpr size_t XInterval = 212;
inline constexpr size_t YInterval = 222;
inline constexpr size_t ColorSource = 232;
inline constexpr size_t Reserved234 = 234;
inline constexpr size_t Reserved236 = 236;
inline constexpr size_t ZName = 268;
inline constexpr size_t ColorName = 299;
inline constexpr size_t Reserved330 = 330;
inline constexpr size_t Reserved361 = 361;
}  // namespace plot_line_offsets

// Whether a document stores the curve's uncertainties in an extra curve
// entry after it: a parametric-table curve (TableKind 1) with an error-bar
// flag set and at least one uncertainty array. The error slots of the
// packed record announce that entry, so writer and reader agree on it.
bool CurveErrorsFollow(const TPlotLineRecord& curve);
// dst receives kPlotLineRecordSize bytes. The XErrors and YErrors slots are
// 1 when CurveErrorsFollow and that array is present, every other pointer
// slot 0.
void PackPlotLineRecord(const TPlotLineRecord& curve, uint8_t* dst);
// Every field from src; the arrays are left empty and Next and TableHeader
// null. Strings longer than their capacity are cut to it.
void UnpackPlotLineRecord(const uint8_t* src, TPlotLineRecord& curve);

// Frees every curve of the chain that starts at first (iteratively: a long
// chain does not deepen the stack); first := nullptr.
void DisposeCurveChain(TPlotLineRecord*& first);

// The 3-D camera and scaling state of a surface curve (CurveKind 6), kept in
// elements 6 to 10 (counted from 1) of its value arrays: X array 6, 7, 8 the
// camera position, 9 and 10 the X sampling range; Y array 6, 7, 8 the
// surface's scale, 9 and 10 the Y sampling range.
struct TSurfaceViewState {
  Extended CameraX = 0, CameraY = 0, CameraZ = 0;
  Extended XSampleMin = 0, XSampleMax = 0;
  Extended ScaleX = 0, ScaleY = 0, ScaleZ = 0;
  Extended YSampleMin = 0, YSampleMax = 0;
};
inline constexpr int kSurfaceCurveKind = 6;
// False, state untouched, unless the curve is a surface and both arrays hold
// at least 10 values.
bool GetSurfaceViewState(const TPlotLineRecord& curve, TSurfaceViewState& state);
// False, curve untouched, on the same conditions; the arrays never grow.
bool SetSurfaceViewState(TPlotLineRecord& curve, const TSurfaceViewState& state);

// --- The axes block -------------------------------------------------------------

inline constexpr size_t kPlotAxesRecordSize = 421;

// The frame and settings block of a plot. FirstCurve is the head of the
// curve chain; the plot record owns the chain (a working copy of this block
// may point at the same chain).
struct TPlotAxesRecord {
  TSmallRect FrameRect;
  int16_t PixelsPerInchX = 0;
  int16_t PixelsPerInchY = 0;
  int16_t PropertyPlotFluid = -1;  // catalogue row of a property plot's fluid; <= 0 no property plot
  std::array<uint8_t, 4> AutoScale{};  // per axis: rescaled with automatic plot data
  int16_t WhiteBackground = 0;
  // Per axis (0 upper X, 1 lower X, 2 left Y, 3 right Y).
  std::array<int16_t, 4> LabelColor{};
  std::array<int16_t, 4> LabelStyle{};
  std::array<int16_t, 4> LabelFont{};
  std::array<int16_t, 4> LabelSize{};
  int16_t FrameColor = 0;
  uint8_t ThickBorder = 0;
  int16_t Reserved55 = 1;
  int16_t MajorTickSize = 0;
  int16_t MinorTickSize = 0;
  int16_t GridLineStyle = 0;  // 1 dotted, else solid; negative: a new plot without grid lines
  int16_t GridColor = 0;
  int16_t ToolBarLeft = 0;
  int16_t ToolBarTop = 0;
  uint8_t PropertyPlotUnits = 0;  // unit-system flags of a property plot
  std::array<uint8_t, 3> Reserved70{};
  TPlotLineRecord* FirstCurve = nullptr;
  uint8_t BandLegend = 1;
  uint8_t ToolBarVisible = 1;
  std::array<uint8_t, 2> Reserved79{};
  std::array<uint8_t, 256> Reserved81{};
  int32_t Reserved337 = 0;
  // X, Y, Z grid plane shown; lighting; perspective camera; axes check box
  // (0, 1, 2 grayed); grid lines (bit 0 X, bit 1 Y); colour check box.
  std::array<uint8_t, 8> View3DFlags{};
  std::array<uint8_t, 8> Reserved349{};
  int16_t WindowHeight = 0;
  int16_t WindowWidth = 0;
  int16_t X2LabelOffset = 0;
  std::array<int16_t, 2> Reserved363{};
  int16_t Y2LabelOffset = 0;
  std::array<int32_t, 6> View3DPositions{};
  std::array<int32_t, 7> Reserved393{};
};

namespace plot_axes_offsets {
inline constexpr size_t FrameRect = 0;
inline constexpr size_t PixelsPerInchX = 8;
inline constexpr size_t PixelsPerInchY = 10;
inline constexpr size_t PropertyPlotFluid = 12;
inline constexpr size_t AutoScale = 14;
inline constexpr size_t WhiteBackground = 18;
inline constexpr size_t LabelColor = 20;
inline constexpr size_t LabelStyle = 28;
inline constexpr size_t LabelFont = 36;
inline constexpr size_t LabelSize = 44;
inline constexpr size_t FrameColor = 52;
inline constexpr size_t ThickBorder = 54;
inline constexpr size_t Reserved55 = 55;
inline constexpr size_t MajorTickSize = 57;
inline constexpr size_t MinorTickSize = 59;
inline constexpr size_t GridLineStyle = 61;
inline constexpr size_t GridColor = 63;
inline constexpr size_t ToolBarLeft = 65;
inline constexpr size_t ToolBarTop = 67;
inline constexpr size_t PropertyPlotUnits = 69;
inline constexpr size_t Reserved70 = 70;
inline constexpr size_t FirstCurve = 73;
inline constexpr size_t BandLegend = 77;
inline constexpr size_t ToolBarVisible = 78;
inline constexpr size_t Reserved79 = 79;
inline constexpr size_t Reserved81 = 81;
inline constexpr size_t Reserved337 = 337;
inline constexpr size_t View3DFlags = 341;
inline constexpr size_t Reserved349 = 349;
inline constexpr size_t WindowHeight = 357;
inline constexpr size_t WindowWidth = 359;
inline constexpr size_t X2LabelOffset = 361;
inline constexpr size_t Reserved363 = 363;
inline constexpr size_t Y2LabelOffset = 367;
inline constexpr size_t View3DPositions = 369;
inline constexpr size_t Reserved393 = 393;
}  // namespace plot_axes_offsets

// dst receives kPlotAxesRecordSize bytes; the FirstCurve slot is 0.
void PackPlotAxesRecord(const TPlotAxesRecord& axes, uint8_t* dst);
// Every field from src; FirstCurve null.
void UnpackPlotAxesRecord(const uint8_t* src, TPlotAxesRecord& axes);

// --- Text items -----------------------------------------------------------------

inline constexpr size_t kPlotTextRecordSize = 152;
// A right or bottom edge of 999: the text has not been measured yet.
inline constexpr int16_t kTextNotMeasured = 999;
// LegendCurve of the record that carries a plot's name in a document.
inline constexpr int16_t kPlotNameLegendCurve = -99;

struct TPlotTextRecord {
  std::string Text;  // at most 80 characters
  TSmallRect TextRect;
  int32_t FontHandle = 0;  // the drawing code's cached font; 0 none; written as 0
  TSmallRect SavedRect;
  int16_t LegendCurve = 0;  // k: the line and symbol of curve k precede the text
  int16_t TextColor = 0;
  int16_t TextSize = 0;
  int16_t TextFont = 0;
  float ShowState = 0;  // negative: not drawn
  int16_t TextStyle = 0;
  uint8_t Opaque = 0;
  uint8_t Framed = 0;
  uint8_t Orientation = 0;  // 0 horizontal, 1 vertical, 2 at Angle
  int16_t Angle = 0;
  uint8_t Selected = 0;
  uint8_t AlignMark = 0;
  std::array<uint8_t, 5> Reserved122{};
  uint8_t ShowVarName = 1;
  uint8_t ShowVarUnits = 1;
  uint8_t AutoUpdate = 0;
  int16_t VariableIndex = 0;  // 0 plain text, else the variable shown
  std::array<uint8_t, 20> Reserved132{};
};

namespace plot_text_offsets {
inline constexpr size_t Text = 0;
inline constexpr size_t TextRect = 81;
inline constexpr size_t FontHandle = 89;
inline constexpr size_t SavedRect = 93;
inline constexpr size_t LegendCurve = 101;
inline constexpr size_t TextColor = 103;
inline constexpr size_t TextSize = 105;
inline constexpr size_t TextFont = 107;
inline constexpr size_t ShowState = 109;
inline constexpr size_t TextStyle = 113;
inline constexpr size_t Opaque = 115;
inline constexpr size_t Framed = 116;
inline constexpr size_t Orientation = 117;
inline constexpr size_t Angle = 118;
inline constexpr size_t Selected = 120;
inline constexpr size_t AlignMark = 121;
inline constexpr size_t Reserved122 = 122;
inline constexpr size_t ShowVarName = 127;
inline constexpr size_t ShowVarUnits = 128;
inline constexpr size_t AutoUpdate = 129;
inline constexpr size_t VariableIndex = 130;
inline constexpr size_t Reserved132 = 132;
}  // namespace plot_text_offsets

// dst receives kPlotTextRecordSize bytes; the FontHandle slot is 0.
void PackPlotTextRecord(const TPlotTextRecord& text, uint8_t* dst);
// Every field from src; FontHandle 0.
void UnpackPlotTextRecord(const uint8_t* src, TPlotTextRecord& text);

// --- Graphic objects ------------------------------------------------------------

inline constexpr size_t kGraphicObjectRecordSize = 115;
inline constexpr uint8_t kPictureObjectKind = 3;

// A line (with optional arrow heads), rectangle, ellipse or picture of a
// plot or a diagram; in the Diagram window also a group separator (kind 4)
// or a formatted-text object (kind 5).
struct TGraphicObjectRecord {
  uint8_t ObjectKind = 0;  // 0 line, 1 rectangle, 2 ellipse, 3 picture, 4 group separator, 5 formatted text
  int16_t LineStyle = 1;   // 1 normal, 2 thick, 3 dotted
  int16_t Reserved3 = 0;   // copied between selected objects by the object dialogs
  TSmallRect ObjectRect;
  int32_t LineColor = 0;  // RGB
  int32_t FillColor = 0;  // RGB
  std::array<uint8_t, 32> Reserved21{};
  uint8_t ArrowHead = 0;  // 0 plain, 1 filled, 2 open, 3 simple, 4 stick
  uint8_t Selected = 0;
  uint8_t Locked = 0;
  uint8_t SingleArrow = 1;  // arrow head at the end point only
  int16_t OwnerNumber = 0;  // plot number, or diagram window number
  int16_t ShapeSize = 3;    // arrow size 1 to 10, or corner rounding of a rectangle
  uint8_t AlignMark = 0;
  uint8_t Reserved62 = 0;
  int16_t Reserved63 = 0;
  int16_t FillStyle = 0;  // 0 none, 1 solid, 2 BDiagonal ... 7 horizontal
  TSmallRect SavedRect;
  std::array<uint8_t, 2> Reserved75{};  // used while aligning
  uint8_t Transparent = 0;
  std::array<uint8_t, 5> Reserved78{};
  std::array<uint8_t, 12> Reserved83{};
  float AspectRatio = 1.0f;  // height over width
  std::shared_ptr<TDiagramRichText> RichText;
  std::shared_ptr<TDiagramGroup> GroupItems;
  // Kind 3: the picture's stream as stored (its length is the stored
  // PictureSize): an enhanced or placeable metafile of an old document, kept
  // as it was read, or a PNG image for pictures this program makes.
  std::vector<uint8_t> Picture;
};

namespace graphic_object_offsets {
inline constexpr size_t ObjectKind = 0;
inline constexpr size_t LineStyle = 1;
inline constexpr size_t Reserved3 = 3;
inline constexpr size_t ObjectRect = 5;
inline constexpr size_t LineColor = 13;
inline constexpr size_t FillColor = 17;
inline constexpr size_t Reserved21 = 21;
inline constexpr size_t ArrowHead = 53;
inline constexpr size_t Selected = 54;
inline constexpr size_t Locked = 55;
inline constexpr size_t SingleArrow = 56;
inline constexpr size_t OwnerNumber = 57;
inline constexpr size_t ShapeSize = 59;
inline constexpr size_t AlignMark = 61;
inline constexpr size_t Reserved62 = 62;
inline constexpr size_t Reserved63 = 63;
inline constexpr size_t FillStyle = 65;
inline constexpr size_t SavedRect = 67;
inline constexpr size_t Reserved75 = 75;
inline constexpr size_t Transparent = 77;
inline constexpr size_t Reserved78 = 78;
inline constexpr size_t Reserved83 = 83;
inline constexpr size_t AspectRatio = 95;
inline constexpr size_t RichText = 99;
inline constexpr size_t GroupItems = 103;
inline constexpr size_t PictureSize = 107;
inline constexpr size_t Picture = 111;
}  // namespace graphic_object_offsets

// Whether the object's picture stream follows its record: a picture object
// that holds one.
bool ObjectPictureFollows(const TGraphicObjectRecord& object);
// dst receives kGraphicObjectRecordSize bytes. PictureSize is the length of
// Picture; the Picture slot is 1 when ObjectPictureFollows, the GroupItems
// slot 1 when the object has members, the RichText slot 0.
void PackGraphicObjectRecord(const TGraphicObjectRecord& object, uint8_t* dst);
// Every field from src; RichText and GroupItems null, Picture empty (the
// stream that follows a picture object is read by the caller).
void UnpackGraphicObjectRecord(const uint8_t* src, TGraphicObjectRecord& object);

// What a stored picture stream holds, told by its first bytes.
enum class TPictureFormat { None, Png, EnhancedMetafile, PlaceableMetafile, Unknown };
TPictureFormat PictureFormatOf(const std::vector<uint8_t>& stream);

// --- The plot -------------------------------------------------------------------

// One plot: one tab of the Plot window and one entry of PlotList. Owns its
// text items, objects, undo copies and curve chains (freed with it).
struct TPlotRecord {
  TPlotRecord() = default;
  ~TPlotRecord();
  TPlotRecord(const TPlotRecord&) = delete;
  TPlotRecord& operator=(const TPlotRecord&) = delete;

  // The plot frame, the same rectangle as Axes.FrameRect. A 3-D plot keeps
  // the scene viewer's bounds here.
  int16_t FrameLeft = 0;
  int16_t FrameRight = 0;
  int16_t FrameBottom = 0;
  int16_t FrameTop = 0;
  TPlotAxesRecord Axes;
  int32_t PlotNumber = 0;
  TPlotTextRecord* FirstSelectedText = nullptr;
  std::vector<std::unique_ptr<TPlotTextRecord>> TextItems;
  std::vector<std::unique_ptr<TPlotTextRecord>> UndoTexts;
  std::vector<std::unique_ptr<TGraphicObjectRecord>> Objects;
  std::vector<std::unique_ptr<TGraphicObjectRecord>> UndoObjects;
  // The axis-label fonts of the drawing code's font cache; 0 none.
  std::array<int32_t, 4> AxisFonts{};
  int32_t FrameRightAtDown = 0;
  int32_t FrameBottomAtDown = 0;
  int32_t UndoAnchorIndex = -1;
  uint8_t UndoAnchorKind = 0;  // 0 none, 1 a text item, 2 an object
  std::string PlotName;        // at most 80 characters
  uint8_t UndoFlags = 0;       // 1 text items, 2 objects, 4 axes and curves
  TPlotLineRecord* UndoCurves = nullptr;
  int32_t HitTextIndex = -1;
  int32_t OrbitLastX = 0;
  int32_t OrbitLastY = 0;
};

}  // namespace voq
