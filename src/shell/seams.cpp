#include "shell/seams.h"

#include "core/messages.h"
#include "documents/document_files.h"
#include "platform/platform.h"

namespace voq {

namespace {

void NotYetAvailable(const std::string& command) {
  ShowAlert("\"" + command + "\" is not yet available.", kAlertInfoOk, false);
}

TShellCommands Defaults() {
  TShellCommands c;
  c.ReadaFile = [](const std::string&) { NotYetAvailable("Open"); };
  // The rescue save after a fatal error needs no window: the document
  // writer is called directly.
  c.SaveDocumentFile = [](const std::string& fileName, int oldLayout, int purge, int copy) {
    SaveDocumentFile(fileName, oldLayout != 0, purge != 0, copy != 0);
  };
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
