#pragma once
// The lines of the warnings window: warnings that do not stop a calculation
// (a correlation used outside its range, a nearly singular block). The
// window itself belongs to the application; this is the list it shows.
#include <string>
#include <vector>

namespace voq {

inline constexpr size_t kMaxWarningLines = 125;

// Set when a warning line is added; cleared when the list becomes empty.
extern bool WarningsPending;

// Adds the text as a line unless the same line is already there. The 126th
// distinct line is "Additional warnings are not displayed..." and later
// warnings are dropped.
void AddWarning(const std::string& text);
// Number of lines now in the window.
size_t WarningLineCount();
// Deletes the lines from index n (0-based) to the end; the solvers use it to
// drop what an iteration that did not converge added.
void ClearWarningsAfter(size_t n);
const std::vector<std::string>& WarningLines();

}  // namespace voq
