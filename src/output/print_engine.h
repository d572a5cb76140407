#pragma once
// The print engine: every window prints through one line-oriented job. A
// job is opened with BeginPrintJob, the window's Print routine draws each
// line at y = PrintLineHeight x CurrentLine on PrintState.Canvas and counts
// it with PrintAdvanceLines, PrintNewPage forces a page break and
// EndPrintJob closes the job. The engine owns the page geometry, the six
// printer fonts (the printer halves of DisplayFonts), the page header, the
// page range and the preview mode; it never draws a window's content.
#include <cstdint>
#include <functional>
#include <string>

#include "output/palette.h"
#include "output/print_surface.h"

namespace voq {

struct TPrintStateRecord {
  // The job's surface: the printer's, or the preview's picture. The engine
  // draws through Canvas; DeviceContext names the same surface.
  PrintSurface* DeviceContext = nullptr;
  PrintSurface* Canvas = nullptr;
  // Page height div PrintLineHeight, at least 8 once a job runs; 0 between
  // jobs (geometry not yet taken).
  int32_t LinesPerPage = 0;
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  // Line counter of the page being drawn.
  int32_t CurrentLine = 0;
  std::string JobTitle;
  bool PreviewMode = false;
  int32_t PageNumber = 0;
  int32_t Copies = 0;
  // After the preview's Back: the page to show first (0: every page).
  int32_t PreviewTargetPage = 0;
  bool JobRunning = false;
  bool ZoomOnRestart = false;
};

extern TPrintStateRecord PrintState;
// 0 running or waiting, 1 the preview's Next, 2 Cancel or Done, 99 the
// preview's Back. Print loops go on only while it is below 2.
inline constexpr int32_t kPageStateRunning = 0;
inline constexpr int32_t kPageStateNext = 1;
inline constexpr int32_t kPageStateCancel = 2;
inline constexpr int32_t kPageStateBack = 99;
extern int32_t PrintPageState;
// Set around a whole print run by whoever runs it; drawing code of the
// windows then draws on PrintState.Canvas with printer scaling.
extern bool Printing;

// Page metrics, in printer dots (PrinterDpi, the resolution, is the
// palette's, which TextSizePoints measures in).
extern int32_t PrinterDpiCopy;
extern int32_t PrintCharWidth;
extern int32_t PrintLineHeight;
extern int32_t PrintTextHeight;
extern int32_t PrintLeftMargin;
extern int32_t PrintRightMargin;

// Page selection: the Print dialog's page list (empty: all pages).
extern std::string PrintPageRange;
extern bool PrintAllPages;
extern bool PrintPageSelected;

// The fewest lines a page may have: the header and a page break use the
// first five lines and a page breaks once it passes LinesPerPage - 3, so a
// shorter page would break again inside its own header, for ever.
inline constexpr int32_t kMinimumLinesPerPage = 8;

// Opens a job in the mode of PrintState.PreviewMode and prints the first
// page header; true when the job runs. The caller sets PrintPageState to 0,
// Printing and PreviewMode first.
bool BeginPrintJob(const std::string& title, int16_t copies);
// Counts n lines; breaks the page once the page is full and counts the n
// lines again on the new page.
void PrintAdvanceLines(int32_t n);
// Ends the current page and starts the next one with its header.
void PrintNewPage();
// Finishes the last page and closes the job; always clears PreviewMode.
void EndPrintJob();
// The two header lines of a new page (the engine's own).
void PrintPageHeader();
// Whether a page is in PrintPageRange. A character other than digits,
// commas, semicolons and one hyphen per item, or a hyphen without a number
// on each side, sets CalcErrorCode 376 naming the character, and the page
// is not in range.
bool PageInRange(int32_t page);
// Resolution, fonts, margins, line height and lines per page of the job.
void SetUpPrinterMetrics();
// The six printer fonts of DisplayFonts from the printer font preferences.
void CreatePrinterFonts();
// Frees the printer fonts of DisplayFonts on the job's surface.
void FreePrinterFonts();

// The printer font's face of the preferences (FontNameByIndex; "Arial"
// for an index it does not know).
std::string PrinterFontFace();

// The front end's printer and preview. None installed: a job cannot start.
void SetPrintDevices(PrintDevices* devices);
// What a distributable program's page header names after "File: ": the
// running program's path and, in brackets, its model file's number. The
// shell installs it; the default is "VOQ (0)".
void SetPrintDistributableFileText(std::function<std::string()> fileText);
// The date and time of the page header; the default is the system's
// short date and time. Tests fix it.
void SetPrintDateText(std::function<std::string()> dateText);

// Back to no job, default metrics and all pages (the engine reset, through
// InstallOutput).
void ResetOutputPrintState();

}  // namespace voq
