#pragma once
// The Options menu's Tolerances and Default Info commands: each opens its
// modal dialog (TStopCritDlg, TDVarInfoDlg) and frees it afterwards.
#include <QWidget>

namespace voq {

class MacroRecorder;
class TVOQ_D;
class DviFileChooser;

// Tolerances; on OK while recording, the "StopCrit" macro line. Gives
// whether the dialog closed with OK.
bool StopCriteria1Click(QWidget* owner, MacroRecorder& recorder);
// Default Info; chooser as TDVarInfoDlg takes it.
bool DefaultInfo1Click(QWidget* owner, MacroRecorder& recorder, DviFileChooser* chooser = nullptr);

// Preferences: the Preferences dialog. After OK the compiled equations
// are discarded, the Formatted Equations window closed and the equations
// checked again leniently, so the new options reach what the compiler made.
// Either way the tool bar follows the preference and, with no recent files
// kept, the File menu loses its recent-file items. Gives whether the
// dialog closed with OK.
bool Preferences1Click(TVOQ_D& window);

// Wires the three commands to their menu items; the macro lines go to the Macro
// window's text (MacroRecording, MacroText).
void InstallOptionsDialogs(TVOQ_D& window);

}  // namespace voq
