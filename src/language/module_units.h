#pragma once
// MODULE and SUBPROGRAM units in the text: the header with its formal
// inputs and outputs, the END that balances the unit, the two ways a CALL
// of a unit is compiled, $COMMON in unit and routine bodies, and the
// alphabetical order of a unit's variables.
//
// A MODULE called from the main program is merged: its variables become
// main-program variables named "@u\n.X" (unit u, n-th call of the read) and
// its equations are copied onto them, tied to the call's arguments by one
// equation per parameter. A SUBPROGRAM (and any unit called from inside
// another unit or a routine) is called separately: each output becomes an
// equation out = S(inputs, k) whose opcode solves the unit on its own.
#include <cstdint>
#include <string>

#include "language/operands.h"

namespace voq {

struct TProgramUnitRecord;

// A MODULE or SUBPROGRAM header, or the END of the open unit; handled when
// it was one. Errors 31, 32, 83, 387, 622 at the header; 251 at the END.
void ProcessModuleStatement(std::string& statement, bool& handled);
// The statement is a MODULE or SUBPROGRAM header.
bool IsUnitHeader(const std::string& statement);
// CALL of a unit from the main program (call: the text after "CALL " without
// blanks). False when no unit of this read has the name.
bool CompileModuleCall(std::string& call, int32_t maxLength, const TStatementPosition& pos);
// CALL of a unit compiled as a separate call: one equation per output.
bool CompileUnitCall(std::string& call, int32_t maxLength, const TStatementPosition& pos);
// The CALL statement's hand-off (SetModuleCallCompiler): from inside a unit
// or a routine body the separate call, else CompileModuleCall.
bool CompileUnitCallStatement(std::string& call, int32_t maxLength, const TStatementPosition& pos,
                              bool fromUnit);

// $COMMON inside a FUNCTION/PROCEDURE or MODULE/SUBPROGRAM body. Errors 342
// (library), 252 (after an equation of the unit), 3 and 266 (ranges).
void ProcessCommonDirective(std::string& statement, bool& handled);
void CommonInModule(const std::string& list);
void CommonInRoutine(const std::string& list);

// Sorts the current unit's list of variables in use (positions low..high)
// by upper-case name; elements of one array by their subscripts taken as
// numbers, so X[2,9] comes before X[2,10] and X[10,1].
void SortVariableOrder(int32_t low, int32_t high);

// The name of the copy of variable `name` of unit u for the n-th merged
// call, cut to 30 characters.
std::string MergedVariableName(int32_t unitIndex, int32_t callNumber, const std::string& name);

// The unit whose END found its equations and variables unbalanced (error
// 251) in the current read, for the Debug window; null otherwise.
extern TProgramUnitRecord* UnbalancedUnit;

// A MODULE or SUBPROGRAM body is open.
bool ModuleBodyIsOpen();
// Start of a read and the engine reset.
void BeginModuleRead();
void ResetModuleUnitState();

}  // namespace voq
