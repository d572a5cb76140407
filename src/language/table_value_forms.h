#pragma once
// The argument forms of TABLEVALUE and UNCERTAINTYOF, rewritten at compile
// time into numbers and string constants that the evaluator reads by
// position.
//
// TABLEVALUE('table', row, column): a column given by name ('X' or #X)
// becomes 9000 + the name's string-constant index; a number or expression
// stays the column number. With two arguments and an open Parametric table
// window the first table's name is inserted as the table argument.
// UNCERTAINTYOF(X): the argument becomes "X, index of X", so the evaluator
// finds the main program's variable whatever unit is being solved.
#include "language/function_calls.h"

namespace voq {

void CompileTableValue(TBuiltinCallContext& context);
void CompileUncertaintyOf(TBuiltinCallContext& context);

}  // namespace voq
