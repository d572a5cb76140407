#include "shell/table_windows.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/shell_state.h"
#include "tables/qt/linear_regression_dlg.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/qt/table_edit_dlgs.h"
#include "tables/qt/table_window.h"
#include "tables/lookup_table_files.h"
#include "tables/table_edits.h"
#include "tables/table_files.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

TTableWindow* Slot(int32_t kind) {
  const int32_t tag = TableKindToWindowTag(kind);
  return tag > 0 ? dynamic_cast<TTableWindow*>(WindowList[size_t(tag)]) : nullptr;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void MarkDocumentChanged() { DocumentUnchanged = false; }

bool RunParametricTableDialog(QWidget* owner, const std::string& title, std::string& path, bool save) {
  QFileDialog dialog(owner, QString::fromStdString(title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("Parametric table files (*.par)"));
  dialog.setDefaultSuffix(QStringLiteral("PAR"));
  if (!path.empty()) dialog.selectFile(QString::fromStdString(Cp1252ToUtf8(path)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = Utf8ToCp1252(dialog.selectedFiles().first().toStdString());
  return true;
}

}  // namespace

TTableWindows::TTableWindows(TVOQ_D& window) : window_(window) {
  const struct {
    const char* item;
    int32_t kind;
  } items[] = {{"ParametricTable1", kParametricTableKind}, {"ParametricWindowButton1", kParametricTableKind},
               {"LookupTable1", kLookupTableKind},         {"LookupButton", kLookupTableKind},
               {"Arrays1", kArraysTableKind},              {"ArraysButton", kArraysTableKind},
               {"IntegralButton", kIntegralTableKind}};
  for (const auto& i : items) {
    const int32_t kind = i.kind;
    window_.SetHandler(i.item, [this, kind] { ShowTableWindow(kind); });
  }
  // Linear Regression fits columns of any table window that exists.
  window_.SetHandler("LinearRegression1", [this] { LinearRegression1Click(&window_); });
  window_.SetHandler("StoreParametricTable1", [this] { StoreParametricTable1Click(); });
  window_.SetHandler("RetrieveParametricTable1", [this] { RetrieveParametricTable1Click(); });
  // The Tables menu's row, column and table dialogs.
  window_.SetHandler("InsertDeleteRuns1", [this] {
    TableDialogCommand(kParametricTableKind, [this] { TInsertRunsDlg(kParametricTableKind, &window_).exec(); });
  });
  window_.SetHandler("InsertDeleteLookupRows1", [this] {
    TableDialogCommand(kLookupTableKind, [this] { TInsertRunsDlg(kLookupTableKind, &window_).exec(); });
  });
  window_.SetHandler("InsertDeleteLookupCols1", [this] {
    TableDialogCommand(kLookupTableKind, [this] { TInsertColsDlg(&window_).exec(); });
  });
  window_.SetHandler("DeleteParametricTable1", [this] {
    TableDialogCommand(kParametricTableKind, [this] { TDeleteTableDlg(kParametricTableKind, &window_).Execute(); });
  });
  window_.SetHandler("DeleteLookupTable1", [this] {
    TableDialogCommand(kLookupTableKind, [this] { TDeleteTableDlg(kLookupTableKind, &window_).Execute(); });
  });
  // New, Open and Save Lookup Table.
  window_.SetHandler("NewLookupTable1", [this] {
    TNewLookupDlg dialog(&window_);
    if (dialog.exec() == 1) {
      dialog.Model().DiscardUndo();
      if (MacroRecording) MacroText += dialog.Model().MacroLine() + "\r\n";
      ShowTableWindow(kLookupTableKind);
    }
    MarkDocumentChanged();
  });
  window_.SetHandler("OpenLookupTable1", [this] {
    QFileDialog dialog(&window_, QStringLiteral("Open Lookup Table"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({QStringLiteral("VOQ Lookup files (*.LKT *.lkt)"), QStringLiteral("Text Lookup files (*.TXT *.txt)"),
                           QStringLiteral("CSV data files (*.CSV *.csv)"), QStringLiteral("All types (*)")});
    if (dialog.exec() != QDialog::Accepted) return;
    std::vector<std::string> files;
    for (const QString& f : dialog.selectedFiles()) files.push_back(Utf8ToCp1252(f.toStdString()));
    CalcErrorCode = 0;
    const int32_t read = OpenLookupFiles(files, [](const std::string& line) {
      if (MacroRecording) MacroText += line + "\r\n";
    });
    if (read > 0) ShowTableWindow(kLookupTableKind);
    CalcErrorCode = 0;
  });
  window_.SetHandler("SaveLookupTable1", [this] {
    QFileDialog dialog(&window_, QStringLiteral("Save Lookup Table"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("VOQ Lookup files (*.LKT *.lkt)"), QStringLiteral("Text Lookup files (*.TXT *.txt)"),
                           QStringLiteral("CSV data files (*.CSV *.csv)"), QStringLiteral("All types (*)")});
    dialog.setDefaultSuffix(QStringLiteral("LKT"));
    const std::string current = CurrentLookupFileName();
    if (!current.empty()) dialog.selectFile(QString::fromStdString(Cp1252ToUtf8(current)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    CalcErrorCode = 0;
    if (!SaveLookupTableAs(Utf8ToCp1252(dialog.selectedFiles().first().toStdString())) && CalcErrorCode == kMsgNoLookupTable)
      ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, true);
    CalcErrorCode = 0;
  });
  // The Edit menu's commands act on the active table window's grid; other
  // windows keep their own.
  auto route = [this](const char* name, std::function<void(TTableGrid&)> act) {
    std::function<void()> previous = window_.Handler(name);
    window_.SetHandler(name, [this, previous, act] {
      const int32_t kind = WindowTagToTableKind(ActiveChildWindow);
      TTableWindow* table = kind != 0 ? Slot(kind) : nullptr;
      if (table == nullptr || table->Grid().Form() == nullptr) {
        if (previous) previous();
        return;
      }
      if (table->View()->Editor()->isVisible() && !table->View()->CommitEditor()) return;
      act(table->Grid());
      AfterTableCommand(table, kind);
    });
  };
  route("Undo1", [](TTableGrid& grid) { grid.Form()->Undo(); });
  route("Cut1", [](TTableGrid& grid) { RunTableEdit(grid, "Cut1"); });
  route("Copy1", [](TTableGrid& grid) { RunTableEdit(grid, "Copy1"); });
  route("Paste1", [](TTableGrid& grid) { RunTableEdit(grid, "Paste1"); });
  route("Clear1", [](TTableGrid& grid) {
    Clear(grid);
    grid.ClearSelection();
  });
  route("SelectAll1", [](TTableGrid& grid) { grid.SelectAll(); });
  AskParametricTableFile = [this](const std::string& title, std::string& path, bool save) {
    return RunParametricTableDialog(&window_, title, path, save);
  };
  // Store needs the parametric table window; a distributable program
  // neither stores nor retrieves tables.
  if (QMenu* tables = window_.Menu("Tables1")) {
    QObject::connect(tables, &QMenu::aboutToShow, tables, [this] {
      bool any = false;
      for (int32_t kind = 1; kind <= 4; ++kind) any = any || TableForms[size_t(kind)] != nullptr;
      if (QAction* item = window_.Action("LinearRegression1")) item->setEnabled(any);
      if (QAction* store = window_.Action("StoreParametricTable1"))
        store->setEnabled(!DistributableMode && WindowList[kParametricTableWindow] != nullptr);
      if (QAction* retrieve = window_.Action("RetrieveParametricTable1")) retrieve->setEnabled(!DistributableMode);
    });
  }
  // The main window routes no wheel or keys elsewhere while a table
  // dialog is open.
  TQtTableDialogs::DialogOpenChanged = [](bool open) { DialogOpen = open; };
}

TTableWindows::~TTableWindows() {
  TQtTableDialogs::DialogOpenChanged = nullptr;
  if (files_ != nullptr && &DocumentFiles() == this) SetDocumentFileWindows(nullptr);
}

void TTableWindows::TableDialogCommand(int32_t kind, const std::function<void()>& run) {
  TTableWindow* table = Window(kind);
  if (table == nullptr) {
    Platform().Beep();
    return;
  }
  if (table->View()->Editor()->isVisible() && !table->View()->CommitEditor()) return;
  if (table->Grid().RegisterEdit() == 0) return;
  run();
  AfterTableCommand(table, kind);
}

void TTableWindows::AfterTableCommand(TTableWindow* table, int32_t kind) {
  if (TableForms[size_t(kind)] != nullptr) {
    table->Refresh();
    return;
  }
  if (table->OnFreed) table->OnFreed();
  table->deleteLater();
}

void TTableWindows::FollowDocumentFiles(DocumentFileWindows& files) {
  files_ = &files;
  SetDocumentFileWindows(this);
}

void TTableWindows::OpenDocumentTableWindows() {
  for (int32_t kind = 1; kind <= 4; ++kind) {
    if (!TableForms[size_t(kind)]) continue;
    if (TTableWindow* table = Window(kind)) {
      // A document read with Ctrl held reset the column widths; the
      // window takes them with its font.
      table->Grid().SetFont(table->logicalDpiX() > 0 ? table->logicalDpiX() : 96);
      table->Refresh();
    }
  }
}

void TTableWindows::RestoreMaximizedChild() {
  if (files_ != nullptr) files_->RestoreMaximizedChild();
}
void TTableWindows::HideEquations() {
  if (files_ != nullptr) files_->HideEquations();
}
void TTableWindows::ShowEquations() {
  if (files_ != nullptr) files_->ShowEquations();
}
void TTableWindows::SetDocumentCaption(const std::string& fileName) {
  if (files_ != nullptr) files_->SetDocumentCaption(fileName);
}
void TTableWindows::ArrangeWindows(const TWindowArrangement& plan) {
  OpenDocumentTableWindows();
  if (files_ != nullptr) files_->ArrangeWindows(plan);
}

TTableWindow* TTableWindows::Window(int32_t kind) {
  if (TTableWindow* existing = Slot(kind)) return existing;
  if (kind < 1 || kind > 4 || !TableForms[size_t(kind)]) return nullptr;
  const int32_t tag = TableKindToWindowTag(kind);
  auto* table = new TTableWindow(kind, nullptr);
  window_.MdiArea()->addSubWindow(table);
  table->Hide();
  WindowList[size_t(tag)] = table;
  table->OnFreed = [table, tag] {
    if (WindowList[size_t(tag)] == table) WindowList[size_t(tag)] = nullptr;
  };
  QObject::connect(table, &QObject::destroyed, [table, tag] {
    if (WindowList[size_t(tag)] == table) WindowList[size_t(tag)] = nullptr;
  });
  return table;
}

void TTableWindows::ShowTableWindow(int32_t kind) {
  TTableWindow* table = Window(kind);
  if (table == nullptr) return;
  table->Refresh();
  window_.ShowAndFocus(TableKindToWindowTag(kind));
}

void TTableWindows::ResetResultWindows() {
  HideResidualsWindow();
  FreeDebugWindow();
}

void TTableWindows::ResetOtherSettings() { ResetInsertArrayState(); }

void TTableWindows::CloseTableWindows() {
  for (int32_t kind = 1; kind <= 4; ++kind) {
    if (TTableWindow* table = Slot(kind)) {
      WindowList[size_t(TableKindToWindowTag(kind))] = nullptr;
      delete table;
    }
    if (TableForms[size_t(kind)] && TableLists[size_t(kind)]) TableForms[size_t(kind)]->DisposeAll();
    DestroyTableForm(kind);
    TableLists[size_t(kind)].reset();
  }
}

void TTableWindows::ApplyTableSumRow(bool on) {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr) return;
  f->SumRowShown = on ? 1 : 0;
  f->GridRowCount = TableRowCounts[1] + 1 + f->SumRowShown;
  f->ManageRowInfo();
  if (on)
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) f->FillSumAvg(c->ColumnNumber);
  if (TTableWindow* table = Slot(kParametricTableKind)) table->Refresh();
}

int32_t TTableWindows::ScreenPixelsPerInch() { return Fonts().ScreenPixelsPerInch(); }

void TTableWindows::ApplyEquationFontSettings() {
  if (TEquationForm* equations = window_.EquationForm()) equations->FormResize();
}

void TTableWindows::ApplyEquationsFont() {
  if (TEquationForm* equations = window_.EquationForm()) equations->SetFontInfo();
}

void TTableWindows::StoreParametricTable1Click() {
  TTableWindow* table = Slot(kParametricTableKind);
  TTableForm* form = TableForms[size_t(kParametricTableKind)].get();
  if (table == nullptr || form == nullptr) return;
  std::string path = form->TableName;
  if (form->TabIndex >= 0 && size_t(form->TabIndex) < form->TabCaptions.size())
    path = form->TabCaptions[size_t(form->TabIndex)];
  path += ".par";
  if (!AskParametricTableFile || !AskParametricTableFile("Store Parametric Table in File", path, true)) return;
  if (QWidget* frame = table->parentWidget()) {
    form->WindowTop = frame->y();
    form->WindowLeft = frame->x();
    form->WindowWidth = frame->width();
    form->WindowHeight = frame->height();
  }
  StoreTable(*form, path, window_.FileName);
  AddSearchDirectory(FolderOf(path));
}

void TTableWindows::RetrieveParametricTable1Click() {
  std::string path;
  if (!AskParametricTableFile || !AskParametricTableFile("Retrieve Parametric Table from File", path, false)) return;
  AddSearchDirectory(FolderOf(path));
  if (!RetrieveStoredTable(path, window_.FileName, MarkDocumentChanged)) return;
  TTableForm* form = TableForms[size_t(kParametricTableKind)].get();
  ShowTableWindow(kParametricTableKind);
  TTableWindow* table = Slot(kParametricTableKind);
  if (form != nullptr && table != nullptr && form->WindowWidth > 0 && form->WindowHeight > 0) {
    if (QWidget* frame = table->parentWidget())
      frame->setGeometry(form->WindowLeft, form->WindowTop, form->WindowWidth, form->WindowHeight);
  }
  if (table != nullptr) table->Refresh();
}

bool CommitParametricTableEdit() {
  TTableWindow* table = Slot(kParametricTableKind);
  if (table == nullptr || table->Grid().Form() == nullptr) return true;
  return table->Grid().RegisterEdit() != 0;
}

}  // namespace voq
