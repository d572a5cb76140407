#include "properties/properties_state.h"

#include "properties/external_property_library.h"

#include "properties/fluid_catalog.h"
#include "properties/helmholtz_state.h"
#include "properties/ideal_gas.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_solver.h"
#include "properties/moist_air.h"
#include "properties/property_units.h"
#include "properties/state_caches.h"
#include "properties/steam_nbs.h"
#include "properties/substance_factory.h"
#include "units/unit_check.h"

namespace voq {

namespace {

int32_t CatalogHelpContext(int32_t row) {
  if (row < 0 || row >= static_cast<int32_t>(SubstanceCatalog.size())) return 0;
  return SubstanceCatalog[row].HelpContext > 0 ? SubstanceCatalog[row].HelpContext : 0;
}

}  // namespace

void ResetIdealGasState() {
  for (auto& record : IdealGasDataTable) record.reset();
}

void ResetPropertiesState() {
  UnitConversionEnabled = false;
  LastIdealGasObject = nullptr;
  LastPlaceholderObject = nullptr;
  ResetIdealGasState();
  ResetExternalPropertyLibrary();
  ResetMoistAirState();
  ResetMartinHouState();
  ResetMartinHouSolverState();
  // The Martin-Hou models take and give values in the document's units
  // through the same conversions as every other property call.
  InstallMartinHouSolverServices({ConvertPropertyArgument, ConvertPropertyResult, CatalogHelpContext});
  // The unit check of property calls reads the document's labels.
  SetPropertyUnitsLabel(static_cast<std::string (*)(int32_t)>(PropertyUnitsText));
  ResetHelmholtzState();
  ResetSteamState();
  InstallPropertyStateCaches();
  ResetFluidCatalog();
  // The catalogue is built once before any equation is compiled; the reset
  // stands for the program's start.
  BuildFluidCatalog();
}

}  // namespace voq
