#include "model/display_fonts.h"

#include <iterator>

#include "model/document_settings.h"
#include "platform/host.h"

namespace voq {

std::array<TDisplayFontPair, kDisplayFontCount + 1> DisplayFonts{};
std::string EditorFontName;
int32_t EditorFontPoints = 0;
int32_t ScreenCharWidth = 0;
int32_t ScreenLineHeight = 0;

namespace {

constexpr const char* kFaces[] = {"MS Sans Serif",      "Arial",             "Times New Roman", "Courier New",
                                  "MS LineDraw",        "Century SchoolBook", "Bookman Old Style", "System"};
constexpr int32_t kPoints[] = {10, 8, 10, 12, 14, 18, 24};
constexpr int32_t kNormalWeight = 400;
constexpr int32_t kBoldWeight = 700;

}  // namespace

std::string DisplayFontFace(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(std::size(kFaces))) index = 0;
  return kFaces[index];
}

int32_t DisplayFontPoints(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(std::size(kPoints))) index = 0;
  return kPoints[index];
}

void DeleteDisplayFonts() {
  FontFactory& fonts = Fonts();
  for (TDisplayFontPair& pair : DisplayFonts) {
    if (pair.Screen != 0) fonts.DeleteFont(pair.Screen);
    pair.Screen = 0;
  }
}

void CreateDisplayFonts() {
  DeleteDisplayFonts();
  FontFactory& fonts = Fonts();
  EditorFontName = DisplayFontFace(Preferences.DisplayFont);
  EditorFontPoints = DisplayFontPoints(Preferences.DisplayFontSize);

  TFontRequest base;
  base.Face = EditorFontName;
  base.Points = EditorFontPoints;
  // A negative height asks for that character height in pixels.
  base.Height = -(EditorFontPoints * fonts.ScreenPixelsPerInch() / 72);
  base.Weight = kNormalWeight;

  TFontRequest bold = base;
  bold.Weight = kBoldWeight;
  TFontRequest italic = base;
  italic.Italic = true;
  TFontRequest smaller = base;
  smaller.Height = base.Height + 2;
  TFontRequest symbolLarger = base;
  symbolLarger.Face = "Symbol";
  symbolLarger.Height = base.Height - 1;
  TFontRequest symbolSmaller = base;
  symbolSmaller.Face = "Symbol";
  symbolSmaller.Height = base.Height + 2;

  const TFontRequest requests[kDisplayFontCount] = {base, bold, italic, smaller, symbolLarger, symbolSmaller};
  for (int k = 0; k < kDisplayFontCount; ++k) DisplayFonts[k + 1].Screen = fonts.CreateScreenFont(requests[k]);
  MeasureEditorFont();
}

void MeasureEditorFont() {
  // The font was made at the screen's pixels per inch (CreateDisplayFonts),
  // so its metrics are screen pixels already: scaling them by the screen's
  // pixels per inch over 96 again would double the cell at 192 pixels per
  // inch.
  const TFontMetrics m = Fonts().Metrics(DisplayFonts[1].Screen);
  ScreenCharWidth = m.AverageCharWidth;
  ScreenLineHeight = m.Height + m.ExternalLeading + m.InternalLeading;
}

}  // namespace voq
