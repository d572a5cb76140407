#pragma once
// The data model's part of the engine start-up and reset.
namespace voq {

// Gives the core services the reading of equation records they cannot see
// themselves: the text range a pending warning selects, the clearing of the
// current unit's LastEquation on an abort, and the values of string
// variables.
void InstallModelServices();
// The store emptied (ResetProgramStore) and every other global of the data
// model (document settings, warnings list, solve-session flags, occurrence
// lists) back to its start value.
void ResetModelState();

}  // namespace voq
