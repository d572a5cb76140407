#pragma once
// The settings records the language core reads and the directives write:
// the document's unit settings (stored with every document, 32 bytes) and
// the user's program options that the compiler and solver consult.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// Radians per degree as the documents store it: pi/180 rounded to nine
// significant digits.
inline constexpr Extended kDegreeAngleFactor = 0.017453293L;

// The unit settings of a document.
struct TDocumentSettingsRecord {
  uint8_t UnitSystem = 0;           // 0 SI, 1 English
  uint8_t MolarBasis = 0;           // 0 per unit mass, 1 per mole
  uint8_t AbsoluteTemperature = 0;  // 0 C or F, 1 K or R
  uint8_t PressureUnit = 0;         // SI 0 kPa, 1 bar, 2 Pa, 3 MPa; English 0 psia, else atm
  uint8_t AngleUnit = 0;            // 0 degrees, 1 radians
  uint8_t EnergyUnit = 0;           // SI only: 0 J, 1 kJ
  Extended AngleFactor = kDegreeAngleFactor;  // radians per angle unit
  std::array<uint8_t, 16> Reserved{};         // carried unchanged
};

inline constexpr size_t kStoredDocumentSettingsSize = 32;
namespace document_settings_offsets {
inline constexpr size_t UnitSystem = 0;
inline constexpr size_t MolarBasis = 1;
inline constexpr size_t AbsoluteTemperature = 2;
inline constexpr size_t PressureUnit = 3;
inline constexpr size_t AngleUnit = 4;
inline constexpr size_t EnergyUnit = 5;
inline constexpr size_t AngleFactor = 6;
inline constexpr size_t Reserved = 16;
}  // namespace document_settings_offsets

void PackDocumentSettings(const TDocumentSettingsRecord& s, uint8_t* dst);
// The stored angle factor is not trusted: it is recomputed from the angle unit.
void UnpackDocumentSettings(const uint8_t* src, TDocumentSettingsRecord& s);
// Sets the angle unit and the angle factor that goes with it.
void SetAngleUnit(TDocumentSettingsRecord& s, uint8_t angleUnit);

// The current document's settings and the defaults a new document gets.
extern TDocumentSettingsRecord DocumentSettings;
extern TDocumentSettingsRecord StoredDocumentSettings;

// The program options: display, printing, plot defaults, the stored
// integration step control and what the compiler and solver consult. 254
// bytes stored, in the defaults file and in every document; the reserved
// bytes are carried unchanged so a record read and written again is
// byte-identical.
struct TPreferencesRecord {
  uint8_t Reserved0 = 0;                // 0
  uint8_t EquationsInBlue = 0;          // 1: Equations text blue, else black
  uint8_t FunctionNameCase = 0;         // 2: 0 as typed, 1 lower, 2 upper, other: catalogue spelling
  uint8_t UniformVariableCase = 0;      // 3: variables keep the spelling of their first use
  uint8_t Reserved4 = 0;                // 4
  uint8_t AllowEqualInFunctions = 0;    // 5
  uint8_t KeywordCase = 0;              // 6: as FunctionNameCase
  uint8_t HideSolutionAfterChange = 0;  // 7
  int16_t PrinterFont = 0;              // 8: 0 default, 1 Arial .. 7 MS Sans Serif
  int16_t PrinterFontSize = 0;          // 10: 0 default, then 9, 10, 11, 12, 14, 16
  int16_t PrintLineSpacing = 0;         // 12: 0 single, 1 one and a half, 2 double
  uint8_t UseArraysWindow = 0;          // 14: array variables go to the Arrays window
  uint8_t ShowLocalVariables = 1;       // 15: show function/procedure/module values (on, as the
                                        //     reader of an older defaults file turns it)
  uint8_t TableSumRow = 0;              // 16: sum and average row of the Parametric table
  uint8_t ShowSubscripts = 0;           // 17: subscripts and Greek symbols
  uint8_t IntegrationRichardson = 0;    // 18: Richardson flag of the stored integration settings
  // 19: "Display warning messages". The core's ShowWarningMessages follows
  // it: $WARNINGS sets both, and the document reset sets the flag from the
  // restored preferences, so a directive never outlives its document.
  uint8_t WarningsB = 1;
  uint8_t WrapLongLines = 0;            // 20
  uint8_t ShowLineBreak = 0;            // 21
  uint8_t PrintIndentEquations = 0;     // 22
  std::array<uint8_t, 2> Reserved23{};  // 23
  int16_t DisplayFont = 0;              // 25: 0 MS Sans Serif .. 7 System
  int16_t DisplayFontSize = 0;          // 27: 0 default, then 8, 10, 12, 14, 18, 24
  std::array<uint8_t, 2> Reserved29{};  // 29
  int16_t RecentFileCount = 0;          // 31: 8 when the File menu keeps recent files, else 0

  // The defaults a new plot takes. Lengths are plot units: screen pixels per
  // inch x 0.875 x inches.
  int16_t PlotWidth = 300;   // 33: default plot width
  int16_t PlotHeight = 200;  // 35: default plot height
  int16_t PlotLeft = 90;     // 37: default plot left offset
  int16_t PlotTop = 30;      // 39: default plot top offset
  // The four kinds of plot text, one element per axis (0 upper X, 1 lower
  // X, 2 left Y, 3 right Y): colour (palette index), style (1 bold + 2
  // italic + 4 underline), font index and size in points.
  std::array<int16_t, 4> PlotTextColor{0, 0, 0, 0};  // 41
  std::array<int16_t, 4> PlotTextStyle{0, 0, 0, 0};  // 49
  std::array<int16_t, 4> PlotTextFont{0, 0, 0, 0};   // 57
  std::array<int16_t, 4> PlotTextSize{10, 10, 10, 10};  // 65
  int16_t PlotFrameColor = 0;     // 73: palette colour of a new plot's frame
  uint8_t PlotBorderThick = 0;    // 75: thick plot border
  int16_t PlotGridLines = -1;     // 76: 0 grid lines shown, -1 not shown
  int16_t PlotGridColor = 9;      // 78: palette colour of grid lines
  int16_t PlotMajorTickSize = 5;  // 80: points, -10 to 10
  int16_t PlotMinorTickSize = 3;  // 82: points, -10 to 10

  // The stored integration step control (the current one is the solver's,
  // TIntegrationSettings, which starts from the same values).
  Extended IntegrationMaxStepsReciprocal = 5E-4L;  // 84
  Extended IntegrationMinStepsReciprocal = 0.02L;  // 94
  Extended IntegrationReduceThreshold = 0.001L;    // 104: relative error
  Extended IntegrationIncreaseThreshold = 1E-5L;   // 114: relative error

  // Reading the defaults always sets the two comment colours to 1 and 2.
  int16_t CommentColor1 = 1;           // 124: palette index 0 to 15
  int16_t CommentColor2 = 2;           // 126
  int16_t CommentStyle1 = 0;           // 128: 0 plain, 1 italic, 2 bold, 3 underline
  int16_t CommentStyle2 = 0;           // 130
  int16_t PrintCommentStyle1 = 0;      // 132: 0 plain, 1 bold, 2 italic, 3 underline
  int16_t PrintCommentStyle2 = 0;      // 134
  int16_t EnteredTableColor = 0;       // 136: palette index 0 to 15
  int16_t CalculatedTableColor = 0;    // 138
  int16_t EnteredTableStyle = 0;       // 140: 0 plain, 1 italic, 2 bold
  int16_t CalculatedTableStyle = 0;    // 142
  uint8_t PrintInColor = 0;            // 144
  uint8_t SpeedBarHidden = 0;          // 145
  uint8_t ComplexMode = 0;             // 146: "Do complex algebra"
  uint8_t ImaginaryJ = 0;              // 147: imaginary operator "j", else "i"
  uint8_t Reserved148 = 0;             // 148
  uint8_t PlotCopyInColor = 0;         // 149
  uint8_t PlotCopyFormat = 0;          // 150: 0 picture, 1 bitmap, 2 both
  uint8_t Reserved151 = 0;             // 151
  uint8_t CheckUnitsAutomatically = 0; // 152
  uint8_t Reserved153 = 0;             // 153
  int16_t PrintEnteredTableStyle = 0;     // 154: 0 plain, 1 bold, 2 italic
  int16_t PrintCalculatedTableStyle = 0;  // 156
  int16_t ClipboardResolution = 0;        // 158: 0 default, 1 100 .. 4 1200 dpi
  int16_t IntegrationCheckInterval = 5;   // 160: steps between step-size checks
  int16_t AutosaveMinutes = 0;            // 162: 0 off, at most 999
  int16_t TabWidth = 0;                   // 164: hundredths of an inch x pixels per inch; 0 the editor's default
  std::array<uint8_t, 8> Reserved166{};   // 166
  Extended IntegrationStepFraction = -4E-3L;  // 174: reciprocal of the fixed number of steps
  std::array<uint8_t, 70> Reserved184{};  // 184

  // Not stored: advice alerts, e.g. a DUPLICATE inside a routine body.
  uint8_t ShowAdvice = 1;
  // Not stored (the stored record has no bytes for them): the table
  // windows' font face index (0 and 1 Arial .. 7 System) and size index
  // (0 10 points, then 8, 10, 12, 14, 16, 18).
  int16_t TableFont = 0;
  int16_t TableFontSize = 0;
};

inline constexpr size_t kStoredPreferencesSize = 254;
namespace preferences_offsets {
inline constexpr size_t EquationsInBlue = 1;
inline constexpr size_t FunctionNameCase = 2;
inline constexpr size_t UniformVariableCase = 3;
inline constexpr size_t AllowEqualInFunctions = 5;
inline constexpr size_t KeywordCase = 6;
inline constexpr size_t HideSolutionAfterChange = 7;
inline constexpr size_t PrinterFont = 8;
inline constexpr size_t PrinterFontSize = 10;
inline constexpr size_t PrintLineSpacing = 12;
inline constexpr size_t UseArraysWindow = 14;
inline constexpr size_t ShowLocalVariables = 15;
inline constexpr size_t TableSumRow = 16;
inline constexpr size_t ShowSubscripts = 17;
inline constexpr size_t IntegrationRichardson = 18;
inline constexpr size_t WarningsB = 19;
inline constexpr size_t WrapLongLines = 20;
inline constexpr size_t ShowLineBreak = 21;
inline constexpr size_t PrintIndentEquations = 22;
inline constexpr size_t DisplayFont = 25;
inline constexpr size_t DisplayFontSize = 27;
inline constexpr size_t RecentFileCount = 31;
inline constexpr size_t PlotWidth = 33;
inline constexpr size_t PlotHeight = 35;
inline constexpr size_t PlotLeft = 37;
inline constexpr size_t PlotTop = 39;
inline constexpr size_t PlotTextColor = 41;
inline constexpr size_t PlotTextStyle = 49;
inline constexpr size_t PlotTextFont = 57;
inline constexpr size_t PlotTextSize = 65;
inline constexpr size_t PlotFrameColor = 73;
inline constexpr size_t PlotBorderThick = 75;
inline constexpr size_t PlotGridLines = 76;
inline constexpr size_t PlotGridColor = 78;
inline constexpr size_t PlotMajorTickSize = 80;
inline constexpr size_t PlotMinorTickSize = 82;
inline constexpr size_t IntegrationMaxStepsReciprocal = 84;
inline constexpr size_t IntegrationMinStepsReciprocal = 94;
inline constexpr size_t IntegrationReduceThreshold = 104;
inline constexpr size_t IntegrationIncreaseThreshold = 114;
inline constexpr size_t CommentColor1 = 124;
inline constexpr size_t CommentColor2 = 126;
inline constexpr size_t CommentStyle1 = 128;
inline constexpr size_t CommentStyle2 = 130;
inline constexpr size_t PrintCommentStyle1 = 132;
inline constexpr size_t PrintCommentStyle2 = 134;
inline constexpr size_t EnteredTableColor = 136;
inline constexpr size_t CalculatedTableColor = 138;
inline constexpr size_t EnteredTableStyle = 140;
inline constexpr size_t CalculatedTableStyle = 142;
inline constexpr size_t PrintInColor = 144;
inline constexpr size_t SpeedBarHidden = 145;
inline constexpr size_t ComplexMode = 146;
inline constexpr size_t ImaginaryJ = 147;
inline constexpr size_t PlotCopyInColor = 149;
inline constexpr size_t PlotCopyFormat = 150;
inline constexpr size_t CheckUnitsAutomatically = 152;
inline constexpr size_t PrintEnteredTableStyle = 154;
inline constexpr size_t PrintCalculatedTableStyle = 156;
inline constexpr size_t ClipboardResolution = 158;
inline constexpr size_t IntegrationCheckInterval = 160;
inline constexpr size_t AutosaveMinutes = 162;
inline constexpr size_t TabWidth = 164;
inline constexpr size_t Reserved166 = 166;
inline constexpr size_t IntegrationStepFraction = 174;
inline constexpr size_t Reserved184 = 184;
}  // namespace preferences_offsets

void PackPreferences(const TPreferencesRecord& p, uint8_t* dst);
void UnpackPreferences(const uint8_t* src, TPreferencesRecord& p);

// The program-wide values the defaults file carries besides the records.
// The settings dialogs offer Store only when DefaultsWritable is 1.
extern uint8_t DefaultsWritable;
// A start-up notice (first value > 0: show the message texts of the second
// and third values); read and written back as it was.
extern std::array<int16_t, 12> StartupNoticeBlock;
// Bytes of the defaults file this program does not use, kept as read so a
// file written again is the same file.
struct TDefaultsReservedData {
  uint8_t Byte1994 = 0;
  std::array<uint8_t, 2> Bytes2020{};
  uint8_t Byte2022 = 0;
  uint8_t Byte2023 = 0;
  std::array<uint8_t, 4> Bytes2024{};
  // Four text blocks, each at most 255 bytes (the text and its closing zero).
  std::array<std::string, 4> TextBlocks{};
  std::array<uint8_t, 10> Trailer{};
};
extern TDefaultsReservedData StoredDefaultsReserved;

extern TPreferencesRecord Preferences;
extern TPreferencesRecord StoredPreferences;

}  // namespace voq
