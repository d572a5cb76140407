#pragma once
// The Residuals window on paper: its listing drawn on the running print
// job's surface with the printer's fonts and scale. The listing's line
// counter is the job's current line, so the print engine counts the lines,
// breaks the pages and heads each page; every row is drawn, since on paper
// every line is in view.

namespace voq {

// Prints the Residuals listing into the running job: every variable's block
// marker freed first, so each block marks its own variables again, colour
// unless "Print in color" is off or ctrlHeld. The window's own state (its
// line texts, found line, block lines and chosen equation) is as it was
// afterwards. Nothing happens without a running job; a cancelled job stops
// the listing at the next row.
void PrintResiduals(bool ctrlHeld = false);

}  // namespace voq
