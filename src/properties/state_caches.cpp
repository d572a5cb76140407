#include "properties/state_caches.h"

#include "core/extended.h"
#include "model/property_caches.h"
#include "properties/helmholtz_state.h"
#include "properties/martin_hou_solver.h"
#include "properties/steam_nbs.h"

namespace voq {

namespace {

// The Martin-Hou solver answers a request again from PropertyStateVector
// when its inputs match the stored ones; values no input can equal make it
// solve afresh.
void FillMartinHouStateVector(size_t count, Extended value) {
  for (size_t k = 1; k <= count; ++k) PropertyStateVector[k] = value;
}

class TPropertyStateCaches final : public PropertyCaches {
 public:
  void ClearStateCaches() override {
    EmptySteamStateBlock();
    FillMartinHouStateVector(10, BlankValue);
    ClearEosStateCache();
  }
  void ResetStateCachesForNewDocument() override {
    ResetSteamStateBlockForNewDocument();
    FillMartinHouStateVector(6, -999);
  }
};

TPropertyStateCaches stateCaches;

}  // namespace

void InstallPropertyStateCaches() { SetPropertyCaches(&stateCaches); }

}  // namespace voq
