#pragma once
// The Calculate menu of the main window: TCalculateCommands over this
// window's child windows (WindowList), wired to the menu items and tool
// buttons; the warnings window (TAddHelpDlg, one instance made hidden at
// start-up) that the solve sequence shows; the Solution window's caption.
#include <QObject>
#include <string>

#include "platform/host.h"
#include "shell/calculate_commands.h"
#include "session/equation_editor.h"  // MacroRecorder
#include "shell/equations_form.h"    // TablesMacroRecorder
#include "tables/qt/solve_table_dlg.h"

namespace voq {

class TVOQ_D;
class TAddHelpDlg;
class TGForm;

class TCalculateMenu : public QObject, public CalculateWindows, public SolveSequenceServices {
 public:
  explicit TCalculateMenu(TVOQ_D& window);
  ~TCalculateMenu() override;

  TCalculateCommands& Commands() { return commands_; }
  TAddHelpDlg* AddHelpDlg() const { return addHelpDlg_; }
  // The recorder the commands write macro lines to (not owned); nullptr
  // gives back the macro text's own recorder.
  void SetMacroRecorder(MacroRecorder* recorder);

  // CalculateWindows.
  bool WindowExists(int window) override;
  bool IsShown(int window) override;
  void CloseWindow(int window) override;
  // A scrolled window (the Formatted Equations) back to its top left.
  void ScrollToTopLeft(int window) override;
  void ShowWindow(int window) override;
  void BringToFront(int window) override;
  void ReleaseDebugWindow() override;
  void SetSolutionCaption(const std::string& caption) override;
  bool SolutionHasVariables() override;
  bool CommitTableEdit() override;
  // A table run rewrites the parametric table: its undo copy goes.
  void DisposeTableUndo() override;
  void RepaintParametricTable() override;
  void RepaintEquations() override;

  // SolveSequenceServices: the warnings window, modally.
  void ShowWarningsList() override;
  // A new solve closes the Formatted Equations window.
  void CloseFormattedEquations() override;
  // The Debug window for unit in mode 0 or 1.
  void ShowDebugWindow(TProgramUnitRecord* unit, int mode) override;
  void BringDebugWindowToFront() override;

 private:
  // The Solution window, made when first needed.
  TGForm* SolutionWindow();

  TVOQ_D& window_;
  TablesMacroRecorder textRecorder_;
  // Forwards to whichever recorder is in use.
  class Recorder : public MacroRecorder {
   public:
    bool Recording() const override { return target->Recording(); }
    void AppendLine(const std::string& line) override { target->AppendLine(line); }
    MacroRecorder* target = nullptr;
  } recorder_;
  // The program's results-file dialog: TSaveAppendDlg.
  class SaveDialog : public SaveAppendDialog {
   public:
    bool Execute(const std::string& caption, std::string& fileName, bool& append) override;
    QWidget* parent = nullptr;
  } saveDialog_;
  // The Solve Table dialog: TSolveTableDlg.
  TQtSolveTableDialog solveTableDialog_;
  TCalculateCommands commands_;
  TAddHelpDlg* addHelpDlg_;
};

}  // namespace voq
