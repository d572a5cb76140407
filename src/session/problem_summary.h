#pragma once
// Services over the program-unit store used after a compile or a solve: the
// summary sentence of the Check command and of an unbalanced Solve (numbers
// of equations and variables, the underspecified or overspecified verdict,
// the compilation time), the count of a unit's equations, and the
// maintenance of guesses (copying a solution into them, resetting them to
// the defaults by first letter).
//
// The summary is French when the user's locale language is French; its
// English and French phrases are built here, the verdicts come from the
// message table.
#include <cstdint>
#include <string>

#include "platform/host.h"  // ProblemSummaryEnvironment, LocaleLanguageName

#include "model/solve_session.h"  // CheckOnlyMode, UseDiagramInput, the compile ticks

namespace voq {

struct TProgramUnitRecord;

// Variables minus equations, inputs and values fixed by the Parametric
// table, minus the integration variables; written by ProblemSizeMessage and
// by the solve sequence.
extern int32_t DegreesOfFreedom;

// The French texts are chosen when the host's locale language
// (LocaleLanguageName) begins with "FR".
bool UseFrenchSummary();

// The summary sentence of unit (at most 255 characters); tableCount is the
// number of variables the Parametric table supplies (0 outside table runs).
// Sets DegreesOfFreedom.
void ProblemSizeMessage(const TProgramUnitRecord* unit, int32_t tableCount, std::string& text);
// Equation records of the unit's list; CurrentEquation is left as none.
int32_t CountModuleEquations(const TProgramUnitRecord* unit);
// Copies solved values into the guesses of unit unitIndex (1-based position
// in ProgramUnitList) or, with -1, of every unit. A value never computed
// leaves the guess as it was.
void UpdateGuessesFromSolution(int32_t unitIndex);
// Guess and limits back to the letter defaults (and no longer taken from
// other variables) in every non-library unit compiled in this pass; 0 or an
// index outside 1..VariableCount selects every variable, otherwise only that
// one.
void ResetAllGuesses(int32_t variableIndex);

}  // namespace voq
