#pragma once
// The table subsystem's globals and their reset: the window of each table
// kind, the list of tables of the kinds with tabs, the counts of the table
// each window shows, the parametric table's column order and run range, and
// the options of table runs.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/number_format.h"
#include "tables/table_model.h"
#include "tables/table_section.h"

namespace voq {

// The window of each kind, [1..4]; nullptr while it does not exist.
extern std::array<std::unique_ptr<TTableForm>, 5> TableForms;
// The tables of the parametric (1) and lookup (2) kinds in tab order; null
// until the first table of the kind is made.
extern std::array<std::unique_ptr<std::vector<std::unique_ptr<TTableHeaderRecord>>>, 5> TableLists;
// The kind the next window creation builds.
extern int32_t NewTableKind;
// Rows and columns of the table each kind's window shows; -10 and 0 while
// the kind has no window.
extern std::array<int32_t, 5> TableRowCounts;
extern std::array<int32_t, 5> TableColumnCounts;
// The parametric table's variable of each column in column order, [1..].
extern std::vector<int32_t> ParametricColumnOrder;
// The last run of the parametric table's run range (FirstRun is with the
// export, language/export_after_run.h).
extern int32_t LastRun;
// The smallest first array index the Arrays table shows.
extern int32_t TableRunOffset;
// The format new lookup columns take.
extern TDisplayFormat DefaultColumnFormat;
// Cleared by every change of a table (the document has unsaved changes).
extern bool DocumentUnchanged;
// Macro recording is on; the lines recorded are appended to MacroText.
extern bool MacroRecording;
extern std::string MacroText;

// The lookup files the equations have loaded, in loading order, and the
// identifier the next one gets (identifiers are never reused).
extern std::vector<std::unique_ptr<TLookupFileRecord>> LookupFileList;
extern int32_t NextLookupFileId;

// Table-run options kept with the document (UseDiagramInput is with the
// solve session's flags, model/solve_session.h).
extern bool UpdateGuesses;
extern bool StopOnWarning;
// The compile of the last table run failed (the compiler reported it).
extern bool TableCompileFailed;

// Every table freed and every global above back to its start value.
void ResetTablesState();
// The tables of a document freed (every kind's window model and list, their
// row and column counts and the parametric column order), as a document
// reset leaves them whatever the host: one document's tables are never
// saved into the next.
void DisposeDocumentTables();
// Registers ResetTablesState and then InstallTableServices (the table
// model behind ParametricTableAccess, the table-run hooks) with the engine
// reset, and DisposeDocumentTables with the document reset; the engine
// assembly calls it once, before StartEngine.
void InstallTables();

}  // namespace voq
