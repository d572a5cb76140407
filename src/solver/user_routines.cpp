#include "solver/user_routines.h"

namespace voq {
namespace {

LookupCellAssigner lookupCellAssigner = nullptr;

}  // namespace

bool UserRoutineOpcode(TEvaluationState& /*state*/, int32_t /*opcode*/) { return false; }

bool ArrayElementOpcode(TEvaluationState& /*state*/, int32_t /*opcode*/) { return false; }

bool ReadLocalOperand(TEvaluationState& /*state*/, int32_t /*k*/, Extended& /*value*/) { return false; }

void RunRoutineBody(int32_t /*slot*/) {}

int32_t OutputLocalOffset(int32_t k, int32_t /*slot*/, const TArgumentListRecord* /*call*/,
                          const TArgumentListRecord* /*parameters*/) {
  return k;
}

void SetLookupCellAssigner(LookupCellAssigner assigner) { lookupCellAssigner = assigner; }

}  // namespace voq
