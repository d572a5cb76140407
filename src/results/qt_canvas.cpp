#include "results/qt_canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QStringList>
#include <algorithm>

#include "output/symbol_font.h"
#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

QColor ToQColor(TRgb c) { return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)), static_cast<int>(BlueOf(c))); }

// Windows rectangles leave out their right and bottom edges.
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, std::max(0, r.Right - r.Left), std::max(0, r.Bottom - r.Top)); }

Qt::PenStyle ToQtPenStyle(TPenStyle style) {
  switch (style) {
    case TPenStyle::Dash: return Qt::DashLine;
    case TPenStyle::Dot: return Qt::DotLine;
    case TPenStyle::None: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) { InstallFontSubstitutions(); }

QFont QtCanvas::ToQFont(const TCanvasFont& font) {
  // The Symbol face's codes are mapped to Unicode, so a Unicode face draws
  // them, never a font of that name with its own encoding.
  QFont q(IsSymbolFace(font) ? SymbolUnicodeFamily() : QString::fromStdString(Cp1252ToUtf8(font.Face)));
  q.setPixelSize(std::max(1, font.Height));
  q.setBold(font.Bold);
  q.setItalic(font.Italic);
  q.setUnderline(font.Underline);
  return q;
}

QString QtCanvas::ToQString(const TCanvasFont& font, const std::string& text) {
  if (IsSymbolFace(font)) return QString::fromUtf8(SymbolTextToUtf8(text).c_str());
  return QString::fromUtf8(Cp1252ToUtf8(text).c_str());
}

void QtCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  const QFont font = ToQFont(Font());
  const QFontMetrics metrics(font);
  const QString s = ToQString(Font(), text);
  painter_.save();
  painter_.setFont(font);
  painter_.translate(x, y);
  if (Font().Escapement != 0) painter_.rotate(-Font().Escapement / 10.0);
  if (!TransparentText()) {
    painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(s), metrics.height()), ToQColor(BackgroundColor()));
  }
  painter_.setPen(ToQColor(TextColor()));
  painter_.drawText(0, metrics.ascent(), s);
  painter_.restore();
}

int32_t QtCanvas::TextWidth(const std::string& text) {
  return QFontMetrics(ToQFont(Font())).horizontalAdvance(ToQString(Font(), text));
}

int32_t QtCanvas::TextHeight(const std::string& /*text*/) { return QFontMetrics(ToQFont(Font())).height(); }

void QtCanvas::LineTo(int32_t x, int32_t y) {
  painter_.save();
  QPen pen(ToQColor(PenColor()));
  pen.setWidth(PenWidth());
  pen.setStyle(ToQtPenStyle(PenStyle()));
  painter_.setPen(pen);
  painter_.drawLine(Position().X, Position().Y, x, y);
  painter_.restore();
  SetPosition(x, y);
}

void QtCanvas::FillRect(const TRect& rect, TRgb colour) { painter_.fillRect(ToQRect(rect), ToQColor(colour)); }

void QtCanvas::FrameRect(const TRect& rect, TRgb colour) {
  painter_.save();
  painter_.setPen(ToQColor(colour));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(ToQRect(rect).adjusted(0, 0, -1, -1));
  painter_.restore();
}

void QtCanvas::FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) {
  QPolygon polygon;
  for (const TCanvasPoint& p : points) polygon << QPoint(p.X, p.Y);
  painter_.save();
  painter_.setPen(ToQColor(colour));
  painter_.setBrush(ToQColor(colour));
  painter_.drawPolygon(polygon);
  painter_.restore();
}

void QtCanvas::FillEllipse(const TRect& rect, TRgb colour) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(colour));
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.drawEllipse(ToQRect(rect));
  painter_.restore();
}

}  // namespace voq
