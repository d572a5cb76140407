#pragma once
// The calculation progress display: block, iteration, largest residual and
// largest variable change of the unit being solved, the elapsed time, and at
// the end "Calculations Completed" with a summary of the problem.
//
// The solvers call Draw from their innermost loops; Draw reads one tick count
// and returns unless 500 ms have passed or a redraw is forced. The engine
// computes the texts (TProgressFigures); what is shown and how is the host's
// ProgressView's business.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

namespace voq {

class TProgressDlg {
 public:
  TProgressDlg();
  ~TProgressDlg();
  TProgressDlg(const TProgressDlg&) = delete;
  TProgressDlg& operator=(const TProgressDlg&) = delete;

  // Tick count of the last draw, or the end time in the final display.
  int32_t LastDrawTicks = 0;
  uint8_t ContinueClicked = 0;
  uint8_t ForceRedraw = 0;
  uint8_t FinalDisplay = 0;
  // Integral stepping is going on: the block solver does not force redraws.
  uint8_t Integrating = 0;
  // Fills the grid of an optimisation's independent variables; set by the
  // optimiser on its own window. Without it the grid shows the main
  // program's integration variables (none while optimising).
  void (*FillGrid)(TProgressFigures& figures) = nullptr;

  // Starts the clock and resets the current unit's figures (the window
  // becoming active).
  void FormActivate();
  // Updates the figures, at most every 500 ms unless forced.
  void Draw();
  // Final display; waits up to 10 s for Continue when the view can be
  // answered (WaitsForContinue).
  void WaitEvent();
  // "n equations in m blocks" for the current unit.
  std::string ProblemSummaryText() const;

  // Tick count of the last redraw of the figures.
  int32_t LastFiguresTicks = 0;

 private:
  bool figuresDrawn_ = false;
};

// The progress window while a solve shows one; null otherwise.
extern TProgressDlg* ProgressDlg;

// Makes the progress window of a plain solve; the host's view opens.
std::unique_ptr<TProgressDlg> CreateProgressDialog();

// The grid rows of the main program's integration slots (a module's slots
// are left out) with their current positions; no headings when the main
// program integrates over nothing.
void FillIntegrationGrid(TProgressFigures& figures);

// Tenths of seconds as the progress display writes them: "12.3 sec", ".5 sec".
std::string TenthsAsSeconds(int32_t tenths, char decimalSeparator);

}  // namespace voq
