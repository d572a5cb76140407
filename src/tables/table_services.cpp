#include "tables/table_services.h"

#include <algorithm>
#include <string>

#include "core/calc_state.h"
#include "language/export_after_run.h"
#include "model/integral_slots.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "session/document_reset.h"
#include "session/min_max.h"
#include "session/uncertainty.h"
#include "tables/lookup_table_files.h"
#include "tables/lookup_table_services.h"
#include "solver/integrals.h"
#include "tables/integral_table.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

TTableForm* ParametricForm() { return TableForms[size_t(kParametricTableKind)].get(); }

// The column chain of table t of the Parametric window: the shown table's
// is the window's own (newer than its header's).
TTableColumnRecord* TableChain(int32_t table) {
  TTableForm* form = ParametricForm();
  if (form == nullptr) return nullptr;
  if (table == form->CurrentTable) return form->Columns;
  const TTableHeaderRecord* h = TableHeader(kParametricTableKind, table);
  return h != nullptr ? h->Columns : nullptr;
}

class TableModelAccess final : public ParametricTableAccess {
 public:
  bool WindowExists() const override { return ParametricForm() != nullptr; }
  int32_t TableCount() const override {
    const auto& list = TableLists[size_t(kParametricTableKind)];
    return ParametricForm() != nullptr && list ? int32_t(list->size()) : 0;
  }
  std::string TableName(int32_t table) const override {
    const TTableForm* form = ParametricForm();
    if (form == nullptr) return "";
    if (table == form->CurrentTable) return form->TableName;
    const TTableHeaderRecord* h = TableHeader(kParametricTableKind, table);
    return h != nullptr ? h->Name : std::string();
  }
  int32_t CurrentTable() const override {
    const TTableForm* form = ParametricForm();
    return form != nullptr && form->CurrentTable > 0 ? form->CurrentTable : 1;
  }
  // Without a window the counts hold their "no window" marks (rows -10).
  int32_t RowCount() const override {
    return ParametricForm() != nullptr ? std::max<int32_t>(TableRowCounts[size_t(kParametricTableKind)], 0) : 0;
  }
  int32_t ColumnCount() const override {
    return ParametricForm() != nullptr ? std::max<int32_t>(TableColumnCounts[size_t(kParametricTableKind)], 0) : 0;
  }
  int32_t TableColumnCount(int32_t table) const override {
    const TTableForm* form = ParametricForm();
    if (form == nullptr) return 0;
    if (table == form->CurrentTable) return ColumnCount();
    const TTableHeaderRecord* h = TableHeader(kParametricTableKind, table);
    return h != nullptr ? std::max<int32_t>(h->ColumnCount, 0) : 0;
  }
  int32_t ColumnVariable(int32_t table, int32_t column) const override {
    const TTableColumnRecord* c = FindColumn(TableChain(table), column);
    return c != nullptr ? c->VariableIndex : 0;
  }
  bool CellEntered(int32_t row, int32_t column) const override {
    const TTableForm* form = ParametricForm();
    const TTableColumnRecord* c = form != nullptr ? FindColumn(form->Columns, column) : nullptr;
    return c != nullptr && row >= 1 && row <= RowCount() && c->Flag(row) != 0;
  }
  Extended CellValue(int32_t table, int32_t row, int32_t column) const override {
    TTableForm* form = ParametricForm();
    if (form == nullptr || row < 1) return BlankValue;
    std::string text;
    uint8_t entered = 0;
    return form->GetMyCell(table, row, column, text, 255, entered, 2);
  }
  int32_t FirstRunOfRange() const override { return FirstRun; }
  int32_t LastRunOfRange() const override { return LastRun; }
  void SetRunRange(int32_t first, int32_t last) override {
    FirstRun = first;
    LastRun = last;
  }
  void SetUpdateGuessesOption(bool update) override { UpdateGuesses = update; }
  bool UpdateGuessesOption() const override { return UpdateGuesses; }
  int32_t ColumnOfVariable(int32_t v) const override { return ParametricColumnOfVariable(v); }
  // One entry per row of the table and one for the sum row; runs without a
  // result stay blank.
  void SetRunUncertainty(int32_t run, Extended uncertainty) override {
    TTableForm* form = ParametricForm();
    if (form == nullptr || run < 1) return;
    const size_t needed = size_t(std::max(run, RowCount() + 1));
    if (form->RunUncertainties.size() < needed) form->RunUncertainties.resize(needed, BlankValue);
    form->RunUncertainties[size_t(run - 1)] = uncertainty;
    form->HasRunUncertainties = true;
  }
};

// The optimiser's and the uncertainty propagation's turn in a table run.
// The integral subsystem's members join this one object.
class EngineTableRunHooks final : public TableRunHooks {
 public:
  // The propagation reads the run from CurrentRun, which the run loop set.
  void PropagateUncertaintyForRun(int32_t /*run*/) override { voq::PropagateUncertaintyForRun(); }
  void RunMinMax() override { voq::RunMinMax(); }
  void MinMaxTableStart() override { PrepareMinMaxForTableRun(); }
  // The integrals over the table's columns, and the Integral table made
  // again before the runs.
  void BindTableIntegrals() override { BindTableIntegralTerms(); }
  void AdvanceTableIntegrals() override {
    AdvanceTableIntegralTerms();
    if (TTableForm* integral = TableForms[kIntegralTableKind].get()) {
      for (TTableColumnRecord* c = integral->Columns; c != nullptr; c = c->Next) c->ValueSets.push_back(c->Values);
    }
  }
  void AssignIntegrationVars(TProgramUnitRecord* unit) override {
    int32_t slots = 0;
    if (unit != nullptr) voq::AssignIntegrationVars(*unit, slots);
  }
  bool SetUpIntegralTable() override {
    voq::SetUpIntegralTable();
    return CalcErrorCode <= 0;
  }
};

TableModelAccess tableAccess;
EngineTableRunHooks tableRunHooks;

}  // namespace

namespace {

// A new document keeps only the lookup files a library loaded, in their
// order; the others are freed. Identifiers are never given again, so a
// freed file's number cannot come to name another file.
void DisposeDocumentLookupFiles() {
  std::erase_if(LookupFileList, [](const std::unique_ptr<TLookupFileRecord>& file) { return !file->FromLibrary; });
}

}  // namespace

void InstallTableServices() {
  SetLookupFileDisposal(DisposeDocumentLookupFiles);
  SetParametricTableAccess(&tableAccess);
  InstallLookupTableAccess();
  InstallLookupDirectives();
  SetTableRunHooks(&tableRunHooks);
  InstallIntegralTable();
  SetUncertaintyColumnLookup(&UncertaintyColumnVariable);
}

}  // namespace voq
