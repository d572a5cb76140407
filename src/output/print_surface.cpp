#include "output/print_surface.h"

#include <algorithm>
#include <cstdlib>

namespace voq {

bool RecordingPrintSurface::StartDocument(const std::string& title, int32_t copies) {
  if (!Usable) return false;
  Title = title;
  Copies = copies;
  ++Started;
  return true;
}

void RecordingPrintSurface::NewSheet() { ++Sheet; }

FontHandle RecordingPrintSurface::CreatePrinterFont(const TPrinterFontRequest& request) {
  fonts_[++next_] = request;
  return next_;
}

void RecordingPrintSurface::DeletePrinterFont(FontHandle font) {
  fonts_.erase(font);
  if (Selected == font) Selected = 0;
}

FontHandle RecordingPrintSurface::SelectFont(FontHandle font) {
  const FontHandle previous = Selected;
  Selected = font;
  return previous;
}

TPrinterTextMetrics RecordingPrintSurface::TextMetrics() {
  TPrinterTextMetrics metrics;
  const auto it = fonts_.find(Selected);
  // Without a font the device's own is 9 points at 300 dots per inch.
  metrics.Height = it == fonts_.end() ? 38 : std::abs(it->second.Height);
  metrics.AverageCharWidth = CharWidth();
  return metrics;
}

uint32_t RecordingPrintSurface::SetTextColor(uint32_t rgb) {
  const uint32_t previous = Color;
  Color = rgb;
  return previous;
}

int32_t RecordingPrintSurface::CharWidth() {
  const auto it = fonts_.find(Selected);
  const int32_t height = it == fonts_.end() ? 38 : std::abs(it->second.Height);
  return std::max(height / 2, 1);
}

int32_t RecordingPrintSurface::TextWidth(const std::string& text) {
  return static_cast<int32_t>(text.size()) * CharWidth();
}

void RecordingPrintSurface::DrawText(int32_t x, int32_t y, const std::string& text) {
  const auto it = fonts_.find(Selected);
  Texts.push_back({Sheet, x, y, text, it == fonts_.end() ? TPrinterFontRequest{} : it->second, Color});
}

void RecordingPrintSurface::FillWhite(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ++Erased;
  // Every line drawn within the rectangle's height on this sheet is gone
  // (erasing always covers the whole width of the page).
  Texts.erase(std::remove_if(Texts.begin(), Texts.end(),
                             [&](const TDrawnText& t) {
                               (void)left;
                               (void)right;
                               return t.Sheet == Sheet && t.Y >= top && t.Y < bottom;
                             }),
              Texts.end());
}

bool RecordingPrintSurface::CreatePageBitmap(int32_t /*width*/, int32_t /*height*/, bool /*colour*/) {
  return BitmapPossible;
}

std::vector<RecordingPrintSurface::TDrawnText> RecordingPrintSurface::SheetTexts(int32_t sheet) const {
  std::vector<TDrawnText> result;
  for (const TDrawnText& t : Texts) {
    if (t.Sheet == sheet) result.push_back(t);
  }
  return result;
}

}  // namespace voq
