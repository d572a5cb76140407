#include "shell/shell_state.h"

#include <fstream>

#include "session/engine.h"
#include "shell/fatal_exit.h"
#include "shell/seams.h"

namespace voq {

std::string StartupMacroFile;
bool MacroPlayingFromWindow = false;
bool LenientCompile = false;
bool DdeCommandActive = false;
std::string InstanceTitle = "VOQ";
int16_t DistributableFileIndex = 1;
std::vector<std::string> DirectorySettings(3);
bool KeyDialogOpen = false;
bool DialogOpen = false;
TConstantDlgGeometry ConstantDlgGeometry;
TInsertArrayDialogState InsertArrayDialogState;
std::string LastArrayName;

void ResetInsertArrayState() {
  InsertArrayDialogState = TInsertArrayDialogState{};
  LastArrayName.clear();
}

void ResetShellState() {
  StartupMacroFile.clear();
  MacroPlayingFromWindow = false;
  LenientCompile = false;
  DdeCommandActive = false;
  InstanceTitle = "VOQ";
  DistributableFileIndex = 1;
  DirectorySettings.assign(3, std::string());
  KeyDialogOpen = false;
  DialogOpen = false;
  ConstantDlgGeometry = TConstantDlgGeometry{};
  ResetInsertArrayState();
  ResetShellCommands();
  ResetFatalExitHooks();
}

void InstallShell() { RegisterEngineReset(&ResetShellState); }

void ReadDirectorySettings(const std::string& directory) {
  DirectorySettings.assign(3, std::string());
  std::ifstream in(directory + "/VOQ.DIR", std::ios::binary);
  if (!in) return;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() < 2) return;
  while (lines.size() < 3) lines.emplace_back();
  DirectorySettings = std::move(lines);
}

}  // namespace voq
