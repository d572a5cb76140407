#pragma once
// Opcode 198 (CALL ERROR / CALL WARNING in a body) and opcode 199 (the
// comparisons and logical operators of IF and UNTIL conditions).
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "solver/evaluator.h"

namespace voq {

bool ErrorWarningOpcode(TEvaluationState& state, int32_t opcode);  // 198
bool CompareOpcode(TEvaluationState& state, int32_t opcode);       // 199
// The message with its first XXX placeholder replaced by v as it asks.
std::string ExpandMessagePlaceholder(const std::string& text, Extended v);

}  // namespace voq
