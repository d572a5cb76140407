#pragma once
// The File menu's document commands of the main window: New, Open, opening
// a recent file, Merge, Save, Save As, Exit, the save-changes question every
// document-replacing command asks first, the recent-file items and the
// autosave timer's command. The decisions are the Qt-free ones of
// documents/file_commands.h; this class runs the dialogs and the windows.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "documents/document_files.h"

class QAction;

namespace voq {

class TVOQ_D;
class TMySaveDialog;
class TAutoSaveDlg;

class TFileMenu : public QObject, public DocumentFileWindows {
 public:
  // Sets the window's File handlers, its autosave and exit commands, the
  // shell's open and save hooks and the reader's window services.
  explicit TFileMenu(TVOQ_D& window);
  ~TFileMenu() override;

  bool CanClear();
  void New1Click();
  void Open1Click();
  void OpenFileName(const std::string& name);
  // False when the file could not be read (the open document is kept).
  bool ReadaFile(const std::string& name);
  void OpenFileItem(int32_t tag);
  void FixFileNameList();
  void Merge1Click();
  void Save1Click();
  void SaveAs1Click();
  // fromClose: the main window is already closing (its close button).
  void Exit1Click(bool fromClose = false);
  void MarkChanged();
  void AutoSaveTimerTimer();
  // The timer from the "Autosave every" preference.
  void ApplyAutoSavePreference();

  // The dialogs, replaceable by a test: the open and merge file dialogs (false
  // on cancel), the Save As dialog (true when accepted) and the autosave
  // prompt (its modal result).
  std::function<bool(const std::string& title, const std::string& filter, std::string& name)> RunOpenDialog;
  std::function<bool(TMySaveDialog& dialog)> RunSaveDialog;
  std::function<int(TAutoSaveDlg& dialog)> RunAutoSaveDialog;

  // The recent-file items now in the File menu.
  const std::vector<QAction*>& RecentFileActions() const { return recentActions_; }

  // DocumentFileWindows.
  void RestoreMaximizedChild() override;
  void HideEquations() override;
  void ShowEquations() override;
  void SetDocumentCaption(const std::string& fileName) override;
  void ArrangeWindows(const TWindowArrangement& plan) override;

 private:
  void DeleteAutoSaveCopy();
  void CompileAfterOpen(bool keepSolution);
  void ClearUndo();
  TVOQ_D& window_;
  std::vector<QAction*> recentActions_;
  QAction* recentSeparator_ = nullptr;
};

}  // namespace voq
