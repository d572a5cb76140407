#include "tables/tables_state.h"

#include "language/export_after_run.h"
#include "session/document_reset.h"
#include "session/engine.h"
#include "tables/table_services.h"

namespace voq {

// The lists are defined first so that they outlive the windows at exit: a
// window asks them whether it owns its columns.
std::array<std::unique_ptr<std::vector<std::unique_ptr<TTableHeaderRecord>>>, 5> TableLists;
std::array<std::unique_ptr<TTableForm>, 5> TableForms;
int32_t NewTableKind = 0;
std::array<int32_t, 5> TableRowCounts{-10, -10, -10, -10, -10};
std::array<int32_t, 5> TableColumnCounts{};
std::vector<int32_t> ParametricColumnOrder;
int32_t LastRun = 1;
int32_t TableRunOffset = 1;
TDisplayFormat DefaultColumnFormat{kStyleAutomatic, 4};
bool DocumentUnchanged = true;
bool MacroRecording = false;
std::string MacroText;
bool UpdateGuesses = false;
bool StopOnWarning = false;
bool TableCompileFailed = false;
std::vector<std::unique_ptr<TLookupFileRecord>> LookupFileList;
int32_t NextLookupFileId = 1;

void DisposeDocumentTables() {
  for (int32_t kind = 1; kind <= 4; ++kind) {
    if (TableForms[size_t(kind)] && TableLists[size_t(kind)]) TableForms[size_t(kind)]->DisposeAll();
    TableForms[size_t(kind)].reset();
    TableLists[size_t(kind)].reset();
  }
  TableRowCounts.fill(-10);
  TableColumnCounts.fill(0);
  NewTableKind = 0;
  ParametricColumnOrder.clear();
}

void ResetTablesState() {
  DisposeDocumentTables();
  FirstRun = 1;
  LastRun = 1;
  TableRunOffset = 1;
  DefaultColumnFormat = {kStyleAutomatic, 4};
  DocumentUnchanged = true;
  MacroRecording = false;
  MacroText.clear();
  UpdateGuesses = false;
  StopOnWarning = false;
  TableCompileFailed = false;
  LookupFileList.clear();
  NextLookupFileId = 1;
}

// The installs come after the reset of the model layer, which put the "no
// table" access back, and after the tables' own reset.
void InstallTables() {
  RegisterEngineReset(&ResetTablesState);
  RegisterEngineReset(&InstallTableServices);
  RegisterDocumentDisposal(&DisposeDocumentTables);
}

}  // namespace voq
