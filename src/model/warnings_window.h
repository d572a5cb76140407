#pragma once
// The lines of the warnings window: warnings that do not stop a calculation
// (a correlation used outside its range, a nearly singular block). The
// window itself belongs to the application; this is the list it shows.
//
// The window shows each warning as its text and an empty line, and holds at
// most 124 such lines: a warning that would go past them is replaced, once,
// by the note "Additional warnings are not displayed..." and later ones are
// dropped. The list below keeps one entry a warning (the note is an entry of
// its own); WarningMemoText gives the window's lines.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// Lines of the window that warnings may fill (each warning takes two).
inline constexpr size_t kMaxWarningMemoLines = 124;
inline constexpr const char* kWarningsNotDisplayedNote = "Additional warnings are not displayed...";

// Set when a warning is added; cleared when the list becomes empty.
extern bool WarningsPending;

// During a Parametric table run (run number above 0) the text is prefixed
// with "Run n: " (cut to 255 characters); the line is added unless the same
// line is already there. The run number comes from the reader the solver
// installs; the default reads 0.
void AddWarning(const std::string& text);
using WarningRunReader = int32_t (*)();
void SetWarningRunReader(WarningRunReader reader);
// Number of entries now in the list (warnings and the note).
size_t WarningLineCount();
// Deletes the entries from index n (0-based) to the end; the solvers use it
// to drop what an iteration that did not converge added.
void ClearWarningsAfter(size_t n);
const std::vector<std::string>& WarningLines();
// The window's lines: each warning followed by an empty line, the note alone.
std::vector<std::string> WarningMemoLines();
// Those lines joined by CR LF.
std::string WarningMemoText();

}  // namespace voq
