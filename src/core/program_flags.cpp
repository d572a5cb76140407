#include "core/program_flags.h"

namespace voq {

int ActiveChildWindow = kNoWindow;
bool LoadingLibrary = false;
bool DistributableMode = false;
bool PlayingMacroFile = false;
bool HiddenMode = false;
bool ShowWarningMessages = true;
std::string ProgramDirectory;

}  // namespace voq
