#include "shell/file_menu.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <filesystem>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "documents/file_commands.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "shell/save_dialogs.h"
#include "shell/seams.h"
#include "shell/shell_state.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr const char* kOpenFilter =
    "VOQ (*.VOQ)|*.VOQ;*.voq|Text (*.TXT)|*.TXT;*.txt|Import (*.XPT)|*.XPT;*.xpt|Library files (*.LIB)|*.LIB;*.lib|"
    "All types (*.*)|*";
constexpr const char* kMergeFilter =
    "VOQ (*.VOQ)|*.VOQ;*.voq|Text (*.TXT)|*.TXT;*.txt|Import (*.XPT)|*.XPT;*.xpt|All types (*.*)|*";

std::string FolderOf(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash);
}

void RecordMacro(const std::string& line) {
  if (MacroRecording) MacroText += line + "\r\n";
}

}  // namespace

TFileMenu::TFileMenu(TVOQ_D& window) : window_(window) {
  RunOpenDialog = [](const std::string& title, const std::string& filter, std::string& name) {
    return Platform().AskOpenFileName(title, filter, 1, name);
  };
  RunSaveDialog = [](TMySaveDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
  RunAutoSaveDialog = [](TAutoSaveDlg& dialog) { return dialog.exec() == QDialog::Accepted ? kResultOk : kResultCancel; };
  window_.SetHandler("New1", [this] { New1Click(); });
  window_.SetHandler("Open1", [this] { Open1Click(); });
  window_.SetHandler("Merge1", [this] { Merge1Click(); });
  window_.SetHandler("Save1", [this] { Save1Click(); });
  window_.SetHandler("SaveAs1", [this] { SaveAs1Click(); });
  window_.SetHandler("Exit1", [this] { Exit1Click(); });
  window_.AutoSaveCommand = [this] { AutoSaveTimerTimer(); };
  window_.ExitCommand = [this] { Exit1Click(true); };
  window_.FixFileNameListCommand = [this] { FixFileNameList(); };
  ShellCommands().ReadaFile = [this](const std::string& name) { ReadaFile(name); };
  SetDocumentFileWindows(this);
  FixFileNameList();
}

TFileMenu::~TFileMenu() {
  if (&DocumentFiles() == this) SetDocumentFileWindows(nullptr);
  window_.AutoSaveCommand = nullptr;
  window_.ExitCommand = nullptr;
  window_.FixFileNameListCommand = nullptr;
}

void TFileMenu::DeleteAutoSaveCopy() {
  if (!window_.AutoSaveFileName.empty()) {
    std::error_code ec;
    std::filesystem::remove(window_.AutoSaveFileName, ec);
  }
  window_.AutoSaveFileName.clear();
}

void TFileMenu::ClearUndo() {
  if (TEquationForm* form = window_.EquationForm()) form->Editor()->document()->clearUndoRedoStacks();
}

bool TFileMenu::CanClear() {
  if (LoadingLibrary) return true;
  const TSaveChangesQuestion q = SaveChangesQuestion(window_.FileName, DocumentUnchanged);
  if (!q.Ask) return true;
  const int answer = Platform().ShowQuestionBox(GetMessageText(kMsgFileChangedCaption), q.Text, kAlertInfoYesNoCancel);
  if (answer == kResultYes) {
    if (!q.SaveName.empty()) window_.FileName = q.SaveName;
    Save1Click();
    return true;
  }
  return answer == kResultNo;
}

void TFileMenu::New1Click() {
  if (!CanClear() && !PlayingMacroFile) return;
  ResetDocument();
  DeleteAutoSaveCopy();
  window_.FileName.clear();
  // The new document has no solution yet: the previous one's window goes.
  SolutionAvailable = false;
  if (kSolutionWindow < int(WindowList.size()) && WindowList[kSolutionWindow] != nullptr)
    WindowList[kSolutionWindow]->Hide();
  window_.ShowAndFocus(kEquationsWindow);
  if (TEquationForm* form = window_.EquationForm()) {
    form->Memo->ResetContent();
  } else {
    Equations().SetText(std::string());
  }
  ClearUndo();
  DocumentUnchanged = true;
  // The caption and the File menu's Save item no longer name the old file.
  SetDocumentCaption(window_.FileName);
  RecordMacro("NEW");
}

void TFileMenu::Open1Click() {
  if (!CanClear()) return;
  SolutionAvailable = false;
  std::string name = DirectorySettings.empty() ? std::string() : DirectorySettings[0];
  if (!RunOpenDialog("Open VOQ file", kOpenFilter, name) || name.empty()) return;
  AddSearchDirectory(FolderOf(name));
  // The name and the autosave copy change only when the file is read.
  OpenFileName(name);
}

void TFileMenu::CompileAfterOpen(bool keepSolution) {
  if (Platform().CtrlKeyDown()) return;
  ClearCalcError();
  const int active = ActiveChildWindow;
  const bool solution = SolutionAvailable;
  EnsureCompiled(true);
  if (keepSolution) SolutionAvailable = solution;
  ActiveChildWindow = active;
  if (active != kNoWindow) window_.ShowWindow(active);
}

void TFileMenu::OpenFileName(const std::string& name) {
  if (!ReadaFile(name)) return;
  CompileAfterOpen(false);
  ClearUndo();
}

bool TFileMenu::ReadaFile(const std::string& name) {
  RecordMacro(GetMessageText(kMsgOpenCaption) + name);
  // A file that could not be read leaves the open document, its name and
  // its changes as they were: a later Save writes that document, not over
  // the file that failed.
  if (!ReadDocumentFile(name, false)) return false;
  DeleteAutoSaveCopy();
  window_.FileName = name;
  DocumentUnchanged = true;
  window_.setCaption(window_.FileName);
  NoteRecentFileRead(window_.RecentFiles, window_.FileName, Preferences.RecentFileCount);
  FixFileNameList();
  ClearUndo();
  return true;
}

void TFileMenu::OpenFileItem(int32_t tag) {
  if (tag < 0 || tag >= int32_t(window_.RecentFiles.size()) || !CanClear()) return;
  SolutionAvailable = false;
  const std::string name = window_.RecentFiles[size_t(tag)];
  std::string resolved;
  if (!FileExistsOnPath(name, &resolved)) {
    SetMessageArg(1, name);
    ShowAlert(GetMessageText(kMsgNoLongerExists), kAlertWarningOk, true);
    window_.RecentFiles.erase(window_.RecentFiles.begin() + tag);
    FixFileNameList();
    return;
  }
  if (DocumentExtension(name) == ".LIB") {
    for (TProgramUnitRecord* unit : ProgramUnitList) {
      if (unit != nullptr && unit != MainProgramUnit) unit->IsLibraryUnit = 0;
    }
  }
  if (!ReadaFile(name)) return;
  CompileAfterOpen(true);
  ClearUndo();
}

void TFileMenu::FixFileNameList() {
  QMenu* file = window_.Menu("File1");
  if (file == nullptr) return;
  for (QAction* a : recentActions_) {
    file->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  const std::vector<TRecentFileItem> items = RecentFileItems(window_.RecentFiles, DistributableMode);
  if (Preferences.RecentFileCount == 0 || items.empty()) {
    if (recentSeparator_ != nullptr) {
      file->removeAction(recentSeparator_);
      recentSeparator_->deleteLater();
      recentSeparator_ = nullptr;
    }
    return;
  }
  if (recentSeparator_ == nullptr) recentSeparator_ = file->addSeparator();
  for (const TRecentFileItem& item : items) {
    QAction* a = file->addAction(QString::fromStdString(Cp1252ToUtf8(item.Caption)));
    const int32_t tag = item.Tag;
    a->setData(tag);
    connect(a, &QAction::triggered, this, [this, tag] { OpenFileItem(tag); });
    recentActions_.push_back(a);
  }
}

void TFileMenu::Merge1Click() {
  SolutionAvailable = false;
  std::string name = DirectorySettings.empty() ? std::string() : DirectorySettings[0];
  if (RunOpenDialog("Merge VOQ file at cursor position", kMergeFilter, name) && !name.empty()) {
    RecordMacro(GetMessageText(kMsgMergeCaption) + name + "  /" + std::to_string(Equations().CaretPosition()));
    AddSearchDirectory(FolderOf(name));
    ReadDocumentFile(name, true);
  }
  // Chosen or not, the document counts as changed.
  DocumentUnchanged = false;
}

void TFileMenu::Save1Click() {
  if (window_.FileName.empty()) {
    SaveAs1Click();
    return;
  }
  SaveDocumentFile(window_.FileName, false, false, false);
}

void TFileMenu::SaveAs1Click() {
  const int32_t unused = CountUnusedVariables();
  const TSaveAsSetup setup = SaveAsDialogSetup(window_.FileName, unused, EquationsCompiled, CalcErrorCode);
  TMySaveDialog dialog(&window_, setup.UnusedCount, setup.Template);
  dialog.PurgeVars = false;
  dialog.SaveOldFormat = false;
  if (!DirectorySettings.empty() && !DirectorySettings[0].empty()) {
    dialog.setDirectory(QString::fromStdString(Cp1252ToUtf8(DirectorySettings[0])));
  }
  dialog.SelectFilterIndex(setup.FilterIndex);
  if (!setup.ProposedName.empty()) dialog.selectFile(QString::fromStdString(Cp1252ToUtf8(setup.ProposedName)));
  if (!RunSaveDialog(dialog)) return;
  const std::string name = dialog.ChosenName();
  if (name.empty()) return;
  if (dialog.SaveOldFormat &&
      ShowAlert(GetMessageText(kMsgOlderVersionLimits), kAlertWarningOkCancel, true) != kResultOk) {
    return;
  }
  window_.FileName = name;
  AddSearchDirectory(FolderOf(name));
  SaveDocumentFile(window_.FileName, dialog.SaveOldFormat, dialog.PurgeVars, false);
  SetDocumentCaption(window_.FileName);
  NoteRecentFileSavedAs(window_.RecentFiles, window_.FileName);
  FixFileNameList();
}

void TFileMenu::Exit1Click(bool fromClose) {
  if (!DistributableMode && !PlayingMacroFile && !CanClear()) return;
  window_.Exiting = true;
  ShuttingDown = true;
  ResetDocument();
  ShuttingDown = false;
  if (!DistributableMode && !PlayingMacroFile) {
    // The lists are a convenience: failing to write them never stops the exit.
    try {
      if (Preferences.RecentFileCount > 0) WriteRecentFileList(ProgramDirectory + "/VOQ.FNL", window_.RecentFiles);
      WriteDirectoryList(ProgramDirectory + "/VOQ.DIR", DirectorySettings);
    } catch (...) {
    }
  }
  for (TGForm* form : WindowList) {
    if (form != nullptr && form->IsShown) form->Hide();
  }
  DeleteAutoSaveCopy();
  if (!fromClose) window_.close();
}

void TFileMenu::MarkChanged() { DocumentUnchanged = false; }

void TFileMenu::ApplyAutoSavePreference() {
  const int32_t interval = DistributableMode ? 0 : AutoSaveInterval(Preferences.AutosaveMinutes);
  window_.AutoSaveTimer.setInterval(interval);
  if (interval > 0) {
    window_.AutoSaveTimer.start();
  } else {
    window_.AutoSaveTimer.stop();
  }
}

void TFileMenu::AutoSaveTimerTimer() {
  TAutoSaveConditions now;
  now.PlayingMacro = PlayingMacroFile;
  now.MacroRecording = MacroRecording;
  now.PlayingFromMacroWindow = MacroPlayingFromWindow;
  now.DdeCommand = DdeCommandActive;
  now.Distributable = DistributableMode;
  switch (AutoSaveTickAction(window_.FileName, now)) {
    case TAutoSaveAction::Nothing:
      return;
    case TAutoSaveAction::WriteCopy:
      window_.AutoSaveFileName = AutoSaveCopyName(window_.FileName);
      SaveDocumentFile(window_.AutoSaveFileName, false, false, true);
      return;
    case TAutoSaveAction::AskForName:
      break;
  }
  window_.AutoSaveTimer.stop();
  for (;;) {
    TAutoSaveDlg dialog(&window_);
    if (RunAutoSaveDialog(dialog) != kResultOk) return;  // autosave stays off
    SaveAs1Click();
    if (!window_.FileName.empty()) {
      window_.AutoSaveTimer.start();
      return;
    }
  }
}

// --- The reader's windows -----------------------------------------------------------

void TFileMenu::RestoreMaximizedChild() {
  QMdiSubWindow* active = window_.MdiArea()->activeSubWindow();
  if (active != nullptr && active->isMaximized()) active->showNormal();
}

void TFileMenu::HideEquations() {
  if (TEquationForm* form = window_.EquationForm()) form->hide();
}

void TFileMenu::ShowEquations() { window_.ShowAndFocus(kEquationsWindow); }

void TFileMenu::SetDocumentCaption(const std::string& fileName) {
  window_.setCaption(fileName);
  if (QAction* save = window_.Action("Save1")) {
    save->setText(QString::fromStdString(Cp1252ToUtf8(GetMessageText(kMsgSaveCaption) + fileName)));
  }
}

void TFileMenu::ArrangeWindows(const TWindowArrangement& plan) {
  if (plan.CloseAll) {
    for (size_t w = 1; w < WindowList.size(); ++w) {
      if (WindowList[w] != nullptr) WindowList[w]->Hide();
    }
  }
  bool maximized = plan.Maximized;
  bool cascade = false;
  const QSize area = window_.MdiArea()->viewport()->size();
  for (int32_t w : plan.ShowOrder) {
    TGForm* form = w >= 1 && w < int32_t(WindowList.size()) ? WindowList[size_t(w)] : nullptr;
    if (form == nullptr) continue;
    const TWindowPlacement& place = plan.Placement[size_t(w)];
    if (place.Placed) form->setGeometry(place.Left, place.Top, place.Width, place.Height);
    window_.ShowWindow(w);
    // A window larger than the area it lives in (a document from a larger
    // screen) is brought back into view by cascading, not maximised.
    if (form->width() > area.width() || form->height() > area.height()) {
      maximized = false;
      cascade = true;
    }
  }
  // The equations are shown from their start.
  if (TEquationForm* equations = window_.EquationForm()) {
    QTextCursor start = equations->Editor()->textCursor();
    start.setPosition(0);
    equations->Editor()->setTextCursor(start);
  }
  if (cascade) window_.MdiArea()->cascadeSubWindows();
  const int32_t front = plan.ShowOrder.empty() ? kEquationsWindow : plan.ShowOrder.back();
  TGForm* form = WindowList[size_t(std::clamp<int32_t>(front, 1, 11))];
  if (maximized && form != nullptr && form->isVisible()) form->showMaximized();
}

}  // namespace voq
