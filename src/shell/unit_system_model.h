#pragma once
// The model of the "Specify Unit System" dialog: the radio buttons of the
// unit system, specific-property basis, trigonometric unit, temperature
// scale, pressure and energy units, each writing DocumentSettings as it is
// checked; the relabelling between SI and English units; and OK, Store and
// Cancel. Free of Qt; the windows OK reaches and the macro recorder are
// interfaces, so the model is tested headless.
#include <array>
#include <string>

#include "model/document_settings.h"

namespace voq {

class CalculateWindows;
class MacroRecorder;

enum TUnitSysButton : int {
  SIbutton,
  EngButton,
  MassButton,
  MolarButton,
  DegButton,
  Radiansbutton,
  CFbutton,
  KRbutton,
  PaButton,
  baratmbutton,
  kPbutton,
  MPaButton,
  JButton,
  kJButton,
  kUnitSysButtonCount
};

// The group boxes, each holding its buttons as one radio group.
enum TUnitSysGroup : int {
  kUnitSystemGroup,
  kSpecificPropertiesGroup,
  kTrigFunctionsGroup,
  kTemperatureGroup,
  kPressureGroup,
  kEnergyGroup,
  kUnitSysGroupCount
};

struct TUnitSysRadio {
  std::string Caption;
  TUnitSysGroup Group = kUnitSystemGroup;
  // Position inside its group box, in pixels at 96 dots per inch.
  int Left = 0;
  int Top = 0;
  bool Visible = true;
  bool Checked = false;
};

class TUnitSysModel {
 public:
  // Neither is owned.
  TUnitSysModel(CalculateWindows& windows, MacroRecorder& recorder);

  static const char* GroupCaption(TUnitSysGroup group);

  std::array<TUnitSysRadio, kUnitSysButtonCount> Buttons;
  bool EnergyBoxVisible = true;
  // Store is offered only when the defaults file may be written.
  bool StoreVisible() const;

  // Opening: the settings copied for Cancel and shown.
  void FormActivate();
  // The user clicks a button: it is checked and writes its setting.
  void Click(TUnitSysButton button);
  // Relabels the pressure and temperature buttons for the unit system and
  // shows or hides the SI-only ones.
  void FixSIEng();
  // OK: the settings take effect; everything computed under the old ones
  // is discarded.
  void OKBtnClick();
  // Store: OK, and the settings become the defaults of new documents
  // (written to the defaults file). False when the file was not written.
  bool StoreClick();
  // Cancel: the settings as they were when the dialog opened.
  void CancelBtnClick();

  // The macro line OK records: "UNITS " and the words of the settings,
  // each followed by one blank.
  static std::string UnitsMacroLine(const TDocumentSettingsRecord& s);

  TDocumentSettingsRecord Saved;

 private:
  // Checks a button and unchecks the others of its group; when that
  // changed its state, its click handler runs.
  void Check(TUnitSysButton button);
  void RunHandler(TUnitSysButton button);

  CalculateWindows& windows_;
  MacroRecorder& recorder_;
};

}  // namespace voq
