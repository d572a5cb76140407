#pragma once
// The evaluator's calls of external routines: opcode 255 runs an external
// function (".DLF"), opcode 254 one output of an external procedure (".DLP"
// list style or ".FDL" array style), with the built-in procedures JANAF and
// VOQREFP6 served by the property library instead of an entry point.
//
// A procedure runs once for a set of inputs and text: the CALL compiles into
// one equation per output, and each of them takes its output from the
// outputs cached in the procedure's record while the inputs stay the same.
// Library routines run with their library's folder as the current directory
// (array-style ones excepted), which is restored afterwards.
#include <cstdint>

#include "core/extended.h"

namespace voq {

// An input as the libraries receive it: the value as an 8-byte real, or
// 1E+99 for a value an 8-byte real cannot hold (a blank input included).
double ExternalInputValue(Extended x);

void InstallExternalCallOpcodes();

}  // namespace voq
