#pragma once
// The solve sequence of the main program after a successful read for the
// Solve command: the count check of unknowns against equations (with the
// Debug window offered for an unbalanced problem), the one-unknown pass, the
// guess check, the blocking and the block solve with the question after a
// failure to converge, the residual check, and the steps after a run (lookup
// files, warnings, export, the Arrays table).
//
// The windows and the later commands the sequence reaches (Debug,
// Formatted Equations, Arrays table, warnings list, optimisation, integral
// stepping, lookup saving) are behind SolveSequenceServices; the
// default does nothing, which is right for the console front end and tests.
#include <cstdint>
#include <string>

namespace voq {

struct TProgramUnitRecord;

// The solve was started from the Diagram window.
extern bool SolveFromDiagram;

class SolveSequenceServices {
 public:
  virtual ~SolveSequenceServices() = default;
  // The Debug window explains unit (mode 0: an unbalanced set, 1: the
  // residual check); created when missing, shown and brought to the front.
  virtual void ShowDebugWindow(TProgramUnitRecord* /*unit*/, int /*mode*/) {}
  virtual void BringDebugWindowToFront() {}
  virtual void CloseFormattedEquations() {}
  // The Arrays table, brought to the front when asked.
  virtual void ShowArraysTable(bool /*bringToFront*/) {}
  // The warnings list, modally.
  virtual void ShowWarningsList() {}
  virtual void SetSolutionCaption(const std::string& /*caption*/) {}
  // Integration variables assigned (and removed from the unknowns).
  virtual void AssignIntegrationVars(TProgramUnitRecord* /*unit*/) {}
  // Minimisation or maximisation in place of the plain solve: the degrees
  // of freedom check and the dialog; false ends the sequence.
  virtual bool RunMinMax() { return false; }
  // After a run: $SaveLookup files written.
  virtual void SaveLookupFilesAfterRun() {}
};
SolveSequenceServices& SolveServices();
// Installs services (not owned); nullptr restores the default.
void SetSolveSequenceServices(SolveSequenceServices* services);

// Set when the uncertainty-propagation table runs (the propagation takes
// over after the one-unknown pass).
extern bool UncertaintyTableMode;

// The solve sequence after a read without error.
void SolveCompiledEquations();
// Shows the current error at the current unit's LastEquation (its text
// range and line), or without a statement when there is none.
void ShowLastEquationError();
// After a solve: the first equation of the main program (and of the
// SUBPROGRAMs in use) whose relative residual is above the tolerance is
// error 54; unless quiet the user is asked whether to see the Debug window
// and the error is then cleared.
void CheckResidualsAfterSolve(bool quiet);

}  // namespace voq
