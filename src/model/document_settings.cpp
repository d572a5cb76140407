#include "model/document_settings.h"

#include <cstring>

namespace voq {

TDocumentSettingsRecord DocumentSettings;
TDocumentSettingsRecord StoredDocumentSettings;
TPreferencesRecord Preferences;
TPreferencesRecord StoredPreferences;
uint8_t DefaultsWritable = 0;
std::array<int16_t, 12> StartupNoticeBlock{};
TDefaultsReservedData StoredDefaultsReserved;

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

namespace {

// One field list serves both directions, so writing and reading can never
// disagree about an offset.
struct PreferencesWriter {
  uint8_t* dst;
  void Byte(size_t at, const uint8_t& v) { dst[at] = v; }
  void Int16(size_t at, const int16_t& v) {
    auto u = static_cast<uint16_t>(v);
    dst[at] = static_cast<uint8_t>(u);
    dst[at + 1] = static_cast<uint8_t>(u >> 8);
  }
  void Real(size_t at, const Extended& v) { PackExtended(dst + at, v); }
  template <size_t N>
  void Bytes(size_t at, const std::array<uint8_t, N>& v) {
    std::memcpy(dst + at, v.data(), N);
  }
};

struct PreferencesReader {
  const uint8_t* src;
  void Byte(size_t at, uint8_t& v) { v = src[at]; }
  void Int16(size_t at, int16_t& v) {
    v = static_cast<int16_t>(static_cast<uint16_t>(src[at] | (src[at + 1] << 8)));
  }
  void Real(size_t at, Extended& v) { v = UnpackExtended(src + at); }
  template <size_t N>
  void Bytes(size_t at, std::array<uint8_t, N>& v) {
    std::memcpy(v.data(), src + at, N);
  }
};

template <typename Io, typename Record>
void PreferenceFields(Io& io, Record& p) {
  namespace o = preferences_offsets;
  io.Byte(0, p.Reserved0);
  io.Byte(o::EquationsInBlue, p.EquationsInBlue);
  io.Byte(o::FunctionNameCase, p.FunctionNameCase);
  io.Byte(o::UniformVariableCase, p.UniformVariableCase);
  io.Byte(4, p.Reserved4);
  io.Byte(o::AllowEqualInFunctions, p.AllowEqualInFunctions);
  io.Byte(o::KeywordCase, p.KeywordCase);
  io.Byte(o::HideSolutionAfterChange, p.HideSolutionAfterChange);
  io.Int16(o::PrinterFont, p.PrinterFont);
  io.Int16(o::PrinterFontSize, p.PrinterFontSize);
  io.Int16(o::PrintLineSpacing, p.PrintLineSpacing);
  io.Byte(o::UseArraysWindow, p.UseArraysWindow);
  io.Byte(o::ShowLocalVariables, p.ShowLocalVariables);
  io.Byte(o::TableSumRow, p.TableSumRow);
  io.Byte(o::ShowSubscripts, p.ShowSubscripts);
  io.Byte(o::IntegrationRichardson, p.IntegrationRichardson);
  io.Byte(o::WarningsB, p.WarningsB);
  io.Byte(o::WrapLongLines, p.WrapLongLines);
  io.Byte(o::ShowLineBreak, p.ShowLineBreak);
  io.Byte(o::PrintIndentEquations, p.PrintIndentEquations);
  io.Bytes(23, p.Reserved23);
  io.Int16(o::DisplayFont, p.DisplayFont);
  io.Int16(o::DisplayFontSize, p.DisplayFontSize);
  io.Bytes(29, p.Reserved29);
  io.Int16(o::RecentFileCount, p.RecentFileCount);
  io.Int16(o::PlotWidth, p.PlotWidth);
  io.Int16(o::PlotHeight, p.PlotHeight);
  io.Int16(o::PlotLeft, p.PlotLeft);
  io.Int16(o::PlotTop, p.PlotTop);
  for (size_t k = 0; k < 4; ++k) {
    io.Int16(o::PlotTextColor + 2 * k, p.PlotTextColor[k]);
    io.Int16(o::PlotTextStyle + 2 * k, p.PlotTextStyle[k]);
    io.Int16(o::PlotTextFont + 2 * k, p.PlotTextFont[k]);
    io.Int16(o::PlotTextSize + 2 * k, p.PlotTextSize[k]);
  }
  io.Int16(o::PlotFrameColor, p.PlotFrameColor);
  io.Byte(o::PlotBorderThick, p.PlotBorderThick);
  io.Int16(o::PlotGridLines, p.PlotGridLines);
  io.Int16(o::PlotGridColor, p.PlotGridColor);
  io.Int16(o::PlotMajorTickSize, p.PlotMajorTickSize);
  io.Int16(o::PlotMinorTickSize, p.PlotMinorTickSize);
  io.Real(o::IntegrationMaxStepsReciprocal, p.IntegrationMaxStepsReciprocal);
  io.Real(o::IntegrationMinStepsReciprocal, p.IntegrationMinStepsReciprocal);
  io.Real(o::IntegrationReduceThreshold, p.IntegrationReduceThreshold);
  io.Real(o::IntegrationIncreaseThreshold, p.IntegrationIncreaseThreshold);
  io.Int16(o::CommentColor1, p.CommentColor1);
  io.Int16(o::CommentColor2, p.CommentColor2);
  io.Int16(o::CommentStyle1, p.CommentStyle1);
  io.Int16(o::CommentStyle2, p.CommentStyle2);
  io.Int16(o::PrintCommentStyle1, p.PrintCommentStyle1);
  io.Int16(o::PrintCommentStyle2, p.PrintCommentStyle2);
  io.Int16(o::EnteredTableColor, p.EnteredTableColor);
  io.Int16(o::CalculatedTableColor, p.CalculatedTableColor);
  io.Int16(o::EnteredTableStyle, p.EnteredTableStyle);
  io.Int16(o::CalculatedTableStyle, p.CalculatedTableStyle);
  io.Byte(o::PrintInColor, p.PrintInColor);
  io.Byte(o::SpeedBarHidden, p.SpeedBarHidden);
  io.Byte(o::ComplexMode, p.ComplexMode);
  io.Byte(o::ImaginaryJ, p.ImaginaryJ);
  io.Byte(148, p.Reserved148);
  io.Byte(o::PlotCopyInColor, p.PlotCopyInColor);
  io.Byte(o::PlotCopyFormat, p.PlotCopyFormat);
  io.Byte(151, p.Reserved151);
  io.Byte(o::CheckUnitsAutomatically, p.CheckUnitsAutomatically);
  io.Byte(153, p.Reserved153);
  io.Int16(o::PrintEnteredTableStyle, p.PrintEnteredTableStyle);
  io.Int16(o::PrintCalculatedTableStyle, p.PrintCalculatedTableStyle);
  io.Int16(o::ClipboardResolution, p.ClipboardResolution);
  io.Int16(o::IntegrationCheckInterval, p.IntegrationCheckInterval);
  io.Int16(o::AutosaveMinutes, p.AutosaveMinutes);
  io.Int16(o::TabWidth, p.TabWidth);
  io.Bytes(o::Reserved166, p.Reserved166);
  io.Real(o::IntegrationStepFraction, p.IntegrationStepFraction);
  io.Bytes(o::Reserved184, p.Reserved184);
}

}  // namespace

void PackPreferences(const TPreferencesRecord& p, uint8_t* dst) {
  PreferencesWriter io{dst};
  PreferenceFields(io, p);
}

void UnpackPreferences(const uint8_t* src, TPreferencesRecord& p) {
  PreferencesReader io{src};
  PreferenceFields(io, p);
}

void SetAngleUnit(TDocumentSettingsRecord& s, uint8_t angleUnit) {
  s.AngleUnit = angleUnit;
  s.AngleFactor = angleUnit == 0 ? kDegreeAngleFactor : 1.0L;
}

}  // namespace voq
