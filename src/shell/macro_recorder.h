#pragma once
// Where commands record their macro lines while the user records a macro.
// Free of Qt. The Macro window's recorder is one implementation; until that
// window exists the lines go to the macro text the table commands append to
// (MacroRecording, MacroText).
#include <string>

namespace voq {

class MacroRecorder {
 public:
  virtual ~MacroRecorder() = default;
  // A macro is being recorded.
  virtual bool Recording() const = 0;
  // Appends one macro line (without its line end).
  virtual void AddLine(const std::string& line) = 0;
};

// The recorder over MacroRecording and MacroText: each line ends in CR LF.
class MacroTextRecorder : public MacroRecorder {
 public:
  bool Recording() const override;
  void AddLine(const std::string& line) override;
};

}  // namespace voq
