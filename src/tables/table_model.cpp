#include "tables/table_model.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/export_after_run.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

UncertaintyColumnLookup uncertaintyColumnLookup = nullptr;

constexpr int32_t kDefaultColumnWidth = 90;

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Cut(const std::string& s, int32_t maxLength) {
  if (maxLength < 0) return "";
  return s.size() > size_t(maxLength) ? s.substr(0, size_t(maxLength)) : s;
}

const TVariableRecord* MainVariable(int32_t index) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
}

bool SumRowPreference() { return Preferences.TableSumRow != 0; }

// The text of a cell in format: a string constant's text for a string
// column, the formatted number otherwise; empty for a blank cell.
std::string CellText(Extended value, const TDisplayFormat& format, bool isString) {
  const Extended ratio = value / BlankValue;
  if (!std::isfinite(double(ratio)) || ratio > 0.99999L) return "";
  if (isString || format.Style == kStyleStringConstant) {
    const Extended rounded = std::round(value);
    if (rounded < 1 || rounded > Extended(StringConstants.size())) return "";
    return StringConstants[size_t(rounded) - 1];
  }
  return FormatValue(format, value);
}

int32_t MaxRow(const TTableColumnRecord* c) { return int32_t(c->Values.size()); }

void ClearRunOf(TTableColumnRecord* chain, int32_t columnCount, int32_t rows, int32_t row,
                bool sumShown) {
  for (int32_t i = 1; i <= columnCount; ++i) {
    TTableColumnRecord* c = FindColumn(chain, i);
    if (c == nullptr || c->Flag(row) != 0) continue;
    if (row >= 1 && row <= MaxRow(c)) c->Values[size_t(row - 1)] = BlankValue;
    if (sumShown && rows + 1 <= MaxRow(c)) c->Values[size_t(rows)] = BlankValue;
  }
}

}  // namespace

int32_t TableKindToWindowTag(int32_t kind) {
  switch (kind) {
    case 1: return 4;
    case 2: return 6;
    case 3: return 8;
    case 4: return 10;
    default: return 0;
  }
}

int32_t WindowTagToTableKind(int32_t tag) {
  switch (tag) {
    case 4: return 1;
    case 6: return 2;
    case 8: return 3;
    case 10: return 4;
    default: return 0;
  }
}

// --- Columns ------------------------------------------------------------------------

std::string TTableColumnRecord::Title() const {
  const size_t cr = Name.find('\r');
  return cr == std::string::npos ? Name : Name.substr(0, cr);
}

Extended TTableColumnRecord::Cell(int32_t row) const {
  if (row < 1 || row > int32_t(Values.size())) return BlankValue;
  return Values[size_t(row - 1)];
}

uint8_t TTableColumnRecord::Flag(int32_t row) const {
  if (row < 1 || row > int32_t(EnteredFlags.size())) return 0;
  return EnteredFlags[size_t(row - 1)];
}

void TTableColumnRecord::SetCell(int32_t row, Extended value) {
  if (row < 1) return;
  if (row > int32_t(Values.size())) Values.resize(size_t(row), BlankValue);
  Values[size_t(row - 1)] = value;
}

void TTableColumnRecord::SetFlag(int32_t row, uint8_t flag) {
  if (row < 1) return;
  if (row > int32_t(EnteredFlags.size())) EnteredFlags.resize(size_t(row), 0);
  EnteredFlags[size_t(row - 1)] = flag;
}

void FreeColumnChain(TTableColumnRecord* head) {
  while (head != nullptr) {
    TTableColumnRecord* next = head->Next;
    delete head;
    head = next;
  }
}

TTableColumnRecord* FindColumn(TTableColumnRecord* head, int32_t number) {
  for (TTableColumnRecord* c = head; c != nullptr; c = c->Next)
    if (c->ColumnNumber == number) return c;
  return nullptr;
}

TTableColumnRecord* ColumnAtPosition(TTableColumnRecord* head, int32_t position) {
  int32_t k = 1;
  for (TTableColumnRecord* c = head; c != nullptr; c = c->Next, ++k)
    if (k == position) return c;
  return nullptr;
}

void NewTableColumn(TTableColumnRecord*& column, int32_t count, int32_t windowTag) {
  CalcErrorCode = 0;
  column = nullptr;
  if (count < 0) count = 0;
  try {
    auto made = std::make_unique<TTableColumnRecord>();
    made->Values.assign(size_t(count) + 1, BlankValue);
    made->EnteredFlags.assign(size_t(count) + 1, windowTag == 4 ? 0 : 1);
    column = made.release();
  } catch (const std::bad_alloc&) {
    CalcErrorCode = kMsgOutOfMemory;
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
  }
}

// --- Header layout ------------------------------------------------------------------

namespace {

void PutInt32(uint8_t* p, int32_t v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(u >> (8 * i));
}
int32_t GetInt32(const uint8_t* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(p[i]) << (8 * i);
  return int32_t(u);
}
void PutShortString(uint8_t* p, const std::string& s, size_t capacity) {
  const size_t n = std::min(s.size(), capacity);
  p[0] = uint8_t(n);
  std::copy(s.begin(), s.begin() + std::ptrdiff_t(n), p + 1);
}
std::string GetShortString(const uint8_t* p) { return std::string(p + 1, p + 1 + p[0]); }

}  // namespace

void PackTableHeader(const TTableHeaderRecord& h, uint8_t* dst) {
  namespace o = table_header_offsets;
  std::fill(dst, dst + kTableHeaderSize, uint8_t(0));
  PutInt32(dst + o::TableNumber, h.TableNumber);
  PutInt32(dst + o::RowCount, h.RowCount);
  PutInt32(dst + o::ColumnCount, h.ColumnCount);
  PutInt32(dst + o::GridRowCount, h.GridRowCount);
  PutInt32(dst + o::GridColCount, h.GridColCount);
  PutInt32(dst + o::SumRowShown, h.SumRowShown);
  PutInt32(dst + o::LeftCol, h.LeftCol);
  PutInt32(dst + o::TopRow, h.TopRow);
  PutInt32(dst + o::WindowHeight, h.WindowHeight);
  PutInt32(dst + o::WindowWidth, h.WindowWidth);
  PutShortString(dst + o::Name, h.Name, 255);
  PutShortString(dst + o::FileName, h.FileName, 255);
  PutInt32(dst + o::RowInfoCount, h.RowInfoCount());
  PutInt32(dst + o::Selection, h.Selection.Left);
  PutInt32(dst + o::Selection + 4, h.Selection.Top);
  PutInt32(dst + o::Selection + 8, h.Selection.Right);
  PutInt32(dst + o::Selection + 12, h.Selection.Bottom);
  PutInt32(dst + o::EditCol, h.EditCol);
  PutInt32(dst + o::EditRow, h.EditRow);
  dst[o::PrintSelected] = h.PrintSelected;
  dst[o::PrintSelectedSaved] = h.PrintSelectedSaved;
  PutInt32(dst + o::FirstRun, h.FirstRun);
  PutInt32(dst + o::LastRun, h.LastRun);
  const uint64_t bits = std::bit_cast<uint64_t>(h.FileDate);
  for (int i = 0; i < 8; ++i) dst[o::FileDate + size_t(i)] = uint8_t(bits >> (8 * i));
}

void UnpackTableHeader(const uint8_t* src, TTableHeaderRecord& h) {
  namespace o = table_header_offsets;
  h.TableNumber = GetInt32(src + o::TableNumber);
  h.RowCount = GetInt32(src + o::RowCount);
  h.ColumnCount = GetInt32(src + o::ColumnCount);
  h.GridRowCount = GetInt32(src + o::GridRowCount);
  h.GridColCount = GetInt32(src + o::GridColCount);
  h.SumRowShown = GetInt32(src + o::SumRowShown);
  h.LeftCol = GetInt32(src + o::LeftCol);
  h.TopRow = GetInt32(src + o::TopRow);
  h.WindowHeight = GetInt32(src + o::WindowHeight);
  h.WindowWidth = GetInt32(src + o::WindowWidth);
  h.Name = GetShortString(src + o::Name);
  h.FileName = GetShortString(src + o::FileName);
  h.Selection = {GetInt32(src + o::Selection), GetInt32(src + o::Selection + 4),
                 GetInt32(src + o::Selection + 8), GetInt32(src + o::Selection + 12)};
  h.EditCol = GetInt32(src + o::EditCol);
  h.EditRow = GetInt32(src + o::EditRow);
  h.PrintSelected = src[o::PrintSelected];
  h.PrintSelectedSaved = src[o::PrintSelectedSaved];
  h.FirstRun = GetInt32(src + o::FirstRun);
  h.LastRun = GetInt32(src + o::LastRun);
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t(src[o::FileDate + size_t(i)]) << (8 * i);
  h.FileDate = std::bit_cast<double>(bits);
}

// --- The window ------------------------------------------------------------------------

TTableHeaderRecord* TableHeader(int32_t kind, int32_t tableNumber) {
  if (kind < 1 || kind > 4 || !TableLists[size_t(kind)]) return nullptr;
  auto& list = *TableLists[size_t(kind)];
  if (tableNumber < 1 || tableNumber > int32_t(list.size())) return nullptr;
  return list[size_t(tableNumber - 1)].get();
}

namespace {

// Whether a header of the kind's list owns chain.
bool HeaderOwns(int32_t kind, const TTableColumnRecord* chain) {
  if (chain == nullptr || kind < 1 || kind > 4 || !TableLists[size_t(kind)]) return false;
  for (const auto& h : *TableLists[size_t(kind)])
    if (h->Columns == chain) return true;
  return false;
}

}  // namespace

TTableForm::TTableForm(int32_t kind) : TableKind(kind), Tag(TableKindToWindowTag(kind)) {
  static constexpr int32_t kHelp[5] = {0, 6, 8, 4, 319};
  HelpContext = (kind >= 1 && kind <= 4) ? kHelp[kind] : 0;
}

TTableForm::~TTableForm() {
  DisposeUndo();
  if (!HeaderOwns(TableKind, Columns)) FreeColumnChain(Columns);
  Columns = nullptr;
  if (TableKind >= 1 && TableKind <= 4) {
    TableRowCounts[size_t(TableKind)] = -10;
    TableColumnCounts[size_t(TableKind)] = 0;
  }
}

int32_t TTableForm::GridColWidth(int32_t gridColumn) const {
  if (gridColumn < 0 || gridColumn >= int32_t(GridColWidths.size())) return kDefaultColumnWidth;
  return GridColWidths[size_t(gridColumn)];
}

void TTableForm::SetGridColWidth(int32_t gridColumn, int32_t width) {
  if (gridColumn < 0) return;
  if (gridColumn >= int32_t(GridColWidths.size()))
    GridColWidths.resize(size_t(gridColumn) + 1, kDefaultColumnWidth);
  GridColWidths[size_t(gridColumn)] = width;
}

void TTableForm::MultipleTableSetup() {
  const size_t kind = size_t(TableKind);
  SumRowShown = (TableKind == kParametricTableKind && SumRowPreference()) ? 1 : 0;
  const int32_t rows = std::max<int32_t>(TableRowCounts[kind], 0);
  const int32_t columns = std::max<int32_t>(TableColumnCounts[kind], 0);
  GridRowCount = rows + 1 + SumRowShown;
  GridColCount = columns + 1;
  GridColWidths.assign(size_t(GridColCount), kDefaultColumnWidth);
  DisposeUndo();
  CalcErrorCode = 0;
  // The chain of a header stays with its header; one the window alone owns
  // (an arrays or integral table, a set-up that stopped) goes now.
  if (!HeaderOwns(TableKind, Columns)) FreeColumnChain(Columns);
  Columns = nullptr;
  RunUncertainties.clear();
  HasRunUncertainties = false;
  RowInfo.clear();

  TTableColumnRecord* last = nullptr;
  for (int32_t i = 1; i <= columns; ++i) {
    TTableColumnRecord* c = nullptr;
    NewTableColumn(c, rows + 1, Tag);
    if (c == nullptr) {
      ShowAlert(GetMessageText(kMsgOperationOutOfMemory), kAlertErrorOk, true);
      CalcErrorCode = kMsgOperationOutOfMemory;
      return;
    }
    (last == nullptr ? Columns : last->Next) = c;
    last = c;
    c->ColumnNumber = i;
    switch (TableKind) {
      case kParametricTableKind: {
        c->VariableIndex = i < int32_t(ParametricColumnOrder.size()) ? ParametricColumnOrder[size_t(i)] : 0;
        const TVariableRecord* v = MainVariable(c->VariableIndex);
        if (v == nullptr) {
          ThrottledBeep();
          return;
        }
        c->Name = v->Name.substr(0, 30);
        c->Format = {v->Style, v->Digits};
        c->IsString = v->IsString;
        Caption = "Parametric Table";
        break;
      }
      case kLookupTableKind:
        c->Name = "Column" + std::to_string(i);
        c->Format = DefaultColumnFormat;
        c->VariableIndex = i;
        c->IsString = 0;
        Caption = "Lookup Table";
        break;
      case kArraysTableKind:
        c->VariableIndex = i;
        c->IsString = c->Format.Style == kStyleStringConstant ? 1 : 0;
        Caption = "Arrays Table";
        break;
      default:
        c->IsString = 0;
        Caption = "Integral Table";
        break;
    }
  }
  EditRow = -1;
  EditCol = -1;
  EditText.clear();
  EditIsString = 0;
  EditValue = BlankValue;
  EditRejected = 0;
  Visible = false;
  ManageRowInfo();
  std::fill(RowInfo.begin(), RowInfo.end(), TableRowInfo{});
  if (TableKind == kParametricTableKind || TableKind == kLookupTableKind) SetMultipleTableList();
}

void TTableForm::SetMultipleTableList() {
  const size_t kind = size_t(TableKind);
  auto h = std::make_unique<TTableHeaderRecord>();
  h->RowCount = TableRowCounts[kind];
  h->ColumnCount = TableColumnCounts[kind];
  h->GridRowCount = GridRowCount;
  h->GridColCount = GridColCount;
  h->SumRowShown = SumRowShown;
  h->LeftCol = 1;
  h->TopRow = 1;
  h->WindowHeight = WindowHeight;
  h->WindowWidth = WindowWidth;
  h->Columns = Columns;
  h->Name = TableName;
  h->RowInfo = RowInfo;
  h->FileName.clear();
  h->FirstRun = 1;
  h->LastRun = h->RowCount;
  if (!TableLists[kind]) TableLists[kind] = std::make_unique<std::vector<std::unique_ptr<TTableHeaderRecord>>>();
  auto& list = *TableLists[kind];
  list.push_back(std::move(h));
  list.back()->TableNumber = int32_t(list.size());
  CurrentTable = int32_t(list.size());
  TabCaptions.clear();
  for (const auto& header : list) TabCaptions.push_back(header->Name);
  TabIndex = int32_t(TabCaptions.size()) - 1;
}

void TTableForm::MultipleTableRefresh() {
  TTableHeaderRecord* h = TableHeader(TableKind, CurrentTable);
  if (h == nullptr || h->TableNumber != CurrentTable) return;
  const size_t kind = size_t(TableKind);
  h->RowCount = TableRowCounts[kind];
  h->ColumnCount = TableColumnCounts[kind];
  h->GridRowCount = GridRowCount;
  h->GridColCount = GridColCount;
  h->SumRowShown = SumRowShown;
  h->LeftCol = LeftCol;
  h->TopRow = TopRow;
  h->WindowHeight = WindowHeight;
  h->WindowWidth = WindowWidth;
  // A header owns its chain. A set-up that stopped before making its own
  // table (a column's variable missing) left a new chain in the window for
  // the current table: the chain it replaces goes, or it would be lost.
  if (h->Columns != Columns) FreeColumnChain(h->Columns);
  h->Columns = Columns;
  for (TTableColumnRecord* c = Columns; c != nullptr; c = c->Next) c->Width = GridColWidth(c->ColumnNumber);
  h->Name = TableName;
  if (CurrentTable - 1 < int32_t(TabCaptions.size())) TabCaptions[size_t(CurrentTable - 1)] = TableName;
  h->RowInfo = RowInfo;
  h->Selection = Selection;
  h->EditCol = EditCol;
  h->EditRow = EditRow;
  if (TableKind == kParametricTableKind) {
    h->FirstRun = FirstRun;
    h->LastRun = LastRun;
  }
}

bool TTableForm::SwitchToTab(int32_t tabIndex) {
  if (TableKind == kArraysTableKind || TableKind == kIntegralTableKind) {
    RepaintGrid();
    return false;
  }
  MultipleTableRefresh();
  // The copy belongs to the table shown until now.
  DisposeUndo();
  const int32_t editRow = EditRow;
  const int32_t editCol = EditCol;
  if (!TableLists[size_t(TableKind)]) return false;
  auto& list = *TableLists[size_t(TableKind)];
  if (tabIndex < 0 || tabIndex >= int32_t(list.size())) return false;
  TTableHeaderRecord& h = *list[size_t(tabIndex)];
  const size_t kind = size_t(TableKind);
  CurrentTable = h.TableNumber;
  TabIndex = tabIndex;
  TableRowCounts[kind] = h.RowCount;
  TableColumnCounts[kind] = h.ColumnCount;
  GridColCount = h.GridColCount;
  SumRowShown = (TableKind == kParametricTableKind && SumRowPreference()) ? 1 : 0;
  GridRowCount = h.RowCount + SumRowShown + 1;
  Columns = h.Columns;
  GridColWidths.assign(size_t(std::max<int32_t>(GridColCount, 1)), kDefaultColumnWidth);
  for (TTableColumnRecord* c = Columns; c != nullptr; c = c->Next) {
    if (SumRowShown != 0) FillSumAvg(c->ColumnNumber);
    SetGridColWidth(c->ColumnNumber, c->Width);
  }
  Selection = h.Selection;
  EditRow = -1;
  EditCol = -1;
  if (editRow > 0 && editCol > 0 && FindColumn(Columns, editCol) != nullptr) {
    EditRow = editRow;
    EditCol = editCol;
    uint8_t entered = 0;
    std::string text;
    GetMyCell(CurrentTable, editRow, editCol, text, 255, entered, 2);
    EditText = text;
  }
  TableName = h.Name;
  RowInfo = h.RowInfo;
  if (!Maximized) {
    WindowHeight = h.WindowHeight;
    WindowWidth = h.WindowWidth;
  }
  TopRow = h.TopRow;
  LeftCol = h.LeftCol;
  if (TableKind == kParametricTableKind) {
    FirstRun = h.FirstRun;
    LastRun = h.LastRun;
    ParametricColumnOrder.assign(size_t(h.ColumnCount) + 1, 0);
    int32_t i = 1;
    for (TTableColumnRecord* c = Columns; c != nullptr && i <= h.ColumnCount; c = c->Next, ++i)
      ParametricColumnOrder[size_t(i)] = c->VariableIndex;
  }
  RepaintGrid();
  return true;
}

void TTableForm::MultipleTableRowsCols(int32_t tableNumber, int32_t& rows, int32_t& columns) const {
  rows = TableRowCounts[size_t(TableKind)];
  columns = TableColumnCounts[size_t(TableKind)];
  if (tableNumber != 0 && tableNumber != CurrentTable) {
    if (const TTableHeaderRecord* h = TableHeader(TableKind, tableNumber)) {
      rows = h->RowCount;
      columns = h->ColumnCount;
    }
  }
}

uint8_t TTableForm::ExistingName(const std::string& name, int32_t& index) const {
  const std::string wanted = Upper(name);
  for (size_t i = 0; i < TabCaptions.size(); ++i) {
    if (Upper(TabCaptions[i]) == wanted) {
      index = int32_t(i) + 1;
      return 1;
    }
  }
  return 0;
}

uint8_t TTableForm::StrVarType(int32_t column) {
  TTableColumnRecord* c = FindColumn(Columns, column);
  if (c == nullptr) return 0;
  if (TableKind == kLookupTableKind) c->IsString = c->Format.Style == kStyleStringConstant ? 1 : 0;
  return c->IsString;
}

void TTableForm::ManageRowInfo() {
  const int32_t count = std::max<int32_t>(GridRowCount, 0);
  if (int32_t(RowInfo.size()) != count) RowInfo.resize(size_t(count), TableRowInfo{});
}

void TTableForm::SetmyCell(int32_t tableNumber, int32_t updateSum, Extended value, int32_t row,
                           int32_t column, int32_t mode) {
  TTableColumnRecord* chain = Columns;
  int32_t rows = TableRowCounts[size_t(TableKind)];
  int32_t columnCount = TableColumnCounts[size_t(TableKind)];
  if (TTableHeaderRecord* h = TableHeader(TableKind, tableNumber)) {
    chain = h->Columns;
    rows = h->RowCount;
    columnCount = h->ColumnCount;
  } else {
    tableNumber = CurrentTable;
  }
  if (chain == nullptr) return;
  TTableColumnRecord* c = FindColumn(chain, column);
  // A row outside the column's cells is refused like a missing column.
  if (c == nullptr || row < 1 || row > MaxRow(c)) {
    ThrottledBeep();
    return;
  }
  const Extended old = c->Values[size_t(row - 1)];
  c->Values[size_t(row - 1)] = value;
  if (std::bit_cast<ExtendedBits>(value).mantissa == std::bit_cast<ExtendedBits>(old).mantissa &&
      std::bit_cast<ExtendedBits>(value).exponentWord == std::bit_cast<ExtendedBits>(old).exponentWord)
    return;
  if (TableKind != kParametricTableKind) {
    c->SetFlag(row, 1);
  } else {
    const bool filled = !IsBlank(value);
    if (mode != 0) c->SetFlag(row, filled ? 1 : 0);
    // The other computed cells of the run no longer belong to its inputs.
    if ((filled && mode > 0) || !filled)
      ClearRunOf(chain, columnCount, rows, row, SumRowShown > 0);
  }
  if (updateSum > 0 && TableKind == kParametricTableKind && SumRowPreference() && rows >= row &&
      rows + 1 <= MaxRow(c)) {
    Extended& sum = c->Values[size_t(rows)];
    if (IsBlank(old) || IsBlank(value) || IsBlank(sum))
      sum = BlankValue;
    else
      sum = sum - old + value;
    RepaintGrid();
  }
  DocumentUnchanged = false;
  if (MacroRecording && (TableKind == kParametricTableKind || TableKind == kLookupTableKind)) {
    TDisplayFormat format = c->Format;
    if (TableKind == kParametricTableKind) {
      if (const TVariableRecord* v = MainVariable(c->VariableIndex)) format = {v->Style, v->Digits};
    }
    std::string caption;
    if (tableNumber >= 1 && tableNumber <= int32_t(TabCaptions.size())) caption = TabCaptions[size_t(tableNumber - 1)];
    const std::string line = std::string(TableKind == kParametricTableKind ? "Parametric['" : "Lookup['") +
                             caption + "'," + std::to_string(row) + ArgumentSeparator +
                             std::to_string(column) + "]=" + FormatValue(format, value);
    if (TableKind == kLookupTableKind || mode > 0) MacroText += line + "\r\n";
  }
}

Extended TTableForm::GetMyCell(int32_t tableNumber, int32_t row, int32_t column, std::string& text,
                               int32_t maxLength, uint8_t& entered, uint8_t mode) {
  TTableColumnRecord* chain = Columns;
  std::string name = TableName;
  int32_t rows = TableRowCounts[size_t(TableKind)];
  if (tableNumber >= 1 && tableNumber != CurrentTable) {
    if (TTableHeaderRecord* h = TableHeader(TableKind, tableNumber)) {
      chain = h->Columns;
      name = h->Name;
      rows = h->RowCount;
    }
  }
  if (chain == nullptr) return BlankValue;
  if (row == -3) {
    const std::string wanted = Upper(Cut(text, maxLength));
    for (TTableColumnRecord* c = chain; c != nullptr; c = c->Next)
      if (Upper(c->Title()) == wanted) return Extended(c->ColumnNumber);
    return -1.0L;
  }
  TTableColumnRecord* c = FindColumn(chain, column);
  if (c == nullptr) return BlankValue;
  if (row == -1) {
    text = Cut(c->Title(), maxLength);
    return -1.0L;
  }
  if (row == -2) {
    text = Cut(name, maxLength);
    return -2.0L;
  }
  if (row < 1) return BlankValue;
  TDisplayFormat format = c->Format;
  const TVariableRecord* v = nullptr;
  switch (TableKind) {
    case kParametricTableKind:
      v = MainVariable(c->VariableIndex);
      if (v != nullptr) format = {v->Style, v->Digits};
      entered = c->Flag(row);
      break;
    case kLookupTableKind:
      entered = 1;
      break;
    default:
      entered = 0;
      break;
  }
  if ((mode == 1 && c->IsString == 0) || (mode == 0 && c->IsString != 0)) {
    CalcErrorCode = kMsgTableFormatMismatch;
    return ErrorResultValue;
  }
  const Extended value = c->Cell(row);
  text = Cut(CellText(value, format, c->IsString != 0), maxLength);
  if (TableKind == kParametricTableKind && HasRunUncertainties && UncertaintyTableMode && !text.empty() &&
      v != nullptr && v->UncertaintyKind >= 0 && !IsBlank(v->Uncertainty)) {
    Extended u = v->Uncertainty;
    if (v->UncertaintyKind > 0) {
      const int32_t e = uncertaintyColumnLookup != nullptr ? uncertaintyColumnLookup(c->VariableIndex) : 0;
      if (e > 0) {
        for (TTableColumnRecord* other = chain; other != nullptr; other = other->Next) {
          if (other->VariableIndex != e) continue;
          std::string ignored;
          uint8_t flag = 0;
          u = GetMyCell(tableNumber, row, other->ColumnNumber, ignored, 255, flag, 2);
          break;
        }
      }
    } else {
      u = row >= 1 && row <= int32_t(RunUncertainties.size()) ? RunUncertainties[size_t(row - 1)] : BlankValue;
    }
    if (v->UncertaintyIsRelative) u = u * value;
    if (row == rows + 1) u = c->SumUncertainty;
    text = Cut(text + "\xB1" + FormatValue(format, u), maxLength);
  }
  return value;
}

void TTableForm::ClearTableRun(int32_t row) {
  ClearRunOf(Columns, TableColumnCounts[1], TableRowCounts[1], row, SumRowShown > 0);
  DocumentUnchanged = false;
  RepaintGrid();
}

void TTableForm::FillSumAvg(int32_t column) {
  TTableForm* parametric = TableForms[1].get();
  if (parametric == nullptr || !SumRowPreference()) return;
  TTableColumnRecord* c = FindColumn(parametric->Columns, column);
  if (c == nullptr) return;
  const int32_t rows = TableRowCounts[1];
  Extended sum = BlankValue;
  Extended squares = 0;
  const TVariableRecord* v = MainVariable(c->VariableIndex);
  if (c->IsString == 0) {
    sum = 0;
    int32_t count = 0;
    for (int32_t r = 1; r <= rows; ++r) {
      const Extended x = c->Cell(r);
      if (IsBlank(x)) continue;
      sum += x;
      ++count;
      if (HasRunUncertainties && UncertaintyTableMode && v != nullptr && v->UncertaintyKind >= 0 &&
          !IsBlank(v->Uncertainty)) {
        Extended u = v->UncertaintyKind > 0
                         ? v->Uncertainty
                         : (r <= int32_t(RunUncertainties.size()) ? RunUncertainties[size_t(r - 1)] : 0);
        if (v->UncertaintyIsRelative) u *= x;
        squares += u * u;
      }
    }
    if (count == 0) sum = BlankValue;
  }
  if (rows >= 0) {
    c->SetCell(rows + 1, sum);
    c->SetFlag(rows + 1, 0);
  }
  c->SumUncertainty = std::sqrt(squares);
}

void TTableForm::DeleteSingleTable(int32_t tableNumber) {
  auto* list = TableLists[size_t(TableKind)].get();
  if (list == nullptr || list->empty()) return;
  if (tableNumber < 1 || tableNumber > int32_t(list->size())) return;
  if (tableNumber == CurrentTable && list->size() > 1) SwitchToTab(tableNumber == 1 ? 1 : 0);
  std::unique_ptr<TTableHeaderRecord> h = std::move((*list)[size_t(tableNumber - 1)]);
  list->erase(list->begin() + (tableNumber - 1));
  if (Columns == h->Columns) Columns = nullptr;
  if (tableNumber - 1 < int32_t(TabCaptions.size())) TabCaptions.erase(TabCaptions.begin() + (tableNumber - 1));
  if (CurrentTable >= tableNumber) --CurrentTable;
  TabIndex = CurrentTable - 1;
  RenumberTables();
}

void TTableForm::DisposeAll() {
  const int32_t kind = TableKind;
  if (kind < 1 || kind > 4 || !TableLists[size_t(kind)]) return;
  Visible = false;
  for (int32_t k = int32_t(TableLists[size_t(kind)]->size()); k >= 1; --k) DeleteSingleTable(k);
  TableLists[size_t(kind)].reset();
  Columns = nullptr;
  RowInfo.clear();
  // The window goes last: nothing of it is touched afterwards.
  if (TableForms[size_t(kind)].get() == this) TableForms[size_t(kind)].reset();
}

void TTableForm::DuplicateTable() {
  MultipleTableRefresh();
  const int32_t savedHeight = WindowHeight;
  const int32_t savedWidth = WindowWidth;
  TTableColumnRecord* const oldColumns = Columns;
  const std::vector<TableRowInfo> oldRowInfo = RowInfo;
  const std::string oldName = TableName;
  const int32_t rows = TableRowCounts[size_t(TableKind)];
  if (TableKind == kParametricTableKind) {
    FirstRun = 1;
    LastRun = rows;
  }
  NewTableKind = TableKind;
  MultipleTableSetup();
  if (CalcErrorCode != 0) return;
  TableName = oldName + " (copy)";
  TTableColumnRecord* from = oldColumns;
  for (TTableColumnRecord* to = Columns; to != nullptr && from != nullptr; to = to->Next, from = from->Next) {
    to->Width = from->Width;
    SetGridColWidth(to->ColumnNumber, from->Width);
    to->Name = from->Name;
    for (int32_t r = 1; r <= rows; ++r) {
      to->SetCell(r, from->Cell(r));
      to->SetFlag(r, from->Flag(r));
    }
    to->Format = from->Format;
    to->ColourIndex = from->ColourIndex;
    to->IsString = from->IsString;
    to->MaxTextWidth = from->MaxTextWidth;
    to->AlterMode = from->AlterMode;
    to->PatternFlag = from->PatternFlag;
    to->PatternKind = from->PatternKind;
    to->PatternRows = from->PatternRows;
    to->PatternFirst = from->PatternFirst;
    to->PatternSecond = from->PatternSecond;
    to->SumUncertainty = from->SumUncertainty;
  }
  for (int32_t r = 1; r <= rows && r < int32_t(oldRowInfo.size()) && r < int32_t(RowInfo.size()); ++r)
    RowInfo[size_t(r)] = oldRowInfo[size_t(r)];
  WindowHeight = savedHeight;
  WindowWidth = savedWidth;
  MultipleTableRefresh();
  DocumentUnchanged = false;
  Visible = true;
}

void TTableForm::RenumberTables() {
  auto* list = TableLists[size_t(TableKind)].get();
  if (list == nullptr) return;
  for (size_t i = 0; i < list->size(); ++i) (*list)[i]->TableNumber = int32_t(i) + 1;
}

// --- Windows ------------------------------------------------------------------------

TTableForm* CreateTableForm(int32_t kind) {
  if (kind < 1 || kind > 4) return nullptr;
  const int32_t rows = TableRowCounts[size_t(kind)];
  const int32_t columns = TableColumnCounts[size_t(kind)];
  DestroyTableForm(kind);
  NewTableKind = kind;
  TableForms[size_t(kind)] = std::make_unique<TTableForm>(kind);
  // The destroyed window's counts were put back to "no window".
  TableRowCounts[size_t(kind)] = rows;
  TableColumnCounts[size_t(kind)] = columns;
  TTableForm* form = TableForms[size_t(kind)].get();
  form->MultipleTableSetup();
  return CalcErrorCode == 0 ? form : nullptr;
}

void DestroyTableForm(int32_t kind) {
  if (kind < 1 || kind > 4) return;
  TableForms[size_t(kind)].reset();
}

int32_t ParametricColumnOfVariable(int32_t variableIndex) {
  const TTableForm* form = TableForms[1].get();
  if (form == nullptr || variableIndex < 1) return 0;
  for (const TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next)
    if (c->VariableIndex == variableIndex) return c->ColumnNumber;
  return 0;
}

void SetUncertaintyColumnLookup(UncertaintyColumnLookup lookup) { uncertaintyColumnLookup = lookup; }

}  // namespace voq
