#include "shell/fatal_exit.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <exception>

#include "core/program_flags.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "shell/seams.h"

namespace voq {

namespace {

constexpr const char* kRescueFile = "VOQERROR.VOQ";

TFatalExitHooks DefaultHooks() {
  TFatalExitHooks hooks;
  hooks.ShowMessage = [](const std::string& caption, const std::string& text) {
    QMessageBox::critical(nullptr, QString::fromStdString(caption), QString::fromStdString(Cp1252ToUtf8(text)),
                          QMessageBox::Ok);
  };
  hooks.EndProcess = [](int code) { std::_Exit(code); };
  return hooks;
}

TFatalExitHooks hooks = DefaultHooks();
std::terminate_handler previousTerminate = nullptr;
bool inHandler = false;

void OnTerminate() {
  FatalExitHandler(kFatalTerminateCode);
  if (previousTerminate != nullptr) previousTerminate();
  std::abort();
}

}  // namespace

TFatalExitHooks& FatalExitHooks() { return hooks; }
void ResetFatalExitHooks() { hooks = DefaultHooks(); }

void FatalExitHandler(int exitCode) {
  if (exitCode == 0 || DistributableMode || inHandler) return;
  // A second fault while rescuing must not loop.
  inHandler = true;
  try {
    if (ShellCommands().SaveDocumentFile) ShellCommands().SaveDocumentFile(kRescueFile, 0, 0, 0);
  } catch (...) {
  }
  std::string text;
  const TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit != nullptr && unit->LastEquation != nullptr) {
    text = "Error while processing the following equation:\r" + unit->LastEquation->Text.value_or("") + "\r\r";
  } else {
    text = "\r";
  }
  text += std::string("Your file has been saved in ") + kRescueFile;
  if (hooks.ShowMessage) hooks.ShowMessage("Unexpected fatal error #" + std::to_string(exitCode), text);
  inHandler = false;
}

void InstallFatalExitHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  previousTerminate = std::set_terminate(&OnTerminate);
}

void GuardEventHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    FatalExitHandler(kFatalExceptionCode);
    if (hooks.EndProcess) hooks.EndProcess(kFatalExceptionCode);
  }
}

}  // namespace voq
