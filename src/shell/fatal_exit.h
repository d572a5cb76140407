#pragma once
// The last line of defence: an exception that escapes an event handler (or
// reaches std::terminate) saves the user's document as "VOQERROR.VOQ" in the
// current folder and says so, naming the equation that was being worked on.
// A distributable program saves nothing and says nothing.
#include <functional>
#include <string>

namespace voq {

// The exit code shown for an exception that escaped an event handler, and
// for std::terminate.
inline constexpr int kFatalExceptionCode = 1;
inline constexpr int kFatalTerminateCode = 3;

// Saves the document and shows "Unexpected fatal error #code".
void FatalExitHandler(int exitCode);

// The message box of the handler (caption, text), and how the process then
// ends; tests replace both.
struct TFatalExitHooks {
  std::function<void(const std::string& caption, const std::string& text)> ShowMessage;
  std::function<void(int exitCode)> EndProcess;
};
TFatalExitHooks& FatalExitHooks();
void ResetFatalExitHooks();

// Chains the handler into std::terminate (once).
void InstallFatalExitHandler();

// Runs handler; an exception escaping it goes to FatalExitHandler and ends
// the process.
void GuardEventHandler(const std::function<void()>& handler);

}  // namespace voq
