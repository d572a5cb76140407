#include "model/warnings_window.h"

#include <algorithm>

namespace voq {

bool WarningsPending = false;

namespace {
std::vector<std::string> warningLines;
}

void AddWarning(const std::string& text) {
  if (std::find(warningLines.begin(), warningLines.end(), text) != warningLines.end()) return;
  if (warningLines.size() < kMaxWarningLines) {
    warningLines.push_back(text);
  } else if (warningLines.size() == kMaxWarningLines) {
    warningLines.push_back("Additional warnings are not displayed...");
  }
  WarningsPending = true;
}

size_t WarningLineCount() { return warningLines.size(); }

void ClearWarningsAfter(size_t n) {
  if (n < warningLines.size()) warningLines.resize(n);
  if (warningLines.empty()) WarningsPending = false;
}

const std::vector<std::string>& WarningLines() { return warningLines; }

}  // namespace voq
