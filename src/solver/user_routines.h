#pragma once
// Evaluation of user FUNCTIONs and PROCEDUREs: the call opcode, array
// elements of locals, the local operand reader and the statement walk.
//
// A routine body is not solved: each statement is evaluated once, in order,
// by a nested EvaluateEquation with the routine's slot. An assignment's code
// is target - expression; the walk stores the right side into the target.
#include <cstdint>

#include "model/program_units.h"
#include "solver/evaluator.h"

namespace voq {

struct TArgumentListRecord;

// Opcode 208. The stack holds the arguments (ranges element by element),
// for a PROCEDURE the output selector k, and the routine number; the result
// (or output k) goes where the first of them was. Binds the arguments, runs
// the body unless its inputs equal those of the last call, and counts each
// run in the routine's CallCounter.
bool UserRoutineOpcode(TEvaluationState& state, int32_t opcode);
// Opcode 234: an array element whose subscripts are known only at run time
// (sub-code, array name, subscripts, count on the stack).
bool ArrayElementOpcode(TEvaluationState& state, int32_t opcode);
// The LocalOperandReader: local k of the running routine, or the
// main-program variable -k ($COMMON).
bool ReadLocalOperand(TEvaluationState& state, int32_t k, Extended& value);
// Executes the statements of the routine in slot until its end, an error or
// an abort request.
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
// Routine bodies running now (the current nesting depth).
int32_t RoutineNestingDepth();

// Registers opcodes 198, 199, 208 and 234 and the local operand reader
// with the evaluator.
void InstallUserRoutineOpcodes();
// The nesting depth and the lookup assigner back to their start.
void ResetUserRoutineState();

}  // namespace voq
