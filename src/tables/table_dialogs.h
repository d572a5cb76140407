#pragma once
// The models of the small table dialogs, free of Qt: Insert or Delete
// Table Runs (TInsertRunsModel), Insert or Delete Lookup Table Columns
// (TInsertColsModel), Delete Tables (TDeleteTableModel), Sort
// (TSortModel) and the column format dialog (TFormatTableModel) with the
// table window's use of its result (ApplyColumnFormat). The Qt dialogs of
// tables/qt/ show these texts and states and call these steps.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "core/number_format.h"
#include "tables/table_grid.h"
#include "tables/table_model.h"

namespace voq {

// Where rows or columns go: at the top (left), at the bottom (right), or
// after a given row (column).
enum class TTablePlace { Start, End, After };

// --- Insert or Delete Table Runs ----------------------------------------------------
class TInsertRunsModel {
 public:
  // kind 1 parametric, 2 lookup. Activation: CalcErrorCode cleared and an
  // undo copy of the shown table taken.
  explicit TInsertRunsModel(int32_t kind);

  int32_t Kind;
  bool InsertMode = true;
  TTablePlace Place = TTablePlace::Start;
  int32_t AfterRow = 1;  // 1..8999
  int32_t Count = 1;     // 1..8999

  std::string Caption() const;
  std::string InsertCaption() const;  // "Insert Runs" / "Insert Rows"
  std::string DeleteCaption() const;
  std::string StartCaption() const;   // "At top" / "From the top"
  std::string EndCaption() const;
  std::string AfterCaption() const;   // "After run" / "After row"
  std::string CountCaption() const;   // "No. of runs" / "No. of rows"
  int32_t HelpContext() const { return Kind == kParametricTableKind ? 54 : 60; }
  bool AfterRowEnabled() const { return Place == TTablePlace::After; }
  // The tables of the window (TableIDBox) and the shown one (0-based).
  std::vector<std::string> Tables() const;
  int32_t ShownTable() const;
  // Another table chosen: its tab shown (a new undo copy of it).
  void ChooseTable(int32_t index);
  // OK: true when the dialog closes. Every row deleted asks 416 first;
  // Cancel there keeps the dialog open.
  bool Ok();
  // Cancel: the undo copy discarded.
  void Cancel();
};

// --- Insert or Delete Lookup Table Columns ------------------------------------------
class TInsertColsModel {
 public:
  TInsertColsModel();

  bool InsertMode = true;
  TTablePlace Place = TTablePlace::Start;  // Start "At left", End "At right"
  int32_t AfterCol = 2;  // 1..999
  int32_t Count = 1;     // 1..999
  int32_t Table = 0;     // the chosen table, 0-based

  std::string Caption() const { return "Insert or Delete Lookup Table Columns"; }
  std::string StartCaption() const { return InsertMode ? "At left" : "From left"; }
  std::string EndCaption() const { return InsertMode ? "At right" : "From right"; }
  int32_t HelpContext() const { return 61; }
  bool AfterColEnabled() const { return Place == TTablePlace::After; }
  // Delete mode while "At right" is chosen chooses "At left".
  void SetInsertMode(bool insert);
  std::vector<std::string> Tables() const;
  // OK: true when the dialog closes (false: refused, 417, or 416 answered
  // Cancel).
  bool Ok();
};

// --- Delete Tables --------------------------------------------------------------------
class TDeleteTableModel {
 public:
  explicit TDeleteTableModel(int32_t kind);

  int32_t Kind;
  // One line per table, "n. name", and which are selected.
  std::vector<std::string> Lines;
  std::vector<bool> Selected;

  // False: the kind has no table (the dialog closes with result 2).
  bool HasTables() const { return !Lines.empty(); }
  int32_t SelectedCount() const;
  // "Delete 2 Lookup  tables".
  std::string Caption() const;
  bool DeleteEnabled() const { return SelectedCount() > 0; }
  // Delete: the selected tables, last first; the window goes with the last
  // table; the compiled equations are discarded.
  void Delete();
};

// --- Sort -----------------------------------------------------------------------------
class TSortModel {
 public:
  // The caption "Sort " + the column's name (35 characters) + " in " +
  // the table's name.
  TSortModel(TTableForm& form, int32_t column);

  std::string Caption;
  int32_t Top = 1;     // "from:"
  int32_t Bottom = 1;  // "to:", the table's row count at first
  bool Ascending = true;
  bool ThisColumnOnly = true;
  // OK: the rows sorted (an undo copy first); true when anything moved.
  bool Ok();

 private:
  TTableForm& form_;
  int32_t column_;
};

// --- Column format --------------------------------------------------------------------
// The names of the background colours 0..7 as the dialog lists them.
extern const std::array<const char*, 8> TableColourNames;

class TFormatTableModel {
 public:
  // What the caller fills in.
  int32_t Kind = kParametricTableKind;
  int32_t Position = 1;     // column number; on OK the place to move to
  int32_t ColumnCount = 1;  // the grid's column count - 1
  int32_t Colour = 0;
  int32_t Width = 90;
  std::string Title;
  std::string Units;
  TDisplayFormat Format;
  Extended Example = BlankValue;
  TGridRect Selection;

  bool Several() const { return Selection.Left < Selection.Right; }
  std::string Caption() const;
  bool TitleEnabled() const { return Kind == kLookupTableKind; }
  // The header and position groups and Delete are shown for one column.
  bool HeaderShown() const { return !Several(); }
  bool DeleteShown() const { return !Several() && (Kind == kParametricTableKind || Kind == kLookupTableKind); }
  // The focus: the title for lookup tables, the units otherwise.
  bool TitleFocused() const { return Kind == kLookupTableKind; }
  int32_t HelpContext() const { return 171; }

  // "Format" for strings, else "Format: " and the example (987.654321 for
  // a blank one) in the chosen format.
  std::string GroupCaption() const;
  std::string StyleText() const;
  std::string DigitsText() const { return std::to_string(Format.Digits); }
  bool DigitsEnabled() const { return Format.Style == kStyleExponential || Format.Style == kStyleFixed; }
  // Parametric and arrays columns hold numbers only.
  bool StringItemEnabled() const { return Kind != kParametricTableKind && Kind != kArraysTableKind; }
  bool StyleEnabled() const { return StringItemEnabled() || Format.Style != kStyleStringConstant; }
  // Style menu item 0..3 ("&Auto format", "&Fixed decimal", "Exponential",
  // "String") and digits 0..9.
  static const std::array<const char*, 4> StyleItems;
  static uint8_t StyleOfItem(int32_t item);
  int32_t CheckedStyleItem() const;
  void ChooseStyle(int32_t item);
  void ChooseDigits(int32_t digits);

  // The position's up and down buttons and its typed text.
  void PositionUp();
  void PositionDown();
  void SetPositionText(const std::string& text);

  // Whether OK must ask 578: the name the column keeps is title, CR,
  // "[", units, "]" in 30 characters.
  bool NameTooLong() const;
  // OK: the title trimmed; 578 asked when the name is too long (Yes keeps
  // the dialog open: false). True: the dialog closes with result 1 and the
  // document is marked changed.
  bool Ok();
};

// The table window's use of the format dialog's OK for column `column`
// (doFormat): format, colour and width of the column or of every selected
// column; for one column also the units, the title and the move.
void ApplyColumnFormat(TTableGrid& grid, int32_t column, const TFormatTableModel& dialog, int32_t oldWidth);
// The dialog's fields for column `column` of the grid's window.
TFormatTableModel FormatModelOf(TTableGrid& grid, int32_t column);


// --- New Lookup Table -------------------------------------------------------------------
// The "New Lookup Table" dialog's fields and OK: a title, rows 1..9000 and
// columns 1..1000. Activation proposes "Lookup n" (n the number of tables
// plus one) and takes the window's undo copy, which Cancel, or the caller
// after OK, discards.
class TNewLookupModel {
 public:
  static constexpr int32_t kMaxRows = 9000;
  static constexpr int32_t kMaxColumns = 1000;
  TNewLookupModel();

  std::string Title;
  int32_t Rows = 20;
  int32_t Columns = 2;

  // False with message 641 shown when the trimmed title is empty or names
  // an existing lookup table (the dialog then stays open on the title), or
  // with a beep when a count is out of range; otherwise the new table is
  // made (the window too when there was none), named and marked changed.
  bool Ok();
  // The undo copy discarded (after OK, and on Cancel).
  void DiscardUndo();
  // "NewLookup 'name'  Rows=r  Cols=c", the macro line of the table made.
  std::string MacroLine() const;
  // The trimmed title OK gave the table.
  std::string Name;
};

}  // namespace voq
