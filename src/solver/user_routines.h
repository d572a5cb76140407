#pragma once
// Evaluation of user FUNCTIONs and PROCEDUREs: the call opcode, array
// elements of locals, the local operand reader and the statement walk.
#include <cstdint>

#include "model/program_units.h"
#include "solver/evaluator.h"

namespace voq {

struct TArgumentListRecord;

// Opcode 208: binds the arguments, runs (or reuses) the body, leaves the
// result or the selected output.
bool UserRoutineOpcode(TEvaluationState& state, int32_t opcode);
// Opcode 234: an array element whose subscripts are known only at run time.
bool ArrayElementOpcode(TEvaluationState& state, int32_t opcode);
// The LocalOperandReader: local k of the running routine, or the
// main-program variable -k ($COMMON).
bool ReadLocalOperand(TEvaluationState& state, int32_t k, Extended& value);
// Executes the statements of the routine in slot until its end or an error.
void RunRoutineBody(int32_t slot);
// Position among the routine's output locals of output k of a call whose
// groups may hold fewer elements than declared.
int32_t OutputLocalOffset(int32_t k, int32_t slot, const TArgumentListRecord* call,
                          const TArgumentListRecord* parameters);
// Assignment to a lookup-table cell from a body statement; until tables
// exist, error 9.
using LookupCellAssigner = void (*)(TEquationRecord* statement, Extended residual);
void SetLookupCellAssigner(LookupCellAssigner assigner);  // nullptr: the default
// Calls nested deeper than this are error 56: each level holds its own
// evaluation stacks on the machine stack.
inline constexpr int32_t kMaxRoutineNesting = 100;

}  // namespace voq
