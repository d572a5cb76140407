#pragma once
// The screen fonts of the desktop program: real QFonts in the installed
// faces that stand for the Windows faces (InstallFontSubstitutions), measured
// by QFontMetrics, so the cell the result windows lay out in is the cell
// they draw in.
#include <QFont>
#include <map>

#include "platform/font_factory.h"

namespace voq {

class QtFontFactory : public FontFactory {
 public:
  QtFontFactory();
  // The primary screen's logical pixels per inch (96 without a screen, or
  // the value set for a test).
  int32_t ScreenPixelsPerInch() override;
  FontHandle CreateScreenFont(const TFontRequest& request) override;
  void DeleteFont(FontHandle font) override;
  TFontMetrics Metrics(FontHandle font) override;
  // The QFont behind a handle (a default font for other handles).
  QFont Font(FontHandle font) const;
  // A fixed pixels per inch instead of the screen's (0: the screen's).
  void SetPixelsPerInch(int32_t pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

 private:
  std::map<FontHandle, QFont> live_;
  FontHandle next_ = 0;
  int32_t pixelsPerInch_ = 0;
};

// The QFont of a font request: the face's stand-in (the Symbol face's codes
// drawn from a Unicode face), the pixel height (a negative request height
// is the character height, a positive one the cell height), weight and
// slant.
QFont QFontOfRequest(const TFontRequest& request);

}  // namespace voq
