#include "units/units_state.h"

namespace voq {

void ResetUnitsState() {}

}  // namespace voq
