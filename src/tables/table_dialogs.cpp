#include "tables/table_dialogs.h"

#include <algorithm>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "tables/table_edits.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

TTableForm* FormOf(int32_t kind) { return kind >= 1 && kind <= 4 ? TableForms[size_t(kind)].get() : nullptr; }

std::vector<std::string> TabsOf(int32_t kind) {
  const TTableForm* f = FormOf(kind);
  return f != nullptr ? f->TabCaptions : std::vector<std::string>{};
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

// Message 416; true on OK.
bool ConfirmTableDeletion() {
  return ShowAlert(GetMessageText(kMsgDeleteTableQuestion), kAlertWarningOkCancel, false) == kResultOk;
}

TVariableRecord* MainVariable(int32_t index) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------- insert runs

TInsertRunsModel::TInsertRunsModel(int32_t kind) : Kind(kind) {
  CalcErrorCode = 0;
  if (TTableForm* f = FormOf(Kind)) f->MakeUndo();
}

std::string TInsertRunsModel::Caption() const {
  return Kind == kParametricTableKind ? "Insert or Delete Parametric Table Runs" : "Insert or Delete Lookup Table Rows";
}
std::string TInsertRunsModel::InsertCaption() const {
  return Kind == kParametricTableKind ? "Insert Runs" : "Insert Rows";
}
std::string TInsertRunsModel::DeleteCaption() const {
  return Kind == kParametricTableKind ? "Delete Runs" : "Delete Rows";
}
std::string TInsertRunsModel::StartCaption() const { return InsertMode ? "At top" : "From the top"; }
std::string TInsertRunsModel::EndCaption() const { return InsertMode ? "At bottom" : "From the bottom"; }
std::string TInsertRunsModel::AfterCaption() const {
  return Kind == kParametricTableKind ? "After run" : "After row";
}
std::string TInsertRunsModel::CountCaption() const {
  return Kind == kParametricTableKind ? "No. of runs" : "No. of rows";
}

std::vector<std::string> TInsertRunsModel::Tables() const { return TabsOf(Kind); }

int32_t TInsertRunsModel::ShownTable() const {
  const TTableForm* f = FormOf(Kind);
  return f != nullptr ? std::max(0, f->TabIndex) : 0;
}

void TInsertRunsModel::ChooseTable(int32_t index) {
  TTableForm* f = FormOf(Kind);
  if (f == nullptr || index == f->TabIndex) return;
  if (f->SwitchToTab(index)) f->MakeUndo();
}

bool TInsertRunsModel::Ok() {
  TTableForm* f = FormOf(Kind);
  if (f == nullptr) return true;
  const int32_t r = f->GridRowCount - 1 - (Kind == kParametricTableKind ? f->SumRowShown : 0);
  int32_t n = InsertMode ? Count : -Count;
  int32_t p = 0;
  switch (Place) {
    case TTablePlace::Start: p = 0; break;
    case TTablePlace::End: p = InsertMode ? r : std::max(0, r - Count); break;
    // A row past the table's end means its last row.
    case TTablePlace::After: p = std::clamp(AfterRow, 0, r); break;
  }
  if (n < 0 && p - n > r) n = -(r - p);
  if (r + n <= 0) {
    if (!ConfirmTableDeletion()) return false;
    DeleteCurrentTable(Kind);
    return true;
  }
  if (n == 0) return true;
  Platform().SetBusyCursor(1);
  ResizeTableRows(*f, p, n);
  Platform().SetBusyCursor(0);
  return true;
}

void TInsertRunsModel::Cancel() {
  if (TTableForm* f = FormOf(Kind)) f->DisposeUndo();
}

// ---------------------------------------------------------------- insert columns

TInsertColsModel::TInsertColsModel() {
  CalcErrorCode = 0;
  if (const TTableForm* f = FormOf(kLookupTableKind)) Table = std::max(0, f->TabIndex);
}

void TInsertColsModel::SetInsertMode(bool insert) {
  if (!insert && InsertMode && Place == TTablePlace::End) Place = TTablePlace::Start;
  InsertMode = insert;
}

std::vector<std::string> TInsertColsModel::Tables() const { return TabsOf(kLookupTableKind); }

bool TInsertColsModel::Ok() {
  TTableForm* f = FormOf(kLookupTableKind);
  if (f == nullptr) return true;
  Platform().SetBusyCursor(1);
  if (Table != f->TabIndex) f->SwitchToTab(Table);
  f->DisposeUndo();
  Platform().SetBusyCursor(0);
  const int32_t c = std::max<int32_t>(TableColumnCounts[size_t(kLookupTableKind)], 0);
  int32_t n = InsertMode ? Count : -Count;
  int32_t p = 0;
  switch (Place) {
    case TTablePlace::Start: p = 0; break;
    case TTablePlace::End: p = InsertMode ? c : std::max(0, c - Count); break;
    case TTablePlace::After: p = std::clamp(AfterCol, 0, c); break;
  }
  if (n < 0 && p - n > c) n = -(c - p);
  if (c + n <= 0) {
    if (!ConfirmTableDeletion()) return false;
    DeleteCurrentTable(kLookupTableKind);
    return true;
  }
  if (n == 0) return true;
  return ChangeLookupColumns(p, n) == 1;
}

// ---------------------------------------------------------------- delete tables

TDeleteTableModel::TDeleteTableModel(int32_t kind) : Kind(kind) {
  const TTableForm* f = FormOf(kind);
  if (f == nullptr || kind < 1 || kind > 2 || !TableLists[size_t(kind)]) return;
  const auto& list = *TableLists[size_t(kind)];
  for (const auto& h : list) {
    Lines.push_back(std::to_string(h->TableNumber) + ". " + h->Name);
    Selected.push_back(h->TableNumber == f->CurrentTable);
  }
}

int32_t TDeleteTableModel::SelectedCount() const {
  return int32_t(std::count(Selected.begin(), Selected.end(), true));
}

std::string TDeleteTableModel::Caption() const {
  static const char* const kWords[] = {"", " Parametric ", " Lookup ", " Arrays ", " Integral "};
  const int32_t n = SelectedCount();
  const char* word = Kind >= 1 && Kind <= 4 ? kWords[Kind] : "";
  return "Delete " + std::to_string(n) + word + " table" + (n == 1 ? "" : "s");
}

void TDeleteTableModel::Delete() {
  TTableForm* f = FormOf(Kind);
  if (f == nullptr) return;
  CalcErrorCode = 0;
  for (int32_t i = int32_t(Selected.size()) - 1; i >= 0 && CalcErrorCode == 0; --i)
    if (Selected[size_t(i)]) f->DeleteSingleTable(i + 1);
  DocumentUnchanged = false;
  if (TableLists[size_t(Kind)] && !TableLists[size_t(Kind)]->empty()) {
    f->SwitchToTab(0);
  } else {
    f->Columns = nullptr;
    f->RowInfo.clear();
    TableRowCounts[size_t(Kind)] = -10;
    TableColumnCounts[size_t(Kind)] = 0;
    TableLists[size_t(Kind)].reset();
    TableForms[size_t(Kind)].reset();
  }
  // Compiled table functions may name the deleted tables.
  ClearCompiledEquations();
}

// ---------------------------------------------------------------- sort

TSortModel::TSortModel(TTableForm& form, int32_t column) : form_(form), column_(column) {
  const TTableColumnRecord* c = FindColumn(form.Columns, column);
  const std::string name = c != nullptr ? c->Title().substr(0, 35) : std::string();
  Caption = "Sort " + name + " in " + form.TableName;
  Bottom = std::max<int32_t>(TableRowCounts[size_t(form.TableKind)], 1);
}

bool TSortModel::Ok() {
  form_.MakeUndo();
  return SortTableColumn(form_, column_, Top, Bottom, !Ascending, !ThisColumnOnly);
}

// ---------------------------------------------------------------- column format

const std::array<const char*, 8> TableColourNames = {"White", "Aqua", "Gray", "Yellow",
                                                     "Teal",  "Fuchsia", "Lime", "Buff"};

const std::array<const char*, 4> TFormatTableModel::StyleItems = {"&Auto format", "&Fixed decimal", "Exponential",
                                                                  "String"};

uint8_t TFormatTableModel::StyleOfItem(int32_t item) {
  static constexpr uint8_t kStyles[] = {kStyleAutomatic, kStyleFixed, kStyleExponential, kStyleStringConstant};
  return item >= 0 && item <= 3 ? kStyles[item] : uint8_t(kStyleAutomatic);
}

int32_t TFormatTableModel::CheckedStyleItem() const {
  switch (Format.Style) {
    case kStyleAutomatic: return 0;
    case kStyleFixed: return 1;
    case kStyleStringConstant: return 3;
    default: return 2;
  }
}

std::string TFormatTableModel::Caption() const {
  if (Several()) return "Format Columns " + std::to_string(Selection.Left) + " to " + std::to_string(Selection.Right);
  switch (Kind) {
    case kParametricTableKind: return "Format Parametric Table Column " + std::to_string(Position);
    case kLookupTableKind: return "Format Lookup Table Column " + std::to_string(Position);
    case kArraysTableKind: return "Format Arrays Window Column " + std::to_string(Position);
    default: return "Format Integral Window Column " + std::to_string(Position);
  }
}

std::string TFormatTableModel::GroupCaption() const {
  if (Format.Style == kStyleStringConstant) return "Format";
  const Extended x = IsBlank(Example) ? Extended(987.654321L) : Example;
  return "Format: " + Trimmed(FormatValue(Format, x));
}

std::string TFormatTableModel::StyleText() const {
  switch (Format.Style) {
    case kStyleAutomatic: return "Auto format";
    case kStyleFixed: return "Fixed decimal";
    case kStyleStringConstant: return "String";
    default: return "Exponential";
  }
}

void TFormatTableModel::ChooseStyle(int32_t item) {
  const uint8_t style = StyleOfItem(item);
  if (style == kStyleStringConstant && !StringItemEnabled()) return;
  if (!StyleEnabled()) return;
  Format.Style = style;
}

void TFormatTableModel::ChooseDigits(int32_t digits) {
  if (digits >= 0 && digits <= 9) Format.Digits = int16_t(digits);
}

void TFormatTableModel::PositionUp() {
  if (Position < ColumnCount) ++Position;
}

void TFormatTableModel::PositionDown() {
  if (Position > 1) --Position;
}

void TFormatTableModel::SetPositionText(const std::string& text) {
  const std::string t = Trimmed(text);
  if (t.empty() || t.size() > 3 || t.find_first_not_of("0123456789") != std::string::npos) return;
  const int32_t n = std::stoi(t);
  if (n >= 1 && n <= ColumnCount) Position = n;
}

bool TFormatTableModel::NameTooLong() const {
  const size_t title = Trimmed(Title).size();
  // Title, CR, "[", units and "]" must fit the column's 30-character name.
  if (!Units.empty()) return title + Units.size() + 3 > 30;
  return title >= 30;
}

bool TFormatTableModel::Ok() {
  if (Kind == kLookupTableKind) {
    Title = Trimmed(Title);
    if (NameTooLong()) {
      SetMessageArg(1, "30");
      if (ShowAlert(GetMessageText(kMsgColumnHeadingLength), kAlertWarningYesNo, false) == kResultYes) return false;
    }
  }
  DocumentUnchanged = false;
  return true;
}

TFormatTableModel FormatModelOf(TTableGrid& grid, int32_t column) {
  TFormatTableModel m;
  TTableForm* f = grid.Form();
  if (f == nullptr) return m;
  const TTableColumnRecord* c = FindColumn(f->Columns, column);
  m.Kind = f->TableKind;
  m.Position = column;
  m.ColumnCount = std::max(1, f->GridColCount - 1);
  m.Selection = f->Selection;
  m.Width = f->GridColWidth(column);
  if (c != nullptr) {
    m.Format = c->Format;
    m.Colour = c->ColourIndex;
    if (m.Kind == kParametricTableKind || m.Kind == kIntegralTableKind) {
      if (const TVariableRecord* v = MainVariable(c->VariableIndex)) m.Format = {v->Style, v->Digits};
    }
  }
  std::string text;
  uint8_t entered = 0;
  m.Example = f->GetMyCell(f->CurrentTable, 1, column, text, 255, entered, 2);
  grid.HeaderInfo(column, m.Title, m.Units);
  return m;
}

void ApplyColumnFormat(TTableGrid& grid, int32_t column, const TFormatTableModel& d, int32_t oldWidth) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  TTableColumnRecord* c = FindColumn(f->Columns, column);
  if (c == nullptr) return;
  auto formatOne = [&](TTableColumnRecord* col) {
    col->Format = d.Format;
    col->IsString = d.Format.Style == kStyleStringConstant ? 1 : 0;
    col->ColourIndex = d.Colour;
    if (d.Kind == kParametricTableKind || d.Kind == kIntegralTableKind) {
      if (TVariableRecord* v = MainVariable(col->VariableIndex)) {
        v->Style = d.Format.Style;
        v->Digits = d.Format.Digits;
      }
    }
  };
  formatOne(c);
  if (d.Several()) {
    for (int32_t k = std::max(1, d.Selection.Left); k <= d.Selection.Right; ++k) {
      TTableColumnRecord* col = FindColumn(f->Columns, k);
      if (col == nullptr) continue;
      formatOne(col);
      if (d.Width != oldWidth) {
        col->Width = d.Width;
        f->SetGridColWidth(k, d.Width);
      }
    }
  } else {
    if (d.Width != oldWidth) {
      c->Width = d.Width;
      f->SetGridColWidth(column, d.Width);
    }
    const std::string units = d.Units.substr(0, 30);
    switch (d.Kind) {
      case kParametricTableKind:
      case kIntegralTableKind:
        if (TVariableRecord* v = MainVariable(c->VariableIndex)) v->Units = units;
        break;
      case kLookupTableKind:
        ReleaseEquationTexts(244, 246);
        c->Name = (Trimmed(d.Title) + (d.Units.empty() ? std::string() : "\r[" + d.Units + "]")).substr(0, 30);
        break;
      case kArraysTableKind: {
        c->Name = (d.Title + "\r" + (d.Units.empty() ? std::string() : "[" + d.Units + "]")).substr(0, 30);
        if (MainProgramUnit != nullptr) {
          for (int32_t i = 1; i <= MainProgramUnit->VariableCount; ++i) {
            TVariableRecord* v = MainProgramUnit->Variable(i);
            if (v == nullptr || v->ArrayColumn != column) continue;
            if (!d.Units.empty()) v->Units = units;
            v->Style = d.Format.Style;
            v->Digits = d.Format.Digits;
          }
        }
        break;
      }
      default: break;
    }
    if (d.Position != column) MoveColumn(*f, column, d.Position);
  }
  DocumentUnchanged = false;
  f->MultipleTableRefresh();
  ++f->RepaintCount;
}


// --- New Lookup Table -------------------------------------------------------------------

TNewLookupModel::TNewLookupModel() {
  TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
  const auto& list = TableLists[size_t(kLookupTableKind)];
  if (form != nullptr) form->MakeUndo();
  Title = "Lookup " + std::to_string(form != nullptr && list ? list->size() + 1 : 1);
}

bool TNewLookupModel::Ok() {
  if (Rows < 1 || Rows > kMaxRows || Columns < 1 || Columns > kMaxColumns) {
    Platform().Beep();
    return false;
  }
  std::string name = Title;
  const size_t a = name.find_first_not_of(' ');
  const size_t b = name.find_last_not_of(' ');
  name = a == std::string::npos ? std::string() : name.substr(a, b - a + 1);
  TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
  int32_t index = 0;
  if (name.empty() || (form != nullptr && form->ExistingName(name, index) != 0)) {
    SetMessageArg(1, "Lookup Table");
    ShowAlert(GetMessageText(kMsgTableNameInvalid), kAlertErrorOk, true);
    return false;
  }
  if (form != nullptr) form->MultipleTableRefresh();
  NewTableKind = kLookupTableKind;
  TableRowCounts[size_t(kLookupTableKind)] = Rows;
  TableColumnCounts[size_t(kLookupTableKind)] = Columns;
  if (form == nullptr) {
    form = CreateTableForm(kLookupTableKind);
  } else {
    form->MultipleTableSetup();
  }
  if (form == nullptr || CalcErrorCode != 0) return false;
  form->Visible = true;
  form->TableName = name;
  form->MultipleTableRefresh();
  Name = name;
  DocumentUnchanged = false;
  return true;
}

void TNewLookupModel::DiscardUndo() {
  if (TTableForm* form = TableForms[size_t(kLookupTableKind)].get()) form->DisposeUndo();
}

std::string TNewLookupModel::MacroLine() const {
  return "NewLookup '" + Name + "'  Rows=" + std::to_string(Rows) + "  Cols=" + std::to_string(Columns);
}

}  // namespace voq
