#include "properties/helmholtz_models.h"

#include "properties/helmholtz_nitrogen.h"

namespace voq {

TSubstanceBase* CreateHighAccuracyFluid(int32_t row) {
  switch (row) {
    case 28: return CreateEosNitrogen();
    default: return nullptr;
  }
}

}  // namespace voq
