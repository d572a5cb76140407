#pragma once
// The property library's part of the engine reset: the substance caches,
// the fluid catalogue's loaded rows and the models' coefficient tables back
// to their start values.
namespace voq {

void ResetPropertiesState();

}  // namespace voq
