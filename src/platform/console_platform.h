#pragma once
// The console implementation: alerts go to stderr and answer their default
// button (or a preset answer for questions), there is no keyboard queue, no
// clipboard and no file dialog.
#include <iosfwd>
#include <random>

#include "platform/platform.h"

namespace voq {

class ConsolePlatform : public PlatformServices {
 public:
  ConsolePlatform();
  int32_t TickCount() override;
  int ShowAlertBox(const std::string& text, int kind, int32_t helpContext) override;
  bool TakeEscKeyDown() override { return false; }
  bool CtrlKeyDown() override { return false; }
  bool ShiftKeyDown() override { return false; }
  bool EscKeyDown() override { return false; }
  void Beep() override {}
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardText(const std::string& text) override;
  bool AskOpenFileName(const std::string&, const std::string&, int, std::string&) override {
    return false;
  }
  bool AskSaveFileName(const std::string&, const std::string&, int, std::string&) override { return false; }
  void SetBusyCursor(int) override {}
  void ProcessPendingMessages() override {}
  double RandomUniform() override;

  // Where alerts are written (stderr unless changed).
  void SetOutput(std::ostream* out) { out_ = out; }
  // Questions (kinds with Yes and No) answer this instead of their default
  // when it is set (0 = the default button).
  void SetQuestionAnswer(int answer) { questionAnswer_ = answer; }

 private:
  std::ostream* out_;
  int questionAnswer_ = 0;
  std::string clipboard_;
  bool hasClipboard_ = false;
  std::mt19937_64 random_;
};

}  // namespace voq
