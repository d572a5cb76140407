#include "shell/unit_system_model.h"

#include <sstream>

#include "core/program_flags.h"
#include "documents/defaults_file.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "session/equation_editor.h"
#include "session/program_start.h"
#include "shell/calculate_commands.h"
#include "tables/tables_state.h"

namespace voq {

TUnitSysModel::TUnitSysModel(CalculateWindows& windows, MacroRecorder& recorder)
    : windows_(windows), recorder_(recorder) {
  // The SI layout: Pa and bar in the upper row of the pressure box, kPa
  // and MPa below them.
  Buttons[SIbutton] = {"SI", kUnitSystemGroup, 10, 16};
  Buttons[EngButton] = {"English", kUnitSystemGroup, 10, 34};
  Buttons[MassButton] = {"Mass basis", kSpecificPropertiesGroup, 10, 16};
  Buttons[MolarButton] = {"Molar basis", kSpecificPropertiesGroup, 10, 34};
  Buttons[DegButton] = {"Degrees", kTrigFunctionsGroup, 10, 16};
  Buttons[Radiansbutton] = {"Radians", kTrigFunctionsGroup, 10, 34};
  Buttons[CFbutton] = {"Celsius", kTemperatureGroup, 10, 16};
  Buttons[KRbutton] = {"Kelvin", kTemperatureGroup, 10, 34};
  Buttons[PaButton] = {"Pa", kPressureGroup, 10, 16};
  Buttons[baratmbutton] = {"bar", kPressureGroup, 66, 16};
  Buttons[kPbutton] = {"kPa", kPressureGroup, 10, 34};
  Buttons[MPaButton] = {"MPa", kPressureGroup, 66, 34};
  Buttons[JButton] = {"J", kEnergyGroup, 10, 16};
  Buttons[kJButton] = {"kJ", kEnergyGroup, 10, 34};
}

const char* TUnitSysModel::GroupCaption(TUnitSysGroup group) {
  static constexpr const char* kCaptions[kUnitSysGroupCount] = {
      "Unit System", "Specific Properties", "Trig Functions", "Temperature Units", "Pressure Units", "Energy Units"};
  return group >= 0 && group < kUnitSysGroupCount ? kCaptions[group] : "";
}

bool TUnitSysModel::StoreVisible() const { return DefaultsWritable == 1; }

void TUnitSysModel::Check(TUnitSysButton button) {
  TUnitSysRadio& radio = Buttons[button];
  if (radio.Checked) return;
  for (TUnitSysRadio& other : Buttons) {
    if (other.Group == radio.Group) other.Checked = false;
  }
  radio.Checked = true;
  RunHandler(button);
}

void TUnitSysModel::Click(TUnitSysButton button) {
  TUnitSysRadio& radio = Buttons[button];
  for (TUnitSysRadio& other : Buttons) {
    if (other.Group == radio.Group) other.Checked = false;
  }
  radio.Checked = true;
  RunHandler(button);
}

void TUnitSysModel::RunHandler(TUnitSysButton button) {
  TDocumentSettingsRecord& s = DocumentSettings;
  switch (button) {
    case SIbutton:
      s.UnitSystem = 0;
      FixSIEng();
      break;
    case EngButton:
      s.UnitSystem = 1;
      FixSIEng();
      break;
    case MassButton: s.MolarBasis = 0; break;
    case MolarButton: s.MolarBasis = 1; break;
    case DegButton: SetAngleUnit(s, 0); break;
    case Radiansbutton: SetAngleUnit(s, 1); break;
    case CFbutton: s.AbsoluteTemperature = 0; break;
    case KRbutton: s.AbsoluteTemperature = 1; break;
    case kPbutton: s.PressureUnit = 0; break;
    case baratmbutton: s.PressureUnit = 1; break;
    case PaButton: s.PressureUnit = 2; break;
    case MPaButton: s.PressureUnit = 3; break;
    case JButton: s.EnergyUnit = 0; break;
    case kJButton: s.EnergyUnit = 1; break;
    default: break;
  }
}

void TUnitSysModel::FixSIEng() {
  TDocumentSettingsRecord& s = DocumentSettings;
  if (s.UnitSystem == 1) {
    EnergyBoxVisible = false;
    Buttons[PaButton].Visible = false;
    Buttons[MPaButton].Visible = false;
    Buttons[kPbutton].Caption = "psia";
    Buttons[kPbutton].Left = 10;
    Buttons[kPbutton].Top = 16;
    Buttons[baratmbutton].Caption = "atm";
    Buttons[baratmbutton].Left = 10;
    Buttons[baratmbutton].Top = 34;
    Buttons[CFbutton].Caption = "Fahrenheit";
    Buttons[KRbutton].Caption = "Rankine";
    // bar and MPa become atm, kPa and Pa psia.
    if (s.PressureUnit == 1 || s.PressureUnit == 3) {
      s.PressureUnit = 1;
      Check(baratmbutton);
    } else {
      s.PressureUnit = 0;
      Check(kPbutton);
    }
  } else {
    Buttons[kPbutton].Caption = "kPa";
    Buttons[kPbutton].Top = 34;
    Buttons[baratmbutton].Caption = "bar";
    Buttons[baratmbutton].Left = 66;
    Buttons[baratmbutton].Top = 16;
    Buttons[PaButton].Visible = true;
    Buttons[MPaButton].Visible = true;
    Buttons[CFbutton].Caption = "Celsius";
    Buttons[KRbutton].Caption = "Kelvin";
    EnergyBoxVisible = true;
    Check(s.EnergyUnit == 1 ? kJButton : JButton);
  }
}

void TUnitSysModel::FormActivate() {
  TDocumentSettingsRecord& s = DocumentSettings;
  Saved = s;
  const uint8_t pressure = s.PressureUnit;
  if (s.UnitSystem == 1) {
    Check(EngButton);
    EnergyBoxVisible = false;
  } else {
    Check(SIbutton);
    EnergyBoxVisible = true;
    Check(s.EnergyUnit == 1 ? kJButton : JButton);
  }
  Check(s.MolarBasis == 1 ? MolarButton : MassButton);
  static constexpr TUnitSysButton kPressureButtons[] = {kPbutton, baratmbutton, PaButton, MPaButton};
  if (s.PressureUnit != pressure) {
    s.PressureUnit = pressure;
    if (pressure < 4) Check(kPressureButtons[pressure]);
  }
  Check(s.AngleUnit == 1 ? Radiansbutton : DegButton);
  if (s.UnitSystem == 1) {
    Check(s.PressureUnit == 1 || s.PressureUnit == 3 ? baratmbutton : kPbutton);
  } else if (s.PressureUnit < 4) {
    Check(kPressureButtons[s.PressureUnit]);
  }
  Check(s.AbsoluteTemperature == 1 ? KRbutton : CFbutton);
  FixSIEng();
}

std::string TUnitSysModel::UnitsMacroLine(const TDocumentSettingsRecord& s) {
  std::string line = "UNITS ";
  auto word = [&line](const char* w) { line += std::string(w) + " "; };
  if (s.UnitSystem == 1) {
    word(s.AbsoluteTemperature == 1 ? "R" : "F");
    word(s.PressureUnit == 0 ? "psia" : "atm");
    word(s.MolarBasis == 1 ? "MOLAR" : "MASS");
    word(s.AngleUnit == 1 ? "RAD" : "DEG");
  } else {
    word(s.AbsoluteTemperature == 1 ? "K" : "C");
    static constexpr const char* kPressures[] = {"kPa", "bar", "Pa", "MPa"};
    word(kPressures[s.PressureUnit < 4 ? s.PressureUnit : 0]);
    word(s.MolarBasis == 1 ? "MOLAR" : "MASS");
    word(s.AngleUnit == 1 ? "RAD" : "DEG");
    word(s.EnergyUnit == 1 ? "KJ" : "J");
  }
  return line;
}

void TUnitSysModel::OKBtnClick() {
  DocumentUnchanged = false;
  // The J/kJ choice is an SI one: English units leave it at kJ, so a
  // later switch back to SI starts from kJ.
  if (DocumentSettings.UnitSystem == 1) DocumentSettings.EnergyUnit = 1;
  PropertyPlotChoice = -1;
  SolutionAvailable = false;
  if (windows_.IsShown(kFormattedEquationsWindow)) windows_.CloseWindow(kFormattedEquationsWindow);
  // Compiled code holds values converted to the old units (property
  // calls, constants, angles): every statement compiles again, and the
  // property caches forget their states (ClearCompiledEquations does both,
  // and returns every variable to status 0).
  EquationsCompiled = false;
  ClearCompiledEquations();
  windows_.InvalidateEquationResults();
  if (recorder_.Recording()) recorder_.AppendLine(UnitsMacroLine(DocumentSettings));
}

bool TUnitSysModel::StoreClick() {
  OKBtnClick();
  StoredDocumentSettings = DocumentSettings;
  std::ostringstream unused;
  return SaveDefaultsFile(false, unused);
}

void TUnitSysModel::CancelBtnClick() { DocumentSettings = Saved; }

}  // namespace voq
