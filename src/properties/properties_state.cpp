#include "properties/properties_state.h"

#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_solver.h"

namespace voq {

void ResetPropertiesState() {
  ResetMartinHouState();
  ResetMartinHouSolverState();
}

}  // namespace voq
