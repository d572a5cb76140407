#include "platform/console_platform.h"

#include <chrono>
#include <iostream>

namespace voq {

ConsolePlatform::ConsolePlatform() : out_(&std::cerr), random_(20261210u) {}

int32_t ConsolePlatform::TickCount() {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

int ConsolePlatform::ShowAlertBox(const std::string& text, int kind, int32_t) {
  const char* label = "Error";
  switch (AlertKindIcon(kind)) {
    case AlertIcon::Information: label = "Information"; break;
    case AlertIcon::Warning: label = "Warning"; break;
    case AlertIcon::Error: break;
  }
  if (out_) *out_ << label << ": " << text << "\n";
  std::vector<int> buttons = AlertKindButtons(kind);
  if (questionAnswer_ != 0) {
    for (int b : buttons)
      if (b == questionAnswer_) return b;
  }
  return buttons.front();
}

bool ConsolePlatform::GetClipboardText(std::string& text) {
  if (!hasClipboard_) return false;
  text = clipboard_;
  return true;
}

bool ConsolePlatform::SetClipboardText(const std::string& text) {
  clipboard_ = text;
  hasClipboard_ = true;
  return true;
}

double ConsolePlatform::RandomUniform() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

}  // namespace voq
