#include "properties/helmholtz_models.h"

#include "properties/helmholtz_air.h"
#include "properties/helmholtz_ammonia.h"
#include "properties/helmholtz_helium.h"
#include "properties/helmholtz_methane_ethane.h"
#include "properties/helmholtz_argon.h"
#include "properties/helmholtz_carbon_dioxide.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/helmholtz_oxygen.h"
#include "properties/helmholtz_refrigerants.h"
#include "properties/helmholtz_second_group.h"
#include "properties/water_iapws95.h"

namespace voq {

namespace {

// A second-group object whose model is complete; the others keep their
// rows on the factory's placeholder.
TSubstanceBase* IfComplete(TGeneralEosSubstance* o) {
  if (SecondGroupModelComplete(*o)) return o;
  delete o;
  return nullptr;
}

}  // namespace

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
    case 51: return CreateEosMethane();
    case 48: return CreateEosEthane();
    case 47: return CreateEosR134a();
    case 57: return CreateEosR22();
    case 58: return CreateEosR152a();
    case 55: return IfComplete(CreateEosNeon());
    case 75: return IfComplete(CreateEosXenon());
    case 60: return IfComplete(CreateEosIsopentane());
    case 34: return IfComplete(CreateEosEthylene());
    case 61: return IfComplete(CreateEosPropylene());
    case 62: return IfComplete(CreateEosRC318());
    case 64: return IfComplete(CreateEosMethanol());
    case 35: return IfComplete(CreateEosPentane());
    case 65: return IfComplete(CreateEosHydrogen());
    case 67: return IfComplete(CreateEosCarbonMonoxide());
    case 68: return IfComplete(CreateEosHexane());
    case 49: return IfComplete(CreateEosR23());
    case 17: return IfComplete(CreateEosR123());
    case 73: return IfComplete(CreateEosR125());
    // "R600" and "R290" are n-butane and propane, filed under their rows.
    case 40:
    case 54: return IfComplete(CreateEosButane());
    case 53: return IfComplete(CreateEosIsobutane());
    case 39:
    case 52: return IfComplete(CreateEosPropane());
    default: return nullptr;
  }
}

}  // namespace voq
