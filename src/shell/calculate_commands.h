#pragma once
// The Calculate menu's commands of the main window: Solve, Check/Format,
// Solve Table, Min/Max, Min/Max Table, Update Guesses and Reset Guesses.
// They set the calculation's mode flags, commit what the Diagram and table
// windows still hold, close the windows the calculation replaces, run the
// compile-and-solve driver or a table run, and then choose which window to
// show with which caption. Free of Qt: the windows, the macro recorder and
// the dialogs are reached through the interfaces below, so the commands are
// tested headless; the main window wires them to its menu items.
#include <string>

namespace voq {

class MacroRecorder;
class SolveTableDialog;

// The child windows as the commands see them; an absent window does
// nothing and commits nothing. Windows are numbered as WindowList is.
class CalculateWindows {
 public:
  virtual ~CalculateWindows() = default;
  virtual bool WindowExists(int /*window*/) { return false; }
  // The program considers the window open (IsShown).
  virtual bool IsShown(int /*window*/) { return false; }
  virtual void CloseWindow(int /*window*/) {}
  // Shows the window and brings it to the front.
  virtual void ShowWindow(int /*window*/) {}
  virtual void BringToFront(int /*window*/) {}
  // Both scroll bars back to 0.
  virtual void ScrollToTopLeft(int /*window*/) {}
  // The Debug window, when it exists, goes (released later) and its slot
  // becomes empty.
  virtual void ReleaseDebugWindow() {}
  virtual void SetSolutionCaption(const std::string& /*caption*/) {}
  // The Solution window has variables to show.
  virtual bool SolutionHasVariables() { return false; }
  // Diagram window: its pending input committed (false: rejected, the
  // window said why), whether it has input (and output) items, its
  // activation (reads its inputs) and the repaint of it and its children.
  virtual bool CommitDiagramInput() { return true; }
  virtual bool DiagramHasInput() { return false; }
  virtual bool DiagramHasInputOrOutput() { return false; }
  virtual void ActivateDiagram() {}
  virtual void RepaintDiagram() {}
  // Parametric table window: the pending cell edit committed (false:
  // rejected), the undo copy discarded, the grid repainted.
  virtual bool CommitTableEdit() { return true; }
  virtual void DisposeTableUndo() {}
  virtual void RepaintParametricTable() {}
  // Equations window.
  virtual void RepaintEquations() {}
  virtual void InvalidateEquationResults() {}
};

// The dialog that asks where the solution's results go (TSaveAppendDlg):
// false for Cancel; otherwise the name typed (FileNameEdit) and whether
// the results are appended (doAppendCB).
class SaveAppendDialog {
 public:
  virtual ~SaveAppendDialog() = default;
  virtual bool Execute(const std::string& caption, std::string& fileName, bool& append) = 0;
};

class TCalculateCommands {
 public:
  // None is owned. Without a save dialog no results file is asked for;
  // without a Solve Table dialog the table runs with the dialog's defaults.
  TCalculateCommands(CalculateWindows& windows, MacroRecorder& recorder, bool& calculating)
      : windows_(windows), recorder_(recorder), calculating_(calculating) {}
  void SetSaveAppendDialog(SaveAppendDialog* dialog) { saveDialog_ = dialog; }
  void SetSolveTableDialog(SolveTableDialog* dialog) { solveTableDialog_ = dialog; }

  void Solve1Click();
  void CheckFormat1Click();
  void SolveTable1Click();
  void MinMax1Click();
  void MinMaxTable1Click();
  void UpdateGuesses1Click();
  void ResetGuesses1Click();

 private:
  void CloseResultWindows();
  bool ParametricTableRequired();
  bool BeginMinMaxCommand();
  void RelabelParametricColumns();

  CalculateWindows& windows_;
  MacroRecorder& recorder_;
  bool& calculating_;
  SaveAppendDialog* saveDialog_ = nullptr;
  SolveTableDialog* solveTableDialog_ = nullptr;
};

}  // namespace voq
