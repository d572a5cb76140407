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


}  // namespace voq
