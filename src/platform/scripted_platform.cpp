#include "platform/scripted_platform.h"

namespace voq {

int ScriptedPlatform::ShowAlertBox(const std::string& text, int kind, int32_t helpContext) {
  int result = AlertDefaultResult(kind);
  if (!alertAnswers.empty()) {
    result = alertAnswers.front();
    alertAnswers.pop_front();
  }
  alerts.push_back({text, kind, helpContext, result});
  return result;
}

int ScriptedPlatform::ShowQuestionBox(const std::string& caption, const std::string& text, int kind) {
  const int result = ShowAlertBox(text, kind, 0);
  alerts.back().caption = caption;
  return result;
}

bool ScriptedPlatform::TakeEscKeyDown() {
  if (keyQueue.empty()) return false;
  bool esc = keyQueue.front();
  keyQueue.pop_front();
  return esc;
}

bool ScriptedPlatform::GetClipboardText(std::string& text) {
  if (!clipboardAvailable || !hasClipboardText) return false;
  text = clipboard;
  return true;
}

bool ScriptedPlatform::SetClipboardText(const std::string& text) {
  if (!clipboardAvailable) return false;
  clipboard = text;
  hasClipboardText = true;
  return true;
}

bool ScriptedPlatform::AskOpenFileName(const std::string& title, const std::string&,
                                       int filterIndex, std::string& path) {
  fileDialogTitles.push_back(title);
  fileDialogFilterIndexes.push_back(filterIndex);
  if (openFileAnswers.empty()) return false;
  path = openFileAnswers.front();
  openFileAnswers.pop_front();
  return !path.empty();
}

bool ScriptedPlatform::AskSaveFileName(const std::string& title, const std::string& filter, int filterIndex,
                                       std::string& path) {
  saveDialogTitles.push_back(title);
  return AskOpenFileName(title, filter, filterIndex, path);
}

double ScriptedPlatform::RandomUniform() {
  if (randomValues.empty()) return 0.5;
  double v = randomValues.front();
  randomValues.pop_front();
  return v;
}

}  // namespace voq
