#pragma once
// Equations with one unknown. Most equations of a problem fix one variable
// once the variables found before them are known (x = 3, y = 2*x + 1); they
// are solved one at a time by a secant iteration before the simultaneous
// solver sees anything. What they determine leaves the unknowns, so the
// blocking and the Newton solver work only on what is truly coupled.
//
// The equations solved here get SolvedAlone and a negative Block (-1, -2,
// ... in the order they were solved); their variable gets UnknownPosition -1
// and leaves UnknownList. -32766 in Block marks an equation never to be
// solved alone (a constant assignment the compiler already applied).
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TEquationRecord;

inline constexpr int32_t kNeverSolveAloneBlock = -32766;

// The pass over CurrentProgramUnit's equations, repeated until a pass solves
// nothing more. full: resolve the guesses and block every unit first (their
// errors do not stop the pass). Failures 51 and 23 are retried from
// randomised guesses up to 8 times; any other error ends the pass. Esc is
// error 58 with no statement selected.
void SolveOneUnknownEquations(bool full);

// Tries to solve the equation at cursor alone. solved tells whether it was;
// counter is the solution order, lowered by one for a solved equation.
// randomise starts from a guess spread over +-5 times the variable's guess.
// Errors: 21 (no variable), 22 (every variable already known), 310, 52, 55,
// 23, 317..319, 58.
void SolveForOneUnknown(TEquationRecord*& cursor, bool& solved, int32_t& counter, bool randomise);

// Bookkeeping after e was solved for variable v with residual r: the
// equation leaves the count, the variable the unknowns, and the variable's
// units are inferred from the equation.
void MarkSolvedAlone(TEquationRecord* e, int32_t v, Extended residual);

// The reader's immediate solve of the statement just compiled
// (CurrentEquation), so that later statements see its value: only outside
// routine and MODULE bodies, for an equation not yet solved that may be
// solved alone, and not while the Ctrl key is held (when testCtrl: the
// copies of a DUPLICATE loop do not look at it). Its error is discarded; the
// solve pass reports it again.
void SolveEquationOnRead(int32_t& solveOrderCounter, bool testCtrl = true);

// Whether e calls a user routine that shares variables with the main
// program; such an equation is left to the block solver.
bool CallsSharingRoutine(const TEquationRecord* e);
// How CallsSharingRoutine learns whether FunctionTable slot r shares
// variables with the main program; installed by the routines' store. Without
// a test no routine shares.
using SharingRoutineTest = bool (*)(int32_t slot);
void SetSharingRoutineTest(SharingRoutineTest test);

}  // namespace voq
