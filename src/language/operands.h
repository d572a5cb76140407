#pragma once
// Operands of a statement: numbers, quoted strings and names. A name is
// offered to the built-in function catalogue, the built-in constants and the
// special names, and ends as a variable of the current program unit when
// nothing else claims it. Positions are 1-based into the statement text;
// each compiler starts at the operand's first character and leaves the
// position on its last one (or, after rewriting the text, one before the
// place where the expression compiler continues).
#include <cstdint>
#include <string>

namespace voq {

// Where the statement being compiled lies in the Equations window text.
// Callers that compile text that is not in the window pass -1 for all three.
struct TStatementPosition {
  int32_t Start = -1;
  int32_t Line = -1;
  int32_t End = -1;
};
extern TStatementPosition CurrentStatementPosition;

void CompileNumber(std::string& text, int32_t maxLength, int32_t& p);
void CompileStringLiteral(std::string& text, int32_t maxLength, int32_t& p);
void CompileIdentifier(std::string& text, int32_t maxLength, int32_t& p);

// A catalogue function call at position p (name upper-cased in name, the
// character after it at p + 1): checks the argument count, rewrites the
// name into its opcode byte (with the sub-code as a first argument) and
// steps p back. False when the catalogue has no such name.
bool CompileBuiltinCall(std::string& text, int32_t maxLength, const std::string& name,
                        int32_t start, int32_t& p);

// Error 16 or 18 for a name that cannot be a variable name.
void CheckVariableName(const std::string& name);

}  // namespace voq
