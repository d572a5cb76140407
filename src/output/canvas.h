#pragma once
// The drawing surface of the result windows, plots, tables, the diagram
// and printed pages. The engine draws through it and never sees the
// toolkit: the application's canvas paints with QPainter (results/
// qt_canvas.h), RecordingCanvas keeps every operation with fixed-width
// metrics for tests.
//
// Texts are bytes: Windows-1252, or Symbol-font codes while a font whose
// face is "Symbol" is selected (the canvas maps those through
// SymbolToUnicode). A text is placed by the top left corner of its cell.
#include <cstdint>
#include <string>
#include <vector>

#include "output/palette.h"

namespace voq {

// A font as the windows ask for it: a face of the Windows family names
// ("Arial", "Symbol", "MS Sans Serif" ...), the character cell height in
// pixels and the style.
struct TCanvasFont {
  std::string Face = "Arial";
  int32_t Height = 16;       // cell height in pixels, positive
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int32_t Escapement = 0;    // text direction, tenths of a degree counter-clockwise
  bool operator==(const TCanvasFont&) const = default;
};

// True for the face whose codes are Symbol-font codes.
bool IsSymbolFace(const TCanvasFont& font);

enum class TPenStyle : int32_t { Solid = 0, Dash = 1, Dot = 2, None = 3 };

struct TCanvasPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TCanvasPoint&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // --- State: kept here, read by the drawing operations ---
  void SetFont(const TCanvasFont& font) { font_ = font; }
  const TCanvasFont& Font() const { return font_; }
  void SetTextColor(TRgb colour) { textColor_ = colour; }
  TRgb TextColor() const { return textColor_; }
  // The background behind text: transparent (the default) or opaque in
  // BackgroundColor.
  void SetBackgroundColor(TRgb colour) { backColor_ = colour; }
  TRgb BackgroundColor() const { return backColor_; }
  void SetTransparentText(bool transparent) { transparentText_ = transparent; }
  bool TransparentText() const { return transparentText_; }
  void SetPen(TRgb colour, int32_t width, TPenStyle style = TPenStyle::Solid) {
    penColor_ = colour;
    penWidth_ = width < 1 ? 1 : width;
    penStyle_ = style;
  }
  TRgb PenColor() const { return penColor_; }
  int32_t PenWidth() const { return penWidth_; }
  TPenStyle PenStyle() const { return penStyle_; }
  void MoveTo(int32_t x, int32_t y) { position_ = TCanvasPoint{x, y}; }
  TCanvasPoint Position() const { return position_; }

  // --- Drawing and measuring in the current state ---
  virtual void TextOut(int32_t x, int32_t y, const std::string& text) = 0;
  virtual int32_t TextWidth(const std::string& text) = 0;
  virtual int32_t TextHeight(const std::string& text) = 0;
  // A line in the pen from the current position to (x, y), which becomes
  // the current position.
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual void FillRect(const TRect& rect, TRgb colour) = 0;
  // The outline of rect, one pixel wide.
  virtual void FrameRect(const TRect& rect, TRgb colour) = 0;
  virtual void FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) = 0;
  virtual void FillEllipse(const TRect& rect, TRgb colour) = 0;

 protected:
  void SetPosition(int32_t x, int32_t y) { position_ = TCanvasPoint{x, y}; }

 private:
  TCanvasFont font_;
  TRgb textColor_ = kRgbBlack;
  TRgb backColor_ = kRgbWhite;
  bool transparentText_ = true;
  TRgb penColor_ = kRgbBlack;
  int32_t penWidth_ = 1;
  TPenStyle penStyle_ = TPenStyle::Solid;
  TCanvasPoint position_;
};

// One recorded operation.
struct TCanvasOperation {
  enum Kind : int32_t { kTextOut, kLine, kFillRect, kFrameRect, kPolygon, kEllipse };
  Kind Operation = kTextOut;
  int32_t X = 0;    // text: the cell's left; line: start; shapes: left
  int32_t Y = 0;
  int32_t X2 = 0;   // line: end; shapes: right and bottom
  int32_t Y2 = 0;
  std::string Text;
  TCanvasFont Font;
  TRgb Colour = kRgbBlack;  // text colour, pen colour or fill colour
  bool Transparent = true;  // text: no background behind it
  TRgb Background = kRgbWhite;
  int32_t PenWidth = 1;
  std::vector<TCanvasPoint> Points;
};

// A canvas that draws nothing and keeps every operation. Every character is
// CharWidth(font) pixels wide: half the cell height, rounded up; a text is
// the cell height high.
class RecordingCanvas : public Canvas {
 public:
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  int32_t TextWidth(const std::string& text) override;
  int32_t TextHeight(const std::string& text) override;
  void LineTo(int32_t x, int32_t y) override;
  void FillRect(const TRect& rect, TRgb colour) override;
  void FrameRect(const TRect& rect, TRgb colour) override;
  void FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) override;
  void FillEllipse(const TRect& rect, TRgb colour) override;

  static int32_t CharWidth(const TCanvasFont& font);
  // The texts drawn, in order.
  std::vector<const TCanvasOperation*> Texts() const;
  // All recorded texts joined, for quick checks.
  std::string AllText() const;

  std::vector<TCanvasOperation> Operations;
};

}  // namespace voq
