#pragma once
// Fakes the unit dialogs' tests share: a macro recorder that keeps its
// lines, the windows the unit system's OK reaches, and a temporary program
// folder for the files the dialogs write.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/program_flags.h"
#include "model/document_settings.h"
#include "session/equation_editor.h"
#include "shell/calculate_commands.h"
#include "qt_app.h"

namespace voq::testing {

class UnitsMacroRecorder : public MacroRecorder {
 public:
  bool Recording() const override { return recording; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool recording = true;
  std::vector<std::string> lines;
};

class UnitsFakeWindows : public CalculateWindows {
 public:
  bool IsShown(int window) override { return window == kFormattedEquationsWindow && formattedShown; }
  void CloseWindow(int window) override { closed.push_back(window); }
  void InvalidateEquationResults() override { ++invalidated; }
  bool formattedShown = true;
  std::vector<int> closed;
  int invalidated = 0;
};

// A temporary program folder for the files the dialogs write.
class TempProgramFolder {
 public:
  TempProgramFolder() : saved_(ProgramDirectory), dir_(MakeTempFolder("voq_unitdlg")) { ProgramDirectory = dir_; }
  ~TempProgramFolder() {
    ProgramDirectory = saved_;
    std::filesystem::remove_all(dir_);
  }
  const std::string& Path() const { return dir_; }

 private:
  std::string saved_;
  std::string dir_;
};

inline std::vector<uint8_t> Packed(const TDocumentSettingsRecord& s) {
  std::vector<uint8_t> bytes(kStoredDocumentSettingsSize);
  PackDocumentSettings(s, bytes.data());
  return bytes;
}
}  // namespace voq::testing
