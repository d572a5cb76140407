#pragma once
// The Plot window's drawing pipeline, free of Qt: the mapping of data values
// to pixels, the clipping of segments, the pens of the line types, the text
// placement, the tick generator, the axis number labels and the axes, frame
// box and zero lines of each curve. It draws a plot's working copy on any
// Canvas: the window's (QtCanvas), a recording one in tests, a printed page.
//
// Pixel coordinates are those of the graphics system: 16 bits, so every
// mapped value is clamped to +-32600, and a value that cannot be mapped
// lands at 32600, far outside any frame, instead of stopping the drawing.
#include <array>
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "output/canvas.h"
#include "plots/plot_records.h"

namespace voq {

inline constexpr int32_t kPlotPixelLimit = 32600;

// log10 of x by ln x / 2.3025851. The divisor is deliberately that rounded
// value: only ratios and rounded differences of these logarithms ever reach
// the pixels, so it cancels. x <= 0 is taken as 1E-9 (nine decades below 1).
Extended DecimalLog(Extended x);
// base ^ exponent by exp(exponent ln base); 0 for base <= 0.
Extended PowerOf(Extended exponent, Extended base);

// The frame edges a plot is drawn in (client pixels).
struct TPlotFrame {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

// The pixel of value on the X (axis 1) or Y (axis 2) scale of curve:
//   p = o + nearest(d (v - min) / (max - min))
// with o, d the frame's left and width (X) or bottom and -height (Y), and v,
// min, max replaced by their DecimalLog on a logarithmic axis. A fault
// (min = max, an overflow, a NaN) gives 32600; the result is clamped to
// +-32600.
int32_t MapToPixel(const TPlotFrame& frame, const TPlotLineRecord& curve, int32_t axis, Extended value);

// Clips the segment p1-p2 in place to rect grown by one pixel (its right and
// bottom edges outside); false when nothing of it is visible. A moved end
// always stays on the segment: a segment wholly outside the frame whose
// line crosses it is invisible, not shrunk to a point on the frame.
bool ClipSegment(const TRect& rect, TCanvasPoint& p1, TCanvasPoint& p2);

// One tick of an axis.
struct TPlotTick {
  Extended Value = 0;
  int32_t Pixel = 0;
  bool Done = false;         // the last tick of the axis
  bool LabelWanted = false;  // this tick gets a number
  bool Empty = false;        // the axis has no ticks at all (interval 0)
  std::string Label;         // the number's text, at most 255 characters
};

// A number label split for the exponent form: Mantissa, the small "x" when
// Times, "10" and the raised Exponent. A plain number is all Mantissa.
struct TAxisNumberParts {
  bool ExponentForm = false;
  std::string Mantissa;
  bool Times = false;
  std::string Exponent;
};
// "1E+05" -> "", no x, "5"; "-1E+05" -> "-", "5"; "2.5E-03" -> "2.5" x "-3";
// "3E+12" -> "3" x "12".
TAxisNumberParts SplitAxisNumber(const std::string& text);

// Sets DrawCanvas's pen for a line type (0 to 16) and palette colour at
// PlotDrawScale, black by the colour output rule.
struct TPlotColourRule {
  bool Printing = false;      // the print engine's job runs
  bool PrintInColor = true;   // the "Print in color" preference
  bool CopyingPlot = false;   // copied or saved as a picture
  bool CopyInColor = true;    // the "Copy in color" preference
  bool Black() const { return (Printing && !PrintInColor) || (CopyingPlot && !CopyInColor); }
};

// The drawing state of one pass over a plot (the window's drawing fields).
class TPlotPainter {
 public:
  TPlotPainter(Canvas& canvas, const TPlotAxesRecord& axes, double scale = 1.0);

  // Draws the plot: nothing without curves; else the white frame, then per
  // curve its axes, its data hook, its frame box and zero lines. Objects and
  // text items lie above and are drawn by their own painters afterwards.
  void DisplayPlot();

  // The pieces, public for the window and tests.
  int32_t MapToPixel(int32_t axis, Extended value) const;
  // The i-th tick (from 1) of the X (1) or Y (2) scale of the current curve.
  TPlotTick NextTick(int32_t axis, int32_t i, Extended previous);
  void DrawAxisNumber(int32_t a, int32_t x, int32_t y, const std::string& text);
  void SetPlotPen(int32_t lineType, int32_t colour);
  void SetTextAlignment(int32_t h, int32_t v) { TextAlignH = h; TextAlignV = v; }
  // s with its reference point at (x, y) by TextAlignH and TextAlignV.
  void OutTextxyP(int32_t x, bool opaque, const std::string& s, int32_t y);
  void FillPlotMinMax(int32_t x, int32_t y);
  void MakeResizeRect();
  bool X2ScaleExists() const;
  bool Y2ScaleExists() const;
  void SetCurve(const TPlotLineRecord* curve) { curve_ = curve; }

  TPlotColourRule ColourRule;
  bool DrawingExternal = false;
  bool DrawingBitmap = false;
  TPlotFrame Frame;
  bool TopAxisDrawn = false;
  bool RightAxisDrawn = false;
  bool YGridDrawn = false;
  int32_t CurrentColor = 0;
  std::array<int32_t, 3> LogDecades{};  // [1] X, [2] Y
  int32_t TextAlignH = 1;
  int32_t TextAlignV = 1;
  int32_t LastNumberX = -1000;
  int32_t LastNumberY = -1000;
  int32_t LastExponentX = -1000;
  TRect DrawnExtent;
  TRect ResizeCorner, XAxisStrip, X2AxisStrip, YAxisStrip, Y2AxisStrip;

 private:
  void DrawCurveWithAxes(const TPlotLineRecord& curve);
  void DrawXAxis(const TPlotLineRecord& curve);
  void DrawYAxis(const TPlotLineRecord& curve);
  void XGridLine(int32_t x);
  void YGridLine(int32_t y);
  void MinorXTicks(int32_t from, int32_t to, int32_t count, bool logarithmic, const TPlotLineRecord& curve);
  void MinorYTicks(int32_t from, int32_t to, int32_t count, bool allLeft, bool logarithmic,
                   const TPlotLineRecord& curve);
  void DrawFrameBox();
  void DrawZeroLines(const TPlotLineRecord& curve);
  void SelectAxisFont(int32_t a, int32_t size);
  TRgb OutputColour(int32_t paletteIndex) const;
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  int32_t Scaled(double v) const;

  Canvas& canvas_;
  const TPlotAxesRecord& axes_;
  double scale_;
  const TPlotLineRecord* curve_ = nullptr;
  std::array<int32_t, 3> previousPixel_{};
};

}  // namespace voq
