#pragma once
// What the evaluation of user routines needs around the evaluator: reuse of
// a call's last result, the routine a compiled call names, the logical
// operand check, limits taken from variables, and the Parametric table test.
#include <cstdint>

#include "core/extended.h"
#include "solver/evaluator.h"

namespace voq {

// An integer argument taken from the value stack (a routine number, an
// output selector, a subscript, a comparison code): the nearest integer, an
// exact half to the even neighbour; NaN gives 0 and values beyond int32
// its limit.
int32_t StackInteger(Extended x);

// The inputs of this call equal those of the last one (and no $COMMON
// value changed), so its locals still hold the result. Stores the answer in
// the routine's LastCallReused.
bool CallResultReusable(int32_t routine);
// Copies of the routine's locals after a call, for the next comparison.
void SaveCallLocals(int32_t routine);
// The slot of the routine the call at the state's call cursor names (found
// by name when the table was packed since); -1 with error 379. Advances the
// cursor.
int32_t ResolveRoutineIndex(TEvaluationState& state, int32_t compiledIndex);
// Error 380 unless both operands are 0 or 1.
void CheckLogicalOperands(int32_t a, int32_t b);
// Limits and guess of variable v of CurrentProgramUnit from the variables
// they name; string variables are left alone.
void UpdateLimitsFromVariables(int32_t v);
// The same for every unknown of CurrentProgramUnit, until an error.
void UpdateAllLimitsFromVariables();
// Variable k is a column of the Parametric table; false until tables exist.
bool IsParametricColumnVariable(int32_t k);
using ParametricColumnTest = bool (*)(int32_t k);
void SetParametricColumnTest(ParametricColumnTest test);  // nullptr: none is

}  // namespace voq
