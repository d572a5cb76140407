#include "solver/evaluator_support.h"

namespace voq {
namespace {

ParametricColumnTest parametricColumnTest = nullptr;

}  // namespace

// Never reusable: every call runs its body.
bool CallResultReusable(int32_t /*routine*/) { return false; }

void SaveCallLocals(int32_t /*routine*/) {}

int32_t ResolveRoutineIndex(TEvaluationState& /*state*/, int32_t /*compiledIndex*/) { return -1; }

void CheckLogicalOperands(int32_t /*a*/, int32_t /*b*/) {}

void UpdateLimitsFromVariables(int32_t /*v*/) {}

void UpdateAllLimitsFromVariables() {}

bool IsParametricColumnVariable(int32_t k) { return parametricColumnTest != nullptr && parametricColumnTest(k); }

void SetParametricColumnTest(ParametricColumnTest test) { parametricColumnTest = test; }

}  // namespace voq
