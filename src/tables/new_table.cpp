// New parametric tables: the creation, the new-table dialog's lists and
// the change of the shown table's columns.
#include "tables/new_table.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/text_utils.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "tables/table_edits.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

int32_t NewTableColumnCount = 0;

namespace {

TProgramUnitRecord* ListedUnit() { return CurrentProgramUnit != nullptr ? CurrentProgramUnit : MainProgramUnit; }

std::string Upper(std::string s) {
  for (char& ch : s) ch = char(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The equations whose kept text reads table values (code 252) or that
// integrate lose that text, so the next read compiles them afresh.
void ReleaseTableEquationTexts() {
  if (CurrentProgramUnit == nullptr) return;
  for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr; e = e->Next)
    if (e->IntegralTerms != nullptr || std::find(e->Code.begin(), e->Code.end(), 252) != e->Code.end()) e->Text.reset();
}

// A column record for the current run count, counted against the tests'
// allocation budget like every other structural change.
TTableColumnRecord* MakeColumn() {
  if (TableBlockAllocationBudget == 0) {
    CalcErrorCode = kMsgOutOfMemory;
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    return nullptr;
  }
  if (TableBlockAllocationBudget > 0) --TableBlockAllocationBudget;
  TTableColumnRecord* c = nullptr;
  NewTableColumn(c, std::max(TableRowCounts[1], 0) + 1, 4);
  return c;
}

}  // namespace

void CreateParametricTable(int32_t runs, const std::string& name) {
  FirstRun = 1;
  LastRun = runs;
  TableRowCounts[1] = runs;
  TableColumnCounts[1] = NewTableColumnCount;
  NewTableKind = kParametricTableKind;
  TTableForm* f = TableForms[1].get();
  if (f == nullptr) {
    f = CreateTableForm(kParametricTableKind);
  } else {
    f->MultipleTableSetup();
  }
  if (f == nullptr) return;
  f->TableName = name.substr(0, 255);
  f->MultipleTableRefresh();
  NewTableColumnCount = TableColumnCounts[1];
  DocumentUnchanged = false;
}

bool ChangeParametricColumns(const std::vector<int32_t>& variables) {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr || variables.empty()) return false;
  // The whole new chain first: a column that cannot be made leaves the
  // shown table untouched.
  std::vector<std::unique_ptr<TTableColumnRecord>> made;
  for (size_t i = 0; i < variables.size(); ++i) {
    TTableColumnRecord* c = MakeColumn();
    if (c == nullptr) return false;
    made.emplace_back(c);
  }
  std::vector<int32_t> oldWidths(size_t(std::max(f->GridColCount, 1)), 90);
  for (int32_t g = 0; g < int32_t(oldWidths.size()); ++g) oldWidths[size_t(g)] = f->GridColWidth(g);
  TTableColumnRecord* old = f->Columns;
  std::vector<int32_t> widths = {f->GridColWidth(0)};
  TTableColumnRecord* head = nullptr;
  TTableColumnRecord* last = nullptr;
  ParametricColumnOrder.assign(variables.size() + 1, 0);
  for (size_t i = 0; i < variables.size(); ++i) {
    const int32_t number = int32_t(i) + 1;
    ParametricColumnOrder[i + 1] = variables[i];
    TTableColumnRecord* c = made[i].release();
    const TTableColumnRecord* kept = nullptr;
    for (TTableColumnRecord* o = old; o != nullptr; o = o->Next)
      if (o->VariableIndex == variables[i]) kept = o;
    int32_t width = 90;
    if (kept != nullptr) {
      // The column moves whole: its values, flags, format, width, pattern.
      width = kept->ColumnNumber < int32_t(oldWidths.size()) ? oldWidths[size_t(kept->ColumnNumber)] : 90;
      TTableColumnRecord* o = const_cast<TTableColumnRecord*>(kept);
      TTableColumnRecord* next = c->Next;
      *c = std::move(*o);
      c->Next = next;
      o->VariableIndex = 0;
    } else {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(variables[i]) : nullptr;
      c->VariableIndex = variables[i];
      if (v != nullptr) {
        c->Name = v->Name.substr(0, 30);
        c->Format = {v->Style, v->Digits};
        c->IsString = v->IsString;
      }
    }
    c->ColumnNumber = number;
    c->OldNumber = 0;
    widths.push_back(width);
    (last == nullptr ? head : last->Next) = c;
    last = c;
  }
  // Only now the old chain goes (what was taken over left empty shells).
  TTableHeaderRecord* h = TableHeader(kParametricTableKind, f->CurrentTable);
  if (h != nullptr && h->Columns == old) h->Columns = head;
  f->Columns = head;
  FreeColumnChain(old);
  TableColumnCounts[1] = int32_t(variables.size());
  f->GridColCount = int32_t(variables.size()) + 1;
  for (int32_t g = 0; g < int32_t(widths.size()); ++g) f->SetGridColWidth(g, widths[size_t(g)]);
  f->DisposeUndo();
  f->MultipleTableRefresh();
  ++f->WindowHeight;  // a new layout
  ++f->RepaintCount;
  DocumentUnchanged = false;
  return true;
}

// ---------------------------------------------------------------- TNewTableModel

TNewTableModel::TNewTableModel(bool insertMode, bool tableChoiceEnabled, int32_t insertPosition)
    : InsertMode(insertMode), TableChoiceEnabled(tableChoiceEnabled), InsertPosition(insertPosition) {
  TTableForm* f = TableForms[1].get();
  if (f != nullptr) f->MakeUndo();
  const int32_t tables = TableLists[1] ? int32_t(TableLists[1]->size()) : 0;
  Name = "Table " + std::to_string(f != nullptr ? tables + 1 : 1);
  if (InsertMode && f != nullptr) {
    for (const auto& header : *TableLists[1]) Tables.push_back(header->Name);
    Table = std::max(f->TabIndex, 0);
  }
  FillVarList();
  if (InsertMode) ListTableColumns();
}

void TNewTableModel::FillVarList() {
  VarList.clear();
  TProgramUnitRecord* u = ListedUnit();
  if (u == nullptr) return;
  for (int32_t k = 1; k <= u->UsedVariableCount && k < int32_t(u->UsedVariableList.size()); ++k) {
    const int32_t i = u->UsedVariableList[size_t(k)];
    const TVariableRecord* v = u->Variable(i);
    if (v == nullptr || v->Name.empty() || v->Name[0] == '@') continue;
    if (!ShowArrayVars && v->Name.back() == ']') continue;
    const bool listed = std::any_of(TableList.begin(), TableList.end(),
                                    [&](const TNewTableItem& t) { return t.VariableIndex == i; });
    if (!listed) VarList.push_back({v->Name, i, false});
  }
}

void TNewTableModel::ListTableColumns() {
  TableList.clear();
  FillVarList();
  for (int32_t i = 1; i <= TableColumnCounts[1] && i < int32_t(ParametricColumnOrder.size()); ++i) {
    const int32_t index = ParametricColumnOrder[size_t(i)];
    auto found = std::find_if(VarList.begin(), VarList.end(), [&](const TNewTableItem& t) { return t.VariableIndex == index; });
    if (found != VarList.end()) {
      TableList.push_back({found->Name, index, false});
      VarList.erase(found);
    } else {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
      TableList.push_back({v != nullptr ? v->Name : std::string(), index, false});
    }
  }
}

void TNewTableModel::SetShowArrayVars(bool show) {
  ShowArrayVars = show;
  FillVarList();
}

bool TNewTableModel::AddEnabled() const {
  return std::any_of(VarList.begin(), VarList.end(), [](const TNewTableItem& t) { return t.Selected; });
}
bool TNewTableModel::RemoveEnabled() const {
  return std::any_of(TableList.begin(), TableList.end(), [](const TNewTableItem& t) { return t.Selected; });
}

void TNewTableModel::Move(std::vector<TNewTableItem>& from, std::vector<TNewTableItem>& to) {
  std::vector<TNewTableItem> kept;
  for (TNewTableItem& item : from) {
    if (!item.Selected) {
      kept.push_back(item);
      continue;
    }
    item.Selected = false;
    if (InsertPosition < 0) {
      to.push_back(item);
    } else {
      // Each at the same position in turn (so several stand in reverse
      // order), never past the receiving list's end.
      const size_t at = std::min(size_t(InsertPosition), to.size());
      to.insert(to.begin() + std::ptrdiff_t(at), item);
    }
  }
  from = std::move(kept);
  dragging_ = TNewTableList::None;
  pressed_ = TNewTableList::None;
}

void TNewTableModel::Add() { Move(VarList, TableList); }
void TNewTableModel::Remove() {
  Move(TableList, VarList);
  // Back in the variable list's own order.
  FillVarList();
}

void TNewTableModel::Click(TNewTableList list, int32_t index, bool shift) {
  std::vector<TNewTableItem>& items = list == TNewTableList::Variables ? VarList : TableList;
  std::vector<TNewTableItem>& other = list == TNewTableList::Variables ? TableList : VarList;
  for (TNewTableItem& t : other) t.Selected = false;
  if (index < 0 || index >= int32_t(items.size())) return;
  // Multi-select without extended selection: a click toggles the item.
  items[size_t(index)].Selected = !items[size_t(index)].Selected;
  if (!shift || list != TNewTableList::Variables || !items[size_t(index)].Selected) return;
  int32_t from = -1;
  for (int32_t k = index - 1; k >= 0 && from < 0; --k)
    if (items[size_t(k)].Selected) from = k;
  if (from < 0)
    for (int32_t k = index + 1; k < int32_t(items.size()) && from < 0; ++k)
      if (items[size_t(k)].Selected) from = k;
  if (from < 0) return;
  for (int32_t k = std::min(from, index); k <= std::max(from, index); ++k) items[size_t(k)].Selected = true;
}

void TNewTableModel::MouseDown(TNewTableList list, int32_t x, int32_t y) {
  pressed_ = list;
  pressX_ = x;
  pressY_ = y;
}

void TNewTableModel::MouseMove(int32_t x, int32_t y) {
  if (pressed_ != TNewTableList::None && std::abs(x - pressX_) + std::abs(y - pressY_) > 5) dragging_ = pressed_;
}

void TNewTableModel::Drop(TNewTableList target, int32_t y, int32_t itemHeight, int32_t topIndex, int32_t focused) {
  const TNewTableList source = dragging_;
  dragging_ = TNewTableList::None;
  pressed_ = TNewTableList::None;
  if (source == TNewTableList::Variables && target == TNewTableList::Table) {
    Add();
  } else if (source == TNewTableList::Table && target == TNewTableList::Variables) {
    Remove();
  } else if (source == TNewTableList::Table && target == TNewTableList::Table && !TableList.empty()) {
    int32_t selected = -1;
    int32_t count = 0;
    for (int32_t k = 0; k < int32_t(TableList.size()); ++k)
      if (TableList[size_t(k)].Selected) {
        selected = k;
        ++count;
      }
    const int32_t from = count > 1 ? focused : selected;
    if (from < 0 || from >= int32_t(TableList.size())) return;
    const int32_t to = std::clamp(y / std::max(itemHeight, 1) + topIndex, 0, int32_t(TableList.size()) - 1);
    TNewTableItem item = TableList[size_t(from)];
    TableList.erase(TableList.begin() + from);
    TableList.insert(TableList.begin() + to, item);
  }
}

void TNewTableModel::ChooseTable(int32_t index) {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr || !f->SwitchToTab(index)) return;
  Table = index;
  ListTableColumns();
}

bool TNewTableModel::Ok() {
  if (TableList.empty()) return false;
  TTableForm* f = TableForms[1].get();
  if (!InsertMode) {
    std::string name = TrimBlanks(Name).substr(0, 255);
    if (name.empty()) {
      ThrottledBeep();
      return false;
    }
    if (f != nullptr) {
      f->MultipleTableRefresh();
      // One check: a second such table gets the same name.
      for (const auto& header : *TableLists[1])
        if (Upper(header->Name) == Upper(name)) {
          name += "(copy)";
          break;
        }
      f->DisposeUndo();
    }
    Runs = std::clamp(Runs, 1, 99999);
    ParametricColumnOrder.assign(1, 0);
    for (const TNewTableItem& t : TableList) ParametricColumnOrder.push_back(t.VariableIndex);
    NewTableColumnCount = int32_t(TableList.size());
    CreateParametricTable(Runs, name);
    if (TableForms[1]) TableForms[1]->Visible = true;
    if (MacroRecording) {
      std::string line = "NewTable '" + name + "'  Runs=" + std::to_string(Runs) + " ";
      for (const TNewTableItem& t : TableList) line += t.Name + " ";
      if (line.size() > 255) line.resize(255);
      MacroText += line + "\r\n";
    }
  } else {
    if (f == nullptr) return false;
    std::vector<int32_t> variables;
    for (const TNewTableItem& t : TableList) variables.push_back(t.VariableIndex);
    if (!ChangeParametricColumns(variables)) return false;
    f->Visible = true;
  }
  ReleaseTableEquationTexts();
  if (TableForms[1]) TableForms[1]->MultipleTableRefresh();
  return true;
}

void TNewTableModel::Cancel() {
  if (TableForms[1]) TableForms[1]->DisposeUndo();
}

}  // namespace voq
