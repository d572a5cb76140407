#pragma once
// The Solution window (slot 2). CreateSolutionWindow is the one place that
// makes it; the window, TSolutionForm, is one of the result windows
// (results/solution_form.h), which defines this function.
#include "shell/gform.h"

namespace voq {

// A new, hidden Solution window (Tag 2) with the caption "Solution".
TGForm* CreateSolutionWindow();

}  // namespace voq
