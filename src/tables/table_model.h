#pragma once
// The table model: the records of tables and columns, the cells with their
// entered flags and the sum row, the row records, and the table window's
// engine half (TTableForm) with the list of tables of its kind (one per
// tab). The Qt table window draws a TTableForm and forwards input to it;
// table runs, documents and the equations' table functions read and write
// cells through it.
//
// Cells: a table of n rows has, in every column, values 1..n for the rows and
// value n + 1 for the column's sum. BlankValue marks an empty cell. A string
// cell holds the number of a string constant. The entered flag of a cell is 1
// for an input (typed, pasted, read from a file) and 0 for a computed or
// empty cell.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/extended.h"
#include "core/number_format.h"

namespace voq {

// Table kinds; each has one window with a fixed window number.
inline constexpr int32_t kParametricTableKind = 1;
inline constexpr int32_t kLookupTableKind = 2;
inline constexpr int32_t kArraysTableKind = 3;
inline constexpr int32_t kIntegralTableKind = 4;

// Kind 1..4 to window number 4, 6, 8, 10; anything else 0.
int32_t TableKindToWindowTag(int32_t kind);
// Window number 4, 6, 8, 10 to kind 1..4; anything else 0.
int32_t WindowTagToTableKind(int32_t tag);

// One grid row's drawing: a line under the row, and a background colour
// index 0..7 (-1 none). 4 bytes stored: border, spare, int16 colour.
struct TableRowInfo {
  uint8_t Border = 0;
  uint8_t Spare = 0;
  int16_t Colour = -1;
  bool operator==(const TableRowInfo&) const = default;
  bool IsEmpty() const { return Border == 0 && Colour == -1; }
};

// One column of a table; columns are chained by Next in column order.
struct TTableColumnRecord {
  int32_t ColumnNumber = 0;
  // Parametric and integral tables: the column's variable in the main
  // program; lookup and arrays tables: the column number.
  int32_t VariableIndex = 0;
  int32_t Width = 90;
  int32_t SavedWidth = 0;
  // Title; lookup and arrays columns may add a carriage return and the
  // units in brackets. At most 30 characters.
  std::string Name;
  // Rows 1..n at [0..n-1], the sum cell at [n], and any spare entries.
  std::vector<Extended> Values;
  std::vector<uint8_t> EnteredFlags;
  TDisplayFormat Format;
  TTableColumnRecord* Next = nullptr;
  std::array<int32_t, 2> Reserved{};
  int32_t OldNumber = 0;
  int32_t ColourIndex = 0;
  uint8_t IsString = 0;
  int32_t MaxTextWidth = 0;
  uint8_t AlterMode = 0;
  // Integral tables: one value block per run tab.
  std::vector<std::vector<Extended>> ValueSets;
  uint8_t PatternFlag = 0;
  int32_t PatternKind = 0;
  int32_t PatternRows = 10;
  Extended PatternFirst = 0;
  Extended PatternSecond = 1;
  Extended SumUncertainty = 0;

  int32_t ValueBytes() const { return int32_t(Values.size() * 10); }
  int32_t FlagBytes() const { return int32_t(EnteredFlags.size()); }
  // The title: the name up to its carriage return.
  std::string Title() const;
  // Cell row (1-based; the sum cell is row count + 1); blank outside the block.
  Extended Cell(int32_t row) const;
  uint8_t Flag(int32_t row) const;
  // Stores into row, growing the blocks when row is past their end.
  void SetCell(int32_t row, Extended value);
  void SetFlag(int32_t row, uint8_t flag);
};

// Frees a column chain from head on.
void FreeColumnChain(TTableColumnRecord* head);
// The column of the chain whose ColumnNumber is number; nullptr when none.
TTableColumnRecord* FindColumn(TTableColumnRecord* head, int32_t number);
// The count-th column of the chain in chain order (1-based); nullptr when none.
TTableColumnRecord* ColumnAtPosition(TTableColumnRecord* head, int32_t position);

// The grid selection: left column, top row, right column, bottom row.
struct TGridRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

// One table of a window with tabs; 643 bytes stored (PackTableHeader). While
// its table is shown, the window's state is newer than the header's:
// MultipleTableRefresh writes it back. The header owns its columns and row
// records.
struct TTableHeaderRecord {
  TTableHeaderRecord() = default;
  ~TTableHeaderRecord() { FreeColumnChain(Columns); }
  TTableHeaderRecord(const TTableHeaderRecord&) = delete;
  TTableHeaderRecord& operator=(const TTableHeaderRecord&) = delete;

  int32_t TableNumber = 0;
  int32_t RowCount = 0;
  int32_t ColumnCount = 0;
  int32_t GridRowCount = 0;
  int32_t GridColCount = 0;
  int32_t SumRowShown = 0;
  int32_t LeftCol = 1;
  int32_t TopRow = 1;
  int32_t WindowHeight = 0;
  int32_t WindowWidth = 0;
  TTableColumnRecord* Columns = nullptr;
  std::string Name;
  std::string FileName;
  std::vector<TableRowInfo> RowInfo;  // RowInfoCount is its size
  TGridRect Selection;
  int32_t EditCol = 0;
  int32_t EditRow = -1;
  uint8_t PrintSelected = 0;
  uint8_t PrintSelectedSaved = 0;
  int32_t FirstRun = 1;
  int32_t LastRun = 0;
  double FileDate = 0;

  int32_t RowInfoCount() const { return int32_t(RowInfo.size()); }
};

inline constexpr size_t kTableHeaderSize = 643;
namespace table_header_offsets {
inline constexpr size_t TableNumber = 0;
inline constexpr size_t RowCount = 4;
inline constexpr size_t ColumnCount = 8;
inline constexpr size_t GridRowCount = 12;
inline constexpr size_t GridColCount = 16;
inline constexpr size_t SumRowShown = 20;
inline constexpr size_t LeftCol = 24;
inline constexpr size_t TopRow = 28;
inline constexpr size_t WindowHeight = 32;
inline constexpr size_t WindowWidth = 36;
inline constexpr size_t Columns = 40;
inline constexpr size_t Name = 48;
inline constexpr size_t FileName = 304;
inline constexpr size_t RowInfoCount = 560;
inline constexpr size_t RowInfo = 564;
inline constexpr size_t Selection = 568;
inline constexpr size_t EditCol = 584;
inline constexpr size_t EditRow = 588;
inline constexpr size_t PrintSelected = 592;
inline constexpr size_t PrintSelectedSaved = 593;
inline constexpr size_t FirstRun = 603;
inline constexpr size_t LastRun = 607;
inline constexpr size_t FileDate = 611;
}  // namespace table_header_offsets

// The 643 stored bytes of h; the pointer fields are written as 0 and the
// reserved bytes 601..602 (never set) as 0 too.
void PackTableHeader(const TTableHeaderRecord& h, uint8_t* dst);
// Reads the stored fields; columns and row records are not read (the
// pointers mean nothing in a file) and RowInfo keeps its records.
void UnpackTableHeader(const uint8_t* src, TTableHeaderRecord& h);

// The engine half of a table window of one kind. Owns the columns and row
// records of the table it shows unless a header of TableLists owns them.
class TTableForm {
 public:
  explicit TTableForm(int32_t kind);
  ~TTableForm();
  TTableForm(const TTableForm&) = delete;
  TTableForm& operator=(const TTableForm&) = delete;

  // --- Window fields ---------------------------------------------------------
  int32_t TableKind = 0;
  int32_t Tag = 0;  // window number
  int32_t HelpContext = 0;
  TTableColumnRecord* Columns = nullptr;
  int32_t CurrentTable = 0;
  std::string TableName;
  int32_t SumRowShown = 0;
  std::vector<TableRowInfo> RowInfo;  // RowInfoCount is its size
  // Parametric only: the propagated uncertainty of each run (one entry per
  // value entry); empty when there is none.
  std::vector<Extended> RunUncertainties;
  bool HasRunUncertainties = false;
  // The pending in-place edit.
  int32_t EditRow = -1;
  int32_t EditCol = -1;
  std::string EditText;
  Extended EditValue = BlankValue;
  uint8_t EditRejected = 0;
  uint8_t EditIsString = 0;
  int32_t IntegralId = 0;
  int32_t IntegralRunOffset = 0;
  // The one-step undo copy of the parametric and lookup windows: a column
  // chain the window owns and the sizes it goes with. Undo swaps it with
  // the shown table, so a second Undo redoes.
  TTableColumnRecord* UndoColumns = nullptr;
  int32_t UndoRowCount = 0;
  int32_t UndoColumnCount = 0;
  int32_t UndoKind = 0;
  int32_t UndoGridRowCount = 0;
  int32_t UndoGridColCount = 0;

  // --- Grid and window state (what the view shows) -----------------------------
  int32_t GridRowCount = 0;
  int32_t GridColCount = 0;
  std::vector<int32_t> GridColWidths;  // by grid column, [0] the label column
  int32_t LeftCol = 1;
  int32_t TopRow = 1;
  TGridRect Selection;
  int32_t WindowHeight = 300;
  int32_t WindowWidth = 500;
  // The window's place in the main window's client area (a stored
  // parametric table file keeps it).
  int32_t WindowTop = 0;
  int32_t WindowLeft = 0;
  bool Visible = false;
  bool Maximized = false;
  std::string Caption;
  std::vector<std::string> TabCaptions;
  int32_t TabIndex = -1;
  // Repaints asked for (the view repaints when it changes).
  int32_t RepaintCount = 0;

  int32_t RowInfoCount() const { return int32_t(RowInfo.size()); }
  int32_t GridColWidth(int32_t gridColumn) const;
  void SetGridColWidth(int32_t gridColumn, int32_t width);

  // --- Operations ------------------------------------------------------------
  // Builds the current table of a new window or a new tab from the kind's
  // TableRowCounts and TableColumnCounts (and ParametricColumnOrder).
  void MultipleTableSetup();
  // Adds the table just built as a new tab and shows it.
  void SetMultipleTableList();
  // Writes the shown table's state back into its header.
  void MultipleTableRefresh();
  // Shows table tabIndex + 1 (the model half of a tab change): false when
  // there is no such tab.
  bool SwitchToTab(int32_t tabIndex);
  void MultipleTableRowsCols(int32_t tableNumber, int32_t& rows, int32_t& columns) const;
  // 1 with index := the 1-based tab position when a tab has name (any case).
  uint8_t ExistingName(const std::string& name, int32_t& index) const;
  uint8_t StrVarType(int32_t column);
  void ManageRowInfo();
  // Stores one cell. updateSum: the caller's kind, or -1 when the sums are
  // recomputed afterwards; mode 1 a value the user set, 0 a computed one.
  void SetmyCell(int32_t tableNumber, int32_t updateSum, Extended value, int32_t row, int32_t column,
                 int32_t mode);
  // Reads one cell (row >= 1) with its display text, or: row -1 the
  // column's title, -2 the table's name, -3 the column whose title is text.
  // mode 0 a number wanted, 1 a string, 2 either.
  Extended GetMyCell(int32_t tableNumber, int32_t row, int32_t column, std::string& text,
                     int32_t maxLength, uint8_t& entered, uint8_t mode);
  // Blanks the computed cells of one run of the parametric table.
  void ClearTableRun(int32_t row);
  // Recomputes the sum cell of one parametric column.
  void FillSumAvg(int32_t column);
  void DeleteSingleTable(int32_t tableNumber);
  // Every table of the kind deleted, the list freed, the window gone.
  void DisposeAll();
  // Copies the shown table into a new tab.
  void DuplicateTable();
  void RenumberTables();

  // --- Undo (tables/table_edits.cpp) -------------------------------------------
  // Copies the shown table (parametric and lookup windows); false, and no
  // copy, when a column cannot be made.
  bool MakeUndo();
  // Swaps the copy with the shown table; nothing without a copy.
  void Undo();
  void DisposeUndo();
  bool HasUndo() const { return UndoColumns != nullptr; }

 private:
  void RepaintGrid() { ++RepaintCount; }
};

// The kind's table list holds its header tableNumber; nullptr otherwise.
TTableHeaderRecord* TableHeader(int32_t kind, int32_t tableNumber);

// Allocates a column whose Values and EnteredFlags hold count + 1 entries,
// all blank; the flags 0 for the parametric window (4), else 1. On memory
// failure CalcErrorCode is 75, the message is shown and column is nullptr.
void NewTableColumn(TTableColumnRecord*& column, int32_t count, int32_t windowTag);

// Creates the window of kind (NewTableKind := kind) and builds its first
// table from TableRowCounts[kind], TableColumnCounts[kind] and, for the
// parametric kind, ParametricColumnOrder. Replaces an existing window of
// the kind. The new window, or nullptr when the set-up failed.
TTableForm* CreateTableForm(int32_t kind);
// The window of kind destroyed (its tables too when they have no list).
void DestroyTableForm(int32_t kind);

// Whether variable index v of the main program has a column in the
// parametric table (the column number, 0 when none).
int32_t ParametricColumnOfVariable(int32_t variableIndex);
inline bool IsParametricColumnVariable(int32_t variableIndex) {
  return ParametricColumnOfVariable(variableIndex) > 0;
}

// How a measured variable's uncertainty column is found (the uncertainty
// settings' list); the default knows none. Returns the VariableIndex of the
// column that holds variable's uncertainty, or 0.
using UncertaintyColumnLookup = int32_t (*)(int32_t variableIndex);
void SetUncertaintyColumnLookup(UncertaintyColumnLookup lookup);

}  // namespace voq
