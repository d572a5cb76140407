#include "properties/properties_state.h"

#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "properties/martin_hou_eos.h"
#include "properties/property_units.h"
#include "properties/state_caches.h"
#include "properties/steam_nbs.h"
#include "properties/substance_factory.h"

namespace voq {

void ResetIdealGasState() {
  for (auto& record : IdealGasDataTable) record.reset();
}

void ResetPropertiesState() {
  UnitConversionEnabled = false;
  LastIdealGasObject = nullptr;
  LastPlaceholderObject = nullptr;
  ResetIdealGasState();
  ResetMartinHouState();
  ResetSteamState();
  InstallPropertyStateCaches();
  ResetFluidCatalog();
  // The catalogue is built once before any equation is compiled; the reset
  // stands for the program's start.
  BuildFluidCatalog();
}

}  // namespace voq
