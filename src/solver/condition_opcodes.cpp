#include "solver/condition_opcodes.h"

namespace voq {

bool ErrorWarningOpcode(TEvaluationState& /*state*/, int32_t /*opcode*/) { return false; }

bool CompareOpcode(TEvaluationState& /*state*/, int32_t /*opcode*/) { return false; }

std::string ExpandMessagePlaceholder(const std::string& text, Extended /*v*/) { return text; }

}  // namespace voq
