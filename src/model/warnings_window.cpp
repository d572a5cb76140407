#include "model/warnings_window.h"

#include <algorithm>

namespace voq {

bool WarningsPending = false;

namespace {
std::vector<std::string> warningLines;
WarningRunReader runReader = nullptr;

bool NoteShown() { return !warningLines.empty() && warningLines.back() == kWarningsNotDisplayedNote; }

// Lines the window holds now: two for each warning, one for the note.
size_t MemoLineCount() {
  return NoteShown() ? 2 * (warningLines.size() - 1) + 1 : 2 * warningLines.size();
}
}  // namespace

void SetWarningRunReader(WarningRunReader reader) { runReader = reader; }

void AddWarning(const std::string& text) {
  WarningsPending = true;
  std::string line = text;
  const int32_t run = runReader != nullptr ? runReader() : 0;
  if (run > 0) {
    line = "Run " + std::to_string(run) + ": " + text;
    if (line.size() > 255) line.resize(255);
  }
  if (std::find(warningLines.begin(), warningLines.end(), line) != warningLines.end()) return;
  // The note goes in place of the first warning that no longer fits, and
  // only once: every later warning finds it there.
  if (NoteShown()) return;
  if (MemoLineCount() + 2 > kMaxWarningMemoLines) {
    warningLines.push_back(kWarningsNotDisplayedNote);
    return;
  }
  warningLines.push_back(line);
}

size_t WarningLineCount() { return warningLines.size(); }

void ClearWarningsAfter(size_t n) {
  if (n < warningLines.size()) warningLines.resize(n);
  if (warningLines.empty()) WarningsPending = false;
}

const std::vector<std::string>& WarningLines() { return warningLines; }

std::vector<std::string> WarningMemoLines() {
  std::vector<std::string> lines;
  for (const std::string& w : warningLines) {
    lines.push_back(w);
    if (w != kWarningsNotDisplayedNote) lines.emplace_back();
  }
  return lines;
}

std::string WarningMemoText() {
  std::string text;
  const std::vector<std::string> lines = WarningMemoLines();
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) text += "\r\n";
    text += lines[k];
  }
  return text;
}

}  // namespace voq
