#pragma once
// The canvas of the desktop program: draws on a QPainter (a window, an
// image or a printer page). Windows face names reach installed faces
// through Qt's font substitution (InstallFontSubstitutions); the Symbol
// face's codes are drawn from a Unicode face through SymbolToUnicode;
// other texts are Windows-1252 and become UTF-8 only here.
#include <QFont>
#include <QString>
#include <string>

#include "output/canvas.h"
#include "platform/qt/qt_platform.h"

class QPainter;

namespace voq {

class QtCanvas : public Canvas {
 public:
  // The painter must outlive the canvas.
  explicit QtCanvas(QPainter& painter);

  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  int32_t TextWidth(const std::string& text) override;
  int32_t TextHeight(const std::string& text) override;
  void LineTo(int32_t x, int32_t y) override;
  void FillRect(const TRect& rect, TRgb colour) override;
  void FrameRect(const TRect& rect, TRgb colour) override;
  void FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) override;
  void FillEllipse(const TRect& rect, TRgb colour) override;

  // The QFont a canvas font becomes (its Height is the pixel size).
  static QFont ToQFont(const TCanvasFont& font);
  // The text as the font's face reads its bytes.
  static QString ToQString(const TCanvasFont& font, const std::string& text);

 private:
  QPainter& painter_;
};

}  // namespace voq
