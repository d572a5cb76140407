#include "shell/seams.h"

#include "core/messages.h"
#include "platform/platform.h"

namespace voq {

namespace {

void NotYetAvailable(const std::string& command) {
  ShowAlert("\"" + command + "\" is not yet available.", kAlertInfoOk, false);
}

TShellCommands Defaults() {
  TShellCommands c;
  c.ReadaFile = [](const std::string&) { NotYetAvailable("Open"); };
  c.SaveDocumentFile = [](const std::string&, int, int, int) { NotYetAvailable("Save"); };
  c.RunMacro = [](const std::string&, bool) { NotYetAvailable("Run macro"); };
  // The library loader is wired at start-up when the program has one.
  c.ReadExternals = [] {};
  return c;
}

TShellCommands commands = Defaults();

}  // namespace

TShellCommands& ShellCommands() { return commands; }
void ResetShellCommands() { commands = Defaults(); }

}  // namespace voq
