#include "model/property_caches.h"

namespace voq {

namespace {
PropertyCaches* installedCaches = nullptr;
}  // namespace

PropertyCaches* InstalledPropertyCaches() { return installedCaches; }
void SetPropertyCaches(PropertyCaches* caches) { installedCaches = caches; }

}  // namespace voq
