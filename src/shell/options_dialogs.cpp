#include "shell/options_dialogs.h"

#include <QAction>
#include <QToolBar>

#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "session/compile_driver.h"
#include "shell/calculate_menu.h"
#include "shell/dvar_info_dlg.h"
#include "shell/equations_form.h"  // TablesMacroRecorder
#include "shell/main_window.h"
#include "shell/preferences_dlg.h"
#include "shell/shell_state.h"
#include "shell/stop_crit_dlg.h"
#include "shell/stop_criteria_fields.h"

namespace voq {

bool StopCriteria1Click(QWidget* owner, MacroRecorder& recorder) {
  TStopCritDlg dialog(owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (recorder.Recording()) recorder.AppendLine(StopCritMacroLine(StopCriteria));
  return true;
}

bool DefaultInfo1Click(QWidget* owner, MacroRecorder& recorder, DviFileChooser* chooser) {
  TDVarInfoDlg dialog(owner, recorder, chooser);
  return dialog.exec() == QDialog::Accepted;
}

bool Preferences1Click(TVOQ_D& window) {
  bool confirmed = false;
  {
    TPreferencesDlg dialog(&window);
    confirmed = dialog.exec() == QDialog::Accepted;
  }
  if (confirmed) {
    // Case, "=" in routines, warnings and complex algebra change what the
    // compiler makes of the same text: check it again, leniently.
    ClearCompiledEquations();
    if (TCalculateMenu* calculate = window.CalculateMenu()) calculate->CloseFormattedEquations();
    if (TEquationForm* equations = window.EquationForm()) equations->InvalidateResults();
    ActiveChildWindow = kNoWindow;
    CheckOnlyMode = true;
    LenientCompile = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    LenientCompile = false;
  }
  if (QToolBar* speedbar = window.Speedbar()) speedbar->setVisible(Preferences.SpeedBarHidden == 0 && !DistributableMode);
  if (Preferences.RecentFileCount == 0 && window.FixFileNameListCommand) window.FixFileNameListCommand();
  return confirmed;
}

void InstallOptionsDialogs(TVOQ_D& window) {
  static TablesMacroRecorder recorder;
  if (QAction* item = window.Action("StopCriteria1")) item->setText(QStringLiteral("&Tolerances..."));
  window.SetHandler("StopCriteria1", [&window] { StopCriteria1Click(&window, recorder); });
  window.SetHandler("DefaultInfo1", [&window] { DefaultInfo1Click(&window, recorder); });
  window.SetHandler("Preferences1", [&window] { Preferences1Click(window); });
}

}  // namespace voq
