#pragma once
// Program-wide mode flags and the few shell settings the engine reads. They
// are set by the application shell, the library loader, the macro player and
// the distributable-program start-up; the engine only tests them.
#include <cstdint>
#include <string>

namespace voq {

// Window numbers of the child windows (the form's tag).
enum WindowNumber : int {
  kNoWindow = 0,
  kEquationsWindow = 1,
  kSolutionWindow = 2,
  kResidualsWindow = 3,
  kParametricTableWindow = 4,
  kFormattedEquationsWindow = 5,
  kLookupTableWindow = 6,
  kDiagramWindow = 7,
  kArraysTableWindow = 8,
  kPlotWindow = 9,
  kIntegralTableWindow = 10,
  kDebugWindow = 11,
};

// The active child window by number (kNoWindow when none).
extern int ActiveChildWindow;
// Library files are being read: routines and units created now are library ones.
extern bool LoadingLibrary;
// Running as a distributable program.
extern bool DistributableMode;
// A macro file plays without interaction: no alerts are shown.
extern bool PlayingMacroFile;
// Started with the "HIDE" option.
extern bool HiddenMode;
// The preference "Display warning messages".
extern bool ShowWarningMessages;
// The directory of the program file, where its data files live.
extern std::string ProgramDirectory;

// What the engine needs of the child windows when it reports an equation
// error. The application implements it; the default does nothing, which is
// right for the console front end.
class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // Whether the window exists (has been created).
  virtual bool WindowExists(int window) { return window == kEquationsWindow; }
  // Shows the window inside the main window and brings it to the front.
  virtual void ShowWindow(int /*window*/) {}
  // Shows the window, gives it the focus and repaints it.
  virtual void ShowAndFocus(int /*window*/) {}
  // The Equations editor keeps (false) or hides (true) its selection when it
  // loses the focus.
  virtual void SetEquationsHideSelection(bool /*hide*/) {}
  // Selects characters start..end-1 of the Equations text and scrolls so the
  // line holding start is in the middle of the editor.
  virtual void SelectEquationsText(int32_t /*start*/, int32_t /*end*/, int32_t /*line*/) {}
};

WindowServices& Windows();
// Installs window services (not owned); nullptr restores the default.
void SetWindows(WindowServices* services);

}  // namespace voq
