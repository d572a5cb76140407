#pragma once
// A scripted implementation for tests: answers are queued in advance, every
// alert is recorded, the clock is set by hand.
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace voq {

struct RecordedAlert {
  std::string text;
  int kind;
  int32_t helpContext;
  int result;
  // A question box's caption (ShowQuestionBox); empty for an alert.
  std::string caption = {};
};

class ScriptedPlatform : public PlatformServices {
 public:
  int32_t TickCount() override { return ticks; }
  int ShowAlertBox(const std::string& text, int kind, int32_t helpContext) override;
  int ShowQuestionBox(const std::string& caption, const std::string& text, int kind) override;
  bool TakeEscKeyDown() override;
  bool CtrlKeyDown() override { return ctrlDown; }
  bool ShiftKeyDown() override { return shiftDown; }
  bool EscKeyDown() override { return escDown; }
  bool AltKeyDown() override { return altDown; }
  void Beep() override { ++beeps; }
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardText(const std::string& text) override;
  bool AskOpenFileName(const std::string& title, const std::string& filter, int filterIndex,
                       std::string& path) override;
  // Answered from openFileAnswers too; its title is also kept in
  // saveDialogTitles.
  bool AskSaveFileName(const std::string& title, const std::string& filter, int filterIndex,
                       std::string& path) override;
  void SetBusyCursor(int cursor) override { cursors.push_back(cursor); }
  void ProcessPendingMessages() override { ++messagePumps; }
  double RandomUniform() override;

  // Scripted inputs.
  std::deque<int> alertAnswers;        // empty: the kind's default button
  std::deque<bool> keyQueue;           // true = an Esc key-down
  std::deque<std::string> openFileAnswers;  // "" = the user declines
  std::deque<double> randomValues;     // empty: 0.5
  int32_t ticks = 0;
  bool ctrlDown = false, shiftDown = false, escDown = false, altDown = false;
  bool clipboardAvailable = true;
  std::string clipboard;
  bool hasClipboardText = false;

  // What the engine did.
  std::vector<RecordedAlert> alerts;
  std::vector<std::string> fileDialogTitles;
  std::vector<std::string> saveDialogTitles;
  std::vector<int> fileDialogFilterIndexes;
  std::vector<int> cursors;
  int beeps = 0;
  int messagePumps = 0;
};

}  // namespace voq
