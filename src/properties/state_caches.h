#pragma once
// The property library's answer to "forget the last computed states": the
// object ClearCompiledEquations and the document reset reach through
// model/property_caches.h. Installed by the properties reset.
namespace voq {

void InstallPropertyStateCaches();

}  // namespace voq
