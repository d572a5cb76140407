#pragma once
// The high-accuracy fluid models built so far, by catalogue row.
#include <cstdint>

#include "model/substance_base.h"

namespace voq {

// The model object of a kind -2 catalogue row; null for a row whose model
// is not in this build (the factory then gives its placeholder).
TSubstanceBase* CreateHighAccuracyFluid(int32_t row);

}  // namespace voq
