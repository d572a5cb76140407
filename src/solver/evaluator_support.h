#pragma once
// What the evaluation of user routines needs around the evaluator: reuse of
// a call's last result, the routine a compiled call names, the logical
// operand check, limits taken from variables, and the Parametric table test.
#include <cstdint>

#include "solver/evaluator.h"

namespace voq {

// The inputs of this call equal those of the last one (and no $COMMON
// value changed), so its locals still hold the result.
bool CallResultReusable(int32_t routine);
// Copies of the routine's locals after a call, for the next comparison.
void SaveCallLocals(int32_t routine);
// The slot of the routine the call at the state's call cursor names (found
// by name when the table was packed since); -1 with error 379. Advances the
// cursor.
int32_t ResolveRoutineIndex(TEvaluationState& state, int32_t compiledIndex);
// Error 380 unless both operands are 0 or 1.
void CheckLogicalOperands(int32_t a, int32_t b);
// Limits and guess of variable v from the variables they name.
void UpdateLimitsFromVariables(int32_t v);
void UpdateAllLimitsFromVariables();
// Variable k is a column of the Parametric table; false until tables exist.
bool IsParametricColumnVariable(int32_t k);
using ParametricColumnTest = bool (*)(int32_t k);
void SetParametricColumnTest(ParametricColumnTest test);  // nullptr: none is

}  // namespace voq
