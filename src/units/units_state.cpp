#include "units/units_state.h"

#include "units/constants.h"
#include "units/unit_check.h"
#include "units/unit_conversion_info.h"
#include "units/unit_table.h"

namespace voq {

void ResetUnitsState() {
  // The start-up load: the unit table first, since "?" constants are
  // converted through it.
  UnitSearchFromEnd = false;
  FreeUnitTable();
  LoadUnitTable();
  LoadConstantsFile();
  LastDimensionIndex = 0;
  // The property library installs its unit labels with its own reset.
  SetPropertyUnitsLabel(nullptr);
}

}  // namespace voq
