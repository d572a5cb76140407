#include "plots/plot_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/number_format.h"
#include "output/drawing.h"
#include "output/palette.h"

namespace voq {

namespace {

// Nearest integer, ties to even (the floating-point unit's default mode).
int64_t Nearest(Extended v) { return static_cast<int64_t>(std::nearbyintl(v)); }

// An axis that would never end (a tick interval so small or of such a sign
// that the maximum is never passed, a NaN bound) stops after this many
// ticks instead of hanging the window.
constexpr int32_t kMaxTicksPerAxis = 2000;

bool InsideGrown(const TRect& g, int32_t x, int32_t y) {
  return x >= g.Left && x < g.Right && y >= g.Top && y < g.Bottom;
}

// Moves `moved` (outside the grown frame) along the segment from `other`
// onto the frame's edges by the two tries: first to the left or right edge,
// then to the top or bottom edge.
bool MoveEnd(const TRect& frame, const TRect& g, TCanvasPoint& moved, const TCanvasPoint& other, bool horizontal,
             bool vertical, long double m, long double c) {
  const auto onSegment = [&](int32_t x, int32_t y) {
    return x >= std::min(moved.X, other.X) && x <= std::max(moved.X, other.X) && y >= std::min(moved.Y, other.Y) &&
           y <= std::max(moved.Y, other.Y);
  };
  int32_t x;
  if (moved.X >= frame.Left && moved.X <= frame.Right && other.X >= frame.Left && other.X <= frame.Right)
    x = moved.X;
  else if (moved.X < frame.Left || (moved.X <= frame.Right && other.X >= moved.X))
    x = frame.Left;
  else
    x = frame.Right;
  int32_t y = horizontal ? moved.Y : vertical ? 32766 : static_cast<int32_t>(std::clamp<long double>(
                                                              std::nearbyintl(m * x + c), -32766, 32766));
  if (InsideGrown(g, x, y) && onSegment(x, y)) {
    moved = {x, y};
    return true;
  }
  if (moved.Y >= frame.Top && moved.Y <= frame.Bottom && other.Y >= frame.Top && other.Y <= frame.Bottom)
    y = moved.Y;
  else if (moved.Y > frame.Bottom || (moved.Y >= frame.Top && other.Y < moved.Y))
    y = frame.Bottom;
  else
    y = frame.Top;
  x = horizontal ? 32766 : vertical ? moved.X : static_cast<int32_t>(std::clamp<long double>(
                                                     std::nearbyintl((y - c) / m), -32766, 32766));
  if (InsideGrown(g, x, y) && onSegment(x, y)) {
    moved = {x, y};
    return true;
  }
  return false;
}

}  // namespace

Extended DecimalLog(Extended x) {
  if (x <= 0) x = 1E-9L;
  return std::log(x) / 2.3025851L;
}

Extended PowerOf(Extended exponent, Extended base) {
  if (base <= 0) return 0;
  return std::exp(exponent * std::log(base));
}

int32_t MapToPixel(const TPlotFrame& frame, const TPlotLineRecord& curve, int32_t axis, Extended value) {
  const bool x = axis == 1;
  const Extended o = x ? frame.Left : frame.Bottom;
  const Extended d = x ? frame.Right - frame.Left : frame.Top - frame.Bottom;
  Extended lo = x ? curve.XMin : curve.YMin;
  Extended hi = x ? curve.XMax : curve.YMax;
  Extended v = value;
  if (x ? curve.XLog : curve.YLog) {
    v = DecimalLog(v);
    lo = DecimalLog(lo);
    hi = DecimalLog(hi);
  }
  const Extended p = o + std::nearbyintl(d * (v - lo) / (hi - lo));
  if (!std::isfinite(p) || hi == lo) return kPlotPixelLimit;
  return static_cast<int32_t>(std::clamp<Extended>(p, -kPlotPixelLimit, kPlotPixelLimit));
}

bool ClipSegment(const TRect& rect, TCanvasPoint& p1, TCanvasPoint& p2) {
  const TRect g{rect.Left - 1, rect.Top - 1, rect.Right + 1, rect.Bottom + 1};
  const bool horizontal = p1.Y == p2.Y;
  const bool vertical = p1.X == p2.X;
  long double m = 0, c = 0;
  if (!horizontal && !vertical) {
    m = static_cast<long double>(p2.Y - p1.Y) / (p2.X - p1.X);
    c = p1.Y - m * p1.X;
  }
  const TCanvasPoint a = p1, b = p2;
  if (!InsideGrown(g, b.X, b.Y)) {
    TCanvasPoint moved = b;
    if (!MoveEnd(rect, g, moved, a, horizontal, vertical, m, c)) return false;
    p2 = moved;
  }
  if (!InsideGrown(g, a.X, a.Y)) {
    TCanvasPoint moved = a;
    if (!MoveEnd(rect, g, moved, b, horizontal, vertical, m, c)) return false;
    p1 = moved;
  }
  return true;
}

TAxisNumberParts SplitAxisNumber(const std::string& text) {
  TAxisNumberParts parts;
  const size_t e = text.find_first_of("Ee");
  if (e == std::string::npos) {
    parts.Mantissa = text;
    return parts;
  }
  parts.ExponentForm = true;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  if (mantissa == "1") {
    mantissa.clear();
  } else if (mantissa == "-1") {
    mantissa = "-";
  } else {
    parts.Times = true;
  }
  if (exponent.rfind("+0", 0) == 0)
    exponent.erase(0, 2);
  else if (exponent.rfind("-0", 0) == 0)
    exponent.replace(0, 2, "-");
  else if (exponent.rfind('+', 0) == 0)
    exponent.erase(0, 1);
  if (exponent.empty() || exponent == "-") exponent += "0";  // E+00 is 10 to the 0
  parts.Mantissa = mantissa;
  parts.Exponent = exponent;
  return parts;
}

TPlotPainter::TPlotPainter(Canvas& canvas, const TPlotAxesRecord& axes, double scale)
    : canvas_(canvas), axes_(axes), scale_(scale) {
  Frame = {axes.FrameRect.Left, axes.FrameRect.Top, axes.FrameRect.Right, axes.FrameRect.Bottom};
}

int32_t TPlotPainter::Scaled(double v) const { return static_cast<int32_t>(Nearest(scale_ * v)); }

int32_t TPlotPainter::MapToPixel(int32_t axis, Extended value) const {
  if (curve_ == nullptr) return kPlotPixelLimit;
  return voq::MapToPixel(Frame, *curve_, axis, value);
}

TRgb TPlotPainter::OutputColour(int32_t paletteIndex) const {
  return ColourRule.Black() ? kRgbBlack : PaletteColorRGB(paletteIndex);
}

void TPlotPainter::SetPlotPen(int32_t lineType, int32_t colour) {
  const int32_t w = std::max<int32_t>(1, static_cast<int32_t>(std::trunc(scale_)) - 1);
  const int32_t w2 = std::max<int32_t>(2, static_cast<int32_t>(std::trunc(2 * scale_)) - 1);
  const TRgb rgb = OutputColour(colour);
  switch (lineType) {
    case 1: canvas_.SetPen(rgb, w, TPenStyle::Solid); break;
    case 2: canvas_.SetPen(rgb, w, TPenStyle::Dot); break;
    case 3: canvas_.SetPen(rgb, w2, TPenStyle::Solid); break;
    case 4: canvas_.SetPen(rgb, w, TPenStyle::Dash); break;
    case 5: canvas_.SetPen(rgb, w2, TPenStyle::Dot); break;
    case 6: canvas_.SetPen(rgb, w2, TPenStyle::Dash); break;
    case 15:
      canvas_.SetPen(rgb, static_cast<int32_t>(std::trunc(ColourRule.PrintInColor ? scale_ / 1.5 : scale_ / 3)),
                     TPenStyle::Solid);
      break;
    case 16: canvas_.SetPen(rgb, 1, TPenStyle::Dot); break;
    default: canvas_.SetPen(rgb, w, canvas_.PenStyle()); break;
  }
}

void TPlotPainter::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  canvas_.MoveTo(x1, y1);
  canvas_.LineTo(x2, y2);
}

void TPlotPainter::OutTextxyP(int32_t x, bool opaque, const std::string& s, int32_t y) {
  if (s.empty()) return;
  const int32_t w = canvas_.TextWidth(s) + 4;
  const int32_t h = canvas_.TextHeight(s);
  if (TextAlignH == 2)
    x -= w / 2;
  else if (TextAlignH == 3)
    x -= w;
  if (TextAlignV == 2)
    y -= h / 2;
  else if (TextAlignV == 3)
    y -= h;
  canvas_.SetTransparentText(!opaque);
  if (opaque) canvas_.SetBackgroundColor(kRgbWhite);
  canvas_.TextOut(x, y, s);
  canvas_.SetTransparentText(true);
}

void TPlotPainter::FillPlotMinMax(int32_t x, int32_t y) {
  if (ColourRule.Printing || DrawingBitmap) return;
  DrawnExtent.Left = std::min(DrawnExtent.Left, x);
  DrawnExtent.Top = std::min(DrawnExtent.Top, y);
  DrawnExtent.Right = std::max(DrawnExtent.Right, x);
  DrawnExtent.Bottom = std::max(DrawnExtent.Bottom, y);
}

void TPlotPainter::MakeResizeRect() {
  const int32_t l = Frame.Left, r = Frame.Right, b = Frame.Bottom, t = Frame.Top;
  ResizeCorner = {r - 5, b - 5, r + 5, b + 5};
  XAxisStrip = {l, b, r, b + 25};
  X2AxisStrip = {l, t - 25, r, t};
  YAxisStrip = {l - 40, t, l, b};
  Y2AxisStrip = {r, t, r + 40, b};
}

bool TPlotPainter::X2ScaleExists() const {
  if (axes_.FirstCurve == nullptr) return false;
  for (const TPlotLineRecord* c = axes_.FirstCurve->Next; c != nullptr; c = c->Next)
    if (c->XAxis == 2) return true;
  return false;
}

bool TPlotPainter::Y2ScaleExists() const {
  if (axes_.FirstCurve == nullptr) return false;
  for (const TPlotLineRecord* c = axes_.FirstCurve->Next; c != nullptr; c = c->Next)
    if (c->YAxis == 2) return true;
  return false;
}

void TPlotPainter::SelectAxisFont(int32_t a, int32_t size) {
  MakeTextFont(canvas_, axes_.LabelFont[a], size, scale_, 0, 0, axes_.LabelColor[a], axes_.LabelStyle[a],
               ColourRule.Printing, ColourRule.PrintInColor);
}

TPlotTick TPlotPainter::NextTick(int32_t axis, int32_t i, Extended previous) {
  const TPlotLineRecord& c = *curve_;
  const bool xAxis = axis == 1;
  const Extended lo = xAxis ? c.XMin : c.YMin;
  const Extended hi = xAxis ? c.XMax : c.YMax;
  const Extended interval = xAxis ? c.XInterval : c.YInterval;
  const int32_t labelStyle = xAxis ? c.XStyle : c.YStyle;
  TPlotTick tick;
  tick.Value = previous;
  if (i == 1) tick.Value = lo;
  if (xAxis ? c.XLog : c.YLog) {
    int32_t n = 1;
    if (i > 1) {
      Extended e = std::trunc(DecimalLog(previous));
      Extended m = previous / PowerOf(e, 10);
      if (m < 1) {
        e -= 1;
        m *= 10;
      } else if (m >= 9.9999999L) {
        e += 1;
        m /= 10;
      }
      const bool everyMantissa = xAxis ? c.XLogTicks : c.YLogTicks;
      int32_t k = 0;
      n = 0;
      bool ended = false;
      do {
        ++k;
        ++n;
        if (k > 1.001L * m) {
          m = k;
          ended = everyMantissa;
        }
      } while (!ended && k < 10);
      tick.Value = m * PowerOf(e, 10);
      if (tick.Value == previous) tick.Value *= 10;
    }
    // A NaN never reaches the maximum: end the axis there too.
    if (tick.Value >= hi || !std::isfinite(tick.Value)) {
      tick.Value = hi;
      tick.Done = true;
    }
    tick.Pixel = MapToPixel(axis, tick.Value);
    tick.LabelWanted = n == 1 || n == 10 || (LogDecades[axis] == 1 && (n == 2 || n == 5)) || i == 1 || tick.Done;
    if (labelStyle == 2) tick.LabelWanted = false;
  } else {
    tick.LabelWanted = labelStyle != 2;
    // A zero interval has no ticks; neither does one that runs away from
    // the maximum (which would never end).
    if (interval == 0 || !std::isfinite(interval) || (interval < 0) != (hi < lo)) {
      tick.LabelWanted = false;
      tick.Done = true;
      tick.Empty = true;
      return tick;
    }
    if (i == 1) {
      const Extended r = std::fabs((hi - lo) / interval);
      tick.Value = std::fabs(r - std::nearbyintl(r)) >= 0.0001L ? interval * std::nearbyintl(lo / interval) : lo;
      previousPixel_[axis] = MapToPixel(axis, tick.Value);
    } else {
      tick.Value = previous + interval;
    }
    if ((tick.Value - hi) / interval > 0.001L || !std::isfinite(tick.Value)) {
      tick.LabelWanted = false;
      tick.Done = true;
    }
    tick.Pixel = MapToPixel(axis, tick.Value);
  }
  if (i >= kMaxTicksPerAxis) tick.Done = true;
  if (tick.LabelWanted) {
    TDisplayFormat format;
    format.Style = labelStyle == 1 ? kStyleFixed : labelStyle == 3 ? kStyleAutomatic : kStyleExponential;
    format.Digits = xAxis ? c.XDigits : c.YDigits;
    Extended v = tick.Value;
    if (format.Style == kStyleAutomatic && std::fabs(v) < 1E-16L) v = 0;
    tick.Label = FormatValue(format, v).substr(0, 255);
  }
  return tick;
}

void TPlotPainter::DrawAxisNumber(int32_t a, int32_t x, int32_t y, const std::string& text) {
  CurrentColor = axes_.LabelColor[a];
  const TAxisNumberParts parts = SplitAxisNumber(text);
  bool shown = true;
  if (!parts.ExponentForm) {
    const int32_t w = canvas_.TextWidth(text);
    if (a <= 1) {
      SetTextAlignment(2, 3);
      if (!DrawingExternal && LastNumberX > 0 && x < LastNumberX) shown = false;
    } else if (a == 2) {
      SetTextAlignment(3, 2);
    } else {
      SetTextAlignment(1, 2);
    }
    canvas_.MoveTo(x, y);
    if (shown) OutTextxyP(x, false, text, y);
    canvas_.MoveTo(x + w, y);
  } else {
    const int32_t h = canvas_.TextHeight("10");
    const int32_t size = axes_.LabelSize[a];
    const int32_t smallSize = size <= 15 ? size - 2 : (2 * size) / 3;
    int32_t smallTimesWidth = 0, smallTenHeight = 0;
    if (parts.Times) {
      SelectAxisFont(a, smallSize);
      smallTimesWidth = canvas_.TextWidth("x");
      smallTenHeight = canvas_.TextHeight("10");
      SelectAxisFont(a, size);
    }
    const int32_t tenWidth = canvas_.TextWidth("10");
    const int32_t total = canvas_.TextWidth(parts.Mantissa) + tenWidth + canvas_.TextWidth(parts.Exponent) +
                          (parts.Times ? canvas_.TextWidth("x") : 0);
    SetTextAlignment(1, a <= 1 ? 3 : 2);
    if (a <= 1) {
      x -= total / 2;
      if (DrawingExternal)
        shown = x - LastExponentX >= total / 2;
      else
        shown = !(LastNumberX > 0 && x - LastNumberX < total / 2);
    } else if (a == 2) {
      x -= total;
    }
    if (shown) {
      canvas_.MoveTo(x, y);
      OutTextxyP(x, false, parts.Mantissa, y);
      x += canvas_.TextWidth(parts.Mantissa);
      if (parts.Times) {
        SelectAxisFont(a, smallSize);
        OutTextxyP(x, false, "x", y - smallTenHeight / 10);
        x += smallTimesWidth;
        SelectAxisFont(a, size);
      }
      OutTextxyP(x, false, "10", y);
      SelectAxisFont(a, smallSize);
      OutTextxyP(x + tenWidth, false, parts.Exponent, Scaled(1) + y - (3 * h) / 8);
      const int32_t end = x + tenWidth + canvas_.TextWidth(parts.Exponent);
      SelectAxisFont(a, size);
      if (DrawingExternal) LastExponentX = x + tenWidth;
      canvas_.MoveTo(end, y);
    }
  }
  if (shown) {
    LastNumberX = canvas_.Position().X;
    LastNumberY = canvas_.Position().Y;
  }
}

void TPlotPainter::XGridLine(int32_t x) {
  if (x <= Frame.Left || x >= Frame.Right) return;
  SetPlotPen(axes_.GridLineStyle == 1 ? 16 : 15, axes_.GridColor);
  Line(x, Frame.Top, x, Frame.Bottom - 1);
  SetPlotPen(1, CurrentColor);
}

void TPlotPainter::YGridLine(int32_t y) {
  if (y <= Frame.Top || y >= Frame.Bottom) return;
  SetPlotPen(axes_.GridLineStyle == 1 ? 16 : 15, axes_.GridColor);
  Line(Frame.Right - 1, y, Frame.Left + 1, y);
  SetPlotPen(1, CurrentColor);
}

void TPlotPainter::MinorXTicks(int32_t from, int32_t to, int32_t count, bool logarithmic,
                               const TPlotLineRecord& curve) {
  if (count == 0 || logarithmic || from == to) return;
  const bool upper = curve.XAxis == 2;
  if (!upper && curve.CurveNumber > 1) return;
  if (upper && TopAxisDrawn) return;
  SetPlotPen(1, axes_.FrameColor);
  const int32_t m = Scaled(axes_.MinorTickSize);
  const int32_t n = std::abs(count);
  const bool x2 = X2ScaleExists();
  for (int32_t j = 1; j <= n; ++j) {
    const int32_t p = from + j * (to - from) / (n + 1);
    if (p < Frame.Left || p > Frame.Right) continue;
    if (count < 0) {
      XGridLine(p);
      SetPlotPen(1, axes_.FrameColor);
      continue;
    }
    if (p <= Frame.Left || p >= Frame.Right) continue;
    if (!upper) {
      Line(p, Frame.Bottom, p, Frame.Bottom - m);
      if (!x2) Line(p, Frame.Top, p, Frame.Top + m);
    } else {
      Line(p, Frame.Top, p, Frame.Top + m);
    }
  }
}

void TPlotPainter::MinorYTicks(int32_t from, int32_t to, int32_t count, bool allLeft, bool logarithmic,
                               const TPlotLineRecord& curve) {
  if (count == 0 || logarithmic || from == to) return;
  const bool right = curve.YAxis == 2;
  if (!right && curve.CurveNumber > 1) return;
  if (right && (RightAxisDrawn || YGridDrawn)) return;
  SetPlotPen(1, axes_.FrameColor);
  const int32_t m = Scaled(axes_.MinorTickSize);
  const int32_t n = std::abs(count);
  for (int32_t j = 1; j <= n; ++j) {
    const int32_t p = from + j * (to - from) / (n + 1);
    if (p <= Frame.Top || p >= Frame.Bottom) continue;
    if (count < 0) {
      YGridLine(p);
      SetPlotPen(1, axes_.FrameColor);
    } else if (!right) {
      Line(Frame.Left, p, Frame.Left + m, p);
      if (allLeft) Line(Frame.Right, p, Frame.Right - m, p);
    } else {
      Line(Frame.Right, p, Frame.Right - m, p);
    }
  }
}

void TPlotPainter::DrawXAxis(const TPlotLineRecord& curve) {
  const bool upper = curve.XAxis == 2;
  const int32_t a = upper ? 0 : 1;
  SelectAxisFont(a, axes_.LabelSize[a]);
  SetTextAlignment(1, 3);
  LastNumberX = -1000;
  previousPixel_[1] = Frame.Left;
  int32_t off = static_cast<int32_t>(Nearest(1.2L * canvas_.TextHeight("TEST")));
  if (axes_.MajorTickSize < 0) off += std::abs(Scaled(axes_.MajorTickSize / 2.0));
  const int32_t t = Scaled(axes_.MajorTickSize);
  const bool x2 = X2ScaleExists();
  Extended previous = curve.XMin;
  for (int32_t i = 1;; ++i) {
    const TPlotTick tick = NextTick(1, i, previous);
    if (tick.Empty) break;
    const int32_t px = tick.Pixel;
    const bool inside = px >= Frame.Left && px <= Frame.Right;
    if (tick.LabelWanted && inside) {
      if (!upper)
        DrawAxisNumber(1, px, Frame.Bottom + (8 * off) / 7, tick.Label);
      else
        DrawAxisNumber(0, px, Frame.Top + Scaled(axes_.X2LabelOffset) - (2 * off) / 7, tick.Label);
    }
    if ((!curve.XGrid || axes_.MajorTickSize < 0) && inside) {
      SetPlotPen(1, axes_.FrameColor);
      if (!upper) {
        Line(px, Frame.Bottom, px, Frame.Bottom - t);
        if (!x2) Line(px, Frame.Top, px, Frame.Top + t);
      } else {
        Line(px, Frame.Top, px, Frame.Top + t);
      }
    }
    if (curve.XGrid) XGridLine(px);
    previous = tick.Value;
    MinorXTicks(previousPixel_[1], px, curve.XMinorTicks, curve.XLog, curve);
    previousPixel_[1] = px;
    if (tick.Done) break;
  }
}

void TPlotPainter::DrawYAxis(const TPlotLineRecord& curve) {
  bool allLeft = true;
  if (axes_.FirstCurve != nullptr)
    for (const TPlotLineRecord* c = axes_.FirstCurve->Next; c != nullptr; c = c->Next)
      if (c->YAxis != 1) allLeft = false;
  LastNumberY = -1000;
  previousPixel_[2] = Frame.Bottom;
  int32_t xl = Frame.Left - Scaled(1);
  int32_t xr = Frame.Right + Scaled(3);
  if (axes_.MajorTickSize < 0) {
    xl += Scaled(axes_.MajorTickSize);
    xr -= Scaled(axes_.MajorTickSize);
  }
  const int32_t t = Scaled(axes_.MajorTickSize);
  const bool right = curve.YAxis == 2;
  Extended previous = curve.YMin;
  for (int32_t i = 1;; ++i) {
    const TPlotTick tick = NextTick(2, i, previous);
    if (tick.Empty) break;
    const int32_t py = tick.Pixel;
    const bool inside = py >= Frame.Top && py <= Frame.Bottom;
    if (tick.LabelWanted && inside) {
      if (!right && curve.CurveNumber == 1) {
        SelectAxisFont(2, axes_.LabelSize[2]);
        SetTextAlignment(1, 2);
        if (std::abs(py - LastNumberY) > 10) {
          LastNumberY = py;
          DrawAxisNumber(2, xl, static_cast<int32_t>(Nearest(py - scale_)), tick.Label);
        }
      } else if (right && !RightAxisDrawn) {
        SelectAxisFont(3, axes_.LabelSize[3]);
        SetTextAlignment(1, 2);
        if (std::abs(py - LastNumberY) >= 20 || DrawingExternal) {
          LastNumberY = py;
          DrawAxisNumber(3, xr + Scaled(axes_.Y2LabelOffset), static_cast<int32_t>(Nearest(py - scale_)),
                         tick.Label);
        }
      }
    }
    if (inside) {
      SetPlotPen(1, axes_.FrameColor);
      if (!right && curve.CurveNumber == 1 && (!curve.YGrid || axes_.MajorTickSize < 0))
        Line(Frame.Left, py, Frame.Left + t, py);
      if (((right && !RightAxisDrawn) || allLeft) && !curve.YGrid && !YGridDrawn)
        Line(Frame.Right, py, Frame.Right - t, py);
      if (curve.YGrid && (curve.CurveNumber == 1 || (right && !RightAxisDrawn))) YGridLine(py);
      MinorYTicks(previousPixel_[2], py, curve.YMinorTicks, allLeft, curve.YLog, curve);
    }
    previousPixel_[2] = py;
    previous = tick.Value;
    if (tick.Done) break;
  }
}

void TPlotPainter::DrawFrameBox() {
  SetPlotPen(axes_.ThickBorder ? 3 : 1, axes_.FrameColor);
  const int32_t l = Frame.Left, r = Frame.Right, b = Frame.Bottom, t = Frame.Top;
  canvas_.MoveTo(l, b);
  canvas_.LineTo(r, b);
  canvas_.LineTo(r, t);
  canvas_.MoveTo(l, b);
  canvas_.LineTo(l, t);
  canvas_.LineTo(r, t);
}

void TPlotPainter::DrawZeroLines(const TPlotLineRecord& curve) {
  if (curve.XZeroLine != 0) {
    const int32_t x0 = MapToPixel(1, 0);
    if (x0 >= Frame.Left && x0 <= Frame.Right) Line(x0, MapToPixel(2, curve.YMin), x0, MapToPixel(2, curve.YMax));
  }
  if (curve.YZeroLine != 0) {
    const int32_t y0 = MapToPixel(2, 0);
    if (y0 >= Frame.Top && y0 <= Frame.Bottom) Line(MapToPixel(1, curve.XMin), y0, MapToPixel(1, curve.XMax), y0);
  }
}

void TPlotPainter::DrawCurveWithAxes(const TPlotLineRecord& curve) {
  curve_ = &curve;
  if (curve.XLog) LogDecades[1] = static_cast<int32_t>(Nearest(DecimalLog(curve.XMax) - DecimalLog(curve.XMin)));
  if (curve.YLog) LogDecades[2] = static_cast<int32_t>(Nearest(DecimalLog(curve.YMax) - DecimalLog(curve.YMin)));
  if (curve.CurveNumber == 1 || (curve.XAxis == 2 && !TopAxisDrawn)) DrawXAxis(curve);
  DrawYAxis(curve);
  if (curve.YGrid) YGridDrawn = true;
  if (curve.YAxis == 2) RightAxisDrawn = true;
  // The curve's data, error bars and symbols are drawn here by the curve
  // painters; the frame box then lies over every curve's line.
  DrawFrameBox();
  SetPlotPen(1, CurrentColor);
  DrawZeroLines(curve);
}

void TPlotPainter::DisplayPlot() {
  if (axes_.FirstCurve == nullptr) return;
  if (axes_.FirstCurve->CurveKind == 7) return;
  TopAxisDrawn = RightAxisDrawn = YGridDrawn = false;
  const TRect frame{Frame.Left, Frame.Top, Frame.Right, Frame.Bottom};
  canvas_.FillRect(frame, kRgbWhite);
  DrawnExtent = frame;
  for (const TPlotLineRecord* c = axes_.FirstCurve; c != nullptr; c = c->Next) {
    DrawCurveWithAxes(*c);
    if (c->YAxis == 2) RightAxisDrawn = true;
    if (c->XAxis == 2) TopAxisDrawn = true;
  }
  curve_ = nullptr;
}

}  // namespace voq
