#pragma once
// What the engine needs of the desktop: the user-facing services (alerts,
// keyboard state, beep, clipboard, file dialog, cursor, message pump) behind
// small interfaces. The application installs its Qt implementation, the
// console front end the console one, tests the scripted one.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// Alert kinds: icon and buttons.
enum AlertKind : int {
  kAlertErrorOk = 0,
  kAlertInfoOk = 1,
  kAlertWarningOkCancel = 2,
  kAlertErrorYesNo = 3,
  kAlertWarningOk = 4,
  kAlertInfoYesNo = 5,
  kAlertWarningYesNo = 6,
  kAlertInfoYesNoAll = 7,
  kAlertInfoYesNoCancel = 8,
};

// Modal results: the button pressed.
enum AlertResult : int {
  kResultOk = 1,
  kResultCancel = 2,
  kResultYes = 6,
  kResultNo = 7,
  kResultAll = 8,
};

enum class AlertIcon { Error, Information, Warning };

// The icon and the buttons of an alert kind; kinds outside 0..8 show as kind 0.
AlertIcon AlertKindIcon(int kind);
std::vector<int> AlertKindButtons(int kind);
// The answer when the user just presses Enter: the first button.
int AlertDefaultResult(int kind);

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // Millisecond tick counter (wraps like a 32-bit counter).
  virtual int32_t TickCount() = 0;

  // A modal message box; helpContext > 0 adds a Help button. Returns the
  // AlertResult of the pressed button.
  virtual int ShowAlertBox(const std::string& text, int kind, int32_t helpContext) = 0;
  // A modal question with its own caption and a question-mark icon, the
  // buttons of the alert kind (the save-changes question: "File Changed",
  // Yes, No and Cancel). Hosts without captions or icons show it as an
  // alert of that kind.
  virtual int ShowQuestionBox(const std::string& caption, const std::string& text, int kind) {
    (void)caption;
    return ShowAlertBox(text, kind, 0);
  }

  // Removes one keyboard message from the queue; true when it was a key-down of Esc.
  virtual bool TakeEscKeyDown() = 0;
  // Key state of the message being handled.
  virtual bool CtrlKeyDown() = 0;
  virtual bool ShiftKeyDown() = 0;
  virtual bool EscKeyDown() = 0;
  // Whether Alt is held now (a printed page started with Alt held has no
  // header). Hosts without a keyboard never hold it.
  virtual bool AltKeyDown() { return false; }

  // The system message beep.
  virtual void Beep() = 0;

  // Clipboard plain text; GetClipboardText is false when there is none.
  virtual bool GetClipboardText(std::string& text) = 0;
  virtual bool SetClipboardText(const std::string& text) = 0;

  // The file-open dialog: false when the user declines. filter lists
  // "label|pattern" pairs separated by "|"; filterIndex (from 1) is the pair
  // shown first; path comes in as the name to preset.
  virtual bool AskOpenFileName(const std::string& title, const std::string& filter,
                               int filterIndex, std::string& path) = 0;
  // The file-save dialog, with the same arguments: the chosen file need
  // not exist yet.
  virtual bool AskSaveFileName(const std::string& title, const std::string& filter,
                               int filterIndex, std::string& path) = 0;

  // Busy cursor: 0 normal, 1 standard hourglass, 5 the program's own hourglass.
  virtual void SetBusyCursor(int cursor) = 0;
  // Let pending window messages be processed once.
  virtual void ProcessPendingMessages() = 0;
  // Waits for window messages for at most `milliseconds`, processing those
  // that come, without using the processor while none do. A host without
  // windows processes once.
  virtual void WaitForMessages(int32_t milliseconds) {
    (void)milliseconds;
    ProcessPendingMessages();
  }

  // A uniform random number in [0, 1).
  virtual double RandomUniform() = 0;
};

}  // namespace voq
