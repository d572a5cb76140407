#include "output/canvas.h"

namespace voq {

bool IsSymbolFace(const TCanvasFont& font) {
  if (font.Face.size() != 6) return false;
  static const char kSymbol[] = "symbol";
  for (size_t i = 0; i < 6; ++i) {
    const char c = font.Face[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kSymbol[i]) return false;
  }
  return true;
}

int32_t RecordingCanvas::CharWidth(const TCanvasFont& font) {
  const int32_t h = font.Height < 1 ? 1 : font.Height;
  return (h + 1) / 2;
}

void RecordingCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  TCanvasOperation op;
  op.Operation = TCanvasOperation::kTextOut;
  op.X = x;
  op.Y = y;
  op.X2 = x + TextWidth(text);
  op.Y2 = y + TextHeight(text);
  op.Text = text;
  op.Font = Font();
  op.Colour = TextColor();
  op.Transparent = TransparentText();
  op.Background = BackgroundColor();
  Operations.push_back(std::move(op));
}

int32_t RecordingCanvas::TextWidth(const std::string& text) {
  return static_cast<int32_t>(text.size()) * CharWidth(Font());
}

int32_t RecordingCanvas::TextHeight(const std::string& /*text*/) {
  return Font().Height < 1 ? 1 : Font().Height;
}

void RecordingCanvas::LineTo(int32_t x, int32_t y) {
  TCanvasOperation op;
  op.Operation = TCanvasOperation::kLine;
  op.X = Position().X;
  op.Y = Position().Y;
  op.X2 = x;
  op.Y2 = y;
  op.Colour = PenColor();
  op.PenWidth = PenWidth();
  Operations.push_back(std::move(op));
  SetPosition(x, y);
}

void RecordingCanvas::FillRect(const TRect& rect, TRgb colour) {
  TCanvasOperation op;
  op.Operation = TCanvasOperation::kFillRect;
  op.X = rect.Left;
  op.Y = rect.Top;
  op.X2 = rect.Right;
  op.Y2 = rect.Bottom;
  op.Colour = colour;
  Operations.push_back(std::move(op));
}

void RecordingCanvas::FrameRect(const TRect& rect, TRgb colour) {
  FillRect(rect, colour);
  Operations.back().Operation = TCanvasOperation::kFrameRect;
}

void RecordingCanvas::FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) {
  TCanvasOperation op;
  op.Operation = TCanvasOperation::kPolygon;
  op.Points = points;
  op.Colour = colour;
  Operations.push_back(std::move(op));
}

void RecordingCanvas::FillEllipse(const TRect& rect, TRgb colour) {
  FillRect(rect, colour);
  Operations.back().Operation = TCanvasOperation::kEllipse;
}

std::vector<const TCanvasOperation*> RecordingCanvas::Texts() const {
  std::vector<const TCanvasOperation*> texts;
  for (const TCanvasOperation& op : Operations) {
    if (op.Operation == TCanvasOperation::kTextOut) texts.push_back(&op);
  }
  return texts;
}

std::string RecordingCanvas::AllText() const {
  std::string all;
  for (const TCanvasOperation& op : Operations) {
    if (op.Operation == TCanvasOperation::kTextOut) all += op.Text;
  }
  return all;
}

}  // namespace voq
