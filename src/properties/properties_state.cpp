#include "properties/properties_state.h"

namespace voq {

void ResetPropertiesState() {}

}  // namespace voq
