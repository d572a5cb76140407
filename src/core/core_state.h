#pragma once
// The core's part of the engine reset.
namespace voq {

// Every global of the core (calculation error and its arguments, program
// flags, number formatting, locale separators, string constants, search
// directories, the abort poll's clock) back to its start value.
void ResetCoreState();

}  // namespace voq
