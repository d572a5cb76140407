#pragma once
// The Solution window (slot 2). Until the full window with its format
// controls is built, a stand-in lists the main program's variables and
// values; CreateSolutionWindow is the one place that makes it.
#include "shell/gform.h"

namespace voq {

// A new, hidden Solution window (Tag 2) with the caption "Solution".
TGForm* CreateSolutionWindow();

}  // namespace voq
