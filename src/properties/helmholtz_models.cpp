#include "properties/helmholtz_models.h"

#include "properties/helmholtz_nitrogen.h"
#include "properties/water_iapws95.h"

namespace voq {

TSubstanceBase* CreateHighAccuracyFluid(int32_t row) {
  switch (row) {
    case 28: return CreateEosNitrogen();
    case 56: return CreateEosWater();
    default: return nullptr;
  }
}

}  // namespace voq
