#include "shell/preferences_fields.h"

#include <algorithm>
#include <cmath>

#include "core/locale_settings.h"
#include "core/number_text.h"

namespace voq {

namespace {

constexpr Extended kCentimetresPerInch = 2.54L;
// A plot unit is 7/8 of a screen pixel at the screen's density.
constexpr Extended kPlotUnitsPerPixel = 0.875L;

int32_t Density(int32_t pixelsPerInch) { return pixelsPerInch > 0 ? pixelsPerInch : 96; }

Extended Inches(Extended length, bool siUnits) { return siUnits ? length / kCentimetresPerInch : length; }
Extended InUnit(Extended inches, bool siUnits) { return siUnits ? inches * kCentimetresPerInch : inches; }

std::string Trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
  while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
  return text.substr(first, last - first);
}

}  // namespace

const char* LengthUnitLabel(bool siUnits) { return siUnits ? "cm" : "in"; }

int32_t PlotUnitsOfLength(Extended length, bool siUnits, int32_t pixelsPerInch) {
  if (std::isnan(length)) return 0;
  const Extended units = Density(pixelsPerInch) * kPlotUnitsPerPixel * Inches(length, siUnits);
  return static_cast<int32_t>(RoundReal(std::clamp<Extended>(units, -1E9L, 1E9L)));
}

Extended LengthOfPlotUnits(int32_t units, bool siUnits, int32_t pixelsPerInch) {
  return InUnit(units / (Density(pixelsPerInch) * kPlotUnitsPerPixel), siUnits);
}

std::string LengthText(Extended length) {
  std::string text = Trimmed(FixedConversion(length, 2));
  if (DecimalSeparator != '.') std::replace(text.begin(), text.end(), '.', DecimalSeparator);
  return text;
}

bool ReadLengthText(const std::string& text, Extended& value) {
  Extended read = 0;
  if (!TryStrToReal(Trimmed(text), read) || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool ReadPlotLength(const std::string& text, bool siUnits, int32_t pixelsPerInch, int32_t& units) {
  Extended length = 0;
  if (!ReadLengthText(text, length)) return false;
  const int32_t read = PlotUnitsOfLength(length, siUnits, pixelsPerInch);
  if (read < kPlotUnitsRange.Low || read > kPlotUnitsRange.High) return false;
  units = read;
  return true;
}

int32_t StepPlotUnits(int32_t units, int32_t steps) {
  return ClampToRange(static_cast<int32_t>(std::clamp<int64_t>(int64_t(units) + steps, INT32_MIN, INT32_MAX)),
                      kPlotUnitsRange);
}

int32_t DefaultTabWidth(bool siUnits, int32_t pixelsPerInch) {
  // 1900 and 1920 at 96 pixels per inch: 0.5 cm (to two decimals) and 0.2 in.
  return (siUnits ? 1900 : 1920) * Density(pixelsPerInch) / 96;
}

Extended TabWidthShown(int32_t stored, bool siUnits, int32_t pixelsPerInch) {
  if (stored <= 0) stored = DefaultTabWidth(siUnits, pixelsPerInch);
  return InUnit(stored / (100.0L * Density(pixelsPerInch)), siUnits);
}

bool ReadTabWidth(const std::string& text, bool siUnits, int32_t pixelsPerInch, int16_t& stored) {
  Extended width = 0;
  if (!ReadLengthText(text, width)) return false;
  // The shown value has two decimals; compare with the floor at that grain.
  if (RoundReal(width * 100) < RoundReal(kTabWidthFloor * 100)) return false;
  const Extended value = RoundReal(Inches(width, siUnits) * 100 * Density(pixelsPerInch));
  if (value > INT16_MAX) return false;
  stored = static_cast<int16_t>(value);
  return true;
}

Extended StepTabWidth(Extended shown, int32_t steps) {
  // Tenths as whole numbers, so repeated steps do not drift.
  const Extended tenths = RoundReal(std::clamp<Extended>(shown, -1E6L, 1E6L) * 10) + steps;
  return std::max<Extended>(tenths, 1) / 10;
}

bool ReadAxisFontSize(const std::string& text, int32_t& size) {
  const std::string s = Trimmed(text);
  if (s.empty() || s.size() > 9) return false;
  int32_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < kAxisFontSizeRange.Low || value > kAxisFontSizeRange.High) return false;
  size = value;
  return true;
}

int32_t ClampToRange(int32_t value, const TSpinRange& range) { return std::clamp(value, range.Low, range.High); }

std::string ResolutionText(int32_t index) {
  static const char* const texts[] = {"Default", "100 dpi", "300 dpi", "600 dpi", "1200 dpi"};
  return texts[ClampToRange(index, kResolutionRange)];
}

TAutosaveField AutosaveFieldOf(int32_t storedMinutes) {
  TAutosaveField field;
  field.Minutes = storedMinutes < kAutosaveRange.Low || storedMinutes > kAutosaveRange.High ? 0 : storedMinutes;
  field.Ticked = field.Minutes > 0;
  return field;
}

int16_t AutosaveMinutesOf(const TAutosaveField& field) {
  if (!field.Ticked) return 0;
  return static_cast<int16_t>(ClampToRange(field.Minutes, kAutosaveRange));
}

uint8_t SpeedBarHiddenOf(bool displayed) { return displayed ? 0 : 1; }

int16_t RecentFileCountOf(bool ticked) { return ticked ? 8 : 0; }

}  // namespace voq
