#pragma once
// Screen fonts as the engine asks for them. The engine describes a font by
// face, pixel height and style and keeps an opaque handle; the host makes
// the real font (the application: a QFont, with a substitute where a face is
// missing) and reports its metrics in screen pixels. A host without a screen
// (voq-solve, tests) installs FixedMetricsFontFactory, which hands out
// handles and answers with fixed metrics; RecordingFontFactory also keeps
// every request, for tests.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace voq {

// An opaque font handle; 0 is no font.
using FontHandle = int32_t;

// One screen font. Height is the character height in screen pixels given as
// a negative number (the point size times pixels per inch over 72); Points is
// the size it came from.
struct TFontRequest {
  std::string Face;
  int32_t Points = 0;
  int32_t Height = 0;
  int32_t Weight = 400;  // 400 normal, 700 bold
  bool Italic = false;
};

// What a made font measures on the screen, in pixels.
struct TFontMetrics {
  int32_t Height = 0;            // ascent plus descent
  int32_t AverageCharWidth = 0;
  int32_t ExternalLeading = 0;
  int32_t InternalLeading = 0;
};

class FontFactory {
 public:
  virtual ~FontFactory() = default;
  // The screen's logical pixels per inch.
  virtual int32_t ScreenPixelsPerInch() = 0;
  // A new font; 0 when it cannot be made.
  virtual FontHandle CreateScreenFont(const TFontRequest& request) = 0;
  // Frees a font this factory made; other handles are ignored.
  virtual void DeleteFont(FontHandle font) = 0;
  // The metrics of a font this factory made; zeros for other handles.
  virtual TFontMetrics Metrics(FontHandle font) = 0;
};

// Fonts without a screen: every font measures Metrics (a 96 pixels per inch
// 10-point face unless changed).
class FixedMetricsFontFactory : public FontFactory {
 public:
  int32_t ScreenPixelsPerInch() override { return PixelsPerInch; }
  FontHandle CreateScreenFont(const TFontRequest& request) override;
  void DeleteFont(FontHandle font) override;
  TFontMetrics Metrics(FontHandle font) override;
  // Fonts made and not yet deleted.
  size_t LiveFonts() const { return live_.size(); }
  const TFontRequest* Request(FontHandle font) const;

  int32_t PixelsPerInch = 96;
  TFontMetrics FixedMetrics{16, 7, 0, 3};

 private:
  std::map<FontHandle, TFontRequest> live_;
  FontHandle next_ = 0;
};

// The fixed factory that also records every request and deletion in order.
class RecordingFontFactory : public FixedMetricsFontFactory {
 public:
  FontHandle CreateScreenFont(const TFontRequest& request) override;
  void DeleteFont(FontHandle font) override;
  std::vector<TFontRequest> Requests;
  std::vector<FontHandle> Deleted;
};

}  // namespace voq
