#include "shell/calculate_menu.h"

#include <QAbstractScrollArea>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include "core/messages.h"
#include "core/program_flags.h"
#include "model/program_units.h"
#include "shell/shell_state.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/solution_listing.h"
#include "shell/add_help_dlg.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/solution_window.h"
#include "shell/table_windows.h"
#include "platform/qt/qt_platform.h"
#include "tables/qt/save_append_dlg.h"
#include "tables/tables_state.h"

namespace voq {

namespace {
TGForm* Slot(int window) {
  return window >= 1 && window <= 11 ? WindowList[static_cast<size_t>(window)] : nullptr;
}
}  // namespace

TCalculateMenu::TCalculateMenu(TVOQ_D& window)
    : QObject(&window), window_(window), commands_(*this, recorder_, window.Calculating),
      addHelpDlg_(new TAddHelpDlg(&window)) {
  setObjectName(QStringLiteral("CalculateMenu"));
  recorder_.target = &textRecorder_;
  saveDialog_.parent = &window;
  commands_.SetSaveAppendDialog(&saveDialog_);
  solveTableDialog_.parent = &window;
  solveTableDialog_.OpenChanged = [](bool open) { DialogOpen = open; };
  commands_.SetSolveTableDialog(&solveTableDialog_);
  addHelpDlg_->hide();
  const struct {
    const char* name;
    void (TCalculateCommands::*command)();
  } items[] = {
      {"Solve1", &TCalculateCommands::Solve1Click},
      {"SolveButton1", &TCalculateCommands::Solve1Click},
      {"ChecKFormat1", &TCalculateCommands::CheckFormat1Click},
      {"CheckButton1", &TCalculateCommands::CheckFormat1Click},
      {"SolveTable1", &TCalculateCommands::SolveTable1Click},
      {"SolveTableButton1", &TCalculateCommands::SolveTable1Click},
      {"MinMax1", &TCalculateCommands::MinMax1Click},
      {"MinMaxButton1", &TCalculateCommands::MinMax1Click},
      {"MinMaxTable1", &TCalculateCommands::MinMaxTable1Click},
      {"UpdateGuesses1", &TCalculateCommands::UpdateGuesses1Click},
      {"UpdateGuessesButton1", &TCalculateCommands::UpdateGuesses1Click},
      {"ResetGuesses1", &TCalculateCommands::ResetGuesses1Click},
  };
  for (const auto& item : items) {
    auto command = item.command;
    window.SetHandler(item.name, [this, command] { (commands_.*command)(); });
  }
  // The Residuals window from the Windows menu and its tool button, while
  // a solution (or the last iteration's values) exists.
  for (const char* name : {"Residuals1", "ResButton"}) {
    window.SetHandler(name, [] { ResidualsCommand(); });
  }
}

TCalculateMenu::~TCalculateMenu() = default;

void TCalculateMenu::SetMacroRecorder(MacroRecorder* recorder) {
  recorder_.target = recorder != nullptr ? recorder : &textRecorder_;
}

TGForm* TCalculateMenu::SolutionWindow() {
  if (WindowList[kSolutionWindow] == nullptr) {
    TGForm* form = CreateSolutionWindow();
    window_.MdiArea()->addSubWindow(form);
    form->Hide();
    WindowList[kSolutionWindow] = form;
    // The slot empties when the window goes.
    connect(form, &QObject::destroyed, this, [form] {
      if (WindowList[kSolutionWindow] == form) WindowList[kSolutionWindow] = nullptr;
    });
  }
  return WindowList[kSolutionWindow];
}

bool TCalculateMenu::WindowExists(int window) { return Slot(window) != nullptr; }

bool TCalculateMenu::IsShown(int window) {
  TGForm* form = Slot(window);
  return form != nullptr && form->IsShown;
}

void TCalculateMenu::CloseWindow(int window) {
  if (TGForm* form = Slot(window)) form->Hide();
}

void TCalculateMenu::ScrollToTopLeft(int window) {
  TGForm* form = Slot(window);
  auto* area = form != nullptr ? qobject_cast<QAbstractScrollArea*>(form->widget()) : nullptr;
  if (area == nullptr) return;
  area->verticalScrollBar()->setValue(0);
  area->horizontalScrollBar()->setValue(0);
}

void TCalculateMenu::CloseFormattedEquations() { CloseWindow(kFormattedEquationsWindow); }

void TCalculateMenu::ShowWindow(int window) {
  if (window == kSolutionWindow) SolutionWindow();
  window_.ShowWindow(window);
}

void TCalculateMenu::BringToFront(int window) {
  TGForm* form = Slot(window);
  if (form == nullptr) return;
  form->raise();
  window_.MdiArea()->setActiveSubWindow(form);
  ActiveChildWindow = window;
}

void TCalculateMenu::ReleaseDebugWindow() {
  TGForm* debug = WindowList[kDebugWindow];
  if (debug == nullptr) return;
  WindowList[kDebugWindow] = nullptr;
  debug->deleteLater();
}

void TCalculateMenu::SetSolutionCaption(const std::string& caption) {
  SolutionWindow()->setWindowTitle(QString::fromStdString(caption));
}

bool TCalculateMenu::SolutionHasVariables() { return VarinSolution(); }

bool TCalculateMenu::CommitTableEdit() { return CommitParametricTableEdit(); }

bool TCalculateMenu::SaveDialog::Execute(const std::string& caption, std::string& fileName, bool& append) {
  TSaveAppendDlg dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(Cp1252ToUtf8(caption)));
  if (dialog.exec() != 1) return false;
  fileName = dialog.FileName();
  append = dialog.Append();
  return true;
}

void TCalculateMenu::DisposeTableUndo() {
  if (TTableForm* parametric = TableForms[size_t(kParametricTableKind)].get()) parametric->DisposeUndo();
}

void TCalculateMenu::RepaintParametricTable() {
  if (TGForm* form = Slot(kParametricTableWindow)) form->update();
}

void TCalculateMenu::RepaintEquations() {
  if (window_.EquationForm() != nullptr) window_.EquationForm()->Editor()->viewport()->update();
}

void TCalculateMenu::ShowDebugWindow(TProgramUnitRecord* unit, int mode) { OpenDebugWindow(unit, mode); }

void TCalculateMenu::BringDebugWindowToFront() { RaiseDebugWindow(); }

void TCalculateMenu::ShowWarningsList() {
  addHelpDlg_->ShowWarnings();
  addHelpDlg_->exec();
}

}  // namespace voq
