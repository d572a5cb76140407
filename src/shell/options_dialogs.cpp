#include "shell/options_dialogs.h"

#include <QAction>

#include "model/solve_session.h"
#include "shell/dvar_info_dlg.h"
#include "shell/equations_form.h"  // TablesMacroRecorder
#include "shell/main_window.h"
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

void InstallOptionsDialogs(TVOQ_D& window) {
  static TablesMacroRecorder recorder;
  if (QAction* item = window.Action("StopCriteria1")) item->setText(QStringLiteral("&Tolerances..."));
  window.SetHandler("StopCriteria1", [&window] { StopCriteria1Click(&window, recorder); });
  window.SetHandler("DefaultInfo1", [&window] { DefaultInfo1Click(&window, recorder); });
}

}  // namespace voq
