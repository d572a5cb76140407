#include "properties/helmholtz_models.h"

#include "properties/helmholtz_argon.h"
#include "properties/helmholtz_carbon_dioxide.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/water_iapws95.h"

namespace voq {

TSubstanceBase* CreateHighAccuracyFluid(int32_t row) {
  switch (row) {
    case 28: return CreateEosNitrogen();
    case 56: return CreateEosWater();
    case 29:
    case 43: return CreateEosCarbonDioxide();
    case 59: return CreateEosArgon();
    default: return nullptr;
  }
}

}  // namespace voq
