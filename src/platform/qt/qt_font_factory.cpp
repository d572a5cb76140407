#include "platform/qt/qt_font_factory.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

bool IsSymbol(const std::string& face) {
  std::string upper;
  for (char c : face) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == "SYMBOL";
}

}  // namespace

QFont QFontOfRequest(const TFontRequest& request) {
  InstallFontSubstitutions();
  QFont font(IsSymbol(request.Face) ? SymbolUnicodeFamily() : QString::fromStdString(Cp1252ToUtf8(request.Face)));
  if (request.Height < 0) {
    // The character height: the cell less the internal leading, which Qt's
    // pixel size is.
    font.setPixelSize(std::max(1, -request.Height));
  } else if (request.Height > 0) {
    // The cell height: the pixel size whose ascent plus descent fills it.
    font.setPixelSize(std::max(1, request.Height));
    const int cell = QFontMetrics(font).height();
    if (cell > request.Height) {
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(double(request.Height) * request.Height / cell))));
    }
  } else {
    const int points = request.Points > 0 ? request.Points : 10;
    font.setPixelSize(std::max(1, points * 96 / 72));
  }
  font.setWeight(request.Weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(request.Italic);
  return font;
}

QtFontFactory::QtFontFactory() { InstallFontSubstitutions(); }

int32_t QtFontFactory::ScreenPixelsPerInch() {
  if (pixelsPerInch_ > 0) return pixelsPerInch_;
  // Widgets draw in logical pixels; the window system scales them for the
  // device.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    if (dpi > 0) return dpi;
  }
  return 96;
}

FontHandle QtFontFactory::CreateScreenFont(const TFontRequest& request) {
  const FontHandle handle = ++next_;
  live_[handle] = QFontOfRequest(request);
  return handle;
}

void QtFontFactory::DeleteFont(FontHandle font) { live_.erase(font); }

QFont QtFontFactory::Font(FontHandle font) const {
  auto it = live_.find(font);
  return it == live_.end() ? QFont() : it->second;
}

TFontMetrics QtFontFactory::Metrics(FontHandle font) {
  auto it = live_.find(font);
  if (it == live_.end()) return {};
  const QFontMetrics m(it->second);
  TFontMetrics out;
  out.Height = m.ascent() + m.descent();
  out.AverageCharWidth = m.averageCharWidth();
  out.ExternalLeading = std::max(0, m.leading());
  // The cell above the characters' own height.
  out.InternalLeading = std::max(0, out.Height - it->second.pixelSize());
  return out;
}

}  // namespace voq
