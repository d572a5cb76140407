#pragma once
// File > Print and the tool bar's Print button. Until the Print dialog
// chooses windows and pages, they print the active window (the Solution
// window's shown tab, or else the Equations window's text) as one job
// through the print engine, on the system's printer, or into a PDF file
// when no printer is installed.
#include <string>

namespace voq {

class TVOQ_D;

// Installs the printer devices and the two commands' handlers.
void InstallPrintCommand(TVOQ_D& window);
// The job title of a document: its file name (at most 72 characters, the
// end kept), or "(Untitled)".
std::string PrintJobTitle(const std::string& fileName);
// Where a job goes when no printer is installed: the document's name with
// ".pdf", or "Untitled.pdf" in the home folder.
std::string PrintPdfPath(const std::string& fileName);
// Prints the Equations window's text as one job; false when the job could
// not begin (the engine has told the user).
bool PrintEquationsWindow(TVOQ_D& window);
// Prints the Solution window's shown tab as one job; false when the job
// could not begin.
bool PrintSolutionWindow(TVOQ_D& window);
// The Residuals window's listing as one job; false when the job could not
// begin.
bool PrintResidualsWindow(TVOQ_D& window);
// The Formatted Equations window's page into a job of its own.
bool PrintFormattedEquationsWindow(TVOQ_D& window);
// File > Print: the Solution, Residuals or Formatted Equations window or a
// table window's shown table when it is the active child window, else the
// Equations window.
bool PrintActiveWindow(TVOQ_D& window);
// File > Print: prints the active window; when the job goes to a PDF, asks
// before replacing an existing file and says where the printout was written.
bool PrintFromMenu(TVOQ_D& window);

}  // namespace voq
