#pragma once
// The units subsystem's part of the engine reset: the unit table, the
// constants list and the unit-check state back to their start values.
namespace voq {

void ResetUnitsState();

}  // namespace voq
