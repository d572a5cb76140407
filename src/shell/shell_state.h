#pragma once
// The application shell's own globals: how the program was started, the
// copy number it took, the search-directory list and the flags the main
// window's hooks test. Reset by ResetShellState, which InstallShell
// registers with the engine reset.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The first command-line parameter names a macro file that runs in batch
// mode; its name, cut to 255 characters.
extern std::string StartupMacroFile;
// A macro is played from the Macro window; a data-exchange command runs.
extern bool MacroPlayingFromWindow;
// The next compile accepts what a strict one refuses; cleared by Solve.
extern bool LenientCompile;
extern bool DdeCommandActive;
// "VOQ" for the first copy, "VOQ(n)" for copy number n.
extern std::string InstanceTitle;
// The model a distributable program opens (1 to 5).
extern int16_t DistributableFileIndex;
// The search-directory list: three entries, the third the macro folder.
extern std::vector<std::string> DirectorySettings;
// Set while a dialog that wants every key for itself is open (Print
// Preview, the uncertainty and Variable Information dialogs).
extern bool KeyDialogOpen;
// A modal dialog of the program is open.
extern bool DialogOpen;
// The Constants dialog's size and its first three column widths as the
// user left them (in pixels), kept while the program runs.
struct TConstantDlgGeometry {
  bool Saved = false;
  int Width = 0;
  int Height = 0;
  int ColumnWidths[3] = {0, 0, 0};
};
extern TConstantDlgGeometry ConstantDlgGeometry;

// The Insert/Modify Array dialog's left, top, width and height when OK was
// last pressed (all 0: none yet), and the array name last entered (at most
// 30 characters); both kept until the document is reset.
struct TInsertArrayDialogState {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};
extern TInsertArrayDialogState InsertArrayDialogState;
extern std::string LastArrayName;
// A document reset forgets them.
void ResetInsertArrayState();

// Also puts the command hooks and the fatal-exit hooks back to their defaults.
void ResetShellState();
// Registers ResetShellState with the engine reset; once, before StartEngine.
void InstallShell();

// Reads "VOQ.DIR" from directory into DirectorySettings: one entry a line;
// missing, unreadable or of fewer than two lines gives three empty entries,
// and a list shorter than three is padded with empty entries, since the
// commands that read the macro folder expect the third.
void ReadDirectorySettings(const std::string& directory);

}  // namespace voq
