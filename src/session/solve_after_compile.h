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
// stepping, lookup saving) are the host's SolveSequenceServices.
#include <cstdint>
#include <string>

#include "platform/host.h"  // SolveSequenceServices

namespace voq {

struct TProgramUnitRecord;

// The solve was started from the Diagram window.
extern bool SolveFromDiagram;

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
