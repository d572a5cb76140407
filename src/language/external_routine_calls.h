#pragma once
// Calls of external routines in the text: an external function named in an
// expression, and the catalogue of external procedures the CALL statement
// consults, both over the loaded libraries' records.
#include <cstdint>
#include <string>

namespace voq {

// NAME( ... ) of a loaded external function: rewritten into
// byte 255 ( number , text index , arguments , count ) where the text index
// is the first quoted argument's StringConstants index (0 without one) and
// count the arguments plus one; when the first argument is a string
// variable it serves as the text and no index is inserted. False when no
// external function has the name.
bool CompileExternalFunction(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                             int32_t& p);

// Installs the external function compiler, the procedure catalogue and the
// names user routines may not take.
void InstallExternalRoutineCalls();

}  // namespace voq
