#include "tables/lookup_table_services.h"

#include <algorithm>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/lookup_table_access.h"
#include "tables/lookup_files.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr int32_t kLookupHelp = 8;

// One table of the Lookup Table window: its column chain and counts.
struct WindowTable {
  TTableColumnRecord* Columns = nullptr;
  int32_t Rows = 0;
  int32_t ColumnCount = 0;
  std::string Name;
};

TTableForm* LookupForm() { return TableForms[size_t(kLookupTableKind)].get(); }

int32_t WindowTabCount() {
  const TTableForm* form = LookupForm();
  if (form == nullptr) return 0;
  int32_t count = int32_t(form->TabCaptions.size());
  if (const auto& list = TableLists[size_t(kLookupTableKind)]) count = std::max(count, int32_t(list->size()));
  return std::max(count, 1);
}

bool IsWindowId(int32_t id) { return id <= 0 && id >= -1000; }

// Tab -id of the window (0: the tab shown); false without the window.
bool FindWindowTable(int32_t id, WindowTable& table) {
  TTableForm* form = LookupForm();
  if (form == nullptr) return false;
  const int32_t tab = -id;
  table.Columns = form->Columns;
  table.Rows = TableRowCounts[size_t(kLookupTableKind)];
  table.ColumnCount = TableColumnCounts[size_t(kLookupTableKind)];
  table.Name = form->TableName;
  if (tab != 0 && tab != form->CurrentTable) {
    if (TTableHeaderRecord* header = TableHeader(kLookupTableKind, tab)) {
      table.Columns = header->Columns;
      table.Rows = header->RowCount;
      table.ColumnCount = header->ColumnCount;
      table.Name = header->Name;
    }
  }
  if (tab != 0 && tab - 1 < int32_t(form->TabCaptions.size()) && table.Name.empty())
    table.Name = form->TabCaptions[size_t(tab - 1)];
  return true;
}

const TLookupColumnNode* FileColumn(const TLookupFileRecord* file, int32_t column) {
  if (file == nullptr) return nullptr;
  for (const TLookupColumnNode& node : file->Columns)
    if (node.ColumnNumber == column) return &node;
  return nullptr;
}

std::string StripBrackets(std::string units) {
  if (!units.empty() && units.front() == '[') {
    units.erase(0, 1);
    if (!units.empty()) units.pop_back();
  }
  return units;
}

class TableModelLookupAccess : public LookupTableAccess {
 public:
  bool WindowExists() override { return LookupForm() != nullptr; }
  int32_t TabCount() override { return WindowTabCount(); }

  int32_t FindTable(const std::string& name) override {
    TLookupFileRecord* record = nullptr;
    return FindLookupTable(name, record);
  }

  bool Describe(int32_t id, TLookupTableInfo& info) override {
    info = TLookupTableInfo{};
    if (id < 0 && id >= -1000 && LookupForm() != nullptr && -id <= WindowTabCount()) {
      WindowTable table;
      FindWindowTable(id, table);
      info.Rows = table.Rows;
      info.Columns = table.ColumnCount;
      return true;
    }
    if (id != 0) {
      const bool known = std::any_of(LookupFileList.begin(), LookupFileList.end(),
                                     [id](const auto& file) { return file->TableId == id; });
      if (known) {
        TLookupFileRecord* file = FindLookupFileById(id);
        if (file == nullptr) {
          if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
          return false;
        }
        info.IsFile = true;
        info.Rows = file->RowCount;
        info.Columns = file->ColumnCount;
        return true;
      }
    }
    if (id == 0 && LookupForm() != nullptr) {
      info.Rows = TableRowCounts[size_t(kLookupTableKind)];
      info.Columns = TableColumnCounts[size_t(kLookupTableKind)];
      return true;
    }
    SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
    return false;
  }

  Extended Cell(int32_t id, int32_t column, int32_t row, int32_t kind) override {
    if (!IsWindowId(id)) {
      const TLookupFileRecord* file = FindLookupFileById(id);
      const TLookupColumnNode* node = FileColumn(file, column);
      if (node == nullptr) {
        if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
        return BlankValue;
      }
      if (kind != kLookupFilled && (kind == kLookupString) != (node->IsString != 0)) {
        SetCalcErrorWithHelp(kMsgTableFormatMismatch, 190);
        return BlankValue;
      }
      if (row < 1 || row > int32_t(node->Values.size())) return BlankValue;
      return node->Values[size_t(row - 1)];
    }
    WindowTable table;
    if (!FindWindowTable(id, table)) {
      SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
      return BlankValue;
    }
    const TTableColumnRecord* c = FindColumn(table.Columns, column);
    if (c == nullptr || row < 1 || row > table.Rows) return BlankValue;
    return c->Cell(row);
  }

  std::string ColumnName(int32_t id, int32_t column) override {
    if (!IsWindowId(id)) {
      const TLookupColumnNode* node = FileColumn(FindLookupFileById(id), column);
      return node != nullptr ? node->Name : std::string();
    }
    WindowTable table;
    if (!FindWindowTable(id, table)) return "";
    const TTableColumnRecord* c = FindColumn(table.Columns, column);
    return c != nullptr ? c->Title() : std::string();
  }

  std::string ColumnUnits(int32_t id, int32_t column) override {
    if (!IsWindowId(id)) {
      const TLookupColumnNode* node = FileColumn(FindLookupFileById(id), column);
      if (node == nullptr) {
        if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
        return "";
      }
      return StripBrackets(node->Units);
    }
    WindowTable table;
    if (!FindWindowTable(id, table)) {
      SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
      return "";
    }
    const TTableColumnRecord* c = FindColumn(table.Columns, column);
    if (c == nullptr) return "";
    const size_t cr = c->Name.find('\r');
    return cr == std::string::npos ? std::string() : StripBrackets(c->Name.substr(cr + 1));
  }

  std::string TableName(int32_t id) override {
    if (!IsWindowId(id)) {
      const TLookupFileRecord* file = FindLookupFileById(id);
      if (file == nullptr) return "";
      const size_t slash = file->FileName.find_last_of("/\\");
      return slash == std::string::npos ? file->FileName : file->FileName.substr(slash + 1);
    }
    WindowTable table;
    return FindWindowTable(id, table) ? table.Name : std::string();
  }

  Extended ColumnNumber(const std::string& designator, int32_t id) override {
    if (id == kParametricTableId) return GetTableColumnNumber(designator, nullptr, id);
    const TLookupFileRecord* file = IsWindowId(id) ? nullptr : FindLookupFileById(id);
    if (!IsWindowId(id) && file == nullptr) {
      if (CalcErrorCode == 0) SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
      return 0;
    }
    return GetTableColumnNumber(designator, file, id);
  }

  bool SetCell(int32_t id, int32_t column, int32_t row, Extended value) override {
    if (!IsWindowId(id)) return false;
    TTableForm* form = LookupForm();
    WindowTable table;
    if (form == nullptr || !FindWindowTable(id, table)) return false;
    TTableColumnRecord* c = FindColumn(table.Columns, column);
    if (c == nullptr || row < 1 || row > table.Rows) return false;
    form->SetmyCell(id == 0 ? form->CurrentTable : -id, 0, value, row, column, 0);
    ++form->RepaintCount;
    return true;
  }
};

TableModelLookupAccess lookupAccess;

}  // namespace

void InstallLookupTableAccess() { SetLookupTableAccess(&lookupAccess); }

}  // namespace voq
