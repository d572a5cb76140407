#pragma once
// The Equations window as the engine needs it now: a plain text editor in a
// child window that gives the compile driver its text, and selects an
// equation that failed. The editor keeps Windows-1252 text with CR LF line
// breaks on the engine's side (positions of errors count both bytes).
#include <QPlainTextEdit>

#include "platform/host.h"
#include "shell/gform.h"

namespace voq {

class TPlainEquationForm : public TGForm, public EquationsEditor {
 public:
  explicit TPlainEquationForm(QWidget* parent = nullptr);

  std::string GetText() const override;
  void SetText(const std::string& text) override;
  bool ReplaceText(const std::string& oldText, const std::string& newText) override;
  int32_t CaretPosition() const override;
  void InsertAtCaret(const std::string& text) override;

  // Selects characters start..end-1 of the engine's text (CR LF counted).
  void SelectEngineRange(int32_t start, int32_t end);

  QPlainTextEdit* Editor() const { return editor_; }

 private:
  QPlainTextEdit* editor_;
};

}  // namespace voq
