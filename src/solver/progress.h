#pragma once
// The calculation progress display: block, iteration, largest residual and
// largest variable change of the unit being solved, the elapsed time, and at
// the end "Calculations Completed" with a summary of the problem.
//
// The solvers call Draw from their innermost loops; Draw reads one tick count
// and returns unless 500 ms have passed or a redraw is forced. What is shown
// and how is the view's business (Present); the engine computes the texts.
// The default view shows nothing, which is right for the console front end
// and for tests; the application installs a factory for its dialog.
#include <cstdint>
#include <memory>
#include <string>

namespace voq {

// The texts of one redraw.
struct TProgressFigures {
  std::string Caption;        // "Calculation progress in Run 3", or "" for the default caption
  std::string SubProgram;     // the unit being solved; "" when only the main program exists
  std::string Block;          // block number followed by three blanks
  std::string Iteration;      // iteration number
  std::string Residual;       // largest relative residual, exponential with 4 digits, then " "
  std::string VariableChange; // largest change, the same way
  std::string Seconds;        // tenths of seconds as "12.3 sec" (".5 sec" below one second)
  bool Final = false;         // "Calculations Completed"
};

class TProgressDlg {
 public:
  virtual ~TProgressDlg() = default;

  // Tick count of the last draw, or the end time in the final display.
  int32_t LastDrawTicks = 0;
  uint8_t ContinueClicked = 0;
  uint8_t ForceRedraw = 0;
  uint8_t FinalDisplay = 0;
  // Integral stepping is going on: the block solver does not force redraws.
  uint8_t Integrating = 0;

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

 protected:
  // The view: show these figures (and let the window system run).
  virtual void Present(const TProgressFigures& /*figures*/) {}
  // The view: final display with the summary; Continue replaces Abort.
  virtual void PresentFinal(const TProgressFigures& /*figures*/, const std::string& /*summary*/) {}
  // Whether a Continue button exists that WaitEvent should wait for.
  virtual bool WaitsForContinue() const { return false; }
};

// The progress window while a solve shows one; null otherwise.
extern TProgressDlg* ProgressDlg;

// Makes the progress window of a plain solve. The default makes the silent view.
using ProgressDialogFactory = std::unique_ptr<TProgressDlg> (*)();
void SetProgressDialogFactory(ProgressDialogFactory factory);
std::unique_ptr<TProgressDlg> CreateProgressDialog();

// Tenths of seconds as the progress display writes them: "12.3 sec", ".5 sec".
std::string TenthsAsSeconds(int32_t tenths, char decimalSeparator);

}  // namespace voq
