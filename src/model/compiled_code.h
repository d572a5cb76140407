#pragma once
// The compiled-code format shared by the compilers, the evaluator, the
// blocking and the displays. An equation's code is a list of 32-bit words:
// negative operand codes (some followed by an index word), operator codes 4
// to 11 (the operator's position in DelimiterChars, also its precedence),
// and function and marker words 195 to 255. The k-th CodeConstant word reads
// the k-th real of the pool and the k-th CodeStringConstant word the k-th
// string operand. -21 ends the evaluated part of the code.
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TEquationRecord;

// Operand codes (each pushes one value).
inline constexpr int32_t CodeConstant = -1;
inline constexpr int32_t CodeVariable = -2;          // + variable index
inline constexpr int32_t CodeLocalVariable = -3;     // + local index
inline constexpr int32_t CodeGotoLabel = -4;         // + label number
inline constexpr int32_t CodeStringConstant = -5;
inline constexpr int32_t CodeTableRun = -6;
inline constexpr int32_t CodeBuiltinConstant = -7;   // + 0-based ConstantsList position
inline constexpr int32_t CodeTableName = -8;
inline constexpr int32_t CodeImaginaryUnit = -10;
inline constexpr int32_t CodeComplexVariable = -12;  // + variable index
inline constexpr int32_t CodeDegreeSuffix = -13;
inline constexpr int32_t CodeRadianSuffix = -14;
inline constexpr int32_t CodeOutputList = -21;
inline constexpr int32_t CodeOutputListEnd = -22;

// Operator codes.
inline constexpr int32_t MarkEnd = 1;
inline constexpr int32_t OpSeparator = 4;
inline constexpr int32_t OpAdd = 5;
inline constexpr int32_t OpSubtract = 6;
inline constexpr int32_t OpEqual = 7;
inline constexpr int32_t OpMultiply = 8;
inline constexpr int32_t OpDivide = 9;
inline constexpr int32_t OpNegate = 10;
inline constexpr int32_t OpPower = 11;

// Function and marker words.
inline constexpr int32_t SeriesSum = 195;
inline constexpr int32_t SeriesProduct = 196;
inline constexpr int32_t SeriesEnd = 197;
inline constexpr int32_t OpCompare = 199;
inline constexpr int32_t OpUserFunction = 208;
inline constexpr int32_t OpUnitCall = 253;
inline constexpr int32_t OpExternalProcedure = 254;
inline constexpr int32_t OpExternalFunction = 255;

// Whether an operand code is followed by an index word.
inline bool OperandHasIndex(int32_t word) {
  return word == CodeVariable || word == CodeLocalVariable || word == CodeGotoLabel ||
         word == CodeBuiltinConstant || word == CodeComplexVariable;
}

// Append to CurrentEquation's code, constant pool or string operands. Each
// block grows in fixed steps (200, 50 and 20 bytes); when memory runs out the
// word is lost and CalcErrorCode is 75.
void EmitCode(int32_t word);
void EmitRealConstant(Extended value);   // then CodeConstant
void EmitStringConstant(int32_t index);  // then CodeStringConstant

}  // namespace voq
