#pragma once
// Commands of the shell that other parts of the program provide: reading a
// document into the Equations window, saving one, running a macro file, and
// loading the user libraries behind the splash box. Each is a hook the
// provider sets when the program starts; until then a call says the command
// is not yet available (the library loader does nothing: no library is
// loaded is what the user sees then).
#include <functional>
#include <string>

namespace voq {

struct TShellCommands {
  // Opens a document (the start document, "HELLO.VOQ").
  std::function<void(const std::string& fileName)> ReadaFile;
  // Saves the current document: name, then the three mode arguments.
  std::function<void(const std::string& fileName, int mode, int second, int third)> SaveDocumentFile;
  // Runs a macro file; terminate asks the application to end afterwards.
  std::function<void(const std::string& fileName, bool terminate)> RunMacro;
  // Loads the user libraries while the splash box is up.
  std::function<void()> ReadExternals;
};

// The hooks in force; ResetShellCommands puts the defaults back.
TShellCommands& ShellCommands();
void ResetShellCommands();

}  // namespace voq
