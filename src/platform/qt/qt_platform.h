#pragma once
// The Qt implementation of the platform services: alerts on QMessageBox,
// the key state from the application, the system clipboard, QFileDialog,
// the override cursor. The keyboard poll of a long calculation lets the
// event loop run once; the main window's event filter has then already
// turned an Esc into an abort request and swallowed other input.
#include <QString>
#include <chrono>
#include <functional>
#include <random>
#include <string>

#include "platform/platform.h"

namespace voq {

class QtPlatform : public PlatformServices {
 public:
  QtPlatform();
  int32_t TickCount() override;
  int ShowAlertBox(const std::string& text, int kind, int32_t helpContext) override;
  int ShowQuestionBox(const std::string& caption, const std::string& text, int kind) override;
  bool TakeEscKeyDown() override;
  bool CtrlKeyDown() override;
  bool ShiftKeyDown() override;
  bool EscKeyDown() override;
  bool AltKeyDown() override;
  void Beep() override;
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardText(const std::string& text) override;
  bool AskSaveFileName(const std::string& title, const std::string& filter, int filterIndex,
                       std::string& path) override;
  bool AskOpenFileName(const std::string& title, const std::string& filter, int filterIndex,
                       std::string& path) override;
  void SetBusyCursor(int cursor) override;
  void ProcessPendingMessages() override;
  void WaitForMessages(int32_t milliseconds) override;
  double RandomUniform() override;

  // The event filter saw an Esc key-down since the last poll.
  void NoteEscKeyDown() { escPending_ = true; }
  // Whether Esc is held now (the filter tracks press and release).
  void SetEscHeld(bool held) { escHeld_ = held; }
  // The folder of the HTML help pages a Help button opens
  // ("<folder>/<context>.html").
  void SetHelpFolder(const std::string& folder) { helpFolder_ = folder; }
  // Opens a help page instead of the desktop's viewer (a test records it).
  void SetHelpOpener(std::function<void(const std::string&)> opener) { helpOpener_ = std::move(opener); }
  // The button a test presses in the next alerts (0: the user answers).
  void SetScriptedAnswer(int answer) { scriptedAnswer_ = answer; }
  // Text and kind of the last alert shown.
  const std::string& LastAlertText() const { return lastAlertText_; }
  int LastAlertKind() const { return lastAlertKind_; }
  // The caption of the last box ("VOQ" for an alert).
  const std::string& LastAlertCaption() const { return lastAlertCaption_; }
  int AlertCount() const { return alertCount_; }

 private:
  // Runs a box with the caption, text, icon and the kind's buttons (and a
  // Help button for helpContext > 0); gives the answer.
  int RunBox(const std::string& caption, const std::string& text, int kind, int icon, int32_t helpContext);

  std::chrono::steady_clock::time_point start_;
  bool escPending_ = false;
  bool escHeld_ = false;
  int busyCursor_ = 0;
  int scriptedAnswer_ = 0;
  std::string helpFolder_;
  std::function<void(const std::string&)> helpOpener_;
  std::string lastAlertText_;
  std::string lastAlertCaption_;
  int lastAlertKind_ = -1;
  int alertCount_ = 0;
  std::mt19937_64 random_;
};

// Registers the installed faces (DejaVu, else Liberation) that stand for
// the Windows faces documents and preferences name, for the screen and the
// printer alike. Called once; later calls do nothing.
void InstallFontSubstitutions();
// The Unicode face the Symbol font's codes are drawn from.
QString SymbolUnicodeFamily();

// Windows-1252 bytes to a QString-ready UTF-8 text and back.
std::string Cp1252ToUtf8(const std::string& bytes);
std::string Utf8ToCp1252(const std::string& text);

}  // namespace voq
