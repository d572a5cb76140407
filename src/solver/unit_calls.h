#pragma once
// The call of a MODULE or SUBPROGRAM named in an equation (opcode 253): the
// inputs are bound to the unit's parameters, $COMMON values are brought in
// from the main program, and the unit is solved on its own, unless its
// inputs and $COMMON values equal those of its last solve, whose outputs are
// kept in the unit's CallValues. The result is output k of the unit.
#include <cstdint>

#include "solver/evaluator.h"

namespace voq {

struct TProgramUnitRecord;

// Opcode 253; the stack holds the unit's inputs and the output selector k.
// Errors: 249 for a MODULE called from a routine body, and what the unit's
// solve reports.
bool UnitCallOpcode(TEvaluationState& state, int32_t opcode);
// Solves of the unit made by calls since the last compile.
int32_t UnitSolveCount(const TProgramUnitRecord& unit);
// Registers opcode 253 with the evaluator.
void InstallUnitCallOpcode();

}  // namespace voq
