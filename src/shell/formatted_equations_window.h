#pragma once
// The Formatted Equations window (slot 5). The window itself,
// TFormattedEquationsForm, is one of the result windows
// (results/formatted_equations_form.h), which defines this function.

namespace voq {

// The Windows menu's command: compiles the equations and, when they
// compiled without error, shows the window laid out afresh.
void ShowFormattedEquations();

class TFormattedEquations;
// The window's page, null while the window has not been made.
TFormattedEquations* FormattedEquationsPage();

}  // namespace voq
