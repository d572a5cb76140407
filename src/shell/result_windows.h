#pragma once
// The Residuals and Debug windows as the rest of the program reaches them.
// The windows themselves are result windows (results/residual_form.h,
// results/debug_form.h), which define these functions.

namespace voq {

struct TProgramUnitRecord;

// The Windows menu's Residuals command and its tool button: the window
// (made hidden on first use) shown, activated and brought to the front.
void ShowResidualsWindow();
// A document reset: the Residuals window scrolled to its top and hidden.
void HideResidualsWindow();

}  // namespace voq
