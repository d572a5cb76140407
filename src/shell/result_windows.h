#pragma once
// The Residuals and Debug windows as the rest of the program reaches them.
// The windows themselves are result windows (results/residual_form.h,
// results/debug_form.h), which define these functions.

#include <string>

namespace voq {

struct TProgramUnitRecord;

// The Windows menu's Residuals command and its tool button: the window
// (made hidden on first use) shown, activated and brought to the front.
void ShowResidualsWindow();
// The main window's Residuals command: ShowResidualsWindow while a solution
// (or the last iteration's values) exists, else "not yet available".
void ResidualsCommand();
// A document reset: the Residuals window scrolled to its top and hidden.
void HideResidualsWindow();
// The Find dialog's and Find Next's search of the Residuals window's lines
// (TResidualForm::Find); false, and nothing searched, without the window.
bool FindInResidualsWindow(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords,
                           bool matchCase);

// The Debug window explains unit in mode 0 (an unbalanced set), 1 (the
// residual check) or 2 (the unit check): made when missing, shown and
// brought to the front.
void OpenDebugWindow(TProgramUnitRecord* unit, int mode);
void RaiseDebugWindow();
// A document reset frees it.
void FreeDebugWindow();

}  // namespace voq
