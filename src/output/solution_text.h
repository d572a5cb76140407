#pragma once
// The Solution window as text: the one line a variable gives in a saved
// solution and in voq-solve's output, the solution text file, and the text
// the window copies to the clipboard.
#include <string>

#include "model/program_units.h"
#include "output/solution_listing.h"

namespace voq {

// One variable as a text line: name "=" value, then " [units]" when it has
// units and is no string variable. valueText is the value as the caller
// formats it (the variable's own format, or more digits in voq-solve).
std::string SolutionTextLine(const std::string& name, const std::string& valueText, const TVariableRecord& v);

// The value by the variable's display format (a string variable's text).
std::string SolutionValueText(const TVariableRecord& v);

// Whether the main program's variable goes into a saved solution: not an
// array element left to the Arrays window, and not Hidden unless a macro
// runs.
bool SavedInSolution(const TVariableRecord& v, bool macroRunning);

// Writes the main program's variables, one line each, and one empty line to
// file (appended to when append is set); the file's folder joins the search
// directories. A file that cannot be opened or written is reported
// (ReportIOError) and gives false.
bool SaveSolution(const std::string& file, bool append, bool macroRunning = false);

// The selected tab's content as CR LF lines, as the window copies it.
std::string SolutionClipboardText(const TSolutionState& state);

}  // namespace voq
