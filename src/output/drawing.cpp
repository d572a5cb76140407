#include "output/drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace voq {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

bool StartsWithCapital(const std::string& text) { return !text.empty() && text[0] >= 'A' && text[0] <= 'Z'; }

}  // namespace

void DrawBarAccent(Canvas& canvas, const std::string& text, int32_t x, double scale, int32_t width, int32_t y) {
  const int32_t savedWidth = canvas.PenWidth();
  const TRgb savedColour = canvas.PenColor();
  canvas.SetPen(canvas.TextColor(), std::max(1, Round(scale / 2)));
  const int32_t minimum = Round(5 * scale);
  int32_t start = x;
  int32_t length = width;
  if (width < minimum) {
    start = x - std::max(1, (minimum - width) / 2);
    length = minimum;
  }
  const int32_t barY = StartsWithCapital(text) ? y : y + Round(scale);
  canvas.MoveTo(start, barY);
  canvas.LineTo(start + length, barY);
  canvas.SetPen(savedColour, savedWidth);
}

void DrawHatAccent(Canvas& canvas, const std::string& text, int32_t x, double scale, int32_t width, int32_t y) {
  const int32_t s = std::max(1, Round(scale));
  const int32_t savedWidth = canvas.PenWidth();
  const TRgb savedColour = canvas.PenColor();
  canvas.SetPen(canvas.TextColor(), std::max(1, Round(scale / 2)));
  const int32_t left = x + (width / s - 6) * s / 2;
  const int32_t base = StartsWithCapital(text) ? y : y + s;
  const int32_t rise = canvas.TextHeight(text) / 5;
  canvas.MoveTo(left, base);
  canvas.LineTo(left + 3 * s, base - rise);
  canvas.LineTo(left + 6 * s, base);
  canvas.SetPen(savedColour, savedWidth);
}

void MakeTextFont(Canvas& canvas, int32_t faceIndex, int32_t size, double scale, int32_t orientation,
                  int32_t angle, int32_t colourIndex, int32_t style, bool printing, bool printInColor) {
  TCanvasFont font;
  font.Height = std::max(1, Round(scale * size));
  font.Escapement = orientation == 1 ? 900 : orientation == 2 ? angle * 10 : 0;
  if (faceIndex == 8 || style == 8) {
    font.Face = "Symbol";
  } else {
    std::string face = "Arial";
    FontNameByIndex(faceIndex, face);
    font.Face = face;
    int16_t code = static_cast<int16_t>(style);
    UnpackTextStyle(code, font.Bold, font.Italic, font.Underline);
  }
  canvas.SetFont(font);
  if (printing) canvas.SetTransparentText(true);
  canvas.SetTextColor(printing && !printInColor ? kRgbBlack : PaletteColorRGB(colourIndex));
}

void DrawArrowLine(Canvas& canvas, TCanvasPoint from, TCanvasPoint to, int32_t size, TRgb colour,
                   int32_t style, double scale) {
  const double length = std::round(3.0 * size * scale);
  const double half = std::round(2.0 * size * scale) / 2.0;
  if (style == 3) {
    const int32_t r = Round(size * scale);
    canvas.FillEllipse(TRect{to.X - r, to.Y - r, to.X + r, to.Y + r}, colour);
    return;
  }
  if (style != 1 && style != 2 && style != 4) return;
  // Unit vector from the tip back along the line; a line of no length
  // points left to right.
  double dx = from.X - to.X;
  double dy = from.Y - to.Y;
  if (from.Y == to.Y) {
    dx = from.X <= to.X ? -1 : 1;
    dy = 0;
  } else if (from.X == to.X) {
    dx = 0;
    dy = from.Y < to.Y ? -1 : 1;
  } else {
    const double d = std::hypot(dx, dy);
    dx /= d;
    dy /= d;
  }
  const double backX = to.X + dx * length;
  const double backY = to.Y + dy * length;
  const TCanvasPoint left{Round(backX - dy * half), Round(backY + dx * half)};
  const TCanvasPoint right{Round(backX + dy * half), Round(backY - dx * half)};
  std::vector<TCanvasPoint> head{to, left};
  if (style == 4) head.push_back(TCanvasPoint{Round(to.X + dx * length * 0.7), Round(to.Y + dy * length * 0.7)});
  head.push_back(right);
  canvas.FillPolygon(head, style == 2 ? kRgbWhite : colour);
  if (style == 2) {
    // The white head keeps its outline in the colour.
    const TRgb savedColour = canvas.PenColor();
    const int32_t savedWidth = canvas.PenWidth();
    canvas.SetPen(colour, 1);
    canvas.MoveTo(to.X, to.Y);
    canvas.LineTo(left.X, left.Y);
    canvas.LineTo(right.X, right.Y);
    canvas.LineTo(to.X, to.Y);
    canvas.SetPen(savedColour, savedWidth);
  }
}

void DrawStyleSample(Canvas& canvas, int32_t lineStyle, const TRect& rect, bool showNone, int32_t itemState) {
  if (lineStyle > 0) {
    canvas.FillRect(rect, kRgbWhite);
    if (itemState == 17) canvas.FrameRect(rect, kRgbBlack);
  }
  if (lineStyle == 0) {
    if (showNone) {
      canvas.SetTextColor(kRgbBlack);
      canvas.TextOut(rect.Left + 10, rect.Top, "None");
    }
    return;
  }
  const int32_t y = (rect.Top + rect.Bottom) / 2;
  const int32_t from = rect.Left + 5;
  const int32_t to = rect.Right - 5;
  const int32_t width = (lineStyle == 3 || lineStyle == 5 || lineStyle == 6) ? 2 : 1;
  int32_t dash = 0;
  int32_t period = 0;
  if (lineStyle == 2 || lineStyle == 5) {
    dash = 5;
    period = 8;
  } else if (lineStyle == 4 || lineStyle == 6) {
    dash = 12;
    period = 16;
  }
  canvas.SetPen(kRgbBlack, width);
  if (period == 0) {
    canvas.MoveTo(from, y);
    canvas.LineTo(to, y);
    return;
  }
  for (int32_t x = from; x < to; x += period) {
    canvas.MoveTo(x, y);
    canvas.LineTo(std::min(x + dash, to), y);
  }
}

}  // namespace voq
