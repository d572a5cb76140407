#pragma once
// The argument forms of the table functions, rewritten at compile time into
// numbers and string constants that the evaluator reads by position:
//   LOOKUP, LOOKUP$, LOOKUPCELLEMPTY (table, row, column)  -> table, row, column, by-name flag
//   LOOKUPROW, LOOKUP$ROW (table, column, value)           -> table, column, by-name flag, value
//   LOOKUPCOL (table, row, value)                          -> table, row, value
//   INTERPOLATE.., DIFFERENTIATE (table, c1, c2, c = x)    -> table, dependent, independent, direction, x
//   INTERPOLATE2D (table, c1, c2, c3, a = x, b = y [, n])  -> table, c1, c2, c3, position of a, of b, x, y, n
// The table becomes its identifier (a tab of the Lookup Table window as
// minus its number, a lookup file as its identifier, -1 when the call names
// no table) or 10000 + the index of the string variable that names it.
// A column becomes '#k' when its number is known now, its quoted name when
// the table is known only at evaluation, or stays an expression.
#include <cstdint>
#include <string>

#include "language/function_calls.h"

namespace voq {

void CompileLookupCall(TBuiltinCallContext& context);
void CompileInterpolate(TBuiltinCallContext& context);
void CompileInterpolate2D(TBuiltinCallContext& context);

struct TColumnArgument {
  std::string Text;           // the rewritten argument
  bool ByName = false;        // a string: '#k', a quoted name or a string variable
  bool StringVariable = false;
};

// Rewrites one column argument for the table tableCode (|code| < 10000: a
// table known now). nameExpected: INTERPOLATE and its relatives, where a
// column must be a name. Errors 93, 94, 356, 304.
TColumnArgument ResolveColumnArgument(const std::string& text, int32_t tableCode, bool nameExpected);

}  // namespace voq
