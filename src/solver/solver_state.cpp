#include "solver/solver_state.h"

namespace voq {

uint8_t Converged = 0;
int32_t FactorBlockNumber = 0;
Extended LastPivotMagnitude = 0;

}  // namespace voq
