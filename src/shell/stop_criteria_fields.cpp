#include "shell/stop_criteria_fields.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

#include "core/number_format.h"
#include "core/number_text.h"
#include "documents/defaults_file.h"
#include "model/document_settings.h"

namespace voq {

namespace {

constexpr TDisplayFormat kToleranceFormat{kStyleExponential, 4};
constexpr TDisplayFormat kThresholdFormat{kStyleExponential, 0};

int32_t Clamp(int64_t n, const TSpinRange& range) {
  return static_cast<int32_t>(std::clamp<int64_t>(n, range.Low, range.High));
}

// The nearest whole number to 1/reciprocal, or whenZero for a reciprocal of
// 0. Far outside every spin range the count is only bounded, so that a
// tiny reciprocal cannot overflow the conversion.
int64_t NearestCount(Extended reciprocal, int64_t whenZero) {
  if (reciprocal == 0 || std::isnan(reciprocal)) return whenZero;
  const Extended count = std::clamp<Extended>(1 / reciprocal, -1E9L, 1E9L);
  return static_cast<int64_t>(RoundReal(count));
}

// A whole number as typed: blanks around it, an optional sign, digits; no
// fraction and nothing beyond the int32 range.
bool ReadWholeNumber(const std::string& text, int32_t& n) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  if (first < last && text[first] == '+') ++first;
  if (first == last) return false;
  int32_t value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return false;
  n = value;
  return true;
}

// A threshold replaces the old one only when it reads as a number above 0.
void ReadThreshold(const std::string& text, Extended& threshold) {
  Extended value = 0;
  if (TryStrToReal(text, value) && value > 0) threshold = value;
}

}  // namespace

TStopCritFields StopCritFieldsOf(const TStopCriteriaRecord& criteria, const TIntegrationSettings& integration) {
  TStopCritFields f;
  f.Iters = std::to_string(criteria.MaxIterations);
  f.Elapsed = std::to_string(criteria.MaxElapsedSeconds);
  f.RelResid = RealToStr(kToleranceFormat, criteria.RelativeResidualTolerance);
  f.ChgVars = RealToStr(kToleranceFormat, criteria.ChangeTolerance);

  f.FixedSteps = Clamp(std::max<int64_t>(NearestCount(std::fabs(integration.StepFraction), 2), 2), kFixedStepsRange);
  const int64_t minSteps = std::max<int64_t>(NearestCount(std::fabs(integration.MinStepsReciprocal), 5), 5);
  int64_t maxSteps = NearestCount(integration.MaxStepsReciprocal, minSteps);
  if (maxSteps < minSteps) maxSteps = 2 * minSteps;
  f.MinSteps = Clamp(minSteps, kMinStepsRange);
  f.MaxSteps = Clamp(maxSteps, kMaxStepsRange);
  f.Halve = FormatValue(kThresholdFormat, integration.ReduceThreshold);
  f.Double = FormatValue(kThresholdFormat, integration.IncreaseThreshold);
  f.Interval = Clamp(integration.CheckInterval, kIntervalRange);
  f.UseRichardson = integration.UseRichardson != 0;
  f.Fixed = integration.StepFraction > 0;
  return f;
}

int GetStopCritFields(const TStopCritFields& fields, TStopCriteriaRecord& criteria,
                      TIntegrationSettings& integration) {
  if (!ReadWholeNumber(fields.Iters, criteria.MaxIterations)) return kItersField;
  if (!TryStrToReal(fields.RelResid, criteria.RelativeResidualTolerance)) return kRelResidField;
  if (!TryStrToReal(fields.ChgVars, criteria.ChangeTolerance)) return kChgVarsField;
  if (!ReadWholeNumber(fields.Elapsed, criteria.MaxElapsedSeconds)) return kElapsedField;

  // The spin edits hold counts inside their ranges; a count of 0 cannot
  // reach a division here.
  const int32_t fixedSteps = Clamp(fields.FixedSteps, kFixedStepsRange);
  integration.StepFraction = 1.0L / fixedSteps;
  integration.UseRichardson = fields.UseRichardson ? 1 : 0;
  integration.CheckInterval = Clamp(fields.Interval, kIntervalRange);
  if (!fields.Fixed) {
    integration.StepFraction = -integration.StepFraction;
    integration.MinStepsReciprocal = 1.0L / Clamp(fields.MinSteps, kMinStepsRange);
    integration.MaxStepsReciprocal = 1.0L / Clamp(fields.MaxSteps, kMaxStepsRange);
    ReadThreshold(fields.Halve, integration.ReduceThreshold);
    ReadThreshold(fields.Double, integration.IncreaseThreshold);
  }
  return kNoBadField;
}

bool RichardsonAfterInterval(int32_t interval, bool ticked) { return interval == 1 && ticked; }

std::string StopCritMacroLine(const TStopCriteriaRecord& criteria) {
  // Two significant digits is the runtime's narrowest scientific form:
  // sign place, digit, point, digit, "E", exponent sign and four digits.
  return "StopCrit  It=" + std::to_string(criteria.MaxIterations) +
         "  Time=" + std::to_string(criteria.MaxElapsedSeconds) +
         "  Res=" + ExponentialConversion(criteria.RelativeResidualTolerance, 2) +
         "  Var=" + ExponentialConversion(criteria.ChangeTolerance, 2);
}

bool StoreStopCriteriaDefaults() {
  StoredStopCriteria = StopCriteria;
  TPreferencesRecord& p = StoredPreferences;
  p.IntegrationCheckInterval = static_cast<int16_t>(IntegrationSettings.CheckInterval);
  p.IntegrationMaxStepsReciprocal = IntegrationSettings.MaxStepsReciprocal;
  p.IntegrationMinStepsReciprocal = IntegrationSettings.MinStepsReciprocal;
  p.IntegrationReduceThreshold = IntegrationSettings.ReduceThreshold;
  p.IntegrationIncreaseThreshold = IntegrationSettings.IncreaseThreshold;
  p.IntegrationStepFraction = IntegrationSettings.StepFraction;
  p.IntegrationRichardson = IntegrationSettings.UseRichardson;
  std::ostringstream unused;
  return SaveDefaultsFile(false, unused);
}

}  // namespace voq
