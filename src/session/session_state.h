#pragma once
// The session layer's part of the engine reset.
namespace voq {

// Every global of the compile driver, the solve sequence, the problem
// summary and the document reset back to its start value.
void ResetSessionState();

}  // namespace voq
