#include "tables/table_edits.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "solver/multiquadric.h"
#include "tables/tables_state.h"

namespace voq {

int32_t TableBlockAllocationBudget = -1;

namespace {

ColumnMoveHook columnMoveHook = nullptr;

bool EditsInPlace(int32_t kind) { return kind == kParametricTableKind || kind == kLookupTableKind; }

int32_t RowsOf(const TTableForm& f) { return std::max<int32_t>(TableRowCounts[size_t(f.TableKind)], 0); }
int32_t ColumnsOf(const TTableForm& f) { return std::max<int32_t>(TableColumnCounts[size_t(f.TableKind)], 0); }
int32_t LastGridRow(const TTableForm& f) { return f.GridRowCount - 1; }
int32_t LastGridCol(const TTableForm& f) { return f.GridColCount - 1; }

TVariableRecord* MainVariable(int32_t index) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
}

void AddMacroLine(const std::string& line) {
  if (MacroRecording) MacroText += line + "\r\n";
}

// The value and flag blocks a column gets; counts against the test budget.
void AllocateBlocks(size_t entries, std::vector<Extended>& values, std::vector<uint8_t>& flags) {
  if (TableBlockAllocationBudget == 0) throw std::bad_alloc();
  if (TableBlockAllocationBudget > 0) --TableBlockAllocationBudget;
  values.assign(entries, BlankValue);
  flags.assign(entries, 0);
}

void ShowOutOfMemory() {
  CalcErrorCode = kMsgOutOfMemory;
  ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
}

// The sums of a parametric table with its sum row.
void RefillSums(TTableForm& f) {
  if (f.TableKind != kParametricTableKind || f.SumRowShown == 0) return;
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next) f.FillSumAvg(c->ColumnNumber);
}

// The selection kept within the grid, collapsed to its top-left cell when
// it reached past the grid's end.
void KeepSelectionInGrid(TTableForm& f) {
  TGridRect& s = f.Selection;
  if (s.Right > LastGridCol(f) || s.Bottom > LastGridRow(f)) {
    const int32_t col = std::clamp(s.Left, 1, std::max(1, LastGridCol(f)));
    const int32_t row = std::clamp(s.Top, 1, std::max(1, LastGridRow(f)));
    s = TGridRect{col, row, col, row};
  }
}

// The columns renumbered in chain order, and what follows a number: the
// parametric column order, a lookup or arrays column's VariableIndex.
void RenumberColumns(TTableForm& f) {
  int32_t i = 1;
  if (f.TableKind == kParametricTableKind) ParametricColumnOrder.assign(1, 0);
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next, ++i) {
    c->ColumnNumber = i;
    if (f.TableKind == kParametricTableKind) ParametricColumnOrder.push_back(c->VariableIndex);
    if (f.TableKind == kLookupTableKind || f.TableKind == kArraysTableKind) c->VariableIndex = i;
  }
}

// The grid's column widths from the columns' own widths.
void WidthsFromColumns(TTableForm& f) {
  const int32_t label = f.GridColWidth(0);
  f.GridColWidths.assign(size_t(std::max(f.GridColCount, 1)), 90);
  f.GridColWidths[0] = label;
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next)
    if (c->ColumnNumber < f.GridColCount) f.SetGridColWidth(c->ColumnNumber, c->Width > 0 ? c->Width : 90);
}

// Integral terms of the current unit that point at a column of `from` are
// pointed at the column in the same position of `to` (nullptr: none).
void RepointIntegralTerms(TTableColumnRecord* from, TTableColumnRecord* to) {
  if (CurrentProgramUnit == nullptr) return;
  for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->ColumnRecord == nullptr) continue;
      int32_t position = 1;
      for (TTableColumnRecord* c = from; c != nullptr; c = c->Next, ++position) {
        if (c != t->ColumnRecord) continue;
        t->ColumnRecord = ColumnAtPosition(to, position);
        break;
      }
    }
  }
}

void DropIntegralTermsOf(const TTableColumnRecord* column) {
  if (CurrentProgramUnit == nullptr) return;
  for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr; e = e->Next)
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next)
      if (t->ColumnRecord == column) t->ColumnRecord = nullptr;
}

// The shown table's header owns its chain: when the chain's first column
// changed, the header takes the new head (MultipleTableRefresh would
// otherwise free the chain it no longer recognises).
void FollowChainHead(TTableForm& f, const TTableColumnRecord* oldHead) {
  if (TTableHeaderRecord* h = TableHeader(f.TableKind, f.CurrentTable); h != nullptr && h->Columns == oldHead)
    h->Columns = f.Columns;
}

void Refreshed(TTableForm& f) {
  f.ManageRowInfo();
  f.MultipleTableRefresh();
  ++f.RepaintCount;
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

// A pasted field as a standard decimal number with "." as the point.
bool ReadPastedNumber(std::string text, Extended& value) {
  text = Trimmed(text);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  if (text.empty()) return false;
  long double v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
  if (ec != std::errc() || ptr != end) return false;
  value = v;
  return true;
}

std::string MacroCopyTableName(const TTableForm& f) {
  switch (f.TableKind) {
    case kParametricTableKind: return "ParametricTable '" + f.TableName + "'";
    case kLookupTableKind: return "LookupTable '" + f.TableName + "'";
    case kArraysTableKind: return "ArraysTable";
    default: return "IntegralTable '" + f.TableName + "'";
  }
}

}  // namespace

void SetColumnMoveHook(ColumnMoveHook hook) { columnMoveHook = hook; }

void ReleaseEquationTexts(int32_t first, int32_t last) {
  if (CurrentProgramUnit == nullptr) return;
  for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    for (int32_t w : e->Code) {
      if (w >= first && w <= last) {
        e->Text.reset();
        break;
      }
    }
  }
}

// ---------------------------------------------------------------- undo

bool TTableForm::MakeUndo() {
  if (!EditsInPlace(TableKind)) return false;
  DisposeUndo();
  const int32_t rows = RowsOf(*this);
  TTableColumnRecord* head = nullptr;
  TTableColumnRecord* last = nullptr;
  for (TTableColumnRecord* c = Columns; c != nullptr; c = c->Next) {
    TTableColumnRecord* copy = nullptr;
    NewTableColumn(copy, rows, Tag);
    if (copy == nullptr) {
      FreeColumnChain(head);
      return false;
    }
    (last == nullptr ? head : last->Next) = copy;
    last = copy;
    copy->Name = c->Name;
    copy->VariableIndex = c->VariableIndex;
    copy->Format = c->Format;
    copy->IsString = c->IsString;
    copy->ColumnNumber = c->ColumnNumber;
    copy->Width = c->Width;
    copy->ColourIndex = c->ColourIndex;
    for (int32_t r = 1; r <= rows; ++r) {
      copy->Values[size_t(r - 1)] = c->Cell(r);
      copy->EnteredFlags[size_t(r - 1)] = c->Flag(r);
    }
  }
  UndoColumns = head;
  UndoRowCount = rows;
  UndoColumnCount = ColumnsOf(*this);
  UndoKind = TableKind;
  UndoGridRowCount = GridRowCount;
  UndoGridColCount = GridColCount;
  return true;
}

void TTableForm::Undo() {
  if (!EditsInPlace(TableKind) || UndoColumns == nullptr) return;
  const size_t kind = size_t(TableKind);
  // The header owns the shown chain; it takes the restored one instead,
  // and the shown one becomes the copy (a second Undo redoes).
  TTableHeaderRecord* h = TableHeader(TableKind, CurrentTable);
  TTableColumnRecord* shown = Columns;
  std::swap(Columns, UndoColumns);
  if (h != nullptr && h->Columns == shown) h->Columns = Columns;
  std::swap(TableRowCounts[kind], UndoRowCount);
  std::swap(TableColumnCounts[kind], UndoColumnCount);
  std::swap(GridRowCount, UndoGridRowCount);
  std::swap(GridColCount, UndoGridColCount);
  DocumentUnchanged = false;
  if (TableKind == kParametricTableKind) {
    RepointIntegralTerms(UndoColumns, Columns);
    for (TTableColumnRecord* c = Columns; c != nullptr; c = c->Next) {
      if (TVariableRecord* v = MainVariable(c->VariableIndex)) {
        v->Style = c->Format.Style;
        v->Digits = c->Format.Digits;
      }
    }
    ParametricColumnOrder.assign(1, 0);
    for (TTableColumnRecord* c = Columns; c != nullptr; c = c->Next) ParametricColumnOrder.push_back(c->VariableIndex);
    LastRun = std::min(std::max(LastRun, 0), TableRowCounts[kind]);
    if (LastRun == 0) LastRun = TableRowCounts[kind];
    RefillSums(*this);
  }
  WidthsFromColumns(*this);
  KeepSelectionInGrid(*this);
  Refreshed(*this);
}

void TTableForm::DisposeUndo() {
  FreeColumnChain(UndoColumns);
  UndoColumns = nullptr;
}

// ---------------------------------------------------------------- clipboard

std::string TableSelectionText(TTableForm& f, const TGridRect& selection, bool withTitles) {
  TGridRect s = selection;
  s.Right = std::min(s.Right, LastGridCol(f));
  s.Left = std::max(s.Left, 1);
  s.Top = std::max(s.Top, 1);
  std::string text;
  if (withTitles) {
    std::string titles;
    std::string units;
    for (int32_t col = s.Left; col <= s.Right; ++col) {
      const TTableColumnRecord* c = FindColumn(f.Columns, col);
      std::string title;
      std::string unit;
      if (c != nullptr) {
        if (f.TableKind == kParametricTableKind || f.TableKind == kIntegralTableKind) {
          title = c->Name;
          const TVariableRecord* v = MainVariable(c->VariableIndex);
          if (v != nullptr && !v->Units.empty()) unit = "[" + v->Units + "]";
        } else {
          title = c->Title();
          const size_t cr = c->Name.find('\r');
          if (cr != std::string::npos) unit = c->Name.substr(cr + 1);
        }
      }
      if (col > s.Left) {
        titles += '\t';
        units += '\t';
      }
      titles += title;
      units += unit;
    }
    text += titles + "\r\n" + units + "\r\n";
  }
  for (int32_t row = s.Top; row <= s.Bottom; ++row) {
    if (row > s.Top) text += "\r\n";
    for (int32_t col = s.Left; col <= s.Right; ++col) {
      if (col > s.Left) text += '\t';
      std::string cell;
      uint8_t entered = 0;
      f.GetMyCell(f.CurrentTable, row, col, cell, 255, entered, 2);
      text += cell;
    }
  }
  return text;
}

void CopytoClip(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  const TGridRect s = f->Selection;
  AddMacroLine("Copy " + MacroCopyTableName(*f) + " R" + std::to_string(s.Top) + " C" + std::to_string(s.Left) +
               ":R" + std::to_string(s.Bottom) + " C" + std::to_string(s.Right));
  Platform().SetBusyCursor(1);
  const std::string text = TableSelectionText(*f, s, Platform().ShiftKeyDown());
  Platform().SetClipboardText(text);
  f->Selection = TGridRect{s.Left, s.Top, s.Left, s.Top};
  Platform().SetBusyCursor(0);
}

void Cut1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr || !EditsInPlace(f->TableKind)) return;
  f->MakeUndo();
  const TGridRect s = f->Selection;
  CopytoClip(grid);
  f->Selection = s;
  const int32_t rows = RowsOf(*f);
  for (int32_t col = std::max(1, s.Left); col <= s.Right; ++col) {
    TTableColumnRecord* c = FindColumn(f->Columns, col);
    if (c == nullptr) continue;
    for (int32_t row = std::max(1, s.Top); row <= std::min(s.Bottom, rows); ++row) {
      c->SetCell(row, BlankValue);
      c->SetFlag(row, 0);
    }
  }
  grid.ClearSelection();
  // Cut stores cells directly, so it marks the change and the sums itself.
  DocumentUnchanged = false;
  RefillSums(*f);
  ++f->RepaintCount;
}

void Paste(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  // A pending edit is settled first: the pasted cells replace what it holds.
  if (EditsInPlace(f->TableKind) && grid.RegisterEdit() == 0) return;
  f->MakeUndo();
  const int32_t startCol = std::max(1, f->Selection.Left);
  const int32_t startRow = std::max(1, f->Selection.Top);
  std::string text;
  if (!Platform().GetClipboardText(text) || FindColumn(f->Columns, startCol) == nullptr) return;
  Platform().SetBusyCursor(1);
  const int32_t rows = RowsOf(*f);
  const int32_t lastCol = LastGridCol(*f);
  int32_t row = startRow;
  int32_t col = startCol;
  bool skipLine = false;
  bool failed = false;
  size_t pos = 0;
  while (pos < text.size() && row <= rows) {
    // One field: up to a tab (the line goes on) or a line feed (it ends).
    size_t end = text.find_first_of("\t\n", pos);
    const bool lineEnds = end == std::string::npos || text[end] == '\n';
    if (end == std::string::npos) end = text.size();
    std::string field = text.substr(pos, end - pos);
    pos = end + 1;
    if (lineEnds && !field.empty() && field.back() == '\r') field.pop_back();
    if (!skipLine) {
      if (DecimalSeparator != '.') {
        const size_t comma = field.find(',');
        if (comma != std::string::npos) field[comma] = '.';
      }
      TTableColumnRecord* c = FindColumn(f->Columns, col);
      if (c != nullptr) {
        if (f->StrVarType(col) != 0) {
          const std::string s = Trimmed(field);
          c->SetCell(row, s.empty() ? BlankValue : Extended(StringConstIndex(s)));
          c->SetFlag(row, s.empty() ? 0 : 1);
        } else if (Trimmed(field).empty()) {
          c->SetCell(row, BlankValue);
          c->SetFlag(row, 0);
        } else {
          Extended value = BlankValue;
          if (!ReadPastedNumber(field, value)) {
            c->SetCell(row, BlankValue);
            c->SetFlag(row, 0);
            ++f->RepaintCount;
            SetMessageArg(1, "'" + field + "'");
            SetMessageArg(2, "row " + std::to_string(row) + " column " + std::to_string(col));
            CalcErrorCode = kMsgPasteNonNumeric;
            ShowAlert(GetMessageText(kMsgPasteNonNumeric), kAlertErrorOk, true);
            failed = true;
            break;
          }
          c->SetCell(row, value);
          c->SetFlag(row, 1);
        }
      }
    }
    if (lineEnds) {
      ++row;
      col = startCol;
      skipLine = false;
    } else if (++col > lastCol) {
      skipLine = true;  // no further column: the rest of the line is dropped
    }
  }
  f->EditRow = -1;
  f->EditText.clear();
  // Paste stores cells directly, so it marks the change and the sums itself.
  DocumentUnchanged = false;
  RefillSums(*f);
  ++f->RepaintCount;
  Platform().SetBusyCursor(0);
  if (!failed && EditsInPlace(f->TableKind))
    AddMacroLine(std::string("Paste ") + (f->TableKind == kParametricTableKind ? "Parametric '" : "Lookup '") +
                 f->TableName + "' R" + std::to_string(startRow) + " C" + std::to_string(startCol));
}

// ---------------------------------------------------------------- tables

void DeleteCurrentTable(int32_t kind) {
  if (kind < 1 || kind > 4) return;
  TTableForm* f = TableForms[size_t(kind)].get();
  if (f == nullptr) return;
  DocumentUnchanged = false;
  auto* list = TableLists[size_t(kind)].get();
  if (list != nullptr && list->size() > 1) {
    f->DeleteSingleTable(f->CurrentTable);
    f->SwitchToTab(0);
    return;
  }
  if (list != nullptr && !list->empty()) f->DeleteSingleTable(1);
  f->Columns = nullptr;
  f->RowInfo.clear();
  TableRowCounts[size_t(kind)] = -10;
  TableColumnCounts[size_t(kind)] = 0;
  TableLists[size_t(kind)].reset();
  TableForms[size_t(kind)].reset();
}

// ---------------------------------------------------------------- rows

bool ResizeTableRows(TTableForm& f, int32_t after, int32_t count) {
  const int32_t rows = RowsOf(f);
  after = std::clamp(after, 0, rows);
  if (count < 0) count = std::max(count, -(rows - after));
  if (count == 0) return true;
  const int32_t m = rows + count;
  const size_t entries = size_t(m) + size_t(f.SumRowShown) + 1;
  const uint8_t newFlag = f.TableKind == kParametricTableKind ? 0 : 1;
  // Every new block first: a refusal leaves every column as it was.
  std::vector<std::pair<std::vector<Extended>, std::vector<uint8_t>>> blocks;
  try {
    for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next) {
      blocks.emplace_back();
      auto& [values, flags] = blocks.back();
      AllocateBlocks(entries, values, flags);
      for (int32_t r = 1; r <= after; ++r) {
        values[size_t(r - 1)] = c->Cell(r);
        flags[size_t(r - 1)] = c->Flag(r);
      }
      if (count > 0) {
        for (int32_t r = after + 1; r <= after + count; ++r) flags[size_t(r - 1)] = newFlag;
        for (int32_t r = after + 1; r <= rows; ++r) {
          values[size_t(r + count - 1)] = c->Cell(r);
          flags[size_t(r + count - 1)] = c->Flag(r);
        }
      } else {
        for (int32_t r = after - count + 1; r <= rows; ++r) {
          values[size_t(r + count - 1)] = c->Cell(r);
          flags[size_t(r + count - 1)] = c->Flag(r);
        }
      }
    }
    if (f.RowInfoCount() > 0) f.RowInfo.reserve(size_t(std::max(f.RowInfoCount(), int32_t(entries) + 1)));
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return false;
  }
  // Then the commit, which allocates nothing more.
  size_t i = 0;
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next, ++i) {
    c->Values.swap(blocks[i].first);
    c->EnteredFlags.swap(blocks[i].second);
  }
  // The rows' colours and borders move with their rows (grid row r is
  // RowInfo[r - 1]).
  if (f.RowInfoCount() >= after) {
    if (count > 0) {
      f.RowInfo.insert(f.RowInfo.begin() + after, size_t(count), TableRowInfo{});
    } else {
      const int32_t last = std::min(after - count, f.RowInfoCount());
      f.RowInfo.erase(f.RowInfo.begin() + after, f.RowInfo.begin() + last);
    }
  }
  TableRowCounts[size_t(f.TableKind)] = m;
  if (f.TableKind == kParametricTableKind) {
    LastRun = m;
    FirstRun = std::min(std::max(FirstRun, 1), std::max(m, 1));
    // The propagated uncertainties belong to the runs as they were.
    f.RunUncertainties.clear();
    f.HasRunUncertainties = false;
  }
  f.GridRowCount = m + f.SumRowShown + 1;
  RefillSums(f);
  DocumentUnchanged = false;
  KeepSelectionInGrid(f);
  Refreshed(f);
  return true;
}

bool InsertTableRows(TTableForm& f, int32_t after, int32_t count) {
  f.MakeUndo();
  Platform().SetBusyCursor(1);
  const bool done = ResizeTableRows(f, after, count);
  Platform().SetBusyCursor(0);
  return done;
}

void InsertRowAbove1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr || !EditsInPlace(f->TableKind)) return;
  InsertTableRows(*f, f->Selection.Top - 1, 1);
}

void InsertRow1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr || !EditsInPlace(f->TableKind)) return;
  InsertTableRows(*f, f->Selection.Bottom, 1);
}

// ---------------------------------------------------------------- columns

void DeleteColumn(TTableForm& f, TTableColumnRecord* column) {
  TTableColumnRecord** link = &f.Columns;
  while (*link != nullptr && *link != column) link = &(*link)->Next;
  if (*link == nullptr || column == nullptr) return;
  const TTableColumnRecord* oldHead = f.Columns;
  *link = column->Next;
  FollowChainHead(f, oldHead);
  const int32_t number = column->ColumnNumber;
  // One column fewer (not a count of -1).
  TableColumnCounts[size_t(f.TableKind)] = std::max(0, TableColumnCounts[size_t(f.TableKind)] - 1);
  f.GridColCount = std::max(1, f.GridColCount - 1);
  if (number >= 1 && number < int32_t(f.GridColWidths.size())) f.GridColWidths.erase(f.GridColWidths.begin() + number);
  DropIntegralTermsOf(column);
  column->Next = nullptr;
  FreeColumnChain(column);
  RenumberColumns(f);
  ReleaseEquationTexts(244, 246);
  DocumentUnchanged = false;
  if (f.Columns == nullptr) {
    DeleteCurrentTable(f.TableKind);
    return;
  }
  KeepSelectionInGrid(f);
  Refreshed(f);
}

void MoveColumn(TTableForm& f, int32_t number, int32_t position) {
  const int32_t count = ColumnsOf(f);
  TTableColumnRecord* moved = FindColumn(f.Columns, number);
  if (moved == nullptr || count < 1) return;
  position = std::clamp(position, 1, count);
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next) c->OldNumber = c->ColumnNumber;
  std::vector<int32_t> widths;
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next) widths.push_back(f.GridColWidth(c->ColumnNumber));
  // Unlink, then link in so that the column is the position-th of the chain.
  const TTableColumnRecord* oldHead = f.Columns;
  TTableColumnRecord** link = &f.Columns;
  while (*link != moved) link = &(*link)->Next;
  *link = moved->Next;
  link = &f.Columns;
  for (int32_t k = 1; k < position && *link != nullptr; ++k) link = &(*link)->Next;
  moved->Next = *link;
  *link = moved;
  FollowChainHead(f, oldHead);
  RenumberColumns(f);
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next)
    if (c->OldNumber >= 1 && c->OldNumber <= int32_t(widths.size()))
      f.SetGridColWidth(c->ColumnNumber, widths[size_t(c->OldNumber - 1)]);

  std::vector<std::pair<int32_t, int32_t>> moves;
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next)
    if (c->OldNumber != c->ColumnNumber) moves.emplace_back(c->OldNumber, c->ColumnNumber);
  if (!moves.empty() && (f.TableKind == kLookupTableKind || f.TableKind == kArraysTableKind)) {
    if (columnMoveHook != nullptr) columnMoveHook(f.TableKind, moves);
    if (f.TableKind == kArraysTableKind && MainProgramUnit != nullptr) {
      std::map<int32_t, int32_t> renumber(moves.begin(), moves.end());
      for (int32_t i = 1; i <= MainProgramUnit->VariableCount; ++i) {
        TVariableRecord* v = MainProgramUnit->Variable(i);
        if (v == nullptr) continue;
        const auto it = renumber.find(v->ArrayColumn);
        if (it != renumber.end() && it->second <= count) v->ArrayColumn = int16_t(it->second);
      }
    }
  }
  DocumentUnchanged = false;
  if (f.TableKind == kParametricTableKind) ReleaseEquationTexts(252, 252);
  if (f.TableKind == kLookupTableKind) ReleaseEquationTexts(244, 246);
  Refreshed(f);
}

int32_t ChangeLookupColumns(int32_t position, int32_t count) {
  TTableForm* f = TableForms[size_t(kLookupTableKind)].get();
  if (f == nullptr || count == 0) return 0;
  const int32_t c = ColumnsOf(*f);
  if (c + count > kMaxLookupColumns) {
    SetMessageArg(1, std::to_string(kMaxLookupColumns));
    CalcErrorCode = kMsgColumnLimit;
    ShowAlert(GetMessageText(kMsgColumnLimit), kAlertErrorOk, true);
    return 0;
  }
  position = std::clamp(position, 0, c);
  if (count < 0) count = std::max(count, -(c - position));
  if (c + count <= 0 || count == 0) return 0;
  const int32_t rows = RowsOf(*f);
  // The new columns first: nothing changes when one cannot be made.
  std::vector<TTableColumnRecord*> made;
  for (int32_t k = 0; k < count; ++k) {
    TTableColumnRecord* n = nullptr;
    if (TableBlockAllocationBudget == 0) {
      ShowOutOfMemory();
    } else {
      if (TableBlockAllocationBudget > 0) --TableBlockAllocationBudget;
      NewTableColumn(n, rows, f->Tag);
    }
    if (n == nullptr) {
      for (TTableColumnRecord* m : made) FreeColumnChain(m);
      return 0;
    }
    made.push_back(n);
  }
  const TTableColumnRecord* oldHead = f->Columns;
  TTableColumnRecord** link = &f->Columns;
  for (int32_t k = 0; k < position && *link != nullptr; ++k) link = &(*link)->Next;
  std::vector<int32_t> widths;
  for (TTableColumnRecord* col = f->Columns; col != nullptr; col = col->Next) widths.push_back(f->GridColWidth(col->ColumnNumber));
  if (count > 0) {
    TTableColumnRecord* rest = *link;
    for (size_t k = 0; k < made.size(); ++k) {
      TTableColumnRecord* n = made[k];
      n->ColumnNumber = position + int32_t(k) + 1;
      n->Name = "New " + std::to_string(n->ColumnNumber);
      n->Format = TDisplayFormat{kStyleAutomatic, 3};
      n->IsString = 0;
      n->Width = 90;
      *link = n;
      link = &n->Next;
    }
    *link = rest;
    widths.insert(widths.begin() + position, size_t(count), 90);
  } else {
    for (int32_t k = 0; k < -count && *link != nullptr; ++k) {
      TTableColumnRecord* gone = *link;
      *link = gone->Next;
      gone->Next = nullptr;
      FreeColumnChain(gone);
    }
    widths.erase(widths.begin() + position, widths.begin() + position - count);
  }
  FollowChainHead(*f, oldHead);
  TableColumnCounts[size_t(kLookupTableKind)] = c + count;
  f->GridColCount = c + count + 1;
  RenumberColumns(*f);
  const int32_t label = f->GridColWidth(0);
  f->GridColWidths.assign(1, label);
  f->GridColWidths.insert(f->GridColWidths.end(), widths.begin(), widths.end());
  for (TTableColumnRecord* col = f->Columns; col != nullptr; col = col->Next) col->Width = f->GridColWidth(col->ColumnNumber);
  DocumentUnchanged = false;
  KeepSelectionInGrid(*f);
  Refreshed(*f);
  ReleaseEquationTexts(244, 246);
  return 1;
}

// ---------------------------------------------------------------- selection commands

void Clear(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  if (!EditsInPlace(f->TableKind)) {
    Platform().Beep();
    return;
  }
  f->MakeUndo();
  const TGridRect s = f->Selection;
  const bool allColumns = s.Left <= 1 && s.Right >= LastGridCol(*f);
  const bool allRows = s.Top <= 1 && s.Bottom >= LastGridRow(*f);
  const int32_t kind = f->TableKind;
  if (allColumns && !allRows && s.Top >= 1) {
    const int32_t rows = RowsOf(*f);
    if (s.Top > rows) return;  // the sum row alone
    const int32_t bottom = std::min(s.Bottom, rows);
    Platform().SetBusyCursor(1);
    ResizeTableRows(*f, s.Top - 1, -(bottom - s.Top + 1));
    Platform().SetBusyCursor(0);
  } else if (allRows && !allColumns) {
    std::vector<TTableColumnRecord*> doomed;
    for (int32_t position = std::max(1, s.Left); position <= s.Right; ++position)
      if (TTableColumnRecord* c = ColumnAtPosition(f->Columns, position)) doomed.push_back(c);
    for (TTableColumnRecord* c : doomed) {
      TTableForm* shown = TableForms[size_t(kind)].get();
      if (shown != f) break;
      DeleteColumn(*f, c);
    }
  } else if (allRows && allColumns) {
    const int32_t message = kind == kParametricTableKind ? kMsgDeleteParametricTable : kMsgDeleteLookupTable;
    if (ShowAlert(GetMessageText(message), kAlertWarningOkCancel, false) != kResultOk) return;
    DeleteCurrentTable(kind);
  }
}

void DeleteRows1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  const TGridRect s = f->Selection;
  if (!(s.Top <= 1 && s.Bottom >= LastGridRow(*f))) {
    Clear(grid);
    return;
  }
  const int32_t left = f->LeftCol;
  const int32_t kind = f->TableKind;
  if (ShowAlert("This action will delete the entire table.  Continue?", kAlertInfoYesNo, false) != kResultYes) return;
  DeleteCurrentTable(kind);
  if (TTableForm* still = grid.Form()) still->LeftCol = std::min(left, std::max(1, LastGridCol(*still)));
}

void Deletecolumn1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  const TGridRect s = f->Selection;
  const bool columnsOverAllRows = s.Top <= 1 && s.Bottom >= LastGridRow(*f) && s.Left >= 1 && s.Right >= s.Left;
  if (!columnsOverAllRows) f->Selection = TGridRect{grid.ClickedColumn, 1, grid.ClickedColumn, LastGridRow(*f)};
  Clear(grid);
}

bool InsertColumn1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr || f->TableKind != kLookupTableKind) return false;
  f->MakeUndo();
  if (ChangeLookupColumns(f->Selection.Right, 1) != 1) f->Undo();
  return true;
}

bool InsertColumntotheLeft1Click(TTableGrid& grid) {
  TTableForm* f = grid.Form();
  if (f == nullptr || f->TableKind != kLookupTableKind) return false;
  f->MakeUndo();
  if (ChangeLookupColumns(f->Selection.Left - 1, 1) != 1) f->Undo();
  return true;
}

// ---------------------------------------------------------------- sort

bool SortTableColumn(TTableForm& f, int32_t column, int32_t top, int32_t bottom, bool descending,
                     bool allColumns) {
  TTableColumnRecord* key = FindColumn(f.Columns, column);
  if (key == nullptr) return false;
  top = std::max(top, 1);
  bottom = std::min(bottom, RowsOf(f));
  const int32_t m = bottom - top + 1;
  if (m <= 1) return false;
  // Rows may pass 32767 (parametric tables run to 99,999): 32-bit indices.
  std::vector<Extended> work(size_t(m) + 1, 0);
  std::vector<int32_t> index(size_t(m) + 1, 0);
  for (int32_t k = 1; k <= m; ++k) {
    work[size_t(k)] = key->Cell(top + k - 1);
    index[size_t(k)] = k - 1;
  }
  HeapSortWithIndex(m, work, index);
  // Row top + k takes the old row top + source[k]. The values themselves
  // are moved from the column, not taken from the sort's work array, which
  // holds them only to double precision.
  std::vector<int32_t> source(static_cast<size_t>(m));
  for (int32_t k = 0; k < m; ++k) source[size_t(k)] = descending ? index[size_t(m - k)] : index[size_t(k + 1)];
  const int32_t columnCount = ColumnsOf(f);
  for (TTableColumnRecord* c = f.Columns; c != nullptr; c = c->Next) {
    if (c != key && (!allColumns || c->ColumnNumber > columnCount)) continue;
    std::vector<Extended> values(static_cast<size_t>(m));
    std::vector<uint8_t> flags(static_cast<size_t>(m));
    for (int32_t k = 0; k < m; ++k) {
      values[size_t(k)] = c->Cell(top + source[size_t(k)]);
      flags[size_t(k)] = c->Flag(top + source[size_t(k)]);
    }
    // Entered flags travel with their values, so that inputs stay inputs.
    for (int32_t k = 0; k < m; ++k) {
      c->SetCell(top + k, values[size_t(k)]);
      c->SetFlag(top + k, flags[size_t(k)]);
    }
  }
  // A sorted table is a changed document: it must not close unasked.
  DocumentUnchanged = false;
  ++f.RepaintCount;
  return true;
}

}  // namespace voq
