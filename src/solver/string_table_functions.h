#pragma once
// The string functions of the equation language (STRINGVAL, STRING$,
// LOWERCASE$, UPPERCASE$, STRINGLEN, CONCAT$, STRINGPOS, COPY$), the cell of
// a Parametric table (TABLEVALUE, opcode 252) and the uncertainty of a
// variable (UNCERTAINTYOF) at evaluation.
//
// A string value is the 1-based index of its text in StringConstants,
// carried on the value stack as a real; a string result is entered with
// StringConstIndex, which keeps one entry per text regardless of case.
// The Parametric table is read through ParametricTableAccess.
namespace voq {

// Registers these members of the families 247, 249 and 250 and the handler
// of opcode 252 with the evaluator.
void InstallStringTableFunctions();

}  // namespace voq
