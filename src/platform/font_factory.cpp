#include "platform/font_factory.h"

namespace voq {

FontHandle FixedMetricsFontFactory::CreateScreenFont(const TFontRequest& request) {
  // Handles are never reused, so a stale handle cannot name a newer font.
  if (next_ == INT32_MAX) return 0;
  const FontHandle font = ++next_;
  live_[font] = request;
  return font;
}

void FixedMetricsFontFactory::DeleteFont(FontHandle font) { live_.erase(font); }

TFontMetrics FixedMetricsFontFactory::Metrics(FontHandle font) {
  return live_.count(font) != 0 ? FixedMetrics : TFontMetrics{};
}

const TFontRequest* FixedMetricsFontFactory::Request(FontHandle font) const {
  auto it = live_.find(font);
  return it == live_.end() ? nullptr : &it->second;
}

FontHandle RecordingFontFactory::CreateScreenFont(const TFontRequest& request) {
  Requests.push_back(request);
  return FixedMetricsFontFactory::CreateScreenFont(request);
}

void RecordingFontFactory::DeleteFont(FontHandle font) {
  Deleted.push_back(font);
  FixedMetricsFontFactory::DeleteFont(font);
}

}  // namespace voq
