#include "view3d/view3d_state.h"

#include "session/engine.h"

namespace voq {

TView3dState& View3dState() {
  static TView3dState state;
  return state;
}

void ResetView3dState() { View3dState() = TView3dState{}; }

void InstallView3d() { RegisterEngineReset(&ResetView3dState); }

}  // namespace voq
