#include "properties/state_caches.h"

#include "model/property_caches.h"
#include "properties/steam_nbs.h"

namespace voq {

namespace {

class TPropertyStateCaches final : public PropertyCaches {
 public:
  void ClearStateCaches() override { EmptySteamStateBlock(); }
  void ResetStateCachesForNewDocument() override { ResetSteamStateBlockForNewDocument(); }
};

TPropertyStateCaches stateCaches;

}  // namespace

void InstallPropertyStateCaches() { SetPropertyCaches(&stateCaches); }

}  // namespace voq
