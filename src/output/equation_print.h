#pragma once
// Putting the Equations text on paper through the print engine. The whole
// text prints as one section of a running job, keeping the editor's look:
// comments in their printed styles (and colours with "Print in color"),
// tabs expanded to the tab width, long lines broken at operator and
// separator characters. A selection prints as a job of its own, character
// by character in the normal printer font.
#include <cstdint>
#include <string>

namespace voq {

// Longest part of an editor line that is printed.
inline constexpr size_t kPrintedLineLimit = 2048;
// The tab width printed when the preference has none, in screen pixels.
inline constexpr int32_t kDefaultPrintedTabWidth = 24;
// The indent of a continuation line's text, and again of its start, in
// printer dots, when long lines are indented.
inline constexpr int32_t kContinuationIndent = 45;
// The characters a printed line may break before.
bool IsPrintBreakCharacter(char c);

// Prints the Equations text (Windows-1252, CR LF line breaks) into the
// running job; screenPixelsPerInch converts the tab-width preference. Stops
// before the next line once PrintPageState reaches 2.
void PrintEquationsText(const std::string& text, int32_t screenPixelsPerInch);

// Prints a selection of the Equations text as a job of its own titled with
// the document's name ("(Untitled)" when empty). A job that cannot begin
// ends it silently.
void PrintEquationSelection(const std::string& selection, const std::string& documentName);

}  // namespace voq
