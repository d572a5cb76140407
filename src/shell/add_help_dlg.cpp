#include "shell/add_help_dlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <filesystem>

#include "model/warnings_window.h"
#include "platform/qt/qt_platform.h"

namespace voq {

namespace {
constexpr int kPanelHeight = 41;
constexpr int kCopyRightMargin = 50;

QString MemoText(const std::string& bytes) {
  std::string text = Cp1252ToUtf8(bytes);
  // The memo's lines end in CR LF; the editor wants one break a line.
  std::string plain;
  plain.reserve(text.size());
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
    plain += text[k];
  }
  return QString::fromStdString(plain);
}
}  // namespace

bool DesktopHelpLauncher::OpenHelpFile(const std::string& helpFile, int32_t /*context*/) {
  std::filesystem::path page(helpFile);
  for (const char* ext : {".htm", ".HTM"}) {
    page.replace_extension(ext);
    std::error_code ec;
    if (std::filesystem::exists(page, ec)) {
      OpenFileInBrowser(page.string());
      return true;
    }
  }
  return false;
}

void DesktopHelpLauncher::OpenInBrowser(const std::string& target) { OpenFileInBrowser(target); }

void OpenFileInBrowser(const std::string& target) {
  const QString t = QString::fromStdString(target);
  std::error_code ec;
  const QUrl url = std::filesystem::exists(target, ec) ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
  QDesktopServices::openUrl(url);
}

TAddHelpDlg::TAddHelpDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      memo_(new QPlainTextEdit(this)),
      panel_(new QWidget(this)),
      ok_(new QPushButton(QStringLiteral("OK"), panel_)),
      copy_(new QPushButton(QStringLiteral("Copy"), panel_)) {
  setObjectName(QStringLiteral("AddHelpDlg"));
  // The solve shows its warnings before it ends: the window answers the
  // user while the calculation is still marked as running.
  setProperty("voqCalculationInput", true);
  setWindowTitle(QStringLiteral("Help"));
  setSizeGripEnabled(true);
  memo_->setObjectName(QStringLiteral("HelpMemo"));
  memo_->setReadOnly(true);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(15);
  memo_->setFont(font);
  memo_->setPlainText(QStringLiteral("Help is not available for this subject"));
  ok_->setObjectName(QStringLiteral("OKBtn"));
  copy_->setObjectName(QStringLiteral("CopyB"));
  copy_->setEnabled(false);
  connect(ok_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(copy_, &QPushButton::clicked, this, [this] { CopyBClick(); });
  // Copy is there exactly when something is selected.
  connect(memo_, &QPlainTextEdit::copyAvailable, copy_, &QPushButton::setEnabled);
  resize(493, 306);
  if (QScreen* screen = QApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
  FormResize();
}

void TAddHelpDlg::SetMemoText(const std::string& text) {
  memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo_->setPlainText(MemoText(text));
}

bool TAddHelpDlg::SetupWindow() {
  memo_->clear();
  ShownExternally = false;
  THelpRequest request;
  request.HelpFileName = HelpFileName;
  request.ItemName = ItemName;
  request.SearchText = SearchText;
  request.BlockMode = BlockMode;
  request.JoinLines = JoinLines;
  request.ListingMode = ListingMode;
  const THelpWindowText t = SetupHelpWindow(request, *launcher_);
  ShownExternally = t.ShownExternally;
  setWindowTitle(MemoText(t.Caption));
  if (t.Failed || t.ShownExternally) return false;
  SetMemoText(t.Text);
  if (t.SelStart >= 0) {
    // The selection counts the engine's bytes; the editor has one break a
    // line and UTF-8 characters, so find the text again in the editor.
    QTextCursor found = memo_->document()->find(MemoText(request.SearchText));
    if (!found.isNull()) {
      memo_->setTextCursor(found);
      memo_->verticalScrollBar()->setValue(found.block().firstLineNumber());
    }
  }
  return true;
}

void TAddHelpDlg::SetupForWarnings() {
  setWindowTitle(QStringLiteral("Warnings"));
  memo_->clear();
  memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void TAddHelpDlg::AddWarning(const std::string& text) {
  voq::AddWarning(text);
  ShowWarnings();
}

void TAddHelpDlg::ClearWarningsAfter(size_t n) {
  voq::ClearWarningsAfter(n);
  ShowWarnings();
}

void TAddHelpDlg::ShowWarnings() {
  setWindowTitle(QStringLiteral("Warnings"));
  // Warnings keep their own lines.
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setPlainText(MemoText(WarningMemoText()));
}

void TAddHelpDlg::CopyBClick() {
  const QString selected = memo_->textCursor().selectedText();
  if (selected.isEmpty()) return;
  QString text = selected;
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  QApplication::clipboard()->setText(text);
}

void TAddHelpDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

// The memo fills the window above the button panel; Copy keeps its right
// edge 50 pixels from the window's.
void TAddHelpDlg::FormResize() {
  const int w = width();
  const int h = height();
  memo_->setGeometry(0, 0, w, std::max(0, h - kPanelHeight));
  panel_->setGeometry(0, std::max(0, h - kPanelHeight), w, kPanelHeight);
  const QSize button(75, 25);
  const int top = (kPanelHeight - button.height()) / 2;
  copy_->setGeometry(w - kCopyRightMargin - button.width(), top, button.width(), button.height());
  ok_->setGeometry(copy_->x() - 16 - button.width(), top, button.width(), button.height());
}

}  // namespace voq
