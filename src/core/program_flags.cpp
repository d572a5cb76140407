#include "core/program_flags.h"

namespace voq {

int ActiveChildWindow = kNoWindow;
bool LoadingLibrary = false;
bool DistributableMode = false;
bool PlayingMacroFile = false;
bool HiddenMode = false;
bool ShowWarningMessages = true;
std::string ProgramDirectory;

namespace {
WindowServices* installedWindows = nullptr;
}

WindowServices& Windows() {
  if (installedWindows) return *installedWindows;
  static WindowServices none;
  return none;
}

void SetWindows(WindowServices* services) { installedWindows = services; }

}  // namespace voq
