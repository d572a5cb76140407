#pragma once
// The table functions of the equations: LOOKUP, LOOKUP$ and LOOKUPCELLEMPTY
// (opcode 244), LOOKUPCOL (245), LOOKUPROW and LOOKUP$ROW (246), the
// INTERPOLATE family and DIFFERENTIATE (241), INTERPOLATE2D (242) and
// NLOOKUPROWS (247, member 14). They read Lookup Table tabs and lookup files
// through LookupTableAccess.
#include <cstdint>

#include "core/extended.h"
#include "model/lookup_table_access.h"

namespace voq {

struct TEvaluationState;
struct TEquationRecord;

// A string variable designates the table by its text: the compiled table
// argument is then 10000 + its variable index (minus that for a
// main-program variable read from a routine body).
inline constexpr int32_t kTableVariableOffset = 10000;

// The table a compiled table argument designates: its identifier and
// counts. False with CalcErrorCode set (66 when there is no such table).
bool ResolveTableArgument(const TEvaluationState& state, Extended argument, int32_t& id, TLookupTableInfo& info);

// Cell (column, row), 1-based, of table id, read as kind asks
// (kLookupNumeric, kLookupString: the StringConstants index, kLookupFilled:
// 1 filled, 0 blank, -1 when the read failed, never an error). A blank
// cell is error 67; every failure but 356 is reported as error 67 naming
// the row and column, with the result -999. While a routine body assigns a
// cell (assigning is set) a blank reads as -999 without an error.
Extended GetLookupValue(int32_t column, int32_t row, int32_t id, int32_t kind, bool assigning = false);

// Opcode 242: the arguments from the top of the stack: point count, the two
// given values, the positions (1..3) of the columns named second and first,
// the three column designators, the table; the result goes into the word
// below the table (the sub-code's slot).
bool Interpolate2D(TEvaluationState& state);

// Stores into a Lookup Table cell the value that makes a routine statement
// "LOOKUP(table, row, column) := expression" hold: the cell's value (-999
// when blank) minus the statement's residual. Row and column must each be
// one number or variable (error 167 otherwise). A lookup file or the
// Parametric table cannot be assigned: error 153.
void AssignLookupCell(TEquationRecord* statement, Extended residual);

// Registers the opcodes above with the evaluator.
void InstallLookupFunctions();

}  // namespace voq
