#pragma once
// TAddHelpDlg: one window for help texts, file listings and the warnings
// of a calculation. The texts are built without Qt (help_text.h, and the
// engine's warnings list); this window only shows them. Help files of the
// Windows help engine do not exist here: a same-named ".htm" page is opened
// in the browser instead.
#include <QDialog>
#include <string>

#include "shell/help_text.h"

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace voq {

// The browser through the desktop's own file associations.
class DesktopHelpLauncher : public HelpLauncher {
 public:
  // Opens the ".htm" page beside a help file; false when there is none.
  bool OpenHelpFile(const std::string& helpFile, int32_t context) override;
  void OpenInBrowser(const std::string& target) override;
};

// Opens a file or an address with the desktop's browser.
void OpenFileInBrowser(const std::string& target);

class TAddHelpDlg : public QDialog {
 public:
  explicit TAddHelpDlg(QWidget* parent = nullptr);

  // The request; every request sets all of them.
  std::string HelpFileName;
  std::string ItemName;
  std::string SearchText;
  bool BlockMode = false;
  bool JoinLines = false;
  bool ListingMode = false;
  // Set by SetupWindow: the help went to the browser; do not show the window.
  bool ShownExternally = false;

  // Builds the listing or the help of the request; the caller then shows
  // the window modally unless ShownExternally is set (or the text failed).
  bool SetupWindow();
  // The warnings role: caption "Warnings", the memo emptied.
  void SetupForWarnings();
  // Adds one warning to the engine's list and shows the list.
  void AddWarning(const std::string& text);
  void ClearWarningsAfter(size_t n);
  // The memo shows the engine's warnings as they stand.
  void ShowWarnings();
  void CopyBClick();

  QPlainTextEdit* HelpMemo() const { return memo_; }
  QPushButton* CopyB() const { return copy_; }
  QPushButton* OKButton() const { return ok_; }
  // The launcher SetupWindow hands help files and pages to (not owned).
  void SetLauncher(HelpLauncher* launcher) { launcher_ = launcher; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetMemoText(const std::string& text);
  void FormResize();

  QPlainTextEdit* memo_;
  QWidget* panel_;
  QPushButton* ok_;
  QPushButton* copy_;
  DesktopHelpLauncher desktop_;
  HelpLauncher* launcher_ = &desktop_;
};

}  // namespace voq
