#pragma once
// Opcode 198 (CALL ERROR / CALL WARNING in a body) and opcode 199 (the
// comparisons and logical operators of IF and UNTIL conditions).
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "solver/evaluator.h"

namespace voq {

// Opcode 198. The stack holds the kind (1 ERROR, 20 WARNING), the message's
// string-constant index (0 without a message text, -1 for a message held
// by a string variable) and, optionally, the value. An ERROR stops the
// evaluation with error 100 (the message in MessageText) or 236; a WARNING
// adds a line to the warnings list and the evaluation goes on.
bool ErrorWarningOpcode(TEvaluationState& state, int32_t opcode);
// Opcode 199: the comparison code (1 <, 2 >, 3 <=, 4 >=, 5 =, 6 <>, 7 AND,
// 8 OR) and the two operands give 1 or 0. Equality holds within a relative
// difference of 1E-10.
bool CompareOpcode(TEvaluationState& state, int32_t opcode);
// The message with its first XXX placeholder replaced by v as it asks:
// XXXF, XXXE, XXXA (fixed, exponential, automatic, an optional digit count
// after the letter), XXXS or XXX$ (the string whose index v is); a bare XXX
// is removed.
std::string ExpandMessagePlaceholder(const std::string& text, Extended v);

}  // namespace voq
