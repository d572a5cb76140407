#include "shell/table_windows.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>

#include "core/program_flags.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/shell_state.h"
#include "tables/qt/linear_regression_dlg.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/qt/table_window.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

TTableWindow* Slot(int32_t kind) {
  const int32_t tag = TableKindToWindowTag(kind);
  return tag > 0 ? dynamic_cast<TTableWindow*>(WindowList[size_t(tag)]) : nullptr;
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
  if (QMenu* tables = window_.Menu("Tables1")) {
    QObject::connect(tables, &QMenu::aboutToShow, tables, [this] {
      bool any = false;
      for (int32_t kind = 1; kind <= 4; ++kind) any = any || TableForms[size_t(kind)] != nullptr;
      if (QAction* item = window_.Action("LinearRegression1")) item->setEnabled(any);
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

bool CommitParametricTableEdit() {
  TTableWindow* table = Slot(kParametricTableKind);
  if (table == nullptr || table->Grid().Form() == nullptr) return true;
  return table->Grid().RegisterEdit() != 0;
}

}  // namespace voq
