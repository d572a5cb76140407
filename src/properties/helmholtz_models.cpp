#include "properties/helmholtz_models.h"

#include "properties/helmholtz_air.h"
#include "properties/helmholtz_ammonia.h"
#include "properties/helmholtz_helium.h"
#include "properties/helmholtz_argon.h"
#include "properties/helmholtz_carbon_dioxide.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/helmholtz_oxygen.h"
#include "properties/helmholtz_refrigerants.h"
#include "properties/water_iapws95.h"

namespace voq {

TSubstanceBase* CreateHighAccuracyFluid(int32_t row) {
  switch (row) {
    case 28: return CreateEosNitrogen();
    case 31: return CreateEosOxygen();
    case 33: return CreateEosHelium();
    // "R717" and "Ammonia": one model, filed under the "Ammonia" row.
    case 41:
    case 50: return CreateEosAmmonia();
    case 56: return CreateEosWater();
    case 74: return CreateEosAir();
    case 29:
    case 43: return CreateEosCarbonDioxide();
    case 59: return CreateEosArgon();
    case 47: return CreateEosR134a();
    case 57: return CreateEosR22();
    case 58: return CreateEosR152a();
    default: return nullptr;
  }
}

}  // namespace voq
