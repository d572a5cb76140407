#pragma once
// The built-in array-style procedure VOQREFP6, the bridge to an external
// property library for real fluids and their mixtures (a shared object
// exporting the array-style entry "REFP32").
#include <cstdint>
#include <string>

namespace voq {

// The procedure's body; arguments as for every array-style procedure.
void CallVoqRefp6(char* text, int32_t textLength, int32_t& mode, int32_t& inputCount, double* inputs,
                  int32_t& outputCount, double* outputs);

// The library's folder when the fluid text names none, and the library's
// file name in it; configurable for installations and tests.
extern std::string PropertyLibraryDirectory;
extern std::string PropertyLibraryFileName;
void ResetExternalPropertyLibrary();

}  // namespace voq
