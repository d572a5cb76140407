#pragma once
// Program-wide state of the solver: what the block Newton iteration and the
// sparse factorisation share, and the flag the document reset clears.
#include <cstdint>

#include "core/extended.h"

namespace voq {

// The last block's iteration met the stop criteria.
extern uint8_t Converged;
// The block whose Jacobian is being factorised; named by warning 53.
extern int32_t FactorBlockNumber;
// |pivot| of the last step of the latest factorisation.
extern Extended LastPivotMagnitude;

}  // namespace voq
