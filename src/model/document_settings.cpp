#include "model/document_settings.h"

#include <cstring>

namespace voq {

TDocumentSettingsRecord DocumentSettings;
TDocumentSettingsRecord StoredDocumentSettings;
TPreferencesRecord Preferences;
TPreferencesRecord StoredPreferences;

void PackDocumentSettings(const TDocumentSettingsRecord& s, uint8_t* dst) {
  namespace o = document_settings_offsets;
  dst[o::UnitSystem] = s.UnitSystem;
  dst[o::MolarBasis] = s.MolarBasis;
  dst[o::AbsoluteTemperature] = s.AbsoluteTemperature;
  dst[o::PressureUnit] = s.PressureUnit;
  dst[o::AngleUnit] = s.AngleUnit;
  dst[o::EnergyUnit] = s.EnergyUnit;
  PackExtended(dst + o::AngleFactor, s.AngleFactor);
  std::memcpy(dst + o::Reserved, s.Reserved.data(), s.Reserved.size());
}

void UnpackDocumentSettings(const uint8_t* src, TDocumentSettingsRecord& s) {
  namespace o = document_settings_offsets;
  s.UnitSystem = src[o::UnitSystem];
  s.MolarBasis = src[o::MolarBasis];
  s.AbsoluteTemperature = src[o::AbsoluteTemperature];
  s.PressureUnit = src[o::PressureUnit];
  s.EnergyUnit = src[o::EnergyUnit];
  std::memcpy(s.Reserved.data(), src + o::Reserved, s.Reserved.size());
  SetAngleUnit(s, src[o::AngleUnit]);
}

void SetAngleUnit(TDocumentSettingsRecord& s, uint8_t angleUnit) {
  s.AngleUnit = angleUnit;
  s.AngleFactor = angleUnit == 0 ? kDegreeAngleFactor : 1.0L;
}

}  // namespace voq
