#pragma once
// The statement compiler: every equation of the text becomes postfix code in
// its equation record. CompileStatement is the entry the reader calls once
// per statement; CompileEquation compiles one equation; CompileExpression is
// the operator-precedence compiler over the prepared text. Failures are left
// in CalcErrorCode; the equation record stays in the list with its partial
// code.
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "language/operands.h"

namespace voq {

struct TEquationRecord;

// The longest statement text.
inline constexpr int32_t kMaxStatementLength = 255;

// Statements compiled afresh (not taken over from the previous compile)
// since start-up; the compile driver reports the count of each read.
extern int64_t FreshCompileCount;

// text: the statement, rewritten in place; longer than maxLength is error 340.
void CompileStatement(std::string& text, int32_t maxLength, const TStatementPosition& position);
void CompileEquation(std::string& text, int32_t maxLength, const TStatementPosition& position,
                     bool fromRewrite);
void CompileExpression(std::string& text, int32_t maxLength);

// After every compile (also of a reused equation): units given on the
// statement's line, and an equation that sets a variable to a constant.
void DetectConstantEquation();
void SetVariableFromConstant(int32_t i, Extended value);

}  // namespace voq
