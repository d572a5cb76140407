#include "properties/properties_state.h"

#include "properties/martin_hou_eos.h"

namespace voq {

void ResetPropertiesState() { ResetMartinHouState(); }

}  // namespace voq
