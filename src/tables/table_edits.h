#pragma once
// The commands that change a table as a whole or move cells through the
// clipboard, free of Qt: copy, cut and paste of cell blocks as text, the
// deletion of cells, rows, columns or the whole table, the insertion of
// rows and columns, the move of a column, the sort of a range of rows and
// the one-step undo (TTableForm::MakeUndo, Undo, DisposeUndo).
//
// Every structural change allocates all the new blocks before it touches
// the table, so a refused allocation leaves the table as it was.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tables/table_grid.h"
#include "tables/table_model.h"

namespace voq {

// The references a column move renumbers outside the table model (the
// curves of the plot list): kind is the table's kind, moves the pairs of
// old and new column numbers of the columns whose number changed. The
// document layer, which sees both the tables and the plots, installs it.
using ColumnMoveHook = void (*)(int32_t kind, const std::vector<std::pair<int32_t, int32_t>>& moves);
void SetColumnMoveHook(ColumnMoveHook hook);

// Tests only: the number of column blocks a structural change may still
// allocate before the allocation is refused as if memory ran out; -1 (the
// default) never refuses.
extern int32_t TableBlockAllocationBudget;

// --- Clipboard ------------------------------------------------------------------
// The selection as tab- and CR LF-separated display texts into the
// clipboard; with Shift held the title and units lines come first.
void CopytoClip(TTableGrid& grid);
// The clipboard text into the table from the current cell on.
void Paste(TTableGrid& grid);
// Copy, then every selected cell blank and not entered (parametric and
// lookup windows).
void Cut1Click(TTableGrid& grid);
// The clipboard text of the selection (what CopytoClip puts there).
std::string TableSelectionText(TTableForm& f, const TGridRect& selection, bool withTitles);

// --- Rows, columns, tables ------------------------------------------------------
// The main window's Delete: the selected rows or columns, or after a
// question the whole table (parametric and lookup windows; others beep).
void Clear(TTableGrid& grid);
void DeleteRows1Click(TTableGrid& grid);
void Deletecolumn1Click(TTableGrid& grid);
void InsertRowAbove1Click(TTableGrid& grid);
void InsertRow1Click(TTableGrid& grid);
// Lookup windows: a column right or left of the selection (an undo copy
// first, restored when the insertion is refused). False for other kinds,
// whose columns are the variables of the Insert/Delete Variables command.
bool InsertColumn1Click(TTableGrid& grid);
bool InsertColumntotheLeft1Click(TTableGrid& grid);

// count rows inserted after row `after` (undo copy first).
bool InsertTableRows(TTableForm& f, int32_t after, int32_t count);
// count > 0: rows inserted after row `after`, blank (entered for lookup
// tables); count < 0: rows after + 1 .. after - count deleted (limited to
// the table). `after` is limited to 0 .. the row count. False, the table
// unchanged, when the new blocks cannot be allocated (error 75 shown).
bool ResizeTableRows(TTableForm& f, int32_t after, int32_t count);
// The column unlinked and freed; the others renumbered. The last column
// takes its table with it (DeleteCurrentTable).
void DeleteColumn(TTableForm& f, TTableColumnRecord* column);
// The column numbered `number` moved so that it becomes column `position`
// (limited to the table); the plot curves and the Arrays variables that
// read a moved column follow it.
void MoveColumn(TTableForm& f, int32_t number, int32_t position);
// Lookup table: count > 0 new columns after column `position`, count < 0
// columns deleted after it. 1 done, 0 refused (417 past 1000 columns, or
// memory).
int32_t ChangeLookupColumns(int32_t position, int32_t count);
inline constexpr int32_t kMaxLookupColumns = 1000;
// The shown table of kind deleted: the first tab is shown when others
// remain; otherwise the window's model goes with it (TableForms[kind]
// empty).
void DeleteCurrentTable(int32_t kind);

// --- Sort -----------------------------------------------------------------------
// Rows top..bottom (limited to the table) sorted by column, ascending or
// descending (blank cells count as the largest), the column alone or every
// column with it; the entered flags move with their values. False when the
// range holds fewer than two rows.
bool SortTableColumn(TTableForm& f, int32_t column, int32_t top, int32_t bottom, bool descending,
                     bool allColumns);

// The stored texts of the current unit's equations whose code holds one of
// the operation codes first..last are released (they are set up again when
// next needed).
void ReleaseEquationTexts(int32_t first, int32_t last);

}  // namespace voq
