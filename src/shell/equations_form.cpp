#include "shell/equations_form.h"

#include <QFont>
#include <QTextCursor>

#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

// The engine's position (CR LF counted as two) as the editor's (one).
int EditorPosition(const std::string& engineText, int32_t position) {
  int editor = 0;
  for (int32_t i = 0; i < position && i < static_cast<int32_t>(engineText.size()); ++i) {
    if (engineText[static_cast<size_t>(i)] != '\r') ++editor;
  }
  return editor;
}

}  // namespace

TPlainEquationForm::TPlainEquationForm(QWidget* parent) : TGForm(parent), editor_(new QPlainTextEdit) {
  Tag = 1;
  setWindowTitle(QStringLiteral("Equations Window"));
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPointSize(10);
  editor_->setFont(font);
  editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  setWidget(editor_);
}

std::string TPlainEquationForm::GetText() const {
  std::string text = Utf8ToCp1252(editor_->toPlainText().toStdString());
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void TPlainEquationForm::SetText(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      plain.push_back('\n');
    } else {
      plain.push_back(text[i]);
    }
  }
  editor_->setPlainText(QString::fromStdString(Cp1252ToUtf8(plain)));
}

bool TPlainEquationForm::ReplaceText(const std::string& oldText, const std::string& newText) {
  std::string text = GetText();
  const size_t at = text.find(oldText);
  if (oldText.empty() || at == std::string::npos) return false;
  text.replace(at, oldText.size(), newText);
  SetText(text);
  return true;
}

int32_t TPlainEquationForm::CaretPosition() const {
  // The editor counts a line break as one character, the engine as two.
  const int position = editor_->textCursor().position();
  const QString before = editor_->toPlainText().left(position);
  return int32_t(Utf8ToCp1252(before.toStdString()).size() + size_t(before.count(QLatin1Char('\n'))));
}

void TPlainEquationForm::InsertAtCaret(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain.push_back(text[i] == '\r' ? '\n' : text[i]);
  }
  editor_->insertPlainText(QString::fromStdString(Cp1252ToUtf8(plain)));
}

void TPlainEquationForm::SelectEngineRange(int32_t start, int32_t end) {
  const std::string text = GetText();
  QTextCursor cursor = editor_->textCursor();
  cursor.setPosition(EditorPosition(text, start));
  cursor.setPosition(EditorPosition(text, end), QTextCursor::KeepAnchor);
  editor_->setTextCursor(cursor);
  editor_->centerCursor();
}

}  // namespace voq
